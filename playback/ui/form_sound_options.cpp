// The Option page: each control copies its value into its option slot; the save commands of
// the window, the volume autosave and the status-bar messages.
#include "playback/ui/form_sound.h"

#include "common/file_io.h"
#include "common/ui/qt_helpers.h"
#include "core/seq_file.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "core/track_file.h"
#include "dmx/ui/form_usb_com.h"
#include "playback/play_lists.h"
#include "playback/project_save.h"
#include "playback/unsaved_copies.h"
#include "sequencer/ui/form_sequenser.h"

#include <QSignalBlocker>

using namespace spirelo;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

void SetFlag(const QCheckBox* box, int index) { ShowDataInstance().ProgramFlags[index] = box->isChecked() ? 1 : 0; }

}  // namespace

// ---- Option controls ------------------------------------------------------------------------

void TFormSound::RadioGroupStartPlayListClick() { ShowDataInstance().ProgramOptions[10] = RadioGroupStartPlayList->itemIndex(); }
void TFormSound::RadioButtonClickModeClick() { ShowDataInstance().ProgramOptions[11] = RadioButtonClickMode->itemIndex(); }
void TFormSound::rgClearDmxClick() { ShowDataInstance().ProgramOptions[16] = rgClearDmx->itemIndex(); }
void TFormSound::RadioGroupRecQuitClick() { ShowDataInstance().ProgramOptions[5] = RadioGroupRecQuit->itemIndex(); }

void TFormSound::ScrollBarWheelSensorChange() {
    lblWheelSensor->setText(QString("Sense %1").arg(ScrollBarWheelSensor->value()));
}

void TFormSound::ScrollBarWheelSensorScroll() {
    ShowDataInstance().ProgramOptions[1] = ScrollBarWheelSensor->sliderPosition();
}

void TFormSound::CheckBoxWheelDirectClick() { SetFlag(CheckBoxWheelDirect, 3); }
void TFormSound::CheckBoxFormSoundClick() { SetFlag(CheckBoxFormSound, 1); }
void TFormSound::CheckBoxFormSequenserClick() { SetFlag(CheckBoxFormSequenser, 2); }
void TFormSound::CheckBoxFormButtonsClick() { SetFlag(CheckBoxFormButtons, 4); }
void TFormSound::chkVolumeClick() { SetFlag(chkVolume, 9); }

void TFormSound::ScrollBarVolmusicMainChange() {
    const int v = ScrollBarVolmusicMain->value();
    ShowDataInstance().ProgramOptions[12] = v;
    CheckBoxVolmusicMain->setText(Q(MainMusicVolumeCaption(v)));
}

void TFormSound::ScrollBarVolumNewChange() {
    const int v = ScrollBarVolumNew->value();
    ShowDataInstance().ProgramOptions[14] = v;
    CheckBoxVolumNew->setText(Q(NewFountainVolumeCaption(v)));
}

void TFormSound::ScrollBarTaprSpringChange() { LabelTimeSpring->setText(QString::number(ScrollBarTaprSpring->value())); }
void TFormSound::ScrollBarAlphaChange() { setWindowOpacity(ScrollBarAlpha->value() / 255.0); }
void TFormSound::trckbrGainChange() { ShowDataInstance().TrackEditState[11] = trckbrGain->value(); }

void TFormSound::SpeedButtonAGCClick() { shpAGC->setBrushColor(SpeedButtonAGC->isChecked() ? 0x0000FF : 0x808080); }
void TFormSound::SpeedButtonATCClick() { shpATC->setBrushColor(SpeedButtonATC->isChecked() ? 0x0000FF : 0x808080); }
void TFormSound::SpeedButtonABCClick() { shpABC->setBrushColor(SpeedButtonABC->isChecked() ? 0x0000FF : 0x808080); }

