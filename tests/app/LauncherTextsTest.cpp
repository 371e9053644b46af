#include "app/LauncherHints.h"
#include "core/MakerAddresses.h"
#include "core/MailTexts.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

TEST(LauncherHints, HitTestKeepsLeftAndTopEdgesOnly) {
    const std::array<THintTarget, 2> targets = {{{10, 20, 70, 62, 1}, {100, 20, 70, 62, 2}}};
    EXPECT_EQ(TargetAt(targets, 10, 20)->Tag, 1);
    EXPECT_EQ(TargetAt(targets, 79, 81)->Tag, 1);
    EXPECT_EQ(TargetAt(targets, 80, 50), nullptr); // right edge
    EXPECT_EQ(TargetAt(targets, 50, 82), nullptr); // bottom edge
    EXPECT_EQ(TargetAt(targets, 9, 50), nullptr);
    EXPECT_EQ(TargetAt(targets, 95, 50), nullptr); // between the two
    EXPECT_EQ(TargetAt(targets, 100, 20)->Tag, 2);
}

TEST(LauncherHints, FirstTargetInOrderWinsWhereTwoOverlap) {
    const std::array<THintTarget, 2> targets = {{{0, 0, 50, 50, 4}, {40, 40, 50, 50, 2}}};
    EXPECT_EQ(TargetAt(targets, 45, 45)->Tag, 4);
    EXPECT_EQ(TargetAt(targets, 55, 55)->Tag, 2);
}

TEST(LauncherHints, TextsNameTheSupportContacts) {
    EXPECT_EQ(HintLineText(1), "友情提示: 智能引擎支持下的快速垃圾文件清理....");
    EXPECT_EQ(HintLineText(5),
              std::string("友情提示: 有技术问题联系Msn: ") + MakerAddresses::Messenger + " ...");
    EXPECT_EQ(HintTexts()[0], "点击功能按钮进入 ....");
    EXPECT_EQ(HelpButtonHint(), std::string("每日技巧,有技术问题联系Msn: ") + MakerAddresses::Messenger +
                                    " ，或者上" + MakerAddresses::TechBlog + " 技术博客 ...");
}

TEST(SupportMail, TextIsByteForByteWithLfCrBreaks) {
    const std::string line(48, '_');
    EXPECT_EQ(SupportMailText(),
              "mailto:support@example.com?subject= Morvane --- Ostrel   &Body="
              "FullName:" + line + "\n\rAddress(Country):" + line + "\n\rPhone:" + line +
              "\n\rFax:" + line);
}
