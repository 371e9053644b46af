#pragma once

#include "update/IUpdateUi.h"
#include "update/TCustomHttpTransfer.h"
#include "update/TUpdateInfoFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class TMiscFilesBehavior { mfuAlwaysDownload, mfuOnlyIfSizeDifferent };
enum class TVersionControl { byDate, byNumber };
enum class TUpgradeMethod { umSelfUpgrade, umUseExternalSetup, umRedirectToURL };

// The built-in dialogs an agent may show.
enum TUpdateMessage : unsigned {
    mAskUpgrade = 1u << 0,
    mConnLost = 1u << 1,
    mHostUnreachable = 1u << 2,
    mLostFile = 1u << 3,
    mNoInfoFile = 1u << 4,
    mNoUpdateAvailable = 1u << 5,
    mPasswordRequest = 1u << 6,
};
constexpr unsigned AllUpdateMessages = 0x7F;

// Describes an update for producing an information file; a check never reads it.
struct TUpdateInfo {
    std::vector<std::string> Files;
    TUpgradeMethod UpgradeMethod = TUpgradeMethod::umSelfUpgrade;
    std::string UpgradeMsg;
};

struct TUpdateWizard {
    bool Enabled = true;
    bool StayOnTop = true;
};

// What the agent tells its owner. Each is called only when assigned; a bool& may be
// changed by the handler.
struct TUpdateAgentEvents {
    std::function<void(const std::string& upgradeMsg, TUpgradeMethod method,
                       const std::vector<std::string>& files, bool& canUpgrade)>
        OnBeginUpgrade;
    std::function<void()> OnEndUpgrade;
    std::function<void()> OnLaterUpgrade;
    std::function<void()> OnDoOwnCloseAppMethod;
    std::function<void()> OnAfterRestart;
    std::function<void()> OnAborted;
    std::function<void()> OnConnLost;
    std::function<void()> OnNoUpdateAvailable;
    std::function<void()> OnNoInfoFile;
    std::function<void(const std::string& fileURL, int32_t fileSize, int32_t bytesRead,
                       int32_t elapsedTime, int32_t estimatedTimeLeft, uint8_t percentsDone,
                       uint8_t totalPercentsDone, float transferRate)>
        OnProgress;
    std::function<void(const std::string& fileURL, int32_t fileSize, TDateTime fileTime,
                       bool& canUpgrade)>
        OnFileStart;
    std::function<void(const std::string& fileName)> OnFileDone;
    std::function<void(const std::string& url, const std::string& hostname)> OnHostUnreachable;
    std::function<void(const std::string& fileURL, int32_t errorCode, bool& continueUpgrade)>
        OnLostFile;
    std::function<void(const std::string& realm, bool& tryAgain)> OnPasswordRequest;
};

// Keeps the installed program current: fetches the signed update information file,
// compares its version with the program's, asks, downloads the listed files next to the
// program as ".uTMP" files (each no longer than the size and matching the digest that the
// signed file gives it), and restarts the program through the upgrader program, which
// puts them in place. An update restarts only when every listed file arrived whole.
// Lives on the user-interface thread; the transfers run on the worker of its base.
class TUpdateAgent : public TCustomHttpTransfer {
public:
    // ui shows the dialogs; it must outlive the agent.
    TUpdateAgent(std::shared_ptr<IUiCaller> caller, IUpdateUi& ui);

    // Published settings.
    bool AutoCheck = false;
    TUpdateInfo InfoFile;
    std::string InfoFileURL = "http://";
    TMiscFilesBehavior MiscFilesUpgrade = TMiscFilesBehavior::mfuAlwaysDownload;
    TVersionControl VersionControl = TVersionControl::byDate;
    std::string VersionDate;
    std::string VersionNumber;
    unsigned ShowMessages = mAskUpgrade | mConnLost | mLostFile | mPasswordRequest;
    TUpdateWizard Wizard;
    TUpdateAgentEvents Events;

    const std::string& RestartParams() const { return FRestartParams; }
    // An empty text becomes " ", so the restarted program still gets a parameter.
    void SetRestartParams(const std::string& value);

    // Where the program lives and what the restart needs.
    std::filesystem::path ProgramFile;    // the running program file
    std::string AppTitle;                 // the application title, for texts 10 and 23
    std::string PublicKey;                // base64 Ed25519 key the information file is signed with
    std::filesystem::path UpgraderFolder; // empty: the system's temporary folder
    // The upgrader program's bytes, written out at restart.
    std::function<std::string()> UpgraderImage;

    // The most an information file may hold.
    static constexpr int64_t InfoFileLimit = 64 * 1024;

    // Starts a check; returns at once. While a check or download runs, the user is told so
    // and may stop it instead.
    void CheckUpdate();
    // One tick of the automatic check: starts a check in automatic mode unless one runs.
    void AutoCheckTick();
    // Marks the upgrade aborted, stops and calls OnAborted.
    void AbortUpgrade();
    // Calls OnAfterRestart when the first parameter is the restart text.
    void CheckAfterRestart(const std::vector<std::string>& arguments);
    bool AutomaticCheckRunning() const { return FAutomatic && Busy(); }

    // Where the upgrader program is written: folder + "MorvaneUpgrader" + the system's
    // program suffix.
    std::filesystem::path UpgraderPath() const;
    // The downloaded file's name for a URL: its last path part, when that is a plain file
    // name; empty otherwise.
    static std::string FileNameOfUrl(const std::string& url);
    // Text 23 with the title and the message, as the ask window shows it.
    static std::string AskText(const std::string& title, const std::string& message);

private:
    enum class TMode { InfoFile, Files };

    void AttachReports();
    void Stop();
    void HandleInfoFile(const std::string& data);
    bool IsNewer(const TUpdateInfoFile& info) const;
    void StartDownloads();
    void StartFile();
    void NextFile();
    void AllFilesDone();
    void Restart();
    void FileStart(const THttpFileStart& info, bool& proceed);
    void Progress(const THttpProgress& progress);
    void FileDone();
    void LostFile(int32_t errorCode);
    void FileMismatch();
    // Asks whether to go on without the file; errorCode goes to OnLostFile (0: not an
    // answer of the server's).
    void FailedFile(int32_t errorCode, const std::string& question, const std::string& caption);
    bool EnoughSpaceForTheRest();
    bool ProgramFolderWritable() const;
    void NoInfoFile();
    void PasswordRequest(const std::string& realm, bool& tryAgain);
    void RemoveDownloads() const;
    std::filesystem::path ProgramFolder() const;
    std::filesystem::path TargetOf(const std::string& url) const;

    IUpdateUi& FUi;
    std::string FRestartParams = "/afterupgrade";
    TMode FMode = TMode::InfoFile;
    std::vector<TUpdateFileEntry> FFiles;
    std::size_t FIndex = 0;
    std::size_t FFailedFiles = 0; // skipped after a failure: the update cannot complete
    int FMethod = 0;
    bool FAborted = false;
    bool FAutomatic = false;
    bool FWizardShown = false;
    std::string FCurrentURL;
    std::filesystem::path FCurrentTarget;
    std::optional<int64_t> FServerTime;
};
