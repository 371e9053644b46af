#include "options/ui/TfrmOption.h"

#include "core/FileRoutines.h"
#include "core/IMessageBoxHook.h"
#include "core/PathText.h"
#include "core/PrivacyItems.h"
#include "core/TDirectorys.h"
#include "core/TDisk.h"
#include "core/TProtectedFiles.h"
#include "core/TSetting.h"
#include "options/OptionRows.h"
#include "options/ui/TfrmAddFilter.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TfrmOption* frmOption = nullptr;

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromUtf8(text); }
std::string S(const QString& text) { return text.toUtf8().toStdString(); }

QPushButton* MakeButton(const char* text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(Q(text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QTreeWidget* MakeReportList(const char* name, const std::vector<std::pair<const char*, int>>& columns,
                            QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setColumnCount(static_cast<int>(columns.size()));
    QStringList titles;
    for (const auto& [title, width] : columns)
        titles << Q(title);
    list->setHeaderLabels(titles);
    for (size_t i = 0; i < columns.size(); ++i)
        list->setColumnWidth(static_cast<int>(i), columns[i].second);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAllColumnsShowFocus(true);
    return list;
}

// A page with a widget filling it and a row of controls under it.
QWidget* MakePage(QWidget* main, const std::vector<QWidget*>& controls) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(main, 1);
    auto* row = new QHBoxLayout;
    for (QWidget* w : controls) {
        if (!w)
            row->addStretch();
        else
            row->addWidget(w);
    }
    layout->addLayout(row);
    return page;
}

std::string FirstVolumeRoot() {
    TDisk disk;
    return disk.Roots().empty() ? std::string(1, PathSeparator) : disk.Roots().front();
}

} // namespace

TfrmOption::TfrmOption(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Q("高级选项"));
    resize(425, 335);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(240, 240, 255));
    setPalette(background);
    setAutoFillBackground(true);
    Pc_Project = new QTabWidget(this);
    Pc_Project->setObjectName("Pc_Project");
    // Five Chinese captions have to share the dialog's narrow width.
    Pc_Project->setStyleSheet("QTabBar::tab { padding: 4px 5px; }");
    Pc_Project->addTab(CreatePrivacyPage(), Q("上网隐私及安全项"));
    Pc_Project->addTab(CreateFileTypePage(), Q("垃圾文件类型"));
    Pc_Project->addTab(CreateDirectoryPage(), Q("清理目录"));
    Pc_Project->addTab(CreateParameterPage(), Q("参数"));
    Pc_Project->addTab(CreateIgnorePage(), Q("需要保护的文件"));
    const char* pageNames[] = {"Ts_CleanSys", "Ts_FileType", "Ts_CleanDirectory", "tsOption", "tsIgnore"};
    for (int i = 0; i < 5; ++i)
        Pc_Project->widget(i)->setObjectName(pageNames[i]);
    Pc_Project->setCurrentIndex(1);

    auto* ok = MakeButton("确  定 (&O)", "RzButton6", this);
    auto* cancel = MakeButton("取  消 (&C)", "RzButton1", this);
    connect(ok, &QPushButton::clicked, this, [this] { Guard([this] { RzButton6Click(); }); });
    connect(cancel, &QPushButton::clicked, this, &TfrmOption::RzButton1Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pc_Project, 1);
    layout->addLayout(buttons);

    FFolderPicker = [this](const std::string& title, const std::string& start) {
        return S(QFileDialog::getExistingDirectory(this, Q(title), Q(start)));
    };
    FInputBox = [this](const std::string& caption, const std::string& prompt) {
        return S(QInputDialog::getText(this, Q(caption), Q(prompt)));
    };
}

QWidget* TfrmOption::CreatePrivacyPage() {
    clCleanOption = new QTreeWidget;
    clCleanOption->setObjectName("clCleanOption");
    clCleanOption->setHeaderHidden(true);
    clCleanOption->setRootIsDecorated(false);
    for (const TPrivacyItem& item : PrivacyItems()) {
        auto* row = new QTreeWidgetItem(clCleanOption, {Q(item.Caption)});
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        row->setCheckState(0, Qt::Unchecked);
    }
    connect(clCleanOption, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (!FFilling)
            clCleanOptionChange(clCleanOption->indexOfTopLevelItem(item), item->checkState(0) == Qt::Checked);
    });
    return MakePage(clCleanOption, {});
}

QWidget* TfrmOption::CreateFileTypePage() {
    Lv_GarbageList = MakeReportList("Lv_GarbageList", {{"是否删除", 55}, {"文件类型", 66}, {"说明", 248}}, nullptr);
    Lv_GarbageList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Grid lines between the cells, as a report list draws them.
    Lv_GarbageList->setStyleSheet(
        "QTreeView::item { border-right: 1px solid #d8d8d8; border-bottom: 1px solid #d8d8d8; }"
        "QTreeView::item:selected { background: palette(highlight); color: palette(highlighted-text); }");
    cbSelectAll = new QCheckBox(Q("选择/反选 全部"));
    cbSelectAll->setObjectName("cbSelectAll");
    auto* del = MakeButton("删除 (&D)", "btnDelFilter", nullptr);
    auto* add = MakeButton("增加垃圾文件 (&A)", "btnAddFilter", nullptr);
    connect(cbSelectAll, &QCheckBox::clicked, this, &TfrmOption::cbSelectAllClick);
    connect(del, &QPushButton::clicked, this, &TfrmOption::btnDelFilterClick);
    connect(add, &QPushButton::clicked, this, &TfrmOption::btnAddFilterClick);
    return MakePage(Lv_GarbageList, {cbSelectAll, nullptr, del, add});
}

