#include "analysis/ui/TDiskBarChart.h"

#include "analysis/TPieSlices.h"
#include "analysis/ui/TDirPieChart.h"

#include <QBarCategoryAxis>
#include <QStackedBarSeries>
#include <QBarSet>
#include <QFontMetrics>
#include <QGraphicsDropShadowEffect>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QValueAxis>

#include <algorithm>

namespace {

// The chart gives each of the two series half of a drive's width: the first series'
// bars stand a quarter to the left of the drive's position, the second's a quarter right.
constexpr double BarWidth = 0.6;
constexpr double SeriesOffset = 0.25;

QFont NarrowFont(int pixels, bool bold) {
    QFont font("Arial Narrow");
    font.setBold(bold);
    font.setPixelSize(pixels);
    return font;
}

QLinearGradient VerticalGradient(const QColor& top, const QColor& bottom) {
    QLinearGradient g(0, 0, 0, 1);
    g.setCoordinateMode(QGradient::ObjectBoundingMode);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QString Thousands(double value) { return QString::fromStdString(FormatDecimal(value, 0, true, {})); }

} // namespace

TDiskBarChart::TDiskBarChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName("Chart_Disk");
    setRenderHint(QPainter::Antialiasing);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QString::fromUtf8("双击图表中某一区块，进入相应目录"));
    QChart* c = chart();
    c->setTitle(QString::fromUtf8("磁盘/目录空间占用分析 (图表单位 : MByte)"));
    c->setTitleFont(NarrowFont(15, true));
    c->setBackgroundRoundness(0);
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setBackgroundBrush(VerticalGradient(Qt::white, QColor(0xC8, 0xFF, 0xFF)));

    // Two bar series side by side per drive. The first holds one bar set per drive
    // (a value only at its own position) so that each bar has its position's colour.
    FSeries4 = new QStackedBarSeries(c);
    FSeries4->setObjectName("Series4");
    FSeries4->setName(QString::fromUtf8("条柱1       : 磁盘大小"));
    FSeries4->setBarWidth(BarWidth);
    FSeries3 = new QStackedBarSeries(c);
    FSeries3->setObjectName("Series3");
    FSeries3->setName(QString::fromUtf8("条柱2: 剩余空间"));
    FSeries3->setBarWidth(BarWidth + 0.05);
    FFree = new QBarSet(FSeries3->name());
    FFree->setBrush(VerticalGradient(QColor(0xC0, 0xC0, 0xC0), Qt::white));
    FFree->setPen(QPen(QColor(0x80, 0x80, 0x80)));
    FSeries3->append(FFree);
    c->addSeries(FSeries4);
    c->addSeries(FSeries3);
    FAxisX = new QBarCategoryAxis(c);
    FAxisY = new QValueAxis(c);
    FAxisY->setLabelFormat("%.0f");
    c->addAxis(FAxisX, Qt::AlignBottom);
    c->addAxis(FAxisY, Qt::AlignLeft);
    for (QStackedBarSeries* series : {FSeries4, FSeries3}) {
        series->attachAxis(FAxisX);
        series->attachAxis(FAxisY);
    }
    connect(FSeries4, &QStackedBarSeries::doubleClicked, this,
            [this](int index, QBarSet*) { emit Series4DoubleClicked(index); });

    // The legend names the two series in plain text at the top right, over the chart.
    c->legend()->hide();
    FLegend = new QLabel(FSeries4->name() + "\n" + FSeries3->name(), this);
    FLegend->setObjectName("Legend");
    FLegend->setFont(NarrowFont(13, true));
    FLegend->setStyleSheet("color: #000080");
    auto* shadow = new QGraphicsDropShadowEffect(FLegend);
    shadow->setOffset(1, 1);
    shadow->setBlurRadius(0);
    shadow->setColor(QColor(0xC0, 0xC0, 0xC0));
    FLegend->setGraphicsEffect(shadow);
    FLegend->adjustSize();

    FNotice = new QWidget(this);
    auto* row = new QHBoxLayout(FNotice);
    row->setContentsMargins(0, 0, 0, 0);
    auto* notice = new QLabel("Notice :", FNotice);
    QFont bold = notice->font();
    bold.setBold(true);
    bold.setPixelSize(14);
    notice->setFont(bold);
    notice->setStyleSheet("color: #FF0000");
    auto* hint = new QLabel("Double click the column to analyse the direcotry space ", FNotice);
    QFont italic = NarrowFont(14, false);
    italic.setItalic(true);
    hint->setFont(italic);
    hint->setStyleSheet("color: #0000FF");
    row->addWidget(notice);
    row->addWidget(hint);
    FNotice->adjustSize();

    connect(c, &QChart::plotAreaChanged, this, [this] { PlaceMarks(); });
}

