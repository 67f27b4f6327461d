#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "common/ini_file.h"
#include "common/live_data.h"
#include "core/event_log.h"
#include "core/instance_guard.h"
#include "core/macro_file.h"
#include "core_fixture.h"
#include "tests/environment_variable.h"
#include "tests/hang_guard.h"

using namespace spirelo;
using spirelo::test::CoreFiles;

TEST_F(CoreFiles, FirstStartCountsAndTakesTheDefaultNames) {
    EXPECT_EQ(ReadIniSettings(*d), 2);
    EXPECT_EQ(d->ShowListFileName, path("Spirelo.shw"));
    EXPECT_EQ(d->sNameFileProject, path("Spirelo.trk"));
    EXPECT_EQ(d->sNameFileSeq, path("Spirelo.seq"));
    EXPECT_EQ(d->MusicListFileName, path("Spirelo.msc"));

    IniFile ini(path("Spirelo.ini"));
    EXPECT_EQ(ini.readInteger("AreaCount", "CountOpen", 0), 2);
    EXPECT_EQ(ini.readString("AreaFile", "FileFromProgramm", ""), " " + path("Spirelo"));
    EXPECT_EQ(ReadIniSettings(*d), 3);
    EXPECT_TRUE(messages->log.empty());
}

TEST_F(CoreFiles, SettingsRememberTheFilesAndTheTimeOfWriting) {
    ReadIniSettings(*d);
    d->sNameFileProject = "/shows/Фонтан.trk";
    d->sNameFileSeq = "/shows/park.seq";
    d->ShowListFileName = "/shows/evening.shw";
    d->MusicListFileName = "/music/day.msc";
    ASSERT_TRUE(WriteIniSettings(*d, {}, LocalTime{2026, 3, 9, 8, 5, 3}));

    IniFile ini(path("Spirelo.ini"));
    EXPECT_EQ(ini.readString("AreaTime", "Closed", ""), " 9.3.2026 г.  в 8ч. 5 мин. 3 сек");
    EXPECT_EQ(ClosedText({2025, 12, 31, 23, 59, 58}), " 31.12.2025 г.  в 23ч. 59 мин. 58 сек");

    auto e = MakeShowData();
    ReadIniSettings(*e);
    EXPECT_EQ(e->sNameFileProject, "/shows/Фонтан.trk");
    EXPECT_EQ(e->sNameFileSeq, "/shows/park.seq");
    EXPECT_EQ(e->ShowListFileName, "/shows/evening.shw");
    EXPECT_EQ(e->MusicListFileName, "/music/day.msc");
}

TEST_F(CoreFiles, CustomerTextsAreWrittenOnlyWhenEnabled) {
    IniFile seed(path("Spirelo.ini"));
    seed.writeString("About", "Data", "contract 12");
    seed.writeString("About", "Customer", "Город");
    seed.writeString("About", "Object", "Park");
    ASSERT_TRUE(seed.save());

    CustomerTexts edits{false, "new data", "new customer", "new object"};
    ASSERT_TRUE(WriteIniSettings(*d, edits));
    IniFile after(path("Spirelo.ini"));
    EXPECT_EQ(after.readString("About", "Data", ""), "contract 12");
    EXPECT_EQ(after.readString("About", "Customer", ""), "Город");
    EXPECT_EQ(after.readString("About", "Object", ""), "Park");

    edits.recordEnabled = true;
    ASSERT_TRUE(WriteIniSettings(*d, edits));
    after.load();
    EXPECT_EQ(after.readString("About", "Data", ""), "new data");
    EXPECT_EQ(after.readString("About", "Customer", ""), "new customer");
    EXPECT_EQ(after.readString("About", "Object", ""), "new object");
}

TEST_F(CoreFiles, FilesBesideAProgramInAReadOnlyFolderGoToTheConfigFolder) {
    WriteBytes(path("bin"), {0});   // a "folder" nothing can be created in
    OverrideProgramFile(path("bin/Spirelo"));
    test::EnvironmentVariable xdg("XDG_CONFIG_HOME", path("xdg"));

    ReadIniSettings(*d);
    WriteLog("ReadSave", "Test", "here");

    EXPECT_EQ(d->sNameFileSeq, path("xdg/spirelo/Spirelo.seq"));
    EXPECT_TRUE(FileExists(path("xdg/spirelo/Spirelo.ini")));
    EXPECT_TRUE(FileExists(path("xdg/spirelo/Spirelo.Log")));
    ASSERT_EQ(texts(MessageKind::Warning).size(), 1u);
    EXPECT_EQ(messages->log.size(), 1u);
    EXPECT_NE(texts(MessageKind::Warning)[0].find(path("bin/")), std::string::npos) << texts(MessageKind::Warning)[0];
}

