#include "programs/ui/TfrmUninstall.h"

#include "core/DateTime.h"
#include "core/FileRoutines.h"
#include "core/IMessageBoxHook.h"
#include "platform/IInstalledPrograms.h"
#include "platform/Locale.h"
#include "programs/ProgramList.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

TfrmUninstall* frmUninstall = nullptr;

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}
QString Q(const std::string& text) {
    return QString::fromUtf8(text);
}

std::string Trim(const std::string& text) {
    const size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? std::string()
                                      : text.substr(start, text.find_last_not_of(' ') - start + 1);
}

// The system's short date with the time, as dates are shown throughout the program.
std::string StandardDateTimeText(TDateTime value) {
    const Platform::TLocaleFormats locale = Platform::LocaleFormats();
    return FormatDateTime("ddddd tt", value, locale);
}

QLabel* Heading(const char* text, const char* name, QWidget* parent) {
    auto* label = new QLabel(Q(text), parent);
    label->setObjectName(name);
    label->setStyleSheet("color: navy; font-weight: bold;");
    return label;
}

} // namespace

TfrmUninstall::TfrmUninstall(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Q("应用程序管理 --- 卸载无用的工具能节省磁盘空间，提升你的电脑运行速度"));
    // The work area with the window manager's frame included, as maximised windows have it.
    if (const QScreen* screen = QApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);

    auto* panel1 = new QHBoxLayout;
    auto* label1 = Heading("程序分类", "Label1", this);
    label1->setFixedWidth(153);
    panel1->addWidget(label1);
    panel1->addWidget(Heading("程序列表", "Label2", this), 1);

    tvFileType = new QTreeWidget;
    tvFileType->setObjectName("tvFileType");
    tvFileType->setHeaderHidden(true);
    tvFileType->setRootIsDecorated(false);
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (int i = 0; i < TFileKindList::KindCount; ++i)
        new QTreeWidgetItem(tvFileType, {Q(CategoryCaptionTemplate(i))});
    for (int i = 0; i < tvFileType->topLevelItemCount(); ++i)
        tvFileType->topLevelItem(i)->setIcon(0, folder);
    // No node is current either, so that none looks chosen when the tree gets the focus.
    tvFileType->setCurrentItem(nullptr);

    Lv_UninstallList = new QTreeWidget;
    Lv_UninstallList->setObjectName("Lv_UninstallList");
    Lv_UninstallList->setRootIsDecorated(false);
    Lv_UninstallList->setHeaderLabels(
        {Q("应用程序名称"), Q("位置"), Q("占用空间"), Q("最近使用时间")});
    // The size column is wider than 66 pixels so that its figure is readable in our fonts.
    const int widths[] = {250, 150, 140, 383};
    for (int i = 0; i < 4; ++i)
        Lv_UninstallList->setColumnWidth(i, widths[i]);
    Lv_UninstallList->setAllColumnsShowFocus(true);
    // The size text is wider than its column: keep the figures, drop the padding.
    Lv_UninstallList->setTextElideMode(Qt::ElideLeft);
    Lv_UninstallList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lv_UninstallList->setStyleSheet(
        "QTreeWidget::item { border-right: 1px solid #d8d8d8; border-bottom: 1px solid #d8d8d8; }");
    Lv_UninstallList->viewport()->setCursor(Qt::PointingHandCursor);
    Lv_UninstallList->header()->setSectionsClickable(true);

    auto* splitter = new QSplitter(this);
    splitter->setObjectName("Splitter1");
    splitter->addWidget(tvFileType);
    splitter->addWidget(Lv_UninstallList);
    splitter->setSizes({153, 900});

    auto* label3 = new QLabel(
        Q("友情提示： 应用程序管理 --- 卸载无用的工具能节省磁盘空间，提升你的电脑运行速度 ！"),
        this);
    label3->setObjectName("Label3");
    label3->setStyleSheet("color: red;");
    Btn_Uninstall = new QPushButton(Q("卸载选中的应用程序 (&U)"), this);
    Btn_Uninstall->setObjectName("Btn_Uninstall");
    btnClose = new QPushButton(Q("关  闭 (&C)"), this);
    btnClose->setObjectName("btnClose");
    for (QPushButton* b : {Btn_Uninstall, btnClose})
        b->setAutoDefault(false);
    auto* panel2 = new QHBoxLayout;
    panel2->addWidget(label3, 1);
    panel2->addWidget(Btn_Uninstall);
    panel2->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panel1);
    layout->addWidget(splitter, 1);
    layout->addLayout(panel2);

    connect(Btn_Uninstall, &QPushButton::clicked, this, &TfrmUninstall::Btn_UninstallClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmUninstall::btnCloseClick);
    // A choice of the user's, never the current node the tree gives itself when it first
    // gets the focus (unselected): the window opens with every program listed.
    connect(tvFileType, &QTreeWidget::itemSelectionChanged, this, [this] { tvFileTypeChange(); });
    FPollTimer = new QTimer(this);
    FPollTimer->setInterval(100);
    connect(FPollTimer, &QTimer::timeout, this, &TfrmUninstall::PollUninstaller);
    connect(Lv_UninstallList->header(), &QHeaderView::sectionClicked, this,
            &TfrmUninstall::Lv_UninstallListColumnClick);
}

