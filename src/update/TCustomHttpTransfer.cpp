#include "update/TCustomHttpTransfer.h"

#include "update/HttpDate.h"
#include "update/THttpUrl.h"

#include "core/FileRoutines.h"
#include "platform/IHttpClient.h"
#include "platform/TreeDelete.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

std::atomic<int> LiveWorkerCount{0};

// Never reserve more than this up front: a server may announce any length it likes.
constexpr int64_t MaxReserve = 16 * 1024 * 1024;

Platform::THttpAccess AccessOf(TAccessType type) {
    switch (type) {
    case TAccessType::atDirect:
        return Platform::THttpAccess::Direct;
    case TAccessType::atUseProxy:
        return Platform::THttpAccess::Proxy;
    case TAccessType::atPreconfig:
        break;
    }
    return Platform::THttpAccess::Preconfig;
}

// Removes a file that a run wrote or is about to replace. A folder of that name is left
// alone: the run then fails to create its file instead of deleting a tree.
void RemoveFile(const std::filesystem::path& path) {
    Platform::DeleteEntry(path, Platform::TEntryWanted::NotFolder);
}

int64_t ParseLength(const std::optional<std::string>& text) {
    if (!text || text->empty() || text->size() > 18 ||
        text->find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoll(*text);
}

} // namespace

// Everything one run needs, shared between its worker and the user-interface thread so
// that an abandoned worker never touches its former owner.
struct TCustomHttpTransfer::TRun {
    TCustomHttpTransfer* Owner = nullptr; // used on the user-interface thread only
    std::shared_ptr<IUiCaller> Caller;
    THttpTransferSettings Settings;
    std::string UserName;
    std::string Password;
    bool HasFileStart = false;
    bool HasProgress = false;
    bool HasPasswordRequest = false;
    bool HasProxyRequest = false;
    std::function<void(int, const std::string&, const std::string&)> Status;

    std::mutex Mutex;
    std::condition_variable Wake;
    std::atomic<bool> Aborted{false};
    std::shared_ptr<Platform::IHttpRequest> Request;

    THttpTransferResults Results;
    std::string Data;
    SteadyClock::time_point StartTime;
    bool FileCreated = false;
    bool WriteFailed = false;
    bool CreateFailed = false;
    bool ReadFailed = false;
    bool Stalled = false;
    bool TooLarge = false;
    bool Cancelled = false;
    bool Success = false;

    // Runs fn on the user-interface thread and waits for it. False when the run was
    // aborted meanwhile; fn is then skipped if it had not begun.
    bool Call(const std::shared_ptr<TRun>& self, std::function<void(TCustomHttpTransfer&)> fn) {
        auto state = std::make_shared<int>(0); // 0 queued, 1 running, 2 done
        // The queued call does not keep the run alive: a call still queued when the
        // program ends is destroyed with the event queue, and must not take the run and
        // its caller (whose release posts to that same queue) with it.
        Caller->Post([weak = std::weak_ptr<TRun>(self), state, fn = std::move(fn)] {
            const auto run = weak.lock();
            if (!run)
                return;
            {
                std::lock_guard lock(run->Mutex);
                if (run->Aborted) {
                    *state = 2;
                    run->Wake.notify_all();
                    return;
                }
                *state = 1;
            }
            run->Owner->FResults = run->Results;
            try {
                fn(*run->Owner);
            } catch (...) {
                // A failing handler must not take the transfer down with it.
            }
            {
                std::lock_guard lock(run->Mutex);
                *state = 2;
            }
            run->Wake.notify_all();
        });
        std::unique_lock lock(Mutex);
        Wake.wait(lock, [&] { return *state == 2 || (*state == 0 && Aborted); });
        return !Aborted;
    }

    // The last report of a run: the results go to the owner.
    void Finish(const std::shared_ptr<TRun>& self) {
        Call(self, [weak = std::weak_ptr<TRun>(self)](TCustomHttpTransfer& owner) {
            if (const auto run = weak.lock())
                owner.Finish(run);
        });
    }
};

