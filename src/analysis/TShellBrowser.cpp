// The browsing state of the analysis window: location, item list, history, row texts.
#include "analysis/TShellBrowser.h"

#include "analysis/ShellTexts.h"
#include "core/FileRoutines.h"
#include "platform/Volumes.h"

#include <algorithm>
#include <cctype>

using Platform::TIdList;

namespace {

bool StartsWithNoCase(const std::string& name, const std::string& prefix) {
    if (prefix.size() > name.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

std::string Trimmed(const std::string& text) {
    const size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

} // namespace

TShellBrowser::TShellBrowser(std::unique_ptr<Platform::IShellNamespace> ns)
    : FNamespace(ns ? std::move(ns) : Platform::CreateShellNamespace()) {}

bool TShellBrowser::Start(std::string& error) {
    return NavigateTo(FNamespace->MyComputer(), error);
}

bool TShellBrowser::NavigateTo(const TIdList& list, std::string& error) {
    if (!PopulateIDList(list, error))
        return false;
    FCurrentIdList = list;
    FCurrentPath = FNamespace->ParsingName(list);
    FHistory.Visit(FCurrentPath, list);
    return true;
}

bool TShellBrowser::NavigateToText(const std::string& text, std::string& error) {
    const std::optional<TIdList> list = FNamespace->Parse(text, error);
    return list && NavigateTo(*list, error);
}

bool TShellBrowser::AtMyComputer() const {
    return LocationText() == MyComputerText;
}

bool TShellBrowser::Up(std::string& error) {
    TIdList parent = FCurrentIdList;
    if (!parent.Items.empty())
        parent.Items.pop_back();
    // The parent of a volume root is My Computer itself; the namespace root (the desktop)
    // is never shown.
    const bool volumeRoot = parent == FNamespace->MyComputer();
    if (!parent.Empty() && !volumeRoot && !IsDriveRootText(Trimmed(LocationText())))
        return NavigateTo(parent, error);
    return NavigateTo(FNamespace->MyComputer(), error);
}

bool TShellBrowser::OpenRow(int index, std::string& error) {
    if (index < 0 || index >= Count() || !ShellItem(index).IsFolder)
        return false;
    TIdList full = FCurrentIdList;
    full.Items.push_back(ShellItem(index).IdList);
    return NavigateTo(full, error);
}

bool TShellBrowser::SelectHistory(const std::string& text, std::string& error) {
    const int i = FHistory.Find(text);
    if (i >= 0)
        return NavigateTo(FHistory.Entries()[static_cast<size_t>(i)].IdList, error);
    return NavigateToText(text, error);
}

bool TShellBrowser::PopulateIDList(const TIdList& folder, std::string& error) {
    std::vector<Platform::TShellChild> children;
    if (!FNamespace->Enumerate(folder, children, error))
        return false; // the old list stays
    // Floppy drives are never listed: their names hold "A:" or "B:".
    std::erase_if(children, [](const Platform::TShellChild& c) {
        return c.DisplayName.find("A:") != std::string::npos ||
               c.DisplayName.find("B:") != std::string::npos;
    });
    FNamespace->SortChildren(folder, children);
    FItemList.clear();
    FItemList.reserve(children.size());
    for (Platform::TShellChild& c : children) {
        TShellItem& item = FItemList.emplace_back();
        item.IdList = std::move(c.Item);
        item.DisplayName = std::move(c.DisplayName);
        item.IsFolder = c.IsFolder;
    }
    return true;
}

void TShellBrowser::CheckShellItems(int first, int last, bool largeIcons) {
    if (first < 0 || last >= Count() || first > last)
        return;
    for (int i = first; i <= last; ++i) {
        TShellItem& item = FItemList[static_cast<size_t>(i)];
        if (!item.NeedsDetails)
            continue;
        item.FullIdList = FCurrentIdList;
        item.FullIdList.Items.push_back(item.IdList);
        const Platform::TShellDetails d = FNamespace->Details(item.FullIdList, largeIcons);
        item.IconIndex = d.IconIndex;
        item.IconName = d.IconName;
        item.TypeName = d.TypeName.substr(0, 80);
        item.SizeKB = SizeKBOf(d.Size);
        item.Attributes = d.Attributes;
        item.LastWrite = d.LastWrite;
        item.ModifiedText = ModifiedTextOf(d.LastWrite);
        item.NeedsDetails = false;
    }
}

bool TShellBrowser::NeedsSystemDisk(int index) const {
    const std::string root = RowDriveRoot(ShellItem(index).DisplayName, LocationText());
    if (root.empty())
        return false;
    // Windows shows the cell for drives past Y: and for UNC paths; a Linux path stands
    // for a network drive when it lies on a remote volume.
    if (root[0] == '/')
        return Platform::Volumes().TypeOf(DriveRootOf(root)) == Platform::DriveType::Remote;
    return root[0] < 'A' || root[0] > 'Y';
}

std::vector<std::string> TShellBrowser::RowCells(int index) {
    if (index < 0 || index >= Count())
        return {};
    CheckShellItems(index, index);
    const TShellItem& item = ShellItem(index);
    return ::RowCells(item, item.IsFolder && NeedsSystemDisk(index));
}

std::string TShellBrowser::ItemPath(int index) const {
    if (index < 0 || index >= Count() || AtMyComputer())
        return {};
    // The namespace's own parsing name, not the shown name: a shown name may lack the
    // extension, and a command must act on exactly the entry of the row.
    TIdList full = FCurrentIdList;
    full.Items.push_back(ShellItem(index).IdList);
    return FNamespace->ParsingName(full);
}

std::string TShellBrowser::VolumeRootOf(int index) const {
    if (index < 0 || index >= Count() || !AtMyComputer())
        return {};
    return RowDriveRoot(ShellItem(index).DisplayName, LocationText());
}

int TShellBrowser::FindItem(const std::string& text, int start, bool wrap) const {
    const int n = Count();
    if (n == 0)
        return -1;
    if (start < 0 || start >= n)
        start = 0;
    int i = start;
    do {
        if (StartsWithNoCase(ShellItem(i).DisplayName, text))
            return i;
        if (++i == n) {
            if (!wrap)
                return -1;
            i = 0;
        }
    } while (i != start);
    return -1;
}

void TShellBrowser::SortByColumn(int column) {
    if (column > 0)
        CheckShellItems(0, Count() - 1);
    const bool descending = FSortDescending;
    auto key = [column](const TShellItem& a, const TShellItem& b) -> int {
        switch (column) {
        case 1:
            return a.SizeKB < b.SizeKB ? -1 : a.SizeKB > b.SizeKB;
        case 2:
            return a.TypeName.compare(b.TypeName);
        case 3:
            return a.LastWrite.Ticks < b.LastWrite.Ticks ? -1
                                                         : a.LastWrite.Ticks > b.LastWrite.Ticks;
        case 4:
            return AttributeLetters(a.Attributes).compare(AttributeLetters(b.Attributes));
        default: {
            std::string x = a.DisplayName, y = b.DisplayName;
            for (char& c : x)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            for (char& c : y)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return x.compare(y);
        }
        }
    };
    std::stable_sort(FItemList.begin(), FItemList.end(),
                     [&](const TShellItem& a, const TShellItem& b) {
                         if (a.IsFolder != b.IsFolder)
                             return a.IsFolder; // folders stay first either way
                         const int c = key(a, b);
                         return descending ? c > 0 : c < 0;
                     });
    FSortDescending = !FSortDescending;
}
