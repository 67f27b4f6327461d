#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_analysis.h"
#include "platform/audio_decoder.h"
#include "platform/media_player.h"
#include "platform/audio_fixtures.h"
#include "tests/scratch_folder.h"
#include "tests/hang_guard.h"

#include <sys/stat.h>

using namespace spirelo;
using audio_fixtures::Tone;

namespace {

// Every test here runs on the manual output: the test hands frames to the "device" itself.
class AudioEngine : public ::testing::Test {
protected:
    void SetUp() override {
        AudioSetOutputKind(AudioOutputKind::Manual);
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
        ASSERT_EQ(AudioOutputName(), "manual");
    }
    void TearDown() override {
        BASS_Free();
        BASS_SetVolume(1.0f);
        SetWaveOutGain(0xFFFF, 0xFFFF);
        AudioSetOutputKind(AudioOutputKind::Default);
    }
    static AudioHandle Open(const std::string& path, std::uint32_t flags = 0) {
        AudioHandle h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, flags);
        if (!h) h = BASS_MusicLoad(false, path.c_str(), 0, 0, flags ? BASS_MUSIC_DECODE : kMusicShowFlags, 0);
        return h;
    }
    static std::uint64_t Pos(AudioHandle h) { return BASS_ChannelGetPosition(h, BASS_POS_BYTE); }
};

std::string StereoWav(const std::string& name, double seconds = 3.0) {
    Tone t;
    t.seconds = seconds;
    return audio_fixtures::MakeWav(name, t);
}

}  // namespace

TEST(AudioLibrary, VersionInitAndFree) {
    EXPECT_EQ(BASS_GetVersion() >> 16, 0x0204u);
    AudioSetOutputKind(AudioOutputKind::Manual);
    std::string wav = StereoWav("before-init.wav", 0.5);
    EXPECT_EQ(BASS_StreamCreateFile(false, wav.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorNotInitialised);
    EXPECT_FALSE(BASS_Free());
    EXPECT_FALSE(BASS_Init(7, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorDevice);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioOk);
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorAlready);
    AudioHandle h = BASS_StreamCreateFile(false, wav.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(BASS_Free());
    EXPECT_EQ(AudioOutputName(), "");
    EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), kAudioBadPosition);   // freed with the library
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorHandle);
    AudioSetOutputKind(AudioOutputKind::Default);
}

TEST(AudioLibrary, NullOutputForcedByEnvironment) {
    setenv("SPIRELO_AUDIO", "null", 1);
    AudioSetOutputKind(AudioOutputKind::Default);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(AudioOutputName(), "null");
    EXPECT_EQ(AudioOutputRate(), 44100u);
    BASS_Free();
    unsetenv("SPIRELO_AUDIO");
}

TEST(AudioLibrary, DefaultDeviceAlwaysInitialises) {
    // Here there is no sound card: the default device falls back to the null output.
    AudioSetOutputKind(AudioOutputKind::Default);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    std::string name = AudioOutputName();
    EXPECT_TRUE(name == "null" || name == "alsa:default") << name;
    BASS_Free();
}

TEST_F(AudioEngine, ExactLengthsAndConversions) {
    struct Case {
        const char* name;
        Tone tone;
        int format;   // 0: MP3
        std::uint64_t bytes;
    };
    const Case cases[] = {
        {"60s.wav", {44100, 2, 60.0, 440, 0.5, 0}, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 10584000},
        {"mono48.wav", {48000, 1, 1.0, 440, 0.5, 0}, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 96000},
        {"tone.aiff", {22050, 2, 2.5, 440, 0.5, 0}, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 220500},
        {"tone.flac", {44100, 2, 2.0, 440, 0.5, 0}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 352800},
        {"tone.ogg", {44100, 2, 2.0, 440, 0.5, 0}, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 352800},
        {"tone.mp3", {44100, 2, 10.0, 440, 0.5, 0}, 0, 1764000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = audio_fixtures::TempPath(c.name);
        ASSERT_TRUE(audio_fixtures::WriteSound(
            path, c.tone, c.format ? c.format : SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III));
        AudioHandle h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
        ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
        EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), c.bytes);
        EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(h, c.bytes), c.tone.seconds);
        EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, 1.0), 2u * c.tone.channels * c.tone.rate);
        EXPECT_EQ(Pos(h), 0u);
        BASS_StreamFree(h);
    }
    AudioHandle h = BASS_StreamCreateFile(false, StereoWav("s2b.wav").c_str(), 0, 0, 0);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, 0.02), 3528u);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, -1.0), kAudioBadPosition);
    EXPECT_EQ(BASS_ChannelGetLength(h, 5), kAudioBadPosition);
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorParameter);
}

