#include "support/TTempDir.h"
#include "support/windows/TLoopbackHttpServer.h"
#include "update/TCallQueue.h"
#include "update/TCustomHttpTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include <winsock2.h>

using namespace std::chrono_literals;

namespace {

// A server that takes connections and never answers: the system completes the connection
// for a listening socket, and nobody ever reads or writes it.
class TSilentListener {
public:
    TSilentListener() {
        FSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(FSocket, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(FSocket, 8);
        int len = sizeof addr;
        getsockname(FSocket, reinterpret_cast<sockaddr*>(&addr), &len);
        FPort = ntohs(addr.sin_port);
    }
    ~TSilentListener() { closesocket(FSocket); }
    TSilentListener(const TSilentListener&) = delete;
    TSilentListener& operator=(const TSilentListener&) = delete;
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(FPort) + path;
    }

private:
    SOCKET FSocket = INVALID_SOCKET;
    int FPort = 0;
};

// The transfer engine over WinInet against a server on this machine.
class WinHttpTransferTest : public ::testing::Test {
protected:
    WinHttpTransferTest() {
        Transfer.Settings().Proxy.AccessType = TAccessType::atDirect;
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
    }
    ~WinHttpTransferTest() override {
        for (int i = 0; i < 500 && TCustomHttpTransfer::LiveWorkers() > 0; ++i)
            Queue->ProcessPending(10ms);
    }

    void Run(const std::string& url) {
        Transfer.Settings().URL = url;
        ASSERT_TRUE(Transfer.Start());
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (Transfer.Busy() && std::chrono::steady_clock::now() < deadline)
            Queue->ProcessPending(10ms);
        ASSERT_FALSE(Transfer.Busy());
    }

    static std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TLoopbackHttpServer Server;
    std::shared_ptr<TCallQueue> Queue = std::make_shared<TCallQueue>();
    TCustomHttpTransfer Transfer{Queue};
    TTempDir Temp;
    std::string Outcome, DoneType, DoneData;
};

} // namespace

TEST_F(WinHttpTransferTest, A200IntoMemory) {
    Server.Route("/info", 200, "hello world", "Content-Type: text/plain\r\n");
    Run(Server.Url("/info"));
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(DoneData, "hello world");
    EXPECT_EQ(DoneType, "text/plain");
    EXPECT_EQ(Transfer.Results().StatusCode, 200);
}

TEST_F(WinHttpTransferTest, A200IntoAFileWithProgress) {
    const std::string body(50000, 'x');
    Server.Route("/big.bin", 200, body);
    const auto target = Temp.Path() / "big.bin.uTMP";
    Transfer.Settings().OutputFileName = target;
    std::vector<int> percents;
    Transfer.OnProgress = [&](const THttpProgress& p) { percents.push_back(p.PercentDone); };
    Run(Server.Url("/big.bin"));
    EXPECT_EQ(Outcome, "done");
    EXPECT_EQ(ReadFile(target), body);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
}

TEST_F(WinHttpTransferTest, A404LeavesNoFileBehind) {
    const auto target = Temp.Path() / "gone.uTMP";
    std::ofstream(target) << "an older copy";
    Transfer.Settings().OutputFileName = target;
    Run(Server.Url("/missing"));
    EXPECT_EQ(Outcome, "not found 404");
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(WinHttpTransferTest, AClosedPortIsHostUnreachable) {
    Run("http://127.0.0.1:" + std::to_string(TLoopbackHttpServer::ClosedPort()) + "/x");
    EXPECT_EQ(Outcome, "unreachable");
    EXPECT_EQ(Transfer.Results().StatusCode, -1);
}

TEST_F(WinHttpTransferTest, ASilentServerEndsAfterTheStallLimitAsALostConnection) {
    TSilentListener silent; // the server of the fixture stays, so the sockets are ready
    Transfer.Settings().Limits.StallTime = 500;
    const auto started = std::chrono::steady_clock::now();
    Run(silent.Url("/Morvane.inf"));
    EXPECT_EQ(Outcome, "lost 0/0");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}
