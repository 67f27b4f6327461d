// The Tracks page: record view, views A-C, histogram, the record track and its commands, the
// track boxes and the recording modes.
#include "playback/ui/form_sound.h"

#include "common/ui/qt_helpers.h"
#include "core/show_data.h"
#include "core/text_routines.h"
#include "core/ui/form_maim.h"
#include "platform/audio.h"
#include "platform/message_service.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/live_keys.h"
#include "playback/sound_view.h"
#include "playback/track_edit.h"
#include "playback/ui/form_input.h"
#include "playback/ui/track_paint.h"

#include <QImage>

#include <algorithm>

using namespace spirelo;


// ---- Showing the stored state -------------------------------------------------------------

void TFormSound::ShowTrackEditState() {
    ShowData& d = ShowDataInstance();
    const int r = RecordTrack(d);
    ScrollBarTrackNombRecs->setValue(r);
    // The edit's change handler writes into the record track, so the bar comes first.
    edtNameTrack->setText(QString::fromStdString(NameForEdit(TrackNameText(d, r))));
    ShowTrackViewBars();
    RadioGroupKitKey->setItemIndex(CurrentKit(d));
    trckbrFFTbpm->setValue(d.TrackEditState[10]);
    trckbrGain->setValue(d.TrackEditState[11]);
    ScrollBarNomberEffect->setValue(std::clamp(d.TrackEditState[12], 0, kEffects - 1));
}

void TFormSound::ShowTrackViewBars() {
    const ShowData& d = ShowDataInstance();
    QScrollBar* views[3] = {ScrollBarTrackNomb_A, ScrollBarTrackNomb_B, ScrollBarTrackNomb_C};
    for (int v = 0; v < 3; ++v) views[v]->setValue(std::clamp(d.TrackEditState[6 + v], 0, kTracks - 2));
}

void TFormSound::ShowTrackBoxes() {
    const ShowTickState& st = ShowTickStateInstance();
    for (int t = 1; t <= kTracks; ++t)
        if (TrackCheck[t]) TrackCheck[t]->setChecked(st.TrackOn[t] != 0);
}

void TFormSound::SwitchRecordTrackOn() {
    const int r = RecordTrack(ShowDataInstance());
    ShowTickStateInstance().TrackOn[r + 1] = 1;
    if (TrackCheck[r + 1]) TrackCheck[r + 1]->setChecked(true);
}

// ---- Drawing --------------------------------------------------------------------------------

void TFormSound::DrawTracks() {
    if (TrackRecBitmap.isNull() || TrackViewBitmap.isNull()) return;
    ShowData& d = ShowDataInstance();
    ShowClock& clk = ShowClockInstance();
    {
        QPainter p(&TrackRecBitmap);
        PaintRecordView(p, RecordViewOf(d, clk, ""), TrackRecBitmap.width(), TrackRecBitmap.height());
    }
    PaintBoxTrackRec->CopyBitmap(TrackRecBitmap);
    SoundPaintBox* boxes[3] = {PaintBoxTrack_A, PaintBoxTrack_B, PaintBoxTrack_C};
    for (int v = 0; v < 3; ++v) PaintLineTrack(v, boxes[v]);
}

void TFormSound::PaintLineTrack(int view, SoundPaintBox* box) {
    ShowData& d = ShowDataInstance();
    const int t = std::clamp(d.TrackEditState[6 + view], 0, kTracks - 2);
    {
        QPainter p(&TrackViewBitmap);
        PaintWatchedView(p, WatchedViewOf(d, t, ShowClockInstance().CurStep, ""), TrackViewBitmap.width(),
                         TrackViewBitmap.height());
    }
    box->CopyBitmap(TrackViewBitmap);
}

void TFormSound::RefreshGisto() {
    ShowClock& clk = ShowClockInstance();
    if (clk.BytesPerPixel < 5 || PageControl->currentIndex() != 1 || TrackBitmap.isNull()) return;
    GistoOptions o;
    o.onlyOneTrack = SpeedButtonOnlyOneTrack->isChecked();
    o.colour = SpeedButtonColor->isChecked();
    o.currentOnTop = SpeedButtonCurretTrack->isChecked();
    o.bars = SpeedButtonGistoLine->isChecked();
    const std::vector<GistoLayer> layers =
        GistoLayersOf(ShowDataInstance(), ShowTickStateInstance(), clk.SongSteps, o, TrackBitmap.width());
    QPainter p(&TrackBitmap);
    PaintGisto(p, layers, TrackBitmap.width(), TrackBitmap.height());
}

// ---- Track selection --------------------------------------------------------------------------

