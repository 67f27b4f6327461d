#include "common/file_io.h"
#include "visualiser/layout_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/file_seam.h"
#include "tests/scratch_folder.h"

using namespace spirelo;
using spirelo::test::ScratchFolder;

namespace {

std::unique_ptr<CollectorTable> StartTable() {
    auto t = std::make_unique<CollectorTable>();
    ResetCollectorTable(*t);
    return t;
}

// Every stored byte from a seeded generator, so a block stored twice or in the wrong place shows.
void Scramble(CollectorTable& t, uint32_t seed) {
    std::mt19937 g(seed);
    std::vector<uint8_t> bytes = SerializeLayout(t);
    for (auto& b : bytes) b = uint8_t(g());
    ASSERT_TRUE(DeserializeLayout(bytes.data(), bytes.size(), t));
}

TEST(LayoutFile, GoldenOffsetsOfThe54Blocks) {
    auto t = StartTable();
    struct Block {
        size_t offset;
        std::function<void(CollectorTable&)> mark;   // writes slot 1 (or the record start) of the block
        size_t width;                                // bytes per slot
    };
    std::vector<Block> blocks;
    auto single = [&](size_t off, float (&a)[kCollectorSlots]) {
        blocks.push_back({off, [&a](CollectorTable&) { a[1] = 1234.5f; }, 4});
    };
    auto byte = [&](size_t off, uint8_t (&a)[kCollectorSlots]) {
        blocks.push_back({off, [&a](CollectorTable&) { a[1] = 0xA5; }, 1});
    };
    auto word = [&](size_t off, uint16_t (&a)[kCollectorSlots]) {
        blocks.push_back({off, [&a](CollectorTable&) { a[1] = 0xBEEF; }, 2});
    };
    CollectorTable& c = *t;
    single(0, c.Y);
    single(400, c.X);
    single(800, c.Z);
    single(1200, c.RotatAll);
    single(1600, c.RotatJet);
    single(2000, c.Size);
    single(2400, c.High);
    single(2800, c.Naklon);
    single(3200, c.ReservedSingle1);
    byte(3600, c.LengJet);
    byte(3700, c.Kolvo);
    byte(3800, c.Nozzle);
    byte(3900, c.Kind);
    byte(4000, c.ReservedByte1);
    byte(4100, c.SpotGroups);
    byte(4200, c.ReservedByte2);
    byte(4300, c.ReservedByte3);
    word(4400, c.PumpDmx);
    word(4600, c.ValveDmx);
    word(4800, c.SpotDmx);
    word(5000, c.SkewDmx);
    byte(5200, c.Proporcia);
    byte(5300, c.Min);
    byte(5400, c.Max);
    single(5500, c.TourViewerX);
    single(5900, c.TourViewerY);
    for (int i = 0; i < 7; ++i) single(6300 + 400 * i, c.ReservedSingles[i]);
    word(9100, c.TourRotX);
    word(9300, c.TourRotY);
    word(9500, c.TourRotZ);
    word(9700, c.ReservedWords1);
    for (int i = 0; i < 5; ++i) word(9900 + 200 * i, c.ReservedWords[i]);
    byte(10900, c.ReservedByte4);
    byte(11000, c.TourZoom);
    for (int i = 0; i < 7; ++i) byte(11100 + 100 * i, c.ReservedBytes[i]);
    ASSERT_EQ(blocks.size(), 51u);

    for (const Block& b : blocks) {
        ResetCollectorTable(c);
        std::vector<uint8_t> before = SerializeLayout(c);
        b.mark(c);
        std::vector<uint8_t> after = SerializeLayout(c);
        ASSERT_EQ(after.size(), kLayoutFileSize);
        size_t first = SIZE_MAX, last = 0;
        for (size_t i = 0; i < after.size(); ++i)
            if (after[i] != before[i]) {
                first = std::min(first, i);
                last = i;
            }
        // Slot 1 of the block, and nothing outside it.
        EXPECT_GE(first, b.offset + b.width) << "block at " << b.offset;
        EXPECT_LT(last, b.offset + 2 * b.width) << "block at " << b.offset;
    }

    // Name and text records: block 52 holds 1,600 bytes of 17-byte records, 53 and 54 25,600 of 257.
    auto n = StartTable();
    SetCollectorName(*n, 0, "A");
    n->Name[94][1] = 'Q';      // byte 1 of slot 94 is the last stored name byte
    n->Text1[0][0] = 'T';
    n->Text1[99][156] = 'U';   // last stored text byte
    n->Text2[0][0] = 'V';
    n->Text2[99][156] = 'X';   // the file's last byte
    std::vector<uint8_t> f = SerializeLayout(*n);
    EXPECT_EQ(f[11800], 16);
    EXPECT_EQ(f[11801], 'A');
    EXPECT_EQ(f[11800 + 94 * 17 + 1], 'Q');
    EXPECT_EQ(f[13400], 'T');
    EXPECT_EQ(f[13400 + 99 * 257 + 156], 'U');
    EXPECT_EQ(f[39000], 'V');
    EXPECT_EQ(f[13399], 'Q');
    EXPECT_EQ(f[64599], 'X');
}

TEST(LayoutFile, SaveAndLoadRoundTripByteForByte) {
    const ScratchFolder scratch("glimmora-layout");
    ASSERT_TRUE(scratch.made());
    const std::string dir = scratch.path();
    std::string path = dir + "/fountain.a3d";
    auto t = StartTable();
    Scramble(*t, 42);
    t->TourLast() = 37;
    LayoutSaveResult saved = SaveLayoutFile(path, *t);
    ASSERT_TRUE(saved.io) << saved.io.message;
    EXPECT_EQ(saved.caption, "3D визуализация фонтанов File: " + path);
    std::vector<uint8_t> onDisk;
    ASSERT_TRUE(ReadWholeFile(path, onDisk));
    ASSERT_EQ(onDisk.size(), kLayoutFileSize);

    auto u = StartTable();
    SetCollectorName(*u, 96, "keep me");
    u->Text1[100][5] = 'k';
    u->Enabled[7] = 0;
    LayoutLoadResult r = LoadLayoutFile(path, *u);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.caption, "3D визуализация фонтанов (64600)File: " + path);
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(SerializeLayout(*u), onDisk);
    EXPECT_EQ(u->TourLast(), 37);
    // What the file does not carry keeps its value in memory.
    EXPECT_EQ(CollectorName(*u, 96), "keep me" + std::string(9, ' '));
    EXPECT_EQ(u->Text1[100][5], 'k');
    EXPECT_EQ(u->Enabled[7], 0);
    EXPECT_EQ(std::memcmp(u->X, t->X, 100 * sizeof(float)), 0);

