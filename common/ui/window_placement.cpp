#include "common/ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace spirelo {

namespace {
std::optional<QRect>& Override() {
    static std::optional<QRect> area;
    return area;
}

int Fit(int pos, int size, int from, int length) {
    if (size >= length) return from;
    return std::clamp(pos, from, from + length - size);
}
}  // namespace

QPoint PlaceInside(const QRect& frame, const QRect& available) {
    return {Fit(frame.x(), frame.width(), available.x(), available.width()),
            Fit(frame.y(), frame.height(), available.y(), available.height())};
}

void OverrideAvailableGeometry(std::optional<QRect> area) { Override() = area; }

void KeepOnScreen(QWidget* window) {
    if (!window) return;
    QRect available;
    if (Override()) {
        available = *Override();
    } else {
        QScreen* screen = QGuiApplication::screenAt(window->frameGeometry().center());
        if (!screen) screen = QGuiApplication::screenAt(window->pos());
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (!screen) return;
        available = screen->availableGeometry();
    }
    // The frame (title bar, borders) counts once the window manager has given it one.
    const QRect frame = window->frameGeometry();
    const QPoint target = PlaceInside(frame, available);
    if (target != frame.topLeft()) window->move(window->pos() + (target - frame.topLeft()));
}

}  // namespace spirelo
