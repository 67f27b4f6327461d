#include "core/seq_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/event_log.h"
#include "core_fixture.h"

using namespace spirelo;
using spirelo::test::CoreFiles;

namespace {

struct GoldenBlock {
    size_t offset, size;
    void* table;
    size_t tableSize;   // the table is filled whole; only its first `size` bytes are stored
};

std::vector<GoldenBlock> SeqBlocks(ShowData& d) {
    return {
        {0, 1024, d.SequencerNames, sizeof d.SequencerNames},
        {1024, 4194304, d.SequencerStepData, sizeof d.SequencerStepData},
        {4195328, 32768, d.SequencerChannelMask, sizeof d.SequencerChannelMask},
        {4228096, 16384, d.SequencerStepWords, sizeof d.SequencerStepWords},
        {4244480, 32, d.SequencerRunState, sizeof d.SequencerRunState},
        {4244512, 1024, d.SequencerViewPositions, sizeof d.SequencerViewPositions},
        {4245536, 1024, d.EditorSettings, sizeof d.EditorSettings},
        {4246560, 1024, d.ProgramOptions, sizeof d.ProgramOptions},
        {4247584, 256, d.ProgramFlags, sizeof d.ProgramFlags},
        {4247840, 1024, d.CoderTable, sizeof d.CoderTable},
        {4248864, 512, d.ChannelMin, sizeof d.ChannelMin},
        {4249376, 512, d.ChannelMax, sizeof d.ChannelMax},
        {4249888, 512, d.HandLevel, sizeof d.HandLevel},
        {4250400, 512, d.InvertFlag, sizeof d.InvertFlag},
        {4250912, 512, d.HandEnable, sizeof d.HandEnable},
        {4251424, 2048, d.KeySeqTable, sizeof d.KeySeqTable},
        {4253472, 2048, d.KeySceneTable, sizeof d.KeySceneTable},
        {4255520, 2048, d.KeyAssignedTable, sizeof d.KeyAssignedTable},
        {4257568, 2048, d.KeyModeTable, sizeof d.KeyModeTable},
        {4259616, 2048, d.KeySpareTable, sizeof d.KeySpareTable},
        {4261664, 512, d.SavedTrackNames, sizeof d.SavedTrackNames},
        {4262176, 32, d.SavedTrackShift, sizeof d.SavedTrackShift},
        {4262208, 8192, d.Reserved8k[0], 8192},
        {4270400, 8192, d.Reserved8k[1], 8192},
        {4278592, 8192, d.Reserved8k[2], 8192},
        {4286784, 16384, d.Reserved16k, 16384},
        {4303168, 512, d.Reserved512[0], 512},
        {4303680, 512, d.Reserved512[1], 512},
        {4304192, 512, d.Reserved512[2], 512},
        {4304704, 512, d.Reserved512[3], 512},
        {4305216, 512, d.Reserved512[4], 512},
        {4305728, 32, d.Reserved32[0], 32},
        {4305760, 32, d.Reserved32[1], 32},
        {4305792, 32, d.Reserved32[2], 32},
        {4305824, 32, d.ScheduleHour, sizeof d.ScheduleHour},
        {4305856, 32, d.ScheduleMinute, sizeof d.ScheduleMinute},
        {4305888, 32, d.ScheduleMode, sizeof d.ScheduleMode},
        {4305920, 32, d.Reserved32[3], 32},
        {4305952, 64, d.Reserved64[0], 64},
        {4306016, 64, d.Reserved64[1], 64},
        {4306080, 64, d.Reserved64[2], 64},
        {4306144, 64, d.Reserved64[3], 64},
        {4306208, 64, d.Reserved64[4], 64},
    };
}

// Everything a sequencer file (or its reset) can touch.
std::vector<uint8_t> SeqState(const ShowData& d) {
    std::vector<uint8_t> s = SeqFileBytes(d);
    auto add = [&](const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        s.insert(s.end(), b, b + n);
    };
    add(d.SequencerChannelMask, sizeof d.SequencerChannelMask);
    add(d.SequencerCurrentStep, sizeof d.SequencerCurrentStep);
    add(d.ChannelMax, sizeof d.ChannelMax);
    add(d.CoderTable, sizeof d.CoderTable);
    add(d.ChannelSpare1, sizeof d.ChannelSpare1);
    add(d.TrackRecKind, sizeof d.TrackRecKind);
    return s;
}

void Sentinels(ShowData& d) {
    std::memset(d.SequencerStepData, 0x66, sizeof d.SequencerStepData);
    std::fill(std::begin(d.ProgramOptions), std::end(d.ProgramOptions), 4242);
    std::memset(d.ScheduleHour, 7, sizeof d.ScheduleHour);
    std::memset(d.Reserved16k, 0x77, sizeof d.Reserved16k);
    std::memset(d.SavedTrackNames, 'S', sizeof d.SavedTrackNames);
    std::memset(d.TrackRecKind, 9, sizeof d.TrackRecKind);
    std::memset(d.HandLevel, 0x44, sizeof d.HandLevel);
    d.ChannelMax[512] = 3;
    d.CoderTable[512] = 9;
}

}  // namespace

