#include "analysis/ui/TDiskBarChart.h"

#include "analysis/TPieSlices.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
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

// Bars of the two sets share 60 per cent of a drive's width: the first set's bar centre
// is 0.15 left of the drive's position, the second's 0.15 right of it.
constexpr double BarWidth = 0.6;

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

    FSeries4 = new QBarSet(QString::fromUtf8("条柱1       : 磁盘大小"));
    FSeries4->setObjectName("Series4");
    FSeries4->setBrush(VerticalGradient(QColor(0xFF, 0x60, 0x60), QColor(0xFF, 0x00, 0x00)));
    FSeries3 = new QBarSet(QString::fromUtf8("条柱2: 剩余空间"));
    FSeries3->setObjectName("Series3");
    FSeries3->setBrush(VerticalGradient(QColor(0xC0, 0xC0, 0xC0), Qt::white));
    FSeries = new QBarSeries(c);
    FSeries->setBarWidth(BarWidth);
    FSeries->append(FSeries4);
    FSeries->append(FSeries3);
    c->addSeries(FSeries);
    FAxisX = new QBarCategoryAxis(c);
    FAxisY = new QValueAxis(c);
    FAxisY->setLabelFormat("%.0f");
    c->addAxis(FAxisX, Qt::AlignBottom);
    c->addAxis(FAxisY, Qt::AlignLeft);
    FSeries->attachAxis(FAxisX);
    FSeries->attachAxis(FAxisY);
    connect(FSeries, &QBarSeries::doubleClicked, this, [this](int index, QBarSet* set) {
        if (set == FSeries4)
            emit Series4DoubleClicked(index);
    });

    // The legend names the two series in plain text at the top right, over the chart.
    c->legend()->hide();
    FLegend = new QLabel(FSeries4->label() + "\n" + FSeries3->label(), this);
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
    FSeries4->remove(0, FSeries4->count());
    FSeries3->remove(0, FSeries3->count());
    FAxisX->clear();
    double top = 0;
    for (const TDriveBar& bar : FBars) {
        FAxisX->append(QString::fromStdString(bar.Label));
        *FSeries4 << bar.Total;
        *FSeries3 << bar.Free;
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
        const double x = static_cast<double>(drive) + (first ? -BarWidth / 4 : BarWidth / 4);
        const QPointF top = chart()->mapToPosition(QPointF(x, first ? bar.Total : bar.Free), FSeries);
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
