#include "sequencer/rom_export.h"

#include "sequencer/sequencer_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/scratch_folder.h"

namespace spirelo {
namespace {

class RomExport : public ::testing::Test {
protected:
    void SetUp() override {
        data = MakeShowData();
        ResetSequenceData(*data);
        std::memset(data->SequencerChannelMask, 0, sizeof data->SequencerChannelMask);
        data->ProgramFolder = "/opt/show/";
        data->sNameFileSeq = "/opt/show/a.seq";
    }
    // Marks at steps 9 and 30, current step 15, DMX channels 5..7 in the mask.
    void Slice() {
        data->SequencerStepWords[S][9] = kWordLoop;
        data->SequencerStepWords[S][30] = kWordStop;
        data->SequencerCurrentStep[S] = 15;
        for (int i = 4; i <= 6; ++i) data->SequencerChannelMask[S][i] = 1;
        for (int step = 0; step < kSequencerSteps; ++step)
            for (int c = 0; c < 10; ++c) data->SequencerStepData[S][step][c] = uint8_t(step + c);
    }
    static constexpr int S = 0;
    std::unique_ptr<ShowData> data;
    RecordingSerialPort port;
    RecordingMessages msgs;
};

TEST_F(RomExport, FrameEscapes255AndSumsBeforeTheReplacement) {
    RomTable t{};
    std::fill(t.begin(), t.begin() + kRomSentBytes, 255);
    t[96] = 255;   // past the sent bytes
    const std::vector<uint8_t> f = RomUploadFrame(t, 5);
    ASSERT_EQ(f.size(), 101u);
    EXPECT_EQ(f[0], 0x00);
    EXPECT_EQ(f[1], 0xFF);
    EXPECT_EQ(f[2], 0x05);
    for (int i = 3; i < 99; ++i) EXPECT_EQ(f[i], 0xFE) << i;
    EXPECT_EQ(f[99], 0x20);
    EXPECT_EQ(f[100], 0xFF);
}

TEST_F(RomExport, RangesAndRefusals) {
    // No marks: the slice is 0..254 and refused; an empty mask gives 1..511.
    RomRange r = ComputeRomRange(*data, S);
    EXPECT_EQ(r.scen1, 0);
    EXPECT_EQ(r.scen2, 254);
    EXPECT_EQ(r.dmx1, 1);
    EXPECT_EQ(r.dmx2, 511);
    EXPECT_EQ(RomRefusal(r), "scen2 - scen1 >=32 \\ not Carry and TX!");
    SendRomTable(*data, S, 3, port, "/dev/x", msgs);
    ASSERT_EQ(msgs.log.size(), 1u);
    EXPECT_EQ(msgs.log[0].kind, MessageKind::Warning);
    EXPECT_TRUE(port.opened.empty());

    data->SequencerStepWords[S][9] = kWordLoop;
    data->SequencerStepWords[S][30] = kWordStop;
    data->SequencerCurrentStep[S] = 15;
    r = ComputeRomRange(*data, S);
    EXPECT_EQ(r.scen1, 10);
    EXPECT_EQ(r.scen2, 29);
    EXPECT_EQ(RomRefusal(r), "");

    // Marks right beside the current step: a slice of that step alone.
    data->SequencerStepWords[S][14] = kWordLoop;
    data->SequencerStepWords[S][16] = kWordStopOff;
    r = ComputeRomRange(*data, S);
    EXPECT_EQ(r.scen1, 15);
    EXPECT_EQ(r.scen2, 15);
    // Channel 512 alone is bounded to 511.
    data->SequencerChannelMask[S][511] = 1;
    r = ComputeRomRange(*data, S);
    EXPECT_EQ(r.dmx1, 511);
    EXPECT_EQ(r.dmx2, 511);
    EXPECT_EQ(RomRefusal({5, 4, 0, 1}), "dmx2 < dmx1 \\ not Carry and TX!");
    EXPECT_EQ(RomRefusal({1, 4, 3, 2}), "scen2 < scen1 \\ not Carry and TX!");
    EXPECT_EQ(IntToStr3(5), "005");
    EXPECT_EQ(IntToStr3(42), "042");
    EXPECT_EQ(IntToStr3(511), "511");
}

TEST_F(RomExport, TextTableAndFrameOfASlice) {
    Slice();
    const RomSendResult res = SendRomTable(*data, S, 4, port, "/dev/ttyS0", msgs);
    ASSERT_GE(res.memoLines.size(), 11u);
    const std::string rule = ";" + std::string(60, '*');
    EXPECT_EQ(res.memoLines[0], rule);
    EXPECT_EQ(res.memoLines[1], "; /opt/show/a.seq");
    EXPECT_EQ(res.memoLines[2], "; /opt/show/_Tabl_Sq00_SC10_29_DMX05_07.inc");
    EXPECT_EQ(res.memoLines[3], "; SEQ=01, Scena=11>30, DMX=005>007");
    EXPECT_EQ(res.memoLines[5], "mScen1 = 11\t; Первая сцена");
    EXPECT_EQ(res.memoLines[6], "mScen2 = 30\t; Последняя сцена");
    EXPECT_EQ(res.memoLines[7], "mDmx1  = 5\t; Первый адрес DMX");
    EXPECT_EQ(res.memoLines[8], "mDmx2  = 7\t; Последний адрес DMX");
    EXPECT_EQ(res.memoLines[10], "Передача в порт");
    EXPECT_EQ(std::vector<std::string>(res.memoLines.begin() + 11, res.memoLines.end()),
              (std::vector<std::string>{"Передаем...", "ADR Блока = 4", "КС = " +
                                        std::to_string(port.writes.at(0)[99]),
                                        "Отослано 101 байт", rule}));
    EXPECT_EQ(res.nextAddress, 5);
    EXPECT_TRUE(msgs.log.empty());

    const RomTable t = FillRomTable(*data, S, ComputeRomRange(*data, S));
    for (int i = 0; i < 20; ++i)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(t[i * 3 + k], 10 + i + 4 + k) << i << " " << k;
    for (int i = 60; i < kRomTableSize; ++i) ASSERT_EQ(t[i], 0) << i;
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0], RomUploadFrame(t, 4));
    EXPECT_EQ(port.opened, std::vector<std::string>{"/dev/ttyS0"});
}

