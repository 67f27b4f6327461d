#include "dmx/ui/form_usb_com.h"

#include "common/ini_file.h"
#include "common/live_data.h"
#include "common/ui/qt_helpers.h"
#include "common/shared_section.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "dmx/areas.h"
#include "dmx/live_data_writer.h"
#include "dmx/usb_frame.h"
#include "platform/d2xx_simulated.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/show_clock.h"
#include "ui/simulated_interface_test.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace spirelo;
namespace fs = std::filesystem;

namespace {

struct UsbWindow : test::SimulatedInterfaceTest {
    uint32_t now = 100000;

    void Create() {
        FormUSB_COM = new TFormUSB_COM();
        FormUSB_COM->TickCount = [this] { return now; };
        FormUSB_COM->FormCreate();
        FormUSB_COM->TimerDMX->stop();   // the tests run the cycles themselves
        FormUSB_COM->tmrCopyFromOption->stop();
    }

    void TearDown() override {
        delete FormUSB_COM;
        FormUSB_COM = nullptr;
        SimulatedInterfaceTest::TearDown();
    }

    size_t Cycles(int n) {
        size_t before = sim->frameCount();
        for (int k = 0; k < n; ++k) {
            now += 15;
            FormUSB_COM->TimerDMXTimer();
        }
        return sim->frameCount() - before;
    }

    static std::string SectionText(const std::string& name) {
        SharedSection s;
        std::string t;
        if (s.open(name, kLiveTextSize)) s.readText(t);
        return t;
    }
};

}  // namespace

TEST_F(UsbWindow, CreationOpensTheDeviceAndTheSectionsAndCyclesSendFrames) {
    Create();
    ShowData& d = ShowDataInstance();
    EXPECT_EQ(d.MappingOpenFlag, 1);
    EXPECT_FALSE(FormUSB_COM->SpeedButtonFileMap->isEnabled());
    EXPECT_TRUE(FormUSB_COM->SpeedButtonFileMapOFF->isEnabled());
    EXPECT_EQ(FormUSB_COM->EditCustomer->text(), "no Customer");

    FormUSB_COM->tmrCopyFromOptionTimer();
    EXPECT_EQ(FormUSB_COM->GroupBoxUsb->title(), "Device is Present 1 ");
    EXPECT_EQ(FormUSB_COM->LabelUSBserial->text(), "Serial FT7XQ2");

    // A playing sequencer drives channels 1..3 of the frame.
    for (int c = 1; c <= 3; ++c) d.SequencerChannelMask[0][c - 1] = 1;
    d.SequencerRunState[0] = kRunPlay;
    d.DmxFrame[1] = 255;
    d.DmxFrame[2] = 0;
    d.DmxFrame[3] = 16;
    EXPECT_EQ(Cycles(3), 3u);
    DecodedDmxUsbFrame f;
    auto last = sim->frames().back();
    ASSERT_EQ(DecodeDmxUsbFrame(last.data(), last.size(), false, f), last.size());
    EXPECT_EQ(f.levels[1], 255);
    EXPECT_EQ(f.levels[3], 16);
    EXPECT_EQ(SectionText(LiveDataInstance().DmxName).substr(0, 6), "FF0010");
    EXPECT_EQ(FormUSB_COM->shpFtdi->palette().color(QPalette::Window), QColor(0, 128, 0));
}

TEST_F(UsbWindow, OutputReadoutsFollowTheFormatEveryEleventhCycle) {
    Create();
    ShowData& d = ShowDataInstance();
    d.SequencerChannelMask[0][0] = 1;
    d.SequencerRunState[0] = kRunStop;
    d.DmxFrame[1] = 255;
    Cycles(11);
    EXPECT_EQ(FormUSB_COM->OutputLabel[1]->text(), "255");
    FormUSB_COM->SpeedButtonOutDmxProc->click();
    Cycles(11);
    EXPECT_EQ(FormUSB_COM->OutputLabel[1]->text(), "100");
    FormUSB_COM->SpeedButtonOutDmxHz->click();
    EXPECT_FALSE(FormUSB_COM->SpeedButtonOutDmxProc->isChecked());
    Cycles(11);
    EXPECT_EQ(FormUSB_COM->OutputLabel[1]->text(), "50");

    // The view moves with the left bar: row 1 then shows channel 11.
    d.DmxFrame[11] = 128;
    d.SequencerChannelMask[0][10] = 1;
    FormUSB_COM->ScrollBarPosDmxUSB->setValue(10);
    EXPECT_EQ(d.ProgramOptions[21], 10);
    FormUSB_COM->sbOutDmx255->click();
    Cycles(11);
    EXPECT_EQ(FormUSB_COM->OutputLabel[1]->text(), "128");
    // A user's scroll also renumbers the rows.
    FormUSB_COM->ScrollBarPosDmxUSB->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(d.ProgramOptions[21], 26);
    EXPECT_EQ(FormUSB_COM->ChannelLabel[1]->text(), "27");
}

