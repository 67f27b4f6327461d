// Ends the program on SIGINT, SIGTERM or SIGHUP as a close by the user would: a box or dialog
// that waits is answered Cancel/No, none is shown afterwards, and the close runs from the main
// loop once the handler that opened the box has returned.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace spirelo {

class SignalEnd : public QObject {
public:
    // Needs InstallTerminationSignals() done and the application made.
    explicit SignalEnd(std::function<void()> close, QObject* parent = nullptr);
    bool installed() const { return notifier_ != nullptr; }

    // The windows are made and the main loop is about to run: only from then on does the close
    // run (a signal during the start only answers its boxes).
    void mainLoopStarts() { mainLoop_ = true; }

    // Answers every box, dialog and menu that waits, innermost first.
    static void AnswerWaitingBoxes();

private:
    void onSignal();
    void tryClose();

    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> close_;
    bool mainLoop_ = false;
    bool pending_ = false;
    bool closed_ = false;
};

}  // namespace spirelo
