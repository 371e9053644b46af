#include "platform/linux/ExecLine.h"
#include "platform/linux/TDesktopPrograms.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <map>
#include <thread>

namespace fs = std::filesystem;
using Platform::TCommandResult;
using Platform::TDesktopPrograms;
using Platform::TProgramSources;
using Platform::TUninstallKey;
using ::testing::ElementsAre;

namespace {

// The package system's answers, as dpkg-query, flatpak and snap would give them.
class TFakePackages {
public:
    std::map<std::string, std::string> Owners;             // path -> package
    std::map<std::string, std::string> Sizes;              // package -> Installed-Size
    std::map<std::string, std::vector<std::string>> Files; // package -> its files
    std::map<std::string, std::string> Status;             // package -> "ii ", "rc "...
    std::vector<std::string> Installed;                    // flatpaks and snaps
    int Searches = 0;

    TCommandResult operator()(const std::vector<std::string>& argv) {
        TCommandResult r{true, 0, {}};
        const std::vector<std::string> names(
            argv.begin() + std::min<size_t>(argv.size(), Tail(argv)), argv.end());
        if (argv[0] == "flatpak" || argv[0] == "snap") {
            r.ExitCode = std::count(Installed.begin(), Installed.end(), names.at(0)) ? 0 : 1;
            return r;
        }
        const std::string& command = argv.at(1);
        for (const std::string& name : names) {
            if (command == "--search") {
                std::string path;
                for (size_t i = 0; i < name.size(); ++i)
                    path += name[i] == '\\' ? name[++i] : name[i];
                if (Owners.count(path))
                    r.Output += Owners[path] + ": " + path + "\n";
            } else if (command == "--listfiles") {
                for (const std::string& file : Files[name])
                    r.Output += file + "\n";
                if (&name != &names.back())
                    r.Output += "\n";
            } else if (argv.at(2) == "--showformat=${db:Status-Abbrev}") {
                r.Output += Status.count(name) ? Status[name] : "";
            } else if (Sizes.count(name)) {
                r.Output += name + "\t" + name + "\t" + Sizes[name] + "\n";
            }
        }
        Searches += command == "--search";
        return r;
    }

private:
    static size_t Tail(const std::vector<std::string>& argv) {
        return static_cast<size_t>(std::find(argv.begin(), argv.end(), "--") - argv.begin()) + 1;
    }
};

class DesktopPrograms : public ::testing::Test {
protected:
    DesktopPrograms() {
        Sources.ApplicationFolders = {User, System, Root / "flatpak/exports/share/applications",
                                      Root / "snapd/desktop/applications"};
        Sources.SearchPath = {Root / "bin"};
        Sources.FlatpakApps = {Root / "flatpak/app"};
        Sources.SnapMounts = Root / "snap";
        Sources.SnapImages = Root / "snaps";
        Sources.Run = [this](const std::vector<std::string>& argv) { return Packages(argv); };
    }
    // An executable in the fixture's bin folder.
    fs::path Program(const std::string& name) {
        const fs::path p = Root.Write("bin/" + name, "#!/bin/sh\n");
        fs::permissions(p, fs::perms::owner_all);
        return p;
    }
    fs::path Entry(const fs::path& folder, const std::string& file, const std::string& keys) {
        return Root.Write(fs::relative(folder / file, Root.Path()),
                          "[Desktop Entry]\nType=Application\n" + keys);
    }
    std::vector<std::string> Rows(const std::vector<TUninstallKey>& keys) const {
        std::vector<std::string> rows;
        for (const auto& k : keys)
            rows.push_back(k.KeyName + "|" + k.DisplayName + "|" + k.UninstallString);
        return rows;
    }

