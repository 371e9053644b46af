#pragma once

#include <filesystem>

// The program folder with a trailing separator. The tips window sets it when it is
// created and the analysis window again when it is shown; the help file and the tips
// page are found through it.
extern std::filesystem::path ProgramDir;

// The program folder with a trailing separator, as ProgramDir holds it.
std::filesystem::path ProgramFolderWithSeparator();
