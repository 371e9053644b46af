#pragma once

#include <filesystem>

// How an installed copy, which cannot write beside itself, keeps its files in the user's
// own folder. ProgramFolder() is built from these; they are apart so tests can reach them.
namespace Platform {

// True when a copy in this folder keeps its files beside itself, as a build or an
// unpacked copy does: the folder is writable and lies outside /usr and /opt, which hold
// installed programs and are never written at run time, not even by root.
bool KeepsFilesBeside(const std::filesystem::path& programFolder);

// "$XDG_DATA_HOME/Morvane", or "~/.local/share/Morvane" without an absolute
// XDG_DATA_HOME; empty when the home folder is unknown.
std::filesystem::path UserProgramFolder();

// Makes `user` a program folder whose read-only data are the shipped ones: every data
// file and folder of `shipped` (not the programs, not hidden names) that `user` lacks gets
// a symbolic link to it there. A file that the program saves replaces its link with a
// file of the user's own (saves write a new file and rename it over the name), so the
// user's changes are kept and the files never changed follow every upgrade. A link whose
// target has gone (the package removed, or installed elsewhere) is pointed again at the
// shipped file; anything else the user has there is left alone. Errors are passed over:
// a missing file then has the effect it has in any program folder.
void SeedUserFolder(const std::filesystem::path& shipped, const std::filesystem::path& user);

} // namespace Platform
