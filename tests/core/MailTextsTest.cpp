#include "core/MailTexts.h"

#include <gtest/gtest.h>

TEST(MailTexts, TellAFriendIsByteForByteWithEveryLineEndedByLfCr) {
    EXPECT_EQ(TellFriendMailText(),
              "mailto: friend@example.com?subject= Try out Morvane7.0 &Body="
              "My Dear Friend \n\r"
              "  I have try a disk clean tool (Morvane) and found it is very userful,\n\r"
              "Strongly recommand it to you ! \n\r"
              "  You can check it out at :\n\r"
              "     https://www.example.com/morvane/?src=Friend \n\r"
              "  or download a free trial from\n\r"
              "     https://www.example.com/morvane/download/MorvaneSetup.exe?src=Friend \n\r"
              "\n\r"
              "Best Regards,\n\r"
              "Yours \n\r");
}
