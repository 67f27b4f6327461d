// The controller's shared show tables: every window reads and writes them directly, the
// 10 ms show tick and the 15 ms output cycle index them without copying. They are allocated
// once at start (about 11.6 MB, never on the stack) and reached through ShowDataInstance();
// logic functions take a ShowData& so tests can pass their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace spirelo {

inline constexpr int kSequencers = 32;
inline constexpr int kSequencerSteps = 256;
inline constexpr int kChannels = 512;          // DMX channels 1..512
inline constexpr int kChannelSlots = 513;      // channel arrays: entry c is channel c, entry 0 "no channel"
inline constexpr int kMaskRows = 64;
inline constexpr int kMaskColumns = 514;
inline constexpr int kTracks = 32;
inline constexpr int kTrackSteps = 16301;      // show steps 0..16300
inline constexpr int kMaxShowStep = 16300;
inline constexpr int kEffects = 64;
inline constexpr int kKeys = 2048;             // 8 kits x 256 keys
inline constexpr int kScheduleSlots = 32;
inline constexpr int kMacros = 32;
inline constexpr int kNameLen = 16;            // name fields: 16 CP1251 bytes, no terminator

// Track commands of a step.
enum TrackCommandCode : uint8_t {
    kCmdSeqOff = 0,
    kCmdSetScene = 1,
    kCmdSeqPlay = 2,
    kCmdSeqStop = 3,
    kCmdSetRate = 4,
    kCmdNextScene = 5,
    kCmdNothing = 6,
};
inline constexpr uint8_t kEmptyTrackSeq = 31;
inline constexpr uint8_t kEmptyScene = 254;
inline constexpr uint8_t kBlankScene = 255;

// Sequencer run states.
enum RunStateCode : uint8_t { kRunOff = 0, kRunStop = 1, kRunPlay = 2 };

using Name16 = uint8_t[kNameLen];

struct ShowData {
    // --- Sequencer store -------------------------------------------------------------------
    uint8_t SequencerStepData[kSequencers][kSequencerSteps][kChannels];
    uint8_t SequencerChannelMask[kMaskRows][kMaskColumns];   // column i-1 stands for channel i
    uint16_t SequencerStepWords[kSequencers][kSequencerSteps];
    uint8_t SequencerRunState[kSequencers];
    uint16_t SequencerCurrentStep[kSequencers];
    Name16 SequencerNames[kMaskRows];
    int32_t SequencerViewPositions[256];
    int32_t EditorSettings[256];

    // --- Tracks ----------------------------------------------------------------------------
    uint8_t TrackSeq[kTracks][kTrackSteps];
    uint8_t TrackScene[kTracks][kTrackSteps];
    uint8_t TrackLevel[kTracks][kTrackSteps];
    uint8_t TrackCommand[kTracks][kTrackSteps];
    uint8_t TrackPlane5[kTracks][kTrackSteps];
    Name16 TrackNames[kTracks];
    uint8_t TrackShift[kTracks];
    uint8_t TrackRecKind[kTracks];
    uint8_t TrackRecSeq[kTracks];
    uint8_t TrackRecScene[kTracks];
    int32_t TrackEditState[1024];
    int32_t TrackAux1[1001];
    int32_t TrackAux2[1001];
    Name16 SavedTrackNames[kTracks];
    uint8_t SavedTrackShift[kTracks];

    // --- Effects ---------------------------------------------------------------------------
    Name16 EffectNames[kEffects];
    uint8_t EffectKind[kEffects];
    uint8_t EffectSeq[kEffects];
    int32_t EffectStart[kEffects];
    int32_t EffectFinish[kEffects];
    int32_t EffectTime[kEffects];
    int32_t EffectLevel[kEffects];
    int32_t EffectCountdown[256];

    // --- Key kits --------------------------------------------------------------------------
    uint8_t KeySeqTable[kKeys];
    uint8_t KeySceneTable[kKeys];
    uint8_t KeyAssignedTable[kKeys];
    uint8_t KeyModeTable[kKeys];
    uint8_t KeySpareTable[kKeys];

    // --- Day schedule ----------------------------------------------------------------------
    uint8_t ScheduleHour[kScheduleSlots];
    uint8_t ScheduleMinute[kScheduleSlots];
    uint8_t ScheduleMode[kScheduleSlots];