TEST_F(UsbWindow, UnplugReplugAndUsbOffAreShownAndRecover) {
    Create();
    EXPECT_EQ(Cycles(2), 2u);
    sim->unplug();
    EXPECT_EQ(Cycles(3), 0u);
    FormUSB_COM->tmrCopyFromOptionTimer();
    EXPECT_EQ(FormUSB_COM->GroupBoxUsb->title(), "No USB devises ");
    EXPECT_EQ(FormUSB_COM->LabelUSBserial->text(), " ");
    sim->plug();
    EXPECT_EQ(Cycles(1), 1u);
    EXPECT_EQ(sim->counters().openHandles, 1);

    FormUSB_COM->CheckBoxFTDI->click();   // USB output off: nothing sent, shape red
    EXPECT_EQ(Cycles(2), 0u);
    EXPECT_EQ(FormUSB_COM->shpFtdi->palette().color(QPalette::Window), QColor(255, 0, 0));

    FormUSB_COM->CheckBoxFTDI->click();
    FormUSB_COM->CheckBoxCrypto->click();   // "Stream"
    EXPECT_EQ(Cycles(1), 1u);
    EXPECT_EQ(FormUSB_COM->Link().OutputFormat, kOutputFormatStream);
    EXPECT_LE(sim->frames().back()[2], 30);

    FormUSB_COM->SpeedButtonInitFTDI->click();   // re-init while open: old handle closed first
    EXPECT_EQ(sim->counters().openHandles, 1);
    EXPECT_EQ(Cycles(1), 1u);
}

TEST_F(UsbWindow, FrameRateReadoutUsesTheTickCount) {
    Create();
    FormUSB_COM->TimerDMXTimer();   // the first cycle after the start shows the rate since tick 0
    EXPECT_EQ(FormUSB_COM->lblFps->text(), "FPS = 0");
    Cycles(67);
    EXPECT_EQ(FormUSB_COM->lblFps->text(), "FPS = 66");
}

TEST_F(UsbWindow, MappingButtonsAndTheSettingOnDestroy) {
    {
        IniFile ini(SettingsFilePath());
        ini.writeBool("SystemInfo", "Mapping", false);
        ini.writeString("About", "Object", "Fontana");
        ASSERT_TRUE(ini.save());
    }
    Create();
    ShowData& d = ShowDataInstance();
    EXPECT_EQ(d.MappingOpenFlag, 0);
    EXPECT_FALSE(FormUSB_COM->CheckBoxMapping->isChecked());
    EXPECT_EQ(FormUSB_COM->EditNameObjeckt->text(), "Fontana");
    EXPECT_TRUE(FormUSB_COM->SpeedButtonFileMap->isEnabled());
    Cycles(1);   // closed: nothing written, no crash

    FormUSB_COM->SpeedButtonFileMap->click();
    EXPECT_EQ(d.MappingOpenFlag, 1);
    d.DmxOut[1] = 0;
    Cycles(1);
    EXPECT_EQ(SectionText(LiveDataInstance().DmxName), std::string(1024, '0'));
    FormUSB_COM->SpeedButtonFileMapOFF->click();
    EXPECT_EQ(d.MappingOpenFlag, 0);
    EXPECT_TRUE(FormUSB_COM->SpeedButtonFileMap->isEnabled());
    EXPECT_FALSE(FormUSB_COM->SpeedButtonFileMapOFF->isEnabled());

    FormUSB_COM->CheckBoxMapping->click();   // ticked again: saved at destruction
    delete FormUSB_COM;
    FormUSB_COM = nullptr;
    IniFile ini(SettingsFilePath());
    EXPECT_TRUE(ini.readBool("SystemInfo", "Mapping", false));
    EXPECT_EQ(sim->counters().openHandles, 0);   // the device was closed
    EXPECT_TRUE(messages->log.empty());
}

