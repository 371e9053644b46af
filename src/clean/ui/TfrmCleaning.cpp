#include "clean/ui/TfrmCleaning.h"

#include "clean/JunkDelete.h"
#include "clean/JunkTexts.h"
#include "clean/TJunkScanner.h"
#include "clean/ui/TJunkListModel.h"
#include "core/DateTime.h"
#include "core/EMorvaneError.h"
#include "core/FileRoutines.h"
#include "core/IMessageBoxHook.h"
#include "core/PathText.h"
#include "core/TDirectorys.h"
#include "core/TProtectedFiles.h"
#include "core/TSetting.h"
#include "core/ui/TFilePropertiesDialog.h"
#include "core/ui/TWaitCursor.h"
#include "platform/IShell.h"
#include "platform/Volumes.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

TfrmCleaning* frmCleaning = nullptr;

namespace {

const char* const ScanCaption = "开始清理 (&S)";
const char* const PauseCaption = "暂停 (&P) ||";

QString Q(const std::string& text) {
    return QString::fromUtf8(text);
}
std::string S(const QString& text) {
    return text.toUtf8().toStdString();
}

// The folder the picker starts in: the first volume's root ("C:\" on Windows).
std::string FirstVolumeRoot() {
    const auto volumes = Platform::Volumes().List();
    return volumes.empty() ? std::string(1, PathSeparator) : volumes.front().Root;
}

} // namespace

TfrmCleaning::TfrmCleaning(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Q("磁盘垃圾文件清理"));
    resize(810, 516);
    CreateControls();
    Timer1.setInterval(1000);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TfrmCleaning::Timer1Timer);
    FFolderPicker = [this](const std::string& title, const std::string& start) {
        return S(QFileDialog::getExistingDirectory(this, Q(title), Q(start)));
    };
}

TfrmCleaning::~TfrmCleaning() = default;