namespace {

using TRunPtr = std::shared_ptr<TCustomHttpTransfer::TRun>;

// Closes the file at the end of a scope; the run looks at how the close went.
struct TFileCloser {
    FILE*& File;
    bool& Failed;
    TFileCloser(FILE*& file, bool& failed) : File(file), Failed(failed) {}
    TFileCloser(const TFileCloser&) = delete;
    TFileCloser& operator=(const TFileCloser&) = delete;
    ~TFileCloser() { Close(); }
    void Close() {
        if (File && std::fclose(File) != 0)
            Failed = true;
        File = nullptr;
    }
};

void WriteBody(const TRunPtr& run, const std::function<long(char*, std::size_t)>& read) {
    auto& s = run->Settings;
    const int64_t maxSize = s.Limits.MaxSize;
    if (maxSize >= 0 && run->Results.ContentLength > maxSize) {
        run->TooLarge = true; // announced too long: not a byte of it is read
        return;
    }
    FILE* file = nullptr;
    TFileCloser closer{file, run->WriteFailed};
    if (!s.OutputFileName.empty()) {
        RemoveFile(s.OutputFileName);
        // "x": a new file, never one that appeared under the name meanwhile.
        file = std::fopen(s.OutputFileName.string().c_str(), "wbx");
        if (!file) {
            run->CreateFailed = true;
            return;
        }
        run->FileCreated = true;
    } else {
        int64_t reserve = std::min(run->Results.ContentLength, MaxReserve);
        if (maxSize >= 0)
            reserve = std::min(reserve, maxSize);
        run->Data.reserve(static_cast<std::size_t>(reserve));
    }
    std::vector<char> buffer(static_cast<std::size_t>(std::max<int32_t>(1, s.TransferBufferSize)));
    while (!run->Aborted) {
        long n = read(buffer.data(), buffer.size());
        if (n < 0)
            run->ReadFailed = true;
        if (n <= 0)
            break;
        if (maxSize >= 0 && run->Results.BytesRead + n > maxSize) {
            run->TooLarge = true;
            break;
        }
        if (file) {
            if (std::fwrite(buffer.data(), 1, static_cast<std::size_t>(n), file) !=
                static_cast<std::size_t>(n)) {
                run->WriteFailed = true;
                break;
            }
        } else {
            run->Data.append(buffer.data(), static_cast<std::size_t>(n));
        }
        run->Results.BytesRead += n;
        if (!run->HasProgress)
            continue;
        auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() -
                                                                             run->StartTime);
        auto progress = TCustomHttpTransfer::ComputeProgress(
            run->Results.BytesRead, run->Results.ContentLength, elapsed.count());
        progress.ContentType = run->Results.ContentType;
        progress.Data = file ? nullptr : &run->Data;
        run->Results.Progress = progress;
        run->Call(run, [progress](TCustomHttpTransfer& owner) {
            if (owner.OnProgress)
                owner.OnProgress(progress);
        });
    }
    if (run->Aborted && run->FileCreated) {
        // Half a file under the target's name must not be mistaken for a download later.
        closer.Close();
        RemoveFile(s.OutputFileName);
    }
}

void RunFile(const TRunPtr& run, const THttpUrl& url) {
    const std::filesystem::path path = url.LocalPath();
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    if (!in || ec) {
        run->Results.StatusCode = 404;
        return;
    }
    run->Results.StatusCode = 200;
    run->Results.ContentLength = static_cast<int64_t>(size);
    WriteBody(run, [&in](char* buffer, std::size_t count) -> long {
        in.read(buffer, static_cast<std::streamsize>(count));
        return static_cast<long>(in.gcount());
    });
}

