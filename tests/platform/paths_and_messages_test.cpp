#include "common/file_io.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include "tests/scratch_folder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "tests/scratch_folder.h"

using namespace spirelo;
using spirelo::test::ScratchFolder;

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

namespace {
struct Env {
    std::string name, value;
    bool had;
    explicit Env(const char* n) : name(n) {
        const char* v = std::getenv(n);
        had = v != nullptr;
        if (v) value = v;
    }
    ~Env() {
        if (had) ::setenv(name.c_str(), value.c_str(), 1);
        else ::unsetenv(name.c_str());
    }
};
}  // namespace

// Started without HOME and XDG_CONFIG_HOME (a service, cron), the settings go to the home the
// password database gives, never to a folder under /tmp that anyone could have made first.
TEST(ProgramPaths, WithoutHomeTheFallbackIsTheUsersHomeFromThePasswordDatabase) {
    Env xdg("XDG_CONFIG_HOME"), home("HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    const struct passwd* pw = ::getpwuid(::geteuid());
    if (!pw || !pw->pw_dir || pw->pw_dir[0] != '/') GTEST_SKIP() << "this user has no home in the password database";
    const std::string config = std::string(pw->pw_dir) + "/.config";
    const bool hadConfig = std::filesystem::exists(config);
    OverrideProgramFile("/proc/Spirelo");
    const std::string folder = BesideProgramFolder("spirelo-home-test");
    OverrideProgramFile("");
    EXPECT_EQ(folder, config + "/spirelo-home-test/");
    EXPECT_NE(folder.rfind("/tmp/", 0), 0u);
    EXPECT_EQ(FolderRefusal(folder + "Spirelo.ini"), "");
    ::rmdir(folder.c_str());
    if (!hadConfig) ::rmdir(config.c_str());
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