// Puts the option records into the Option and Schedule pages, after creation and after a load
// of a file that holds them.
void TFormSound::ReturnOptionData() {
    const ShowData& d = ShowDataInstance();
    RadioGroupStartPlayList->setItemIndex(d.ProgramOptions[10]);
    RadioButtonClickMode->setItemIndex(d.ProgramOptions[11]);
    rgClearDmx->setItemIndex(d.ProgramOptions[16]);
    RadioGroupCoda->setItemIndex(d.ProgramOptions[3] == 3 ? 2 : d.ProgramOptions[3]);
    RadioGroupRecQuit->setItemIndex(d.ProgramOptions[5]);
    ScrollBarWheelSensor->setValue(d.ProgramOptions[1]);
    ScrollBarWheelSensorChange();
    CheckBoxWheelDirect->setChecked(d.ProgramFlags[3] != 0);
    CheckBoxFormSound->setChecked(d.ProgramFlags[1] != 0);
    CheckBoxFormSequenser->setChecked(d.ProgramFlags[2] != 0);
    CheckBoxFormButtons->setChecked(d.ProgramFlags[4] != 0);
    chkVolume->setChecked(d.ProgramFlags[9] != 0);
    // A stored value outside a bar's range shows clamped; the slot keeps what was stored.
    const int32_t main = d.ProgramOptions[12], fresh = d.ProgramOptions[14];
    ScrollBarVolmusicMain->setValue(main);
    ScrollBarVolumNew->setValue(fresh);
    ShowDataInstance().ProgramOptions[12] = main;
    ShowDataInstance().ProgramOptions[14] = fresh;
    ScrollBarVolumMusic->setValue(d.ProgramOptions[15]);
    SetScheduleOnBox(d.ProgramFlags[10] != 0);
    CheckBoxSpotJobAlwaus->setChecked(d.ProgramFlags[11] != 0);
    RadioGroupRadioButton->setItemIndex(d.ProgramOptions[31]);
    ReturnTimeData();
}

// ---- Saves and messages -------------------------------------------------------------------

namespace {

ProjectSaveHost SaveHost(TFormSound* w) {
    ProjectSaveHost h;
    h.fileExists = [](const std::string& p) { return FileExists(p); };
    h.saveTrack = [] { return bool(SaveTrackFile(ShowDataInstance())); };
    h.saveSeq = [] { return bool(SaveSeqFile(ShowDataInstance())); };
    h.saveNotes = [] {
        if (!FormSequenser) return true;
        return FormSequenser->SaveMemoToNotesFile();
    };
    h.writeIni = [] { return bool(WriteIniSettings(ShowDataInstance(), CustomerTextsOfDmxWindow())); };
    h.status = [w](const std::string& t) { w->StatuBarString(Q(t)); };
    h.musicCaption = [w](const std::string& t) { w->GroupBoxMUsicList->setTitle(Q(t)); };
    return h;
}

ProjectFiles Files() {
    const ShowData& d = ShowDataInstance();
    return {&d.sNameFileSeq, &d.sNameFileProject, &d.MusicListFileName};
}

}  // namespace

void TFormSound::SpeedButtonSaveSequensClick() { SaveSequencerSide(Files(), SaveHost(this)); }

void TFormSound::SpeedButtonSaveFileTrackClick() { SaveWholeProject(Files(), SaveHost(this)); }

void TFormSound::TimerRecFileSequenserTimer() {
    SetTimerEnabled(TimerRecFileSequenser, false);
    AutoSaveSequencer(Files(), SaveHost(this));
}

void TFormSound::StatuBarString(const QString& Text, int holdMs) {
    StatusBar->setPanelText(5, Text);
    // Each message stays its full time, also when it follows another one.
    TimerStatusBar->setInterval(holdMs);
    SetTimerEnabled(TimerStatusBar, false);
    SetTimerEnabled(TimerStatusBar, true);
}

void TFormSound::ShowFilesNotice(const std::string& text) { StatuBarString(Q(text), kShowFilesNoticeMs); }

void TFormSound::ShowFilesTakenUp(bool track, bool seq, const std::string& kept) {
    ShowData& d = ShowDataInstance();
    // The controls have written their normalised values back (a name padded, a volume of 0
    // made 50): what is in memory now is the show as loaded.
    if (track) NoteTrackSaved(d);
    if (seq) NoteSeqSaved(d);
    const std::string newer = NewerUnsavedCopies(d, track, seq);
    if (!newer.empty()) ShowFilesNotice(kept.empty() ? newer : kept + "; " + newer);
}

