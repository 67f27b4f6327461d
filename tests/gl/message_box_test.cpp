// The message boxes on a bare X server (Xvfb, no window manager), where nothing but the box itself
// keeps it above the other windows: those of its own program and of the other program.
#include "platform/ui/qt_messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// What the screen shows at p: the red of the other window, or something else.
bool RedOnScreenAt(QPoint p) {
    const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage();
    if (img.isNull()) return false;
    const QRgb c = img.pixel(0, 0);
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

}  // namespace

// A window covering the screen raises itself while the box waits (as the controller's sound
// window takes the keys): the box comes up above it and is above it again soon after.
TEST(MessageBoxes, ComeUpAboveTheOtherWindowsAndStayThere) {
    if (QGuiApplication::platformName() == "offscreen") GTEST_SKIP() << "needs an X display";
    QWidget other;
    other.setWindowFlag(Qt::FramelessWindowHint);
    QPalette pal = other.palette();
    pal.setColor(QPalette::Window, Qt::red);
    other.setPalette(pal);
    other.setAutoFillBackground(true);
    other.setGeometry(QGuiApplication::primaryScreen()->geometry());
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other, 30000));
    ASSERT_TRUE(QTest::qWaitFor([] { return RedOnScreenAt({640, 512}); }, 30000)) << "the red window is drawn";

    enum Stage { Waiting, CameUp, Covered, BackAbove, GaveUp } stage = Waiting;
    bool stayOnTop = false;
    QElapsedTimer sinceStart, sinceCover;
    sinceStart.start();
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        const bool above = !RedOnScreenAt(box->mapToGlobal(box->rect().center()));
        if (stage == Waiting && above) {
            stage = CameUp;
            stayOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            other.raise();
            other.activateWindow();
            sinceCover.start();
            stage = Covered;
        } else if (stage == Covered && above && sinceCover.elapsed() > 600) {
            // Well after the other window's raise: seen on top again, not merely not yet covered.
            stage = BackAbove;
        }
        if (stage == BackAbove || sinceStart.elapsed() > 30000) {
            if (stage != BackAbove) stage = GaveUp;
            box->done(QMessageBox::Ok);
        }
    });
    poll.start();
    spirelo::QtMessages("Test").message("Above all");
    poll.stop();
    EXPECT_EQ(stage, BackAbove) << "0 waiting for the box, 2 covered by the other window, 4 gave up";
    EXPECT_TRUE(stayOnTop) << "a window manager keeps it above the others";
}
