// The sound window's show list, music list, Option page and Schedule page: editing, starting
// shows and music, the music gain, the saves and autosave, the schedule and its mode timer.
#include "playback/ui/form_sound.h"

#include "common/file_io.h"
#include "common/ui/file_dialogs.h"
#include "core/seq_file.h"
#include "core/show_data.h"
#include "core/track_file.h"
#include "core/ui/form_maim.h"
#include "platform/audio.h"
#include "platform/media_player.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/modes.h"
#include "playback/play_lists.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "sequencer/ui/form_sequenser.h"
#include "ui/program_folder_test.h"

#include <QSignalBlocker>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

// A WAV file of `seconds` of a quiet tone, 44.1 kHz 16-bit stereo.
void WriteWav(const fs::path& path, int seconds) {
    const uint32_t frames = 44100u * uint32_t(seconds), bytes = frames * 4;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4); u32(36 + bytes); out.write("WAVEfmt ", 8); u32(16); u16(1); u16(2);
    u32(44100); u32(44100 * 4); u16(4); u16(16); out.write("data", 4); u32(bytes);
    std::vector<int16_t> samples(size_t(frames) * 2);
    for (uint32_t i = 0; i < frames; ++i) samples[2 * i] = samples[2 * i + 1] = int16_t((i % 200) * 20 - 2000);
    out.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(samples.size() * 2));
}

struct SoundPages : test::ProgramFolderTest<> {
    std::deque<QString> answers;   // given to the file dialogs in order; an empty one cancels

