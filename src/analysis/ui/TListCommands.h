#pragma once

#include <QObject>
#include <QString>

#include <string>

class QAction;
class QMenu;
class QPoint;
class QWidget;
class TShellItemModel;
class TShellListView;

// The commands on the selected row of the analysis list: the row popup menu PM_Files and
// the Delete key. They act on the row's own path (its entry exactly, never a text
// rebuilt from what is shown); without a selected row they do nothing.
class TListCommands : public QObject {
    Q_OBJECT
public:
    // window owns the dialogs the commands open.
    TListCommands(TShellListView* list, TShellItemModel* model, QWidget* window);

    QMenu* PM_Files() const { return FMenu; }
    // Opens the popup at a screen point; returns at once.
    void Popup(const QPoint& globalPos);

    // Opens the row's entry with the user's program for it.
    void N15Click();
    // Charts the row's folder (see AnalyzeRequested).
    void AnalyzeThisDiectory1Click();
    // Makes the row's folder the one clean directory and shows the cleaning window,
    // which scans it.
    void ClearUpGarbage1Click();
    // Deletes a file row's file or empties a folder row's folder, then asks for the
    // location to be read again.
    void N_DeleteClick();
    // The properties sheet of the row's entry.
    void N_AttribClick();

signals:
    // The location is to be read again from this text (after a delete).
    void RereadRequested(const QString& text);
    // "Analy&ze Directory": the folder to chart (ending in a separator). At My Computer
    // the chart switches to the pie; elsewhere the pie is filled without switching.
    void AnalyzeRequested(const QString& path, bool atMyComputer);

private:
    QAction* AddEntry(const char* name, const QString& caption, const char* shortcut, void (TListCommands::*handler)());
    // The selected row's path; empty without a selected row and at My Computer, where a
    // row names no entry on disk.
    std::string SelectedPath() const;

    TShellListView* FList;
    TShellItemModel* FModel;
    QWidget* FWindow;
    QMenu* FMenu = nullptr;
};
