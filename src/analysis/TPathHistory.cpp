#include "analysis/TPathHistory.h"

#include "analysis/ShellTexts.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

int TPathHistory::Find(const std::string& text) const {
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (SameText(FEntries[i].Text, text))
            return static_cast<int>(i);
    return -1;
}

int TPathHistory::Visit(const std::string& parsingName, const Platform::TIdList& idList) {
    // The search compares the parsing name, which never equals the shown "My Computer",
    // so every return to My Computer adds an entry.
    FSelected = Find(parsingName);
    if (FSelected >= 0)
        return FSelected;
    FEntries.insert(FEntries.begin(), {LocationTextOf(parsingName), idList});
    FSelected = 0;
    return FSelected;
}

std::string TPathHistory::Text() const {
    return FSelected < 0 ? std::string() : FEntries[static_cast<size_t>(FSelected)].Text;
}
