#include "core/IMessageBoxHook.h"
#include "core/PrivacyItems.h"
#include "core/TSetting.h"
#include "platform/IPrivacyRoutines.h"
#include "privacy/PrivacyCleaning.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TRecordingRoutines : public Platform::IPrivacyRoutines {
public:
    void CleanTemporaryInternetFiles() override { Calls.push_back("internet"); }
    void CleanHistory() override { Calls.push_back("history"); }
    void CleanCookies() override { Calls.push_back("cookies"); }
    void CleanRecentFolders() override { Calls.push_back("recent"); }
    void CleanTempFolders() override { Calls.push_back("temp"); }
    std::string EmptyRecycleBin() override {
        Calls.push_back("bin");
        return BinError;
    }
    void CleanBrokenShortcuts() override { Calls.push_back("shortcuts"); }

    std::vector<std::string> Calls;
    std::string BinError;
};

class TBoxes : public IMessageBoxHook {
public:
    explicit TBoxes(std::vector<std::string>* shown) : FShown(shown) {}
    void Show(const std::string& text, const std::string&) override { FShown->push_back(text); }

private:
    std::vector<std::string>* FShown;
};

struct PrivacyCleaning : ::testing::Test {
    PrivacyCleaning() : Setting(Dir / "s.ini") {
        for (const auto& item : PrivacyItems())
            (Setting.*item.Set)(false);
    }
    std::vector<int> Run() {
        std::vector<int> positions;
        CleanPrivacyItems(Setting, Routines, [&](int p) { positions.push_back(p); });
        return positions;
    }
    TTempDir Dir;
    TSetting Setting;
    TRecordingRoutines Routines;
};

} // namespace

TEST_F(PrivacyCleaning, NothingTickedStillStepsTheBarFromOneToNine) {
    EXPECT_EQ(Run(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 9}));
    EXPECT_TRUE(Routines.Calls.empty());
}

TEST_F(PrivacyCleaning, ItemsRunInOrderAndTheRecentRoutineServesThree) {
    Setting.SetIfClean_Broken_ShutCuts(true);
    Setting.SetIfClean_Windows_Run_History(true);
    Setting.SetIfClean_Windows_Find_History(true);
    Setting.SetIfClean_Windows_Recent_Files(true);
    Setting.SetIfClean_Internet_Explorer_Cookies(true);
    Run();
    EXPECT_EQ(Routines.Calls, (std::vector<std::string>{"cookies", "recent", "recent", "recent", "shortcuts"}));
    Routines.Calls.clear();
    Setting.SetIfClean_Windows_Recent_Files(false);
    Setting.SetIfClean_Windows_Run_History(false);
    Run(); // item 4 alone does what item 3 does
    EXPECT_EQ(Routines.Calls, (std::vector<std::string>{"cookies", "recent", "shortcuts"}));
}

TEST_F(PrivacyCleaning, TheRecycleBinErrorIsTheOnlyMessage) {
    std::vector<std::string> boxes;
    auto old = SetMessageBoxHook(std::make_unique<TBoxes>(&boxes));
    Setting.SetIfClean_Recycle_Bin(true);
    Routines.BinError = "Failed to load Shell32.dll.";
    Run();
    SetMessageBoxHook(std::move(old));
    EXPECT_EQ(boxes, std::vector<std::string>{"Failed to load Shell32.dll."});
}
