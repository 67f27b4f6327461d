// The sound window's Tracks and Effects pages: record track and views, recording modes and the
// scene input panel, clearing, loading a show, the effect timeline drag and the record view.
#include "playback/ui/form_sound.h"

#include "core/show_data.h"
#include "core/text_routines.h"
#include "core/track_file.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/modes.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/sound_view.h"
#include "playback/track_edit.h"
#include "playback/ui/form_input.h"
#include "ui/program_folder_test.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

struct TrackPages : test::ProgramFolderTest<> {
    TFormSound* w = nullptr;

    void SetUp() override {
        setenv("SPIRELO_AUDIO", "null", 1);
        ProgramFolderTest::SetUp();
        ShowData& d = ShowDataInstance();
        ResetShowData(d);
        ShowFilesInFolder(d);
        d.ProgramFlags[1] = 0;
        d.TrackEditState[4] = 1;
        ShowTickStateInstance().FirstTickFlag = 1;
        ModeStateInstance().AudioFirstOpen = 1;
    }
    void TearDown() override {
        delete FormSound;
        FormSound = nullptr;
        delete FormInput;
        FormInput = nullptr;
        ProgramFolderTest::TearDown();
    }
    void create() {
        FormSound = w = new TFormSound();
        w->FormCreate();
        // Timers off: the test drives the handlers itself.
        w->TimerRepaint->stop();
        w->TimerWindow->stop();
        w->TimerGistoRate->stop();
    }
    static void Name(int t, const char* text) {
        std::memset(ShowDataInstance().TrackNames[t], ' ', kNameLen);
        std::memcpy(ShowDataInstance().TrackNames[t], text, std::strlen(text));
    }
};

TEST_F(TrackPages, RecordBarStepShowsNameSwitchesOnInRecordModesAndViewsFollow) {
    ShowData& d = ShowDataInstance();
    d.TrackEditState[5] = 3;
    Name(4, "Cascade");
    Name(5, "  Arc");
    create();
    ShowTickState& st = ShowTickStateInstance();
    SetAllTracks(st, false);
    w->SpeedButtonAllOffClick();
    w->ScrollBarTrackNombRecs->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(d.TrackEditState[5], 4);
    EXPECT_EQ(w->edtNameTrack->text(), "Cascade");
    EXPECT_EQ(st.TrackOn[5], 0);   // play mode: not switched on
    EXPECT_EQ(w->ScrollBarTrackNomb_A->value(), 3);
    EXPECT_EQ(w->ScrollBarTrackNomb_B->value(), 2);
    EXPECT_EQ(w->ScrollBarTrackNomb_C->value(), 1);
    EXPECT_EQ(d.TrackEditState[8], 1);

    w->SpeedButtonTrackMouseRec->click();
    EXPECT_EQ(st.TrackOn[5], 1);
    w->ScrollBarTrackNombRecs->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(st.TrackOn[6], 1);
    EXPECT_EQ(w->edtNameTrack->text(), "  Arc");   // leading blanks kept, name unchanged
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.TrackNames[5]), kNameLen), "  Arc           ");
    w->edtNameTrack->setText("Jet");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.TrackNames[5]), kNameLen), "Jet             ");
}

TEST_F(TrackPages, NamesTypedAfterALoadAreStoredPaddedAndLoadedNamesKeepTheirBytes) {
    ShowData& d = ShowDataInstance();
    d.TrackEditState[5] = 0;
    d.TrackEditState[12] = 0;
    Name(0, "");
    Name(1, "  Arc");
    std::memset(d.EffectNames[0], ' ', kNameLen);
    ASSERT_TRUE(SaveTrackFile(d));
    std::memset(d.TrackNames, 0, sizeof d.TrackNames);
    ASSERT_EQ(OpenTrackFile(d), FileLoad::Loaded);
    create();
    w->show();
    // A click at the end of each box, then the keys, as the operator types.
    for (QLineEdit* edit : {w->edtNameTrack, w->editNameEffect}) {
        EXPECT_EQ(edit->text(), "");
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
        QTest::keyClicks(edit, "Show1");
    }
    w->ScrollBarTrackNombRecs->setValue(1);
    w->ScrollBarTrackNombRecsScroll();
    EXPECT_EQ(w->edtNameTrack->text(), "  Arc");
    ASSERT_TRUE(SaveTrackFile(d));
    std::memset(d.TrackNames, 0, sizeof d.TrackNames);
    std::memset(d.EffectNames, 0, sizeof d.EffectNames);
    ASSERT_EQ(OpenTrackFile(d), FileLoad::Loaded);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.TrackNames[0]), kNameLen), "Show1           ");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.EffectNames[0]), kNameLen), "Show1           ");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.TrackNames[1]), kNameLen), "  Arc           ");
}

