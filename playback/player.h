// The music player's audio side: opening a show's audio, the clock values it sets, play, stop
// and seeks. The sound window's methods run these steps in their order between its own control
// updates; everything here is plain logic on the audio engine and the show clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/show_data.h"
#include "playback/peak_scan.h"
#include "playback/show_clock.h"

namespace spirelo {

inline constexpr int kLongSongSteps = 16100;   // beyond this the "> 16000" message is shown

// Engine start at window creation: the version check and the default output.
enum class AudioStart { Ready, OtherVersion, InitFailed };
AudioStart StartAudioEngine(ShowClock& c);
// Window destruction: no audio any more, the scan joined, the music silenced, the engine freed.
void StopAudioEngine(ShowClock& c, PeakScanner& scanner);

// Stops and frees the show's channel and cancels a running scan (the old audio is gone).
void ReleaseShowAudio(ShowClock& c, PeakScanner& scanner);
// The clear no-audio state of a failed or missing open: the show tick and the player act no
// more until a good file is opened.
void EnterNoAudio(ShowClock& c, PeakScanner& scanner);

// Opens file as a stream, else as a tracker module (so a module under a ".mp3" name plays).
bool OpenShowChannel(ShowClock& c, const std::string& file);
// BytesPerPixel from the channel's length and the bytes of 0.02 s.
void MeasureShowAudio(ShowClock& c);
// A decode-only copy of file scanned into the peak arrays; done runs on the scan thread.
void StartShowScan(ShowClock& c, PeakScanner& scanner, const std::string& file, ScanDoneCallback done);
// The file's own sample rate (what the frequency attribute starts at); 44100 when unknown.
uint32_t ShowSampleRate(const ShowClock& c);
void SetShowFrequency(const ShowClock& c, int hz);
// BytesPerStep and SongSteps from the length and the rounded seconds.
void ComputeStepClock(ShowClock& c);
inline bool SongTooLong(const ShowClock& c) { return c.SongSteps > kLongSongSteps; }

// Channel volume percent / 100 (percent limited to 0..100).
void SetShowVolume(const ShowClock& c, int percent);

// The player's commands; each acts only when PlayerHasAudio. They return whether they acted.
bool PlayerPlay(const ShowClock& c);        // resume from the position
bool PlayerStop(const ShowClock& c);
bool PlayerBeginSet(const ShowClock& c);    // position := byte 1
void PlayerToBegin(const ShowClock& c);     // position := byte 1, no test
// Seeks to the restart mark; false (and nothing done) without a mark.
bool PlayerSeekNewStart(const ShowClock& c);

// A guard against stacking message boxes: a box raised while another is open (the timers go
// on inside a modal box) is dropped.
class MessageGuard {
public:
    // Runs show() unless a box of this guard is open; false when it was dropped.
    bool Show(const std::function<void()>& show);
    bool Open() const { return open_; }

private:
    bool open_ = false;
};

// What opening a show's audio asks of the windows, each at its place in the order.
class PlayerHost {
public:
    virtual ~PlayerHost() = default;
    virtual void WriteLog(const std::string& who, const std::string& where, const std::string& info) = 0;
    virtual void SetCaption(const std::string& audioFile) = 0;   // "Sound File: " + name
    // The main window's transport disabled while the file opens, sbNewStart enabled, the space
    // tile shown.
    virtual void TransportOpening() = 0;
    // No audio is open: the seek buttons stay off, the mode buttons are usable again.
    virtual void TransportNoAudio() = 0;
    virtual void TransportReady() = 0;           // waveform and transport enabled
    virtual void ErrorPop(const std::string& text) = 0;
    virtual void Message(const std::string& text) = 0;
    virtual void SetFrequencyBar(int hz) = 0;    // ScrollBarFriquence (its change handler runs)
    virtual void SetVolumeBar(int percent) = 0;  // ScrollBarVolume
    virtual void SetSongPanel(int songSteps) = 0;   // main status panel 3
    virtual void SearchAlltrack() = 0;
    virtual int ClearDmxChoice() = 0;            // rgClearDmx
    virtual void ClearAreaForNewSong() = 0;
    virtual ScanDoneCallback ScanDone() = 0;     // runs on the scan thread when the scan ends
};

// Opens the current show's audio (the file named after the track file, ".mp3"): the old
// channel and scan go, the new file is opened as a stream or a module, measured, scanned and
// the clock values set. A missing or unplayable file leaves the no-audio state, set before
// any message; AudioReady stays as it was, so a later good file opens again.
enum class OpenResult { NotReady, Missing, Unplayable, Opened };
OpenResult OpenShowAudio(ShowClock& c, ShowData& d, PeakScanner& scanner, PlayerHost& host);

// The player's texts.
std::string ErrorPopText(const std::string& text, int errorCode);
std::string NewAudioQuestionText();

// New audio for the show: the show becomes StripExt(chosen) + ".trk", which plays
// Mp3NameOf(that). Empty when that is the chosen file; otherwise the message refusing it (a
// WAV or an upper-case ".MP3" would give a show that never finds its music).
std::string NewAudioRefusal(const std::string& chosen);

}  // namespace spirelo
