#include "sequencer/ui/form_sequenser.h"

#include "common/file_io.h"
#include "common/ui/file_dialogs.h"
#include "core/seq_file.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "sequencer/notes_file.h"
#include "sequencer/sequencer_store.h"
#include "sequencer/ui/paint_box.h"
#include "ui/program_folder_test.h"
#include "tests/file_seam.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

std::string ReadText(const std::string& path) {
    std::string s;
    ReadWholeFile(path, s);
    return s;
}

class SequencerWindow : public test::ProgramFolderTest<> {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        ShowData& d = data();
        ResetShowData(d);
        ClearDmxBuffers(d);
        d.sNameFileSeq = Path("show.seq");
        d.ProgramFolder = dir.string() + "/";
        SequencerEditInstance() = SequencerEditState{};
        // Step-word texts use the locale's decimal point; the expectations use ".".
        QLocale::setDefault(QLocale::c());
        FileDialog::SetAnswerer([this](const FileDialog&) -> std::optional<QString> {
            if (!answer) return std::nullopt;
            return QString::fromStdString(*answer);
        });
    }
    void TearDown() override {
        delete FormSequenser;
        FormSequenser = nullptr;
        FileDialog::SetAnswerer(nullptr);
        ProgramFolderTest::TearDown();
    }
    TFormSequenser& Create() {
        FormSequenser = new TFormSequenser;
        FormSequenser->FormCreate();
        return *FormSequenser;
    }
    ShowData& data() { return ShowDataInstance(); }
    // A sequencer file with step 0 of sequencer 0 holding `marker` on channel 1.
    void MakeSeqFile(const std::string& path, uint8_t marker) {
        ShowData& d = data();
        const std::string keep = d.sNameFileSeq;
        d.sNameFileSeq = path;
        d.SequencerStepData[0][0][0] = marker;
        const std::string name = "file " + std::to_string(marker);
        std::memset(d.SequencerNames[0], ' ', 16);
        std::memcpy(d.SequencerNames[0], name.data(), name.size());
        ASSERT_TRUE(SaveSeqFile(d));
        std::memset(d.SequencerNames[0], 0, 16);
        d.sNameFileSeq = keep;
        d.SequencerStepData[0][0][0] = 0;
    }
    // Sequencer s drives channels 1 and 5; step t holds t + 1 and 100 + t there.
    void Drive(int s) {
        ShowData& d = data();
        d.SequencerChannelMask[s][0] = 1;
        d.SequencerChannelMask[s][4] = 1;
        for (int t = 0; t < kSequencerSteps; ++t) {
            d.SequencerStepData[s][t][0] = uint8_t(t + 1);
            d.SequencerStepData[s][t][4] = uint8_t(100 + t);
        }
    }
    QAction* Action(QMenu* menu, const char* name) {
        for (QAction* a : menu->actions())
            if (a->objectName() == name) return a;
        return nullptr;
    }

    std::optional<std::string> answer;
};

TEST_F(SequencerWindow, SequencerSetToPlayRunsOnItsOwnTimerIntoTheFrame) {
    ShowData& d = data();
    Drive(3);
    for (int t = 0; t < kSequencerSteps; ++t) d.SequencerStepWords[3][t] = 10;
    TFormSequenser& w = Create();
    EXPECT_EQ(w.TimerSeq[3]->interval(), kStartInterval);
    EXPECT_TRUE(w.TimerSeq[3]->isActive());
    d.DmxFrame[2] = 42;
    d.SequencerRunState[3] = kRunPlay;   // as a track or the selector would
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.DmxFrame[1] >= 6; }, 30000));
    EXPECT_EQ(d.DmxFrame[5], 100 + d.DmxFrame[1] - 1) << "both channels come from one step";
    EXPECT_EQ(d.DmxFrame[2], 42) << "a channel outside the mask is never written";
    EXPECT_EQ(w.TimerSeq[3]->interval(), 10);
    EXPECT_EQ(w.TimerSeq[0]->interval(), kStartInterval);
}

