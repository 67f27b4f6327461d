// The controller's program block: one instance at a time, the eight windows in their order,
// the message loop, and an orderly end on the window's close or on SIGINT/SIGTERM.
#include "core/instance_guard.h"
#include "core/ui/controller_windows.h"
#include "core/ui/form_maim.h"
#include "platform/ui/qt_messages.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char* const kApplicationTitle = "Programm for dancing fountain";

int gSignalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const int saved = errno;
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(gSignalPipe[1], &c, 1);
    errno = saved;
}

// SIGINT and SIGTERM only write a byte; the window thread reads it and closes the main window
// as the user would, so the settings and the guard marks are written.
bool InstallTerminationSignals() {
    if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction sa{};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &sa, nullptr) == 0 && ::sigaction(SIGTERM, &sa, nullptr) == 0;
}


int ProgramMain(int argc, char** argv) {
    // A second controller would fight the first over the USB interface and the shared
    // sections: a refused start ends here, before it has opened or written anything.
    auto& guard = spirelo::InstanceGuardInstance();
    std::string guardError;
    switch (guard.acquire(&guardError)) {
        case spirelo::InstanceGuard::Result::Acquired:
            break;
        case spirelo::InstanceGuard::Result::Refused:
            std::fprintf(stderr, "Spirelo: another instance is already running\n");
            return 1;
        case spirelo::InstanceGuard::Result::Unavailable:
            std::fprintf(stderr, "Spirelo: cannot guard against a second instance (%s)\n",
                         guardError.c_str());
            break;
    }
    if (!InstallTerminationSignals())
        std::fprintf(stderr, "Spirelo: SIGINT/SIGTERM will end the program without saving\n");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Spirelo"));
    QApplication::setApplicationVersion(QStringLiteral(SPIRELO_VERSION));
    app.setQuitOnLastWindowClosed(false);
    spirelo::InstallQtMessages(QString::fromUtf8(kApplicationTitle));

    spirelo::CreateControllerWindows();
    QObject::connect(FormMaim, &TFormMaim::closedByUser, &app, &QApplication::quit);

    QSocketNotifier notifier(gSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [] {
        char buf[16];
        while (::read(gSignalPipe[0], buf, sizeof buf) > 0) {}
        if (FormMaim) FormMaim->close();
    });

    FormMaim->show();
    const int rc = app.exec();

    spirelo::DestroyControllerWindows();
    guard.release();
    return rc;
}

}  // namespace

int main(int argc, char** argv) { return ProgramMain(argc, argv); }
