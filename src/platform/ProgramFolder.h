#pragma once

#include <filesystem>

namespace Platform {

// The running program file (the executable, links resolved).
std::filesystem::path ProgramFile();

// The folder that holds the program's data files, with no trailing separator.
// It is the program file's folder when that folder is writable; otherwise a per-user
// folder that is seeded, on first use, with the data files shipped beside the program.
std::filesystem::path ProgramFolder();

// Tests and the settings tool point the program at another folder with this.
void SetProgramFolder(const std::filesystem::path& folder);

} // namespace Platform