TEST_F(RomExport, AddressesAdvanceToFifteenAndFailuresAreTold) {
    Slice();
    int address = 14;
    std::vector<int> used;
    for (int i = 0; i < 3; ++i) {
        const RomSendResult res = SendRomTable(*data, S, address, port, "p", msgs);
        used.push_back(port.writes.back()[2]);
        address = res.nextAddress;
    }
    EXPECT_EQ(used, (std::vector<int>{14, 15, 15}));
    EXPECT_EQ(address, 15);

    port.openResult = SerialOpen::SettingsRefused;
    SendRomTable(*data, S, 2, port, "p", msgs);
    ASSERT_EQ(msgs.log.size(), 1u);
    EXPECT_EQ(msgs.log[0].text, "Не могу сконфигурировать порт");
    EXPECT_EQ(port.writes.size(), 4u);

    port.openResult = SerialOpen::Failed;
    const RomSendResult res = SendRomTable(*data, S, 7, port, "p", msgs);
    EXPECT_EQ(msgs.log.back().text, "Не могу открыть порт");
    EXPECT_EQ(res.memoLines.back(), "Передача в порт");
    EXPECT_EQ(res.nextAddress, 7);
    EXPECT_EQ(port.writes.size(), 4u);
}

TEST(SerialPortName, FromTheSettingsFile) {
    const test::ScratchFolder scratch("spirelo-serial-name");
    ASSERT_TRUE(scratch.made());
    const std::string path = scratch / "serial_name_test.ini";
    EXPECT_EQ(SerialPortName(path), "/dev/ttyS0");
    for (const auto& [value, expect] : std::vector<std::pair<std::string, std::string>>{
             {"ttyUSB0", "/dev/ttyUSB0"}, {"/dev/pts/3", "/dev/pts/3"}}) {
        FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "[SerialPort]\nPort=%s\n", value.c_str());
        std::fclose(f);
        EXPECT_EQ(SerialPortName(path), expect);
    }
}

}  // namespace
}  // namespace spirelo