// A copy of the programs in a folder every user can write to: the settings, the log and the
// running mark go to the XDG folder, nothing into that folder, and the start says so once.
TEST_F(CoreFiles, AProgramFolderOpenToAllKeepsNoFileAndTheStartSaysSoOnce) {
    test::EnvironmentVariable xdg("XDG_CONFIG_HOME", path("xdg")), runtime("XDG_RUNTIME_DIR");
    runtime.unset();
    ASSERT_EQ(::mkdir(path("prog").c_str(), 0700), 0);
    ASSERT_EQ(::chmod(path("prog").c_str(), 01777), 0);
    OverrideProgramFile(path("prog/Spirelo"));

    ReadIniSettings(*d);
    WriteLog("ReadSave", "Test", "here");
    EXPECT_TRUE(WriteIniSettings(*d));
    InstanceGuard guard(InstanceGuardFile());
    EXPECT_EQ(guard.acquire(), InstanceGuard::Result::Acquired);
    EXPECT_TRUE(guard.markRunning());
    guard.release();

    EXPECT_TRUE(std::filesystem::is_empty(path("prog")));
    EXPECT_EQ(d->sNameFileSeq, path("xdg/spirelo/Spirelo.seq"));
    for (const std::string& f : {std::string("Spirelo.ini"), std::string("Spirelo.Log"),
                                 "twice" + SectionSuffix() + ".ini"})
        EXPECT_TRUE(FileExists(path("xdg/spirelo/" + f))) << f;
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].kind, MessageKind::Warning);
    for (const std::string& part : {path("prog/"), std::string("mode 1777"), path("xdg/spirelo/")})
        EXPECT_NE(messages->log[0].text.find(part), std::string::npos) << messages->log[0].text;
}

// Another user's settings folder (here one open to all) chooses nothing: the settings are not
// read, nothing is saved or logged there, the start says so once and runs on the defaults.
TEST_F(CoreFiles, ASettingsFolderOpenToOthersIsRefusedWithOneMessage) {
    WriteBytes(path("bin"), {0});
    OverrideProgramFile(path("bin/Spirelo"));
    test::EnvironmentVariable xdg("XDG_CONFIG_HOME", path("xdg"));
    ASSERT_EQ(::mkdir(path("xdg").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(path("xdg/spirelo").c_str(), 0777), 0);
    ASSERT_EQ(::chmod(path("xdg/spirelo").c_str(), 0777), 0);
    const std::string planted = "[AreaFile]\nLastFileSeq=/their/show.seq\n";
    WriteBytes(path("xdg/spirelo/Spirelo.ini"), std::vector<uint8_t>(planted.begin(), planted.end()));

    ReadIniSettings(*d);
    WriteLog("ReadSave", "Test", "here");
    const IoResult closing = WriteIniSettings(*d);

    EXPECT_NE(d->sNameFileSeq, "/their/show.seq");
    EXPECT_FALSE(closing);
    std::ifstream in(path("xdg/spirelo/Spirelo.ini"));   // past the file layer, which refuses the folder
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), planted);
    EXPECT_FALSE(std::filesystem::exists(path("xdg/spirelo/Spirelo.Log")));
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_NE(messages->log[0].text.find(path("xdg/spirelo/")), std::string::npos) << messages->log[0].text;
    EXPECT_NE(messages->log[0].text.find("mode 0777"), std::string::npos) << messages->log[0].text;
}

TEST_F(CoreFiles, FailedSettingsWriteIsReported) {
    // The settings file's place is taken by a folder: the rename over it fails.
    ASSERT_EQ(::mkdir(path("Spirelo.ini").c_str(), 0755), 0);
    EXPECT_FALSE(WriteIniSettings(*d));
    ASSERT_EQ(texts(MessageKind::Error).size(), 1u);
    EXPECT_NE(texts(MessageKind::Error)[0].find(path("Spirelo.ini")), std::string::npos);
}

