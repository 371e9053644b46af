// The one place in the code, besides CMake, that knows which backend is built.
#include "platform/IHttpClient.h"
#include "platform/IPower.h"
#include "platform/IShell.h"
#include "platform/Volumes.h"

#ifdef _WIN32
#include "platform/windows/TWinInetHttpClient.h"
#include "platform/windows/TWinPower.h"
#include "platform/windows/TWinShell.h"
#include "platform/windows/TWinVolumes.h"
#else
#include "platform/linux/TCurlHttpClient.h"
#include "platform/linux/TLinuxVolumes.h"
#include "platform/linux/TLogindPower.h"
#include "platform/linux/TXdgShell.h"
#endif

namespace Platform {
namespace {

#ifdef _WIN32
using TNativeShell = TWinShell;
using TNativeVolumes = TWinVolumes;
using TNativePower = TWinPower;
using TNativeHttpClient = TWinInetHttpClient;
#else
using TNativeShell = TXdgShell;
using TNativeVolumes = TLinuxVolumes;
using TNativePower = TLogindPower;
using TNativeHttpClient = TCurlHttpClient;
#endif

std::unique_ptr<IShell>& ShellSlot() {
    static std::unique_ptr<IShell> slot = std::make_unique<TNativeShell>();
    return slot;
}

std::unique_ptr<IVolumes>& VolumesSlot() {
    static std::unique_ptr<IVolumes> slot = std::make_unique<TNativeVolumes>();
    return slot;
}

std::unique_ptr<IPower>& PowerSlot() {
    static std::unique_ptr<IPower> slot = std::make_unique<TNativePower>();
    return slot;
}

std::unique_ptr<IHttpClient>& HttpClientSlot() {
    static std::unique_ptr<IHttpClient> slot = std::make_unique<TNativeHttpClient>();
    return slot;
}

} // namespace

IShell& Shell() { return *ShellSlot(); }

std::unique_ptr<IShell> SetShell(std::unique_ptr<IShell> shell) {
    auto previous = std::move(ShellSlot());
    ShellSlot() = std::move(shell);
    return previous;
}

IVolumes& Volumes() { return *VolumesSlot(); }

std::unique_ptr<IVolumes> SetVolumes(std::unique_ptr<IVolumes> volumes) {
    auto previous = std::move(VolumesSlot());
    VolumesSlot() = std::move(volumes);
    return previous;
}

IPower& Power() { return *PowerSlot(); }

std::unique_ptr<IPower> SetPower(std::unique_ptr<IPower> power) {
    auto previous = std::move(PowerSlot());
    PowerSlot() = std::move(power);
    return previous;
}

IHttpClient& HttpClient() { return *HttpClientSlot(); }

std::unique_ptr<IHttpClient> SetHttpClient(std::unique_ptr<IHttpClient> client) {
    auto previous = std::move(HttpClientSlot());
    HttpClientSlot() = std::move(client);
    return previous;
}

} // namespace Platform
