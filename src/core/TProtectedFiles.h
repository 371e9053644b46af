#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The protected files list: file names that are never offered for deletion, one per line
// of "Option2.CFG" in the program folder. Each window that needs it reads its own copy.

inline constexpr const char* ProtectedFilesName = "Option2.CFG";

// "<program folder>/Option2.CFG".
std::filesystem::path ProtectedFilesPath();

// Reads the list. Lines end at CR LF, a lone CR or a lone LF; a NUL ends the text; empty
// lines are entries too. Throws EMorvaneError "Cannot open file "%s". %s" when the file
// cannot be opened (it does not exist until the options dialog first writes it), is not
// a regular file or is larger than any list could be.
std::vector<std::string> LoadProtectedFiles(const std::filesystem::path& path);

// Writes every entry followed by CR LF, in the system code page, replacing the file whole.
// Throws EMorvaneError "Cannot create file "%s". %s" when it cannot be written, and
// also when a file is there that cannot be read (the entries were then not read from
// it either, and writing would lose them); the old file then stays as it was.
void SaveProtectedFiles(const std::filesystem::path& path, const std::vector<std::string>& entries);

// Why a save must leave the file at path alone: it is there but cannot be read, so what
// the program holds did not come from it. Empty when a save may replace it.
std::string KeptUnreadableFileText(const std::filesystem::path& path);

// The lines of a text in the list's rules (see LoadProtectedFiles), without decoding; at
// most maxLines of them (the rest of the text is not looked at).
std::vector<std::string> SplitTextLines(std::string_view text, bool stopAtNul,
                                        size_t maxLines = SIZE_MAX);
