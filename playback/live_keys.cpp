#include "playback/live_keys.h"

#include "core/text_routines.h"
#include "platform/message_service.h"
#include "playback/track_edit.h"
#include "sequencer/sequencer_store.h"

#include <algorithm>

namespace spirelo {

namespace {

constexpr int kCodeA = 65, kCodeZ = 90;
constexpr int kLastStepWordIndex = kSequencerSteps - 1;

int StepWord(const ShowData& d, int seq, int step) {
    if (step < 0 || step > kLastStepWordIndex) return 0;   // outside the row: no mark
    return d.SequencerStepWords[ClampSequencer(seq)][step];
}

bool IsLoopMark(int w) { return w == 2 || w == 3; }

}  // namespace

LiveKeyState& LiveKeyStateInstance() {
    static LiveKeyState s;
    return s;
}

int CurrentKit(ShowData& d) {
    if (d.TrackEditState[9] < 0 || d.TrackEditState[9] >= kKits) d.TrackEditState[9] = 0;
    return d.TrackEditState[9];
}

int CurrentBankOffset(ShowData& d) {
    if (d.KeyBankOffset < 0 || d.KeyBankOffset >= kBanks * kBankKeys) d.KeyBankOffset = 0;
    return d.KeyBankOffset;
}

int AdrBufKeyBoard(ShowData& d, int key) {
    const int kit = CurrentKit(d);
    const int code = std::clamp(key, kCodeA, kCodeZ);
    const int bank = CurrentBankOffset(d);
    return std::min(code - kCodeA + bank + kit * kKitKeys, kKeys - 1);
}

void FillLanes(ShowData& d, LiveKeyState& s, const KeyContext& ctx, int level) {
    const int r = RecordTrack(d);
    const int n = std::clamp(ctx.delaySteps, 1, 10);
    const TrackStepValue v{uint8_t(s.LiveSeq), uint8_t(s.LiveStep), uint8_t(level), uint8_t(s.LiveCommand)};
    for (int step = ctx.curStep; step < ctx.curStep + n; ++step) WriteTrackStep(d, r, step, v);
    if (ctx.flash)
        WriteTrackStep(d, r, ctx.curStep + n, TrackStepValue{v.seq, kBlankScene, 1, v.command});
    d.LastSequencer = s.LiveSeq;
    CopySceneToFrame(d, s.LiveSeq, s.LiveStep);
}

void LoadFromKey(ShowData& d, LiveKeyState& s, const KeyContext& ctx) {
    const int k = std::clamp(d.KeyIndex, 0, kKeys - 1);
    s.LiveStep = d.KeySceneTable[k];
    s.LiveSeq = KeySequencer(d, k);
    s.LiveCommand = d.KeyModeTable[k];
    FillLanes(d, s, ctx, 255);
}

void NextStep(ShowData& d, LiveKeyState& s, const KeyContext& ctx, int level) {
    const int q = s.LiveSeq;
    int step = s.LiveStep + 1;
    // A step past 253 wants a wrap too: the row ends at 255.
    const bool wrap = step >= 254 || StepWord(d, q, step) == 2;
    if (StepWord(d, q, step) == 3) {
        step = 0;
    } else if (wrap) {
        int found = -1;
        for (int i = std::min(step - 1, kLastStepWordIndex); i >= 0; --i)
            if (IsLoopMark(StepWord(d, q, i))) {
                found = i;
                break;
            }
        if (found >= 0) step = found + 1;
        else step = std::min(step, 254);
    }
    s.LiveStep = std::clamp(step, 0, kLastStepWordIndex);
    FillLanes(d, s, ctx, level);
}

void PrevStep(ShowData& d, LiveKeyState& s, const KeyContext& ctx, int level) {
    const int q = s.LiveSeq;
    int step = s.LiveStep - 1;
    if (step < 0 || IsLoopMark(StepWord(d, q, step))) {
        for (int i = step + 1; i <= 254; ++i)
            if (IsLoopMark(StepWord(d, q, i))) {
                step = i - 1;
                break;
            }
    }
    s.LiveStep = std::clamp(step, 0, kLastStepWordIndex);
    FillLanes(d, s, ctx, level);
}

void StopLastSequens(ShowData& d, int curStep) {
    WriteTrackStep(d, RecordTrack(d), curStep,
                   TrackStepValue{uint8_t(d.LastSequencer), kEmptyScene, 15, kCmdSeqOff});
}

void ApplyKeyScene(ShowData& d, int letter) {
    const int k = (letter - kCodeA) + d.KeyBankOffset + CurrentKit(d) * kKitKeys;
    if (k < 0 || k >= kKeys) return;
    CopySceneToFrame(d, KeySequencer(d, k), d.KeySceneTable[k]);
}

KeyAction emulKeyDown(ShowData& d, LiveKeyState& s, const KeyContext& ctx, int key) {
    KeyAction a;
    if (key < 29) return a;
    if (key == 32) {
        a.restart = ctx.newStartEnabled;
        return a;
    }
    if (key >= 49 && key <= 55) {
        ChooseBank(d, key - 48);
        a.bankButton = key - 48;
        return a;
    }
    if (ctx.mode == RecMode::Keyboard) {
        if (key == 191 || key == 222 || key == 221) {
            StopLastSequens(d, ctx.curStep);
        } else if (key >= kCodeA && key <= kCodeZ) {
            d.KeyIndex = AdrBufKeyBoard(d, key);
            LoadFromKey(d, s, ctx);
            a.fired = true;
        } else if (key == 187) {
            NextStep(d, s, ctx, 255);
            a.fired = true;
        } else if (key == 189) {
            PrevStep(d, s, ctx, 255);
            a.fired = true;
        }
    }
    if (ctx.mode == RecMode::Mouse) {
        const int k = AdrBufKeyBoard(d, key);
        a.mouseChoice = true;
        a.mouseScene = d.KeySceneTable[k];
        a.mouseSeq = d.KeySeqTable[k];
    }
    return a;
}

std::string LiveKeyText(const LiveKeyState& s) {
    return "Sq=" + std::to_string(s.LiveSeq + 1) + "  Sc=" + std::to_string(s.LiveStep + 1);
}

TileText PaintButtonText(ShowData& d, int letter) {
    TileText t;
    const int k = AdrBufKeyBoard(d, letter);
    const int q = KeySequencer(d, k), s = d.KeySceneTable[k], m = d.KeyModeTable[k];
    t.letter = std::string(" ") + char(std::clamp(letter, kCodeA, kCodeZ)) + " ";
    t.mode = ModeText(uint8_t(m));
    const std::string seq = "Seque: " + std::to_string(q + 1);
    switch (m) {
        case 0:
        case 5:
            t.line2 = seq;
            break;
        case 1:
        case 2:
        case 3:
            t.line2 = seq;
            t.line3 = "Scena: " + std::to_string(s + 1);
            break;
        case 4: {
            t.line2 = "Block: " + std::to_string(q + 1);
            static const char* const kinds[] = {"OFF ", "Rate ", "Decay ", "Vibro "};
            if (s <= 3) t.line3 = kinds[s];
            break;
        }
        default:
            break;
    }
    return t;
}

std::string KeyBankText(ShowData& d) {
    std::string text(" ");
    text += std::to_string(CurrentKit(d) + 1);
    text += " - ";
    text += std::to_string(CurrentBankOffset(d) / kBankKeys + 1);
    text += ' ';
    return text;
}

std::string BankQuestionText(BankOp op) {
    const std::string lf = "\n\r";
    switch (op) {
        case BankOp::SetMode: return "You wish change" + lf + "modes into all buttons.   " + lf + "You sure?";
        case BankOp::SetSeq: return "You wish change" + lf + "Sequens into all buttons.   " + lf + "You sure?";
        case BankOp::ClearBank:
            return "You wish change" + lf + "Datas into current kit buttons.   " + lf + "Are you sure?";
        case BankOp::ClearKit:
            return "You wish change" + lf + "Datas into all kits buttons.   " + lf + "Are you sure?";
    }
    return {};
}

void ApplyBankOp(ShowData& d, BankOp op, int mode, int seq) {
    const int kitStart = CurrentKit(d) * kKitKeys;
    const int start = op == BankOp::ClearKit ? kitStart : kitStart + CurrentBankOffset(d);
    const int count = op == BankOp::ClearKit ? kKitKeys : kBankKeys;
    for (int k = start; k < start + count; ++k) {
        switch (op) {
            case BankOp::SetMode:
                d.KeyModeTable[k] = uint8_t(mode);
                break;
            case BankOp::SetSeq:
                d.KeySeqTable[k] = uint8_t(seq);
                break;
            case BankOp::ClearBank:
            case BankOp::ClearKit:
                d.KeyModeTable[k] = uint8_t(mode);
                d.KeySeqTable[k] = uint8_t(seq);
                d.KeySceneTable[k] = kEmptyScene;
                d.KeyAssignedTable[k] = 255;
                break;
        }
    }
}

bool RunBankOp(ShowData& d, BankOp op, int mode, int seq) {
    if (Messages().question(BankQuestionText(op)) != Answer::Yes) return false;
    ApplyBankOp(d, op, mode, seq);
    return true;
}

void CopyBank(ShowData& d, LiveKeyState& s) {
    const int start = CurrentKit(d) * kKitKeys + CurrentBankOffset(d);
    for (int i = 0; i < kBankKeys; ++i) {
        s.KeyClipboard.Seq[i] = d.KeySeqTable[start + i];
        s.KeyClipboard.Scene[i] = d.KeySceneTable[start + i];
        s.KeyClipboard.Assigned[i] = d.KeyAssignedTable[start + i];
        s.KeyClipboard.Mode[i] = d.KeyModeTable[start + i];
    }
}

void PasteBank(ShowData& d, const LiveKeyState& s) {
    const int start = CurrentKit(d) * kKitKeys + CurrentBankOffset(d);
    for (int i = 0; i < kBankKeys; ++i) {
        d.KeySeqTable[start + i] = s.KeyClipboard.Seq[i];
        d.KeySceneTable[start + i] = s.KeyClipboard.Scene[i];
        d.KeyAssignedTable[start + i] = s.KeyClipboard.Assigned[i];
        d.KeyModeTable[start + i] = s.KeyClipboard.Mode[i];
    }
}

void ChooseBank(ShowData& d, int bank) {
    d.KeyBankOffset = (std::clamp(bank, 1, kBanks) - 1) * kBankKeys;
}

void ChooseKit(ShowData& d, int kit) {
    d.TrackEditState[9] = std::clamp(kit, 0, kKits - 1);
    d.KeyBankOffset = 0;   // the first bank button is pressed: the bank in use follows it
}

}  // namespace spirelo
