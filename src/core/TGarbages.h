#pragma once

#include "core/TGarbage.h"

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

// The junk file types in their significant order: the order of the junk types file, of
// the options dialog's list and of the scan's tests. Items live on the heap, so a
// reference to one stays valid while others are added or deleted.
class TGarbages {
public:
    // Adds an empty, unchecked item at the end and returns it.
    TGarbage& Add();
    TGarbage& Add(const std::string& garbageName, const std::string& memo, bool ifclean);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Index from 0; throws EMorvaneError "List index out of bounds (%d)" outside the list.
    TGarbage& Items(int index);
    const TGarbage& Items(int index) const;
    TGarbage& operator[](int index) { return Items(index); }
    const TGarbage& operator[](int index) const { return Items(index); }
    void Delete(int index);

    // The junk types that a first start offers: 28 common patterns, all unchecked.
    void AddDefaultTypes();

    // The junk types file: three lines per type (pattern, description, "Y" or "N"),
    // system code page, CR LF. Reading replaces the whole collection; a file that cannot
    // be opened (or is not a regular file, or is too large) reads as empty. Returns false
    // when the file could not be read.
    bool ReadFromFile(const std::filesystem::path& path);
    // Returns the system's reason when the file could not be written, else an empty text.
    // A file that is there but cannot be read is not replaced: that is a failure too.
    std::string WriteToFile(const std::filesystem::path& path) const;

    // The file's text for the current items, in the system code page.
    std::string ToFileText() const;
    // Replaces the items with those of a junk types file's bytes.
    void LoadFromFileText(std::string_view bytes);

private:
    std::vector<std::unique_ptr<TGarbage>> FItems;
};