    void SetUp() override {
        setenv("SPIRELO_AUDIO", "null", 1);
        ProgramFolderTest::SetUp();
        ShowData& d = ShowDataInstance();
        ResetShowData(d);
        ResetTrackData(d);
        ShowFilesInFolder(d);
        d.sNameFileSeq = (dir / "show.seq").string();
        d.ProgramOptions[10] = 0;   // nothing at the first show tick
        d.AquelMode = kModeDance;
        d.MusicStartRequest = 1;
        ShowTickStateInstance().FirstTickFlag = 1;
        ModeStateInstance() = ModeState{};
        ShowClockInstance().SoundChannel = 0;
        SetWaveOutGain(1234, 1234);
        FileDialog::SetAnswerer([this](const FileDialog&) -> std::optional<QString> {
            if (answers.empty()) return std::nullopt;
            const QString a = answers.front();
            answers.pop_front();
            if (a.isEmpty()) return std::nullopt;
            return a;
        });
    }
    void TearDown() override {
        delete FormSound;
        FormSound = nullptr;
        delete FormSequenser;
        FormSequenser = nullptr;
        FileDialog::SetAnswerer(nullptr);
        ResetShowData(ShowDataInstance());
        ProgramFolderTest::TearDown();
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    // Creates the window with its timers stopped, so each test drives them.
    TFormSound* create(std::function<LocalTime()> clock = {}) {
        FormSound = new TFormSound();
        if (clock) FormSound->SetLocalClock(std::move(clock));
        FormSound->FormCreate();
        for (QTimer* t : {FormSound->TimerRepaint, FormSound->TimerWindow, FormSound->TimerGistoRate}) t->stop();
        return FormSound;
    }
    // A show: a track file whose first track name tells it apart, and its music.
    void makeShow(const std::string& stem, int seconds = 3) {
        ShowData& d = ShowDataInstance();
        const std::string keep = d.sNameFileProject;
        d.sNameFileProject = P(stem + ".trk");
        d.TrackEditState[3] = 40 + int(stem.size());
        ASSERT_TRUE(SaveTrackFile(d));
        d.sNameFileProject = keep;
        WriteWav(dir / (stem + ".mp3"), seconds);
    }
    static void click(QListWidget* box, int row, bool twice = false) {
        const QPoint at = box->visualItemRect(box->item(row)).center();
        if (twice) QTest::mouseDClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        else QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
};

TEST_F(SoundPages, AMissingShowEntryIsSelectedAndKeepsTheRunningShow) {
    makeShow("a");
    ShowData& d = ShowDataInstance();
    d.sNameFileProject = P("a.trk");
    TFormSound* w = create();
    w->ListBoxShow->addItems({QString::fromStdString(P("a.trk")), QString::fromStdString(P("gone.trk"))});
    d.ProgramOptions[24] = 0;
    w->PlayListBoxCurrent();
    const uint32_t channel = ShowClockInstance().SoundChannel;
    ASSERT_NE(channel, 0u);
    const QString caption = FormMaim ? FormMaim->windowTitle() : QString();

    d.ProgramOptions[24] = 1;
    w->PlayListBoxCurrent();
    EXPECT_EQ(w->ListBoxShow->currentRow(), 1);
    EXPECT_TRUE(w->ListBoxShow->item(1)->isSelected());
    EXPECT_EQ(d.sNameFileProject, P("a.trk"));
    EXPECT_EQ(ShowClockInstance().SoundChannel, channel);
    if (FormMaim) {
        EXPECT_EQ(FormMaim->windowTitle(), caption);
    }
    EXPECT_TRUE(messages->log.empty());
}

TEST_F(SoundPages, ClickModesStartShowsAndTheListIsEdited) {
    makeShow("a");
    makeShow("bb");
    makeShow("ccc");
    ShowData& d = ShowDataInstance();
    d.ProgramOptions[11] = 0;   // one click
    TFormSound* w = create();
    w->show();
    w->PageControl->setCurrentIndex(3);
    // add three shows in one dialog, in its order
    answers.push_back(QString::fromStdString(P("a.trk") + "\n" + P("bb.trk") + "\n" + P("ccc.trk")));
    w->SpeedButtonAddList->click();
    ASSERT_EQ(w->ListBoxShow->count(), 3);
    EXPECT_EQ(w->lblmaxFileShow->text(), "3");
    EXPECT_EQ(w->ListBoxShow->item(2)->text().toStdString(), P("ccc.trk"));

    d.AquelMode = kModeStop;
    click(w->ListBoxShow, 1);
    EXPECT_EQ(d.sNameFileProject, P("bb.trk"));
    EXPECT_EQ(d.ProgramOptions[24], 1);
    EXPECT_EQ(d.AquelMode, kModeStop);          // one click leaves the mode

    w->RadioButtonClickMode->setItemIndex(1);
    w->RadioButtonClickModeClick();
    EXPECT_EQ(d.ProgramOptions[11], 1);
    click(w->ListBoxShow, 2);
    EXPECT_EQ(d.sNameFileProject, P("bb.trk"));  // a single click no longer starts
    click(w->ListBoxShow, 2, true);
    EXPECT_EQ(d.sNameFileProject, P("ccc.trk"));
    EXPECT_EQ(d.AquelMode, kModeDance);

    // next wraps, previous stops at the first
    w->SpeedButtonFollow->click();
    EXPECT_EQ(d.ProgramOptions[24], 0);
    w->SpeedButtonPrev->click();
    EXPECT_EQ(d.ProgramOptions[24], 0);
    EXPECT_EQ(d.sNameFileProject, P("a.trk"));

    // drag the last to the top: accepted only from the list itself with a current entry
    w->ListBoxShow->setCurrentRow(2);
    const QRect top = w->ListBoxShow->visualItemRect(w->ListBoxShow->item(0));
    EXPECT_FALSE(w->ListBoxShowDragOver(w, top.x() + 5, top.top()));
    EXPECT_TRUE(w->ListBoxShowDragOver(w->ListBoxShow, top.x() + 5, top.top()));
    EXPECT_EQ(w->ListBoxShow->DropMark(), 0);
    w->ListBoxShowDragDrop(top.x() + 5, top.top());
    EXPECT_EQ(w->ListBoxShow->item(0)->text().toStdString(), P("ccc.trk"));
    EXPECT_EQ(w->ListBoxShow->item(1)->text().toStdString(), P("a.trk"));
    EXPECT_EQ(w->ListBoxShow->currentRow(), 0);

    // save and load the list; clearing asks, then shows "NO" with index 0
    answers.push_back(QString::fromStdString(P("mine.shw")));
    w->SpeedButtonSaveList->click();
    EXPECT_EQ(d.ShowListFileName, P("mine.shw"));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(P("mine.shw"), text));
    EXPECT_EQ(text, P("ccc.trk") + "\r\n" + P("a.trk") + "\r\n" + P("bb.trk") + "\r\n");
    messages->answers = {Answer::Yes};
    d.ProgramOptions[24] = 2;
    w->SpeedButtonListClear->click();
    EXPECT_EQ(w->ListBoxShow->count(), 0);
    EXPECT_EQ(w->lblmaxFileShow->text(), "NO");
    EXPECT_EQ(d.ProgramOptions[24], 0);
    answers.push_back(QString::fromStdString(P("mine.shw")));
    w->SpeedButtonLoadList->click();
    EXPECT_EQ(w->ListBoxShow->count(), 3);
}

// "Play List ALL Repeat": a track name typed during a song and not saved goes to a copy beside
// the show when the song ends, the show's file untouched and nothing asked; when the list comes
// back to that show it is loaded from its file, and the notice names the newer copy.
TEST_F(SoundPages, ChangesNotSavedAreKeptWhenTheListMovesOnAtASongsEnd) {
    makeShow("a");
    makeShow("bb");
    ShowData& d = ShowDataInstance();
    d.ProgramOptions[3] = 2;
    TFormSound* w = create();
    w->RadioGroupCoda->setItemIndex(2);
    w->ListBoxShow->addItems({QString::fromStdString(P("a.trk")), QString::fromStdString(P("bb.trk"))});
    d.ProgramOptions[24] = 0;
    w->PlayListBoxCurrent();
    ASSERT_EQ(d.sNameFileProject, P("a.trk"));
    // The show was saved a while ago; the copy written at the song's end is newer.
    fs::last_write_time(P("a.trk"), fs::file_time_type::clock::now() - std::chrono::minutes(1));
    std::vector<uint8_t> before, after, copy;
    ASSERT_TRUE(ReadWholeFile(P("a.trk"), before));
    const QString nameBefore = w->edtNameTrack->text();
    const int rec = d.TrackEditState[5];
    ShowTickStateInstance().FirstTickFlag = 0;
    auto songEnds = [&] {
        ShowClock& clk = ShowClockInstance();
        ASSERT_NE(clk.SoundChannel, 0u);
        ASSERT_GT(clk.SongSteps, 10);
        BASS_ChannelSetPosition(clk.SoundChannel, uint64_t(clk.SongSteps - 5) * uint64_t(clk.BytesPerStep),
                                BASS_POS_BYTE);
        w->TimerRepaintTimer();
    };

    w->edtNameTrack->setText("Evening");
    songEnds();
    EXPECT_EQ(d.sNameFileProject, P("bb.trk"));
    ASSERT_TRUE(ReadWholeFile(P("a.trk"), after));
    EXPECT_EQ(after, before) << "the show's own file is not written";
    ASSERT_TRUE(ReadWholeFile(P("a.trk.unsaved"), copy));
    ASSERT_EQ(copy.size(), kTrackFileSize);
    EXPECT_EQ(std::string(copy.begin() + 16 * rec, copy.begin() + 16 * rec + 7), "Evening");
    EXPECT_EQ(w->StatusBar->panelText(5).toStdString(), "Unsaved changes kept in " + P("a.trk.unsaved"));
    EXPECT_TRUE(messages->log.empty()) << "the show goes on without a question";

    // The second show had no change: no copy of it, and the list comes back to the first.
    songEnds();
    EXPECT_EQ(d.sNameFileProject, P("a.trk"));
    EXPECT_FALSE(FileExists(P("bb.trk.unsaved")));
    EXPECT_EQ(w->edtNameTrack->text(), nameBefore) << "loaded from its file";
    EXPECT_EQ(w->StatusBar->panelText(5).toStdString(), "Newer unsaved copy: " + P("a.trk.unsaved"));
    EXPECT_TRUE(messages->log.empty());
}

// A chosen file whose name holds a line end would split into two entries when the list is read
// back: both lists leave it out, say so once, and add the rest in the dialog's order.
TEST_F(SoundPages, AFileNameHoldingALineEndIsNotAddedToAList) {
    TFormSound* w = create();
    const std::string bad = P("two\rlines.trk");
    struct Case { QToolButton* add; QListWidget* box; QLabel* count; };
    const Case cases[] = {{w->SpeedButtonAddList, w->ListBoxShow, w->lblmaxFileShow},
                          {w->SpeedButtonAddMusic, w->ListBoxMusic, w->lblmaxFileMusic}};
    for (const Case& c : cases) {
        c.box->clear();
        messages->log.clear();
        answers.push_back(QString::fromStdString(P("a.trk") + "\n" + bad + "\n" + P("b.trk")));
        c.add->click();
        ASSERT_EQ(c.box->count(), 2);
        EXPECT_EQ(c.box->item(0)->text().toStdString(), P("a.trk"));
        EXPECT_EQ(c.box->item(1)->text().toStdString(), P("b.trk"));
        EXPECT_EQ(c.count->text(), "2");
        ASSERT_EQ(messages->log.size(), 1u);
        EXPECT_EQ(messages->log[0].kind, MessageKind::Warning);
        EXPECT_EQ(messages->log[0].text, PathsNotAddedText({bad}));
    }
}

TEST_F(SoundPages, MusicListPlaysInMusicOnly) {
    WriteWav(dir / "m0.wav", 3);
    WriteWav(dir / "m1.wav", 3);
    WriteWav(dir / "m2.wav", 3);
    ShowData& d = ShowDataInstance();
    std::ofstream(dir / "music.msc") << P("m0.wav") << "\r\n" << P("m1.wav") << "\r\n" << P("m2.wav") << "\r\n"
                                     << P("gone.wav") << "\r\n";
    d.ProgramOptions[30] = 0;
    TFormSound* w = create();
    // creation moved to the next entry and opened it without playing
    EXPECT_EQ(d.ProgramOptions[30], 1);
    EXPECT_EQ(d.MusicStartRequest, 0);
    ASSERT_TRUE(w->MediaPlayer->IsOpen());
    EXPECT_EQ(w->MediaPlayer->FileName(), P("m1.wav"));
    EXPECT_FALSE(w->MediaPlayer->IsPlaying());

    // a double click on the first entry does nothing; on the third it starts MUSIC
    w->show();
    w->PageControl->setCurrentIndex(6);
    click(w->ListBoxMusic, 0, true);
    EXPECT_EQ(d.AquelMode, kModeDance);
    EXPECT_EQ(w->MediaPlayer->FileName(), P("m1.wav"));
    click(w->ListBoxMusic, 2);
    EXPECT_EQ(w->MediaPlayer->FileName(), P("m1.wav"));   // a single click starts nothing
    click(w->ListBoxMusic, 2, true);
    EXPECT_EQ(d.AquelMode, kModeMusic);
    EXPECT_EQ(d.ProgramOptions[30], 2);
    EXPECT_EQ(w->MediaPlayer->FileName(), P("m2.wav"));
    EXPECT_TRUE(w->MediaPlayer->IsPlaying());
    // a second selection does not reopen: the position goes on
    QTRY_VERIFY_WITH_TIMEOUT(w->MediaPlayer->PositionMs() > 0, 30000);
    const auto played = w->MediaPlayer->PositionMs();
    w->PlayListMusicCurrent();
    EXPECT_TRUE(w->MediaPlayer->IsPlaying());
    EXPECT_GE(w->MediaPlayer->PositionMs(), played);

    // the missing entry is selected, not played; next on the last plays the first
    w->SpeedButtonFollowMusic->click();
    EXPECT_EQ(w->ListBoxMusic->currentRow(), 3);
    EXPECT_EQ(w->MediaPlayer->FileName(), P("m2.wav"));
    w->SpeedButtonFollowMusic->click();
    EXPECT_EQ(d.ProgramOptions[30], 0);
    EXPECT_EQ(w->MediaPlayer->FileName(), P("m0.wav"));
    EXPECT_TRUE(w->MediaPlayer->IsPlaying());

    // outside MUSIC the player stops and "To Finish Track" only moves the position
    d.AquelMode = kModeStop;
    w->SetJobingMode();
    EXPECT_FALSE(w->MediaPlayer->IsPlaying());
    w->SpeedButtoneND->click();
    EXPECT_FALSE(w->MediaPlayer->IsPlaying());
    EXPECT_EQ(w->MediaPlayer->PositionMs(), 0);   // 3 s long: ten seconds before the end is 0

    // an entry that cannot be opened is logged, nothing plays and no retry is asked for
    std::ofstream(dir / "bad.wav") << "not audio";
    w->ListBoxMusic->item(1)->setText(QString::fromStdString(P("bad.wav")));
    d.AquelMode = kModeMusic;
    d.ProgramOptions[30] = 1;
    d.MusicStartRequest = 1;
    w->PlayListMusicCurrent();
    EXPECT_EQ(d.MusicStartRequest, 0);
    EXPECT_FALSE(w->MediaPlayer->IsPlaying());
    EXPECT_TRUE(messages->log.empty());
    std::string log;
    ReadWholeFile(P("Spirelo.Log"), log);
    EXPECT_NE(log.find("media_not_open"), std::string::npos);
}

TEST_F(SoundPages, TheMusicGainFollowsTheBarsOnlyInMusic) {
    ShowData& d = ShowDataInstance();
    d.ProgramOptions[12] = 640;
    d.ProgramOptions[15] = 50;
    TFormSound* w = create();
    EXPECT_EQ(WaveOutGain(), (1234u << 16) | 1234u);   // creation sets no gain
    d.AquelMode = kModeDance;
    w->ScrollBarVolumMusic->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(WaveOutGain(), (1234u << 16) | 1234u);
    EXPECT_EQ(d.ProgramOptions[15], 51);
    EXPECT_EQ(w->lblvolume->text(), "Volume 51%");
    d.AquelMode = kModeMusic;
    w->ScrollBarVolumMusic->setValue(100);
    EXPECT_EQ(WaveOutGain(), (64000u << 16) | 64000u);
    w->ScrollBarVolumMusic->setValue(0);
    EXPECT_EQ(WaveOutGain(), 0u);
}

TEST_F(SoundPages, OptionsSavesAndTheAutosave) {
    ShowData& d = ShowDataInstance();
    d.ProgramOptions[12] = 640;
    TFormSound* w = create();
    EXPECT_FALSE(w->TimerRecFileSequenser->isActive());
    EXPECT_EQ(w->CheckBoxVolmusicMain->text(), "Громкость 100%");
    EXPECT_EQ(w->ScrollBarVolmusicMain->value(), 640);

    // the controls copy their values into the option records
    w->CheckBoxFormButtons->click();
    EXPECT_EQ(d.ProgramFlags[4], w->CheckBoxFormButtons->isChecked() ? 1 : 0);
    w->ScrollBarWheelSensor->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(d.ProgramOptions[1], 119);
    EXPECT_EQ(w->lblWheelSensor->text(), "Sense 119");
    w->SpeedButtonAGC->click();
    EXPECT_EQ(w->shpAGC->brushColor(), 0x0000FFu);
    w->SpeedButtonAGC->click();
    EXPECT_EQ(w->shpAGC->brushColor(), 0x808080u);
    w->trckbrGain->setValue(20);
    EXPECT_EQ(d.TrackEditState[11], 20);

    // a missing .seq: only its message; then the saves write and report
    w->SpeedButtonSaveSeqMus->click();
    EXPECT_EQ(w->StatusBar->panelText(5), "No SaveSeqFile !");
    EXPECT_FALSE(FileExists(P("show.seq")));
    ASSERT_TRUE(SaveSeqFile(d));
    w->SpeedButtonSaveSeqOption->click();
    EXPECT_EQ(w->StatusBar->panelText(5).toStdString(), "SaveSeqFile " + P("show.seq"));
    EXPECT_EQ(w->GroupBoxMUsicList->title().toStdString(), "Music List " + P("music.msc"));
    EXPECT_TRUE(FileExists(P("Spirelo.ini")));
    EXPECT_TRUE(w->TimerStatusBar->isActive());
    w->SpeedButtonSaveFileTrack->click();             // no .trk: nothing
    EXPECT_FALSE(FileExists(P("show.trk")));
    ASSERT_TRUE(SaveTrackFile(d));
    w->SpeedButtonSaveFileTrack->click();
    EXPECT_EQ(w->StatusBar->panelText(5).toStdString(), "FileTrack " + P("show.trk"));
    w->show();
    QLabel* panel = w->StatusBar->panel(5);
    QTRY_VERIFY(panel->width() >= panel->fontMetrics().horizontalAdvance(panel->text()));

    // three user moves arm one autosave; it fires once
    fs::remove(P("show.seq"));
    ASSERT_TRUE(SaveSeqFile(d));
    const auto before = fs::last_write_time(P("show.seq"));
    w->TimerRecFileSequenser->setInterval(150);
    int fired = 0;
    QObject::connect(w->TimerRecFileSequenser, &QTimer::timeout, w, [&] { ++fired; });
    d.ProgramOptions[12] = 0;
    for (int i = 0; i < 3; ++i) w->ScrollBarVolmusicMain->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(d.ProgramOptions[12], 637);
    EXPECT_TRUE(w->TimerRecFileSequenser->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(fired, 1, 30000);
    QTest::qWait(400);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(w->TimerRecFileSequenser->isActive());
    EXPECT_GE(fs::last_write_time(P("show.seq")), before);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(P("show.seq"), bytes));
    auto stored = MakeShowData();
    ASSERT_TRUE(ApplySeqFileBytes(*stored, bytes.data(), bytes.size()));
    EXPECT_EQ(stored->ProgramOptions[12], 637);
    // a fill by the program arms nothing
    w->ScrollBarVolumNew->setValue(70);
    EXPECT_EQ(d.ProgramOptions[14], 70);
    EXPECT_EQ(w->CheckBoxVolumNew->text(), "Громкость 70%");
    EXPECT_FALSE(w->TimerRecFileSequenser->isActive());
}

TEST_F(SoundPages, ScheduleSlotsAreEditedInTheirArrays) {
    ShowData& d = ShowDataInstance();
    d.ScheduleMode[5] = 200;   // none of the six: shown as "MODE", kept
    d.ScheduleHour[6] = 30;    // out of range: shown clamped, kept
    TFormSound* w = create();
    EXPECT_EQ(w->ComboBoxMode[5]->currentIndex(), -1);
    EXPECT_EQ(d.ScheduleMode[5], 200);
    EXPECT_EQ(w->udH[6]->value(), 23);
    EXPECT_EQ(d.ScheduleHour[6], 30);
    EXPECT_FALSE(w->ComboBoxMode[1]->isEditable());

    w->udH[3]->setValue(7);
    for (int i = 0; i < 5; ++i) w->udM[3]->stepBy(1);
    EXPECT_EQ(w->lbltime[3]->text(), "07:05");
    EXPECT_EQ(d.ScheduleMinute[3], 5);
    w->ComboBoxMode[3]->setCurrentIndex(kModeDance);
    emit w->ComboBoxMode[3]->activated(kModeDance);
    EXPECT_EQ(d.ScheduleMode[3], kModeDance);
    EXPECT_EQ(SeqFileBytes(d)[4305891], kModeDance);

    // the box and the flag agree, by click and by program
    w->CheckBoxScheduleON->click();
    EXPECT_EQ(d.ProgramFlags[10], w->CheckBoxScheduleON->isChecked() ? 1 : 0);
    w->SetScheduleOnBox(true);
    EXPECT_EQ(d.ProgramFlags[10], 1);

    // the light times: minutes step by five, the labels follow
    w->udSetTimeOnMin->stepBy(1);
    EXPECT_EQ(d.ProgramOptions[27], 5);
    EXPECT_EQ(w->lblSpotON->text(), " ON 20:05");
    EXPECT_EQ(w->lblSpotOFF->text(), "0FF 23:00");
}

TEST_F(SoundPages, TheModeTimerFollowsTheSlotsAndTheClock) {
    ShowData& d = ShowDataInstance();
    d.ProgramFlags[10] = 1;
    LocalTime now{2026, 12, 10, 23, 59, 59};
    TFormSound* w = create([&] { return now; });
    EXPECT_TRUE(w->CheckBoxScheduleON->isChecked());
    d.AquelMode = kModeDance;
    w->TimerWindowTimer();
    EXPECT_EQ(d.AquelMode, kModeDance);
    EXPECT_EQ(w->lblTIME->text(), "23:59:59");
    now = {2026, 12, 11, 0, 0, 0};
    w->TimerWindowTimer();
    EXPECT_EQ(d.AquelMode, kModeOff);   // all reset slots match at midnight
    EXPECT_EQ(w->shpJob[8]->brushColor(), 0x0000FFu);
    delete FormSound;
    FormSound = nullptr;

    // a window made during the slot's minute applies it at its first tick; a minute later not
    for (int minute : {30, 31}) {
        ResetShowData(d);
        d.ProgramFlags[10] = 1;
        d.ProgramOptions[10] = 0;
        d.ScheduleHour[1] = 18;
        d.ScheduleMinute[1] = 30;
        d.ScheduleMode[1] = kModeMusic;
        d.AquelMode = kModeDance;
        now = {2026, 12, 10, 18, minute, 20};
        w = create([&] { return now; });
        w->TimerWindowTimer();
        EXPECT_EQ(d.AquelMode, minute == 30 ? kModeMusic : kModeDance) << minute;
        delete FormSound;
        FormSound = nullptr;
    }

    // a sequencer file loaded in the sequencer window brings its slots to the page and the timer
    ResetShowData(d);
    d.ProgramFlags[10] = 1;
    d.ScheduleHour[2] = 9;
    d.ScheduleMinute[2] = 15;
    d.ScheduleMode[2] = kModeStatic;
    d.ProgramOptions[12] = 500;
    d.sNameFileSeq = P("other.seq");
    ASSERT_TRUE(SaveSeqFile(d));
    ResetShowData(d);
    d.sNameFileSeq = P("show.seq");
    d.ProgramFlags[10] = 1;
    now = {2026, 12, 10, 9, 15, 0};
    w = create([&] { return now; });
    FormSequenser = new TFormSequenser;
    FormSequenser->FormCreate();
    EXPECT_EQ(w->lbltime[2]->text(), "00:00");
    answers.push_back(QString::fromStdString(P("other.seq")));
    FormSequenser->SpeedButtonOpenSequensClick();
    EXPECT_EQ(w->lbltime[2]->text(), "09:15");
    EXPECT_EQ(w->ComboBoxMode[2]->currentIndex(), kModeStatic);
    EXPECT_EQ(w->ScrollBarVolmusicMain->value(), 500);
    d.AquelMode = kModeDance;
    w->TimerWindowTimer();
    EXPECT_EQ(d.AquelMode, kModeStatic);
}

TEST(FileDialogs, CapitalPatternsAlsoMatchLowerCaseNames) {
    EXPECT_EQ(FileDialog::QtFilter("Файлы MP3|*.MP3"), QStringLiteral("Файлы MP3 (*.MP3 *.mp3)"));
    EXPECT_EQ(FileDialog::QtFilter("A|*.trk"), QStringLiteral("A (*.trk)"));
}

}  // namespace
