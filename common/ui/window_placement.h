// Windows keep their documented or stored place when it fits the screen; otherwise they are
// moved (never resized) just enough to lie wholly inside the screen's available geometry.
#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

class QWidget;

namespace spirelo {

// Where a window of frame `frame` goes to lie inside `available`: the nearest such place, or the
// available top-left corner along an axis where the window is larger than the screen.
QPoint PlaceInside(const QRect& frame, const QRect& available);

// Moves a top-level window onto the available geometry of the screen it is on (the primary
// screen when its place is on none). Call after the window has its size and place.
void KeepOnScreen(QWidget* window);

// Tests: every screen's available geometry is this rectangle (nullopt: the real screens).
void OverrideAvailableGeometry(std::optional<QRect> area);

}  // namespace spirelo
