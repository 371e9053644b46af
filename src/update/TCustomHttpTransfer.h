#pragma once

#include "update/IUiCaller.h"
#include "update/TLoginComponent.h"

#include "core/DateTime.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class TRequestMethod { rmAuto, rmGet, rmPost };
enum class TAccessType { atPreconfig, atDirect, atUseProxy };

// A byte range request when either end is not 0; EndRange 0 means "to the end".
struct THttpRange {
    int32_t StartRange = 0;
    int32_t EndRange = 0;
};

// Milliseconds; 0 keeps the system's default.
struct THttpTimeouts {
    uint32_t ConnectTimeout = 0;
    uint32_t ReceiveTimeout = 0;
    uint32_t SendTimeout = 0;
};

// Bounds that every run keeps unless its owner changes them, so that a server that stalls
// or sends without end cannot hold a run or fill memory or the disk.
struct THttpLimits {
    uint32_t ConnectTimeout = 30000; // ms; used when Timeouts.ConnectTimeout is 0
    // Once connected, data slower than StallSpeed bytes per second over StallTime ms of
    // waiting ends the run as a lost connection. StallTime 0: no such limit.
    uint32_t StallSpeed = 1;
    uint32_t StallTime = 60000;
    // A body longer than this many bytes ends the run at once, before anything past it
    // is kept; -1: no limit. A run into memory should always have one.
    int64_t MaxSize = -1;
};

struct THttpProxy {
    TAccessType AccessType = TAccessType::atPreconfig;
    int ProxyPort = 8080;
    std::string ProxyServer;
    std::string ProxyBypass = "127.0.0.1;";
};

// The settings of a run, read when the run starts.
struct THttpTransferSettings {
    std::string URL;
    std::filesystem::path OutputFileName; // empty: the data goes into memory
    bool HiddenOutput = false;
    std::string PostData;
    TRequestMethod RequestMethod = TRequestMethod::rmAuto;
    std::string Referer;
    std::string AcceptTypes = "text/html, */*";
    std::string Agent = "Morvane HTTP Transfer 1.0";
    std::vector<std::string> ExtraHeaders;
    THttpRange Range;
    THttpTimeouts Timeouts;
    THttpLimits Limits;
    THttpProxy Proxy;
    int32_t TransferBufferSize = 4096;
    bool UseCache = true;
    bool UseCookies = true;
    bool Offline = false;
    // No thread priority setting: the worker spends its time waiting for the network,
    // where a priority changes nothing, and the reports run on the user-interface thread.
};

// The server's headers, handed to the file-start report before the body is read.
struct THttpFileStart {
    std::string RawHeaders; // CR LF separated
    TDateTime Expires = 0;  // local date-times, 0 when the header is absent
    TDateTime LastModified = 0;
    TDateTime Date = 0;
    std::optional<int64_t> LastModifiedUnix; // the same moment in seconds since 1970 UTC
    int64_t ContentLength = 0;
    std::string Location;
    std::string ContentEncoding;
    std::string ContentLanguage;
    std::string ContentType;
};

struct THttpProgress {
    std::string ContentType;
    const std::string* Data = nullptr; // the memory stream; nullptr for a file
    double TransferRate = 0;           // KB per second over the whole run
    int PercentDone = 0;
    int64_t SecondsLeft = 0;
    int64_t SecondsElapsed = 0;
    int64_t BytesRead = 0;
    int64_t ContentLength = 0;
};

// What a run found out; valid on the user-interface thread during and after the run.
struct THttpTransferResults {
    int StatusCode = -1;
    std::string ContentType;
    std::string RawHeaders;
    std::string ContentLanguage;
    std::string ContentEncoding;
    std::string Location;
    TDateTime Date = 0;
    TDateTime LastModified = 0;
    TDateTime Expires = 0;
    int64_t ContentLength = 0;
    int64_t BytesRead = 0;
    THttpProgress Progress;
};

// Fetches one URL per run on a worker thread, into memory or into a file, and reports
// the headers, the progress and the outcome to its owner. Every report except the status
// texts runs on the user-interface thread (through the caller given at construction)
// while the worker waits for it to return. Start, Abort and the destructor belong to the
// user-interface thread as well.
class TCustomHttpTransfer : public TLoginComponent {
public:
    explicit TCustomHttpTransfer(std::shared_ptr<IUiCaller> caller);
    ~TCustomHttpTransfer() override;
    TCustomHttpTransfer(const TCustomHttpTransfer&) = delete;
    TCustomHttpTransfer& operator=(const TCustomHttpTransfer&) = delete;

    THttpTransferSettings& Settings() { return FSettings; }
    const THttpTransferSettings& Settings() const { return FSettings; }
    // The results of the current or last run.
    const THttpTransferResults& Results() const { return FResults; }

    // Starts a run with the current settings. False (and nothing happens) while busy.
    bool Start();
    // Stops a busy run at once: its worker is left to end by itself and no report of
    // it arrives any more; OnAborted follows. Nothing happens when idle.
    void Abort();
    bool Busy() const { return FRun != nullptr; }

    // Reports. Each is optional; some steps of a run only happen when their report is
    // attached (the headers are only read for OnFileStart).
    std::function<void(const THttpFileStart& info, bool& continueTransfer)> OnFileStart;
    std::function<void(const THttpProgress& progress)> OnProgress;
    // data is empty for a run into a file (the file is closed by then).
    std::function<void(const std::string& contentType, const std::string& data, int64_t bytesRead)>
        OnDone;
    std::function<void()> OnHostUnreachable;
    std::function<void(int statusCode, const std::string& data)> OnNotFound;
    // Also a server that went silent or too slow once connected (see THttpLimits), and a
    // body cut off by a failed read.
    std::function<void(const std::string& contentType, const std::string& data, int64_t bytesRead,
                       int64_t contentLength)>
        OnConnLost;
    // The body was, or was announced to be, longer than Limits.MaxSize; nothing past the
    // limit was kept and an output file is deleted. Without this report OnConnLost runs.
    std::function<void(int64_t maxSize)> OnTooLarge;
    // The handler sets tryAgain after putting new credentials into HTTPUsername/Password.
    std::function<void(const std::string& realm, bool& tryAgain)> OnPasswordRequest;
    std::function<void(std::string& proxyUser, std::string& proxyPassword, bool& tryAgain)>
        OnProxyAuthenticationRequest;
    std::function<void()> OnCancelled;
    std::function<void()> OnAborted;
    // Runs on the worker thread, not on the user-interface thread.
    std::function<void(int code, const std::string& text, const std::string& info)> OnStatus;

    // The text shown for a status notification code.
    static std::string StatusText(int code);
    // The progress figures after bytesRead of contentLength bytes in elapsedMs.
    static THttpProgress ComputeProgress(int64_t bytesRead, int64_t contentLength,
                                         int64_t elapsedMs);
    // The realm named by a WWW-Authenticate header ('Basic realm="x"' gives x).
    static std::string RealmOf(const std::string& authenticateHeader);
    // Workers still running, finished or abandoned; for tests that wait for quiet.
    static int LiveWorkers();

    // The state of one run, shared by its worker and this object.
    struct TRun;

private:
    void Finish(const std::shared_ptr<TRun>& run);

    std::shared_ptr<IUiCaller> FCaller;
    THttpTransferSettings FSettings;
    THttpTransferResults FResults;
    std::shared_ptr<TRun> FRun;
};
