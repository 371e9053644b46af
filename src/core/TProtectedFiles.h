#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The protected files list: file names that are never offered for deletion, one per line
// of "Option2.CFG" in the program folder. Each window that needs it reads its own copy.

// "<program folder>/Option2.CFG".
std::filesystem::path ProtectedFilesPath();

// Reads the list. Lines end at CR LF, a lone CR or a lone LF; a NUL ends the text; empty
// lines are entries too. Throws EMorvaneError "Cannot open file "%s". %s" when the file
// cannot be opened (it does not exist until the options dialog first writes it).
std::vector<std::string> LoadProtectedFiles(const std::filesystem::path& path);

// Writes every entry followed by CR LF, in the system code page, replacing the file whole.
// Throws EMorvaneError "Cannot create file "%s". %s" when it cannot be written; the old
// file then stays as it was.
void SaveProtectedFiles(const std::filesystem::path& path, const std::vector<std::string>& entries);

// The lines of a text in the list's rules (see LoadProtectedFiles), without decoding.
std::vector<std::string> SplitTextLines(std::string_view text, bool stopAtNul);
