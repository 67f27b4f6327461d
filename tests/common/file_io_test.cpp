#include "common/file_io.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "tests/file_seam.h"
#include "tests/scratch_folder.h"
#include "tests/hang_guard.h"

using namespace spirelo;
using spirelo::test::ScratchFolder;

TEST(FileIo, AtomicWriteReplacesAndReadsBackWhole) {
    const ScratchFolder scratch("spirelo-file-io");
    ASSERT_TRUE(scratch.made());
    std::string path = scratch / "atomic.bin";
    ASSERT_TRUE(WriteFileAtomic(path, "first version"));
    ASSERT_TRUE(WriteFileAtomic(path, "second"));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "second");
}

TEST(FileIo, FailedWriteLeavesTheOldFileAndSaysWhy) {
    const ScratchFolder scratch("spirelo-file-io");
    ASSERT_TRUE(scratch.made());
    std::string path = scratch / "keep.txt";
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
    const ScratchFolder scratch("spirelo-file-io");
    ASSERT_TRUE(scratch.made());
    IoResult r = ReadWholeFile(scratch / "does-not-exist", buf);
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
    const ScratchFolder scratch("spirelo-file-io");
    ASSERT_TRUE(scratch.made());
    const std::string dir = scratch.path();
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

    const std::string held = dir + "/.show.seq.HELD00" + kTempSuffix;
    const std::string other = dir + "/.other.seq.abcdef" + kTempSuffix;
    ASSERT_TRUE(WriteFileAtomic(other + "-made", "x"));
    std::filesystem::rename(other + "-made", other);
    int fd = ::open(held.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    ASSERT_TRUE(WriteFileAtomic(path, "new"));
    EXPECT_EQ(TempsOf(dir, "show.seq"), std::vector<std::string>{".show.seq.HELD00" + std::string(kTempSuffix)});
    EXPECT_TRUE(std::filesystem::exists(other));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "new");
    ::close(fd);
}

// A read-only target is not replaced (root included); a symbolic link stays a link and its
// target gets the new content.
TEST(FileIo, SaveKeepsReadOnlyFilesAndSymbolicLinks) {
    const ScratchFolder scratch("spirelo-file-io");
    ASSERT_TRUE(scratch.made());
    const std::string dir = scratch.path();
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

using spirelo::test::AnswersWithoutHanging;

// A FIFO, a device or a folder is refused at once; a file over the bound is refused before any
// of it is read; one within it reads whole.
TEST(FileIo, WholeFileReadsTakeRegularFilesWithinTheirBound) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string fifo = dir / "list.shw";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.path()}) {
        EXPECT_TRUE(AnswersWithoutHanging([&] {
            std::string text = "kept";
            IoResult r = ReadBoundedFile(path, 1 << 20, text);
            return !r.ok && text == "kept" && !r.message.empty() && (IsUnfitFile(r) || r.error == EISDIR);
        })) << path;
        EXPECT_TRUE(AnswersWithoutHanging([&] {
            int fd = -1;
            return !OpenRegularFile(path, fd).ok && fd < 0;
        })) << path;
    }
    EXPECT_TRUE(AnswersWithoutHanging([&] {
        std::string text;
        return !ReadWholeFile(fifo, text).ok;
    }));

    const std::string file = dir / "big.msc";
    ASSERT_TRUE(WriteFileAtomic(file, std::string(1001, 'x')));
    std::vector<uint8_t> bytes{1};
    IoResult r = ReadBoundedFile(file, 1000, bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EFBIG);
    EXPECT_TRUE(IsUnfitFile(r));
    EXPECT_FALSE(IsUnfitFile(ReadBoundedFile(dir / "missing.msc", 1000, bytes)));
    EXPECT_NE(r.message.find("1000"), std::string::npos) << r.message;
    EXPECT_EQ(bytes, std::vector<uint8_t>{1});
    ASSERT_TRUE(ReadBoundedFile(file, 1001, bytes));
    EXPECT_EQ(bytes.size(), 1001u);

    int fd = -1;
    ASSERT_TRUE(OpenRegularFile(file, fd));
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "reads after the open may block as usual";
    ::close(fd);
}

