// The sound window "Audio and Track": music player, show clock, show tick, modes, lists, track
// and effect pages. Several files implement it (form_sound*.cpp), one per concern:
// form_sound.cpp builds the window and runs its three timers, form_sound_wave.cpp draws the
// waveform and the effect view, form_sound_player.cpp is the music player.
#pragma once

#include "common/ui/file_dialogs.h"
#include "common/ui/status_panels.h"
#include "core/event_log.h"
#include "playback/live_keys.h"
#include "playback/ui/form_sound_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QCloseEvent;

namespace spirelo {
class MediaPlayer;
}

class TFormSound : public QWidget {
    Q_OBJECT
public:
    explicit TFormSound(QWidget* parent = nullptr);
    ~TFormSound() override;
    void FormCreate();
    void FormClose();     // saves the show list; the window is only hidden
    void FormDestroy();   // timers off, audio freed; runs once (the destructor calls it too)

    // Modes (form_sound_modes.cpp).
    void SetJobingMode();
    void SetModeAquel_OFF();
    void SetModeAquel_STOP();
    void SetModeAquel_STATIC();
    void SetModeAquel_DINAM();
    void SetModeAquel_DANCE();
    void SetModeAquel_MUSIC();

    // Music player (form_sound_player.cpp).
    void PlayerCreate();    // audio engine check and start (creation step 1)
    void PlayerDestroy();   // volume 0, engine freed
    void MadePlayFile();
    void SoundPlay();
    void SoundStop();
    void SoundToBegin();
    void NewStartCopy();
    void CalculateFFT();
    // Music player and spectrum, further methods (form_sound_player.cpp, form_sound_spectrum.cpp).
    void SoundBeginSet();
    void ErrorPop(const QString& Text);
    void SpeedButtonMp3Click();
    void NewAudioForShow(const QString& fileName);   // the click's work once a file is chosen
    void SpeedButtonSoundBeginClick();
    void ScrollBarVolumeChange();
    void ScrollBarVolumeScroll();
    void ScrollBarFriquenceChange();
    void trckbrFFTbpmChange();
    void PaintBoxSpectrPaint();   // the three BPM-page pictures, drawn by CalculateFFT on page 0
    void PaintBoxBPMPaint();
    void PaintBoxCubePaint();
    // Background music and show list.
    void setNextMusic();
    void SetVolume(int level);
    void PlayListBoxCurrent();
    void setNextFile();
    void PlayListMusicCurrent();

    // The show tick's helpers.
    void ClearAreaForNewSong();

    // Timers (form_sound.cpp).
    void TimerRepaintTimer();
    void TimerWindowTimer();
    void TimerGistoRateTimer();

    // Waveform and effect view (form_sound_wave.cpp).
    void DrawWaveEnvelopes();
    void DrawWaveForm();
    void DrawEffectView();
    void DrawTrackCursor();
    void PaintBoxGraficWaveMouseDown(Qt::MouseButton button, int x, int y);
    void PaintBoxGraficWaveMouseMove(int x, int y);
    void PaintBoxGraficWaveMouseUp();
    void SpeedButtonAllselectClick();
    void SpeedButtonResetLengClick();

