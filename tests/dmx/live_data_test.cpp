#include "dmx/live_data_writer.h"

#include "common/file_io.h"
#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/scratch_folder.h"

using namespace spirelo;

namespace {

class LiveData : public ::testing::Test {
protected:
    void SetUp() override {
        d = MakeShowData();
        std::string tag = std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        live.DmxName = "SpireloTestDmx_" + tag;
        live.SpectrName = "SpireloTestSpectr_" + tag;
        dmxName = live.DmxName;
        spectrName = live.SpectrName;
        SharedSection::unlink(dmxName);
        SharedSection::unlink(spectrName);
        // The event log goes to a folder of the test's own, not beside the test program.
        ASSERT_TRUE(scratch.made());
        OverrideProgramFile(scratch / "Spirelo");
    }
    void TearDown() override {
        FileMappingOFF(*d, live);
        SharedSection::unlink(dmxName);
        SharedSection::unlink(spectrName);
        OverrideProgramFile("");
    }
    static std::string Text(const std::string& name) {
        SharedSection s;
        std::string out;
        if (!s.open(name, kLiveTextSize)) return "<no section>";
        s.readText(out);
        return out;
    }
    test::ScratchFolder scratch{"spirelo-live"};
    std::unique_ptr<ShowData> d;
    LiveDataSections live;
    std::string dmxName, spectrName;
    RecordingMessages msgs;
};

}  // namespace

TEST_F(LiveData, WritesBothTextsOnlyWhileOpen) {
    int32_t peaks[31] = {};
    peaks[1] = 300;   // low 8 bits: 44 = 0x2C
    peaks[30] = 0x7F;
    WriteLiveData(*d, live, {peaks});   // closed: nothing, and no crash on missing views
    ASSERT_TRUE(FileMappingToON(*d, live, msgs));
    EXPECT_EQ(d->MappingOpenFlag, 1);
    EXPECT_TRUE(msgs.log.empty());

    WriteLiveData(*d, live, {peaks});
    EXPECT_EQ(Text(live.DmxName), std::string(1024, '0'));
    std::string sp = Text(live.SpectrName);
    ASSERT_EQ(sp.size(), 1024u);
    EXPECT_EQ(sp.substr(0, 2), "2C");
    EXPECT_EQ(sp.substr(58, 2), "7F");
    EXPECT_EQ(sp.substr(60), std::string(964, '0'));

    d->DmxOut[1] = 255;
    d->DmxOut[3] = 16;
    d->DmxOut[512] = 0xA5;
    WriteLiveData(*d, live, {nullptr});
    std::string t = Text(live.DmxName);
    EXPECT_EQ(t.substr(0, 6), "FF0010");
    EXPECT_EQ(t.substr(1022), "A5");
    EXPECT_EQ(Text(live.SpectrName), std::string(1024, '0'));   // no analysis: bands 0

    ASSERT_TRUE(FileMappingOFF(*d, live));
    EXPECT_EQ(d->MappingOpenFlag, 0);
    d->DmxOut[1] = 1;
    WriteLiveData(*d, live, {nullptr});
    EXPECT_EQ(Text(live.DmxName).substr(0, 2), "FF");   // no longer written
}

TEST_F(LiveData, TheEndLeavesTheSectionsWithTheFountainOff) {
    int32_t peaks[31] = {};
    peaks[3] = 90;
    ASSERT_TRUE(FileMappingToON(*d, live, msgs));
    d->DmxOut[1] = 255;
    d->DmxOut[512] = 7;
    WriteLiveData(*d, live, {peaks});
    ASSERT_NE(Text(live.DmxName), std::string(1024, '0'));
    ASSERT_TRUE(FileMappingEnd(*d, live));
    EXPECT_EQ(d->MappingOpenFlag, 0);
    EXPECT_FALSE(live.DmxMap.isOpen());
    for (const std::string& name : {dmxName, spectrName}) {
        const int fd = ::shm_open(("/" + name).c_str(), O_RDONLY, 0);
        EXPECT_GE(fd, 0) << name << " is kept for a visualiser still reading it";
        if (fd >= 0) ::close(fd);
        EXPECT_EQ(Text(name), std::string(1024, '0')) << name;
    }
    EXPECT_FALSE(FileMappingEnd(*d, live)) << "closed: nothing";
}

TEST_F(LiveData, OnWhileOpenAndOffWhileClosedDoNothing) {
    EXPECT_FALSE(FileMappingOFF(*d, live));
    ASSERT_TRUE(FileMappingToON(*d, live, msgs));
    uint8_t* view = live.DmxMap.data();
    EXPECT_TRUE(FileMappingToON(*d, live, msgs));
    EXPECT_EQ(live.DmxMap.data(), view);
    EXPECT_TRUE(msgs.log.empty());
}

