// SIGTERM while a box waits: the box is answered No, no other box opens, and the program's close
// runs from the main loop once the box's handler has returned.
#include "platform/message_service.h"
#include "platform/termination_signals.h"
#include "platform/ui/qt_messages.h"
#include "platform/ui/signal_end.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

namespace {

// Raises the signal once a message box is up, as an operator's `kill` would find it.
class SignalWhenABoxWaits {
public:
    explicit SignalWhenABoxWaits(int sig) {
        QObject::connect(&timer_, &QTimer::timeout, [this, sig] {
            if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) && !raised) {
                raised = true;
                ::raise(sig);
            }
        });
        timer_.start(5);
    }
    bool raised = false;

private:
    QTimer timer_;
};

struct SignalEndTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(spirelo::InstallTerminationSignals());
        spirelo::TakeTerminationSignals();
        spirelo::SetEndingOnSignal(false);
        spirelo::InstallQtMessages("test");
    }
    void TearDown() override {
        spirelo::InstallMessageService(nullptr);
        spirelo::SetEndingOnSignal(false);
    }
};

}  // namespace

TEST_F(SignalEndTest, ASignalDuringTheStartAnswersItsBoxAndClosesOnceTheMainLoopRuns) {
    std::vector<std::string> order;
    spirelo::SignalEnd end([&] { order.push_back("close"); });
    ASSERT_TRUE(end.installed());
    {
        SignalWhenABoxWaits kill(SIGTERM);
        // A start-up box, before the main loop: only the signal can end it here.
        spirelo::Messages().message("start-up box");
        EXPECT_TRUE(kill.raised);
    }
    order.push_back("box answered");
    EXPECT_TRUE(spirelo::EndingOnSignal());
    // The rest of the start asks no one: it returns at once, with No.
    EXPECT_EQ(spirelo::Messages().question("later question"), spirelo::Answer::No);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    end.mainLoopStarts();
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!order.empty() && order.back() == "close") loop.quit();
    });
    poll.start(5);
    loop.exec();
    EXPECT_EQ(order, (std::vector<std::string>{"box answered", "close"}));
}

TEST_F(SignalEndTest, AQuestionInTheMainLoopIsAnsweredNoAndTheCloseWaitsForItsHandler) {
    std::vector<std::string> order;
    QEventLoop loop;   // the main loop
    spirelo::SignalEnd end([&] {
        order.push_back("close");
        loop.quit();
    });
    end.mainLoopStarts();
    SignalWhenABoxWaits kill(SIGINT);
    QTimer::singleShot(0, [&] {
        const spirelo::Answer a = spirelo::Messages().question("Cross to mode PLAY");
        order.push_back(a == spirelo::Answer::No ? "answered No" : "answered Yes");
        // Still inside the handler: the close has not run yet.
        order.push_back("handler ends");
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(kill.raised);
    EXPECT_EQ(order, (std::vector<std::string>{"answered No", "handler ends", "close"}));
}
