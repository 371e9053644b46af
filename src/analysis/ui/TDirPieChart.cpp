#include "analysis/ui/TDirPieChart.h"

#include <QGraphicsLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const std::array<QColor, 20> Palette{
    QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x80, 0x00), QColor(0xFF, 0xFF, 0x00),
    QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0xFF, 0xFF), QColor(0x80, 0x80, 0x80),
    QColor(0xFF, 0x00, 0xFF), QColor(0x00, 0x80, 0x80), QColor(0x00, 0x00, 0x80),
    QColor(0x80, 0x00, 0x00), QColor(0x00, 0xFF, 0x00), QColor(0x80, 0x80, 0x00),
    QColor(0x80, 0x00, 0x80), QColor(0xC0, 0xC0, 0xC0), QColor(0x00, 0xFF, 0xFF),
    QColor(0x00, 0x00, 0x00), QColor(0xC0, 0xDC, 0xC0), QColor(0xA6, 0xCA, 0xF0),
    QColor(0xFF, 0xFB, 0xF0), QColor(0xA0, 0xA0, 0xA4)};

constexpr double ZoomStep = 0.1;

QFont TitleFont() {
    QFont font("Arial Narrow");
    font.setBold(true);
    font.setPixelSize(15);
    return font;
}

} // namespace

QColor TDirPieChart::PaletteColor(int position) {
    return Palette[static_cast<size_t>(position) % Palette.size()];
}

TDirPieChart::TDirPieChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName("Chart_Dir");
    setRenderHint(QPainter::Antialiasing);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QString::fromUtf8("双击图表中某一区块，进入相应目录"));
    QChart* c = chart();
    c->setTitle(QString::fromUtf8("目录空间分析"));
    c->setTitleFont(TitleFont());
    c->legend()->hide();
    c->setMargins(QMargins(0, 0, 0, 0));
    c->setBackgroundRoundness(0);
    c->layout()->setContentsMargins(0, 0, 0, 0);
    QLinearGradient back(0, 0, 0, 1);
    back.setCoordinateMode(QGradient::ObjectBoundingMode);
    back.setColorAt(0, Qt::white);
    back.setColorAt(1, QColor(0xC8, 0xFF, 0xFF)); // towards aqua
    c->setBackgroundBrush(back);
    FSeries = new QPieSeries(c);
    FSeries->setPieSize(FPieSize);
    c->addSeries(FSeries);
    connect(FSeries, &QPieSeries::clicked, this,
            [this](QPieSlice* s) { emit SliceClicked(IndexOf(s), FPressed); });
    connect(FSeries, &QPieSeries::doubleClicked, this,
            [this](QPieSlice* s) { emit SliceDoubleClicked(IndexOf(s)); });

    // Kept from the designed chart, without a function of their own.
    auto* upper = new QLabel("Upper Lever :", this);
    upper->setObjectName("L_UpperLevel");
    upper->move(6, 6);
    auto* back_step = new QToolButton(this);
    back_step->setObjectName("Sp_BackStep");
    back_step->setAutoRaise(true);
    back_step->setToolTip("Back Step");
    back_step->setArrowType(Qt::LeftArrow);
    back_step->move(upper->sizeHint().width() + 8, 2);
}

void TDirPieChart::SetSlices(const TPieSlices& slices) {
    FSeries->clear();
    for (const TPieSlice& s : slices.Drawn()) {
        QPieSlice* slice = FSeries->append(QString::fromStdString(s.Label), std::fabs(s.Value));
        slice->setBrush(PaletteColor(s.Position));
        slice->setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        slice->setLabelVisible(true);
        slice->setLabelPosition(QPieSlice::LabelOutside);
        slice->setLabelArmLengthFactor(0.08);
        slice->setLabelColor(Qt::black);
    }
}

int TDirPieChart::SliceCount() const { return FSeries->count(); }

int TDirPieChart::IndexOf(QPieSlice* slice) const {
    const QList<QPieSlice*> all = FSeries->slices();
    return static_cast<int>(all.indexOf(slice));
}

void TDirPieChart::SetPieSize(double size) {
    FPieSize = std::clamp(size, MinPieSize, MaxPieSize);
    FSeries->setPieSize(FPieSize);
}

void TDirPieChart::ZoomIn() { SetPieSize(FPieSize + ZoomStep); }
void TDirPieChart::ZoomOut() { SetPieSize(FPieSize - ZoomStep); }

QImage TDirPieChart::Picture() {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    // The widget's own render also lays out a chart that is hidden behind the drive chart.
    QWidget::render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

void TDirPieChart::mousePressEvent(QMouseEvent* event) {
    FPressed = event->button();
    QChartView::mousePressEvent(event);
}