    TTempDir Root;
    const fs::path User = Root / "home/applications";
    const fs::path System = Root / "usr/share/applications";
    TFakePackages Packages;
    TProgramSources Sources;
};

TEST_F(DesktopPrograms, EachPackageIsOneProgramFoundThroughTheProgramItRuns) {
    // vim's menu entry belongs to vim-common, its program (through the alternatives link)
    // to vim, which is what removing Vim takes away.
    Entry(System, "vim.desktop", "Name=Vim\nExec=vim %F\n");
    fs::create_directories(Root / "etc/alternatives");
    const fs::path basic = Program("vim.basic");
    fs::create_symlink(basic, Root / "etc/alternatives/vim");
    fs::create_symlink(Root / "etc/alternatives/vim", Root / "bin/vim");
    Packages.Owners[(System / "vim.desktop").string()] = "vim-common";
    Packages.Owners[basic.string()] = "vim";
    Packages.Sizes = {{"vim", "3800"},
                      {"vim-common", "245"},
                      {"xterm", "1500"},
                      {"firefox-esr", "250000"},
                      {"gimp", "19000"},
                      {"foo", "12"},
                      {"debian-reference-en", "900"},
                      {"coreutils-x", "1"}};
    // One package, two entries: one program, its size once.
    Entry(System, "xterm.desktop", "Name=XTerm\nExec=xterm\n");
    Entry(System, "uxterm.desktop", "Name=UXTerm\nExec=uxterm\n");
    Packages.Owners[Program("xterm").string()] = "xterm";
    Packages.Owners[Program("uxterm").string()] = "xterm";
    // The user's own copy of an entry, with a program of the user's: shown in its place,
    // under the system entry's package.
    Entry(User, "firefox-esr.desktop", "Name=My Firefox\nExec=/home/me/bin/private-firefox %u\n");
    Entry(System, "firefox-esr.desktop",
          "Name=Firefox ESR\nName[zh_CN]=火狐\nExec=firefox-esr %u\n");
    Packages.Owners[Program("firefox-esr").string()] = "firefox-esr";
    // A user's copy that only hides the entry from the menu does not hide the program.
    Root.Write("home/applications/gimp.desktop", "[Desktop Entry]\nNoDisplay=true\n");
    Entry(System, "gimp.desktop",
          "Name=GNU Image\nName[zh_CN]=GIMP 图像\nExec=env GDK_BACKEND=x11 gimp-2.10 %U\n");
    Packages.Owners[Program("gimp-2.10").string()] = "gimp";
    Packages.Files["gimp"] = {"/usr/share/doc/gimp/copyright", "/usr/lib/gimp/2.0/plug",
                              "/usr/bin/gimp-2.10"};
    // A script is the program, not its interpreter.
    Entry(System, "foo.desktop", "Name=Foo\nExec=python3 /usr/share/foo/foo.py\n");
    Packages.Owners[Program("python3").string()] = "python3-minimal";
    Packages.Owners["/usr/share/foo/foo.py"] = "foo";
    // A link opened in the browser belongs to the entry's own package, not the browser's.
    Entry(System, "debian-reference.desktop",
          "Name=Reference\nExec=sensible-browser /usr/share/doc/ref.html\n");
    Packages.Owners[Program("sensible-browser").string()] = "sensible-utils";
    Packages.Owners[(System / "debian-reference.desktop").string()] = "debian-reference-en";
    // The database knows the program under /bin, the entry names it under /usr/bin.
    Entry(System, "merged.desktop", "Name=Merged\nExec=\"/usr/bin/merged tool\" --x\n");
    Packages.Owners["/bin/merged tool"] = "coreutils-x";
    // Neither listed: no package owns it, or the menu does not show it.
    Entry(System, "orphan.desktop", "Name=Orphan\nExec=orphan\n");
    Entry(System, "hidden.desktop", "Name=H\nNoDisplay=true\nExec=xterm\n");

    const auto keys = TDesktopPrograms(Sources).ReadKeys();
    ASSERT_TRUE(keys);
    EXPECT_THAT(Rows(*keys),
                ElementsAre("firefox-esr|My Firefox|pkexec apt-get remove --yes -- firefox-esr",
                            "gimp|GIMP 图像|pkexec apt-get remove --yes -- gimp",
                            "debian-reference-en|Reference|pkexec apt-get remove --yes -- "
                            "debian-reference-en",
                            "foo|Foo|pkexec apt-get remove --yes -- foo",
                            "coreutils-x|Merged|pkexec apt-get remove --yes -- coreutils-x",
                            "xterm|XTerm|pkexec apt-get remove --yes -- xterm",
                            "vim|Vim|pkexec apt-get remove --yes -- vim"));
    EXPECT_EQ((*keys)[0].SizeKB, 250000);
    EXPECT_EQ((*keys)[1].Location, "/usr/lib/gimp/");
    EXPECT_EQ((*keys)[5].SizeKB, 1500);
    EXPECT_THAT((*keys)[5].EntryNames, ElementsAre("UXTerm", "XTerm"));
    EXPECT_TRUE((*keys)[6].EntryNames.empty());
    EXPECT_EQ((*keys)[6].SizeKB, 3800);
    EXPECT_EQ((*keys)[6].UninstallArgs.back(), "vim");
    // No folder of its own: the folder of its program.
    EXPECT_EQ((*keys)[6].Location, (Root / "bin").string() + "/");
    EXPECT_EQ((*keys)[2].Location, ""); // found by its desktop file: no program folder
    EXPECT_EQ(Packages.Searches, 1);    // every file asked about at once
}

TEST_F(DesktopPrograms, FlatpaksAndSnapsAreOneProgramEachWithTheirOwnSize) {
    Entry(Root / "flatpak/exports/share/applications", "org.example.App.desktop",
          "Name=Flat App\n");
    Root.Write("flatpak/app/org.example.App/current/active/files/bin/app", std::string(2048, 'x'));
    Root.Write("flatpak/exports/share/applications/org.example.App.Tool.desktop",
               "[Desktop Entry]\nType = Application\nName = Flat Tool\n");
    Entry(Root / "snapd/desktop/applications", "hello_hello.desktop", "Name=Hello\n");
    Root.Write("snaps/hello_42.snap", std::string(4096, 's'));
    fs::create_directories(Root / "snap/hello");
    fs::create_directory_symlink("42", Root / "snap/hello/current");
    // A package whose folder lies below the multiarch library folder.
    Entry(System, "hello-multi.desktop", "Name=Multi\n");
    Packages.Owners[(System / "hello-multi.desktop").string()] = "hello-multi";
    Packages.Files["hello-multi"] = {"/usr/lib/x86_64-linux-gnu/libx.so",
                                     "/usr/lib/x86_64-linux-gnu/hello/plug.so"};

    const auto keys = TDesktopPrograms(Sources).ReadKeys();
    ASSERT_TRUE(keys);
    EXPECT_THAT(
        Rows(*keys),
        ElementsAre("hello-multi|Multi|pkexec apt-get remove --yes -- hello-multi",
                    "org.example.App|Flat App|flatpak uninstall --assumeyes -- org.example.App",
                    "hello|Hello|pkexec snap remove -- hello"));
    EXPECT_EQ((*keys)[0].Location, "/usr/lib/x86_64-linux-gnu/hello/");
    EXPECT_EQ((*keys)[0].SizeKB, 0); // the package system gave no size
    EXPECT_EQ((*keys)[1].SizeKB, 2.0);
    EXPECT_THAT((*keys)[1].EntryNames, ElementsAre("Flat Tool", "Flat App"));
    EXPECT_EQ((*keys)[2].SizeKB, 4.0);
    EXPECT_EQ((*keys)[2].Location, (Root / "snap/hello").string() + "/");
}

TEST_F(DesktopPrograms, ExecLinesNameTheirProgramsFile) {
    const std::vector<fs::path> path{Root / "bin"};
    Program("tool");
    Program("python3.11");
    Program("java");
    EXPECT_THAT(Platform::ExecOwnerCandidates("tool --new-window %U", path),
                ElementsAre(Root / "bin/tool"));
    EXPECT_THAT(Platform::ExecOwnerCandidates(
                    "env A=1 B=\"2 3\" pkexec --disable-internal-agent tool", path),
                ElementsAre(Root / "bin/tool"));
    EXPECT_THAT(Platform::ExecOwnerCandidates("/usr/sbin/gparted\\s%f", path),
                ElementsAre("/usr/sbin/gparted", "/sbin/gparted"));
    EXPECT_THAT(Platform::ExecOwnerCandidates("\"/opt/My \\\"App\\\"/run\" %F", path),
                ElementsAre("/opt/My \"App\"/run"));
    EXPECT_THAT(Platform::ExecOwnerCandidates("python3.11 -O /usr/share/x/x.py", path),
                ElementsAre("/usr/share/x/x.py"));
    EXPECT_THAT(Platform::ExecOwnerCandidates("java -jar /opt/x/x.jar", path),
                ElementsAre("/opt/x/x.jar"));
    for (const char* none :
         {"python3.11 -m http.server", "sh -c \"tool; tool\"", "xdg-open https://example.org/",
          "flatpak run org.example.App", "missing-tool", "", "env A=1", "./relative"})
        EXPECT_TRUE(Platform::ExecOwnerCandidates(none, path).empty()) << none;
}

// The uninstaller runs as a real child process; the package system is asked afterwards.
TEST_F(DesktopPrograms, AnUninstallEndsWithThePackageSystemsWordAndTheUninstallersLastLine) {
    TDesktopPrograms programs(Sources);
    TUninstallKey key;
    key.Source = "dpkg";
    key.KeyName = "vim";
    const auto outcome = [&](std::vector<std::string> argv) {
        key.UninstallArgs = std::move(argv);
        auto run = programs.StartUninstaller(key, "");
        for (int i = 0; i < 500 && !run->Finished(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(run->Finished());
        return run->Outcome();
    };
    Packages.Status["vim"] = "ii ";
    auto failed = outcome(
        {"sh", "-c", "echo Reading package lists...; echo 'E: Could not get lock' >&2; exit 100"});
    EXPECT_FALSE(failed.Gone);
    EXPECT_TRUE(failed.Started);
    EXPECT_EQ(failed.ExitCode, 100);
    EXPECT_EQ(failed.Message, "E: Could not get lock");
    auto missing = outcome({(Root / "no-such-uninstaller").string()});
    EXPECT_FALSE(missing.Started);
    EXPECT_FALSE(missing.Gone);
    EXPECT_EQ(missing.Message, "No such file or directory");
    // Only the configuration files are left: the program is gone.
    Packages.Status["vim"] = "rc ";
    EXPECT_TRUE(outcome({"true"}).Gone);
    Packages.Status.erase("vim");
    EXPECT_TRUE(outcome({"true"}).Gone);

    // A running uninstaller does not hold up the window that polls it.
    key.UninstallArgs = {"sleep", "0.5"};
    auto slow = programs.StartUninstaller(key, "");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(slow->Finished());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));

    key.Source = "flatpak";
    key.KeyName = "org.example.App";
    Packages.Installed = {"org.example.App"};
    EXPECT_TRUE(programs.IsInstalled(key));
    Packages.Installed.clear();
    EXPECT_FALSE(programs.IsInstalled(key));
}

TEST(RunCommand, CollectsTheOutputAndTheExitStatus) {
    const TCommandResult echo =
        Platform::RunCommand({"sh", "-c", "echo out; echo err >&2; exit 3"});
    EXPECT_TRUE(echo.Started);
    EXPECT_EQ(echo.ExitCode, 3);
    EXPECT_EQ(echo.Output, "out\n"); // the errors are not mixed in
    // More than a pipe holds, while the child still runs.
    const TCommandResult big = Platform::RunCommand({"head", "-c", "1000000", "/dev/zero"});
    EXPECT_EQ(big.ExitCode, 0);
    EXPECT_EQ(big.Output.size(), 1000000u);
    EXPECT_FALSE(Platform::RunCommand({"no-such-program-anywhere"}).Started);
    EXPECT_EQ(Platform::RunCommand({"sh", "-c", "kill -9 $$"}).ExitCode, 128 + 9);
}

} // namespace
