// The sound window's three timers (show tick, mode timer, 224 ms read-outs), the mode setters
// and the show-list and music-list steps the tick and the modes call.
#include "playback/ui/form_sound.h"

#include "common/file_io.h"
#include "common/timing_log.h"
#include "common/ui/qt_helpers.h"
#include "core/event_log.h"
#include "core/show_data.h"
#include "core/text_routines.h"
#include "core/track_file.h"
#include "core/ui/form_maim.h"
#include "platform/audio.h"
#include "platform/media_player.h"
#include "playback/modes.h"
#include "playback/play_lists.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/sound_view.h"
#include "playback/spectrum.h"
#include "playback/track_edit.h"
#include "playback/ui/form_input.h"
#include "sequencer/ui/form_sequenser.h"

#include <QApplication>
#include <QDateTime>

using namespace spirelo;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

void SetMainPanel(int index, const QString& text) {
    if (FormMaim && FormMaim->StatusBarMain) FormMaim->StatusBarMain->setPanelText(index, text);
}

// Marks a timer handler as running; a handler entered meanwhile (from inside a message box
// the running one opened) returns at once.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag), entered_(!flag) { if (entered_) flag_ = true; }
    ~BusyScope() { if (entered_) flag_ = false; }
    bool entered() const { return entered_; }
private:
    bool& flag_;
    bool entered_;
};

class WindowTickHost : public ShowTickHost {
public:
    explicit WindowTickHost(TFormSound* w) : w_(w), clk_(ShowClockInstance()) {}
    bool AudioOpen() override {
        return clk_.AudioReady != 0 && clk_.SoundChannel != 0 && clk_.BytesPerPixel >= 3;
    }
    uint32_t ChannelPosition() override {
        const uint64_t p = BASS_ChannelGetPosition(clk_.SoundChannel, BASS_POS_BYTE);
        // A failed query keeps the clock where it was instead of reading as the song's end.
        if (p == kAudioBadPosition) return uint32_t(int64_t(clk_.CurStep) * clk_.BytesPerStep);
        return uint32_t(p);
    }
    void SetChannelPosition(uint64_t byte) override {
        BASS_ChannelSetPosition(clk_.SoundChannel, byte, BASS_POS_BYTE);
    }
    void ChannelPlay(bool restart) override { BASS_ChannelPlay(clk_.SoundChannel, restart); }
    void SetChannelVolume(float v) override {
        BASS_ChannelSetAttribute(clk_.SoundChannel, BASS_ATTRIB_VOL, v);
    }
    void SoundStop() override { w_->SoundStop(); }
    void ClearShowListSelection() override {
        w_->ListBoxShow->clearSelection();
        w_->ListBoxShow->setCurrentRow(-1);
    }
    void PlayListBoxCurrent() override { w_->PlayListBoxCurrent(); }
    void setNextFile() override { w_->setNextFile(); }
    void ClearAreaForNewSong() override { w_->ClearAreaForNewSong(); }
    void RecordingPassEnded(int rec) override {
        w_->sbPlayTrack->setChecked(true);
        w_->SpeedButtonOnInvers->setChecked(false);
        ShowDataInstance().TrackEditState[5] = rec;
        w_->ShowTrackEditState();
        if (FormInput) FormInput->close();
    }
    void CalculateFFT() override { w_->CalculateFFT(); }
    void Redraw(int page) override {
        if (page == 0) {
            w_->PaintBoxSpectr->update();
            w_->PaintBoxBPM->update();
            w_->PaintBoxCube->update();
        }
        w_->DrawWaveEnvelopes();
        w_->DrawWaveForm();
        if (page == 1) {
            w_->DrawTracks();
            w_->DrawTrackCursor();
        }
        if (page == 4) w_->DrawEffectView();
    }
    void ShowRealTime(int step) override { SetMainPanel(0, Q("Real: " + timeTostr(step))); }

private:
    TFormSound* w_;
    ShowClock& clk_;
};

