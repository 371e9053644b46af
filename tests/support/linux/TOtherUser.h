#pragma once

#include <filesystem>
#include <functional>

#include <sys/types.h>

// Another local user ("nobody"), in a process of its own, that makes files and holds
// locks on them until the object goes. Needs root (CI runs as root); Ready() is false
// when the process could not become that user.
class TOtherUser {
public:
    explicit TOtherUser(const std::function<void()>& setUp);
    ~TOtherUser();
    TOtherUser(const TOtherUser&) = delete;
    TOtherUser& operator=(const TOtherUser&) = delete;

    bool Ready() const { return FReady; }

    static constexpr uid_t Uid = 65534;

    // For setUp: makes the file, open to everyone, and locks it for the rest of the
    // other user's process.
    static void HoldLock(const std::filesystem::path& file);

private:
    pid_t FPid = -1;
    int FStop = -1;
    bool FReady = false;
};