void TfrmUninstall::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        LoadProgramList();
}

void TfrmUninstall::LoadProgramList() {
    FileKindList = std::make_unique<TFileKindList>();
    // By its bare name, in the current folder.
    FileKindList->LoadFromFile("kind.ini");
    Lv_UninstallList->clear();
    FShown.clear();
    Btn_Uninstall->setVisible(true);
    const auto keys = Platform::InstalledPrograms().ReadKeys();
    if (!keys)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FShown = BuildProgramList(*keys, Now(), *FileKindList);
    for (size_t i = 0; i < FShown.size(); ++i)
        AddRow(i);
    QApplication::restoreOverrideCursor();
    UpdateCategoryCaptions();
}

// A row shows FShown[index]; new rows are unchecked.
void TfrmUninstall::AddRow(size_t index) {
    const TUninstall& p = FShown[index];
    auto* row =
        new QTreeWidgetItem(Lv_UninstallList, {Q(p.Name), Q(p.Location), Q(SizeColumnText(p.Size)),
                                               Q(StandardDateTimeText(p.LastUsed))});
    row->setData(0, Qt::UserRole, static_cast<qulonglong>(index));
    row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    row->setCheckState(0, Qt::Unchecked);
    QString tip = Q(p.UninstallString);
    if (!p.Key.EntryNames.empty()) {
        // A package with several menu entries is one program: the entries go together.
        QStringList entries;
        for (const std::string& name : p.Key.EntryNames)
            entries << Q(name);
        tip += Q("\n菜单项: ") + entries.join(Q("、"));
    }
    row->setToolTip(0, tip);
}

const TUninstall& TfrmUninstall::RowProgram(const QTreeWidgetItem* row) const {
    return FShown.at(static_cast<size_t>(row->data(0, Qt::UserRole).toULongLong()));
}

void TfrmUninstall::UpdateCategoryCaptions() {
    for (int i = 0; i < tvFileType->topLevelItemCount() && i < FileKindList->Count(); ++i)
        tvFileType->topLevelItem(i)->setText(
            0, Q(CategoryCaptionTemplate(i))
                   .replace("%d", QString::number(FileKindList->Kinds(i).ProgramCount())));
}

void TfrmUninstall::tvFileTypeChange() {
    Lv_UninstallList->clear();
    const QList<QTreeWidgetItem*> selected = tvFileType->selectedItems();
    if (selected.isEmpty() || !FileKindList)
        return;
    QTreeWidgetItem* node = selected.first();
    const TFileKind& kind = FileKindList->Kinds(tvFileType->indexOfTopLevelItem(node));
    FShown.clear();
    for (int i = 0; i < kind.ProgramCount(); ++i)
        FShown.push_back(*kind.GetProgram(i));
    for (size_t i = 0; i < FShown.size(); ++i)
        AddRow(i);
}

