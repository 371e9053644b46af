#pragma once

#include "programs/TUninstall.h"

#include <optional>
#include <string>
#include <vector>

// One program category: its keywords and the programs filed under it.
class TFileKind {
public:
    TFileKind(int index, std::vector<std::string> keywords);

    int Index() const { return FIndex; }
    const std::vector<std::string>& Keywords() const { return FKeywords; }
    // True when an upper-cased keyword occurs in the upper-cased name (ASCII letters);
    // an empty keyword never matches.
    bool Matches(const std::string& name) const;
    void AddProgram(const TUninstall& program) { FPrograms.push_back(program); }
    int ProgramCount() const { return static_cast<int>(FPrograms.size()); }
    // The program at a position; nothing outside 0 to ProgramCount() - 1.
    std::optional<TUninstall> GetProgram(int index) const;

private:
    int FIndex;
    std::vector<std::string> FKeywords; // upper-cased
    std::vector<TUninstall> FPrograms;
};