TEST_F(TrackPages, WithTheFocusOptionTheEffectNameKeepsTheKeysAcrossModeTimerTicks) {
    ShowData& d = ShowDataInstance();
    create();
    w->show();
    w->SpeedButtonFocus->click();
    ASSERT_TRUE(w->SpeedButtonFocus->isChecked());
    w->editNameEffect->setFocus();
    w->editNameEffect->clear();
    // The keys go where the window's focus is, as the keyboard sends them.
    for (const char* part : {"Ra", "te", "1"}) {
        QTest::keyClicks(w->focusWidget(), part);
        w->TimerWindowTimer();
    }
    EXPECT_EQ(w->focusWidget(), w->editNameEffect);
    EXPECT_EQ(w->editNameEffect->text(), "Rate1");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.EffectNames[0]), kNameLen), "Rate1           ");

    // With no control focused the form itself takes the keys, for the live keys.
    w->editNameEffect->clearFocus();
    w->TimerWindowTimer();
    EXPECT_EQ(w->focusWidget(), w);
}

TEST_F(TrackPages, ColourModeShowsTheInputPanelPlayModeAndPageSwitchCloseIt) {
    ShowData& d = ShowDataInstance();
    d.TrackEditState[5] = 2;
    create();
    FormInput = new TFormInput();
    FormInput->FormCreate();
    w->SpeedButtonRgbRec->click();
    EXPECT_TRUE(FormInput->isVisible());
    EXPECT_EQ(d.TrackRecKind[2], 1);
    EXPECT_EQ(ShowTickStateInstance().TrackOn[3], 1);
    w->sbPlayTrack->click();
    EXPECT_FALSE(FormInput->isVisible());
    w->SpeedButtonRgbRec->click();
    w->SpeedButtonTrackMouseRec->click();
    EXPECT_FALSE(FormInput->isVisible());
    w->SpeedButtonRgbRec->click();
    w->PageControl->setCurrentIndex(4);
    EXPECT_FALSE(FormInput->isVisible());
    EXPECT_TRUE(w->sbPlayTrack->isChecked());
}

TEST_F(TrackPages, ClearAllTracksShowsTheResetStateAndKeepsTheSchedule) {
    ShowData& d = ShowDataInstance();
    for (int i = 5; i <= 8; ++i) d.TrackEditState[i] = 9;
    d.ScheduleHour[3] = 7;
    d.TrackLevel[9][40] = 200;
    create();
    messages->answers = {Answer::No, Answer::Yes};
    w->SpeedButtonTrackNew->click();
    EXPECT_EQ(d.TrackLevel[9][40], 200);
    w->SpeedButtonTrackNew->click();
    EXPECT_EQ(messages->log.back().text, "You wish delete all tracks\n\rYou sure?");
    EXPECT_EQ(d.TrackLevel[9][40], 0);
    EXPECT_EQ(w->ScrollBarTrackNombRecs->value(), 0);
    EXPECT_EQ(w->ScrollBarTrackNomb_A->value(), 1);
    EXPECT_EQ(w->ScrollBarTrackNomb_B->value(), 2);
    EXPECT_EQ(w->ScrollBarTrackNomb_C->value(), 3);
    EXPECT_EQ(d.ScheduleHour[3], 7);
}

TEST_F(TrackPages, ShowFromTheListShowsItsRecordAndViewTracks) {
    ShowData& d = ShowDataInstance();
    const std::string path = (dir / "second.trk").string();
    d.sNameFileProject = path;
    d.TrackEditState[5] = 7;
    d.TrackEditState[6] = 4;
    d.TrackEditState[7] = 5;
    d.TrackEditState[8] = 6;
    Name(7, "Eighth");
    ASSERT_TRUE(SaveTrackFile(d));
    ResetTrackData(d);
    Name(7, "");
    d.sNameFileProject = (dir / "show.trk").string();
    create();
    w->ListBoxShow->addItem(QString::fromStdString(path));
    d.ProgramOptions[24] = 0;
    w->PlayListBoxCurrent();
    EXPECT_EQ(w->ScrollBarTrackNombRecs->value(), 7);
    EXPECT_EQ(w->ScrollBarTrackNomb_A->value(), 4);
    EXPECT_EQ(w->ScrollBarTrackNomb_B->value(), 5);
    EXPECT_EQ(w->ScrollBarTrackNomb_C->value(), 6);
    EXPECT_EQ(w->edtNameTrack->text(), "Eighth");
}

