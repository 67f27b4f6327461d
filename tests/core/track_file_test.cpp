#include "core/track_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/event_log.h"
#include "core_fixture.h"

using namespace spirelo;
using spirelo::test::CoreFiles;

namespace {

struct GoldenBlock {
    size_t offset, size;
    void* table;          // filled whole with the block's marker
    size_t tableSize;
};

std::vector<GoldenBlock> TrackBlocks(ShowData& d) {
    return {
        {0, 512, d.TrackNames, sizeof d.TrackNames},
        {512, 4096, d.TrackEditState, sizeof d.TrackEditState},
        {4608, 1024, d.EffectNames, sizeof d.EffectNames},
        {5632, 64, d.EffectKind, sizeof d.EffectKind},
        {5696, 64, d.EffectSeq, sizeof d.EffectSeq},
        {5760, 256, d.EffectStart, sizeof d.EffectStart},
        {6016, 256, d.EffectFinish, sizeof d.EffectFinish},
        {6272, 256, d.EffectTime, sizeof d.EffectTime},
        {6528, 256, d.EffectLevel, sizeof d.EffectLevel},
        {6784, 32, d.TrackShift, sizeof d.TrackShift},
        {6816, 32, d.TrackRecKind, sizeof d.TrackRecKind},
        {6848, 32, d.TrackRecSeq, sizeof d.TrackRecSeq},
        {6880, 32, d.TrackRecScene, sizeof d.TrackRecScene},
        {6912, 521600, d.TrackSeq, sizeof d.TrackSeq},
        {528512, 521600, d.TrackScene, sizeof d.TrackScene},
        {1050112, 521600, d.TrackLevel, sizeof d.TrackLevel},
        {1571712, 521600, d.TrackCommand, sizeof d.TrackCommand},
        {2093312, 521600, d.TrackPlane5, sizeof d.TrackPlane5},
    };
}

// Everything a track file can touch, to show that a refused open changed nothing.
std::vector<uint8_t> TrackState(const ShowData& d) {
    std::vector<uint8_t> s = TrackFileBytes(d);
    auto add = [&](const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        s.insert(s.end(), b, b + n);
    };
    add(d.TrackSeq, sizeof d.TrackSeq);   // includes the 32 steps the file does not hold
    add(d.TrackPlane5, sizeof d.TrackPlane5);
    return s;
}

}  // namespace

TEST_F(CoreFiles, TrackFileBlocksLieAtTheirOffsets) {
    auto blocks = TrackBlocks(*d);
    for (size_t i = 0; i < blocks.size(); ++i) std::memset(blocks[i].table, int(i + 1), blocks[i].tableSize);
    d->sNameFileProject = path("show.trk");
    ASSERT_TRUE(SaveTrackFile(*d));

    const auto file = ReadBytes(path("show.trk"));
    ASSERT_EQ(file.size(), 2614912u);
    size_t covered = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        for (size_t k = 0; k < blocks[i].size; ++k)
            ASSERT_EQ(file[blocks[i].offset + k], i + 1) << "block " << i << " byte " << k;
        covered += blocks[i].size;
    }
    EXPECT_EQ(covered, file.size());
    EXPECT_TRUE(messages->log.empty());   // no message on success
}

TEST_F(CoreFiles, TrackFilePlanesStopBeforeTheLast32StepsOfTrack32) {
    d->TrackCommand[31][16268] = 2;   // last stored step
    d->TrackCommand[31][16269] = 3;   // first step not stored
    d->TrackCommand[31][16300] = 3;
    d->sNameFileProject = path("show.trk");
    ASSERT_TRUE(SaveTrackFile(*d));
    const auto file = ReadBytes(path("show.trk"));
    EXPECT_EQ(file[1571712 + 31 * 16301 + 16268], 2);
    EXPECT_EQ(file[1571712 + 521600], 0);   // the next plane's block (TrackPlane5) starts there

    // On load the unstored steps keep what memory held.
    auto e = MakeShowData();
    ResetShowData(*e);
    e->TrackCommand[31][16300] = 5;
    ASSERT_EQ(OpenTrackFile(*e, path("show.trk")), FileLoad::Loaded);
    EXPECT_EQ(e->TrackCommand[31][16268], 2);
    EXPECT_EQ(e->TrackCommand[31][16269], kCmdNothing);
    EXPECT_EQ(e->TrackCommand[31][16300], 5);
}

