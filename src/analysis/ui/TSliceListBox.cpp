#include "analysis/ui/TSliceListBox.h"

#include <QPainter>

TSliceListBox::TSliceListBox(QWidget* parent) : QWidget(parent) {
    setMinimumSize(168, 97);
    QFont font("Franklin Gothic Medium Cond");
    font.setPointSize(8);
    setFont(font);
}

void TSliceListBox::SetRows(std::vector<TRow> rows) {
    FRows = std::move(rows);
    update();
}

void TSliceListBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const int ascent = painter.fontMetrics().ascent();
    int row = 0;
    for (const TRow& r : FRows) {
        const int top = 12 * row;
        if (top >= height())
            break;
        painter.setPen(Qt::black);
        painter.setBrush(r.Colour);
        painter.drawRect(10, top, 9, 9); // outline included: 10..19 by top..top+9
        painter.drawText(25, top - 1 + ascent, r.Text);
        ++row;
    }
}
