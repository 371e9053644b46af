#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

// The small dialog in which a new junk type is typed: its pattern and a remark, both in
// upper case. It accepts whatever is typed.
class TfrmAddFilter : public QDialog {
public:
    explicit TfrmAddFilter(QWidget* parent = nullptr);

    QLineEdit* eFilterName = nullptr;
    QLineEdit* eFilterMemo = nullptr;
    QPushButton* RzBitBtn1 = nullptr;
    QPushButton* Btn_Close = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
};

// Runs the dialog modally and hands back the two texts as they stand, whatever ended it.
// True when it ended with OK.
bool ShowAddFilterDialog(std::string& filterName, std::string& filterMemo);

// Tests replace the modal run; the function gets the dialog after it is made.
void SetAddFilterRunner(std::function<int(TfrmAddFilter&)> runner);
