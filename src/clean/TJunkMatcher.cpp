#include "clean/TJunkMatcher.h"

#include "clean/JunkTexts.h"
#include "core/TGarbages.h"

std::string BuildMatchText(std::string_view pattern) {
    std::string text;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '*') {
            if (i == 0)
                continue;
            break;
        }
        if (c != '?')
            text += c;
    }
    return text;
}

TJunkMatcher::TJunkMatcher(const std::vector<std::string>& protectedNames) {
    for (const std::string& name : protectedNames)
        FProtected.insert(UpperAscii(name));
}

void TJunkMatcher::Refresh(const TGarbages& garbages) {
    FMatchTexts.clear();
    for (int i = 0; i < garbages.Count(); ++i) {
        const TGarbage& type = garbages[i];
        if (!type.Ifclean())
            continue;
        // An empty match text would match every name; it matches none instead.
        std::string text = BuildMatchText(type.GarbageName());
        if (!text.empty())
            FMatchTexts.push_back(std::move(text));
    }
}

bool TJunkMatcher::MatchesJunkType(std::string_view name) const {
    if (FMatchTexts.empty())
        return false;
    FUpper.assign(name);
    for (char& c : FUpper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    for (const std::string& text : FMatchTexts)
        if (FUpper.find(text) != std::string::npos)
            return true;
    return false;
}

bool TJunkMatcher::IsProtected(std::string_view name) const {
    return !FProtected.empty() && FProtected.count(UpperAscii(name)) != 0;
}
