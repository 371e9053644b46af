#pragma once

// The maker's addresses, kept in one place: the launcher's hints, the about window, the
// mail forms and the update check all take them from here. They live under the reserved
// example.com domain until the product has a real home.
namespace MakerAddresses {

inline constexpr const char* HomePage = "https://www.example.com/morvane/";
inline constexpr const char* SupportMail = "support@example.com";
// The instant-messenger account that answers technical questions.
inline constexpr const char* Messenger = "morvane-help@example.com";
inline constexpr const char* TechBlog = "https://blog.example.com/morvane/";
// Scheme and host of the update server, without a trailing slash.
inline constexpr const char* UpdateServer = "https://update.example.com";
// Path of the update information file on the update server.
inline constexpr const char* UpdateInfoPath = "/download/update/Morvane.inf";
// The installer download that friends are pointed to.
inline constexpr const char* Download = "https://www.example.com/morvane/download/MorvaneSetup.exe";

} // namespace MakerAddresses
