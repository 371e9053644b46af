#include "TTestHttpServer.h"

#include <cctype>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

TTestHttpServer::TTestHttpServer() {
    FListen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(FListen, 16);
    socklen_t len = sizeof addr;
    ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len);
    FPort = ntohs(addr.sin_port);
    FAcceptor = std::thread([this] { AcceptLoop(); });
}

TTestHttpServer::~TTestHttpServer() {
    FStopping = true;
    ::shutdown(FListen, SHUT_RDWR);
    FAcceptor.join();
    ::close(FListen);
    for (auto& t : FWorkers)
        t.join();
}

std::string TTestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(FPort) + path;
}

void TTestHttpServer::Route(const std::string& path, THandler handler) {
    std::lock_guard lock(FMutex);
    FRoutes[path] = std::move(handler);
}

TTestHttpServer::TReply TTestHttpServer::Reply(int status, const std::string& body,
                                               const std::string& extraHeaders) {
    TReply reply;
    reply.Head = "HTTP/1.1 " + std::to_string(status) +
                 " Status\r\nContent-Length: " + std::to_string(body.size()) +
                 "\r\nConnection: close\r\n" + extraHeaders;
    if (!reply.Head.empty() && reply.Head.back() == '\n')
        reply.Head.resize(reply.Head.size() - 2);
    reply.Body = body;
    return reply;
}

std::vector<TTestHttpServer::TRequest> TTestHttpServer::Requests() {
    std::lock_guard lock(FMutex);
    return FRequests;
}

void TTestHttpServer::AcceptLoop() {
    while (!FStopping) {
        int fd = ::accept(FListen, nullptr, nullptr);
        if (fd < 0)
            return;
        std::lock_guard lock(FMutex);
        FWorkers.emplace_back([this, fd] {
            Serve(fd);
            ::close(fd);
        });
    }
}

void TTestHttpServer::Serve(int fd) {
    std::string input;
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::size_t headEnd = std::string::npos;
    while (headEnd == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        input.append(buffer, static_cast<std::size_t>(n));
        headEnd = input.find("\r\n\r\n");
    }
    if (headEnd == std::string::npos)
        return;
    TRequest request;
    std::size_t lineEnd = input.find("\r\n");
    std::string first = input.substr(0, lineEnd);
    request.Method = first.substr(0, first.find(' '));
    request.Target = first.substr(first.find(' ') + 1);
    request.Target = request.Target.substr(0, request.Target.find(' '));
    std::size_t pos = lineEnd + 2;
    while (pos < headEnd) {
        std::size_t end = input.find("\r\n", pos);
        std::string line = input.substr(pos, end - pos);
        auto colon = line.find(':');
        if (colon != std::string::npos) {
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            request.Headers[Lower(line.substr(0, colon))] = value;
        }
        pos = end + 2;
    }
    std::size_t length = 0;
    if (request.Headers.count("content-length"))
        length = std::stoul(request.Headers["content-length"]);
    request.Body = input.substr(headEnd + 4);
    while (request.Body.size() < length && std::chrono::steady_clock::now() < deadline) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.Body.append(buffer, static_cast<std::size_t>(n));
    }
    THandler handler;
    {
        std::lock_guard lock(FMutex);
        FRequests.push_back(request);
        std::string path = request.Target.substr(0, request.Target.find('?'));
        if (path.rfind("http://", 0) == 0) // a proxy request names the whole URL
            path = path.substr(path.find('/', 7));
        if (FRoutes.count(path))
            handler = FRoutes[path];
    }
    TReply reply = handler ? handler(request) : Reply(404, "no such page");
    if (reply.Silent) {
        while (!FStopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return;
    }
    std::string head = reply.Head + "\r\n\r\n";
    if (!SendAll(fd, head.data(), head.size()))
        return;
    if (reply.Endless) {
        // Until the client hangs up (or the test ends): a server that never stops.
        std::size_t at = 0;
        while (!FStopping) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue; // a client that reads nothing must not hold the server's end
            if (p.revents & (POLLERR | POLLHUP))
                return;
            ssize_t n = ::send(fd, reply.Body.data() + at, reply.Body.size() - at,
                               MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno != EAGAIN)
                return;
            if (n > 0)
                at = (at + static_cast<std::size_t>(n)) % reply.Body.size();
        }
        return;
    }
    if (reply.ChunkSize == 0) {
        SendAll(fd, reply.Body.data(), reply.Body.size());
    } else {
        for (std::size_t i = 0; i < reply.Body.size() && !FStopping; i += reply.ChunkSize) {
            std::this_thread::sleep_for(reply.ChunkDelay);
            if (!SendAll(fd, reply.Body.data() + i,
                         std::min(reply.ChunkSize, reply.Body.size() - i)))
                return;
        }
    }
    ::shutdown(fd, SHUT_WR);
    // Let the client read everything before the socket closes.
    deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0 && ::recv(fd, buffer, sizeof buffer, 0) <= 0)
            break;
    }
}
