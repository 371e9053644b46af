#pragma once

#include <QWidget>

class QLabel;

// The borderless start-up picture shown while the long-lived windows are created.
class TFrm_Splash : public QWidget {
public:
    explicit TFrm_Splash(QWidget* parent = nullptr);

    // Shows the window fading in over FadeTime and returns once it is fully visible and
    // painted, so that it stands during the slow steps that follow.
    void ShowFadingIn();

    static constexpr int FadeTime = 500;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    QLabel* Image2 = nullptr;
    QLabel* lProductTitle = nullptr;
};
