#include "platform/Locale.h"
#include "platform/TextCodec.h"

#include "support/linux/TScopedEnv.h"

#include <gtest/gtest.h>

#include <string>

#include <locale.h>

using Platform::LocaleFormats;
using Platform::TLocaleFormats;

namespace {

bool Installed(const char* name) {
    locale_t loc = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
    if (!loc)
        return false;
    freelocale(loc);
    return true;
}

// The user's locale for the life of the object, as LC_ALL sets it.
class TUserLocale {
public:
    explicit TUserLocale(const char* name) : FAll("LC_ALL", name) {}

private:
    TScopedEnv FAll;
};

void ExpectChineseFormats(const TLocaleFormats& f) {
    EXPECT_EQ(f.ShortDateFormat, "yyyy\"年\"mm\"月\"dd\"日\"");
    EXPECT_EQ(f.LongTimeFormat, "hh\"时\"nn\"分\"ss\"秒\"");
    // The fields are apart by words, not by a separator: the layouts that ask for one
    // get the plain ones, never a piece of "时".
    EXPECT_EQ(f.DateSeparator, "/");
    EXPECT_EQ(f.TimeSeparator, ":");
    EXPECT_EQ(f.TimeAMString, "上午");
    EXPECT_EQ(f.TimePMString, "下午");
}

} // namespace

TEST(LocaleFormats, PlainLocaleGivesTheClassicFormats) {
    const TUserLocale user("C.UTF-8");
    const TLocaleFormats f = LocaleFormats();
    EXPECT_EQ(f.ShortDateFormat, "mm/dd/yy");
    EXPECT_EQ(f.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(f.DateSeparator, "/");
    EXPECT_EQ(f.TimeSeparator, ":");
}

TEST(LocaleFormats, ChineseLocaleGivesWholeCharacters) {
    if (!Installed("zh_CN.UTF-8"))
        GTEST_SKIP() << "zh_CN.UTF-8 is not installed (tools/test.sh makes it)";
    const TUserLocale user("zh_CN.UTF-8");
    ExpectChineseFormats(LocaleFormats());
}

TEST(LocaleFormats, LocaleInAnotherCodePageComesAsUtf8) {
    if (!Installed("zh_CN.GB18030"))
        GTEST_SKIP() << "zh_CN.GB18030 is not installed (tools/test.sh makes it)";
    const TUserLocale user("zh_CN.GB18030");
    const TLocaleFormats f = LocaleFormats();
    EXPECT_TRUE(Platform::IsValidUtf8(f.ShortDateFormat + f.LongTimeFormat + f.TimeAMString));
    ExpectChineseFormats(f);
}

TEST(LocaleFormats, UnknownLocaleKeepsTheDefaults) {
    const TUserLocale user("xx_NOWHERE.UTF-8");
    const TLocaleFormats f = LocaleFormats();
    const TLocaleFormats defaults;
    EXPECT_EQ(f.ShortDateFormat, defaults.ShortDateFormat);
    EXPECT_EQ(f.LongTimeFormat, defaults.LongTimeFormat);
    EXPECT_EQ(f.TimeSeparator, defaults.TimeSeparator);
}

TEST(LocaleFormats, SeparatorAndTwelveHourClockOfTheLocale) {
    if (!Installed("de_DE.UTF-8") || !Installed("en_US.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 or en_US.UTF-8 is not installed (tools/test.sh makes them)";
    {
        const TUserLocale user("de_DE.UTF-8"); // 14.06.2008
        const TLocaleFormats f = LocaleFormats();
        EXPECT_EQ(f.ShortDateFormat, "dd/mm/yyyy");
        EXPECT_EQ(f.DateSeparator, ".");
        EXPECT_EQ(f.LongTimeFormat, "hh:nn:ss");
    }
    const TUserLocale user("en_US.UTF-8"); // 06/14/2008, 02:50:07 PM
    const TLocaleFormats f = LocaleFormats();
    EXPECT_EQ(f.ShortDateFormat, "mm/dd/yyyy");
    EXPECT_EQ(f.LongTimeFormat, "hh:nn:ss\" \"ampm");
    EXPECT_EQ(f.TimePMString, "PM");
}
