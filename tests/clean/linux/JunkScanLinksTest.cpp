// Links and sparse files as Linux makes them.
#include "../FakeScanHost.h"

#include "clean/JunkDelete.h"
#include "clean/TJunkScanner.h"
#include "core/TSetting.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
    EXPECT_EQ(DeleteJunkEntry(host.Rows[0], TDirectoryDelete::WholeTree).Result, TDeleteResult::Deleted);
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