TEST_F(CoreFiles, SeqFileBlocksLieAtTheirOffsets) {
    auto blocks = SeqBlocks(*d);
    ASSERT_EQ(blocks.size(), 43u);
    for (size_t i = 0; i < blocks.size(); ++i) std::memset(blocks[i].table, int(i + 1), blocks[i].tableSize);
    d->sNameFileSeq = path("park.seq");
    ASSERT_TRUE(SaveSeqFile(*d));

    const auto file = ReadBytes(path("park.seq"));
    ASSERT_EQ(file.size(), 4306272u);
    size_t covered = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        for (size_t k = 0; k < blocks[i].size; ++k)
            ASSERT_EQ(file[blocks[i].offset + k], i + 1) << "block " << i + 1 << " byte " << k;
        covered += blocks[i].size;
    }
    EXPECT_EQ(covered, file.size());
    EXPECT_TRUE(messages->log.empty());
}

TEST_F(CoreFiles, SeqFileRoundTripsByteForByteAndKeepsWhatItDoesNotStore) {
    const auto original = Noise(4306272, 11);
    WriteBytes(path("noise.dat"), original);
    d->HandLevel[512] = 77;   // channel 512 is in no file: it keeps its value
    d->SequencerChannelMask[63][513] = 5;
    d->sNameFileSeq = path("noise.dat");
    ASSERT_EQ(OpenSeqFile(*d), FileLoad::Loaded);
    EXPECT_EQ(d->sNameFileSeq, path("noise.dat"));   // the extension is not forced
    EXPECT_EQ(d->HandLevel[512], 77);
    EXPECT_EQ(d->ChannelMax[512], 255);             // reset value: the reset runs before a known layout
    EXPECT_EQ(d->CoderTable[512], 512);
    EXPECT_EQ(d->SequencerChannelMask[63][385], original[4195328 + 32767]);
    EXPECT_EQ(d->SequencerChannelMask[63][513], 5);
    ASSERT_TRUE(SaveSeqFile(*d));
    EXPECT_EQ(ReadBytes(path("noise.dat")), original);
}

namespace {

std::vector<uint8_t> Seq2016File() {
    std::vector<uint8_t> f;
    const size_t sizes[20] = {1024, 4194304, 32768, 16384, 32, 1024, 1024, 1024, 256, 1024,
                              512, 512, 512, 512, 512, 2048, 2048, 2048, 2048, 2048};
    for (size_t i = 0; i < 20; ++i) f.insert(f.end(), sizes[i], uint8_t(i + 1));
    return f;
}

std::vector<uint8_t> SeqOldestFile() {
    std::vector<uint8_t> f;
    auto block = [&](size_t n, uint8_t v) { f.insert(f.end(), n, v); };
    block(1024, 0x01);      // EditorSettings
    block(4194304, 0x02);   // step data
    block(16384, 0x03);     // first 16,384 bytes of the mask
    block(16384, 0x04);     // step words
    block(32, 0x05);        // run states
    block(96, 0xEE);        // three blocks of no use
    block(2048, 0x06);      // KeySeqTable
    block(2048, 0x07);      // KeySceneTable
    block(2048, 0x08);      // KeyAssignedTable
    block(2048, 0x09);      // KeyModeTable
    block(1024, 0x0A);      // CoderTable 0..511
    block(512, 0x0B);       // ChannelMin
    block(512, 0x0C);       // ChannelMax
    block(512, 0x0D);       // HandLevel
    block(512, 0x0E);       // ChannelSpare1
    block(512, 0x0F);       // ChannelSpare2
    block(512, 0x10);       // HandEnable
    block(512, 0x11);       // InvertFlag
    block(31, 0x12);        // TrackRecKind tracks 1..31
    block(31, 0x13);        // TrackRecSeq
    block(31, 0x14);        // TrackRecScene
    return f;
}

}  // namespace

