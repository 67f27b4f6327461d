// The USB and DMX window's table pages, macros and recorder, and the DMX monitor window.
#include "dmx/ui/form_usb_com.h"
#include "dmx/ui/form_visual.h"

#include "common/file_io.h"
#include "common/ini_file.h"
#include "common/live_data.h"
#include "common/shared_section.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "dmx/areas.h"
#include "dmx/dmx_recorder.h"
#include "dmx/live_data_writer.h"
#include "platform/d2xx_simulated.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "ui/simulated_interface_test.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace spirelo;
namespace fs = std::filesystem;

namespace {

struct DmxTablesWindow : test::SimulatedInterfaceTest {

    // Copies of the tables to compare with after the window has worked on them.
    struct Tables {
        uint8_t hand[kChannelSlots], enable[kChannelSlots], invert[kChannelSlots], min[kChannelSlots], max[kChannelSlots];
        uint16_t coder[kChannelSlots];
        bool operator==(const Tables& o) const {
            return !std::memcmp(hand, o.hand, sizeof hand) && !std::memcmp(enable, o.enable, sizeof enable) &&
                   !std::memcmp(invert, o.invert, sizeof invert) && !std::memcmp(min, o.min, sizeof min) &&
                   !std::memcmp(max, o.max, sizeof max) && !std::memcmp(coder, o.coder, sizeof coder);
        }
    };

    void SetUp() override {
        SimulatedInterfaceTest::SetUp();
        ShowData& d = ShowDataInstance();
        d.sNameFileSeq = (dir / "show.seq").string();
        d.sNameFileProject = (dir / "show.trk").string();
        d.ProgramOptions[1] = 120;   // the wheel sensor, read while there is no sound window
        d.ProgramFlags[3] = 1;       // "Direct"
        d.ProgramOptions[13] = 200;
        d.ProgramOptions[20] = 10;
        d.ProgramOptions[18] = 5;
        d.ProgramOptions[19] = 3;
        IniFile ini(SettingsFilePath());
        ini.writeBool("SystemInfo", "Mapping", false);
        ini.save();
    }

    void TearDown() override {
        delete FormVisual;
        FormVisual = nullptr;
        delete FormUSB_COM;
        FormUSB_COM = nullptr;
        DmxOutputStateInstance().MonitorTap = 0;
        SimulatedInterfaceTest::TearDown();
    }

    static void Pattern() {
        ShowData& d = ShowDataInstance();
        for (int c = 0; c <= 512; ++c) {
            d.HandLevel[c] = uint8_t(c * 3 + 1);
            d.HandEnable[c] = uint8_t(c % 2);
            d.InvertFlag[c] = uint8_t(c % 3 == 0);
            d.ChannelMin[c] = uint8_t(c % 50);
            d.ChannelMax[c] = uint8_t(200 + c % 50);
            d.CoderTable[c] = uint16_t(512 - c);
        }
    }

    static Tables Snapshot() {
        const ShowData& d = ShowDataInstance();
        Tables t;
        std::memcpy(t.hand, d.HandLevel, sizeof t.hand);
        std::memcpy(t.enable, d.HandEnable, sizeof t.enable);
        std::memcpy(t.invert, d.InvertFlag, sizeof t.invert);
        std::memcpy(t.min, d.ChannelMin, sizeof t.min);
        std::memcpy(t.max, d.ChannelMax, sizeof t.max);
        std::memcpy(t.coder, d.CoderTable, sizeof t.coder);
        return t;
    }

    void Create() {
        FormUSB_COM = new TFormUSB_COM();
        FormUSB_COM->FormCreate();
        FormUSB_COM->TimerDMX->stop();
        FormUSB_COM->tmrCopyFromOption->stop();
        FormUSB_COM->tmrCopyFromOptionTimer();   // the areas
    }

    static void Wheel(QWidget* over, int delta) {
        QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    }

    static void Cycles(int n) {
        for (int k = 0; k < n; ++k) FormUSB_COM->TimerDMXTimer();
    }
};

}  // namespace

