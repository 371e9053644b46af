#include "update/TUpdateAgent.h"

#include "update/HttpDate.h"
#include "update/OpenWebAddress.h"
#include "update/THttpUrl.h"
#include "update/TUpdateSignature.h"
#include "update/UpdateTexts.h"
#include "update/VersionCompare.h"

#include "core/FileRoutines.h"
#include "platform/Process.h"
#include "platform/TreeDelete.h"

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
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

int32_t Clamp32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Removes a file or link of ours; a folder under the name is somebody else's business.
void RemoveFile(const std::filesystem::path& path) {
    Platform::DeleteEntry(path, Platform::TEntryWanted::NotFolder);
}

// Writes the upgrader as a new file: a file or link that someone else left under that
// name in a shared temporary folder is never written through.
bool WriteExclusive(const std::filesystem::path& path, const std::string& bytes) {
    RemoveFile(path);
    FILE* file = std::fopen(path.string().c_str(), "wbx");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        RemoveFile(path);
        return false;
    }
    using std::filesystem::perms;
    std::error_code ec;
    std::filesystem::permissions(path,
                                 perms::owner_all | perms::group_read | perms::group_exec |
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
    RemoveFile(UpgraderPath());
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

std::filesystem::path TUpdateAgent::ProgramFolder() const {
    return ProgramFile.parent_path();
}

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
    OnTooLarge = [this](int64_t) {
        // More than an information file can hold is no information file; a listed file
        // longer than its signed size is not the file that was signed.
        if (FMode == TMode::InfoFile)
            NoInfoFile();
        else
            FileMismatch();
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
    if (Busy()) {
        // Never nothing: the user hears that a check runs and may stop it, which is also
        // the way to end a check that waits on a slow server.
        const TMode mode = FMode;
        if (FUi.Question(UpdateText(utCheckRunning)) && Busy() && FMode == mode)
            AbortUpgrade();
        return;
    }
    FAborted = false;
    FAutomatic = false;
    FMode = TMode::InfoFile;
    FCurrentURL = InfoFileURL;
    auto& s = Settings();
    s.URL = InfoFileURL;
    s.OutputFileName.clear();
    s.UseCache = false;
    s.Limits.MaxSize = InfoFileLimit;
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
    // Downloads of an update that stopped half way are never to be put in place.
    if (FMode == TMode::Files)
        RemoveDownloads();
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
    if (FMethod != 2 && !ProgramFolderWritable()) {
        // Downloads that the upgrader could not put in place are not offered at all.
        FUi.SimpleMessage(FormatUpdateText(utFolderNotWritable, AppTitle.c_str(),
                                           ProgramFolder().string().c_str()));
        return;
    }
    bool canUpgrade = true;
    if (Events.OnBeginUpgrade) {
        std::vector<std::string> urls;
        for (const auto& file : FFiles)
            urls.push_back(file.URL);
        Events.OnBeginUpgrade(message, static_cast<TUpgradeMethod>(FMethod), urls, canUpgrade);
    }
    if (!canUpgrade ||
        ((ShowMessages & mAskUpgrade) && !FUi.AskUpgrade(AskText(AppTitle, message)))) {
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
    std::vector<std::filesystem::path> downloads;
    for (const auto& entry : std::filesystem::directory_iterator(ProgramFolder(), ec))
        if (EndsWith(entry.path().filename().string(), DownloadSuffix))
            downloads.push_back(entry.path());
    for (const auto& download : downloads)
        RemoveFile(download);
}

bool TUpdateAgent::ProgramFolderWritable() const {
    // Trying is the only sure test: permissions, access lists and read-only mounts all
    // have their say. The probe's name ends like a download, so that any copy left behind
    // goes with the downloads.
    const auto probe = ProgramFolder() / (std::string("MorvaneWriteTest") + DownloadSuffix);
    RemoveFile(probe);
    FILE* file = std::fopen(probe.string().c_str(), "wbx");
    if (!file)
        return false;
    std::fclose(file);
    RemoveFile(probe);
    return true;
}

bool TUpdateAgent::EnoughSpaceForTheRest() {
    int64_t needed = 0;
    for (std::size_t i = FIndex; i < FFiles.size(); ++i)
        needed += std::max<int64_t>(0, FFiles[i].Size);
    std::error_code ec;
    const auto space = std::filesystem::space(ProgramFolder(), ec);
    if (ec || static_cast<uintmax_t>(needed) <= space.available)
        return true; // a folder whose space cannot be read gets its chance
    FUi.SimpleMessage(FormatUpdateText(utNoDiskSpace, static_cast<double>(needed) / 1024.0,
                                       ProgramFolder().string().c_str(),
                                       static_cast<double>(space.available) / 1024.0));
    return false;
}

void TUpdateAgent::StartDownloads() {
    RemoveDownloads();
    FMode = TMode::Files;
    FIndex = 0;
    FFailedFiles = 0;
    if (!EnoughSpaceForTheRest()) {
        AbortUpgrade();
        return;
    }
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
    if (!file.Complete()) {
        // Without its signed size and digest a file could be anything of any length.
        FileMismatch();
        return;
    }
    if (!EnoughSpaceForTheRest()) {
        AbortUpgrade();
        return;
    }
    FCurrentTarget = TargetOf(file.URL);
    auto& s = Settings();
    s.URL = file.URL;
    s.OutputFileName = FCurrentTarget;
    s.HiddenOutput = true;
    s.UseCache = true;
    s.Limits.MaxSize = file.Size;
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
    const int total =
        static_cast<int>(p.PercentDone / count + std::llround(static_cast<double>(FIndex) * 100.0 /
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
        RemoveFile(FCurrentTarget);
        FileMismatch();
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
    std::string name = FileNameOfUrl(FCurrentURL);
    if (name.empty())
        name = FCurrentURL;
    FailedFile(errorCode, FormatUpdateText(28, name.c_str()),
               std::string(UpdateText(21)) + " #" + std::to_string(errorCode));
}

void TUpdateAgent::FileMismatch() {
    // Not an answer of the server's: no status in the caption, and words of its own.
    FailedFile(0, FormatUpdateText(utFileMismatch, FileNameOfUrl(FCurrentURL).c_str()),
               UpdateText(21));
}

void TUpdateAgent::FailedFile(int32_t errorCode, const std::string& question,
                              const std::string& caption) {
    bool continueUpgrade = false;
    if (Events.OnLostFile)
        Events.OnLostFile(FCurrentURL, errorCode, continueUpgrade);
    if (ShowMessages & mLostFile)
        continueUpgrade = FUi.WarningQuestion(question, caption);
    if (!continueUpgrade) {
        AbortUpgrade();
        return;
    }
    // The other files still come, but this update can no longer be put in place.
    ++FFailedFiles;
    NextFile();
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
    if (FFailedFiles > 0) {
        // Half an update is worse than none: nothing is put in place, nothing restarts.
        AbortUpgrade();
        FUi.SimpleMessage(FormatUpdateText(utNotCompleted, AppTitle.c_str(),
                                           static_cast<int>(FFailedFiles),
                                           static_cast<int>(FFiles.size())));
        return;
    }
    if (FWizardShown) {
        FUi.WizardFinished(FormatUpdateText(10, AppTitle.c_str()));
        const bool confirmed = FUi.WaitForWizardClose();
        FWizardShown = false;
        if (!confirmed && !FAborted) {
            // The program is ending under the wizard: no restart behind the user's back.
            AbortUpgrade();
            return;
        }
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
