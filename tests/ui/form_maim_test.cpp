// The main window's creation, mode buttons, project buttons, new-start mark and transport,
// with the sound and DMX windows constructed beside it (their creation is theirs to test).
#include "core/ui/form_maim.h"

#include "common/ini_file.h"
#include "core/instance_guard.h"
#include "core/show_data.h"
#include "core/track_file.h"
#include "dmx/live_data_writer.h"
#include "dmx/output_pipeline.h"
#include "dmx/ui/form_usb_com.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "platform/termination_signals.h"
#include "platform/ui/qt_messages.h"
#include "platform/ui/signal_end.h"
#include "playback/modes.h"
#include "playback/show_clock.h"
#include "playback/ui/form_sound.h"
#include "ui/program_folder_test.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using spirelo::Answer;
using spirelo::ShowClockInstance;
using spirelo::ShowDataInstance;

namespace {

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

struct MainWindow : spirelo::test::ProgramFolderTest<> {
    void SetUp() override {
        ProgramFolderTest::SetUp();
        auto& guard = spirelo::InstanceGuardInstance();
        guard.setGuardFile((dir / "twice.ini").string());
        ASSERT_EQ(guard.acquire(), spirelo::InstanceGuard::Result::Acquired);

        auto& d = ShowDataInstance();
        d.AquelMode = 4;
        d.ProgramFlags[10] = 0;
        d.ProgramOptions[30] = 0;
        d.sNameFileProject.clear();
        ShowClockInstance().NewStartPixel = spirelo::kNoRestartMark;
        ShowClockInstance().SeekForwardRequest = 0;
        ShowClockInstance().SeekBackRequest = 0;

        FormMaim = new TFormMaim();
        FormSound = new TFormSound();
        FormUSB_COM = new TFormUSB_COM();
    }

    void TearDown() override {
        delete FormUSB_COM;
        FormUSB_COM = nullptr;
        delete FormSound;
        FormSound = nullptr;
        delete FormMaim;
        FormMaim = nullptr;
        spirelo::FileDialog::SetAnswerer(nullptr);
        spirelo::InstanceGuardInstance().setGuardFile(spirelo::InstanceGuardFile());
        ProgramFolderTest::TearDown();
    }

    void scheduleOn() {
        FormSound->CheckBoxScheduleON->setChecked(true);
        ShowDataInstance().ProgramFlags[10] = 1;
    }
};

}  // namespace

TEST_F(MainWindow, CreationLoadsTheSequencerFileBeforeTheTrackFileAndEndsInDance) {
    auto& d = ShowDataInstance();
    d.AquelMode = 0;
    d.MappingOpenFlag = 1;
    d.ScanProgress = 7;
    FormMaim->FormCreate();

    // Neither file exists: each open logs its miss, in the order they ran.
    const std::string log = ReadText(dir / "Spirelo.Log");
    const auto seq = log.find("OpenSeqFile");
    const auto track = log.find("OpenTrackFile");
    ASSERT_NE(seq, std::string::npos);
    ASSERT_NE(track, std::string::npos);
    EXPECT_LT(seq, track);

    EXPECT_EQ(d.AquelMode, 4);
    EXPECT_TRUE(FormMaim->SpeedButtonModeDance->isChecked());
    EXPECT_EQ(d.MappingOpenFlag, 0);
    EXPECT_EQ(d.ScanProgress, 100);
    EXPECT_EQ(FormMaim->height(), FormMaim->ToolBar->height() + FormMaim->StatusBarMain->height());
    EXPECT_EQ(d.ProgramFolder, spirelo::ProgramFile().substr(0, spirelo::ProgramFile().rfind('/') + 1));

    const QString name = QString::fromStdString((dir / "Spirelo.trk").string());
    EXPECT_EQ(QString::fromStdString(d.sNameFileProject), name);
    EXPECT_EQ(FormMaim->windowTitle(), "File track: " + name);
    EXPECT_EQ(FormMaim->OpenDialogTrack->FileName, name);
    EXPECT_EQ(FormMaim->SaveDialogTrack->FileName, name);
    EXPECT_TRUE(FormMaim->SpeedButtonSaveFile->isEnabled());

    spirelo::IniFile guard((dir / "twice.ini").string());
    EXPECT_EQ(guard.readString("Appl", "Complete", ""), "noNormal");
    EXPECT_EQ(guard.readString("Appl", "Repeat", ""), "Spirelo");
    EXPECT_TRUE(messages->log.empty());
}

