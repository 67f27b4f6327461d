#include "common/ui/colour_dialog.h"
#include "core/show_data.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "sequencer/scene_editor.h"
#include "sequencer/sequencer_store.h"
#include "sequencer/ui/area_widgets.h"
#include "sequencer/ui/form_sequenser.h"
#include "sequencer/ui/paint_box.h"
#include "ui/program_folder_test.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

class SequencerAreas : public test::ProgramFolderTest<> {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        ShowData& d = data();
        ResetShowData(d);
        ClearDmxBuffers(d);
        d.sNameFileSeq = (dir / "show.seq").string();
        d.SequencerViewPositions[0] = 0;
        d.SequencerViewPositions[64] = 0;
        SequencerEditInstance() = SequencerEditState{};
        QLocale::setDefault(QLocale::c());
        ColourDialog::SetAnswerer([this](const ColourDialog& dlg) -> std::optional<QColor> {
            opened = dlg.Color;
            return colourAnswer;
        });
    }
    void TearDown() override {
        delete FormSequenser;
        FormSequenser = nullptr;
        ColourDialog::SetAnswerer(nullptr);
        ProgramFolderTest::TearDown();
    }
    TFormSequenser& Create(int page = 0) {
        FormSequenser = new TFormSequenser;
        FormSequenser->FormCreate();
        FormSequenser->PageControlmain->setCurrentIndex(page);
        return *FormSequenser;
    }
    ShowData& data() { return ShowDataInstance(); }
    SequencerEditState& edit() { return SequencerEditInstance(); }
    static QPoint Cell(int c, int r) { return {16 * c + 4, 16 * r + 8}; }
    // A move with no button held, sent straight to the box (QTest moves the cursor instead).
    static void Hover(QWidget* w, QPoint pos) {
        QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static QColor Pixel(const QImage& img, QPoint p) { return img.pixelColor(p); }

    std::optional<QColor> colourAnswer;
    QColor opened;
};

TEST_F(SequencerAreas, RgbPictureShowsCellsWordBarsAndTheCurrentStep) {
    ShowData& d = data();
    for (int k = 0; k < 6; ++k) d.SequencerChannelMask[0][k] = 1;    // spots 0 and 1
    const uint16_t words[] = {0, 1, 2, 3, 5, 1000};
    for (int c = 0; c < 6; ++c) d.SequencerStepWords[0][c] = words[c];
    TFormSequenser& w = Create();
    w.ScrollBarScenaRun->setValue(7);
    w.ShapeColorMouseDown(w.ShapeY);
    QTest::mousePress(w.PaintBoxSpots, Qt::LeftButton, {}, Cell(6, 1));
    QTest::mouseMove(w.PaintBoxSpots, Cell(7, 1));
    QTest::mouseRelease(w.PaintBoxSpots, Qt::LeftButton, {}, Cell(7, 1));
    EXPECT_EQ(d.SequencerStepData[0][6][3], 255);
    EXPECT_EQ(d.SequencerStepData[0][7][4], 255);

    const QImage& img = w.SpotAreaImage;
    EXPECT_EQ(Pixel(img, Cell(6, 1)), QColor(255, 255, 0));
    EXPECT_EQ(Pixel(img, Cell(6, 0)), QColor(0, 0, 0));               // driven, level 0
    EXPECT_EQ(Pixel(img, Cell(6, 2)), w.palette().color(QPalette::Button));   // undriven
    const QColor bars[] = {QColor(255, 255, 0), QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255)};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Pixel(img, {16 * c + 8, 100}), bars[c]) << c;
        EXPECT_EQ(Pixel(img, {16 * c + 9, 300}), bars[c]) << c;
        EXPECT_NE(Pixel(img, {16 * c + 10, 300}), bars[c]) << c;
    }
    EXPECT_EQ(Pixel(img, {16 * 4 + 8, 300}), w.palette().color(QPalette::Button)) << "word 5 draws no bar";
    EXPECT_EQ(Pixel(img, {16 * 7 + 8, 300}), QColor(0, 255, 255));
    EXPECT_EQ(Pixel(img, {16 * 7 + 9, 300}), QColor(0, 255, 255));
    EXPECT_EQ(Pixel(w.SpotStripImage, {8, 16 * 1 + 8}), QColor(192, 192, 192)) << "Off shows silver";

    // The information box stays inside the picture.
    Hover(w.PaintBoxSpots, {512, 512});
    EXPECT_EQ(edit().InfoBoxX, 413);
    EXPECT_EQ(edit().InfoBoxY, 412);
}