TEST_F(SequencerWindow, CreationRestoresTheSavedView) {
    ShowData& d = data();
    d.EditorSettings[9] = 4;
    d.EditorSettings[2] = 1;
    d.EditorSettings[8] = 50;
    d.SequencerRunState[4] = kRunPlay;
    d.SequencerCurrentStep[4] = 17;
    d.SequencerViewPositions[4] = 20;
    d.SequencerViewPositions[64 + 4] = 100;
    d.EditorSettings[7] = 3;
    TFormSequenser& w = Create();
    EXPECT_EQ(w.ScrollBarNombSeq->value(), 4);
    EXPECT_EQ(w.ScrollBarSpotPos->value(), 20);
    EXPECT_EQ(w.ScrollBarKlapanPos->value(), 100);
    EXPECT_EQ(w.ScrollBarGroupPos->value(), 50);
    EXPECT_EQ(w.PageControlmain->currentIndex(), 1);
    EXPECT_EQ(w.RadioGroupSeqJobItems->checkedId(), kRunPlay);
    EXPECT_EQ(w.GroupBoxSeq1_32->title(), "Nomber sequenser 5");
    EXPECT_EQ(w.ScrollBarScenaRun->value(), 17);
    EXPECT_EQ(w.lblScena->text(), "Scena 18");
    EXPECT_EQ(w.windowTitle().toStdString(), "File sequenser: " + d.sNameFileSeq);
    EXPECT_EQ(w.edtNameSeq->text(), "") << "an empty name shows no padding";
    EXPECT_EQ(w.lblTempo->text(), "T=1 sec");
    EXPECT_EQ(w.x(), 150);
    EXPECT_EQ(w.y(), 250);
    EXPECT_EQ(d.EditorSettings[7], 255);
    EXPECT_EQ(w.SpotRowLabels.size(), 32u);
    EXPECT_EQ(w.SpotRowLabels[31]->text(), "52") << "the labels follow the restored spot position";
    EXPECT_EQ(w.KlapanRowLabels[0]->text(), "101");
    EXPECT_EQ(w.GroupCells.size(), 16u * 26u);
    EXPECT_EQ(w.GroupCells[3 * 26 + 5]->property("Tag").toInt(), 83);
    EXPECT_EQ(w.LabelGroupseqDw->text(), w.LabelGroupSeqUp->text());
    EXPECT_EQ(w.GroupLabelTexts[2].left(2), "33");
}

TEST_F(SequencerWindow, AResetProjectOpensBothGridsAtTheirFirstRow) {
    TFormSequenser& w = Create();
    for (QScrollBar* bar : {w.ScrollBarSpotPos, w.ScrollBarKlapanPos}) EXPECT_EQ(bar->value(), 0) << bar->objectName().toStdString();
    EXPECT_EQ(w.SpotRowLabels[0]->text(), "01");
    EXPECT_EQ(w.KlapanRowLabels[0]->text(), "01");
    // Another sequencer chosen by the operator opens where its own positions say.
    data().SequencerViewPositions[3] = 40;
    w.ScrollBarNombSeq->setSliderPosition(3);
    EXPECT_EQ(w.ScrollBarSpotPos->value(), 40);
    EXPECT_EQ(w.ScrollBarKlapanPos->value(), 0);
}

TEST_F(SequencerWindow, CopyAndPasteHintsNameWhatSetsThePatternRange) {
    TFormSequenser& w = Create();
    EXPECT_EQ(w.LabelRealAdr->text(), "Adr From 254 to 255") << "the range a new window starts with";
    EXPECT_TRUE(w.SpeedButtonCopyPattern->toolTip().startsWith(QString::fromUtf8("Кпирование паттерна\n")));
    EXPECT_TRUE(w.SpeedButtonPasteSequens->toolTip().startsWith(QString::fromUtf8("Вставить скопироанный блок\n")));
    for (QToolButton* b : {w.SpeedButtonCopyPattern, w.SpeedButtonPasteSequens}) {
        const QString hint = b->toolTip();
        for (QToolButton* scope : {w.SpeedButtonTempAll, w.SpeedButtonTempSliceSeq, w.SpeedButtonTempOnlyOne})
            EXPECT_TRUE(hint.contains(scope->text())) << hint.toStdString();
        EXPECT_TRUE(hint.contains(w.GroupBoxPattern->title().trimmed()));
        EXPECT_TRUE(hint.contains(w.LabelRealAdr->text().left(8)));
    }
    EXPECT_TRUE(w.SpeedButtonCopyPattern->isEnabled());
    EXPECT_FALSE(w.SpeedButtonPasteSequens->isEnabled());
}

