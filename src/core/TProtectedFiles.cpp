#include "core/TProtectedFiles.h"

#include "core/EMorvaneError.h"
#include "core/PathText.h"
#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"
#include "platform/TextCodec.h"

namespace fs = std::filesystem;

fs::path ProtectedFilesPath() {
    return Platform::ProgramFolder() / ProtectedFilesName;
}

std::string KeptUnreadableFileText(const fs::path& path) {
    const std::string reason = Platform::UnreadableFileReason(path);
    return reason.empty() ? reason
                          : "The file cannot be read (" + reason + "), so it is kept as it is";
}

std::vector<std::string> SplitTextLines(std::string_view text, bool stopAtNul, size_t maxLines) {
    if (stopAtNul)
        text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size() && lines.size() < maxLines) {
        const size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end;
        // One line end: CR LF, a lone CR or a lone LF.
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::vector<std::string> LoadProtectedFiles(const fs::path& path) {
    std::string error;
    const std::optional<std::string> bytes = Platform::ReadWholeFile(path, &error);
    if (!bytes)
        throw EMorvaneError("Cannot open file \"" + PathText(path) + "\". " + error);
    // Cut at the NUL before decoding, so that what follows it cannot change how the
    // text before it is decoded.
    const std::string_view raw(*bytes);
    return SplitTextLines(Platform::SystemToUtf8(raw.substr(0, raw.find('\0'))), true);
}

void SaveProtectedFiles(const fs::path& path, const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries)
        text += entry + "\r\n";
    std::string error = KeptUnreadableFileText(path);
    if (error.empty())
        error = Platform::WriteFileAtomically(path, Platform::Utf8ToSystem(text));
    if (!error.empty())
        throw EMorvaneError("Cannot create file \"" + PathText(path) + "\". " + error);
}
