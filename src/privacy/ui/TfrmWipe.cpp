#include "privacy/ui/TfrmWipe.h"

#include "core/PrivacyItems.h"
#include "core/TSetting.h"
#include "platform/IPrivacyRoutines.h"
#include "privacy/PrivacyCleaning.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmWipe* frmWipe = nullptr;

TfrmWipe::TfrmWipe(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("上网安全及隐私保护"));
    resize(354, 304);
    clCleanOption = new QListWidget(this);
    clCleanOption->setObjectName("clCleanOption");
    for (const TPrivacyItem& item : PrivacyItems()) {
        auto* row = new QListWidgetItem(QString::fromUtf8(item.Caption), clCleanOption);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        row->setCheckState(Qt::Unchecked);
        row->setSizeHint(QSize(0, 19));
    }
    pb_Wipe = new QProgressBar(this);
    pb_Wipe->setObjectName("pb_Wipe");
    pb_Wipe->setTextVisible(false);
    auto* bevel = new QFrame(this);
    bevel->setObjectName("Bevel1");
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    btnClean = new QPushButton(QString::fromUtf8("清理上网安全及隐私信息"), this);
    btnClean->setObjectName("btnClean");
    RzButton6 = new QPushButton(QString::fromUtf8("关 闭 (&C)"), this);
    RzButton6->setObjectName("RzButton6");
    for (QPushButton* b : {btnClean, RzButton6})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnClean, 1);
    buttons->addWidget(RzButton6);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(clCleanOption, 1);
    layout->addWidget(pb_Wipe);
    layout->addWidget(bevel);
    layout->addLayout(buttons);

    connect(clCleanOption, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!FFilling)
            clCleanOptionChange(clCleanOption->row(item), item->checkState() == Qt::Checked);
    });
    connect(btnClean, &QPushButton::clicked, this, &TfrmWipe::btnCleanClick);
    connect(RzButton6, &QPushButton::clicked, this, &TfrmWipe::RzButton6Click);
}

void TfrmWipe::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmWipe::FormShow() {
    FFilling = true;
    for (int i = 0; i < clCleanOption->count(); ++i) {
        const bool on = Setting && (Setting->*PrivacyItems()[static_cast<size_t>(i)].Get)();
        clCleanOption->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    FFilling = false;
}

void TfrmWipe::clCleanOptionChange(int index, bool checked) {
    if (Setting && index >= 0 && index < static_cast<int>(PrivacyItems().size()))
        (Setting->*PrivacyItems()[static_cast<size_t>(index)].Set)(checked);
}

void TfrmWipe::btnCleanClick() {
    if (!Setting)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    pb_Wipe->setRange(0, PrivacyProgressMaximum);
    try {
        CleanPrivacyItems(*Setting, Platform::PrivacyRoutines(), [this](int position) { pb_Wipe->setValue(position); });
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void TfrmWipe::RzButton6Click() { accept(); }