TEST_F(SequencerWindow, SelectorFollowsOnlyTheShownSequencer) {
    ShowData& d = data();
    Drive(0);
    Drive(5);
    d.SequencerStepWords[0][2] = kWordStop;
    d.SequencerStepWords[5][1] = kWordStopOff;
    TFormSequenser& w = Create();
    d.SequencerRunState[0] = kRunPlay;
    d.SequencerRunState[5] = kRunPlay;
    w.JobAllviewPic(5);
    EXPECT_EQ(d.SequencerRunState[5], kRunOff);
    EXPECT_EQ(w.RadioGroupSeqJobItems->checkedId(), kRunOff) << "the shown sequencer's selector is untouched";
    EXPECT_EQ(d.SequencerRunState[0], kRunPlay);
    w.JobAllviewPic(0);
    EXPECT_EQ(w.ScrollBarScenaRun->value(), 1);
    EXPECT_EQ(w.lblScena->text(), "Scena 2");
    w.JobAllviewPic(0);
    EXPECT_EQ(w.RadioGroupSeqJobItems->checkedId(), kRunStop);
    EXPECT_EQ(d.SequencerRunState[0], kRunStop) << "showing the state wrote no other state";
    // A click by the operator sets the run state of the shown sequencer.
    w.RadioGroupSeqJobItems->button(kRunPlay)->click();
    EXPECT_EQ(d.SequencerRunState[0], kRunPlay);
}

TEST_F(SequencerWindow, StepBarPreviewsInStopAndOnlyRestartsTheTimerWhenOff) {
    ShowData& d = data();
    Drive(0);
    TFormSequenser& w = Create();
    w.ScrollBarSeqSpeed->setValue(700);
    w.TimerSeq[0]->setInterval(4000);
    w.ScrollBarScenaRun->setSliderPosition(30);   // as the operator drags it
    EXPECT_EQ(d.DmxFrame[1], 0);
    EXPECT_EQ(d.SequencerCurrentStep[0], 0);
    EXPECT_EQ(w.TimerSeq[0]->interval(), 700);
    EXPECT_GT(w.TimerSeq[0]->remainingTime(), 600);
    EXPECT_EQ(w.lblScena->text(), "Scena 31");

    d.SequencerRunState[0] = kRunStop;
    w.ScrollBarScenaRun->setSliderPosition(31);
    EXPECT_EQ(d.DmxFrame[1], 32);
    EXPECT_EQ(d.DmxFrame[5], 131);
    EXPECT_EQ(d.SequencerCurrentStep[0], 0);

    d.SequencerRunState[0] = kRunPlay;
    w.ScrollBarScenaRun->setSliderPosition(40);
    EXPECT_EQ(d.SequencerCurrentStep[0], 40);
    w.JobAllviewPic(0);
    EXPECT_EQ(d.DmxFrame[1], 41);
}

TEST_F(SequencerWindow, StepBarStaysWhereTheOperatorPutItUnlessPlaying) {
    ShowData& d = data();
    Drive(0);
    d.SequencerCurrentStep[0] = 4;
    TFormSequenser& w = Create();
    for (uint8_t state : {kRunOff, kRunStop}) {
        d.SequencerRunState[0] = state;
        w.ScrollBarScenaRun->setSliderPosition(30 + state);
        for (int expiry = 0; expiry < 3; ++expiry) w.JobAllviewPic(0);
        EXPECT_EQ(w.ScrollBarScenaRun->value(), 30 + state) << "state " << int(state);
        EXPECT_EQ(w.lblScena->text(), QString("Scena %1").arg(31 + state));
        EXPECT_EQ(d.SequencerCurrentStep[0], 4);
    }
    EXPECT_EQ(d.DmxFrame[1], 32) << "Stop previewed the step under the bar";
    d.SequencerRunState[0] = kRunPlay;
    w.JobAllviewPic(0);
    EXPECT_EQ(w.ScrollBarScenaRun->value(), 5) << "in Play the bar follows the current step";
    EXPECT_EQ(d.DmxFrame[1], 5);
}

