#include "common/file_io.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "tests/scratch_folder.h"
#include "tests/within_a_second.h"

using namespace spirelo;

namespace {
std::string Temp(const std::string& name) { return ::testing::TempDir() + name; }
}

TEST(FileIo, AtomicWriteReplacesAndReadsBackWhole) {
    std::string path = Temp("atomic.bin");
    ASSERT_TRUE(WriteFileAtomic(path, "first version"));
    ASSERT_TRUE(WriteFileAtomic(path, "second"));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "second");
}

TEST(FileIo, FailedWriteLeavesTheOldFileAndSaysWhy) {
    std::string dir = Temp("atomic_dir");
    ::mkdir(dir.c_str(), 0755);
    std::string path = dir + "/keep.txt";
    ASSERT_TRUE(WriteFileAtomic(path, "precious"));
    // A target whose folder is a regular file cannot be written, even as root.
    IoResult r = WriteFileAtomic(path + "/sub", "x");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.empty());
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "precious");
}

TEST(FileIo, ReadOfAMissingFileLeavesTheBufferAlone) {
    std::vector<uint8_t> buf{1, 2, 3};
    IoResult r = ReadWholeFile(Temp("does-not-exist"), buf);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "No such file or directory");
    EXPECT_EQ(buf.size(), 3u);
}

TEST(FileIo, BlockReaderNeverReadsPastTheEnd) {
    uint8_t data[5] = {1, 2, 3, 4, 5};
    BlockReader r(data, sizeof data);
    uint8_t two[2] = {};
    uint8_t four[4] = {9, 9, 9, 9};
    EXPECT_TRUE(r.get(two, 2));
    EXPECT_FALSE(r.get(four, 4));
    EXPECT_EQ(four[0], 9);
    EXPECT_TRUE(r.skip(3));
    EXPECT_EQ(r.remaining(), 0u);
}

TEST(FileIo, PathPieces) {
    EXPECT_EQ(DirName("/a/b/c.seq"), "/a/b");
    EXPECT_EQ(DirName("c.seq"), "");
    EXPECT_EQ(DirName("/c.seq"), "/");
    EXPECT_EQ(BaseName("/a/b/c.seq"), "c.seq");
}

namespace {
// A fresh folder per test, so temporary files can be counted.
std::string FreshDir(const std::string& name) {
    std::string dir = Temp(name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::vector<std::string> TempsOf(const std::string& dir, const std::string& target) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        std::string n = e.path().filename().string();
        if (n.rfind("." + target + ".", 0) == 0) out.push_back(n);
    }
    return out;
}
}  // namespace

// A save killed half-way leaves its temporary file; the next save of the same target removes
// it, but keeps one that a running save holds and those of other targets.
TEST(FileIo, ASaveRemovesTheTemporaryFilesOfInterruptedSaves) {
    const std::string dir = FreshDir("stale_temps");
    const std::string path = dir + "/show.seq";
    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Killed by the file-size limit in the middle of writing its temporary file.
        struct rlimit lim{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        std::vector<char> big(1 << 20, 'x');
        WriteFileAtomic(path, big.data(), big.size());
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child was meant to die mid-save";
    ASSERT_EQ(TempsOf(dir, "show.seq").size(), 1u);

    const std::string held = dir + "/.show.seq.HELD00";
    const std::string other = dir + "/.other.seq.abcdef";
    ASSERT_TRUE(WriteFileAtomic(other + "-made", "x"));
    std::filesystem::rename(other + "-made", other);
    int fd = ::open(held.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    ASSERT_TRUE(WriteFileAtomic(path, "new"));
    EXPECT_EQ(TempsOf(dir, "show.seq"), std::vector<std::string>{".show.seq.HELD00"});
    EXPECT_TRUE(std::filesystem::exists(other));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "new");
    ::close(fd);
}

// A read-only target is not replaced (root included); a symbolic link stays a link and its
// target gets the new content.
TEST(FileIo, SaveKeepsReadOnlyFilesAndSymbolicLinks) {
    const std::string dir = FreshDir("ro_and_links");
    const std::string ro = dir + "/locked.trk";
    ASSERT_TRUE(WriteFileAtomic(ro, "precious"));
    ASSERT_EQ(::chmod(ro.c_str(), 0444), 0);
    IoResult r = WriteFileAtomic(ro, "over");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EACCES);
    std::string back;
    ASSERT_TRUE(ReadWholeFile(ro, back));
    EXPECT_EQ(back, "precious");

    std::filesystem::create_directories(dir + "/real");
    const std::string real = dir + "/real/show.trk";
    ASSERT_TRUE(WriteFileAtomic(real, "old"));
    const std::string link = dir + "/show.trk";
    std::filesystem::create_symlink("real/show.trk", link);
    ASSERT_TRUE(WriteFileAtomic(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    ASSERT_TRUE(ReadWholeFile(real, back));
    EXPECT_EQ(back, "new");
    EXPECT_TRUE(TempsOf(dir, "show.trk").empty());
    EXPECT_TRUE(TempsOf(dir + "/real", "show.trk").empty());
}

using spirelo::test::AnswersWithinASecond;

// A FIFO, a device or a folder is refused at once; a file over the bound is refused before any
// of it is read; one within it reads whole.
TEST(FileIo, WholeFileReadsTakeRegularFilesWithinTheirBound) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string fifo = dir / "list.shw";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.path()}) {
        EXPECT_TRUE(AnswersWithinASecond([&] {
            std::string text = "kept";
            IoResult r = ReadBoundedFile(path, 1 << 20, text);
            return !r.ok && text == "kept" && !r.message.empty();
        })) << path;
        EXPECT_TRUE(AnswersWithinASecond([&] {
            int fd = -1;
            return !OpenRegularFile(path, fd).ok && fd < 0;
        })) << path;
    }
    EXPECT_TRUE(AnswersWithinASecond([&] {
        std::string text;
        return !ReadWholeFile(fifo, text).ok;
    }));

    const std::string file = dir / "big.msc";
    ASSERT_TRUE(WriteFileAtomic(file, std::string(1001, 'x')));
    std::vector<uint8_t> bytes{1};
    IoResult r = ReadBoundedFile(file, 1000, bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EFBIG);
    EXPECT_NE(r.message.find("1000"), std::string::npos) << r.message;
    EXPECT_EQ(bytes, std::vector<uint8_t>{1});
    ASSERT_TRUE(ReadBoundedFile(file, 1001, bytes));
    EXPECT_EQ(bytes.size(), 1001u);

    int fd = -1;
    ASSERT_TRUE(OpenRegularFile(file, fd));
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "reads after the open may block as usual";
    ::close(fd);
}