TEST_F(AudioEngine, OpensByContentWhateverTheName) {
    std::string wavAsMp3 = StereoWav("wave-named.mp3", 1.0);
    std::string module = audio_fixtures::MakeModule("module-named.mp3");
    std::string text = audio_fixtures::MakeBytes("notes.mp3", std::string(5000, 'x') + "\nnot audio at all\n");
    std::string empty = audio_fixtures::MakeBytes("empty.wav", "");

    AudioHandle wav = BASS_StreamCreateFile(false, wavAsMp3.c_str(), 0, 0, 0);
    EXPECT_NE(wav, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(wav, BASS_POS_BYTE), 176400u);

    // A module is not a stream: the player's fallback to the module loader takes it.
    EXPECT_EQ(BASS_StreamCreateFile(false, module.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorFormat);
    AudioHandle mod = BASS_MusicLoad(false, module.c_str(), 0, 0, kMusicShowFlags, 0);
    ASSERT_NE(mod, 0u);
    // 64 rows at speed 6 and 125 BPM: 7.68 s of stereo at the output rate.
    EXPECT_EQ(BASS_ChannelGetLength(mod, BASS_POS_BYTE), 338688u * 4);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(mod, 0.02), 3528u);
    EXPECT_EQ(BASS_MusicLoad(false, wavAsMp3.c_str(), 0, 0, kMusicShowFlags, 0), 0u);

    for (const std::string& bad : {text, empty}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(BASS_StreamCreateFile(false, bad.c_str(), 0, 0, 0), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorFormat);
        EXPECT_EQ(BASS_MusicLoad(false, bad.c_str(), 0, 0, kMusicShowFlags, 0), 0u);
    }
    EXPECT_EQ(BASS_StreamCreateFile(false, audio_fixtures::TempPath("missing.mp3").c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorFileOpen);
    EXPECT_EQ(BASS_StreamCreateFile(false, nullptr, 0, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(true, wavAsMp3.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorParameter);
}

// A FIFO or a device named as music would block the window thread at its open: the show's
// stream, the module loader and the music list's player all refuse it at once as a file that
// cannot be opened.
TEST_F(AudioEngine, AFifoOrDeviceIsRefusedAtOnce) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string fifo = dir / "music.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(spirelo::test::AnswersWithoutHanging([&] {
            bool refused = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0) == 0 &&
                           BASS_ErrorGetCode() == kAudioErrorFileOpen;
            refused = refused && BASS_MusicLoad(false, path.c_str(), 0, 0, kMusicShowFlags, 0) == 0 &&
                      BASS_ErrorGetCode() == kAudioErrorFileOpen;
            MediaPlayer player;
            return refused && !player.Open(path) && BASS_ErrorGetCode() == kAudioErrorFileOpen;
        }));
    }
}

TEST(AudioDecoders, MpegSniffingNeedsChainedFrames) {
    std::string junk(4096, '\0');
    for (std::size_t i = 0; i < junk.size(); i += 7) junk[i] = '\xFF';   // sync bytes without frames
    EXPECT_FALSE(LooksLikeMpegAudio(reinterpret_cast<const unsigned char*>(junk.data()), junk.size()));
    // Three MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz (417 bytes each) after an ID3v2 tag.
    std::string mp3 = std::string("ID3\x03\x00\x00\x00\x00\x00\x0A", 10) + std::string(10, '\0');
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    for (int i = 0; i < 3; ++i) mp3 += frame;
    EXPECT_TRUE(LooksLikeMpegAudio(reinterpret_cast<const unsigned char*>(mp3.data()), mp3.size()));
    mp3[10 + 10 + 417] = 0;   // break the chain
    EXPECT_FALSE(LooksLikeMpegAudio(reinterpret_cast<const unsigned char*>(mp3.data()), mp3.size()));
}

TEST_F(AudioEngine, PlayStopResumeKeepThePosition) {
    AudioHandle h = Open(StereoWav("transport.wav"));
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    AudioManualAdvance(4410);   // nothing plays yet
    EXPECT_EQ(Pos(h), 0u);

    ASSERT_TRUE(BASS_ChannelPlay(h, false));
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(Pos(h), 0u);
    AudioManualAdvance(4410);
    EXPECT_EQ(Pos(h), 4410u * 4);

    ASSERT_TRUE(BASS_ChannelStop(h));
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    AudioManualAdvance(4410);
    EXPECT_EQ(Pos(h), 4410u * 4);

    ASSERT_TRUE(BASS_ChannelPlay(h, false));   // resumes where it stopped
    EXPECT_EQ(Pos(h), 4410u * 4);
    AudioManualAdvance(441);
    EXPECT_TRUE(BASS_ChannelPlay(h, false));   // no-op on a playing channel
    EXPECT_EQ(Pos(h), 4851u * 4);
    AudioManualAdvance(441);
    EXPECT_EQ(Pos(h), 5292u * 4);

    ASSERT_TRUE(BASS_ChannelPlay(h, true));    // restart
    EXPECT_EQ(Pos(h), 0u);
    AudioManualAdvance(882);
    EXPECT_EQ(Pos(h), 882u * 4);
}

