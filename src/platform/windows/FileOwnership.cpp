#include "platform/FileOwnership.h"

#include "platform/windows/WinText.h"

#include <windows.h>
#include <aclapi.h>

namespace Platform {

namespace {

std::string AccountOf(PSID sid) {
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use;
    if (!sid || !LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use))
        return {};
    return Win::Narrow(name);
}

} // namespace

// Windows keeps no group in the Unix sense and its rights are lists; the sheet shows the
// owner and whether the entry can be written.
std::optional<TOwnership> QueryOwnership(const std::filesystem::path& path) {
    const std::wstring wide = Win::LongPath(path.native());
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    TOwnership ownership;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) == ERROR_SUCCESS) {
        ownership.Owner = AccountOf(owner);
        LocalFree(descriptor);
    }
    ownership.Permissions = (attributes & FILE_ATTRIBUTE_READONLY) ? "r-xr-xr-x" : "rwxrwxrwx";
    return ownership;
}

} // namespace Platform