TEST_F(SequencerWindow, AllOffAndAllStopAskFirst) {
    ShowData& d = data();
    d.SequencerRunState[2] = kRunPlay;
    d.SequencerRunState[0] = kRunPlay;
    TFormSequenser& w = Create();
    messages->answers = {Answer::No};
    w.SpeedButtonAlloff->click();
    EXPECT_EQ(messages->log.back().text, "Выключить ВСЕ секвенсеры? ");
    EXPECT_EQ(d.SequencerRunState[2], kRunPlay);
    EXPECT_EQ(d.SequencerRunState[0], kRunPlay);
    messages->answers = {Answer::Yes};
    w.SpeedButtonAllStop->click();
    EXPECT_EQ(messages->log.back().text, "Остановить ВСЕ секвенсеры? ");
    for (int s = 0; s < kSequencers; ++s) EXPECT_EQ(d.SequencerRunState[s], kRunStop);
    EXPECT_EQ(w.RadioGroupSeqJobItems->checkedId(), kRunStop);
    messages->answers = {Answer::Yes};
    w.SpeedButtonAlloff->click();
    for (int s = 0; s < kSequencers; ++s) EXPECT_EQ(d.SequencerRunState[s], kRunOff);
}

TEST_F(SequencerWindow, TempoBarWritesTheCurrentPatternAndShowsItsRange) {
    ShowData& d = data();
    d.SequencerStepWords[0][10] = kWordStop;
    d.SequencerStepWords[0][20] = kWordLoop;
    d.SequencerCurrentStep[0] = 15;
    TFormSequenser& w = Create();
    EXPECT_TRUE(w.SpeedButtonTempSliceSeq->isChecked());
    EXPECT_FALSE(w.CheckBoxEnableTempo->isChecked());
    w.ScrollBarSeqSpeed->setSliderPosition(500);
    EXPECT_TRUE(w.CheckBoxEnableTempo->isChecked());
    for (int t = 11; t <= 19; ++t) EXPECT_EQ(d.SequencerStepWords[0][t], 500) << t;
    EXPECT_EQ(d.SequencerStepWords[0][9], 1000);
    EXPECT_EQ(d.SequencerStepWords[0][21], 1000);
    EXPECT_EQ(w.TimerSeq[0]->interval(), 500);
    w.tmrPatternTimer();
    EXPECT_EQ(w.LabelRealAdr->text(), "Adr From 12 to 20");
    EXPECT_EQ(w.LabelPatternLeng->text(), "Leng 9");
    EXPECT_EQ(w.lblTempo->text(), "T=0.5 sec");

    // A scope button unchecks "Rec ON" first, so it only sets the range.
    w.SpeedButtonTempAll->click();
    EXPECT_FALSE(w.CheckBoxEnableTempo->isChecked());
    EXPECT_EQ(d.SequencerStepWords[0][0], 1000);
    EXPECT_EQ(d.SequencerStepWords[0][10], kWordStop);
    w.tmrPatternTimer();
    EXPECT_EQ(w.LabelPatternLeng->text(), "Leng 255");

    // Choosing another sequencer unchecks "Rec ON" too.
    w.CheckBoxEnableTempo->click();
    EXPECT_TRUE(w.CheckBoxEnableTempo->isChecked());
    w.ScrollBarNombSeq->setSliderPosition(1);
    EXPECT_FALSE(w.CheckBoxEnableTempo->isChecked());
    EXPECT_EQ(d.EditorSettings[9], 1);
    EXPECT_EQ(w.GroupBoxSeq1_32->title(), "Номер секвенсера 2");
}

