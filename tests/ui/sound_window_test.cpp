// The sound window: its creation (pages, timers, track boxes, stored values, lists), the
// waveform selection by the mouse, the timers' re-entry guard and the show list saved at the end.
#include "playback/ui/form_sound.h"

#include "core/show_data.h"
#include "core/track_file.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/modes.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/sound_view.h"
#include "ui/program_folder_test.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Answers every box; a hook runs inside the box, as the timers do while one is open.
struct HookMessages : RecordingMessages {
    std::function<void()> inside;
    void message(const std::string& text) override {
        RecordingMessages::message(text);
        if (inside) inside();
    }
};

struct SoundWindow : test::ProgramFolderTest<HookMessages> {
    void SetUp() override {
        setenv("SPIRELO_AUDIO", "null", 1);
        ProgramFolderTest::SetUp();
        ShowData& d = ShowDataInstance();
        ShowFilesInFolder(d);
        d.ProgramFlags[1] = 0;
        ShowTickStateInstance().FirstTickFlag = 1;
        ModeStateInstance().AudioFirstOpen = 1;
    }
    void TearDown() override {
        delete FormSound;
        FormSound = nullptr;
        ProgramFolderTest::TearDown();
    }
    void create() {
        FormSound = new TFormSound();
        FormSound->FormCreate();
    }
};

