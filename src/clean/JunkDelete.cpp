#include "clean/JunkDelete.h"

#include "clean/JunkTexts.h"
#include "core/FileRoutines.h"
#include "core/PathText.h"
#include "platform/FileIo.h"
#include "platform/TEntryDeleter.h"
#include "platform/TreeDelete.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view DirMarker = "<Dir>";

TDeleteOutcome Failed(const std::string& reason) {
    return {TDeleteResult::Failed, reason};
}

TDeleteOutcome DeleteTree(const fs::path& path) {
    if (DeletePath(path))
        return {};
    // The tree delete refuses some folders outright (a mount point, the home folder);
    // then no system call failed and the reason is the refusal itself.
    const int code = Platform::LastErrorCode();
    return Failed(code != 0 ? Platform::SystemErrorText(code)
                            : std::make_error_code(std::errc::operation_not_permitted).message());
}

// One entry, a folder only when it is empty, through the deletion engine.
TDeleteOutcome RemoveEntry(Platform::TEntryDeleter& deleter, const fs::path& path, bool folder) {
    const Platform::TEntryOutcome outcome = deleter.Delete(
        path, folder ? Platform::TEntryWanted::EmptyFolder : Platform::TEntryWanted::NotFolder);
    switch (outcome.Result) {
    case Platform::TEntryResult::Deleted:
        return {};
    case Platform::TEntryResult::Missing:
    case Platform::TEntryResult::OtherKind:
        return {TDeleteResult::Vanished, {}};
    case Platform::TEntryResult::Failed:
        break;
    }
    return Failed(Platform::SystemErrorText(outcome.Error));
}

TDeleteOutcome DeleteRowEntry(const TJunkRow& row, TDirectoryDelete mode,
                              Platform::TEntryDeleter& deleter) {
    const TRowTarget target = TargetOf(row);
    const fs::path path = PathFromText(target.Path);
    // A file row's entry goes as a file, a link or a special file, never as a folder: the
    // engine leaves one that became a folder since the scan, as a vanished one.
    if (!target.IsDirectory)
        return RemoveEntry(deleter, path, false);
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    // A folder that became a file or a link since the scan is not the one that was found.
    if (!fs::is_directory(status))
        return {TDeleteResult::Vanished, {}};
    if (mode == TDirectoryDelete::WholeTree)
        return DeleteTree(path);
    return RemoveEntry(deleter, path, true);
}

} // namespace

TRowTarget StripDirMarker(const std::string& caption) {
    // The marker is appended to a folder's path, so it is the trailing one that counts; a
    // folder whose own name holds "<Dir>" keeps it.
    if (caption.size() >= DirMarker.size() &&
        caption.compare(caption.size() - DirMarker.size(), DirMarker.size(), DirMarker) == 0)
        return {caption.substr(0, caption.size() - DirMarker.size()), true};
    return {caption, false};
}

TRowTarget TargetOf(const TJunkRow& row) {
    if (row.IsDirectory)
        return StripDirMarker(row.Caption());
    return {row.Path, false};
}

TDeleteOutcome DeleteJunkEntry(const TJunkRow& row, TDirectoryDelete mode) {
    Platform::TEntryDeleter deleter;
    return DeleteRowEntry(row, mode, deleter);
}

TCleanRunResult CleanCheckedRows(const std::vector<TJunkRow>& rows,
                                 const std::function<void(size_t handled)>& progress) {
    TCleanRunResult result;
    // One deleter for the run: a folder's junk files come one after another in the list,
    // and its folder is then opened once for all of them.
    Platform::TEntryDeleter deleter;
    for (const TJunkRow& row : rows) {
        try {
            if (row.Checked) {
                const TDeleteOutcome outcome = DeleteRowEntry(row, TDirectoryDelete::WholeTree, deleter);
                if (outcome.Result == TDeleteResult::Deleted)
                    ++result.Removed;
                else if (outcome.Result == TDeleteResult::Failed)
                    result.StatusText = DeleteFailedText(row.Caption(), outcome.Reason);
            }
        } catch (const std::exception& e) {
            result.StatusText = DeleteFailedText(row.Caption(), e.what());
            return result;
        }
        ++result.Handled;
        if (progress)
            progress(result.Handled);
    }
    return result;
}
