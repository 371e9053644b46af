#include "update/TUpdateAgent.h"

#include "update/HttpDate.h"
#include "update/OpenWebAddress.h"
#include "update/THttpUrl.h"
#include "update/TUpdateSignature.h"
#include "update/UpdateTexts.h"
#include "update/VersionCompare.h"

#include "platform/Process.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <system_error>

#ifndef MORVANE_EXE_SUFFIX
#define MORVANE_EXE_SUFFIX ""
#endif

namespace {

constexpr const char* DownloadSuffix = ".uTMP";

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

int32_t Clamp32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Writes the upgrader as a new file: a file or link that someone else left under that
// name in a shared temporary folder is never written through.
bool WriteExclusive(const std::filesystem::path& path, const std::string& bytes) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    FILE* file = std::fopen(path.string().c_str(), "wbx");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::filesystem::remove(path, ec);
        return false;
    }
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_all | perms::group_read | perms::group_exec |
                                           perms::others_read | perms::others_exec,
                                 ec);
    return true;
}

} // namespace

TUpdateAgent::TUpdateAgent(std::shared_ptr<IUiCaller> caller, IUpdateUi& ui)
    : TCustomHttpTransfer(std::move(caller)), FUi(ui) {
    Settings().HiddenOutput = true;
    AttachReports();
    // A copy left by an earlier upgrade is of no further use.
    std::error_code ec;
    std::filesystem::remove(UpgraderPath(), ec);
}

void TUpdateAgent::SetRestartParams(const std::string& value) {
    FRestartParams = value.empty() ? " " : value;
}

std::filesystem::path TUpdateAgent::UpgraderPath() const {
    std::filesystem::path folder = UpgraderFolder;
    if (folder.empty()) {
        std::error_code ec;
        folder = std::filesystem::temp_directory_path(ec);
        if (ec || !std::filesystem::is_directory(folder, ec))
            folder = ProgramFolder();
    }
    return folder / (std::string("MorvaneUpgrader") + MORVANE_EXE_SUFFIX);
}

std::string TUpdateAgent::FileNameOfUrl(const std::string& url) {
    const std::string path = THttpUrl::Crack(url).Path;
    std::string segment;
    std::string last;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/' || path[i] == '\\') {
            // A dot segment could lead the download out of the program folder.
            if (segment == "." || segment == "..")
                return {};
            last = segment;
            segment.clear();
        } else {
            segment += path[i];
        }
    }
    const bool plain = !last.empty() && std::none_of(last.begin(), last.end(), [](char c) {
        return c == ':' || static_cast<unsigned char>(c) < 32;
    });
    return plain ? last : std::string();
}

std::string TUpdateAgent::AskText(const std::string& title, const std::string& message) {
    const std::string shown = title.find("Delphi") != std::string::npos ? "<AppTitle>" : title;
    const std::string middle = message.empty() ? "" : "\n" + message + "\n";
    return FormatUpdateText(23, shown.c_str(), middle.c_str());
}

std::filesystem::path TUpdateAgent::ProgramFolder() const { return ProgramFile.parent_path(); }

std::filesystem::path TUpdateAgent::TargetOf(const std::string& url) const {
    return ProgramFolder() / (FileNameOfUrl(url) + DownloadSuffix);
}

void TUpdateAgent::AttachReports() {
    OnFileStart = [this](const THttpFileStart& info, bool& proceed) {
        if (FMode == TMode::Files)
            FileStart(info, proceed);
    };
    OnProgress = [this](const THttpProgress& progress) {
        if (FMode == TMode::Files)
            Progress(progress);
    };
    OnDone = [this](const std::string&, const std::string& data, int64_t) {
        if (FMode == TMode::InfoFile)
            HandleInfoFile(data);
        else
            FileDone();
    };
    OnNotFound = [this](int status, const std::string&) {
        if (FMode == TMode::InfoFile)
            NoInfoFile();
        else
            LostFile(status);
    };
    OnHostUnreachable = [this] {
        const std::string host = THttpUrl::Crack(FCurrentURL).Host;
        if (Events.OnHostUnreachable)
            Events.OnHostUnreachable(FCurrentURL, host);
        if (!FAutomatic && (ShowMessages & mHostUnreachable))
            FUi.SimpleMessage(FormatUpdateText(26, ("http://" + host + "'").c_str()));
        Stop();
    };
    OnConnLost = [this](const std::string&, const std::string&, int64_t, int64_t) {
        if (Events.OnConnLost)
            Events.OnConnLost();
        if (ShowMessages & mConnLost)
            FUi.SimpleMessage(UpdateText(30));
        Stop();
    };
    OnPasswordRequest = [this](const std::string& realm, bool& tryAgain) {
        PasswordRequest(realm, tryAgain);
    };
    OnCancelled = [this] {
        if (FMode == TMode::Files)
            NextFile();
    };
}

