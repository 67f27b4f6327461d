// The Qt side of the windows' places (common/window_places.h decides them): the screen a window
// is on, its frame margins, and putting its frame where a place says.
#pragma once

#include "common/window_places.h"

#include <QRect>

#include <functional>
#include <optional>

class QWidget;

namespace spirelo {

inline Box ToBox(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The available geometry of the screen the window (or a frame) is on: the one holding its centre,
// else its top-left corner, else the primary screen.
Box AvailableArea(const QWidget* window);
Box AvailableArea(const Box& frame);

// The frame the window manager drew around the window; zero before it has framed the window and
// where none draws frames.
FrameMargins MarginsOf(const QWidget* window);

// Puts the window's frame at the place's top-left; with `resize` its client also takes the
// place's size less the margins. Before the first show the window manager puts the frame itself
// there.
void ApplyFrame(QWidget* window, const Box& frame, const FrameMargins& margins, bool resize);

// Moves a top-level window onto the available geometry of its screen, frame included. Call
// after the window has its size and place.
void KeepOnScreen(QWidget* window);

// Calls `again` once, when the shown window has been framed: places worked out before the
// window manager drew the frame are worked out again with it. Nothing where no frame comes.
void WhenFramed(QWidget* window, std::function<void()> again);

// Shows the window in front, brought back first when it was minimised.
void BringBack(QWidget* window);

// Tests: every screen's available geometry is this rectangle (nullopt: the real screens).
void OverrideAvailableGeometry(std::optional<QRect> area);

}  // namespace spirelo
