#include "dmx/usb_link.h"
#include "platform/d2xx_simulated.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>

using namespace spirelo;

namespace {

class Link : public ::testing::Test {
protected:
    void SetUp() override {
        d = MakeShowData();
        st = MakeDmxOutputState();
        link = std::make_unique<UsbLink>(sim, 1234);
    }
    // One output cycle's sending step; returns the frames written by it.
    size_t Cycle() {
        size_t before = sim.frameCount();
        link->SendToUsb(*d, *st);
        return sim.frameCount() - before;
    }
    SimulatedD2xx sim{"AB12CD"};
    std::unique_ptr<ShowData> d;
    std::unique_ptr<DmxOutputState> st;
    std::unique_ptr<UsbLink> link;
};

}  // namespace

TEST_F(Link, InitListsOpensResetsAndSetsTimeouts) {
    link->InitUsbDevise();
    EXPECT_EQ(link->UsbStatusText, "Device is Present 1 ");
    EXPECT_EQ(link->UsbSerialText, "Serial AB12CD");
    EXPECT_EQ(link->UsbDeviceOpened, 1);
    EXPECT_EQ(link->UsbPortOk, 1);
    auto c = sim.counters();
    EXPECT_EQ(c.opens, 1);
    EXPECT_EQ(c.resets, 1);
    EXPECT_EQ(c.readTimeout, 500u);
    EXPECT_EQ(c.writeTimeout, 500u);
    EXPECT_EQ(link->UsbOutBuffer[0], 0xFF);

    d->DmxOut[1] = 0xFF;
    d->DmxOut[2] = 0x42;
    ASSERT_EQ(Cycle(), 1u);
    auto f = sim.frames().back();
    ASSERT_EQ(f.size(), 520u);
    EXPECT_EQ(f[3], 0xFF);
    EXPECT_EQ(f[4], 0xF7);
    EXPECT_EQ(f[5], 0x42);
    EXPECT_EQ(link->UsbFrameLength, 520);
    EXPECT_EQ(d->DmxSendBuffer[2], 0x42);
}

TEST_F(Link, NoDeviceReportsAndRetriesEveryCycle) {
    sim.unplug();
    link->InitUsbDevise();
    EXPECT_EQ(link->UsbStatusText, "No USB devises ");
    EXPECT_EQ(link->UsbSerialText, " ");
    EXPECT_EQ(link->UsbDeviceName, " ");
    EXPECT_EQ(link->UsbPortOk, 0);
    // The probe's failing open is not recorded.
    std::string before = link->D2xxMessage;
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Cycle(), 0u);
    EXPECT_EQ(link->D2xxMessage, before);

    sim.plug();
    EXPECT_EQ(Cycle(), 1u);   // listed and opened in the same cycle, frame sent
    EXPECT_EQ(link->UsbStatusText, "Device is Present 1 ");
}

TEST_F(Link, UnplugAndReplugResumeWithinOneCycleWithoutLeakingHandles) {
    link->InitUsbDevise();
    ASSERT_EQ(Cycle(), 1u);
    sim.unplug();
    EXPECT_EQ(Cycle(), 0u);   // probe fails, handle released
    EXPECT_EQ(link->UsbDeviceOpened, 0);
    EXPECT_EQ(sim.counters().openHandles, 0);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(Cycle(), 0u);
    EXPECT_EQ(link->UsbStatusText, "No USB devises ");

    sim.plug();
    EXPECT_EQ(Cycle(), 1u);
    auto c = sim.counters();
    EXPECT_EQ(c.opens, 2);
    EXPECT_EQ(c.resets, 2);
    EXPECT_EQ(c.timeoutSets, 2);
    EXPECT_EQ(c.openHandles, 1);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Cycle(), 1u);
}