// A temporary file of another target goes once it is a day old and nobody holds it; files of
// other names, of other users, and recent ones stay.
TEST(FileIo, ASaveRemovesDayOldTemporaryFilesOfItsFolder) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const struct timespec old[2] = {{::time(nullptr) - 25 * 3600, 0}, {::time(nullptr) - 25 * 3600, 0}};
    auto plant = [&](const std::string& name, bool dayOld) {
        std::ofstream(dir / name) << "x";   // not by a save: that would clean up the ones planted before
        if (dayOld) {
            ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), old, 0), 0);
        }
    };
    const std::string stale = ".rec.dmx.Ab12Cd" + std::string(kTempSuffix);
    const std::string recent = ".rec.dmx.Ef34Gh" + std::string(kTempSuffix);
    const std::string heldName = ".lay.3dv.Ij56Kl" + std::string(kTempSuffix);
    // The write probe's, of this version and of earlier ones, left by a kill.
    const std::string probe = ".spirelo-probe.Qr90St" + std::string(kTempSuffix);
    const std::string oldProbe = ".spirelo-probe-Uv12Wx";
    for (const std::string& name : {stale, heldName, probe, oldProbe}) plant(name, true);
    plant(recent, false);
    // Another program's files of similar names.
    for (const std::string& name : {std::string(".rec.dmx.Ab12Cd"), std::string(".bashrc.backup"),
                                    std::string("x.Ab12Cd") + kTempSuffix, std::string(".spirelo-probe-Uv12Wx.bak")})
        plant(name, true);
    int held = ::open((dir / heldName).c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(WriteFileAtomic(dir / "show.seq", "new"));
    for (const std::string& name : {stale, probe, oldProbe}) EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
    for (const std::string& name : {recent, heldName, std::string(".rec.dmx.Ab12Cd"), std::string(".bashrc.backup"),
                                    std::string("x.Ab12Cd") + kTempSuffix, std::string(".spirelo-probe-Uv12Wx.bak")})
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
    ::close(held);

    if (::geteuid() != 0) GTEST_SKIP() << "a temporary file of another user needs root to make";
    const std::string theirs = ".his.seq.Mn78Op" + std::string(kTempSuffix);
    plant(theirs, true);
    ASSERT_EQ(::chown((dir / theirs).c_str(), 65534, 65534), 0);
    ASSERT_TRUE(WriteFileAtomic(dir / "show.seq", "newer"));
    EXPECT_TRUE(std::filesystem::exists(dir / theirs));
}

TEST(FileIo, ASaveFollowsALinkUnlessAnotherUserPlantedItInAFolderOpenToAll) {
    const struct { uid_t link; mode_t folder; bool follow; } cases[] = {
        {1000, 040755, true},    // the user's own folder
        {1001, 040755, true},    // a colleague's link where only its owner can write
        {1001, 040775, true},    // a shared group folder
        {1000, 041777, true},    // the user's own link in /tmp
        {0, 041777, true},       // root's
        {1001, 041777, false},   // another user's in /tmp
        {1001, 040777, false},   // or in any folder every user can write to
    };
    for (const auto& c : cases)
        EXPECT_EQ(SaveMayFollowLink(c.link, c.folder, 1000), c.follow) << c.link << " " << std::oct << c.folder;
}

// Another user plants links in a sticky folder open to all: the save follows none of them and
// leaves the victim's files alone.
TEST(FileIo, ALinkPlantedByAnotherUserInAStickyFolderIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "planting a link as another user needs root";
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);   // the other user must reach the shared folder
    ASSERT_EQ(::mkdir((dir / "shared").c_str(), 0777), 0);
    ASSERT_EQ(::chmod((dir / "shared").c_str(), 01777), 0);
    const std::string precious = dir / "precious.txt";
    ASSERT_TRUE(WriteFileAtomic(precious, "mine"));
    const std::string link = dir / "shared/Spirelo.ini";
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(::symlink(precious.c_str(), link.c_str()) == 0 ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other user could not plant the link";

    IoResult r = WriteFileAtomic(link, "settings");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EACCES);
    EXPECT_NE(r.message.find("another user (uid 65534)"), std::string::npos) << r.message;
    std::string back;
    ASSERT_TRUE(ReadWholeFile(precious, back));
    EXPECT_EQ(back, "mine");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(TempsOf(dir.path(), "precious.txt").empty());

    // The user's own link there still works.
    ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(::symlink(precious.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(link, "through my own link"));
    ASSERT_TRUE(ReadWholeFile(precious, back));
    EXPECT_EQ(back, "through my own link");
}