// A first start has no track file: the effect table must not hold sequencer 1's channels at 0.
TEST_F(MainWindow, WithoutATrackFileHandLevelsAndSequencersReachTheOutput) {
    auto& d = ShowDataInstance();
    std::memset(d.EffectTime, 0, sizeof d.EffectTime);   // what an earlier table might have left
    std::memset(d.EffectSeq, 0, sizeof d.EffectSeq);
    FormMaim->FormCreate();
    ASSERT_FALSE(fs::exists(dir / "Spirelo.trk"));
    auto st = spirelo::MakeDmxOutputState();
    spirelo::InitVibratoWave(*st);
    d.SequencerChannelMask[0][0] = 1;   // sequencer 1 drives channel 1
    d.DmxFrame[1] = 200;

    d.AquelMode = spirelo::kModeStatic;
    d.StaticModeFlag = 1;
    d.HandEnable[1] = 1;
    d.HandLevel[1] = 150;
    for (int k = 0; k < 10; ++k) spirelo::ProcTimerDMX(d, *st, 10);
    EXPECT_EQ(d.DmxOut[1], 150);

    d.AquelMode = spirelo::kModeStop;
    d.StaticModeFlag = 0;
    d.HandEnable[1] = 0;
    d.SequencerRunState[0] = spirelo::kRunPlay;
    for (int k = 0; k < 10; ++k) spirelo::ProcTimerDMX(d, *st, 10);
    EXPECT_EQ(d.DmxOut[1], 200);
    d.SequencerRunState[0] = spirelo::kRunOff;
    d.SequencerChannelMask[0][0] = 0;
}

TEST_F(MainWindow, TheWindowAsDescribed) {
    EXPECT_EQ(FormMaim->windowTitle(), QStringLiteral("Файл: "));
    EXPECT_EQ(FormMaim->StatusBarMain->panelCount(), 6);
    EXPECT_EQ(FormMaim->StatusBarMain->panel(5)->width(), 50);
    EXPECT_FALSE(FormMaim->SpeedButtonSaveFile->isEnabled());
    EXPECT_FALSE(FormMaim->sbNewStart->isEnabled());
    EXPECT_EQ(FormMaim->OpenDialogTrack->Filter, QStringLiteral("Файлы Spirelo|*.trk"));
    EXPECT_EQ(FormMaim->SaveDialogTrack->Title, QStringLiteral("Cохранить файлы Plotvane"));
    EXPECT_EQ(spirelo::FileDialog::QtFilter(FormMaim->OpenDialogTrack->Filter),
              QStringLiteral("Файлы Spirelo (*.trk)"));
    EXPECT_EQ(FormMaim->SpeedButtonModeMusic->toolTip(), "Mode Music from Shedule and  Dynamic Fountain");
    // At most one mode button is down.
    FormMaim->SpeedButtonModePause->setChecked(true);
    EXPECT_FALSE(FormMaim->SpeedButtonModeDance->isChecked());
}

