// The sound window's music player: opening the show's audio, play, stop, seeks, the volume and
// frequency bars, and the audio engine's start and end with the window.
#include "playback/ui/form_sound.h"

#include <QMetaObject>
#include <QSlider>
#include <QToolButton>

#include <filesystem>

#include "core/event_log.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "core/text_routines.h"
#include "core/track_file.h"
#include "core/ui/form_maim.h"
#include "dmx/ui/form_usb_com.h"
#include "platform/audio.h"
#include "platform/message_service.h"
#include "playback/peak_scan.h"
#include "playback/player.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "sequencer/ui/form_sequenser.h"

using namespace spirelo;

namespace {

inline constexpr int kFrequencyMin = 1000;
inline constexpr int kFrequencyMax = 192000;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// --- What the player does to the main window ----------------------------------------------

void PressMainButton(QToolButton* TFormMaim::*button) {
    if (FormMaim && FormMaim->*button) (FormMaim->*button)->setChecked(true);
}

void EnableMain(QToolButton* TFormMaim::*button, bool on) {
    if (FormMaim && FormMaim->*button) (FormMaim->*button)->setEnabled(on);
}

// The seek buttons only make sense with audio; the two mode buttons among the transport
// (pause = STOP, play = DINAM) are disabled only while an open is under way.
void SetMainSeekButtons(bool on) {
    EnableMain(&TFormMaim::SpeedButtonbegin, on);
    EnableMain(&TFormMaim::SpeedButtonForward, on);
    EnableMain(&TFormMaim::SpeedButtonPrew, on);
}

void SetMainModeTransport(bool on) {
    EnableMain(&TFormMaim::SpeedButtonModePlay, on);
    EnableMain(&TFormMaim::SpeedButtonModePause, on);
}

void SetMainPanel(int index, const QString& text) {
    if (FormMaim && FormMaim->StatusBarMain) FormMaim->StatusBarMain->setPanelText(index, text);
}

// No stacked message boxes from the timer paths: the timers go on inside a modal box.
MessageGuard& PlayerMessages() {
    static MessageGuard guard;
    return guard;
}

// The sound window's side of opening the show's audio.
class SoundWindowPlayerHost : public PlayerHost {
public:
    explicit SoundWindowPlayerHost(TFormSound* f) : f_(f) {}
    void WriteLog(const std::string& who, const std::string& where, const std::string& info) override {
        spirelo::WriteLog(who, where, info);
    }
    void SetCaption(const std::string& audioFile) override {
        f_->setWindowTitle(QStringLiteral("Sound File: ") + Q(audioFile));
    }
    void TransportOpening() override {
        SetMainSeekButtons(false);
        SetMainModeTransport(false);
        EnableMain(&TFormMaim::sbNewStart, true);
        if (f_->LabelSpace) f_->LabelSpace->show();
        if (f_->ShapeSpace) f_->ShapeSpace->show();
    }
    void TransportNoAudio() override {
        SetMainSeekButtons(false);
        SetMainModeTransport(true);
    }
    void TransportReady() override {
        if (f_->PaintBoxGraficWave) f_->PaintBoxGraficWave->setEnabled(true);
        SetMainSeekButtons(true);
        SetMainModeTransport(true);
    }
    void ErrorPop(const std::string& text) override { f_->ErrorPop(Q(text)); }
    void Message(const std::string& text) override {
        PlayerMessages().Show([&text] { Messages().message(text); });
    }
    void SetFrequencyBar(int hz) override {
        QScrollBar* bar = f_->ScrollBarFriquence;
        if (!bar) return;
        if (hz > bar->maximum()) bar->setMaximum(hz);
        if (hz < bar->minimum()) bar->setMinimum(hz);
        bar->setValue(hz);
    }
    void SetVolumeBar(int percent) override {
        if (f_->ScrollBarVolume) f_->ScrollBarVolume->setValue(percent);
    }
    void SetSongPanel(int songSteps) override {
        SetMainPanel(3, QStringLiteral("bits Song: ") + QString::number(songSteps));
    }
    void SearchAlltrack() override { f_->SearchAlltrack(); }
    int ClearDmxChoice() override {
        return f_->rgClearDmx ? f_->rgClearDmx->itemIndex() : ShowDataInstance().ProgramOptions[16];
    }
    void ClearAreaForNewSong() override { f_->ClearAreaForNewSong(); }
    ScanDoneCallback ScanDone() override {
        // The scan's end reaches the GUI thread, which alone touches ScanProgress. The window
        // outlives the scan: its destruction joins it first.
        TFormSound* f = f_;
        return [f] {
            QMetaObject::invokeMethod(f, [] { ShowDataInstance().ScanProgress = 100; },
                                      Qt::QueuedConnection);
        };
    }

private:
    TFormSound* f_;
};

}  // namespace

