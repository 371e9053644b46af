#include "analysis/RowCommands.h"

#include "core/FileRoutines.h"
#include "platform/TDirWalker.h"

#include <system_error>
#include <vector>

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

bool CleanAppliesTo(const std::optional<std::string>& firstCell) { return !FirstCellIsSize(firstCell); }

bool DeleteRowFile(const fs::path& path) {
    if (path.empty())
        return false;
    const std::optional<Platform::TEntryInfo> entry = Platform::QueryEntry(path);
    if (!entry)
        return false;
    const bool link = (entry->Attributes & Platform::Attr::ReparsePoint) != 0;
    // A real folder is never removed by a file delete, not even an empty one.
    if (!link && (entry->Attributes & Platform::Attr::Directory))
        return false;
    if (!link && (entry->Attributes & Platform::Attr::ReadOnly))
        return false;
    std::error_code ec;
    return fs::remove(path, ec);
}

TFolderContentsResult DeleteFolderContents(const fs::path& folder) {
    TFolderContentsResult result;
    if (folder.empty())
        return result;
    struct TChild {
        fs::path Path;
        bool Folder;
    };
    std::vector<TChild> children;
    // List first and delete afterwards, so that the listing never runs over a folder
    // that is being changed under it.
    Platform::TDirWalker walker;
    Platform::TWalkOptions options;
    // A row that is a link to a folder is not entered: what lies behind it may be anywhere,
    // and walks never follow links.
    options.FollowStartLink = false;
    const Platform::TWalkResult walk = walker.Walk(folder, [&](const Platform::TDirEntry& e) {
        children.push_back({e.Path(), e.IsDirectory()});
        return Platform::TVisit::Continue;
    }, options);
    result.Listed = walk.Opened;
    for (const TChild& child : children) {
        const bool gone = child.Folder ? DeletePath(child.Path) : DeleteRowFile(child.Path);
        ++(gone ? result.Deleted : result.Failed);
    }
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
