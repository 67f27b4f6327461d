// The controller's windows over its starts: a first start puts them where Glimmora's first place
// leaves them whole, later starts put a saved place back to the pixel, and a window minimised
// comes back from its tool-bar button.
#include "common/ini_file.h"
#include "common/ui/window_placement.h"
#include "core/instance_guard.h"
#include "core/seq_file.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "core/ui/controller_windows.h"
#include "core/ui/form_maim.h"
#include "dmx/ui/form_visual.h"
#include "playback/ui/form_sound.h"
#include "sequencer/ui/form_sequenser.h"
#include "ui/simulated_interface_test.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace spirelo;

namespace {

// The controller started as the program starts it, over a program folder of its own.
struct Starts : test::SimulatedInterfaceTest {
    void SetUp() override {
        setenv("SPIRELO_AUDIO", "null", 1);
        SimulatedInterfaceTest::SetUp();
        auto& guard = InstanceGuardInstance();
        guard.setGuardFile((dir / "twice.ini").string());
        ASSERT_EQ(guard.acquire(), InstanceGuard::Result::Acquired);
    }
    void TearDown() override {
        end();
        InstanceGuardInstance().release();
        InstanceGuardInstance().setGuardFile(InstanceGuardFile());
        SimulatedInterfaceTest::TearDown();
    }
    void start() {
        CreateControllerWindows();
        FormMaim->show();
        QApplication::processEvents();
    }
    void end() {
        if (FormMaim) FormMaim->close();
        DestroyControllerWindows();
    }
    // The settings the demo show brings: its files, no start counted yet; its sequencer file
    // shows the sound window at start, at the place saved in it.
    void demoSettings() {
        ShowData& d = ShowDataInstance();
        ResetShowData(d);
        d.sNameFileSeq = Path("demo.seq");
        d.ProgramFlags[1] = 1;
        d.ProgramOptions[8] = kToolBarBand;
        d.ProgramOptions[9] = 0;
        ASSERT_TRUE(SaveSeqFile(d));
        IniFile ini(SettingsFilePath());
        ini.writeString("AreaFile", "LastFileSeq", Path("demo.seq"));
        ini.writeString("AreaFile", "LastFileTrack", Path("demo.trk"));
        ASSERT_TRUE(ini.save());
    }
    static QList<QWidget*> shownWindows() {
        QList<QWidget*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip) shown << w;
        return shown;
    }
};

}  // namespace

// Glimmora works its first place out on its own (the visualiser's window test checks that it
// takes it): none of the controller's windows may lie there, shown or not.
TEST_F(Starts, FirstPlacesLeaveGlimmoraWholeOn1280x1024) {
    const Box screen{0, 0, 1280, 1024};
    for (bool demo : {false, true}) {
        SCOPED_TRACE(demo ? "the demo's settings" : "no settings");
        if (demo) demoSettings();
        start();
        EXPECT_TRUE(ShowDataInstance().FirstStart);
        // The platform's frames count, as a window manager's would.
        const FrameMargins m = MarginsOf(FormMaim);
        const Box glimmora = VisualiserFirstFrame(screen, m);
        EXPECT_EQ(ToBox(FormMaim->frameGeometry()), (Box{0, 0, 1280, kToolBarClientHeight + m.down()}))
            << "docked at the top, title bar and all";
        EXPECT_EQ(FormSound->isVisible(), demo);
        EXPECT_EQ(FormSound->pos(), QPoint(0, kToolBarBand)) << "the frame's place, shown or not";
        QList<QWidget*> windows = shownWindows();
        if (!windows.contains(FormSound)) windows << FormSound;   // opened later from its button
        for (QWidget* w : windows) {
            // A window not shown yet has no frame: it gets the shown ones'.
            const Box frame{w->x(), w->y(), w->width() + m.across(), w->height() + m.down()};
            EXPECT_EQ(OverlapArea(frame, glimmora), 0) << w->metaObject()->className();
            EXPECT_EQ(KeepInside(frame, screen), frame) << w->metaObject()->className() << " lies on the screen";
        }
        EXPECT_EQ(OverlapArea(ToBox(FormMaim->frameGeometry()), ToBox(FormSound->frameGeometry())), 0);
        end();
        std::filesystem::remove(SettingsFilePath());
    }
}

// The sound window's place is saved with the project: after the operator moved it, every later
// start puts it back there, to the pixel, and a start never takes the first place again.
TEST_F(Starts, ASavedPlaceComesBackUnchangedOverThreeStarts) {
    demoSettings();
    start();
    FormSound->move(37, 411);
    ASSERT_TRUE(QTest::qWaitFor([] { return ShowDataInstance().ProgramOptions[9] == 37; }, 30000))
        << "the window's timer keeps its place for the save";
    FormMaim->SpeedButtonSaveFile->click();
    end();
    for (int n = 2; n <= 4; ++n) {
        start();
        EXPECT_FALSE(ShowDataInstance().FirstStart);
        EXPECT_EQ(FormSound->pos(), QPoint(37, 411)) << "start " << n;
        FormMaim->SpeedButtonSaveFile->click();
        end();
    }
}

// A first start closed without a save of the project leaves no sequencer file, which is where
// the sound window's place is kept: the next start must not put it at the reset place, over the
// place Glimmora took at its own first start.
TEST_F(Starts, WithoutASavedProjectTheSoundWindowKeepsItsFirstPlace) {
    start();
    end();
    ASSERT_FALSE(std::filesystem::exists(ShowDataInstance().sNameFileSeq));
    start();
    EXPECT_FALSE(ShowDataInstance().FirstStart);
    EXPECT_EQ(FormSound->pos(), QPoint(0, kToolBarBand));
}

TEST_F(Starts, AMinimisedWindowComesBackFromItsButton) {
    demoSettings();
    start();
    struct Case { QWidget* window; QToolButton* button; } cases[] = {
        {FormSound, FormMaim->SpeedButtonWindowSound},
        {FormSequenser, FormMaim->SpeedButtonWindowSequenser},
        {FormVisual, FormMaim->SpeedButtonFormTest},
    };
    for (const Case& c : cases) {
        c.window->show();
        c.window->setWindowState(c.window->windowState() | Qt::WindowMinimized);
        ASSERT_TRUE(c.window->isMinimized());
        c.button->click();
        EXPECT_FALSE(c.window->isMinimized()) << c.window->metaObject()->className();
        EXPECT_TRUE(c.window->isVisible());
    }
}