QWidget* TfrmOption::CreateDirectoryPage() {
    Lv_DirList = MakeReportList("Lv_DirList", {{"目录名称", 100}, {"磁盘空间", 70}, {"可用空间", 80}, {"类型说明", 119}}, nullptr);
    Cb_IfSubDir = new QCheckBox(Q("包括清理子目录"));
    Cb_IfSubDir->setObjectName("Cb_IfSubDir");
    auto* del = MakeButton("删除 (&D)", "btnDelCleanDir", nullptr);
    auto* add = MakeButton("增加清理目录 (&A)", "btnAddCleanDir", nullptr);
    connect(del, &QPushButton::clicked, this, &TfrmOption::btnDelCleanDirClick);
    connect(add, &QPushButton::clicked, this, [this] { Guard([this] { btnAddCleanDirClick(); }); });
    return MakePage(Lv_DirList, {Cb_IfSubDir, nullptr, del, add});
}

QWidget* TfrmOption::CreateParameterPage() {
    Inspect = new QTableWidget(0, 2);
    Inspect->setObjectName("Inspect");
    Inspect->horizontalHeader()->hide();
    Inspect->verticalHeader()->hide();
    Inspect->setColumnWidth(0, 120);
    Inspect->setColumnWidth(1, 266);
    // The value column takes what the page leaves, so no row scrolls sideways.
    Inspect->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    Inspect->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Inspect->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Inspect->setSelectionMode(QAbstractItemView::NoSelection);
    Inspect->verticalHeader()->setDefaultSectionSize(22);
    // A flag row shows its value as text beside its check box.
    connect(Inspect, &QTableWidget::itemChanged, this, [](QTableWidgetItem* item) {
        if (item->column() == 1 && (item->flags() & Qt::ItemIsUserCheckable))
            item->setText(item->checkState() == Qt::Checked ? Q("True") : Q("False"));
    });
    return MakePage(Inspect, {});
}

QWidget* TfrmOption::CreateIgnorePage() {
    lbIgnoreList = new QListWidget;
    lbIgnoreList->setObjectName("lbIgnoreList");
    lbIgnoreList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* del = MakeButton("Delete", "btnDelList", nullptr);
    auto* add = MakeButton("&Add Ignore File", "btnAdd", nullptr);
    connect(del, &QPushButton::clicked, this, &TfrmOption::btnDelListClick);
    connect(add, &QPushButton::clicked, this, [this] { Guard([this] { btnAdd2Click(); }); });
    return MakePage(lbIgnoreList, {nullptr, del, add});
}

void TfrmOption::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmOption::FormShow() {
    FillDrives();
    Cb_IfSubDir->setChecked(true);
    try {
        FillIgnoreList();
    } catch (const std::exception& e) {
        // The other pages still fill, so that a close stores the junk types as they are.
        MessageBoxHook().Show(e.what(), "");
    }
    FillJunkTypes();
    FillPrivacyItems();
    FillParameters();
}

void TfrmOption::FillDrives() {
    Lv_DirList->clear();
    const TDisk disk; // a drive table of this dialog's own
    for (const TDriveRow& row : DriveRows(disk))
        new QTreeWidgetItem(Lv_DirList, {Q(row.Root), Q(row.SizeText), Q(row.FreeText), Q(row.TypeText)});
}

void TfrmOption::FillIgnoreList() {
    lbIgnoreList->clear();
    for (const std::string& name : LoadProtectedFiles(ProtectedFilesPath()))
        lbIgnoreList->addItem(Q(name));
}

void TfrmOption::FillJunkTypes() {
    Lv_GarbageList->clear();
    if (!Setting)
        return;
    for (const TJunkTypeRow& type : JunkTypeRows(*Setting)) {
        auto* row = new QTreeWidgetItem(Lv_GarbageList, {QString(), Q(type.Pattern), Q(type.Remark)});
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, type.Checked ? Qt::Checked : Qt::Unchecked);
    }
}

