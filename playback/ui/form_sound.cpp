#include "playback/ui/form_sound.h"

#include "common/file_io.h"
#include "common/text_codec.h"
#include "common/ui/qt_helpers.h"
#include "common/ui/text_fit.h"
#include "common/ui/window_placement.h"
#include "core/show_data.h"
#include "core/event_log.h"
#include "core/text_routines.h"
#include "core/ui/form_maim.h"
#include "platform/media_player.h"
#include "platform/program_paths.h"
#include "playback/modes.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/sound_view.h"
#include "playback/spectrum.h"
#include "playback/ui/form_input.h"

#include <QCloseEvent>
#include <QResizeEvent>
#include <QMetaObject>
#include <QPainter>

#include <utility>

using namespace spirelo;

TFormSound* FormSound = nullptr;

namespace {

QToolButton* Speed(QWidget* parent, int x, int y, int w, int h, const QString& caption,
                   const QString& hint = {}, bool toggle = false) {
    auto* b = new QToolButton(parent);
    b->setGeometry(x, y, w, h);
    b->setText(caption);
    if (!hint.isEmpty()) b->setToolTip(hint);
    b->setCheckable(toggle);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(false);
    return b;
}

QScrollBar* Bar(QWidget* parent, int x, int y, int w, int h, int min, int max, int pos,
                const QString& hint = {}, Qt::Orientation o = Qt::Horizontal) {
    auto* s = new QScrollBar(o, parent);
    s->setGeometry(x, y, w, h);
    s->setRange(min, max);
    s->setValue(pos);
    s->setPageStep(1);
    if (!hint.isEmpty()) s->setToolTip(hint);
    return s;
}

QLabel* Label(QWidget* parent, int x, int y, int w, int h, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, h);
    return l;
}

QCheckBox* Check(QWidget* parent, int x, int y, int w, int h, const QString& text, bool on,
                 const QString& hint = {}) {
    auto* c = new QCheckBox(text, parent);
    c->setGeometry(x, y, w, h);
    c->setChecked(on);
    if (!hint.isEmpty()) c->setToolTip(hint);
    return c;
}

QProgressBar* Progress(QWidget* parent, int x, int y, int w, int h, int max = 255,
                       Qt::Orientation o = Qt::Horizontal) {
    auto* p = new QProgressBar(parent);
    p->setGeometry(x, y, w, h);
    p->setOrientation(o);
    p->setRange(0, max);
    p->setValue(0);
    p->setTextVisible(false);
    return p;
}

QGroupBox* Group(QWidget* parent, int x, int y, int w, int h, const QString& caption) {
    auto* g = new QGroupBox(caption, parent);
    g->setGeometry(x, y, w, h);
    return g;
}

SoundRadioGroup* Radio(QWidget* parent, int x, int y, int w, int h, const QString& caption,
                   const QStringList& items, int index, int columns = 1) {
    auto* r = new SoundRadioGroup(parent, caption, items, columns);
    r->setGeometry(x, y, w, h);
    r->setItemIndex(index);
    return r;
}

QSpinBox* UpDown(QWidget* parent, int x, int y, int min, int max, int step, const QString& hint = {}) {
    auto* s = new QSpinBox(parent);
    s->setGeometry(x, y, 46, 21);
    s->setRange(min, max);
    s->setSingleStep(step);
    s->setWrapping(false);
    if (!hint.isEmpty()) s->setToolTip(hint);
    return s;
}

