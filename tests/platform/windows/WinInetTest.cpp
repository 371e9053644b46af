#include "platform/IHttpClient.h"

#include "support/windows/TLoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Platform;

namespace {

THttpRequestSettings Settings(int port, const std::string& object) {
    THttpRequestSettings s;
    s.Scheme = "http";
    s.Host = "127.0.0.1";
    s.Port = port;
    s.Object = object;
    s.Agent = "Morvane test";
    // Never through a proxy the machine may name: the server is on this machine.
    s.Access = THttpAccess::Direct;
    s.NoCache = true;
    s.ConnectTimeout = 5000;
    s.ReceiveTimeout = 5000;
    return s;
}

std::string ReadAll(IHttpRequest& request) {
    std::string body;
    char buffer[7]; // small on purpose: many reads
    for (;;) {
        const long n = request.Read(buffer, sizeof buffer);
        if (n <= 0) {
            EXPECT_EQ(n, 0) << "read failed";
            return body;
        }
        body.append(buffer, static_cast<size_t>(n));
    }
}

} // namespace

TEST(WinInet, AnAnswerOf200WithItsHeadersAndBody) {
    TLoopbackHttpServer server;
    const std::string body =
        "Morvane 8.0 update information\r\n" + std::string(3000, 'x') + "\r\nend";
    server.Route("/info.txt?x=1", 200, body, "Last-Modified: Sat, 14 Jun 2008 10:00:00 GMT\r\n");

    std::vector<int> codes;
    auto request =
        HttpClient().OpenRequest(Settings(server.Port(), "/info.txt?x=1"),
                                 [&](int code, const std::string&) { codes.push_back(code); });
    ASSERT_TRUE(request);
    ASSERT_TRUE(request->Send("", ""));
    EXPECT_EQ(request->StatusCode(), 200);
    EXPECT_EQ(request->Header("content-length"), std::to_string(body.size()));
    EXPECT_EQ(request->Header("Last-Modified"), "Sat, 14 Jun 2008 10:00:00 GMT");
    EXPECT_FALSE(request->Header("X-Not-Sent"));
    EXPECT_EQ(request->RawHeaders().rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << request->RawHeaders();
    EXPECT_EQ(ReadAll(*request), body);
    EXPECT_EQ(server.RequestLines(), std::vector<std::string>{"GET /info.txt?x=1 HTTP/1.1"});
    // The status notifications reach the callback with the library's codes.
    EXPECT_NE(std::find(codes.begin(), codes.end(), hsRequestSent), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), hsResponseReceived), codes.end());
}

TEST(WinInet, AnAnswerOf404IsAnAnswer) {
    TLoopbackHttpServer server;
    auto request = HttpClient().OpenRequest(Settings(server.Port(), "/missing.zip"), nullptr);
    ASSERT_TRUE(request);
    ASSERT_TRUE(request->Send("", ""));
    EXPECT_EQ(request->StatusCode(), 404);
    EXPECT_EQ(ReadAll(*request), "no such page");
}

TEST(WinInet, AClosedPortGivesNoAnswer) {
    const int port = TLoopbackHttpServer::ClosedPort();
    auto request = HttpClient().OpenRequest(Settings(port, "/info.txt"), nullptr);
    ASSERT_TRUE(request);
    EXPECT_FALSE(request->Send("", ""));
    // Nothing answered, so there is no status, no header and no body to read.
    EXPECT_FALSE(request->StatusCode());
    EXPECT_FALSE(request->Header("Content-Length"));
    EXPECT_EQ(request->RawHeaders(), "");
    char buffer[4];
    EXPECT_EQ(request->Read(buffer, sizeof buffer), -1);
}

TEST(WinInet, ACancelledRequestFailsAtOnce) {
    TLoopbackHttpServer server;
    server.Route("/a", 200, "abc");
    auto request = HttpClient().OpenRequest(Settings(server.Port(), "/a"), nullptr);
    ASSERT_TRUE(request);
    request->Cancel();
    EXPECT_FALSE(request->Send("", ""));
    char buffer[4];
    EXPECT_EQ(request->Read(buffer, sizeof buffer), -1);
}
