// Windows keep their documented or saved place when it fits the screen and are moved just onto it
// when not; the track boxes sit where the Tracks page shows them in the tall window.
#include "common/ui/window_placement.h"
#include "core/show_data.h"
#include "dmx/ui/form_visual.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/modes.h"
#include "playback/show_tick.h"
#include "playback/ui/form_sound.h"
#include "ui/program_folder_test.h"

#include <QCheckBox>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

struct Placement : test::ProgramFolderTest<> {
    void SetUp() override {
        setenv("SPIRELO_AUDIO", "null", 1);
        ProgramFolderTest::SetUp();
        ShowData& d = ShowDataInstance();
        ResetShowData(d);
        ShowFilesInFolder(d);
        ShowTickStateInstance().FirstTickFlag = 1;
        ModeStateInstance().AudioFirstOpen = 1;
    }
    void TearDown() override {
        delete FormSound;
        FormSound = nullptr;
        delete FormVisual;
        FormVisual = nullptr;
        OverrideAvailableGeometry(QRect(0, 0, 1280, 1024));   // as main() set it
        ProgramFolderTest::TearDown();
    }
};

}  // namespace

// The documented place (left 250, top 350) with width 1108 leaves 78 px off a 1280 screen.
TEST_F(Placement, TheSoundWindowIsMovedOntoTheScreen) {
    OverrideAvailableGeometry(QRect(0, 0, 1280, 1024));
    ShowDataInstance().FirstStart = false;
    ShowDataInstance().SoundPlaceRead = true;   // as from a saved sequencer file
    FormSound = new TFormSound();
    FormSound->FormCreate();
    EXPECT_EQ(FormSound->width(), 1108);
    EXPECT_EQ(FormSound->pos(), QPoint(1280 - 1108, 350));

    // One track box at its place on the Tracks page: box 11 is column 1, row 2.
    QCheckBox* box = nullptr;
    for (QCheckBox* b : FormSound->findChildren<QCheckBox*>())
        if (b->toolTip() == "On track 11") box = b;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry(), QRect(33, 437, 17, 16));
}

TEST_F(Placement, TheDmxMonitorOpensAtItsPlace) {
    OverrideAvailableGeometry(QRect(0, 0, 1280, 1024));
    FormVisual = new TFormVisual();
    FormVisual->FormCreate();
    EXPECT_EQ(FormVisual->pos(), QPoint(10, 100));
    delete FormVisual;

    // A panel at the screen's left and top: moved beside it, same size.
    OverrideAvailableGeometry(QRect(100, 150, 1180, 874));
    FormVisual = new TFormVisual();
    FormVisual->FormCreate();
    EXPECT_EQ(FormVisual->pos(), QPoint(100, 150));
}
