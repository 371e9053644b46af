#include "analysis/ui/TDirChartPanel.h"

#include "analysis/VolumeShare.h"
#include "analysis/ui/TDirPieChart.h"
#include "analysis/ui/TDiskBarChart.h"
#include "analysis/ui/TProgressBarActivity.h"
#include "analysis/ui/TSizeBar.h"
#include "analysis/ui/TSliceListBox.h"
#include "core/ui/TWaitCursor.h"
#include "core/EMorvaneError.h"
#include "core/TDisk.h"
#include "core/TSetting.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>

namespace {

const char* const MyComputer = "My Computer";

QToolButton* ToolButton(QWidget* parent, const char* name, const QString& hint, QStyle::StandardPixmap icon,
                        const QString& fallback = {}) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    if (fallback.isEmpty())
        button->setIcon(parent->style()->standardIcon(icon));
    else
        button->setText(fallback);
    button->setMinimumSize(23, 22);
    return button;
}

QLabel* ColourBox(QWidget* parent, const QColor& colour) {
    auto* box = new QLabel(parent);
    box->setFixedSize(10, 10);
    box->setStyleSheet(QString("background: %1; border: 1px solid black").arg(colour.name()));
    return box;
}

// A size panel inside a splitter gets its remembered size back; the others share the rest.
void GiveBackSize(QWidget* panel, int size, Qt::Orientation orientation) {
    auto* splitter = qobject_cast<QSplitter*>(panel->parentWidget());
    if (!splitter || splitter->orientation() != orientation)
        return;
    QList<int> sizes = splitter->sizes();
    const int index = splitter->indexOf(panel);
    int whole = 0;
    for (int s : sizes)
        whole += s;
    const int others = static_cast<int>(sizes.size()) - 1;
    for (int i = 0; i < sizes.size(); ++i)
        sizes[i] = i == index ? size : std::max(0, (whole - size) / std::max(1, others));
    splitter->setSizes(sizes);
}

} // namespace

TDirChartPanel::TDirChartPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("pDirInfo");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    FDirInfoBar = new TSizeBar(Qt::Horizontal, this);
    connect(FDirInfoBar, &TSizeBar::HotSpotClicked, this, &TDirChartPanel::ToggleDirInfo);
    column->addWidget(FDirInfoBar);

    FBody = new QWidget(this);
    auto* body = new QVBoxLayout(FBody);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(BuildToolbar());
    FChartSplit = new QSplitter(Qt::Horizontal, FBody);
    FChartSplit->setChildrenCollapsible(false);
    FPChart = new QStackedWidget(FChartSplit);
    FPChart->setObjectName("PChart");
    FPChart->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FChart_Dir = new TDirPieChart(FPChart);
    FChart_Disk = new TDiskBarChart(FPChart);
    FPChart->addWidget(FChart_Dir);
    FPChart->addWidget(FChart_Disk);
    FChartSplit->addWidget(FPChart);
    FChartSplit->addWidget(BuildInfoPanel());
    FChartSplit->setStretchFactor(0, 1);
    FChartSplit->setSizes({800, FPbkWidth});
    body->addWidget(FChartSplit, 1);
    column->addWidget(FBody, 1);

    FcbShowChart = new QCheckBox(QString::fromUtf8("即时显示图表(目录大时，速度较慢)"), this);
    FcbShowChart->setObjectName("cbShowChart");
    FcbShowChart->hide(); // shown in the path toolbar by PlacePathBarControls
    connect(FcbShowChart, &QCheckBox::clicked, this, [](bool checked) {
        if (Setting)
            Setting->SetIfShowChart(checked);
    });
    FToolButton6 = ToolButton(this, "ToolButton6", "Collapse/Expand Directory Information",
                              QStyle::SP_TitleBarShadeButton);
    FToolButton6->hide();
    connect(FToolButton6, &QToolButton::clicked, this, &TDirChartPanel::ToggleDirInfo);

    // The chart items that report a click must outlive its handling: a drill-down
    // replaces every slice, so the handlers run once the click is over.
    connect(FChart_Dir, &TDirPieChart::SliceClicked, this, &TDirChartPanel::Series1Click, Qt::QueuedConnection);
    connect(FChart_Dir, &TDirPieChart::SliceDoubleClicked, this, &TDirChartPanel::Series1DblClick,
            Qt::QueuedConnection);
    connect(FChart_Disk, &TDiskBarChart::Series4DoubleClicked, this, &TDirChartPanel::Series4DblClick,
            Qt::QueuedConnection);
    RedrawPie();
    ShowPie();
}

