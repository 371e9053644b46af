#include "platform/FileIo.h"

#include "platform/TreeDelete.h"
#include "platform/windows/WinText.h"

#include <random>
#include <system_error>

#include <windows.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

// Closes the handle when it goes.
class THandle {
public:
    explicit THandle(HANDLE h) : FHandle(h) {}
    ~THandle() {
        if (FHandle != INVALID_HANDLE_VALUE)
            CloseHandle(FHandle);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return FHandle; }

private:
    HANDLE FHandle;
};

// Why a file with these attributes is not read; empty when it is. A folder, a device
// and an offline file (whose open would fetch it from slow storage) are refused before
// they are opened.
std::string RefusalOfAttributes(DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Win::ErrorText(ERROR_DIRECTORY);
    if (attributes & (FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_OFFLINE))
        return NotARegularFileText();
    return {};
}

// Opens a file on disk for reading. A pipe, a console or another device opened through
// the name (the open itself never waits for them) is refused by its type; a file larger
// than maxBytes by its size. Returns the handle, or INVALID_HANDLE_VALUE with the reason
// in error (and openError set when the open itself failed).
HANDLE OpenRegularFile(const fs::path& path, std::uintmax_t maxBytes, std::string& error,
                       ULONGLONG& size, DWORD& openError) {
    openError = 0;
    const std::wstring name = Win::LongPath(path.native());
    error = RefusalOfAttributes(GetFileAttributesW(name.c_str()));
    if (!error.empty())
        return INVALID_HANDLE_VALUE;
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        openError = GetLastError();
        error = Win::ErrorText(openError);
        return INVALID_HANDLE_VALUE;
    }
    LARGE_INTEGER length{};
    if (GetFileType(h) != FILE_TYPE_DISK)
        error = NotARegularFileText();
    else if (!GetFileSizeEx(h, &length))
        error = Win::ErrorText(GetLastError());
    else if (static_cast<std::uintmax_t>(length.QuadPart) > maxBytes)
        error = FileTooLargeText(maxBytes);
    if (!error.empty()) {
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    size = static_cast<ULONGLONG>(length.QuadPart);
    return h;
}

// Reads to the end, but never more than maxBytes + 1 bytes, should the file grow.
std::optional<std::string> ReadBounded(HANDLE h, ULONGLONG knownSize, std::uintmax_t maxBytes,
                                       std::string& error) {
    std::string data;
    data.reserve(static_cast<size_t>(knownSize) + 1);
    constexpr DWORD Chunk = 65536;
    for (;;) {
        const size_t used = data.size();
        data.resize(used + Chunk);
        DWORD n = 0;
        if (!ReadFile(h, data.data() + used, Chunk, &n, nullptr)) {
            error = Win::ErrorText(GetLastError());
            return std::nullopt;
        }
        data.resize(used + n);
        if (n == 0)
            return data;
        if (data.size() > maxBytes) {
            error = FileTooLargeText(maxBytes);
            return std::nullopt;
        }
    }
}

// Creates the save's temporary under a free name. It is opened without sharing, so a
// start of the program that clears the leftovers of killed saves cannot delete it while
// this save runs.
HANDLE CreateTemporary(const fs::path& path, fs::path& temp) {
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = AtomicWriteTemporaryFor(path, rd());
        HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    return INVALID_HANDLE_VALUE;
}

// The tree delete takes full paths only.
bool DeleteTemporary(const fs::path& temp) {
    std::error_code ec;
    const fs::path full = fs::absolute(temp, ec);
    return !ec && DeleteTree(full);
}

} // namespace

std::string SystemErrorText(int code) { return Win::ErrorText(static_cast<DWORD>(code)); }

int LastErrorCode() { return static_cast<int>(GetLastError()); }

std::string WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    fs::path temp;
    HANDLE h = CreateTemporary(path, temp);
    if (h == INVALID_HANDLE_VALUE)
        return Win::ErrorText(GetLastError());
    DWORD written = 0;
    const bool ok =
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(h);
    const DWORD writeError = GetLastError();
    CloseHandle(h);
    if (!ok) {
        DeleteTemporary(temp);
        return Win::ErrorText(writeError);
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD err = GetLastError();
        DeleteTemporary(temp);
        return Win::ErrorText(err);
    }
    return {};
}

std::optional<std::string> ReadWholeFile(const fs::path& path, std::string* error,
                                         std::uintmax_t maxBytes) {
    std::string reason;
    ULONGLONG size = 0;
    DWORD openError = 0;
    const THandle h(OpenRegularFile(path, maxBytes, reason, size, openError));
    std::optional<std::string> data;
    if (h.Get() != INVALID_HANDLE_VALUE)
        data = ReadBounded(h.Get(), size, maxBytes, reason);
    if (!data && error)
        *error = reason;
    return data;
}

std::string UnreadableFileReason(const fs::path& path, std::uintmax_t maxBytes) {
    std::string reason;
    ULONGLONG size = 0;
    DWORD openError = 0;
    const THandle h(OpenRegularFile(path, maxBytes, reason, size, openError));
    if (openError == ERROR_FILE_NOT_FOUND || openError == ERROR_PATH_NOT_FOUND)
        return {}; // nothing there: a save loses nothing
    return reason;
}

int RemoveAtomicWriteLeftovers(const fs::path& folder, const std::vector<std::string>& targets) {
    int removed = 0;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = Win::Narrow(entry.path().filename().wstring());
        std::error_code kindError;
        if (!entry.is_regular_file(kindError) || entry.is_symlink(kindError))
            continue;
        for (const std::string& target : targets) {
            // A temporary that a running save holds is open without sharing: the
            // delete fails on it and it stays.
            if (IsAtomicWriteTemporary(name, target) && DeleteTemporary(entry.path()))
                ++removed;
        }
    }
    return removed;
}

} // namespace Platform
