#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A small HTTP server on 127.0.0.1 (a free port) for the transfer tests. Each route answers
// with raw bytes, so a test can send exactly what a broken or lying server would.
class TTestHttpServer {
public:
    struct TRequest {
        std::string Method;
        std::string Target;
        std::map<std::string, std::string> Headers; // names in lower case
        std::string Body;
    };
    struct TReply {
        std::string Head;                        // status line and headers, without the blank line
        std::string Body;                        // sent after the blank line
        std::size_t ChunkSize = 0;               // >0: the body goes out in chunks of this size ...
        std::chrono::milliseconds ChunkDelay{0}; // ... with this pause before each
        bool Silent = false;  // reads the request, then never answers until the server stops
        bool Endless = false; // sends the head, then the body again and again for ever
    };
    using THandler = std::function<TReply(const TRequest&)>;

    TTestHttpServer();
    ~TTestHttpServer();

    int Port() const { return FPort; }
    std::string Url(const std::string& path) const;
    void Route(const std::string& path, THandler handler);
    // A plain answer with a correct length.
    static TReply Reply(int status, const std::string& body, const std::string& extraHeaders = "");
    std::vector<TRequest> Requests();

private:
    void AcceptLoop();
    void Serve(int fd);

    int FListen = -1;
    int FPort = 0;
    std::atomic<bool> FStopping{false};
    std::mutex FMutex;
    std::map<std::string, THandler> FRoutes;
    std::vector<TRequest> FRequests;
    std::vector<std::thread> FWorkers;
    std::thread FAcceptor;
};
