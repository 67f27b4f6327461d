// The sequencer window's "Fix DMX" grid and tools, the hidden ROM upload and the switched-off
// X-Y page, driven through their controls.
#include "sequencer/ui/form_sequenser.h"

#include "core/show_data.h"
#include "core/text_routines.h"
#include "dmx/areas.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "platform/serial_port.h"
#include "sequencer/fix_dmx_grid.h"
#include "sequencer/sequencer_store.h"
#include "sequencer/ui/paint_box.h"
#include "sequencer/xy_figures.h"
#include "ui/program_folder_test.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

class FixDmxPage : public test::ProgramFolderTest<> {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        ShowData& d = ShowDataInstance();
        ResetShowData(d);
        std::memset(d.SequencerChannelMask, 0, sizeof d.SequencerChannelMask);
        d.sNameFileSeq = (dir / "show.seq").string();
        d.ProgramFolder = dir.string() + "/";
        d.EditorSettings[2] = 2;
        AreaBoundsInstance() = TAreaBounds{};
        FormSequenser = new TFormSequenser;
        FormSequenser->FormCreate();
    }
    void TearDown() override {
        delete FormSequenser;
        FormSequenser = nullptr;
        AreaBoundsInstance() = TAreaBounds{};
        ProgramFolderTest::TearDown();
    }
    TFormSequenser& w() { return *FormSequenser; }
    ShowData& d() { return ShowDataInstance(); }
    QCheckBox* Cell(int c, int r) { return w().GroupCells[c * kGridRows + r]; }
    std::vector<int> Set(int g) {
        std::vector<int> v;
        for (int i = 0; i < kMaskColumns; ++i)
            if (d().SequencerChannelMask[g][i]) v.push_back(i);
        return v;
    }
};

TEST_F(FixDmxPage, CellsFollowTheRowWindowAndTheGroup) {
    w().ScrollBarGroupPos->setValue(100);
    w().RadioGroupSeqDuoItems->button(1)->click();
    EXPECT_EQ(w().LabelGroupSeqUp->text(), w().GroupLabelTexts[1]);
    EXPECT_EQ(w().GroupRowLabels[0]->text(), "101");
    EXPECT_EQ(Cell(3, 0)->toolTip().toStdString(), "Seq 20\n" + SeqNameText(d(), 19));
    Cell(3, 0)->click();
    EXPECT_EQ(d().SequencerChannelMask[19][100], 1);
    Cell(3, 0)->click();
    EXPECT_EQ(d().SequencerChannelMask[19][100], 0);

    // A scroll shows the new rows at once and is remembered.
    d().SequencerChannelMask[19][101] = 1;
    w().ScrollBarGroupPos->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(d().EditorSettings[8], 101);
    EXPECT_TRUE(Cell(3, 0)->isChecked());
    EXPECT_EQ(w().GroupRowLabels[0]->text(), "102");
}

TEST_F(FixDmxPage, RangeToolsAndRightPress) {
    w().ScrollBarBeginChK->setValue(1);
    w().ScrollBarLengDmxChK->setValue(1);
    EXPECT_EQ(w().LabelChK->text(), "Set from 1 to 1");
    w().GroupColumnBoxes[0]->click();
    w().SpeedButtonGroupAllon->click();
    EXPECT_EQ(Set(0), std::vector<int>{0});
    EXPECT_FALSE(w().GroupColumnBoxes[0]->isChecked());

    w().ScrollBarBeginChK->setValue(480);
    w().ScrollBarLengDmxChK->setValue(24);
    EXPECT_EQ(w().SpeedButtonAnother->text(), "New 504");
    EXPECT_EQ(w().LabelLengFix->text(), "Leng Fixs 24");
    w().SpeedButtonAnother->click();
    EXPECT_EQ(w().ScrollBarBeginChK->value(), 480);

    // A right press names the cell's channel and column and toggles nothing.
    w().ScrollBarGroupPos->setValue(40);
    QTest::mousePress(Cell(5, 7), Qt::RightButton, {}, QPoint(8, 8));
    QTest::mouseRelease(Cell(5, 7), Qt::RightButton, {}, QPoint(8, 8));
    EXPECT_EQ(w().ScrollBarBeginChK->value(), 48);
    EXPECT_TRUE(w().GroupColumnBoxes[5]->isChecked());
    EXPECT_FALSE(Cell(5, 7)->isChecked());
    EXPECT_EQ(Set(5), std::vector<int>{});
}

