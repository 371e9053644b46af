#include "app/TTips.h"

#include "core/EMorvaneError.h"
#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Lines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "tip " + std::to_string(i) + "\r\n";
    return text;
}

} // namespace

TEST(Tips, ThreeTipsCycleBackToTheFirst) {
    TTempDir dir;
    TTips tips;
    ASSERT_TRUE(tips.LoadTips(dir.Write("Tips.CFG", Lines(3))));
    EXPECT_EQ(tips.TipCount(), 3);
    EXPECT_EQ(tips.TipIndex(), 1);
    EXPECT_EQ(tips.Tip(1), "tip 1");
    std::vector<int> order;
    for (int i = 0; i < 4; ++i)
        order.push_back(tips.NextTip());
    EXPECT_EQ(order, (std::vector<int>{2, 3, 1, 2}));
    EXPECT_EQ(tips.Tip(3), "tip 3");
}

TEST(Tips, OnlyTheFirstHundredLinesAreRead) {
    TTempDir dir;
    TTips tips;
    tips.LoadTips(dir.Write("Tips.CFG", Lines(150)));
    EXPECT_EQ(tips.TipCount(), 100);
    EXPECT_EQ(tips.Tip(100), "tip 100");
    EXPECT_EQ(tips.Tip(101), "");
    for (int i = 1; i < 100; ++i)
        tips.NextTip();
    EXPECT_EQ(tips.TipIndex(), 100);
    EXPECT_EQ(tips.NextTip(), 1);
}

TEST(Tips, EmptyOrMissingFileGivesTheEmptyTip) {
    TTempDir dir;
    TTips tips;
    EXPECT_TRUE(tips.LoadTips(dir.Write("Tips.CFG", "")));
    EXPECT_EQ(tips.TipCount(), 0);
    EXPECT_EQ(tips.Tip(tips.TipIndex()), "");
    EXPECT_EQ(tips.NextTip(), 1);

    EXPECT_FALSE(tips.LoadTips(dir / "none.CFG"));
    EXPECT_EQ(tips.TipCount(), 0);
}

TEST(Tips, LinesKeepTheirMarkupAndLoseOnlyTheLineEnd) {
    TTempDir dir;
    TTips tips;
    // LF-only ends, an empty line, a last line without an end, and a reload that starts over.
    tips.LoadTips(dir.Write("a.CFG", "<b>one</b>\n\nlast <i>x</i>"));
    EXPECT_EQ(tips.TipCount(), 3);
    EXPECT_EQ(tips.Tip(1), "<b>one</b>");
    EXPECT_EQ(tips.Tip(2), "");
    EXPECT_EQ(tips.Tip(3), "last <i>x</i>");
    tips.NextTip();
    tips.LoadTips(dir.Write("b.CFG", "only\r\n"));
    EXPECT_EQ(tips.TipCount(), 1);
    EXPECT_EQ(tips.TipIndex(), 1);
}

TEST(Tips, LinesEndAtCrLfAtLfAndAtALoneCr) {
    TTempDir dir;
    TTips tips;
    tips.LoadTips(dir.Write("Tips.CFG", "one\rtwo\r\nthree\nfour\r\r\nsix"));
    EXPECT_EQ(tips.TipCount(), 6);
    EXPECT_EQ(tips.Tip(1), "one");
    EXPECT_EQ(tips.Tip(2), "two");
    EXPECT_EQ(tips.Tip(4), "four");
    EXPECT_EQ(tips.Tip(5), ""); // a lone CR, then CR LF: an empty line between
    EXPECT_EQ(tips.Tip(6), "six");

    // Only the first hundred lines count, however they end.
    std::string crOnly;
    for (int i = 1; i <= 150; ++i)
        crOnly += "t" + std::to_string(i) + "\r";
    tips.LoadTips(dir.Write("cr.CFG", crOnly));
    EXPECT_EQ(tips.TipCount(), 100);
    EXPECT_EQ(tips.Tip(100), "t100");
}

TEST(Tips, PageIsTheTipBetweenTheFontLines) {
    TTempDir dir;
    const auto page = dir / "tips.htm";
    WriteTipsPage(page, "<b>tip</b>");
    EXPECT_EQ(TTempDir::Read(page),
              "<font:12px \"MS Song\", \"MS Sans Serif\"; size=1>\r\n<b>tip</b>\r\n</font>\r\n");
    WriteTipsPage(page, "");
    EXPECT_EQ(TTempDir::Read(page), "<font:12px \"MS Song\", \"MS Sans Serif\"; size=1>\r\n\r\n</font>\r\n");
}

TEST(Tips, UnwritablePageIsReportedAndTheOldPageStays) {
    if (!PermissionsCanRefuseWrites())
        GTEST_SKIP();
    TTempDir dir;
    const auto folder = dir / "ro";
    const auto page = dir.Write("ro/tips.htm", "old");
    OpenToEveryone(dir.Path().string());
    std::filesystem::permissions(folder, std::filesystem::perms(0555));
    const std::string result = RunUnprivileged([&] {
        try {
            WriteTipsPage(page, "new");
            return std::string("written");
        } catch (const EMorvaneError& e) {
            return std::string(e.what());
        }
    });
    std::filesystem::permissions(folder, std::filesystem::perms(0755));
    EXPECT_EQ(result.rfind("Cannot create file \"" + page.string() + "\". ", 0), 0u) << result;
    EXPECT_EQ(TTempDir::Read(page), "old");
}