TEST_F(Link, FailedWriteWhileStillPresentReopensNextCycle) {
    link->InitUsbDevise();
    sim.failWrites(1);
    EXPECT_EQ(Cycle(), 0u);
    EXPECT_EQ(link->UsbPortOk, 0);
    EXPECT_EQ(link->D2xxMessage, "Интерфейс отключен от компьютера  - Ошибка ввода-вывода...");
    EXPECT_EQ(link->UsbWriteStatus, FT_IO_ERROR);
    EXPECT_EQ(sim.counters().openHandles, 0);

    EXPECT_EQ(Cycle(), 1u);   // re-opened, reset, frame out
    EXPECT_EQ(sim.counters().opens, 2);
    EXPECT_EQ(sim.counters().resets, 2);
    EXPECT_EQ(link->UsbPortOk, 1);
}

TEST_F(Link, InitWhileOpenClosesTheOldHandleFirst) {
    link->InitUsbDevise();
    link->InitUsbDevise();
    EXPECT_EQ(link->UsbDeviceOpened, 1);
    EXPECT_EQ(sim.counters().openHandles, 1);
    EXPECT_EQ(sim.counters().closes, 1);
    EXPECT_EQ(Cycle(), 1u);

    link->CloseUsbDevise();
    EXPECT_EQ(sim.counters().openHandles, 0);
    EXPECT_EQ(link->UsbPortOk, 0);
}

