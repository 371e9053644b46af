#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A tiny HTTP server on 127.0.0.1 (a free port) for the Windows transfer tests. Each
// route answers with a fixed status and body; any other path gets 404. One connection
// at a time, closed after each answer.
class TLoopbackHttpServer {
public:
    TLoopbackHttpServer();
    ~TLoopbackHttpServer();
    TLoopbackHttpServer(const TLoopbackHttpServer&) = delete;
    TLoopbackHttpServer& operator=(const TLoopbackHttpServer&) = delete;

    int Port() const { return FPort; }
    std::string Url(const std::string& path) const;
    // extraHeaders: whole lines, each ending in CR LF.
    void Route(const std::string& path, int status, const std::string& body,
               const std::string& extraHeaders = "");
    // The request lines received so far ("GET /x HTTP/1.1").
    std::vector<std::string> RequestLines();

    // A port on 127.0.0.1 on which nothing listens (bound once, then closed).
    static int ClosedPort();

private:
    struct TRoute {
        int Status = 200;
        std::string Body;
        std::string ExtraHeaders;
    };
    void AcceptLoop();
    void Serve(uintptr_t client);

    uintptr_t FListen;
    int FPort = 0;
    std::atomic<bool> FStopping{false};
    std::mutex FMutex;
    std::map<std::string, TRoute> FRoutes;
    std::vector<std::string> FRequestLines;
    std::thread FAcceptor;
};
