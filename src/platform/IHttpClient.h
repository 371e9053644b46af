#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace Platform {

// How requests reach the network.
enum class THttpAccess {
    Preconfig, // the system's own proxy configuration
    Direct,    // never through a proxy
    Proxy      // through the named proxy server
};

// Everything a connection and one request need; the transfer engine fills it in from its
// settings and the cracked URL.
struct THttpRequestSettings {
    std::string Scheme; // "http" or "https"
    std::string Host;
    int Port = 80;
    std::string UserName; // empty: no credentials for the server
    std::string Password;
    std::string Object; // path plus query, as sent in the request line
    std::string Verb = "GET";
    std::string Referrer;
    std::string AcceptTypes;
    std::string Agent;
    THttpAccess Access = THttpAccess::Preconfig;
    std::string ProxyServer; // "host:port" for THttpAccess::Proxy
    std::string ProxyBypass; // host names separated by ';'
    bool NoCache = false;    // bypass every cache on the way
    bool NoCookies = false;  // neither send nor store cookies
    bool Offline = false;    // no network: the request fails
    // Milliseconds; 0 keeps the system's default.
    uint32_t ConnectTimeout = 0;
    uint32_t ReceiveTimeout = 0;
    uint32_t SendTimeout = 0;
    // Once connected, a request whose data (the answer's headers or its body) comes slower
    // than StallSpeed bytes per second over StallTime milliseconds of waiting fails, and
    // Stalled() says so. StallTime 0: no such limit. Time spent outside Send and Read
    // (the caller busy with what it read) does not count.
    uint32_t StallSpeed = 0;
    uint32_t StallTime = 0;
};

// The codes of the status notifications a request reports while it works. The numbers
// are those of the Windows internet library, so both backends speak the same language.
enum THttpStatusCode : int {
    hsResolvingName = 10,
    hsNameResolved = 11,
    hsConnectingToServer = 20,
    hsConnectedToServer = 21,
    hsSendingRequest = 30,
    hsRequestSent = 31,
    hsReceivingResponse = 40,
    hsResponseReceived = 41,
    hsClosingConnection = 50,
    hsConnectionClosed = 51,
    hsHandleCreated = 60,
    hsHandleClosing = 70,
    hsRequestComplete = 100,
    hsRedirect = 110,
};

// Called on the thread that runs the request; info is the new address for hsRedirect.
using THttpStatusCallback = std::function<void(int code, const std::string& info)>;

// One HTTP request, driven from one worker thread, except Cancel which any thread may call.
class IHttpRequest {
public:
    virtual ~IHttpRequest() = default;
    // Header lines, each ending in CR LF, sent with every Send that follows.
    virtual bool AddHeaders(const std::string& headerText) = 0;
    // Sends the request (again, after new credentials) and waits for the final response
    // headers; redirects are followed. body non-empty: it is sent with contentType.
    // False when no answer arrived at all.
    virtual bool Send(const std::string& body, const std::string& contentType) = 0;
    virtual void SetCredentials(const std::string& userName, const std::string& password) = 0;
    virtual void SetProxyCredentials(const std::string& userName, const std::string& password) = 0;
    // The status code of the last response; nullopt when there was none.
    virtual std::optional<int> StatusCode() const = 0;
    // The value of the last response's header (name in any case); nullopt when absent.
    virtual std::optional<std::string> Header(const std::string& name) const = 0;
    // The last response's status line and header lines, each ending in CR LF.
    virtual std::string RawHeaders() const = 0;
    // Reads up to size bytes of the body: the count, 0 at its end, -1 on a failure.
    virtual long Read(char* buffer, std::size_t size) = 0;
    // Makes a Send or Read that is waiting, now or later, return a failure at once.
    virtual void Cancel() = 0;
    // True when the last Send or Read failed because the server, once connected, went
    // silent or too slow (the stall limit, or a receive or send timeout); false when it
    // failed for any other reason, such as no connection at all.
    virtual bool Stalled() const = 0;
};

class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    // Prepares a request; nullptr when the internet handle cannot be opened (offline
    // mode, a broken setting). status may be empty.
    virtual std::unique_ptr<IHttpRequest> OpenRequest(const THttpRequestSettings& settings,
                                                      THttpStatusCallback status) = 0;
};

IHttpClient& HttpClient();
// Installs a replacement and returns the previous instance.
std::unique_ptr<IHttpClient> SetHttpClient(std::unique_ptr<IHttpClient> client);

} // namespace Platform
