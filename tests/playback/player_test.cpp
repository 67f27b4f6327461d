#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/show_data.h"
#include "player_fixtures.h"
#include "playback/player.h"

using namespace spirelo;
using namespace spirelo::testing;

namespace {

// Records what opening the audio asked of the windows, in order.
class RecordingHost : public PlayerHost {
public:
    explicit RecordingHost(ShowClock& c) : clock(c) {}
    void WriteLog(const std::string& who, const std::string& where, const std::string& info) override {
        events.push_back("log " + who + " " + where + " " + info);
    }
    void SetCaption(const std::string& f) override { events.push_back("caption " + f); }
    void TransportOpening() override { events.push_back("opening"); }
    void TransportNoAudio() override { events.push_back("no audio"); }
    void TransportReady() override { events.push_back("ready"); }
    void ErrorPop(const std::string& text) override {
        events.push_back("error " + text);
        bytesPerPixelAtMessage = clock.BytesPerPixel;
    }
    void Message(const std::string& text) override {
        events.push_back("message " + text);
        bytesPerPixelAtMessage = clock.BytesPerPixel;
    }
    void SetFrequencyBar(int hz) override { events.push_back("friq " + std::to_string(hz)); }
    void SetVolumeBar(int p) override { events.push_back("volume " + std::to_string(p)); }
    void SetSongPanel(int steps) override { events.push_back("song " + std::to_string(steps)); }
    void SearchAlltrack() override { events.push_back("search"); }
    int ClearDmxChoice() override { return clearChoice; }
    void ClearAreaForNewSong() override { events.push_back("clear area"); }
    ScanDoneCallback ScanDone() override {
        return [this] { ++scansDone; };
    }

    ShowClock& clock;
    std::vector<std::string> events;
    int clearChoice = 0;
    int bytesPerPixelAtMessage = -1;
    std::atomic<int> scansDone{0};
};

class PlayerOpen : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        clock.AudioReady = 1;
        clock.PeakLeft.resize(kWaveformWidth);
        clock.PeakRight.resize(kWaveformWidth);
    }
    void TearDown() override {
        scanner.Stop();
        ReleaseShowAudio(clock, scanner);
        EngineTest::TearDown();
    }
    // The show is named by its track file; its audio is the ".mp3" beside it.
    std::string Show(const std::string& stem) {
        data->sNameFileProject = dir.file(stem + ".trk");
        return dir.file(stem + ".mp3");
    }
    OpenResult Open() { return OpenShowAudio(clock, *data, scanner, host); }

    std::unique_ptr<ShowData> data = MakeShowData();
    ShowClock clock;
    PeakScanner scanner;
    RecordingHost host{clock};
};

float Attribute(AudioHandle h, uint32_t which) {
    float v = -1.0f;
    BASS_ChannelGetAttribute(h, which, &v);
    return v;
}

TEST_F(PlayerOpen, SixtySecondsOfCdAudioGiveTheDocumentedClock) {
    WriteSilentWav(Show("minute"), 44100, 2, 60.0);
    data->TrackEditState[3] = 0;   // a stored 0 becomes 50
    data->DmxFrame[7] = 99;
    data->DmxOut[512] = 5;
    host.clearChoice = 1;

    ASSERT_EQ(Open(), OpenResult::Opened);
    EXPECT_EQ(clock.BytesPerStep, 8820);
    EXPECT_EQ(clock.SongSteps, 1200);
    EXPECT_EQ(clock.BytesPerPixel, 10584000 / 970);
    EXPECT_EQ(clock.NewStartPixel, 1);
    EXPECT_EQ(clock.NewStartStep, 1);
    EXPECT_EQ(data->TrackEditState[3], 50);
    EXPECT_EQ(data->DmxFrame[7], 0);
    EXPECT_EQ(data->DmxOut[512], 0);
    EXPECT_FLOAT_EQ(Attribute(clock.SoundChannel, BASS_ATTRIB_VOL), 0.5f);
    EXPECT_FLOAT_EQ(Attribute(clock.SoundChannel, BASS_ATTRIB_FREQ), 44100.0f);
    EXPECT_EQ(BASS_ChannelGetPosition(clock.SoundChannel, BASS_POS_BYTE), 0u);   // byte 1, frame-aligned
    const std::vector<std::string> expected = {
        "caption " + dir.file("minute.mp3"), "opening", "ready", "friq 44100", "volume 50",
        "song 1200", "search", "clear area",
    };
    EXPECT_EQ(host.events, expected);
    EXPECT_TRUE(PlayerHasAudio(clock));
}

