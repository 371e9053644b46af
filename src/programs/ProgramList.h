#pragma once

#include "programs/TFileKindList.h"
#include "programs/TUninstall.h"

#include <string>
#include <vector>

// The first and last character dropped when the text begins with a double quote.
std::string StripQuotes(const std::string& text);

// The folder part of a Windows command: up to and including its last "\".
std::string FolderPart(const std::string& command);

// The programs of the system's list, as the program manager shows them: the listing ends
// at the first key whose name begins with "{", a blank name gives the key's name, and a
// key without an uninstall command is dropped. Each program is filed under its category.
// now is the listing time every program gets.
std::vector<TUninstall> BuildProgramList(const std::vector<Platform::TUninstallKey>& keys,
                                         double now, TFileKindList& kinds);

// The size column: "%16f KByte".
std::string SizeColumnText(double sizeKB);

// Why an uninstall left its program installed, as the user is told: what the uninstaller
// said last, else how it ended.
std::string UninstallFailureText(const Platform::TUninstallOutcome& outcome);

// The message of a failed uninstall.
std::string UninstallFailureMessage(const std::string& name,
                                    const Platform::TUninstallOutcome& outcome);

// The order of two rows by a column: 0 and 1 the names without ASCII case, 2 the whole
// kilobytes of the size column, 3 the listing times. Returns -1, 0 or 1.
int CompareProgramRows(const TUninstall& a, const TUninstall& b, int column);