TEST_F(AudioEngine, SetPositionIsSeenAtOnce) {
    AudioHandle h = Open(StereoWav("seek.wav"));
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(BASS_ChannelSetPosition(h, 100000, BASS_POS_BYTE));   // stopped
    EXPECT_EQ(Pos(h), 100000u);
    BASS_ChannelPlay(h, false);
    AudioManualAdvance(1000);
    EXPECT_EQ(Pos(h), 104000u);
    EXPECT_TRUE(BASS_ChannelSetPosition(h, 300000, BASS_POS_BYTE));   // playing
    EXPECT_EQ(Pos(h), 300000u);
    AudioManualAdvance(100);
    EXPECT_EQ(Pos(h), 300400u);
    EXPECT_TRUE(BASS_ChannelSetPosition(h, 8, BASS_POS_BYTE));        // backwards
    EXPECT_EQ(Pos(h), 8u);
    EXPECT_TRUE(BASS_ChannelSetPosition(h, 1, BASS_POS_BYTE));        // inside a frame: its start
    EXPECT_EQ(Pos(h), 0u);

    std::uint64_t length = BASS_ChannelGetLength(h, BASS_POS_BYTE);
    EXPECT_FALSE(BASS_ChannelSetPosition(h, length + 4, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorPosition);
    EXPECT_EQ(Pos(h), 0u);
    EXPECT_FALSE(BASS_ChannelSetPosition(h, 0, 3));
}

TEST_F(AudioEngine, PlayingToTheEndStopsThere) {
    AudioHandle h = Open(StereoWav("short.wav", 0.1));   // 4410 frames
    ASSERT_NE(h, 0u);
    BASS_ChannelPlay(h, false);
    AudioManualAdvance(4000);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
    AudioManualAdvance(1000);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(Pos(h), 17640u);
    BASS_ChannelPlay(h, false);   // at the end: nothing more to hear
    AudioManualAdvance(441);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(Pos(h), 17640u);
    BASS_ChannelSetPosition(h, 0, BASS_POS_BYTE);
    BASS_ChannelPlay(h, false);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
}

TEST_F(AudioEngine, VolumesShapeTheOutput) {
    Tone dc;
    dc.amplitude = 0;
    dc.dc = 0.5;   // a constant 16384 on both channels
    AudioHandle h = Open(audio_fixtures::MakeWav("dc.wav", dc));
    ASSERT_NE(h, 0u);
    BASS_ChannelPlay(h, false);
    auto lastFrame = [](float* left, float* right) {
        std::vector<std::int16_t> out;
        AudioManualAdvance(882, &out);   // the second period has no gain ramp left
        *left = out[out.size() - 2];
        *right = out[out.size() - 1];
    };
    float l, r;
    lastFrame(&l, &r);
    std::int16_t heard[2];
    ASSERT_EQ(BASS_ChannelGetData(h, heard, 4), 4u);   // the frame just handed over
    EXPECT_EQ(l, heard[0]);                             // unity gain passes samples unchanged
    EXPECT_EQ(r, heard[1]);
    EXPECT_NEAR(l, 16383, 2);
    BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.5f);
    lastFrame(&l, &r);
    EXPECT_NEAR(l, 8192, 2);
    SetWaveOutGain(0, 32768);   // left muted, right about half
    lastFrame(&l, &r);
    EXPECT_EQ(l, 0);
    EXPECT_NEAR(r, 4096, 2);
    EXPECT_EQ(WaveOutGain(), 0x80000000u);
    BASS_SetVolume(0.0f);
    lastFrame(&l, &r);
    EXPECT_EQ(r, 0);
    EXPECT_FALSE(BASS_SetVolume(2.0f));

    float v = 0;
    EXPECT_TRUE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 7.0f));   // clamped
    EXPECT_TRUE(BASS_ChannelGetAttribute(h, BASS_ATTRIB_VOL, &v));
    EXPECT_EQ(v, 1.0f);
    EXPECT_FALSE(BASS_ChannelSetAttribute(h, 99, 1.0f));
}

TEST_F(AudioEngine, FrequencyChangesSpeedButPositionsCountFileBytes) {
    struct Case {
        int fileRate;
        float freq;               // 0: leave the file's own rate
        std::uint64_t expectFrames;   // source frames heard after one second of output
    };
    const Case cases[] = {{44100, 0, 44100}, {44100, 88200, 88200}, {44100, 22050, 22050}, {48000, 0, 48000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileRate + c.freq);
        Tone t;
        t.rate = c.fileRate;
        t.seconds = 4;
        AudioHandle h = Open(audio_fixtures::MakeWav("rate.wav", t));
        ASSERT_NE(h, 0u);
        float f = 0;
        BASS_ChannelGetAttribute(h, BASS_ATTRIB_FREQ, &f);
        EXPECT_EQ(f, static_cast<float>(c.fileRate));
        if (c.freq > 0) {
            EXPECT_TRUE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_FREQ, c.freq));
        }
        BASS_ChannelPlay(h, false);
        std::uint64_t last = 0;
        for (int i = 0; i < 100; ++i) {
            AudioManualAdvance(441);
            std::uint64_t p = Pos(h);
            EXPECT_GE(p, last);
            last = p;
        }
        EXPECT_NEAR(static_cast<double>(last / 4), static_cast<double>(c.expectFrames), 2.0);
        BASS_StreamFree(h);
    }
}

