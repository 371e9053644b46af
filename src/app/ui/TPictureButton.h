#pragma once

#include <QLabel>
#include <QTimer>

// A picture that acts as a button: hand cursor, a click signal, a Tag that names its
// function, and its hint shown as a balloon half a second after the mouse comes to rest
// on it.
class TPictureButton : public QLabel {
    Q_OBJECT
public:
    TPictureButton(const QString& name, const QPixmap& picture, int tag, QWidget* parent);

    int Tag() const { return FTag; }
    // Milliseconds the mouse rests on the picture before its hint appears.
    static constexpr int HintPause = 500;

signals:
    void clicked();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowHint();

    int FTag = 0;
    bool FPressed = false;
    QTimer FHintTimer;
};
