#pragma once

#include <QDialog>

#include <string>

class QFormLayout;

// A read-only sheet of one file system entry: where it is, what it is, its size, its
// three times, its owner and its permissions. It stands in for the shell's properties
// sheet, which Linux desktops do not offer to other programs.
class TFilePropertiesDialog : public QDialog {
public:
    TFilePropertiesDialog(QWidget* parent, const std::string& path);

    // The value shown for a label, for tests; empty when there is no such line.
    QString ValueOf(const QString& label) const;

private:
    void AddLine(const QString& label, const QString& value);

    QFormLayout* FForm = nullptr;
};

// Shows the sheet of path modally. An entry that no longer exists gives no message.
void ShowFileProperties(QWidget* parent, const std::string& path);
