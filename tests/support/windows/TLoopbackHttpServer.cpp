#include "support/windows/TLoopbackHttpServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

struct TWinsock {
    TWinsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

void StartWinsock() {
    static TWinsock winsock;
}

SOCKET BoundLoopbackSocket(int& port) {
    StartWinsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return s;
}

const char* ReasonOf(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

TLoopbackHttpServer::TLoopbackHttpServer() {
    SOCKET s = BoundLoopbackSocket(FPort);
    listen(s, 8);
    FListen = static_cast<uintptr_t>(s);
    FAcceptor = std::thread([this] { AcceptLoop(); });
}

TLoopbackHttpServer::~TLoopbackHttpServer() {
    FStopping = true;
    // Closing the listening socket ends the blocking accept.
    closesocket(static_cast<SOCKET>(FListen));
    FAcceptor.join();
}

std::string TLoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(FPort) + path;
}

void TLoopbackHttpServer::Route(const std::string& path, int status, const std::string& body,
                                const std::string& extraHeaders) {
    std::lock_guard lock(FMutex);
    FRoutes[path] = TRoute{status, body, extraHeaders};
}

std::vector<std::string> TLoopbackHttpServer::RequestLines() {
    std::lock_guard lock(FMutex);
    return FRequestLines;
}

int TLoopbackHttpServer::ClosedPort() {
    int port = 0;
    closesocket(BoundLoopbackSocket(port));
    return port;
}

void TLoopbackHttpServer::AcceptLoop() {
    while (!FStopping) {
        const SOCKET client = accept(static_cast<SOCKET>(FListen), nullptr, nullptr);
        if (client == INVALID_SOCKET)
            break;
        Serve(static_cast<uintptr_t>(client));
    }
}

void TLoopbackHttpServer::Serve(uintptr_t clientHandle) {
    const SOCKET client = static_cast<SOCKET>(clientHandle);
    // A client that keeps the connection open must not stall the one serving thread.
    const DWORD timeout = 2000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof timeout);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<size_t>(n));
    }
    const std::string line = request.substr(0, request.find("\r\n"));
    const size_t space = line.find(' ');
    const std::string target = space == std::string::npos
                                   ? std::string()
                                   : line.substr(space + 1, line.find(' ', space + 1) - space - 1);
    TRoute route{404, "no such page", ""};
    {
        std::lock_guard lock(FMutex);
        FRequestLines.push_back(line);
        if (auto it = FRoutes.find(target); it != FRoutes.end())
            route = it->second;
    }
    const std::string reply =
        "HTTP/1.1 " + std::to_string(route.Status) + " " + ReasonOf(route.Status) +
        "\r\nContent-Length: " + std::to_string(route.Body.size()) + "\r\nConnection: close\r\n" +
        route.ExtraHeaders + "\r\n" + route.Body;
    size_t sent = 0;
    while (sent < reply.size()) {
        const int n = send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
        if (n <= 0)
            break;
        sent += static_cast<size_t>(n);
    }
    shutdown(client, SD_SEND);
    // Let the client read the answer before the connection goes.
    while (recv(client, buffer, sizeof buffer, 0) > 0) {
    }
    closesocket(client);
}