TEST_F(FixDmxPage, PresetsAskAndClear) {
    AreaBoundsInstance() = ComputeAreaBounds(178, 128, 512);
    d().SequencerChannelMask[3][9] = 1;
    messages->answers = {Answer::Yes};
    w().SpeedButtonLamp->click();   // no column chosen
    EXPECT_EQ(Set(3), std::vector<int>{9});
    EXPECT_EQ(messages->log.at(0).text, TwoLines("You change group options. ", "You sure?"));

    w().SpeedButtonChk16ON->click();
    for (QCheckBox* b : w().GroupColumnBoxes) EXPECT_TRUE(b->isChecked());
    messages->answers = {Answer::Yes};
    w().SpeedButtonLamp->click();
    EXPECT_EQ(Set(3).size(), 512u);
    EXPECT_EQ(Set(16), std::vector<int>{});
    for (QCheckBox* b : w().GroupColumnBoxes) EXPECT_FALSE(b->isChecked());

    messages->log.clear();
    messages->answers = {Answer::No};
    w().SpeedButtonGroupAlloffAll->click();
    EXPECT_EQ(messages->log.at(0).text, "Clear all fix DMX? ");
    EXPECT_EQ(Set(3).size(), 512u);
    messages->answers = {Answer::Yes};
    w().SpeedButtonGroupAlloffAll->click();
    EXPECT_EQ(Set(3), std::vector<int>{});

    // The fixed table always fills sequencers 1..16 and leaves 33..64 alone.
    d().SequencerChannelMask[20][0] = 1;
    d().SequencerChannelMask[40][0] = 1;
    w().RadioGroupSeqDuoItems->button(3)->click();
    messages->answers = {Answer::Yes};
    w().SpeedButtonDovi->click();
    EXPECT_EQ(Set(8).size(), 9u);
    EXPECT_EQ(Set(20), std::vector<int>{});
    EXPECT_EQ(Set(40), std::vector<int>{0});
}

TEST_F(FixDmxPage, ClearAllAnsweredNoTakesNoUndoSnapshot) {
    d().SequencerChannelMask[3][9] = 1;
    d().SequencerChannelMask[40][9] = 1;
    ASSERT_FALSE(w().TimerUndo->isActive());
    messages->answers = {Answer::No};
    w().SpeedButtonGroupAlloffAll->click();
    EXPECT_EQ(Set(3), std::vector<int>{9});
    EXPECT_FALSE(w().TimerUndo->isActive());
    messages->answers = {Answer::Yes};
    w().SpeedButtonGroupAlloffAll->click();
    EXPECT_TRUE(w().TimerUndo->isActive());
    EXPECT_EQ(Set(3), std::vector<int>{});
    EXPECT_EQ(Set(40), std::vector<int>{9});   // rows 0..31 only
}

TEST_F(FixDmxPage, RomSendsAppendToTheNotesAndAdvanceTheAddress) {
    std::ofstream(dir / "Spirelo.ini") << "[SerialPort]\nPort=ttyUSB7\n";
    const int S = 0;
    d().SequencerStepWords[S][9] = kWordLoop;
    d().SequencerStepWords[S][30] = kWordStop;
    d().SequencerCurrentStep[S] = 15;
    auto owned = std::make_unique<RecordingSerialPort>();
    RecordingSerialPort* port = owned.get();
    w().SerialPortDevice = std::move(owned);
    w().MemoNotes->setPlainText("keep me");
    EXPECT_FALSE(w().GroupBoxAdrRom->isVisibleTo(&w()));
    EXPECT_FALSE(w().SpeedButtonSend->isVisibleTo(&w()));

    w().ScrollBarAdrRom->setValue(14);
    EXPECT_EQ(w().GroupBoxAdrRom->title(), "ADR ROM 14");
    for (int i = 0; i < 3; ++i) w().SpeedButtonSend->click();
    ASSERT_EQ(port->writes.size(), 3u);
    EXPECT_EQ(port->writes[0][2], 14);
    EXPECT_EQ(port->writes[1][2], 15);
    EXPECT_EQ(port->writes[2][2], 15);
    EXPECT_EQ(port->opened.at(0), "/dev/ttyUSB7");
    EXPECT_EQ(w().GroupBoxAdrRom->title(), "ADR ROM 15");
    EXPECT_EQ(w().PageControlmain->currentIndex(), 4);
    EXPECT_TRUE(w().MemoNotes->toPlainText().startsWith("keep me\n"));

    port->openResult = SerialOpen::Failed;
    w().ScrollBarAdrRom->setValue(3);
    w().SpeedButtonSend->click();
    EXPECT_EQ(messages->log.back().text, "Не могу открыть порт");
    EXPECT_TRUE(w().MemoNotes->toPlainText().endsWith(QString::fromUtf8("Передача в порт")));
    EXPECT_EQ(w().ScrollBarAdrRom->value(), 3);
}

