#pragma once

#include "analysis/TPathHistory.h"
#include "analysis/TShellItem.h"
#include "platform/IShellNamespace.h"

#include <memory>
#include <string>
#include <vector>

// The browsing state of the analysis window without any widget: the current location,
// its item list, the history of the location box. The list view is virtual: it asks
// CheckShellItems for the rows it is about to show and RowCells/ShellItem for each row.
class TShellBrowser {
public:
    // Uses the system's namespace unless one is given (tests pass a fake).
    explicit TShellBrowser(std::unique_ptr<Platform::IShellNamespace> ns = nullptr);

    // Goes to My Computer (the window's start).
    bool Start(std::string& error);
    // Makes an absolute id list the current location. On failure (error set) the old
    // location and item list stay.
    bool NavigateTo(const Platform::TIdList& list, std::string& error);
    // Parses a typed location and goes there.
    bool NavigateToText(const std::string& text, std::string& error);
    // Up: the parent location; a volume root or My Computer goes to My Computer.
    bool Up(std::string& error);
    // Opens the row: a folder is entered (true, moved); a file is not (false, nothing
    // done; the window starts it with ItemPath).
    bool OpenRow(int index, std::string& error);
    // History selection: the entry with that text (ignoring case) or, when none, the text
    // parsed as a location.
    bool SelectHistory(const std::string& text, std::string& error);

    // Reads the children of a folder into the item list (the "A:"/"B:" rule kept), sorted.
    bool PopulateIDList(const Platform::TIdList& folder, std::string& error);
    // Fills the details of the rows first..last that still need them; a range beyond the
    // last row is ignored.
    void CheckShellItems(int first, int last, bool largeIcons = false);

    int Count() const { return static_cast<int>(FItemList.size()); }
    const TShellItem& ShellItem(int index) const { return FItemList[static_cast<size_t>(index)]; }
    // Report-view cells after the caption of a row (details filled first if needed).
    std::vector<std::string> RowCells(int index);
    // The full path of a row ("" at My Computer: rows there are volumes, see RowDriveRoot).
    std::string ItemPath(int index) const;
    // The drive root of a row at My Computer ("/home/"), else "".
    std::string VolumeRootOf(int index) const;

    // Type-ahead: the first row from start whose name begins with text (ignoring case),
    // wrapping to 0 when wrap is set; -1 when none.
    int FindItem(const std::string& text, int start, bool wrap) const;

    // Header-click sort: re-orders the item list by column (0 name, 1 size, 2 type,
    // 3 modified, 4 attributes), folders first, then flips the shared direction flag.
    void SortByColumn(int column);
    bool SortDescending() const { return FSortDescending; }

    // "My Computer" or the parsing name of the current location.
    std::string LocationText() const { return FHistory.Text(); }
    const std::string& CurrentPath() const { return FCurrentPath; }
    const Platform::TIdList& CurrentIdList() const { return FCurrentIdList; }
    const TPathHistory& History() const { return FHistory; }
    bool AtMyComputer() const;

private:
    bool NeedsSystemDisk(int index) const;

    std::unique_ptr<Platform::IShellNamespace> FNamespace;
    Platform::TIdList FCurrentIdList;
    std::string FCurrentPath;
    std::vector<TShellItem> FItemList;
    TPathHistory FHistory;
    bool FSortDescending = true;
};