    // Live keys, kits and the key assignment panel (form_sound_keys.cpp).
    void FormKeyDown(int Key);
    void emulKeyDown(int Key);
    void SetButtonNaborKey(int bank);
    void SpeedButtonKitClick(int n);
    void RadioGroupKitKeyClick();
    void PaintCaseKey();
    void TileMouseDown(int letter, Qt::MouseButton button);
    void ShapeSpaceMouseDown();
    void shp_kavMouseDown();
    void AssignPaintBox();
    void PaintBoxAssignPaint();
    void PaintBoxAssignMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x, int y);
    void PaintBoxAssignMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y);
    void ReturnKeyPipe(int Letter);
    void SpeedButtonCloseWINClick();
    void sbNewModeClick();
    void sbRecScenaClick();
    void sbClearKeyBufClick();
    void SpeedButtonClearAllClick();
    void sbKeyCopyClick();
    void sbKeyPasteClick();
    void sbPlusScenaRecClick();
    void ScrollBarNewSeqChange();
    spirelo::KeyContext keyContext() const;

    // Tracks page (form_sound_tracks.cpp).
    void ShowTrackEditState();   // TrackEditState in the controls: record bar first, then its name
    void DrawTracks();
    void PaintLineTrack(int view, SoundPaintBox* box);
    void RefreshGisto();
    void SearchAlltrack();
    void ScrollBarTrackNombRecsScroll();
    void ScrollBarTrackNomb_AScroll();
    void ScrollBarTrackNomb_BScroll();
    void ScrollBarTrackNomb_CScroll();
    void edtNameTrackChange();
    void SpeedButtonAllOffClick();
    void SpeedButtonAllOnClick();
    void SpeedButtonOnlyTrackClick();
    void SpeedButtonWievJobTrackClick();
    void PaintBoxGistoTrackMouseDown(Qt::MouseButton button, int x);
    void SpeedButtonTrackDownClick();
    void SpeedButtonTrackUPClick();
    void SpeedButtonTrackClearClick();
    void sbChangeTrackSeqClick();
    void SpeedButtonTrackMormalClick();
    void SpeedButtonTrackNewClick();
    void SpeedButtoClearDMXClick();
    void SpeedButtonFulltrackClick();
    void SpeedButtonCopyTrackNameClick();
    void SpeedButtonPasteTrackNameClick();
    void sbPlayTrackClick();
    void SpeedButtonTrackMouseRecClick();
    void SpeedButtonRecTrackKeyBoardClick();
    void SpeedButtonRgbRecClick();
    void PaintBoxTrackRecMouseDown(Qt::MouseButton button, int x, int y);
    void PaintBoxTrackRecMouseMove(int x, int y);
    void PaintBoxTrackRecMouseUp();
    void ScrollBarSeqMouseChange();
    void ScrollBarScenaMouseChange();
    void ScrollBarSeqMouseInversChange();
    void ScrollBarScenaMouseInversChange();
    void ScroliBarDelayBitChange();
    void SpeedButtonPipetkaClick();
    void SpeedButtonDeletZeroClick();

    // Effects page (form_sound_effects.cpp): shows the current effect in the page's controls.
    void ReturnEffectData();
    void RepaintLabelTime();
    void RepaintLabelMulty();
    void EnableRecEffect();
    void ScrollBarNomberEffectChange();
    void ScrollBarNomberEffectScroll();
    void RadioGroupEffectOnOffClick();
    void editNameEffectChange();
    void ScrollBarEffectNombSeqChange();
    void ScrollBarEffectNombSeqScroll();
    void ScrollBarEffectTimeChange();
    void ScrollBarEffectTimeScroll();
    void ScrollBarEffectLevelChange();
    void ScrollBarEffectLevelScroll();
    void SpeedButtonEffectRecordClick();
    void SpeedButtonClearEffectClick();
    void SpeedButtonClearAlleffectsClick();
    void SpeedButtonCopyToKontainerClick();
    void SpeedButtonPasteFromKontainerClick();
    void SpeedButtonCopyEffctClick();
    void SpeedButtonPasteEffctClick();
    void PaintBoxEffectMouseDown(Qt::MouseButton button, int x, int y);
    void PaintBoxEffectMouseMove(int x, int y);
    void PaintBoxEffectMouseUp();

    // Show list and music list (form_sound_lists.cpp).
    void setPrevFile();
    void setPrevMusic();
    void SpeedButtonLoadListClick();
    void SpeedButtonSaveListClick();
    void SpeedButtonAddListClick();
    void SpeedButtonClearOneListClick();
    void SpeedButtonListClearClick();
    void SpeedButtonPrevClick();
    void SpeedButtonFollowClick();
    void ListBoxShowClick();
    void ListBoxShowDblClick();
    bool ListBoxShowDragOver(QObject* source, int x, int y);   // true: the drop is accepted
    void ListBoxShowDragDrop(int x, int y);
    void SpeedButtonAddMusicClick();
    void SpeedButtonClearOneMusicClick();
    void SpeedButtonClearAllMusicClick();
    void SpeedButtonLoadListMusicClick();
    void SpeedButtonSaveListMusicClick();
    void SpeedButtonPrevMusicClick();
    void SpeedButtonFollowMusicClick();
    void ListBoxMusicDblClick();
    bool ListBoxMusicDragOver(QObject* source, int x, int y);
    void ListBoxMusicDragDrop(int x, int y);
    void SpeedButtoneNDClick();
    void ScrollBarMusicTrackScroll();
    void ScrollBarVolumMusicChange();
    void ScrollBarVolumMusicScroll();
    // Option page, saves and status messages (form_sound_options.cpp).
    void RadioGroupStartPlayListClick();
    void RadioButtonClickModeClick();
    void rgClearDmxClick();
    void RadioGroupRecQuitClick();
    void ScrollBarWheelSensorChange();
    void ScrollBarWheelSensorScroll();
    void CheckBoxWheelDirectClick();
    void CheckBoxFormSoundClick();
    void CheckBoxFormSequenserClick();
    void CheckBoxFormButtonsClick();
    void chkVolumeClick();
    void ScrollBarVolmusicMainChange();
    void ScrollBarVolumNewChange();
    void ScrollBarTaprSpringChange();
    void ScrollBarAlphaChange();
    void trckbrGainChange();
    void SpeedButtonAGCClick();
    void SpeedButtonATCClick();
    void SpeedButtonABCClick();
    void SpeedButtonSaveSequensClick();
    void SpeedButtonSaveFileTrackClick();
    void TimerRecFileSequenserTimer();
    void StatuBarString(const QString& Text, int holdMs = 1000);
    // The notices about the show's files (changes kept in a copy, a newer copy there) stay
    // longer than a save's message: the operator may be looking at the fountain.
    static constexpr int kShowFilesNoticeMs = 10000;
    void ShowFilesNotice(const std::string& text);
    // After a load of the show's track file and/or the sequencer file has reached the
    // controls: what is in memory counts as saved, and a newer copy of changes not saved is
    // named (after kept, the notice of the copies just written, when there is one).
    void ShowFilesTakenUp(bool track, bool seq, const std::string& kept = {});
    void TimerStatusBarTimer();
    void ReturnOptionData();   // option records into the Option and Schedule pages
    // Schedule page (form_sound_schedule.cpp); k is the slot 1..8.
    void ReturnTimeData();
    void TimesOnOffToLabel();
    void udHClick(int k);
    void udMClick(int k);
    void ComboBoxModeChange(int k);
    void CheckBoxScheduleONClick();
    void CheckBoxSpotJobAlwausClick();
    void RadioGroupRadioButtonClick();
    void udSetTimeOnHourClick();
    void udSetTimeOnMinClick();
    void udSetTimeOffHourClick();
    void udSetTimeOffMinClick();
    void SetScheduleOnBox(bool on);   // the box and ProgramFlags[10] together
    // The mode timer's time of day (tests give their own); read once per tick.
    void SetLocalClock(std::function<spirelo::LocalTime()> clock) { localClock_ = std::move(clock); }

    // Handlers of this window.
    void onChekTrack(int tag);
    void PageControlChange(int index);
    void RadioGroupCodaClick();

    // True while one of the three timers' handlers is running (a message box it raised may be
    // open): the others wait for their next turn.
    bool TimerBusy() const { return timerBusy_; }
    bool Creating() const { return creating_; }   // FormCreate is running

    // ---- Controls above the pages ---------------------------------------------------------
    SoundPaintBox* PaintBoxGraficWave = nullptr;           // 970 x 115
    QWidget* PlayerPanel = nullptr;                    // where createPlayerControls puts its bars
    // Music player controls (created by createPlayerControls, form_sound_player.cpp).
    QScrollBar* ScrollBarVolume = nullptr;
    QLabel* LabelVolume = nullptr;
    QScrollBar* ScrollBarFriquence = nullptr;
    QLabel* LabelFriq = nullptr;
    QToolButton* SpeedButtonMp3 = nullptr;
    QToolButton* SpeedButtonSoundBegin = nullptr;
    spirelo::FileDialog OpenDialogSound{spirelo::FileDialog::Kind::Open};
    QToolButton* SpeedButtonAllselect = nullptr;
    QToolButton* SpeedButtonResetLeng = nullptr;
    QCheckBox* CheckBoxTimeTogethe = nullptr;
    QCheckBox* CheckBoxPlaySynxro = nullptr;
    QToolButton* SpeedButtonFocus = nullptr;
    SoundShape* ShapeRec = nullptr;
    QTabWidget* PageControl = nullptr;
    spirelo::StatusPanels* StatusBar = nullptr;        // six panels; 5 carries the messages

    QTimer* TimerRepaint = nullptr;                    // 10 ms: the show tick
    QTimer* TimerWindow = nullptr;                     // 500 ms: the mode timer
    QTimer* TimerGistoRate = nullptr;                  // 224 ms: selection texts, histogram
    QTimer* TimerRecFileSequenser = nullptr;           // 10 s autosave, one-shot
    QTimer* TimerStatusBar = nullptr;                  // 1 s, clears panel 5

    // ---- Page 0 "BPM" ---------------------------------------------------------------------
    SoundPaintBox* PaintBoxSpectr = nullptr;               // 649 x 127
    SoundPaintBox* PaintBoxBPM = nullptr;                  // 649 x 127
    SoundPaintBox* PaintBoxCube = nullptr;                 // 649 x 143
    QScrollBar* ScrollBarDecay = nullptr;
    QScrollBar* ScrollBarMid = nullptr;
    QScrollBar* ScrollBar2 = nullptr;
    QSlider* trckbrGain = nullptr;
    QSlider* trckbrFFTbpm = nullptr;
    QToolButton* SpeedButtonAGC = nullptr;
    QToolButton* SpeedButtonATC = nullptr;
    QToolButton* SpeedButtonABC = nullptr;
    SoundShape* shpAGC = nullptr;
    SoundShape* shpATC = nullptr;
    SoundShape* shpABC = nullptr;
    QProgressBar* ProgressBarDown = nullptr;
    QProgressBar* ProgressBarMidl = nullptr;
    QProgressBar* pbGain = nullptr;
    QProgressBar* pbGainPlav = nullptr;
    QLabel* lblGain = nullptr;
    QLabel* lbl2 = nullptr;
    QProgressBar* pb1 = nullptr;
    QProgressBar* pb2 = nullptr;
    QProgressBar* pb3 = nullptr;
    QProgressBar* pb4 = nullptr;
    QProgressBar* pb5 = nullptr;
    QProgressBar* pb6 = nullptr;

    // ---- Page 1 "Tracks" ------------------------------------------------------------------
    SoundPaintBox* PaintBoxTrackRec = nullptr;             // 970 x 129
    SoundPaintBox* PaintBoxTrack_A = nullptr;              // 970 x 64
    SoundPaintBox* PaintBoxTrack_B = nullptr;
    SoundPaintBox* PaintBoxTrack_C = nullptr;
    SoundPaintBox* PaintBoxGistoTrack = nullptr;           // 970 x 130
    QScrollBar* ScrollBarTrackNombRecs = nullptr;
    QScrollBar* ScrollBarTrackNomb_A = nullptr;
    QScrollBar* ScrollBarTrackNomb_B = nullptr;
    QScrollBar* ScrollBarTrackNomb_C = nullptr;
    QToolButton* sbPlayTrack = nullptr;                // the four record modes: one group
    QToolButton* SpeedButtonTrackMouseRec = nullptr;
    QToolButton* SpeedButtonRecTrackKeyBoard = nullptr;
    QToolButton* SpeedButtonRgbRec = nullptr;
    QButtonGroup* RecModeGroup = nullptr;
    QToolButton* SpeedButtonOnlyOneTrack = nullptr;
    QToolButton* SpeedButtonColor = nullptr;
    QToolButton* SpeedButtonCurretTrack = nullptr;
    QToolButton* SpeedButtonGistoLine = nullptr;
    QToolButton* SpeedButtonFulltrack = nullptr;
    QLineEdit* edtNameTrack = nullptr;
    QToolButton* SpeedButtonTrackDown = nullptr;
    QToolButton* SpeedButtonTrackUP = nullptr;
    QToolButton* SpeedButtonTrackClear = nullptr;
    QToolButton* sbChangeTrackSeq = nullptr;
    QToolButton* SpeedButtonTrackMormal = nullptr;
    QToolButton* SpeedButtonTrackNew = nullptr;
    QToolButton* SpeedButtoClearDMX = nullptr;
    QToolButton* SpeedButtonWievJobTrack = nullptr;
    QToolButton* SpeedButtonAllOff = nullptr;
    QToolButton* SpeedButtonAllOn = nullptr;
    QToolButton* SpeedButtonOnlyTrack = nullptr;
    QToolButton* SpeedButtonCopyTrackName = nullptr;
    QToolButton* SpeedButtonPasteTrackName = nullptr;
    QToolButton* SpeedButtonDelTrackSelect = nullptr;
    QCheckBox* CheckBoxSearchAlltrack = nullptr;
    QCheckBox* CheckBoxSynxroTracks = nullptr;
    QCheckBox* CheckBoxLastTrack = nullptr;
    QLabel* lblStartPix = nullptr;
    QLabel* lblFinPix = nullptr;
    QScrollBar* ScrollBarSeqMouse = nullptr;
    QScrollBar* ScrollBarScenaMouse = nullptr;
    QScrollBar* ScroliBarDelayBit = nullptr;
    QLabel* LabelDelayBit = nullptr;
    QToolButton* SpeedButtonAdnOFF = nullptr;
    QLabel* lbCurrent = nullptr;
    QLabel* lbNameSeq = nullptr;
    QToolButton* SpeedButtonOnInvers = nullptr;
    QScrollBar* ScrollBarSeqMouseInvers = nullptr;
    QScrollBar* ScrollBarScenaMouseInvers = nullptr;
    QLabel* lbNameInv = nullptr;
    QLabel* LabelCurrentInvers = nullptr;
    QToolButton* SpeedButtonPipetka = nullptr;
    QToolButton* SpeedButtonDeletZero = nullptr;

    // ---- Page 2 "Keyboard" ----------------------------------------------------------------
    QGroupBox* GroupBoxVisKey = nullptr;
    SoundPaintBox* PaintBoxKey[26] = {};                   // PaintBoxA .. PaintBoxZ by letter
    SoundShape* shp_skob = nullptr;
    SoundShape* shp_kav = nullptr;
    SoundShape* shp_kosaj = nullptr;
    SoundShape* ShapeSpace = nullptr;                      // the space tile (shown with a restart mark)
    QLabel* LabelSpace = nullptr;
    QToolButton* SpeedButtonKit[8] = {};               // SpeedButtonKit1 .. SpeedButtonKit7
    QButtonGroup* KitGroup = nullptr;
    SoundRadioGroup* RadioGroupKitKey = nullptr;
    QLabel* LabelKeyNom = nullptr;
    QToolButton* sbPlusScenaRec = nullptr;
    QLabel* lbTest = nullptr;
    SoundRadioGroup* RadioGroupNewMode = nullptr;
    QGroupBox* grpSetNewSeq = nullptr;
    QScrollBar* ScrollBarNewSeq = nullptr;
    QLabel* LabelNewSeq = nullptr;
    QToolButton* sbNewMode = nullptr;
    QToolButton* sbRecScena = nullptr;
    QToolButton* sbClearKeyBuf = nullptr;
    QToolButton* SpeedButtonClearAll = nullptr;
    QToolButton* sbKeyCopy = nullptr;
    QToolButton* sbKeyPaste = nullptr;
    QToolButton* SpeedButtonSaveSequens = nullptr;
    SoundPaintBox* PaintBoxAssign = nullptr;               // 617 x 355, hidden
    QToolButton* SpeedButtonCloseWIN = nullptr;

    // ---- Page 3 "Play List" ---------------------------------------------------------------
    SoundListBox* ListBoxShow = nullptr;
    QLabel* lblmaxFileShow = nullptr;
    QToolButton* SpeedButtonLoadList = nullptr;
    QToolButton* SpeedButtonSaveList = nullptr;
    QToolButton* SpeedButtonAddList = nullptr;
    QToolButton* SpeedButtonClearOneList = nullptr;
    QToolButton* SpeedButtonListClear = nullptr;
    QToolButton* SpeedButtonPrev = nullptr;
    QToolButton* SpeedButtonFollow = nullptr;
    QToolButton* SpeedButtonSaveSequen = nullptr;
    QGroupBox* GroupBoxMusic = nullptr;
    spirelo::FileDialog OpenDialogShow{spirelo::FileDialog::Kind::Open};
    spirelo::FileDialog SaveDialogShow{spirelo::FileDialog::Kind::Save};
    spirelo::FileDialog OpenDialogListBox{spirelo::FileDialog::Kind::Open};

    // ---- Page 4 "Effects" -----------------------------------------------------------------
    SoundPaintBox* PaintBoxEffect = nullptr;               // 970 x 397
    QScrollBar* ScrollBarNomberEffect = nullptr;
    SoundRadioGroup* RadioGroupEffectOnOff = nullptr;
    QScrollBar* ScrollBarEffectNombSeq = nullptr;
    QScrollBar* ScrollBarEffectTime = nullptr;
    QScrollBar* ScrollBarEffectLevel = nullptr;
    QLineEdit* editNameEffect = nullptr;
    QToolButton* SpeedButtonEffectRecord = nullptr;
    QToolButton* SpeedButtonClearEffect = nullptr;
    QToolButton* SpeedButtonClearAlleffects = nullptr;
    QToolButton* SpeedButtonCopyToKontainer = nullptr;
    QToolButton* SpeedButtonPasteFromKontainer = nullptr;
    QToolButton* SpeedButtonCopyEffct = nullptr;
    QToolButton* SpeedButtonPasteEffct = nullptr;
    QToolButton* SpeedButtonSaveFileTrack = nullptr;
    QLabel* lblEffectNomber = nullptr;
    QLabel* lblEffSeqNomb = nullptr;
    QLabel* lblEffSeqName = nullptr;
    QLabel* lblEffTime = nullptr;
    QLabel* LabelEffLevel = nullptr;
    QLabel* LabelstartEffect = nullptr;
    QLabel* lblFinishEffect = nullptr;
    QProgressBar* pbVibrato = nullptr;
    SoundShape* shpOFF = nullptr;
    SoundShape* shpRATE = nullptr;
    SoundShape* shpDECAY = nullptr;
    SoundShape* shpVibro = nullptr;
    SoundShape* shpMux = nullptr;
    SoundShape* shpMod = nullptr;
    SoundShape* shpAdd = nullptr;

    // ---- Page 5 "Option" ------------------------------------------------------------------
    SoundRadioGroup* RadioGroupStartPlayList = nullptr;
    SoundRadioGroup* RadioButtonClickMode = nullptr;
    SoundRadioGroup* rgClearDmx = nullptr;
    SoundRadioGroup* RadioGroupCoda = nullptr;
    QGroupBox* GroupBoxFiles = nullptr;                // "Файловые "
    SoundRadioGroup* RadioGroupRecQuit = nullptr;
    QScrollBar* ScrollBarWheelSensor = nullptr;
    QLabel* lblWheelSensor = nullptr;
    QCheckBox* CheckBoxWheelDirect = nullptr;
    QCheckBox* CheckBoxFormSound = nullptr;
    QCheckBox* CheckBoxFormSequenser = nullptr;
    QCheckBox* CheckBoxFormButtons = nullptr;
    QCheckBox* chkVolume = nullptr;
    QScrollBar* ScrollBarVolmusicMain = nullptr;
    QCheckBox* CheckBoxVolmusicMain = nullptr;
    QScrollBar* ScrollBarVolumNew = nullptr;
    QCheckBox* CheckBoxVolumNew = nullptr;
    QGroupBox* GroupBoxTrack = nullptr;                // " Трек ", hidden
    QScrollBar* ScrollBarTaprSpring = nullptr;
    QLabel* LabelTimeSpring = nullptr;
    QScrollBar* ScrollBarAlpha = nullptr;
    QToolButton* SpeedButtonSaveSeqOption = nullptr;
    QGroupBox* GroupBoxNorm = nullptr;                 // "Нормализация Трека ", hidden
    QCheckBox* CheckBoxNormStup = nullptr;
    QCheckBox* CheckBoxNormReleas = nullptr;
    QScrollBar* ScrollBarNormRelaease = nullptr;
    QCheckBox* CheckBoxNormMaxLev = nullptr;

    // ---- Page 6 "Schedule" ----------------------------------------------------------------
    QGroupBox* GroupBox8 = nullptr;                    // "Schedule"
    QCheckBox* CheckBoxScheduleON = nullptr;
    QLabel* lblTIME = nullptr;
    SoundShape* shpFlash = nullptr;
    QLabel* lblmodeAquel = nullptr;
    QToolButton* SpeedButtonSaveSeqMus = nullptr;
    QLabel* lbltime[9] = {};                           // lbltime1 .. lbltime8
    QSpinBox* udH[9] = {};                             // udH1 .. udH8
    QSpinBox* udM[9] = {};                             // udM1 .. udM8
    QComboBox* ComboBoxMode[9] = {};                   // ComboBoxMode1 .. ComboBoxMode8
    SoundShape* shpJob[9] = {};                            // shpJob1 .. shpJob8
    QGroupBox* GroupBoxSpotJob = nullptr;              // hidden and disabled
    QSpinBox* udSetTimeOnHour = nullptr;
    QSpinBox* udSetTimeOnMin = nullptr;
    QSpinBox* udSetTimeOffHour = nullptr;
    QSpinBox* udSetTimeOffMin = nullptr;
    QLabel* lblSpotON = nullptr;
    QLabel* lblSpotOFF = nullptr;
    SoundShape* shpSpotOn = nullptr;
    QCheckBox* CheckBoxSpotJobAlwaus = nullptr;
    SoundRadioGroup* RadioGroupRadioButton = nullptr;
    QGroupBox* GroupBoxMUsicList = nullptr;
    SoundListBox* ListBoxMusic = nullptr;
    QLabel* lblmaxFileMusic = nullptr;
    QToolButton* SpeedButtonAddMusic = nullptr;
    QToolButton* SpeedButtonClearOneMusic = nullptr;
    QToolButton* SpeedButtonClearAllMusic = nullptr;
    QToolButton* SpeedButtonLoadListMusic = nullptr;
    QToolButton* SpeedButtonSaveListMusic = nullptr;
    QToolButton* SpeedButtonPrevMusic = nullptr;
    QToolButton* SpeedButtonFollowMusic = nullptr;
    QToolButton* SpeedButtoneND = nullptr;
    QScrollBar* ScrollBarMusicTrack = nullptr;
    QScrollBar* ScrollBarVolumMusic = nullptr;
    QLabel* lblvolume = nullptr;
    QLabel* lblpos = nullptr;
    spirelo::FileDialog dlgOpenMusicList{spirelo::FileDialog::Kind::Open};
    spirelo::FileDialog dlgSaveMusicList{spirelo::FileDialog::Kind::Save};
    spirelo::FileDialog dlgOpenSoundMusic{spirelo::FileDialog::Kind::Open};
    std::unique_ptr<spirelo::MediaPlayer> MediaPlayer;

    // Off-screen pictures of the paint boxes.
    QPixmap EnvelopeBitmap, WaveBitmap;
    QPixmap TrackBitmap, TrackBitmap2;
    QPixmap EffectBitmap, EffectBitmap2;
    QPixmap TrackRecBitmap, TrackViewBitmap, SpectrBitmap, BPMBitmap, CubeBitmap;
    QPixmap TileBitmap, AssignBitmap, GistoBitmap, SpareBitmap;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void createPlayerControls();   // the music player's bars and buttons (form_sound_player.cpp)
    void createPageBPM(QWidget* page);
    void createPageTracks(QWidget* page);
    void createPageKeyboard(QWidget* page);
    void createPagePlayList(QWidget* page);
    void createPageEffects(QWidget* page);
    void createPageOption(QWidget* page);
    void createPageSchedule(QWidget* page);
    void createBitmaps();
    void placeOnScreen();
    void connectKeyboardPage();
    void runBankOp(int op);
    void loadLists();
    void saveShowList();
    void connectListHandlers();
    void connectOptionHandlers();
    void connectScheduleHandlers();
    void udSetTimeClick(int slot, QSpinBox* box);
    std::function<spirelo::LocalTime()> localClock_ = [] { return spirelo::NowLocal(); };
    bool creating_ = false;   // FormCreate is running
    void connectTracksPage();    // form_sound_tracks.cpp
    void connectEffectsPage();   // form_sound_effects.cpp
    void ShowTrackViewBars();
    void ShowTrackBoxes();
    void SwitchRecordTrackOn();
    void ShowEffectSpan();

    QCheckBox* TrackCheck[33] = {};   // the 32 run-time track boxes, Tag 1..32
    bool timerBusy_ = false;
    bool destroyed_ = false;
    bool shapeRecVisible_ = false;
    uint32_t lastSoundChannel_ = 0;
};

extern TFormSound* FormSound;