TEST_F(CoreFiles, SeqFile2016LayoutIsReadAndRewritten) {
    Sentinels(*d);
    const auto file = Seq2016File();
    ASSERT_EQ(file.size(), 4261664u);
    WriteBytes(path("park.seq"), file);
    d->sNameFileSeq = path("park.seq");
    ASSERT_EQ(OpenSeqFile(*d), FileLoad::OldLayout);

    ASSERT_EQ(texts(MessageKind::Plain).size(), 1u);
    EXPECT_EQ(texts(MessageKind::Plain)[0], "Это файл версии 2016 beta nojab");
    EXPECT_EQ(d->SequencerStepData[31][255][511], 2);
    EXPECT_EQ(d->ProgramOptions[1], 0x08080808);
    EXPECT_EQ(d->KeySpareTable[2047], 20);
    EXPECT_EQ(d->HandEnable[0], 15);
    EXPECT_EQ(d->InvertFlag[511], 14);
    // What the layout lacks is at its reset value, not what memory held.
    EXPECT_EQ(d->ScheduleHour[3], 0);
    EXPECT_EQ(d->SavedTrackNames[0][0], 0);
    EXPECT_EQ(d->Reserved16k[100], 0);
    // The file on disk is now the current layout with the same contents.
    const auto rewritten = ReadBytes(path("park.seq"));
    ASSERT_EQ(rewritten.size(), 4306272u);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), rewritten.begin()));
}

TEST_F(CoreFiles, SeqFileOldestLayoutIsReadAndRewritten) {
    Sentinels(*d);
    const auto file = SeqOldestFile();
    ASSERT_EQ(file.size(), 4241117u);
    WriteBytes(path("old.seq"), file);
    ASSERT_EQ(OpenSeqFile(*d, path("old.seq")), FileLoad::OldLayout);

    ASSERT_EQ(texts(MessageKind::Plain).size(), 1u);
    EXPECT_EQ(texts(MessageKind::Plain)[0], "Это файл версии Лотвень");
    EXPECT_EQ(d->EditorSettings[255], 0x01010101);
    EXPECT_EQ(d->SequencerStepData[0][0][0], 2);
    EXPECT_EQ(d->SequencerChannelMask[31][449], 3);   // byte 16,383 of the mask
    EXPECT_EQ(d->SequencerChannelMask[31][450], 0);
    EXPECT_EQ(d->SequencerStepWords[31][255], 0x0404);
    EXPECT_EQ(d->SequencerRunState[0], 5);
    EXPECT_EQ(d->KeySeqTable[0], 6);
    EXPECT_EQ(d->KeyModeTable[2047], 9);
    EXPECT_EQ(d->KeySpareTable[0], 0);
    EXPECT_EQ(d->CoderTable[511], 0x0A0A);
    EXPECT_EQ(d->CoderTable[512], 512);
    EXPECT_EQ(d->ChannelMin[1], 0x0B);
    EXPECT_EQ(d->ChannelMax[0], 0x0C);
    EXPECT_EQ(d->HandLevel[511], 0x0D);
    EXPECT_EQ(d->ChannelSpare1[0], 0x0E);
    EXPECT_EQ(d->ChannelSpare2[511], 0x0F);
    EXPECT_EQ(d->HandEnable[7], 0x10);   // HandEnable before InvertFlag in this layout
    EXPECT_EQ(d->InvertFlag[7], 0x11);
    EXPECT_EQ(d->TrackRecKind[30], 0x12);
    EXPECT_EQ(d->TrackRecKind[31], 9);
    EXPECT_EQ(d->TrackRecSeq[0], 0x13);
    EXPECT_EQ(d->TrackRecScene[30], 0x14);
    // The layout has no options: they are at their reset values.
    EXPECT_EQ(d->ProgramOptions[1], 120);
    EXPECT_EQ(d->ProgramOptions[13], 255);
    EXPECT_EQ(d->ProgramOptions[0], 0);
    EXPECT_EQ(ReadBytes(path("old.seq")).size(), 4306272u);
}