TEST_F(CoreFiles, EventLogSectionsAndKeys) {
    const LocalTime t{2026, 3, 9, 8, 5, 3};
    WriteLog("ReadSave", "OpenTrackFile", "File not found_sNameFileProject", t);
    WriteLog("ReadSave", "OpenSeqFile", "File_no_found_sNameFileSeq", t);      // same second: same section
    WriteLog("ReadSave", "OpenTrackFile", "second try", t);                    // same Who and Where: replaced
    WriteLog("FormSound", "MadePlayFile", "Audio_file_not_find_sNameFileProject", {2026, 3, 9, 8, 5, 4});
    EXPECT_EQ(ReadText(path("Spirelo.Log")),
              "[DataTime=9.3.2026 г.8h. 5 min. 3 sec]\n"
              "Who=ReadSave Where=OpenTrackFile= Info=second try\n"
              "Who=ReadSave Where=OpenSeqFile= Info=File_no_found_sNameFileSeq\n"
              "\n"
              "[DataTime=9.3.2026 г.8h. 5 min. 4 sec]\n"
              "Who=FormSound Where=MadePlayFile= Info=Audio_file_not_find_sNameFileProject\n");
    // An earlier second's section still takes its new entries.
    WriteLog("ReadSave ", "RecPix", "not assigned ", t);
    EXPECT_NE(ReadText(path("Spirelo.Log")).find("OpenSeqFile= Info=File_no_found_sNameFileSeq\n"
                                                 "Who=ReadSave  Where=RecPix= Info=not assigned \n\n[DataTime"),
              std::string::npos);
}

TEST_F(CoreFiles, EventLogFailsSilently) {
    ASSERT_EQ(::mkdir(path("Spirelo.Log").c_str(), 0755), 0);   // the log's place is taken by a folder
    WriteLog("ReadSave", "X", "Y");
    EXPECT_TRUE(messages->log.empty());
}

// A new second's section follows whatever the log ends with, one blank line between sections.
TEST_F(CoreFiles, EventLogEntriesFollowAnyEnding) {
    const std::string added = "[DataTime=1.2.2027 г.3h. 4 min. 5 sec]\nWho=A Where=B= Info=C\n";
    const struct {
        const char* before;
        std::string after;
    } cases[] = {
        {"", added},
        {"x\n", "x\n\n" + added},
        {"x", "x\n\n" + added},
        {"x\n\n", "x\n\n" + added},
        {"x\r\n", "x\r\n\n" + added},
        {"x\r\n\r\n", "x\r\n\r\n" + added},
    };
    for (const auto& c : cases) {
        WriteBytes(path("Spirelo.Log"), std::vector<uint8_t>(c.before, c.before + std::strlen(c.before)));
        WriteLog("A", "B", "C", {2027, 2, 1, 3, 4, 5});
        EXPECT_EQ(ReadText(path("Spirelo.Log")), c.after) << "after \"" << c.before << '"';
    }
}

// A log at its roll size or beyond becomes Spirelo.Log.1 whole (an older one goes), and the entry
// begins a new log; one just under it takes the entry first and rolls at the next.
TEST_F(CoreFiles, AnEventLogRollsAtItsSizeAndGoesOn) {
    const auto fill = [&](size_t bytes) {
        std::string text = "[DataTime=1.1.2027 г.0h. 0 min. 0 sec]\n";
        text += "Who=ReadSave Where=Fill= Info=" + std::string(bytes - text.size() - 31, 'x') + "\n";
        WriteBytes(path("Spirelo.Log"), std::vector<uint8_t>(text.begin(), text.end()));
        return text;
    };
    WriteBytes(path("Spirelo.Log.1"), {'o', 'l', 'd'});
    const std::string big = fill(8 << 20);
    ASSERT_EQ(std::filesystem::file_size(path("Spirelo.Log")), size_t(8) << 20);
    const LocalTime t{2027, 1, 1, 0, 0, 0};   // the second the old log's last section holds
    WriteLog("ReadSave", "OpenSeqFile", "File_no_found_sNameFileSeq", t);
    WriteLog("ReadSave", "OpenTrackFile", "File not found_sNameFileProject", t);
    EXPECT_EQ(ReadText(path("Spirelo.Log.1")), big);
    EXPECT_EQ(ReadText(path("Spirelo.Log")),
              "[DataTime=1.1.2027 г.0h. 0 min. 0 sec]\n"
              "Who=ReadSave Where=OpenSeqFile= Info=File_no_found_sNameFileSeq\n"
              "Who=ReadSave Where=OpenTrackFile= Info=File not found_sNameFileProject\n");

    const std::string under = fill(kEventLogRollBytes - 1);
    WriteLog("ReadSave", "X", "Y", {2027, 1, 1, 0, 0, 1});
    const std::string reached = ReadText(path("Spirelo.Log"));
    EXPECT_EQ(reached, under + "\n[DataTime=1.1.2027 г.0h. 0 min. 1 sec]\nWho=ReadSave Where=X= Info=Y\n");
    WriteLog("ReadSave", "X", "Z", {2027, 1, 1, 0, 0, 1});
    EXPECT_EQ(ReadText(path("Spirelo.Log.1")), reached);
    EXPECT_EQ(ReadText(path("Spirelo.Log")), "[DataTime=1.1.2027 г.0h. 0 min. 1 sec]\nWho=ReadSave Where=X= Info=Z\n");
    EXPECT_TRUE(messages->log.empty());
}

