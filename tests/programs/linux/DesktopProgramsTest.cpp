#include "platform/linux/TDesktopPrograms.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

using Platform::TDesktopPrograms;
using Platform::TProgramSources;

TEST(DesktopPrograms, ListsMenuApplicationsWithTheirPackages) {
    TTempDir root;
    const auto user = root / "home/applications";
    const auto system = root / "usr/share/applications";
    root.Write("home/applications/firefox-esr.desktop", "[Desktop Entry]\nType=Application\nName=Mine\nExec=firefox\n");
    root.Write("usr/share/applications/firefox-esr.desktop",
               "[Desktop Entry]\nType=Application\nName=Firefox ESR\nName[zh_CN]=火狐\nExec=firefox\n");
    root.Write("usr/share/applications/gimp.desktop",
               "[Desktop Entry]\nType=Application\nName=GNU Image\nName[zh_CN]=GIMP 图像\nExec=gimp\n");
    root.Write("usr/share/applications/hidden.desktop", "[Desktop Entry]\nType=Application\nName=H\nNoDisplay=true\n");
    root.Write("usr/share/applications/orphan.desktop", "[Desktop Entry]\nType=Application\nName=Orphan\n");
    root.Write("flatpak/exports/share/applications/org.example.App.desktop",
               "[Desktop Entry]\nType=Application\nName=Flat App\n");
    root.Write("flatpak/app/org.example.App/current/active/files/bin/app", std::string(2048, 'x'));
    root.Write("flatpak/exports/share/applications/org.example.App.Tool.desktop",
               "[Desktop Entry]\nType = Application\nName = Flat Tool\n");
    root.Write("snapd/desktop/applications/hello_hello.desktop", "[Desktop Entry]\nType=Application\nName=Hello\n");
    root.Write("snaps/hello_42.snap", std::string(4096, 's'));
    std::filesystem::create_directories(root / "snap/hello");
    std::filesystem::create_directory_symlink("42", root / "snap/hello/current");
    root.Write("dpkg/info/firefox-esr.list", "/usr/lib/firefox-esr/firefox\n");
    root.Write("dpkg/info/hello-multi.list", "/usr/lib/x86_64-linux-gnu/libx.so\n/usr/lib/x86_64-linux-gnu/hello/plug.so\n" +
                                             (system / "hello-multi.desktop").string() + "\n");
    root.Write("usr/share/applications/hello-multi.desktop", "[Desktop Entry]\nType=Application\nName=Multi\n");
    root.Write("dpkg/status", "Package: gimp\nInstalled-Size: 19000\n\nPackage: firefox-esr\nInstalled-Size: 250000\n");
    // The dpkg lists name real system paths; the fake folders stand in for them here.
    root.Write("dpkg/info/gimp.list", "/usr/share/doc/gimp/copyright\n/usr/lib/gimp/2.0/plug\n" +
                                      (system / "gimp.desktop").string() + "\n");
    TProgramSources sources;
    sources.ApplicationFolders = {user, system, root / "flatpak/exports/share/applications",
                                  root / "snapd/desktop/applications"};
    sources.DpkgInfo = root / "dpkg/info";
    sources.DpkgStatus = root / "dpkg/status";
    sources.FlatpakApps = {root / "flatpak/app"};
    sources.SnapMounts = root / "snap";
    sources.SnapImages = root / "snaps";
    TDesktopPrograms programs(sources);
    const auto keys = programs.ReadKeys();
    ASSERT_TRUE(keys);
    std::vector<std::string> names;
    for (const auto& k : *keys)
        names.push_back(k.KeyName + "|" + k.DisplayName + "|" + k.UninstallString);
    // The user's firefox-esr.desktop hides the system one and no package owns it.
    EXPECT_EQ(names, (std::vector<std::string>{
                         "gimp|GIMP 图像|pkexec apt-get remove --yes -- gimp",
                         "hello-multi|Multi|pkexec apt-get remove --yes -- hello-multi",
                         "org.example.App|Flat Tool|flatpak uninstall --assumeyes -- org.example.App",
                         "org.example.App|Flat App|flatpak uninstall --assumeyes -- org.example.App",
                         "hello|Hello|pkexec snap remove -- hello"}));
    EXPECT_EQ((*keys)[0].SizeKB, 19000);
    EXPECT_EQ((*keys)[0].Location, "/usr/lib/gimp/");
    EXPECT_EQ((*keys)[0].UninstallArgs.back(), "gimp");
    EXPECT_EQ((*keys)[1].Location, "/usr/lib/x86_64-linux-gnu/hello/");
    EXPECT_EQ((*keys)[1].SizeKB, 0); // not in the status file
    EXPECT_EQ((*keys)[2].SizeKB, 2.0);
    EXPECT_EQ((*keys)[4].SizeKB, 4.0);
    EXPECT_EQ((*keys)[4].Location, (root / "snap/hello").string() + "/");
}
