#include "common/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
