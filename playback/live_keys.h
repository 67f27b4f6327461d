// Live keys: the letter keys fire key-kit bindings into the record track and the DMX frame,
// "=" and "-" step the last fired sequencer, and the Keyboard page's bank operations edit the
// kits. The window reads its controls into a KeyContext and does what the returned action asks.
#pragma once

#include "core/show_data.h"

#include <cstdint>
#include <string>

namespace spirelo {

inline constexpr int kNoCell = 1000;   // hover values: nothing under the pointer
inline constexpr int kBankKeys = 32;
inline constexpr int kKitKeys = 256;
inline constexpr int kKits = 8;
inline constexpr int kBanks = 7;

struct KeyClipboardPlanes {
    uint8_t Seq[kBankKeys] = {};
    uint8_t Scene[kBankKeys] = {};
    uint8_t Assigned[kBankKeys] = {};
    uint8_t Mode[kBankKeys] = {};
};

struct LiveKeyState {
    int32_t LiveSeq = 1;
    int32_t LiveStep = 1;
    int32_t LiveCommand = 0;
    int32_t KeyTileLetter = 0;
    KeyClipboardPlanes KeyClipboard;
    int32_t HoverSeqCell = kNoCell;
    int32_t HoverSceneCell = kNoCell;
    int32_t HoverModeRow = kNoCell;
    int32_t PanelModifier = 0;
};

LiveKeyState& LiveKeyStateInstance();

// The record mode chosen on the Tracks page.
enum class RecMode { Play, Mouse, Keyboard, ColourArea };

// What the key handler reads from the windows.
struct KeyContext {
    RecMode mode = RecMode::Play;
    int curStep = 0;
    int delaySteps = 3;          // steps one key writes, 1..10
    bool flash = false;
    bool newStartEnabled = false;
};

// What the window must do after a key.
struct KeyAction {
    bool restart = false;        // NewStartCopy, then ClearDmxBuffers
    int bankButton = 0;          // 1..7: press that bank button and redraw the tiles
    bool fired = false;          // a scene was written: lbTest shows LiveKeyText
    bool mouseChoice = false;    // mouse recording: set the two bars below
    int mouseSeq = 0;
    int mouseScene = 0;
};

// The kit in use, TrackEditState[9]; one outside 0..7 is set to 0 and stored back.
int CurrentKit(ShowData& d);
// The first key index of the current bank inside its kit; 224 and above (or below 0) become 0.
int CurrentBankOffset(ShowData& d);
// The key index rule: letter code 65..90 (others limited to "A" or "Z"), bank and kit.
int AdrBufKeyBoard(ShowData& d, int key);
// A stored sequencer above 31 is used as 31.
inline int KeySequencer(const ShowData& d, int k) { return d.KeySeqTable[k] > 31 ? 31 : d.KeySeqTable[k]; }

KeyAction emulKeyDown(ShowData& d, LiveKeyState& s, const KeyContext& ctx, int key);

// The live-key routines; level goes into TrackLevel.
void LoadFromKey(ShowData& d, LiveKeyState& s, const KeyContext& ctx);
void FillLanes(ShowData& d, LiveKeyState& s, const KeyContext& ctx, int level);
void NextStep(ShowData& d, LiveKeyState& s, const KeyContext& ctx, int level);
void PrevStep(ShowData& d, LiveKeyState& s, const KeyContext& ctx, int level);
void StopLastSequens(ShowData& d, int curStep);
// Hover preview of a tile: the key's scene into DmxFrame, nothing recorded.
void ApplyKeyScene(ShowData& d, int letter);

// lbTest's text: "Sq=" q "  Sc=" s, both 1-based.
std::string LiveKeyText(const LiveKeyState& s);

// What a tile shows (drawn at the given top-left corners).
struct TileText {
    std::string letter;          // at (3, 3), green on silver
    std::string mode;            // at (1, 20)
    std::string line2;           // at (1, 35), may be empty
    std::string line3;           // at (1, 50), may be empty
};
TileText PaintButtonText(ShowData& d, int letter);
// LabelKeyNom: " " kit " - " bank " ", 1-based.
std::string KeyBankText(ShowData& d);

// Bank operations on the 32 entries of the current bank (the kit clear: all 256 of the kit).
enum class BankOp { SetMode, SetSeq, ClearBank, ClearKit };
std::string BankQuestionText(BankOp op);
// Asks the question through the message service and applies the operation on Yes; true when done.
bool RunBankOp(ShowData& d, BankOp op, int mode, int seq);
void ApplyBankOp(ShowData& d, BankOp op, int mode, int seq);
void CopyBank(ShowData& d, LiveKeyState& s);
void PasteBank(ShowData& d, const LiveKeyState& s);
// Choosing a bank (1..7) or a kit (0..7).
void ChooseBank(ShowData& d, int bank);
void ChooseKit(ShowData& d, int kit);

}  // namespace spirelo
