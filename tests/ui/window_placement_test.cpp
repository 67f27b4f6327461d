// Windows keep their documented place when it fits the screen and are moved just onto it when
// not; the track boxes sit where the Tracks page shows them in the tall window.
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

TEST(PlaceInside, MovesOnlyAsFarAsNeeded) {
    const QRect screen(0, 0, 1280, 1024);
    struct Case { QRect frame; QPoint want; } cases[] = {
        {{250, 350, 1108, 600}, {172, 350}},    // right edge off: moved left
        {{10, 100, 1232, 131}, {10, 100}},      // fits: stays
        {{-40, -5, 300, 200}, {0, 0}},          // off the top-left corner
        {{1200, 900, 300, 200}, {980, 824}},    // off the bottom-right corner
        {{100, 100, 1400, 1100}, {0, 0}},       // larger than the screen: its corner
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceInside(c.frame, screen), c.want) << c.frame.x() << "," << c.frame.y();
    EXPECT_EQ(PlaceInside({0, 0, 200, 100}, {1280, 24, 1024, 744}), QPoint(1280, 24));   // a second screen
}

// The documented place (left 250, top 350) with width 1108 leaves 78 px off a 1280 screen.
TEST_F(Placement, TheSoundWindowIsMovedOntoTheScreen) {
    OverrideAvailableGeometry(QRect(0, 0, 1280, 1024));
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