TEST_F(SequencerWindow, PopupCommandsWriteTheStepUnderTheMouse) {
    ShowData& d = data();
    Drive(0);
    TFormSequenser& w = Create();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.ScrollBarSeqVisual->setValue(20);
    QTest::mouseClick(w.PaintBoxSpots, Qt::LeftButton, {}, QPoint(16 * 7 + 3, 60));
    EXPECT_EQ(SequencerEditInstance().PointedStep, 27);

    w.CheckBoxEnableTempo->setChecked(true);
    Action(w.PopupMenuRGB, "Popur_STOP")->trigger();
    EXPECT_EQ(d.SequencerStepWords[0][27], kWordStop);
    EXPECT_TRUE(w.CheckBoxEnableTempo->isChecked()) << "Stop keeps Rec ON";
    Action(w.PopupMenuKlapan, "MenuItem14")->trigger();
    EXPECT_EQ(d.SequencerStepWords[0][27], kWordLoop);
    EXPECT_FALSE(w.CheckBoxEnableTempo->isChecked());
    w.ScrollBarSeqSpeed->setValue(2500);
    Action(w.PopupMenuRGB, "Popur_Del_ctrl_Scena")->trigger();
    EXPECT_EQ(d.SequencerStepWords[0][27], 2500);

    messages->answers = {Answer::No};
    d.SequencerStepWords[0][3] = kWordToBegin;
    Action(w.PopupMenuRGB, "popur_clear_upr")->trigger();
    EXPECT_EQ(d.SequencerStepWords[0][3], kWordToBegin);
    messages->answers = {Answer::Yes};
    Action(w.PopupMenuRGB, "popur_clear_upr")->trigger();
    EXPECT_EQ(messages->log.back().text,
              TwoLines("Нажатие кнопки измненит все значения", "управляющих команд в текущем секвенсере!"));
    EXPECT_EQ(d.SequencerStepWords[0][3], 1000);
    EXPECT_EQ(d.SequencerStepWords[0][27], 1000);

    // "Set the scene here" on a playing sequencer: the next expiry writes the pointed step.
    d.SequencerRunState[0] = kRunPlay;
    d.SequencerCurrentStep[0] = 2;
    Action(w.PopupMenuRGB, "popur_scena_set")->trigger();
    EXPECT_EQ(d.SequencerCurrentStep[0], 27);
    EXPECT_EQ(w.ScrollBarScenaRun->value(), 27);
    w.JobAllviewPic(0);
    EXPECT_EQ(d.DmxFrame[1], 28);
}

TEST_F(SequencerWindow, DeleteButtonsAskAndRewriteTheWords) {
    ShowData& d = data();
    uint16_t* words = d.SequencerStepWords[0];
    words[1] = kWordLoop;
    words[2] = kWordToBegin;
    words[3] = 500;
    words[255] = kWordStop;
    TFormSequenser& w = Create();
    messages->answers = {Answer::No};
    w.SpeedButtonDelOnlyLine->click();
    EXPECT_EQ(words[1], kWordLoop);
    messages->answers = {Answer::Yes};
    w.SpeedButtonDelOnlyLine->click();
    EXPECT_EQ(messages->log.back().text, TwoLines("You change group options. ", "You sure?"));
    EXPECT_EQ(words[1], 1000);
    EXPECT_EQ(words[2], 1000);
    EXPECT_EQ(words[3], 500);
    w.ScrollBarSeqSpeed->setValue(300);
    messages->answers = {Answer::Yes};
    w.SpeedButtonDelAllControl->click();
    EXPECT_EQ(words[3], 300);
    EXPECT_EQ(words[254], 300);
    EXPECT_EQ(words[255], kWordStop);
}

TEST_F(SequencerWindow, NameEditStoresSixteenCharactersAndIgnoresAnEmptyText) {
    ShowData& d = data();
    TFormSequenser& w = Create();
    w.edtNameSeq->setText("Pumps of the north side");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.SequencerNames[0]), 16), "Pumps of the nor");
    w.edtNameSeq->clear();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.SequencerNames[0]), 16), "Pumps of the nor");
    w.ScrollBarNombSeq->setValue(2);
    w.edtNameSeq->setText("RGB");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.SequencerNames[2]), 16), "RGB             ");
    w.ScrollBarNombSeq->setValue(0);
    EXPECT_EQ(w.edtNameSeq->text(), "Pumps of the nor");
}

// As the operator does it: a click at the end of the box, then the keys.
void TypeAtEnd(QLineEdit* edit, const char* text) {
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
    QTest::keyClicks(edit, text);
}

TEST_F(SequencerWindow, ANameTypedAfterALoadIsStoredAndLoadedNamesKeepTheirBytes) {
    ShowData& d = data();
    static const char kArc[] = "  Arc 2  x      ";
    std::memcpy(d.SequencerNames[1], kArc, 16);
    for (int s = 0; s < 64; ++s)
        if (s != 1) std::memset(d.SequencerNames[s], ' ', 16);
    ASSERT_TRUE(SaveSeqFile(d));
    std::memset(d.SequencerNames, 0, sizeof d.SequencerNames);
    ASSERT_EQ(OpenSeqFile(d), FileLoad::Loaded);
    TFormSequenser& w = Create();
    w.show();
    EXPECT_EQ(w.edtNameSeq->text(), "");
    TypeAtEnd(w.edtNameSeq, "Show1");
    EXPECT_EQ(w.edtNameSeq->text(), "Show1");
    w.ScrollBarNombSeq->setValue(1);
    EXPECT_EQ(w.edtNameSeq->text(), "  Arc 2  x");
    w.ScrollBarNombSeq->setValue(0);
    EXPECT_EQ(w.edtNameSeq->text(), "Show1");
    ASSERT_TRUE(SaveSeqFile(d));
    std::memset(d.SequencerNames, 0, sizeof d.SequencerNames);
    ASSERT_EQ(OpenSeqFile(d), FileLoad::Loaded);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.SequencerNames[0]), 16), "Show1           ");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.SequencerNames[1]), 16), kArc) << "shown, not typed into";
}

