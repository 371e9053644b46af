#include "core/PathText.h"
#include "core/ui/TFilePropertiesDialog.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// The sheet reads the entry by the path's own bytes: a name that is not valid UTF-8 has
// no text form that leads back to it, so a lookup by text found nothing.
TEST(FilePropertiesDialog, OwnerGroupAndPermissionsOfANameThatIsNotUtf8) {
    TTempDir dir;
    const std::filesystem::path odd = dir.Write(std::string("r\xe9sum\xe9\xff.txt"), "12345");
    ASSERT_EQ(chmod(odd.c_str(), 0640), 0);
    const TFilePropertiesDialog sheet(nullptr, PathText(odd));
    const passwd* me = getpwuid(geteuid());
    const group* mine = getgrgid(getegid());
    EXPECT_EQ(sheet.ValueOf(QString::fromUtf8("所有者")).toStdString(),
              me ? me->pw_name : std::to_string(geteuid()));
    EXPECT_EQ(sheet.ValueOf(QString::fromUtf8("组")).toStdString(),
              mine ? mine->gr_name : std::to_string(getegid()));
    EXPECT_EQ(sheet.ValueOf(QString::fromUtf8("权限")), "rw-r-----");
    EXPECT_EQ(sheet.ValueOf(QString::fromUtf8("大小")), QString::fromUtf8("5 字节"));
}
