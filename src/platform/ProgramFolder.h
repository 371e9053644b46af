#pragma once

#include <filesystem>

namespace Platform {

// The running program file (the executable, links resolved).
std::filesystem::path ProgramFile();

// The folder that holds the program's data files, with no trailing separator: the files
// it reads and the files it writes. It is the program file's folder for a copy that can
// write there (a build, an unpacked copy); an installed copy gets a per-user folder instead,
// which offers the data files shipped beside the program and keeps what the program
// writes. Decided once, at the first call; the program runs with it as current folder.
std::filesystem::path ProgramFolder();

// Tests and the settings tool point the program at another folder with this.
void SetProgramFolder(const std::filesystem::path& folder);

} // namespace Platform