TEST_F(DmxTablesWindow, CreationScrollingAndRefreshKeepTheTables) {
    ShowData& d = ShowDataInstance();
    Pattern();
    d.ProgramOptions[21] = 5;
    d.ProgramOptions[22] = 3;
    const Tables before = Snapshot();
    Create();
    EXPECT_TRUE(before == Snapshot());
    EXPECT_EQ(FormUSB_COM->PageControl->currentIndex(), 3);
    EXPECT_EQ(FormUSB_COM->GroupBoxMaxJet->title(), "Manual level max High All Jets  200");
    EXPECT_EQ(FormUSB_COM->LabelStartInv->text(), "Первый канал    = 31");
    EXPECT_EQ(FormUSB_COM->LabelStopInv->text(), "Последний канал = 35");
    EXPECT_EQ(FormUSB_COM->CoderSourceLabel[1]->text(), QString::number(512 - 6));
    EXPECT_EQ(FormUSB_COM->ChannelLabel[1]->text(), "6");
    EXPECT_EQ(FormUSB_COM->HandBar[1]->value(), d.HandLevel[6]);
    EXPECT_EQ(FormUSB_COM->MinLabel[2]->text(), QString::number(d.ChannelMin[7]));
    EXPECT_EQ(FormUSB_COM->HandCheck[1]->isChecked(), d.HandEnable[6] != 0);
    EXPECT_EQ(FormUSB_COM->InvertCheck[1]->isChecked(), true);
    EXPECT_FALSE(FormUSB_COM->CheckBoxMinMaxEnabled->isChecked());
    EXPECT_FALSE(FormUSB_COM->CheckBoxEnableRecord->isChecked());
    EXPECT_FALSE(FormUSB_COM->CheckBoxToHand->isChecked());
    EXPECT_FALSE(FormUSB_COM->CheckBoxDMXrecord->isChecked());
    EXPECT_TRUE(FormUSB_COM->MinBar[1]->isEnabled());   // unlocked
    // Row colours: channel 6 is a spot's blue.
    EXPECT_EQ(FormUSB_COM->ChannelLabel[1]->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    FormUSB_COM->ScrollBarPosDmxUSB->triggerAction(QAbstractSlider::SliderPageStepAdd);
    FormUSB_COM->RefreshAllPage(true);
    FormUSB_COM->show();
    QApplication::processEvents();
    EXPECT_TRUE(before == Snapshot());
    EXPECT_EQ(d.ProgramOptions[21], 21);
    EXPECT_EQ(FormUSB_COM->ChannelLabel[10]->text(), "31");
    EXPECT_EQ(FormUSB_COM->ChannelLabel[10]->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(FormUSB_COM->ChannelLabel[15]->palette().color(QPalette::WindowText), QColor(0, 128, 128));
    EXPECT_EQ(FormUSB_COM->ChannelLabel[25]->palette().color(QPalette::WindowText), QColor(192, 192, 192));
    EXPECT_EQ(d.ProgramOptions[22], 3);   // no program page switch was stored
}

TEST_F(DmxTablesWindow, TheWheelMovesTheViewFromAnywhereAndWritesNoTable) {
    ShowData& d = ShowDataInstance();
    Pattern();
    d.ProgramOptions[21] = 10;
    Create();
    d.StaticModeFlag = 1;
    FormUSB_COM->HandCheck[1]->setChecked(true);
    const Tables before = Snapshot();
    Wheel(FormUSB_COM->HandBar[1], 120);   // "Direct": one row back
    EXPECT_EQ(d.ProgramOptions[21], 9);
    EXPECT_EQ(FormUSB_COM->ScrollBarPosDmxUSB->value(), 9);
    EXPECT_EQ(FormUSB_COM->ChannelLabel[1]->text(), "10");
    EXPECT_TRUE(before == Snapshot());
    d.ProgramOptions[1] = 7;
    Wheel(FormUSB_COM->MinBar[3], 120);
    EXPECT_EQ(d.ProgramOptions[21], 0);   // -17, kept at 0
    d.ProgramOptions[1] = 120;
    for (int i = 0; i < 7; ++i) Wheel(FormUSB_COM->PageControl, -15);
    EXPECT_EQ(d.ProgramOptions[21], 0);   // fine steps are summed
    Wheel(FormUSB_COM->PageControl, -15);
    EXPECT_EQ(d.ProgramOptions[21], 1);
    EXPECT_TRUE(before == Snapshot());
}

TEST_F(DmxTablesWindow, HandPageRangesPresetsAndRows) {
    ShowData& d = ShowDataInstance();
    d.ProgramOptions[20] = 160;
    d.ProgramOptions[18] = 20;
    d.ProgramOptions[19] = 40;
    std::memset(d.HandLevel, 0, sizeof d.HandLevel);
    std::memset(d.HandEnable, 0, sizeof d.HandEnable);
    Create();
    std::memset(d.InvertFlag, 7, sizeof d.InvertFlag);
    FormUSB_COM->SpeedButtonKlapOn->click();
    for (int c = 501; c <= 512; ++c) EXPECT_EQ(d.HandEnable[c], 1) << c;
    EXPECT_EQ(d.HandEnable[500], 0);
    EXPECT_EQ(d.InvertFlag[1], 7);
    FormUSB_COM->SpeedButtonOnKlap->click();
    EXPECT_EQ(d.HandLevel[512], 255);
    EXPECT_EQ(d.HandLevel[500], 0);

    // 178 spots: the white preset fills the whole universe, enables untouched.
    FormUSB_COM->ScrollBarSpotKolvo->setValue(178);
    FormUSB_COM->tmrCopyFromOptionTimer();
    std::memset(d.HandEnable, 0, sizeof d.HandEnable);
    QTest::mousePress(FormUSB_COM->ShapeWhite, Qt::LeftButton);
    for (int c = 1; c <= 512; ++c) ASSERT_EQ(d.HandLevel[c], 255) << c;
    for (int c = 1; c <= 512; ++c) ASSERT_EQ(d.HandEnable[c], 0) << c;
    QTest::mousePress(FormUSB_COM->shpViolet, Qt::LeftButton);
    EXPECT_EQ(d.HandLevel[1], 255);
    EXPECT_EQ(d.HandLevel[2], 0);
    EXPECT_EQ(d.HandLevel[3], 255);

    // A row's bar stores only in STATIC with its check box ticked.
    FormUSB_COM->HandCheck[1]->click();
    EXPECT_EQ(d.HandEnable[1], 1);
    FormUSB_COM->HandBar[1]->setValue(0);
    d.StaticModeFlag = 0;
    FormUSB_COM->HandBar[1]->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(d.HandLevel[1], 255);   // unchanged by the move
    FormUSB_COM->HandBar[1]->setValue(0);
    d.HandLevel[1] = 9;
    d.StaticModeFlag = 1;
    FormUSB_COM->HandBar[1]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(d.HandLevel[1], 1);
    ASSERT_TRUE(FormUSB_COM->InvertCheck[2]->isChecked());
    FormUSB_COM->InvertCheck[2]->click();
    EXPECT_EQ(d.InvertFlag[2], 0);
}

TEST_F(DmxTablesWindow, MinMaxPageAsksAndActsOverTheInverters) {
    ShowData& d = ShowDataInstance();
    Pattern();
    Create();
    const Tables before = Snapshot();
    messages->answers = {Answer::No};
    FormUSB_COM->SpeedButtonMinMaxDef->click();
    EXPECT_TRUE(before == Snapshot());
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].text, "You set all to MIN=0 MAX=255. \n\rYou sure?");
    messages->answers = {Answer::Yes};
    FormUSB_COM->SpeedButtonMinMaxDef->click();
    for (int c = 1; c <= 512; ++c) ASSERT_TRUE(d.ChannelMin[c] == 0 && d.ChannelMax[c] == 255) << c;

    FormUSB_COM->ScrollBarMin->setValue(55);   // inverters 31..35
    for (int c = 31; c <= 35; ++c) EXPECT_EQ(d.ChannelMin[c], 200) << c;
    EXPECT_EQ(d.ChannelMin[30], 0);
    EXPECT_EQ(d.ChannelMin[36], 0);
    FormUSB_COM->ScrollBarMax->setValue(5);
    EXPECT_EQ(d.ChannelMax[31], 250);

    // Row bars: the inverter channel takes the position, a valve channel 0.
    d.ProgramOptions[21] = 30;
    FormUSB_COM->ScrollBarPosDmxUSB->setValue(30);
    FormUSB_COM->RefreshAllPage(true);
    FormUSB_COM->MinBar[1]->setValue(100);
    FormUSB_COM->MinBar[1]->triggerAction(QAbstractSlider::SliderPageStepAdd);   // channel 31
    EXPECT_EQ(d.ChannelMin[31], 132);
    EXPECT_EQ(FormUSB_COM->MinLabel[1]->text(), "132");
    FormUSB_COM->MinBar[6]->triggerAction(QAbstractSlider::SliderPageStepAdd);   // channel 36, a valve
    EXPECT_EQ(d.ChannelMin[36], 0);
}