TDirChartPanel::~TDirChartPanel() = default;

QWidget* TDirChartPanel::BuildToolbar() {
    auto* bar = new QWidget(FBody);
    bar->setObjectName("Panel4");
    bar->setFixedHeight(28);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(1);
    auto* menu = new QToolButton(bar);
    menu->setObjectName("btnMenu");
    menu->setText("Morvane");
    menu->setToolTip("Morvane Menu");
    menu->setAutoRaise(true);
    row->addWidget(menu);
    row->addWidget(ToolButton(bar, "btnBar", "Bar Model", QStyle::SP_FileDialogListView));
    row->addWidget(ToolButton(bar, "btnPie", "Pie model", QStyle::SP_FileDialogContentsView));
    auto* save = ToolButton(bar, "RzToolbarButton2", "Save Chart as bitmap...", QStyle::SP_DialogSaveButton);
    connect(save, &QToolButton::clicked, this, &TDirChartPanel::RzToolbarButton2Click);
    row->addWidget(save);
    auto* print = ToolButton(bar, "RzToolbarButton1", "Print Chart", QStyle::SP_FileIcon);
    connect(print, &QToolButton::clicked, this, &TDirChartPanel::RzToolbarButton1Click);
    row->addWidget(print);
    auto* zoomOut = ToolButton(bar, "btnZoomOut", "Zoom Out", QStyle::SP_CustomBase, QString::fromUtf8("－"));
    connect(zoomOut, &QToolButton::clicked, this, &TDirChartPanel::btnZoomOutClick);
    row->addWidget(zoomOut);
    auto* zoomIn = ToolButton(bar, "btnZoomIn", "Zoom In", QStyle::SP_CustomBase, QString::fromUtf8("＋"));
    connect(zoomIn, &QToolButton::clicked, this, &TDirChartPanel::btnZoomInClick);
    row->addWidget(zoomIn);
    row->addWidget(ToolButton(bar, "RzToolbarButton8", "Collapse/Expand Left Items", QStyle::SP_ArrowLeft));
    for (const char* name : {"RzToolbarButton5", "RzToolbarButton6"}) {
        auto* toggle = ToolButton(bar, name, "Collapse/Expand Directory Information",
                                  name[15] == '5' ? QStyle::SP_TitleBarShadeButton : QStyle::SP_TitleBarUnshadeButton);
        connect(toggle, &QToolButton::clicked, this, &TDirChartPanel::ToggleDirInfo);
        row->addWidget(toggle);
    }
    auto* pbk = ToolButton(bar, "RzToolbarButton7", "Collapse/Expand Directory Information", QStyle::SP_ArrowRight);
    connect(pbk, &QToolButton::clicked, this, &TDirChartPanel::TogglePbk);
    row->addWidget(pbk);
    // The window's own commands on this toolbar; the window connects them.
    row->addWidget(ToolButton(bar, "RzToolbarButton9", "Scan this directory ...", QStyle::SP_DriveHDIcon));
    row->addWidget(ToolButton(bar, "btnOption", "Option", QStyle::SP_FileDialogDetailedView));
    row->addWidget(ToolButton(bar, "RzToolbarButton13", "Send Mail To Author...", QStyle::SP_MessageBoxInformation));
    row->addWidget(ToolButton(bar, "RzToolbarButton12", "Tell a Friend ...", QStyle::SP_DialogHelpButton));
    auto* refresh = ToolButton(bar, "RzToolbarButton11", "Refresh Chart", QStyle::SP_BrowserReload);
    connect(refresh, &QToolButton::clicked, this, &TDirChartPanel::RzToolbarButton11Click);
    row->addWidget(refresh);
    auto* parent = ToolButton(bar, "SpeedButton14", "Goto Parent Directory", QStyle::SP_FileDialogToParent);
    parent->hide();
    connect(parent, &QToolButton::clicked, this, &TDirChartPanel::Sp_UpDirClick);
    row->addWidget(parent);
    row->addSpacing(8);
    auto* label8 = new QLabel(QString::fromUtf8("最小块比例:"), bar);
    label8->setObjectName("Label8");
    label8->setToolTip("Group Slice In Pie Chart  When Percent Below:");
    row->addWidget(label8);
    FSp_Slice = new QSpinBox(bar);
    FSp_Slice->setObjectName("Sp_Slice");
    FSp_Slice->setRange(0, 100);
    FSp_Slice->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue); // 150 typed becomes 100
    FSp_Slice->setSingleStep(1);
    FSp_Slice->setValue(14);
    connect(FSp_Slice, &QSpinBox::valueChanged, this, [this] { RedrawPie(); });
    row->addWidget(FSp_Slice);
    row->addWidget(new QLabel("%", bar));
    row->addSpacing(8);
    FPb_Process = new QProgressBar(bar);
    FPb_Process->setObjectName("Pb_Process");
    FPb_Process->setRange(0, 100);
    FPb_Process->setValue(0);
    FPb_Process->setTextVisible(false);
    FPb_Process->setFixedSize(177, 16);
    FProgress = std::make_unique<TProgressBarActivity>(FPb_Process);
    row->addWidget(FPb_Process);
    row->addStretch(1);
    return bar;
}