TEST_F(AudioEngine, ResampledOutputKeepsPitchAndSpeedTogether) {
    Tone t;
    t.hz = 1000;
    t.seconds = 3;
    AudioHandle h = Open(audio_fixtures::MakeWav("pitch.wav", t));
    ASSERT_NE(h, 0u);
    BASS_ChannelSetAttribute(h, BASS_ATTRIB_FREQ, 88200.0f);   // twice as fast: an octave up
    BASS_ChannelPlay(h, false);
    std::vector<std::int16_t> out;
    AudioManualAdvance(4410);
    AudioManualAdvance(44100, &out);
    int crossings = 0;
    for (std::size_t i = 2; i < out.size(); i += 2)
        if ((out[i - 2] < 0) != (out[i] < 0)) ++crossings;
    EXPECT_NEAR(crossings, 4000, 20);   // 2 kHz for one second
}

TEST_F(AudioEngine, MpegSeeksAreSampleExact) {
    // MPEG-1 stereo, and MPEG-2 mono with its small frames (a deep bit reservoir in frames).
    const Tone tones[] = {{44100, 2, 3.0, 331, 0.5, 0}, {22050, 1, 3.0, 331, 0.5, 0}};
    for (const Tone& t : tones) {
        SCOPED_TRACE(t.rate);
        std::string mp3 = audio_fixtures::MakeMp3("seek" + std::to_string(t.rate) + ".mp3", t);
        AudioHandle whole = Open(mp3, BASS_STREAM_DECODE);
        ASSERT_NE(whole, 0u);
        const std::size_t frames = static_cast<std::size_t>(t.seconds * t.rate);
        std::vector<std::int16_t> all(frames * t.channels);
        auto bytes = static_cast<std::uint32_t>(all.size() * 2);
        ASSERT_EQ(BASS_ChannelGetData(whole, all.data(), bytes), bytes);
        EXPECT_EQ(BASS_ChannelIsActive(whole), BASS_ACTIVE_STOPPED);
        BASS_StreamFree(whole);
        for (std::uint64_t frame : {0ull, 1ull, 1151ull, 1152ull, 20001ull, frames - 100ull}) {
            SCOPED_TRACE(frame);
            AudioHandle h = Open(mp3, BASS_STREAM_DECODE);
            ASSERT_TRUE(BASS_ChannelSetPosition(h, frame * 2 * t.channels, BASS_POS_BYTE));
            EXPECT_EQ(Pos(h), frame * 2 * t.channels);
            std::vector<std::int16_t> part(100 * t.channels);
            auto partBytes = static_cast<std::uint32_t>(part.size() * 2);
            ASSERT_EQ(BASS_ChannelGetData(h, part.data(), partBytes), partBytes);
            EXPECT_TRUE(std::equal(part.begin(), part.end(), all.begin() + static_cast<long>(frame * t.channels)));
            BASS_StreamFree(h);
        }
        AudioHandle tail = Open(mp3, BASS_STREAM_DECODE);
        BASS_ChannelSetPosition(tail, (frames - 10) * 2 * t.channels, BASS_POS_BYTE);
        std::vector<std::int16_t> rest(100 * t.channels);
        EXPECT_EQ(BASS_ChannelGetData(tail, rest.data(), static_cast<std::uint32_t>(rest.size() * 2)),
                  10u * 2 * t.channels);   // only what is left
        EXPECT_EQ(BASS_ChannelGetData(tail, rest.data(), 16), kAudioBadData);
        EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorEnded);
    }
}

TEST_F(AudioEngine, SpectrumAndLevelsAtTheHeardPosition) {
    Tone t;
    t.hz = 10 * 44100.0 / 256;   // the centre of bin 10
    t.amplitude = 1.0;
    t.channels = 2;
    std::string path = audio_fixtures::MakeWav("bin10.wav", t);
    AudioHandle h = Open(path);
    ASSERT_NE(h, 0u);
    float fft[128];
    EXPECT_EQ(BASS_ChannelGetData(h, fft, BASS_DATA_FFT256), kAudioBadData);   // not playing
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorNotPlaying);
    EXPECT_EQ(fft[10], 0.0f);
    BASS_ChannelPlay(h, false);
    AudioManualAdvance(4410);
    EXPECT_EQ(BASS_ChannelGetData(h, fft, BASS_DATA_FFT256), 512u);
    int peak = static_cast<int>(std::max_element(fft, fft + 128) - fft);
    EXPECT_EQ(peak, 10);
    EXPECT_NEAR(fft[10], 1.0f, 0.05f);
    EXPECT_LT(fft[30], 0.01f);

    std::uint32_t level = BASS_ChannelGetLevel(h);
    EXPECT_NEAR(static_cast<double>(level & 0xFFFF), 32767, 40);
    EXPECT_NEAR(static_cast<double>(level >> 16), 32767, 40);

    // 16 bytes of samples: the most recently heard frames, left and right.
    std::int16_t raw[8];
    EXPECT_EQ(BASS_ChannelGetData(h, raw, 16), 16u);
    EXPECT_EQ(raw[0], raw[1]);
    const double pi = 3.14159265358979323846;
    double expect = std::sin(2 * pi * t.hz * (4410 - 4) / 44100) * 32767;
    EXPECT_NEAR(raw[1], expect, 2);

    // Stopped on silence is not data.
    BASS_ChannelStop(h);
    EXPECT_EQ(BASS_ChannelGetLevel(h), 0u);
}