TEST_F(DmxTablesWindow, CoderPageFillsAndResets) {
    ShowData& d = ShowDataInstance();
    Create();
    for (int c = 1; c <= 512; ++c) d.CoderTable[c] = uint16_t(c);
    d.CoderTable[10] = 40;
    FormUSB_COM->ScrollBarFromCoder->setValue(513 - 10);
    FormUSB_COM->ScrollBarCoderLeng->setValue(513 - 3);
    EXPECT_EQ(FormUSB_COM->LabelcoderBegin->text(), "10");
    EXPECT_EQ(FormUSB_COM->LabelcoderCoda->text(), "13");
    EXPECT_EQ(FormUSB_COM->LabelCoderLeng->text(), "Leng=3");
    FormUSB_COM->SpeedButtonSetCoder->click();
    for (int c = 10; c <= 13; ++c) EXPECT_EQ(d.CoderTable[c], 30 + c) << c;
    EXPECT_EQ(d.CoderTable[14], 14);

    // The row bar writes its channel and moves From there ("move" is ticked).
    FormUSB_COM->CoderBar[3]->setValue(0);
    FormUSB_COM->CoderBar[3]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(d.CoderTable[3], 1);
    EXPECT_EQ(FormUSB_COM->LabelcoderBegin->text(), "3");

    messages->answers = {Answer::No};
    FormUSB_COM->SpeedButtonResetDmxCoder->click();
    EXPECT_EQ(d.CoderTable[10], 40);
    EXPECT_EQ(messages->log.back().text, "You deleting all table \n\rYou sure?");
    messages->answers = {Answer::Yes};
    FormUSB_COM->SpeedButtonResetDmxCoder->click();
    EXPECT_EQ(d.CoderTable[10], 10);
    EXPECT_EQ(d.CoderTable[3], 3);
}

