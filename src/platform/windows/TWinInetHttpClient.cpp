#include "platform/windows/TWinInetHttpClient.h"

#include "platform/windows/WinText.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include <windows.h>
#include <wininet.h>

namespace Platform {
namespace {

class TWinInetRequest : public IHttpRequest {
public:
    TWinInetRequest(const THttpRequestSettings& settings, THttpStatusCallback status)
        : FStatus(std::move(status)) {
        DWORD access = INTERNET_OPEN_TYPE_PRECONFIG;
        std::wstring proxy;
        std::wstring bypass;
        if (settings.Access == THttpAccess::Direct)
            access = INTERNET_OPEN_TYPE_DIRECT;
        if (settings.Access == THttpAccess::Proxy) {
            access = INTERNET_OPEN_TYPE_PROXY;
            proxy = Win::Widen(settings.ProxyServer);
            bypass = Win::Widen(settings.ProxyBypass);
        }
        FInternet = InternetOpenW(Win::Widen(settings.Agent).c_str(), access,
                                  proxy.empty() ? nullptr : proxy.c_str(),
                                  bypass.empty() ? nullptr : bypass.c_str(),
                                  settings.Offline ? INTERNET_FLAG_OFFLINE : 0);
        if (!FInternet)
            return;
        // Always watched: whether the connection was made tells a silent server from an
        // unreachable one.
        InternetSetStatusCallbackW(FInternet, &StatusCallback);
        FConnect = InternetConnectW(
            FInternet, Win::Widen(settings.Host).c_str(), static_cast<INTERNET_PORT>(settings.Port),
            NullIfEmpty(Win::Widen(settings.UserName)), NullIfEmpty(Win::Widen(settings.Password)),
            INTERNET_SERVICE_HTTP, 0, reinterpret_cast<DWORD_PTR>(this));
        if (!FConnect)
            return;
        DWORD flags = 0;
        if (settings.NoCache)
            flags |=
                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
        if (settings.NoCookies)
            flags |= INTERNET_FLAG_NO_COOKIES;
        if (settings.Scheme == "https")
            flags |= INTERNET_FLAG_SECURE;
        std::wstring accept = Win::Widen(settings.AcceptTypes);
        const wchar_t* acceptTypes[] = {accept.c_str(), nullptr};
        std::wstring referrer = Win::Widen(settings.Referrer);
        FRequest = HttpOpenRequestW(FConnect, Win::Widen(settings.Verb).c_str(),
                                    Win::Widen(settings.Object).c_str(), nullptr,
                                    NullIfEmpty(referrer), accept.empty() ? nullptr : acceptTypes,
                                    flags, reinterpret_cast<DWORD_PTR>(this));
        if (!FRequest)
            return;
        FStallSpeed = settings.StallSpeed;
        FStallTime = settings.StallTime;
        // A blocking call that gets nothing for a whole stall window gives up by itself;
        // Read counts the bytes of slower trickles.
        FReceiveTimeout =
            settings.ReceiveTimeout != 0 ? settings.ReceiveTimeout : settings.StallTime;
        SetTimeout(INTERNET_OPTION_CONNECT_TIMEOUT, settings.ConnectTimeout);
        SetTimeout(INTERNET_OPTION_RECEIVE_TIMEOUT, FReceiveTimeout);
        SetTimeout(INTERNET_OPTION_SEND_TIMEOUT,
                   settings.SendTimeout != 0 ? settings.SendTimeout : settings.StallTime);
    }

    ~TWinInetRequest() override { CloseAll(); }

    bool Valid() const { return FRequest != nullptr; }

    bool AddHeaders(const std::string& headerText) override {
        auto wide = Win::Widen(headerText);
        return HttpAddRequestHeadersW(FRequest, wide.c_str(), static_cast<DWORD>(wide.size()),
                                      HTTP_ADDREQ_FLAG_ADD) != FALSE;
    }

    bool Send(const std::string& body, const std::string& contentType) override {
        FAnswered = false;
        FStalled = false;
        if (FCancelled)
            return false;
        std::wstring headers;
        if (!contentType.empty())
            headers = L"Content-Type: " + Win::Widen(contentType) + L"\r\n";
        const ULONGLONG start = GetTickCount64();
        FAnswered = HttpSendRequestW(FRequest, headers.empty() ? nullptr : headers.c_str(),
                                     static_cast<DWORD>(headers.size()),
                                     body.empty() ? nullptr : const_cast<char*>(body.data()),
                                     static_cast<DWORD>(body.size())) != FALSE;
        if (!FAnswered)
            NoteTimeout(GetTickCount64() - start);
        return FAnswered;
    }

    void SetCredentials(const std::string& userName, const std::string& password) override {
        SetText(INTERNET_OPTION_USERNAME, userName);
        SetText(INTERNET_OPTION_PASSWORD, password);
    }

    void SetProxyCredentials(const std::string& userName, const std::string& password) override {
        SetText(INTERNET_OPTION_PROXY_USERNAME, userName);
        SetText(INTERNET_OPTION_PROXY_PASSWORD, password);
    }

    std::optional<int> StatusCode() const override {
        // After a failed send the handle may still answer queries with made-up values.
        if (!FAnswered)
            return std::nullopt;
        auto text = Query(HTTP_QUERY_STATUS_CODE, nullptr);
        if (!text)
            return std::nullopt;
        try {
            return std::stoi(*text);
        } catch (...) {
            return 0;
        }
    }

    std::optional<std::string> Header(const std::string& name) const override {
        if (!FAnswered)
            return std::nullopt;
        return Query(HTTP_QUERY_CUSTOM, &name);
    }