TEST_F(SequencerAreas, ChannelPictureShowsLevelsAndAOnePixelStepBar) {
    ShowData& d = data();
    for (int c = 0; c < 4; ++c) d.SequencerChannelMask[0][c] = 1;
    const uint8_t levels[] = {0, 1, 254, 255};
    for (int c = 0; c < 4; ++c) d.SequencerStepData[0][3][c] = levels[c];
    d.SequencerStepWords[0][2] = kWordLoop;
    TFormSequenser& w = Create(1);
    w.ScrollBarScenaRun->setValue(5);
    Hover(w.PaintBoxKlapsns, {400, 400});   // the information box away from the cells read
    const QImage& img = w.KlapanAreaImage;
    const QColor expected[] = {QColor(0, 0, 0), QColor(0, 1, 254), QColor(0, 254, 1), QColor(255, 255, 255)};
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Pixel(img, Cell(3, r)), expected[r]) << r;
    EXPECT_EQ(Pixel(img, {16 * 2 + 8, 512}), QColor(0, 128, 0)) << "word bars reach the bottom edge";
    EXPECT_EQ(Pixel(img, {16 * 5 + 8, 300}), QColor(0, 255, 255));
    EXPECT_NE(Pixel(img, {16 * 5 + 9, 300}), QColor(0, 255, 255));

    Hover(w.PaintBoxKlapsns, {512, 512});
    EXPECT_EQ(edit().InfoBoxX, 413);
    EXPECT_EQ(edit().InfoBoxY, 413);
}

TEST_F(SequencerAreas, PressOnAnUndrivenRowOrTheStripMakesTheStepCurrent) {
    ShowData& d = data();
    d.SequencerChannelMask[0][0] = 1;   // spot 0 only
    TFormSequenser& w = Create();
    for (QPoint p : {Cell(9, 3), QPoint(16 * 9 + 4, 3)}) {
        w.CheckBoxEnableTempo->setChecked(true);
        d.SequencerCurrentStep[0] = 0;
        w.ScrollBarScenaRun->setValue(0);
        QTest::mouseClick(w.PaintBoxSpots, Qt::LeftButton, {}, p);
        EXPECT_EQ(d.SequencerCurrentStep[0], 9);
        EXPECT_EQ(w.ScrollBarScenaRun->value(), 9);
        EXPECT_FALSE(w.CheckBoxEnableTempo->isChecked());
    }
    for (int t = 0; t < kSequencerSteps; ++t)
        for (int c = 0; c < kChannels; ++c) ASSERT_EQ(d.SequencerStepData[0][t][c], 0);

    // A right click in the strip toggles the step word.
    w.ScrollBarSeqSpeed->setValue(700);
    QTest::mouseClick(w.PaintBoxSpots, Qt::RightButton, {}, {16 * 9 + 4, 3});
    w.PopupMenuRGB->hide();
    EXPECT_EQ(d.SequencerStepWords[0][9], kWordLoop);
}

