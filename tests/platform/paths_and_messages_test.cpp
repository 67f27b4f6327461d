#include "common/file_io.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "tests/environment_variable.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <fstream>

using namespace spirelo;
using spirelo::test::ScratchFolder;
using Env = spirelo::test::EnvironmentVariable;

TEST(ProgramPaths, BesideTheProgramWhenItsFolderIsWritable) {
    const ScratchFolder scratch("spirelo-paths");
    ASSERT_TRUE(scratch.made());
    const std::string dir = scratch.path();
    OverrideProgramFile(dir + "/Spirelo");
    EXPECT_EQ(BesideProgramFolder(), dir + "/");
    EXPECT_EQ(BesideProgramPath(), dir + "/Spirelo");
    OverrideProgramFile("");
}

// Every log line and settings path asks for the folder: it is probed once, not by making a
// file on every call (which would show in the folder's modification time).
TEST(ProgramPaths, TheProgramFolderIsProbedOnce) {
    const ScratchFolder scratch("spirelo-paths");
    ASSERT_TRUE(scratch.made());
    const std::string dir = scratch.path();
    OverrideProgramFile(dir + "/Spirelo");
    EXPECT_EQ(BesideProgramFolder(), dir + "/");
    const struct timespec past[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.c_str(), past, 0), 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(BesideProgramFolder(), dir + "/");
    struct stat st{};
    ASSERT_EQ(::stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1000);
    OverrideProgramFile("");
}

TEST(ProgramPaths, FallsBackToTheConfigFolderWhenNotWritable) {
    const ScratchFolder scratch("spirelo-paths");
    ASSERT_TRUE(scratch.made());
    const std::string cfg = scratch / "xdgcfg";
    ::setenv("XDG_CONFIG_HOME", cfg.c_str(), 1);
    OverrideProgramFile("/proc/Spirelo");   // never writable, even for root
    EXPECT_EQ(BesideProgramFolder(), cfg + "/spirelo/");
    EXPECT_EQ(BesideProgramPath("glimmora"), cfg + "/glimmora/Spirelo");
    struct stat st{};
    EXPECT_EQ(::stat((cfg + "/glimmora").c_str(), &st), 0);
    OverrideProgramFile("");
    ::unsetenv("XDG_CONFIG_HOME");
}