void TFormSound::ScrollBarTrackNombRecsScroll() {
    ShowData& d = ShowDataInstance();
    d.TrackEditState[5] = ScrollBarTrackNombRecs->sliderPosition();
    const int r = RecordTrack(d);
    ShowTickState& st = ShowTickStateInstance();
    if (!sbPlayTrack->isChecked()) st.TrackOn[r + 1] = 1;
    if (TrackCheck[r + 1]) TrackCheck[r + 1]->setChecked(st.TrackOn[r + 1] != 0);
    if (CheckBoxSearchAlltrack->isChecked()) SearchAlltrack();
    if (CheckBoxSynxroTracks->isChecked()) {
        FollowRecordTrack(d, r);
        ShowTrackViewBars();
    }
    edtNameTrack->setText(QString::fromStdString(NameForEdit(TrackNameText(d, r))));
}

void TFormSound::ScrollBarTrackNomb_AScroll() { ShowDataInstance().TrackEditState[6] = ScrollBarTrackNomb_A->sliderPosition(); }
void TFormSound::ScrollBarTrackNomb_BScroll() { ShowDataInstance().TrackEditState[7] = ScrollBarTrackNomb_B->sliderPosition(); }
void TFormSound::ScrollBarTrackNomb_CScroll() { ShowDataInstance().TrackEditState[8] = ScrollBarTrackNomb_C->sliderPosition(); }

void TFormSound::edtNameTrackChange() {
    ShowData& d = ShowDataInstance();
    WriteNameField(d.TrackNames[RecordTrack(d)], edtNameTrack->text().toStdString());
}

// ---- Track switches -------------------------------------------------------------------------

void TFormSound::SearchAlltrack() {
    spirelo::SearchAlltrack(ShowDataInstance(), ShowTickStateInstance(), ShowClockInstance().SongSteps,
                            sbPlayTrack->isChecked());
    ShowTrackBoxes();
}

void TFormSound::SpeedButtonAllOffClick() {
    SetAllTracks(ShowTickStateInstance(), false);
    ShowTrackBoxes();
}

void TFormSound::SpeedButtonAllOnClick() {
    SetAllTracks(ShowTickStateInstance(), true);
    ShowTrackBoxes();
}

void TFormSound::SpeedButtonOnlyTrackClick() {
    OnlyRecordTrackOn(ShowDataInstance(), ShowTickStateInstance());
    ShowTrackBoxes();
}

void TFormSound::SpeedButtonWievJobTrackClick() { SearchAlltrack(); }

// ---- Seeking --------------------------------------------------------------------------------

void TFormSound::PaintBoxGistoTrackMouseDown(Qt::MouseButton button, int x) {
    if (button != Qt::LeftButton) return;
    ShowClock& clk = ShowClockInstance();
    WaveViewStateInstance().SelectionAnchorStep = clk.CurStep;
    if (PlayerHasAudio(clk) && clk.SoundChannel != 0)
        BASS_ChannelSetPosition(clk.SoundChannel, PixelToBytes(x, clk.BytesPerPixel), BASS_POS_BYTE);
}

// ---- Record-track commands ------------------------------------------------------------------

void TFormSound::SpeedButtonTrackDownClick() { AdvanceDown(ShowDataInstance()); }
void TFormSound::SpeedButtonTrackUPClick() { AdvanceUp(ShowDataInstance()); }

void TFormSound::SpeedButtonTrackClearClick() {
    ShowData& d = ShowDataInstance();
    if (Messages().question(DeleteTrackQuestion(RecordTrack(d))) != Answer::Yes) return;
    DeleteRecordTrack(d, ShowClockInstance().SongSteps);
}

void TFormSound::sbChangeTrackSeqClick() {
    ChangeRecordTrackSeq(ShowDataInstance(), ShowClockInstance().SongSteps, ScrollBarSeqMouse->value());
}

void TFormSound::SpeedButtonTrackMormalClick() {
    ShowData& d = ShowDataInstance();
    if (Messages().question(NormaliseQuestion(RecordTrack(d))) != Answer::Yes) return;
    NormaliseOptions o;
    o.thin = CheckBoxNormStup->isChecked();
    o.release = CheckBoxNormReleas->isChecked();
    o.releaseStep = ScrollBarNormRelaease->value();
    o.maxLevel = CheckBoxNormMaxLev->isChecked();
    NormaliseRecordTrack(d, ShowClockInstance().SongSteps, o);
}

void TFormSound::SpeedButtonTrackNewClick() {
    if (Messages().question(ClearAllTracksQuestion()) != Answer::Yes) return;
    ShowData& d = ShowDataInstance();
    ResetTrackData(d);
    ShowTrackEditState();
    SearchAlltrack();
    ClearDmxBuffers(d);
}

