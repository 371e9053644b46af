#include "platform/TreeDelete.h"

#include "platform/SystemInfo.h"
#include "platform/TDirWalker.h"
#include "platform/windows/WinText.h"

#include <cwctype>
#include <string>

#include <windows.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

TDescendHook& DescendHook() {
    static TDescendHook hook;
    return hook;
}

// The absolute, upper-cased form with backslashes and no trailing separator, for
// comparing folders the way the file system does.
std::wstring Canonical(const fs::path& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    std::wstring text = n > 0 && n < MAX_PATH * 4 ? std::wstring(buffer, n) : path.wstring();
    for (wchar_t& c : text)
        c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towupper(c));
    while (text.size() > 3 && text.back() == L'\\')
        text.pop_back();
    return text;
}

// A drive root, the user's profile folder and every folder that holds it.
bool IsProtectedFolder(const fs::path& path) {
    const std::wstring target = Canonical(path);
    if (target.size() <= 3 || Canonical(fs::path(target).root_path()) == target)
        return true;
    const fs::path home = HomeFolder();
    if (home.empty())
        return false;
    for (fs::path p = home; !p.empty(); p = p.parent_path()) {
        if (Canonical(p) == target)
            return true;
        if (p == p.parent_path())
            break;
    }
    return false;
}

bool RemoveEntry(const fs::path& path, uint32_t attributes) {
    const std::wstring name = Win::LongPath(path.native());
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // A link to a folder (or a junction) is removed as the folder entry it is.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryW(name.c_str()) != 0;
    return DeleteFileW(name.c_str()) != 0;
}

// Removes everything below the start: files and reparse points as they are listed,
// folders after their contents. A reparse point is never entered.
class TEraser : public IDirVisitor {
public:
    TVisit OnEntry(const TDirEntry& entry) override {
        if (entry.IsDirectory()) {
            if (const TDescendHook& hook = DescendHook())
                hook(std::string(entry.DirPath), entry.Name);
            return TVisit::Descend;
        }
        RemoveEntry(entry.Path(), entry.Attributes);
        return TVisit::Continue;
    }
    void OnLeave(const TDirEntry& folder) override { RemoveEntry(folder.Path(), folder.Attributes); }
};

} // namespace

void SetDeleteDescendHook(TDescendHook hook) { DescendHook() = std::move(hook); }

// Deletes permanently, as the shell's delete without the recycle bin does, but from
// our own walker so that junctions and links inside the tree are removed as links and
// never entered.
bool DeleteTree(const fs::path& path) {
    // Only a full path: a drive-relative one ("C:", "C:name") names a folder below that
    // drive's current folder, which the refusals below would judge while the walk,
    // listing "C:\*", would empty the drive's root instead.
    if (path.empty() || !path.is_absolute())
        return false;
    const DWORD attributes = GetFileAttributesW(Win::LongPath(path.native()).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    const bool realFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    if (realFolder) {
        if (IsProtectedFolder(path))
            return false;
        TEraser eraser;
        TDirWalker walker;
        walker.Walk(path, eraser, TWalkOptions{true, false});
    }
    RemoveEntry(path, attributes);
    return GetFileAttributesW(Win::LongPath(path.native()).c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace Platform
