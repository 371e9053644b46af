#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The tips of the tips window: read once from the tips file, shown one at a time in
// order and from the start again after the last.
class TTips {
public:
    static constexpr int MaxTips = 100;

    // Starts over at tip 1 with no tips, then reads the file's lines (ended by CR LF, LF
    // or a lone CR), at most MaxTips; a missing or unreadable file (also one that is not
    // a regular file, or is too large) leaves the list empty. False when there was no file.
    bool LoadTips(const std::filesystem::path& file);

    int TipCount() const { return static_cast<int>(FTips.size()); }
    // The tip shown, counted from 1.
    int TipIndex() const { return FTipIndex; }
    // The text of a tip counted from 1; empty outside 1..TipCount (no tips read).
    std::string Tip(int index) const;
    // Moves to the next tip, back to 1 after the last; returns the new index.
    int NextTip();

private:
    std::vector<std::string> FTips;
    int FTipIndex = 1;
};

// The page that shows a tip: the tip as the body between a font line and its end tag,
// each line ended by CR LF, in the system code page.
std::string TipsPageText(const std::string& tip);

// Rewrites the page file. Throws EMorvaneError "Cannot create file "<path>". <reason>"
// when it cannot be written; the old page then stays as it was.
void WriteTipsPage(const std::filesystem::path& file, const std::string& tip);
