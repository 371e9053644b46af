// A FIFO or a link to /dev/zero where a list or the settings file should be: read at
// once as unreadable, with the message the file's readers give, and never replaced.
#include "core/EMorvaneError.h"
#include "core/TProtectedFiles.h"
#include "core/TSetting.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const char* const Kept = "The file cannot be read (Not a regular file), so it is kept as it is";

// Both kinds of special file at path in turn: body runs once for each, in a fresh folder.
template <typename TBody> void ForEachSpecialFile(const fs::path& name, TBody body) {
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "link to /dev/zero");
        TTempDir dir;
        const fs::path path = dir / name;
        if (fifo)
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        else
            fs::create_symlink("/dev/zero", path);
        body(dir, path);
        EXPECT_TRUE(fifo ? fs::is_fifo(path) : fs::is_symlink(path)) << "replaced";
    }
}

std::string SaveError(const TSetting& setting, const fs::path& path) {
    try {
        setting.SaveToFile(path);
    } catch (const EMorvaneError& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(SpecialListFiles, SettingsFileIsReportedTheRunGoesOnWithDefaultsAndItIsKept) {
    ForEachSpecialFile("Morvane.cfg", [](const TTempDir& dir, const fs::path& cfg) {
        dir.Write("Morvane.cfg.Garbage", "*.X\r\nx\r\nY\r\n");
        TSetting setting(cfg);
        EXPECT_EQ(setting.LoadErrorText(),
                  "Cannot open file \"" + cfg.string() + "\". Not a regular file");
        EXPECT_TRUE(setting.AutoUpdate());
        ASSERT_EQ(setting.Garbages().Count(), 1); // the junk types still load
        setting.Garbages().Add("*.Y", "y", false);
        EXPECT_EQ(SaveError(setting, cfg), "Cannot create file \"" + cfg.string() + "\". " + Kept);
        EXPECT_EQ(TTempDir::Read(dir / "Morvane.cfg.Garbage"), "*.X\r\nx\r\nY\r\n");
    });
}

TEST(SpecialListFiles, JunkTypesFileReadsAsEmptyWithoutAMessageAndIsKept) {
    ForEachSpecialFile("Morvane.cfg.Garbage", [](const TTempDir& dir, const fs::path&) {
        TSetting setting(dir / "Morvane.cfg");
        EXPECT_EQ(setting.LoadErrorText(), "");
        EXPECT_EQ(setting.Garbages().Count(), 0); // not the first start's default types
        setting.Garbages().Add("*.Y", "y", false);
        EXPECT_EQ(SaveError(setting, dir / "Morvane.cfg"), "");
        EXPECT_EQ(TTempDir::Read(dir / "Morvane.cfg").size(), 443u);
    });
}

TEST(SpecialListFiles, ProtectedFilesFileCannotBeOpenedNorReplaced) {
    ForEachSpecialFile("Option2.CFG", [](const TTempDir&, const fs::path& path) {
        try {
            LoadProtectedFiles(path);
            ADD_FAILURE() << "read";
        } catch (const EMorvaneError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot open file \"" + path.string() + "\". Not a regular file");
        }
        try {
            SaveProtectedFiles(path, {"a.txt"});
            ADD_FAILURE() << "written";
        } catch (const EMorvaneError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot create file \"" + path.string() + "\". " + Kept);
        }
    });
}
