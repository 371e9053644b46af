#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class TGarbages;

// The match text of a junk type's pattern: "?" is dropped, a leading "*" is dropped, and
// any later "*" ends the text ("*.BAK" gives ".BAK", "*.~*" gives ".~", "*" gives "").
std::string BuildMatchText(std::string_view pattern);

// Decides whether a bare file name is junk: its upper-cased name contains the match text
// of a checked junk type and it is not a protected name.
class TJunkMatcher {
public:
    // protectedNames are bare file names, compared whole and without ASCII case.
    explicit TJunkMatcher(const std::vector<std::string>& protectedNames);

    // Takes the match texts of the checked types, in collection order.
    void Refresh(const TGarbages& garbages);

    // True when a checked type matches the name (whatever the protected list says).
    bool MatchesJunkType(std::string_view name) const;
    bool IsProtected(std::string_view name) const;
    // A junk-type match that is not protected: the file becomes a junk row.
    bool IsJunk(std::string_view name) const { return MatchesJunkType(name) && !IsProtected(name); }

private:
    std::vector<std::string> FMatchTexts;
    std::unordered_set<std::string> FProtected; // upper-cased
    mutable std::string FUpper;                 // reused buffer for the upper-cased name
};
