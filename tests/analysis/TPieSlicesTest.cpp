#include "analysis/TPieSlices.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <filesystem>

using ::testing::ElementsAre;

namespace {

const std::vector<TBreakdownPoint> FourSlices{{"a", 50}, {"b", 30}, {"c", 12}, {"d", 8}};

std::vector<std::string> Labels(const std::vector<TPieSlice>& slices) {
    std::vector<std::string> labels;
    for (const auto& s : slices)
        labels.push_back(s.Label);
    return labels;
}

std::vector<std::string> InfoLines(const TPieSlices& pie) {
    std::vector<std::string> lines;
    for (const auto& s : pie.Listed())
        lines.push_back(TPieSlices::InfoLine(s));
    return lines;
}

} // namespace

TEST(PieSlices, SlicesBelowThePercentageMergeIntoOtherAtTheEnd) {
    const TPieSlices pie(FourSlices, 14);
    EXPECT_THAT(Labels(pie.Drawn()), ElementsAre("a", "b", "Other"));
    EXPECT_DOUBLE_EQ(pie.Drawn().back().Value, 20);
    EXPECT_TRUE(pie.Drawn().back().IsOther);
    // Colours follow the place in the pie's data: "Other" comes after the four points.
    EXPECT_EQ(pie.Drawn().back().Position, 4);
    EXPECT_THAT(InfoLines(pie), ElementsAre("[a] :  50.00M", "[b] :  30.00M", "[Other] :  20.00M"));
}

TEST(PieSlices, RegroupingTheSamePointsFollowsThePercentage) {
    const TPieSlices at31(FourSlices, 31);
    EXPECT_THAT(Labels(at31.Drawn()), ElementsAre("a", "Other"));
    EXPECT_DOUBLE_EQ(at31.Drawn().back().Value, 50);
    EXPECT_THAT(InfoLines(at31), ElementsAre("[a] :  50.00M", "[Other] :  50.00M"));

    const TPieSlices at0(FourSlices, 0);
    EXPECT_THAT(Labels(at0.Drawn()), ElementsAre("a", "b", "c", "d"));
    EXPECT_EQ(InfoLines(at0).size(), 4u);
}

TEST(PieSlices, ShareExactlyAtThePercentageIsKept) {
    const TPieSlices pie(FourSlices, 12);
    EXPECT_THAT(Labels(pie.Drawn()), ElementsAre("a", "b", "c", "Other"));
    EXPECT_DOUBLE_EQ(pie.Drawn().back().Value, 8);
}

TEST(PieSlices, ZeroPercentKeepsZeroValueSlices) {
    const TPieSlices pie({{"big", 10}, {"empty", 0}}, 0);
    EXPECT_THAT(Labels(pie.Drawn()), ElementsAre("big", "empty"));
    EXPECT_THAT(InfoLines(pie), ElementsAre("[big] :  10.00M", "[empty] :  0.00M"));
}

TEST(PieSlices, AllSlicesTinyLeaveOnlyOther) {
    std::vector<TBreakdownPoint> points;
    for (int i = 0; i < 10; ++i)
        points.push_back({"f" + std::to_string(i), 1});
    const TPieSlices pie(points, 14);
    EXPECT_THAT(Labels(pie.Drawn()), ElementsAre("Other"));
    EXPECT_EQ(pie.ShareText(pie.Drawn()[0].Value), "100 %");
    EXPECT_THAT(InfoLines(pie), ElementsAre("[Other] :  10.00M"));
}

TEST(PieSlices, EmptyAndZeroTotalPiesGroupNothing) {
    const TPieSlices empty({}, 14);
    EXPECT_TRUE(empty.Drawn().empty());
    EXPECT_TRUE(empty.Listed().empty());

    const TPieSlices zeros({{"a", 0}, {"b", 0}}, 14);
    EXPECT_THAT(Labels(zeros.Drawn()), ElementsAre("a", "b"));
    EXPECT_EQ(zeros.ShareText(0), "0 %");
    // A share of 0 is below 14, so the info panel lists nothing; at 0 it lists both.
    EXPECT_TRUE(zeros.Listed().empty());
    EXPECT_EQ(TPieSlices({{"a", 0}, {"b", 0}}, 0).Listed().size(), 2u);
}

TEST(PieSlices, NegativeValuesCountByTheirSize) {
    const TPieSlices pie({{"a", -60}, {"b", 40}}, 50);
    EXPECT_DOUBLE_EQ(pie.Total(), 100);
    EXPECT_THAT(Labels(pie.Drawn()), ElementsAre("a", "Other"));
    EXPECT_DOUBLE_EQ(pie.Drawn().back().Value, 40);
}

TEST(PieSlices, PercentageIsClampedToItsRange) {
    EXPECT_EQ(TPieSlices(FourSlices, -5).Percent(), 0);
    EXPECT_EQ(TPieSlices(FourSlices, 250).Percent(), 100);
    EXPECT_THAT(Labels(TPieSlices(FourSlices, 100).Drawn()), ElementsAre("Other"));
}

