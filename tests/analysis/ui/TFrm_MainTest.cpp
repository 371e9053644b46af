#include "analysis/ui/TFrm_Main.h"

#include <gmock/gmock.h>

TEST(FrmMain, SupportMailJoinsTheFourFieldsWithLineFeedCarriageReturn) {
    const QString text = TFrm_Main::SupportMailText();
    const QString line = QString(48, '_');
    EXPECT_TRUE(text.startsWith("mailto:"));
    EXPECT_TRUE(text.contains("?subject= Morvane --- Ostrel   &Body=FullName:" + line + "\n\r"));
    EXPECT_TRUE(text.endsWith("Fax:" + line)); // nothing after the last line
}

TEST(FrmMain, TellAFriendEndsEveryLineWithLineFeedCarriageReturn) {
    const QString text = TFrm_Main::TellFriendMailText();
    EXPECT_TRUE(text.startsWith("mailto: "));
    EXPECT_TRUE(text.contains("?subject= Try out Morvane7.0 &Body=My Dear Friend \n\r"));
    EXPECT_TRUE(text.endsWith("\n\rBest Regards,\n\rYours \n\r"));
}