// The sections and the wire: an interface repeats its last frame, so that one is all zeros.
TEST_F(UsbWindow, AtTheEndTheSectionsAndTheWireShowTheFountainOff) {
    Create();
    ShowData& d = ShowDataInstance();
    for (int c = 1; c <= 3; ++c) d.SequencerChannelMask[0][c - 1] = 1;
    d.SequencerRunState[0] = kRunPlay;
    d.DmxFrame[1] = 200;
    d.DmxFrame[3] = 255;
    Cycles(2);
    const LiveDataSections& live = LiveDataInstance();
    ASSERT_EQ(SectionText(live.DmxName).substr(0, 2), "C8");
    std::memset(live.SpectrMap.data(), 'F', 60);   // as a spectrum the last cycle wrote
    const size_t lit = sim->frameCount();
    delete FormUSB_COM;                           // the controller's normal end
    FormUSB_COM = nullptr;
    EXPECT_EQ(d.MappingOpenFlag, 0);
    EXPECT_EQ(SectionText(live.DmxName), std::string(1024, '0'));
    EXPECT_EQ(SectionText(live.SpectrName), std::string(1024, '0'));
    ASSERT_EQ(sim->frameCount(), lit + 1);
    DecodedDmxUsbFrame f;
    const auto last = sim->frames().back();
    ASSERT_EQ(DecodeDmxUsbFrame(last.data(), last.size(), false, f), last.size());
    for (int c = 1; c <= 512; ++c) ASSERT_EQ(f.levels[c], 0) << "channel " << c;
    EXPECT_EQ(sim->counters().openHandles, 0);
}

TEST_F(UsbWindow, AreasAndColoursArePublished) {
    ShowData& d = ShowDataInstance();
    d.ProgramOptions[20] = 10;
    d.ProgramOptions[18] = 5;
    d.ProgramOptions[19] = 3;
    Create();
    FormUSB_COM->ColorBoxRealLine->setCurrentIndex(FormUSB_COM->ColorBoxRealLine->findText("Red"));
    FormUSB_COM->tmrCopyFromOptionTimer();
    const TAreaBounds& a = AreaBoundsInstance();
    EXPECT_EQ(a.SpotLast, 30);
    EXPECT_EQ(a.InverterFirst, 31);
    EXPECT_EQ(a.InverterLast, 35);
    EXPECT_EQ(a.KlapanFirst, 36);
    EXPECT_EQ(a.KlapanLast, 38);
    const TDrawColors& c = DrawColorsInstance();
    EXPECT_EQ(c.ColorRealLine, 0x0000FFu);
    EXPECT_EQ(c.ColorBackGroundSelect, 0x800080u);
    EXPECT_EQ(c.ColorUserWave, 0x00FFFFu);
}

TEST_F(UsbWindow, TimerRunsTheCycleInRealTime) {
    Create();
    SetTimerEnabled(FormUSB_COM->TimerDMX, true);
    // Frames keep coming, and never faster than one per 15 ms (a loaded machine only delays them).
    QElapsedTimer clock;
    clock.start();
    size_t before = sim->frameCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim->frameCount() - before >= 20; }, 20000));
    size_t frames = sim->frameCount() - before;
    EXPECT_LE(frames, size_t(clock.elapsed() / 15 + 2));

    if (const char* shot = std::getenv("SPIRELO_USB_WINDOW_SHOT")) {
        FormUSB_COM->PageControl->setCurrentWidget(FormUSB_COM->tsOption);
        FormUSB_COM->tmrCopyFromOptionTimer();
        FormUSB_COM->grab().save(QString(shot) + "_option.png");
        FormUSB_COM->PageControl->setCurrentWidget(FormUSB_COM->tsHand);
        FormUSB_COM->grab().save(QString(shot) + "_hand.png");
    }
}