TEST_F(MainWindow, EachModeButtonUnticksTheScheduleThenStoresTheMode) {
    struct Case { void (TFormMaim::*handler)(); int mode; QToolButton* TFormMaim::*button; };
    const Case cases[] = {
        {&TFormMaim::SpeedButtonModeAllOFFClick, 0, &TFormMaim::SpeedButtonModeAllOFF},
        {&TFormMaim::SpeedButtonModePauseClick, 1, &TFormMaim::SpeedButtonModePause},
        {&TFormMaim::SpeedButtonModeStatickClick, 2, &TFormMaim::SpeedButtonModeStatick},
        {&TFormMaim::SpeedButtonModePlayClick, 3, &TFormMaim::SpeedButtonModePlay},
        {&TFormMaim::SpeedButtonModeDanceClick, 4, &TFormMaim::SpeedButtonModeDance},
    };
    auto& d = ShowDataInstance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        d.AquelMode = 9;   // no mode: whatever runs first still sees it
        scheduleOn();
        FormUSB_COM->hide();
        // Another button down: only SetJobingMode, applying the stored mode, presses this one.
        (c.mode == 1 ? FormMaim->SpeedButtonModeDance : FormMaim->SpeedButtonModePause)->setChecked(true);
        int modeWhenUnticked = -1;
        auto conn = QObject::connect(FormSound->CheckBoxScheduleON, &QCheckBox::toggled,
                                     [&](bool on) { if (!on) modeWhenUnticked = d.AquelMode; });
        (FormMaim->*c.handler)();
        QObject::disconnect(conn);
        EXPECT_EQ(modeWhenUnticked, 9);
        EXPECT_FALSE(FormSound->CheckBoxScheduleON->isChecked());
        EXPECT_EQ(d.ProgramFlags[10], 0);   // the next save keeps the schedule off
        EXPECT_EQ(d.AquelMode, c.mode);
        EXPECT_TRUE((FormMaim->*c.button)->isChecked());
        EXPECT_EQ(FormUSB_COM->isVisible(), c.mode == 2);
    }
    EXPECT_TRUE(messages->log.empty());
}

TEST_F(MainWindow, TheStaticButtonShowsTheDmxWindowBeforeStoringTheMode) {
    auto& d = ShowDataInstance();
    d.AquelMode = 9;
    struct ShowWatch : QObject {
        int modeAtShow = -1;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show) modeAtShow = ShowDataInstance().AquelMode;
            return false;
        }
    } watch;
    FormUSB_COM->installEventFilter(&watch);
    FormMaim->SpeedButtonModeStatickClick();
    EXPECT_EQ(watch.modeAtShow, 9);
    EXPECT_EQ(d.AquelMode, 2);
}

TEST_F(MainWindow, TheScheduleButtonOnlyTicksTheSchedule) {
    auto& d = ShowDataInstance();
    d.AquelMode = 1;
    FormMaim->SpeedButtonSheduleClick();
    EXPECT_TRUE(FormSound->CheckBoxScheduleON->isChecked());
    EXPECT_EQ(d.ProgramFlags[10], 1);
    EXPECT_EQ(d.AquelMode, 1);
}

TEST_F(MainWindow, MusicButtonWithoutTheFirstEntryEntersMusicMode) {
    auto& d = ShowDataInstance();
    FormSound->ListBoxMusic->addItems({"a.mp3", "b.mp3", "c.mp3"});
    FormSound->ScrollBarVolumMusic->setRange(0, 100);
    FormSound->ScrollBarVolmusicMain->setRange(100, 640);
    struct Case { int selected; int stored; int firstRowSet; };
    // A stored index outside the list selects nothing rather than a wrong entry.
    for (const Case c : {Case{-1, 2, 2}, Case{1, 2, 2}, Case{1, 77, -1}}) {
        SCOPED_TRACE(c.selected);
        FormSound->ListBoxMusic->setCurrentRow(c.selected);
        d.ProgramOptions[30] = c.stored;
        d.MusicStartRequest = 0;
        d.AquelMode = 4;
        scheduleOn();
        FormSound->ScrollBarVolumMusic->setEnabled(false);
        FormSound->ScrollBarMusicTrack->setEnabled(false);
        messages->log.clear();
        std::vector<int> rows;   // the music list's selections, in order
        auto conn = QObject::connect(FormSound->ListBoxMusic, &QListWidget::currentRowChanged,
                                     [&](int row) { rows.push_back(row); });
        FormMaim->SpeedButtonModeMusicClick();
        QObject::disconnect(conn);
        EXPECT_EQ(d.AquelMode, 5);
        EXPECT_FALSE(FormSound->CheckBoxScheduleON->isChecked());
        EXPECT_EQ(d.ProgramFlags[10], 0);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front(), c.firstRowSet);
        EXPECT_EQ(d.MusicStartRequest, 1);
        EXPECT_TRUE(FormSound->ScrollBarVolumMusic->isEnabled());
        EXPECT_TRUE(FormSound->ScrollBarMusicTrack->isEnabled());
        for (const auto& m : messages->log) EXPECT_NE(m.kind, spirelo::MessageKind::Question) << m.text;
    }
}