// An installed program's folder (<prefix>/bin beside <prefix>/share/spirelo) is every user's, and
// root could write into it: its files go to the user's folder even so; a build tree keeps them beside.
TEST(ProgramPaths, AnInstalledProgramKeepsItsFilesInTheUsersFolder) {
    test::ScratchFolder prefix("installed-prefix");
    ASSERT_TRUE(prefix.made());
    ::mkdir((prefix / "bin").c_str(), 0755);
    ::setenv("XDG_CONFIG_HOME", (prefix / "config").c_str(), 1);

    OverrideProgramFile(prefix / "bin/Spirelo");
    EXPECT_EQ(InstalledDataFolder(), "");
    EXPECT_EQ(BesideProgramFolder(), prefix / "bin/");

    // Another prefix, installed this time (folders are looked at once each).
    test::ScratchFolder usr("installed-usr");
    for (const char* d : {"bin", "share", "share/spirelo"}) ::mkdir((usr / d).c_str(), 0755);
    OverrideProgramFile(usr / "bin/Glimmora");
    EXPECT_EQ(InstalledDataFolder(), usr / "share/spirelo/");
    EXPECT_EQ(BesideProgramFolder("glimmora"), prefix / "config/glimmora/");
    EXPECT_EQ(BesideProgramPath("glimmora"), prefix / "config/glimmora/Glimmora");

    OverrideProgramFile("");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(ProgramPaths, ProgramFileIsTheRunningExecutable) {
    EXPECT_NE(BaseName(ProgramFile()).find("test_platform"), std::string::npos);
}

TEST(MessageService, RecordingFakeAnswersInOrder) {
    auto fake = std::make_shared<RecordingMessages>();
    fake->answers = {Answer::Yes};
    InstallMessageService(fake);
    Messages().message("a");
    EXPECT_EQ(Messages().question("q1"), Answer::Yes);
    EXPECT_EQ(Messages().question("q2"), Answer::No);
    ASSERT_EQ(fake->log.size(), 3u);
    EXPECT_EQ(fake->log[1].kind, MessageKind::Question);
    EXPECT_EQ(TwoLines("one", "two"), "one\n\rtwo");
    InstallMessageService(nullptr);
}

TEST(ProgramPaths, AFolderIsFitOnlyWhenItIsTheUsersOwnAndClosedToOthers) {
    const struct { uid_t owner; mode_t mode; const char* problem; } cases[] = {
        {1000, 040700, ""},
        {1000, 040755, ""},
        {1000, 041700, ""},
        {1001, 040700, "another user (uid 1001)"},
        {0, 040755, "another user (uid 0)"},
        {1000, 040770, "mode 0770"},
        {1000, 040702, "mode 0702"},
        {1000, 041777, "mode 1777"},
    };
    for (const auto& c : cases) {
        const std::string problem = FolderStatProblem(c.owner, c.mode, 1000);
        if (!*c.problem) EXPECT_EQ(problem, "") << std::oct << c.mode;
        else EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}


// Started without HOME and XDG_CONFIG_HOME (a service, cron), the settings go to the home the
// password database gives, never to a folder under /tmp that anyone could have made first.
TEST(ProgramPaths, WithoutHomeTheFallbackIsTheUsersHomeFromThePasswordDatabase) {
    const struct { const char* xdg; const char* home; const char* password; const char* base; } cases[] = {
        {"/x/cfg", "/home/u", "/var/u", "/x/cfg"},
        {"", "/home/u", "/var/u", "/home/u/.config"},
        {nullptr, "/home/u", "", "/home/u/.config"},
        {nullptr, nullptr, "/var/u", "/var/u/.config"},
        {"", "", "/var/u", "/var/u/.config"},
        {nullptr, nullptr, "", ""},
        {nullptr, nullptr, "relative/home", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConfigBaseFolder(c.xdg, c.home, c.password), c.base)
            << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-") << " " << c.password;

    // The folder is made there, in a home of the test's own.
    Env xdg("XDG_CONFIG_HOME"), home("HOME");
    test::ScratchFolder scratch("spirelo-home");
    ASSERT_TRUE(scratch.made());
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", scratch.path().c_str(), 1);
    OverrideProgramFile("/proc/Spirelo");
    const std::string folder = BesideProgramFolder("spirelo-home-test");
    OverrideProgramFile("");
    EXPECT_EQ(folder, scratch / ".config/spirelo-home-test/");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(FolderRefusal(folder + "Spirelo.ini"), "");
}

// A fallback folder open to others, or of another user, is refused in the file layer: nothing
// is read from it or saved into it, and why names the folder.
TEST(ProgramPaths, AFallbackFolderOfAnotherUserOrOpenToOthersIsRefused) {
    Env xdg("XDG_CONFIG_HOME");
    test::ScratchFolder cfg;
    ASSERT_TRUE(cfg.made());
    ::setenv("XDG_CONFIG_HOME", cfg.path().c_str(), 1);
    OverrideProgramFile("/proc/Spirelo");
    ASSERT_EQ(::mkdir((cfg / "open").c_str(), 0700), 0);
    ASSERT_EQ(::chmod((cfg / "open").c_str(), 0777), 0);
    ASSERT_TRUE(WriteFileAtomic(cfg / "open/Spirelo.ini", "[AreaFile]\nLastFileSeq=/their/show.seq\n"));
    const std::string folder = BesideProgramFolder("open");
    EXPECT_EQ(folder, cfg / "open/");
    const std::string why = FolderRefusal(folder + "Spirelo.ini");
    EXPECT_NE(why.find(folder), std::string::npos) << why;
    EXPECT_NE(why.find("mode 0777"), std::string::npos) << why;
    EXPECT_FALSE(FileExists(folder + "Spirelo.ini"));
    std::string text;
    IoResult r = ReadWholeFile(folder + "Spirelo.ini", text);
    EXPECT_EQ(r.error, EACCES);
    EXPECT_EQ(r.message, why);
    EXPECT_FALSE(WriteFileAtomic(folder + "Spirelo.Log", "line"));
    EXPECT_FALSE(std::filesystem::exists(folder + "Spirelo.Log"));
    EXPECT_EQ(FolderRefusal(cfg / "open-other/x"), "") << "a folder of a longer name is another folder";

    if (::geteuid() == 0) {
        ASSERT_EQ(::mkdir((cfg / "theirs").c_str(), 0700), 0);
        ASSERT_EQ(::chown((cfg / "theirs").c_str(), 65534, 65534), 0);
        const std::string theirs = BesideProgramFolder("theirs");
        EXPECT_NE(FolderRefusal(theirs + "Spirelo.ini").find("another user (uid 65534)"), std::string::npos);
    }
    OverrideProgramFile("");
}

// A user with no home anywhere runs on defaults: the names stay readable in messages, and
// nothing is made anywhere, not even relative to the working folder.
TEST(ProgramPaths, WithNoHomeAtAllNothingIsReadOrSaved) {
    if (::geteuid() != 0) GTEST_SKIP() << "a user without a password entry needs root to become";
    test::ScratchFolder work;
    ASSERT_TRUE(work.made());
    ASSERT_EQ(::chmod(work.path().c_str(), 0777), 0);
    pid_t child = ::fork();
    if (child == 0) {
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("HOME");
        if (::chdir(work.path().c_str()) != 0 || ::setgid(54321) != 0 || ::setuid(54321) != 0) ::_exit(2);
        if (::getpwuid(54321)) ::_exit(3);   // the uid has an entry here after all
        OverrideProgramFile("/proc/Spirelo");
        const std::string folder = BesideProgramFolder("spirelo");
        if (FolderRefusal(folder + "Spirelo.ini").find("no home folder") == std::string::npos) ::_exit(4);
        if (WriteFileAtomic(folder + "Spirelo.ini", "x").ok) ::_exit(5);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "uid 54321 has a password entry";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(std::filesystem::is_empty(work.path())) << "something was made in the working folder";
}

namespace {
// Folders and links in a scratch folder, owned by `owner` (another user needs root).
struct Tree {
    test::ScratchFolder scratch{"spirelo-path"};
    std::string operator/(const std::string& name) const { return scratch / name; }
    void dir(const std::string& name, mode_t mode, uid_t owner = ::geteuid()) const {
        const std::string p = scratch / name;
        ASSERT_EQ(::mkdir(p.c_str(), 0700), 0) << p;
        ASSERT_EQ(::chmod(p.c_str(), mode), 0) << p;
        if (owner != ::geteuid()) {
            ASSERT_EQ(::lchown(p.c_str(), owner, owner), 0) << p;
        }
    }
    void link(const std::string& target, const std::string& name, uid_t owner = ::geteuid()) const {
        const std::string p = scratch / name;
        ASSERT_EQ(::symlink(target.c_str(), p.c_str()), 0) << p;
        if (owner != ::geteuid()) {
            ASSERT_EQ(::lchown(p.c_str(), owner, owner), 0) << p;
        }
    }
};
constexpr uid_t kOtherUser = 4242;
}  // namespace

// Every folder from / down: root's or the user's, open to others only when sticky and then
// holding the user's own entry; links followed and their targets checked the same; the folder
// itself no link. A link from the user's own folder (a home on another disk) is fine.
TEST(ProgramPaths, TheWholePathOfAFolderIsChecked) {
    Tree t;
    ASSERT_TRUE(t.scratch.made());
    const bool root = ::geteuid() == 0;
    for (const char* d : {"own", "own/cfg", "own/cfg/spirelo", "disk", "disk/home", "disk/home/.config",
                          "disk/home/.config/spirelo"})
        t.dir(d, 0700);
    t.dir("open", 0777);
    t.dir("open/cfg", 0700);
    t.dir("open/cfg/spirelo", 0700);
    t.dir("group", 0775);
    t.dir("group/spirelo", 0700);
    t.dir("sticky", 01777);
    t.dir("sticky/mine", 0700);
    t.dir("sticky/mine/spirelo", 0700);
    t.link(t / "own/cfg", "sticky/mylink");
    t.link("../own/cfg", "own/rel");
    t.link(t / "open/cfg", "own/intoopen");
    t.link(t / "own/cfg/spirelo", "own/cfg/linked");
    t.link(t / "disk/home", "own/home");
    std::ofstream(t / "own/file") << "x";
    if (root) {
        t.dir("theirs", 0755);
        t.dir("theirs/spirelo", 0700);
        ASSERT_EQ(::chown((t / "theirs").c_str(), kOtherUser, kOtherUser), 0);
        t.dir("sticky/theirs", 0700, kOtherUser);
        t.link(t / "own/cfg", "sticky/theirlink", kOtherUser);   // the swap of a checked folder
        t.dir("own/cfg/foreign", 0700, kOtherUser);
    }
    const struct { const char* path; std::string problem; bool needsRoot; } cases[] = {
        {"own/cfg/spirelo", "", false},
        {"own/rel/spirelo", "", false},
        {"own/home/.config/spirelo", "", false},
        {"own/cfg/../cfg/spirelo", "", false},
        {"sticky/mine/spirelo", "", false},
        {"sticky/mylink/spirelo", "", false},
        {"own/missing/spirelo", "", false},
        {"open/cfg/spirelo", t / "open on the way to it can be written by other users (mode 0777)", false},
        {"own/intoopen/spirelo", t / "open on the way to it can be written by other users (mode 0777)", false},
        {"group/spirelo", "(mode 0775)", false},
        {"own/cfg/linked", "it is a symbolic link", false},
        {"own/file/spirelo", t / "own/file on the way to it is not a folder", false},
        {"sticky", "other users can write to it (mode 1777)", false},
        {"theirs/spirelo", t / "theirs on the way to it belongs to another user (uid 4242)", true},
        {"sticky/theirs/spirelo", "another user's (uid 4242)", true},
        {"sticky/theirlink/spirelo", t / "sticky/theirlink on the way to it is another user's (uid 4242)", true},
        {"own/cfg/foreign", "it belongs to another user (uid 4242)", true},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && !root) continue;
        const std::string problem = FolderPathProblem(t / c.path, ::geteuid());
        if (c.problem.empty()) EXPECT_EQ(problem, "") << c.path;
        else EXPECT_NE(problem.find(c.problem), std::string::npos) << c.path << ": " << problem;
    }
    if (!root) GTEST_SKIP() << "the cases of another user's folders and links need root";
}

// HOME under a folder another user can write to, where she made the settings' path first (or
// links it to a file of the victim's): the fallback folder is refused, nothing is read, saved or
// made there.
TEST(ProgramPaths, AFallbackFolderWhosePathFailsIsRefused) {
    Env xdg("XDG_CONFIG_HOME"), home("HOME");
    Tree t;
    ASSERT_TRUE(t.scratch.made());
    t.dir("open", 0777);
    t.dir("open/home", 0700);
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", (t / "open/home").c_str(), 1);
    OverrideProgramFile("/proc/Spirelo");
    const std::string folder = BesideProgramFolder("spirelo");
    EXPECT_EQ(folder, t / "open/home/.config/spirelo/");
    std::string why = FolderRefusal(folder + "Spirelo.ini");
    EXPECT_NE(why.find(folder), std::string::npos) << why;
    EXPECT_NE(why.find(t / "open on the way to it"), std::string::npos) << why;
    EXPECT_FALSE(WriteFileAtomic(folder + "Spirelo.ini", "x"));
    EXPECT_FALSE(std::filesystem::exists(t / "open/home/.config")) << "a folder was made on the refused path";

    // The settings folder a link to another of the user's folders.
    t.dir("mine", 0700);
    t.dir("mine/cfg", 0700);
    t.dir("elsewhere", 0700);
    t.link(t / "elsewhere", "mine/cfg/spirelo");
    ::setenv("XDG_CONFIG_HOME", (t / "mine/cfg").c_str(), 1);
    why = FolderRefusal(BesideProgramFolder("spirelo") + "Spirelo.ini");
    EXPECT_NE(why.find("symbolic link"), std::string::npos) << why;
    EXPECT_FALSE(WriteFileAtomic(t / "mine/cfg/spirelo/Spirelo.ini", "x"));
    EXPECT_TRUE(std::filesystem::is_empty(t / "elsewhere"));
    OverrideProgramFile("");
}

// A copy of the programs in a folder every user can write to keeps nothing there: the XDG
// folders are used, and the start is told once, naming the folder, why and where the files go.
TEST(ProgramPaths, AProgramFolderOpenToAllIsPassedOverWithOneNotice) {
    Env xdg("XDG_CONFIG_HOME");
    Tree t;
    ASSERT_TRUE(t.scratch.made());
    t.dir("prog", 01777);
    ::setenv("XDG_CONFIG_HOME", (t / "cfg").c_str(), 1);
    OverrideProgramFile(t / "prog/Spirelo");
    EXPECT_EQ(BesideProgramFolder(), t / "cfg/spirelo/");
    EXPECT_EQ(BesideProgramFolder("glimmora"), t / "cfg/glimmora/");
    EXPECT_EQ(BesideProgramPath(), t / "cfg/spirelo/Spirelo");
    const std::string notice = TakeFolderNotice("spirelo");
    for (const std::string& part : {t / "prog/", std::string("mode 1777"), t / "cfg/spirelo/"})
        EXPECT_NE(notice.find(part), std::string::npos) << notice;
    EXPECT_NE(TakeFolderNotice("glimmora").find(t / "cfg/glimmora/"), std::string::npos);
    for (int i = 0; i < 3; ++i) BesideProgramFolder();
    EXPECT_EQ(TakeFolderNotice("spirelo"), "") << "said once";
    EXPECT_TRUE(std::filesystem::is_empty(t / "prog"));
    OverrideProgramFile("");

    // Its own folder, closed to others, is used, and nothing is said.
    t.dir("mine", 0755);
    OverrideProgramFile(t / "mine/Spirelo");
    EXPECT_EQ(BesideProgramFolder(), t / "mine/");
    EXPECT_EQ(TakeFolderNotice("spirelo"), "");
    OverrideProgramFile("");
}

// A program folder on a read-only mount: the XDG folder, with the same notice (in a mount
// namespace of a child's own, so nothing stays mounted).
TEST(ProgramPaths, AReadOnlyProgramFolderIsPassedOverWithItsNotice) {
    Tree t;
    ASSERT_TRUE(t.scratch.made());
    t.dir("ro", 0700);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", (t / "ro").c_str(), "tmpfs", MS_RDONLY, "mode=0700,size=64k") != 0)
            ::_exit(77);
        ::setenv("XDG_CONFIG_HOME", (t / "cfg").c_str(), 1);
        const std::string folder = BesideProgramFolderOf(t / "ro", "spirelo");
        const std::string said = folder + "\n" + TakeFolderNotice("spirelo");
        if (::write(out[1], said.data(), said.size()) != static_cast<ssize_t>(said.size())) ::_exit(3);
        ::_exit(0);
    }
    ::close(out[1]);
    std::string said;
    char buf[512];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no read-only mount can be made here (needs root)";
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(said.substr(0, said.find('\n')), t / "cfg/spirelo/");
    EXPECT_NE(said.find("program folder " + t / "ro/ not used: it cannot be written (Read-only file system)"),
              std::string::npos) << said;
}

// The probe that tells whether files can be made leaves no name in the folder at any moment,
// so a kill in its midst leaves nothing behind.
TEST(ProgramPaths, TheWriteProbeNamesNoFile) {
    Tree t;
    ASSERT_TRUE(t.scratch.made());
    t.dir("prog", 0700);
    const int unnamed = ::open((t / "prog").c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (unnamed < 0) GTEST_SKIP() << "no unnamed files on this file system: the probe names one";
    ::close(unnamed);
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, (t / "prog").c_str(), IN_CREATE | IN_MOVED_TO), 0);
    OverrideProgramFile(t / "prog/Spirelo");
    EXPECT_EQ(BesideProgramFolder(), t / "prog/");
    OverrideProgramFile("");
    char events[4096];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "a file was named in the folder";
    ::close(watch);
}
