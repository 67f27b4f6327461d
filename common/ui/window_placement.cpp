#include "common/ui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace spirelo {

namespace {
std::optional<QRect>& Override() {
    static std::optional<QRect> area;
    return area;
}

// Watches a window from its show until its frame is known, a few seconds at most.
class FrameWatch : public QObject {
public:
    FrameWatch(QWidget* window, std::function<void()> again) : QObject(window), window_(window), again_(std::move(again)) {
        window->installEventFilter(this);
        if (window->isVisible()) startClock();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) return false;
        switch (event->type()) {
            case QEvent::Show:
                startClock();
                [[fallthrough]];
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Expose:
                if (!done_ && window_->isVisible() && MarginsOf(window_) != FrameMargins{}) {
                    done_ = true;
                    // Outside the event that told of the frame, so the new place is not undone by it.
                    QTimer::singleShot(0, this, [this] {
                        if (again_) again_();
                        deleteLater();
                    });
                }
                break;
            default:
                break;
        }
        return false;
    }

private:
    void startClock() {
        if (!clockStarted_) QTimer::singleShot(5000, this, [this] { if (!done_) deleteLater(); });
        clockStarted_ = true;
    }

    QWidget* window_;
    std::function<void()> again_;
    bool done_ = false;
    bool clockStarted_ = false;
};
}  // namespace

void OverrideAvailableGeometry(std::optional<QRect> area) { Override() = area; }

Box AvailableArea(const Box& frame) {
    if (Override()) return ToBox(*Override());
    QScreen* screen = QGuiApplication::screenAt(QPoint(frame.x + frame.width / 2, frame.y + frame.height / 2));
    if (!screen) screen = QGuiApplication::screenAt(QPoint(frame.x, frame.y));
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? ToBox(screen->availableGeometry()) : frame;
}

Box AvailableArea(const QWidget* window) {
    return AvailableArea(window ? ToBox(window->frameGeometry()) : Box{});
}

FrameMargins MarginsOf(const QWidget* window) {
    if (!window) return {};
    const QRect f = window->frameGeometry(), g = window->geometry();
    return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

void ApplyFrame(QWidget* window, const Box& frame, const FrameMargins& m, bool resize) {
    if (!window) return;
    if (resize) window->resize(std::max(frame.width - m.across(), 1), std::max(frame.height - m.down(), 1));
    // A window's pos is its frame's: before the first show the window manager is asked to put
    // the frame there, afterwards Qt moves the client by the frame it knows.
    window->move(frame.x, frame.y);
}

void KeepOnScreen(QWidget* window) {
    if (!window) return;
    const FrameMargins m = MarginsOf(window);
    const Box frame = ToBox(window->frameGeometry());
    const Box inside = KeepInside(frame, AvailableArea(window));
    if (inside != frame) ApplyFrame(window, inside, m, false);
}

void WhenFramed(QWidget* window, std::function<void()> again) {
    if (window) new FrameWatch(window, std::move(again));
}

void BringBack(QWidget* window) {
    if (!window) return;
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace spirelo
