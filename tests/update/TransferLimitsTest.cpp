// What every transfer hands to the HTTP backend, seen through a backend that records it:
// the program's limits are there without anyone asking for them, and a request that the
// backend gives up on as stalled reaches the user as a lost connection.
#include "platform/IHttpClient.h"
#include "update/TCallQueue.h"
#include "update/TUpdateAgent.h"
#include "update/UpdateTexts.h"

#include <gmock/gmock.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A request that never gets an answer; stalled says whether the server was reached.
class TUnansweredRequest : public Platform::IHttpRequest {
public:
    explicit TUnansweredRequest(bool stalled) : FStalled(stalled) {}
    bool AddHeaders(const std::string&) override { return true; }
    bool Send(const std::string&, const std::string&) override { return false; }
    void SetCredentials(const std::string&, const std::string&) override {}
    void SetProxyCredentials(const std::string&, const std::string&) override {}
    std::optional<int> StatusCode() const override { return std::nullopt; }
    std::optional<std::string> Header(const std::string&) const override { return std::nullopt; }
    std::string RawHeaders() const override { return {}; }
    long Read(char*, std::size_t) override { return -1; }
    void Cancel() override {}
    bool Stalled() const override { return FStalled; }

private:
    bool FStalled;
};

class TRecordingClient : public Platform::IHttpClient {
public:
    TRecordingClient(std::vector<Platform::THttpRequestSettings>* seen, const bool* stalled)
        : FSeen(seen), FStalled(stalled) {}
    std::unique_ptr<Platform::IHttpRequest> OpenRequest(const Platform::THttpRequestSettings& s,
                                                        Platform::THttpStatusCallback) override {
        FSeen->push_back(s);
        return std::make_unique<TUnansweredRequest>(*FStalled);
    }

private:
    std::vector<Platform::THttpRequestSettings>* FSeen;
    const bool* FStalled;
};

class TMessageUi : public IUpdateUi {
public:
    std::vector<std::string> Messages;
    bool AskUpgrade(const std::string&) override { return false; }
    void ShowWizard(bool, std::function<void()>) override {}
    void WizardFile(const std::string&, const std::string&) override {}
    void WizardFileSize(const std::string&) override {}
    void WizardProgress(int, int, const std::string&, const std::string&) override {}
    void WizardFinished(const std::string&) override {}
    bool WaitForWizardClose() override { return false; }
    void CloseWizard() override {}
    bool PasswordWindow(const std::string&, std::string&, std::string&) override { return false; }
    void SimpleMessage(const std::string& text) override { Messages.push_back(text); }
    bool WarningQuestion(const std::string&, const std::string&) override { return false; }
    bool Question(const std::string&) override { return false; }
    void CloseApplication() override {}
};

class TransferLimitsTest : public ::testing::Test {
protected:
    TransferLimitsTest()
        : FPrevious(Platform::SetHttpClient(std::make_unique<TRecordingClient>(&Seen, &Stall))) {}
    ~TransferLimitsTest() override {
        for (int i = 0; i < 300 && TCustomHttpTransfer::LiveWorkers() > 0; ++i)
            Queue->ProcessPending(10ms);
        Platform::SetHttpClient(std::move(FPrevious));
    }

    void Pump(const TCustomHttpTransfer& transfer) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (transfer.Busy() && std::chrono::steady_clock::now() < deadline)
            Queue->ProcessPending(10ms);
        ASSERT_FALSE(transfer.Busy());
    }

    std::vector<Platform::THttpRequestSettings> Seen;
    bool Stall = true;
    std::shared_ptr<TCallQueue> Queue = std::make_shared<TCallQueue>();

private:
    std::unique_ptr<Platform::IHttpClient> FPrevious;
};

TEST_F(TransferLimitsTest, EveryRunCarriesTheLimitsAndAStallIsALostConnection) {
    TCustomHttpTransfer transfer(Queue);
    std::vector<std::string> outcomes;
    transfer.OnConnLost = [&](const std::string&, const std::string&, int64_t, int64_t) {
        outcomes.push_back("lost");
    };
    transfer.OnHostUnreachable = [&] { outcomes.push_back("unreachable"); };
    transfer.Settings().URL = "http://update.invalid/Morvane.inf";
    ASSERT_TRUE(transfer.Start());
    Pump(transfer);
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].ConnectTimeout, 30000u);
    EXPECT_EQ(Seen[0].StallSpeed, 1u);
    EXPECT_EQ(Seen[0].StallTime, 60000u);

    // A connect timeout of the owner's own wins; no answer without a stall is no host.
    Stall = false;
    transfer.Settings().Timeouts.ConnectTimeout = 5000;
    ASSERT_TRUE(transfer.Start());
    Pump(transfer);
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[1].ConnectTimeout, 5000u);
    EXPECT_EQ(Seen[1].StallTime, 60000u);
    EXPECT_THAT(outcomes, ::testing::ElementsAre("lost", "unreachable"));
}

TEST_F(TransferLimitsTest, TheUpdateCheckKeepsTheLimitsAndNamesAStallALostConnection) {
    TMessageUi ui;
    TUpdateAgent agent(Queue, ui);
    agent.InfoFileURL = "http://update.invalid/Morvane.inf";
    agent.ShowMessages = AllUpdateMessages;
    agent.CheckUpdate();
    Pump(agent);
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].ConnectTimeout, 30000u);
    EXPECT_EQ(Seen[0].StallSpeed, 1u);
    EXPECT_EQ(Seen[0].StallTime, 60000u);
    EXPECT_EQ(agent.Settings().Limits.MaxSize, TUpdateAgent::InfoFileLimit);
    EXPECT_EQ(ui.Messages, std::vector<std::string>{UpdateText(30)});
}

} // namespace
