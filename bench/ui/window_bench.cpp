// The cleaning and analysis windows at work on the offscreen platform, each timed next to
// its engine alone in the same process, so the cost measured is what the window adds.
// bench/run.sh calls it once per round and compares the figures with du and rm as well.
// Usage: window_bench clean-scan TREE     prints "window <s> engine <s> cpu <s> <s> rows <n>"
//        window_bench analysis-pie TREE   prints "window <s> engine <s> cpu <s> <s> points <n>"
//        window_bench clean-all FOLDER    scans FOLDER in the window, then prints
//                                         "window <s> rows <n>" for deleting every row
#include "../TCountingHost.h"
#include "analysis/SpaceAnalysis.h"
#include "analysis/ui/TDirChartPanel.h"
#include "analysis/ui/TFrm_Main.h"
#include "clean/TJunkScanner.h"
#include "clean/ui/TJunkListModel.h"
#include "clean/ui/TfrmCleaning.h"
#include "core/IMessageBoxHook.h"
#include "core/TSetting.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemInfo.h"

#include <QApplication>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The summary box after a scan would wait for a click.
class TSilentBoxes : public IMessageBoxHook {
public:
    void Show(const std::string&, const std::string&) override {}
};

// Wall and CPU seconds (all threads of the process) of one piece of work.
struct TTimes {
    double Wall = 0;
    double Cpu = 0;
    TTimes operator+(const TTimes& o) const { return {Wall + o.Wall, Cpu + o.Cpu}; }
    TTimes Half() const { return {Wall / 2, Cpu / 2}; }
};

double CpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TTimes Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuNow();
    work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            CpuNow() - cpu};
}

void PrintTimes(const TTimes& window, const TTimes& engine, const char* what, long long count) {
    std::printf("window %.3f engine %.3f cpu %.3f %.3f %s %lld\n", window.Wall, engine.Wall,
                window.Cpu, engine.Cpu, what, count);
}

// A program folder of its own with an empty protected list, and the settings the engine
// benchmark uses: the first ten junk types checked, no empty-file or empty-folder rules.
struct TProgramSetup {
    fs::path Folder =
        fs::temp_directory_path() / ("morvane-window-bench-" + std::to_string(::getpid()));
    std::unique_ptr<TSetting> Settings;

    explicit TProgramSetup(const char* cleanFolder) {
        fs::create_directories(Folder);
        std::ofstream(Folder / "Option2.CFG").flush();
        Platform::SetProgramFolder(Folder);
        SetMessageBoxHook(std::make_unique<TSilentBoxes>());
        Settings = std::make_unique<TSetting>(Folder / "no-such-settings.cfg");
        Setting = Settings.get();
        for (int i = 0; i < Setting->Garbages().Count(); ++i)
            Setting->Garbages()[i].SetIfclean(i < 10);
        Setting->SetIfCleanZeroFile(false);
        Setting->SetIfCleanZeroDir(false);
        Setting->SetIfShowChart(false);
        Setting->Directorys().Clear();
        Setting->Directorys().Add(cleanFolder, true, true);
    }
    ~TProgramSetup() {
        Setting = nullptr;
        std::error_code ignored;
        fs::remove_all(Folder, ignored);
    }
};

// The engine runs before and after the window and counts with the mean of the two, so
// that neither gains from coming second to a warmer cache.
int CleanScan(const char* tree) {
    TProgramSetup setup(tree);
    long long engineRows = 0;
    auto engineScan = [&] {
        TCountingHost host;
        TScanCounters counters;
        TJunkScanner scanner(host, counters, *Setting, {});
        scanner.ScanDirectory(tree, true);
        engineRows = host.Rows;
    };
    const TTimes before = Seconds(engineScan);
    TfrmCleaning window;
    window.show();
    QApplication::processEvents();
    const TTimes shown = Seconds([&] { window.Btn_ScanClick(); });
    const TTimes after = Seconds(engineScan);
    PrintTimes(shown, (before + after).Half(), "rows",
               static_cast<long long>(window.List().Rows().size()));
    if (static_cast<long long>(window.List().Rows().size()) != engineRows)
        std::fprintf(stderr, "the window listed %zu rows, the engine %lld\n",
                     window.List().Rows().size(), engineRows);
    return 0;
}

int AnalysisPie(const char* tree) {
    TProgramSetup setup(tree);
    size_t points = 0;
    auto enginePie = [&] { points = DirectoryBreakdown(tree, false).size(); };
    const TTimes before = Seconds(enginePie);
    TFrm_Main window;
    window.show();
    QApplication::processEvents();
    const TTimes shown = Seconds([&] {
        window.ChartPanel()->ShowDirectoryChart(QString::fromStdString(tree));
        QApplication::processEvents(); // the pie drawn
    });
    const TTimes after = Seconds(enginePie);
    PrintTimes(shown, (before + after).Half(), "points", static_cast<long long>(points));
    return 0;
}

int CleanAll(const char* folder) {
    TProgramSetup setup(folder);
    TfrmCleaning window;
    window.show();
    QApplication::processEvents();
    window.Btn_ScanClick();
    const size_t rows = window.List().Rows().size();
    const TTimes shown = Seconds([&] { window.Btn_CleanAllClick(); });
    std::printf("window %.3f rows %zu\n", shown.Wall, rows);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_bench clean-scan|analysis-pie|clean-all FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Platform::RaiseOpenFileLimit();
    QApplication app(argc, argv);
    if (std::strcmp(argv[1], "clean-scan") == 0)
        return CleanScan(argv[2]);
    if (std::strcmp(argv[1], "analysis-pie") == 0)
        return AnalysisPie(argv[2]);
    if (std::strcmp(argv[1], "clean-all") == 0)
        return CleanAll(argv[2]);
    std::fprintf(stderr, "unknown benchmark %s\n", argv[1]);
    return 2;
}