TEST_F(MainWindow, MusicButtonOnTheFirstEntryAsksToCrossToPlay) {
    auto& d = ShowDataInstance();
    FormSound->ListBoxMusic->addItems({"a.mp3", "b.mp3"});
    for (Answer answer : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        FormSound->ListBoxMusic->setCurrentRow(0);
        FormMaim->SpeedButtonModeDance->setChecked(true);
        d.ProgramOptions[30] = 1;
        d.AquelMode = 4;
        scheduleOn();
        messages->log.clear();
        messages->answers = {answer};
        FormMaim->SpeedButtonModeMusicClick();
        ASSERT_EQ(messages->log.size(), 1u);
        EXPECT_EQ(messages->log[0].kind, spirelo::MessageKind::Question);
        EXPECT_EQ(messages->log[0].text, "Cross to mode PLAY\n\rYou sure?");
        EXPECT_EQ(d.ProgramOptions[30], 0);
        const bool yes = answer == Answer::Yes;
        EXPECT_EQ(d.AquelMode, yes ? 3 : 4);
        EXPECT_EQ(FormMaim->SpeedButtonModePlay->isChecked(), yes);
        EXPECT_EQ(FormSound->CheckBoxScheduleON->isChecked(), !yes);
        EXPECT_EQ(d.ProgramFlags[10], yes ? 0 : 1);
    }
}

TEST_F(MainWindow, OpenCancelledChangesNothing) {
    FormMaim->FormCreate();
    auto& d = ShowDataInstance();
    const std::string name = d.sNameFileProject;
    const QString caption = FormMaim->windowTitle();
    int asked = 0;
    spirelo::FileDialog::SetAnswerer([&](const spirelo::FileDialog& dlg) -> std::optional<QString> {
        ++asked;
        EXPECT_EQ(dlg.Title, QStringLiteral("Открыть файлы Plotvane"));
        return std::nullopt;
    });
    FormMaim->SpeedButtonOpenProjectClick();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(d.sNameFileProject, name);
    EXPECT_EQ(FormMaim->windowTitle(), caption);
    EXPECT_TRUE(messages->log.empty());
}

TEST_F(MainWindow, OpenTakesTheChosenShowAndSaveWritesEveryFile) {
    auto& d = ShowDataInstance();
    FormMaim->FormCreate();
    // A show on disk with a recognisable track name.
    const std::string show = (dir / "evening.trk").string();
    d.sNameFileProject = show;
    d.TrackNames[3][0] = 'Q';
    ASSERT_TRUE(spirelo::SaveTrackFile(d).ok);
    d.TrackNames[3][0] = 'x';
    d.sNameFileProject = (dir / "Spirelo.trk").string();

    spirelo::FileDialog::SetAnswerer([&](const spirelo::FileDialog&) -> std::optional<QString> {
        return QString::fromStdString((dir / "evening.mp3").string());   // the extension is replaced
    });
    FormMaim->SpeedButtonOpenProjectClick();
    EXPECT_EQ(d.sNameFileProject, show);
    EXPECT_EQ(d.TrackNames[3][0], 'Q');
    EXPECT_EQ(FormMaim->windowTitle(), "File track: " + QString::fromStdString(show));
    EXPECT_EQ(FormMaim->SaveDialogTrack->FileName, QString::fromStdString(show));

    fs::remove(show);
    FormMaim->SpeedButtonSaveFileClick();
    EXPECT_TRUE(fs::exists(show));
    EXPECT_TRUE(fs::exists(dir / "Spirelo.seq"));
    EXPECT_TRUE(fs::exists(dir / "Spirelo.ini"));
    EXPECT_EQ(FormMaim->OpenDialogTrack->FileName, QString::fromStdString(show));
}