class WindowModeHost : public ModeHost {
public:
    explicit WindowModeHost(TFormSound* w) : w_(w) {}
    void SoundPlay() override { w_->SoundPlay(); }
    void SoundStop() override { w_->SoundStop(); }
    void PressModeButton(int mode) override {
        if (!FormMaim) return;
        QToolButton* const buttons[] = {FormMaim->SpeedButtonModeAllOFF, FormMaim->SpeedButtonModePause,
                                        FormMaim->SpeedButtonModeStatick, FormMaim->SpeedButtonModePlay,
                                        FormMaim->SpeedButtonModeDance, FormMaim->SpeedButtonModeMusic};
        if (mode >= 0 && mode <= 5 && buttons[mode]) buttons[mode]->setChecked(true);
    }
    void MediaPlayerStopIfPlaying() override {
        if (w_->MediaPlayer && w_->MediaPlayer->IsPlaying()) w_->MediaPlayer->Stop();
    }
    void SetShowVolume(int percent) override {
        const int p = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
        BASS_ChannelSetAttribute(ShowClockInstance().SoundChannel, BASS_ATTRIB_VOL, float(p) / 100.0f);
    }
    void SetVolumeBar(int percent) override {
        if (w_->ScrollBarVolume) w_->ScrollBarVolume->setValue(percent);
    }
    void SetWaveVolume(int level) override { w_->SetVolume(level); }
    int MusicSelectedIndex() override { return w_->ListBoxMusic->currentRow(); }
    void StartMusicEntry() override {
        w_->PlayListMusicCurrent();
        w_->ScrollBarVolumMusic->setEnabled(true);
        w_->ScrollBarMusicTrack->setEnabled(true);
        // While the window is made the entry is only opened, and the show's gain stays.
        if (w_->Creating()) return;
        if (w_->MediaPlayer && w_->MediaPlayer->IsOpen()) w_->MediaPlayer->Play();
        w_->SetVolume(MusicVolumeWord(w_->ScrollBarVolmusicMain->value(), w_->ScrollBarVolumMusic->value()));
    }

private:
    TFormSound* w_;
};

}  // namespace

// ---- The show tick (10 ms) ------------------------------------------------------------------

void TFormSound::TimerRepaintTimer() {
    BusyScope busy(timerBusy_);
    if (!busy.entered() || destroyed_) return;
    ShowData& d = ShowDataInstance();
    ShowClock& clk = ShowClockInstance();
    if (TimingLog* timing = TimingLog::Instance()) {
        // The step the show stood at until now, against the step of what is heard now.
        int64_t heard = -1;
        if (clk.BytesPerPixel >= 3 && clk.BytesPerStep > 0 && clk.SoundChannel != 0)
            heard = static_cast<int64_t>(BASS_ChannelGetPosition(clk.SoundChannel, BASS_POS_BYTE) & 0xFFFFFFFFu) /
                    clk.BytesPerStep;
        timing->record('T', clk.CurStep, heard);
    }
    // Every newly opened show starts without the previous show's selection and loop.
    if (clk.SoundChannel != lastSoundChannel_) {
        lastSoundChannel_ = clk.SoundChannel;
        ResetSelectionForNewShow(clk, WaveViewStateInstance());
        d.ScanProgress = d.ScanProgress == 0 ? 1 : d.ScanProgress;
    }
    ShowTickControls c;
    c.PlayTrackDown = sbPlayTrack->isChecked();
    c.TaprSpring = ScrollBarTaprSpring->value();
    c.StartPlayList = RadioGroupStartPlayList->itemIndex();
    c.Coda = RadioGroupCoda->itemIndex();
    c.ClearDmx = rgClearDmx->itemIndex();
    c.LastTrack = CheckBoxLastTrack->isChecked();
    c.DanceDown = FormMaim && FormMaim->SpeedButtonModeDance && FormMaim->SpeedButtonModeDance->isChecked();
    c.TrackMouseRecDown = SpeedButtonTrackMouseRec->isChecked();
    c.OnInversDown = SpeedButtonOnInvers->isChecked();
    c.SeqMouse = ScrollBarSeqMouse->value();
    c.ScenaMouse = ScrollBarScenaMouse->value();
    c.SeqMouseInvers = ScrollBarSeqMouseInvers->value();
    c.ScenaMouseInvers = ScrollBarScenaMouseInvers->value();
    c.Page = PageControl->currentIndex();
    c.ShowListCount = ListBoxShow->count();
    SpectrumState& spectrum = SpectrumInstance();
    c.BandAverage = spectrum.BandAverage;
    c.SpectrumPeak = spectrum.SpectrumPeak;
    WindowTickHost host(this);
    RunShowTick(d, clk, ShowTickStateInstance(), c, host);
}

// ---- The mode timer (500 ms) ----------------------------------------------------------------

