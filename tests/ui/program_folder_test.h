// A scratch folder standing in for the program's folder (settings, event log and show files go
// there) and a message service that records instead of showing, for one window test. Fixtures
// derive from it, call its SetUp first and its TearDown last, after deleting their windows.
#pragma once

#include "core/show_data.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

namespace spirelo::test {

template <class Messages = RecordingMessages>
struct ProgramFolderTest : ::testing::Test {
    // The program's name sets the names of its settings and log files.
    explicit ProgramFolderTest(std::string program = "Spirelo") : program_(std::move(program)) {}

    std::filesystem::path dir;
    std::shared_ptr<Messages> messages = std::make_shared<Messages>();

    void SetUp() override {
        ASSERT_TRUE(scratch_.made());
        dir = scratch_.path();
        std::ofstream(dir / program_) << "program";
        OverrideProgramFile((dir / program_).string());
        InstallMessageService(messages);
    }
    // Also right after a skip in the fixture's SetUp; the folder goes with the fixture.
    void TearDown() override {
        InstallMessageService(nullptr);
        OverrideProgramFile("");
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // The track, show list and music list the sound window opens, all in the folder.
    void ShowFilesInFolder(ShowData& d) const {
        d.sNameFileProject = Path("show.trk");
        d.ShowListFileName = Path("list.shw");
        d.MusicListFileName = Path("music.msc");
    }

private:
    std::string program_;
    ScratchFolder scratch_{"spirelo-ui"};
};

}  // namespace spirelo::test