void TfrmCleaning::CreateControls() {
    auto* top = new QHBoxLayout;
    Label3 = new QLabel(Q("清理磁盘目录 :"), this);
    Label3->setObjectName("Label3");
    Label3->setStyleSheet("color: navy; font-weight: bold;");
    lCleanupDir = new QLineEdit(Q(FirstVolumeRoot()), this);
    lCleanupDir->setObjectName("lCleanupDir");
    lCleanupDir->setReadOnly(true);
    btnAddCleanDir = new QPushButton(Q("选择需要清理的磁盘目录"), this);
    btnAddCleanDir->setObjectName("btnAddCleanDir");
    btnAddCleanDir->setAutoDefault(false);
    cbAutoClose = new QCheckBox(Q("完成清理后自动关机"), this);
    cbAutoClose->setObjectName("cbAutoClose");
    cbAutoClose->setStyleSheet("font-weight: bold;");
    top->addWidget(Label3);
    top->addWidget(lCleanupDir, 1);
    top->addWidget(btnAddCleanDir);
    top->addWidget(cbAutoClose);

    FModel = new TJunkListModel(this);
    Lv_GarbageList = new QTableView(this);
    Lv_GarbageList->setObjectName("Lv_GarbageList");
    Lv_GarbageList->setModel(FModel);
    Lv_GarbageList->setSelectionBehavior(QAbstractItemView::SelectRows);
    Lv_GarbageList->setSelectionMode(QAbstractItemView::SingleSelection);
    Lv_GarbageList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lv_GarbageList->setShowGrid(true);
    Lv_GarbageList->setWordWrap(false);
    Lv_GarbageList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    Lv_GarbageList->verticalHeader()->hide();
    Lv_GarbageList->verticalHeader()->setDefaultSectionSize(20);
    Lv_GarbageList->horizontalHeader()->setHighlightSections(false);
    Lv_GarbageList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Lv_GarbageList->setStyleSheet("QTableView { background-color: rgb(255, 255, 225); }");
    const int widths[] = {400, 99, 99, 99, 69};
    for (int i = 0; i < 5; ++i)
        Lv_GarbageList->setColumnWidth(i, widths[i]);
    Lv_GarbageList->setContextMenuPolicy(Qt::CustomContextMenu);

    PM_FileOper = new QMenu(this);
    PM_FileOper->setObjectName("PM_FileOper");
    auto addItem = [this](const char* name, const char* text, void (TfrmCleaning::*handler)()) {
        QAction* a = PM_FileOper->addAction(Q(text));
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
    };
    addItem("Open1", "&Open...", &TfrmCleaning::Open1Click);
    addItem("Explorerthedirectory1", "&Explorer the directory",
            &TfrmCleaning::Explorerthedirectory1Click);
    addItem("DeleteD1", "&Delete", &TfrmCleaning::DeleteD1Click);
    addItem("Attribute1", "Attribute", &TfrmCleaning::Attribute1Click);

    Label1 = new QLabel(Q("友情提示：清理一个长期未整理过的磁盘，将会需要一个较长的时间，可以去喝杯"
                          "咖啡，稍等一下哟..."),
                        this);
    Label1->setObjectName("Label1");
    Label1->setStyleSheet("color: red; font-weight: bold;");
    Pb_Process = new QProgressBar(this);
    Pb_Process->setObjectName("Pb_Process");
    Pb_Process->setRange(0, 100);
    Pb_Process->setValue(0);
    Pb_Process->setTextVisible(false);

    auto* buttons = new QHBoxLayout;
    Btn_Scan = new QPushButton(Q(ScanCaption), this);
    Btn_Scan->setObjectName("Btn_Scan");
    Btn_CleanAll = new QPushButton(Q("删除垃圾文件 (&C)"), this);
    Btn_CleanAll->setObjectName("Btn_CleanAll");
    RzBitBtn1 = new QPushButton(Q("完  成 (&E)"), this);
    RzBitBtn1->setObjectName("RzBitBtn1");
    for (QPushButton* b : {Btn_Scan, Btn_CleanAll, RzBitBtn1}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(130);
    }
    buttons->addWidget(Pb_Process, 1);
    buttons->addWidget(Btn_Scan);
    buttons->addWidget(Btn_CleanAll);
    buttons->addWidget(RzBitBtn1);

    Sb_status = new QStatusBar(this);
    Sb_status->setObjectName("Sb_status");
    Sb_status->setSizeGripEnabled(false);
    FStatus[0] = new QLabel(Q("正在磁盘文件分析和清理中 ......"), Sb_status);
    FStatus[0]->setFixedWidth(500);
    FStatus[1] = new QLabel(Sb_status);
    FStatus[1]->setMinimumWidth(50);
    Sb_status->addWidget(FStatus[0]);
    Sb_status->addWidget(FStatus[1], 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addLayout(top);
    layout->addWidget(Lv_GarbageList, 1);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    layout->addWidget(Sb_status);

    connect(btnAddCleanDir, &QPushButton::clicked, this, &TfrmCleaning::btnAddCleanDirClick);
    connect(cbAutoClose, &QCheckBox::stateChanged, this, &TfrmCleaning::cbAutoCloseClick);
    connect(Btn_Scan, &QPushButton::clicked, this, &TfrmCleaning::Btn_ScanClick);
    connect(Btn_CleanAll, &QPushButton::clicked, this, &TfrmCleaning::Btn_CleanAllClick);
    connect(RzBitBtn1, &QPushButton::clicked, this, &TfrmCleaning::RzBitBtn1Click);
    connect(Lv_GarbageList, &QTableView::doubleClicked, this, [this] { Open1Click(); });
    connect(Lv_GarbageList, &QWidget::customContextMenuRequested, this,
            &TfrmCleaning::ShowListMenu);
    connect(Lv_GarbageList->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TfrmCleaning::Lv_GarbageListColumnClick);
}

void TfrmCleaning::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmCleaning::FormShow() {
    FRunning = true;
    cbAutoClose->setChecked(Setting && Setting->AutoCleanShutDown());
    try {
        mIgnoreList = LoadProtectedFiles(ProtectedFilesPath());
    } catch (const std::exception& e) {
        // No automatic scan then; the user can still start one.
        MessageBoxHook().Show(e.what(), "");
        return;
    }
    Timer1.start();
}

void TfrmCleaning::Timer1Timer() {
    Timer1.stop();
    QCoreApplication::processEvents();
    Btn_ScanClick();
}

bool TfrmCleaning::Scanning() const {
    return Btn_Scan->text() != Q(ScanCaption);
}

void TfrmCleaning::Btn_ScanClick() {
    if (Scanning()) {
        FRunning = false;
        Btn_Scan->setText(Q(PauseCaption));
        return;
    }
    // A scan started by hand before the automatic start supersedes it: the timer would
    // otherwise press the button again, which pauses the scan.
    Timer1.stop();
    FRunning = true;
    Btn_Scan->setText(Q(PauseCaption));
    cbAutoClose->setChecked(false);
    try {
        ScanCleanDirectories();
    } catch (...) {
        ShowScanState();
        Btn_Scan->setText(Q(ScanCaption));
        throw;
    }
    Btn_Scan->setText(Q(ScanCaption));
    if (cbAutoClose->isChecked())
        ShutDownComputer();
    if (FCloseRequested) {
        FCloseRequested = false;
        close();
    }
}

void TfrmCleaning::ScanCleanDirectories() {
    FCounters.FJunkCount = 0;
    FCounters.FJunkSize = 0;
    FModel->Clear();
    QCoreApplication::processEvents();
    repaint();
    FProgress = Pb_Process->value();
    if (Setting) {
        // A copy: the user may pick another folder while the walk pumps messages; the
        // running scan goes on with the folders it started with.
        std::vector<TDirectory> folders;
        for (int i = 0; i < Setting->Directorys().Count(); ++i)
            folders.push_back(Setting->Directorys()[i]);
        TJunkScanner scanner(*this, FCounters, *Setting, mIgnoreList);
        for (const TDirectory& folder : folders) {
            if (!folder.IfClean())
                continue;
            lCleanupDir->setText(Q("[" + folder.Path() + "]"));
            scanner.ScanDirectory(folder.Path(), folder.IncludeSubDir());
        }
        ShowScanState();
        // A scan that ran to its end clears what it found by itself when asked to.
        if (FRunning && Setting->AutoClean())
            Btn_CleanAllClick();
    }
    Pb_Process->setValue(Pb_Process->maximum() >= 100 ? 100 : Pb_Process->maximum());
    FProgress = Pb_Process->value();
    ShowStatus(1, SummaryStatusText(FCounters));
    if (!cbAutoClose->isChecked())
        MessageBoxHook().Show(SummaryMessageText(FCounters), "");
}

void TfrmCleaning::Btn_CleanAllClick() {
    const size_t count = FModel->Rows().size();
    if (count == 0)
        return;
    // One step per row from 0 to the number of rows, so the bar ends full; a range of
    // 0..0 (one row less) would draw a busy bar for the rest of the run.
    Pb_Process->setRange(0, static_cast<int>(count));
    Pb_Process->setValue(0);
    TWaitCursor wait;
    const TCleanRunResult result = CleanCheckedRows(FModel->Rows(), [this](size_t handled) {
        // Every 256 rows is enough for the eye and keeps long runs linear.
        if (handled % 256 == 0)
            Pb_Process->setValue(static_cast<int>(handled));
    });
    Pb_Process->setValue(static_cast<int>(result.Handled));
    FProgress = Pb_Process->value();
    RemoveRowsAndReport(result.Handled, result.Removed, result.StatusText);
}

void TfrmCleaning::RemoveRowsAndReport(size_t handled, int64_t removed, const std::string& status) {
    if (handled >= FModel->Rows().size())
        FModel->Clear();
    else
        FModel->RemoveFront(handled);
    if (!status.empty())
        ShowStatus(0, status);
    if (removed > 0 && Setting)
        Setting->SetLastCleanDate(Now());
}

int TfrmCleaning::SelectedRow() const {
    const QModelIndexList rows = Lv_GarbageList->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        return rows.front().row();
    const QModelIndex current = Lv_GarbageList->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TfrmCleaning::ShowListMenu(const QPoint& at) {
    PM_FileOper->popup(Lv_GarbageList->viewport()->mapToGlobal(at));
}

void TfrmCleaning::Open1Click() {
    const int row = SelectedRow();
    if (row >= 0)
        Platform::Shell().Open(FModel->Rows()[static_cast<size_t>(row)].Caption());
}

void TfrmCleaning::Explorerthedirectory1Click() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const std::string caption = FModel->Rows()[static_cast<size_t>(row)].Caption();
    const size_t slash = caption.find_last_of(std::string("/") + PathSeparator);
    Platform::Shell().Open(slash == std::string::npos ? std::string()
                                                      : caption.substr(0, slash + 1));
}

void TfrmCleaning::DeleteD1Click() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const TJunkRow& junk = FModel->Rows()[static_cast<size_t>(row)];
    const TDeleteOutcome outcome = DeleteJunkEntry(junk, TDirectoryDelete::EmptyOnly);
    if (outcome.Result == TDeleteResult::Failed) {
        ShowStatus(0, DeleteFailedText(junk.Caption(), outcome.Reason));
        return;
    }
    if (outcome.Result == TDeleteResult::Deleted && Setting)
        Setting->SetLastCleanDate(Now());
    FModel->RemoveAt(static_cast<size_t>(row));
}

