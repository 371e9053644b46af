// The date, time, size and sort texts the windows show, each made under the plain and the
// Chinese locale, as a user's session sets them (LC_ALL for the C library and for the
// locale formats alike).
#include "ShellFixture.h"

#include "analysis/ShellTexts.h"
#include "app/ui/TFrm_Tips.h"
#include "app/ui/TFrm_Wizard.h"
#include "clean/JunkTexts.h"
#include "core/DateTime.h"
#include "core/FileRoutines.h"
#include "core/TSetting.h"
#include "options/OptionRows.h"
#include "platform/IShellNamespace.h"
#include "platform/TextCodec.h"
#include "programs/ProgramList.h"

#include <QLabel>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <ctime>

namespace fs = std::filesystem;

namespace {

struct TLocaleCase {
    const char* Name;
    const char* LauncherDate;       // 14 June 2008
    const char* ListDateTime;       // 14 June 2008, 09:05:07
    std::vector<std::string> Order; // the analysis list of the same names
};

void PrintTo(const TLocaleCase& locale, std::ostream* out) {
    *out << locale.Name;
}

class TEnvironment {
public:
    TEnvironment(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name))
            FOld = old;
        setenv(name, value, 1);
    }
    ~TEnvironment() {
        if (FOld)
            setenv(FName, FOld->c_str(), 1);
        else
            unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

class LocaleTexts : public TShellTest, public ::testing::WithParamInterface<TLocaleCase> {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        FOldCLocale = std::setlocale(LC_ALL, nullptr);
        FLocale.emplace("LC_ALL", GetParam().Name);
        FZone.emplace("TZ", "UTC");
        tzset();
        if (!std::setlocale(LC_ALL, ""))
            GTEST_SKIP() << GetParam().Name << " is not installed (tools/test.sh makes it)";
    }
    void TearDown() override {
        FLocale.reset();
        FZone.reset();
        tzset();
        std::setlocale(LC_ALL, FOldCLocale.c_str());
        TShellTest::TearDown();
    }

    static std::time_t Utc(int y, int mo, int d, int h, int mi, int s) {
        std::tm t{};
        t.tm_year = y - 1900;
        t.tm_mon = mo - 1;
        t.tm_mday = d;
        t.tm_hour = h;
        t.tm_min = mi;
        t.tm_sec = s;
        return timegm(&t);
    }
    static Platform::TFileTime FileTime(int y, int mo, int d, int h, int mi, int s) {
        return {static_cast<int64_t>(Utc(y, mo, d, h, mi, s)) * 10000000 +
                Platform::UnixEpochTicks};
    }

private:
    std::string FOldCLocale;
    std::optional<TEnvironment> FLocale;
    std::optional<TEnvironment> FZone;
};

} // namespace

TEST_P(LocaleTexts, DatesAndTimesAreTheLocalesInWholeCharacters) {
    const TLocaleCase& c = GetParam();
    {
        TSetting s(SettingsFilePath());
        s.SetAutoUpdate(false);
        s.SetLastCleanDate(EncodeDate(2008, 6, 14) + EncodeTime(9, 5, 7, 0));
        s.SaveToFile(SettingsFilePath());
    }
    Frm_Wizard = new TFrm_Wizard;
    Frm_Wizard->show();
    EXPECT_EQ(Frm_Wizard->findChild<QLabel*>(QStringLiteral("lDate"))->text().toStdString(),
              c.LauncherDate);
    delete Frm_Wizard;

    // The analysis list: the date alone at midnight.
    EXPECT_EQ(ModifiedTextOf(FileTime(2008, 6, 14, 9, 5, 7)), c.ListDateTime);
    EXPECT_EQ(ModifiedTextOf(FileTime(2008, 6, 14, 0, 0, 0)), c.LauncherDate);

    // The info panel's layout keeps its plain separators where the locale has none.
    const fs::path file = Folder().Write("dated.txt", "x");
    const std::chrono::sys_seconds written{std::chrono::seconds(Utc(2008, 6, 14, 9, 5, 7))};
    fs::last_write_time(file, fs::file_time_type::clock::from_sys(written));
    const auto dates = GetFileDates(file);
    EXPECT_EQ(dates[1], "2008/06/14,09:05:07");
    for (const std::string& text : dates)
        EXPECT_TRUE(Platform::IsValidUtf8(text)) << text;
}

TEST_P(LocaleTexts, SizesReadTheSameInEveryLocale) {
    EXPECT_EQ(SizeColumnText(1536.5), "         1536.50 KByte");
    EXPECT_EQ(FormatSizeKB(1548), "1.524MB");
    EXPECT_EQ(FolderSizeText(1.5, '.'), "1.5MB");
    EXPECT_EQ(SizeText(1024), "1024Byte");
    // The program list orders its size column by the whole kilobytes shown.
    TUninstall small, big;
    small.Size = 9.99;
    big.Size = 10.0;
    EXPECT_EQ(CompareProgramRows(small, big, 2), -1);
}

TEST_P(LocaleTexts, AnalysisListSortsNamesAsTheLocaleCollates) {
    for (const std::string& name : GetParam().Order)
        Folder().Write(name, "x");
    const auto names = Platform::CreateShellNamespace();
    std::string error;
    const auto folder = names->Parse(Folder().Path().string(), error);
    ASSERT_TRUE(folder) << error;
    std::vector<Platform::TShellChild> children;
    ASSERT_TRUE(names->Enumerate(*folder, children, error)) << error;
    names->SortChildren(*folder, children);
    std::vector<std::string> order;
    for (const Platform::TShellChild& child : children)
        if (child.DisplayName != "Morvane.cfg")
            order.push_back(child.DisplayName);
    EXPECT_EQ(order, GetParam().Order);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleTexts,
    ::testing::Values(TLocaleCase{"C.UTF-8",
                                  "06/14/08",
                                  "06/14/08 09:05:07",
                                  {"9", "10", "A", "b", "上海", "中国", "北京"}},
                      TLocaleCase{"zh_CN.UTF-8",
                                  "2008年06月14日",
                                  "2008年06月14日 09时05分07秒",
                                  {"9", "10", "北京", "上海", "中国", "A", "b"}}),
    [](const ::testing::TestParamInfo<TLocaleCase>& locale) {
        return std::string(locale.param.Name).substr(0, 2) == "zh" ? std::string("Chinese")
                                                                   : std::string("Plain");
    });