TEST_F(SoundWindow, CreationBuildsThePagesTimersAndTrackBoxes) {
    ShowData& d = ShowDataInstance();
    d.TrackEditState[4] = 4;
    d.TrackEditState[5] = 6;
    d.ScheduleMode[3] = 2;
    d.ScheduleHour[3] = 7;
    d.ScheduleMinute[3] = 5;
    std::ofstream(dir / "music.msc");            // empty list files do not cut creation short
    std::ofstream(dir / "list.shw");
    create();
    TFormSound* w = FormSound;
    ASSERT_EQ(w->PageControl->count(), 7);
    const char* captions[] = {"BPM", "Tracks", "Keyboard", "Play List", "Effects", "Option", "Schedule"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(w->PageControl->tabText(i), captions[i]);
    EXPECT_EQ(w->PageControl->currentIndex(), 4);
    EXPECT_EQ(w->ScrollBarTrackNombRecs->value(), 6);
    EXPECT_EQ(w->TimerRepaint->interval(), 10);
    EXPECT_EQ(w->TimerWindow->interval(), 500);
    EXPECT_EQ(w->TimerGistoRate->interval(), 224);
    EXPECT_TRUE(w->TimerRepaint->isActive());
    EXPECT_TRUE(w->TimerWindow->isActive());
    EXPECT_TRUE(w->TimerGistoRate->isActive());
    EXPECT_EQ(w->PaintBoxGraficWave->size(), QSize(970, 115));
    // the schedule page got its values although both list files are empty
    EXPECT_EQ(w->ComboBoxMode[3]->currentIndex(), 2);
    EXPECT_EQ(w->lbltime[3]->text(), "07:05");

    int boxes = 0;
    for (QCheckBox* b : w->PageControl->widget(1)->findChildren<QCheckBox*>())
        if (b->property("Tag").isValid()) {
            ++boxes;
            EXPECT_TRUE(b->isChecked());
        }
    EXPECT_EQ(boxes, 32);
    for (int t = 1; t <= kTracks; ++t) EXPECT_EQ(ShowTickStateInstance().TrackOn[t], 1);
    // a click on box 9 (second column, first row) switches track 9 off
    QCheckBox* nine = nullptr;
    for (QCheckBox* b : w->PageControl->widget(1)->findChildren<QCheckBox*>())
        if (b->property("Tag").toInt() == 9) nine = b;
    ASSERT_NE(nine, nullptr);
    nine->click();
    EXPECT_EQ(ShowTickStateInstance().TrackOn[9], 0);
    nine->click();
}

TEST_F(SoundWindow, WaveformSelectionByTheMouse) {
    create();
    TFormSound* w = FormSound;
    ShowClock& clk = ShowClockInstance();
    clk.BytesPerStep = 8820;
    clk.BytesPerPixel = 10911;
    clk.SelectionStartPixel = clk.SelectionEndPixel = 0;
    SoundPaintBox* wave = w->PaintBoxGraficWave;
    wave->setEnabled(true);
    w->show();
    QTest::mousePress(wave, Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
    QTest::mouseMove(wave, QPoint(250, 60));
    QTest::mouseMove(wave, QPoint(400, 60));
    QTest::mouseRelease(wave, Qt::LeftButton, Qt::NoModifier, QPoint(400, 60));
    EXPECT_EQ(clk.SelectionStartPixel, 100);
    EXPECT_EQ(clk.SelectionEndPixel, 400);
    EXPECT_EQ(clk.SelectionEndStep, 400 * 10911 / 8820);
    EXPECT_FALSE(w->SpeedButtonEffectRecord->isHidden());
    EXPECT_TRUE(w->SpeedButtonDelTrackSelect->isEnabled());
    EXPECT_EQ(ShowDataInstance().ScanProgress, 1);   // the band is drawn at the next tick

    QTest::mousePress(wave, Qt::RightButton, Qt::NoModifier, QPoint(300, 60));
    EXPECT_EQ(clk.NewStartPixel, 300);
    EXPECT_EQ(clk.SelectionEndPixel, 0);
    EXPECT_TRUE(w->SpeedButtonEffectRecord->isHidden());
    EXPECT_FALSE(w->LabelSpace->isHidden());   // on the Keyboard page

    // the envelope with the selection band and the restart mark reach the box
    clk.SelectionStartPixel = 100;
    clk.SelectionEndPixel = 400;
    ShowDataInstance().ScanProgress = 1;
    clk.PeakLeft.fill(0);
    clk.PeakRight.fill(0);
    w->DrawWaveEnvelopes();
    w->DrawWaveForm();
    const QImage img = wave->Bitmap.toImage();
    EXPECT_EQ(img.pixelColor(200, 5), QColor(0x80, 0, 0x80));   // selection band (purple)
    EXPECT_EQ(img.pixelColor(50, 112), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(300, 50), QColor(255, 0, 255));      // restart mark
}

TEST_F(SoundWindow, TimersWaitWhileAMessageOfOneOfThemIsOpen) {
    // The start-up show's audio is not playable: the mode timer's first open raises a box.
    std::ofstream(dir / "show.mp3") << "not audio at all";
    create();
    TFormSound* w = FormSound;
    w->TimerRepaint->stop();
    ShowTickStateInstance().FirstTickFlag = 1;
    int inside = 0;
    messages->inside = [&] {
        ++inside;
        w->TimerRepaintTimer();       // would run the first tick's start action
        w->TimerGistoRateTimer();
    };
    w->TimerWindowTimer();
    ASSERT_GE(inside, 1);
    EXPECT_EQ(ShowTickStateInstance().FirstTickFlag, 1);
    EXPECT_EQ(ShowClockInstance().BytesPerPixel < 3 || ShowClockInstance().AudioReady == 0 ||
                  ShowClockInstance().SoundChannel == 0,
              true);
    messages->inside = nullptr;
    w->TimerRepaintTimer();           // afterwards the tick runs again
    EXPECT_EQ(ShowTickStateInstance().FirstTickFlag, 0);
}

TEST_F(SoundWindow, TheShowListIsSavedWhenTheProgramEnds) {
    create();
    FormSound->ListBoxShow->addItems({"/shows/a.trk", "/shows/b.trk"});
    delete FormSound;                 // program end, never closed by hand
    FormSound = nullptr;
    EXPECT_EQ(ReadText(dir / "Spirelo.shw").empty() ? ReadText(dir / "list.shw") : ReadText(dir / "Spirelo.shw"),
              "/shows/a.trk\r\n/shows/b.trk\r\n");
}

// A list that cannot be saved at the end is told like any failed save, not only logged.
TEST_F(SoundWindow, AFailedShowListSaveAtTheEndIsShown) {
    std::ofstream(dir / "list.shw") << "/shows/old.trk\r\n";
    fs::permissions(dir / "list.shw", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    create();
    FormSound->ListBoxShow->clear();
    FormSound->ListBoxShow->addItems({"/shows/a.trk"});
    messages->log.clear();
    delete FormSound;
    FormSound = nullptr;
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].kind, MessageKind::Error);
    EXPECT_NE(messages->log[0].text.find((dir / "list.shw").string()), std::string::npos) << messages->log[0].text;
    EXPECT_EQ(ReadText(dir / "list.shw"), "/shows/old.trk\r\n");
}

// A WAV file of `seconds` of a quiet tone, 44.1 kHz 16-bit stereo.
void WriteWav(const fs::path& path, int seconds) {
    const uint32_t frames = 44100u * uint32_t(seconds), bytes = frames * 4;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4); u32(36 + bytes); out.write("WAVEfmt ", 8); u32(16); u16(1); u16(2);
    u32(44100); u32(44100 * 4); u16(4); u16(16); out.write("data", 4); u32(bytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t v = int16_t((i % 200) * 20 - 2000);
        out.write(reinterpret_cast<const char*>(&v), 2);
        out.write(reinterpret_cast<const char*>(&v), 2);
    }
}

