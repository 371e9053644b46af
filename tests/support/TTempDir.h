#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes. Tests build their trees here and check the bytes on disk.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::filesystem::path operator/(const std::filesystem::path& rel) const { return FPath / rel; }

    // Writes a file (creating its folders) and returns its path.
    std::filesystem::path Write(const std::filesystem::path& rel, std::string_view bytes) const;
    static std::string Read(const std::filesystem::path& path);

private:
    std::filesystem::path FPath;
};