// New files get what the umask allows, a replaced file of the user's own keeps its mode, and one
// of somebody else does not hand its mode on.
TEST(FileIo, ModesFollowTheUmask) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    auto modeOf = [](const std::string& path) {
        struct stat st{};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 07777u;
    };
    const mode_t saved = ::umask(077);
    EXPECT_TRUE(WriteFileAtomic(dir / "show.seq", "private"));
    EXPECT_EQ(modeOf(dir / "show.seq"), 0600u);
    EXPECT_TRUE(AppendToFile(dir / "frames.raw", "x", 1));
    EXPECT_EQ(modeOf(dir / "frames.raw"), 0600u);
    ::umask(022);
    EXPECT_TRUE(WriteFileAtomic(dir / "new.trk", "open"));
    EXPECT_EQ(modeOf(dir / "new.trk"), 0644u);
    ASSERT_EQ(::chmod((dir / "show.seq").c_str(), 0640), 0);
    EXPECT_TRUE(WriteFileAtomic(dir / "show.seq", "again"));
    EXPECT_EQ(modeOf(dir / "show.seq"), 0640u);
    if (::geteuid() == 0) {
        ASSERT_TRUE(WriteFileAtomic(dir / "Spirelo.ini", "theirs"));
        ASSERT_EQ(::chmod((dir / "Spirelo.ini").c_str(), 0666), 0);
        ASSERT_EQ(::chown((dir / "Spirelo.ini").c_str(), 65534, 65534), 0);
        ::umask(077);
        EXPECT_TRUE(WriteFileAtomic(dir / "Spirelo.ini", "mine now"));
        EXPECT_EQ(modeOf(dir / "Spirelo.ini"), 0600u);
    }
    ::umask(saved);
}

// A notes file that could not be read, for whatever reason, is kept from the empty memo shown for
// it, and from nothing else: not from a memo with text, not at another path, not after a load
// that read or found nothing, and not once a save has written it.
TEST(FileIo, ARefusedTextFileIsKeptOnlyFromTheEmptyMemoShownForIt) {
    const IoResult tooBig{false, EFBIG, "File too large"};
    const IoResult notRegular{false, EINVAL, "Not a regular file"};
    const IoResult failingDisk{false, EIO, "Input/output error"};
    const IoResult noPermission{false, EACCES, "Permission denied"};
    const IoResult missing{false, ENOENT, "No such file or directory"};
    const IoResult noFolder{false, ENOTDIR, "Not a directory"};
    struct Case {
        IoResult load;
        std::string savedTo;   // empty: no save since the load
        std::string target, text;
        bool keeps;
    } cases[] = {
        {tooBig, "", "a.txt", "", true},
        {notRegular, "", "a.txt", "", true},
        {failingDisk, "", "a.txt", "", true},
        {noPermission, "", "a.txt", "", true},
        {tooBig, "", "a.txt", "typed", false},
        {tooBig, "", "a.txt", "\n", false},
        {tooBig, "", "b.txt", "", false},
        {tooBig, "b.txt", "a.txt", "", true},
        {tooBig, "a.txt", "a.txt", "", false},
        {IoResult{}, "", "a.txt", "", false},
        {missing, "", "a.txt", "", false},
        {noFolder, "", "a.txt", "", false},
    };
    for (const Case& c : cases) {
        RefusedTextFile refused;
        refused.loaded("a.txt", c.load);
        if (!c.savedTo.empty()) refused.saved(c.savedTo);
        EXPECT_EQ(refused.keeps(c.target, c.text), c.keeps)
            << c.load.error << " saved to '" << c.savedTo << "' " << c.target << " '" << c.text << "'";
    }
    // The next load decides afresh.
    RefusedTextFile refused;
    refused.loaded("a.txt", tooBig);
    refused.loaded("a.txt", IoResult{});
    EXPECT_FALSE(refused.keeps("a.txt", ""));
    refused.loaded("b.txt", notRegular);
    EXPECT_FALSE(refused.keeps("a.txt", ""));
    EXPECT_TRUE(refused.keeps("b.txt", ""));
}

