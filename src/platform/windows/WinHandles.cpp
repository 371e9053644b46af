#include "platform/windows/WinHandles.h"

#include <algorithm>
#include <atomic>

#include <winternl.h>

namespace Platform::Win {

namespace {

// FileDispositionInfoEx and its flags (Windows 10 1607 and later), which the headers show
// only to builds that require that version.
constexpr auto DispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct TDispositionEx {
    DWORD Flags;
};
constexpr DWORD DispositionDelete = 0x1;
constexpr DWORD DispositionPosix = 0x2;
constexpr DWORD DispositionIgnoreReadOnly = 0x10;

// Cleared once the system turns the POSIX-semantics disposition down (before Windows 10
// 1607, and under wine).
std::atomic<bool> HaveDispositionEx{true};

bool IsUnsupported(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

} // namespace

bool UsesPosixDeletion() {
    return HaveDispositionEx.load(std::memory_order_relaxed);
}

int64_t UnixSeconds(int64_t fileTime) {
    return fileTime / 10000000 - 11644473600LL;
}

bool QueryHandle(HANDLE h, THandleInfo& info) {
    BY_HANDLE_FILE_INFORMATION by{};
    if (!GetFileInformationByHandle(h, &by))
        return false;
    info.Attributes = by.dwFileAttributes;
    info.Id = {by.dwVolumeSerialNumber,
               (static_cast<uint64_t>(by.nFileIndexHigh) << 32) | by.nFileIndexLow};
    return true;
}

int64_t ChangedUnixOf(HANDLE h) {
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic))
        return UnixSeconds(std::max(basic.LastWriteTime.QuadPart, basic.ChangeTime.QuadPart));
    BY_HANDLE_FILE_INFORMATION by{};
    if (!GetFileInformationByHandle(h, &by))
        return 0;
    return UnixSeconds((static_cast<int64_t>(by.ftLastWriteTime.dwHighDateTime) << 32) |
                       by.ftLastWriteTime.dwLowDateTime);
}

HANDLE OpenRelative(HANDLE dir, std::wstring_view name, bool folder, DWORD& error) {
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.data());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, dir, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE h = nullptr;
    const ACCESS_MASK access = DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES |
                               (folder ? FILE_LIST_DIRECTORY : 0);
    const ULONG options = FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT |
                          FILE_SYNCHRONOUS_IO_NONALERT | (folder ? FILE_DIRECTORY_FILE : 0);
    const NTSTATUS status = NtCreateFile(&h, access, &attributes, &io, nullptr, 0,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         FILE_OPEN, options, nullptr, 0);
    if (status < 0) {
        error = RtlNtStatusToDosError(status);
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

HANDLE OpenPath(const std::wstring& path, bool forDelete, DWORD& error) {
    const DWORD access = SYNCHRONIZE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY |
                         (forDelete ? DELETE | FILE_WRITE_ATTRIBUTES : 0);
    HANDLE h = CreateFileW(
        path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        error = GetLastError();
    return h;
}

bool MarkForDeletion(HANDLE h, bool ignoreReadOnly, DWORD& error) {
    if (HaveDispositionEx.load(std::memory_order_relaxed)) {
        TDispositionEx ex{DispositionDelete | DispositionPosix |
                          (ignoreReadOnly ? DispositionIgnoreReadOnly : 0)};
        if (SetFileInformationByHandle(h, DispositionInfoEx, &ex, sizeof ex))
            return true;
        error = GetLastError();
        if (!IsUnsupported(error))
            return false;
        HaveDispositionEx.store(false, std::memory_order_relaxed);
    }
    FILE_BASIC_INFO basic{};
    const bool readOnly = GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) &&
                          (basic.FileAttributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly && ignoreReadOnly) {
        FILE_BASIC_INFO cleared{};
        cleared.FileAttributes =
            (basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;
        if (cleared.FileAttributes != FILE_ATTRIBUTE_NORMAL)
            cleared.FileAttributes &= ~FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(h, FileBasicInfo, &cleared, sizeof cleared);
    }
    FILE_DISPOSITION_INFO classic{};
    classic.DeleteFile = TRUE;
    if (SetFileInformationByHandle(h, FileDispositionInfo, &classic, sizeof classic))
        return true;
    error = GetLastError();
    if (readOnly && ignoreReadOnly)
        SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic); // it stays as it was
    return false;
}

} // namespace Platform::Win