    std::string RawHeaders() const override {
        if (!FAnswered)
            return {};
        return Query(HTTP_QUERY_RAW_HEADERS_CRLF, nullptr).value_or(std::string());
    }

    long Read(char* buffer, std::size_t size) override {
        if (FCancelled || !FAnswered)
            return -1;
        // Waiting for what is there first keeps a read from blocking until a whole buffer
        // has trickled in, so the stall window sees every byte as it comes.
        const ULONGLONG start = GetTickCount64();
        DWORD available = 0;
        if (!InternetQueryDataAvailable(FRequest, &available, 0, 0)) {
            NoteTimeout(GetTickCount64() - start);
            return -1;
        }
        DWORD read = 0;
        if (available > 0 &&
            !InternetReadFile(FRequest, buffer,
                              static_cast<DWORD>(std::min<std::size_t>(size, available)), &read)) {
            NoteTimeout(GetTickCount64() - start);
            return -1;
        }
        if (SlowerThanTheStallLimit(GetTickCount64() - start, read)) {
            FStalled = true;
            return -1;
        }
        return static_cast<long>(read);
    }

    void Cancel() override {
        // Closing the internet handle makes a blocking call on it return at once.
        FCancelled = true;
        HINTERNET internet = FInternet.exchange(nullptr);
        if (internet)
            InternetCloseHandle(internet);
    }

    bool Stalled() const override { return FStalled; }

private:
    // A timeout after the connection was made is a silent server, not a missing one. Not
    // every implementation of the library names it as one, so a call that waited out the
    // whole receive timeout counts as well.
    void NoteTimeout(ULONGLONG waitedMs) {
        const DWORD error = GetLastError();
        const bool waitedItOut = FReceiveTimeout != 0 && waitedMs * 10 >= FReceiveTimeout * 9ull;
        if (FConnected && (error == ERROR_INTERNET_TIMEOUT || waitedItOut))
            FStalled = true;
    }

    // Adds one wait and what it brought; true when a whole stall window of waiting
    // brought fewer bytes than the limit asks for.
    bool SlowerThanTheStallLimit(ULONGLONG waitedMs, DWORD bytes) {
        if (FStallTime == 0)
            return false;
        FStallWaited += waitedMs;
        FStallBytes += bytes;
        if (FStallWaited < FStallTime)
            return false;
        const bool slow = FStallBytes * 1000 < static_cast<ULONGLONG>(FStallSpeed) * FStallTime;
        FStallWaited = 0;
        FStallBytes = 0;
        return slow;
    }

    static const wchar_t* NullIfEmpty(const std::wstring& text) {
        return text.empty() ? nullptr : text.c_str();
    }

    void CloseAll() {
        if (FRequest)
            InternetCloseHandle(FRequest);
        if (FConnect)
            InternetCloseHandle(FConnect);
        HINTERNET internet = FInternet.exchange(nullptr);
        if (internet)
            InternetCloseHandle(internet);
        FRequest = FConnect = nullptr;
    }

    void SetTimeout(DWORD option, uint32_t value) {
        if (value == 0)
            return;
        DWORD v = value;
        InternetSetOptionW(FRequest, option, &v, sizeof v);
    }

    void SetText(DWORD option, const std::string& text) {
        auto wide = Win::Widen(text);
        InternetSetOptionW(FRequest, option, const_cast<wchar_t*>(wide.c_str()),
                           static_cast<DWORD>(wide.size()));
    }

    std::optional<std::string> Query(DWORD level, const std::string* name) const {
        std::vector<wchar_t> buffer(1024);
        for (int attempt = 0; attempt < 2; ++attempt) {
            DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            if (name) {
                auto wide = Win::Widen(*name);
                std::copy(wide.begin(), wide.end(), buffer.begin());
                buffer[wide.size()] = 0;
            }
            DWORD index = 0;
            if (HttpQueryInfoW(FRequest, level, buffer.data(), &bytes, &index))
                return Win::Narrow(std::wstring_view(buffer.data(), bytes / sizeof(wchar_t)));
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                return std::nullopt;
            buffer.resize(bytes / sizeof(wchar_t) + 1);
        }
        return std::nullopt;
    }

    static void CALLBACK StatusCallback(HINTERNET, DWORD_PTR context, DWORD code, LPVOID info,
                                        DWORD length) {
        auto* self = reinterpret_cast<TWinInetRequest*>(context);
        if (!self)
            return;
        if (code == INTERNET_STATUS_CONNECTED_TO_SERVER)
            self->FConnected = true;
        if (!self->FStatus)
            return;
        std::string text;
        if (code == INTERNET_STATUS_REDIRECT && info)
            text = std::string(static_cast<const char*>(info), length ? length - 1 : 0);
        self->FStatus(static_cast<int>(code), text);
    }

    THttpStatusCallback FStatus;
    std::atomic<HINTERNET> FInternet{nullptr};
    HINTERNET FConnect = nullptr;
    HINTERNET FRequest = nullptr;
    std::atomic<bool> FCancelled{false};
    bool FAnswered = false;              // the last Send received a response
    std::atomic<bool> FConnected{false}; // set from the status callback
    bool FStalled = false;
    uint32_t FStallSpeed = 0;
    uint32_t FStallTime = 0;
    uint32_t FReceiveTimeout = 0; // ms, 0: the library's own
    ULONGLONG FStallWaited = 0;
    ULONGLONG FStallBytes = 0;
};

} // namespace

std::unique_ptr<IHttpRequest> TWinInetHttpClient::OpenRequest(const THttpRequestSettings& settings,
                                                              THttpStatusCallback status) {
    auto request = std::make_unique<TWinInetRequest>(settings, std::move(status));
    if (!request->Valid())
        return nullptr;
    return request;
}

} // namespace Platform
