// The built programs as an operator or a service manager starts and ends them: SIGTERM or SIGHUP
// while a start-up box waits ends each with its settings saved; a second SIGTERM ends a close that
// hangs; the controller leaves the wire dark at its end; without a desktop each says so (with Qt's
// reason when a display was named) and exits with status 1.
#include "common/file_io.h"
#include "common/ini_file.h"
#include "common/live_data.h"
#include "common/shared_section.h"
#include "dmx/usb_frame.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

using Clock = std::chrono::steady_clock;

bool WaitUntil(const std::function<bool()>& done, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

std::string Slurp(const std::string& path) {
    std::string s;
    ReadWholeFile(path, s);
    return s;
}

// One program copied into a folder of its own, so its settings are written beside it.
struct Program {
    test::ScratchFolder dir{"spirelo-programs"};
    std::string exe;
    pid_t pid = -1;
    int status = 0;

    explicit Program(const char* name) {
        fs::create_directories(dir / "bin");
        fs::create_directories(dir / "run");
        ::chmod((dir / "run").c_str(), 0700);
        exe = dir / ("bin/" + std::string(name));
        fs::copy_file(fs::path(SPIRELO_BIN_DIR) / name, exe);
    }
    ~Program() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        // The live-data sections it made under the test process's suffix go with it.
        for (const std::string& name : {DmxSectionName(), SpectrumSectionName()}) {
            SharedSection::unlink(name);
            SharedSection::unlink(OwnSectionName(name));
        }
    }
    std::string file(const std::string& name) const { return dir / ("bin/" + name); }

    // The test's environment less `drop`, plus `add`.
    void start(const std::vector<std::string>& drop, const std::vector<std::string>& add) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string kv = *e;
            bool dropped = false;
            for (const auto& d : drop) dropped = dropped || kv.rfind(d + "=", 0) == 0;
            if (!dropped) env.push_back(kv);
        }
        // `add` wins over these: the first of two entries is the one a program reads.
        for (const std::string& kv : {"XDG_RUNTIME_DIR=" + (dir / "run"), "XDG_CONFIG_HOME=" + (dir / "config"),
                                      std::string("SPIRELO_AUDIO=null"), std::string("SPIRELO_USB=simulated")}) {
            const std::string key = kv.substr(0, kv.find('=') + 1);
            if (std::none_of(add.begin(), add.end(), [&](const std::string& a) { return a.rfind(key, 0) == 0; }))
                env.push_back(kv);
        }
        for (const auto& a : add) env.push_back(a);
        const std::string out = dir / "output.txt";
        pid = ::fork();
        if (pid == 0) {
            int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            int null = ::open("/dev/null", O_RDONLY);
            ::dup2(null, 0);
            // Started as from a terminal, even when this test run has SIGHUP ignored (nohup).
            ::signal(SIGHUP, SIG_DFL);
            std::vector<char*> envp;
            for (auto& kv : env) envp.push_back(kv.data());
            envp.push_back(nullptr);
            char* argv[] = {exe.data(), nullptr};
            ::execve(exe.c_str(), argv, envp.data());
            _exit(127);
        }
    }
    bool ended(double seconds) {
        return WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid && (pid = -1, true); }, seconds);
    }
    std::string output() const { return Slurp(dir / "output.txt"); }
};

const std::vector<std::string> kNoDesktop = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
// Offscreen, as a service's start would be: with no display named it loads no GL driver either.
const std::vector<std::string> kOffscreen = {"QT_QPA_PLATFORM=offscreen"};

