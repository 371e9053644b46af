#include "core/EMorvaneError.h"
#include "core/TMemoryStream.h"
#include "core/TSetting.h"
#include "core/TTolvikReader.h"
#include "platform/FileIo.h"

#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace fs = std::filesystem;

namespace {

std::string Rec(std::string_view name, std::string_view value) {
    return std::string(1, static_cast<char>(name.size())) + std::string(name) + std::string(value);
}
std::string Bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

// The defaults, record by record, as the file must hold them.
const std::pair<const char*, bool> DefaultFlags[] = {
    {"AutoClean", false},
    {"AutoCleanShutDown", false},
    {"IfShowChart", false},
    {"IfIncludeDir", false},
    {"ShowTips", false},
    {"AutoUpdate", true},
    {"IfCleanZeroDir", false},
    {"IfCleanZeroFile", false},
    {"IfClean_Windows_Recent_Files", false},
    {"IfClean_ZeroFile", true},
    {"IfClean_ZeroDir", true},
    {"IfClean_Internet_Explorer_Temporary_Files", true},
    {"IfClean_Internet_Explorer_History", true},
    {"IfClean_Internet_Explorer_Cookies", true},
    {"IfClean_Windows_Find_History", true},
    {"IfClean_Windows_Run_History", true},
    {"IfClean_Windows_Temporary_Files", true},
    {"IfClean_Recycle_Bin", true},
    {"IfClean_Broken_ShutCuts", true},
};

std::string DefaultsFile() {
    std::string s;
    for (const auto& [name, value] : DefaultFlags)
        s += Rec(name, value ? "\x09" : "\x08");
    return s + Rec("SlicePercent", Bytes({0x02, 0x0A}));
}

std::string Saved(const TSetting& setting, const TTempDir& dir) {
    const fs::path p = dir / "saved.cfg";
    setting.SaveToFile(p);
    return TTempDir::Read(p);
}

// Applies raw records to a setting and gives the error text, or "" when it read through.
std::string LoadText(TSetting& setting, const std::string& bytes) {
    TMemoryStream stream(bytes);
    try {
        LoadObjectFromStream(stream, setting);
    } catch (const EMorvaneError& e) {
        return e.what();
    }
    return {};
}

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Every way a read of the settings file may fail, and nothing else.
bool IsDefinedReadOutcome(const std::string& text) {
    if (text.empty() || text == "Stream read error")
        return true;
    const std::string prefix = "Error reading TSetting.";
    if (text.rfind(prefix, 0) != 0)
        return false;
    return EndsWith(text, ": Invalid property value") || EndsWith(text, ": Stream read error") ||
           (EndsWith(text, " does not exist") && text.find(": Property ") != std::string::npos);
}

class SettingFile : public ::testing::Test {
protected:
    TTempDir Dir;
    TSetting Fresh{Dir / "none.cfg"};
};

} // namespace

TEST_F(SettingFile, FirstStartHasTheDefaultsAndSavesThemAs443Bytes) {
    EXPECT_EQ(Fresh.LoadErrorText(), "");
    EXPECT_EQ(Fresh.LastCleanDate(), 0);
    EXPECT_EQ(Fresh.SlicePercent(), 10);
    const std::string saved = Saved(Fresh, Dir);
    EXPECT_EQ(saved.size(), 443u);
    EXPECT_EQ(saved, DefaultsFile());
    EXPECT_EQ(saved.substr(saved.size() - 15), Rec("SlicePercent", Bytes({0x02, 0x0A})));
}

TEST_F(SettingFile, EveryPropertyRoundTripsThroughTheFile) {
    // Flip every Boolean away from its default and move the others.
    for (const TPropertyInfo& property : Fresh.PublishedProperties())
        if (property.Kind == TPropertyKind::Boolean)
            property.Set(Fresh, !std::get<bool>(property.Get(Fresh)));
    Fresh.SetLastCleanDate(39613.5);
    Fresh.SetSlicePercent(-5);
    Fresh.SaveToFile(Dir / "all.cfg");
    EXPECT_EQ(TTempDir::Read(Dir / "all.cfg").size(), 443u + 25u);

    TSetting back(Dir / "all.cfg");
    EXPECT_EQ(back.LoadErrorText(), "");
    for (const TPropertyInfo& property : Fresh.PublishedProperties())
        EXPECT_EQ(property.Get(back), property.Get(Fresh)) << property.Name;
}

