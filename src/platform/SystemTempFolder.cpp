#include "platform/PrivacyPlaces.h"

namespace Platform {
namespace {

std::filesystem::path& TempOverride() {
    static std::filesystem::path folder;
    return folder;
}

} // namespace

std::filesystem::path SystemTempFolder() {
    return TempOverride().empty() ? NativeSystemTempFolder() : TempOverride();
}

void SetSystemTempFolder(const std::filesystem::path& folder) { TempOverride() = folder; }

} // namespace Platform