TEST_F(PlayerOpen, A48kFilePlaysAtItsOwnRate) {
    WriteSilentWav(Show("fortyeight"), 48000, 2, 3.0);
    ASSERT_EQ(Open(), OpenResult::Opened);
    EXPECT_FLOAT_EQ(Attribute(clock.SoundChannel, BASS_ATTRIB_FREQ), 48000.0f);
    EXPECT_NE(std::find(host.events.begin(), host.events.end(), "friq 48000"), host.events.end());
    EXPECT_EQ(clock.BytesPerStep, 48000 * 4 / 20);
    EXPECT_EQ(clock.SongSteps, 60);
}

TEST_F(PlayerOpen, AFourteenMinuteSongWarnsAndGoesOn) {
    WriteSilentWav(Show("long"), 8000, 1, 14 * 60.0);
    ASSERT_EQ(Open(), OpenResult::Opened);
    EXPECT_EQ(clock.SongSteps, 16800);
    EXPECT_EQ(clock.BytesPerStep, 800);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "message > 16000"), 1);
    EXPECT_TRUE(PlayerHasAudio(clock));
    // From 13:35 on the clock stays at the last step.
    EXPECT_EQ(StepOfPosition(uint64_t{815} * 16000, clock.BytesPerStep), 16300);
    EXPECT_EQ(StepOfPosition(uint64_t{839} * 16000, clock.BytesPerStep), 16300);
}

TEST_F(PlayerOpen, ATrackerModuleUnderAnMp3NameIsAccepted) {
    WriteModule(Show("module"));
    ASSERT_EQ(Open(), OpenResult::Opened);
    EXPECT_GT(clock.SongSteps, 0);
    EXPECT_GT(clock.BytesPerPixel, 3);
    EXPECT_TRUE(BASS_MusicFree(clock.SoundChannel));   // opened as a module, not a stream
    clock.SoundChannel = 0;
}

TEST_F(PlayerOpen, AnUnplayableFileLeavesNoAudioBeforeTheMessageAndALaterOpenWorks) {
    WriteSilentWav(Show("good"), 44100, 2, 2.0);
    ASSERT_EQ(Open(), OpenResult::Opened);
    const AudioHandle old = clock.SoundChannel;
    ASSERT_TRUE(BASS_ChannelPlay(old, false));

    std::ofstream(Show("bad")) << "this is not audio at all\n";
    host.events.clear();
    EXPECT_EQ(Open(), OpenResult::Unplayable);
    EXPECT_LT(host.bytesPerPixelAtMessage, 3);
    EXPECT_LT(clock.BytesPerPixel, 3);
    EXPECT_EQ(clock.AudioReady, 1);                       // not disabled until restart
    EXPECT_EQ(BASS_ChannelIsActive(old), BASS_ACTIVE_STOPPED);   // the old music is gone
    EXPECT_FALSE(PlayerPlay(clock));
    EXPECT_FALSE(PlayerStop(clock));
    ASSERT_FALSE(host.events.empty());
    EXPECT_EQ(host.events.back(), "error Can not play file line=1020");
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "no audio"), 1);

    Show("good");
    EXPECT_EQ(Open(), OpenResult::Opened);
    EXPECT_TRUE(PlayerPlay(clock));
    EXPECT_EQ(BASS_ChannelIsActive(clock.SoundChannel), BASS_ACTIVE_PLAYING);
}

TEST_F(PlayerOpen, AMissingFileIsLoggedAndStopsTheOldMusic) {
    WriteSilentWav(Show("there"), 44100, 2, 2.0);
    ASSERT_EQ(Open(), OpenResult::Opened);
    const AudioHandle old = clock.SoundChannel;
    host.events.clear();
    Show("not-there");
    EXPECT_EQ(Open(), OpenResult::Missing);
    const std::vector<std::string> expected = {
        "no audio", "log FormSound MadePlayFile Audio_file_not_find_sNameFileProject"};
    EXPECT_EQ(host.events, expected);
    EXPECT_LT(clock.BytesPerPixel, 3);
    EXPECT_EQ(BASS_ChannelGetLength(old, BASS_POS_BYTE), kAudioBadPosition);   // freed
}

TEST_F(PlayerOpen, NothingHappensWhileTheEngineIsNotReady) {
    WriteSilentWav(Show("any"), 44100, 2, 1.0);
    clock.AudioReady = 0;
    const int before = clock.BytesPerPixel;
    EXPECT_EQ(Open(), OpenResult::NotReady);
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(clock.BytesPerPixel, before);
    EXPECT_FALSE(PlayerPlay(clock));
}

TEST_F(PlayerOpen, EachOpenReplacesTheRunningScan) {
    WriteSilentWav(Show("one"), 44100, 2, 30.0);
    ASSERT_EQ(Open(), OpenResult::Opened);
    ASSERT_EQ(Open(), OpenResult::Opened);   // the first scan is cancelled and joined here
    scanner.Stop();
    EXPECT_EQ(host.scansDone.load(), 2);
}