void TFormSound::TimerWindowTimer() {
    BusyScope busy(timerBusy_);
    if (!busy.entered() || destroyed_) return;
    ShowData& d = ShowDataInstance();
    ShowClock& clk = ShowClockInstance();
    ModeState& m = ModeStateInstance();
    const LocalTime now = localClock_();

    // 1-3. Clock and schedule.
    ScheduleInputs in;
    in.hour = now.hour;
    in.minute = now.minute;
    in.second = now.second;
    in.ScheduleOn = CheckBoxScheduleON->isChecked();
    const ScheduleResult r = ApplySchedule(d, m, in);
    lblTIME->setText(Q(r.timeText));
    for (int k = 1; k <= 8; ++k) shpJob[k]->setBrushColor(r.jobRed[k] ? 0x0000FF : 0x808080);
    if (r.flashShown) shpFlash->setBrushColor(r.flashRed ? 0x0000FF : 0x808000);
    // 4. The current mode, applied again.
    SetJobingMode();
    // 5. Background music.
    if (MediaPlayer && MediaPlayer->IsPlaying()) {
        const int64_t pos = MediaPlayer->PositionMs();
        const int64_t len = MediaPlayer->LengthMs();
        if (len > ScrollBarMusicTrack->maximum()) ScrollBarMusicTrack->setMaximum(int(len));
        ScrollBarMusicTrack->setValue(int(pos));
        const MusicFollow f = FollowMusic(pos, len);
        if (f.next) setNextMusic();
        lblpos->setText(Q(f.remainingText));
    }
    // 6. Light indicator and its labels.
    const int64_t spot = SpotIndicatorColor(d, in.hour, in.minute, CheckBoxSpotJobAlwaus->isChecked());
    if (spot >= 0) shpSpotOn->setBrushColor(uint32_t(spot));
    TimesOnOffToLabel();
    // 7. The start-up show's music, once; not again when the first tick opened a show already.
    if (m.AudioFirstOpen) {
        const bool opened = clk.SoundChannel != 0;
        if (FirstAudioOpenDue(m, FileExists(Mp3NameOf(d.sNameFileProject)), opened)) MadePlayFile();
        RadioGroupCoda->setItemIndex(d.ProgramOptions[3] == 3 ? 2 : d.ProgramOptions[3]);
    }
    // 8. Recording indicator.
    const bool anyRec = SpeedButtonTrackMouseRec->isChecked() || SpeedButtonRecTrackKeyBoard->isChecked() ||
                        SpeedButtonRgbRec->isChecked();
    shapeRecVisible_ = RecordingIndicator(shapeRecVisible_, sbPlayTrack->isChecked(), anyRec);
    ShapeRec->setVisible(shapeRecVisible_);
    // 9. Keys to this window.
    // The keys need the focus, not the top of the stack: raised every tick, the window would
    // cover the boxes of both programs where no window manager keeps them above it. Nor is the
    // focus taken from a box of ours that waits.
    if (SpeedButtonFocus->isChecked() && isVisible() && !QApplication::activeModalWidget()) {
        // The control being typed into keeps the keys; the form takes them only when none had.
        QWidget* had = focusWidget();
        if (!isActiveWindow()) activateWindow();
        (had ? had : this)->setFocus();
    }
}

// ---- Selection texts, main-window panels (224 ms) -------------------------------------------

void TFormSound::TimerGistoRateTimer() {
    BusyScope busy(timerBusy_);
    if (!busy.entered() || destroyed_) return;
    ShowData& d = ShowDataInstance();
    ShowClock& clk = ShowClockInstance();
    const SelectionReadout sel = SelectionRule(clk);
    lblStartPix->setText(Q(sel.startText));
    lblFinPix->setText(Q(sel.finishText));
    lblFinPix->setVisible(sel.finishShown);
    SetMainPanel(1, Q("Back: " + timeTostr(ShowTickStateInstance().StepsLeft)));
    SetMainPanel(2, Q("Leng: " + timeTostr(clk.SongSteps)));
    d.ProgramOptions[8] = y();
    d.ProgramOptions[9] = x();
    RefreshGisto();
}

// ---- Modes ------------------------------------------------------------------------------------

void TFormSound::SetJobingMode() {
    WindowModeHost host(this);
    ShowData& d = ShowDataInstance();
    const std::string text = spirelo::SetJobingMode(d, ModeStateInstance(), host);
    lblmodeAquel->setFixedWidth(150);
    lblmodeAquel->setText(Q(text));
}

#define SPIRELO_MODE_SETTER(NAME)                                           \
    void TFormSound::NAME() {                                               \
        WindowModeHost host(this);                                          \
        spirelo::NAME(ShowDataInstance(), ModeStateInstance(), host);       \
    }
SPIRELO_MODE_SETTER(SetModeAquel_OFF)
SPIRELO_MODE_SETTER(SetModeAquel_STOP)
SPIRELO_MODE_SETTER(SetModeAquel_STATIC)
SPIRELO_MODE_SETTER(SetModeAquel_DINAM)
SPIRELO_MODE_SETTER(SetModeAquel_DANCE)
SPIRELO_MODE_SETTER(SetModeAquel_MUSIC)
#undef SPIRELO_MODE_SETTER

// ---- What the tick asks of the window ---------------------------------------------------------

void TFormSound::ClearAreaForNewSong() {
    spirelo::ClearAreaForNewSong(ShowDataInstance(), ShowClockInstance());
    if (FormMaim && FormMaim->sbNewStart) FormMaim->sbNewStart->setEnabled(true);
    LabelSpace->show();
    ShapeSpace->show();
}
