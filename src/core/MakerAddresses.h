#pragma once

// The maker's addresses, kept in one place: the launcher's hints, the about window and
// the mail forms take them from here. The update information address is not among them:
// it is a build setting (MORVANE_INFO_FILE_URL), since only a build that has an update
// server may check. They live under the reserved example.com domain until the product
// has a real home.
namespace MakerAddresses {

inline constexpr const char* HomePage = "https://www.example.com/morvane/";
inline constexpr const char* SupportMail = "support@example.com";
// The instant-messenger account that answers technical questions.
inline constexpr const char* Messenger = "morvane-help@example.com";
inline constexpr const char* TechBlog = "https://blog.example.com/morvane/";
// The installer download that friends are pointed to.
inline constexpr const char* Download = "https://www.example.com/morvane/download/MorvaneSetup.exe";

} // namespace MakerAddresses
