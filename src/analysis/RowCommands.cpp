#include "analysis/RowCommands.h"

#include "platform/TreeDelete.h"

namespace fs = std::filesystem;

namespace {

bool EndsWithSeparator(const std::string& text) {
    return !text.empty() && (text.back() == '/' || text.back() == '\\');
}

// The separator the text already uses; the system's own when it has none.
char SeparatorFor(const std::string& text) {
    if (text.find('\\') != std::string::npos)
        return '\\';
    if (text.find('/') != std::string::npos)
        return '/';
    return static_cast<char>(fs::path::preferred_separator);
}

} // namespace

bool FirstCellIsSize(const std::optional<std::string>& firstCell) {
    return firstCell && !firstCell->empty() && (*firstCell)[0] >= '0' && (*firstCell)[0] <= '9';
}

TRowDelete RowDeleteOf(const std::optional<std::string>& firstCell) {
    if (!firstCell || firstCell->empty())
        return TRowDelete::Nothing;
    return FirstCellIsSize(firstCell) ? TRowDelete::File : TRowDelete::FolderContents;
}

bool CleanAppliesTo(const std::optional<std::string>& firstCell) {
    return !FirstCellIsSize(firstCell);
}

bool DeleteRowFile(const fs::path& path) {
    if (path.empty())
        return false;
    return Platform::DeleteEntry(path, Platform::TEntryWanted::WritableNotFolder).Result ==
           Platform::TEntryResult::Deleted;
}

TFolderContentsResult DeleteFolderContents(const fs::path& folder) {
    TFolderContentsResult result;
    if (folder.empty())
        return result;
    // The folder is opened once, never through a link, and everything in it goes
    // relative to that handle. Sub-folders go whole; a file directly inside that its
    // owner may not write stays, as the file delete of a file row keeps it.
    const Platform::TDeleteReport report =
        Platform::EmptyFolder(folder, [](const Platform::TDeleteCandidate& c) {
            return c.Depth == 0 && c.ReadOnly ? Platform::TDeleteVerdict::Keep
                                              : Platform::TDeleteVerdict::Delete;
        });
    result.Listed = report.Opened;
    result.Deleted = static_cast<int>(report.Removed);
    result.Failed = static_cast<int>(report.Failed + report.Kept);
    return result;
}

std::string AnalyzePathOf(const std::string& locationText, bool atMyComputer, bool hasSelection,
                          const std::string& rowPath, const std::string& volumeRoot) {
    std::string path;
    if (hasSelection)
        path = atMyComputer ? volumeRoot : rowPath;
    else if (!atMyComputer)
        path = locationText;
    if (path.empty())
        return path;
    if (!EndsWithSeparator(path))
        path += SeparatorFor(path);
    return path;
}

std::string RereadTextOf(const std::string& locationText) {
    if (!locationText.empty() && locationText.back() == ':')
        return locationText + "\\";
    return locationText;
}
