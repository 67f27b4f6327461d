#include "platform/ui/desktop_start.h"

#include "platform/desktop_check.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace spirelo {

namespace {

struct Held {
    QtMsgType type;
    const char* file;   // literals of Qt's own, alive for the whole run
    int line;
    const char* function;
    const char* category;
    QString text;
};

std::vector<Held>* gHeld = nullptr;
std::string gLine;
bool gDesktopPlatform = false;
bool gDisplayNamed = false;

[[noreturn]] void EndWithLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    // Qt would abort right after this handler; nothing of the program has started yet.
    ::_exit(1);
}

// Qt's own account of a failed start: its warnings so far and the fatal line, without the advice
// that follows a blank line.
std::string QtReason(const QString& fatal) {
    std::string reason;
    auto add = [&](const char* category, const QString& text) {
        std::string line = text.toLocal8Bit().toStdString();
        if (const size_t cut = line.find("\n\n"); cut != std::string::npos) line.erase(cut);
        reason += "Qt: ";
        if (category && std::strcmp(category, "default") != 0) reason += std::string(category) + ": ";
        reason += line + "\n";
    };
    if (gHeld)
        for (const Held& h : *gHeld)
            if (h.type != QtDebugMsg && h.type != QtInfoMsg) add(h.category, h.text);
    add(nullptr, fatal);
    reason.pop_back();
    return reason;
}

// While the application is being made, Qt's own lines wait here: a failed connection ends in
// our line instead of Qt's advice and an abort. With a display named, Qt's reason follows it:
// the display may be there and something else failed.
void HoldMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        if (!gDesktopPlatform) EndWithLine(text.toLocal8Bit().toStdString());
        EndWithLine(gDisplayNamed ? gLine + "\n" + QtReason(text) : gLine);
    }
    if (gHeld) gHeld->push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

std::unique_ptr<QApplication> StartOnDesktop(int& argc, char** argv, const char* name) {
    gLine = NoDesktopLine(name, StartedAs(argc, argv, name));
    gDesktopPlatform = PlatformNeedsDesktop(RequestedPlatform(argc, argv, std::getenv("QT_QPA_PLATFORM")));
    auto set = [](const char* v) { return v && *v; };
    gDisplayNamed = set(std::getenv("DISPLAY")) || set(std::getenv("WAYLAND_DISPLAY"));
    if (gDesktopPlatform && !gDisplayNamed) EndWithLine(gLine);

    std::vector<Held> held;
    gHeld = &held;
    QtMessageHandler previous = qInstallMessageHandler(HoldMessages);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    gHeld = nullptr;
    for (const Held& h : held) {
        const QMessageLogContext context(h.file, h.line, h.function, h.category);
        qt_message_output(h.type, context, h.text);
    }
    return app;
}

}  // namespace spirelo
