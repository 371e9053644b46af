#include "platform/Volumes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <windows.h>

using namespace Platform;

// The drive table of the machine the tests run on (under wine: C: is the prefix's
// drive_c, Z: the Linux root). Nothing here walks a drive.
TEST(WinVolumes, ListsTheMappedLettersInOrderWithCFixed) {
    const std::vector<TVolumeInfo> list = Volumes().List();
    ASSERT_FALSE(list.empty());
    const DWORD mapped = GetLogicalDrives();

    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& root = list[i].Root;
        ASSERT_EQ(root.size(), 3u) << root;
        EXPECT_EQ(root.substr(1), ":\\");
        EXPECT_GE(root[0], 'C');
        EXPECT_LE(root[0], 'Z');
        EXPECT_TRUE(mapped & (1u << (root[0] - 'A'))) << root << " is not a mapped drive";
        if (i > 0) {
            EXPECT_LT(list[i - 1].Root, root) << "roots out of letter order";
        }
        EXPECT_EQ(list[i].Type, Volumes().TypeOf(root));
    }
    // Every mapped letter from C: on is listed (A: and B: never are).
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const bool listed = std::any_of(list.begin(), list.end(),
                                        [&](const TVolumeInfo& v) { return v.Root[0] == letter; });
        EXPECT_EQ(listed, (mapped & (1u << (letter - 'A'))) != 0) << letter;
    }

    EXPECT_EQ(list.front().Root, "C:\\");
    EXPECT_EQ(list.front().Type, DriveType::Fixed);
}

TEST(WinVolumes, AnUnmappedLetterIsAbsent) {
    const DWORD mapped = GetLogicalDrives();
    char unmapped = 0;
    for (char letter = 'Y'; letter >= 'D' && !unmapped; --letter)
        if (!(mapped & (1u << (letter - 'A'))))
            unmapped = letter;
    ASSERT_NE(unmapped, 0) << "every letter is mapped";
    const std::string root = std::string(1, unmapped) + ":\\";
    EXPECT_EQ(Volumes().TypeOf(root), DriveType::NoRootDir);
    int64_t total = -1, available = -1;
    EXPECT_FALSE(Volumes().Space(root, total, available));
    for (const TVolumeInfo& v : Volumes().List())
        EXPECT_NE(v.Root, root);
}

TEST(WinVolumes, SpaceOfCIsTheSystemsFigure) {
    int64_t total = 0, available = 0;
    ASSERT_TRUE(Volumes().Space("C:\\", total, available));
    ULARGE_INTEGER avail, all;
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &avail, &all, nullptr));
    EXPECT_GT(total, 0);
    EXPECT_EQ(total, static_cast<int64_t>(all.QuadPart));
    // Other programs write to the same disk meanwhile: the free space may move a little.
    EXPECT_NEAR(static_cast<double>(available), static_cast<double>(avail.QuadPart),
                512.0 * 1024 * 1024);
    EXPECT_LE(available, total);
    // Whole-disk sizes beyond 4 GiB survive (no 32-bit cut).
    if (all.QuadPart > 0xFFFFFFFFull) {
        EXPECT_GT(total, int64_t{0xFFFFFFFF});
    }
}
