#include "update/HttpDate.h"
#include "update/THttpUrl.h"

#include <gmock/gmock.h>

namespace {

constexpr int64_t Nov6th1994 = 784111777; // 1994-11-06 08:49:37 UTC

TEST(HttpDateTest, TheThreeFormsGiveTheSameMoment) {
    EXPECT_EQ(ParseHttpDateUnix("Sun, 06 Nov 1994 08:49:37 GMT"), Nov6th1994);
    EXPECT_EQ(ParseHttpDateUnix("Sunday, 06-Nov-94 08:49:37 GMT"), Nov6th1994);
    EXPECT_EQ(ParseHttpDateUnix("Sun Nov  6 08:49:37 1994"), Nov6th1994);
    EXPECT_EQ(ParseHttpDateUnix("  sun, 06 nov 1994 08:49:37 gmt "), Nov6th1994);
    EXPECT_EQ(HttpDateToDateTime("Sun, 06 Nov 1994 08:49:37 GMT"),
              UnixTimeToLocalDateTime(Nov6th1994));
}

TEST(HttpDateTest, AZoneOffsetIsTakenOffAndTwoDigitYearsAreWindowed) {
    EXPECT_EQ(ParseHttpDateUnix("Sun, 06 Nov 1994 09:49:37 +0100"), Nov6th1994);
    EXPECT_EQ(ParseHttpDateUnix("Sun, 06 Nov 1994 03:19:37 -0530"), Nov6th1994);
    EXPECT_EQ(ParseHttpDateUnix("Thu, 01-Jan-70 00:00:00 GMT"), 3155760000); // 2070
    EXPECT_EQ(ParseHttpDateUnix("Fri, 01-Jan-80 00:00:00 GMT"), 315532800);
    EXPECT_EQ(ParseHttpDateUnix("Sat, 01 Jan 2000"), 946684800);
}

TEST(HttpDateTest, UnreadableTextsGiveZero) {
    for (const char* text : {"", "   ", "garbage", "Sun, 32 Nov 1994 08:49:37 GMT",
                             "Sun, 06 Xyz 1994 08:49:37 GMT", "Sun, 06 Nov 1994 25:00:00 GMT",
                             "Sun, 06 Nov 1994 08:49:37 GMT+0100", "Sun, 06 Nov 1994 0a:49:37"}) {
        EXPECT_EQ(HttpDateToDateTime(text), 0) << text;
        EXPECT_FALSE(ParseHttpDateUnix(text).has_value()) << text;
    }
}

TEST(HttpUrlTest, CracksEveryPart) {
    auto url = THttpUrl::Crack("HTTPS://user:pw@Host.example.com:8443/a/b.inf?x=1#frag");
    EXPECT_EQ(url.Scheme, "https");
    EXPECT_EQ(url.Host, "Host.example.com");
    EXPECT_EQ(url.Port, 8443);
    EXPECT_EQ(url.UserName, "user");
    EXPECT_EQ(url.Password, "pw");
    EXPECT_EQ(url.Path, "/a/b.inf");
    EXPECT_EQ(url.Extra, "?x=1");
    auto bare = THttpUrl::Crack("127.0.0.1/x");
    EXPECT_EQ(bare.Scheme, "http");
    EXPECT_EQ(bare.Port, 80);
    EXPECT_EQ(bare.Path, "/x");
    EXPECT_EQ(THttpUrl::Crack("https://[::1]").Host, "::1");
    EXPECT_EQ(THttpUrl::Crack("https://[::1]").Path, "/");
    EXPECT_EQ(THttpUrl::Crack("file:///tmp/a%20b").LocalPath(), "/tmp/a b");
}

} // namespace
