#include "support/TTempDir.h"
#include "update/TUpgrader.h"

#include <gmock/gmock.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

TEST(UpgraderTest, ReadsItsCommandLineWholeOrInParts) {
    auto parts = TUpgrader::ParseCommandLine({"/opt/my app+/morvane", "+/afterupgrade1"});
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->Program, "/opt/my app+/morvane");
    EXPECT_EQ(parts->RestartText, "/afterupgrade");
    EXPECT_EQ(parts->Method, '1');
    auto joined =
        TUpgrader::ParseCommandLine({"C:\\Program", "Files\\Morvane.exe", "+/afterupgrade0"});
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->Program, "C:\\Program Files\\Morvane.exe");
    EXPECT_EQ(joined->Method, '0');
    EXPECT_EQ(TUpgrader::ParseCommandLine({"/bin/morvane", "+ 0"})->RestartText, " ");
    EXPECT_FALSE(TUpgrader::ParseCommandLine({"/bin/morvane"}));
    EXPECT_FALSE(TUpgrader::ParseCommandLine({}));
}

class UpgraderInstallTest : public ::testing::Test {
protected:
    TUpgrader::TCommand Command(char method) {
        return {Temp / "Morvane.exe", "/afterupgrade", method};
    }
    TTempDir Temp;
};

TEST_F(UpgraderInstallTest, DownloadsReplaceTheirTargetsAndAnExeReplacesTheProgram) {
    Temp.Write("Morvane.exe", "old program");
    Temp.Write("kind.ini", "old kinds");
    Temp.Write("kind.ini.uTMP", "new kinds");
    Temp.Write("MorvaneNew.exe.uTMP", "new program");
    Temp.Write("Other.exe.uTMP", "second exe");
    const auto run = TUpgrader::InstallDownloads(Command('0'));
    EXPECT_EQ(run, Temp / "Morvane.exe");
    EXPECT_EQ(TTempDir::Read(Temp / "kind.ini"), "new kinds");
    // Which of the two exe files counts as the program depends on the listing order;
    // either way the program file is replaced by one of them and the other keeps its name.
    const auto program = TTempDir::Read(Temp / "Morvane.exe");
    EXPECT_TRUE(program == "new program" || program == "second exe");
    for (const auto& e : fs::directory_iterator(Temp.Path()))
        EXPECT_NE(e.path().extension(), ".uTMP");
}

TEST_F(UpgraderInstallTest, TheProgramsOwnDownloadWinsOverOtherExeFiles) {
    Temp.Write("Morvane.exe", "old");
    Temp.Write("Morvane.exe.uTMP", "new");
    Temp.Write("Tool.exe.uTMP", "tool");
    TUpgrader::InstallDownloads(Command('0'));
    EXPECT_EQ(TTempDir::Read(Temp / "Morvane.exe"), "new");
    EXPECT_EQ(TTempDir::Read(Temp / "Tool.exe"), "tool");
}

TEST_F(UpgraderInstallTest, ASetupProgramRunsFirstAndIsDeletedBeforeTheProgramRestarts) {
    Temp.Write("Morvane.exe", "old");
    Temp.Write("Setup.exe.uTMP", "setup");
    std::vector<std::string> started;
    auto start = [&](const fs::path& program, const std::string& text) {
        started.push_back(program.filename().string() + " " + text);
        return true;
    };
    EXPECT_EQ(TUpgrader::Run(
                  {(Temp / "Morvane.exe").string(), "+/afterupgrade1"}, start,
                  [](const std::string&) {}, [] {}),
              0);
    EXPECT_THAT(started,
                ::testing::ElementsAre("Setup.exe /afterupgrade", "Morvane.exe /afterupgrade"));
    EXPECT_FALSE(fs::exists(Temp / "Setup.exe"));
    EXPECT_EQ(TTempDir::Read(Temp / "Morvane.exe"), "old");
}

TEST_F(UpgraderInstallTest, WithoutArgumentsOnlyTheInformationIsShown) {
    std::string shown;
    EXPECT_EQ(TUpgrader::Run(
                  {}, [](const fs::path&, const std::string&) { return false; },
                  [&](const std::string& text) { shown = text; }, [] {}),
              0);
    EXPECT_THAT(shown, ::testing::HasSubstr("Morvane Upgrader"));
}

TEST_F(UpgraderInstallTest, GivingUpOnABusyProgramBringsItBackAndLeavesNoDownloads) {
    // A folder in the program's place can never be opened for writing, not even by root.
    std::filesystem::create_directories(Temp / "Busy");
    Temp.Write("kind.ini", "old kinds");
    Temp.Write("kind.ini.uTMP", "new kinds");
    Temp.Write("Busy.uTMP", "new program");
    std::vector<std::string> started;
    auto start = [&](const fs::path& program, const std::string& text) {
        started.push_back(program.filename().string() + " " + text);
        return true;
    };
    EXPECT_EQ(TUpgrader::Run(
                  {(Temp / "Busy").string(), "+/afterupgrade0"}, start, [](const std::string&) {},
                  [] {}, 300ms),
              1);
    EXPECT_THAT(started, ::testing::ElementsAre("Busy /afterupgrade"));
    EXPECT_EQ(TTempDir::Read(Temp / "kind.ini"), "old kinds");
    for (const auto& e : fs::directory_iterator(Temp.Path()))
        EXPECT_NE(e.path().extension(), ".uTMP") << e.path();
}

} // namespace
