// The show and music lists' logic: list files, index rules, drag moves, volume numbers; and the
// save commands' order, conditions and texts.
#include "playback/play_lists.h"
#include "playback/project_save.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <cerrno>
#include <sys/stat.h>

#include "tests/scratch_folder.h"
#include "tests/hang_guard.h"

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

using Items = std::vector<std::string>;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(PlayLists, IndexRules) {
    struct Case { int index, show, music; };
    const Case cases[] = {{5, 0, 0}, {3, 2, 0}, {-1, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(ShowListIndex(c.index, 3), c.show) << c.index;
        EXPECT_EQ(MusicListIndex(c.index, 3), c.music) << c.index;
    }
    EXPECT_EQ(NextIndex(2, 3), 0);
    EXPECT_EQ(NextIndex(0, 3), 1);
    EXPECT_EQ(NextIndex(-4, 3), 0);
    EXPECT_EQ(PrevIndex(0, 3), 0);
    EXPECT_EQ(PrevIndex(2, 3), 1);
}

TEST(PlayLists, DropMovesTheCurrentEntryToTheTarget) {
    struct Case { int current, target; Items expect; int moved; };
    const Case cases[] = {
        {0, 2, {"B", "A", "C", "D"}, 1},    // A onto C
        {3, 1, {"A", "D", "B", "C"}, 1},    // D onto B
        {1, -1, {"A", "C", "D", "B"}, 3},   // B below the last
        {1, 1, {"A", "B", "C", "D"}, 1},    // B onto itself
        {1, 2, {"A", "B", "C", "D"}, 1},    // B onto the next
    };
    for (const Case& c : cases) {
        Items items = {"A", "B", "C", "D"};
        EXPECT_EQ(DropMove(items, c.current, c.target), c.moved) << c.current << "->" << c.target;
        EXPECT_EQ(items, c.expect) << c.current << "->" << c.target;
    }
    Items items = {"A", "B"};
    EXPECT_EQ(DropMove(items, -1, 0), -1);   // no current entry: nothing moves
    EXPECT_EQ(items, (Items{"A", "B"}));
}

TEST(PlayLists, ListFilesRoundTripAndReadOldCodePages) {
    const test::ScratchFolder scratch("spirelo-lists");
    ASSERT_TRUE(scratch.made());
    const fs::path dir = scratch;
    const fs::path file = dir / "list.shw";
    const Items items = {"/home/show/Фонтан 1.trk", "/home/show/b.trk"};
    ASSERT_TRUE(WritePathList(file.string(), items));
    EXPECT_EQ(ReadBytes(file), "/home/show/Фонтан 1.trk\r\n/home/show/b.trk\r\n");
    Items back;
    ASSERT_TRUE(ReadPathList(file.string(), back));
    EXPECT_EQ(back, items);

    // CP1251 bytes, LF and CR ends, blank lines and a final break add no entries
    std::ofstream(dir / "old.msc", std::ios::binary) << "C:\\\xCC\xF3\xE7\xFB\xEA\xE0.mp3\n\r\n\nD:\\b.mp3\rE:\\c.mp3\r\n";
    ASSERT_TRUE(ReadPathList((dir / "old.msc").string(), back));
    EXPECT_EQ(back, (Items{"C:\\Музыка.mp3", "D:\\b.mp3", "E:\\c.mp3"}));

    // Entries are decoded one by one: a list that gained a UTF-8 entry beside an old CP1251 one
    // (or the other way round) reads both as they were meant, the byte order mark aside.
    std::ofstream(dir / "mixed.shw", std::ios::binary)
        << "\xEF\xBB\xBF/a/\xD0\x9F.trk\r\n/a/\xCF.trk\r\n/a/\xD0\x9F\xCF.trk\r\n";
    ASSERT_TRUE(ReadPathList((dir / "mixed.shw").string(), back));
    EXPECT_EQ(back, (Items{"/a/П.trk", "/a/П.trk", "/a/РџП.trk"}));

    EXPECT_FALSE(ReadPathList((dir / "missing.msc").string(), back));
    EXPECT_TRUE(back.empty());
    // a failed write leaves no file and says so
    EXPECT_FALSE(WritePathList((dir / "no" / "such.shw").string(), items));
}

TEST(PlayLists, VolumeWordsCaptionsAndToFinish) {
    EXPECT_EQ(MusicVolumeWord(640, 100), 64000);
    EXPECT_EQ(MusicVolumeWord(300, 0), 0);
    EXPECT_EQ(MusicVolumeWord(700, 100), (70000 & 0xFFFF));
    EXPECT_EQ(MainMusicVolumeCaption(100), "Громкость 15%");
    EXPECT_EQ(MainMusicVolumeCaption(300), "Громкость 46%");
    EXPECT_EQ(MainMusicVolumeCaption(640), "Громкость 100%");
    EXPECT_EQ(NewFountainVolumeCaption(50), "Громкость 50%");
    EXPECT_EQ(MusicVolumeText(19), "Volume 19%");
    EXPECT_EQ(ToFinishPositionMs(180000), 170000);
    EXPECT_EQ(ToFinishPositionMs(4000), 0);
}

// Records every call of the save commands; a writer named in `failing` reports a failure.
struct Recorder {
    std::vector<std::string> calls;
    std::vector<std::string> existing;
    std::string failing;
    std::string seq = "/p/show.seq", trk = "/p/show.trk", msc = "/p/music.msc";
    ProjectFiles files() const { return {&seq, &trk, &msc}; }
    ProjectSaveHost host() {
        ProjectSaveHost h;
        h.fileExists = [this](const std::string& p) {
            for (const std::string& e : existing) if (e == p) return true;
            return false;
        };
        auto writer = [this](const char* name) {
            return [this, name] { calls.push_back(name); return failing != name; };
        };
        h.saveTrack = writer("trk");
        h.saveSeq = writer("seq");
        h.saveNotes = writer("notes");
        h.writeIni = writer("ini");
        h.status = [this](const std::string& t) { calls.push_back("status " + t); };
        h.musicCaption = [this](const std::string& t) { calls.push_back("caption " + t); };
        return h;
    }
};

TEST(ProjectSave, SequencerSide) {
    Recorder r;
    r.existing = {r.seq};
    EXPECT_TRUE(SaveSequencerSide(r.files(), r.host()));
    EXPECT_EQ(r.calls, (Items{"seq", "notes", "ini", "caption Music List /p/music.msc", "status SaveSeqFile /p/show.seq"}));

    Recorder missing;
    EXPECT_FALSE(SaveSequencerSide(missing.files(), missing.host()));
    EXPECT_EQ(missing.calls, (Items{"status No SaveSeqFile !"}));

    Recorder failed;
    failed.existing = {failed.seq};
    failed.failing = "seq";
    EXPECT_FALSE(SaveSequencerSide(failed.files(), failed.host()));
    EXPECT_EQ(failed.calls, (Items{"seq"}));
}

TEST(ProjectSave, WholeProject) {
    Recorder r;
    r.existing = {r.trk, r.seq};
    EXPECT_TRUE(SaveWholeProject(r.files(), r.host()));
    EXPECT_EQ(r.calls, (Items{"trk", "seq", "ini", "status FileTrack /p/show.trk"}));

    Recorder none;
    EXPECT_FALSE(SaveWholeProject(none.files(), none.host()));
    EXPECT_TRUE(none.calls.empty());

    Recorder failed;
    failed.existing = {failed.trk};
    failed.failing = "seq";
    EXPECT_FALSE(SaveWholeProject(failed.files(), failed.host()));
    EXPECT_EQ(failed.calls, (Items{"trk", "seq"}));
}

TEST(ProjectSave, AutoSave) {
    Recorder r;
    r.existing = {r.seq, r.msc};
    EXPECT_TRUE(AutoSaveSequencer(r.files(), r.host()));
    EXPECT_EQ(r.calls, (Items{"seq", "notes", "ini", "status SaveSeqFile /p/show.seq", "caption Music List /p/music.msc"}));

    // a missing .seq writes nothing; the caption still follows an existing music list
    Recorder missing;
    missing.existing = {missing.msc};
    EXPECT_FALSE(AutoSaveSequencer(missing.files(), missing.host()));
    EXPECT_EQ(missing.calls, (Items{"status No SaveSeqFile !", "caption Music List /p/music.msc"}));

    Recorder noList;
    noList.existing = {noList.seq};
    noList.failing = "ini";
    EXPECT_FALSE(AutoSaveSequencer(noList.files(), noList.host()));
    EXPECT_EQ(noList.calls, (Items{"seq", "notes", "ini"}));
}

}  // namespace

