#include "platform/linux/TCurlHttpClient.h"

#include <algorithm>
#include <cctype>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <curl/curl.h>

namespace Platform {
namespace {

using Clock = std::chrono::steady_clock;

// Bytes kept waiting for Read before the connection is paused.
constexpr std::size_t MaxPending = 256 * 1024;
constexpr int PollMilliseconds = 50;

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// One cookie store for every request of the process, as a browser session has.
class TCookieShare {
public:
    TCookieShare() {
        FShare = curl_share_init();
        curl_share_setopt(FShare, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(FShare, CURLSHOPT_USERDATA, this);
        curl_share_setopt(FShare, CURLSHOPT_LOCKFUNC, &Lock);
        curl_share_setopt(FShare, CURLSHOPT_UNLOCKFUNC, &Unlock);
    }
    CURLSH* Handle() const { return FShare; }

private:
    static void Lock(CURL*, curl_lock_data, curl_lock_access, void* self) {
        static_cast<TCookieShare*>(self)->FMutex.lock();
    }
    static void Unlock(CURL*, curl_lock_data, void* self) {
        static_cast<TCookieShare*>(self)->FMutex.unlock();
    }
    CURLSH* FShare = nullptr;
    std::mutex FMutex;
};

CURLSH* CookieShare() {
    // Never freed: requests of detached workers may still use it while the process ends.
    static auto* share = new TCookieShare;
    return share->Handle();
}

class TCurlHttpRequest : public IHttpRequest {
public:
    TCurlHttpRequest(THttpRequestSettings settings, THttpStatusCallback status)
        : FSettings(std::move(settings)), FStatus(std::move(status)) {
        FMulti = curl_multi_init();
        FEasy = curl_easy_init();
        Notify(hsHandleCreated, {});
    }

    ~TCurlHttpRequest() override {
        Notify(hsHandleClosing, {});
        if (FAdded)
            curl_multi_remove_handle(FMulti, FEasy);
        curl_easy_cleanup(FEasy);
        curl_multi_cleanup(FMulti);
        curl_slist_free_all(FHeaderList);
    }

    bool Valid() const { return FMulti && FEasy; }

    bool AddHeaders(const std::string& headerText) override {
        std::size_t start = 0;
        while (start < headerText.size()) {
            auto end = headerText.find("\r\n", start);
            if (end == std::string::npos)
                end = headerText.size();
            auto line = headerText.substr(start, end - start);
            if (!line.empty())
                FExtraHeaders.push_back(line);
            start = end + 2;
        }
        return true;
    }

    bool Send(const std::string& body, const std::string& contentType) override {
        if (FCancelled)
            return false;
        Reset();
        if (!Configure(body, contentType))
            return false;
        if (curl_multi_add_handle(FMulti, FEasy) != CURLM_OK)
            return false;
        FAdded = true;
        Notify(hsResolvingName, FSettings.Host);
        auto lastProgress = Clock::now();
        while (!FHeadersDone && !FDone) {
            const uint64_t before = FReceived;
            if (!Wait())
                return false;
            if (FReceived != before)
                lastProgress = Clock::now();
            if (ReceiveTimedOut(lastProgress))
                return false;
        }
        return FHeadersDone && FFinalStatus.has_value();
    }

    void SetCredentials(const std::string& userName, const std::string& password) override {
        FSettings.UserName = userName;
        FSettings.Password = password;
    }

    void SetProxyCredentials(const std::string& userName, const std::string& password) override {
        FProxyUser = userName;
        FProxyPassword = password;
    }

    std::optional<int> StatusCode() const override { return FFinalStatus; }

    std::optional<std::string> Header(const std::string& name) const override {
        for (const auto& [key, value] : FHeaders)
            if (EqualNoCase(key, name))
                return value;
        return std::nullopt;
    }

    std::string RawHeaders() const override { return FRawHeaders; }

    long Read(char* buffer, std::size_t size) override {
        auto lastProgress = Clock::now();
        while (true) {
            if (FPendingPos < FPending.size()) {
                std::size_t n = std::min(size, FPending.size() - FPendingPos);
                std::memcpy(buffer, FPending.data() + FPendingPos, n);
                FPendingPos += n;
                if (FPendingPos == FPending.size()) {
                    FPending.clear();
                    FPendingPos = 0;
                }
                return static_cast<long>(n);
            }
            if (FDone)
                return FResult == CURLE_OK ? 0 : -1;
            if (FPaused) {
                FPaused = false;
                curl_easy_pause(FEasy, CURLPAUSE_CONT);
            }
            if (!Wait())
                return -1;
            if (FPending.empty() && ReceiveTimedOut(lastProgress))
                return -1;
            if (!FPending.empty())
                lastProgress = Clock::now();
        }
    }

