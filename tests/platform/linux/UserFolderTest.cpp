// An installed copy's per-user program folder: what it offers from the shipped folder,
// what it keeps of the user's, and when a copy keeps its files beside itself.
#include "platform/FileIo.h"
#include "platform/linux/UserFolder.h"

#include "support/TTempDir.h"
#include "support/Unprivileged.h"
#include "support/linux/TScopedEnv.h"

#include <gtest/gtest.h>

#include <string>

namespace fs = std::filesystem;
using namespace Platform;

namespace {

// A shipped folder as the package lays it out: data files, the help pages, the program.
class UserFolderTest : public ::testing::Test {
protected:
    UserFolderTest() {
        Dir.Write("shipped/Tips.CFG", "tip one\r\n");
        Dir.Write("shipped/kind.ini", "shipped kinds\r\n");
        Dir.Write("shipped/Option2.CFG", "MORVANE.CFG\r\n");
        Dir.Write("shipped/help/tutorial.html", "<p>tutorial</p>");
        Dir.Write("shipped/.hidden", "x");
        const fs::path program = Dir.Write("shipped/morvane", "ELF");
        fs::permissions(program,
                        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add);
    }

    fs::path Shipped() const { return Dir / "shipped"; }
    fs::path User() const { return Dir / "home/Morvane"; }

    TTempDir Dir;
};

} // namespace

TEST_F(UserFolderTest, OffersEveryShippedDataFileAndFolderButNotTheProgram) {
    SeedUserFolder(Shipped(), User());
    for (const char* name : {"Tips.CFG", "kind.ini", "Option2.CFG", "help"}) {
        EXPECT_TRUE(fs::is_symlink(User() / name)) << name;
        EXPECT_EQ(fs::read_symlink(User() / name), Shipped() / name) << name;
    }
    EXPECT_EQ(TTempDir::Read(User() / "kind.ini"), "shipped kinds\r\n");
    EXPECT_EQ(TTempDir::Read(User() / "help/tutorial.html"), "<p>tutorial</p>");
    EXPECT_FALSE(fs::exists(fs::symlink_status(User() / "morvane")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(User() / ".hidden")));
}

TEST_F(UserFolderTest, ASavedFileIsTheUsersOwnAndTheOthersFollowTheShippedOnes) {
    SeedUserFolder(Shipped(), User());
    // The options dialog saves the protected list the way every save is written.
    ASSERT_EQ(WriteFileAtomically(User() / "Option2.CFG", "MINE.TXT\r\n"), "");
    EXPECT_FALSE(fs::is_symlink(User() / "Option2.CFG"));
    EXPECT_EQ(TTempDir::Read(Shipped() / "Option2.CFG"), "MORVANE.CFG\r\n");

    // An upgrade brings new shipped files; the next start seeds again.
    Dir.Write("shipped/Option2.CFG", "NEW DEFAULT\r\n");
    Dir.Write("shipped/kind.ini", "upgraded kinds\r\n");
    Dir.Write("shipped/Morvane.chm", "help file");
    SeedUserFolder(Shipped(), User());
    EXPECT_EQ(TTempDir::Read(User() / "Option2.CFG"), "MINE.TXT\r\n");
    EXPECT_EQ(TTempDir::Read(User() / "kind.ini"), "upgraded kinds\r\n");
    EXPECT_EQ(TTempDir::Read(User() / "Morvane.chm"), "help file");
}

TEST_F(UserFolderTest, ALinkLeftByARemovedInstallIsPointedAgainAndTheUsersOwnLinksStay) {
    fs::create_directories(User());
    fs::create_symlink(Dir / "old-install/kind.ini", User() / "kind.ini");
    const fs::path mine = Dir.Write("my-tips.CFG", "my tip\r\n");
    fs::create_symlink(mine, User() / "Tips.CFG");
    fs::create_directory(User() / "help");
    SeedUserFolder(Shipped(), User());
    EXPECT_EQ(TTempDir::Read(User() / "kind.ini"), "shipped kinds\r\n");
    EXPECT_EQ(TTempDir::Read(User() / "Tips.CFG"), "my tip\r\n");
    EXPECT_FALSE(fs::is_symlink(User() / "help"));
}

TEST_F(UserFolderTest, NoShippedFolderOrNoWayToMakeTheUserFolderIsPassedOver) {
    SeedUserFolder(Dir / "no-such-folder", User());
    EXPECT_TRUE(fs::is_directory(User()));
    EXPECT_TRUE(fs::is_empty(User()));

    Dir.Write("a-file", "");
    EXPECT_NO_THROW(SeedUserFolder(Shipped(), Dir / "a-file/Morvane"));
}

TEST(KeepsFilesBeside, AWritableFolderOutsideTheSystemTreesOnly) {
    TTempDir dir;
    EXPECT_TRUE(KeepsFilesBeside(dir.Path()));
    EXPECT_FALSE(KeepsFilesBeside({}));
    // Root may write there, yet an installed copy never does.
    for (const char* installed :
         {"/usr/lib/morvane", "/usr/local/lib/morvane", "/opt/morvane", "/usr"})
        EXPECT_FALSE(KeepsFilesBeside(installed)) << installed;

    if (!PermissionsCanRefuseWrites())
        GTEST_SKIP() << "folder permissions do not refuse writes here";
    fs::create_directory(dir / "ro");
    OpenToEveryone((dir / "ro").string());
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(RunUnprivileged(
                  [&] { return std::string(KeepsFilesBeside(dir / "ro") ? "beside" : "user"); }),
              "user");
}

TEST(UserProgramFolder, AnAbsoluteXdgDataHomeElseTheHomesLocalShare) {
    const TScopedEnv home("HOME", "/home/someone");
    {
        const TScopedEnv xdg("XDG_DATA_HOME", "/data/someone");
        EXPECT_EQ(UserProgramFolder(), fs::path("/data/someone/Morvane"));
    }
    for (const char* ignored : {"relative/share", ""}) {
        const TScopedEnv xdg("XDG_DATA_HOME", ignored);
        EXPECT_EQ(UserProgramFolder(), fs::path("/home/someone/.local/share/Morvane")) << ignored;
    }
}
