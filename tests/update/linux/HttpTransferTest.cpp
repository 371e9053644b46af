#include "TTestHttpServer.h"

#include "support/TTempDir.h"
#include "update/TCallQueue.h"
#include "update/TCustomHttpTransfer.h"

#include <gmock/gmock.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace std::chrono_literals;
using ::testing::HasSubstr;

namespace {

int ClosedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HttpTransferTest : public ::testing::Test {
protected:
    HttpTransferTest() {
        unsetenv("http_proxy");
        unsetenv("HTTP_PROXY");
        unsetenv("all_proxy");
        Transfer.OnDone = [this](const std::string& type, const std::string& data, int64_t) {
            Outcome = "done";
            DoneType = type;
            DoneData = data;
        };
        Transfer.OnNotFound = [this](int status, const std::string&) {
            Outcome = "not found " + std::to_string(status);
        };
        Transfer.OnHostUnreachable = [this] { Outcome = "unreachable"; };
        Transfer.OnConnLost = [this](const std::string&, const std::string&, int64_t read,
                                     int64_t length) {
            Outcome = "lost " + std::to_string(read) + "/" + std::to_string(length);
        };
        Transfer.OnCancelled = [this] { Outcome = "cancelled"; };
        Transfer.OnAborted = [this] { Outcome = "aborted"; };
        Transfer.OnTooLarge = [this](int64_t limit) {
            Outcome = "too large " + std::to_string(limit);
        };
    }

    ~HttpTransferTest() override {
        for (int i = 0; i < 500 && TCustomHttpTransfer::LiveWorkers() > 0; ++i)
            Queue->ProcessPending(10ms);
    }

    // Pumps the reports until the run has ended.
    void Run(const std::string& url) {
        Transfer.Settings().URL = url;
        ASSERT_TRUE(Transfer.Start());
        Wait();
    }

    void Wait() {
        auto deadline = std::chrono::steady_clock::now() + 15s;
        while (Transfer.Busy() && std::chrono::steady_clock::now() < deadline)
            Queue->ProcessPending(10ms);
        ASSERT_FALSE(Transfer.Busy());
    }

    TTestHttpServer Server;
    std::shared_ptr<TCallQueue> Queue = std::make_shared<TCallQueue>();
    TCustomHttpTransfer Transfer{Queue};
    TTempDir Temp;
    std::string Outcome;
    std::string DoneType;
    std::string DoneData;
};

TEST_F(HttpTransferTest, FetchesIntoMemoryWithTheHeadersReportedOnTheCallingThread) {
    Server.Route("/info", [](const auto&) {
        return TTestHttpServer::Reply(200, "hello world",
                                      "Content-Type: text/plain\r\n"
                                      "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n"
                                      "Content-Language: zh-CN\r\n");
    });
    const auto uiThread = std::this_thread::get_id();
    THttpFileStart seen;
    int64_t readWhileWaiting = -1;
    Transfer.OnFileStart = [&](const THttpFileStart& info, bool&) {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        seen = info;
        // The worker waits for this handler: nothing of the body is read meanwhile.
        std::this_thread::sleep_for(200ms);
        readWhileWaiting = Transfer.Results().BytesRead;
    };
    Run(Server.Url("/info"));
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData, "hello world");
    EXPECT_EQ(DoneType, "text/plain");
    EXPECT_EQ(readWhileWaiting, 0);
    EXPECT_EQ(seen.ContentLength, 11);
    EXPECT_EQ(seen.ContentLanguage, "zh-CN");
    EXPECT_EQ(seen.LastModifiedUnix, 784111777);
    EXPECT_THAT(seen.RawHeaders, HasSubstr("Content-Type: text/plain\r\n"));
    EXPECT_EQ(Transfer.Results().StatusCode, 200);
}

TEST_F(HttpTransferTest, FetchesIntoAFileWithProgressAndWithoutAScheme) {
    std::string body(20000, 'x');
    Server.Route("/big.bin", [&](const auto&) { return TTestHttpServer::Reply(200, body); });
    const auto target = Temp.Path() / "big.bin.uTMP";
    Transfer.Settings().OutputFileName = target;
    std::vector<int> percents;
    Transfer.OnProgress = [&](const THttpProgress& p) {
        percents.push_back(p.PercentDone);
        EXPECT_EQ(p.Data, nullptr);
    };
    Run("127.0.0.1:" + std::to_string(Server.Port()) + "/big.bin");
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData, "");
    EXPECT_EQ(ReadFile(target), body);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
}

