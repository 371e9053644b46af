#include "TProgram.h"

#include "support/TTempDir.h"

#include <fstream>
#include <sstream>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

template <typename TCondition> bool WaitFor(std::chrono::milliseconds limit, TCondition condition) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (condition())
            return true;
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
    return condition();
}

} // namespace

TProgram::TProgram(const fs::path& parent, const std::string& name)
    : FFolder(parent / name), FHome(parent / (name + "-home")),
      FErrors(parent / (name + "-stderr.txt")) {
    fs::create_directories(FFolder);
    fs::create_directories(FHome);
    fs::copy_file(MORVANE_PROGRAM, FFolder / "morvane");
    fs::copy_file(MORVANE_TIPS_FILE, FFolder / "Tips.CFG");
}

TProgram::~TProgram() {
    Kill();
}

void TProgram::Start(const fs::path& runtimeDir, const fs::path& tempDir) {
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "HOME=" + FHome.string(),
                                    "LANG=C.UTF-8"};
    if (!runtimeDir.empty())
        env.push_back("XDG_RUNTIME_DIR=" + runtimeDir.string());
    if (!tempDir.empty())
        env.push_back("TMPDIR=" + tempDir.string());
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = (FFolder / "morvane").string();
    char* argv[] = {path.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string errors = FErrors.string();
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const int spawned = posix_spawn(&FPid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    FExited = spawned != 0;
}

int TProgram::WaitExit(std::chrono::milliseconds limit) {
    if (FPid <= 0)
        return -1;
    int code = -1;
    WaitFor(limit, [&] {
        int status = 0;
        if (waitpid(FPid, &status, WNOHANG) != FPid)
            return false;
        FExited = true;
        code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    });
    return code;
}

bool TProgram::WaitStarted(std::chrono::milliseconds limit) const {
    return WaitFor(limit, [&] { return fs::exists(FFolder / "tips.htm"); });
}

bool TProgram::WaitError(const std::string& text, std::chrono::milliseconds limit) const {
    return WaitFor(limit, [&] { return ErrorText().find(text) != std::string::npos; });
}

std::string TProgram::ErrorText() const {
    std::error_code ec;
    return fs::exists(FErrors, ec) ? TTempDir::Read(FErrors) : std::string();
}

long TProgram::PeakMemoryKiB() const {
    std::ifstream status("/proc/" + std::to_string(FPid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void TProgram::Signal(int signal) {
    if (FPid > 0 && !FExited)
        kill(FPid, signal);
}

void TProgram::Kill() {
    if (FPid > 0 && !FExited) {
        kill(FPid, SIGKILL);
        waitpid(FPid, nullptr, 0);
        FExited = true;
    }
}