TEST_F(CoreFiles, TrackFileRoundTripsByteForByte) {
    const auto original = Noise(2614912, 7);
    WriteBytes(path("noise.trk"), original);
    d->sNameFileProject = path("noise.trk");
    ASSERT_EQ(OpenTrackFile(*d), FileLoad::Loaded);
    EXPECT_EQ(d->sNameFileProject, path("noise.trk"));
    ASSERT_TRUE(SaveTrackFile(*d));
    EXPECT_EQ(ReadBytes(path("noise.trk")), original);
}

TEST_F(CoreFiles, TrackFileExtensionIsForced) {
    WriteBytes(path("song.trk"), Noise(2614912, 3));
    ASSERT_EQ(OpenTrackFile(*d, path("song.mp3")), FileLoad::Loaded);   // a music file chosen in the dialog
    EXPECT_EQ(d->sNameFileProject, path("song.trk"));

    d->sNameFileProject = path("other.wav");
    ASSERT_TRUE(SaveTrackFile(*d));
    EXPECT_EQ(d->sNameFileProject, path("other.trk"));
    EXPECT_TRUE(FileExists(path("other.trk")));
    EXPECT_FALSE(FileExists(path("other.wav")));
}

namespace {

// Older layouts, built from their block lists with one marker per block.
std::vector<uint8_t> OldTrackFile(size_t size) {
    std::vector<uint8_t> f;
    auto block = [&](size_t n, uint8_t v) { f.insert(f.end(), n, v); };
    if (size == 2527555) {
        block(1024, 0x11);   // edit state 0..255
        block(31, 0x12);     // shifts of tracks 1..31
        for (uint8_t p = 0; p < 5; ++p) block(505300, uint8_t(0x20 + p));
    } else {
        block(1024, 0x11);
        block(32, 0x12);
        block(32, 0x13);
        block(32, 0x14);
        block(32, 0x15);
        for (uint8_t p = 0; p < 5; ++p) block(521600, uint8_t(0x20 + p));
        if (size == 2609664) block(512, 0x30);
    }
    return f;
}

void Sentinels(ShowData& d) {
    std::memset(d.TrackNames, 'N', sizeof d.TrackNames);
    std::memset(d.EffectNames, 'E', sizeof d.EffectNames);
    std::fill(std::begin(d.EffectTime), std::end(d.EffectTime), 77);
    std::fill(std::begin(d.TrackEditState), std::end(d.TrackEditState), 0x5A5A5A5A);
    std::memset(d.TrackShift, 9, sizeof d.TrackShift);
    std::memset(d.TrackRecKind, 9, sizeof d.TrackRecKind);
}

}  // namespace

TEST_F(CoreFiles, TrackFileOldLayoutsWithNames) {
    for (size_t size : {size_t{2609664}, size_t{2609152}}) {
        SCOPED_TRACE(size);
        messages->log.clear();
        ResetShowData(*d);
        Sentinels(*d);
        const auto file = OldTrackFile(size);
        ASSERT_EQ(file.size(), size);
        WriteBytes(path("old.trk"), file);
        d->sNameFileProject = path("old.trk");
        ASSERT_EQ(OpenTrackFile(*d), FileLoad::OldLayout);

        ASSERT_EQ(texts(MessageKind::Plain).size(), 1u);
        EXPECT_EQ(texts(MessageKind::Plain)[0], "Это tracks версии ??? Leng=" + std::to_string(size));
        EXPECT_EQ(d->TrackEditState[0], 0x11111111);
        EXPECT_EQ(d->TrackEditState[255], 0x11111111);
        EXPECT_EQ(d->TrackEditState[256], 0x5A5A5A5A);   // entries 256..1023 kept
        EXPECT_EQ(d->TrackShift[31], 0x12);
        EXPECT_EQ(d->TrackRecKind[0], 0x13);
        EXPECT_EQ(d->TrackRecSeq[31], 0x14);
        EXPECT_EQ(d->TrackRecScene[5], 0x15);
        EXPECT_EQ(d->TrackSeq[0][0], 0x20);
        EXPECT_EQ(d->TrackScene[31][16268], 0x21);
        EXPECT_EQ(d->TrackScene[31][16269], kEmptyScene);
        EXPECT_EQ(d->TrackPlane5[10][100], 0x24);
        EXPECT_EQ(d->EffectNames[0][0], 'E');            // effect table kept
        EXPECT_EQ(d->EffectTime[63], 77);
        EXPECT_EQ(d->TrackNames[0][0], size == 2609664 ? 0x30 : 'N');

        // Saving writes the current layout.
        ASSERT_TRUE(SaveTrackFile(*d));
        EXPECT_EQ(ReadBytes(path("old.trk")).size(), 2614912u);
    }
}