void TfrmOption::FillPrivacyItems() {
    FFilling = true;
    for (int i = 0; i < clCleanOption->topLevelItemCount(); ++i) {
        const TPrivacyItem& item = PrivacyItems()[static_cast<size_t>(i)];
        const bool on = Setting && (Setting->*item.Get)();
        clCleanOption->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
    FFilling = false;
}

void TfrmOption::FillParameters() {
    Inspect->clearContents();
    Inspect->setRowCount(0);
    if (!Setting)
        return;
    for (const TParameterRow& row : ParameterRows()) {
        const int r = Inspect->rowCount();
        Inspect->insertRow(r);
        auto* caption = new QTableWidgetItem(Q(row.Caption));
        caption->setToolTip(caption->text());
        Inspect->setItem(r, 0, caption);
        const int32_t value = row.Get(*Setting);
        if (row.Kind == TParameterKind::Integer) {
            auto* spin = new QSpinBox;
            spin->setRange(INT32_MIN, INT32_MAX);
            spin->setValue(value);
            spin->setFrame(false);
            Inspect->setCellWidget(r, 1, spin);
        } else {
            auto* item = new QTableWidgetItem(value ? Q("True") : Q("False"));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(value ? Qt::Checked : Qt::Unchecked);
            Inspect->setItem(r, 1, item);
        }
    }
}

void TfrmOption::clCleanOptionChange(int index, bool checked) {
    if (Setting && index >= 0 && index < static_cast<int>(PrivacyItems().size()))
        (Setting->*PrivacyItems()[static_cast<size_t>(index)].Set)(checked);
}

void TfrmOption::cbSelectAllClick() {
    const bool on = cbSelectAll->isChecked();
    for (int i = 0; i < Lv_GarbageList->topLevelItemCount(); ++i) {
        Lv_GarbageList->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
        if (Setting && i < Setting->Garbages().Count())
            Setting->Garbages()[i].SetIfclean(on);
    }
}

void TfrmOption::btnAddFilterClick() {
    std::string pattern, remark;
    if (!ShowAddFilterDialog(pattern, remark))
        return;
    auto* row = new QTreeWidgetItem(Lv_GarbageList, {QString(), Q(pattern), Q(remark)});
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(0, Qt::Unchecked);
}

void TfrmOption::btnDelFilterClick() {
    for (int i = 0; i < Lv_GarbageList->topLevelItemCount(); ++i) {
        if (Lv_GarbageList->topLevelItem(i)->isSelected()) {
            delete Lv_GarbageList->takeTopLevelItem(i);
            return;
        }
    }
}

void TfrmOption::btnAddCleanDirClick() {
    std::string start = FirstVolumeRoot();
    if (start.size() > 1 && (start.back() == '\\' || start.back() == '/'))
        start.pop_back();
    const std::string folder = FFolderPicker("Please select a directory to cleanup: ", start);
    if (folder.empty())
        return;
    const double size = GetDirectorySizeIn(PathFromText(folder), 0);
    new QTreeWidgetItem(Lv_DirList, {Q(folder), Q("---"),
                                     Q(FolderSizeText(size, '.')).replace(QChar('.'), QLocale().decimalPoint()),
                                     Q("Directory")});
    // The box decides whether the folder takes its sub-folders with it; the empty-folder
    // rule has its own parameter row.
    if (Setting)
        Setting->Directorys().Add(folder, Cb_IfSubDir->isChecked(), true);
}

void TfrmOption::btnDelCleanDirClick() {
    QTreeWidgetItem* row = Lv_DirList->currentItem();
    if (!row || !row->isSelected())
        return;
    if (Setting)
        Setting->Directorys().RemovePath(S(row->text(0)));
    delete row;
}

void TfrmOption::btnDelListClick() { qDeleteAll(lbIgnoreList->selectedItems()); }

void TfrmOption::btnAdd2Click() {
    lbIgnoreList->addItem(Q(FInputBox("Add File you do not want clean", "FileName")));
    WriteIgnoreList();
}

void TfrmOption::WriteIgnoreList() {
    std::vector<std::string> entries;
    for (int i = 0; i < lbIgnoreList->count(); ++i)
        entries.push_back(S(lbIgnoreList->item(i)->text()));
    SaveProtectedFiles(ProtectedFilesPath(), entries);
}

void TfrmOption::SaveSettings() {
    if (Setting)
        Setting->SaveToFile(SettingsFilePath());
}

void TfrmOption::RzButton6Click() {
    if (Setting) {
        const auto& rows = ParameterRows();
        for (int r = 0; r < Inspect->rowCount() && r < static_cast<int>(rows.size()); ++r) {
            const TParameterRow& row = rows[static_cast<size_t>(r)];
            if (row.Kind == TParameterKind::Integer)
                row.Set(*Setting, static_cast<QSpinBox*>(Inspect->cellWidget(r, 1))->value());
            else
                row.Set(*Setting, Inspect->item(r, 1)->checkState() == Qt::Checked ? 1 : 0);
        }
    }
    WriteIgnoreList();
    SaveSettings();
    accept();
}

void TfrmOption::RzButton1Click() { reject(); }

void TfrmOption::done(int result) {
    Guard([this] { FormClose(); });
    QDialog::done(result);
}

void TfrmOption::FormClose() {
    if (!Setting)
        return;
    std::vector<TJunkTypeRow> rows;
    for (int i = 0; i < Lv_GarbageList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = Lv_GarbageList->topLevelItem(i);
        rows.push_back({S(row->text(1)), S(row->text(2)), row->checkState(0) == Qt::Checked});
    }
    RebuildGarbages(*Setting, rows);
    SaveSettings();
}

void TfrmOption::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        MessageBoxHook().Show(e.what(), "");
    }
}