TEST_F(AudioEngine, DecodeChannelLevelsUntilItEnds) {
    Tone t;
    t.seconds = 1.0;
    t.amplitude = 0.25;
    AudioHandle h = Open(audio_fixtures::MakeMp3("scan.mp3", t), BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(BASS_ChannelPlay(h, false));
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorDecodeChannel);
    int slices = 0;
    std::uint32_t loudest = 0;
    std::uint64_t last = 0;
    while (BASS_ChannelIsActive(h) == BASS_ACTIVE_PLAYING && slices < 1000) {
        std::uint32_t level = BASS_ChannelGetLevel(h);
        loudest = std::max(loudest, level & 0xFFFF);
        std::uint64_t p = Pos(h);
        EXPECT_EQ(p, std::min<std::uint64_t>(last + 3528, 176400));
        last = p;
        ++slices;
    }
    EXPECT_EQ(slices, 50);   // 1 s in 20 ms slices
    EXPECT_NEAR(static_cast<double>(loudest), 0.25 * 32767, 600);
    EXPECT_EQ(BASS_ChannelGetLevel(h), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorEnded);

    // A decode copy of a module, freed by the stream call as the peak scan does.
    AudioHandle mod = BASS_MusicLoad(false, audio_fixtures::MakeModule("scan.mod").c_str(), 0, 0,
                                     BASS_MUSIC_DECODE, 0);
    ASSERT_NE(mod, 0u);
    EXPECT_GT(BASS_ChannelGetLevel(mod) & 0xFFFF, 0u);
    EXPECT_EQ(Pos(mod), 3528u);
    float fft[128];
    EXPECT_EQ(BASS_ChannelGetData(mod, fft, BASS_DATA_FFT256), 512u);
    EXPECT_EQ(Pos(mod), 3528u + 1024u);
    EXPECT_TRUE(BASS_StreamFree(mod));
    EXPECT_EQ(BASS_ChannelIsActive(mod), BASS_ACTIVE_STOPPED);
}

TEST_F(AudioEngine, StaleAndZeroHandlesFailCleanly) {
    std::string wav = StereoWav("stale.wav", 0.5);
    AudioHandle stream = Open(wav);
    AudioHandle module = BASS_MusicLoad(false, audio_fixtures::MakeModule("stale.mod").c_str(), 0, 0,
                                        kMusicShowFlags, 0);
    ASSERT_NE(stream, 0u);
    ASSERT_NE(module, 0u);
    EXPECT_FALSE(BASS_MusicFree(stream));   // the other kind: fails quietly, stays open
    EXPECT_NE(BASS_ChannelGetLength(stream, BASS_POS_BYTE), kAudioBadPosition);
    EXPECT_TRUE(BASS_MusicFree(module));
    EXPECT_TRUE(BASS_StreamFree(stream));

    for (AudioHandle h : {stream, module, AudioHandle{0}, AudioHandle{12345}}) {
        SCOPED_TRACE(h);
        EXPECT_FALSE(BASS_ChannelPlay(h, false));
        EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorHandle);
        EXPECT_FALSE(BASS_ChannelStop(h));
        EXPECT_FALSE(BASS_StreamFree(h));
        EXPECT_FALSE(BASS_MusicFree(h));
        EXPECT_FALSE(BASS_ChannelSetPosition(h, 0, BASS_POS_BYTE));
        EXPECT_FALSE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.5f));
        EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), kAudioBadPosition);
        EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), kAudioBadPosition);
        EXPECT_LT(BASS_ChannelBytes2Seconds(h, 1000), 0.0);
        EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, 0.02), kAudioBadPosition);
        EXPECT_EQ(BASS_ChannelGetLevel(h), 0u);
        float fft[128];
        fft[5] = 3.0f;
        EXPECT_EQ(BASS_ChannelGetData(h, fft, BASS_DATA_FFT256), kAudioBadData);
        EXPECT_EQ(fft[5], 0.0f);
        EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorHandle);
    }
    // A new open never gets an old handle back.
    AudioHandle again = Open(wav);
    EXPECT_NE(again, stream);
    EXPECT_NE(again, module);
}