TEST_F(MainWindow, NewStartMarkAndTransport) {
    auto& clock = ShowClockInstance();
    FormMaim->sbNewBegTo0Click();
    EXPECT_EQ(clock.NewStartPixel, 1);
    EXPECT_EQ(clock.NewStartStep, 1);
    EXPECT_TRUE(FormMaim->sbNewStart->isEnabled());
    EXPECT_FALSE(FormSound->LabelSpace->isHidden());
    EXPECT_FALSE(FormSound->ShapeSpace->isHidden());

    FormMaim->SpeedButtonDelNewStartClick();
    EXPECT_EQ(clock.NewStartPixel, spirelo::kNoRestartMark);
    EXPECT_FALSE(FormMaim->sbNewStart->isEnabled());
    EXPECT_TRUE(FormSound->LabelSpace->isHidden());
    EXPECT_TRUE(FormSound->ShapeSpace->isHidden());

    FormMaim->SpeedButtonForwardClick();
    FormMaim->SpeedButtonPrewClick();
    EXPECT_EQ(clock.SeekForwardRequest, 1);
    EXPECT_EQ(clock.SeekBackRequest, 1);

    auto& d = ShowDataInstance();
    d.DmxOut[512] = 200;
    d.DmxTarget[1] = 9;
    FormMaim->SpeedButtonbeginClick();
    EXPECT_EQ(d.DmxOut[512], 0);
    EXPECT_EQ(d.DmxTarget[1], 0);
}

TEST_F(MainWindow, SpaceWithoutAMarkDoesNothing) {
    auto& clock = ShowClockInstance();
    clock.NewStartPixel = spirelo::kNoRestartMark;
    const int32_t step = clock.CurStep;
    QTest::keyClick(FormMaim, Qt::Key_Space);
    FormMaim->FormKeyDown(32);
    EXPECT_EQ(clock.CurStep, step);
    EXPECT_EQ(clock.NewStartPixel, spirelo::kNoRestartMark);
    EXPECT_FALSE(FormMaim->sbNewStart->isEnabled());
}

// Settings that exist but cannot be read: the user is told once, at start, which file; the show
// runs on defaults, and neither the close nor the USB window writes over the file.
TEST_F(MainWindow, UnreadableSettingsAreReportedOnceAndNeverWrittenOver) {
    // A link to itself fails to open with ELOOP, an error even root gets.
    fs::create_symlink("Spirelo.ini", dir / "Spirelo.ini");
    FormMaim->FormCreate();
    FormMaim->show();
    EXPECT_TRUE(FormMaim->close());
    FormUSB_COM->close();
    delete FormUSB_COM;
    FormUSB_COM = nullptr;

    std::vector<std::string> errors;
    for (const auto& e : messages->log)
        if (e.kind == spirelo::MessageKind::Error) errors.push_back(e.text);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find((dir / "Spirelo.ini").string()), std::string::npos) << errors[0];
    EXPECT_NE(ReadText(dir / "Spirelo.Log").find("Settings_not_read"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(dir / "Spirelo.ini"));
    EXPECT_EQ(fs::read_symlink(dir / "Spirelo.ini"), "Spirelo.ini");
}

