#include "sequencer/notes_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <cerrno>
#include <sys/stat.h>

#include "tests/scratch_folder.h"
#include "tests/hang_guard.h"

namespace spirelo {
namespace {

TEST(NotesFile, NamedLikeTheSequencerFileWithTxt) {
    EXPECT_EQ(NotesFileName("/shows/park.seq"), "/shows/park.txt");
    EXPECT_EQ(NotesFileName("/shows/v1.2/park"), "/shows/v1.2/park.txt");
}

TEST(NotesFile, LinesEndWithCrLfAndRoundTrip) {
    const struct { const char* memo; const char* file; } cases[] = {
        {"", ""},
        {"one", "one\r\n"},
        {"one\ntwo", "one\r\ntwo\r\n"},
        {"one\n", "one\r\n\r\n"},
        {"\n\nx", "\r\n\r\nx\r\n"},
        {"Насос 1", "Насос 1\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NotesToFileText(c.memo), c.file) << c.memo;
        EXPECT_EQ(NotesFromFileText(c.file), c.memo) << c.memo;
    }
}

TEST(NotesFile, ReadsOtherLineEndsAndCp1251) {
    EXPECT_EQ(NotesFromFileText("a\nb\rc\r\n"), "a\nb\nc");
    EXPECT_EQ(NotesFromFileText("\xCD\xE0\xF1\xEE\xF1\r\n"), "Насос");
}

TEST(NotesFile, SaveAndLoadThroughTheDisk) {
    const test::ScratchFolder scratch("spirelo-notes");
    ASSERT_TRUE(scratch.made());
    const std::string path = scratch / "show.txt";

    std::string memo = "kept";
    EXPECT_FALSE(LoadNotesFile(path, memo));
    EXPECT_EQ(memo, "kept");

    ASSERT_TRUE(SaveNotesFile(path, "line 1\nline 2"));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, "line 1\r\nline 2\r\n");
    EXPECT_TRUE(LoadNotesFile(path, memo));
    EXPECT_EQ(memo, "line 1\nline 2");
}

}  // namespace
}  // namespace spirelo

namespace spirelo {
namespace {

// A FIFO or an oversized file named as the notes is refused at once, the memo kept.
TEST(NotesFile, AFifoOrAnOversizedFileIsRefusedAtOnce) {
    test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string fifo = dir / "show.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(test::AnswersWithoutHanging([&] {
        std::string memo = "kept";
        IoResult r = LoadNotesFile(fifo, memo);
        return !r && r.error != ENOENT && memo == "kept";
    }));
    const std::string big = dir / "big.txt";
    ASSERT_TRUE(WriteFileAtomic(big, std::string(kMaxNotesFileBytes + 1, 'x')));
    std::string memo = "kept";
    EXPECT_EQ(LoadNotesFile(big, memo).error, EFBIG);
    EXPECT_EQ(memo, "kept");
}

}  // namespace
}  // namespace spirelo