TEST_F(SoundWindow, TheMusicDrivesTheTracksIntoTheFrame) {
    ShowData& d = ShowDataInstance();
    WriteWav(dir / "show.mp3", 4);
    ResetTrackData(d);
    ResetShowData(d);
    d.sNameFileProject = (dir / "show.trk").string();
    d.ShowListFileName = (dir / "list.shw").string();
    d.MusicListFileName = (dir / "music.msc").string();
    d.ProgramOptions[10] = 1;                  // start: DANCE with the last show
    d.TrackEditState[3] = 50;
    for (int ch = 0; ch < 4; ++ch) {
        d.SequencerChannelMask[3][ch] = 1;
        d.SequencerStepData[3][10][ch] = 200;
    }
    for (int step = 0; step <= 80; ++step) {
        d.TrackSeq[0][step] = 3;
        d.TrackScene[0][step] = 10;
        d.TrackLevel[0][step] = 255;
        d.TrackCommand[0][step] = kCmdSetScene;
    }
    ShowClockInstance().SoundChannel = 0;
    create();
    // The audio opens at 500 ms and plays from about 1 s, later on a loaded machine.
    const ShowClock& clk = ShowClockInstance();
    EXPECT_TRUE(QTest::qWaitFor([&] { return clk.SoundChannel != 0 && clk.CurStep > 2; }, 30000));
    EXPECT_EQ(clk.BytesPerStep, 8820);
    EXPECT_EQ(clk.SongSteps, 80);
    EXPECT_GT(clk.CurStep, 2);
    EXPECT_LT(clk.CurStep, 40);
    EXPECT_EQ(d.AquelMode, 4);
    EXPECT_EQ(d.DmxFrame[1], 200);
    EXPECT_EQ(d.DmxFrame[4], 200);
    EXPECT_EQ(d.DmxFrame[5], 0);
    EXPECT_EQ(d.SequencerRunState[3], kRunStop);
    EXPECT_EQ(FormSound->lblmodeAquel->text(), "DANCE MODE");
    delete FormSound;
    FormSound = nullptr;
    ResetShowData(d);
}

TEST_F(SoundWindow, TheShowListStartOpensTheFirstShowOnlyOnce) {
    ShowData& d = ShowDataInstance();
    WriteWav(dir / "first.mp3", 4);
    WriteWav(dir / "show.mp3", 4);               // the start-up show: must not replace the list's
    std::ofstream(dir / "list.shw") << (dir / "first.trk").string() << "\r\n";
    ResetShowData(d);
    d.sNameFileProject = (dir / "first.trk").string();
    ASSERT_TRUE(SaveTrackFile(d));                // only a show that was read replaces the running one
    d.sNameFileProject = (dir / "show.trk").string();
    d.ShowListFileName = (dir / "list.shw").string();
    d.MusicListFileName = (dir / "music.msc").string();
    d.ProgramOptions[10] = 2;                    // "Play PlayList begin"
    ShowClockInstance().SoundChannel = 0;
    ShowClockInstance().CurStep = 0;
    create();
    int modeTicks = 0;
    QObject::connect(FormSound->TimerWindow, &QTimer::timeout, FormSound, [&] { ++modeTicks; });
    const ShowClock& clk = ShowClockInstance();
    // The first show tick opens the list's show.
    ASSERT_TRUE(QTest::qWaitFor([&] { return clk.SoundChannel != 0; }, 30000));
    const uint32_t channel = clk.SoundChannel;
    EXPECT_EQ(d.sNameFileProject, (dir / "first.trk").string());
    // Two mode-timer ticks later, and the music well under way, it was neither opened again
    // nor restarted (the first steps may settle back by one as the music starts).
    bool restarted = false;
    int64_t lastStep = clk.CurStep;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        restarted = restarted || clk.CurStep + 2 < lastStep;
        lastStep = clk.CurStep;
        return modeTicks >= 2 && clk.CurStep > 15;
    }, 30000));
    EXPECT_EQ(clk.SoundChannel, channel);
    EXPECT_FALSE(restarted);
    EXPECT_EQ(d.sNameFileProject, (dir / "first.trk").string());
    delete FormSound;
    FormSound = nullptr;
    ResetShowData(d);
}

TEST_F(SoundWindow, ScreenshotsOfEachPage) {
    ShowClock& clk = ShowClockInstance();
    create();
    TFormSound* w = FormSound;
    w->TimerRepaint->stop();
    w->TimerWindow->stop();
    w->TimerGistoRate->stop();
    // A made-up envelope so the waveform shows something.
    clk.BytesPerStep = 8820;
    clk.BytesPerPixel = 10911;
    for (int x = 0; x < kWaveformWidth; ++x) {
        clk.PeakLeft.store(size_t(x), uint16_t((x * 97) % 30000));
        clk.PeakRight.store(size_t(x), uint16_t((x * 53) % 26000));
    }
    clk.SelectionStartPixel = 200;
    clk.SelectionEndPixel = 330;
    ShowDataInstance().ScanProgress = 1;
    ShowDataInstance().EffectKind[3] = 2;
    ShowDataInstance().EffectStart[3] = 100;
    ShowDataInstance().EffectFinish[3] = 600;
    w->show();
    const char* env = std::getenv("SPIRELO_SHOTS");
    for (int page = 0; page < 7; ++page) {
        w->PageControl->setCurrentIndex(page);
        w->DrawWaveEnvelopes();
        ShowDataInstance().ScanProgress = 1;
        w->DrawWaveForm();
        if (page == 4) w->DrawEffectView();
        const QPixmap shot = w->grab();
        EXPECT_EQ(shot.size(), w->size());
        if (env) shot.save(QString("%1/sound_page_%2.png").arg(env).arg(page));
    }
    clk.SelectionStartPixel = clk.SelectionEndPixel = 0;
}

}  // namespace
