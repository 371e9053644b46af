#include "platform/IShellNamespace.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <set>

#include <locale.h>

namespace fs = std::filesystem;
using namespace Platform;

namespace {

// The order a folder's rows must come in under a code point collation, written the
// plain way: digit runs without their leading zeros padded to the longest a name can
// hold, then bytes.
std::string ReferenceKey(const std::string& name) {
    std::string key;
    for (size_t i = 0; i < name.size();) {
        if (name[i] < '0' || name[i] > '9') {
            key += name[i++];
            continue;
        }
        size_t j = i;
        while (j < name.size() && name[j] >= '0' && name[j] <= '9')
            ++j;
        while (i + 1 < j && name[i] == '0')
            ++i;
        key.append(255 - (j - i), '0');
        key.append(name, i, j - i);
        i = j;
    }
    return key;
}

bool CodePointCollation() {
    locale_t loc = newlocale(LC_COLLATE_MASK, "", static_cast<locale_t>(0));
    if (!loc)
        return true; // the namespace falls back to bytes too
    const bool bytes = strcoll_l("B", "a", loc) < 0 && strcoll_l("a", "\xc3\xa9", loc) < 0 &&
                       strcoll_l("_", "a", loc) < 0;
    freelocale(loc);
    return bytes;
}

class ShellNamespaceSort : public testing::Test {
protected:
    // Lists the folder through the namespace, sorted, as the browsing list does.
    std::vector<TShellChild> Sorted(const fs::path& folder) {
        std::string error;
        const std::optional<TIdList> list = Namespace->Parse(folder.string(), error);
        EXPECT_TRUE(list) << error;
        std::vector<TShellChild> children;
        if (!list || !Namespace->Enumerate(*list, children, error))
            return children;
        Namespace->SortChildren(*list, children);
        Folder = *list;
        return children;
    }
    static std::vector<std::string> Names(const std::vector<TShellChild>& children) {
        std::vector<std::string> names;
        for (const TShellChild& c : children)
            names.push_back(c.DisplayName);
        return names;
    }

    std::unique_ptr<IShellNamespace> Namespace = CreateShellNamespace();
    TIdList Folder;
    TTempDir Dir;
};

} // namespace

TEST_F(ShellNamespaceSort, NumbersByValueFoldersFirstAndAgreesWithCompareIDs) {
    const std::vector<std::string> files = {"a2", "a10", "a100", "a9b", "a10a", "x1y9", "x1y10", "n0", "n01x",
                                            "file.txt", "file2.txt", "file10.txt", "b", "B", "_u", "\xc3\xa9t\xc3\xa9",
                                            "z99999999999999999999", "z100000000000000000000"};
    for (const std::string& f : files)
        std::ofstream(Dir / f).put('x');
    fs::create_directory(Dir / "d10");
    fs::create_directory(Dir / "d9");
    const std::vector<TShellChild> sorted = Sorted(Dir.Path());
    const std::vector<std::string> names = Names(sorted);
    ASSERT_EQ(names.size(), files.size() + 2);
    EXPECT_EQ(names[0], "d9");
    EXPECT_EQ(names[1], "d10");
    auto at = [&](const std::string& n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    EXPECT_LT(at("a2"), at("a10"));
    EXPECT_LT(at("a10"), at("a100"));
    EXPECT_LT(at("a9b"), at("a10a"));
    EXPECT_LT(at("x1y9"), at("x1y10"));
    EXPECT_LT(at("n0"), at("n01x"));
    EXPECT_LT(at("file2.txt"), at("file10.txt"));
    EXPECT_LT(at("z99999999999999999999"), at("z100000000000000000000"));
    for (size_t i = 0; i < sorted.size(); ++i)
        for (size_t j = i + 1; j < sorted.size(); ++j)
            EXPECT_LT(Namespace->CompareIDs(Folder, sorted[i], sorted[j]), 0) << names[i] << " / " << names[j];
}

TEST_F(ShellNamespaceSort, BigFolderOfMixedNamesInCodePointOrder) {
    if (!CodePointCollation())
        GTEST_SKIP() << "the user's collation is not code point order here";
    // Names sharing long beginnings, digit runs of every length with leading zeros,
    // bytes above 0x7f, dots and blanks: each with its own place in the order.
    std::mt19937 random(7);
    const std::string pieces[] = {"0", "00", "7", "42", "0042", "999", "1000", "123456789012", "a", "A", "b", ".",
                                  " ", "_", "-", "\xc3\xa9", "\xe4\xb8\xad", "file", "file0", "report 2024-"};
    std::set<std::string> keys;
    std::vector<std::string> names;
    while (names.size() < 1500) {
        std::string name = "shared-beginning-";
        const int parts = 1 + static_cast<int>(random() % 5);
        for (int p = 0; p < parts; ++p)
            name += pieces[random() % std::size(pieces)];
        if (name.back() == ' ' || name.back() == '.' || !keys.insert(ReferenceKey(name)).second)
            continue;
        names.push_back(name);
        std::ofstream(Dir / name).put('x');
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return ReferenceKey(a) < ReferenceKey(b); });
    EXPECT_EQ(Names(Sorted(Dir.Path())), names);
}