Platform::THttpRequestSettings RequestSettings(const TRunPtr& run, const THttpUrl& url) {
    const auto& s = run->Settings;
    Platform::THttpRequestSettings rs;
    rs.Scheme = url.Scheme;
    rs.Host = url.Host;
    rs.Port = url.Port;
    rs.UserName = run->UserName;
    rs.Password = run->Password;
    rs.Object = url.Path + url.Extra;
    const bool post = s.RequestMethod == TRequestMethod::rmPost ||
                      (s.RequestMethod == TRequestMethod::rmAuto && !s.PostData.empty());
    rs.Verb = post ? "POST" : "GET";
    rs.Referrer = s.Referer;
    rs.AcceptTypes = s.AcceptTypes;
    rs.Agent = s.Agent;
    rs.Access = AccessOf(s.Proxy.AccessType);
    rs.ProxyServer = s.Proxy.ProxyServer + ":" + std::to_string(s.Proxy.ProxyPort);
    rs.ProxyBypass = s.Proxy.ProxyBypass;
    rs.NoCache = !s.UseCache;
    rs.NoCookies = !s.UseCookies;
    rs.Offline = s.Offline;
    rs.ConnectTimeout =
        s.Timeouts.ConnectTimeout != 0 ? s.Timeouts.ConnectTimeout : s.Limits.ConnectTimeout;
    rs.ReceiveTimeout = s.Timeouts.ReceiveTimeout;
    rs.SendTimeout = s.Timeouts.SendTimeout;
    rs.StallSpeed = s.Limits.StallSpeed;
    rs.StallTime = s.Limits.StallTime;
    return rs;
}

std::string HeaderText(const THttpTransferSettings& s) {
    std::string text;
    for (const auto& line : s.ExtraHeaders)
        text += line + "\r\n";
    if (s.Range.StartRange != 0 || s.Range.EndRange != 0) {
        text += "RANGE: bytes=" + std::to_string(s.Range.StartRange) + "-";
        if (s.Range.EndRange != 0)
            text += std::to_string(s.Range.EndRange);
        text += "\r\n";
    }
    return text;
}

// Sends the request, going round again while an authentication handler asks for it.
// False when the run ends here.
bool SendWithRetries(const TRunPtr& run, Platform::IHttpRequest& request) {
    const auto& s = run->Settings;
    const bool post = RequestSettings(run, THttpUrl::Crack(s.URL)).Verb == "POST";
    const std::string contentType =
        post && !s.PostData.empty() ? "application/x-www-form-urlencoded" : std::string();
    while (true) {
        if (!request.Send(post ? s.PostData : std::string(), contentType)) {
            run->Stalled = request.Stalled();
            return false;
        }
        auto code = request.StatusCode();
        if (!code)
            return false;
        run->Results.StatusCode = *code;
        bool tryAgain = false;
        if (*code == 401 && run->HasPasswordRequest) {
            const auto realm = TCustomHttpTransfer::RealmOf(
                request.Header("WWW-Authenticate").value_or(std::string()));
            std::string user;
            std::string password;
            if (!run->Call(run, [&](TCustomHttpTransfer& owner) {
                    if (owner.OnPasswordRequest)
                        owner.OnPasswordRequest(realm, tryAgain);
                    user = owner.HTTPUsername();
                    password = owner.HTTPPassword();
                }))
                return false;
            request.SetCredentials(user, password);
        } else if (*code == 407 && run->HasProxyRequest) {
            std::string user;
            std::string password;
            if (!run->Call(run, [&](TCustomHttpTransfer& owner) {
                    if (owner.OnProxyAuthenticationRequest)
                        owner.OnProxyAuthenticationRequest(user, password, tryAgain);
                }))
                return false;
            request.SetProxyCredentials(user, password);
        }
        if (!tryAgain)
            return true;
    }
}

THttpFileStart FileStartInfo(const THttpTransferResults& r, Platform::IHttpRequest& request) {
    THttpFileStart info;
    info.RawHeaders = request.RawHeaders();
    auto header = [&](const char* name) { return request.Header(name).value_or(std::string()); };
    info.ContentLanguage = header("Content-Language");
    info.ContentEncoding = header("Content-Encoding");
    info.Location = header("Location");
    info.Date = HttpDateToDateTime(header("Date"));
    info.LastModified = HttpDateToDateTime(header("Last-Modified"));
    info.LastModifiedUnix = ParseHttpDateUnix(header("Last-Modified"));
    info.Expires = HttpDateToDateTime(header("Expires"));
    info.ContentLength = r.ContentLength;
    info.ContentType = r.ContentType;
    return info;
}