    ASSERT_TRUE(SaveLayoutFile(path, *u).io);
    std::vector<uint8_t> again;
    ASSERT_TRUE(ReadWholeFile(path, again));
    EXPECT_EQ(again, onDisk);
}

TEST(LayoutFile, WrongSizeOrMissingKeepsThePreviousLayout) {
    const ScratchFolder scratch("glimmora-layout");
    ASSERT_TRUE(scratch.made());
    const std::string dir = scratch.path();
    auto t = StartTable();
    Scramble(*t, 7);
    std::vector<uint8_t> before = SerializeLayout(*t);
    for (size_t size : {size_t(64599), size_t(64601), size_t(0)}) {
        std::string path = dir + "/size" + std::to_string(size) + ".a3d";
        std::vector<uint8_t> bytes(size, 0x11);
        ASSERT_TRUE(WriteFileAtomic(path, bytes.data(), bytes.size()));
        LayoutLoadResult r = LoadLayoutFile(path, *t);
        EXPECT_EQ(r.status, LayoutLoad::WrongSize) << size;
        EXPECT_EQ(r.caption, "3D визуализация фонтанов Файл не загружен ");
        EXPECT_TRUE(r.message.empty());
        EXPECT_EQ(SerializeLayout(*t), before);
    }
    LayoutLoadResult r = LoadLayoutFile(dir + "/none.a3d", *t);
    EXPECT_EQ(r.status, LayoutLoad::Missing);
    EXPECT_EQ(r.caption, "3D визуализация фонтанов Файл не загружен ");
    EXPECT_EQ(r.message, "Файл \r\n" + dir + "/none.a3d\r\nне найден ");
    EXPECT_EQ(SerializeLayout(*t), before);
}