void TfrmCleaning::Attribute1Click() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const TRowTarget target = TargetOf(FModel->Rows()[static_cast<size_t>(row)]);
    ShowFileProperties(this, target.Path);
}

void TfrmCleaning::Lv_GarbageListColumnClick(int column) {
    SortColumn = column;
    FModel->Sort(SortColumn, SortDescending);
    SortDescending = !SortDescending;
}

void TfrmCleaning::btnAddCleanDirClick() {
    const std::string chosen =
        FFolderPicker("Please select a directory to cleanup: ", S(lCleanupDir->text()));
    if (chosen.empty())
        return;
    lCleanupDir->setText(Q(chosen));
    if (!Setting)
        return;
    Setting->Directorys().Clear();
    Setting->Directorys().Add(chosen, true, true);
}

void TfrmCleaning::cbAutoCloseClick() {
    if (Setting)
        Setting->SetAutoCleanShutDown(cbAutoClose->isChecked());
}

void TfrmCleaning::RzBitBtn1Click() {
    close();
}

void TfrmCleaning::closeEvent(QCloseEvent* event) {
    // The scan, its summary and any power-off are handled first; the window closes then.
    if (Scanning()) {
        FCloseRequested = true;
        event->ignore();
        return;
    }
    Timer1.stop();
    QDialog::closeEvent(event);
}