QSlider* Track(QWidget* parent, int x, int y, int w, int h, int min, int max, int pos) {
    auto* t = new QSlider(Qt::Vertical, parent);
    t->setGeometry(x, y, w, h);
    t->setRange(min, max);
    t->setValue(pos);
    t->setInvertedAppearance(true);   // the original's vertical track bar grows downwards
    return t;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

TFormSound::TFormSound(QWidget* parent) : QWidget(parent) {
    createControls();
    spirelo::FitTexts(this);
}

TFormSound::~TFormSound() {
    FormDestroy();
}

void TFormSound::createControls() {
    setWindowTitle("Audio and Track");
    setObjectName("FormSound");
    setFixedSize(1108, 581);
    setWindowOpacity(245.0 / 255.0);

    PaintBoxGraficWave = new SoundPaintBox(this, 4, 2, 970, 115);
    PaintBoxGraficWave->setEnabled(false);   // enabled once a show's audio is open
    PlayerPanel = new QWidget(this);
    PlayerPanel->setGeometry(978, 2, 128, 115);
    SpeedButtonAllselect = Speed(PlayerPanel, 0, 70, 30, 20, "All", "Select all song");
    SpeedButtonResetLeng = Speed(PlayerPanel, 32, 70, 30, 20, "1..9", "Reset length of select");
    SpeedButtonFocus = Speed(PlayerPanel, 64, 70, 40, 20, "Focus", "Set window focus", true);
    ShapeRec = new SoundShape(PlayerPanel, 108, 72, 16, 16, SoundShape::Circle, 0x0000FF);
    CheckBoxTimeTogethe = Check(PlayerPanel, 0, 94, 58, 20, "Time", true, "Show time on lines");
    CheckBoxPlaySynxro = Check(PlayerPanel, 60, 94, 68, 20, "Synxro", false, "Play on press");
    ShapeRec->hide();

    PageControl = new QTabWidget(this);
    PageControl->setGeometry(0, 120, 1108, 438);
    PageControl->setFocusPolicy(Qt::NoFocus);
    const char* const captions[] = {"BPM", "Tracks", "Keyboard", "Play List", "Effects", "Option", "Schedule"};
    QWidget* pages[7];
    for (int i = 0; i < 7; ++i) {
        pages[i] = new QWidget();
        PageControl->addTab(pages[i], captions[i]);
    }
    createPageBPM(pages[0]);
    createPageTracks(pages[1]);
    createPageKeyboard(pages[2]);
    createPagePlayList(pages[3]);
    createPageEffects(pages[4]);
    createPageOption(pages[5]);
    createPageSchedule(pages[6]);

    StatusBar = new StatusPanels({80, 80, 80, 100, 150, 50}, 0, this);
    StatusBar->setGeometry(0, 558, 1108, 23);
    StatusBar->setSizeGripEnabled(false);

    TimerRepaint = MakeTimer(this, 10);
    TimerWindow = MakeTimer(this, 500);
    TimerGistoRate = MakeTimer(this, 224);
    TimerRecFileSequenser = MakeTimer(this, 10000);
    TimerStatusBar = MakeTimer(this, 1000);

    createPlayerControls();
    // The player's bars and buttons take the top of the panel beside the waveform.
    auto place = [](QWidget* w, int x, int y, int wd, int h) { if (w) w->setGeometry(x, y, wd, h); };
    place(ScrollBarVolume, 0, 0, 84, 16);
    place(LabelVolume, 0, 17, 86, 14);
    place(ScrollBarFriquence, 0, 34, 84, 16);
    place(LabelFriq, 0, 51, 128, 14);
    place(SpeedButtonMp3, 88, 0, 38, 20);
    place(SpeedButtonSoundBegin, 88, 24, 38, 20);

    // Handlers are connected after every start value is in place.
    connect(TimerRepaint, &QTimer::timeout, this, &TFormSound::TimerRepaintTimer);
    connect(TimerWindow, &QTimer::timeout, this, &TFormSound::TimerWindowTimer);
    connect(TimerGistoRate, &QTimer::timeout, this, &TFormSound::TimerGistoRateTimer);
    connect(PageControl, &QTabWidget::currentChanged, this, &TFormSound::PageControlChange);
    connect(PaintBoxGraficWave, &SoundPaintBox::mouseDown, this,
            [this](Qt::MouseButton b, int x, int y, Qt::KeyboardModifiers) { PaintBoxGraficWaveMouseDown(b, x, y); });
    connect(PaintBoxGraficWave, &SoundPaintBox::mouseMove, this,
            [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { PaintBoxGraficWaveMouseMove(x, y); });
    connect(PaintBoxGraficWave, &SoundPaintBox::mouseUp, this, [this](Qt::MouseButton, int, int) { PaintBoxGraficWaveMouseUp(); });
    connect(SpeedButtonAllselect, &QToolButton::clicked, this, &TFormSound::SpeedButtonAllselectClick);
    connect(SpeedButtonResetLeng, &QToolButton::clicked, this, &TFormSound::SpeedButtonResetLengClick);
    connect(RadioGroupCoda, &SoundRadioGroup::clicked, this, &TFormSound::RadioGroupCodaClick);
    connectListHandlers();
    connectOptionHandlers();
    connectScheduleHandlers();
    connectKeyboardPage();
    connectTracksPage();
    connectEffectsPage();
}

void TFormSound::createPageBPM(QWidget* page) {
    PaintBoxSpectr = new SoundPaintBox(page, 8, 6, 649, 127);
    PaintBoxBPM = new SoundPaintBox(page, 8, 138, 649, 127);
    PaintBoxCube = new SoundPaintBox(page, 8, 270, 649, 143);
    Label(page, 668, 6, 60, 16, "Decay");
    ScrollBarDecay = Bar(page, 730, 6, 120, 16, 1, 5, 3, "Decay of peaks");
    Label(page, 668, 26, 60, 16, "Middle");
    ScrollBarMid = Bar(page, 730, 26, 120, 16, 1, 5, 1, "Step of average");
    Label(page, 668, 46, 60, 16, "Margin");
    ScrollBar2 = Bar(page, 730, 46, 120, 16, 1, 100, 1, "Margin of beat");
    trckbrGain = Track(page, 862, 6, 28, 160, 1, 35, 35);
    trckbrGain->setToolTip("Beat threshold");
    trckbrFFTbpm = Track(page, 896, 6, 28, 160, 1, 35, 35);
    trckbrFFTbpm->setToolTip("Marker band");
    SpeedButtonAGC = Speed(page, 668, 70, 40, 22, "AGC", {}, true);
    SpeedButtonATC = Speed(page, 668, 96, 40, 22, "ATC", {}, true);
    SpeedButtonABC = Speed(page, 668, 122, 40, 22, "ABC", {}, true);
    shpAGC = new SoundShape(page, 712, 74, 14, 14, SoundShape::Rectangle, 0x808080);
    shpATC = new SoundShape(page, 712, 100, 14, 14, SoundShape::Rectangle, 0x808080);
    shpABC = new SoundShape(page, 712, 126, 14, 14, SoundShape::Rectangle, 0x808080);
    ProgressBarDown = Progress(page, 940, 6, 16, 200, 255, Qt::Vertical);
    ProgressBarMidl = Progress(page, 960, 6, 16, 200, 255, Qt::Vertical);
    pbGain = Progress(page, 984, 6, 16, 200, 255, Qt::Vertical);
    pbGainPlav = Progress(page, 1004, 6, 16, 200, 255, Qt::Vertical);
    lblGain = Label(page, 940, 210, 100, 16, "lev  1");
    lbl2 = Label(page, 940, 228, 100, 16, "koef 128");
    QProgressBar** sums[] = {&pb1, &pb2, &pb3, &pb4, &pb5, &pb6};
    for (int i = 0; i < 6; ++i) *sums[i] = Progress(page, 740 + 18 * i, 200, 14, 180, 255, Qt::Vertical);
}

void TFormSound::createPageTracks(QWidget* page) {
    PaintBoxTrackRec = new SoundPaintBox(page, 4, 2, 970, 129);
    PaintBoxTrack_A = new SoundPaintBox(page, 4, 133, 970, 64);
    PaintBoxTrack_B = new SoundPaintBox(page, 4, 199, 970, 64);
    PaintBoxTrack_C = new SoundPaintBox(page, 4, 265, 970, 64);
    PaintBoxGistoTrack = new SoundPaintBox(page, 4, 333, 970, 130);   // whole with the window opened full
    ScrollBarTrackNombRecs = Bar(page, 978, 2, 124, 16, 0, 31, 0, "Record track");
    ScrollBarTrackNomb_A = Bar(page, 978, 133, 124, 16, 0, 30, 0, "Track of view A");
    ScrollBarTrackNomb_B = Bar(page, 978, 199, 124, 16, 0, 30, 0, "Track of view B");
    ScrollBarTrackNomb_C = Bar(page, 978, 265, 124, 16, 0, 30, 0, "Track of view C");

    sbPlayTrack = Speed(page, 978, 20, 30, 24, "Play", "mode Play track", true);
    SpeedButtonTrackMouseRec = Speed(page, 1009, 20, 30, 24, "Ms", "Mode record bay  mouse", true);
    SpeedButtonRecTrackKeyBoard = Speed(page, 1040, 20, 30, 24, "Kb", "Mode record bay press button", true);
    SpeedButtonRgbRec = Speed(page, 1071, 20, 30, 24, "RGB", "Mode record bay Color area", true);
    RecModeGroup = new QButtonGroup(page);
    RecModeGroup->setExclusive(true);
    for (QToolButton* b : {sbPlayTrack, SpeedButtonTrackMouseRec, SpeedButtonRecTrackKeyBoard, SpeedButtonRgbRec})
        RecModeGroup->addButton(b);
    sbPlayTrack->setChecked(true);

    SpeedButtonTrackDown = Speed(page, 978, 46, 30, 20, "<", "Track forward less");
    SpeedButtonTrackUP = Speed(page, 1009, 46, 30, 20, ">", "Track forward more");
    SpeedButtonTrackClear = Speed(page, 1040, 46, 30, 20, "Del", "Delete current track");
    sbChangeTrackSeq = Speed(page, 1071, 46, 30, 20, "Seq", "Change inti track nomber sequenser");
    SpeedButtonTrackNew = Speed(page, 978, 68, 30, 20, "New", "Clear all tracks");
    SpeedButtoClearDMX = Speed(page, 1009, 68, 30, 20, "DMX", "Clear channels DMX");
    SpeedButtonWievJobTrack = Speed(page, 1040, 68, 30, 20, "Find", "Find job traks");
    SpeedButtonFulltrack = Speed(page, 1071, 68, 30, 20, "Full", "Open Windows Tracks", true);
    SpeedButtonAllOff = Speed(page, 978, 90, 30, 20, "Off", "OFF all tracks");
    SpeedButtonAllOn = Speed(page, 1009, 90, 30, 20, "On", "ON all tracks");
    SpeedButtonOnlyTrack = Speed(page, 1040, 90, 30, 20, "One", "ON only current track");
    SpeedButtonDelTrackSelect = Speed(page, 1071, 90, 30, 20, "DelS", "Delete track select");
    SpeedButtonDelTrackSelect->setEnabled(false);
    SpeedButtonOnlyOneTrack = Speed(page, 978, 112, 30, 18, "1", "Histogram of record track only", true);
    SpeedButtonColor = Speed(page, 1009, 112, 30, 18, "Col", "Color histogram", true);
    SpeedButtonColor->setChecked(true);
    SpeedButtonCurretTrack = Speed(page, 1040, 112, 30, 18, "Cur", "Record track on top", true);
    SpeedButtonGistoLine = Speed(page, 1071, 112, 30, 18, "Bar", "Histogram bars", true);
    SpeedButtonGistoLine->setChecked(true);
    SpeedButtonTrackMormal = Speed(page, 978, 150, 30, 18, "Nrm", "Normalisation track");
    SpeedButtonTrackMormal->hide();
    SpeedButtonCopyTrackName = Speed(page, 1009, 150, 30, 18, "Cpy", "Copy names of tracks");
    SpeedButtonCopyTrackName->hide();
    SpeedButtonPasteTrackName = Speed(page, 1040, 150, 30, 18, "Pst", "Paste names of tracks");
    SpeedButtonPasteTrackName->hide();
    SpeedButtonPasteTrackName->setEnabled(false);

    edtNameTrack = new QLineEdit(page);
    edtNameTrack->setGeometry(978, 152, 124, 20);
    edtNameTrack->setMaxLength(16);
    CheckBoxSearchAlltrack = Check(page, 978, 176, 124, 18, "Search all", false);
    CheckBoxSynxroTracks = Check(page, 978, 174, 124, 18, "Serial Tracks", true);
    CheckBoxSynxroTracks->hide();
    CheckBoxLastTrack = Check(page, 978, 217, 124, 18, "Next track", false, "Record into the next track");
    lblStartPix = Label(page, 978, 235, 124, 15, "No Select");
    lblFinPix = Label(page, 978, 249, 124, 15, "");
    lblFinPix->hide();

    ScrollBarSeqMouse = Bar(page, 978, 284, 124, 16, 0, 63, 0, "Set nomber sequenser for write mouse");
    ScrollBarScenaMouse = Bar(page, 978, 302, 124, 16, 0, 254, 0, "Set nomber scene for write mouse");
    lbCurrent = Label(page, 978, 320, 124, 16, "Seq=1  Scena=1");
    lbNameSeq = Label(page, 978, 336, 124, 16, "");
    ScroliBarDelayBit = Bar(page, 978, 354, 80, 16, 1, 10, 3, "Time sustain for Flash mode ");
    LabelDelayBit = Label(page, 1060, 354, 44, 16, "150 ms");
    SpeedButtonAdnOFF = Speed(page, 978, 370, 40, 20, "Flash", "Flash mode ", true);
    SpeedButtonOnInvers = Speed(page, 1020, 370, 30, 20, "ON", "On invers mode", true);
    SpeedButtonOnInvers->hide();
    ScrollBarSeqMouseInvers = Bar(page, 978, 392, 124, 16, 2, 63, 2);
    ScrollBarSeqMouseInvers->hide();
    ScrollBarScenaMouseInvers = Bar(page, 978, 392, 124, 16, 0, 254, 0);
    ScrollBarScenaMouseInvers->hide();
    lbNameInv = Label(page, 978, 392, 124, 16, "");
    lbNameInv->hide();
    LabelCurrentInvers = Label(page, 978, 392, 124, 16, "");
    LabelCurrentInvers->hide();
    SpeedButtonPipetka = Speed(page, 1052, 370, 30, 20, "Pip", "pipette", true);
    SpeedButtonPipetka->hide();
    SpeedButtonDeletZero = Speed(page, 1084, 370, 20, 20, "0", "Delete low levels");
    SpeedButtonDeletZero->hide();
    // The 32 track boxes are made at creation (FormCreate), on this page.
}

void TFormSound::createPageKeyboard(QWidget* page) {
    GroupBoxVisKey = Group(page, 4, 2, 830, 405, "Visual keyboard ");
    struct Row { const char* letters; int y; int xs[10]; };
    const Row rows[] = {
        {"QWERTYUIOP", 88, {24, 101, 178, 254, 330, 407, 484, 561, 637, 714}},
        {"ASDFGHJKL", 160, {56, 136, 216, 296, 376, 456, 536, 616, 696}},
        {"ZXCVBNM", 232, {103, 183, 263, 343, 423, 503, 583}},
    };
    for (const Row& r : rows)
        for (int i = 0; r.letters[i]; ++i) {
            const int letter = r.letters[i] - 'A';
            PaintBoxKey[letter] = new SoundPaintBox(GroupBoxVisKey, r.xs[i], r.y, 70, 70);
            PaintBoxKey[letter]->setObjectName(QString("PaintBox") + r.letters[i]);
        }
    shp_skob = new SoundShape(GroupBoxVisKey, 791, 88, 34, 70, SoundShape::RoundRect, 0xC0C0C0);
    shp_kav = new SoundShape(GroupBoxVisKey, 776, 160, 34, 70, SoundShape::RoundRect, 0xC0C0C0);
    shp_kosaj = new SoundShape(GroupBoxVisKey, 663, 232, 34, 70, SoundShape::RoundRect, 0xC0C0C0);
    for (SoundShape* s : {shp_skob, shp_kav, shp_kosaj}) {
        s->setToolTip("Stop Clear Seque");
        auto* l = new QLabel(s == shp_skob ? "]\n}" : (s == shp_kav ? "'\n\"" : "/\n?"), s);
        l->setGeometry(0, 0, 34, 70);
        l->setAlignment(Qt::AlignCenter);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    ShapeSpace = new SoundShape(GroupBoxVisKey, 183, 310, 361, 71, SoundShape::RoundRect, 0xFF00FF);
    LabelSpace = Label(GroupBoxVisKey, 250, 335, 230, 20, "Start From Violet Line");
    LabelSpace->setAlignment(Qt::AlignCenter);
    ShapeSpace->hide();
    LabelSpace->hide();
    for (int n = 1; n <= 7; ++n) {
        const QString hint = n == 2 ? "Choice kit keyboard - button 2"
                                    : QString("choice kit keyboard - button %1").arg(n);
        SpeedButtonKit[n] = Speed(GroupBoxVisKey, 24 + 77 * (n - 1), 14, 70, 70, QString::number(n), hint, true);
    }
    KitGroup = new QButtonGroup(page);
    KitGroup->setExclusive(true);
    for (int n = 1; n <= 7; ++n) KitGroup->addButton(SpeedButtonKit[n], n);
    SpeedButtonKit[1]->setChecked(true);
    PaintBoxAssign = new SoundPaintBox(page, 10, 20, 617, 355);
    PaintBoxAssign->hide();
    SpeedButtonCloseWIN = Speed(page, 632, 20, 41, 41, "X", "Закрыть выбор сцены");
    SpeedButtonCloseWIN->hide();

    RadioGroupKitKey = Radio(page, 840, 2, 262, 64, "Kits of keyboards  ", {"1", "2", "3", "4", "5", "6", "7", "8"}, 0, 4);
    LabelKeyNom = Label(page, 840, 70, 120, 18, "1 - 1");
    sbPlusScenaRec = Speed(page, 1060, 68, 40, 22, "+1", "Write follow scena", true);
    lbTest = Label(page, 960, 70, 96, 18, "");
    lbTest->hide();
    RadioGroupNewMode = Radio(page, 840, 94, 262, 96, "Set mode  ",
                              {"OFF All", "Scena to DMX", "Play from scena", "Stop scena"}, 1);
    RadioGroupNewMode->setToolTip("Set mode to all button");
    grpSetNewSeq = Group(page, 840, 194, 262, 48, "Set new sequenser");
    grpSetNewSeq->setToolTip("Установить новый секвенсер  во все кнопки");
    ScrollBarNewSeq = Bar(grpSetNewSeq, 8, 20, 200, 16, 0, 31, 0);
    LabelNewSeq = Label(grpSetNewSeq, 214, 20, 40, 16, "1");
    sbNewMode = Speed(page, 840, 248, 40, 30, "Mode", "Записать новый режим");
    sbRecScena = Speed(page, 884, 248, 40, 30, "Seq", "Записать новый секвенсер");
    sbClearKeyBuf = Speed(page, 928, 248, 40, 30, "Clr", "Delete current kit buttons");
    SpeedButtonClearAll = Speed(page, 972, 248, 40, 30, "ClrA", "Delete all kit buttons");
    sbKeyCopy = Speed(page, 840, 282, 40, 30, "Copy", "Copy kit buttons");
    sbKeyPaste = Speed(page, 884, 282, 40, 30, "Paste", "Paste kit button");
    sbKeyPaste->setEnabled(false);
    SpeedButtonSaveSequens = Speed(page, 928, 282, 40, 30, "Save", "Save file sequenser");
}

void TFormSound::createPagePlayList(QWidget* page) {
    GroupBoxMusic = Group(page, 4, 2, 700, 405, "Music List ");
    ListBoxShow = new SoundListBox(GroupBoxMusic);
    ListBoxShow->setGeometry(8, 20, 684, 376);
    lblmaxFileShow = Label(page, 712, 10, 60, 20, "00");
    lblmaxFileShow->setToolTip("Counter of Songs");
    SpeedButtonLoadList = Speed(page, 712, 36, 40, 30, "Open", "Open show");
    SpeedButtonSaveList = Speed(page, 756, 36, 40, 30, "Save", "Save show");
    SpeedButtonAddList = Speed(page, 712, 70, 40, 30, "Add", "Add file into show");
    SpeedButtonClearOneList = Speed(page, 756, 70, 40, 30, "Del", "Delete file from show");
    SpeedButtonListClear = Speed(page, 800, 70, 40, 30, "Clr", "Clear show");
    SpeedButtonPrev = Speed(page, 712, 104, 40, 30, "<<", "Previous show");
    SpeedButtonFollow = Speed(page, 756, 104, 40, 30, ">>", "Next show");
    SpeedButtonSaveSequen = Speed(page, 712, 138, 40, 30, "Seq", "Save file sequenser");
    OpenDialogShow.DefaultExt = "shw";
    OpenDialogShow.Filter = "Файлы Шоу Spirelo|*.shw";
    OpenDialogShow.Title = "Open PlayList of Spirelo";
    SaveDialogShow.DefaultExt = "shw";
    SaveDialogShow.Filter = "Файлы Шоу Spirelo|*.shw";
    SaveDialogShow.Title = "Cохранить список файлов Шоу Spirelo";
    OpenDialogListBox.DefaultExt = "trk";
    OpenDialogListBox.Filter = "Файлы Spirelo|*.trk";
    OpenDialogListBox.Title = "Открыть файлы Spirelo";
    OpenDialogListBox.Multiple = true;
}

void TFormSound::createPageEffects(QWidget* page) {
    PaintBoxEffect = new SoundPaintBox(page, 4, 2, 970, 397);
    ScrollBarNomberEffect = Bar(page, 978, 2, 124, 16, 0, 63, 0, "Set Nomber of Track of Effect ");
    lblEffectNomber = Label(page, 978, 20, 124, 16, "Effect 1");
    RadioGroupEffectOnOff = Radio(page, 978, 36, 124, 128, "",
                                  {"Quickly", "Rate", "Decay", "Vibrato", "Mux", "Mods", "Add"}, 0);
    RadioGroupEffectOnOff->setToolTip("Type of Effect");
    ScrollBarEffectNombSeq = Bar(page, 978, 166, 124, 16, 0, 63, 23, "Change nomber Sequnser");
    lblEffSeqNomb = Label(page, 978, 182, 40, 16, "Seq 24");
    lblEffSeqName = Label(page, 1020, 182, 82, 16, "");
    ScrollBarEffectTime = Bar(page, 978, 200, 105, 16, 1, 254, 123, "Set Value ");
    lblEffTime = Label(page, 978, 216, 124, 16, "Off ");
    ScrollBarEffectLevel = Bar(page, 978, 234, 124, 16, 0, 511, 123, "Set Value ");
    LabelEffLevel = Label(page, 978, 250, 124, 16, "Off ");
    pbVibrato = Progress(page, 1085, 200, 17, 16);
    pbVibrato->hide();
    editNameEffect = new QLineEdit("No Name Effect", page);
    editNameEffect->setGeometry(978, 268, 124, 20);
    LabelstartEffect = Label(page, 978, 290, 124, 16, "Start  0:00:05");
    lblFinishEffect = Label(page, 978, 306, 124, 16, "Finish 0:00:05");
    SpeedButtonEffectRecord = Speed(page, 978, 324, 30, 24, "Rec", "Record Effect to Buffer");
    SpeedButtonEffectRecord->hide();
    SpeedButtonClearEffect = Speed(page, 1010, 324, 30, 24, "Clr", "Clear Effect");
    SpeedButtonClearAlleffects = Speed(page, 1042, 324, 30, 24, "ClrA", "Clear All Effects");
    SpeedButtonSaveFileTrack = Speed(page, 1074, 324, 28, 24, "Save", "Save All Project");
    SpeedButtonCopyToKontainer = Speed(page, 978, 350, 30, 24, "CpA", "Copy  All Effects To Kontainer");
    SpeedButtonPasteFromKontainer = Speed(page, 1010, 350, 30, 24, "PsA", "Paste All Effects From Kontainer");
    SpeedButtonPasteFromKontainer->setEnabled(false);
    SpeedButtonCopyEffct = Speed(page, 1042, 350, 30, 24, "Cp", "Copy Current Effect ");
    SpeedButtonPasteEffct = Speed(page, 1074, 350, 28, 24, "Ps", "Paste To Current Effect");
    SpeedButtonPasteEffct->setEnabled(false);
    struct Legend { SoundShape** shape; uint32_t color; const char* hint; };
    const Legend legend[] = {
        {&shpOFF, 0x808080, "Color of Effect - Quickly"},
        {&shpRATE, 0x0000FF, "Color of Effect - Rate"},
        {&shpDECAY, 0x00FF00, "Color of Effect - DEcay"},
        {&shpVibro, 0xFF0000, "Color of Effect - Vibrato"},
        {&shpMux, 0x00FFFF, "Color of Effect - Multyplicate"},
        {&shpMod, 0xFF00FF, "Color of Effect - Add Two  Channels and Divide to 2 "},
        {&shpAdd, 0x800080, "Color of Effect - Add Two  Channels and limit 255"},
    };
    for (int i = 0; i < 7; ++i) {
        *legend[i].shape = new SoundShape(page, 978 + 18 * i, 380, 14, 14, SoundShape::Rectangle, legend[i].color);
        (*legend[i].shape)->setToolTip(legend[i].hint);
    }
}

void TFormSound::createPageOption(QWidget* page) {
    RadioGroupStartPlayList = Radio(page, 4, 2, 200, 80, "Start Play List",
                                    {"Nothing", "Play last file", "Play PlayList begin"}, 1);
    RadioGroupCoda = Radio(page, 208, 2, 220, 80, "To Code track ",
                           {"Stop Play Track Finish", "Only Track Repeat", "Play List ALL Repeat"}, 0);
    rgClearDmx = Radio(page, 432, 2, 200, 96, " Очищать буфера DMX ",
                       {"Не очищать", "В начале треков", "В конце треков", "В конце петли"}, 0);
    RadioButtonClickMode = Radio(page, 636, 2, 200, 60, "Режим запуска PLayList ", {"Один клик", "Двойной клик"}, 1);
    RadioButtonClickMode->hide();
    GroupBoxFiles = Group(page, 636, 2, 200, 96, "Файловые ");
    RadioGroupRecQuit = Radio(GroupBoxFiles, 4, 16, 190, 76, "Записать перед выходом",
                              {"Не записывать", "Текущий файл ", "Авто Сохранение"}, 1);
    GroupBoxFiles->hide();

    auto* wheel = Group(page, 4, 104, 200, 70, "While mouse ");
    ScrollBarWheelSensor = Bar(wheel, 8, 20, 120, 16, 1, 120, 120, "Sense of While Mouse ");
    lblWheelSensor = Label(wheel, 132, 20, 64, 16, "Sense 120");
    CheckBoxWheelDirect = Check(wheel, 8, 42, 120, 20, "Direct", true, "Direct move of  While Mouse ");

    // Ends above chkVolume's row, which the documented height of 100 reached into: that text
    // ran into its frame with today's fonts.
    auto* forms = Group(page, 208, 104, 220, 78, "Windows at start");
    CheckBoxFormSound = Check(forms, 8, 20, 200, 18, "Sound", false);
    CheckBoxFormSequenser = Check(forms, 8, 40, 200, 18, "Seqvenser", false);
    CheckBoxFormButtons = Check(forms, 8, 60, 200, 18, "Buttons", false);
    chkVolume = Check(page, 4, 180, 300, 20, "Громкость системы всегда 100%", false, "When running set at the maximum");

    auto* fresh = Group(page, 432, 104, 340, 100, "При создании нового файла ");
    Label(fresh, 8, 20, 60, 16, "Музыка");
    ScrollBarVolmusicMain = Bar(fresh, 70, 20, 120, 16, 100, 640, 300);
    CheckBoxVolmusicMain = Check(fresh, 196, 20, 140, 18, "Громкость 46%", false);
    Label(fresh, 8, 50, 60, 16, "Фонтан");
    ScrollBarVolumNew = Bar(fresh, 70, 50, 120, 16, 10, 100, 50);
    CheckBoxVolumNew = Check(fresh, 196, 50, 140, 18, "Громкость 50%", false);

    GroupBoxTrack = Group(page, 4, 210, 200, 50, " Трек ");
    ScrollBarTaprSpring = Bar(GroupBoxTrack, 8, 20, 120, 16, 1, 30, 10);
    LabelTimeSpring = Label(GroupBoxTrack, 132, 20, 40, 16, "10");
    GroupBoxTrack->hide();

    Label(page, 208, 214, 90, 16, "Alfa of Form ");
    ScrollBarAlpha = Bar(page, 300, 214, 128, 16, 127, 255, 245);
    SpeedButtonSaveSeqOption = Speed(page, 432, 210, 40, 30, "Save", "Save Shedule");

    GroupBoxNorm = Group(page, 4, 270, 300, 100, "Нормализация Трека ");
    CheckBoxNormStup = Check(GroupBoxNorm, 8, 18, 200, 18, "Ступени", true);
    CheckBoxNormReleas = Check(GroupBoxNorm, 8, 38, 200, 18, "Затухание", false);
    ScrollBarNormRelaease = Bar(GroupBoxNorm, 8, 58, 200, 16, 0, 128, 0);
    CheckBoxNormMaxLev = Check(GroupBoxNorm, 8, 78, 200, 18, "Мах уровни все 255", false);
    GroupBoxNorm->hide();
}

void TFormSound::createPageSchedule(QWidget* page) {
    GroupBox8 = Group(page, 4, 2, 420, 405, "Schedule");
    CheckBoxScheduleON = Check(GroupBox8, 10, 20, 60, 20, "ON", true);
    lblTIME = Label(GroupBox8, 80, 20, 80, 20, "00:00 ");
    shpFlash = new SoundShape(GroupBox8, 166, 22, 16, 16, SoundShape::Rectangle, 0x808000);
    lblmodeAquel = Label(GroupBox8, 190, 20, 150, 20, "========");
    SpeedButtonSaveSeqMus = Speed(GroupBox8, 360, 16, 40, 28, "Save", "Save Shedule");
    const QStringList modes = {"OFF", "STOP", "STATIC", "DINAM", "DANCE", "MUSIC"};
    for (int k = 1; k <= 8; ++k) {
        const int y = 50 + 42 * (k - 1);
        lbltime[k] = Label(GroupBox8, 10, y, 60, 21, "00:00 ");
        lbltime[k]->setToolTip("The on-time of mode");
        udH[k] = UpDown(GroupBox8, 74, y, 0, 23, 1, "Set time mode");
        udM[k] = UpDown(GroupBox8, 124, y, 0, 59, 1, "Set time mode");
        ComboBoxMode[k] = new QComboBox(GroupBox8);
        ComboBoxMode[k]->setGeometry(180, y, 100, 21);
        ComboBoxMode[k]->addItems(modes);
        ComboBoxMode[k]->setPlaceholderText("MODE");
        ComboBoxMode[k]->setCurrentIndex(-1);
        ComboBoxMode[k]->setToolTip("Set mode on-time");
        shpJob[k] = new SoundShape(GroupBox8, 290, y + 2, 18, 18, SoundShape::Circle, 0x808080);
        shpJob[k]->setToolTip("Current mode");
    }
    GroupBoxSpotJob = Group(page, 4, 300, 420, 100, "SET WORKING TIME OF LIGHT");
    udSetTimeOnHour = UpDown(GroupBoxSpotJob, 10, 20, 0, 23, 1);
    udSetTimeOnMin = UpDown(GroupBoxSpotJob, 60, 20, 0, 59, 5);
    udSetTimeOffHour = UpDown(GroupBoxSpotJob, 10, 50, 0, 23, 1);
    udSetTimeOffMin = UpDown(GroupBoxSpotJob, 60, 50, 0, 59, 5);
    lblSpotON = Label(GroupBoxSpotJob, 120, 20, 100, 20, "ON 20:00 ");
    lblSpotOFF = Label(GroupBoxSpotJob, 120, 50, 100, 20, "OFF 23:30 ");
    shpSpotOn = new SoundShape(GroupBoxSpotJob, 230, 20, 18, 18, SoundShape::Circle, 0x808000);
    CheckBoxSpotJobAlwaus = Check(GroupBoxSpotJob, 260, 20, 100, 20, "Allways", true);
    GroupBoxSpotJob->setEnabled(false);
    GroupBoxSpotJob->hide();
    RadioGroupRadioButton = Radio(page, 4, 300, 200, 80, "", {"EveryDay", "Weeks", "Day month"}, 0);
    RadioGroupRadioButton->setEnabled(false);
    RadioGroupRadioButton->hide();

    GroupBoxMUsicList = Group(page, 430, 2, 672, 405, "Music List ");
    ListBoxMusic = new SoundListBox(GroupBoxMUsicList);
    ListBoxMusic->setGeometry(8, 20, 560, 320);
    lblmaxFileMusic = Label(GroupBoxMUsicList, 576, 20, 60, 20, "00");
    SpeedButtonLoadListMusic = Speed(GroupBoxMUsicList, 576, 44, 40, 28, "Open", "Open show");
    SpeedButtonSaveListMusic = Speed(GroupBoxMUsicList, 620, 44, 40, 28, "Save", "Save show");
    SpeedButtonAddMusic = Speed(GroupBoxMUsicList, 576, 76, 40, 28, "Add", "Add file into show");
    SpeedButtonClearOneMusic = Speed(GroupBoxMUsicList, 620, 76, 40, 28, "Del", "Delete file from show");
    SpeedButtonClearAllMusic = Speed(GroupBoxMUsicList, 576, 108, 40, 28, "Clr", "Clear show");
    SpeedButtonPrevMusic = Speed(GroupBoxMUsicList, 576, 140, 40, 28, "<<", "Previous music");
    SpeedButtonFollowMusic = Speed(GroupBoxMUsicList, 620, 140, 40, 28, ">>", "Next music");
    SpeedButtoneND = Speed(GroupBoxMUsicList, 576, 172, 84, 28, "End", "To Finish Track");
    ScrollBarMusicTrack = Bar(GroupBoxMUsicList, 8, 346, 560, 16, 0, 100, 0, "Set seek track");
    ScrollBarMusicTrack->setEnabled(false);
    lblpos = Label(GroupBoxMUsicList, 576, 346, 80, 16, "00:00");
    ScrollBarVolumMusic = Bar(GroupBoxMUsicList, 8, 372, 300, 16, 0, 100, 19, "Set Volume track");
    lblvolume = Label(GroupBoxMUsicList, 316, 372, 100, 16, "Volume %");
    dlgOpenMusicList.DefaultExt = "msc";
    dlgOpenMusicList.Filter = "Files List of Musics|*.msc";
    dlgOpenMusicList.Title = "Open List of Music";
    dlgSaveMusicList.DefaultExt = "msc";
    dlgSaveMusicList.Filter = "Files List of Musics|*.msc";
    dlgSaveMusicList.Title = "Save List of Music";
    dlgOpenSoundMusic.DefaultExt = "mp3";
    dlgOpenSoundMusic.Filter = "Файлы MP3|*.MP3";
    dlgOpenSoundMusic.Title = "Открыть файлы MP3";
    dlgOpenSoundMusic.Multiple = true;
    MediaPlayer = std::make_unique<spirelo::MediaPlayer>();
}

void TFormSound::createBitmaps() {
    auto make = [](QPixmap& pm, QWidget* box) {
        pm = QPixmap(box->width(), box->height());
        pm.fill(Qt::black);
    };
    make(EnvelopeBitmap, PaintBoxGraficWave);
    make(WaveBitmap, PaintBoxGraficWave);
    TrackBitmap = QPixmap(970, 130);
    TrackBitmap.fill(Qt::black);
    TrackBitmap2 = TrackBitmap;
    make(EffectBitmap, PaintBoxEffect);
    make(EffectBitmap2, PaintBoxEffect);
    make(TrackRecBitmap, PaintBoxTrackRec);
    make(TrackViewBitmap, PaintBoxTrack_A);
    make(SpectrBitmap, PaintBoxSpectr);
    make(BPMBitmap, PaintBoxBPM);
    make(CubeBitmap, PaintBoxCube);
    TileBitmap = QPixmap(70, 70);
    TileBitmap.fill(Qt::white);
    AssignBitmap = QPixmap(617, 355);
    AssignBitmap.fill(Qt::yellow);
    GistoBitmap = TrackBitmap;
    SpareBitmap = TrackBitmap;
}

void TFormSound::FormCreate() {
    ShowData& d = ShowDataInstance();
    ShowClock& clk = ShowClockInstance();
    ShowTickState& st = ShowTickStateInstance();
    creating_ = true;

    // 1. Audio engine.
    clk.AudioReady = 1;
    PlayerCreate();
    // 2. Off-screen pictures; 3. peak arrays one level per waveform pixel.
    createBitmaps();
    PaintCaseKey();
    if (clk.PeakLeft.size() != size_t(kWaveformWidth)) clk.PeakLeft.resize(kWaveformWidth);
    if (clk.PeakRight.size() != size_t(kWaveformWidth)) clk.PeakRight.resize(kWaveformWidth);

    // 4. Controls from the stored settings.
    ShowTrackEditState();
    const int page = Clamp(d.TrackEditState[4], 0, 6);
    {
        const QSignalBlocker block(PageControl);   // the stored page is shown, not changed
        PageControl->setCurrentIndex(page);
    }
    lbNameSeq->setText(QString::fromStdString(SeqNameText(d, ScrollBarSeqMouse->value())));
    lbNameInv->setText(QString::fromStdString(SeqNameText(d, ScrollBarSeqMouseInvers->value())));

    // 9 (before 5). Position: set before the window is first shown, so that the window manager
    // puts its frame there.
    placeOnScreen();
    // 5. Shown at start when asked for.
    if (d.ProgramFlags[1]) show();

    // 6. The 32 track boxes: four columns of eight on the Tracks page.
    QWidget* tracks = PageControl->widget(1);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 8; ++r) {
            const int n = 8 * c + r + 1;
            auto* box = new QCheckBox(tracks);
            box->setGeometry(25 * c + 8, 16 * r + 405, 17, 16);   // shown when the window is made tall
            box->setCursor(Qt::PointingHandCursor);
            box->setToolTip(QString("On track %1").arg(n));
            box->setProperty("Tag", n);
            box->setChecked(true);
            box->setFocusPolicy(Qt::NoFocus);
            connect(box, &QCheckBox::clicked, this, [this, n] { onChekTrack(n); });
            box->show();   // the window may be shown already (step 5)
            TrackCheck[n] = box;
        }

    // 7. Song length in the main window.
    if (FormMaim && FormMaim->StatusBarMain)
        FormMaim->StatusBarMain->setPanelText(2, QString::fromStdString("Leng: " + timeTostr(clk.SongSteps)));
    // 8. Band gains, all tracks on.
    InitBandGains(SpectrumInstance());
    for (int t = 1; t <= kTracks; ++t) st.TrackOn[t] = 1;
    // 9. Position: placed before step 5.
    // 10. Kit and bank of the live keys.
    LabelKeyNom->setText(QString("%1 - %2").arg(CurrentKit(d) + 1).arg(CurrentBankOffset(d) / kBankKeys + 1));

    // 11. Timers, in this order.
    SetTimerEnabled(TimerGistoRate, true);
    SetTimerEnabled(TimerWindow, true);
    SetTimerEnabled(TimerRepaint, true);

    // 12, 13. The lists; an empty list file no longer cuts the rest of the creation short.
    loadLists();

    // 14.
    if (FormMaim && FormMaim->SpeedButtonSaveFile)
        SpeedButtonSaveFileTrack->setEnabled(FormMaim->SpeedButtonSaveFile->isEnabled());
    // 15. The option records into the Option and Schedule pages.
    ScrollBarNomberEffect->setValue(Clamp(d.TrackEditState[12], 0, 63));
    ReturnOptionData();
    // 16. The music mode's setter and the music list's next entry (opened, not played), the
    // effect page.
    SetModeAquel_MUSIC();
    setNextMusic();
    ReturnEffectData();
    creating_ = false;
}

// The saved place (left and top of the frame), moved onto the screen; a first start's place, or
// that of a start with no sequencer file saved yet, is below the main window's tool bar, where
// Glimmora leaves room for it. It is kept for the
// project's next save.
void TFormSound::placeOnScreen() {
    auto place = [this] {
        ShowData& d = ShowDataInstance();
        const spirelo::FrameMargins m = spirelo::MarginsOf(this);
        const spirelo::Box saved{d.ProgramOptions[9], d.ProgramOptions[8], width() + m.across(), height() + m.down()};
        const spirelo::Box screen = spirelo::AvailableArea(saved);
        const spirelo::Box frame = d.FirstStart || !d.SoundPlaceRead ? spirelo::SoundFirstFrame(screen, m) : spirelo::KeepInside(saved, screen);
        spirelo::ApplyFrame(this, frame, m, false);
        d.ProgramOptions[8] = frame.y;
        d.ProgramOptions[9] = frame.x;
    };
    place();
    spirelo::WhenFramed(this, place);
}

void TFormSound::FormClose() { saveShowList(); }

void TFormSound::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!PageControl || !StatusBar) return;
    PageControl->setGeometry(0, 120, width(), height() - 120 - 23);
    StatusBar->setGeometry(0, height() - 23, width(), 23);
}