void RunHttp(const TRunPtr& run, const THttpUrl& url) {
    Platform::THttpStatusCallback status;
    if (run->Status)
        status = [run](int code, const std::string& info) {
            if (!run->Aborted)
                run->Status(code, TCustomHttpTransfer::StatusText(code), info);
        };
    std::shared_ptr<Platform::IHttpRequest> request =
        Platform::HttpClient().OpenRequest(RequestSettings(run, url), status);
    if (!request)
        return;
    {
        std::lock_guard lock(run->Mutex);
        if (run->Aborted)
            return;
        run->Request = request;
    }
    const auto headers = HeaderText(run->Settings);
    if (!headers.empty() && !request->AddHeaders(headers))
        return;
    if (!SendWithRetries(run, *request))
        return;
    auto& r = run->Results;
    r.ContentType = request->Header("Content-Type").value_or(std::string());
    r.ContentLength = ParseLength(request->Header("Content-Length"));
    if (run->HasFileStart) {
        const auto info = FileStartInfo(r, *request);
        r.RawHeaders = info.RawHeaders;
        r.ContentLanguage = info.ContentLanguage;
        r.ContentEncoding = info.ContentEncoding;
        r.Location = info.Location;
        r.Date = info.Date;
        r.LastModified = info.LastModified;
        r.Expires = info.Expires;
        bool proceed = true;
        if (!run->Call(run, [&](TCustomHttpTransfer& owner) {
                if (owner.OnFileStart)
                    owner.OnFileStart(info, proceed);
            }))
            return;
        if (!proceed) {
            run->Cancelled = true;
            return;
        }
    }
    WriteBody(run,
              [&request](char* buffer, std::size_t count) { return request->Read(buffer, count); });
    if (run->ReadFailed)
        run->Stalled = request->Stalled();
}

void Execute(const TRunPtr& run) {
    run->StartTime = SteadyClock::now();
    const auto url = THttpUrl::Crack(run->Settings.URL);
    if (!url.UserName.empty()) {
        run->UserName = url.UserName;
        run->Password = url.Password;
    }
    if (url.Scheme == "file")
        RunFile(run, url);
    else
        RunHttp(run, url);
    {
        std::lock_guard lock(run->Mutex);
        run->Request.reset();
    }
    auto& r = run->Results;
    // A failed read ends the body early even when no length was announced to show it.
    run->Success = !run->CreateFailed && !run->WriteFailed && !run->ReadFailed && !run->TooLarge &&
                   !run->Stalled && r.StatusCode == 200 &&
                   (r.ContentLength == 0 || r.BytesRead == r.ContentLength);
    run->Finish(run);
}

} // namespace

TCustomHttpTransfer::TCustomHttpTransfer(std::shared_ptr<IUiCaller> caller)
    : FCaller(std::move(caller)) {}

TCustomHttpTransfer::~TCustomHttpTransfer() {
    if (!FRun)
        return;
    auto run = std::move(FRun);
    std::shared_ptr<Platform::IHttpRequest> request;
    {
        std::lock_guard lock(run->Mutex);
        run->Aborted = true;
        request = run->Request;
    }
    run->Wake.notify_all();
    if (request)
        request->Cancel();
}

bool TCustomHttpTransfer::Start() {
    if (FRun)
        return false;
    auto run = std::make_shared<TRun>();
    run->Owner = this;
    run->Caller = FCaller;
    run->Settings = FSettings;
    run->UserName = HTTPUsername();
    run->Password = HTTPPassword();
    run->HasFileStart = static_cast<bool>(OnFileStart);
    run->HasProgress = static_cast<bool>(OnProgress);
    run->HasPasswordRequest = static_cast<bool>(OnPasswordRequest);
    run->HasProxyRequest = static_cast<bool>(OnProxyAuthenticationRequest);
    run->Status = OnStatus;
    FResults = THttpTransferResults();
    FRun = run;
    ++LiveWorkerCount;
    std::thread([run]() mutable {
        Execute(run);
        run.reset(); // the run's last hold on the caller goes before the worker counts as gone
        --LiveWorkerCount;
    }).detach();
    return true;
}

