// The sound window's music player: opening a show's audio through the window, the bars and
// transport it drives, the no-audio state and the message guard.
#include "playback/ui/form_sound.h"

#include "core/show_data.h"
#include "common/ui/file_dialogs.h"
#include "core/ui/form_maim.h"
#include "platform/audio.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/modes.h"
#include "playback/peak_scan.h"
#include "playback/player_fixtures.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/spectrum.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

// Answers every box; a hook runs inside a box, as the timers do while one is open.
struct HookMessages : RecordingMessages {
    std::function<void()> inside;
    void message(const std::string& text) override {
        RecordingMessages::message(text);
        if (inside) {
            auto hook = std::move(inside);
            inside = nullptr;
            hook();
        }
    }
};

struct PlayerWindow : ::testing::Test {
    spirelo::testing::TempDir dir;
    std::shared_ptr<HookMessages> messages = std::make_shared<HookMessages>();

    void SetUp() override {
        setenv("SPIRELO_AUDIO", "null", 1);
        std::ofstream(dir.file("Spirelo")) << "program";
        OverrideProgramFile(dir.file("Spirelo"));
        InstallMessageService(messages);
        ShowData& d = ShowDataInstance();
        d.sNameFileProject = dir.file("show.trk");
        d.ShowListFileName = dir.file("list.shw");
        d.MusicListFileName = dir.file("music.msc");
        d.ProgramFlags[1] = 0;
        d.TrackEditState[3] = 40;
        ShowTickStateInstance().FirstTickFlag = 1;
        ModeStateInstance().AudioFirstOpen = 0;   // the test opens the audio itself
        FormMaim = new TFormMaim();
        FormSound = new TFormSound();
        FormSound->FormCreate();
    }
    void TearDown() override {
        delete FormSound;
        FormSound = nullptr;
        delete FormMaim;
        FormMaim = nullptr;
        InstallMessageService(nullptr);
        OverrideProgramFile("");
    }
    // Runs the event loop, sleeping between events, until pred holds or 60 s pass: the peak
    // scan runs at idle priority and gets little CPU while a parallel run keeps every core busy.
    static bool WaitFor(const std::function<bool()>& pred) { return QTest::qWaitFor(pred, 60000); }
};

TEST_F(PlayerWindow, OpeningTheShowsAudioSetsBarsPanelsAndTransport) {
    spirelo::testing::WriteSilentWav(dir.file("show.mp3"), 48000, 2, 2.0);
    ShowDataInstance().ScanProgress = 0;
    FormSound->MadePlayFile();

    ShowClock& c = ShowClockInstance();
    EXPECT_EQ(FormSound->windowTitle(), QString::fromStdString("Sound File: " + dir.file("show.mp3")));
    EXPECT_EQ(c.SongSteps, 40);
    EXPECT_EQ(FormSound->ScrollBarFriquence->value(), 48000);
    EXPECT_EQ(FormSound->LabelFriq->text(), "Friq 48000 Hz");
    EXPECT_EQ(FormSound->ScrollBarVolume->value(), 40);
    EXPECT_EQ(FormSound->LabelVolume->text(), "Volume 40 %");
    EXPECT_EQ(FormMaim->StatusBarMain->panelText(3), "bits Song: 40");
    EXPECT_TRUE(FormMaim->SpeedButtonbegin->isEnabled());
    EXPECT_TRUE(FormMaim->SpeedButtonModePause->isEnabled());
    EXPECT_TRUE(FormMaim->sbNewStart->isEnabled());
    EXPECT_TRUE(messages->log.empty());
    // The scan's end reaches the GUI thread: it sets 100, from which the repaint timer counts
    // down (nothing else sets more than 1), so a loaded run may already see 99 or less.
    EXPECT_TRUE(WaitFor([] { return ShowDataInstance().ScanProgress > 1; }));
    ASSERT_NE(PeakScannerInstance().Current(), nullptr);
    EXPECT_TRUE(PeakScannerInstance().Current()->Finished());

    // Play presses DANCE, stop presses the pause button; both act on the channel.
    FormMaim->SpeedButtonModeMusic->setChecked(true);
    FormSound->SoundPlay();
    EXPECT_TRUE(FormMaim->SpeedButtonModeDance->isChecked());
    EXPECT_EQ(BASS_ChannelIsActive(c.SoundChannel), BASS_ACTIVE_PLAYING);
    FormSound->SoundStop();
    EXPECT_TRUE(FormMaim->SpeedButtonModePause->isChecked());
    EXPECT_EQ(BASS_ChannelIsActive(c.SoundChannel), BASS_ACTIVE_STOPPED);
}

TEST_F(PlayerWindow, TheVolumeBarsScrollStoresTheShowVolume) {
    spirelo::testing::WriteSilentWav(dir.file("show.mp3"), 44100, 2, 1.0);
    FormSound->MadePlayFile();
    FormSound->ScrollBarVolume->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(ShowDataInstance().TrackEditState[3], 50);
    EXPECT_EQ(FormSound->LabelVolume->text(), "Volume 50 %");
    float v = -1;
    BASS_ChannelGetAttribute(ShowClockInstance().SoundChannel, BASS_ATTRIB_VOL, &v);
    EXPECT_FLOAT_EQ(v, 0.5f);
}