TEST_F(SequencerWindow, WheelScrollsTheActivePageWithDivisor63WhenUnset) {
    ShowData& d = data();
    d.ProgramOptions[1] = 0;
    TFormSequenser& w = Create();
    const int before = w.ScrollBarSpotPos->value();
    QWheelEvent wheel(QPointF(200, 200), QPointF(200, 200), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &wheel);
    EXPECT_EQ(d.ProgramOptions[1], 63);
    EXPECT_EQ(w.ScrollBarSpotPos->value(), before + 1);
    w.PageControlmain->setCurrentIndex(2);
    EXPECT_EQ(d.EditorSettings[2], 2);
    w.FormMouseWheel(-200);
    EXPECT_EQ(w.ScrollBarGroupPos->value(), 0) << "the bar bounds the result";
    w.FormMouseWheel(63 * 5);
    EXPECT_EQ(w.ScrollBarGroupPos->value(), 5);
}

TEST_F(SequencerWindow, OpeningAnotherFileReloadsItsOwnNotes) {
    ShowData& d = data();
    const std::string a = Path("a.seq"), b = Path("b.seq"), c = Path("c.seq");
    MakeSeqFile(a, 1);
    MakeSeqFile(b, 2);
    MakeSeqFile(c, 3);
    ASSERT_TRUE(WriteFileAtomic(Path("a.txt"), std::string("notes of a\r\n")));
    ASSERT_TRUE(WriteFileAtomic(Path("b.txt"), std::string("notes of b\r\nsecond line\r\n")));
    d.sNameFileSeq = a;
    TFormSequenser& w = Create();
    EXPECT_EQ(w.MemoNotes->toPlainText(), "notes of a");
    EXPECT_EQ(w.OpenDialogSeq.FileName.toStdString(), a);

    answer = b;
    w.SpeedButtonOpenSequens->click();
    EXPECT_EQ(d.sNameFileSeq, b);
    EXPECT_EQ(d.SequencerStepData[0][0][0], 2);
    EXPECT_EQ(w.MemoNotes->toPlainText(), "notes of b\nsecond line");
    EXPECT_EQ(w.windowTitle().toStdString(), "Open file Sequenser: " + b);
    EXPECT_EQ(w.SaveDialogSeq.FileName.toStdString(), b);
    EXPECT_EQ(w.edtNameSeq->text(), "file 2");

    w.SpeedButtonSaveSeq->click();
    EXPECT_EQ(ReadText(Path("b.txt")), "notes of b\r\nsecond line\r\n");
    EXPECT_EQ(ReadText(Path("a.txt")), "notes of a\r\n");
    EXPECT_TRUE(FileExists(SettingsFilePath()));

    // A file without notes shows an empty memo; its save never takes the old file's notes.
    answer = c;
    w.SpeedButtonOpenSequens->click();
    EXPECT_EQ(w.MemoNotes->toPlainText(), "");
    w.SpeedButtonSaveSeq->click();
    EXPECT_EQ(ReadText(Path("c.txt")), "");
    EXPECT_EQ(ReadText(Path("b.txt")), "notes of b\r\nsecond line\r\n");
}

TEST_F(SequencerWindow, NotesTypedBeforeOpeningAnotherFileStayWithTheirFile) {
    ShowData& d = data();
    MakeSeqFile(Path("a.seq"), 1);
    MakeSeqFile(Path("b.seq"), 2);
    d.sNameFileSeq = Path("a.seq");
    TFormSequenser& w = Create();
    w.MemoNotes->insertPlainText("pump 3 leaks");
    answer = Path("b.seq");
    w.SpeedButtonOpenSequens->click();
    EXPECT_EQ(ReadText(Path("a.txt")), "pump 3 leaks\r\n");
    EXPECT_FALSE(FileExists(Path("b.txt")));
    EXPECT_EQ(w.MemoNotes->toPlainText(), "");
}