TEST_F(SequencerAreas, RectangleToolFillsOnTheMoveAfterTheSecondPress) {
    ShowData& d = data();
    for (int c = 0; c < 30; ++c) d.SequencerChannelMask[0][c] = 1;
    TFormSequenser& w = Create();
    w.SpeedButtonRGBrect->click();
    w.ShapeColorMouseDown(w.ShapeG);
    QTest::mouseClick(w.PaintBoxSpots, Qt::LeftButton, {}, Cell(1, 1));
    Hover(w.PaintBoxSpots, Cell(2, 2));
    QTest::mouseClick(w.PaintBoxSpots, Qt::LeftButton, {}, Cell(3, 2));
    EXPECT_EQ(d.SequencerStepData[0][2][4], 0);
    Hover(w.PaintBoxSpots, Cell(3, 3));
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r) EXPECT_EQ(d.SequencerStepData[0][c][3 * r + 1], 255) << c << " " << r;
    EXPECT_TRUE(w.SpeedButtonRGBpen->isChecked());
    EXPECT_EQ(Pixel(w.SpotAreaImage, Cell(2, 2)), QColor(0, 255, 0));

    // The channel page keeps its rectangle tool.
    w.PageControlmain->setCurrentIndex(1);
    w.SpeedButtonKlapanRecy->click();
    d.EditorSettings[7] = 77;
    QTest::mouseClick(w.PaintBoxKlapsns, Qt::LeftButton, {}, Cell(5, 20));
    QTest::mouseClick(w.PaintBoxKlapsns, Qt::LeftButton, {}, Cell(6, 21));
    Hover(w.PaintBoxKlapsns, Cell(6, 22));
    EXPECT_EQ(d.SequencerStepData[0][6][21], 77);
    EXPECT_TRUE(w.SpeedButtonKlapanRecy->isChecked());
}

TEST_F(SequencerAreas, ChannelRightDragErasesAndTheMenuOpensAfterRelease) {
    ShowData& d = data();
    d.SequencerChannelMask[0][4] = 1;
    for (int t = 0; t < 6; ++t) std::memset(d.SequencerStepData[0][t], 90, 12);
    TFormSequenser& w = Create(1);
    QTest::mousePress(w.PaintBoxKlapsns, Qt::RightButton, {}, Cell(0, 4));
    EXPECT_FALSE(w.PopupMenuKlapan->isVisible());
    EXPECT_EQ(d.SequencerStepData[0][0][4], 90);
    QTest::mouseMove(w.PaintBoxKlapsns, Cell(1, 5));
    QTest::mouseMove(w.PaintBoxKlapsns, Cell(2, 6));
    QTest::mouseMove(w.PaintBoxKlapsns, {700, 6 * 16 + 8});   // outside: nothing
    QTest::mouseRelease(w.PaintBoxKlapsns, Qt::RightButton, {}, Cell(2, 6));
    EXPECT_TRUE(w.PopupMenuKlapan->isVisible());
    w.PopupMenuKlapan->hide();
    Hover(w.PaintBoxKlapsns, Cell(3, 7));
    EXPECT_EQ(d.SequencerStepData[0][1][5], 0);
    EXPECT_EQ(d.SequencerStepData[0][2][6], 0);
    EXPECT_EQ(d.SequencerStepData[0][0][4], 90);
    EXPECT_EQ(d.SequencerStepData[0][3][7], 90) << "no erasing on hover after the release";
}

TEST_F(SequencerAreas, HoverInStopPreviewsTheStepOnTheFrame) {
    ShowData& d = data();
    d.SequencerChannelMask[0][0] = 1;
    for (int t = 0; t < kSequencerSteps; ++t) d.SequencerStepData[0][t][0] = uint8_t(t + 1);
    TFormSequenser& w = Create(1);
    for (auto [state, expected] : {std::pair{kRunStop, 13}, std::pair{kRunPlay, 0}, std::pair{kRunOff, 0}}) {
        d.DmxFrame[1] = 0;
        d.SequencerRunState[0] = state;
        Hover(w.PaintBoxKlapsns, Cell(12, 3));
        EXPECT_EQ(d.DmxFrame[1], expected) << int(state);
    }
}