QWidget* TDirChartPanel::BuildInfoPanel() {
    FPbk = new QWidget(FChartSplit);
    FPbk->setObjectName("pbk");
    FPbk->setAutoFillBackground(true);
    // Plain light grey: the tiled picture bk under the texts made them hard to read.
    QPalette grey = FPbk->palette();
    grey.setColor(QPalette::Window, QColor(0xEA, 0xEA, 0xEA));
    FPbk->setPalette(grey);
    auto* row = new QHBoxLayout(FPbk);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* sizeBar = new TSizeBar(Qt::Vertical, FPbk);
    connect(sizeBar, &TSizeBar::HotSpotClicked, this, &TDirChartPanel::TogglePbk);
    row->addWidget(sizeBar);
    FPbkBody = new QWidget(FPbk);
    row->addWidget(FPbkBody, 1);
    auto* column = new QVBoxLayout(FPbkBody);
    column->setContentsMargins(6, 4, 4, 4);
    column->setSpacing(2);

    FLDirName = new QLabel(QString::fromUtf8("文档说明"), FPbkBody);
    FLDirName->setObjectName("LDirName");
    QFont bold = FLDirName->font();
    bold.setBold(true);
    FLDirName->setFont(bold);
    QPalette hot = FLDirName->palette();
    hot.setColor(QPalette::WindowText, QColor(0x00, 0x66, 0xCC)); // the system's hot-light colour
    FLDirName->setPalette(hot);
    column->addWidget(FLDirName);
    column->addWidget(new QLabel(QString::fromUtf8("目录路径 :"), FPbkBody));
    FL_Dir = new QLabel("c:\\", FPbkBody);
    FL_Dir->setObjectName("L_Dir");
    QFont narrow("Arial Narrow");
    narrow.setPixelSize(14);
    FL_Dir->setFont(narrow);
    FL_Dir->setStyleSheet("color: #FF0000");
    FL_Dir->setWordWrap(true);
    FL_Dir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(FL_Dir);

    FrsPrecent = new QProgressBar(FPbkBody);
    FrsPrecent->setObjectName("rsPrecent");
    FrsPrecent->setRange(0, 10000);
    FrsPrecent->setValue(0);
    FrsPrecent->setFormat("0 %");
    FrsPrecent->setFixedHeight(16);
    FrsPrecent->setStyleSheet("QProgressBar { background: #FFC0C0; border: 1px solid grey; text-align: center }"
                              "QProgressBar::chunk { background: #A6CAF0 }");
    column->addWidget(FrsPrecent);
    auto* legend = new QHBoxLayout;
    legend->addWidget(ColourBox(FPbkBody, QColor(0xA6, 0xCA, 0xF0)));
    legend->addWidget(new QLabel(QString::fromUtf8("目录"), FPbkBody));
    legend->addSpacing(8);
    legend->addWidget(ColourBox(FPbkBody, QColor(0xFF, 0xC0, 0xC0)));
    legend->addWidget(new QLabel(QString::fromUtf8("磁盘总大小"), FPbkBody));
    legend->addStretch(1);
    column->addLayout(legend);

    auto* dates = new QGridLayout;
    FlModifyDate = new QLabel(FPbkBody);
    FlModifyDate->setObjectName("lModifyDate");
    FlCreateDate = new QLabel(FPbkBody);
    FlCreateDate->setObjectName("lCreateDate");
    dates->addWidget(new QLabel(QString::fromUtf8("最后修改:"), FPbkBody), 0, 0);
    dates->addWidget(FlModifyDate, 0, 1);
    dates->addWidget(new QLabel(QString::fromUtf8("创建日期:"), FPbkBody), 1, 0);
    dates->addWidget(FlCreateDate, 1, 1);
    dates->setColumnStretch(1, 1);
    column->addLayout(dates);

    FpInfo = new TSliceListBox(FPbkBody);
    FpInfo->setObjectName("pInfo");
    column->addWidget(FpInfo, 1);
    return FPbk;
}

