#include "update/TUpdateAgent.h"
#include "update/TUpdateInfoFile.h"
#include "update/TUpdateSignature.h"
#include "update/VersionCompare.h"

#include <gmock/gmock.h>

#include <cmath>

namespace {

std::vector<std::string> Urls(const TUpdateInfoFile& info) {
    std::vector<std::string> urls;
    for (const auto& f : info.Files())
        urls.push_back(f.URL);
    return urls;
}

TEST(UpdateInfoFileTest, KeysAreFoundAnywhereInAnyCaseFirstOneFirst) {
    TUpdateInfoFile info("junk #VERSION=8.1 beta\r\n#version=9.9\n#Date=07/01/2008\tx\n#method=2x");
    EXPECT_EQ(info.Value("version"), "8.1 beta"); // not trimmed; the first occurrence counts
    EXPECT_EQ(info.Value("date"), "07/01/2008");
    EXPECT_EQ(info.Value("missing"), "");
    EXPECT_EQ(info.Method(), 2);
    EXPECT_EQ(TUpdateInfoFile("#method=1").Method(), 1);
    EXPECT_EQ(TUpdateInfoFile("#method=x1").Method(), 0);
}

TEST(UpdateInfoFileTest, UrlNumberingFollowsTheCountSoFar) {
    EXPECT_THAT(Urls(TUpdateInfoFile("#url=A\r\n#url1=B\r\n#url2=C\r\n")),
                ::testing::ElementsAre("A", "C"));
    EXPECT_THAT(Urls(TUpdateInfoFile("#url1=B\r\n#url2=C\r\n#url4=E\r\n")),
                ::testing::ElementsAre("B", "C"));
    EXPECT_THAT(Urls(TUpdateInfoFile("#url=A\n#url0=Z\n#url3=C\n")),
                ::testing::ElementsAre("A", "Z", "C"));
    auto files = TUpdateInfoFile("#url0=Z\n#sha2560=ABCD\n#url2=Y\n#sha2562=ef\n").Files();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].Sha256, "abcd");
    EXPECT_EQ(files[1].KeySuffix, "2");
    EXPECT_EQ(files[1].Sha256, "ef");
}

TEST(UpdateInfoFileTest, EachFileCarriesItsSignedSizeAndAListWithoutOneIsIncomplete) {
    const std::string digest(64, 'a');
    TUpdateInfoFile info("#url=A\r\n#sha256=" + digest +
                         "\r\n#SIZE=1234\r\n#url2=B\r\n#size2=12a\r\n");
    auto files = info.Files();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].Size, 1234);
    EXPECT_EQ(files[1].Size, -1);
    EXPECT_THAT(info.Problems(),
                ::testing::ElementsAre("#url2= has no #sha2562= key with 64 hex digits",
                                       "#url2= has no #size2= key with its size in bytes"));
    for (const char* bad : {"-5", " 5", "5 ", "0x10", "", "9999999999999999999"})
        EXPECT_EQ(TUpdateInfoFile(std::string("#url=A\n#size=") + bad + "\n").Files()[0].Size, -1)
            << bad;
    EXPECT_EQ(TUpdateInfoFile("#url=A\n#size=0\n").Files()[0].Size, 0);
    EXPECT_THAT(TUpdateInfoFile("#url=A\n#sha256=" + digest + "\n#size=0\n").Problems(),
                ::testing::IsEmpty());
    EXPECT_THAT(TUpdateInfoFile("#url=A\n#sha256=abc\n#size=3\n").Problems(), ::testing::SizeIs(1));
}

TEST(UpdateInfoFileTest, TheMessageSpansLinesUpToTheBrace) {
    TUpdateInfoFile info("#message={Line one\r\nLine two}\r\n#version=9");
    EXPECT_EQ(info.Message(), "Line one\r\nLine two");
    EXPECT_EQ(TUpdateAgent::AskText("Morvane", info.Message()),
              "A newer version of Morvane was released.\n\nLine one\r\nLine two\n\nDo you want "
              "to update your version with the latest one?");
    EXPECT_EQ(TUpdateAgent::AskText("Delphi demo", ""),
              "A newer version of <AppTitle> was released.\n\nDo you want to update your "
              "version with the latest one?");
}

TEST(VersionCompareTest, NumericPartsThenBytes) {
    EXPECT_GT(CompareVersions("8.1", "8.0"), 0);
    EXPECT_GT(CompareVersions("10", "9"), 0);
    EXPECT_EQ(CompareVersions("8.0.0", "8.0"), 0);
    EXPECT_EQ(CompareVersions("8.0.0.0.7", "8"), 0);
    EXPECT_LT(CompareVersions("7.9", "8.0"), 0);
    EXPECT_LT(CompareVersions("8.0.1", "8.0.2"), 0);
    // Not all numbers: byte by byte, so "10a" is older than "9a".
    EXPECT_LT(CompareVersions("10a", "9a"), 0);
    EXPECT_GT(CompareVersions("8.0b", "8.0"), 0);
    EXPECT_LT(CompareVersions("", "8.0"), 0);
}

TEST(VersionCompareTest, BlanksAroundAVersionDoNotCount) {
    EXPECT_EQ(CompareVersions("8.0 ", "8.0"), 0);
    EXPECT_EQ(CompareVersions("8.0", " 8.0\t"), 0);
    EXPECT_GT(CompareVersions(" 8.1 ", "8.0"), 0);
    EXPECT_GT(CompareVersions("8.0 beta", "8.0"), 0); // a blank inside still counts
}

TEST(VersionCompareTest, BadDatesFallBackToToday) {
    EXPECT_EQ(ParseUpdateDate("06/14/2008"), EncodeDate(2008, 6, 14));
    EXPECT_EQ(ParseUpdateDate("02/30/2008"), std::floor(Now()));
    EXPECT_EQ(ParseUpdateDate("June 14"), std::floor(Now()));
}

TEST(UpdateFileNameTest, OnlyPlainFileNamesAreAccepted) {
    EXPECT_EQ(TUpdateAgent::FileNameOfUrl("http://h/dl/Morvane.exe"), "Morvane.exe");
    EXPECT_EQ(TUpdateAgent::FileNameOfUrl("http://h/dl/kind.ini?v=2"), "kind.ini");
    for (const char* bad : {"http://h/", "http://h", "http://h/dl/../x", "http://h/a/./b",
                            "http://h/dl/..", "http://h/c:x", "http://h/a\\..\\b", "http://h/dl/"})
        EXPECT_EQ(TUpdateAgent::FileNameOfUrl(bad), "") << bad;
}

TEST(UpdateSignatureTest, Base64RoundTripsAndRejectsGarbage) {
    for (const std::string& bytes :
         std::vector<std::string>{"", "f", "fo", "foo", "foob", std::string("\0\xff\x10", 3)})
        EXPECT_EQ(TUpdateSignature::FromBase64(TUpdateSignature::ToBase64(bytes)), bytes);
    EXPECT_EQ(TUpdateSignature::ToBase64("foob"), "Zm9vYg==");
    EXPECT_FALSE(TUpdateSignature::FromBase64("Zm9v!g==").has_value());
    EXPECT_FALSE(TUpdateSignature::FromBase64("Zm9vY").has_value());
    EXPECT_FALSE(TUpdateSignature::FromBase64("Zm=vYg==").has_value());
}

} // namespace