TEST_F(SequencerAreas, CopyPastePatternAndUndo) {
    ShowData& d = data();
    d.SequencerChannelMask[0][10] = 1;
    d.SequencerChannelMask[0][12] = 1;
    d.SequencerChannelMask[3][40] = 1;
    for (int t = 0; t < 4; ++t) d.SequencerStepData[0][t][11] = uint8_t(50 + t);
    TFormSequenser& w = Create();
    SequencerEditState& e = edit();
    e.PatternFrom = 0;
    e.PatternTo = 3;
    w.SpeedButtonCopyPattern->click();
    ASSERT_TRUE(w.SpeedButtonPasteSequens->isEnabled());
    w.ScrollBarNombSeq->setValue(3);
    w.TimerUndoTimer();             // a new burst: the paste takes its own snapshot
    w.SpeedButtonPasteSequens->click();
    EXPECT_FALSE(w.SpeedButtonPasteSequens->isEnabled()) << "one copy, one paste";
    EXPECT_EQ(d.SequencerStepData[3][2][41], 52);
    ASSERT_TRUE(w.SpeedButtonUndo->isEnabled());
    w.SpeedButtonUndo->click();
    EXPECT_EQ(d.SequencerStepData[3][2][41], 0);
    EXPECT_FALSE(w.SpeedButtonUndo->isEnabled());

    // A failed copy of a whole sequencer leaves nothing to paste.
    w.ScrollBarNombSeq->setValue(0);
    w.SpeedButtonCopyPattern->click();
    ASSERT_TRUE(w.SpeedButtonPasteSequens->isEnabled());
    w.ScrollBarNombSeq->setValue(3);   // one driven channel
    w.SpeedButtonCopySequens->click();
    EXPECT_FALSE(w.SpeedButtonPasteSequens->isEnabled());
}

TEST_F(SequencerAreas, UndoWindowClosesAfterASecondOfQuiet) {
    ShowData& d = data();
    d.SequencerChannelMask[0][0] = 1;
    TFormSequenser& w = Create();
    QTest::mousePress(w.PaintBoxSpots, Qt::LeftButton, {}, Cell(0, 0));
    EXPECT_TRUE(w.TimerUndo->isActive());
    EXPECT_EQ(w.TimerUndo->interval(), 1000);
    w.ShapeColorMouseDown(w.ShapeW);
    QTest::mouseMove(w.PaintBoxSpots, Cell(1, 0));
    QTest::mouseRelease(w.PaintBoxSpots, Qt::LeftButton, {}, Cell(1, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.TimerUndo->isActive(); }, 30000));
    QTest::mousePress(w.PaintBoxSpots, Qt::LeftButton, {}, Cell(2, 0));
    QTest::mouseRelease(w.PaintBoxSpots, Qt::LeftButton, {}, Cell(2, 0));
    w.SpeedButtonUndo->click();
    EXPECT_EQ(d.SequencerStepData[0][1][0], 255) << "the earlier burst stays";
    EXPECT_EQ(d.SequencerStepData[0][2][0], 0);
}

TEST_F(SequencerAreas, PointErasersAtTheLastGridLine) {
    ShowData& d = data();
    d.SequencerViewPositions[0] = 138;
    d.SequencerViewPositions[64] = 480;
    d.SequencerChannelMask[0][510] = 1;
    d.SequencerChannelMask[0][511] = 1;
    std::memset(d.SequencerStepData[0][2], 9, kChannels);
    d.SequencerStepData[0][3][0] = 42;
    TFormSequenser& w = Create();
    QTest::mouseClick(w.PaintBoxSpots, Qt::RightButton, {}, {2 * 16 + 4, 512});
    w.PopupMenuRGB->hide();
    w.Popur_main->trigger();
    EXPECT_EQ(d.SequencerStepData[0][2][509], 9);
    EXPECT_EQ(d.SequencerStepData[0][2][510], 0);
    EXPECT_EQ(d.SequencerStepData[0][2][511], 0);
    EXPECT_EQ(d.SequencerStepData[0][3][0], 42);

    w.PageControlmain->setCurrentIndex(1);
    std::memset(d.SequencerStepData[0][2], 9, kChannels);
    QTest::mouseClick(w.PaintBoxKlapsns, Qt::RightButton, {}, {2 * 16 + 4, 512});
    w.PopupMenuKlapan->hide();
    EXPECT_EQ(edit().PointedChannel, 512);
    w.MenuItemClearPoint->trigger();
    EXPECT_EQ(d.SequencerStepData[0][2][511], 9);
    EXPECT_EQ(d.SequencerStepData[0][3][0], 42);
}