TEST_F(TrackPages, TimelineDragSetsSpanAndCursor) {
    ShowData& d = ShowDataInstance();
    create();
    ShowClock& clk = ShowClockInstance();
    clk.BytesPerStep = 8820;
    clk.BytesPerPixel = 10911;
    d.EffectKind[3] = 2;
    d.EffectStart[3] = 100;
    d.EffectFinish[3] = 300;
    w->PageControl->setCurrentIndex(4);
    const int y = 3 * 6 + 2;
    QTest::mousePress(w->PaintBoxEffect, Qt::LeftButton, {}, QPoint(160, y));
    EXPECT_EQ(w->ScrollBarNomberEffect->value(), 3);
    EXPECT_EQ(w->PaintBoxEffect->cursor().shape(), Qt::SizeAllCursor);
    QMouseEvent move(QEvent::MouseMove, QPointF(210, y), w->PaintBoxEffect->mapToGlobal(QPointF(210, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->PaintBoxEffect, &move);
    w->DrawEffectView();   // the lane drawn where the drag has it
    QTest::mouseRelease(w->PaintBoxEffect, Qt::LeftButton, {}, QPoint(210, y));
    EXPECT_EQ(d.EffectStart[3], 161);
    EXPECT_EQ(d.EffectFinish[3], 361);
    EXPECT_EQ(w->PaintBoxEffect->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(w->LabelstartEffect->text().toStdString(), "Start  " + timeTostr(161));
    // near the start end: resize cursor
    QTest::mousePress(w->PaintBoxEffect, Qt::LeftButton, {}, QPoint(EffectStepToX(161, clk) + 2, y));
    EXPECT_EQ(w->PaintBoxEffect->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseRelease(w->PaintBoxEffect, Qt::LeftButton, {}, QPoint(EffectStepToX(161, clk) + 2, y));
}

TEST_F(TrackPages, EffectPanelWritesOnlyOnUserScroll) {
    ShowData& d = ShowDataInstance();
    d.TrackEditState[12] = 5;
    d.EffectKind[5] = 1;
    d.EffectTime[5] = 0;
    d.EffectStart[5] = 10;
    d.EffectFinish[5] = 50;
    create();
    EXPECT_EQ(w->ScrollBarNomberEffect->value(), 5);
    EXPECT_EQ(w->ScrollBarEffectTime->value(), 1);
    EXPECT_EQ(d.EffectTime[5], 0);   // shown as 1, stored 0 until the user scrolls
    w->ScrollBarEffectTime->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(d.EffectTime[5], 2);
    EXPECT_EQ(w->lblEffTime->text(), "Rate  2");
    // kind 0: the bar writes nothing
    d.EffectKind[5] = 0;
    w->ScrollBarEffectTime->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(d.EffectTime[5], 2);
}

TEST_F(TrackPages, RecordViewPaintsAPointInItsSceneColour) {
    ShowData& d = ShowDataInstance();
    create();
    ShowClock& clk = ShowClockInstance();
    clk.CurStep = 400;
    d.TrackEditState[5] = 0;
    for (int s = 370; s <= 430; ++s) {
        d.TrackSeq[0][s] = 31;
        d.TrackScene[0][s] = 7;
        d.TrackLevel[0][s] = 155;
    }
    d.SequencerStepData[31][7][0] = 200;
    d.SequencerStepData[31][7][1] = 10;
    d.SequencerStepData[31][7][2] = 10;
    w->DrawTracks();
    const QImage img = w->TrackRecBitmap.toImage();
    const int x = 16 + 20 * 25, y = (255 - 155) / 2;
    EXPECT_EQ(img.pixelColor(x + 2, y + 3), QColor(200, 10, 10));
    EXPECT_EQ(img.pixelColor(x + 4, y + 3), QColor(0xC0, 0xC0, 0xC0));   // silver edge
}

}  // namespace