TEST_F(FixDmxPage, XYPageIsOffButItsControlsWork) {
    EXPECT_FALSE(w().tsXYDevices->isEnabled());
    EXPECT_TRUE(w().tmrRepeatButton->isActive());
    EXPECT_EQ(w().tmrRepeatButton->interval(), 700);
    EXPECT_EQ(w().LabelXYareaFirrtName[0]->text(), "Ch1  ");
    w().tsXYDevices->setEnabled(true);   // as if switched on, so the buttons take clicks

    // Held point button: applied on press, again at each expiry, forgotten on release.
    XYParams p = w().XYParamsNow();
    for (int s = 0; s < 32; ++s) WritePoint(d(), p, s, 100, 100);
    emit w().SpeedButtonEditPosRight->pressed();
    EXPECT_EQ(ReadPoint(d(), p, 0).x, 101);
    w().tmrRepeatButtonTimer();
    EXPECT_EQ(ReadPoint(d(), p, 0).x, 102);
    EXPECT_EQ(w().tmrRepeatButton->interval(), 50);
    emit w().SpeedButtonEditPosRight->released();
    EXPECT_EQ(w().tmrRepeatButton->interval(), 1000);
    w().tmrRepeatButtonTimer();
    EXPECT_EQ(ReadPoint(d(), p, 0).x, 102);

    // Copy into the third pair only.
    w().ScrollBarEditXYCh2->setValue(10);
    w().ScrollBarEditXYCh3->setValue(20);
    w().ScrollBarEditXYCh4->setValue(30);
    w().CheckBoxEditXY3->setChecked(true);
    w().btnEditXYcopy->click();
    EXPECT_EQ(d().SequencerStepData[p.Q][5][20], 102);
    EXPECT_EQ(d().SequencerStepData[p.Q][5][10], 0);
    EXPECT_EQ(d().SequencerStepData[p.Q][5][30], 0);

    // The pictures of three figures (SPIRELO_SHOTS=<folder> keeps them).
    const char* shots = std::getenv("SPIRELO_SHOTS");
    const std::pair<int, const char*> figures[] = {{5, "xy_circle"}, {6, "xy_eight"}, {8, "xy_spiral"}};
    for (auto [button, name] : figures) {
        w().XYFigureButtons[button]->click();
        const QImage pad = w().XYPicture;
        EXPECT_EQ(pad.pixelColor(ReadPoint(d(), p, 31).x, 255 - ReadPoint(d(), p, 31).y), QColor(Qt::red)) << name;
        if (shots) pad.save(QString("%1/%2.png").arg(shots, name));
    }

    // A first scene past the last raises it, and the circle then refuses.
    w().SpinEditESSfrom->setValue(40);
    EXPECT_EQ(w().SpinEditESSto->value(), 40);
    const uint8_t before = d().SequencerStepData[p.Q][38][0];
    w().XYFigureButtons[5]->click();
    EXPECT_EQ(messages->log.back().text, kFigureRefused);
    EXPECT_EQ(d().SequencerStepData[p.Q][38][0], before);
    EXPECT_EQ(w().LabelFigure->text(), QString::fromUtf8(" Размер фигуры 200       Опция 7"));
}

}  // namespace