TEST_F(HttpTransferTest, AFailedAnswerLeavesNoFileBehind) {
    const auto target = Temp.Path() / "gone.uTMP";
    std::ofstream(target) << "an older copy";
    Transfer.Settings().OutputFileName = target;
    Run(Server.Url("/missing"));
    EXPECT_EQ(Outcome, "not found 404");
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(HttpTransferTest, AServerThatSendsNoLengthSucceedsWithPercentZero) {
    Server.Route("/nolength", [](const auto&) {
        TTestHttpServer::TReply reply;
        reply.Head = "HTTP/1.0 200 OK\r\nConnection: close";
        reply.Body = std::string(9000, 'n');
        return reply;
    });
    std::vector<int> percents;
    Transfer.OnProgress = [&](const THttpProgress& p) { percents.push_back(p.PercentDone); };
    Run(Server.Url("/nolength"));
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData.size(), 9000u);
    EXPECT_THAT(percents, ::testing::Each(0));
}

TEST_F(HttpTransferTest, FewerBytesThanAnnouncedIsALostConnectionAndTheFileIsDeleted) {
    Server.Route("/short", [](const auto&) {
        TTestHttpServer::TReply reply;
        reply.Head = "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close";
        reply.Body = std::string(1200, 's');
        return reply;
    });
    const auto target = Temp.Path() / "short.uTMP";
    Transfer.Settings().OutputFileName = target;
    Run(Server.Url("/short"));
    EXPECT_EQ(Outcome, "lost 1200/5000");
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(HttpTransferTest, AFileStartHandlerThatSaysNoCancelsBeforeTheBody) {
    Server.Route("/file", [](const auto&) { return TTestHttpServer::Reply(200, "body"); });
    const auto target = Temp.Path() / "file.uTMP";
    Transfer.Settings().OutputFileName = target;
    Transfer.OnFileStart = [](const THttpFileStart&, bool& go) { go = false; };
    Run(Server.Url("/file"));
    EXPECT_EQ(Outcome, "cancelled");
    EXPECT_EQ(Transfer.Results().BytesRead, 0);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(HttpTransferTest, A401IsRetriedWithTheCredentialsTheHandlerGives) {
    Server.Route("/secret", [](const TTestHttpServer::TRequest& r) {
        auto auth = r.Headers.find("authorization");
        // "Basic " + base64("anna:s3cret")
        if (auth != r.Headers.end() && auth->second == "Basic YW5uYTpzM2NyZXQ=")
            return TTestHttpServer::Reply(200, "the goods");
        return TTestHttpServer::Reply(401, "no", "WWW-Authenticate: Basic realm=\"Members\"\r\n");
    });
    std::vector<std::string> realms;
    Transfer.OnPasswordRequest = [&](const std::string& realm, bool& tryAgain) {
        realms.push_back(realm);
        Transfer.SetHTTPUsername("anna");
        Transfer.SetHTTPPassword(realms.size() == 1 ? "wrong" : "s3cret");
        tryAgain = realms.size() < 3;
    };
    Run(Server.Url("/secret"));
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData, "the goods");
    EXPECT_THAT(realms, ::testing::ElementsAre("Members", "Members"));
}

TEST_F(HttpTransferTest, A401WithoutRetryIsNotFoundWithItsStatus) {
    Server.Route("/secret", [](const auto&) {
        return TTestHttpServer::Reply(401, "no", "WWW-Authenticate: Basic realm=\"x\"\r\n");
    });
    Transfer.OnPasswordRequest = [](const std::string&, bool&) {};
    Run(Server.Url("/secret"));
    EXPECT_EQ(Outcome, "not found 401");
}

TEST_F(HttpTransferTest, A407FromTheProxyIsRetriedWithProxyCredentials) {
    // The test server plays the proxy; the request never leaves the loopback address.
    Server.Route("/via", [](const TTestHttpServer::TRequest& r) {
        if (r.Headers.count("proxy-authorization"))
            return TTestHttpServer::Reply(200, "proxied");
        return TTestHttpServer::Reply(407, "", "Proxy-Authenticate: Basic realm=\"proxy\"\r\n");
    });
    auto& proxy = Transfer.Settings().Proxy;
    proxy.AccessType = TAccessType::atUseProxy;
    proxy.ProxyServer = "127.0.0.1";
    proxy.ProxyPort = Server.Port();
    proxy.ProxyBypass = "";
    int asked = 0;
    Transfer.OnProxyAuthenticationRequest = [&](std::string& user, std::string& pw, bool& again) {
        ++asked;
        user = "proxyuser";
        pw = "pw";
        again = true;
    };
    Run("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/via");
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData, "proxied");
    EXPECT_EQ(asked, 1);
}

