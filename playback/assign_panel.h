// The key assignment panel: a key's sequencer, scene and command chosen on grids. The model
// here says what is under the pointer, what a press writes and what the panel shows; the
// window only draws the model and shows or hides the panel.
#pragma once

#include "core/show_data.h"
#include "playback/live_keys.h"

#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

inline constexpr int kPanelWidth = 617;
inline constexpr int kPanelHeight = 355;

// Modifier and button sets of a pointer event, as bits.
enum PanelInputBits : unsigned {
    kModShift = 1, kModCtrl = 2, kModAlt = 4, kModOther = 8,
    kButtonLeft = 1, kButtonRight = 2, kButtonMiddle = 4,
};
// 1 for exactly Shift, 2 for exactly Ctrl, 3 for exactly Alt, else 0. A held mouse button
// belongs to the set, so a press or a drag gives 0.
int PanelModifierOf(unsigned modifiers, unsigned buttons);

struct PanelHover {
    int seqCell = kNoCell, sceneCell = kNoCell, modeRow = kNoCell;
};
// What lies under (x, y) for command m.
PanelHover PanelHitTest(int x, int y, int m);

// The key the panel edits: the tile pressed last in the current kit and bank.
int PanelKey(ShowData& d, const LiveKeyState& s);

// A tile press: quick assignment with "+1" down (true: the panel stays closed), else the
// panel's values are loaded from the key, which is marked assigned (false: open the panel).
bool AssignPaintBox(ShowData& d, LiveKeyState& s, int track, bool plusDown);
// The panel's values of the track from key k, as every redraw and pointer move takes them.
void LoadPanelFromKey(ShowData& d, int track, int k);
// Pointer move: hover values, modifier, the scene preview into DmxFrame.
void PanelMouseMove(ShowData& d, LiveKeyState& s, int track, int x, int y, unsigned modifiers, unsigned buttons);
// Pointer press: a left (or middle) press writes the choice into the key; a right press nothing.
void PanelMouseDown(ShowData& d, LiveKeyState& s, int track, bool rightButton, int x, int y,
                    unsigned modifiers, unsigned buttons);

// Right press on a tile: copies the key's binding into the track's panel values. With the
// last panel move made with exactly Shift, *runScene is the scene the sequencer window's run
// bar takes (and the hovered sequencer's current step becomes it); else *runScene is -1.
void ReturnKeyPipe(ShowData& d, const LiveKeyState& s, int track, int letter, int* runScene);

// The panel as cells and texts (colours 24-bit, red in the low byte).
struct PanelRect {
    int x, y, w, h;
    uint32_t color;
};
struct PanelLabel {
    int x, y;                 // top-left corner of the text
    std::string text;
    bool bold;
};
struct PanelModel {
    std::vector<PanelRect> cells;
    std::vector<PanelLabel> texts;
};
inline constexpr uint32_t kPanelYellow = 0x00FFFF;
inline constexpr uint32_t kPanelAqua = 0xFFFF00;
inline constexpr uint32_t kMoneyGreen = 0xC0DCC0;
inline constexpr uint32_t kSkyBlue = 0xF0CAA6;
inline constexpr uint32_t kSilver = 0xC0C0C0;
inline constexpr uint32_t kChoicePink = 0xD2D2FF;
inline constexpr uint32_t kHoverWhite = 0xFFFFFF;
inline constexpr uint32_t kPanelNavy = 0x800000;
// Builds the model for the track's values; a rate kind above 3 is stored back as 3.
PanelModel BuildPanelModel(ShowData& d, const LiveKeyState& s, int track);

}  // namespace spirelo