// Runs argv to its end (at most a minute) with the test's environment plus `add`, its output
// in `out`; the exit status, or -1 when it did not end by itself.
int RunToEnd(std::vector<std::string> argv, const std::vector<std::string>& add, const std::string& out) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    for (const auto& a : add) env.push_back(a);
    const pid_t pid = ::fork();
    if (pid == 0) {
        int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        std::vector<char*> args, envp;
        for (auto& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        for (auto& kv : env) envp.push_back(kv.data());
        envp.push_back(nullptr);
        ::execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    if (!WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 60)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(Programs, SpireloEndsOnSigtermOrSighupWhileAStartBoxWaitsWithItsSettingsSaved) {
    // SIGHUP: the terminal that started it was closed.
    for (int sig : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        Program p("Spirelo");
        // A track file of a size no version wrote: its box waits at the start.
        std::ofstream(p.file("Spirelo.trk")) << "0123456789";
        p.start(kNoDesktop, kOffscreen);
        ASSERT_TRUE(WaitUntil([&] { return Slurp(p.file("Spirelo.Log")).find("Unknown_file_size") != std::string::npos; }, 30))
            << p.output();
        ASSERT_EQ(::kill(p.pid, sig), 0);
        ASSERT_TRUE(p.ended(20)) << "still running after the signal\n" << p.output();
        ASSERT_TRUE(WIFEXITED(p.status)) << p.output();
        EXPECT_EQ(WEXITSTATUS(p.status), 0) << p.output();
        IniFile ini(p.file("Spirelo.ini"));
        EXPECT_FALSE(ini.readString("AreaTime", "Closed", "").empty()) << Slurp(p.file("Spirelo.ini"));
    }
}

TEST(Programs, GlimmoraEndsOnSigtermOrSighupWhileAStartBoxWaitsWithItsSettingsSaved) {
    // Offscreen as a service would start it, and on the X display when the test has one.
    std::vector<std::pair<std::vector<std::string>, int>> runs = {{kOffscreen, SIGTERM}, {kOffscreen, SIGHUP}};
    if (const char* display = std::getenv("DISPLAY"); display && *display)
        runs.push_back({{"QT_QPA_PLATFORM=xcb", std::string("DISPLAY=") + display, "LIBGL_ALWAYS_SOFTWARE=1"}, SIGTERM});
    for (const auto& [platform, sig] : runs) {
        SCOPED_TRACE(platform.front() + " " + strsignal(sig));
        Program p("Glimmora");
        {
            // The last layout is gone: its "not found" box waits at the start.
            IniFile ini(p.file("Glimmora.ini"));
            ini.writeString("File", "LastFile", p.dir / "gone.a3d");
            ini.writeInteger("Button", "WaterOn", 1);
            ASSERT_TRUE(ini.save());
        }
        p.start(kNoDesktop, platform);
        // The open count is written back before the layout window opens the layout.
        ASSERT_TRUE(WaitUntil([&] { return IniFile(p.file("Glimmora.ini")).readInteger("AreaCount", "CountOpen", 0) == 2; }, 30))
            << p.output();
        ASSERT_EQ(::kill(p.pid, sig), 0);
        ASSERT_TRUE(p.ended(20)) << "still running after the signal\n" << p.output();
        ASSERT_TRUE(WIFEXITED(p.status)) << p.output();
        EXPECT_EQ(WEXITSTATUS(p.status), 0) << p.output();
        IniFile ini(p.file("Glimmora.ini"));
        EXPECT_TRUE(ini.hasKey("SavePos", "Zoom")) << Slurp(p.file("Glimmora.ini"));   // the main window's close
        EXPECT_TRUE(ini.hasKey("FormSet", "Kollectors")) << Slurp(p.file("Glimmora.ini"));   // the layout window's end
        EXPECT_TRUE(ini.readBool("Button", "WaterOn", false));
    }
}

namespace {

// The frames the simulated interface received, in order.
std::vector<DecodedDmxUsbFrame> Frames(const std::string& path) {
    std::vector<uint8_t> bytes;
    ReadWholeFile(path, bytes);
    return DecodeDmxUsbFrames(bytes, false);
}

bool AllDark(const DecodedDmxUsbFrame& f) {
    return std::all_of(f.levels + 1, f.levels + 513, [](uint8_t v) { return v == 0; });
}

bool AnyFull(const DecodedDmxUsbFrame& f) {
    return std::any_of(f.levels + 1, f.levels + 513, [](uint8_t v) { return v == 255; });
}

}  // namespace

// An interface repeats its last frame: whatever ends the controller while a scene drives pumps
// and spots at 255, the last frame on the wire is all zeros. A second SIGTERM while the close
// hangs ends it at once, with the settings that close had saved.
TEST(Programs, SpireloLeavesTheWireDarkAtEveryEnd) {
    for (bool hangs : {false, true}) {
        SCOPED_TRACE(hangs ? "second SIGTERM during a close that hangs" : "SIGTERM");
        Program p("Spirelo");
        // The demo's settings go beside both programs.
        fs::copy_file(fs::path(SPIRELO_BIN_DIR) / "Glimmora", p.file("Glimmora"));
        ASSERT_EQ(std::system(((fs::path(SPIRELO_BIN_DIR) / "demo-show").string() + " " + (p.dir / "show") + " " + (p.dir / "bin") +
                               " > " + (p.dir / "demo.log") + " 2>&1").c_str()),
                  0);
        const std::string frames = p.dir / "frames.bin";
        std::vector<std::string> add = kOffscreen;
        add.push_back("SPIRELO_USB=simulated:" + frames);
        if (hangs) add.push_back("SPIRELO_CLOSE_HANGS=1");
        p.start(kNoDesktop, add);
        ASSERT_TRUE(WaitUntil([&] {
            const auto f = Frames(frames);
            return !f.empty() && AnyFull(f.back());
        }, 60)) << "no level at 255 reached the wire\n" << p.output();

        ASSERT_EQ(::kill(p.pid, SIGTERM), 0);
        if (hangs) {
            ASSERT_TRUE(WaitUntil([&] { return !IniFile(p.file("Spirelo.ini")).readString("AreaTime", "Closed", "").empty(); }, 30))
                << p.output();
            EXPECT_FALSE(p.ended(0.5)) << "the close was to hang\n" << p.output();
            ASSERT_EQ(::kill(p.pid, SIGTERM), 0);
        }
        ASSERT_TRUE(p.ended(20)) << "still running after the signal\n" << p.output();
        if (hangs) {
            ASSERT_TRUE(WIFSIGNALED(p.status)) << p.output();
            EXPECT_EQ(WTERMSIG(p.status), SIGTERM);
            EXPECT_NE(p.output().find("Spirelo: a second stop signal during the close; ending at once"), std::string::npos)
                << p.output();
        } else {
            ASSERT_TRUE(WIFEXITED(p.status)) << p.output();
            EXPECT_EQ(WEXITSTATUS(p.status), 0) << p.output();
        }
        EXPECT_FALSE(IniFile(p.file("Spirelo.ini")).readString("AreaTime", "Closed", "").empty());
        const auto f = Frames(frames);
        ASSERT_GE(f.size(), 2u);
        EXPECT_TRUE(AllDark(f.back())) << "the last of " << f.size() << " frames is not dark";
        EXPECT_TRUE(AnyFull(f[f.size() - 2]));
    }
}

TEST(Programs, GlimmoraEndsAtOnceOnASecondSigtermDuringACloseThatHangs) {
    Program p("Glimmora");
    std::vector<std::string> add = kOffscreen;
    add.push_back("SPIRELO_CLOSE_HANGS=1");
    p.start(kNoDesktop, add);
    ASSERT_TRUE(WaitUntil([&] { return IniFile(p.file("Glimmora.ini")).readInteger("AreaCount", "CountOpen", 0) == 2; }, 30))
        << p.output();
    ASSERT_EQ(::kill(p.pid, SIGTERM), 0);
    ASSERT_TRUE(WaitUntil([&] { return IniFile(p.file("Glimmora.ini")).hasKey("SavePos", "Zoom"); }, 30)) << p.output();
    EXPECT_FALSE(p.ended(0.5)) << "the close was to hang\n" << p.output();
    ASSERT_EQ(::kill(p.pid, SIGTERM), 0);
    ASSERT_TRUE(p.ended(20)) << "still running after the second SIGTERM\n" << p.output();
    ASSERT_TRUE(WIFSIGNALED(p.status)) << p.output();
    EXPECT_EQ(WTERMSIG(p.status), SIGTERM);
    EXPECT_TRUE(IniFile(p.file("Glimmora.ini")).hasKey("SavePos", "Zoom"));
}

TEST(Programs, WithoutADesktopEachSaysSoAndExitsWithOne) {
    for (const char* name : {"Spirelo", "Glimmora"}) {
        // No display named at all, and one named that nobody serves.
        for (const std::string& display : {std::string(), std::string("DISPLAY=:31999")}) {
            SCOPED_TRACE(std::string(name) + " " + display);
            Program p(name);
            std::vector<std::string> add;
            if (!display.empty()) add.push_back(display);
            p.start(kNoDesktop, add);
            ASSERT_TRUE(p.ended(30)) << p.output();
            ASSERT_TRUE(WIFEXITED(p.status)) << "ended by signal " << WTERMSIG(p.status) << "\n" << p.output();
            EXPECT_EQ(WEXITSTATUS(p.status), 1);
            const std::string out = p.output();
            const std::string line = std::string(name) + " needs a graphical desktop";
            EXPECT_NE(out.find(line), std::string::npos) << out;
            EXPECT_NE(out.find("xvfb-run -a " + p.exe + "\n"), std::string::npos) << out;
            if (display.empty()) {
                EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
            } else {
                // A display was named: Qt's own reason follows, since more than a missing
                // display can fail there.
                const std::string reason = out.substr(out.find('\n') + 1);
                EXPECT_EQ(reason.rfind("Qt: ", 0), 0u) << out;
                EXPECT_NE(reason.find("could not connect to display :31999"), std::string::npos) << out;
            }
            // Nothing of the program was started: no settings written.
            EXPECT_FALSE(fs::exists(p.file(std::string(name) + ".ini")));
        }
    }
}

// The sections' names held by another user (a run as root left them): both programs start
// without a box on the user's own names and meet there, each saying so in one line.
TEST(Programs, AnotherUsersSectionsStopNoStartAndBothProgramsMeetOnTheirOwnNames) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a section to another user needs root";
    for (const std::string& name : {DmxSectionName(), SpectrumSectionName()}) {
        SharedSection::unlink(name);
        SharedSection::unlink(OwnSectionName(name));
        const int fd = ::shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0) << name;
        ASSERT_EQ(::fchown(fd, 65534, 65534), 0);
        ::close(fd);
    }
    std::vector<std::string> glimmoraPlatform = kOffscreen;
    if (const char* display = std::getenv("DISPLAY"); display && *display)
        glimmoraPlatform = {"QT_QPA_PLATFORM=xcb", std::string("DISPLAY=") + display, "LIBGL_ALWAYS_SOFTWARE=1"};
    Program spirelo("Spirelo"), glimmora("Glimmora");
    spirelo.start(kNoDesktop, kOffscreen);
    glimmora.start(kNoDesktop, glimmoraPlatform);
    const std::string ownDmx = OwnSectionName(DmxSectionName());
    const auto maps = [](pid_t pid, const std::string& name) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/maps");   // its size says 0: read as a stream
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return text.find("/dev/shm/" + name + "\n") != std::string::npos;
    };
    EXPECT_TRUE(WaitUntil([&] { return maps(spirelo.pid, ownDmx) && maps(spirelo.pid, OwnSectionName(SpectrumSectionName())); }, 30))
        << spirelo.output();
    EXPECT_TRUE(WaitUntil([&] { return maps(glimmora.pid, ownDmx); }, 30)) << glimmora.output();
    // The controller's output cycle runs: its levels are there for Glimmora.
    SharedSection live;
    std::string text;
    EXPECT_TRUE(WaitUntil([&] { return live.open(ownDmx, kLiveTextSize) && live.readText(text) && text.size() == 1024; }, 30))
        << text;
    for (Program* p : {&spirelo, &glimmora}) {
        ASSERT_EQ(::kill(p->pid, SIGTERM), 0);
        ASSERT_TRUE(p->ended(30)) << p->output();
        EXPECT_TRUE(WIFEXITED(p->status) && WEXITSTATUS(p->status) == 0) << p->output();
        const std::string out = p->output();
        const std::string line = "live data: /" + DmxSectionName() + " is another user's (uid 65534), so /" + ownDmx + " is used instead";
        const size_t at = out.find(line);
        EXPECT_NE(at, std::string::npos) << out;
        EXPECT_EQ(out.find("live data:", at + 1), std::string::npos) << "one line\n" << out;
    }
    const std::string log = Slurp(spirelo.file("Spirelo.Log"));
    EXPECT_NE(log.find("Info=live_data /" + DmxSectionName() + " is another user's"), std::string::npos) << log;
    EXPECT_EQ(log.find("no_live_data"), std::string::npos) << log;
    for (const std::string& name : {DmxSectionName(), SpectrumSectionName()}) {
        struct stat st{};
        EXPECT_EQ(::stat(("/dev/shm/" + name).c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_size, 0) << name << " left as it was";
    }
}

