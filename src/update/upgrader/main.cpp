// The upgrader program: started by Morvane after an update has been downloaded, it waits
// for Morvane to end, puts the new files in place and starts Morvane again.
#include "update/TUpgrader.h"

#include "platform/Process.h"

#include <QApplication>
#include <QMessageBox>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto start = [](const std::filesystem::path& program, const std::string& text) {
        return Platform::StartDetached({program.string(), text});
    };
    auto infoBox = [&](const std::string& text) {
        QApplication app(argc, argv);
        QMessageBox::information(nullptr, QStringLiteral("Morvane Upgrader"),
                                 QString::fromStdString(text));
    };
    return TUpgrader::Run(args, start, infoBox, [] {});
}