    // --- Per-channel output tables (entry c is channel c) ----------------------------------
    uint8_t ChannelMin[kChannelSlots];
    uint8_t ChannelMax[kChannelSlots];
    uint8_t HandLevel[kChannelSlots];
    uint8_t HandEnable[kChannelSlots];
    uint8_t InvertFlag[kChannelSlots];
    uint8_t ChannelSpare1[kChannels];
    uint8_t ChannelSpare2[kChannels];
    uint16_t CoderTable[kChannelSlots];
    uint16_t MacroTable[kMacros][kChannels];

    // --- Option records --------------------------------------------------------------------
    int32_t ProgramOptions[256];
    uint8_t ProgramFlags[256];

    // --- Reserved areas of the sequencer file, kept as loaded and written back unchanged ---
    uint8_t Reserved8k[3][8192];      // blocks 23-25
    uint8_t Reserved16k[16384];       // block 26
    uint8_t Reserved512[5][512];      // blocks 27-31
    uint8_t Reserved32[4][32];        // blocks 32-34, then block 38
    uint8_t Reserved64[5][64];        // blocks 39-43
    uint8_t ReservedOld32[2][32];     // the oldest layout's two further blocks

    // --- DMX stage buffers (channel i at index i; DmxFrame[0] is the start code) -----------
    uint8_t DmxFrame[kChannelSlots];
    uint8_t DmxTarget[kChannelSlots];
    uint8_t DmxSlewed[kChannelSlots];
    uint8_t DmxEffected[kChannelSlots];
    uint8_t DmxMastered[kChannelSlots];
    uint8_t DmxScaled[kChannelSlots];
    uint8_t DmxOut[kChannelSlots];
    uint8_t DmxSendBuffer[kChannelSlots];

    // --- Scalars ---------------------------------------------------------------------------
    uint8_t AquelMode = 4;            // 0 off, 1 stop, 2 static, 3 dynamic, 4 dance, 5 music
    int32_t StaticModeFlag = 0;
    int32_t ScanProgress = 100;
    int32_t MusicStartRequest = 1;
    int32_t MappingOpenFlag = 0;
    int32_t KeyBankOffset = 0;
    int32_t KeyIndex = 0;
    int32_t LastSequencer = 0;
    // The settings file had counted no start yet: the windows take their first places.
    bool FirstStart = false;
    // The sequencer file read at start, which holds the sound window's place: without it (none
    // saved yet) that window takes its first place again, not the reset one over Glimmora's.
    bool SoundPlaceRead = false;

    // File names ("/" separated, UTF-8 on the Linux side).
    std::string sNameFileProject;
    std::string sNameFileSeq;
    std::string sNameFileMacro;
    std::string ShowListFileName;
    std::string MusicListFileName;
    std::string ProgramFolder;

    // What the track and the sequencer file held of the operator's work when they were last
    // read or written (their digests): a show that differs has changes not saved.
    uint64_t TrackSavedDigest = 0;
    uint64_t SeqSavedDigest = 0;
};

// Allocates a zeroed ShowData on the heap (tables zeroed, scalars at their start values).
std::unique_ptr<ShowData> MakeShowData();

// The controller's one instance, created on first use and alive for the whole run.
ShowData& ShowDataInstance();

// Clamping accessors: every index that comes from a file, a table or the mouse goes through these.
constexpr int ClampChannel(int c) { return c < 1 ? 1 : (c > kChannels ? kChannels : c); }
constexpr int ClampShowStep(int s) { return s < 0 ? 0 : (s > kMaxShowStep ? kMaxShowStep : s); }
constexpr int ClampSequencer(int s) { return s < 0 ? 0 : (s >= kSequencers ? kSequencers - 1 : s); }
constexpr int ClampSeqStep(int s) { return s < 0 ? 0 : (s >= kSequencerSteps ? kSequencerSteps - 1 : s); }
constexpr int ClampTrack(int t) { return t < 0 ? 0 : (t >= kTracks ? kTracks - 1 : t); }
constexpr int ClampMaskRow(int r) { return r < 0 ? 0 : (r >= kMaskRows ? kMaskRows - 1 : r); }

// Reset routines (meaning and order as the owning tables define them).
void ClearDmxBuffers(ShowData& d);
void ResetKeyTables(ShowData& d);
void ResetTrackData(ShowData& d);     // leaves the day schedule, effects, track names and shifts alone
void ResetEffect(ShowData& d, int index);
void ResetSequenceData(ShowData& d);
// ResetSequenceData for a sequencer file that is about to overwrite the whole step store:
// the same reset without zeroing SequencerStepData first (4 MB written twice otherwise).
void ResetSequenceDataBeforeLoad(ShowData& d);
void ResetShowData(ShowData& d);      // everything, effects included

}  // namespace spirelo
