// The six fountain modes and the 500 ms mode timer's checks, as logic. The window supplies the
// audio, the main window's mode buttons and the media player through ModeHost.
#pragma once

#include "core/show_data.h"

#include <cstdint>
#include <string>

namespace spirelo {

enum AquelModeCode : uint8_t { kModeOff = 0, kModeStop = 1, kModeStatic = 2, kModeDinam = 3,
                               kModeDance = 4, kModeMusic = 5 };
inline constexpr int kDynamicSeqA = 28;   // the two sequencers of the DINAM and MUSIC modes
inline constexpr int kDynamicSeqB = 29;

struct ModeState {
    uint8_t RateStopGuard = 0;
    uint8_t AudioFirstOpen = 1;
    bool FlashRed = false;    // shpFlash phase while the schedule is on
};

ModeState& ModeStateInstance();

// "OFF" ... "MUSIC", anything else "UNKNOWN".
std::string PrintModeAquel(int mode);

// Stops all sequencers once after the last DINAM or MUSIC (or since start).
void RateAquelStop(ShowData& d, ModeState& m);
// All sequencers off, the two dynamic ones playing; acts on every call.
void RateAquelPlay(ShowData& d, ModeState& m);

class ModeHost {
public:
    virtual ~ModeHost() = default;
    virtual void SoundPlay() = 0;
    virtual void SoundStop() = 0;
    virtual void PressModeButton(int mode) = 0;        // the main window's mode button, down
    virtual void MediaPlayerStopIfPlaying() = 0;
    virtual void SetShowVolume(int percent) = 0;       // audio volume := percent / 100
    virtual void SetVolumeBar(int percent) = 0;        // ScrollBarVolume
    virtual void SetWaveVolume(int level) = 0;         // SetVolume: both channels, 16 bits
    virtual int MusicSelectedIndex() = 0;              // ListBoxMusic.ItemIndex
    // PlayListMusicCurrent, MediaPlayer play, music bars enabled, music volume applied.
    virtual void StartMusicEntry() = 0;
};

void SetModeAquel_OFF(ShowData& d, ModeState& m, ModeHost& h);
void SetModeAquel_STOP(ShowData& d, ModeState& m, ModeHost& h);
void SetModeAquel_STATIC(ShowData& d, ModeState& m, ModeHost& h);
void SetModeAquel_DINAM(ShowData& d, ModeState& m, ModeHost& h);
void SetModeAquel_DANCE(ShowData& d, ModeState& m, ModeHost& h);
void SetModeAquel_MUSIC(ShowData& d, ModeState& m, ModeHost& h);
// Applies AquelMode; returns the label text (mode text + " MODE").
std::string SetJobingMode(ShowData& d, ModeState& m, ModeHost& h);

// The schedule check of the mode timer: slots 1..8 of the schedule arrays, each slot's mode
// from ScheduleMode[k]; a stored mode above 5 lights its slot but sets no mode.
struct ScheduleInputs {
    int hour = 0, minute = 0, second = 0;
    bool ScheduleOn = false;
};
struct ScheduleResult {
    std::string timeText;       // lblTIME
    bool jobRed[9] = {};        // shpJob1..8
    bool flashShown = false;    // schedule on: shpFlash painted
    bool flashRed = false;      // its colour this tick
    int newMode = -1;           // the mode a slot set, -1 none
};
ScheduleResult ApplySchedule(ShowData& d, ModeState& m, const ScheduleInputs& in);

// The background music read-out of the mode timer: remaining ms and its "%.2d:%.2d" text.
struct MusicFollow {
    bool next = false;          // fewer than 2000 ms remain: setNextMusic
    std::string remainingText;
};
MusicFollow FollowMusic(int64_t positionMs, int64_t lengthMs);

// The light indicator shpSpotOn before the on time (hour and minute compared apart): its new
// colour, or -1 when it keeps its colour.
int64_t SpotIndicatorColor(const ShowData& d, int hour, int minute, bool alwaysOn);

// The recording indicator ShapeRec: returns its new visibility.
bool RecordingIndicator(bool visible, bool playTrackDown, bool anyRecordDown);

// The first mode-timer tick: the start-up show's audio is opened once. alreadyOpened says the
// first show tick has opened a show of the list meanwhile.
bool FirstAudioOpenDue(ModeState& m, bool audioFileExists, bool alreadyOpened);

}  // namespace spirelo