void TFormSound::SpeedButtoClearDMXClick() {
    ShowData& d = ShowDataInstance();
    std::fill(std::begin(d.SequencerRunState), std::end(d.SequencerRunState), uint8_t(0));
    ClearDmxBuffers(d);
}

void TFormSound::SpeedButtonFulltrackClick() {
    // Client heights: the whole histogram and the track boxes, or the page without them.
    setFixedSize(width(), SpeedButtonFulltrack->isChecked() ? 740 : 581);
}

void TFormSound::SpeedButtonCopyTrackNameClick() {
    ParkTrackNames(ShowDataInstance());
    SpeedButtonPasteTrackName->setEnabled(true);
}

void TFormSound::SpeedButtonPasteTrackNameClick() {
    ShowData& d = ShowDataInstance();
    RestoreTrackNames(d);
    edtNameTrack->setText(QString::fromStdString(NameForEdit(TrackNameText(d, RecordTrack(d)))));
}

// ---- Recording modes ------------------------------------------------------------------------

void TFormSound::sbPlayTrackClick() {
    if (FormInput) FormInput->close();
    SpeedButtonOnInvers->setChecked(false);
    ScrollBarTrackNombRecs->setFocus();
}

void TFormSound::SpeedButtonTrackMouseRecClick() {
    // Hidden, not closed: the panel's close presses play mode.
    if (FormInput) FormInput->hide();
    SwitchRecordTrackOn();
    ScrollBarTrackNombRecs->setFocus();
}

void TFormSound::SpeedButtonRecTrackKeyBoardClick() { SpeedButtonTrackMouseRecClick(); }

void TFormSound::SpeedButtonRgbRecClick() {
    if (FormInput) {
        FormInput->show();
        FormInput->raise();
    }
    ShowData& d = ShowDataInstance();
    d.TrackRecKind[RecordTrack(d)] = 1;
    SwitchRecordTrackOn();
    ScrollBarTrackNombRecs->setFocus();
}

// ---- Record view mouse ----------------------------------------------------------------------

void TFormSound::PaintBoxTrackRecMouseDown(Qt::MouseButton button, int x, int y) {
    RecordViewPress(ShowClockInstance(), button == Qt::LeftButton, button == Qt::RightButton, x, y);
    if (SpeedButtonPipetka->isChecked()) SpeedButtonPipetka->setChecked(false);
}

void TFormSound::PaintBoxTrackRecMouseMove(int x, int y) {
    const bool stop = FormMaim && FormMaim->SpeedButtonModePause && FormMaim->SpeedButtonModePause->isChecked();
    RecordViewMove(ShowDataInstance(), ShowClockInstance(), x, y, stop, ScrollBarSeqMouse->value(),
                   ScrollBarScenaMouse->value());
}

void TFormSound::PaintBoxTrackRecMouseUp() { RecordViewRelease(ShowClockInstance()); }

// ---- Mouse recording bars -------------------------------------------------------------------

void TFormSound::ScrollBarSeqMouseChange() {
    ShowData& d = ShowDataInstance();
    lbNameSeq->setText(QString::fromStdString(SeqNameText(d, ScrollBarSeqMouse->value())));
    ScrollBarScenaMouseChange();
}

void TFormSound::ScrollBarScenaMouseChange() {
    lbCurrent->setText(QString("Seq %1  Scena %2").arg(ScrollBarSeqMouse->value() + 1).arg(ScrollBarScenaMouse->value() + 1));
}

void TFormSound::ScrollBarSeqMouseInversChange() {
    ShowData& d = ShowDataInstance();
    lbNameInv->setText(QString::fromStdString(SeqNameText(d, ScrollBarSeqMouseInvers->value())));
    ScrollBarScenaMouseInversChange();
}

void TFormSound::ScrollBarScenaMouseInversChange() {
    LabelCurrentInvers->setText(QString("Seq %1  Scena %2")
                                    .arg(ScrollBarSeqMouseInvers->value() + 1)
                                    .arg(ScrollBarScenaMouseInvers->value() + 1));
}

void TFormSound::ScroliBarDelayBitChange() {
    LabelDelayBit->setText(QString("%1 ms").arg(ScroliBarDelayBit->value() * 50));
}

void TFormSound::SpeedButtonPipetkaClick() {
    if (!SpeedButtonPipetka->isChecked()) return;
    ShowData& d = ShowDataInstance();
    const int r = RecordTrack(d);
    d.TrackRecKind[r] = 1;
    ScrollBarSeqMouse->setValue(d.TrackRecSeq[r]);
    ScrollBarScenaMouse->setValue(d.TrackRecScene[r]);
}

