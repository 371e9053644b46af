#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The row commands of the analysis list: which rows they act on and the deletes.
// A row is told apart by its first report-view cell: a file row carries its size text
// there, which begins with a decimal digit; a folder row its type text. Outside the
// report view rows have no cells, so nothing tells a file from a folder.

// True when the first cell is a file row's size text ("9KB", "1.512MB").
bool FirstCellIsSize(const std::optional<std::string>& firstCell);

// What the delete command does to a row.
enum class TRowDelete {
    Nothing,        // no cell, or an empty one: the kind of the row is unknown
    File,           // the entry itself goes
    FolderContents, // everything inside goes, the folder stays
};
TRowDelete RowDeleteOf(const std::optional<std::string>& firstCell);

// "&Clean Direcotry..." acts on every row whose first cell is not a size text.
bool CleanAppliesTo(const std::optional<std::string>& firstCell);

// Deletes one non-folder entry permanently: a file, or a link as a link (its target
// stays). A folder is left alone, and so is a file the owner may not write, which the
// system's own delete keeps as well. True when the entry is gone.
bool DeleteRowFile(const std::filesystem::path& path);

struct TFolderContentsResult {
    bool Listed = false; // the folder could be opened
    int Deleted = 0;     // entries directly inside that were removed
    // Entries directly inside that stayed, plus one when the folder could not be read to
    // its end.
    int Failed = 0;
};

// Deletes everything directly inside a folder, hidden entries included: sub-folders with
// their whole trees, other entries as DeleteRowFile would. The folder is opened once,
// without following a link (a link row is never entered), and every removal is made
// relative to it, so a folder swapped for a link meanwhile is not followed. The folder
// itself stays, and so do the root, the home folder and the folders that hold it, which
// are never emptied. A failure on one entry does not stop the others. Links found inside
// are removed as links; nothing outside the folder is touched.
TFolderContentsResult DeleteFolderContents(const std::filesystem::path& folder);

// The folder "Analy&ze Directory" charts, with one trailing separator: the drive root of
// the selected row at My Computer, the location joined with the row's name elsewhere,
// the location itself without a selected row. Empty when there is nothing to chart.
//   rowPath: the selected row's path (empty when none); volumeRoot: the row's drive root
//   at My Computer.
std::string AnalyzePathOf(const std::string& locationText, bool atMyComputer, bool hasSelection,
                          const std::string& rowPath, const std::string& volumeRoot);

// The text the location box gets before the re-read after a delete: a bare drive
// ("C:") gets its separator so that it is read as the drive's root.
std::string RereadTextOf(const std::string& locationText);