TEST_F(PlayerWindow, AnUnplayableFileShowsOneBoxWithNoAudioAlreadySet) {
    std::ofstream(dir.file("show.mp3")) << "not audio";
    int bytesPerPixelInBox = -1;
    messages->inside = [&] {
        bytesPerPixelInBox = ShowClockInstance().BytesPerPixel;
        // A timer path raises another message while the box is open: it is not stacked.
        FormSound->ErrorPop("again");
    };
    FormSound->MadePlayFile();
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].text, "TFormSound.ErrorPop (else)\r\nCan not play file line=1020");
    EXPECT_LT(bytesPerPixelInBox, 3);
    EXPECT_FALSE(FormMaim->SpeedButtonbegin->isEnabled());
    EXPECT_TRUE(FormMaim->SpeedButtonModePause->isEnabled());   // STOP and DINAM need no music

    // Without audio the player's commands do nothing, not even the main window's buttons.
    FormMaim->SpeedButtonModeMusic->setChecked(true);
    FormSound->SoundPlay();
    EXPECT_TRUE(FormMaim->SpeedButtonModeMusic->isChecked());

    // A later good file opens as usual.
    fs::remove(dir.file("show.mp3"));
    spirelo::testing::WriteSilentWav(dir.file("show.mp3"), 44100, 2, 1.0);
    FormSound->MadePlayFile();
    EXPECT_TRUE(PlayerHasAudio(ShowClockInstance()));
    EXPECT_TRUE(FormMaim->SpeedButtonbegin->isEnabled());
}

TEST_F(PlayerWindow, NewAudioForTheShowRenamesTheTrackFileAndAsksToClear) {
    spirelo::testing::WriteSilentWav(dir.file("song.mp3"), 44100, 2, 3.0);
    ShowData& d = ShowDataInstance();
    d.TrackLevel[2][10] = 77;
    messages->answers = {Answer::Yes};
    FormSound->NewAudioForShow(QString::fromStdString(dir.file("song.mp3")));
    EXPECT_EQ(d.sNameFileProject, dir.file("song.trk"));
    EXPECT_EQ(d.TrackEditState[3], 50);
    EXPECT_EQ(d.TrackLevel[2][10], 0);   // Yes cleared the tracks
    ASSERT_FALSE(messages->log.empty());
    EXPECT_EQ(messages->log[0].kind, MessageKind::Question);
    EXPECT_TRUE(fs::exists(dir.file("song.trk")));
    EXPECT_EQ(FormMaim->StatusBarMain->panelText(2), "Leng: 0:03:00");
    EXPECT_EQ(FormMaim->windowTitle(), QString::fromStdString("File track: " + dir.file("song.trk")));
}

TEST_F(PlayerWindow, NewAudioTheShowCannotPairIsRefusedAndWritesNothing) {
    spirelo::testing::WriteSilentWav(dir.file("beats.wav"), 44100, 2, 1.0);
    const fs::path folder = fs::path(dir.file("beats.wav")).parent_path();
    auto count = [&] { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); };
    const auto files = count();
    FileDialog::SetAnswerer([&](const FileDialog&) -> std::optional<QString> {
        return QString::fromStdString(dir.file("beats.wav"));
    });
    FormSound->SpeedButtonMp3Click();
    FileDialog::SetAnswerer(nullptr);
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].kind, MessageKind::Error);
    EXPECT_NE(messages->log[0].text.find(dir.file("beats.wav")), std::string::npos) << "the message names the file";
    EXPECT_EQ(ShowDataInstance().sNameFileProject, dir.file("show.trk")) << "the show stays what it was";
    EXPECT_FALSE(fs::exists(dir.file("beats.trk")));
    EXPECT_EQ(count(), files) << "no file written";
}

// The player panel and the BPM page while a tone plays (SPIRELO_SHOTS=<folder> keeps the pictures).
TEST_F(PlayerWindow, SpectrumPageWhileAToneChordPlays) {
    spirelo::testing::WriteWav(dir.file("show.mp3"), 44100, 2, 3.0, [](int64_t f, int) {
        const double t = double(f) / 44100.0;
        return 0.3 * std::sin(2 * M_PI * 689.0 * t) + 0.2 * std::sin(2 * M_PI * 3100.0 * t);
    });
    FormSound->TimerRepaint->stop();
    FormSound->TimerWindow->stop();
    FormSound->TimerGistoRate->stop();
    FormSound->MadePlayFile();
    FormSound->PageControl->setCurrentIndex(0);
    FormSound->show();
    FormSound->SoundPlay();
    const SpectrumState& s = SpectrumInstance();
    // 689 Hz is bin 4, 3100 Hz bin 18. The tone reaches the analysis once the output has
    // started, later on a loaded machine; by then the bands' automatic gain may have raised a far
    // band's leakage to a few points, so the tone's bands stand well above it rather than it at 0.
    const auto toneStandsOut = [&] {
        return s.SpectrumPeak[4] > 4 * s.SpectrumPeak[40] && s.SpectrumPeak[18] > 4 * s.SpectrumPeak[40];
    };
    EXPECT_TRUE(QTest::qWaitFor([&] {
        FormSound->CalculateFFT();
        return toneStandsOut();
    }, 10000)) << "bins 4, 18, 40: " << s.SpectrumPeak[4] << ", " << s.SpectrumPeak[18] << ", " << s.SpectrumPeak[40];
    const QPixmap shot = FormSound->grab();
    if (const char* env = std::getenv("SPIRELO_SHOTS")) shot.save(QString("%1/player_bpm.png").arg(env));
    FormSound->SoundStop();
}

}  // namespace
