// The analysis window's work without the window: a folder total, the pie breakdown of a
// folder, and entering a folder in the browsing list (listing, names, sort: what happens
// before the list is first drawn) followed by the details of its first screen of rows.
// bench/run.sh times it against du and ls on the same trees.
// Usage: analysis_chart total|pie|browse FOLDER   (browse wants an absolute path)
#include "analysis/SpaceAnalysis.h"
#include "analysis/TShellBrowser.h"
#include "platform/SystemInfo.h"

#include <algorithm>
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
    // One line for bench/run.sh: the rows, then the times of entering and of the first
    // screen, measured inside the program so its start and exit are not counted.
    std::printf("rows %d enter_ms %.1f first_screen_ms %.1f cells %zu\n", browser.Count(),
                ms(entered - start).count(), ms(shown - entered).count(), cells);
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