TEST_F(CoreFiles, TrackFileOldestLayout) {
    Sentinels(*d);
    WriteBytes(path("oldest.trk"), OldTrackFile(2527555));
    ASSERT_EQ(OpenTrackFile(*d, path("oldest.trk")), FileLoad::OldLayout);
    ASSERT_EQ(texts(MessageKind::Plain).size(), 1u);
    EXPECT_EQ(texts(MessageKind::Plain)[0], "Это tracks версии Лотвень Leng=2527555");
    EXPECT_EQ(d->TrackEditState[255], 0x11111111);
    EXPECT_EQ(d->TrackEditState[256], 0x5A5A5A5A);
    EXPECT_EQ(d->TrackShift[30], 0x12);
    EXPECT_EQ(d->TrackShift[31], 9);                    // track 32 not in that layout
    EXPECT_EQ(d->TrackRecKind[0], 9);                   // record tables not in it
    // 505,300 bytes per plane: tracks 1..30 whole and steps 0..16,269 of track 31.
    EXPECT_EQ(d->TrackSeq[29][16300], 0x20);
    EXPECT_EQ(d->TrackScene[30][16269], 0x21);
    EXPECT_EQ(d->TrackScene[30][16270], kEmptyScene);
    EXPECT_EQ(d->TrackCommand[31][0], kCmdNothing);
    EXPECT_EQ(d->TrackPlane5[30][0], 0x24);
    EXPECT_EQ(d->TrackNames[3][3], 'N');
}

TEST_F(CoreFiles, TrackFileOfUnknownSizeChangesNothing) {
    // One byte longer than the current layout, and a tiny file.
    for (size_t size : {size_t{2614913}, size_t{100}}) {
        SCOPED_TRACE(size);
        messages->log.clear();
        Sentinels(*d);
        d->sNameFileProject = path("current.trk");
        const auto before = TrackState(*d);
        WriteBytes(path("odd.trk"), Noise(size, 1));

        ASSERT_EQ(OpenTrackFile(*d, path("odd.trk")), FileLoad::UnknownSize);
        EXPECT_EQ(TrackState(*d), before);
        EXPECT_EQ(d->sNameFileProject, path("current.trk"));   // the show keeps its own name
        ASSERT_EQ(texts(MessageKind::Plain).size(), 1u);
        EXPECT_NE(texts(MessageKind::Plain)[0].find(path("odd.trk")), std::string::npos);
        const std::string log = ReadText(LogFilePath());
        EXPECT_NE(log.find("Who=ReadSave Where=OpenTrackFile= Info=Unknown_file_size " + path("odd.trk") +
                           " Leng=" + std::to_string(size)),
                  std::string::npos)
            << log;

        // A later save goes to the show's own name, never over the unreadable file.
        ASSERT_TRUE(SaveTrackFile(*d));
        EXPECT_EQ(ReadBytes(path("odd.trk")).size(), size);
    }
}