void TfrmUninstall::Btn_UninstallClick() {
    if (FUninstalling)
        return;
    FWalkIndex = 0;
    SetUninstalling(true);
    UninstallNext();
}

// Starts the uninstaller of the next checked row from FWalkIndex on, or ends the walk.
// Uninstallers that end at once are handled here; a running one is polled by the timer,
// so that a second one never runs beside it (two package managers would collide).
void TfrmUninstall::UninstallNext() {
    while (FWalkIndex < Lv_UninstallList->topLevelItemCount()) {
        QTreeWidgetItem* row = Lv_UninstallList->topLevelItem(FWalkIndex);
        if (row->checkState(0) != Qt::Checked) {
            ++FWalkIndex;
            continue;
        }
        const TUninstall& program = RowProgram(row);
        const std::string command = Trim(program.UninstallString);
        if (command.empty()) {
            delete Lv_UninstallList->takeTopLevelItem(FWalkIndex); // the next row moves up
            continue;
        }
        row->setText(3, Q("正在卸载…"));
        Lv_UninstallList->scrollToItem(row);
        FRun = Platform::InstalledPrograms().StartUninstaller(program.Key, GetShortPath(command));
        if (!FRun->Finished()) {
            FPollTimer->start();
            return;
        }
        UninstallerEnded();
    }
    SetUninstalling(false);
}

void TfrmUninstall::PollUninstaller() {
    if (!FRun || !FRun->Finished())
        return;
    FPollTimer->stop();
    UninstallerEnded();
    UninstallNext();
}

// The row leaves the list only when its program is gone; otherwise it stays, says why and
// the walk goes on with the next row.
void TfrmUninstall::UninstallerEnded() {
    const Platform::TUninstallOutcome outcome = FRun->Outcome();
    FRun.reset();
    QTreeWidgetItem* row = Lv_UninstallList->topLevelItem(FWalkIndex);
    if (outcome.Gone) {
        delete Lv_UninstallList->takeTopLevelItem(FWalkIndex);
        return;
    }
    ++FWalkIndex;
    const TUninstall& program = RowProgram(row);
    row->setText(3, Q("卸载失败: " + UninstallFailureText(outcome)));
    MessageBoxHook().Show(UninstallFailureMessage(program.Name, outcome), "");
}

// While the walk runs nothing may change the rows it walks, and the window stays open:
// an uninstaller is never abandoned half-way.
void TfrmUninstall::SetUninstalling(bool on) {
    FUninstalling = on;
    for (QWidget* w : std::initializer_list<QWidget*>{Btn_Uninstall, btnClose, tvFileType})
        w->setEnabled(!on);
    Lv_UninstallList->header()->setSectionsClickable(!on);
    if (on)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void TfrmUninstall::reject() {
    if (!FUninstalling)
        QDialog::reject();
}

void TfrmUninstall::closeEvent(QCloseEvent* event) {
    if (FUninstalling)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TfrmUninstall::Lv_UninstallListColumnClick(int column) {
    SortColumn = column;
    std::vector<QTreeWidgetItem*> rows;
    while (Lv_UninstallList->topLevelItemCount() > 0)
        rows.push_back(Lv_UninstallList->takeTopLevelItem(0));
    std::stable_sort(rows.begin(), rows.end(),
                     [this](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         const int c = CompareProgramRows(RowProgram(a), RowProgram(b), SortColumn);
                         return SortDescending ? c > 0 : c < 0;
                     });
    for (QTreeWidgetItem* row : rows)
        Lv_UninstallList->addTopLevelItem(row);
    SortDescending = !SortDescending;
}

void TfrmUninstall::btnCloseClick() {
    close();
}