// The size is checked on the opened file and the read goes no further than the check saw: a
// layout that grows to a terabyte in the instant between a look by name and the open (another
// program writing it) is refused by its size, never read into memory. A pipe in the layout's
// place is no layout; a failing disk is told.
TEST(LayoutFile, TheLoadReadsNoMoreThanItsCheckSawFromTheOpenedFile) {
    const ScratchFolder scratch("glimmora-layout");
    ASSERT_TRUE(scratch.made());
    const std::string path = scratch / "park.a3d";
    auto t = StartTable();
    Scramble(*t, 11);
    ASSERT_TRUE(SaveLayoutFile(path, *t).io);
    const std::vector<uint8_t> before = SerializeLayout(*t);
    auto u = StartTable();
    const std::vector<uint8_t> other = SerializeLayout(*u);
    {
        bool grew = false;
        const test::FileSeamScope seam({[&](const std::string& p) {
            if (p == path) grew = ::truncate(path.c_str(), off_t(1) << 40) == 0;
            return 0;
        }, {}});
        const LayoutLoadResult r = LoadLayoutFile(path, *u);
        if (!grew) GTEST_SKIP() << "this file system holds no sparse terabyte";
        EXPECT_EQ(r.status, LayoutLoad::WrongSize);
        EXPECT_EQ(r.caption, kCaptionNotLoaded);
        EXPECT_EQ(SerializeLayout(*u), other);
    }
    ASSERT_EQ(::truncate(path.c_str(), off_t(kLayoutFileSize)), 0);
    {
        const test::FileSeamScope seam({[&](const std::string& p) { return p == path ? EIO : 0; }, {}});
        const LayoutLoadResult r = LoadLayoutFile(path, *u);
        EXPECT_EQ(r.status, LayoutLoad::ReadError);
        EXPECT_NE(r.message.find(path), std::string::npos);
        EXPECT_EQ(SerializeLayout(*u), other);
    }
    ASSERT_TRUE(LoadLayoutFile(path, *u).ok());
    EXPECT_EQ(SerializeLayout(*u), before);

    const std::string fifo = scratch / "pipe.a3d";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const LayoutLoadResult r = LoadLayoutFile(fifo, *u);
    EXPECT_EQ(r.status, LayoutLoad::Missing);
    EXPECT_EQ(r.message, "Файл \r\n" + fifo + "\r\nне найден ");
}

TEST(LayoutFile, FailedSaveLeavesTheOldFileWhole) {
    const ScratchFolder scratch("glimmora-layout");
    ASSERT_TRUE(scratch.made());
    const std::string dir = scratch.path();
    auto t = StartTable();
    LayoutSaveResult r = SaveLayoutFile(dir + "/no/such/folder/x.a3d", *t);
    EXPECT_FALSE(r.io);
    EXPECT_TRUE(r.caption.empty());
}

TEST(LayoutFile, CompanionNames) {
    EXPECT_EQ(LayoutNotesPath("/data/park.a3d"), "/data/park.txT");
    EXPECT_EQ(LayoutReportPath("/data/park.a3d"), "/data/park.txR");
    EXPECT_EQ(LayoutNotesPath("No File"), "No File.txT");
    EXPECT_EQ(LayoutNotesPath("/data.v2/park"), "/data.v2/park.txT");
    EXPECT_EQ(LayoutNotesPath("a.b.a3d"), "a.b.txT");
    // Notes kept at an end that could ask no one: beside the settings, named with the time, and
    // never a layout's companion (a layout Glimmora.a3d has Glimmora.txT).
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 1;
    when.tm_hour = 9;
    when.tm_min = 3;
    when.tm_sec = 5;
    const std::string settings = "/home/op/.config/glimmora/Glimmora.ini";
    EXPECT_EQ(KeptNotesPath(settings, when), "/home/op/.config/glimmora/Glimmora notes 2026-12-01 09-03-05.txt");
    EXPECT_EQ(KeptNotesPath(settings, when, 1), "/home/op/.config/glimmora/Glimmora notes 2026-12-01 09-03-05 (2).txt");
}

TEST(LayoutFile, NotesAreWrittenWithCrLfAndReadBack) {
    const ScratchFolder scratch("glimmora-layout");
    ASSERT_TRUE(scratch.made());
    const std::string dir = scratch.path();
    std::string path = dir + "/park.txT";
    ASSERT_TRUE(WriteTextCompanion(path, "Насос 1\nзамена\n\nконец"));
    std::string raw;
    ASSERT_TRUE(ReadWholeFile(path, raw));
    EXPECT_EQ(raw, "Насос 1\r\nзамена\r\n\r\nконец\r\n");
    std::string back;
    ASSERT_TRUE(ReadTextCompanion(path, back));
    EXPECT_EQ(back, "Насос 1\nзамена\n\nконец");
    // A CP1251 file made elsewhere reads as text too.
    std::string cp = "\xCD\xE0\xF1\xEE\xF1\r\n";
    ASSERT_TRUE(WriteFileAtomic(path, cp));
    ASSERT_TRUE(ReadTextCompanion(path, back));
    EXPECT_EQ(back, "Насос");
    EXPECT_FALSE(ReadTextCompanion(dir + "/missing.txT", back));
}

}  // namespace