void TDirChartPanel::PlacePathBarControls(QBoxLayout* row) {
    row->addWidget(FToolButton6);
    row->addWidget(FcbShowChart);
    FToolButton6->show();
    FcbShowChart->show();
}

void TDirChartPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FcbShowChart->setChecked(Setting && Setting->IfShowChart());
}

bool TDirChartPanel::PieShown() const { return FPChart->currentWidget() == FChart_Dir; }

QString TDirChartPanel::L_Dir() const { return FL_Dir->text(); }

QStringList TDirChartPanel::InfoLines() const {
    QStringList lines;
    for (const TSliceListBox::TRow& row : FpInfo->Rows())
        lines << row.Text;
    return lines;
}

void TDirChartPanel::ShowPie() {
    FPChart->setCurrentWidget(FChart_Dir);
    FChart_Dir->raise();
}

void TDirChartPanel::ShowBars() {
    FPChart->setCurrentWidget(FChart_Disk);
    FChart_Disk->raise();
}

void TDirChartPanel::ShowLocationChart(const QString& location) {
    FL_Dir->setText(location);
    if (location.isEmpty() || location == MyComputer)
        ShowDriveChart();
    else
        ShowDirectoryChart(location);
}

void TDirChartPanel::ShowDirectoryChart(const QString& path) {
    if (FDirInfoCollapsed)
        return;
    const std::string folder = ChartedPath(path.toStdString());
    FL_Dir->setText(QString::fromStdString(folder));
    ShowPie();
    FProgress->Reset();
    std::vector<TBreakdownPoint> points = DirectoryBreakdown(folder, false, FProgress.get());
    FProgress->Reset();
    SetBreakdown(QString::fromStdString(folder), std::move(points));
}

void TDirChartPanel::AnalyzeDirectory(const QString& path) {
    TWaitCursor hourglass;
    FPoints.clear();
    FL_Dir->setText(path);
    FProgress->Reset();
    // The bar keeps the place the walk brought it to.
    SetBreakdown(path, DirectoryBreakdown(path.toStdString(), true, FProgress.get()));
}

void TDirChartPanel::ShowDriveChart() {
    if (FDirInfoCollapsed)
        return;
    TWaitCursor hourglass;
    ShowBars();
    FChart_Disk->SetBars(FDisk ? DriveBars(*FDisk) : std::vector<TDriveBar>{});
}

void TDirChartPanel::Sp_UpDirClick() {
    if (!Setting || !Setting->IfShowChart())
        return;
    TWaitCursor hourglass;
    if (!L_Dir().isEmpty())
        ShowDirectoryChart(L_Dir());
    else
        ShowDriveChart();
}

void TDirChartPanel::SetL_Dir(const QString& text) { FL_Dir->setText(text); }

void TDirChartPanel::SetLocationInfo(const QString& dirName, const QString& createDate, const QString& modifyDate) {
    FLDirName->setText(dirName);
    FlCreateDate->setText(createDate);
    FlModifyDate->setText(modifyDate);
}

void TDirChartPanel::SetBreakdown(const QString& folder, std::vector<TBreakdownPoint> points) {
    FPoints = std::move(points);
    RedrawPie();
    FVolumeShare = VolumeSharePercent(folder.toStdString(), FSlices.Total());
    FrsPrecent->setValue(static_cast<int>(FVolumeShare * 100));
    FrsPrecent->setFormat(QString::fromStdString(FormatDecimal(FVolumeShare, 2, false, LocaleNumbers()) + " %"));
}

void TDirChartPanel::RedrawPie() {
    FSlices = TPieSlices(FPoints, FSp_Slice->value());
    FChart_Dir->SetSlices(FSlices);
    std::vector<TSliceListBox::TRow> rows;
    for (const TPieSlice& slice : FSlices.Listed())
        rows.push_back({TDirPieChart::PaletteColor(slice.Position), QString::fromStdString(TPieSlices::InfoLine(slice))});
    FpInfo->SetRows(std::move(rows));
}

