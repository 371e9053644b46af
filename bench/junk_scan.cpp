// Runs the junk scan over a folder tree without a window, with ten junk types checked,
// and prints the number of rows. bench/run.sh times it against du on the same tree.
// Usage: junk_scan FOLDER [--zero-dir]
#include "clean/TJunkScanner.h"
#include "core/TSetting.h"
#include "platform/SystemInfo.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// A host that only counts: the cost measured is the walk's and the tests', not drawing.
class TCountingHost : public IJunkScanHost {
public:
    void AddRow(TJunkRow) override { ++Rows; }
    void Scroll() override {}
    void SetCaption(const std::string&) override {}
    void SetStatus(int, const std::string&) override {}
    int ProgressPosition() const override { return FPosition; }
    void SetProgressPosition(int position) override { FPosition = position; }
    void Pump() override {}
    bool Running() const override { return true; }

    long long Rows = 0;

private:
    int FPosition = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: junk_scan FOLDER [--zero-dir]\n");
        return 2;
    }
    Platform::RaiseOpenFileLimit();
    // A settings file that does not exist: the defaults, nothing read or written.
    TSetting setting(std::filesystem::temp_directory_path() / "morvane-bench-no-such.ini");
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