    void Cancel() override {
        FCancelled = true;
        if (FMulti)
            curl_multi_wakeup(FMulti);
    }

    bool Stalled() const override { return FStalled; }

private:
    void Notify(int code, const std::string& info) {
        if (FStatus)
            FStatus(code, info);
    }

    void Reset() {
        if (FAdded) {
            curl_multi_remove_handle(FMulti, FEasy);
            FAdded = false;
        }
        curl_easy_reset(FEasy);
        curl_slist_free_all(FHeaderList);
        FHeaderList = nullptr;
        FHeadersDone = FDone = FPaused = FReceiving = FConnected = FStalled = false;
        FStallWaited = Clock::duration::zero();
        FStallBytes = 0;
        FResult = CURLE_OK;
        FFinalStatus.reset();
        FBlockStatus = 0;
        FRawHeaders.clear();
        FHeaders.clear();
        FPending.clear();
        FPendingPos = 0;
    }

    bool ReceiveTimedOut(Clock::time_point lastProgress) {
        if (FSettings.ReceiveTimeout == 0)
            return false;
        if (Clock::now() - lastProgress <= std::chrono::milliseconds(FSettings.ReceiveTimeout))
            return false;
        FStalled = FConnected;
        return true;
    }

    // One step of the transfer with the stall limit kept: the time spent here and the
    // bytes that came meanwhile are counted, window after window. False when the request
    // failed, was cancelled or stalled.
    bool Wait() {
        const auto start = Clock::now();
        const uint64_t before = FReceived;
        if (!Drive())
            return false;
        if (FSettings.StallTime == 0 || !FConnected)
            return true; // connecting is bounded by the connect timeout
        FStallWaited += Clock::now() - start;
        FStallBytes += FReceived - before;
        const auto window = std::chrono::milliseconds(FSettings.StallTime);
        if (FStallWaited < window)
            return true;
        const bool slow =
            FStallBytes * 1000 < static_cast<uint64_t>(FSettings.StallSpeed) * FSettings.StallTime;
        FStallWaited = Clock::duration::zero();
        FStallBytes = 0;
        FStalled = slow;
        return !slow;
    }

    std::string Url() const {
        std::string url = FSettings.Scheme + "://";
        bool ipv6 = FSettings.Host.find(':') != std::string::npos;
        url += ipv6 ? "[" + FSettings.Host + "]" : FSettings.Host;
        url += ":" + std::to_string(FSettings.Port);
        if (FSettings.Object.empty() || FSettings.Object.front() != '/')
            url += "/";
        return url + FSettings.Object;
    }

    void AddHeader(const std::string& line) {
        FHeaderList = curl_slist_append(FHeaderList, line.c_str());
    }

