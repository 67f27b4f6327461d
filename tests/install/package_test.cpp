// The Debian package as cpack makes it from this build: a version that grows with the tree, the
// virtual screen as a recommendation, and the documents Debian expects (copyright, changelog,
// a man page for each program that man renders without a warning).
#include "tests/child_process.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

namespace fs = std::filesystem;
using namespace spirelo::test;

namespace {

// A shell command's standard output, and whether it exited with 0.
struct Output {
    bool ok = false;
    std::string text;
};

Output Shell(const std::string& command) {
    Output out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.text.append(buf, n);
    out.ok = ::pclose(pipe) == 0;
    return out;
}

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

class Package : public ::testing::Test {
protected:
    static inline ScratchFolder* scratch = nullptr;
    static inline std::string deb, contents, log;

    static void SetUpTestSuite() {
        scratch = new ScratchFolder("spirelo-package");
        log = *scratch / "cpack.log";
        const std::string cmd = "'" CPACK_COMMAND_PATH "' -G DEB --config '" SPIRELO_BUILD_DIR "/CPackConfig.cmake' -B " +
                                Quoted(*scratch / "out") + " > " + Quoted(log) + " 2>&1";
        if (std::system(cmd.c_str()) != 0) return;
        for (const auto& e : fs::directory_iterator(*scratch / "out"))
            if (e.path().extension() == ".deb") deb = e.path();
        if (!deb.empty()) {
            contents = Shell("dpkg-deb -c " + Quoted(deb)).text;
            Shell("dpkg-deb -x " + Quoted(deb) + " " + Quoted(*scratch / "root"));
        }
    }
    static void TearDownTestSuite() {
        delete scratch;
        scratch = nullptr;
    }
    void SetUp() override { ASSERT_FALSE(deb.empty()) << "cpack made no package:\n" << Slurp(log); }

    static std::string Field(const std::string& name) {
        return Trimmed(Shell("dpkg-deb -f " + Quoted(deb) + " " + name).text);
    }
    static std::string Unpacked(const std::string& path) { return *scratch / ("root/" + path); }
};

TEST_F(Package, VersionCarriesTheCommitItWasBuiltFrom) {
    const std::string version = Field("Version");
    const Output top = Shell("git -C '" SPIRELO_SOURCE_DIR "' rev-parse --show-toplevel 2>/dev/null");
    if (!top.ok || fs::path(Trimmed(top.text)) != fs::canonical(SPIRELO_SOURCE_DIR)) {
        // A tree without git: the suffix its archive brought, else the plain version.
        const std::string suffix = Trimmed(Slurp(SPIRELO_SOURCE_DIR "/tree-version"));
        EXPECT_EQ(version, suffix.empty() ? SPIRELO_PROJECT_VERSION : SPIRELO_PROJECT_VERSION "+" + suffix);
        return;
    }
    // 0.1.0+git187.217c7ec: the commit count orders packages, the hash names the commit.
    std::smatch m;
    ASSERT_TRUE(std::regex_match(version, m, std::regex(R"((.+)\+git(\d+)\.([0-9a-f]{7,}))"))) << version;
    EXPECT_EQ(m[1].str(), SPIRELO_PROJECT_VERSION);
    const std::string count = Trimmed(Shell("git -C '" SPIRELO_SOURCE_DIR "' rev-list --count HEAD").text);
    const std::string head = Trimmed(Shell("git -C '" SPIRELO_SOURCE_DIR "' rev-parse HEAD").text);
    EXPECT_EQ(m[2].str(), count) << "configured at another commit: build again";
    EXPECT_EQ(head.rfind(m[3].str(), 0), 0u) << version << " is not HEAD " << head;
    // A later commit sorts above this one, and any git build above the plain version.
    EXPECT_TRUE(Shell("dpkg --compare-versions " + version + " lt " + m[1].str() + "+git" +
                    std::to_string(std::stoi(count) + 1) + ".0000000").ok);
    EXPECT_TRUE(Shell("dpkg --compare-versions " + version + " gt " + m[1].str()).ok);
}

TEST_F(Package, RecommendsTheVirtualScreenAndNamesARealMaintainer) {
    const std::string recommends = Field("Recommends");
    EXPECT_TRUE(std::regex_search(recommends, std::regex(R"((^|, )xvfb($|,))"))) << recommends;
    EXPECT_TRUE(std::regex_search(recommends, std::regex(R"((^|, )xauth($|,))"))) << recommends;
    const std::string maintainer = Field("Maintainer");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(maintainer, m, std::regex(R"(.+ <[^@ ]+@([^> ]+)>)"))) << maintainer;
    EXPECT_NE(m[1].str().find('.'), std::string::npos) << maintainer;
    EXPECT_FALSE(std::regex_search(m[1].str(), std::regex("(^|\\.)(localhost|localdomain)$"))) << maintainer;
}

