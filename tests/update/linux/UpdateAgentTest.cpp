#include "TTestHttpServer.h"

#include "platform/IShell.h"
#include "support/RecordingScript.h"
#include "support/TTempDir.h"
#include "support/Unprivileged.h"
#include "update/TCallQueue.h"
#include "update/TUpdateAgent.h"
#include "update/TUpdateSignature.h"
#include "update/UpdateCrypto.h"
#include "update/UpdateTexts.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>
#include <map>

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

class TFakeUi : public IUpdateUi {
public:
    bool AskAnswer = true;
    bool PasswordOk = false;
    bool LostFileAnswer = false;
    bool QuestionAnswer = false;
    bool WizardConfirmed = true;
    std::function<void()> WhileWaiting;
    std::function<void()> Cancel;
    std::vector<std::string> Calls;
    int ProgressCalls = 0;
    int LastAllPercent = -1;

    bool AskUpgrade(const std::string& text) override {
        Calls.push_back("ask: " + text);
        return AskAnswer;
    }
    void ShowWizard(bool, std::function<void()> cancelled) override {
        Calls.push_back("wizard");
        Cancel = std::move(cancelled);
    }
    void WizardFile(const std::string& url, const std::string& all) override {
        Calls.push_back("file: " + url + " | " + all);
    }
    void WizardFileSize(const std::string& text) override { Calls.push_back(text); }
    void WizardProgress(int, int all, const std::string&, const std::string&) override {
        ++ProgressCalls;
        LastAllPercent = all;
    }
    void WizardFinished(const std::string& note) override { Calls.push_back("finished: " + note); }
    bool WaitForWizardClose() override {
        Calls.push_back("wait");
        if (WhileWaiting)
            WhileWaiting();
        return WizardConfirmed;
    }
    void CloseWizard() override { Calls.push_back("close wizard"); }
    bool PasswordWindow(const std::string& text, std::string& user, std::string& pw) override {
        Calls.push_back("password: " + text);
        if (PasswordOk) {
            user = "anna";
            pw = "s3cret";
        }
        return PasswordOk;
    }
    void SimpleMessage(const std::string& text) override { Calls.push_back("message: " + text); }
    bool WarningQuestion(const std::string& text, const std::string& caption) override {
        Calls.push_back("question: " + caption + " | " + text);
        return LostFileAnswer;
    }
    bool Question(const std::string& text) override {
        Calls.push_back("ask: " + text);
        return QuestionAnswer;
    }
    void CloseApplication() override { Calls.push_back("close app"); }
};

class TShellRecorder : public Platform::IShell {
public:
    explicit TShellRecorder(std::vector<std::string>* opened) : FOpened(opened) {}
    bool Open(const std::string& target) override {
        FOpened->push_back(target);
        return true;
    }

private:
    std::vector<std::string>* FOpened;
};

std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = TTempDir::Read(entry.path());
    return files;
}

fs::path OwnFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

class UpdateAgentTest : public ::testing::Test {
protected:
    UpdateAgentTest() {
        unsetenv("http_proxy");
        std::string publicKey;
        UpdateCrypto::GenerateKeyPair(publicKey, FSecretKey);
        ProgramFolder = Temp.Path() / "program";
        fs::create_directories(ProgramFolder);
        fs::create_directories(Temp.Path() / "tmp");
        Temp.Write("program/morvane", "old program");
        FPublicKey = TUpdateSignature::ToBase64(publicKey);
        Configure(Agent);
        FPreviousShell = Platform::SetShell(std::make_unique<TShellRecorder>(&Opened));
    }

    ~UpdateAgentTest() override {
        Platform::SetShell(std::move(FPreviousShell));
        for (int i = 0; i < 500 && TCustomHttpTransfer::LiveWorkers() > 0; ++i)
            Queue->ProcessPending(10ms);
    }

