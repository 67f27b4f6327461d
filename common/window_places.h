// Where the two programs' windows go on the screen. Every box here is a window's frame (title
// bar and borders included where a window manager draws them); a window's client is its frame
// less the margins.
//
// At a first start the controller's tool bar lies across the top of the screen, its sound window
// below it at the left, and Glimmora in the largest space they leave, beside or below them. Both
// programs work the same places out on their own, so neither needs to see the other's windows.
// Later starts keep the saved places, moved (Glimmora also shrunk) only as far as it takes to lie
// wholly on the screen.
#pragma once

#include <optional>
#include <span>

namespace spirelo {

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }    // one past the last column
    int bottom() const { return y + height; }  // one past the last row
    bool operator==(const Box&) const = default;
};

struct FrameMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
    int across() const { return left + right; }
    int down() const { return top + bottom; }
    bool operator==(const FrameMargins&) const = default;
};

// Pixels two boxes share.
long long OverlapArea(const Box& a, const Box& b);

// The nearest place of `frame` wholly inside `screen`, same size; along an axis where it is
// larger than the screen, at the screen's start. With `shrink`, a frame larger than the screen
// is first cut down to it.
Box KeepInside(Box frame, const Box& screen, bool shrink = false);

// The controller's main window: client height of its tool bar and status bar, and the band it
// keeps at the top of the screen (the 84 pixels of the original with its frame).
constexpr int kToolBarClientHeight = 30 + 23;
constexpr int kToolBarBand = 84;
// The sound window's client.
constexpr int kSoundClientWidth = 1108;
constexpr int kSoundClientHeight = 581;
// The smallest Glimmora a first start gives it: its two tool bars and a view to see the fountain.
constexpr int kVisualiserMinClientWidth = 480;
constexpr int kVisualiserMinClientHeight = 240;

// Docked across the top: the screen's top-left corner, its whole width.
Box ToolBarFrame(const Box& screen, const FrameMargins& m);

// The sound window's first place: below the tool bar's band, at the screen's left.
Box SoundFirstFrame(const Box& screen, const FrameMargins& m);

// Glimmora's first place: the largest box beside or below the controller's first places, when
// it holds the smallest Glimmora; otherwise that smallest Glimmora where it covers least of them.
Box VisualiserFirstFrame(const Box& screen, const FrameMargins& m);

// A window at its saved frame place with its saved client size, moved onto the screen; a
// resizable one larger than the screen is cut down to it.
Box SavedFrame(int left, int top, int clientWidth, int clientHeight, const Box& screen,
               const FrameMargins& m, bool resizable);

// The largest box inside `screen` that shares no pixel with any of `taken` (ties: the top-most,
// then the left-most); nullopt when the screen is covered.
std::optional<Box> LargestFreeBox(const Box& screen, std::span<const Box> taken);

// A `width` x `height` frame inside the screen where it covers the least of `taken` (ties: the
// top-most, then the left-most).
Box LeastCoveringPlace(int width, int height, const Box& screen, std::span<const Box> taken);

}  // namespace spirelo
