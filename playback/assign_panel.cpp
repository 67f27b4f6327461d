#include "playback/assign_panel.h"

#include "core/text_routines.h"
#include "sequencer/sequencer_store.h"

#include <algorithm>

namespace spirelo {

namespace {

constexpr int kGridRight = 521;

// (x - 10) div 32, truncating; left of the panel is no column.
int Column(int x) {
    const int c = (x - 10) / 32;
    return c < 0 ? -1 : c;
}

int Cell(int row, int column) { return column < 0 ? kNoCell : row * 16 + column; }

bool InSceneArea(int x, int y, int m) {
    return m == kCmdSetRate ? (x < 135 && y > 61 && y < 79) : (x < kGridRight && y > 61 && y < 344);
}

// The rate row is one row high: its lowest pixel line belongs to it, not to a second row.
int SceneCell(int x, int y, int m) {
    return m == kCmdSetRate ? Cell(0, Column(x)) : Cell((y - 60) / 18, Column(x));
}

}  // namespace

int PanelModifierOf(unsigned modifiers, unsigned buttons) {
    if (buttons != 0) return 0;
    switch (modifiers) {
        case kModShift: return 1;
        case kModCtrl: return 2;
        case kModAlt: return 3;
        default: return 0;
    }
}

PanelHover PanelHitTest(int x, int y, int m) {
    PanelHover h;
    const int column = Column(x);
    if (x < kGridRight && y > 21 && y < 55) h.seqCell = Cell((y - 21) / 18, column);
    if (InSceneArea(x, y, m)) h.sceneCell = SceneCell(x, y, m);
    if (x > 523 && y > 61 && y < 344) h.modeRow = (y - 60) / 36;
    return h;
}

int PanelKey(ShowData& d, const LiveKeyState& s) { return AdrBufKeyBoard(d, s.KeyTileLetter); }

void LoadPanelFromKey(ShowData& d, int track, int k) {
    const int t = ClampTrack(track);
    d.TrackRecSeq[t] = d.KeySeqTable[k];
    d.TrackRecScene[t] = d.KeySceneTable[k];
    d.TrackRecKind[t] = d.KeyModeTable[k];
}

bool AssignPaintBox(ShowData& d, LiveKeyState& s, int track, bool plusDown) {
    const int t = ClampTrack(track);
    const int k = PanelKey(d, s);
    if (plusDown) {
        d.TrackRecScene[t] = uint8_t(std::min<int>(d.TrackRecScene[t], 253) + 1);
        d.KeySeqTable[k] = d.TrackRecSeq[t];
        d.KeySceneTable[k] = d.TrackRecScene[t];
        d.KeyModeTable[k] = d.TrackRecKind[t];
        d.KeyAssignedTable[k] = 255;
        return true;
    }
    LoadPanelFromKey(d, t, k);
    d.KeyAssignedTable[k] = 255;
    return false;
}

void PanelMouseMove(ShowData& d, LiveKeyState& s, int track, int x, int y, unsigned modifiers, unsigned buttons) {
    const int t = ClampTrack(track);
    const PanelHover h = PanelHitTest(x, y, d.TrackRecKind[t]);
    s.HoverSeqCell = h.seqCell;
    s.HoverSceneCell = h.sceneCell;
    s.HoverModeRow = h.modeRow;
    s.PanelModifier = PanelModifierOf(modifiers, buttons);
    if (h.sceneCell <= 255) CopySceneToFrame(d, std::min<int>(d.TrackRecSeq[t], 31), h.sceneCell);
}

void PanelMouseDown(ShowData& d, LiveKeyState& s, int track, bool rightButton, int x, int y,
                    unsigned modifiers, unsigned buttons) {
    if (rightButton) return;
    const int t = ClampTrack(track);
    const int column = Column(x);
    if (column >= 0 && x < kGridRight && y > 23 && y < 55) d.TrackRecSeq[t] = uint8_t(Cell((y - 21) / 18, column));
    if (column >= 0 && InSceneArea(x, y, d.TrackRecKind[t])) d.TrackRecScene[t] = uint8_t(SceneCell(x, y, d.TrackRecKind[t]));
    if (x > 523 && y > 61 && y < 344) d.TrackRecKind[t] = uint8_t(std::min((y - 60) / 36, 6));
    const int k = PanelKey(d, s);
    d.KeyAssignedTable[k] = 255;
    d.KeyModeTable[k] = d.TrackRecKind[t];
    d.KeySeqTable[k] = d.TrackRecSeq[t];
    d.KeySceneTable[k] = d.TrackRecScene[t];
    s.PanelModifier = PanelModifierOf(modifiers, buttons);
}

void ReturnKeyPipe(ShowData& d, const LiveKeyState& s, int track, int letter, int* runScene) {
    const int t = ClampTrack(track);
    const int k = AdrBufKeyBoard(d, letter);
    LoadPanelFromKey(d, t, k);
    *runScene = -1;
    if (s.PanelModifier != 1) return;
    *runScene = d.TrackRecScene[t];
    if (s.HoverSeqCell >= 0 && s.HoverSeqCell < kSequencers)
        d.SequencerCurrentStep[s.HoverSeqCell] = d.TrackRecScene[t];
}

PanelModel BuildPanelModel(ShowData& d, const LiveKeyState& s, int track) {
    const int t = ClampTrack(track);
    PanelModel pm;
    pm.cells.reserve(300);
    pm.texts.reserve(300);
    const int q = d.TrackRecSeq[t], m = d.TrackRecKind[t];
    if (m == kCmdSetRate && d.TrackRecScene[t] > 3) d.TrackRecScene[t] = 3;
    const int sc = d.TrackRecScene[t];
    const char letter = char(std::clamp(s.KeyTileLetter, 65, 90));
    pm.texts.push_back({50, 3, std::string("Button: ") + letter, false});
    pm.texts.push_back({150, 3, "Sequenser: " + std::to_string(q + 1), false});
    pm.texts.push_back({280, 3, "Scena: " + std::to_string(sc + 1), false});
    pm.texts.push_back({410, 3, ModeText(uint8_t(m)), false});
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 16; ++col) {
            const int n = row * 16 + col;
            const uint32_t c = n == s.HoverSeqCell ? kHoverWhite : (n == q ? kChoicePink : kPanelAqua);
            pm.cells.push_back({7 + col * 32, 21 + row * 18, 32, 18, c});
            pm.texts.push_back({col * 32 + 13, 21 + row * 18, std::to_string(n + 1), true});
        }
    if (m >= kCmdSetScene && m <= kCmdSeqStop) {
        for (int row = 0; row < 16; ++row)
            for (int col = 0; col < 16; ++col) {
                const int n = row * 16 + col;
                const uint32_t c = n == s.HoverSceneCell ? kHoverWhite : (n == sc ? kChoicePink : kMoneyGreen);
                pm.cells.push_back({7 + col * 32, 60 + row * 18, 32, 18, c});
                pm.texts.push_back({col * 32 + 13, 62 + row * 18, std::to_string(n + 1), true});
            }
    } else if (m == kCmdSetRate) {
        static const char* const names[] = {"Off", "Rat", "Dec", ""};
        for (int col = 0; col < 4; ++col) {
            const uint32_t c = col == s.HoverSceneCell ? kHoverWhite : (col == sc ? kChoicePink : kSilver);
            pm.cells.push_back({7 + col * 32, 60, 32, 19, c});
            if (*names[col]) pm.texts.push_back({col * 32 + 13, 62, names[col], true});
        }
    }
    for (int row = 0; row < 7; ++row) {
        const uint32_t c = row == s.HoverModeRow ? kHoverWhite : (row == m ? kChoicePink : kSkyBlue);
        pm.cells.push_back({525, 60 + 36 * row, 85, 36, c});
        pm.texts.push_back({530, 68 + 36 * row, ModeText(uint8_t(row)), true});
    }
    return pm;
}

}  // namespace spirelo