TEST_F(DmxTablesWindow, AUserScrollOfTheSpotCountRecountsAndRecoloursAtOnce) {
    ShowData& d = ShowDataInstance();
    Pattern();
    d.ProgramOptions[21] = 10;
    Create();
    DmxOutputStateInstance().FrameSentFlag = 0;
    EXPECT_EQ(FormUSB_COM->ChannelLabel[18]->palette().color(QPalette::WindowText), QColor(255, 0, 0));   // channel 28
    FormUSB_COM->ScrollBarSpotKolvo->triggerAction(QAbstractSlider::SliderSingleStepSub);   // 9 spots
    EXPECT_EQ(d.ProgramOptions[20], 9);
    EXPECT_EQ(DmxOutputStateInstance().FrameSentFlag, 1);
    // First channel after the inverters: 5 + 27 + 1 = 33.
    EXPECT_EQ(d.ChannelMin[32], 32 % 50);
    for (int c = 33; c <= 511; ++c) ASSERT_TRUE(d.ChannelMin[c] == 0 && d.ChannelMax[c] == 255) << c;
    EXPECT_EQ(d.ChannelMin[512], 512 % 50);
    EXPECT_EQ(FormUSB_COM->LabelSpots->text(), "Spots           = 9");
    EXPECT_EQ(FormUSB_COM->ChannelLabel[18]->palette().color(QPalette::WindowText), QColor(0, 0, 0));   // now an inverter
}

