#pragma once

#include <QWidget>

// The grooved bar on the edge of a collapsible panel. A click on its hot spot (the small
// arrow in the middle) asks the panel to collapse or to come back.
class TSizeBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int Thickness = 7;

    TSizeBar(Qt::Orientation orientation, QWidget* parent);

signals:
    void HotSpotClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect HotSpot() const;
    Qt::Orientation FOrientation;
};
