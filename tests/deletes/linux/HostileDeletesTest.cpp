// Every routine of the program that deletes a folder or empties one, driven through the
// same hostile cases. Canary folders and files outside the routine's folder must keep
// their bytes in every case.
#include "analysis/RowCommands.h"
#include "clean/JunkDelete.h"
#include "core/FileRoutines.h"
#include "core/PathText.h"
#include "deletes/linux/FailingListing.h"
#include "platform/TreeDelete.h"
#include "platform/linux/TLinuxPrivacyRoutines.h"
#include "privacy/FakeHome.h"
#include "support/TTempDir.h"
#include "support/linux/TScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The privacy routines with every folder they use inside the test's folder.
Platform::TLinuxPrivacyRoutines PrivacyIn(const fs::path& root, const fs::path& tmpDir = {}) {
    Platform::TPrivacyPlaces p;
    p.Home = root / "fake-home";
    p.ConfigHome = root / "config";
    p.CacheHome = root / "cache";
    p.DataHome = root / "data";
    p.Desktop = root / "desktop";
    p.TmpDir = tmpDir;
    p.SystemTemp = root / "systmp";
    p.Uid = getuid();
    p.Now = static_cast<int64_t>(std::time(nullptr)) + 2 * 3600; // what the test made counts as old
    return Platform::TLinuxPrivacyRoutines(p);
}

// One deleting routine, pointed at one folder.
struct TRoutine {
    const char* Name;
    const char* TargetRel; // where its folder lies inside the test's folder
    bool RemovesTarget;    // the folder itself goes, not only what is in it
    bool Reports;          // it says whether everything went
    // Runs it; true when it reported success (always for routines that report nothing).
    std::function<bool(const fs::path& root, const fs::path& target)> Run;
};

const TRoutine Routines[] = {
    {"TreeDelete", "target", true, true,
     [](const fs::path&, const fs::path& t) { return DeletePath(t); }},
    {"JunkFolderRow", "target", true, true,
     [](const fs::path&, const fs::path& t) {
         TJunkRow row;
         row.Path = PathText(t);
         row.IsDirectory = true;
         const TCleanRunResult r = CleanCheckedRows({row}, {});
         return r.Removed == 1 && r.StatusText.empty();
     }},
    {"FolderRowContents", "target", false, true,
     [](const fs::path&, const fs::path& t) {
         const TFolderContentsResult r = DeleteFolderContents(t);
         return r.Listed && r.Failed == 0;
     }},
    {"TemporaryFiles", "target", false, false,
     [](const fs::path& root, const fs::path& t) {
         PrivacyIn(root, t).CleanTempFolders();
         return true;
     }},
    {"BrowserCache", "cache/mozilla", false, false,
     [](const fs::path& root, const fs::path&) {
         PrivacyIn(root).CleanTemporaryInternetFiles();
         return true;
     }},
    {"RecentDocuments", "data/RecentDocuments", false, false,
     [](const fs::path& root, const fs::path&) {
         PrivacyIn(root).CleanRecentFolders();
         return true;
     }},
    {"Trash", "data/Trash/files", false, false,
     [](const fs::path& root, const fs::path&) {
         PrivacyIn(root).EmptyRecycleBin();
         return true;
     }},
};

void PrintTo(const TRoutine& routine, std::ostream* os) {
    *os << routine.Name;
}

class HostileDeletes : public ::testing::TestWithParam<TRoutine> {
protected:
    void SetUp() override {
        Root = Dir.Path();
        Target = Root / GetParam().TargetRel;
        fs::create_directories(Root / "systmp");
        fs::create_directories(Root / "fake-home");
        for (int i = 0; i < 10; ++i)
            Dir.Write("canary/f" + std::to_string(i), "canary " + std::to_string(i));
        Dir.Write("canary-file", "canary file");
        FHome.emplace("HOME");
        FOldCwd = fs::current_path();
        // No real volume's trash may be touched.
        FOldVolumes =
            Platform::SetVolumes(std::make_unique<TListedVolumes>(std::vector<std::string>{}));
    }
    void TearDown() override {
        Platform::SetDeleteDescendHook(nullptr);
        Platform::SetAccountHomeLookup(nullptr);
        StopFailingListings();
        FHome.reset();
        std::error_code ec;
        fs::current_path(FOldCwd, ec);
        Platform::SetVolumes(std::move(FOldVolumes));
        // What a failing routine left may be too deep for the temporary folder's own removal.
        Platform::DeleteTree(Target);
    }

    bool Run() { return GetParam().Run(Root, Target); }

    void ExpectCanariesWhole() {
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(TTempDir::Read(Root / "canary" / ("f" + std::to_string(i))),
                      "canary " + std::to_string(i));
        EXPECT_EQ(TTempDir::Read(Root / "canary-file"), "canary file");
    }
    // Everything asked for is gone: the folder, or all that was in it.
    void ExpectTargetCleared() {
        std::error_code ec;
        if (GetParam().RemovesTarget)
            EXPECT_FALSE(fs::exists(fs::symlink_status(Target, ec))) << Target;
        else
            EXPECT_TRUE(fs::is_directory(fs::symlink_status(Target)) && fs::is_empty(Target))
                << Target;
    }

    TTempDir Dir;
    fs::path Root;
    fs::path Target;

private:
    std::optional<TScopedEnv> FHome; // the routines' cases point HOME elsewhere
    fs::path FOldCwd;
    std::unique_ptr<Platform::IVolumes> FOldVolumes;
};