// A FIFO named as a list is refused at once, a list over the bound before any of it is read.
TEST(PlayLists, AListThatIsAFifoOrTooLargeIsRefused) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string fifo = dir / "pipe.shw";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(spirelo::test::AnswersWithoutHanging([&] {
        Items back{"old"};
        IoResult r = ReadPathList(fifo, back);
        return !r && back.empty() && !r.message.empty();
    }));

    const std::string big = dir / "big.msc";
    {
        std::ofstream out(big, std::ios::binary);
        std::string line(999, 'a');
        line += "\r\n";
        for (size_t n = 0; n <= kMaxPathListBytes / line.size(); ++n) out << line;
    }
    Items back{"old"};
    IoResult r = ReadPathList(big, back);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error, EFBIG);
    EXPECT_TRUE(back.empty());
}

// The reader takes a byte-order mark off the start of a list: a first entry that begins with
// U+FEFF is written after one of its own, so it reads back whole. Other lists keep their bytes.
TEST(PlayLists, AFirstEntryBeginningWithAByteOrderMarkReadsBackWhole) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string bom = "\xEF\xBB\xBF";
    struct Case { Items items; std::string bytes; };
    const Case cases[] = {
        {{bom + "a.mp3", "b.mp3"}, bom + bom + "a.mp3\r\nb.mp3\r\n"},
        {{"a.mp3", bom + "b.mp3"}, "a.mp3\r\n" + bom + "b.mp3\r\n"},
        {{bom}, bom + bom + "\r\n"},
    };
    for (const Case& c : cases) {
        const std::string file = dir / "list.msc";
        ASSERT_TRUE(WritePathList(file, c.items));
        EXPECT_EQ(ReadBytes(file), c.bytes);
        Items back;
        ASSERT_TRUE(ReadPathList(file, back));
        EXPECT_EQ(back, c.items);
    }
}

// A path holding a line end would read back as two entries: it fits no list, and a list holding
// one is refused whole, the old file kept.
TEST(PlayLists, APathHoldingALineEndIsNeverWritten) {
    for (const char* path : {"/m/a\nb.mp3", "/m/a\rb.mp3", "/m/a\r\n", "\n"}) EXPECT_FALSE(FitsPathList(path)) << path;
    EXPECT_TRUE(FitsPathList("/m/Фонтан 1.mp3"));
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string file = dir / "list.shw";
    ASSERT_TRUE(WritePathList(file, {"/m/a.trk"}));
    const IoResult r = WritePathList(file, {"/m/b.trk", "/m/c\nd.trk"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EINVAL);
    EXPECT_FALSE(r.message.empty());
    EXPECT_EQ(ReadBytes(file), "/m/a.trk\r\n");
    const std::string text = PathsNotAddedText({"/m/c\nd.mp3"});
    EXPECT_NE(text.find("/m/c\nd.mp3"), std::string::npos) << text;
}
