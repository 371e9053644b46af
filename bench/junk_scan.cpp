// Runs the junk scan over a folder tree without a window, with ten junk types checked,
// and prints the number of rows. bench/run.sh times it against du on the same tree.
// Usage: junk_scan FOLDER [--zero-dir]
#include "TCountingHost.h"
#include "clean/TJunkScanner.h"
#include "core/TSetting.h"
#include "platform/SystemInfo.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: junk_scan FOLDER [--zero-dir]\n");
        return 2;
    }
    Platform::RaiseOpenFileLimit();
    // A settings file in a folder that does not exist: the defaults, nothing read, written
    // or listed.
    TSetting setting(std::filesystem::temp_directory_path() / "morvane-bench-no-such" /
                     "settings.ini");
    for (int i = 0; i < setting.Garbages().Count(); ++i)
        setting.Garbages()[i].SetIfclean(i < 10);
    setting.SetIfCleanZeroFile(false);
    setting.SetIfCleanZeroDir(argc > 2 && std::strcmp(argv[2], "--zero-dir") == 0);
    TCountingHost host;
    TScanCounters counters;
    TJunkScanner scanner(host, counters, setting, {});
    scanner.ScanDirectory(argv[1], true);
    std::printf("%lld rows, %lld entries\n", host.Rows, static_cast<long long>(counters.FScannedCount));
    return 0;
}
