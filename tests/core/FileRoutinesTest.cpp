#include "core/EMorvaneError.h"
#include "core/FileRoutines.h"
#include "core/IMessageBoxHook.h"
#include "platform/IPower.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class TBoxRecorder : public IMessageBoxHook {
public:
    std::vector<std::pair<std::string, std::string>>* Shown;
    explicit TBoxRecorder(std::vector<std::pair<std::string, std::string>>* shown) : Shown(shown) {}
    void Show(const std::string& text, const std::string& title) override { Shown->emplace_back(text, title); }
};

class TPowerRecorder : public Platform::IPower {
public:
    std::string Result;
    int* Calls;
    TPowerRecorder(std::string result, int* calls) : Result(std::move(result)), Calls(calls) {}
    std::string PowerOff() override {
        ++*Calls;
        return Result;
    }
};

std::string ErrorOf(const std::string& text) {
    try {
        ParseSlashDate(text);
    } catch (const EMorvaneError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(FileRoutines, LeadingDigitsAndCompareSign) {
    EXPECT_EQ(LeadingDigits("123KB"), "123");
    EXPECT_EQ(LeadingDigits("KB"), "0");
    EXPECT_EQ(LeadingDigits(""), "0");
    EXPECT_EQ(LeadingDigits("0042 Byte"), "0042");
    EXPECT_EQ(LeadingDigits("-5"), "0");
    EXPECT_EQ(CompareSign(-0.0), 0);
    EXPECT_EQ(CompareSign(0.0), 0);
    EXPECT_EQ(CompareSign(-1e-300), -1);
    EXPECT_EQ(CompareSign(3.5), 1);
    EXPECT_EQ(CompareSign(std::nan("")), 0);
}

TEST(FileRoutines, ParseSlashDateReadsMonthDayYear) {
    EXPECT_EQ(ParseSlashDate("6/14/2008"), EncodeDate(2008, 6, 14));
    EXPECT_EQ(ParseSlashDate("12/31/1999"), EncodeDate(1999, 12, 31));
    EXPECT_EQ(ErrorOf("14/6/2008"), "Invalid argument to date encode");
    EXPECT_EQ(ErrorOf("2/30/2008"), "Invalid argument to date encode");
    EXPECT_EQ(ErrorOf("x/1/2008"), "'x' is not a valid integer value");
    EXPECT_EQ(ErrorOf("6/14/20o8"), "'20o8' is not a valid integer value");
    EXPECT_EQ(ErrorOf("2008"), "'' is not a valid integer value");
    EXPECT_EQ(ErrorOf(""), "'' is not a valid integer value");
}

TEST(FileRoutines, ShutDownShowsTheFailingStep) {
    std::vector<std::pair<std::string, std::string>> shown;
    auto oldBox = SetMessageBoxHook(std::make_unique<TBoxRecorder>(&shown));
    int calls = 0;
    auto oldPower = Platform::SetPower(std::make_unique<TPowerRecorder>("", &calls));
    ShutDownComputer();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(shown.empty());
    Platform::SetPower(std::make_unique<TPowerRecorder>("PowerOff() Failed", &calls));
    ShutDownComputer();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (std::pair<std::string, std::string>("Exit Error", "PowerOff() Failed")));
    Platform::SetPower(std::move(oldPower));
    SetMessageBoxHook(std::move(oldBox));
}