TEST_F(AudioEngine, LostDeviceFallsBackWithoutStoppingTheClock) {
    AudioHandle h = Open(StereoWav("lost.wav", 5.0));
    ASSERT_NE(h, 0u);
    BASS_ChannelPlay(h, false);
    AudioManualAdvance(4410);
    std::uint64_t before = Pos(h);
    AudioManualFailDevice();
    EXPECT_EQ(AudioManualAdvance(441), 0u);
    EXPECT_EQ(AudioOutputName(), "null");
    EXPECT_GE(Pos(h), before);
    // At least 100 ms more is heard, however long a loaded machine takes to run the output.
    auto start = std::chrono::steady_clock::now();
    while (Pos(h) <= before + 4 * 4410u && std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GT(Pos(h), before + 4 * 4410u);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
}

TEST_F(AudioEngine, ConcurrentScanAndPlayback) {
    Tone t;
    t.seconds = 6;
    std::string path = audio_fixtures::MakeWav("threads.wav", t);
    AudioHandle play = Open(path);
    ASSERT_NE(play, 0u);
    BASS_ChannelPlay(play, false);
    std::atomic<bool> done{false};
    std::thread scanner([&] {
        for (int round = 0; round < 3; ++round) {
            AudioHandle d = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
            while (BASS_ChannelIsActive(d) == BASS_ACTIVE_PLAYING) {
                BASS_ChannelGetLevel(d);
                BASS_ChannelGetPosition(d, BASS_POS_BYTE);
            }
            BASS_StreamFree(d);
        }
        done = true;
    });
    float fft[128];
    int i = 0;
    while (!done) {
        AudioManualAdvance(441);
        BASS_ChannelGetData(play, fft, BASS_DATA_FFT256);
        BASS_ChannelGetLevel(play);
        if (++i % 50 == 0) BASS_ChannelSetPosition(play, 4 * (i % 1000), BASS_POS_BYTE);
    }
    scanner.join();
    EXPECT_EQ(BASS_ChannelIsActive(play), BASS_ACTIVE_PLAYING);
}

// ---- Damaged and unusual files ----

namespace {

// Bytes a decode channel gives until its end.
std::uint64_t DecodeAll(AudioHandle h) {
    std::vector<char> buf(65536);
    std::uint64_t total = 0;
    for (int i = 0; i < 100000; ++i) {
        std::uint32_t n = BASS_ChannelGetData(h, buf.data(), static_cast<std::uint32_t>(buf.size()));
        if (n == kAudioBadData) break;
        total += n;
    }
    return total;
}

struct PlayedToEnd {
    std::uint64_t end = 0;          // position once stopped
    std::uint64_t largestStep = 0;  // bytes the position moved in one 10 ms period
    std::uint64_t soundUntil = 0;   // bytes of audible output, counted at the channel's rate
    bool stopped = false;
};

// Plays a channel of the output's rate on the manual output until it stops.
PlayedToEnd PlayToEnd(AudioHandle h, std::uint32_t frameBytes) {
    PlayedToEnd r;
    BASS_ChannelPlay(h, false);
    std::uint64_t last = 0, frame = 0;
    std::vector<std::int16_t> mixed;
    for (int i = 0; i < 10000 && BASS_ChannelIsActive(h) == BASS_ACTIVE_PLAYING; ++i) {
        mixed.clear();
        AudioManualAdvance(441, &mixed);
        for (std::size_t f = 0; f < mixed.size() / 2; ++f, ++frame)
            if (mixed[2 * f] != 0 || mixed[2 * f + 1] != 0) r.soundUntil = (frame + 1) * frameBytes;
        std::uint64_t p = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
        EXPECT_GE(p, last);
        r.largestStep = std::max(r.largestStep, p - last);
        last = p;
    }
    r.stopped = BASS_ChannelIsActive(h) == BASS_ACTIVE_STOPPED;
    r.end = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
    return r;
}

// The checks every file cut short must pass: the length is what decodes, for the played
// channel and the peak scan's decode copy alike, and playing ends there, where the sound ends.
void ExpectLengthIsWhatDecodes(const std::string& path, std::uint64_t fullBytes) {
    AudioHandle play = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    ASSERT_NE(play, 0u) << BASS_ErrorGetCode();
    AudioHandle scan = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(scan, 0u);
    const std::uint64_t length = BASS_ChannelGetLength(play, BASS_POS_BYTE);
    EXPECT_GT(length, fullBytes / 4);
    EXPECT_LT(length, fullBytes);
    EXPECT_EQ(BASS_ChannelGetLength(scan, BASS_POS_BYTE), length);
    EXPECT_EQ(DecodeAll(scan), length);
    EXPECT_EQ(BASS_ChannelGetPosition(scan, BASS_POS_BYTE), length);
    EXPECT_EQ(BASS_ChannelGetLength(scan, BASS_POS_BYTE), length);

    PlayedToEnd r = PlayToEnd(play, 4);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.end, length);
    EXPECT_LE(r.largestStep, 441u * 4);   // never a jump
    EXPECT_NEAR(static_cast<double>(r.soundUntil), static_cast<double>(length), 441.0 * 4);
    EXPECT_EQ(BASS_ChannelGetLength(play, BASS_POS_BYTE), length);
    BASS_StreamFree(play);
    BASS_StreamFree(scan);
}

Tone Seconds(double seconds) {
    Tone t;
    t.seconds = seconds;
    t.hz = 440;
    return t;
}

}  // namespace