void TUpdateAgent::CheckUpdate() {
    FAborted = false;
    FAutomatic = false;
    if (Busy())
        return;
    FMode = TMode::InfoFile;
    FCurrentURL = InfoFileURL;
    auto& s = Settings();
    s.URL = InfoFileURL;
    s.OutputFileName.clear();
    s.UseCache = false;
    Start();
}

void TUpdateAgent::AutoCheckTick() {
    if (!AutoCheck || Busy())
        return;
    CheckUpdate();
    FAutomatic = true;
}

void TUpdateAgent::Stop() {
    Abort();
    if (FWizardShown) {
        FWizardShown = false;
        FUi.CloseWizard();
    }
}

void TUpdateAgent::AbortUpgrade() {
    FAborted = true;
    Stop();
    RemoveDownloads();
    if (Events.OnAborted)
        Events.OnAborted();
}

void TUpdateAgent::CheckAfterRestart(const std::vector<std::string>& arguments) {
    if (!arguments.empty() && arguments.front() == FRestartParams && Events.OnAfterRestart)
        Events.OnAfterRestart();
}

void TUpdateAgent::NoInfoFile() {
    if (Events.OnNoInfoFile)
        Events.OnNoInfoFile();
    if (ShowMessages & mNoInfoFile)
        FUi.SimpleMessage(UpdateText(25));
}

bool TUpdateAgent::IsNewer(const TUpdateInfoFile& info) const {
    if (VersionControl == TVersionControl::byNumber)
        return CompareVersions(info.Value("version"), VersionNumber) > 0;
    return ParseUpdateDate(VersionDate) < ParseUpdateDate(info.Value("date"));
}

void TUpdateAgent::HandleInfoFile(const std::string& data) {
    // Only the signed bytes are read: an unsigned or altered file is as good as none.
    const auto body = TUpdateSignature::VerifiedBody(data, PublicKey);
    if (!body) {
        NoInfoFile();
        return;
    }
    const TUpdateInfoFile info(*body);
    FFiles = info.Files();
    if (!IsNewer(info) || FFiles.empty()) {
        if (Events.OnNoUpdateAvailable)
            Events.OnNoUpdateAvailable();
        if (!FAutomatic && (ShowMessages & mNoUpdateAvailable))
            FUi.SimpleMessage(UpdateText(24));
        return;
    }
    const std::string message = info.Message();
    FMethod = info.Method();
    bool canUpgrade = true;
    if (Events.OnBeginUpgrade) {
        std::vector<std::string> urls;
        for (const auto& file : FFiles)
            urls.push_back(file.URL);
        Events.OnBeginUpgrade(message, static_cast<TUpgradeMethod>(FMethod), urls, canUpgrade);
    }
    if (!canUpgrade || ((ShowMessages & mAskUpgrade) && !FUi.AskUpgrade(AskText(AppTitle, message)))) {
        if (Events.OnLaterUpgrade)
            Events.OnLaterUpgrade();
        return;
    }
    if (FMethod == 2) {
        OpenWebAddress(FFiles.front().URL);
        return;
    }
    StartDownloads();
}

void TUpdateAgent::RemoveDownloads() const {
    // Every ".uTMP" beside the program is what the upgrader would move into place, so
    // none may stay behind from a run that did not finish.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ProgramFolder(), ec)) {
        const auto name = entry.path().filename().string();
        if (EndsWith(name, DownloadSuffix) && !entry.is_directory(ec))
            std::filesystem::remove(entry.path(), ec);
    }
}

void TUpdateAgent::StartDownloads() {
    RemoveDownloads();
    FMode = TMode::Files;
    FIndex = 0;
    if (Wizard.Enabled) {
        FWizardShown = true;
        FUi.ShowWizard(Wizard.StayOnTop, [this] {
            FWizardShown = false;
            AbortUpgrade();
        });
    }
    StartFile();
}

void TUpdateAgent::StartFile() {
    const auto& file = FFiles[FIndex];
    FCurrentURL = file.URL;
    FServerTime.reset();
    if (FWizardShown)
        FUi.WizardFile(file.URL, FormatUpdateText(9, static_cast<int>(FIndex + 1),
                                                  static_cast<int>(FFiles.size())));
    if (FileNameOfUrl(file.URL).empty()) {
        LostFile(0);
        return;
    }
    FCurrentTarget = TargetOf(file.URL);
    auto& s = Settings();
    s.URL = file.URL;
    s.OutputFileName = FCurrentTarget;
    s.HiddenOutput = true;
    s.UseCache = true;
    Start();
}

void TUpdateAgent::NextFile() {
    ++FIndex;
    if (FIndex < FFiles.size())
        StartFile();
    else
        AllFilesDone();
}