TEST_F(SettingFile, DateRecordSitsInTableOrderAndZeroIsNotWritten) {
    Fresh.SetLastCleanDate(1.0);
    const std::string saved = Saved(Fresh, Dir);
    EXPECT_EQ(saved.size(), 468u);
    const std::string date = Rec("LastCleanDate", Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    EXPECT_EQ(saved.find(date), Rec("AutoClean", "\x08").size() + Rec("AutoCleanShutDown", "\x08").size());

    Fresh.SetLastCleanDate(0);
    EXPECT_EQ(Saved(Fresh, Dir).find("LastCleanDate"), std::string::npos);
}

TEST_F(SettingFile, DatesRoundTripExactly) {
    const double oneMs = 1.0 / 86400000.0;
    for (double date : {1.0, 39613.5, -1.25, -693593.0, 39613.0 + 1.0 / 86400.0,
                        45000.0 + 12345 * oneMs, 2958465.99999, 1e-300}) {
        Fresh.SetLastCleanDate(date);
        Fresh.SaveToFile(Dir / "d.cfg");
        TSetting back(Dir / "d.cfg");
        EXPECT_EQ(back.LoadErrorText(), "") << date;
        EXPECT_EQ(back.LastCleanDate(), date);
    }
}

TEST_F(SettingFile, IntegersTakeTheSmallestTag) {
    const std::pair<int32_t, std::string> cases[] = {
        {200, Bytes({0x03, 0xC8, 0x00})},
        {-1, Bytes({0x02, 0xFF})},
        {70000, Bytes({0x04, 0x70, 0x11, 0x01, 0x00})},
        {127, Bytes({0x02, 0x7F})},
        {-128, Bytes({0x02, 0x80})},
        {128, Bytes({0x03, 0x80, 0x00})},
        {-129, Bytes({0x03, 0x7F, 0xFF})},
        {32767, Bytes({0x03, 0xFF, 0x7F})},
        {-32769, Bytes({0x04, 0xFF, 0x7F, 0xFF, 0xFF})},
        {std::numeric_limits<int32_t>::min(), Bytes({0x04, 0, 0, 0, 0x80})},
    };
    for (const auto& [value, tail] : cases) {
        Fresh.SetSlicePercent(value);
        const std::string saved = Saved(Fresh, Dir);
        EXPECT_TRUE(EndsWith(saved, Rec("SlicePercent", tail))) << value;
        TSetting back(Dir / "saved.cfg");
        EXPECT_EQ(back.SlicePercent(), value);
    }
}

TEST_F(SettingFile, ReaderAcceptsEveryTagOfEachKindInAnyOrderLaterRecordWinning) {
    const std::string bytes =
        Rec("SlicePercent", Bytes({0x02, 0x05})) + Rec("ShowTips", Bytes({0x07, 4}) + "TRUE") +
        Rec("AutoUpdate", Bytes({0x07, 5}) + "false") + Rec("AutoClean", "\x09") +
        Rec("AutoClean", "\x08") + Rec("LastCleanDate", Bytes({0x13, 0x0D, 0x9B, 0, 0, 0, 0, 0, 0})) +
        Rec("SlicePercent", Bytes({0x04, 0xA0, 0x86, 0x01, 0x00}));
    EXPECT_EQ(LoadText(Fresh, bytes), "");
    EXPECT_EQ(Fresh.SlicePercent(), 100000);
    EXPECT_TRUE(Fresh.ShowTips());
    EXPECT_FALSE(Fresh.AutoUpdate());
    EXPECT_FALSE(Fresh.AutoClean());
    EXPECT_EQ(Fresh.LastCleanDate(), 39693.0);
    EXPECT_TRUE(Fresh.IfClean_Recycle_Bin()); // not in the file: keeps its value

    for (const auto& [tagged, days] : {std::pair{Bytes({0x02, 0xFE}), -2.0},
                                       std::pair{Bytes({0x03, 0x10, 0x27}), 10000.0},
                                       std::pair{Bytes({0x04, 0x40, 0x42, 0x0F, 0x00}), 1e6}}) {
        EXPECT_EQ(LoadText(Fresh, Rec("LastCleanDate", tagged)), "");
        EXPECT_EQ(Fresh.LastCleanDate(), days);
    }
}

TEST_F(SettingFile, ReadFailuresStopWithTheirTextAndKeepEarlierRecords) {
    const std::string before = Rec("AutoClean", "\x09") + Rec("SlicePercent", Bytes({0x02, 0x30}));
    const std::string after = Rec("ShowTips", "\x09");
    struct TCase {
        std::string Bad;
        bool EndsFile; // a truncated record can only be the last thing in the file
        std::string Text;
    };
    const TCase cases[] = {
        {Rec("Bogus", "\x09"), false, "Error reading TSetting.Bogus: Property Bogus does not exist"},
        {Rec("ShowTips", Bytes({0x02, 0x01})), false, "Error reading TSetting.ShowTips: Invalid property value"},
        {Rec("ShowTips", Bytes({0x07, 3}) + "Yes"), false, "Error reading TSetting.ShowTips: Invalid property value"},
        {Rec("SlicePercent", "\x09"), false, "Error reading TSetting.SlicePercent: Invalid property value"},
        {Rec("LastCleanDate", "\x08"), false, "Error reading TSetting.LastCleanDate: Invalid property value"},
        {Rec("SlicePercent", Bytes({0x04, 0x01, 0x02})), true, "Error reading TSetting.SlicePercent: Stream read error"},
        {Rec("ShowTips", ""), true, "Error reading TSetting.ShowTips: Stream read error"},
        {Rec("AutoUpdate", Bytes({0x07, 5}) + "Fal"), true, "Error reading TSetting.AutoUpdate: Stream read error"},
        {Bytes({12}) + "SlicePer", true, "Stream read error"},
    };
    for (const TCase& c : cases) {
        TSetting setting(Dir / "none.cfg");
        EXPECT_EQ(LoadText(setting, before + c.Bad + (c.EndsFile ? "" : after)), c.Text);
        EXPECT_TRUE(setting.AutoClean()) << c.Text;
        EXPECT_EQ(setting.SlicePercent(), 0x30);
        EXPECT_FALSE(setting.ShowTips());
    }
}

TEST_F(SettingFile, ControlBytesInAnUnknownNameShowAsQuestionMarks) {
    EXPECT_EQ(LoadText(Fresh, Rec(std::string("Auto\0Clean\n", 11), "\x08")),
              "Error reading TSetting.Auto?Clean?: Property Auto?Clean? does not exist");
}

TEST_F(SettingFile, DatesOutsideTheCalendarAreRefused) {
    // Infinity, NaN, and a day count past the year 9999 cannot be shown as a date.
    for (const std::string& value : {Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}),
                                     Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}),
                                     Bytes({0x13, 0, 0, 0, 0, 0, 0, 0, 0x40})}) {
        EXPECT_EQ(LoadText(Fresh, Rec("LastCleanDate", value)),
                  "Error reading TSetting.LastCleanDate: Invalid property value");
        EXPECT_EQ(Fresh.LastCleanDate(), 0);
    }
}