TEST_F(AudioEngine, FlacCutShortEndsWhereItsDataEnds) {
    // Its header still claims 4 s; decoding stops at the cut.
    std::string whole = audio_fixtures::TempPath("whole.flac");
    ASSERT_TRUE(audio_fixtures::WriteSound(whole, Seconds(4.0), SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    ExpectLengthIsWhatDecodes(audio_fixtures::CutShort(whole, "cut.flac", 0.5), 705600);
}

TEST_F(AudioEngine, OggVorbisCutShortPlaysWhatDecodes) {
    // A pure tone packs tightly: 20 s make enough pages for half of them to survive the cut.
    std::string whole = audio_fixtures::TempPath("whole.ogg");
    ASSERT_TRUE(audio_fixtures::WriteSound(whole, Seconds(20.0), SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    ExpectLengthIsWhatDecodes(audio_fixtures::CutShort(whole, "cut.ogg", 0.5), 3528000);
    // Cut inside its headers nothing decodes: refused, not opened empty.
    EXPECT_EQ(BASS_StreamCreateFile(false, audio_fixtures::CutShort(whole, "headers.ogg", 0.1).c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorFormat);
}

TEST_F(AudioEngine, VbrMp3CutShortMeasuresWhatDecodes) {
    std::string whole = audio_fixtures::TempPath("whole-vbr.mp3");
    ASSERT_TRUE(audio_fixtures::WriteSound(whole, Seconds(4.0), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, true));
    ASSERT_NE(audio_fixtures::ReadBytes(whole).substr(0, 200).find("Xing"), std::string::npos);
    AudioHandle intact = Open(whole, BASS_STREAM_DECODE);
    ASSERT_NE(intact, 0u);
    std::vector<std::int16_t> expected(44100 * 2);
    ASSERT_EQ(BASS_ChannelGetData(intact, expected.data(), 176400), 176400u);
    for (double fraction : {0.5, 0.77, 0.999}) {
        SCOPED_TRACE(fraction);
        std::string cut = audio_fixtures::CutShort(whole, "cut-vbr.mp3", fraction);
        ExpectLengthIsWhatDecodes(cut, 705600);
        // The same timeline as the intact file: its first second is sample for sample the same.
        AudioHandle h = Open(cut, BASS_STREAM_DECODE);
        std::vector<std::int16_t> got(44100 * 2);
        ASSERT_EQ(BASS_ChannelGetData(h, got.data(), 176400), 176400u);
        EXPECT_EQ(got, expected);
        BASS_StreamFree(h);
    }
}

TEST_F(AudioEngine, Mp3WhoseRateChangesIsRefusedNotCutShort) {
    // 2 s at 44.1 kHz followed by 2 s at 32 kHz, as joined files give.
    Tone first, second;
    first.seconds = second.seconds = 2.0;
    second.rate = 32000;
    std::string a = audio_fixtures::MakeMp3("first.mp3", first);
    std::string b = audio_fixtures::MakeMp3("second.mp3", second);
    std::string joined =
        audio_fixtures::MakeBytes("joined.mp3", audio_fixtures::ReadBytes(a) + audio_fixtures::ReadBytes(b));
    for (const std::string& part : {a, b}) {
        AudioHandle h = Open(part);
        EXPECT_NE(h, 0u);
        BASS_StreamFree(h);
    }
    for (std::uint32_t flags : {0u, BASS_STREAM_DECODE}) {
        EXPECT_EQ(BASS_StreamCreateFile(false, joined.c_str(), 0, 0, flags), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), kAudioErrorFormat);
    }
}

TEST_F(AudioEngine, ModulePlaysItsFirstSubSong) {
    AudioHandle h = BASS_MusicLoad(false, audio_fixtures::MakeModule("two-songs.mod", true).c_str(), 0, 0,
                                   kMusicShowFlags, 0);
    ASSERT_NE(h, 0u);
    const std::uint64_t firstSong = 338688u * 4;   // 64 rows at speed 6 and 125 BPM, 7.68 s
    EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), firstSong);
    PlayedToEnd r = PlayToEnd(h, 4);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.end, firstSong);
    EXPECT_LE(r.largestStep, 441u * 4);
}

TEST(AudioAlsaOutput, WritesTheMixToTheDefaultDevice) {
    // An ALSA "default" that writes to a file: the ALSA path runs without a sound card. Its
    // null slave takes data as fast as it comes, so only the data is checked, not the pace.
    if (access("/usr/share/alsa/alsa.conf", R_OK) != 0) GTEST_SKIP() << "no ALSA configuration";
    std::string raw = audio_fixtures::TempPath("alsa-out.raw");
    std::string conf = audio_fixtures::MakeBytes(
        "alsa.conf", "</usr/share/alsa/alsa.conf>\npcm.!default { type file slave.pcm \"null\" file \"" + raw +
                         "\" format \"raw\" }\n");
    setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
    AudioSetOutputKind(AudioOutputKind::Default);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    if (AudioOutputName() != "alsa:default") {
        BASS_Free();
        unsetenv("ALSA_CONFIG_PATH");
        GTEST_SKIP() << "the file device did not open";
    }
    Tone dc;
    dc.amplitude = 0;
    dc.dc = 0.25;
    dc.seconds = 0.5;
    AudioHandle h = BASS_StreamCreateFile(false, audio_fixtures::MakeWav("alsa.wav", dc).c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    BASS_ChannelPlay(h, false);
    auto start = std::chrono::steady_clock::now();
    while (BASS_ChannelIsActive(h) == BASS_ACTIVE_PLAYING &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), 88200u);
    BASS_Free();
    unsetenv("ALSA_CONFIG_PATH");

    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    long loud = std::count_if(samples.begin(), samples.end(), [](std::int16_t v) { return std::abs(v - 8192) <= 2; });
    EXPECT_NEAR(static_cast<double>(loud), 2 * 22050, 2 * 441);   // the half second, both channels
}

// The position read against the time around each read: a read the test made without being
// held up brackets the play time closely, however loaded the machine.
TEST(AudioNullOutput, RunsInRealTime) {
    AudioSetOutputKind(AudioOutputKind::Null);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    ASSERT_EQ(AudioOutputName(), "null");
    AudioHandle h = BASS_StreamCreateFile(false, StereoWav("realtime.wav", 10.0).c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    const Clock::time_point beforePlay = Clock::now();
    BASS_ChannelPlay(h, false);
    const Clock::time_point afterPlay = Clock::now();
    std::uint64_t last = 0;
    std::uint64_t smallestStep = ~0ull;
    double heard = 0, earliest = 0, latest = 0;
    while (Clock::now() - beforePlay < std::chrono::seconds(30)) {
        const Clock::time_point a = Clock::now();
        const std::uint64_t p = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
        const Clock::time_point b = Clock::now();
        ASSERT_GE(p, last);
        if (p > last && last > 0) smallestStep = std::min(smallestStep, p - last);
        last = p;
        if (p >= 176400 && p < 8 * 176400 && b - a < std::chrono::milliseconds(2)) {
            heard = p / 176400.0;
            earliest = seconds(a - afterPlay);   // the least time it can have played
            latest = seconds(b - beforePlay);    // the most
            break;
        }
        std::this_thread::yield();
    }
    ASSERT_GT(heard, 0) << "no second of music was heard";
    EXPECT_GT(latest, 0.9 * heard) << "ahead of real time";
    EXPECT_LT(earliest, heard + 0.5) << "behind real time";
    EXPECT_LT(smallestStep, 1764u);   // finer than 10 ms
    BASS_Free();
    AudioSetOutputKind(AudioOutputKind::Default);
}

TEST(AudioAnalysis, FftAndPeakOfKnownSignals) {
    const double pi = 3.14159265358979323846;
    std::vector<std::int16_t> mono(256), stereo(512);
    for (int n = 0; n < 256; ++n) {
        mono[n] = static_cast<std::int16_t>(std::lrint(32767 * std::sin(2 * pi * 40 * n / 256.0)));
        stereo[2 * n] = mono[n];
        stereo[2 * n + 1] = 0;   // the mono mix halves it
    }
    float out[128];
    Fft256Magnitudes(mono.data(), 1, out);
    EXPECT_NEAR(out[40], 1.0f, 0.01f);
    EXPECT_NEAR(out[39], 0.5f, 0.01f);   // Hann leakage into the neighbours
    EXPECT_LT(out[45], 1e-3f);
    Fft256Magnitudes(stereo.data(), 2, out);
    EXPECT_NEAR(out[40], 0.5f, 0.01f);

    std::int16_t frames[] = {100, -32768, -200, 7, 50, 300};
    EXPECT_EQ(PeakLevel(frames, 2, 3), (32768u << 16) | 200u);
    EXPECT_EQ(PeakLevel(frames, 1, 6), (32768u << 16) | 32768u);
}

TEST(AudioMediaPlayer, PlaysBesideTheShowChannel) {
    AudioSetOutputKind(AudioOutputKind::Manual);
    {
        MediaPlayer player;   // needs no BASS_Init
        EXPECT_FALSE(player.Open(audio_fixtures::TempPath("no-such-file.mp3")));
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_EQ(player.LengthMs(), 0);
        Tone t;
        t.amplitude = 0;
        t.dc = 0.25;
        t.seconds = 12.5;
        ASSERT_TRUE(player.Open(audio_fixtures::MakeWav("music.wav", t)));
        EXPECT_EQ(AudioOutputName(), "manual");
        EXPECT_EQ(player.LengthMs(), 12500);
        EXPECT_EQ(player.PositionMs(), 0);

        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
        Tone show = t;
        show.dc = 0.125;
        AudioHandle h = BASS_StreamCreateFile(false, audio_fixtures::MakeWav("show.wav", show).c_str(), 0, 0, 0);
        ASSERT_NE(h, 0u);
        BASS_ChannelPlay(h, false);
        player.Play();
        EXPECT_TRUE(player.IsPlaying());
        std::vector<std::int16_t> out;
        AudioManualAdvance(44100, &out);
        EXPECT_NEAR(out.back(), 8192 + 4096, 3);   // both channels in the mix
        EXPECT_EQ(player.PositionMs(), 1000);
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), 176400u);

        // To the end, less 10 s; keeps playing.
        EXPECT_TRUE(player.SeekMs(player.LengthMs() - 10000));
        EXPECT_EQ(player.PositionMs(), 2500);
        player.Stop();
        AudioManualAdvance(4410);
        EXPECT_EQ(player.PositionMs(), 2500);
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_TRUE(player.SeekMs(-50));
        EXPECT_EQ(player.PositionMs(), 0);
        EXPECT_TRUE(player.SeekMs(99999999));
        EXPECT_EQ(player.PositionMs(), 12500);

        BASS_Free();   // the show's engine goes; the music player keeps its channel
        EXPECT_EQ(AudioOutputName(), "manual");
        player.SeekMs(12000);
        player.Play();
        AudioManualAdvance(44100);
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_EQ(player.PositionMs(), 12500);
        // The show's handles cannot free the player's channel.
        EXPECT_FALSE(BASS_StreamFree(player.Channel()));
    }
    EXPECT_EQ(AudioOutputName(), "");
    AudioSetOutputKind(AudioOutputKind::Default);
}
