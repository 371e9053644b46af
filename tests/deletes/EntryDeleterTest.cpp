// A run of single-entry deletes through one deleter, as the cleaning window's delete of
// every row makes it: the entries of several folders, in the order a list gives them.
#include "platform/TEntryDeleter.h"
#include "support/PathExists.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using Platform::TEntryResult;
using Platform::TEntryWanted;

TEST(EntryDeleter, EachEntryGoesFromItsOwnFolderWhicheverFolderCameBefore) {
    TTempDir dir;
    for (const char* name : {"a/x", "a/y", "ab/x", "b/x", "b/keep/z"})
        dir.Write(name, name);
    Platform::TEntryDeleter deleter;
    // Back and forth between folders, with same-named files and a folder whose name
    // starts like another's: a folder kept open for the wrong entry would delete one
    // file twice and leave another.
    for (const char* name : {"a/x", "ab/x", "b/x", "a/y"})
        EXPECT_EQ(deleter.Delete(dir / name, TEntryWanted::NotFolder).Result,
                  TEntryResult::Deleted)
            << name;
    EXPECT_EQ(deleter.Delete(dir / "a/x", TEntryWanted::NotFolder).Result, TEntryResult::Missing);
    EXPECT_EQ(deleter.Delete(dir / "gone/x", TEntryWanted::NotFolder).Result,
              TEntryResult::Missing);
    EXPECT_EQ(deleter.Delete(dir / "b/keep", TEntryWanted::NotFolder).Result,
              TEntryResult::OtherKind);
    EXPECT_EQ(deleter.Delete(dir / "b/keep", TEntryWanted::EmptyFolder).Result,
              TEntryResult::Failed);
    EXPECT_TRUE(PathExists(dir / "b/keep/z"));
    EXPECT_EQ(deleter.Delete(dir / "a", TEntryWanted::EmptyFolder).Result, TEntryResult::Deleted);
    for (const char* name : {"a", "ab/x", "b/x"})
        EXPECT_FALSE(PathExists(dir / name)) << name;
}
