#include "platform/ui/qt_messages.h"

#include "platform/termination_signals.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace spirelo {

QString QtMessages::DisplayText(const std::string& text) {
    QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    s.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

namespace {
QMessageBox::StandardButton Show(QMessageBox::Icon icon, const QString& title, const QString& text,
                                 QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    if (buttons & QMessageBox::Yes) box.setDefaultButton(QMessageBox::Yes);
    // Above the windows of both programs: a window manager keeps a stay-on-top window above
    // the others. Without one (a bare X server) nothing does, and a window that raises itself
    // or comes up later covers the box, which then waits unseen; so while it waits it raises
    // itself again, unless a newer box of ours waits above it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QTimer keepAbove;
    keepAbove.setInterval(200);
    QObject::connect(&keepAbove, &QTimer::timeout, &box, [&box] {
        if (QApplication::activeModalWidget() == &box) box.raise();
    });
    keepAbove.start();
    return QMessageBox::StandardButton(box.exec());
}
}  // namespace

void QtMessages::message(const std::string& text) {
    if (EndingOnSignal()) return MessagesOnStderr().message(text);
    Show(QMessageBox::NoIcon, title_, DisplayText(text), QMessageBox::Ok);
}

void QtMessages::warning(const std::string& text) {
    if (EndingOnSignal()) return MessagesOnStderr().warning(text);
    Show(QMessageBox::Warning, title_, DisplayText(text), QMessageBox::Ok);
}

Answer QtMessages::question(const std::string& text) {
    // Ending on a signal: nobody is there to answer, so No, as the waiting box is answered.
    if (EndingOnSignal()) return MessagesOnStderr().question(text);
    auto b = Show(QMessageBox::Warning, title_, DisplayText(text), QMessageBox::Yes | QMessageBox::No);
    return b == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtMessages::error(const std::string& text) {
    if (EndingOnSignal()) return MessagesOnStderr().error(text);
    Show(QMessageBox::Critical, title_, DisplayText(text), QMessageBox::Ok);
}

void InstallQtMessages(const QString& title) {
    InstallMessageService(std::make_shared<QtMessages>(title));
}

}  // namespace spirelo