TEST_F(SettingFile, FailedReadAtStartGoesOnWithDefaultsAndStillLoadsTheRest) {
    const fs::path cfg = Dir.Write("bad.cfg", Rec("AutoClean", "\x09") + Rec("Nope", "\x08"));
    Dir.Write("bad.cfg.Garbage", "*.X\r\nx\r\nY\r\n");
    TSetting setting(cfg);
    EXPECT_EQ(setting.LoadErrorText(), "Error reading TSetting.Nope: Property Nope does not exist");
    EXPECT_FALSE(setting.AutoClean());
    ASSERT_EQ(setting.Garbages().Count(), 1);
    EXPECT_EQ(setting.Garbages()[0].GarbageName(), "*.X");

    // A later explicit load that fails leaves the junk types as they were.
    Dir.Write("bad.cfg.Garbage", "");
    EXPECT_THROW(setting.LoadFromFile(cfg), EMorvaneError);
    EXPECT_EQ(setting.Garbages().Count(), 1);
}

TEST_F(SettingFile, UnopenableSettingsFileIsReported) {
    fs::create_directory(Dir / "dir.cfg");
    TSetting setting(Dir / "dir.cfg");
    EXPECT_EQ(setting.LoadErrorText().rfind("Cannot open file \"" + (Dir / "dir.cfg").string() + "\". ", 0), 0u);
}

