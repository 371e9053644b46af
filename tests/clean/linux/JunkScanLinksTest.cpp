// Links and sparse files as Linux makes them.
#include "../FakeScanHost.h"

#include "clean/JunkDelete.h"
#include "clean/JunkTexts.h"
#include "clean/TJunkScanner.h"
#include "core/TSetting.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(JunkScanLinks, LinksAreNeverEnteredAndALinkRowDeletesOnlyTheLink) {
    TTempDir home, tree, outside;
    TSetting setting(home / "s.ini");
    setting.Garbages().Clear();
    setting.Garbages().Add("*.BAK", "", true);
    outside.Write("victim.bak", "precious");
    fs::create_directory_symlink(outside.Path(), tree / "link");
    fs::create_symlink(outside / "victim.bak", tree / "pointer.bak");
    TFakeScanHost host;
    TScanCounters counters;
    TJunkScanner scanner(host, counters, setting, {});
    scanner.ScanDirectory(tree.Path().string(), true);

    ASSERT_EQ(host.Rows.size(), 1u);
    EXPECT_EQ(host.Rows[0].Path, (tree / "pointer.bak").string());
    EXPECT_EQ(DeleteJunkEntry(host.Rows[0], TDirectoryDelete::WholeTree).Result,
              TDeleteResult::Deleted);
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree / "pointer.bak")));
    EXPECT_EQ(TTempDir::Read(outside / "victim.bak"), "precious");
}

TEST(JunkScanLinks, AFileOfExactlyFourGibibytesIsNotEmpty) {
    TTempDir home, tree;
    TSetting setting(home / "s.ini");
    setting.Garbages().Clear();
    setting.SetIfCleanZeroFile(true);
    std::ofstream(tree / "big.dat").close();
    fs::resize_file(tree / "big.dat", uint64_t{1} << 32); // sparse: no real space taken
    tree.Write("zero.dat", "");
    TFakeScanHost host;
    TScanCounters counters;
    TJunkScanner scanner(host, counters, setting, {});
    scanner.ScanDirectory(tree.Path().string(), false);
    ASSERT_EQ(host.Rows.size(), 1u);
    EXPECT_EQ(host.Rows[0].Path, (tree / "zero.dat").string());
}

TEST(JunkScanLinks, HostileNamesAreFoundAndDeletedByTheirExactBytes) {
    TTempDir home, tree;
    TSetting setting(home / "s.ini");
    setting.Garbages().Clear();
    setting.Garbages().Add("*.BAK", "", true);
    const std::vector<std::string> names{"bad\xFF\xFE.bak", "new\nline.bak", "-rf.bak"};
    for (const std::string& name : names)
        tree.Write(name, "x");
    tree.Write("bad\xFF\xFE.txt", "keep"); // a near neighbour that is not junk
    TFakeScanHost host;
    TScanCounters counters;
    TJunkScanner scanner(host, counters, setting, {});
    scanner.ScanDirectory(tree.Path().string(), false);
    ASSERT_EQ(host.Rows.size(), 3u);
    const TCleanRunResult r = CleanCheckedRows(host.Rows, nullptr);
    EXPECT_EQ(r.Removed, 3);
    for (const std::string& name : names)
        EXPECT_FALSE(fs::exists(fs::symlink_status(tree / name))) << name;
    EXPECT_EQ(TTempDir::Read(tree / "bad\xFF\xFE.txt"), "keep");
}

TEST(JunkScanLinks, AFileSwappedForALinkAfterTheScanLeavesTheTargetAlone) {
    TTempDir home, tree, outside;
    TSetting setting(home / "s.ini");
    setting.Garbages().Clear();
    setting.Garbages().Add("*.BAK", "", true);
    tree.Write("a.bak", "junk");
    fs::create_directory(tree / "dir.bak"); // a folder row candidate that becomes a link
    setting.SetIfCleanZeroDir(true);
    outside.Write("precious.bak", "precious");
    fs::create_directory(outside / "folder");
    outside.Write("folder/inside.txt", "inside");
    TFakeScanHost host;
    TScanCounters counters;
    TJunkScanner scanner(host, counters, setting, {});
    scanner.ScanDirectory(tree.Path().string(), false);
    ASSERT_EQ(host.Rows.size(), 2u);
    fs::remove(tree / "a.bak");
    fs::create_symlink(outside / "precious.bak", tree / "a.bak");
    fs::remove(tree / "dir.bak");
    fs::create_directory_symlink(outside / "folder", tree / "dir.bak");
    CleanCheckedRows(host.Rows, nullptr);
    EXPECT_EQ(TTempDir::Read(outside / "precious.bak"), "precious");
    EXPECT_EQ(TTempDir::Read(outside / "folder" / "inside.txt"), "inside");
}

// A FIFO, a socket or a device node has a length of 0 but holds no data: it is never an
// empty file, so "删除垃圾文件" can never remove one. Its name still counts for junk types.
TEST(JunkScanLinks, OnlyRegularFilesAreEmptyFiles) {
    TTempDir home, tree;
    TSetting setting(home / "s.ini");
    setting.Garbages().Clear();
    setting.Garbages().Add("*.BAK", "", true);
    setting.SetIfCleanZeroFile(true);
    ASSERT_EQ(mkfifo((tree / "pipe").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((tree / "pipe.bak").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", tree / "null-link");
    tree.Write("zero.dat", "");
    TFakeScanHost host;
    TScanCounters counters;
    TJunkScanner scanner(host, counters, setting, {});
    scanner.ScanDirectory(tree.Path().string(), false);
    std::vector<std::string> rows;
    for (const TJunkRow& r : host.Rows)
        rows.push_back(fs::path(r.Path).filename().string());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"pipe.bak", "zero.dat"}));
    EXPECT_EQ(counters.FScannedCount, 4);
}
