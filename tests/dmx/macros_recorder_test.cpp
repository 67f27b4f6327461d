#include "dmx/dmx_recorder.h"
#include "dmx/macros.h"

#include "common/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <vector>

#include "tests/scratch_folder.h"

using namespace spirelo;
namespace fs = std::filesystem;

TEST(Macros, ReadTakesLowBytesOfWords0To511AndKeepsChannel512) {
    auto d = MakeShowData();
    ResetShowData(*d);
    for (int j = 0; j <= 512; ++j) d->HandLevel[j] = 200;
    ReadMacro(*d, 3);   // never stored: zeros
    for (int j = 0; j < 512; ++j) ASSERT_EQ(d->HandLevel[j], 0) << j;
    EXPECT_EQ(d->HandLevel[512], 200);

    d->MacroTable[4][0] = 0x1234;
    d->MacroTable[4][511] = 0x00FF;
    ReadMacro(*d, 4);
    EXPECT_EQ(d->HandLevel[0], 0x34);
    EXPECT_EQ(d->HandLevel[511], 0xFF);

    for (int j = 0; j <= 512; ++j) d->HandLevel[j] = uint8_t(j * 3);
    WriteMacro(*d, 5);
    for (int j = 0; j < 512; ++j) ASSERT_EQ(d->MacroTable[5][j], uint16_t(uint8_t(j * 3))) << j;
    EXPECT_EQ(d->MacroTable[6][0], 0);   // the next macro is untouched
    for (int j = 0; j <= 512; ++j) d->HandLevel[j] = 1;
    ReadMacro(*d, 5);
    for (int j = 0; j < 512; ++j) ASSERT_EQ(d->HandLevel[j], uint8_t(j * 3)) << j;
    EXPECT_EQ(d->HandLevel[512], 1);

    // The label's first letter is a Latin C, the rest Cyrillic.
    const std::string read = MacroReadText(3);
    EXPECT_EQ(read[0], 'C');
    EXPECT_EQ(read, "C\xD1\x87\xD0\xB8\xD1\x82\xD0\xB0\xD0\xBD \xD0\xBC\xD0\xB0\xD0\xBA\xD1\x80\xD0\xBE\xD1\x81 3");
    EXPECT_EQ(MacroWrittenText(5), "Записано в макрос 5");
}

namespace {

struct Recorder : ::testing::Test {
    void SetUp() override {
        d = MakeShowData();
        ResetShowData(*d);
        rec = std::make_unique<DmxRecorder>();
        ASSERT_TRUE(scratch.made());
        dir = scratch.path();
        project = (dir / "show.trk").string();
    }
    test::ScratchFolder scratch{"spirelo-rec"};
    std::unique_ptr<ShowData> d;
    std::unique_ptr<DmxRecorder> rec;
    fs::path dir;
    std::string project;
};

}  // namespace

TEST_F(Recorder, AppendsOnlyWhenTickedInDynamicOrDance) {
    struct Case { uint8_t mode; bool ticked; bool appends; } cases[] = {
        {1, true, false}, {2, true, false}, {3, true, true}, {4, true, true}, {5, true, false}, {4, false, false},
    };
    for (const Case& c : cases) {
        rec->Start();
        d->AquelMode = c.mode;
        EXPECT_EQ(rec->Append(*d, c.ticked), c.appends) << int(c.mode);
        EXPECT_EQ(rec->DmxRecordCount, c.appends ? 1 : 0);
    }
    // With nothing recorded no file is written.
    rec->Start();
    DmxRecorder::SaveResult r = rec->Save(project);
    EXPECT_FALSE(r.wrote);
    EXPECT_EQ(r.path, (dir / "show.dmx").string());
    EXPECT_FALSE(fs::exists(dir / "show.dmx"));
}

TEST_F(Recorder, AFullRecordingStopsAt18000FramesAndSavesThemInOrder) {
    d->AquelMode = 4;
    rec->Start();
    for (int k = 0; k < 18005; ++k) {
        d->DmxOut[1] = uint8_t(k);
        d->DmxOut[2] = uint8_t(k >> 8);
        d->DmxOut[512] = uint8_t(k * 7);
        rec->Append(*d, true);
    }
    EXPECT_EQ(rec->DmxRecordCount, 18000);
    DmxRecorder::SaveResult r = rec->Save(project);
    ASSERT_TRUE(r.wrote);
    ASSERT_TRUE(r.io.ok) << r.io.message;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(r.path, bytes).ok);
    ASSERT_EQ(bytes.size(), 9216000u);
    for (int k : {0, 1, 255, 256, 17999}) {
        EXPECT_EQ(bytes[size_t(k) * 512], uint8_t(k)) << k;
        EXPECT_EQ(bytes[size_t(k) * 512 + 1], uint8_t(k >> 8)) << k;
        EXPECT_EQ(bytes[size_t(k) * 512 + 511], uint8_t(k * 7)) << k;
    }
    // A new recording restarts the count; a save then overwrites with the shorter file.
    rec->Start();
    rec->Append(*d, true);
    ASSERT_TRUE(rec->Save(project).wrote);
    EXPECT_EQ(fs::file_size(r.path), 512u);
}