void TCustomHttpTransfer::Abort() {
    if (!FRun)
        return;
    auto run = std::move(FRun);
    std::shared_ptr<Platform::IHttpRequest> request;
    {
        std::lock_guard lock(run->Mutex);
        run->Aborted = true;
        request = run->Request;
    }
    run->Wake.notify_all();
    if (request)
        request->Cancel();
    if (OnAborted)
        OnAborted();
}

void TCustomHttpTransfer::Finish(const std::shared_ptr<TRun>& run) {
    if (FRun != run)
        return;
    FRun.reset();
    FResults = run->Results;
    const auto& r = run->Results;
    if (run->Cancelled) {
        if (OnCancelled)
            OnCancelled();
    } else if (run->Success) {
        if (OnDone)
            OnDone(r.ContentType, run->Data, r.BytesRead);
    } else {
        if (run->FileCreated)
            RemoveFile(run->Settings.OutputFileName);
        // Another status than 200 is the server's answer whatever its body was like.
        const bool tooLarge = run->TooLarge && r.StatusCode == 200;
        if (tooLarge && OnTooLarge) {
            OnTooLarge(run->Settings.Limits.MaxSize);
        } else if (run->Stalled || tooLarge) {
            // The server was reached and then failed us: a lost connection, not a
            // missing host.
            if (OnConnLost)
                OnConnLost(r.ContentType, run->Data, r.BytesRead, r.ContentLength);
        } else if (r.StatusCode == -1) {
            if (OnHostUnreachable)
                OnHostUnreachable();
        } else if (r.StatusCode != 200 || run->CreateFailed) {
            // An output file that cannot be created counts as a file that cannot be
            // reached, so that the owner hears of it instead of waiting for ever.
            if (OnNotFound)
                OnNotFound(r.StatusCode, run->Data);
        } else if (OnConnLost) {
            OnConnLost(r.ContentType, run->Data, r.BytesRead, r.ContentLength);
        }
    }
    run->Data.clear();
    run->Data.shrink_to_fit();
}

std::string TCustomHttpTransfer::StatusText(int code) {
    switch (code) {
    case 10:
        return "Resolving name";
    case 11:
        return "Name resolved";
    case 20:
        return "Connecting to server";
    case 21:
        return "Connected";
    case 30:
        return "Sending Request";
    case 31:
        return "Request sent";
    case 40:
        return "Receiving response";
    case 41:
        return "Response received";
    case 42:
        return "CTL Response received";
    case 43:
        return "Prefetch";
    case 50:
        return "Closing connection";
    case 51:
        return "Connection closed";
    case 60:
        return "Handle created";
    case 70:
        return "Handle closing";
    case 100:
        return "Request complete";
    case 110:
        return "Redirect";
    case 120:
        return "Intermediate response";
    case 200:
        return "State change";
    default:
        return "Unknown status";
    }
}

THttpProgress TCustomHttpTransfer::ComputeProgress(int64_t bytesRead, int64_t contentLength,
                                                   int64_t elapsedMs) {
    THttpProgress p;
    p.BytesRead = bytesRead;
    p.ContentLength = contentLength;
    p.SecondsElapsed = elapsedMs / 1000;
    if (contentLength > 0)
        p.PercentDone = static_cast<int>(std::llround(static_cast<double>(bytesRead) * 100.0 /
                                                      static_cast<double>(contentLength)));
    if (bytesRead > 0) {
        const auto total =
            std::llround(static_cast<double>(contentLength) / static_cast<double>(bytesRead) *
                         static_cast<double>(p.SecondsElapsed));
        // Without a known length there is no estimate; never show a negative time.
        p.SecondsLeft = std::max<int64_t>(0, total - p.SecondsElapsed);
    }
    p.TransferRate = static_cast<double>(bytesRead) / 1024.0;
    if (p.SecondsElapsed != 0)
        p.TransferRate /= static_cast<double>(p.SecondsElapsed);
    return p;
}

std::string TCustomHttpTransfer::RealmOf(const std::string& header) {
    const auto start = header.find("=\"");
    if (start == std::string::npos)
        return {};
    std::string realm = header.substr(start + 2);
    if (!realm.empty())
        realm.pop_back();
    return realm;
}

int TCustomHttpTransfer::LiveWorkers() {
    return LiveWorkerCount;
}