// Builds `depth` nested folders below base from folder handles, so the full path outgrows
// PATH_MAX, with a file in each.
void MakeDeepChain(const fs::path& base, int depth) {
    const std::string name(200, 'd');
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < depth; ++i) {
        ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
        const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        const int f = openat(fd, "data", O_CREAT | O_WRONLY, 0644);
        ASSERT_EQ(write(f, "x", 1), 1);
        close(f);
    }
    close(fd);
}

int EntriesIn(const fs::path& folder) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        (void)e;
        ++n;
    }
    return n;
}

} // namespace

TEST_P(HostileDeletes, AFolderSwappedForALinkBetweenListingAndRemovalIsNotFollowed) {
    for (int i = 0; i < 10; ++i)
        Dir.Write(fs::path(GetParam().TargetRel) / "sub" / ("f" + std::to_string(i)), "mine");
    Dir.Write(fs::path(GetParam().TargetRel) / "other.txt", "mine");
    bool swapped = false;
    Platform::SetDeleteDescendHook([&](const std::string&, std::string_view name) {
        if (name == "sub" && !swapped) {
            swapped = true;
            fs::rename(Target / "sub", Root / "parked");
            fs::create_directory_symlink(Root / "canary", Target / "sub");
        }
    });
    const bool ok = Run();
    EXPECT_TRUE(swapped);
    ExpectCanariesWhole();
    ExpectTargetCleared();
    EXPECT_TRUE(ok);
}

TEST_P(HostileDeletes, ATreeDeeperThanPathMaxGoesWhole) {
    fs::create_directories(Target);
    MakeDeepChain(Target, 30); // about 6,000 bytes of path
    EXPECT_TRUE(Run());
    ExpectTargetCleared();
}

TEST_P(HostileDeletes, LinksToOutsideGoAsLinksAndTheirTargetsStay) {
    Dir.Write(fs::path(GetParam().TargetRel) / "a/file", "mine");
    fs::create_directory_symlink(Root / "canary", Target / "to-canary");
    fs::create_directory_symlink(Root / "canary", Target / "a/to-canary");
    fs::create_symlink(Root / "canary-file", Target / "to-file");
    fs::create_symlink(Root / "nothing-here", Target / "dangling");
    EXPECT_TRUE(Run());
    ExpectCanariesWhole();
    ExpectTargetCleared();
}

// The home folder reached through a link (/home/u -> /data/users/u): the folder asked
// for is a real parent of it, which no text of HOME names.
TEST_P(HostileDeletes, TheRealParentsOfAHomeReachedThroughALinkAreRefused) {
    for (const bool homeSet : {true, false}) {
        for (const char* below : {"u", "users/u"}) {
            SCOPED_TRACE(std::string(homeSet ? "HOME set, " : "HOME unset, ") + below);
            const fs::path real =
                Dir.Write(fs::path(GetParam().TargetRel) / below / "notes.txt", "mine")
                    .parent_path();
            fs::create_directories(Root / "links");
            const fs::path link = Root / "links/u";
            fs::create_directory_symlink(real, link);
            if (homeSet) {
                setenv("HOME", link.c_str(), 1);
            } else {
                unsetenv("HOME");
                Platform::SetAccountHomeLookup([&] { return link; });
            }
            const bool ok = Run();
            EXPECT_EQ(TTempDir::Read(real / "notes.txt"), "mine");
            if (GetParam().Reports) {
                EXPECT_FALSE(ok);
            }
            Platform::SetAccountHomeLookup(nullptr);
            fs::remove(link);
        }
    }
}

// For the temporary-files item this is TMPDIR set to the home folder.
TEST_P(HostileDeletes, TheHomeFolderItselfIsRefused) {
    Dir.Write(fs::path(GetParam().TargetRel) / "notes.txt", "mine");
    Dir.Write(fs::path(GetParam().TargetRel) / "Documents/plan.txt", "mine");
    setenv("HOME", Target.c_str(), 1);
    const bool ok = Run();
    EXPECT_EQ(TTempDir::Read(Target / "notes.txt"), "mine");
    EXPECT_EQ(TTempDir::Read(Target / "Documents/plan.txt"), "mine");
    if (GetParam().Reports) {
        EXPECT_FALSE(ok);
    }
}

// For the recent-documents item this is ~/.local/share/RecentDocuments as a link.
TEST_P(HostileDeletes, AFolderThatIsALinkIsNeverFollowed) {
    fs::create_directories(Target.parent_path());
    fs::create_directory_symlink(Root / "canary", Target);
    Run();
    ExpectCanariesWhole();
}

TEST_P(HostileDeletes, AListingThatFailsMidwayIsAFailureAndWhatItHidStays) {
    for (int i = 0; i < 200; ++i)
        Dir.Write(fs::path(GetParam().TargetRel) / ("f" + std::to_string(i)), "x");
    FailListingOf(Target, 40);
    const bool ok = Run();
    StopFailingListings();
    EXPECT_EQ(EntriesIn(Target), 160);
    if (GetParam().Reports) {
        EXPECT_FALSE(ok);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRoutine, HostileDeletes, ::testing::ValuesIn(Routines),
                         [](const ::testing::TestParamInfo<TRoutine>& p) {
                             return std::string(p.param.Name);
                         });