TNumberFormat TDirChartPanel::LocaleNumbers() const {
    const QLocale locale;
    return {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
}

void TDirChartPanel::Message(const QString& text) {
    if (ShowMessage) {
        ShowMessage(text);
        return;
    }
    QString shown = text;
    shown.replace("\r\n", "\n");
    QMessageBox::information(this, QApplication::applicationName(), shown);
}

void TDirChartPanel::Series1Click(int index, Qt::MouseButton button) {
    if (button != Qt::RightButton || index < 0 || index >= static_cast<int>(FSlices.Drawn().size()))
        return;
    const TPieSlice& slice = FSlices.Drawn()[static_cast<size_t>(index)];
    Message(QString::fromStdString(FSlices.DetailText(slice, LocaleNumbers())));
}

void TDirChartPanel::Series1DblClick(int index) {
    if (index < 0 || index >= static_cast<int>(FSlices.Drawn().size()))
        return;
    TWaitCursor hourglass;
    const TPieSlice slice = FSlices.Drawn()[static_cast<size_t>(index)];
    const std::string charted = L_Dir().toStdString();
    if (TPieSlices::DoubleClickAction(slice, charted) == TSliceAction::DrillDown)
        ShowDirectoryChart(QString::fromStdString(TPieSlices::DrillDownPath(slice, charted)));
    else
        Message(QString::fromStdString(FSlices.ShareMessage(slice, LocaleNumbers())));
}

void TDirChartPanel::Series4DblClick(int index) {
    const std::vector<TDriveBar>& bars = FChart_Disk->Bars();
    if (!FDisk || index < 0 || index >= static_cast<int>(bars.size()))
        return;
    TWaitCursor hourglass;
    const QString label = QString::fromStdString(bars[static_cast<size_t>(index)].Label);
    for (int i = 0; i < FDisk->Count(); ++i) {
        const QString root = QString::fromStdString(FDisk->RootAt(i));
        if (root.compare(label, Qt::CaseInsensitive) == 0) {
            ShowDirectoryChart(root);
            return;
        }
    }
}

void TDirChartPanel::RzToolbarButton11Click() {
    TWaitCursor hourglass;
    ShowLocationChart(LocationText ? LocationText() : QString());
    if (ShowLocationInfo)
        ShowLocationInfo();
    FChart_Dir->update();
    FChart_Disk->update();
}

void TDirChartPanel::RzToolbarButton1Click() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw EMorvaneError("There is no default printer currently selected");
    QPrinter printer(info, QPrinter::HighResolution);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EMorvaneError("Printing on " + info.printerName().toStdString() + " failed");
    // Print margins in per cent of the page: 15 left and right, 35 top and bottom.
    const QRect page = painter.viewport();
    const QRect area(page.x() + page.width() * 15 / 100, page.y() + page.height() * 35 / 100,
                     page.width() * 70 / 100, page.height() * 30 / 100);
    const QImage picture = FChart_Dir->Picture();
    const QSize fitted = picture.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - fitted.width()) / 2, area.y(), fitted.width(), fitted.height());
    painter.drawImage(target, picture);
    painter.end();
}

void TDirChartPanel::RzToolbarButton2Click() {
    QFileDialog dialog(this);
    dialog.setObjectName("Dlg_OpenDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({"Word (*.Doc)", "Access (*.Mdb)", "Excel (*.Exl)", "Picture (*.bmp *.jpg *.png)"});
    dialog.setDefaultSuffix("bmp");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveChart(dialog.selectedFiles().constFirst());
}

void TDirChartPanel::SaveChart(const QString& fileName) {
    const QImage picture = FChart_Dir->Picture();
    if (!picture.save(fileName, "BMP"))
        throw EMorvaneError("Cannot create file \"" + fileName.toStdString() + "\"");
}

void TDirChartPanel::btnZoomInClick() { FChart_Dir->ZoomIn(); }
void TDirChartPanel::btnZoomOutClick() { FChart_Dir->ZoomOut(); }

void TDirChartPanel::ToggleDirInfo() {
    if (FDirInfoCollapsed) {
        FDirInfoCollapsed = false;
        setMaximumHeight(QWIDGETSIZE_MAX);
        FBody->show();
        GiveBackSize(this, FDirInfoHeight, Qt::Vertical);
        return;
    }
    FDirInfoCollapsed = true;
    FDirInfoHeight = height();
    FBody->hide();
    setMaximumHeight(TSizeBar::Thickness);
}

void TDirChartPanel::TogglePbk() {
    if (FPbkCollapsed) {
        FPbkCollapsed = false;
        FPbk->setMaximumWidth(QWIDGETSIZE_MAX);
        FPbkBody->show();
        GiveBackSize(FPbk, FPbkWidth, Qt::Horizontal);
        return;
    }
    FPbkCollapsed = true;
    FPbkWidth = FPbk->width();
    FPbkBody->hide();
    FPbk->setMaximumWidth(TSizeBar::Thickness);
}