// A notes file that could not be read at load (over its bound, a pipe, a failing disk) is not
// replaced by the empty memo shown for it, neither by a save nor by the window's close; notes
// typed afterwards are saved.
TEST_F(SequencerWindow, ARefusedNotesFileOutlivesSavesUntilTheOperatorTypes) {
    const std::string notes = Path("show.txt");
    enum Kind { Oversized, Fifo, FailingDisk };
    for (const Kind kind : {Oversized, Fifo, FailingDisk}) {
        SCOPED_TRACE(kind == Fifo ? "a FIFO" : kind == Oversized ? "an oversized file" : "a failing disk");
        MakeSeqFile(Path("show.seq"), 1);
        fs::remove(notes);
        const std::string kept = kind == Oversized ? std::string(kMaxNotesFileBytes + 1, 'x') : "pump 3 leaks\r\n";
        const bool fifo = kind == Fifo;
        if (fifo) ASSERT_EQ(::mkfifo(notes.c_str(), 0600), 0);
        else ASSERT_TRUE(WriteFileAtomic(notes, kept));
        auto untouched = [&] { return fifo ? fs::is_fifo(notes) : ReadText(notes) == kept; };
        messages->log.clear();
        std::optional<test::FileSeamScope> disk;
        if (kind == FailingDisk) disk.emplace(FileLayerSeam{[&](const std::string& p) { return p == notes ? EIO : 0; }, {}});
        TFormSequenser& w = Create();
        EXPECT_EQ(w.MemoNotes->toPlainText(), "");
        ASSERT_EQ(messages->log.size(), 1u) << "told once, at the load";
        EXPECT_NE(messages->log[0].text.find(notes), std::string::npos) << messages->log[0].text;
        w.SpeedButtonSaveSeq->click();
        delete FormSequenser;
        FormSequenser = nullptr;
        disk.reset();   // the check reads through the same file layer
        EXPECT_TRUE(untouched());
        EXPECT_EQ(messages->log.size(), 1u);
        if (kind == FailingDisk) continue;   // read again, the notes show

        Create();
        FormSequenser->MemoNotes->setFocus();
        QTest::keyClicks(FormSequenser->MemoNotes, "pump 3");
        FormSequenser->SpeedButtonSaveSeq->click();
        EXPECT_TRUE(fs::is_regular_file(notes));
        EXPECT_EQ(ReadText(notes), "pump 3\r\n");
        // Written once, the file is the memo's: emptying the memo empties it.
        FormSequenser->MemoNotes->clear();
        FormSequenser->SpeedButtonSaveSeq->click();
        EXPECT_EQ(ReadText(notes), "");
        delete FormSequenser;
        FormSequenser = nullptr;
    }
}

TEST_F(SequencerWindow, OpenCancelledChangesNothing) {
    ShowData& d = data();
    MakeSeqFile(Path("show.seq"), 1);
    ASSERT_TRUE(WriteFileAtomic(Path("show.txt"), std::string("mine\r\n")));
    TFormSequenser& w = Create();
    answer.reset();
    w.SpeedButtonOpenSequens->click();
    EXPECT_EQ(d.sNameFileSeq, Path("show.seq"));
    EXPECT_EQ(w.MemoNotes->toPlainText(), "mine");
}

