// The analysis window's work without the window: a folder total, the pie breakdown of a
// folder, and entering a folder in the browsing list. bench/run.sh times it against du
// and ls on the same trees.
// Usage: analysis_chart total|pie|browse FOLDER
#include "analysis/SpaceAnalysis.h"
#include "analysis/TShellBrowser.h"
#include "platform/SystemInfo.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

int Browse(const char* folder) {
    TShellBrowser browser;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    if (!browser.NavigateToText(folder, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const auto entered = std::chrono::steady_clock::now();
    // The first screen of a report view: about forty rows with all their cells.
    const int last = std::min(browser.Count(), 40) - 1;
    browser.CheckShellItems(0, last);
    size_t cells = 0;
    for (int i = 0; i <= last; ++i)
        cells += browser.RowCells(i).size();
    const auto shown = std::chrono::steady_clock::now();
    using ms = std::chrono::duration<double, std::milli>;
    std::fprintf(stderr, "rows %d, enter %.1f ms, first screen %.1f ms (%zu cells)\n", browser.Count(),
                 ms(entered - start).count(), ms(shown - entered).count(), cells);
    std::printf("%d\n", browser.Count());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: analysis_chart total|pie|browse FOLDER\n");
        return 2;
    }
    Platform::RaiseOpenFileLimit();
    if (std::strcmp(argv[1], "total") == 0) {
        std::printf("%.0f\n", CalcDirectorySize(argv[2], SizeUnit::Bytes));
    } else if (std::strcmp(argv[1], "pie") == 0) {
        std::printf("%zu points\n", DirectoryBreakdown(argv[2], false).size());
    } else {
        return Browse(argv[2]);
    }
    return 0;
}