    void Configure(TUpdateAgent& agent) {
        agent.ProgramFile = ProgramFolder / "morvane";
        agent.PublicKey = FPublicKey;
        agent.InfoFileURL = Server.Url("/Morvane.inf");
        agent.VersionControl = TVersionControl::byNumber;
        agent.VersionNumber = "8.0";
        agent.VersionDate = "06/14/2008";
        agent.MiscFilesUpgrade = TMiscFilesBehavior::mfuOnlyIfSizeDifferent;
        agent.ShowMessages = AllUpdateMessages;
        agent.AppTitle = "Morvane";
        agent.UpgraderFolder = Temp.Path() / "tmp";
        // A stand-in upgrader that only writes down how it was started. The agent asks for
        // it just before it writes it out and starts it.
        agent.UpgraderImage = [this] {
            FUpgraderAsked = true;
            return RecordingScript(Temp.Path() / "upgrader-args");
        };
    }

    std::string Sign(const std::string& text) {
        return TUpdateSignature::Sign(text, TUpdateSignature::ToBase64(FSecretKey));
    }

    static std::string Hash(const std::string& bytes) {
        TTempDir temp;
        return TUpdateSignature::FileHash(temp.Write("f", bytes));
    }

    // The keys of one listed file: its URL, and the digest and size of bytes.
    std::string Entry(const std::string& number, const std::string& path,
                      const std::string& bytes) {
        return "#url" + number + "=" + Server.Url(path) + "\r\n#sha256" + number + "=" +
               Hash(bytes) + "\r\n#size" + number + "=" + std::to_string(bytes.size()) + "\r\n";
    }

    // The agent's calls run only while Check pumps the queue: once it has returned without
    // asking for the upgrader, none was started and none can start, so there is no
    // record to wait for.
    bool UpgraderStarted() {
        return FUpgraderAsked && WaitForFile(Temp.Path() / "upgrader-args", 500ms);
    }

    // No download of any kind is left beside the program.
    bool NoDownloads() {
        for (const auto& entry : fs::directory_iterator(ProgramFolder))
            if (entry.path().extension() == ".uTMP")
                return false;
        return true;
    }

    void ServeInfo(const std::string& text) {
        Server.Route("/Morvane.inf",
                     [text](const auto&) { return TTestHttpServer::Reply(200, text); });
    }

    void ServeFile(const std::string& path, const std::string& bytes) {
        Server.Route(path, [bytes](const auto&) { return TTestHttpServer::Reply(200, bytes); });
    }

    // Runs the check until every transfer of it has ended.
    void Check() {
        Agent.CheckUpdate();
        auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline &&
               (Agent.Busy() || Queue->ProcessPending(30ms) > 0)) {
            Queue->ProcessPending(10ms);
        }
    }

    int RequestsFor(const std::string& path) {
        int n = 0;
        for (const auto& r : Server.Requests())
            n += r.Target == path;
        return n;
    }

    TTempDir Temp;
    fs::path ProgramFolder;
    TTestHttpServer Server;
    std::shared_ptr<TCallQueue> Queue = std::make_shared<TCallQueue>();
    TFakeUi Ui;
    TUpdateAgent Agent{Queue, Ui};
    std::vector<std::string> Opened;

private:
    bool FUpgraderAsked = false;
    std::string FSecretKey;
    std::string FPublicKey;
    std::unique_ptr<Platform::IShell> FPreviousShell;
};