    bool Configure(const std::string& body, const std::string& contentType) {
        auto url = Url();
        curl_easy_setopt(FEasy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(FEasy, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(FEasy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(FEasy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(FEasy, CURLOPT_MAXREDIRS, 20L);
        curl_easy_setopt(FEasy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(FEasy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        curl_easy_setopt(FEasy, CURLOPT_HEADERFUNCTION, &HeaderCallback);
        curl_easy_setopt(FEasy, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(FEasy, CURLOPT_WRITEFUNCTION, &WriteCallback);
        curl_easy_setopt(FEasy, CURLOPT_WRITEDATA, this);
        if (FStatus) {
            curl_easy_setopt(FEasy, CURLOPT_VERBOSE, 1L);
            curl_easy_setopt(FEasy, CURLOPT_DEBUGFUNCTION, &DebugCallback);
            curl_easy_setopt(FEasy, CURLOPT_DEBUGDATA, this);
        }
        curl_easy_setopt(FEasy, CURLOPT_USERAGENT, FSettings.Agent.c_str());
        if (!FSettings.Referrer.empty())
            curl_easy_setopt(FEasy, CURLOPT_REFERER, FSettings.Referrer.c_str());
        if (FSettings.ConnectTimeout != 0)
            curl_easy_setopt(FEasy, CURLOPT_CONNECTTIMEOUT_MS,
                             static_cast<long>(FSettings.ConnectTimeout));
        // libcurl has no send timeout of its own; the stall limit bounds a request that
        // does not get its answer, however far its sending got.
        curl_easy_setopt(FEasy, CURLOPT_PREREQFUNCTION, &PrereqCallback);
        curl_easy_setopt(FEasy, CURLOPT_PREREQDATA, this);
        ConfigureProxy();
        ConfigureAuth();
        if (!FSettings.NoCookies) {
            curl_easy_setopt(FEasy, CURLOPT_SHARE, CookieShare());
            curl_easy_setopt(FEasy, CURLOPT_COOKIEFILE, "");
        }
        if (!FSettings.AcceptTypes.empty())
            AddHeader("Accept: " + FSettings.AcceptTypes);
        if (FSettings.NoCache) {
            AddHeader("Cache-Control: no-cache");
            AddHeader("Pragma: no-cache");
        }
        for (const auto& line : FExtraHeaders)
            AddHeader(line);
        if (FSettings.Verb == "POST") {
            if (!contentType.empty())
                AddHeader("Content-Type: " + contentType);
            curl_easy_setopt(FEasy, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(body.size()));
            curl_easy_setopt(FEasy, CURLOPT_COPYPOSTFIELDS, body.c_str());
        } else {
            curl_easy_setopt(FEasy, CURLOPT_HTTPGET, 1L);
        }
        curl_easy_setopt(FEasy, CURLOPT_HTTPHEADER, FHeaderList);
        return true;
    }

    void ConfigureProxy() {
        switch (FSettings.Access) {
        case THttpAccess::Preconfig:
            break; // libcurl reads the proxy variables of the environment by itself
        case THttpAccess::Direct:
            curl_easy_setopt(FEasy, CURLOPT_PROXY, "");
            break;
        case THttpAccess::Proxy: {
            curl_easy_setopt(FEasy, CURLOPT_PROXY, FSettings.ProxyServer.c_str());
            std::string bypass;
            for (char c : FSettings.ProxyBypass)
                bypass += (c == ';' || c == ' ') ? ',' : c;
            curl_easy_setopt(FEasy, CURLOPT_NOPROXY, bypass.c_str());
            if (!FProxyUser.empty()) {
                curl_easy_setopt(FEasy, CURLOPT_PROXYUSERNAME, FProxyUser.c_str());
                curl_easy_setopt(FEasy, CURLOPT_PROXYPASSWORD, FProxyPassword.c_str());
            }
            break;
        }
        }
    }

    void ConfigureAuth() {
        if (FSettings.UserName.empty())
            return;
        // Basic only: it goes with the first request, so a 401 that follows is the
        // server's last word rather than one leg of a negotiation.
        curl_easy_setopt(FEasy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(FEasy, CURLOPT_USERNAME, FSettings.UserName.c_str());
        curl_easy_setopt(FEasy, CURLOPT_PASSWORD, FSettings.Password.c_str());
    }

    // One step of the transfer. False when the request was cancelled or libcurl failed.
    bool Drive() {
        if (FCancelled)
            return false;
        int running = 0;
        if (curl_multi_perform(FMulti, &running) != CURLM_OK)
            return false;
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(FMulti, &queued)) {
            if (msg->msg == CURLMSG_DONE) {
                FDone = true;
                FResult = msg->data.result;
                Notify(hsRequestComplete, {});
                if (!FFinalStatus && FBlockStatus > 0) {
                    // A response cut off before its headers ended: take what came.
                    FFinalStatus = FBlockStatus;
                    FHeadersDone = true;
                }
            }
        }
        if (FHeadersDone || FDone || FCancelled || !FPending.empty())
            return !FCancelled;
        curl_multi_poll(FMulti, nullptr, 0, PollMilliseconds, nullptr);
        return !FCancelled;
    }

    void EndOfHeaderBlock() {
        if (FBlockStatus >= 100 && FBlockStatus < 200)
            return; // an interim answer; the real one follows
        auto location = Header("Location");
        if (FBlockStatus >= 300 && FBlockStatus < 400 && location && !location->empty()) {
            Notify(hsRedirect, ResolveAgainstCurrent(*location));
            return; // libcurl follows it; the next block is the answer
        }
        FFinalStatus = FBlockStatus;
        FHeadersDone = true;
        Notify(hsResponseReceived, {});
    }

    std::string ResolveAgainstCurrent(const std::string& location) const {
        char* current = nullptr;
        curl_easy_getinfo(FEasy, CURLINFO_EFFECTIVE_URL, &current);
        CURLU* url = curl_url();
        std::string resolved = location;
        char* full = nullptr;
        if (current && curl_url_set(url, CURLUPART_URL, current, 0) == CURLUE_OK &&
            curl_url_set(url, CURLUPART_URL, location.c_str(), 0) == CURLUE_OK &&
            curl_url_get(url, CURLUPART_URL, &full, 0) == CURLUE_OK) {
            resolved = full;
            curl_free(full);
        }
        curl_url_cleanup(url);
        return resolved;
    }

    void HeaderLine(const std::string& line) {
        if (line.rfind("HTTP/", 0) == 0) {
            FRawHeaders.clear();
            FHeaders.clear();
            auto blank = line.find(' ');
            FBlockStatus = 0;
            if (blank != std::string::npos) {
                try {
                    FBlockStatus = std::stoi(line.substr(blank + 1, 3));
                } catch (...) {
                    FBlockStatus = 0;
                }
            }
            if (!FReceiving) {
                FReceiving = true;
                Notify(hsReceivingResponse, {});
            }
        }
        if (line == "\r\n" || line == "\n") {
            EndOfHeaderBlock();
            return;
        }
        FRawHeaders += Trim(line) + "\r\n";
        auto colon = line.find(':');
        if (colon != std::string::npos && line.rfind("HTTP/", 0) != 0)
            FHeaders.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }

    static size_t HeaderCallback(char* data, size_t size, size_t count, void* self) {
        auto* request = static_cast<TCurlHttpRequest*>(self);
        request->FReceived += size * count;
        request->HeaderLine(std::string(data, size * count));
        return size * count;
    }

    // Called once the connection (to the server or the proxy) is made.
    static int PrereqCallback(void* self, char*, char*, int, int) {
        static_cast<TCurlHttpRequest*>(self)->FConnected = true;
        return CURL_PREREQFUNC_OK;
    }

    static size_t WriteCallback(char* data, size_t size, size_t count, void* self) {
        auto* request = static_cast<TCurlHttpRequest*>(self);
        if (request->FPending.size() - request->FPendingPos > MaxPending) {
            request->FPaused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        if (!request->FHeadersDone && request->FBlockStatus > 0) {
            request->FFinalStatus = request->FBlockStatus;
            request->FHeadersDone = true;
        }
        request->FPending.append(data, size * count);
        request->FReceived += size * count;
        return size * count;
    }

    static int DebugCallback(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        auto* request = static_cast<TCurlHttpRequest*>(self);
        std::string text(data, size);
        if (type == CURLINFO_TEXT) {
            if (text.rfind("  Trying", 0) == 0 || text.rfind("Trying", 0) == 0) {
                request->Notify(hsNameResolved, {});
                request->Notify(hsConnectingToServer, {});
            } else if (text.rfind("Connected to", 0) == 0) {
                request->Notify(hsConnectedToServer, {});
            } else if (text.rfind("Closing connection", 0) == 0) {
                request->Notify(hsClosingConnection, {});
                request->Notify(hsConnectionClosed, {});
            }
        } else if (type == CURLINFO_HEADER_OUT) {
            request->Notify(hsSendingRequest, {});
            request->Notify(hsRequestSent, {});
        }
        return 0;
    }

    THttpRequestSettings FSettings;
    THttpStatusCallback FStatus;
    CURLM* FMulti = nullptr;
    CURL* FEasy = nullptr;
    curl_slist* FHeaderList = nullptr;
    std::vector<std::string> FExtraHeaders;
    std::string FProxyUser;
    std::string FProxyPassword;
    bool FAdded = false;
    bool FHeadersDone = false;
    bool FDone = false;
    bool FPaused = false;
    bool FReceiving = false;
    bool FConnected = false;
    bool FStalled = false;
    uint64_t FReceived = 0; // bytes of headers and body, over every Send
    Clock::duration FStallWaited{};
    uint64_t FStallBytes = 0;
    CURLcode FResult = CURLE_OK;
    int FBlockStatus = 0;
    std::optional<int> FFinalStatus;
    std::string FRawHeaders;
    std::vector<std::pair<std::string, std::string>> FHeaders;
    std::string FPending;
    std::size_t FPendingPos = 0;
    std::atomic<bool> FCancelled{false};
};

} // namespace

TCurlHttpClient::TCurlHttpClient() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::unique_ptr<IHttpRequest> TCurlHttpClient::OpenRequest(const THttpRequestSettings& settings,
                                                           THttpStatusCallback status) {
    if (settings.Offline)
        return nullptr; // no cache to answer from, so offline means no answer
    auto request = std::make_unique<TCurlHttpRequest>(settings, std::move(status));
    if (!request->Valid())
        return nullptr;
    return request;
}

} // namespace Platform
