#pragma once

#include <filesystem>
#include <string>

// A path as UTF-8 text for messages. path::string() would convert to the ANSI code page on
// Windows and fail for names outside it; here the file system's bytes stay as they are.
inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The inverse: UTF-8 text (or, on Linux, any bytes) as a path, without a code page.
inline std::filesystem::path PathFromText(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// The separator the system writes between folder names, as one byte.
inline constexpr char PathSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