TEST_F(UpdateAgentTest, ANewerVersionIsAskedDownloadedCheckedAndRestarted) {
    ServeInfo(Sign("#Version=8.1\r\n#url=" + Server.Url("/files/data.bin") + "\r\n#SHA256=" +
                   Hash("new data") + "\r\n#Size=8\r\n#message={Faster scans}\r\n"));
    ServeFile("/files/data.bin", "new data");
    std::vector<std::string> begun;
    Agent.Events.OnBeginUpgrade = [&](const std::string& msg, TUpgradeMethod method,
                                      const std::vector<std::string>& files, bool&) {
        begun = files;
        EXPECT_EQ(msg, "Faster scans");
        EXPECT_EQ(method, TUpgradeMethod::umSelfUpgrade);
    };
    Check();
    ASSERT_EQ(begun.size(), 1u);
    EXPECT_THAT(Ui.Calls,
                Contains(HasSubstr(
                    "ask: A newer version of Morvane was released.\n\nFaster scans\n\nDo you")));
    EXPECT_THAT(Ui.Calls, Contains("file: " + begun[0] + " | Downloading 1 of 1"));
    EXPECT_THAT(Ui.Calls, Contains("File size: 0.0 Kb"));
    EXPECT_THAT(Ui.Calls, Contains(HasSubstr("finished: The update of Morvane has been")));
    EXPECT_EQ(Ui.LastAllPercent, 100);
    EXPECT_THAT(Ui.Calls, Contains("close app"));
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "data.bin.uTMP"), "new data");
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "morvane"), "old program");
    // The stand-in upgrader was written out and started with the restart command line.
    WaitForFile(Temp.Path() / "upgrader-args", 2s);
    EXPECT_EQ(TTempDir::Read(Temp.Path() / "upgrader-args"),
              (ProgramFolder / "morvane").string() + " +/afterupgrade0\n");
}

TEST_F(UpdateAgentTest, AnEmptyRestartTextBecomesABlankAndAnnouncesTheRestart) {
    Agent.SetRestartParams("");
    EXPECT_EQ(Agent.RestartParams(), " ");
    int restarted = 0;
    Agent.Events.OnAfterRestart = [&] { ++restarted; };
    Agent.CheckAfterRestart({"/afterupgrade"});
    Agent.CheckAfterRestart({});
    Agent.CheckAfterRestart({" ", "more"});
    EXPECT_EQ(restarted, 1);
}

TEST_F(UpdateAgentTest, AnAutomaticCheckKeepsQuietWhenNothingIsNew) {
    ServeInfo(Sign("#version=8.0\r\n"));
    Agent.AutoCheckTick(); // AutoCheck is off: nothing happens
    EXPECT_FALSE(Agent.Busy());
    Agent.AutoCheck = true;
    bool none = false;
    Agent.Events.OnNoUpdateAvailable = [&] { none = true; };
    Agent.AutoCheckTick();
    EXPECT_TRUE(Agent.AutomaticCheckRunning());
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (Agent.Busy() && std::chrono::steady_clock::now() < deadline)
        Queue->ProcessPending(10ms);
    EXPECT_TRUE(none);
    EXPECT_TRUE(Ui.Calls.empty());
}

TEST_F(UpdateAgentTest, TheSameVersionIsNoUpdate) {
    ServeInfo(Sign("#version=8.0\r\n#url=" + Server.Url("/files/a") + "\r\n"));
    bool none = false;
    Agent.Events.OnNoUpdateAvailable = [&] { none = true; };
    Check();
    EXPECT_TRUE(none);
    EXPECT_EQ(Ui.Calls, std::vector<std::string>{std::string("message: ") + UpdateText(24)});
}

TEST_F(UpdateAgentTest, AFileOfTheLocalSizeIsSkippedButTheOthersAreFetched) {
    Temp.Write("program/same.dat", "12345");
    ServeFile("/same.dat", "abcde");
    ServeFile("/other.dat", "other");
    ServeInfo(Sign("#version=9\r\n" + Entry("1", "/same.dat", "abcde") +
                   Entry("2", "/other.dat", "other")));
    Agent.Events.OnDoOwnCloseAppMethod = [] {};
    Check();
    EXPECT_FALSE(fs::exists(ProgramFolder / "same.dat.uTMP"));
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "other.dat.uTMP"), "other");
}

TEST_F(UpdateAgentTest, CancellingThePasswordWindowAbortsWithoutRestart) {
    Server.Route("/Morvane.inf", [](const auto&) {
        return TTestHttpServer::Reply(401, "", "WWW-Authenticate: Basic realm=\"Updates\"\r\n");
    });
    bool aborted = false;
    Agent.Events.OnAborted = [&] { aborted = true; };
    Check();
    EXPECT_TRUE(aborted);
    EXPECT_THAT(Ui.Calls, Contains(HasSubstr("password: Access to remote file \"Morvane.inf\"")));
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains("close app")));
}