// --- Creation and destruction ----------------------------------------------------------------

// Places are within the player panel above the pages (128 x 70 above its own buttons).
void TFormSound::createPlayerControls() {
    QWidget* const parent = PlayerPanel ? PlayerPanel : this;
    ScrollBarVolume = new QScrollBar(Qt::Horizontal, parent);
    ScrollBarVolume->setObjectName("ScrollBarVolume");
    ScrollBarVolume->setRange(0, 100);
    ScrollBarVolume->setPageStep(10);
    ScrollBarVolume->setGeometry(0, 15, 128, 14);
    LabelVolume = new QLabel("Volume 0 %", parent);
    LabelVolume->setObjectName("LabelVolume");
    LabelVolume->setGeometry(0, 0, 82, 14);

    ScrollBarFriquence = new QScrollBar(Qt::Horizontal, parent);
    ScrollBarFriquence->setObjectName("ScrollBarFriquence");
    ScrollBarFriquence->setRange(kFrequencyMin, kFrequencyMax);
    ScrollBarFriquence->setSingleStep(100);
    ScrollBarFriquence->setPageStep(1000);
    ScrollBarFriquence->setValue(44100);
    ScrollBarFriquence->setGeometry(0, 47, 128, 14);
    LabelFriq = new QLabel("Friq 44100 Hz", parent);
    LabelFriq->setObjectName("LabelFriq");
    LabelFriq->setGeometry(0, 32, 96, 14);

    SpeedButtonMp3 = new QToolButton(parent);
    SpeedButtonMp3->setObjectName("SpeedButtonMp3");
    SpeedButtonMp3->setText("Mp3");
    SpeedButtonMp3->setToolTip("Open audio file");
    SpeedButtonMp3->setFocusPolicy(Qt::NoFocus);
    SpeedButtonMp3->setGeometry(86, 0, 42, 14);

    SpeedButtonSoundBegin = new QToolButton(parent);
    SpeedButtonSoundBegin->setObjectName("SpeedButtonSoundBegin");
    SpeedButtonSoundBegin->setText("|<");
    SpeedButtonSoundBegin->setToolTip("To begin");
    SpeedButtonSoundBegin->setFocusPolicy(Qt::NoFocus);
    SpeedButtonSoundBegin->setGeometry(100, 31, 28, 15);

    OpenDialogSound.Title = "Open audio file";
    OpenDialogSound.Filter = "Audio file|*.mp3";   // the show's audio is always its ".mp3"
    OpenDialogSound.DefaultExt = "mp3";

    connect(ScrollBarVolume, &QScrollBar::valueChanged, this, [this] { ScrollBarVolumeChange(); });
    connect(ScrollBarVolume, &QScrollBar::actionTriggered, this, [this] { ScrollBarVolumeScroll(); });
    connect(ScrollBarFriquence, &QScrollBar::valueChanged, this, [this] { ScrollBarFriquenceChange(); });
    connect(SpeedButtonMp3, &QToolButton::clicked, this, [this] { SpeedButtonMp3Click(); });
    connect(SpeedButtonSoundBegin, &QToolButton::clicked, this, [this] { SpeedButtonSoundBeginClick(); });
}