TEST_F(DmxTablesWindow, MacrosReadStoreAndSwitchPages) {
    ShowData& d = ShowDataInstance();
    Create();
    for (int c = 0; c <= 512; ++c) d.HandLevel[c] = 77;
    d.ProgramFlags[10] = 1;
    QTest::mouseClick(FormUSB_COM->SpeedButtonMacro[3], Qt::LeftButton);
    for (int c = 0; c < 512; ++c) ASSERT_EQ(d.HandLevel[c], 0) << c;
    EXPECT_EQ(d.HandLevel[512], 77);
    EXPECT_EQ(d.AquelMode, 2);
    EXPECT_EQ(d.ProgramFlags[10], 0);
    EXPECT_EQ(FormUSB_COM->Label_write->text().toUtf8().toStdString(), "C\xD1\x87\xD0\xB8\xD1\x82\xD0\xB0\xD0\xBD \xD0\xBC\xD0\xB0\xD0\xBA\xD1\x80\xD0\xBE\xD1\x81 3");
    EXPECT_TRUE(FormUSB_COM->tmrMacro->isActive());

    // A right click stores only with "Enable Record", and still switches to the hand page.
    const std::string macroFile = (dir / "show.mcr").string();
    for (int c = 0; c <= 512; ++c) d.HandLevel[c] = uint8_t(c);
    FormUSB_COM->PageControl->setCurrentWidget(FormUSB_COM->tsMacro);
    const int userPage = d.ProgramOptions[22];
    FormUSB_COM->CheckBoxToHand->click();
    QTest::mouseClick(FormUSB_COM->SpeedButtonMacro[5], Qt::RightButton);
    EXPECT_EQ(d.MacroTable[5][100], 0);
    EXPECT_FALSE(fs::exists(macroFile));
    EXPECT_EQ(FormUSB_COM->PageControl->currentWidget(), FormUSB_COM->tsHand);
    EXPECT_EQ(d.ProgramOptions[22], userPage);

    FormUSB_COM->CheckBoxEnableRecord->click();
    QTest::mouseClick(FormUSB_COM->SpeedButtonMacro[5], Qt::RightButton);
    EXPECT_EQ(d.MacroTable[5][100], 100);
    EXPECT_EQ(d.MacroTable[5][0], 0);
    EXPECT_EQ(FormUSB_COM->Label_write->text(), "Записано в макрос 5");
    ASSERT_TRUE(fs::exists(macroFile));
    EXPECT_EQ(fs::file_size(macroFile), 32768u);

    FormUSB_COM->tmrMacroTimer();
    EXPECT_EQ(FormUSB_COM->Label_write->text(), " ");
    EXPECT_FALSE(FormUSB_COM->tmrMacro->isActive());
}

TEST_F(DmxTablesWindow, RecorderThroughItsHiddenControls) {
    ShowData& d = ShowDataInstance();
    Create();
    EXPECT_FALSE(FormUSB_COM->grpC->isVisibleTo(FormUSB_COM));
    DmxRecorder& rec = DmxRecorderInstance();
    rec.DmxRecordCount = 7;
    FormUSB_COM->CheckBoxDMXrecord->click();
    EXPECT_EQ(rec.DmxRecordCount, 0);
    EXPECT_EQ(d.AquelMode, 1);
    Cycles(3);   // STOP: nothing
    EXPECT_EQ(rec.DmxRecordCount, 0);
    FormUSB_COM->SpeedButtonRecord->click();
    EXPECT_FALSE(fs::exists(dir / "show.dmx"));

    // Dance: one frame per cycle, each the cycle's output.
    d.AquelMode = 4;
    d.SequencerChannelMask[0][0] = 1;
    d.SequencerRunState[0] = kRunStop;
    for (int k = 0; k < 4; ++k) {
        d.DmxFrame[1] = uint8_t(10 * k + 1);
        Cycles(1);
    }
    EXPECT_EQ(rec.DmxRecordCount, 4);
    FormUSB_COM->SpeedButtonRecord->click();
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile((dir / "show.dmx").string(), bytes).ok);
    ASSERT_EQ(bytes.size(), 4u * 512);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(bytes[size_t(k) * 512], 10 * k + 1) << k;

    FormUSB_COM->CheckBoxDMXrecord->click();   // unticked: no more frames
    Cycles(2);
    EXPECT_EQ(rec.DmxRecordCount, 4);
    rec.Start();
}