TEST_F(UpdateAgentTest, ThePasswordWindowsCredentialsAreUsedForTheRetry) {
    Server.Route("/Morvane.inf", [this](const TTestHttpServer::TRequest& r) {
        if (r.Headers.count("authorization"))
            return TTestHttpServer::Reply(200, Sign("#version=8.0\r\n"));
        return TTestHttpServer::Reply(401, "", "WWW-Authenticate: Basic realm=\"Updates\"\r\n");
    });
    Ui.PasswordOk = true;
    Check();
    EXPECT_EQ(Agent.HTTPUsername(), "anna");
    EXPECT_THAT(Ui.Calls, Contains(std::string("message: ") + UpdateText(24)));
}

TEST_F(UpdateAgentTest, RedirectMethodOpensTheFirstUrlAndDownloadsNothing) {
    ServeInfo(Sign("#version=8.5\r\n#method=2\r\n#url=www.example.com/morvane/new\r\n"));
    Check();
    EXPECT_EQ(Opened, std::vector<std::string>{"http://www.example.com/morvane/new"});
    EXPECT_EQ(Server.Requests().size(), 1u);
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains("wizard")));
}

TEST_F(UpdateAgentTest, UntrustworthyInformationChangesNothing) {
    const auto before = Snapshot(ProgramFolder);
    const std::string good = "#version=9.0\r\n" + Entry("", "/morvane", "evil");
    ServeFile("/morvane", "evil");
    std::string tampered = Sign(good);
    tampered.replace(tampered.find("9.0"), 3, "9.1");
    const std::string wrongHash = Sign("#version=9.0\r\n#url=" + Server.Url("/morvane") +
                                       "\r\n#sha256=" + Hash("good") + "\r\n#size=4\r\n");
    const std::string dotDot = Sign("#version=9.0\r\n" + Entry("", "/files/../x", "evil"));
    const std::string older = Sign("#version=7.9\r\n" + Entry("", "/morvane", "evil"));
    for (const auto& info : {tampered, good, wrongHash, dotDot, older}) {
        ServeInfo(info);
        Ui.Calls.clear();
        Check();
        EXPECT_THAT(Ui.Calls, ::testing::Not(Contains("close app"))) << info;
        EXPECT_EQ(Snapshot(ProgramFolder), before) << info;
        EXPECT_FALSE(fs::exists(Temp.Path() / "upgrader-args"));
    }
    EXPECT_EQ(RequestsFor("/x"), 0);
    EXPECT_EQ(RequestsFor("/files/../x"), 0);
}

TEST_F(UpdateAgentTest, MissingOrBadSignaturesCountAsNoInformationFile) {
    int noInfo = 0;
    Agent.Events.OnNoInfoFile = [&] { ++noInfo; };
    ServeInfo("#version=9.0\r\n#url=" + Server.Url("/morvane") + "\r\n");
    Check();
    ServeInfo("#version=9.0\r\n#signature=AAAA\r\n");
    Check();
    Server.Route("/Morvane.inf", [](const auto&) { return TTestHttpServer::Reply(404, ""); });
    Check();
    EXPECT_EQ(noInfo, 3);
    EXPECT_THAT(Ui.Calls, Contains(std::string("message: ") + UpdateText(25)));
}