void TFormSound::SpeedButtonDeletZeroClick() { DeleteLowLevels(ShowDataInstance(), ShowClockInstance().SongSteps); }

// ---- Connections ----------------------------------------------------------------------------

void TFormSound::connectTracksPage() {
    auto click = [this](QToolButton* b, void (TFormSound::*h)()) { connect(b, &QToolButton::clicked, this, h); };
    auto scroll = [this](QScrollBar* s, void (TFormSound::*h)()) {
        connect(s, &QScrollBar::actionTriggered, this, [this, h](int) { (this->*h)(); });
    };
    auto change = [this](QScrollBar* s, void (TFormSound::*h)()) {
        connect(s, &QScrollBar::valueChanged, this, [this, h](int) { (this->*h)(); });
    };
    scroll(ScrollBarTrackNombRecs, &TFormSound::ScrollBarTrackNombRecsScroll);
    scroll(ScrollBarTrackNomb_A, &TFormSound::ScrollBarTrackNomb_AScroll);
    scroll(ScrollBarTrackNomb_B, &TFormSound::ScrollBarTrackNomb_BScroll);
    scroll(ScrollBarTrackNomb_C, &TFormSound::ScrollBarTrackNomb_CScroll);
    connect(edtNameTrack, &QLineEdit::textChanged, this, [this] { edtNameTrackChange(); });
    click(SpeedButtonTrackDown, &TFormSound::SpeedButtonTrackDownClick);
    click(SpeedButtonTrackUP, &TFormSound::SpeedButtonTrackUPClick);
    click(SpeedButtonTrackClear, &TFormSound::SpeedButtonTrackClearClick);
    click(sbChangeTrackSeq, &TFormSound::sbChangeTrackSeqClick);
    click(SpeedButtonTrackMormal, &TFormSound::SpeedButtonTrackMormalClick);
    click(SpeedButtonTrackNew, &TFormSound::SpeedButtonTrackNewClick);
    click(SpeedButtoClearDMX, &TFormSound::SpeedButtoClearDMXClick);
    click(SpeedButtonWievJobTrack, &TFormSound::SpeedButtonWievJobTrackClick);
    click(SpeedButtonFulltrack, &TFormSound::SpeedButtonFulltrackClick);
    click(SpeedButtonAllOff, &TFormSound::SpeedButtonAllOffClick);
    click(SpeedButtonAllOn, &TFormSound::SpeedButtonAllOnClick);
    click(SpeedButtonOnlyTrack, &TFormSound::SpeedButtonOnlyTrackClick);
    click(SpeedButtonCopyTrackName, &TFormSound::SpeedButtonCopyTrackNameClick);
    click(SpeedButtonPasteTrackName, &TFormSound::SpeedButtonPasteTrackNameClick);
    click(sbPlayTrack, &TFormSound::sbPlayTrackClick);
    click(SpeedButtonTrackMouseRec, &TFormSound::SpeedButtonTrackMouseRecClick);
    click(SpeedButtonRecTrackKeyBoard, &TFormSound::SpeedButtonRecTrackKeyBoardClick);
    click(SpeedButtonRgbRec, &TFormSound::SpeedButtonRgbRecClick);
    click(SpeedButtonPipetka, &TFormSound::SpeedButtonPipetkaClick);
    click(SpeedButtonDeletZero, &TFormSound::SpeedButtonDeletZeroClick);
    change(ScrollBarSeqMouse, &TFormSound::ScrollBarSeqMouseChange);
    change(ScrollBarScenaMouse, &TFormSound::ScrollBarScenaMouseChange);
    change(ScrollBarSeqMouseInvers, &TFormSound::ScrollBarSeqMouseInversChange);
    change(ScrollBarScenaMouseInvers, &TFormSound::ScrollBarScenaMouseInversChange);
    change(ScroliBarDelayBit, &TFormSound::ScroliBarDelayBitChange);
    connect(PaintBoxTrackRec, &SoundPaintBox::mouseDown, this,
            [this](Qt::MouseButton b, int x, int y, Qt::KeyboardModifiers) { PaintBoxTrackRecMouseDown(b, x, y); });
    connect(PaintBoxTrackRec, &SoundPaintBox::mouseMove, this,
            [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { PaintBoxTrackRecMouseMove(x, y); });
    connect(PaintBoxTrackRec, &SoundPaintBox::mouseUp, this, [this](Qt::MouseButton, int, int) { PaintBoxTrackRecMouseUp(); });
    connect(PaintBoxGistoTrack, &SoundPaintBox::mouseDown, this,
            [this](Qt::MouseButton b, int x, int, Qt::KeyboardModifiers) { PaintBoxGistoTrackMouseDown(b, x); });
}