// A copy of the controller in a folder every user can write to keeps nothing there: its
// settings, log and running mark go to the XDG folder, and its terminal hears of it once.
TEST(Programs, SpireloInAFolderOpenToAllKeepsItsFilesInTheXdgFolderAndSaysSoOnce) {
    Program p("Spirelo");
    ASSERT_EQ(::chmod((p.dir / "bin").c_str(), 01777), 0);
    p.start(kNoDesktop, {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR="});
    const std::string ini = p.dir / "config/spirelo/Spirelo.ini";
    // Its notice's box waits, as any start-up box: SIGTERM ends it with the settings saved.
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(ini); }, 30)) << p.output();
    ASSERT_EQ(::kill(p.pid, SIGTERM), 0);
    ASSERT_TRUE(p.ended(20)) << p.output();
    EXPECT_TRUE(WIFEXITED(p.status) && WEXITSTATUS(p.status) == 0) << p.output();
    EXPECT_FALSE(IniFile(ini).readString("AreaTime", "Closed", "").empty());
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(p.dir / "bin")) left.push_back(e.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"Spirelo"});
    const std::string out = p.output();
    const std::string line = "program folder " + (p.dir / "bin/") + " not used: other users can write to it (mode 1777)";
    const size_t at = out.find(line);
    EXPECT_NE(at, std::string::npos) << out;
    EXPECT_EQ(out.find(line, at + 1), std::string::npos) << "said more than once\n" << out;
}