// Whether a read failure is told: a file that is there but unreadable is; a missing one, and one
// in a folder refused as a whole (told once where it is refused), are not.
TEST(FileIo, AReadFailureIsAFileThereButUnreadable) {
    const ScratchFolder scratch("spirelo-file-io");
    ASSERT_TRUE(scratch.made());
    const std::string notes = scratch / "show.txt";
    ASSERT_TRUE(WriteFileAtomic(notes, "pump 3\r\n"));
    std::string text;
    EXPECT_FALSE(IsReadFailure(scratch / "none.txt", ReadBoundedFile(scratch / "none.txt", 100, text)));
    EXPECT_FALSE(IsReadFailure(notes + "/sub", ReadBoundedFile(notes + "/sub", 100, text)));
    EXPECT_TRUE(IsReadFailure(notes, ReadBoundedFile(notes, 3, text)));
    {
        const test::FileSeamScope seam({[&](const std::string& p) { return p == notes ? EIO : 0; }, {}});
        const IoResult r = ReadBoundedFile(notes, 100, text);
        EXPECT_EQ(r.error, EIO);
        EXPECT_TRUE(IsReadFailure(notes, r));
    }
    ASSERT_TRUE(ReadBoundedFile(notes, 100, text));
    EXPECT_EQ(text, "pump 3\r\n");
    RefuseFolder(scratch.path(), "open to every user");
    const IoResult refused = ReadBoundedFile(notes, 100, text);
    EXPECT_EQ(refused.error, EACCES);
    EXPECT_FALSE(IsReadFailure(notes, refused));
}

namespace {
struct SyncSeen {
    bool folder;
    ino_t inode;
};
}  // namespace

// A save syncs its new file, then, after the rename, the folder holding it, so a power cut
// cannot bring the old file back. A failed folder sync fails the save, which then says that the
// new file is in place; a failed file sync leaves the old file whole.
TEST(FileIo, ASaveSyncsItsFolderAfterTheRenameAndReportsAFailedSync) {
    const ScratchFolder scratch("spirelo-file-io");
    ASSERT_TRUE(scratch.made());
    const std::string path = scratch / "show.seq";
    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    struct stat folder{};
    ASSERT_EQ(::stat(scratch.path().c_str(), &folder), 0);

    std::vector<SyncSeen> seen;
    int failFolder = 0, failFile = 0;
    const test::FileSeamScope seam({{}, [&](int fd, bool isFolder) {
        struct stat st{};
        ::fstat(fd, &st);
        // The folder's sync comes after the rename: the target is already the new file then.
        std::string now;
        if (isFolder) {
            EXPECT_TRUE(ReadWholeFile(path, now) && now != "old");
        }
        seen.push_back({isFolder, st.st_ino});
        if (isFolder ? failFolder : failFile) return isFolder ? failFolder : failFile;
        return ::fsync(fd) == 0 ? 0 : errno;
    }});

    ASSERT_TRUE(WriteFileAtomic(path, "new"));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].folder);
    EXPECT_TRUE(seen[1].folder);
    EXPECT_EQ(seen[1].inode, folder.st_ino);
    struct stat target{};
    ASSERT_EQ(::stat(path.c_str(), &target), 0);
    EXPECT_EQ(seen[0].inode, target.st_ino);

    failFolder = EIO;
    IoResult r = WriteFileAtomic(path, "newer");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EIO);
    EXPECT_TRUE(r.replaced);
    EXPECT_NE(FailedSaveText(r).find("Новый файл записан"), std::string::npos) << FailedSaveText(r);
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "newer");

    // A file system that cannot sync folders at all is no failed save.
    failFolder = EINVAL;
    EXPECT_TRUE(WriteFileAtomic(path, "newest"));

    failFolder = 0;
    failFile = EIO;
    seen.clear();
    r = WriteFileAtomic(path, "lost");
    EXPECT_EQ(r.error, EIO);
    EXPECT_FALSE(r.replaced);
    EXPECT_NE(FailedSaveText(r).find("Прежний файл не изменён"), std::string::npos);
    ASSERT_EQ(seen.size(), 1u) << "no rename, no folder sync";
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "newest");
    EXPECT_TRUE(TempsOf(scratch.path(), "show.seq").empty());
}
