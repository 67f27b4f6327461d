// A scratch folder standing in for the program's folder (settings, event log and show files go
// there) and a message service that records instead of showing, for one window test. Fixtures
// derive from it, call its SetUp first and its TearDown last, after deleting their windows.
#pragma once

#include "core/show_data.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace spirelo::test {

template <class Messages = RecordingMessages>
struct ProgramFolderTest : ::testing::Test {
    std::filesystem::path dir;
    std::shared_ptr<Messages> messages = std::make_shared<Messages>();

    void SetUp() override {
        char tmpl[] = "/tmp/spirelo_ui_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::ofstream(dir / "Spirelo") << "program";
        OverrideProgramFile((dir / "Spirelo").string());
        InstallMessageService(messages);
    }
    void TearDown() override {
        InstallMessageService(nullptr);
        OverrideProgramFile("");
        std::filesystem::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // The track, show list and music list the sound window opens, all in the folder.
    void ShowFilesInFolder(ShowData& d) const {
        d.sNameFileProject = Path("show.trk");
        d.ShowListFileName = Path("list.shw");
        d.MusicListFileName = Path("music.msc");
    }
};

}  // namespace spirelo::test
