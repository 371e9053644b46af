#include "app/ui/ModalWindow.h"

#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A function window that ends its modal run at once, or fails during it.
class TProbeDialog : public QDialog {
public:
    explicit TProbeDialog(QWidget* owner) : QDialog(owner) { ++Created; }
    ~TProbeDialog() override { ++Destroyed; }
    int exec() override {
        ++Runs;
        if (Fail)
            throw std::runtime_error("run failed");
        return QDialog::exec();
    }
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        QTimer::singleShot(0, this, &QDialog::accept);
    }

    int Runs = 0;
    int State = 0; // what the window would keep between openings
    static inline bool Fail = false;
    static inline int Created = 0;
    static inline int Destroyed = 0;
};

// A plain widget window, as a large function window may be.
class TProbeWindow : public QWidget {
public:
    explicit TProbeWindow(QWidget* owner) : QWidget(owner, Qt::Window) {}
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        SeenModal = isModal();
        QTimer::singleShot(0, this, &QWidget::close);
    }
    bool SeenModal = false;
};

TProbeDialog* ProbeVariable = nullptr;
TProbeWindow* WindowVariable = nullptr;

class ModalWindow : public ::testing::Test {
protected:
    void SetUp() override {
        TProbeDialog::Fail = false;
        TProbeDialog::Created = TProbeDialog::Destroyed = 0;
    }
    void TearDown() override {
        delete ProbeVariable;
        ProbeVariable = nullptr;
    }
    QWidget FOwner;
};

} // namespace

TEST_F(ModalWindow, FreedWindowIsMadeAfreshForEveryOpening) {
    ShowModalWindow(ProbeVariable, &FOwner, TAfterModal::Free);
    EXPECT_EQ(ProbeVariable, nullptr);
    ShowModalWindow(ProbeVariable, &FOwner, TAfterModal::Free);
    EXPECT_EQ(TProbeDialog::Created, 2);
    EXPECT_EQ(TProbeDialog::Destroyed, 2);
}

TEST_F(ModalWindow, ClosedWindowIsKeptWithItsStateAndOwner) {
    ShowModalWindow(ProbeVariable, &FOwner, TAfterModal::Close);
    ASSERT_NE(ProbeVariable, nullptr);
    TProbeDialog* first = ProbeVariable;
    EXPECT_EQ(first->parentWidget(), &FOwner);
    EXPECT_FALSE(first->isVisible());
    first->State = 42;
    ShowModalWindow(ProbeVariable, &FOwner, TAfterModal::Close);
    EXPECT_EQ(ProbeVariable, first);
    EXPECT_EQ(ProbeVariable->State, 42);
    EXPECT_EQ(ProbeVariable->Runs, 2);
    EXPECT_EQ(TProbeDialog::Created, 1);
}

TEST_F(ModalWindow, FailedRunStillFreesOrClosesAndPassesTheErrorOn) {
    TProbeDialog::Fail = true;
    EXPECT_THROW(ShowModalWindow(ProbeVariable, &FOwner, TAfterModal::Free), std::runtime_error);
    EXPECT_EQ(ProbeVariable, nullptr);
    EXPECT_EQ(TProbeDialog::Destroyed, 1);

    CreateWindowInto(ProbeVariable, &FOwner)->show();
    TProbeDialog* kept = ProbeVariable;
    EXPECT_THROW(ShowModalWindow(ProbeVariable, &FOwner, TAfterModal::Close), std::runtime_error);
    EXPECT_EQ(ProbeVariable, kept);
    EXPECT_FALSE(kept->isVisible());

    TProbeDialog::Fail = false;
    ShowModalWindow(ProbeVariable, &FOwner, TAfterModal::Free);
    EXPECT_EQ(ProbeVariable, nullptr);
}

TEST_F(ModalWindow, VariableIsEmptiedWhenTheOwnerTakesTheWindowWithIt) {
    {
        QWidget owner;
        CreateWindowInto(ProbeVariable, &owner);
    }
    EXPECT_EQ(ProbeVariable, nullptr);
}

TEST_F(ModalWindow, PlainWindowRunsModallyUntilClosed) {
    ShowModalWindow(WindowVariable, &FOwner, TAfterModal::Free);
    EXPECT_EQ(WindowVariable, nullptr);
    ShowModalWindow(WindowVariable, &FOwner, TAfterModal::Close);
    ASSERT_NE(WindowVariable, nullptr);
    EXPECT_TRUE(WindowVariable->SeenModal);
    EXPECT_FALSE(WindowVariable->isVisible());
    delete WindowVariable;
    EXPECT_EQ(WindowVariable, nullptr);
}