void TfrmCleaning::reject() {
    if (Scanning()) {
        Btn_ScanClick();
        return;
    }
    Timer1.stop();
    QDialog::reject();
}

void TfrmCleaning::AddRow(TJunkRow row) {
    FPending.Rows.push_back(std::move(row));
}

void TfrmCleaning::Scroll() {
    ++FPending.ScrollSteps;
}

void TfrmCleaning::SetCaption(const std::string& text) {
    FPending.Caption = text;
    FPending.CaptionChanged = true;
}

void TfrmCleaning::SetStatus(int panel, const std::string& text) {
    if (panel != 0 && panel != 1)
        return;
    FPending.Status[panel] = text;
    FPending.StatusChanged[panel] = true;
}

int TfrmCleaning::ProgressPosition() const {
    return FProgress;
}

void TfrmCleaning::SetProgressPosition(int position) {
    // As the bar itself does: a position outside its range is not taken.
    const bool busy = Pb_Process->minimum() == 0 && Pb_Process->maximum() == 0;
    if (!busy && (position < Pb_Process->minimum() || position > Pb_Process->maximum()))
        return;
    FProgress = position;
    FPending.ProgressChanged = true;
}

void TfrmCleaning::Pump() {
    ShowScanState();
    QCoreApplication::processEvents();
    // A command handled in the meantime (a deletion run) may have moved the bar.
    FProgress = Pb_Process->value();
}

void TfrmCleaning::ShowScanState() {
    if (!FPending.Rows.empty()) {
        FModel->Append(std::move(FPending.Rows));
        FPending.Rows.clear();
    }
    if (FPending.ScrollSteps > 0) {
        // Each row scrolls the list 20 pixels further, its newest rows in view.
        QScrollBar* bar = Lv_GarbageList->verticalScrollBar();
        bar->setValue(bar->value() + 20 * FPending.ScrollSteps);
        FPending.ScrollSteps = 0;
    }
    if (FPending.CaptionChanged) {
        setWindowTitle(Q(FPending.Caption));
        FPending.CaptionChanged = false;
    }
    for (int panel = 0; panel < 2; ++panel) {
        if (FPending.StatusChanged[panel]) {
            FStatus[panel]->setText(Q(FPending.Status[panel]));
            FPending.StatusChanged[panel] = false;
        }
    }
    if (FPending.ProgressChanged) {
        Pb_Process->setValue(FProgress);
        FPending.ProgressChanged = false;
    }
}

void TfrmCleaning::ShowStatus(int panel, const std::string& text) {
    FPending.StatusChanged[panel] = false;
    FStatus[panel]->setText(Q(text));
}