TEST_F(PlayerOpen, RestartMarkSeeksOnlyWhenSet) {
    WriteSilentWav(Show("mark"), 44100, 2, 60.0);
    ASSERT_EQ(Open(), OpenResult::Opened);
    clock.NewStartPixel = kNoRestartMark;
    BASS_ChannelSetPosition(clock.SoundChannel, 4000, BASS_POS_BYTE);
    EXPECT_FALSE(PlayerSeekNewStart(clock));
    EXPECT_EQ(BASS_ChannelGetPosition(clock.SoundChannel, BASS_POS_BYTE), 4000u);

    clock.NewStartPixel = 500;
    EXPECT_TRUE(PlayerSeekNewStart(clock));
    EXPECT_EQ(BASS_ChannelGetPosition(clock.SoundChannel, BASS_POS_BYTE), uint64_t{500} * clock.BytesPerPixel);
    EXPECT_TRUE(PlayerPlay(clock));
    EXPECT_EQ(BASS_ChannelIsActive(clock.SoundChannel), BASS_ACTIVE_PLAYING);
    EXPECT_TRUE(PlayerBeginSet(clock));
    EXPECT_EQ(BASS_ChannelGetPosition(clock.SoundChannel, BASS_POS_BYTE), 0u);
}

TEST_F(PlayerOpen, VolumeIsLimitedToTheBarsRange) {
    WriteSilentWav(Show("vol"), 44100, 2, 1.0);
    ASSERT_EQ(Open(), OpenResult::Opened);
    SetShowVolume(clock, 5000);
    EXPECT_FLOAT_EQ(Attribute(clock.SoundChannel, BASS_ATTRIB_VOL), 1.0f);
    SetShowVolume(clock, -3);
    EXPECT_FLOAT_EQ(Attribute(clock.SoundChannel, BASS_ATTRIB_VOL), 0.0f);
    SetShowVolume(clock, 37);
    EXPECT_NEAR(Attribute(clock.SoundChannel, BASS_ATTRIB_VOL), 0.37f, 1e-6);
}

TEST(PlayerEngine, StartAndStopFollowTheWindowsLife) {
    AudioSetOutputKind(AudioOutputKind::Manual);
    ShowClock c;
    EXPECT_EQ(StartAudioEngine(c), AudioStart::Ready);
    EXPECT_EQ(c.AudioReady, 1);
    PeakScanner scanner;
    StopAudioEngine(c, scanner);
    EXPECT_EQ(c.BytesPerPixel, kNoAudioBytesPerPixel);
    EXPECT_EQ(c.ScanAbort.load(), 1);
    EXPECT_FALSE(BASS_Free());   // already freed
    AudioSetOutputKind(AudioOutputKind::Default);
}

TEST(PlayerMessages, ABoxRaisedWhileOneIsOpenIsDropped) {
    MessageGuard guard;
    int shown = 0;
    bool innerShown = true;
    EXPECT_TRUE(guard.Show([&] {
        ++shown;
        // A timer fires inside the modal box and raises another message.
        innerShown = guard.Show([&] { ++shown; });
    }));
    EXPECT_FALSE(innerShown);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(guard.Open());
    EXPECT_TRUE(guard.Show([&] { ++shown; }));   // once closed, the next one shows
    EXPECT_EQ(shown, 2);
}

TEST(PlayerMessages, Texts) {
    EXPECT_EQ(ErrorPopText("Can not play file line=1020", 5),
              "TFormSound.ErrorPop (else)\r\nCan not play file line=1020");
    EXPECT_EQ(ErrorPopText("", 5), "TFormSound.ErrorPop (then)\r\nError code: 5");
    EXPECT_EQ(NewAudioQuestionText(),
              "After open new audio file\n\rsynhro with current tracks\n\rnot job.\n\rClear all tracks? ");
}

TEST(PlayerMessages, OnlyTheShowsOwnMusicFileIsTakenAsNewAudio) {
    EXPECT_EQ(NewAudioRefusal("/m/beats.mp3"), "");
    EXPECT_EQ(NewAudioRefusal("/m/beats.wav"), "Файл /m/beats.wav не может быть музыкой шоу: шоу /m/beats.trk "
                                               "играет только файл /m/beats.mp3. Трек-файл не записан.");
    for (const char* name : {"/m/BEATS.MP3", "/m/beats", "/m.d/beats", "/m/beats.mp3.ogg"})
        EXPECT_NE(NewAudioRefusal(name), "") << name;
}

}  // namespace