TEST_F(UpdateAgentTest, ALostFileAsksAndASkipLetsTheOthersComeButInstallsNothing) {
    ServeFile("/b.dat", "bee");
    ServeInfo(Sign("#version=9.0\r\n" + Entry("", "/a.dat", "ay") + Entry("0", "/b.dat", "bee")));
    Ui.LostFileAnswer = true;
    std::vector<int> codes;
    Agent.Events.OnLostFile = [&](const std::string&, int32_t code, bool&) {
        codes.push_back(code);
    };
    bool aborted = false;
    Agent.Events.OnAborted = [&] { aborted = true; };
    Check();
    EXPECT_THAT(codes, ::testing::ElementsAre(404));
    EXPECT_THAT(Ui.Calls, Contains(HasSubstr("question: Error #404 | File a.dat not found")));
    EXPECT_EQ(RequestsFor("/b.dat"), 1); // the other file still came ...
    // ... but half an update is never put in place.
    EXPECT_THAT(Ui.Calls,
                Contains("message: " + FormatUpdateText(utNotCompleted, "Morvane", 1, 2)));
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains(HasSubstr("finished:"))));
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains("close app")));
    EXPECT_TRUE(aborted);
    EXPECT_TRUE(NoDownloads());
    EXPECT_FALSE(UpgraderStarted());
}

TEST_F(UpdateAgentTest, NetworkFailuresShowTheirMessages) {
    Agent.InfoFileURL = "http://127.0.0.1:1/Morvane.inf";
    Check();
    EXPECT_THAT(Ui.Calls, Contains("message: Host http://127.0.0.1' unreachable.\r\rPlease check "
                                   "your Internet connection and\rtry to upgrade this software "
                                   "again later."));
    Ui.Calls.clear();
    Agent.InfoFileURL = Server.Url("/Morvane.inf");
    Server.Route("/Morvane.inf", [](const auto&) {
        TTestHttpServer::TReply reply;
        reply.Head = "HTTP/1.1 200 OK\r\nContent-Length: 900\r\nConnection: close";
        reply.Body = "#version=9";
        return reply;
    });
    Check();
    EXPECT_EQ(Ui.Calls, std::vector<std::string>{std::string("message: ") + UpdateText(30)});
}

TEST_F(UpdateAgentTest, CancellingTheFinishedWizardPreventsTheRestart) {
    ServeFile("/x.dat", "x");
    ServeInfo(Sign("#version=9.0\r\n" + Entry("", "/x.dat", "x")));
    Ui.WhileWaiting = [this] { Ui.Cancel(); };
    bool ended = false;
    Agent.Events.OnEndUpgrade = [&] { ended = true; };
    Check();
    EXPECT_FALSE(ended);
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains("close app")));
    EXPECT_FALSE(fs::exists(ProgramFolder / "x.dat.uTMP"));
}

TEST_F(UpdateAgentTest, TheWholeUpgradeRunsThroughTheRealUpgraderProgram) {
    const fs::path upgrader = OwnFolder() / "MorvaneUpgrader";
    if (!fs::exists(upgrader))
        GTEST_SKIP() << "the upgrader program is built with the user interface";
    const std::string newProgram =
        RecordingScript(Temp.Path() / "started");
    ServeFile("/morvane", newProgram);
    ServeInfo(Sign("#version=8.1\r\n" + Entry("", "/morvane", newProgram)));
    fs::permissions(ProgramFolder / "morvane", fs::perms::owner_all);
    Agent.UpgraderImage = [&] { return TTempDir::Read(upgrader); };
    Check();
    ASSERT_THAT(Ui.Calls, Contains("close app"));
    WaitForFile(Temp.Path() / "started", 5s);
    EXPECT_EQ(TTempDir::Read(Temp.Path() / "started"), "/afterupgrade\n");
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "morvane"), newProgram);
    EXPECT_FALSE(fs::exists(ProgramFolder / "morvane.uTMP"));
    EXPECT_TRUE((fs::status(ProgramFolder / "morvane").permissions() & fs::perms::owner_exec) !=
                fs::perms::none);
}

