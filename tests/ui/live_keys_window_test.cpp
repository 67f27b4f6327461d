// The Keyboard page, the scene input panel and the show button panel as windows: keys reach
// the live keys once and never from text fields, the panel and the tiles swap, the input panel's
// close box returns to play mode, and the show buttons start their shows with or without pictures.
#include "core/show_data.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/live_keys.h"
#include "playback/modes.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/ui/form_button.h"
#include "playback/ui/form_input.h"
#include "playback/ui/form_sound.h"
#include "ui/program_folder_test.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

struct LiveKeysWindow : test::ProgramFolderTest<> {
    void SetUp() override {
        setenv("SPIRELO_AUDIO", "null", 1);
        ProgramFolderTest::SetUp();
        ShowData& d = ShowDataInstance();
        ShowFilesInFolder(d);
        d.ProgramFolder = dir.string() + "/";
        d.ProgramFlags[1] = 0;
        d.ProgramFlags[4] = 0;
        ResetKeyTables(d);
        ResetTrackData(d);
        d.TrackEditState[5] = 0;
        d.TrackEditState[9] = 0;
        d.KeyBankOffset = 0;
        LiveKeyStateInstance() = LiveKeyState{};
        ShowClockInstance().CurStep = 100;
        ShowTickStateInstance().FirstTickFlag = 1;
        ModeStateInstance().AudioFirstOpen = 1;
        FormSound = new TFormSound();
        FormSound->FormCreate();
        FormSound->TimerRepaint->stop();   // the tick would move CurStep and play the track
        FormSound->TimerWindow->stop();
    }
    void TearDown() override {
        delete FormButton;
        FormButton = nullptr;
        delete FormInput;
        FormInput = nullptr;
        delete FormSound;
        FormSound = nullptr;
        ProgramFolderTest::TearDown();
    }
    void keyboardMode() {
        FormSound->SpeedButtonRecTrackKeyBoard->setChecked(true);
    }
    void writePictures(int missing, bool damaged) {
        for (int i = 0; i < 12; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "%02d.bmp", i);
            if (i == missing) {
                if (damaged) std::ofstream(dir / name) << "BM not a picture";
                continue;
            }
            QImage img(20, 16, QImage::Format_RGB888);
            img.fill(QColor(255, 0, 255));
            img.setPixelColor(10, 5, QColor(0, 0, 200));
            ASSERT_TRUE(img.save(QString::fromStdString((dir / name).string()), "BMP"));
        }
    }
    void showList(int shows) {
        for (int i = 0; i < shows; ++i)
            FormSound->ListBoxShow->addItem(QString::fromStdString((dir / ("00" + std::to_string(i) + " Show" + std::to_string(i) + ".trk")).string()));
    }
};

TEST_F(LiveKeysWindow, KeysReachTheLiveKeysOnceAndNeverFromTextFields) {
    ShowData& d = ShowDataInstance();
    keyboardMode();
    d.KeySeqTable[0] = 3;
    d.KeySceneTable[0] = 20;
    d.KeyModeTable[0] = 1;

    QTest::keyClick(FormSound->editNameEffect, Qt::Key_A);
    QTest::keyClick(FormSound->edtNameTrack, Qt::Key_Space);
    EXPECT_EQ(d.TrackScene[0][100], kEmptyScene);

    QTest::keyClick(FormSound, Qt::Key_A);
    EXPECT_EQ(d.TrackScene[0][100], 20);
    EXPECT_EQ(d.TrackSeq[0][100], 3);
    EXPECT_EQ(FormSound->lbTest->text(), "Sq=4  Sc=21");

    // A list ignores "=", which then travels up to the window: one scene forward, not more.
    QTest::keyClick(FormSound->ListBoxShow, Qt::Key_Equal);
    EXPECT_EQ(LiveKeyStateInstance().LiveStep, 21);
    EXPECT_EQ(d.TrackScene[0][100], 21);
    QTest::keyClick(FormSound->GroupBoxVisKey, Qt::Key_Equal);   // ignored by every parent on its way
    EXPECT_EQ(LiveKeyStateInstance().LiveStep, 22);

    // A Cyrillic layout: the key in Q's place fires Q.
    d.KeySceneTable[16] = 40;
    QKeyEvent e(QEvent::KeyPress, 0x419, Qt::NoModifier, 24, 0, 0, QString::fromUtf8("й"));
    QApplication::sendEvent(FormSound, &e);
    EXPECT_EQ(d.KeyIndex, 16);
    EXPECT_EQ(d.TrackScene[0][100], 40);

    // A digit chooses the bank and presses its button.
    QTest::keyClick(FormSound, Qt::Key_3);
    EXPECT_EQ(d.KeyBankOffset, 64);
    EXPECT_TRUE(FormSound->SpeedButtonKit[3]->isChecked());
    EXPECT_EQ(FormSound->LabelKeyNom->text(), " 1 - 3 ");
}

