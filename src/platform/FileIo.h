#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// The largest list or settings file the program reads: far above any real one, and small
// enough that a wrong file (a link to a device, a huge file) cannot exhaust the memory.
inline constexpr std::uintmax_t MaxListFileSize = 16 * 1024 * 1024;

// Writes the whole file through a temporary file in the same folder and a rename, so the
// old file stays whole when anything fails. Returns an empty text on success, else the
// system's reason (such as "Permission denied"). A temporary that a killed save leaves
// behind is named as IsAtomicWriteTemporary says, for RemoveAtomicWriteLeftovers.
std::string WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole regular file of at most maxBytes bytes. nullopt, with the reason in
// error, when it cannot be opened or read, when it is not a regular file (a folder,
// FIFO, device or socket; opening it never waits for a writer) or when it is larger than
// maxBytes (nothing more than maxBytes + 1 bytes is ever read).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error,
                                         std::uintmax_t maxBytes = MaxListFileSize);

// Why a save must keep the file at path as it is: it exists but ReadWholeFile would not
// read it (no permission, not a regular file, too large). Empty when nothing is there or
// the file can be read, so replacing it loses nothing the program did not see.
std::string UnreadableFileReason(const std::filesystem::path& path,
                                 std::uintmax_t maxBytes = MaxListFileSize);

// The temporary that WriteFileAtomically writes beside path, told apart by number:
// "." + name + "." + number modulo 1,000,000 + ".tmp".
std::filesystem::path AtomicWriteTemporaryFor(const std::filesystem::path& path, unsigned number);
// True for the name of such a temporary for the file named target.
bool IsAtomicWriteTemporary(std::string_view name, std::string_view target);

// Removes from folder the temporaries that killed saves of the files named targets left,
// and only those: regular files of this user with exactly such a name that no running
// save holds. Returns how many were removed.
int RemoveAtomicWriteLeftovers(const std::filesystem::path& folder,
                               const std::vector<std::string>& targets);

// The reasons ReadWholeFile gives for what it will not read.
std::string NotARegularFileText();
std::string FileTooLargeText(std::uintmax_t maxBytes);

// The system's text for an error code of the last failed call.
std::string SystemErrorText(int code);
int LastErrorCode();

} // namespace Platform