TEST_F(UpdateAgentTest, AFileThatFailsItsDigestIsNamedSoAndSkippingItRestartsNothing) {
    ServeFile("/morvane", "tampered!");
    ServeInfo(Sign("#version=9.0\r\n#url=" + Server.Url("/morvane") +
                   "\r\n#sha256=" + Hash("genuine") + "\r\n#size=9\r\n"));
    Ui.LostFileAnswer = true; // skip it
    Check();
    EXPECT_THAT(Ui.Calls,
                Contains("question: Error | " + FormatUpdateText(utFileMismatch, "morvane")));
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains(HasSubstr("not found or inaccessible"))));
    EXPECT_THAT(Ui.Calls,
                Contains("message: " + FormatUpdateText(utNotCompleted, "Morvane", 1, 1)));
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains(HasSubstr("finished:"))));
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains("close app")));
    EXPECT_TRUE(NoDownloads());
    EXPECT_FALSE(UpgraderStarted());
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "morvane"), "old program");
}

TEST_F(UpdateAgentTest, FilesWithoutTheirSignedSizeOrBeyondTheFreeSpaceAreNeverFetched) {
    ServeFile("/kind.ini", "k");
    ServeInfo(Sign("#version=9.0\r\n#url=" + Server.Url("/kind.ini") + "\r\n#sha256=" + Hash("k") +
                   "\r\n"));
    Check();
    EXPECT_THAT(Ui.Calls,
                Contains("question: Error | " + FormatUpdateText(utFileMismatch, "kind.ini")));

    Ui.Calls.clear();
    ServeInfo(Sign("#version=9.0\r\n#url=" + Server.Url("/kind.ini") + "\r\n#sha256=" + Hash("k") +
                   "\r\n#size=900000000000000000\r\n"));
    Check();
    EXPECT_THAT(Ui.Calls, Contains(HasSubstr("message: There is not enough free disk space")));
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains("wizard")));
    EXPECT_EQ(RequestsFor("/kind.ini"), 0);
    EXPECT_TRUE(NoDownloads());
}

TEST_F(UpdateAgentTest, EndlessOrOverlongDownloadsStopAtTheirLimitWithAMessage) {
    auto endless = [](const std::string& head, char fill) {
        return [head, fill](const auto&) {
            TTestHttpServer::TReply reply;
            reply.Head = head;
            reply.Body = std::string(8192, fill);
            reply.Endless = true;
            return reply;
        };
    };
    // An information file without end, and one that announces more than one can hold.
    Server.Route("/Morvane.inf", endless("HTTP/1.0 200 OK\r\nConnection: close", '#'));
    Check();
    EXPECT_EQ(Ui.Calls, std::vector<std::string>{std::string("message: ") + UpdateText(25)});
    EXPECT_LE(Agent.Results().BytesRead, TUpdateAgent::InfoFileLimit);
    Server.Route(
        "/Morvane.inf",
        endless("HTTP/1.1 200 OK\r\nContent-Length: 90000000000\r\nConnection: close", '#'));
    Check();
    EXPECT_EQ(Agent.Results().BytesRead, 0);

    // Payloads: one without end, one that announces more than the signed size.
    Ui.Calls.clear();
    Server.Route("/endless.bin", endless("HTTP/1.0 200 OK\r\nConnection: close", 'e'));
    Server.Route(
        "/liar.bin",
        endless("HTTP/1.1 200 OK\r\nContent-Length: 90000000000\r\nConnection: close", 'l'));
    ServeInfo(Sign("#version=9.0\r\n" + Entry("", "/endless.bin", std::string(5000, 'e')) +
                   Entry("0", "/liar.bin", std::string(100, 'l'))));
    Ui.LostFileAnswer = true;
    int32_t most = 0;
    Agent.Events.OnProgress = [&](const std::string&, int32_t, int32_t bytesRead, int32_t, int32_t,
                                  uint8_t, uint8_t, float) { most = std::max(most, bytesRead); };
    Check();
    EXPECT_LE(most, 5000);
    EXPECT_THAT(Ui.Calls,
                Contains("question: Error | " + FormatUpdateText(utFileMismatch, "endless.bin")));
    EXPECT_THAT(Ui.Calls,
                Contains("question: Error | " + FormatUpdateText(utFileMismatch, "liar.bin")));
    EXPECT_THAT(Ui.Calls,
                Contains("message: " + FormatUpdateText(utNotCompleted, "Morvane", 2, 2)));
    EXPECT_TRUE(NoDownloads());
    EXPECT_FALSE(UpgraderStarted());
}

