#pragma once

#include "programs/TFileKind.h"

#include <filesystem>
#include <vector>

// The twenty program categories, in the order of the categories file.
class TFileKindList {
public:
    static constexpr int KindCount = 20;

    TFileKindList();
    // Fills the twenty categories from the file, one line each; a missing or short file
    // leaves categories without keywords. Never fails.
    void LoadFromFile(const std::filesystem::path& path);
    int Count() const { return static_cast<int>(FKinds.size()); }
    TFileKind& Kinds(int index) { return FKinds.at(static_cast<size_t>(index)); }
    const TFileKind& Kinds(int index) const { return FKinds.at(static_cast<size_t>(index)); }
    // The first category whose keyword occurs in the name, else the last one.
    TFileKind& FindKind(const std::string& name);

private:
    std::vector<TFileKind> FKinds;
};

// The captions of the category tree, each with one "%d" for its program count.
const char* CategoryCaptionTemplate(int index);
