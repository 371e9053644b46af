#include "platform/ProgramFolder.h"

#include "platform/windows/WinText.h"

#include <cstdlib>
#include <mutex>
#include <system_error>

#include <windows.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

std::mutex gFolderMutex;
fs::path gOverride;

bool FolderIsWritable(const fs::path& folder) {
    const fs::path probe = folder / L".morvane-write-test";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

// A program under Program Files cannot write beside itself: its files then live in the
// user's local application data, seeded with the shipped ones.
fs::path UserFolder(const fs::path& shipped) {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    const fs::path target = fs::path(local ? local : L".") / L"Morvane";
    std::error_code ec;
    fs::create_directories(target, ec);
    for (const auto& entry : fs::directory_iterator(shipped, ec)) {
        if (entry.is_regular_file(ec) && entry.path().extension() != L".exe")
            fs::copy_file(entry.path(), target / entry.path().filename(),
                          fs::copy_options::skip_existing, ec);
    }
    return target;
}

} // namespace

fs::path ProgramFile() {
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return fs::path(buffer);
}

fs::path ProgramFolder() {
    std::lock_guard lock(gFolderMutex);
    if (!gOverride.empty())
        return gOverride;
    const fs::path exeFolder = ProgramFile().parent_path();
    gOverride = FolderIsWritable(exeFolder) ? exeFolder : UserFolder(exeFolder);
    return gOverride;
}

void SetProgramFolder(const fs::path& folder) {
    std::lock_guard lock(gFolderMutex);
    gOverride = folder;
}

} // namespace Platform