TEST_F(HttpTransferTest, AbortStopsASlowBodyAndTheNextRunStartsAtOnce) {
    Server.Route("/slow", [](const auto&) {
        auto reply = TTestHttpServer::Reply(200, std::string(100 * 100, 'z'));
        reply.ChunkSize = 100;
        reply.ChunkDelay = 50ms;
        return reply;
    });
    Server.Route("/quick", [](const auto&) { return TTestHttpServer::Reply(200, "quick"); });
    const auto target = Temp.Path() / "slow.uTMP";
    Transfer.Settings().OutputFileName = target;
    bool progressed = false;
    Transfer.OnProgress = [&](const THttpProgress&) { progressed = true; };
    Transfer.Settings().URL = Server.Url("/slow");
    ASSERT_TRUE(Transfer.Start());
    EXPECT_FALSE(Transfer.Start()); // one run at a time
    for (int i = 0; i < 500 && !progressed; ++i)
        Queue->ProcessPending(10ms);
    ASSERT_TRUE(progressed);
    Transfer.Abort();
    EXPECT_EQ(Outcome, "aborted");
    EXPECT_FALSE(Transfer.Busy());

    Transfer.OnProgress = nullptr;
    Transfer.Settings().OutputFileName.clear();
    Run(Server.Url("/quick"));
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData, "quick");
    for (int i = 0; i < 300 && TCustomHttpTransfer::LiveWorkers() > 0; ++i)
        Queue->ProcessPending(10ms);
    EXPECT_EQ(TCustomHttpTransfer::LiveWorkers(), 0);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(HttpTransferTest, AStalledBodyEndsAfterTheReceiveTimeout) {
    Server.Route("/stall", [](const auto&) {
        auto reply = TTestHttpServer::Reply(200, std::string(3000, 's'));
        reply.ChunkSize = 1000;
        reply.ChunkDelay = 1500ms;
        return reply;
    });
    Transfer.Settings().Timeouts.ReceiveTimeout = 300;
    const auto started = std::chrono::steady_clock::now();
    Run(Server.Url("/stall"));
    EXPECT_EQ(Outcome, "lost 0/3000");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1400ms);
}

TEST_F(HttpTransferTest, TheStallLimitEndsSilentAndTricklingServersAsALostConnection) {
    Server.Route("/silent", [](const auto&) {
        TTestHttpServer::TReply reply;
        reply.Silent = true;
        return reply;
    });
    // A body that comes at 10 bytes a second, with and without a length to show it.
    auto trickle = [](bool withLength) {
        return [withLength](const auto&) {
            auto reply = TTestHttpServer::Reply(200, std::string(2000, 't'));
            if (!withLength)
                reply.Head = "HTTP/1.0 200 OK\r\nConnection: close";
            reply.ChunkSize = 1;
            reply.ChunkDelay = 100ms;
            return reply;
        };
    };
    Server.Route("/trickle", trickle(true));
    Server.Route("/trickle-unknown", trickle(false));
    Server.Route("/steady", [](const auto&) {
        auto reply = TTestHttpServer::Reply(200, std::string(1000, 'k'));
        reply.ChunkSize = 100;
        reply.ChunkDelay = 50ms;
        return reply;
    });
    auto& limits = Transfer.Settings().Limits;
    limits.StallTime = 400;
    limits.StallSpeed = 100;
    for (const char* path : {"/silent", "/trickle", "/trickle-unknown"}) {
        const auto started = std::chrono::steady_clock::now();
        Run(Server.Url(path));
        EXPECT_THAT(Outcome, ::testing::StartsWith("lost ")) << path;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 2s) << path;
    }
    EXPECT_EQ(Transfer.Results().StatusCode, 200); // the trickle was answered, then lost
    Run(Server.Url("/steady"));                    // 2000 bytes a second is well above the limit
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData, std::string(1000, 'k'));
}

TEST_F(HttpTransferTest, ABodyPastTheSizeLimitIsCutOffAndNothingPastItIsKept) {
    auto endless = [](const std::string& head) {
        return [head](const auto&) {
            TTestHttpServer::TReply reply;
            reply.Head = head;
            reply.Body = std::string(1000, 'e');
            reply.Endless = true;
            return reply;
        };
    };
    Server.Route("/endless", endless("HTTP/1.0 200 OK\r\nConnection: close"));
    Server.Route("/liar", endless("HTTP/1.1 200 OK\r\nContent-Length: 99999999999"));
    Server.Route("/exact",
                 [](const auto&) { return TTestHttpServer::Reply(200, std::string(10000, 'x')); });
    Transfer.Settings().Limits.MaxSize = 10000;
    const auto target = Temp.Path() / "endless.uTMP";
    Transfer.Settings().OutputFileName = target;
    int64_t mostOnDisk = 0;
    Transfer.OnProgress = [&](const THttpProgress&) {
        mostOnDisk =
            std::max<int64_t>(mostOnDisk, static_cast<int64_t>(std::filesystem::file_size(target)));
    };
    Run(Server.Url("/endless"));
    EXPECT_EQ(Outcome, "too large 10000");
    EXPECT_LE(mostOnDisk, 10000);
    EXPECT_FALSE(std::filesystem::exists(target));

    // Announced longer than the limit: not a byte is read.
    Transfer.OnProgress = nullptr;
    Transfer.Settings().OutputFileName.clear();
    Run(Server.Url("/liar"));
    EXPECT_EQ(Outcome, "too large 10000");
    EXPECT_EQ(Transfer.Results().BytesRead, 0);

    Run(Server.Url("/exact")); // up to the limit is fine
    EXPECT_EQ(Outcome, "done");

    // An owner that does not listen for it still hears that the run failed.
    Transfer.OnTooLarge = nullptr;
    Run(Server.Url("/endless"));
    EXPECT_THAT(Outcome, ::testing::StartsWith("lost "));
}