// A first start names a sequencer file that is not there yet: Save asks where to write it, that
// name offered, and writes what Save writes once a name is chosen; cancelled, nothing at all.
TEST_F(SequencerWindow, SaveOfAFileNotWrittenYetOpensSaveAsWithItsName) {
    ShowData& d = data();
    const std::string fresh = Path("Spirelo.seq");
    d.sNameFileSeq = fresh;
    TFormSequenser& w = Create();
    EXPECT_EQ(w.windowTitle().toStdString(), "File sequenser: " + fresh);
    std::vector<std::pair<FileDialog::Kind, std::string>> asked;
    FileDialog::SetAnswerer([&](const FileDialog& dlg) -> std::optional<QString> {
        asked.emplace_back(dlg.kind(), dlg.FileName.toStdString());
        if (!answer) return std::nullopt;
        return QString::fromStdString(*answer);
    });
    w.MemoNotes->setPlainText("some notes");
    d.SequencerStepData[0][0][0] = 42;

    w.SpeedButtonSaveSeq->click();   // cancelled
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, FileDialog::Kind::Save);
    EXPECT_EQ(asked[0].second, fresh);
    EXPECT_FALSE(FileExists(fresh));
    EXPECT_FALSE(FileExists(Path("Spirelo.txt")));
    EXPECT_FALSE(FileExists(SettingsFilePath()));

    answer = fresh;                  // the offered name taken as it is
    w.SpeedButtonSaveSeq->click();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(messages->log.empty()) << "a file that is not there is not asked about";
    ASSERT_EQ(fs::file_size(fresh), kSeqFileSize);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(fresh, bytes));
    EXPECT_EQ(bytes[1024], 42) << "step 0 of sequencer 0, channel 1";
    EXPECT_EQ(ReadText(Path("Spirelo.txt")), "some notes\r\n");
    EXPECT_TRUE(FileExists(SettingsFilePath()));
    EXPECT_EQ(d.sNameFileSeq, fresh);

    // Once written, Save saves there without a dialog.
    w.SpeedButtonSaveSeq->click();
    EXPECT_EQ(asked.size(), 2u);

    // Another name chosen at the first save becomes the file's name.
    d.sNameFileSeq = Path("new.seq");
    answer = Path("park.seq");
    w.SpeedButtonSaveSeq->click();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[2].second, Path("new.seq"));
    EXPECT_EQ(d.sNameFileSeq, Path("park.seq"));
    EXPECT_TRUE(FileExists(Path("park.seq")));
    EXPECT_FALSE(FileExists(Path("new.seq")));
    EXPECT_EQ(ReadText(Path("park.txt")), "some notes\r\n");
    EXPECT_EQ(w.windowTitle().toStdString(), "File sequenser: " + Path("park.seq"));
}

TEST_F(SequencerWindow, SaveAsOntoTheCurrentFileAsksAndNoKeepsEverything) {
    ShowData& d = data();
    const std::string file = Path("show.seq");
    MakeSeqFile(file, 9);
    const std::string before = ReadText(file);
    d.sNameFileSeq = file;
    TFormSequenser& w = Create();
    d.SequencerStepData[0][0][0] = 77;
    answer = file;
    messages->answers = {Answer::No};
    w.SpeedButtonSaveAsSequens->click();
    ASSERT_FALSE(messages->log.empty());
    EXPECT_EQ(messages->log.back().text, "File " + file + "exist, rewrite?");
    EXPECT_EQ(ReadText(file), before);
    EXPECT_EQ(d.sNameFileSeq, file);
    EXPECT_FALSE(FileExists(SettingsFilePath()));

    messages->answers = {Answer::Yes};
    w.SpeedButtonSaveAsSequens->click();
    EXPECT_NE(ReadText(file), before);
    EXPECT_TRUE(FileExists(SettingsFilePath()));
}

TEST_F(SequencerWindow, SaveAsTakesTheNewNameButNotTheNotes) {
    ShowData& d = data();
    MakeSeqFile(Path("show.seq"), 1);
    TFormSequenser& w = Create();
    w.MemoNotes->setPlainText("n");
    answer = Path("copy.seq");
    w.SpeedButtonSaveAsSequens->click();
    EXPECT_EQ(d.sNameFileSeq, Path("copy.seq"));
    EXPECT_EQ(fs::file_size(Path("copy.seq")), kSeqFileSize);
    EXPECT_FALSE(FileExists(Path("copy.txt")));
    EXPECT_EQ(w.windowTitle().toStdString(), "File sequenser: " + Path("copy.seq"));
    EXPECT_EQ(w.OpenDialogSeq.FileName.toStdString(), Path("copy.seq"));
    // The notes go beside the new file when the window closes.
    delete FormSequenser;
    FormSequenser = nullptr;
    EXPECT_EQ(ReadText(Path("copy.txt")), "n\r\n");
}

TEST_F(SequencerWindow, FailedSaveAsKeepsTheNameOfTheShownFile) {
    ShowData& d = data();
    MakeSeqFile(Path("show.seq"), 1);
    TFormSequenser& w = Create();
    answer = Path("no such folder/copy.seq");
    w.SpeedButtonSaveAsSequens->click();
    EXPECT_EQ(d.sNameFileSeq, Path("show.seq"));
    EXPECT_FALSE(messages->log.empty()) << "the failure is told";
    EXPECT_EQ(w.windowTitle().toStdString(), "File sequenser: " + Path("show.seq"));
}

}  // namespace
