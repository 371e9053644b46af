#include "core/ui/TFilePropertiesDialog.h"

#include "core/DateTime.h"
#include "core/FileRoutines.h"
#include "core/PathText.h"
#include "platform/FileOwnership.h"
#include "platform/Locale.h"
#include "platform/TDirWalker.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

namespace {

QString TimeText(Platform::TFileTime time) {
    if (time.Ticks == 0)
        return QString::fromUtf8("（不详）");
    return QString::fromStdString(
        FormatDateTime("ddddd tt", FileTimeToLocalDateTime(time), Platform::LocaleFormats()));
}

QString KindText(uint32_t attributes) {
    if (attributes & Platform::Attr::ReparsePoint)
        return QString::fromUtf8("链接");
    if (attributes & Platform::Attr::Directory)
        return QString::fromUtf8("文件夹");
    return QString::fromUtf8("文件");
}

} // namespace

TFilePropertiesDialog::TFilePropertiesDialog(QWidget* parent, const std::string& path)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("属性"));
    auto* layout = new QVBoxLayout(this);
    FForm = new QFormLayout;
    layout->addLayout(FForm);
    const std::filesystem::path fsPath = PathFromText(path);
    AddLine(QString::fromUtf8("位置"), QString::fromUtf8(path));
    if (const auto info = Platform::QueryEntry(fsPath)) {
        AddLine(QString::fromUtf8("类型"), KindText(info->Attributes));
        AddLine(QString::fromUtf8("大小"),
                QLocale(QLocale::English).toString(static_cast<qlonglong>(info->Size)) +
                    QString::fromUtf8(" 字节"));
        AddLine(QString::fromUtf8("创建时间"), TimeText(info->Created));
        AddLine(QString::fromUtf8("修改时间"), TimeText(info->LastWrite));
        AddLine(QString::fromUtf8("访问时间"), TimeText(info->LastAccess));
    }
    // Read from the path's own bytes: a name that is not valid UTF-8 has no faithful text
    // form to look it up by.
    if (const auto ownership = Platform::QueryOwnership(fsPath)) {
        AddLine(QString::fromUtf8("所有者"), QString::fromStdString(ownership->Owner));
        if (!ownership->Group.empty())
            AddLine(QString::fromUtf8("组"), QString::fromStdString(ownership->Group));
        AddLine(QString::fromUtf8("权限"), QString::fromStdString(ownership->Permissions));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void TFilePropertiesDialog::AddLine(const QString& label, const QString& value) {
    auto* text = new QLabel(value, this);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setWordWrap(true);
    text->setObjectName(label);
    FForm->addRow(label + QString::fromUtf8("："), text);
}

QString TFilePropertiesDialog::ValueOf(const QString& label) const {
    const auto* text = findChild<QLabel*>(label);
    return text ? text->text() : QString();
}

void ShowFileProperties(QWidget* parent, const std::string& path) {
    if (!Platform::QueryEntry(PathFromText(path)))
        return;
    TFilePropertiesDialog dialog(parent, path);
    dialog.exec();
}
