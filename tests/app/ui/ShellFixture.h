#pragma once

#include "core/IMessageBoxHook.h"
#include "platform/IShell.h"
#include "platform/ProgramFolder.h"
#include "support/TTempDir.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Window tests of the application shell: a fresh program folder for each test, message
// boxes and shell actions recorded instead of shown or started.
class TShellTest : public ::testing::Test {
protected:
    class TBoxRecorder : public IMessageBoxHook {
    public:
        explicit TBoxRecorder(std::vector<std::string>* shown) : FShown(shown) {}
        void Show(const std::string& text, const std::string&) override { FShown->push_back(text); }

    private:
        std::vector<std::string>* FShown;
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

    void SetUp() override {
        Platform::SetProgramFolder(FFolder.Path());
        FOldBox = SetMessageBoxHook(std::make_unique<TBoxRecorder>(&Boxes));
        FOldShell = Platform::SetShell(std::make_unique<TShellRecorder>(&Opened));
    }

    void TearDown() override {
        SetMessageBoxHook(std::move(FOldBox));
        Platform::SetShell(std::move(FOldShell));
        Platform::SetProgramFolder({});
    }

    // Lets queued events and timers run for a while.
    static void Pump(int ms) {
        QElapsedTimer clock;
        clock.start();
        do
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        while (clock.elapsed() < ms);
    }

    const TTempDir& Folder() const { return FFolder; }

    std::vector<std::string> Boxes;
    std::vector<std::string> Opened;

private:
    TTempDir FFolder;
    std::unique_ptr<IMessageBoxHook> FOldBox;
    std::unique_ptr<Platform::IShell> FOldShell;
};