TEST_F(SequencerAreas, LevelButtonsRetuneWithTheSlider) {
    ShowData& d = data();
    TFormSequenser& w = Create(1);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::mousePress(w.SpeedButton3setInv, Qt::RightButton);
    EXPECT_TRUE(w.GroupBoxLevInv->isVisible());
    EXPECT_EQ(w.GroupBoxLevInv->y(), w.SpeedButton3setInv->y());
    EXPECT_EQ(w.ScrollBarSetLevInvs->value(), 160);
    w.ScrollBarSetLevInvs->setSliderPosition(200);   // a user move: the scroll handler runs
    EXPECT_EQ(w.SpeedButton3setInv->text(), "200");
    QTest::mousePress(w.SpeedButton5setInv, Qt::LeftButton);
    EXPECT_EQ(w.SpeedButton3setInv->text(), "200");
    EXPECT_EQ(d.EditorSettings[13], 200);
    EXPECT_EQ(d.EditorSettings[7], 64);
    EXPECT_FALSE(w.GroupBoxLevInv->isVisible());
    EXPECT_EQ(w.SpeedButton5setInv->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
}

TEST_F(SequencerAreas, ColourDialogOpensOnThePaintingColourAndCancelKeepsIt) {
    TFormSequenser& w = Create();
    w.ShapeColorMouseDown(w.ShapeV);
    const QIcon before = w.SpeedButtonRGBrect->icon();
    colourAnswer.reset();
    w.SpeedButtonRGBcolor->click();
    EXPECT_EQ(opened, QColor(255, 0, 255));
    EXPECT_EQ(w.PaintColour(), QColor(255, 0, 255));
    EXPECT_EQ(w.SpeedButtonRGBrect->icon().cacheKey(), before.cacheKey());
    colourAnswer = QColor(10, 20, 30);
    w.SpeedButtonRGBcolor->click();
    EXPECT_EQ(w.PaintColour(), QColor(10, 20, 30));
    EXPECT_EQ(w.IconImage.pixelColor(7, 7), QColor(10, 20, 30));
    EXPECT_EQ(w.IconImage.pixelColor(14, 14), QColor(128, 128, 128));
}

TEST_F(SequencerAreas, ClearAllAsksAndUndoBringsTheStoreBack) {
    ShowData& d = data();
    d.ChannelMax[5] = 100;
    d.SequencerChannelMask[0][3] = 1;
    d.SequencerChannelMask[40][3] = 1;
    d.SequencerStepData[7][9][9] = 9;
    TFormSequenser& w = Create();
    messages->answers = {Answer::No};
    w.SpeedButtonClearAllSeq->click();
    EXPECT_EQ(d.SequencerStepData[7][9][9], 9);
    messages->answers = {Answer::Yes};
    w.SpeedButtonClearAllSeq->click();
    EXPECT_EQ(messages->log.back().text, "Clear all sequensers? ");
    EXPECT_EQ(d.SequencerStepData[7][9][9], 0);
    EXPECT_EQ(d.SequencerChannelMask[0][3], 0);
    EXPECT_EQ(d.ChannelMax[5], 100);
    w.SpeedButtonUndo->click();
    EXPECT_EQ(d.SequencerStepData[7][9][9], 9);
    EXPECT_EQ(d.SequencerChannelMask[0][3], 1);
    EXPECT_EQ(d.SequencerChannelMask[40][3], 1);
}

}  // namespace
