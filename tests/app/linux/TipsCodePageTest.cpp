// The system code page here is UTF-8; other files are taken as GB18030.
#include "app/TTips.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

TEST(TipsCodePage, Utf8AndOldChineseFilesAreBothRead) {
    TTempDir dir;
    TTips tips;
    tips.LoadTips(dir.Write("new.CFG", "<b>你好</b>\r\n"));
    EXPECT_EQ(tips.Tip(1), "<b>你好</b>");
    tips.LoadTips(dir.Write("old.CFG", "\xC4\xE3\xBA\xC3\r\n")); // "你好" in GB18030
    EXPECT_EQ(tips.Tip(1), "你好");
}
