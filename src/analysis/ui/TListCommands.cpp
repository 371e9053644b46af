#include "analysis/ui/TListCommands.h"

#include "analysis/RowCommands.h"
#include "analysis/ui/TShellItemModel.h"
#include "analysis/ui/TShellListView.h"
#include "app/ui/ModalWindow.h"
#include "clean/ui/TfrmCleaning.h"
#include "core/PathText.h"
#include "core/TSetting.h"
#include "core/ui/TFilePropertiesDialog.h"
#include "platform/IShell.h"

#include <QCoreApplication>
#include <QMenu>

TListCommands::TListCommands(TShellListView* list, TShellItemModel* model, QWidget* window)
    : QObject(window), FList(list), FModel(model), FWindow(window) {
    FMenu = new QMenu(window);
    FMenu->setObjectName("PM_Files");
    AddEntry("N15", "&Open&&Explorer...", "Ctrl+E", &TListCommands::N15Click);
    AddEntry("AnalyzeThisDiectory1", "Analy&ze Directory", "Ctrl+A", &TListCommands::AnalyzeThisDiectory1Click);
    FMenu->addSeparator()->setObjectName("N3");
    AddEntry("ClearUpGarbage1", "&Clean Direcotry...", "Ctrl+G", &TListCommands::ClearUpGarbage1Click);
    AddEntry("N_Delete", "&Delete" + QString(28, ' '), "Ctrl+D", &TListCommands::N_DeleteClick);
    FMenu->addSeparator()->setObjectName("N19");
    AddEntry("N_Attrib", "&Attribute" + QString(28, ' '), "Ctrl+P", &TListCommands::N_AttribClick);
}

QAction* TListCommands::AddEntry(const char* name, const QString& caption, const char* shortcut,
                                 void (TListCommands::*handler)()) {
    QAction* action = FMenu->addAction(caption);
    action->setObjectName(name);
    // The keys are shown beside the entries but work only inside the open menu: the menu
    // belongs to no control, and Ctrl+A or Ctrl+D must not act on the list unasked.
    action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TListCommands::Popup(const QPoint& globalPos) { FMenu->popup(globalPos); }

std::string TListCommands::SelectedPath() const {
    const int row = FList->SelectedRow();
    return row < 0 ? std::string() : FModel->Browser().ItemPath(row);
}

void TListCommands::N15Click() {
    const std::string path = SelectedPath();
    if (!path.empty())
        Platform::Shell().Open(path);
}

void TListCommands::AnalyzeThisDiectory1Click() {
    try {
        TShellBrowser& browser = FModel->Browser();
        const int row = FList->SelectedRow();
        const bool atMyComputer = browser.AtMyComputer();
        const std::string path = AnalyzePathOf(browser.LocationText(), atMyComputer, row >= 0,
                                               browser.ItemPath(row), browser.VolumeRootOf(row));
        if (path.empty())
            return;
        // The menu has closed; let the list redraw before the walk blocks the window.
        QCoreApplication::processEvents();
        emit AnalyzeRequested(QString::fromStdString(path), atMyComputer);
    } catch (...) {
        // A chart that cannot be made leaves the old one; nothing to tell.
    }
}

void TListCommands::ClearUpGarbage1Click() {
    const int row = FList->SelectedRow();
    if (row < 0 || !CleanAppliesTo(FList->FirstCell(row)) || !Setting)
        return;
    const std::string path = SelectedPath();
    if (path.empty())
        return; // a volume row of My Computer names no folder to scan
    Setting->Directorys().Clear();
    Setting->Directorys().Add(path, true, true);
    ShowModalWindow(frmCleaning, FWindow, TAfterModal::Close);
}

void TListCommands::N_DeleteClick() {
    const int row = FList->SelectedRow();
    if (row >= 0) {
        try {
            const std::filesystem::path path = PathFromText(SelectedPath());
            switch (RowDeleteOf(FList->FirstCell(row))) {
            case TRowDelete::File: DeleteRowFile(path); break;
            case TRowDelete::FolderContents: DeleteFolderContents(path); break;
            case TRowDelete::Nothing: break;
            }
        } catch (...) {
            // What could not be deleted is listed again by the re-read below.
        }
    }
    emit RereadRequested(QString::fromStdString(RereadTextOf(FModel->Browser().LocationText())));
}

void TListCommands::N_AttribClick() {
    const std::string path = SelectedPath();
    if (!path.empty())
        ShowFileProperties(FWindow, path);
}
