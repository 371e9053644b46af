#include "support/TTempDir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

TTempDir::TTempDir() {
    std::random_device rd;
    for (;;) {
        fs::path candidate =
            fs::temp_directory_path() / ("morvane-test-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            FPath = candidate;
            return;
        }
    }
}

TTempDir::~TTempDir() {
    std::error_code ec;
    // Tests may leave folders without write permission behind; give them back first.
    for (auto it = fs::recursive_directory_iterator(
             FPath, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(FPath, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(FPath, ec);
}

fs::path TTempDir::Write(const fs::path& rel, std::string_view bytes) const {
    const fs::path p = FPath / rel;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string TTempDir::Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
