#pragma once

#include "platform/IShellNamespace.h"

#include <string>
#include <vector>

// The entries of the location box: newest first, never removed.
class TPathHistory {
public:
    struct TEntry {
        std::string Text;
        Platform::TIdList IdList;
    };

    // Records a visit: selects the entry whose text equals parsingName ignoring case, or
    // inserts a new entry at the top ("My Computer" as its text for a virtual folder).
    // Returns the index of the selected entry.
    int Visit(const std::string& parsingName, const Platform::TIdList& idList);
    // The index of the entry whose text equals text ignoring case; -1 when none.
    int Find(const std::string& text) const;

    const std::vector<TEntry>& Entries() const { return FEntries; }
    int Selected() const { return FSelected; }
    // The box text: the selected entry's text.
    std::string Text() const;

private:
    std::vector<TEntry> FEntries;
    int FSelected = -1;
};