TEST_F(DmxTablesWindow, LockAndSaveWithoutASequencerFile) {
    ShowData& d = ShowDataInstance();
    Create();
    FormUSB_COM->CheckBoxFIX->click();
    EXPECT_EQ(d.ProgramFlags[8], 1);
    EXPECT_FALSE(FormUSB_COM->ScrollBarSpotKolvo->isEnabled());
    EXPECT_FALSE(FormUSB_COM->MinBar[1]->isEnabled());
    EXPECT_FALSE(FormUSB_COM->CoderBar[1]->isEnabled());
    EXPECT_FALSE(FormUSB_COM->SpeedButtonResetDmxCoder->isEnabled());
    EXPECT_FALSE(FormUSB_COM->SpeedButtonSaveIni->isVisibleTo(FormUSB_COM));
    FormUSB_COM->CheckBoxFIX->click();
    EXPECT_TRUE(FormUSB_COM->CoderBar[1]->isEnabled());
    EXPECT_TRUE(FormUSB_COM->SpeedButtonSaveIni->isVisibleTo(FormUSB_COM));

    // No sequencer file: nothing is saved and the boxes stay ticked.
    FormUSB_COM->CheckBoxProtectWriteIniCustom->setChecked(true);
    FormUSB_COM->CheckBoxMinMaxEnabled->setChecked(true);
    FormUSB_COM->SpeedButtonSaveIni->click();
    EXPECT_TRUE(FormUSB_COM->CheckBoxProtectWriteIniCustom->isChecked());
    EXPECT_TRUE(FormUSB_COM->CheckBoxMinMaxEnabled->isChecked());
    EXPECT_FALSE(fs::exists(d.sNameFileSeq));

    std::ofstream(d.sNameFileSeq) << "x";
    FormUSB_COM->SpeedButtonSaveIni->click();
    EXPECT_FALSE(FormUSB_COM->CheckBoxProtectWriteIniCustom->isChecked());
    EXPECT_FALSE(FormUSB_COM->CheckBoxMinMaxEnabled->isChecked());
    EXPECT_GT(fs::file_size(d.sNameFileSeq), 1u);
}

TEST_F(DmxTablesWindow, MonitorWindowDrawsOnlyWhenShownAndAfterAFrame) {
    FormVisual = new TFormVisual();
    FormVisual->FormCreate();
    FormVisual->tmrRepaint->stop();
    EXPECT_EQ(FormVisual->windowTitle(), "Channels DMX512 = 38");
    EXPECT_EQ(FormVisual->width(), 141);
    EXPECT_EQ(FormVisual->height(), 131);
    EXPECT_EQ(FormVisual->pos(), QPoint(10, 100));
    EXPECT_EQ(FormVisual->SpeedButtonMore->x(), 108);
    EXPECT_EQ(FormVisual->CheckBoxViewChannel->x(), 113);
    EXPECT_EQ(FormVisual->RadioButtonVisual->x(), 135);
    FormVisual->SpeedButtonMore->click();
    EXPECT_EQ(FormVisual->width(), 323);

    ShowData& d = ShowDataInstance();
    DmxOutputState& st = DmxOutputStateInstance();
    FormVisual->RadioButtonVisualItems[10]->click();   // "ScrlTest": the hand levels
    EXPECT_EQ(st.MonitorTap, 10);
    EXPECT_EQ(FormVisual->MonitorWidth, 1030);
    EXPECT_EQ(FormVisual->width(), 1030 + 217);
    d.HandLevel[1] = 255;
    d.HandLevel[2] = 0;
    d.HandLevel[3] = 0;
    st.FrameSentFlag = 1;
    FormVisual->tmrRepaintTimer();   // not shown: nothing drawn, the flag kept
    EXPECT_EQ(st.FrameSentFlag, 1);
    EXPECT_EQ(FormVisual->MonitorBitmap().pixel(0, 64), qRgb(0, 0, 0));

    FormVisual->show();
    EXPECT_TRUE(FormVisual->tmrRepaint->isActive());   // shown: the timer runs
    FormVisual->tmrRepaint->stop();
    FormVisual->tmrRepaintTimer();
    EXPECT_EQ(st.FrameSentFlag, 0);
    EXPECT_EQ(FormVisual->ShownWidth(), 1023);
    EXPECT_EQ(FormVisual->MonitorBitmap().pixel(0, 64), qRgb(255, 0, 0));   // spot 1 in its colour (255, 0, 0)
    // The box follows the pointer one pixel per repaint.
    FormVisual->CheckBoxViewChannel->click();
    FormVisual->pbUpMouseMove(20, 100);
    st.FrameSentFlag = 1;
    FormVisual->tmrRepaintTimer();
    EXPECT_EQ(FormVisual->Box().MonitorBoxX, 2);
    EXPECT_EQ(FormVisual->MonitorBitmap().pixel(90, 45), qRgb(0, 0, 128));   // inside the navy box, right of the text
    FormVisual->close();
    EXPECT_FALSE(FormVisual->tmrRepaint->isActive());
}
