#include "app/FileVersion.h"
#include "app/VersionInfoBlob.h"

#include "platform/ProgramFolder.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

std::string ReleaseBlock() {
    return Bytes(VersionInfoBlob::Build({.FileVersion = {8, 0, 0, 3},
                                         .TableKey = u"080904E4",
                                         .Strings = {{u"ProductName", u"Morvane"},
                                                     {u"FileVersion", u"8.0.0.3"}},
                                         .Language = 0x0809,
                                         .CodePage = 0x04E4}));
}

} // namespace

TEST(FileVersion, ReadsItsOwnProgramFile) {
    // Every program that links the reader carries the release's version data.
    EXPECT_EQ(GetFileVersionText(Platform::ProgramFile()), "8.0.0.3");
}

TEST(FileVersion, FindsTheBlockAmongOtherBytes) {
    TTempDir dir;
    // A lookalike key without a valid header comes first and is passed over; the real
    // block starts at an odd offset, as constant data in a program file may.
    std::string lookalike;
    for (char c : std::string("VS_VERSION_INFO"))
        lookalike += std::string{c, '\0'};
    const std::string file = std::string(7, '\xEE') + "xxxxxx" + lookalike + std::string(2, '\0') +
                             "junk" + std::string(1, 'q') + ReleaseBlock() + "tail";
    EXPECT_EQ(GetFileVersionText(dir.Write("prog", file)), "8.0.0.3");
}

TEST(FileVersion, EmptyWithoutAFileVersionForTheTranslation) {
    TTempDir dir;
    EXPECT_EQ(GetFileVersionText(dir.Write("plain", "no version data in here")), "");
    EXPECT_EQ(GetFileVersionText(dir / "missing"), "");

    const std::string noFileVersion = Bytes(VersionInfoBlob::Build(
        {.TableKey = u"080904E4", .Strings = {{u"ProductName", u"Morvane"}},
         .Language = 0x0809, .CodePage = 0x04E4}));
    EXPECT_EQ(GetFileVersionText(dir.Write("nofv", "head" + noFileVersion)), "");

    const std::string noTranslation = Bytes(VersionInfoBlob::Build(
        {.TableKey = u"080904E4", .Strings = {{u"FileVersion", u"1.2"}}, .HasTranslation = false}));
    EXPECT_EQ(VersionFileVersion(noTranslation), "");

    // The string table of another translation does not count.
    const std::string otherTable = Bytes(VersionInfoBlob::Build(
        {.TableKey = u"040904B0", .Strings = {{u"FileVersion", u"1.2"}},
         .Language = 0x0809, .CodePage = 0x04E4}));
    EXPECT_EQ(VersionFileVersion(otherTable), "");
}

TEST(FileVersion, QueriesKeysWithoutRegardToCase) {
    const std::string block = Bytes(VersionInfoBlob::Build(
        {.TableKey = u"080904e4", .Strings = {{u"fileversion", u"9.1 \u00DF"}},
         .Language = 0x0809, .CodePage = 0x04E4}));
    EXPECT_EQ(VersionFileVersion(block), "9.1 \u00DF");
    const auto translation = VersionQueryValue(block, "\\VARFILEINFO\\translation");
    ASSERT_TRUE(translation);
    EXPECT_EQ(*translation, std::string("\x09\x08\xE4\x04", 4));
    EXPECT_FALSE(VersionQueryValue(block, "\\StringFileInfo\\080904E4\\Comments"));
}

TEST(FileVersion, DamagedBlocksGiveNothingAndNeverReadPastTheEnd) {
    const std::string block = ReleaseBlock();
    for (size_t cut = 0; cut < block.size(); ++cut)
        EXPECT_EQ(VersionFileVersion(block.substr(0, cut)), "") << cut;
    for (size_t at = 0; at < block.size(); ++at) {
        std::string damaged = block;
        damaged[at] = '\xFF';
        (void)VersionFileVersion(damaged); // must not crash; the result may still be whole
    }
}