void TUpdateAgent::FileStart(const THttpFileStart& info, bool& proceed) {
    const int64_t size = info.ContentLength;
    if (FWizardShown)
        FUi.WizardFileSize(FormatUpdateText(6, static_cast<double>(size) / 1024.0));
    bool canUpgrade = true;
    if (MiscFilesUpgrade == TMiscFilesBehavior::mfuOnlyIfSizeDifferent && size != 0 &&
        FFiles.size() > 1) {
        const auto local = ProgramFolder() / FileNameOfUrl(FCurrentURL);
        std::error_code ec;
        if (Lower(local.filename().string()) != Lower(ProgramFile.filename().string()) &&
            std::filesystem::is_regular_file(local, ec))
            canUpgrade = static_cast<int64_t>(std::filesystem::file_size(local, ec)) != size;
    }
    FServerTime = info.LastModifiedUnix;
    if (Events.OnFileStart)
        Events.OnFileStart(FCurrentURL, Clamp32(size), info.LastModified, canUpgrade);
    proceed = canUpgrade;
}

void TUpdateAgent::Progress(const THttpProgress& p) {
    const auto count = static_cast<int64_t>(FFiles.size());
    const int total = static_cast<int>(p.PercentDone / count +
                                       std::llround(static_cast<double>(FIndex) * 100.0 /
                                                    static_cast<double>(count)));
    if (Events.OnProgress)
        Events.OnProgress(FCurrentURL, Clamp32(p.ContentLength), Clamp32(p.BytesRead),
                          Clamp32(p.SecondsElapsed), Clamp32(p.SecondsLeft),
                          static_cast<uint8_t>(p.PercentDone), static_cast<uint8_t>(total),
                          static_cast<float>(p.TransferRate));
    if (!FWizardShown)
        return;
    const auto left = p.SecondsLeft;
    FUi.WizardProgress(p.PercentDone, total, FormatUpdateText(7, p.TransferRate),
                       FormatUpdateText(8, static_cast<int>(left / 3600),
                                        static_cast<int>(left / 60 % 60),
                                        static_cast<int>(left % 60)));
}

void TUpdateAgent::FileDone() {
    const auto& file = FFiles[FIndex];
    if (!TUpdateSignature::FileHashMatches(FCurrentTarget, file.Sha256)) {
        std::error_code ec;
        std::filesystem::remove(FCurrentTarget, ec);
        LostFile(Results().StatusCode);
        return;
    }
    if (FServerTime) {
        using namespace std::chrono;
        std::error_code ec;
        const auto time = file_clock::from_sys(sys_seconds(seconds(*FServerTime)));
        std::filesystem::last_write_time(FCurrentTarget, time, ec);
    }
    if (Events.OnFileDone)
        Events.OnFileDone(FCurrentTarget.string());
    NextFile();
}

void TUpdateAgent::LostFile(int32_t errorCode) {
    bool continueUpgrade = false;
    if (Events.OnLostFile)
        Events.OnLostFile(FCurrentURL, errorCode, continueUpgrade);
    if (ShowMessages & mLostFile) {
        std::string name = FileNameOfUrl(FCurrentURL);
        if (name.empty())
            name = FCurrentURL;
        continueUpgrade = FUi.WarningQuestion(FormatUpdateText(28, name.c_str()),
                                              std::string(UpdateText(21)) + " #" +
                                                  std::to_string(errorCode));
    }
    if (continueUpgrade)
        NextFile();
    else
        AbortUpgrade();
}

void TUpdateAgent::PasswordRequest(const std::string& realm, bool& tryAgain) {
    if (Events.OnPasswordRequest)
        Events.OnPasswordRequest(realm, tryAgain);
    if (tryAgain || !(ShowMessages & mPasswordRequest))
        return;
    std::string name = FileNameOfUrl(FCurrentURL);
    std::string user = HTTPUsername();
    std::string password = HTTPPassword();
    if (FUi.PasswordWindow(FormatUpdateText(29, (name.empty() ? FCurrentURL : name).c_str()), user,
                           password)) {
        SetHTTPUsername(user);
        SetHTTPPassword(password);
        tryAgain = true;
    } else {
        AbortUpgrade();
    }
}

void TUpdateAgent::AllFilesDone() {
    if (FWizardShown) {
        FUi.WizardFinished(FormatUpdateText(10, AppTitle.c_str()));
        FUi.WaitForWizardClose();
        FWizardShown = false;
    }
    if (FAborted)
        return;
    if (Events.OnEndUpgrade)
        Events.OnEndUpgrade();
    Restart();
}

void TUpdateAgent::Restart() {
    const std::string image = UpgraderImage ? UpgraderImage() : std::string();
    std::filesystem::path upgrader = UpgraderPath();
    bool written = !image.empty() && WriteExclusive(upgrader, image);
    if (!written && !image.empty()) {
        upgrader = ProgramFolder() / upgrader.filename();
        written = WriteExclusive(upgrader, image);
    }
    if (!written || !Platform::StartDetached({upgrader.string(), ProgramFile.string(),
                                              "+" + FRestartParams + (FMethod == 1 ? "1" : "0")})) {
        // Without the upgrader nothing can be put in place; leave no downloads behind.
        RemoveDownloads();
        FUi.SimpleMessage("The upgrader program could not be started.");
        return;
    }
    if (Events.OnDoOwnCloseAppMethod)
        Events.OnDoOwnCloseAppMethod();
    else
        FUi.CloseApplication();
}
