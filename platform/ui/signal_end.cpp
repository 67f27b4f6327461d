#include "platform/ui/signal_end.h"

#include "platform/termination_signals.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <unistd.h>

namespace spirelo {

SignalEnd::SignalEnd(std::function<void()> close, QObject* parent) : QObject(parent), close_(std::move(close)) {
    const int fd = TerminationSignalFd();
    if (fd < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { onSignal(); });
}

void SignalEnd::AnswerWaitingBoxes() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close()) break;
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (!dialog || !dialog->isVisible() || !dialog->isModal()) continue;
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            QAbstractButton* answer = box->button(QMessageBox::Cancel);
            if (!answer) answer = box->button(QMessageBox::No);
            if (answer) {
                answer->click();
                continue;
            }
        }
        dialog->reject();
    }
}

void SignalEnd::onSignal() {
    if (!TakeTerminationSignals()) return;
    AnswerWaitingBoxes();
    if (pending_ || closed_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] { tryClose(); });
}

void SignalEnd::tryClose() {
    // Inside a box's own loop the handler that opened it has not finished: wait for it.
    const bool nested = QThread::currentThread()->loopLevel() > 1;
    if (!mainLoop_ || nested || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        AnswerWaitingBoxes();
        QTimer::singleShot(10, this, [this] { tryClose(); });
        return;
    }
    pending_ = false;
    closed_ = true;
    close_();
    // Test hook: a close that never returns, as one stuck on a dead disk would.
    if (const char* hang = std::getenv("SPIRELO_CLOSE_HANGS"); hang && *hang == '1')
        for (;;) ::pause();
}

}  // namespace spirelo