void TDiskBarChart::SetBars(std::vector<TDriveBar> bars) {
    FBars = std::move(bars);
    FSeries4->clear();
    FFree->remove(0, FFree->count());
    FAxisX->clear();
    double top = 0;
    const int n = static_cast<int>(FBars.size());
    for (int i = 0; i < n; ++i) {
        const TDriveBar& bar = FBars[static_cast<size_t>(i)];
        FAxisX->append(QString::fromStdString(bar.Label));
        auto* total = new QBarSet(QString::fromStdString(bar.Label));
        for (int j = 0; j < n; ++j)
            *total << (j == i ? bar.Total : 0);
        const QColor colour = TDirPieChart::PaletteColor(i);
        total->setBrush(VerticalGradient(colour.lighter(150), colour));
        total->setPen(QPen(colour.darker(150)));
        FSeries4->append(total);
        *FFree << bar.Free;
        top = std::max({top, bar.Total, bar.Free});
    }
    FAxisY->setRange(0, top > 0 ? top * 1.15 : 1); // room for the marks above the bars
    FAxisY->applyNiceNumbers();
    for (QGraphicsSimpleTextItem* mark : FMarks)
        delete mark;
    FMarks.clear();
    const QFont font = NarrowFont(11, false);
    for (int set = 0; set < 2; ++set)
        for (const TDriveBar& bar : FBars) {
            const QString value = Thousands(set == 0 ? bar.Total : bar.Free);
            // A long mount path is shortened in the mark; the axis below names it too.
            const QString label = QFontMetrics(font).elidedText(QString::fromStdString(bar.Label), Qt::ElideMiddle, 90);
            const QString text = set == 0 ? label + " " + value : value;
            auto* mark = new QGraphicsSimpleTextItem(text, chart());
            mark->setFont(font);
            mark->setZValue(10);
            FMarks.push_back(mark);
        }
    PlaceMarks();
}

QStringList TDiskBarChart::MarkTexts() const {
    QStringList texts;
    for (const QGraphicsSimpleTextItem* mark : FMarks)
        texts << mark->text();
    return texts;
}

void TDiskBarChart::PlaceMarks() {
    const size_t n = FBars.size();
    for (size_t i = 0; i < FMarks.size() && n > 0; ++i) {
        const size_t drive = i % n;
        const bool first = i < n;
        const TDriveBar& bar = FBars[drive];
        const double x = static_cast<double>(drive) + (first ? -SeriesOffset : SeriesOffset);
        const QPointF top = chart()->mapToPosition(QPointF(x, first ? bar.Total : bar.Free), FSeries4);
        QGraphicsSimpleTextItem* mark = FMarks[i];
        const QRectF box = mark->boundingRect();
        mark->setPos(top.x() - box.width() / 2, top.y() - box.height() - 2);
    }
}

void TDiskBarChart::PlaceOverlays() {
    FLegend->move(width() - FLegend->width() - 6, static_cast<int>(height() * 0.01));
    FNotice->move(4, height() - FNotice->height() - 2);
}

void TDiskBarChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    PlaceOverlays();
    PlaceMarks();
}
