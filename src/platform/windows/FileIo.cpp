#include "platform/FileIo.h"

#include "platform/windows/WinText.h"

#include <random>

#include <windows.h>

namespace fs = std::filesystem;

namespace Platform {

std::string SystemErrorText(int code) { return Win::ErrorText(static_cast<DWORD>(code)); }

int LastErrorCode() { return static_cast<int>(GetLastError()); }

std::string WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(L".");
    std::random_device rd;
    const fs::path temp = folder / (L"." + path.filename().wstring() + L"." +
                                    std::to_wstring(rd() % 1000000) + L".tmp");
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Win::ErrorText(GetLastError());
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr) &&
                    written == bytes.size() && FlushFileBuffers(h);
    const DWORD writeError = GetLastError();
    CloseHandle(h);
    if (!ok) {
        DeleteFileW(temp.c_str());
        return Win::ErrorText(writeError);
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD err = GetLastError();
        DeleteFileW(temp.c_str());
        return Win::ErrorText(err);
    }
    return {};
}

std::optional<std::string> ReadWholeFile(const fs::path& path, std::string* error) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error)
            *error = Win::ErrorText(GetLastError());
        return std::nullopt;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) {
            if (error)
                *error = Win::ErrorText(GetLastError());
            CloseHandle(h);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(buf, n);
    }
    CloseHandle(h);
    return data;
}

} // namespace Platform
