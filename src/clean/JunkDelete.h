#pragma once

#include "clean/TJunkRow.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What a caption of the junk list names: a caption ending with the "<Dir>" marker names
// the folder before it.
struct TRowTarget {
    std::string Path;
    bool IsDirectory = false;
};
TRowTarget StripDirMarker(const std::string& caption);

// The entry a row acts on. A file whose own name ends with "<Dir>" stays a file: the
// row's kind decides, never the text.
TRowTarget TargetOf(const TJunkRow& row);

enum class TDeleteResult {
    Deleted,
    Vanished, // nothing was there any more: dropped without a message
    Failed,
};
struct TDeleteOutcome {
    TDeleteResult Result = TDeleteResult::Deleted;
    std::string Reason; // the system's text when Failed
};

// How a directory row goes.
enum class TDirectoryDelete {
    WholeTree, // with everything in it, through the safe tree delete
    EmptyOnly, // only when it holds nothing
};

// Deletes the entry of a row, permanently. A file row removes that directory entry
// itself: a link is removed as a link and never followed. An entry whose kind changed
// since the scan (a file that became a folder, a folder that became a file or a link) is
// left alone and reported as vanished.
TDeleteOutcome DeleteJunkEntry(const TJunkRow& row, TDirectoryDelete mode);

struct TCleanRunResult {
    size_t Handled = 0;      // rows from the front that are done and leave the list
    int64_t Removed = 0;     // entries that were deleted
    std::string StatusText;  // the latest failure text, empty when none
};

// Deletes the entries of the checked rows, in list order; unchecked rows are passed over
// without touching their entries. Every row handled leaves the list, whatever happened to
// its entry; only an unexpected error stops the run at the row it met, which stays.
// progress is called after each row with the number handled so far.
TCleanRunResult CleanCheckedRows(const std::vector<TJunkRow>& rows,
                                 const std::function<void(size_t handled)>& progress);
