#include "core/TDirectorys.h"

#include "core/EMorvaneError.h"

#include <algorithm>

namespace {

// Folder names compare without regard to case as the cleaner always has; only ASCII
// letters fold, so the bytes of other characters are compared as they are.
bool SamePathText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

TDirectory& TDirectorys::Add() { return *FItems.emplace_back(std::make_unique<TDirectory>()); }

TDirectory& TDirectorys::Add(const std::string& path, bool includeSubDir, bool ifClean) {
    return *FItems.emplace_back(std::make_unique<TDirectory>(path, includeSubDir, ifClean));
}

TDirectory& TDirectorys::Items(int index) {
    if (index < 0 || index >= Count())
        throw EMorvaneError("List index out of bounds (" + std::to_string(index) + ")");
    return *FItems[static_cast<size_t>(index)];
}

const TDirectory& TDirectorys::Items(int index) const {
    return const_cast<TDirectorys*>(this)->Items(index);
}

void TDirectorys::Delete(int index) {
    Items(index); // range check
    FItems.erase(FItems.begin() + index);
}

void TDirectorys::RemovePath(const std::string& path) {
    std::erase_if(FItems, [&](const std::unique_ptr<TDirectory>& item) {
        return SamePathText(item->Path(), path);
    });
}