void TFormSound::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();   // only hidden: the window lives until the program ends
}

void TFormSound::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    // The show list is kept when the program ends, not only when the window is closed by hand.
    saveShowList();
    for (QTimer* t : {TimerGistoRate, TimerWindow, TimerRepaint, TimerRecFileSequenser, TimerStatusBar})
        if (t) SetTimerEnabled(t, false);
    for (QPixmap* pm : {&EnvelopeBitmap, &WaveBitmap, &TrackBitmap, &TrackBitmap2, &EffectBitmap, &EffectBitmap2,
                        &TrackRecBitmap, &TrackViewBitmap, &SpectrBitmap, &BPMBitmap, &CubeBitmap, &TileBitmap,
                        &AssignBitmap, &GistoBitmap, &SpareBitmap})
        *pm = QPixmap();
    ShowClock& clk = ShowClockInstance();
    clk.BytesPerPixel = kNoAudioBytesPerPixel;
    clk.ScanAbort = 1;
    for (int n = 1; n <= kTracks; ++n) {
        delete TrackCheck[n];
        TrackCheck[n] = nullptr;
    }
    if (MediaPlayer) MediaPlayer->Stop();
    PlayerDestroy();
}

void TFormSound::onChekTrack(int tag) {
    if (tag < 1 || tag > kTracks || !TrackCheck[tag]) return;
    ShowTickStateInstance().TrackOn[tag] = TrackCheck[tag]->isChecked() ? 1 : 0;
}

void TFormSound::PageControlChange(int index) {
    ShowDataInstance().TrackEditState[4] = index;
    sbPlayTrack->setChecked(true);
    SpeedButtonOnInvers->setChecked(false);
    // An open scene input panel would go on writing the record track while the tracks play.
    if (FormInput) FormInput->close();
}

void TFormSound::RadioGroupCodaClick() {
    ShowDataInstance().ProgramOptions[3] = RadioGroupCoda->itemIndex();
}
