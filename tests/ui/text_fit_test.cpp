// Every controller window, created as the program creates it, shows each text of its labels,
// check boxes, radio buttons, buttons and group titles whole. Later windows are walked the same
// way, so a control added too narrow for its text fails here.
#include "common/ui/text_fit.h"
#include "core/instance_guard.h"
#include "core/show_data.h"
#include "core/ui/controller_windows.h"
#include "dmx/ui/form_visual.h"
#include "platform/d2xx_simulated.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "sequencer/ui/area_render.h"
#include "tests/ui/text_fit_check.h"
#include "ui/simulated_interface_test.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

// The live-data sections the main window opens are removed with the folder.
struct ControllerTexts : test::SimulatedInterfaceTest {
    void SetUp() override {
        setenv("SPIRELO_AUDIO", "null", 1);
        SimulatedInterfaceTest::SetUp();
        auto& guard = InstanceGuardInstance();
        guard.setGuardFile((dir / "twice.ini").string());
        ASSERT_EQ(guard.acquire(), InstanceGuard::Result::Acquired);
    }
    void TearDown() override {
        DestroyControllerWindows();
        InstanceGuardInstance().release();
        InstanceGuardInstance().setGuardFile(InstanceGuardFile());
        SimulatedInterfaceTest::TearDown();
    }
};

}  // namespace

TEST_F(ControllerTexts, EveryTextOfEveryWindowIsWhole) {
    CreateControllerWindows();
    auto check = [](QWidget* w) {
        const QStringList cut = text_fit_check::CutTextsOnEveryPage(w);
        EXPECT_TRUE(cut.isEmpty()) << w->metaObject()->className() << " cuts " << cut.size() << " text(s):\n  "
                                   << cut.join("\n  ").toStdString();
        w->hide();
    };
    // Every window the creations made, whoever made it; menus and tips are Qt's to size.
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip || w->windowType() == Qt::Desktop))
            windows << w;
    ASSERT_GE(windows.size(), 8);
    for (QWidget* w : windows) check(w);
    // The monitor's options beside the graph show in its wide form.
    FormVisual->SpeedButtonMore->click();
    check(FormVisual);
}

// A control too narrow for its text grows to the right where that is free; beside a neighbour
// it keeps its place and size and takes a font one point smaller.
TEST(FitTexts, WidensInPlaceOrTakesASmallerFontBesideANeighbour) {
    QWidget window;
    window.resize(600, 200);
    const QString text = "Громкость системы всегда 100%";
    auto* free = new QCheckBox(text, &window);
    free->setGeometry(4, 10, 60, 20);
    auto* boxed = new QLabel(text, &window);
    boxed->setGeometry(4, 40, 60, 16);
    auto* neighbour = new QLabel("x", &window);
    neighbour->setGeometry(70, 40, 20, 16);
    auto* fits = new QLabel("ok", &window);
    fits->setGeometry(4, 70, 60, 16);
    const qreal points = window.font().pointSizeF();

    spirelo::FitTexts(&window);
    EXPECT_EQ(free->geometry(), QRect(4, 10, free->sizeHint().width(), 20));
    EXPECT_GT(free->width(), 60);
    EXPECT_EQ(free->font().pointSizeF(), points);
    EXPECT_EQ(boxed->font().pointSizeF(), points - 1);
    EXPECT_EQ(boxed->geometry().topLeft(), QPoint(4, 40));
    EXPECT_LE(boxed->geometry().right(), 69) << "never over the neighbour";
    EXPECT_EQ(fits->geometry(), QRect(4, 70, 60, 16));
    EXPECT_EQ(fits->font().pointSizeF(), points);
}

// The area pages' information box holds its lines whole on today's fonts.
TEST(AreaInfoBox, ItsLinesStayInsideTheBox) {
    ShowData& d = ShowDataInstance();
    ResetShowData(d);
    for (AreaPage page : {AreaPage::Spots, AreaPage::Channels}) {
        // A pointer above the view makes the widest line, "Сверху: -15".
        auto render = [&](int x, int y) {
            SequencerEditState e;
            e.InfoBoxX = x;
            e.InfoBoxY = y;
            e.InfoRow = 1;
            e.InfoStep = 1;
            AreaRenderJob job;
            job.page = page;
            job.view = AreaView{0, 0, 16};
            job.face = QColor(240, 240, 240);
            job.font = QApplication::font();
            AreaPictures pics;
            RenderArea(pics.area, pics.strip, d, e, job);
            return pics.area;
        };
        // Each row's last text pixel has the box's black after it: the text ends inside the box.
        const QImage area = render(96, 96);
        int rows = 0;
        for (int y = 96 + 14; y < 96 + 100; ++y) {
            int last = -1;
            for (int x = 96 + 12; x < 96 + 160; ++x) {
                const QColor c = area.pixelColor(x, y);
                if (c.blue() > c.red() && c.blue() >= c.green()) last = x;   // sky blue, however faint
            }
            if (last < 0) continue;
            ++rows;
            EXPECT_EQ(area.pixelColor(last + 1, y), QColor(Qt::black)) << "page " << int(page) << " row " << y;
            EXPECT_EQ(area.pixelColor(last + 2, y), QColor(Qt::black)) << "page " << int(page) << " row " << y;
        }
        EXPECT_GT(rows, 20);
    }
}