// An interface repeats its last frame: whatever ends the program, the last one is all zeros.
TEST_F(Link, TheCloseWritesAFrameOfZerosBeforeTheHandleGoes) {
    const struct {
        const char* what;
        bool stream;
        bool fellClosed;   // the last write failed, so the link is closed at the end
    } cases[] = {{"plain", false, false}, {"stream", true, false}, {"after a failed write", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim.clearFrames();
        link = std::make_unique<UsbLink>(sim, 99);
        link->SetStreamFormat(c.stream);
        link->InitUsbDevise();
        std::memset(d->DmxOut + 1, 255, 512);
        ASSERT_EQ(Cycle(), 1u);
        if (c.fellClosed) {
            sim.failWrites(1);
            ASSERT_EQ(Cycle(), 0u);
            ASSERT_EQ(link->UsbDeviceOpened, 0);
        }
        link->CloseUsbDevise();
        EXPECT_EQ(sim.counters().openHandles, 0);
        const auto frames = sim.frames();
        ASSERT_GE(frames.size(), 2u);
        DecodedDmxUsbFrame lit, last;
        ASSERT_EQ(DecodeDmxUsbFrame(frames.front().data(), frames.front().size(), c.stream, lit), frames.front().size());
        ASSERT_EQ(DecodeDmxUsbFrame(frames.back().data(), frames.back().size(), c.stream, last), frames.back().size());
        EXPECT_EQ(lit.levels[17], 255);
        for (int ch = 1; ch <= 512; ++ch) ASSERT_EQ(last.levels[ch], 0) << "channel " << ch;
    }
    // Nothing open and no device: nothing to write, nothing fails.
    sim.clearFrames();
    sim.unplug();
    link->CloseUsbDevise();
    EXPECT_EQ(sim.frameCount(), 0u);
}

TEST_F(Link, AnEndFromAnotherThreadDarkensTheOpenLinkForGood) {
    link->InitUsbDevise();
    std::memset(d->DmxOut + 1, 255, 512);
    ASSERT_EQ(Cycle(), 1u);
    bool darkened = false;
    std::thread([&] { darkened = DarkenOpenLinkNow(1000); }).join();
    EXPECT_TRUE(darkened);
    EXPECT_TRUE(link->darkForGood());
    ASSERT_EQ(sim.frameCount(), 2u);
    DecodedDmxUsbFrame last;
    const auto frame = sim.frames().back();
    ASSERT_EQ(frame.size(), 519u);
    ASSERT_EQ(DecodeDmxUsbFrame(frame.data(), frame.size(), false, last), 519u);
    for (int ch = 1; ch <= 512; ++ch) ASSERT_EQ(last.levels[ch], 0) << "channel " << ch;
    // The window thread's next cycles send no levels over it.
    EXPECT_EQ(Cycle(), 0u);

    // The last write failed and the window thread, stuck in the close, never opens the link
    // again: the darkening opens it once itself, and closes what it opened.
    link->CloseUsbDevise();
    sim.clearFrames();
    link = std::make_unique<UsbLink>(sim, 7);
    link->InitUsbDevise();
    ASSERT_EQ(Cycle(), 1u);
    sim.failWrites(1);
    ASSERT_EQ(Cycle(), 0u);
    ASSERT_EQ(link->UsbDeviceOpened, 0);
    const int opensBefore = sim.counters().opens;
    std::thread([&] { darkened = DarkenOpenLinkNow(1000); }).join();
    EXPECT_TRUE(darkened);
    EXPECT_EQ(sim.counters().opens, opensBefore + 1);
    EXPECT_EQ(sim.counters().openHandles, 0);
    ASSERT_EQ(sim.frameCount(), 2u);
    ASSERT_EQ(DecodeDmxUsbFrame(sim.frames().back().data(), sim.frames().back().size(), false, last), 519u);
    for (int ch = 1; ch <= 512; ++ch) ASSERT_EQ(last.levels[ch], 0) << "channel " << ch;
    EXPECT_EQ(Cycle(), 0u);

    // Without a link ever opened there is nothing to darken.
    link = std::make_unique<UsbLink>(sim, 5);
    EXPECT_FALSE(DarkenOpenLinkNow(1000));
    link.reset();
    EXPECT_FALSE(DarkenOpenLinkNow(1000));
}

TEST_F(Link, StatusTextsForEachCode) {
    struct Case { FT_STATUS s; const char* text; } cases[] = {
        {1, " - Ошибка Handle..."}, {2, " - Устройство не найдено...."}, {3, " - Устройство не открывается..."},
        {4, " - Ошибка ввода-вывода..."}, {5, " - Не хватает ресурсов..."}, {6, " - Неверный параметр ..."},
    };
    for (const Case& c : cases) {
        link->UsbReportFlag = 1;
        link->UsbPortOk = 1;
        link->FtErrorReport("FT_Open", c.s);
        EXPECT_EQ(link->D2xxMessage, std::string("FT_Open") + c.text);
        EXPECT_EQ(link->UsbPortOk, 0);
    }
    link->FtErrorReport("FT_Open", 42);
    EXPECT_EQ(link->D2xxMessage, "");
    link->FtErrorReport("FT_Open", FT_OK);
    EXPECT_EQ(link->D2xxMessage, "Interface present...");
    link->UsbReportFlag = 0;
    link->FtErrorReport("FT_Open", 4);
    EXPECT_EQ(link->D2xxMessage, "Interface present...");
}

TEST_F(Link, StreamFramesCarryChangingOffsets) {
    link->InitUsbDevise();
    link->SetStreamFormat(true);
    d->DmxOut[1] = 123;
    std::set<std::pair<int, int>> offsets;
    for (int k = 0; k < 40; ++k) {
        ASSERT_EQ(Cycle(), 1u);
        auto f = sim.frames().back();
        ASSERT_LE(f[2], 30);
        ASSERT_LE(f[3], 30);
        offsets.insert({f[2], f[3]});
        DecodedDmxUsbFrame dec;
        ASSERT_EQ(DecodeDmxUsbFrame(f.data(), f.size(), true, dec), f.size());
        ASSERT_EQ(dec.levels[1], 123);
    }
    EXPECT_GT(offsets.size(), 30u);
    link->SetStreamFormat(false);
    ASSERT_EQ(Cycle(), 1u);
    EXPECT_EQ(sim.frames().back()[2], 0x00);
}

TEST_F(Link, MonitorTapNineSeesTheWireData) {
    link->InitUsbDevise();
    link->SetStreamFormat(true);
    st->MonitorTap = 9;
    d->DmxOut[3] = 50;
    ASSERT_EQ(Cycle(), 1u);
    EXPECT_EQ(st->MonitorFrame[3], d->DmxSendBuffer[3]);
    EXPECT_EQ(StreamUnscramble(st->MonitorFrame[3], 3, link->StreamOffsetA, link->StreamOffsetB), 50);
}
