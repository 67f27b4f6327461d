// The controller's program block: one instance at a time, the eight windows in their order,
// the message loop, and an orderly end on the window's close or on SIGINT/SIGTERM/SIGHUP. The
// fountain is dark at every end: the link's close writes a frame of zeros, and an end cut short
// by a second signal writes it from the signal watcher.
#include "core/instance_guard.h"
#include "core/ui/controller_windows.h"
#include "core/ui/form_maim.h"
#include "dmx/usb_link.h"
#include "platform/termination_signals.h"
#include "platform/ui/desktop_start.h"
#include "platform/ui/qt_messages.h"
#include "platform/ui/signal_end.h"

#include <QApplication>

#include <cstdio>

namespace {

const char* const kApplicationTitle = "Programm for dancing fountain";

int ProgramMain(int argc, char** argv) {
    // Before the guard: a start without a desktop ends at once and leaves nothing behind.
    std::unique_ptr<QApplication> app = spirelo::StartOnDesktop(argc, argv, "Spirelo");

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
    if (!spirelo::InstallTerminationSignals())
        std::fprintf(stderr, "Spirelo: SIGINT/SIGTERM/SIGHUP will end the program without saving\n");
    spirelo::SetImmediateEnd("Spirelo", [] { spirelo::DarkenOpenLinkNow(1000); });

    QApplication::setApplicationName(QStringLiteral("Spirelo"));
    QApplication::setApplicationVersion(QStringLiteral(SPIRELO_VERSION));
    app->setQuitOnLastWindowClosed(false);
    spirelo::InstallQtMessages(QString::fromUtf8(kApplicationTitle));

    // Made before the windows, so that a signal while a start-up box waits answers it.
    spirelo::SignalEnd signalEnd([] {
        if (FormMaim) FormMaim->close();
    });
    spirelo::CreateControllerWindows();
    QObject::connect(FormMaim, &TFormMaim::closedByUser, app.get(), &QApplication::quit);

    FormMaim->show();
    signalEnd.mainLoopStarts();
    const int rc = app->exec();

    spirelo::DestroyControllerWindows();
    guard.release();
    return rc;
}

}  // namespace

int main(int argc, char** argv) { return ProgramMain(argc, argv); }
