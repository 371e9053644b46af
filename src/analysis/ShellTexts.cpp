// Texts of the browsing list: sizes, attribute letters, dates and the row cells.
#include "analysis/ShellTexts.h"

#include "analysis/TShellItem.h"
#include "core/DateTime.h"
#include "platform/TDirWalker.h"

#include <array>

std::string FormatSizeKB(int64_t kb) {
    static constexpr std::array<const char*, 5> Units = {"KB", "MB", "GB", "TB", "TTB"};
    if (kb <= 1024)
        return std::to_string(kb) + Units[0];
    size_t unit = 0;
    int64_t rest = 0;
    while (kb > 1024 && unit + 1 < Units.size()) {
        rest = kb % 1024;
        kb /= 1024;
        ++unit;
    }
    return std::to_string(kb) + "." + std::to_string(rest) + Units[unit];
}

int64_t SizeKBOf(int64_t bytes) {
    const int64_t kb = (bytes + 1023) / 1024;
    return kb == 0 ? 1 : kb;
}

std::string AttributeLetters(uint32_t attributes) {
    std::string letters;
    if (attributes & Platform::Attr::ReadOnly)
        letters += 'R';
    if (attributes & Platform::Attr::Hidden)
        letters += 'H';
    if (attributes & Platform::Attr::System)
        letters += 'S';
    if (attributes & Platform::Attr::Archive)
        letters += 'A';
    return letters;
}

std::string ModifiedTextOf(Platform::TFileTime time) {
    Platform::TSystemTime local;
    if (time.Ticks == 0 || !Platform::FileTimeToLocalSystemTime(time, local))
        return {};
    try {
        const Platform::TLocaleFormats locale = Platform::LocaleFormats();
        // The short date, with the long time unless it is midnight.
        return FormatDateTime("c", SystemTimeToDateTime(local), locale);
    } catch (...) {
        return {}; // a date the calendar cannot hold
    }
}

std::string LocationTextOf(const std::string& parsingName) {
    return parsingName.find("::") != std::string::npos ? MyComputerText : parsingName;
}

std::string RowDriveRoot(const std::string& rowName, const std::string& locationText) {
    if (locationText == MyComputerText || locationText.rfind("::", 0) == 0) {
        // Volume rows are named "LABEL (MOUNT)": the root is what the parentheses hold.
        const size_t close = rowName.rfind(')');
        const size_t open = rowName.rfind('(');
        if (close != rowName.size() - 1 || open == std::string::npos || close == std::string::npos)
            return {};
        std::string root = rowName.substr(open + 1, close - open - 1);
        if (root.empty())
            return {};
        if (root.back() != '/' && root.back() != '\\')
            root += root.find('\\') != std::string::npos || (root.size() == 2 && root[1] == ':')
                        ? '\\'
                        : '/';
        return root;
    }
    if (locationText.empty())
        return {};
    const char last = locationText.back();
    if (last == '/' || last == '\\')
        return locationText;
    return locationText + (locationText.find('\\') != std::string::npos ? '\\' : '/');
}

std::vector<std::string> RowCells(const TShellItem& item, bool systemDisk) {
    std::vector<std::string> cells;
    if (item.IsFolder) {
        if (systemDisk)
            cells.push_back("System Disk ");
    } else {
        cells.push_back(FormatSizeKB(item.SizeKB));
    }
    cells.push_back(item.TypeName);
    cells.push_back(item.ModifiedText);
    cells.push_back(AttributeLetters(item.Attributes));
    return cells;
}

bool IsDriveRootText(const std::string& locationText) {
    if (!locationText.empty() && locationText[0] == '/')
        return locationText.back() == '/';
    return locationText.size() <= 3;
}