void TFormSound::TimerStatusBarTimer() {
    StatusBar->setPanelText(5, " ");
    SetTimerEnabled(TimerStatusBar, false);
}

void TFormSound::connectOptionHandlers() {
    // The last panel reaches to the bar's right edge, so a save message shows its whole path.
    if (QLabel* messages = StatusBar->panel(5)) {
        StatusBar->removeWidget(messages);
        messages->setMinimumWidth(50);
        messages->setMaximumWidth(QWIDGETSIZE_MAX);
        StatusBar->addWidget(messages, 1);
        messages->show();
    }
    connect(RadioGroupStartPlayList, &SoundRadioGroup::clicked, this, &TFormSound::RadioGroupStartPlayListClick);
    connect(RadioButtonClickMode, &SoundRadioGroup::clicked, this, &TFormSound::RadioButtonClickModeClick);
    connect(rgClearDmx, &SoundRadioGroup::clicked, this, &TFormSound::rgClearDmxClick);
    connect(RadioGroupRecQuit, &SoundRadioGroup::clicked, this, &TFormSound::RadioGroupRecQuitClick);
    connect(ScrollBarWheelSensor, &QScrollBar::valueChanged, this, [this] { ScrollBarWheelSensorChange(); });
    connect(ScrollBarWheelSensor, &QScrollBar::actionTriggered, this, [this] { ScrollBarWheelSensorScroll(); });
    connect(CheckBoxWheelDirect, &QCheckBox::clicked, this, &TFormSound::CheckBoxWheelDirectClick);
    connect(CheckBoxFormSound, &QCheckBox::clicked, this, &TFormSound::CheckBoxFormSoundClick);
    connect(CheckBoxFormSequenser, &QCheckBox::clicked, this, &TFormSound::CheckBoxFormSequenserClick);
    connect(CheckBoxFormButtons, &QCheckBox::clicked, this, &TFormSound::CheckBoxFormButtonsClick);
    connect(chkVolume, &QCheckBox::clicked, this, &TFormSound::chkVolumeClick);
    connect(ScrollBarVolmusicMain, &QScrollBar::valueChanged, this, [this] { ScrollBarVolmusicMainChange(); });
    connect(ScrollBarVolumNew, &QScrollBar::valueChanged, this, [this] { ScrollBarVolumNewChange(); });
    // Only a move by the user arms the autosave, never a fill by the program.
    for (QScrollBar* bar : {ScrollBarVolmusicMain, ScrollBarVolumNew})
        connect(bar, &QScrollBar::actionTriggered, this, [this] { SetTimerEnabled(TimerRecFileSequenser, true); });
    connect(ScrollBarTaprSpring, &QScrollBar::valueChanged, this, [this] { ScrollBarTaprSpringChange(); });
    connect(ScrollBarAlpha, &QScrollBar::valueChanged, this, [this] { ScrollBarAlphaChange(); });
    connect(trckbrGain, &QSlider::valueChanged, this, [this] { trckbrGainChange(); });
    connect(SpeedButtonAGC, &QToolButton::clicked, this, &TFormSound::SpeedButtonAGCClick);
    connect(SpeedButtonATC, &QToolButton::clicked, this, &TFormSound::SpeedButtonATCClick);
    connect(SpeedButtonABC, &QToolButton::clicked, this, &TFormSound::SpeedButtonABCClick);
    for (QToolButton* b : {SpeedButtonSaveSequens, SpeedButtonSaveSequen, SpeedButtonSaveSeqOption, SpeedButtonSaveSeqMus})
        connect(b, &QToolButton::clicked, this, &TFormSound::SpeedButtonSaveSequensClick);
    connect(SpeedButtonSaveFileTrack, &QToolButton::clicked, this, &TFormSound::SpeedButtonSaveFileTrackClick);
    connect(TimerRecFileSequenser, &QTimer::timeout, this, &TFormSound::TimerRecFileSequenserTimer);
    connect(TimerStatusBar, &QTimer::timeout, this, &TFormSound::TimerStatusBarTimer);
}