TEST_F(MainWindow, ClosingWritesTheSettingsAndEndsTheProgram) {
    FormMaim->FormCreate();
    fs::remove(dir / "Spirelo.ini");
    QSignalSpy ended(FormMaim, &TFormMaim::closedByUser);
    FormMaim->show();
    EXPECT_TRUE(FormMaim->close());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(fs::exists(dir / "Spirelo.ini"));

    // Its end releases the live-data sections and writes the ended marks.
    auto& live = spirelo::LiveDataInstance();
    const std::string names[] = {live.DmxName, live.SpectrName};
    live.DmxName = "SpireloMaimTestDmx" + std::to_string(::getpid());
    live.SpectrName = "SpireloMaimTestSpectr" + std::to_string(::getpid());
    ASSERT_TRUE(spirelo::FileMappingToON(ShowDataInstance(), live, *messages));
    ASSERT_EQ(ShowDataInstance().MappingOpenFlag, 1);
    delete FormMaim;
    FormMaim = nullptr;
    spirelo::IniFile guard((dir / "twice.ini").string());
    EXPECT_EQ(guard.readString("Appl", "Complete", ""), "Normal");
    EXPECT_EQ(guard.readString("Appl", "Repeat", ""), "noJobSpirelo");
    EXPECT_EQ(ShowDataInstance().MappingOpenFlag, 0);
    EXPECT_FALSE(live.DmxMap.isOpen());
    EXPECT_FALSE(live.SpectrMap.isOpen());
    spirelo::SharedSection::unlink(live.DmxName);
    spirelo::SharedSection::unlink(live.SpectrName);
    live.DmxName = names[0];
    live.SpectrName = names[1];
}

namespace {
// Records each question and puts it in a real box, which waits until something answers it.
struct BoxShowingMessages : spirelo::RecordingMessages {
    spirelo::QtMessages box{"test"};
    Answer question(const std::string& text) override {
        RecordingMessages::question(text);
        return box.question(text);
    }
};
}  // namespace

// A `kill` while the operator's question waits: the question is answered No and the window closes
// as the operator's close would, the settings written.
TEST_F(MainWindow, SigtermWhileAQuestionWaitsAnswersNoAndClosesWithTheSettingsSaved) {
    auto boxes = std::make_shared<BoxShowingMessages>();
    spirelo::InstallMessageService(boxes);
    ASSERT_TRUE(spirelo::InstallTerminationSignals());
    spirelo::TakeTerminationSignals();
    spirelo::SetEndingOnSignal(false);
    auto& d = ShowDataInstance();
    FormMaim->FormCreate();
    FormMaim->show();
    FormSound->ListBoxMusic->addItems({"a.mp3"});
    FormSound->ListBoxMusic->setCurrentRow(0);
    d.ProgramOptions[30] = 1;
    scheduleOn();
    ASSERT_TRUE(spirelo::IniFile((dir / "Spirelo.ini").string()).readString("AreaTime", "Closed", "").empty());

    QEventLoop loop;
    spirelo::SignalEnd end([] { FormMaim->close(); });
    QObject::connect(FormMaim, &TFormMaim::closedByUser, &loop, &QEventLoop::quit);
    end.mainLoopStarts();
    QTimer kill;
    QObject::connect(&kill, &QTimer::timeout, [&] {
        if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            kill.stop();
            ::raise(SIGTERM);
        }
    });
    kill.start(5);
    QTimer::singleShot(0, [] { FormMaim->SpeedButtonModeMusicClick(); });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();

    ASSERT_EQ(boxes->log.size(), 1u);
    EXPECT_EQ(boxes->log[0].text, "Cross to mode PLAY\n\rYou sure?");
    EXPECT_EQ(d.AquelMode, 4);   // No: still in DANCE
    EXPECT_FALSE(FormMaim->SpeedButtonModePlay->isChecked());
    EXPECT_FALSE(FormMaim->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    spirelo::IniFile ini((dir / "Spirelo.ini").string());
    EXPECT_FALSE(ini.readString("AreaTime", "Closed", "").empty());
    spirelo::SetEndingOnSignal(false);
}