TEST(SettingFileRobustness, GarbageInputEndsInADefinedOutcome) {
    TTempDir dir;
    TSetting setting(dir / "none.cfg");
    setting.SetLastCleanDate(39613.75);
    setting.SetSlicePercent(70000);
    setting.SaveToFile(dir / "v.cfg");
    const std::string valid = TTempDir::Read(dir / "v.cfg");

    for (size_t length = 0; length < valid.size(); ++length) {
        const std::string text = LoadText(setting, valid.substr(0, length));
        EXPECT_TRUE(IsDefinedReadOutcome(text)) << length << ": " << text;
    }
    for (size_t bit = 0; bit < valid.size() * 8; ++bit) {
        std::string flipped = valid;
        flipped[bit / 8] = static_cast<char>(flipped[bit / 8] ^ (1 << (bit % 8)));
        const std::string text = LoadText(setting, flipped);
        EXPECT_TRUE(IsDefinedReadOutcome(text)) << bit << ": " << text;
    }
    std::mt19937 random(20240611);
    std::string noise(1 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    const fs::path noisy = dir.Write("noise.cfg", noise);
    TSetting fromNoise(noisy);
    EXPECT_TRUE(IsDefinedReadOutcome(fromNoise.LoadErrorText())) << fromNoise.LoadErrorText();
    EXPECT_NE(fromNoise.LoadErrorText(), "");
}

TEST(SettingFileSave, ReadOnlyFolderGivesCannotCreateAndKeepsTheOldFiles) {
    if (!PermissionsCanRefuseWrites())
        GTEST_SKIP() << "folder permissions do not refuse writes here";
    TTempDir dir;
    const fs::path cfg = dir.Write("ro/Morvane.cfg", "old settings");
    dir.Write("ro/Morvane.cfg.Garbage", "old types");
    OpenToEveryone((dir / "ro").string());
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(cfg, fs::perms::owner_read | fs::perms::others_read);
    const std::string text = RunUnprivileged([&] {
        TSetting setting(dir / "none.cfg");
        try {
            setting.SaveToFile(cfg);
        } catch (const EMorvaneError& e) {
            return std::string(e.what());
        }
        return std::string("saved");
    });
    EXPECT_EQ(text, "Cannot create file \"" + cfg.string() + "\". Permission denied");
    EXPECT_EQ(TTempDir::Read(cfg), "old settings");
    EXPECT_EQ(TTempDir::Read(dir / "ro/Morvane.cfg.Garbage"), "old types");
}

TEST(SettingFileSave, OversizedSettingsFileIsReportedAndKept) {
    TTempDir dir;
    const fs::path cfg = dir.Write("Morvane.cfg", "");
    fs::resize_file(cfg, Platform::MaxListFileSize + 1);
    TSetting setting(cfg);
    const std::string prefix = "Cannot open file \"" + cfg.string() + "\". ";
    EXPECT_EQ(setting.LoadErrorText(), prefix + "File is larger than 16 MiB");
    EXPECT_THROW(setting.SaveToFile(cfg), EMorvaneError);
    EXPECT_EQ(fs::file_size(cfg), Platform::MaxListFileSize + 1);
}