TEST_F(CoreFiles, TrackFileOfUnknownSizeAtStartTakesTheDefaultName) {
    WriteBytes(path("last.trk"), Noise(5000, 2));
    d->sNameFileProject = path("last.trk");   // as the settings file gave it
    ASSERT_EQ(OpenTrackFile(*d), FileLoad::UnknownSize);
    EXPECT_EQ(d->sNameFileProject, path("Spirelo.trk"));
    EXPECT_NE(ReadText(LogFilePath()).find("Info=Unknown_file_size " + path("last.trk") + " Leng=5000"),
              std::string::npos);
}

TEST_F(CoreFiles, MissingTrackFileIsLoggedAndTakesTheDefaultName) {
    Sentinels(*d);
    const auto before = TrackState(*d);
    ASSERT_EQ(OpenTrackFile(*d, path("nowhere.trk")), FileLoad::Missing);
    EXPECT_EQ(d->sNameFileProject, path("Spirelo.trk"));
    EXPECT_EQ(TrackState(*d), before);
    EXPECT_TRUE(messages->log.empty());   // only the log hears of it
    EXPECT_NE(ReadText(path("Spirelo.Log")).find("Who=ReadSave Where=OpenTrackFile= Info=File not found_sNameFileProject"),
              std::string::npos);
}

TEST_F(CoreFiles, FailedTrackSaveIsReportedAndLeavesNoFile) {
    WriteBytes(path("plain"), {1, 2, 3});
    d->sNameFileProject = path("plain/show.trk");    // the folder is a file: nothing can be made there
    IoResult r = SaveTrackFile(*d);
    EXPECT_FALSE(r);
    ASSERT_EQ(texts(MessageKind::Error).size(), 1u);
    EXPECT_NE(texts(MessageKind::Error)[0].find(r.message), std::string::npos);
    EXPECT_NE(texts(MessageKind::Error)[0].find("Not a directory"), std::string::npos);

    messages->log.clear();
    d->sNameFileProject = path("no/such/folder/show.trk");
    EXPECT_FALSE(SaveTrackFile(*d));
    ASSERT_EQ(texts(MessageKind::Error).size(), 1u);
    EXPECT_NE(texts(MessageKind::Error)[0].find("No such file or directory"), std::string::npos);
}

TEST_F(CoreFiles, TrackSaveOnAFullDiskKeepsThePreviousFile) {
    d->sNameFileProject = path("show.trk");
    ASSERT_TRUE(SaveTrackFile(*d));
    const auto previous = ReadBytes(path("show.trk"));

    // A file-size limit stands in for a full disk (root ignores permissions, not this).
    std::memset(d->TrackLevel, 200, sizeof d->TrackLevel);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1 << 20;
    setrlimit(RLIMIT_FSIZE, &small);
    IoResult r = SaveTrackFile(*d);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(r);
    EXPECT_EQ(ReadBytes(path("show.trk")), previous);
    ASSERT_EQ(texts(MessageKind::Error).size(), 1u);
    EXPECT_NE(texts(MessageKind::Error)[0].find("File too large"), std::string::npos);
    // No temporary file is left beside the show.
    int entries = 0;
    if (DIR* dp = opendir(dir.c_str())) {
        while (dirent* e = readdir(dp)) entries += e->d_name[0] != '.' || std::strlen(e->d_name) > 2;
        closedir(dp);
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(CoreFiles, TrackFileThatEndsEarlyWhileReadIsRefused) {
    // Kernel attribute files say 4096 bytes and hold fewer: a file shorter than its size.
    const char* shortFile = "/sys/devices/system/cpu/online";
    struct stat st{};
    if (::stat(shortFile, &st) != 0 || st.st_size <= 64) GTEST_SKIP() << "no short attribute file";
    ASSERT_EQ(::symlink(shortFile, path("short.trk").c_str()), 0);
    Sentinels(*d);
    d->sNameFileProject = path("current.trk");
    const auto before = TrackState(*d);
    // Its stated size is no layout's, so it is refused by its size before anything is read.
    ASSERT_EQ(OpenTrackFile(*d, path("short.trk")), FileLoad::UnknownSize);
    EXPECT_EQ(TrackState(*d), before);
    EXPECT_EQ(d->sNameFileProject, path("current.trk"));
}