TEST_F(UpdateAgentTest, ASilentServerEndsInTheLostConnectionMessage) {
    Server.Route("/Morvane.inf", [](const auto&) {
        TTestHttpServer::TReply reply;
        reply.Silent = true;
        return reply;
    });
    // The program's own stall limit, only shorter: TransferLimitsTest shows that every run
    // gets the program's limit, and this that the agent turns a stall into its message.
    Agent.Settings().Limits.StallTime = 300;
    const auto started = std::chrono::steady_clock::now();
    Check();
    EXPECT_EQ(Ui.Calls, std::vector<std::string>{std::string("message: ") + UpdateText(30)});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
}

TEST_F(UpdateAgentTest, OnlineUpdateWhileACheckRunsSaysSoAndCanStopIt) {
    Server.Route("/Morvane.inf", [](const auto&) {
        TTestHttpServer::TReply reply;
        reply.Silent = true;
        return reply;
    });
    bool aborted = false;
    Agent.Events.OnAborted = [&] { aborted = true; };
    Agent.CheckUpdate();
    Agent.CheckUpdate(); // answered no: the check goes on
    EXPECT_EQ(Ui.Calls,
              std::vector<std::string>{std::string("ask: ") + UpdateText(utCheckRunning)});
    EXPECT_TRUE(Agent.Busy());
    EXPECT_FALSE(aborted);
    Ui.QuestionAnswer = true;
    Agent.CheckUpdate();
    EXPECT_FALSE(Agent.Busy());
    EXPECT_TRUE(aborted);
    // The stopped worker lets go at once and reports nothing more.
    const auto stopped = std::chrono::steady_clock::now();
    while (TCustomHttpTransfer::LiveWorkers() > 0 &&
           std::chrono::steady_clock::now() - stopped < 3s)
        Queue->ProcessPending(10ms);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1s);
    EXPECT_EQ(Ui.Calls.size(), 2u);
}

TEST_F(UpdateAgentTest, ACopyInAFolderItCannotWriteSaysSoAndOffersNoDownload) {
    ServeFile("/morvane", "new");
    ServeInfo(Sign("#version=9.0\r\n" + Entry("", "/morvane", "new")));
    OpenToEveryone(ProgramFolder.string());
    fs::permissions(ProgramFolder, fs::perms::owner_read | fs::perms::owner_exec |
                                       fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
    const std::string calls = RunUnprivileged([this] {
        auto queue = std::make_shared<TCallQueue>();
        TFakeUi ui;
        TUpdateAgent agent(queue, ui);
        Configure(agent);
        agent.CheckUpdate();
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (agent.Busy() && std::chrono::steady_clock::now() < deadline)
            queue->ProcessPending(10ms);
        std::string joined;
        for (const auto& call : ui.Calls)
            joined += call + "\n";
        return joined;
    });
    fs::permissions(ProgramFolder, fs::perms::owner_all);
    EXPECT_EQ(calls,
              "message: " +
                  FormatUpdateText(utFolderNotWritable, "Morvane", ProgramFolder.string().c_str()) +
                  "\n");
    EXPECT_EQ(RequestsFor("/morvane"), 0);
    EXPECT_TRUE(NoDownloads());
}

TEST_F(UpdateAgentTest, NoRestartWhenTheProgramEndsUnderTheFinishedWizard) {
    ServeFile("/x.dat", "x");
    ServeInfo(Sign("#version=9.0\r\n" + Entry("", "/x.dat", "x")));
    Ui.WizardConfirmed = false;
    Check();
    EXPECT_THAT(Ui.Calls, Contains("wait"));
    EXPECT_THAT(Ui.Calls, ::testing::Not(Contains("close app")));
    EXPECT_TRUE(NoDownloads());
    EXPECT_FALSE(UpgraderStarted());
}

} // namespace
