// What both backends of the file reader and the atomic save share: the texts of what the
// reader refuses and the names of the save's temporaries.
#include "platform/FileIo.h"

#include <algorithm>

namespace Platform {

std::string NotARegularFileText() {
    return "Not a regular file";
}

std::string FileTooLargeText(std::uintmax_t maxBytes) {
    constexpr std::uintmax_t MiB = 1024 * 1024;
    const std::string limit = maxBytes % MiB == 0 && maxBytes > 0
                                  ? std::to_string(maxBytes / MiB) + " MiB"
                                  : std::to_string(maxBytes) + " bytes";
    return "File is larger than " + limit;
}

std::filesystem::path AtomicWriteTemporaryFor(const std::filesystem::path& path,
                                              unsigned number) {
    // Put together as paths, so the name keeps the system's own characters.
    std::filesystem::path name = ".";
    name += path.filename();
    name += "." + std::to_string(number % 1000000) + ".tmp";
    return (path.has_parent_path() ? path.parent_path() : std::filesystem::path(".")) / name;
}

bool IsAtomicWriteTemporary(std::string_view name, std::string_view target) {
    constexpr std::string_view Suffix = ".tmp";
    if (target.empty() || name.size() < target.size() + 2 + Suffix.size() || name[0] != '.' ||
        name.substr(1, target.size()) != target || name[1 + target.size()] != '.' ||
        !name.ends_with(Suffix))
        return false;
    const std::string_view digits =
        name.substr(target.size() + 2, name.size() - target.size() - 2 - Suffix.size());
    return !digits.empty() && digits.size() <= 6 &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace Platform
