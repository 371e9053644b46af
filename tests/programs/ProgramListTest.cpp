#include "programs/CommaText.h"
#include "programs/ProgramList.h"
#include "programs/TFileKindList.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

using Platform::TUninstallKey;

namespace {

TUninstallKey Key(const std::string& name, const std::string& display, const std::string& command) {
    TUninstallKey k;
    k.KeyName = name;
    k.DisplayName = display;
    k.UninstallString = command;
    return k;
}

} // namespace

TEST(CommaText, SplitsAtCommasAndBlanksOutsideQuotes) {
    EXPECT_EQ(SplitCommaText("zip"), std::vector<std::string>{"zip"});
    EXPECT_EQ(SplitCommaText("\"Media Player\",x"),
              (std::vector<std::string>{"Media Player", "x"}));
    EXPECT_EQ(SplitCommaText("Media Player"), (std::vector<std::string>{"Media", "Player"}));
    EXPECT_EQ(SplitCommaText("a,,b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitCommaText("\"say \"\"hi\"\"\""), std::vector<std::string>{"say \"hi\""});
    EXPECT_EQ(SplitCommaText("a\tb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(SplitCommaText("").empty());
    EXPECT_EQ(SplitCommaText("a,"), (std::vector<std::string>{"a", ""}));
}

TEST(FileKinds, TheFirstMatchingLineWinsAndTheRestIsOther) {
    TTempDir dir;
    std::string text;
    for (int line = 1; line <= 20; ++line)
        text += line == 4    ? "tool\r\n"
                : line == 9  ? "guard,TOOL\r\n"
                : line == 11 ? "ZIP\r\n"
                : line == 6  ? "\"Media Player\"\r\n"
                             : "\r\n";
    TFileKindList kinds;
    kinds.LoadFromFile(dir.Write("kind.ini", text));
    ASSERT_EQ(kinds.Count(), 20);
    EXPECT_EQ(kinds.FindKind("WinZip 9.0").Index(), 11); // node 10
    EXPECT_EQ(kinds.FindKind("Guard Tool").Index(), 4);  // categories 4 and 9: the first
    EXPECT_EQ(kinds.FindKind("Media Player Classic").Index(), 6);
    EXPECT_EQ(kinds.FindKind("Media Center Player").Index(), 20);
    EXPECT_EQ(kinds.FindKind("nothing").Index(), 20);
    EXPECT_STREQ(CategoryCaptionTemplate(19), "其它分类(%d)");
}

TEST(FileKinds, AMissingOrShortFileStillGivesTwentyCategories) {
    TTempDir dir;
    TFileKindList kinds;
    kinds.LoadFromFile(dir / "missing.ini");
    ASSERT_EQ(kinds.Count(), 20);
    EXPECT_EQ(kinds.FindKind("Firefox").Index(), 20);
    kinds.LoadFromFile(dir.Write("short.ini", "a\nb\n"));
    ASSERT_EQ(kinds.Count(), 20);
    EXPECT_EQ(kinds.FindKind("xb").Index(), 2);
    EXPECT_TRUE(kinds.Kinds(5).Keywords().empty());
    kinds.LoadFromFile(dir.Write("utf8.ini", "\n\n\n\n浏览器\n"));
    EXPECT_EQ(kinds.FindKind("网页浏览器").Index(), 5);
    TFileKind kind(1, {"", "x"});
    EXPECT_FALSE(kind.Matches("abc")); // an empty keyword never matches
    EXPECT_FALSE(kind.GetProgram(0));
}

TEST(ProgramList, KeysFollowTheUninstallListRules) {
    TFileKindList kinds;
    const std::vector<TUninstallKey> keys{
        Key("App", "Application", "\"C:\\Tools\\X\\uninst.exe\""),
        Key("Game", "   ", "C:\\G\\u.exe"), Key("NoCmd", "No command", "  "),
        Key("{0A1B2C3D-0000-0000-0000-000000000000}", "Guid", "x"),
        Key("Zip", "Zip", "C:\\Z\\u.exe")};
    const std::vector<TUninstall> list = BuildProgramList(keys, 40000.5, kinds);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Name, "Application");
    EXPECT_EQ(list[0].UninstallString, "C:\\Tools\\X\\uninst.exe");
    EXPECT_EQ(list[0].Location, "C:\\Tools\\X\\");
    EXPECT_EQ(list[0].Size, 0); // the folder does not exist here
    EXPECT_EQ(list[1].Name, "Game");
    EXPECT_EQ(list[1].LastUsed, 40000.5);
    EXPECT_EQ(kinds.Kinds(19).ProgramCount(), 2);
    EXPECT_EQ(StripQuotes("\"C:\\a b\\u.exe\" /S"), "C:\\a b\\u.exe\" /");
    EXPECT_EQ(StripQuotes(""), "");
    EXPECT_EQ(FolderPart("C:\\Windows\\system32\\MsiExec.exe /X{0A1B}"), "C:\\Windows\\system32\\");
    EXPECT_EQ(FolderPart("MsiExec.exe /X{0A1B}"), "");
}

TEST(ProgramList, SizesShowTwoDecimalsAndSortByWholeKilobytes) {
    EXPECT_EQ(SizeColumnText(9.5), "            9.50 KByte");
    TUninstall small, big;
    small.Name = "b";
    small.Size = 9.5;
    big.Name = "A";
    big.Size = 10;
    EXPECT_EQ(CompareProgramRows(small, big, 2), -1);
    EXPECT_EQ(CompareProgramRows(small, big, 0), 1);
    EXPECT_EQ(CompareProgramRows(small, big, 1), 1); // the location column sorts by name
}

TEST(ProgramList, TheSystemsFolderAndSizeWinOverTheCommandsFolder) {
    TUninstallKey known = Key("Known", "Known", "C:\\Tools\\u.exe");
    known.Location = "/elsewhere/";
    known.SizeKB = 77;
    TFileKindList kinds;
    const auto list = BuildProgramList({known}, 0, kinds);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Location, "/elsewhere/");
    EXPECT_EQ(list[0].Size, 77);
}

TEST(ProgramList, AFailedUninstallSaysWhy) {
    Platform::TUninstallOutcome outcome;
    outcome.ExitCode = 100;
    outcome.Message = "E: Could not get lock /var/lib/dpkg/lock-frontend";
    EXPECT_EQ(UninstallFailureMessage("Vim", outcome),
              "卸载 [Vim] 失败 : E: Could not get lock /var/lib/dpkg/lock-frontend (退出代码 100)");
    outcome.Message = "  ";
    EXPECT_EQ(UninstallFailureText(outcome), "卸载程序退出代码 100");
    // It ended well, yet the package is still there.
    outcome.ExitCode = 0;
    EXPECT_EQ(UninstallFailureText(outcome), "卸载程序已结束，但程序仍然安装着");
    outcome.Started = false;
    outcome.Message = "No such file or directory";
    EXPECT_EQ(UninstallFailureText(outcome), "无法启动卸载程序: No such file or directory");
}