TEST_F(CoreFiles, SeqFileOfUnknownSizeChangesNothing) {
    Sentinels(*d);
    d->sNameFileSeq = path("current.seq");
    const auto before = SeqState(*d);
    WriteBytes(path("odd.seq"), Noise(4306271, 5));

    ASSERT_EQ(OpenSeqFile(*d, path("odd.seq")), FileLoad::UnknownSize);
    EXPECT_EQ(SeqState(*d), before);   // no reset either
    EXPECT_EQ(d->sNameFileSeq, path("current.seq"));
    ASSERT_EQ(texts(MessageKind::Plain).size(), 1u);
    EXPECT_NE(texts(MessageKind::Plain)[0].find("Leng=4306271"), std::string::npos);
    EXPECT_NE(ReadText(LogFilePath()).find("Where=OpenSeqFile= Info=Unknown_file_size " + path("odd.seq") +
                                           " Leng=4306271"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(path("odd.seq")).size(), 4306271u);   // and it was not rewritten

    // At start the file came from the settings: the default name is taken instead.
    std::remove(LogFilePath().c_str());
    d->sNameFileSeq = path("odd.seq");
    ASSERT_EQ(OpenSeqFile(*d), FileLoad::UnknownSize);
    EXPECT_EQ(d->sNameFileSeq, path("Spirelo.seq"));
    EXPECT_NE(ReadText(LogFilePath()).find("Info=Unknown_file_size " + path("odd.seq") + " Leng="),
              std::string::npos);
}

TEST_F(CoreFiles, MissingSeqFileIsLoggedWithoutReset) {
    Sentinels(*d);
    const auto before = SeqState(*d);
    d->sNameFileSeq = path("nowhere.seq");
    ASSERT_EQ(OpenSeqFile(*d), FileLoad::Missing);
    EXPECT_EQ(SeqState(*d), before);
    EXPECT_EQ(d->sNameFileSeq, path("Spirelo.seq"));
    EXPECT_TRUE(messages->log.empty());
    EXPECT_NE(ReadText(LogFilePath()).find("Who=ReadSave Where=OpenSeqFile= Info=File_no_found_sNameFileSeq"),
              std::string::npos);
}

TEST_F(CoreFiles, FailedSeqSaveIsReported) {
    WriteBytes(path("plain"), {1});
    d->sNameFileSeq = path("plain/park.seq");
    EXPECT_FALSE(SaveSeqFile(*d));
    ASSERT_EQ(texts(MessageKind::Error).size(), 1u);
    EXPECT_NE(texts(MessageKind::Error)[0].find("Not a directory"), std::string::npos);
}

TEST_F(CoreFiles, DefFileLoadsItsBlocksWithoutReset) {
    std::vector<uint8_t> f;
    const size_t sizes[11] = {1024, 1024, 256, 1024, 512, 512, 512, 512, 512, 512, 512};
    for (size_t i = 0; i < 11; ++i) f.insert(f.end(), sizes[i], uint8_t(i + 1));
    ASSERT_EQ(f.size(), 6912u);
    WriteBytes(path("Spirelo.def"), f);
    std::memset(d->SequencerStepData, 0x66, sizeof d->SequencerStepData);
    d->HandLevel[512] = 99;

    ASSERT_EQ(OpenDefFile(*d), FileLoad::Loaded);
    EXPECT_EQ(d->EditorSettings[0], 0x01010101);
    EXPECT_EQ(d->ProgramOptions[255], 0x02020202);
    EXPECT_EQ(d->ProgramFlags[255], 3);
    EXPECT_EQ(d->CoderTable[0], 0x0404);
    EXPECT_EQ(d->CoderTable[512], 512);
    EXPECT_EQ(d->ChannelMin[511], 5);
    EXPECT_EQ(d->ChannelMax[0], 6);
    EXPECT_EQ(d->HandLevel[1], 7);
    EXPECT_EQ(d->HandLevel[512], 99);
    EXPECT_EQ(d->ChannelSpare1[0], 8);
    EXPECT_EQ(d->ChannelSpare2[0], 9);
    EXPECT_EQ(d->HandEnable[0], 10);
    EXPECT_EQ(d->InvertFlag[511], 11);
    EXPECT_EQ(d->SequencerStepData[5][5][5], 0x66);
    EXPECT_TRUE(messages->log.empty());
}

TEST_F(CoreFiles, DefFileOfAnotherSizeOrMissing) {
    WriteBytes(path("Spirelo.def"), std::vector<uint8_t>(6913, 1));
    const auto before = SeqState(*d);
    EXPECT_EQ(OpenDefFile(*d), FileLoad::UnknownSize);
    EXPECT_EQ(SeqState(*d), before);
    EXPECT_TRUE(messages->log.empty());
    EXPECT_NE(ReadText(LogFilePath()).find("Who=ReadSave Where=OpenDefFile= Info=This_is_no_file.Def!"),
              std::string::npos);

    std::remove(path("Spirelo.def").c_str());
    EXPECT_EQ(OpenDefFile(*d), FileLoad::Missing);
    EXPECT_EQ(SeqState(*d), before);
    ASSERT_EQ(texts(MessageKind::Error).size(), 1u);
    EXPECT_NE(texts(MessageKind::Error)[0].find("No such file or directory"), std::string::npos);
    EXPECT_NE(texts(MessageKind::Error)[0].find(path("Spirelo.def")), std::string::npos);
}
