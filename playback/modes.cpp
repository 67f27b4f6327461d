#include "playback/modes.h"

#include <cstdio>

namespace spirelo {

ModeState& ModeStateInstance() {
    static auto* instance = new ModeState();
    return *instance;
}

std::string PrintModeAquel(int mode) {
    static const char* const names[] = {"OFF", "STOP", "STATIC", "DINAM", "DANCE", "MUSIC"};
    return mode >= 0 && mode <= 5 ? names[mode] : "UNKNOWN";
}

void RateAquelStop(ShowData& d, ModeState& m) {
    if (m.RateStopGuard) return;
    m.RateStopGuard = 1;
    for (int s = 0; s < kSequencers; ++s) d.SequencerRunState[s] = kRunOff;
    d.SequencerCurrentStep[kDynamicSeqA] = 1;
    d.SequencerCurrentStep[kDynamicSeqB] = 1;
}

void RateAquelPlay(ShowData& d, ModeState& m) {
    m.RateStopGuard = 0;
    for (int s = 0; s < kSequencers; ++s) d.SequencerRunState[s] = kRunOff;
    d.SequencerRunState[kDynamicSeqA] = kRunPlay;
    d.SequencerRunState[kDynamicSeqB] = kRunPlay;
}

namespace {
void StoppedMode(ShowData& d, ModeState& m, ModeHost& h, int mode, int staticFlag) {
    h.SoundStop();
    RateAquelStop(d, m);
    d.StaticModeFlag = staticFlag;
    h.PressModeButton(mode);
    h.MediaPlayerStopIfPlaying();
}
}  // namespace

void SetModeAquel_OFF(ShowData& d, ModeState& m, ModeHost& h) { StoppedMode(d, m, h, kModeOff, 0); }
void SetModeAquel_STOP(ShowData& d, ModeState& m, ModeHost& h) { StoppedMode(d, m, h, kModeStop, 0); }
void SetModeAquel_STATIC(ShowData& d, ModeState& m, ModeHost& h) { StoppedMode(d, m, h, kModeStatic, 1); }

void SetModeAquel_DINAM(ShowData& d, ModeState& m, ModeHost& h) {
    h.SoundStop();
    RateAquelPlay(d, m);
    d.StaticModeFlag = 0;
    h.PressModeButton(kModeDinam);
    h.SetShowVolume(0);
    h.MediaPlayerStopIfPlaying();
}

void SetModeAquel_DANCE(ShowData& d, ModeState& m, ModeHost& h) {
    h.SoundPlay();
    RateAquelStop(d, m);
    d.StaticModeFlag = 0;
    h.PressModeButton(kModeDance);
    h.SetShowVolume(d.TrackEditState[3]);
    h.SetVolumeBar(d.TrackEditState[3]);
    h.SetWaveVolume(64000);
    h.MediaPlayerStopIfPlaying();
}

void SetModeAquel_MUSIC(ShowData& d, ModeState& m, ModeHost& h) {
    h.SoundStop();
    RateAquelPlay(d, m);
    d.StaticModeFlag = 0;
    h.PressModeButton(kModeMusic);
    h.SetShowVolume(0);
    const int index = h.MusicSelectedIndex();
    if (index >= 1) {   // not the first entry, nor no selection
        d.ProgramOptions[30] = index;
        h.StartMusicEntry();
    }
}

std::string SetJobingMode(ShowData& d, ModeState& m, ModeHost& h) {
    const int mode = d.AquelMode;
    switch (mode) {
    case kModeOff: SetModeAquel_OFF(d, m, h); break;
    case kModeStop: SetModeAquel_STOP(d, m, h); break;
    case kModeStatic: SetModeAquel_STATIC(d, m, h); break;
    case kModeDinam: SetModeAquel_DINAM(d, m, h); break;
    case kModeDance: SetModeAquel_DANCE(d, m, h); break;
    case kModeMusic: SetModeAquel_MUSIC(d, m, h); break;
    default: break;
    }
    return PrintModeAquel(mode) + " MODE";
}

ScheduleResult ApplySchedule(ShowData& d, ModeState& m, const ScheduleInputs& in) {
    ScheduleResult r;
    d.ScheduleHour[0] = uint8_t(in.hour);
    d.ScheduleMinute[0] = uint8_t(in.minute);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", in.hour, in.minute, in.second);
    r.timeText = buf;
    if (!in.ScheduleOn) return r;
    m.FlashRed = !m.FlashRed;
    r.flashShown = true;
    r.flashRed = m.FlashRed;
    for (int k = 1; k <= 8; ++k) {
        if (d.ScheduleHour[k] == d.ScheduleHour[0] && d.ScheduleMinute[k] == d.ScheduleMinute[0]) {
            r.jobRed[k] = true;
            const int mode = d.ScheduleMode[k];
            if (mode <= kModeMusic) {
                r.newMode = mode;
                d.AquelMode = uint8_t(mode);
            }
        }
    }
    return r;
}

MusicFollow FollowMusic(int64_t positionMs, int64_t lengthMs) {
    MusicFollow f;
    int64_t remaining = lengthMs - positionMs;
    f.next = remaining < 2000;
    if (remaining < 0) remaining = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2d:%.2d", int(remaining / 60000), int((remaining / 1000) % 60));
    f.remainingText = buf;
    return f;
}

int64_t SpotIndicatorColor(const ShowData& d, int hour, int minute, bool alwaysOn) {
    if (hour < d.ProgramOptions[26] && minute < d.ProgramOptions[27]) return alwaysOn ? 0x00FFFF : 0x808080;
    return -1;
}

bool RecordingIndicator(bool visible, bool playTrackDown, bool anyRecordDown) {
    if (playTrackDown) visible = false;
    if (anyRecordDown) visible = !visible;
    return visible;
}

bool FirstAudioOpenDue(ModeState& m, bool audioFileExists, bool alreadyOpened) {
    if (!m.AudioFirstOpen) return false;
    m.AudioFirstOpen = 0;
    return audioFileExists && !alreadyOpened;
}

}  // namespace spirelo