// demo-show writes the settings where the programs in the folder it is given read them: beside
// them, or the XDG folders where they would use those; a folder without them is refused with
// the folder where they are, and nothing is written.
TEST(Programs, DemoShowWritesTheSettingsWhereTheProgramsInTheFolderReadThem) {
    const std::string tool = fs::path(SPIRELO_BIN_DIR) / "demo-show";
    for (const mode_t mode : {mode_t(0755), mode_t(01777)}) {
        SCOPED_TRACE(mode);
        Program p("Spirelo");
        fs::copy_file(fs::path(SPIRELO_BIN_DIR) / "Glimmora", p.file("Glimmora"));
        ASSERT_EQ(::chmod((p.dir / "bin").c_str(), mode), 0);
        const std::vector<std::string> env = {"XDG_CONFIG_HOME=" + (p.dir / "config")};
        ASSERT_EQ(RunToEnd({tool, p.dir / "show", p.dir / "bin"}, env, p.dir / "demo.txt"), 0) << Slurp(p.dir / "demo.txt");
        const std::string settings = mode == 0755 ? p.dir / "bin/" : p.dir / "config/spirelo/";
        const std::string glimmora = mode == 0755 ? p.dir / "bin/" : p.dir / "config/glimmora/";
        EXPECT_NE(Slurp(settings + "Spirelo.ini").find(p.dir / "show/demo.trk"), std::string::npos);
        EXPECT_NE(Slurp(glimmora + "Glimmora.ini").find(p.dir / "show/demo.a3d"), std::string::npos);
        if (mode != 0755) {
            EXPECT_FALSE(fs::exists(p.file("Spirelo.ini")) || fs::exists(p.file("Glimmora.ini")));
        }
    }

    // /usr/bin after a /usr/local install, or a folder that is not there at all.
    test::ScratchFolder scratch("spirelo-demo");
    ASSERT_TRUE(scratch.made());
    fs::create_directories(scratch / "empty");
    std::ofstream(scratch / "empty/Spirelo") << "not the pair";
    for (const std::string& folder : {scratch / "empty", scratch / "missing"}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(RunToEnd({tool, scratch / "show", folder}, {"XDG_CONFIG_HOME=" + (scratch / "config")}, scratch / "demo.txt"), 2);
        const std::string said = Slurp(scratch / "demo.txt");
        EXPECT_NE(said.find("not in " + folder + "; they are in " + SPIRELO_BIN_DIR), std::string::npos) << said;
        EXPECT_FALSE(fs::exists(scratch / "show"));
        EXPECT_FALSE(fs::exists(scratch / "config"));
        EXPECT_FALSE(fs::exists(scratch / "missing"));
    }
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(scratch / "empty")) left.push_back(e.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"Spirelo"});
}
