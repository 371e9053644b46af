#include "TTestHttpServer.h"

#include "platform/IShell.h"
#include "support/TTempDir.h"
#include "update/TCallQueue.h"
#include "update/TUpdateAgent.h"
#include "update/TUpdateSignature.h"
#include "update/UpdateCrypto.h"
#include "update/UpdateTexts.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <thread>

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
    void WaitForWizardClose() override {
        Calls.push_back("wait");
        if (WhileWaiting)
            WhileWaiting();
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

fs::path OwnFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

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
        Agent.ProgramFile = ProgramFolder / "morvane";
        Agent.PublicKey = TUpdateSignature::ToBase64(publicKey);
        Agent.InfoFileURL = Server.Url("/Morvane.inf");
        Agent.VersionControl = TVersionControl::byNumber;
        Agent.VersionNumber = "8.0";
        Agent.VersionDate = "06/14/2008";
        Agent.MiscFilesUpgrade = TMiscFilesBehavior::mfuOnlyIfSizeDifferent;
        Agent.ShowMessages = AllUpdateMessages;
        Agent.AppTitle = "Morvane";
        Agent.UpgraderFolder = Temp.Path() / "tmp";
        // A stand-in upgrader that only writes down how it was started.
        Agent.UpgraderImage = [this] {
            return "#!/bin/sh\necho \"$@\" > '" + (Temp.Path() / "upgrader-args").string() + "'\n";
        };
        FPreviousShell = Platform::SetShell(std::make_unique<TShellRecorder>(&Opened));
    }

    ~UpdateAgentTest() override {
        Platform::SetShell(std::move(FPreviousShell));
        for (int i = 0; i < 500 && TCustomHttpTransfer::LiveWorkers() > 0; ++i)
            Queue->ProcessPending(10ms);
    }

    std::string Sign(const std::string& text) {
        return TUpdateSignature::Sign(text, TUpdateSignature::ToBase64(FSecretKey));
    }

    static std::string Hash(const std::string& bytes) {
        TTempDir temp;
        return TUpdateSignature::FileHash(temp.Write("f", bytes));
    }

    void ServeInfo(const std::string& text) {
        Server.Route("/Morvane.inf", [text](const auto&) { return TTestHttpServer::Reply(200, text); });
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
    std::string FSecretKey;
    std::unique_ptr<Platform::IShell> FPreviousShell;
};

TEST_F(UpdateAgentTest, ANewerVersionIsAskedDownloadedCheckedAndRestarted) {
    ServeInfo(Sign("#Version=8.1\r\n#url=" + Server.Url("/files/data.bin") + "\r\n#SHA256=" +
                   Hash("new data") + "\r\n#message={Faster scans}\r\n"));
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
    EXPECT_THAT(Ui.Calls, Contains(HasSubstr("ask: A newer version of Morvane was released.\n\nFaster scans\n\nDo you")));
    EXPECT_THAT(Ui.Calls, Contains("file: " + begun[0] + " | Downloading 1 of 1"));
    EXPECT_THAT(Ui.Calls, Contains("File size: 0.0 Kb"));
    EXPECT_THAT(Ui.Calls, Contains(HasSubstr("finished: The update of Morvane has been")));
    EXPECT_EQ(Ui.LastAllPercent, 100);
    EXPECT_THAT(Ui.Calls, Contains("close app"));
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "data.bin.uTMP"), "new data");
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "morvane"), "old program");
    // The stand-in upgrader was written out and started with the restart command line.
    for (int i = 0; i < 100 && !fs::exists(Temp.Path() / "upgrader-args"); ++i)
        std::this_thread::sleep_for(20ms);
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
    ServeInfo(Sign("#version=9\r\n#url1=" + Server.Url("/same.dat") + "\r\n#sha2561=" +
                   Hash("abcde") + "\r\n#url2=" + Server.Url("/other.dat") + "\r\n#sha2562=" +
                   Hash("other") + "\r\n"));
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
    const std::string good = "#version=9.0\r\n#url=" + Server.Url("/morvane") + "\r\n#sha256=" +
                             Hash("evil") + "\r\n";
    ServeFile("/morvane", "evil");
    std::string tampered = Sign(good);
    tampered.replace(tampered.find("9.0"), 3, "9.1");
    const std::string wrongHash = Sign("#version=9.0\r\n#url=" + Server.Url("/morvane") +
                                       "\r\n#sha256=" + Hash("good") + "\r\n");
    const std::string dotDot = Sign("#version=9.0\r\n#url=" + Server.Url("/files/../x") +
                                    "\r\n#sha256=" + Hash("evil") + "\r\n");
    const std::string older = Sign("#version=7.9\r\n#url=" + Server.Url("/morvane") +
                                   "\r\n#sha256=" + Hash("evil") + "\r\n");
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

TEST_F(UpdateAgentTest, ALostFileAsksAndCanBeSkipped) {
    ServeFile("/b.dat", "bee");
    ServeInfo(Sign("#version=9.0\r\n#url=" + Server.Url("/a.dat") + "\r\n#url0=" +
                   Server.Url("/b.dat") + "\r\n#sha2560=" + Hash("bee") + "\r\n"));
    Ui.LostFileAnswer = true;
    std::vector<int> codes;
    Agent.Events.OnLostFile = [&](const std::string&, int32_t code, bool&) { codes.push_back(code); };
    Agent.Events.OnDoOwnCloseAppMethod = [] {};
    Check();
    EXPECT_THAT(codes, ::testing::ElementsAre(404));
    EXPECT_THAT(Ui.Calls, Contains(HasSubstr("question: Error #404 | File a.dat not found")));
    EXPECT_FALSE(fs::exists(ProgramFolder / "a.dat.uTMP"));
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "b.dat.uTMP"), "bee");
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
    ServeInfo(Sign("#version=9.0\r\n#url=" + Server.Url("/x.dat") + "\r\n#sha256=" + Hash("x") + "\r\n"));
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
        "#!/bin/sh\necho \"$@\" > '" + (Temp.Path() / "started").string() + "'\n";
    ServeFile("/morvane", newProgram);
    ServeInfo(Sign("#version=8.1\r\n#url=" + Server.Url("/morvane") + "\r\n#sha256=" +
                   Hash(newProgram) + "\r\n"));
    fs::permissions(ProgramFolder / "morvane", fs::perms::owner_all);
    Agent.UpgraderImage = [&] { return TTempDir::Read(upgrader); };
    Check();
    ASSERT_THAT(Ui.Calls, Contains("close app"));
    for (int i = 0; i < 250 && !fs::exists(Temp.Path() / "started"); ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(TTempDir::Read(Temp.Path() / "started"), "/afterupgrade\n");
    EXPECT_EQ(TTempDir::Read(ProgramFolder / "morvane"), newProgram);
    EXPECT_FALSE(fs::exists(ProgramFolder / "morvane.uTMP"));
    EXPECT_TRUE((fs::status(ProgramFolder / "morvane").permissions() & fs::perms::owner_exec) !=
                fs::perms::none);
}

} // namespace
