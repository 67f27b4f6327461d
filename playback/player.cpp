#include "playback/player.h"

#include <filesystem>

#include "core/text_routines.h"
#include "platform/audio.h"

namespace spirelo {

namespace {

uint64_t ChannelLength(uint32_t h) {
    const uint64_t len = BASS_ChannelGetLength(h, BASS_POS_BYTE);
    return len == kAudioBadPosition ? 0 : len;
}

void SetPosition(uint32_t h, uint64_t byte) { BASS_ChannelSetPosition(h, byte, BASS_POS_BYTE); }

}  // namespace

AudioStart StartAudioEngine(ShowClock& c) {
    c.AudioReady = 1;
    if ((BASS_GetVersion() >> 16) != 0x0204) {
        c.AudioReady = 0;
        return AudioStart::OtherVersion;
    }
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
        c.AudioReady = 0;
        return AudioStart::InitFailed;
    }
    return AudioStart::Ready;
}

void StopAudioEngine(ShowClock& c, PeakScanner& scanner) {
    c.BytesPerPixel = kNoAudioBytesPerPixel;
    scanner.Stop();
    c.ScanAbort.store(1);
    BASS_ChannelSetAttribute(c.SoundChannel, BASS_ATTRIB_VOL, 0.0f);
    BASS_Free();
    c.SoundChannel = 0;
    c.DecodeChannel = 0;
}

void ReleaseShowAudio(ShowClock& c, PeakScanner& scanner) {
    scanner.Stop();   // the scan frees its own decode copy
    c.DecodeChannel = 0;
    SetPosition(c.SoundChannel, 1);
    BASS_ChannelStop(c.SoundChannel);
    BASS_MusicFree(c.SoundChannel);
    BASS_StreamFree(c.SoundChannel);
    c.SoundChannel = 0;
}

void EnterNoAudio(ShowClock& c, PeakScanner& scanner) {
    c.BytesPerPixel = kNoAudioBytesPerPixel;
    ReleaseShowAudio(c, scanner);
}

bool OpenShowChannel(ShowClock& c, const std::string& file) {
    c.SoundChannel = BASS_StreamCreateFile(false, file.c_str(), 0, 0, 0);
    if (c.SoundChannel == 0)
        c.SoundChannel = BASS_MusicLoad(false, file.c_str(), 0, 0, kMusicShowFlags, 0);
    return c.SoundChannel != 0;
}

void MeasureShowAudio(ShowClock& c) {
    const uint64_t length = ChannelLength(c.SoundChannel);
    uint64_t minimum = BASS_ChannelSeconds2Bytes(c.SoundChannel, 0.02);
    if (minimum == kAudioBadPosition) minimum = 0;
    c.BytesPerPixel = BytesPerPixelOf(length, minimum);
}

void StartShowScan(ShowClock& c, PeakScanner& scanner, const std::string& file, ScanDoneCallback done) {
    uint32_t h = BASS_StreamCreateFile(false, file.c_str(), 0, 0, BASS_STREAM_DECODE);
    if (h == 0) h = BASS_MusicLoad(false, file.c_str(), 0, 0, BASS_MUSIC_DECODE, 0);
    c.DecodeChannel = h;
    scanner.Start(c, std::move(done), DecodeChannelSource(h), c.BytesPerPixel);
}

uint32_t ShowSampleRate(const ShowClock& c) {
    float rate = 0.0f;
    if (!BASS_ChannelGetAttribute(c.SoundChannel, BASS_ATTRIB_FREQ, &rate) || !(rate >= 1.0f))
        return 44100;
    return static_cast<uint32_t>(rate + 0.5f);
}

void SetShowFrequency(const ShowClock& c, int hz) {
    BASS_ChannelSetAttribute(c.SoundChannel, BASS_ATTRIB_FREQ, static_cast<float>(hz));
}

void ComputeStepClock(ShowClock& c) {
    const uint64_t length = ChannelLength(c.SoundChannel);
    double seconds = BASS_ChannelBytes2Seconds(c.SoundChannel, length);
    if (!(seconds >= 0.0)) seconds = 0.0;
    c.BytesPerStep = BytesPerStepOf(length, seconds);
    c.SongSteps = SongStepsOf(length, c.BytesPerStep);
}

void SetShowVolume(const ShowClock& c, int percent) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    BASS_ChannelSetAttribute(c.SoundChannel, BASS_ATTRIB_VOL, static_cast<float>(percent) / 100.0f);
}

