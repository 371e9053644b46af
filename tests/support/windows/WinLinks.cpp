#include "support/windows/WinLinks.h"

#include <cstring>
#include <vector>

#include <windows.h>
#include <winioctl.h>

namespace fs = std::filesystem;

namespace {

// The mount-point form of REPARSE_DATA_BUFFER (not in the user-mode headers).
struct TMountPointBuffer {
    DWORD ReparseTag;
    WORD ReparseDataLength;
    WORD Reserved;
    WORD SubstituteNameOffset;
    WORD SubstituteNameLength;
    WORD PrintNameOffset;
    WORD PrintNameLength;
};

std::string Failure(const char* step) {
    return std::string(step) + " failed with error " + std::to_string(GetLastError());
}

bool IsReparsePoint(const fs::path& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

} // namespace

std::string MakeJunction(const fs::path& link, const fs::path& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return Failure("CreateDirectoryW");
    const std::wstring full = fs::absolute(target).wstring();
    const std::wstring substitute = L"\\??\\" + full;
    const size_t subBytes = substitute.size() * sizeof(wchar_t);
    const size_t printBytes = full.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(TMountPointBuffer) + subBytes + printBytes +
                             2 * sizeof(wchar_t));
    auto* head = reinterpret_cast<TMountPointBuffer*>(buffer.data());
    head->ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    head->SubstituteNameOffset = 0;
    head->SubstituteNameLength = static_cast<WORD>(subBytes);
    head->PrintNameOffset = static_cast<WORD>(subBytes + sizeof(wchar_t));
    head->PrintNameLength = static_cast<WORD>(printBytes);
    char* names = buffer.data() + sizeof(TMountPointBuffer);
    std::memcpy(names, substitute.c_str(), subBytes + sizeof(wchar_t));
    std::memcpy(names + head->PrintNameOffset, full.c_str(), printBytes + sizeof(wchar_t));
    // The data length counts everything after the first eight bytes of the header.
    head->ReparseDataLength = static_cast<WORD>(buffer.size() - 8);

    HANDLE h = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Failure("CreateFileW");
    DWORD returned = 0;
    const BOOL ok =
        DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(),
                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    const std::string why = ok ? std::string() : Failure("FSCTL_SET_REPARSE_POINT");
    CloseHandle(h);
    if (!why.empty()) {
        RemoveDirectoryW(link.c_str());
        return why;
    }
    return IsReparsePoint(link) ? std::string() : "the junction does not show as a reparse point";
}

std::string MakeFolderSymlink(const fs::path& link, const fs::path& target) {
    if (!CreateSymbolicLinkW(link.c_str(), fs::absolute(target).c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY |
                                 SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return Failure("CreateSymbolicLinkW");
    return IsReparsePoint(link) ? std::string() : "CreateSymbolicLinkW made no link";
}
