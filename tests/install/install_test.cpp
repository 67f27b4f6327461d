// The installed programs, as a package would put them under /usr: they keep nothing beside
// themselves, read and write their settings in the user's folders, and end on SIGTERM as on a
// close, their settings saved.
#include "common/file_io.h"
#include "common/live_data.h"
#include "common/shared_section.h"
#include "tests/child_process.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using namespace spirelo;
using namespace spirelo::test;

namespace {

std::set<std::string> FilesUnder(const fs::path& dir) {
    std::set<std::string> out;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        out.insert(fs::relative(it->path(), dir).string());
    return out;
}

// The command of a desktop entry's Exec line.
std::string ExecOf(const std::string& entry) {
    std::string text = Slurp(entry);
    size_t at = text.find("\nExec=");
    if (at == std::string::npos) return {};
    at += 6;
    return text.substr(at, text.find_first_of(" \n", at) - at);
}

// Waits until the file holds `what` (the program wrote it), or the program ended.
bool WaitForText(Process& p, const std::string& file, const std::string& what, double timeout) {
    auto start = Clock::now();
    while (Seconds(start, Clock::now()) < timeout) {
        if (Slurp(file).find(what) != std::string::npos) return true;
        if (!Alive(p)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

class Installed : public ::testing::Test {
public:
    // Starts an installed program, waits for its start to be counted in its settings (the demo's
    // settings hold no count, so a start makes it 2), ends it with SIGTERM and checks that it
    // ended normally and wrote `closeKey`, which only its close writes.
    void EndsOnSigtermWithItsSettingsSaved(const std::string& program, const std::vector<std::string>& environment,
                                           const std::string& ini, const std::string& closeKey) {
        SCOPED_TRACE(program);
        Process p = Spawn({(usr / "bin" / program).string()}, environment, root / (program + ".log"));
        StopAtExit stop(p);   // also when a wait below fails and returns
        ASSERT_TRUE(WaitForText(p, ini, "CountOpen=2", 30)) << "it did not start";
        EXPECT_EQ(Slurp(ini).find(closeKey), std::string::npos);
        ::kill(p.pid, SIGTERM);
        int status = 0;
        if (!WaitFor(p, 30, &status)) FAIL() << "it did not end on SIGTERM";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        EXPECT_NE(Slurp(ini).find(closeKey), std::string::npos) << "its settings were not saved";
    }


protected:
    ScratchFolder root{"spirelo-install"};
    fs::path dest, usr, config;
    std::vector<std::string> env;

    void SetUp() override {
        ASSERT_TRUE(root.made());
        dest = root / "dest";
        usr = dest / "usr";
        config = root / "config";
        ::mkdir((root / "run").c_str(), 0700);
        const std::string log = root / "install.log";
        const std::string cmd = "DESTDIR='" + dest.string() + "' '" CMAKE_COMMAND_PATH "' --install '" SPIRELO_BUILD_DIR
                                "' --prefix /usr > '" + log + "' 2>&1";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << Slurp(log);
        env = {"XDG_CONFIG_HOME=" + config.string(), "XDG_RUNTIME_DIR=" + (root / "run"),
               "SPIRELO_USB=simulated", "SPIRELO_AUDIO=null"};
    }

    void TearDown() override {
        // The live-data sections the programs made under the test's suffix.
        SharedSection::unlink(DmxSectionName());
        SharedSection::unlink(SpectrumSectionName());
        if (HasFailure())
            for (const char* log : {"demo.log", "Spirelo.log", "Glimmora.log"})
                std::fprintf(stderr, "---- %s ----\n%s\n", log, Slurp(root / log).substr(0, 4000).c_str());
    }
};

TEST_F(Installed, ProgramsKeepTheirSettingsInTheUsersFolderAndSaveThemOnSigterm) {
    // What a package holds: the programs, their menu entries and icons, the pictures the
    // controller ships with and the interface's udev rule.
    for (const char* f : {"bin/Spirelo", "bin/Glimmora", "bin/demo-show", "share/spirelo/00.bmp",
                          "share/spirelo/11.bmp", "share/icons/hicolor/scalable/apps/spirelo.svg",
                          "share/icons/hicolor/scalable/apps/glimmora.svg", "lib/udev/rules.d/60-spirelo-ftdi.rules"})
        EXPECT_TRUE(fs::is_regular_file(usr / f)) << f;
    EXPECT_EQ(ExecOf(usr / "share/applications/spirelo.desktop"), "Spirelo");
    EXPECT_EQ(ExecOf(usr / "share/applications/glimmora.desktop"), "Glimmora");
    EXPECT_NE(Slurp(usr / "lib/udev/rules.d/60-spirelo-ftdi.rules").find("ATTRS{idVendor}==\"0403\""), std::string::npos);
    const std::set<std::string> installed = FilesUnder(dest);

    // The demo's settings go where the installed programs read them.
    Process demo = Spawn({(usr / "bin/demo-show").string(), root / "show", (usr / "bin").string()}, env, root / "demo.log");
    StopAtExit stopDemo(demo);
    int status = 0;
    ASSERT_TRUE(WaitFor(demo, 60, &status));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string spireloIni = (config / "spirelo/Spirelo.ini").string();
    const std::string glimmoraIni = (config / "glimmora/Glimmora.ini").string();
    ASSERT_NE(Slurp(spireloIni).find("demo.trk"), std::string::npos);
    ASSERT_NE(Slurp(glimmoraIni).find("demo.a3d"), std::string::npos);

    // The controller on the offscreen platform: it counts its start in its settings, and
    // writes its closing time there on SIGTERM.
    std::vector<std::string> offscreen = env;
    offscreen.push_back("QT_QPA_PLATFORM=offscreen");
    EndsOnSigtermWithItsSettingsSaved("Spirelo", offscreen, spireloIni, "Closed=");

    // Glimmora draws through OpenGL, which the offscreen platform of Qt 6.4 cannot show: it
    // runs on the test's virtual display. Its camera's heading is written only at its close.
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    EndsOnSigtermWithItsSettingsSaved("Glimmora", env, glimmoraIni, "Heading=");

    // Nothing was written beside the installed programs.
    EXPECT_EQ(FilesUnder(dest), installed);
}

}  // namespace
