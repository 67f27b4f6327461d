// Glimmora: the 3D visualiser. Windows are created main window first, destroyed in reverse;
// SIGINT, SIGTERM and SIGHUP end it as closing the main window would.
#include "platform/termination_signals.h"
#include "platform/ui/desktop_start.h"
#include "platform/ui/qt_messages.h"
#include "platform/ui/signal_end.h"
#include "visualiser/ui/form_help.h"
#include "visualiser/ui/form_main.h"
#include "visualiser/ui/form_set.h"
#include "visualiser/ui/gl_format.h"

#include <QApplication>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define GLIMMORA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GLIMMORA_ASAN 1
#endif
#endif

#ifdef GLIMMORA_ASAN
// A clean end on a display: Mesa unloads its driver before LeakSanitizer looks, and a leak's stack
// in an unloaded library names no module to suppress. Sanitized builds keep libraries loaded,
// so the driver's own leaks carry its name (tests/lsan-suppressions.txt lets them pass).
extern "C" int dlclose(void*) { return 0; }
#endif

int main(int argc, char** argv) {
    // The fixed-function drawing needs a compatibility profile, asked for before the application.
    spirelo::RequestCompatibilityProfile();
    std::unique_ptr<QApplication> app = spirelo::StartOnDesktop(argc, argv, "Glimmora");
    if (!spirelo::InstallTerminationSignals())
        std::fprintf(stderr, "Glimmora: SIGINT/SIGTERM/SIGHUP will end the program without saving\n");
    spirelo::SetImmediateEnd("Glimmora", nullptr);
    // The title is the boxes' caption only: as the application's display name Qt would add it
    // to every window title.
    spirelo::InstallQtMessages(QStringLiteral("Программа визуализации фонтанов"));

    spirelo::SignalEnd signalEnd([] {
        // The layout window may still be open: the program ends with the main window all the same.
        if (FormMain) FormMain->close();
        QApplication::quit();
    });
    FormMain = new TFormMain;
    FormMain->FormCreate();
    FormSet = new TFormSet;
    FormSet->FormCreate();
    FormHelp = new TFormHelp;
    FormHelp->FormCreate();
    FormMain->show();
    signalEnd.mainLoopStarts();
    int rc = app->exec();

    DestroyVisualiserWindows();
    return rc;
}
