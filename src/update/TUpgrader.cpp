#include "update/TUpgrader.h"

#include "core/FileRoutines.h"

#include <cstdio>
#include <system_error>
#include <thread>

namespace {

namespace fs = std::filesystem;

constexpr const char* DownloadSuffix = ".uTMP";

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool CanOpenForWriting(const fs::path& file) {
    // "r+" opens without creating or truncating; a running program's file refuses it.
    FILE* f = std::fopen(file.string().c_str(), "r+b");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

// The new file takes the old one's permissions (the program keeps its execute bits);
// a program that is new gets them as well.
void CarryPermissions(const fs::path& from, const fs::path& to, bool program) {
    std::error_code ec;
    auto status = fs::status(to, ec);
    if (!ec && fs::exists(status)) {
        fs::permissions(from, status.permissions(), ec);
    } else if (program) {
        using fs::perms;
        fs::permissions(from, perms::owner_exec | perms::group_exec | perms::others_exec,
                        fs::perm_options::add, ec);
    }
}

// The ".uTMP" files of a folder: regular files only, as the download left them.
std::vector<fs::path> Downloads(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> downloads;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (EndsWith(entry.path().filename().string(), DownloadSuffix) &&
            entry.is_regular_file(ec) && !entry.is_symlink(ec))
            downloads.push_back(entry.path());
    return downloads;
}

} // namespace

void TUpgrader::RemoveDownloads(const fs::path& folder) {
    for (const auto& download : Downloads(folder))
        DeletePath(download);
}

const char* TUpgrader::InfoText() {
    return "Morvane Upgrader puts a downloaded update of Morvane in place.\n\n"
           "Morvane starts it by itself when an update has been downloaded; "
           "there is no need to start it by hand.";
}

std::optional<TUpgrader::TCommand>
TUpgrader::ParseCommandLine(const std::vector<std::string>& args) {
    if (args.empty())
        return std::nullopt;
    std::string program;
    std::string tail;
    if (args.size() == 2 && !args[1].empty() && args[1][0] == '+') {
        program = args[0];
        tail = args[1].substr(1);
    } else {
        std::string joined;
        for (const auto& a : args)
            joined += (joined.empty() ? "" : " ") + a;
        const auto plus = joined.find('+');
        if (plus == std::string::npos)
            return std::nullopt;
        program = joined.substr(0, plus);
        while (!program.empty() && program.back() == ' ')
            program.pop_back();
        tail = joined.substr(plus + 1);
    }
    if (program.empty())
        return std::nullopt;
    TCommand command;
    command.Program = program;
    if (!tail.empty() && (tail.back() == '0' || tail.back() == '1')) {
        command.Method = tail.back();
        tail.pop_back();
    }
    command.RestartText = tail;
    return command;
}

bool TUpgrader::WaitUntilWritable(const fs::path& file, std::chrono::milliseconds timeout,
                                  const std::function<void()>& idle) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!CanOpenForWriting(file)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (idle)
            idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

fs::path TUpgrader::InstallDownloads(const TCommand& command) {
    const fs::path folder = command.Program.parent_path();
    const std::string programName = command.Program.filename().string();
    std::error_code ec;
    const bool programDownloaded = fs::exists(folder / (programName + DownloadSuffix), ec);
    bool exeSeen = false;
    fs::path run = command.Program;
    for (const auto& download : Downloads(folder)) {
        const std::string name = download.filename().string();
        std::string target = name.substr(0, name.size() - std::string(DownloadSuffix).size());
        bool program = target == programName;
        if (!programDownloaded && !exeSeen && EndsWith(target, "exe")) {
            exeSeen = true;
            if (command.Method == '0') {
                target = programName; // a differently named program file replaces the program
                program = true;
            } else {
                run = folder / target; // the setup program
                program = true;
            }
        }
        CarryPermissions(download, folder / target, program);
        fs::rename(download, folder / target, ec);
    }
    return run;
}

int TUpgrader::Run(const std::vector<std::string>& args,
                   const std::function<bool(const fs::path&, const std::string&)>& start,
                   const std::function<void(const std::string&)>& infoBox,
                   const std::function<void()>& idle, std::chrono::milliseconds timeout) {
    if (args.empty()) {
        infoBox(InfoText());
        return 0;
    }
    const auto command = ParseCommandLine(args);
    if (!command)
        return 2;
    if (!WaitUntilWritable(command->Program, timeout, idle)) {
        // The program file stays busy or read-only: bring the program back as it was
        // rather than half an update, and let no download wait for a later run.
        RemoveDownloads(command->Program.parent_path());
        start(command->Program, command->RestartText);
        return 1;
    }
    const fs::path run = InstallDownloads(*command);
    if (!start(run, command->RestartText))
        return 1;
    if (run != command->Program) {
        WaitUntilWritable(run, std::chrono::hours(24), idle);
        DeletePath(run);
        start(command->Program, command->RestartText);
    }
    return 0;
}