// Nothing is written through a pipe, a link or a device in the log's place, nor waits on one.
TEST_F(CoreFiles, AnEventLogThatIsNoFileIsLeftAlone) {
    ASSERT_EQ(::mkfifo(path("Spirelo.Log").c_str(), 0600), 0);
    EXPECT_TRUE(test::AnswersWithoutHanging([] {
        WriteLog("ReadSave", "X", "Y");
        return true;
    }));
    EXPECT_EQ(std::filesystem::status(path("Spirelo.Log")).type(), std::filesystem::file_type::fifo);

    std::filesystem::remove(path("Spirelo.Log"));
    WriteBytes(path("precious"), {'k', 'e', 'e', 'p'});
    std::filesystem::create_symlink(path("precious"), path("Spirelo.Log"));
    WriteLog("ReadSave", "X", "Y");
    EXPECT_EQ(ReadText(path("precious")), "keep");
    EXPECT_TRUE(std::filesystem::is_symlink(path("Spirelo.Log")));

    std::filesystem::remove(path("Spirelo.Log"));
    std::filesystem::create_symlink("/dev/null", path("Spirelo.Log"));
    WriteLog("ReadSave", "X", "Y");
    EXPECT_TRUE(std::filesystem::is_symlink(path("Spirelo.Log")));
    EXPECT_FALSE(std::filesystem::exists(path("Spirelo.Log.1")));
    EXPECT_TRUE(messages->log.empty());
}

TEST_F(CoreFiles, MacroFileLiesBesideTheSequencerFile) {
    d->sNameFileSeq = path("park.dat");
    d->MacroTable[0][1] = 0x1234;
    d->MacroTable[31][511] = 0xBEEF;
    ASSERT_TRUE(SaveMacrosFile(*d));
    EXPECT_EQ(d->sNameFileMacro, path("park.mcr"));
    const auto file = ReadBytes(path("park.mcr"));
    ASSERT_EQ(file.size(), 32768u);
    EXPECT_EQ(file[2], 0x34);   // little-endian, macro after macro
    EXPECT_EQ(file[3], 0x12);
    EXPECT_EQ(file[32766], 0xEF);
    EXPECT_EQ(file[32767], 0xBE);

    auto e = MakeShowData();
    e->sNameFileSeq = path("park.seq");
    ASSERT_EQ(OpenMacrosFile(*e), FileLoad::Loaded);
    EXPECT_EQ(std::memcmp(e->MacroTable, d->MacroTable, sizeof d->MacroTable), 0);
}

TEST_F(CoreFiles, MacroFileLongerShorterOrMissing) {
    d->sNameFileSeq = path("park.seq");
    auto longer = Noise(40000, 4);
    WriteBytes(path("park.mcr"), longer);
    ASSERT_EQ(OpenMacrosFile(*d), FileLoad::Loaded);   // its first 32,768 bytes
    EXPECT_EQ(std::memcmp(d->MacroTable, longer.data(), 32768), 0);

    std::vector<uint16_t> before(&d->MacroTable[0][0], &d->MacroTable[0][0] + 32 * 512);
    WriteBytes(path("park.mcr"), Noise(32767, 6));
    EXPECT_EQ(OpenMacrosFile(*d), FileLoad::UnknownSize);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), &d->MacroTable[0][0]));
    ASSERT_EQ(texts(MessageKind::Error).size(), 1u);
    EXPECT_NE(texts(MessageKind::Error)[0].find(path("park.mcr")), std::string::npos);

    std::remove(path("park.mcr").c_str());
    messages->log.clear();
    EXPECT_EQ(OpenMacrosFile(*d), FileLoad::Missing);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), &d->MacroTable[0][0]));
    EXPECT_TRUE(messages->log.empty());
    EXPECT_NE(ReadText(path("Spirelo.Log")).find("Where=OpenMacrosFile= Info=File not found_sNameFileMacro"),
              std::string::npos);
}
