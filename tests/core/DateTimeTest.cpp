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