TEST_F(HttpTransferTest, FileUrlsReadLocalFiles) {
    Temp.Write("local file.txt", "local bytes");
    Run("file://" + (Temp.Path() / "local%20file.txt").string());
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData, "local bytes");
    Run("file://" + (Temp.Path() / "nothing.txt").string());
    EXPECT_EQ(Outcome, "not found 404");
}

TEST_F(HttpTransferTest, NoServerMeansHostUnreachable) {
    Run("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x");
    EXPECT_EQ(Outcome, "unreachable");
    EXPECT_EQ(Transfer.Results().StatusCode, -1);
}

TEST_F(HttpTransferTest, RedirectsAreFollowedAndReportedAsStatusTexts) {
    Server.Route("/old", [this](const auto&) {
        return TTestHttpServer::Reply(302, "", "Location: " + Server.Url("/new") + "\r\n");
    });
    Server.Route("/new", [](const auto&) { return TTestHttpServer::Reply(200, "moved here"); });
    std::mutex mutex;
    std::vector<std::string> texts;
    Transfer.OnStatus = [&](int, const std::string& text, const std::string& info) {
        std::lock_guard lock(mutex);
        texts.push_back(text + (info.empty() ? "" : " " + info));
    };
    Run(Server.Url("/old"));
    EXPECT_EQ(DoneData, "moved here");
    std::lock_guard lock(mutex);
    EXPECT_THAT(texts, ::testing::Contains("Redirect " + Server.Url("/new")));
    EXPECT_THAT(texts, ::testing::Contains("Request complete"));
}

TEST_F(HttpTransferTest, TheRequestCarriesTheSettings) {
    Server.Route("/form", [](const auto&) { return TTestHttpServer::Reply(200, "ok"); });
    auto& s = Transfer.Settings();
    s.PostData = "a=1&b=2";
    s.Referer = "http://127.0.0.1/from";
    s.Agent = "Tester/1";
    s.ExtraHeaders = {"X-One: 1", "X-Two: 2"};
    s.Range = {10, 0};
    s.UseCache = false;
    Run(Server.Url("/form?q=1"));
    auto requests = Server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& r = requests[0];
    EXPECT_EQ(r.Method, "POST");
    EXPECT_EQ(r.Target, "/form?q=1");
    EXPECT_EQ(r.Body, "a=1&b=2");
    EXPECT_EQ(r.Headers.at("content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(r.Headers.at("referer"), "http://127.0.0.1/from");
    EXPECT_EQ(r.Headers.at("user-agent"), "Tester/1");
    EXPECT_EQ(r.Headers.at("accept"), "text/html, */*");
    EXPECT_EQ(r.Headers.at("x-two"), "2");
    EXPECT_EQ(r.Headers.at("range"), "bytes=10-");
    EXPECT_EQ(r.Headers.at("pragma"), "no-cache");
}

TEST(HttpProgressTest, FiguresFollowTheBytesAndTheTime) {
    auto p = TCustomHttpTransfer::ComputeProgress(2048, 8192, 4500);
    EXPECT_EQ(p.PercentDone, 25);
    EXPECT_EQ(p.SecondsElapsed, 4);
    EXPECT_EQ(p.SecondsLeft, 12);
    EXPECT_DOUBLE_EQ(p.TransferRate, 0.5);
    auto unknown = TCustomHttpTransfer::ComputeProgress(3072, 0, 500);
    EXPECT_EQ(unknown.PercentDone, 0);
    EXPECT_EQ(unknown.SecondsLeft, 0);
    EXPECT_DOUBLE_EQ(unknown.TransferRate, 3.0);
    EXPECT_EQ(TCustomHttpTransfer::RealmOf("Basic realm=\"Members only\""), "Members only");
    EXPECT_EQ(TCustomHttpTransfer::RealmOf("Negotiate"), "");
}

} // namespace