bool PlayerPlay(const ShowClock& c) {
    if (!PlayerHasAudio(c)) return false;
    BASS_ChannelPlay(c.SoundChannel, false);
    return true;
}

bool PlayerStop(const ShowClock& c) {
    if (!PlayerHasAudio(c)) return false;
    BASS_ChannelStop(c.SoundChannel);
    return true;
}

bool PlayerBeginSet(const ShowClock& c) {
    if (!PlayerHasAudio(c)) return false;
    SetPosition(c.SoundChannel, 1);
    return true;
}

void PlayerToBegin(const ShowClock& c) { SetPosition(c.SoundChannel, 1); }

bool PlayerSeekNewStart(const ShowClock& c) {
    if (c.NewStartPixel >= kRestartMarkLimit) return false;
    SetPosition(c.SoundChannel, PixelToBytes(c.NewStartPixel, c.BytesPerPixel));
    return true;
}

static bool AudioFileExists(const std::string& name) {
    std::error_code ec;
    return !name.empty() && std::filesystem::is_regular_file(std::filesystem::path(name), ec);
}

OpenResult OpenShowAudio(ShowClock& c, ShowData& d, PeakScanner& scanner, PlayerHost& host) {
    // 1.
    if (c.AudioReady == 0) return OpenResult::NotReady;
    // 2. A missing file leaves no audio open: the old music must not go on out of reach of
    // the player's commands.
    const std::string file = Mp3NameOf(d.sNameFileProject);
    if (!AudioFileExists(file)) {
        EnterNoAudio(c, scanner);
        host.TransportNoAudio();
        host.WriteLog("FormSound", "MadePlayFile", "Audio_file_not_find_sNameFileProject");
        return OpenResult::Missing;
    }
    // 3.
    host.SetCaption(file);
    // 4. From here until the new file is measured nothing may act on a channel.
    EnterNoAudio(c, scanner);
    // 5.
    ClearDmxBuffers(d);
    // 6.
    host.TransportOpening();
    c.NewStartPixel = 1;
    c.NewStartStep = 1;
    // 7. Stream, else tracker module (so a module under a ".mp3" name plays).
    if (!OpenShowChannel(c, file)) {
        c.BytesPerPixel = kNoAudioBytesPerPixel;
        host.TransportNoAudio();
        host.ErrorPop("Can not play file line=1020");
        return OpenResult::Unplayable;
    }
    // 8.
    MeasureShowAudio(c);
    // 9.
    SetShowVolume(c, d.TrackEditState[3]);
    PlayerToBegin(c);
    // 10.
    StartShowScan(c, scanner, file, host.ScanDone());
    // 11.
    host.TransportReady();
    // 12. The file's own rate, so it plays at its true speed.
    const int rate = static_cast<int>(ShowSampleRate(c));
    host.SetFrequencyBar(rate);
    SetShowFrequency(c, rate);
    // 13.
    if (d.ProgramFlags[9]) BASS_SetVolume(1.0f);
    // 14.
    if (d.TrackEditState[3] == 0) d.TrackEditState[3] = 50;
    host.SetVolumeBar(d.TrackEditState[3]);
    SetShowVolume(c, d.TrackEditState[3]);
    // 15.
    ComputeStepClock(c);
    // 16. The file goes on playing; the show tick clamps the steps beyond the last one.
    if (SongTooLong(c)) host.Message("> 16000");
    // 17.
    host.SetSongPanel(c.SongSteps);
    // 18.
    host.SearchAlltrack();
    if (host.ClearDmxChoice() == 1) host.ClearAreaForNewSong();
    return OpenResult::Opened;
}

bool MessageGuard::Show(const std::function<void()>& show) {
    if (open_) return false;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{open_};
    open_ = true;
    show();
    return true;
}

std::string ErrorPopText(const std::string& text, int errorCode) {
    if (!text.empty()) return "TFormSound.ErrorPop (else)\r\n" + text;
    return "TFormSound.ErrorPop (then)\r\nError code: " + std::to_string(errorCode);
}

std::string NewAudioQuestionText() {
    return "After open new audio file\n\rsynhro with current tracks\n\rnot job.\n\rClear all tracks? ";
}

std::string NewAudioRefusal(const std::string& chosen) {
    const std::string show = StripExt(chosen) + ".trk";
    const std::string music = Mp3NameOf(show);
    if (music == chosen) return {};
    return "Файл " + chosen + " не может быть музыкой шоу: шоу " + show + " играет только файл " + music +
           ". Трек-файл не записан.";
}

}  // namespace spirelo
