#include "options/ui/TfrmAddFilter.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::function<int(TfrmAddFilter&)>& Runner() {
    static std::function<int(TfrmAddFilter&)> runner;
    return runner;
}

// Upper-cases every letter as it is typed or pasted, keeping the cursor where it was.
void KeepUpperCase(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

QLabel* MakeLabel(const char* text, const char* name, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    label->setStyleSheet("color: navy; font-weight: bold;");
    return label;
}

} // namespace

TfrmAddFilter::TfrmAddFilter(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("增加文件类型"));
    resize(327, 207);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(240, 240, 255));
    setPalette(background);
    setAutoFillBackground(true);
    Label2 = MakeLabel("需要清理的文件类型的扩展名:", "Label2", this);
    eFilterName = new QLineEdit(this);
    eFilterName->setObjectName("eFilterName");
    Label1 = MakeLabel("文件类型备注:", "Label1", this);
    eFilterMemo = new QLineEdit(this);
    eFilterMemo->setObjectName("eFilterMemo");
    KeepUpperCase(eFilterName);
    KeepUpperCase(eFilterMemo);
    auto* bevel = new QFrame(this);
    bevel->setObjectName("Bevel2");
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    RzBitBtn1 = new QPushButton(QString::fromUtf8("&确  定"), this);
    RzBitBtn1->setObjectName("RzBitBtn1");
    Btn_Close = new QPushButton(QString::fromUtf8("&取  消"), this);
    Btn_Close->setObjectName("Btn_Close");
    for (QPushButton* b : {RzBitBtn1, Btn_Close}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(RzBitBtn1);
    buttons->addWidget(Btn_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addWidget(eFilterName);
    layout->addWidget(Label1);
    layout->addWidget(eFilterMemo);
    layout->addStretch();
    layout->addWidget(bevel);
    layout->addLayout(buttons);

    connect(RzBitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(eFilterName, &QLineEdit::returnPressed, eFilterMemo, [this] { eFilterMemo->setFocus(); });
    connect(eFilterMemo, &QLineEdit::returnPressed, this, &QDialog::accept);
}

void TfrmAddFilter::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    eFilterName->setFocus();
}

void TfrmAddFilter::keyPressEvent(QKeyEvent* event) {
    // Escape does not end this dialog, and Enter ends it only from the remark.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SetAddFilterRunner(std::function<int(TfrmAddFilter&)> runner) { Runner() = std::move(runner); }

bool ShowAddFilterDialog(std::string& filterName, std::string& filterMemo) {
    filterName.clear();
    filterMemo.clear();
    TfrmAddFilter dialog;
    const int result = Runner() ? Runner()(dialog) : dialog.exec();
    filterName = dialog.eFilterName->text().toUtf8().toStdString();
    filterMemo = dialog.eFilterMemo->text().toUtf8().toStdString();
    return result == QDialog::Accepted;
}