TEST_F(LiveKeysWindow, ThePanelAndTheTilesSwap) {
    ShowData& d = ShowDataInstance();
    d.KeySeqTable[1] = 5;
    d.KeySceneTable[1] = 7;
    d.KeyModeTable[1] = 2;
    FormSound->TileMouseDown('B', Qt::LeftButton);
    EXPECT_FALSE(FormSound->PaintBoxAssign->isHidden());
    EXPECT_TRUE(FormSound->GroupBoxVisKey->isHidden());
    EXPECT_FALSE(FormSound->SpeedButtonCloseWIN->isHidden());
    EXPECT_EQ(d.TrackRecSeq[0], 5);
    EXPECT_EQ(d.KeyAssignedTable[1], 255);

    // A press in the command column rebinds the key and the panel shows it.
    QTest::mouseClick(FormSound->PaintBoxAssign, Qt::LeftButton, {}, QPoint(530, 100));
    EXPECT_EQ(d.KeyModeTable[1], 1);
    EXPECT_EQ(FormSound->PaintBoxAssign->Bitmap.size(), QSize(617, 355));

    const QImage before = FormSound->PaintBoxKey[1]->Bitmap.toImage();
    FormSound->SpeedButtonCloseWINClick();
    EXPECT_NE(FormSound->PaintBoxKey[1]->Bitmap.toImage(), before);   // the tile shows the new binding
    EXPECT_TRUE(FormSound->PaintBoxAssign->isHidden());
    EXPECT_FALSE(FormSound->GroupBoxVisKey->isHidden());

    // With "+1" down a tile press binds the next scene and leaves the tiles in place.
    FormSound->sbPlusScenaRec->setChecked(true);
    FormSound->TileMouseDown('C', Qt::LeftButton);
    EXPECT_TRUE(FormSound->PaintBoxAssign->isHidden());
    EXPECT_EQ(d.KeySceneTable[2], 8);
    // Choosing a kit raises "+1" and returns to bank 1.
    d.KeyBankOffset = 96;
    FormSound->RadioGroupKitKey->setItemIndex(2);
    FormSound->RadioGroupKitKeyClick();
    EXPECT_FALSE(FormSound->sbPlusScenaRec->isChecked());
    EXPECT_EQ(d.TrackEditState[9], 2);
    EXPECT_EQ(d.KeyBankOffset, 0);
    EXPECT_EQ(FormSound->LabelKeyNom->text(), "3 - 1");

    // A track load changes the kit behind the page's back; showing the page shows it.
    FormSound->PageControl->setCurrentIndex(1);
    d.TrackEditState[9] = 5;
    FormSound->PageControl->setCurrentIndex(2);
    EXPECT_EQ(FormSound->RadioGroupKitKey->itemIndex(), 5);
    EXPECT_EQ(FormSound->LabelKeyNom->text(), " 6 - 1 ");
}

TEST_F(LiveKeysWindow, BankClearAsksAndPaintsTheTiles) {
    ShowData& d = ShowDataInstance();
    messages->answers = {Answer::Yes};
    FormSound->sbClearKeyBufClick();
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(d.KeySceneTable[31], 254);
    EXPECT_EQ(d.KeyModeTable[0], 1);   // "Scena to DMX" is chosen at start
    FormSound->sbKeyCopyClick();
    EXPECT_TRUE(FormSound->sbKeyPaste->isEnabled());
}

TEST_F(LiveKeysWindow, InputPanelCloseBoxReturnsToPlayModeAndHideDoesNot) {
    FormInput = new TFormInput();
    FormInput->FormCreate();
    EXPECT_TRUE(FormInput->tmr->isActive());
    EXPECT_EQ(FormInput->pgc->tabPosition(), QTabWidget::West);
    FormSound->SpeedButtonRgbRec->click();
    EXPECT_TRUE(FormInput->isVisible());
    FormInput->hide();
    EXPECT_TRUE(FormSound->SpeedButtonRgbRec->isChecked());
    FormInput->show();
    FormInput->close();
    EXPECT_TRUE(FormSound->sbPlayTrack->isChecked());
    EXPECT_FALSE(FormInput->isVisible());
}

