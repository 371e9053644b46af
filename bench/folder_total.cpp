// Prints the byte total of a folder tree, the way the junk scan and the analysis window
// compute it. bench/run.sh times it against du and find on the same tree.
#include "core/FileRoutines.h"
#include "platform/SystemInfo.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: folder_total FOLDER [--empty]\n");
        return 2;
    }
    Platform::RaiseOpenFileLimit();
    if (argc > 2 && std::strcmp(argv[2], "--empty") == 0) {
        std::printf("%s\n", IsTreeEmpty(argv[1]) ? "empty" : "not empty");
        return 0;
    }
    std::printf("%lld\n", static_cast<long long>(GetDirectorySize(argv[1])));
    return 0;
}
