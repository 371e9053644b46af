// Builds a benchmark tree: FOLDERS folders holding FILES files in all, three levels deep,
// files of assorted sizes written as sparse files (the tree costs inodes, not disk space).
// Usage: make_tree ROOT FOLDERS FILES
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Numbered(const char* prefix, int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%04d", prefix, n);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_tree ROOT FOLDERS FILES\n");
        return 2;
    }
    const fs::path root = argv[1];
    const long folders = std::atol(argv[2]);
    const long files = std::atol(argv[3]);
    const int top = std::max(1, static_cast<int>(std::lround(std::cbrt(static_cast<double>(folders)))));
    const int mid = std::max(1, static_cast<int>(std::lround(std::sqrt(static_cast<double>(folders) / top))));

    std::vector<fs::path> dirs;
    long made = 0;
    for (int a = 0; a < top; ++a) {
        const fs::path pa = root / Numbered("top", a);
        fs::create_directories(pa);
        ++made;
        for (int b = 0; b < mid; ++b) {
            fs::create_directory(pa / Numbered("mid", b));
            ++made;
            dirs.push_back(pa / Numbered("mid", b));
        }
    }
    const size_t middles = dirs.size();
    const long perMiddle = std::max(1L, (folders - made) / static_cast<long>(middles));
    for (size_t m = 0; m < middles && made < folders; ++m) {
        for (long c = 0; c < perMiddle && made < folders; ++c) {
            const fs::path leaf = dirs[m] / Numbered("leaf", static_cast<int>(c));
            fs::create_directory(leaf);
            dirs.push_back(leaf);
            ++made;
        }
    }
    const long perDir = files / static_cast<long>(dirs.size()) + 1;
    long written = 0;
    for (const fs::path& d : dirs) {
        for (long i = 0; i < perDir && written < files; ++i, ++written) {
            const fs::path f = d / Numbered("file", static_cast<int>(i));
            { std::ofstream out(f); }
            fs::resize_file(f, static_cast<uintmax_t>((written * 2654435761LL) % 65536));
        }
    }
    std::printf("%ld folders, %ld files\n", made, written);
    return 0;
}