TEST_F(Package, HoldsCopyrightAndChangelogOfTheDebianForm) {
    for (const char* f : {"./usr/share/doc/spirelo/copyright", "./usr/share/doc/spirelo/changelog.gz"})
        EXPECT_NE(contents.find(f), std::string::npos) << f << " not in\n" << contents;

    const std::string copyright = Slurp(Unpacked("usr/share/doc/spirelo/copyright"));
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u)
        << copyright;
    for (const char* field : {"\nFiles: *\n", "\nCopyright: ", "\nLicense: "})
        EXPECT_NE(copyright.find(field), std::string::npos) << field;

    // gzip -n: no file name and no time inside, so equal trees give equal packages.
    const std::string gz = Slurp(Unpacked("usr/share/doc/spirelo/changelog.gz"));
    ASSERT_GE(gz.size(), 10u);
    EXPECT_EQ(gz.substr(0, 2), "\x1f\x8b");
    EXPECT_EQ(gz[3] & 0x08, 0) << "a file name is stored";
    EXPECT_EQ(gz.substr(4, 4), std::string(4, '\0')) << "a time is stored";
    const Output changelog = Shell("gzip -dc " + Quoted(Unpacked("usr/share/doc/spirelo/changelog.gz")));
    ASSERT_TRUE(changelog.ok);
    EXPECT_EQ(changelog.text.rfind("spirelo (" + Field("Version") + ") ", 0), 0u) << changelog.text;
    EXPECT_TRUE(std::regex_search(changelog.text,
                                  std::regex(R"(\n -- .+ <.+@.+>  \w{3}, \d{1,2} \w{3} \d{4} \d\d:\d\d:\d\d [+-]\d{4}\n)")))
        << changelog.text;
}

TEST_F(Package, ManPagesRenderWithoutWarningsAndNameWhatTheProgramsRead) {
    struct Page {
        const char* name;
        std::vector<std::string> mentions;
    };
    const Page pages[] = {
        {"Spirelo", {"SPIRELO_USB", "SPIRELO_AUDIO", "SPIRELO_TIMING", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR",
                     "Spirelo.ini", "twice.ini", "SIGHUP"}},
        {"Glimmora", {"XDG_CONFIG_HOME", "Glimmora.ini", "Spirelo3Dwiev", "SIGHUP"}},
        {"demo-show", {"XDG_CONFIG_HOME", "demo.trk"}},
    };
    for (const Page& page : pages) {
        SCOPED_TRACE(page.name);
        const std::string path = std::string("usr/share/man/man1/") + page.name + ".1.gz";
        ASSERT_NE(contents.find("./" + path), std::string::npos);
        // man's own warnings (roff errors, lines it cannot break) go to standard error.
        const Output rendered = Shell("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l " + Quoted(Unpacked(path)) +
                                    " 2>&1 >/dev/null");
        EXPECT_EQ(rendered.text, "");
        const std::string text = Shell("LC_ALL=C.UTF-8 MANWIDTH=200 man -E ascii -l " + Quoted(Unpacked(path)) + " 2>/dev/null").text;
        for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "ENVIRONMENT", "EXIT STATUS"})
            EXPECT_NE(text.find(std::string("\n") + section + "\n"), std::string::npos) << section;
        for (const std::string& m : page.mentions) EXPECT_NE(text.find(m), std::string::npos) << m;
    }
}

}  // namespace