TEST(PieSlices, InfoPanelListsByTheRoundedShare) {
    // 13.996 % rounds to 14 %: merged in the pie, yet listed beside it.
    const TPieSlices pie({{"near", 13.996}, {"rest", 86.004}}, 14);
    EXPECT_THAT(Labels(pie.Drawn()), ElementsAre("rest", "Other"));
    EXPECT_THAT(InfoLines(pie), ElementsAre("[near] :  14.00M", "[rest] :  86.00M", "[Other] :  14.00M"));
}

TEST(PieSlices, ShareTextsRoundToTwoDecimalsAndGroupThousands) {
    const TPieSlices pie({{"a", 1}, {"b", 2}}, 0);
    EXPECT_EQ(pie.ShareText(1), "33.33 %");
    EXPECT_EQ(pie.ShareText(2), "66.67 %");
    const TPieSlices large({{"a", 1234567.25}, {"b", 0.0004}}, 0);
    EXPECT_EQ(large.ShareTextWithTotal(1234567.25), "100 % of 1,234,567.25");
    const TNumberFormat german{",", "."};
    EXPECT_EQ(large.ShareTextWithTotal(1234567.25, german), "100 % of 1.234.567,25");
    EXPECT_EQ(pie.ShareText(1, german), "33,33 %");
}

TEST(PieSlices, DetailAndShareMessages) {
    const TPieSlices pie({{"docs", 30}, {"rest", 70}}, 14);
    const std::string dashes(31, '-');
    EXPECT_EQ(pie.DetailText(pie.Drawn()[0]),
              "Detail Information: docs\r\n\r\n" + dashes + "\r\nSize   : 30 MByte\r\n"
              "Percent: 30 % of 100 MByte\r\n" + dashes);
    EXPECT_EQ(pie.ShareMessage(pie.Drawn()[0]), "docs\r\n30 % of 100M");

    const TPieSlices fraction({{"x", 1.43}, {"y", 98.57}}, 0);
    EXPECT_THAT(fraction.DetailText(fraction.Drawn()[0]), ::testing::HasSubstr("Size   : 1.43 MByte"));
}

TEST(PieSlices, FormatsNumbersLikeTheirPatterns) {
    const TNumberFormat dot;
    EXPECT_EQ(FormatDecimal(0, 2, false, dot), "0");
    EXPECT_EQ(FormatDecimal(-0.001, 2, false, dot), "0");
    EXPECT_EQ(FormatDecimal(999.996, 2, false, dot), "1000");
    EXPECT_EQ(FormatDecimal(1000, 3, true, dot), "1,000");
    EXPECT_EQ(FormatDecimal(-1234.5, 3, true, dot), "-1,234.5");
    EXPECT_EQ(FormatGeneral(1.43), "1.43");
    EXPECT_EQ(FormatGeneral(100000), "100000");
    EXPECT_EQ(FormatGeneral(0), "0");
}

TEST(PieSlices, DoubleClickDrillsOnlyIntoRealSubFolders) {
    TTempDir dir;
    std::filesystem::create_directory(dir / "sub");
    dir.Write("file.bin", "x");
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    const std::string charted = dir.Path().string() + sep;
    const TPieSlices pie({{"sub", 5}, {"file.bin", 5}, {"gone", 5}, {"..", 5}, {"sub/..", 5}}, 0);
    const auto& d = pie.Drawn();
    EXPECT_EQ(TPieSlices::DoubleClickAction(d[0], charted), TSliceAction::DrillDown);
    EXPECT_EQ(TPieSlices::DoubleClickAction(d[1], charted), TSliceAction::ShareMessage);
    EXPECT_EQ(TPieSlices::DoubleClickAction(d[2], charted), TSliceAction::ShareMessage);
    EXPECT_EQ(TPieSlices::DoubleClickAction(d[3], charted), TSliceAction::ShareMessage);
    EXPECT_EQ(TPieSlices::DoubleClickAction(d[4], charted), TSliceAction::ShareMessage);
    EXPECT_EQ(TPieSlices::DoubleClickAction(d[0], ""), TSliceAction::ShareMessage);
    EXPECT_EQ(TPieSlices::DrillDownPath(d[0], charted), charted + "sub" + sep);
    EXPECT_EQ(TPieSlices::DrillDownPath(d[0], dir.Path().string()), charted + "sub" + sep);

    // A real folder named "Other" is drilled into; the merged slice never is.
    std::filesystem::create_directory(dir / "Other");
    const TPieSlices grouped({{"Other", 90}, {"tiny", 1}}, 14);
    EXPECT_EQ(TPieSlices::DoubleClickAction(grouped.Drawn()[0], charted), TSliceAction::DrillDown);
    EXPECT_EQ(TPieSlices::DoubleClickAction(grouped.Drawn()[1], charted), TSliceAction::ShareMessage);
}
