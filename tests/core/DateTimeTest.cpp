#include "core/DateTime.h"
#include "core/EMorvaneError.h"
#include "core/FileRoutines.h"

#include <gtest/gtest.h>

namespace {

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EMorvaneError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(DateTime, EncodesTheDayCountAndRejectsMissingDays) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2008, 6, 14), 39613);
    EXPECT_EQ(EncodeDate(1800, 1, 1), -36522);
    EXPECT_EQ(EncodeDate(2000, 2, 29), 36585);
    for (auto [y, m, d] : {std::tuple{2007, 2, 29}, {1900, 2, 29}, {2008, 13, 1}, {2008, 4, 31}, {0, 1, 1}, {2008, 0, 5}})
        EXPECT_EQ(ErrorOf([&] { EncodeDate(y, m, d); }), "Invalid argument to date encode") << y << m << d;
}

TEST(DateTime, DecodeIsTheInverseOverFourCenturies) {
    int y, m, d;
    for (int day = EncodeDate(1700, 1, 1); day <= EncodeDate(2100, 12, 31); ++day) {
        // Before 1899 the time of day counts away from zero.
        DecodeDate(day < 0 ? day - 0.75 : day + 0.75, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), day);
    }
    DecodeDate(EncodeDate(2008, 6, 14), y, m, d);
    EXPECT_EQ(std::tuple(y, m, d), std::tuple(2008, 6, 14));
}

TEST(DateTime, FormatsWithLocaleSeparatorsAndMinutesAfterHours) {
    const TDateTime t = EncodeDate(2008, 6, 4) + EncodeTime(9, 5, 7, 30);
    Platform::TLocaleFormats dots;
    dots.DateSeparator = '.';
    dots.TimeSeparator = '-';
    dots.ShortDateFormat = "dd/mm/yyyy";
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd,hh:mm:ss", t, Platform::TLocaleFormats{}), "2008/06/04,09:05:07");
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd,hh:mm:ss", t, dots), "2008.06.04,09-05-07");
    EXPECT_EQ(FormatDateTime("d/m/yy h:n", t, Platform::TLocaleFormats{}), "4/6/08 9:5");
    EXPECT_EQ(FormatDateTime("ddddd", t, dots), "04.06.2008");
    EXPECT_EQ(FormatDateTime("\"at\" hh'h' zzz", t, dots), "at 09h 030");
    EXPECT_EQ(FormatDateTime("yyyy年m月d日", t, dots), "2008年6月4日");
}


TEST(DateTime, LocaleDateAndTimeFormatsAndTheTwelveHourClock) {
    Platform::TLocaleFormats zh;
    zh.ShortDateFormat = "yyyy\"年\"mm\"月\"dd\"日\"";
    zh.LongTimeFormat = "hh\"时\"nn\"分\"ss\"秒\"";
    zh.TimeAMString = "上午";
    zh.TimePMString = "下午";
    const TDateTime day = EncodeDate(2025, 5, 9);
    EXPECT_EQ(FormatDateTime("c", day + EncodeTime(14, 50, 7, 0), zh), "2025年05月09日 14时50分07秒");
    EXPECT_EQ(FormatDateTime("c", day, zh), "2025年05月09日"); // midnight: the date alone
    EXPECT_EQ(FormatDateTime("ddddd tt", day, zh), "2025年05月09日 00时00分00秒");

    // Separators of more than one byte are written whole.
    Platform::TLocaleFormats wide;
    wide.DateSeparator = ". ";
    wide.TimeSeparator = "時";
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd,hh:mm:ss", day + EncodeTime(9, 5, 7, 0), wide),
              "2025. 05. 09,09時05時07");

    const std::pair<TDateTime, const char*> clock[] = {{EncodeTime(0, 5, 0, 0), "12:05 上午"},
                                                       {EncodeTime(11, 59, 0, 0), "11:59 上午"},
                                                       {EncodeTime(12, 30, 0, 0), "12:30 下午"},
                                                       {EncodeTime(23, 0, 0, 0), "11:00 下午"}};
    for (const auto& [time, text] : clock)
        EXPECT_EQ(FormatDateTime("h:nn ampm", day + time, zh), text);
    EXPECT_EQ(FormatDateTime("hh:nn am/pm", day + EncodeTime(21, 5, 0, 0), zh), "09:05 pm");
    // A quoted mark is text and leaves the clock at 24 hours.
    EXPECT_EQ(FormatDateTime("hh \"ampm\"", day + EncodeTime(21, 5, 0, 0), zh), "21 ampm");
}