void TFormSound::PlayerCreate() {
    ShowClock& c = ShowClockInstance();
    // Before creation sets the marker band from the track file, so its change handler runs.
    if (trckbrFFTbpm)
        connect(trckbrFFTbpm, &QSlider::valueChanged, this, &TFormSound::trckbrFFTbpmChange,
                Qt::UniqueConnection);
    if (c.PeakLeft.empty()) c.PeakLeft.resize(kWaveformWidth);
    if (c.PeakRight.empty()) c.PeakRight.resize(kWaveformWidth);
    switch (StartAudioEngine(c)) {
    case AudioStart::Ready:
        break;
    case AudioStart::OtherVersion:
        PlayerMessages().Show([] { Messages().error("Other vers BASS.DLL\r\nError=TFormSound.FormCreate"); });
        break;
    case AudioStart::InitFailed:
        ErrorPop("dont init audio devise");
        break;
    }
}

void TFormSound::PlayerDestroy() {
    StopAudioEngine(ShowClockInstance(), PeakScannerInstance());
}

// --- Opening the show's audio ----------------------------------------------------------------

void TFormSound::MadePlayFile() {
    SoundWindowPlayerHost host(this);
    OpenShowAudio(ShowClockInstance(), ShowDataInstance(), PeakScannerInstance(), host);
}

void TFormSound::SpeedButtonMp3Click() {
    if (!OpenDialogSound.Execute(this)) return;
    NewAudioForShow(OpenDialogSound.FileName);
}

void TFormSound::NewAudioForShow(const QString& fileName) {
    const std::string refusal = NewAudioRefusal(fileName.toStdString());
    if (!refusal.empty()) {
        PlayerMessages().Show([&refusal] { Messages().error(refusal); });
        return;
    }
    ShowData& d = ShowDataInstance();
    d.sNameFileProject = StripExt(fileName.toStdString()) + ".trk";
    d.TrackEditState[3] = 50;
    ScrollBarVolume->setValue(50);
    MadePlayFile();
    if (Messages().question(NewAudioQuestionText()) == Answer::Yes) ResetTrackData(d);
    ShowTrackEditState();
    SaveTrackFile(d);
    WriteIniSettings(d, CustomerTextsOfDmxWindow());
    SetMainPanel(2, QStringLiteral("Leng: ") + Q(timeTostr(ShowClockInstance().SongSteps)));
    if (FormSequenser) FormSequenser->update();
    ClearDmxBuffers(d);
    SearchAlltrack();
    if (FormMaim) FormMaim->SetTrackCaption(Q(d.sNameFileProject));
}

// --- Transport ---------------------------------------------------------------------------------

void TFormSound::SoundPlay() {
    if (PlayerPlay(ShowClockInstance())) PressMainButton(&TFormMaim::SpeedButtonModeDance);
}

void TFormSound::SoundStop() {
    if (PlayerStop(ShowClockInstance())) PressMainButton(&TFormMaim::SpeedButtonModePause);
}

void TFormSound::SoundBeginSet() { PlayerBeginSet(ShowClockInstance()); }

void TFormSound::SoundToBegin() { PlayerToBegin(ShowClockInstance()); }

void TFormSound::SpeedButtonSoundBeginClick() { SoundToBegin(); }

void TFormSound::NewStartCopy() {
    if (PlayerSeekNewStart(ShowClockInstance())) SoundPlay();
}

void TFormSound::ErrorPop(const QString& Text) {
    const std::string text = ErrorPopText(Text.toStdString(), BASS_ErrorGetCode());
    PlayerMessages().Show([&text] { Messages().message(text); });
}

// --- Volume and frequency ----------------------------------------------------------------------

void TFormSound::ScrollBarVolumeChange() {
    LabelVolume->setText(QStringLiteral("Volume ") + QString::number(ScrollBarVolume->value()) +
                         QStringLiteral(" %"));
}

void TFormSound::ScrollBarVolumeScroll() {
    const int v = ScrollBarVolume->sliderPosition();
    ShowDataInstance().TrackEditState[3] = v;
    SetShowVolume(ShowClockInstance(), v);
}

void TFormSound::ScrollBarFriquenceChange() {
    const int hz = ScrollBarFriquence->value();
    LabelFriq->setText(QStringLiteral("Friq ") + QString::number(hz) + QStringLiteral(" Hz"));
    SetShowFrequency(ShowClockInstance(), hz);
}

