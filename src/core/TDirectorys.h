#pragma once

#include "core/TDirectory.h"

#include <memory>
#include <string>
#include <vector>

// The clean directories in insertion order. Items live on the heap, so a reference to one
// stays valid while others are added or deleted.
class TDirectorys {
public:
    // Adds an item at the end (empty path, both flags false) and returns it.
    TDirectory& Add();
    TDirectory& Add(const std::string& path, bool includeSubDir, bool ifClean);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Index from 0; throws EMorvaneError "List index out of bounds (%d)" outside the list.
    TDirectory& Items(int index);
    const TDirectory& Items(int index) const;
    TDirectory& operator[](int index) { return Items(index); }
    const TDirectory& operator[](int index) const { return Items(index); }
    void Delete(int index);

    // Deletes every entry whose Path equals path without regard to (ASCII) case and keeps
    // the others in their order.
    void RemovePath(const std::string& path);

private:
    std::vector<std::unique_ptr<TDirectory>> FItems;
};