TEST_F(LiveKeysWindow, InputPanelRecordsWhileTheLeftButtonIsHeld) {
    ShowData& d = ShowDataInstance();
    FormInput = new TFormInput();
    FormInput->FormCreate();
    FormInput->ScrollBarSeqInput->setValue(4);
    FormInput->ScrollBarInputScena->setValue(191);
    EXPECT_EQ(FormInput->Labelseq->text(), "Sequenser 5");
    EXPECT_EQ(FormInput->Labelcoda->text(), "255");
    FormInput->pbScenesMouseDown(Qt::RightButton, 1000);
    EXPECT_EQ(d.TrackScene[0][100], kEmptyScene);
    FormInput->pbScenesMouseDown(Qt::LeftButton, 1000);
    EXPECT_EQ(d.TrackScene[0][100], 253);
    EXPECT_EQ(d.TrackSeq[0][100], 4);
    EXPECT_EQ(d.TrackCommand[0][100], kCmdSetScene);
    FormInput->pbScenesMouseMove(Qt::LeftButton, 5000);   // a captured drag past the right edge
    EXPECT_EQ(d.TrackScene[0][100], 254);
    // The colour page: bare moves only pick a colour.
    d.EditorSettings[9] = 99;
    ShowClockInstance().CurStep = 101;
    FormInput->imgMouseMove(Qt::NoButton, 200, 100);
    EXPECT_EQ(FormInput->shp1->brushColor(), 144u << 16);
    EXPECT_EQ(d.TrackScene[0][101], kEmptyScene);
    FormInput->imgMouseMove(Qt::LeftButton, 16, 100);
    EXPECT_EQ(d.TrackScene[0][101], 192);
    EXPECT_EQ(d.TrackSeq[0][101], 31);
}

TEST_F(LiveKeysWindow, ShowButtonsFillTheScreenAndStartTheirShows) {
    writePictures(5, false);
    showList(3);
    ShowData& d = ShowDataInstance();
    d.AquelMode = 3;
    FormButton = new TFormButton();
    FormButton->FormCreate();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(FormButton->size(), screen.size());
    EXPECT_EQ(FormButton->pos(), QPoint(0, 0));
    EXPECT_EQ(FormButton->windowTitle(), "CREATED PROGRAMMS");
    EXPECT_EQ(FormButton->ButtonNameLabels[1]->text(), "Show1");
    EXPECT_EQ(FormButton->ButtonNameLabels[3]->text(), "");
    EXPECT_EQ(FormButton->ButtonShapes[11]->toolTip(), "Button12");
    EXPECT_TRUE(FormButton->ButtonImages[5]->isHidden());
    EXPECT_FALSE(FormButton->ButtonImages[4]->isHidden());
    // The bottom-left colour is clear, the drawn pixel is kept.
    EXPECT_EQ(qAlpha(FormButton->ButtonImages[4]->image().pixel(0, 15)), 0);
    EXPECT_EQ(qAlpha(FormButton->ButtonImages[4]->image().pixel(10, 5)), 255);

    QTest::mouseClick(FormButton->ButtonNameLabels[1], Qt::LeftButton);
    EXPECT_EQ(d.ProgramOptions[24], 1);
    EXPECT_EQ(FormSound->ListBoxShow->currentRow(), 1);
    EXPECT_EQ(FormButton->ButtonShapes[1]->brushColor(), 0xFFFF00u);
    EXPECT_EQ(FormButton->ButtonShapes[0]->brushColor(), 0xC0DCC0u);
    EXPECT_EQ(d.AquelMode, 3);
    QTest::mouseClick(FormButton->ButtonShapes[4], Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(FormButton->SelectedButton, 1);

    // A renamed list shows when the window is shown again.
    FormSound->ListBoxShow->item(0)->setText("/x/001 Другое.trk");
    FormButton->show();
    EXPECT_EQ(FormButton->ButtonNameLabels[0]->text(), "Другое");
}

TEST_F(LiveKeysWindow, ShowButtonsWithAnEmptyListAndADamagedPicture) {
    writePictures(5, true);
    ShowData& d = ShowDataInstance();
    d.ProgramOptions[24] = 0;
    FormButton = new TFormButton();
    FormButton->FormCreate();
    EXPECT_TRUE(FormButton->ButtonImages[5]->isHidden());
    EXPECT_EQ(FormButton->ButtonNumberLabels[5]->text(), "6");
    FormButton->onClickButton(0);
    EXPECT_EQ(FormButton->SelectedButton, -1);
    showList(6);
    FormButton->onClickButton(5);
    EXPECT_EQ(FormButton->SelectedButton, 5);
    EXPECT_EQ(d.ProgramOptions[24], 5);
}

}  // namespace