TEST_F(LiveData, HalfMadePairIsReleasedAndReported) {
    live.SpectrName = "bad/name";   // shm names may not hold a slash
    EXPECT_FALSE(FileMappingToON(*d, live, msgs));
    EXPECT_EQ(d->MappingOpenFlag, 0);
    EXPECT_FALSE(live.DmxMap.isOpen());
    EXPECT_FALSE(live.SpectrMap.isOpen());
    ASSERT_EQ(msgs.log.size(), 2u);
    EXPECT_EQ(msgs.log[0].text, "Donot create FileMapping in RAM PC!");
    EXPECT_EQ(msgs.log[1].text, "Не могу подключить FileMapping spectr!");
    WriteLiveData(*d, live, {nullptr});   // nothing to write through

    msgs.log.clear();
    live.DmxName = "also/bad";
    EXPECT_FALSE(FileMappingToON(*d, live, msgs));
    ASSERT_EQ(msgs.log.size(), 4u);
    EXPECT_EQ(msgs.log[0].text, "Donot create FileMapping DMX!");
    EXPECT_EQ(msgs.log[1].text, "Donot connect FileMapping Dmx!");
}

// A section another user holds (one left by a run as root) stops nothing: the user's own name is
// taken, without a box, and one line in the log names both; the other user's section is left
// as it was. Only when the own name is held too is it a failure, shown as any other.
TEST_F(LiveData, AnotherUsersSectionsGiveWayToTheUsersOwnNames) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a section to another user needs root";
    const auto foreign = [](const std::string& name) {
        const int fd = ::shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd < 0) return false;
        const bool given = ::fchown(fd, 65534, 65534) == 0;
        ::close(fd);
        return given;
    };
    const std::string ownDmx = OwnSectionName(dmxName), ownSpectr = OwnSectionName(spectrName);
    EXPECT_EQ(ownDmx, dmxName + "0");
    SharedSection::unlink(ownDmx);
    SharedSection::unlink(ownSpectr);
    ASSERT_TRUE(foreign(dmxName));
    ASSERT_TRUE(foreign(spectrName));

    ASSERT_TRUE(FileMappingToON(*d, live, msgs));
    EXPECT_TRUE(msgs.log.empty());
    EXPECT_EQ(live.DmxOpenName, ownDmx);
    EXPECT_EQ(live.SpectrOpenName, ownSpectr);
    d->DmxOut[1] = 0xC8;
    WriteLiveData(*d, live, {nullptr});
    EXPECT_EQ(Text(ownDmx).substr(0, 4), "C800");
    EXPECT_EQ(Text(ownSpectr), std::string(1024, '0'));
    struct stat st{};
    ASSERT_EQ(::stat(("/dev/shm/" + dmxName).c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_size, 0) << "the other user's section is not touched";
    std::string log;
    ReadWholeFile(scratch / "Spirelo.Log", log);
    EXPECT_NE(log.find("Info=live_data /" + dmxName + " is another user's (uid 65534), so /" + ownDmx +
                       " is used instead; /" + spectrName + " is another user's (uid 65534), so /" + ownSpectr +
                       " is used instead\n"),
              std::string::npos)
        << log;
    ASSERT_TRUE(FileMappingOFF(*d, live));

    // The own name held as well: no way round it, the documented failure.
    SharedSection::unlink(ownDmx);
    ASSERT_TRUE(foreign(ownDmx));
    EXPECT_FALSE(FileMappingToON(*d, live, msgs));
    EXPECT_EQ(d->MappingOpenFlag, 0);
    ASSERT_EQ(msgs.log.size(), 2u);
    EXPECT_EQ(msgs.log[0].text, "Donot create FileMapping DMX!");
    ReadWholeFile(scratch / "Spirelo.Log", log);
    EXPECT_NE(log.find("Info=no_live_data " + dmxName + ": the section /" + ownDmx + " belongs to another user (uid 65534)"),
              std::string::npos)
        << log;
    SharedSection::unlink(ownDmx);
    SharedSection::unlink(ownSpectr);
}

// The visualiser's side in another process: open the section by name and read the text.
namespace {

int ReadInChild(const std::string& name, const std::string& expectPrefix, int readyFd, int goFd) {
    SharedSection s;
    if (!s.open(name, kLiveTextSize)) return 10;
    if (readyFd >= 0) {
        char c = 'r';
        if (::write(readyFd, &c, 1) != 1) return 11;
    }
    if (goFd >= 0) {
        char c;
        if (::read(goFd, &c, 1) != 1) return 12;
    }
    std::string text;
    s.readText(text);
    if (text.size() != 1024) return 13;
    return text.compare(0, expectPrefix.size(), expectPrefix) == 0 ? 0 : 14;
}

int Wait(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

}  // namespace

TEST_F(LiveData, ReaderStartedAfterTheController) {
    ASSERT_TRUE(FileMappingToON(*d, live, msgs));
    d->DmxOut[1] = 0x3C;
    WriteLiveData(*d, live, {nullptr});
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) ::_exit(ReadInChild(live.DmxName, "3C00", -1, -1));
    EXPECT_EQ(Wait(pid), 0);
}

TEST_F(LiveData, ReaderStartedBeforeTheController) {
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(ready[0]);
        ::close(go[1]);
        ::_exit(ReadInChild(live.DmxName, "00C8", ready[1], go[0]));
    }
    ::close(ready[1]);
    ::close(go[0]);
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);   // the reader made the section first
    ASSERT_TRUE(FileMappingToON(*d, live, msgs));
    d->DmxOut[2] = 200;
    WriteLiveData(*d, live, {nullptr});
    ASSERT_EQ(::write(go[1], "g", 1), 1);
    EXPECT_EQ(Wait(pid), 0);
    ::close(ready[0]);
    ::close(go[1]);
}
