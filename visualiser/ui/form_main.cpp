#include "visualiser/ui/form_main.h"

#include "common/live_data.h"
#include "common/ui/qt_helpers.h"
#include "common/ui/text_fit.h"
#include "common/ui/window_placement.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "visualiser/layout_file.h"
#include "visualiser/ui/form_help.h"
#include "visualiser/ui/form_set.h"
#include "visualiser/ui/gl_view.h"

#include <QCloseEvent>
#include <QShowEvent>

#include <chrono>
#include <cstdio>
#include <filesystem>

using namespace spirelo;

TFormMain* FormMain = nullptr;

void DestroyVisualiserWindows() {
    delete FormHelp;
    FormHelp = nullptr;
    delete FormSet;
    FormSet = nullptr;
    delete FormMain;
    FormMain = nullptr;
}

namespace {
uint32_t MillisecondsSinceStart() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
    createControls();
    spirelo::FitTexts(this);
}

TFormMain::~TFormMain() { FormDestroy(); }

QToolButton* TFormMain::addButton(QToolBar* bar, const QString& text, const QString& hint, bool checkable) {
    auto* b = new QToolButton(bar);
    b->setText(text);
    b->setToolTip(hint);
    b->setCheckable(checkable);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

void TFormMain::createControls() {
    setWindowTitle("Программа визуализации фонтанов");
    tlb1 = new QToolBar("tlb1", this);
    tlb1->setMovable(false);
    addToolBar(Qt::TopToolBarArea, tlb1);
    SpeedButtonSetWin = addButton(tlb1, "Строитель", "Установка параметров фонтана", false);
    btnOpen = addButton(tlb1, "Open", "Открыть файл", false);
    tlb1->addSeparator();
    SpeedButtonAxis = addButton(tlb1, "Axis", "Показать координаты", true);
    SpeedButtonGrid = addButton(tlb1, "Grid", "Показать сетку  - Отметка =0= ", true);
    btnNozzle = addButton(tlb1, "Pipes", "Показать трубы и коллектора", true);
    SpeedButtonStreams = addButton(tlb1, "Jets", "Показать струи", true);
    btnCup = addButton(tlb1, "Bowl", "Показать чашу ", true);
    btnWaterOn = addButton(tlb1, "Water", "Показать воду", true);
    SpeedButtonSpot = addButton(tlb1, "Spots", "Показать прожектора", true);
    btnObjOn = addButton(tlb1, "Objects", "Показать предметы и строения ", true);
    btnPeople = addButton(tlb1, "People", "Показать людей ", true);
    tlb1->addSeparator();
    SpeedButtonAlfa = addButton(tlb1, "Alpha", "Все объекты прозрачные", true);
    SpeedButtonDepth = addButton(tlb1, "Shade", "Режим полутонов", true);
    SpeedButtonWire = addButton(tlb1, "Wire", "Проволочный режим", true);
    tlb1->addSeparator();
    SpeedButtonHelp = addButton(tlb1, "?", "Help", false);
    for (QToolButton* b : {SpeedButtonAxis, SpeedButtonGrid, btnNozzle, SpeedButtonStreams, btnCup, btnWaterOn,
                           SpeedButtonSpot, btnObjOn, btnPeople, SpeedButtonAlfa, SpeedButtonDepth, SpeedButtonWire})
        b->setChecked(true);

    tlb2 = new QToolBar("tlb2", this);
    tlb2->setMovable(false);
    addToolBar(Qt::BottomToolBarArea, tlb2);
    btnDefault = addButton(tlb2, "Near", "Близкий ракурс ", false);
    btnZoomALL = addButton(tlb2, "All", "Весь объект", false);
    btnWievUP = addButton(tlb2, "Top", "Вид сверху", false);
    btnViewSide = addButton(tlb2, "Side", "Вид сбоку - повторно - с другого бока", false);
    btnWiewIso = addButton(tlb2, "Iso", "Изометрия без масштаба", false);
    tlb2->addSeparator();
    btnDMXon = addButton(tlb2, "DMX", "Режим DMX - от Spirelo", true);
    btnMaxOn = addButton(tlb2, "Max", "Режим DMX - все включить", true);
    btnMinOn = addButton(tlb2, "Min", "Режим DMX - все выключить ", true);
    dmxGroup = new QButtonGroup(this);
    dmxGroup->setExclusive(true);
    for (QToolButton* b : {btnDMXon, btnMaxOn, btnMinOn}) dmxGroup->addButton(b);
    btnDMXon->setChecked(true);
    tlb2->addSeparator();
    SpeedButtonBegin = addButton(tlb2, "|<", "", true);
    SpeedButtonStop = addButton(tlb2, "STOP", "", true);
    SpeedButtonPlay = addButton(tlb2, "PLAY", "", true);
    tourGroup = new QButtonGroup(this);
    tourGroup->setExclusive(true);
    for (QToolButton* b : {SpeedButtonBegin, SpeedButtonStop, SpeedButtonPlay}) tourGroup->addButton(b);
    SpeedButtonPlay->setChecked(true);
    SpeedButtonStep = addButton(tlb2, ">|", "", false);
    SpeedButtonREcord = addButton(tlb2, "REC", "", false);
    SpeedButtonLeng = addButton(tlb2, "01>12", "", false);
    btnFPS = addButton(tlb2, "FPS", "Скорость смены кадров (не менее 50)", false);

    TimerRePaint = MakeTimer(this, 15);
    TimerDmxIn = MakeTimer(this, 25);
    tmrStep = MakeTimer(this, 10000);
    tmrINC = MakeTimer(this, 15);

    dlgOpen.DefaultExt = "*.a3d";
    dlgOpen.Filter = "Файлы виртуального фонтана *.a3d |*.a3d";

    glView = new GlView(this, this);
    setCentralWidget(glView);

    connect(SpeedButtonSetWin, &QToolButton::clicked, this, [this] { SpeedButtonSetWinClick(); });
    connect(SpeedButtonHelp, &QToolButton::clicked, this, [this] { SpeedButtonHelpClick(); });
    connect(btnOpen, &QToolButton::clicked, this, [this] { btnOpenClick(); });
    connect(btnDefault, &QToolButton::clicked, this, [this] { btnDefaultClick(); });
    connect(btnZoomALL, &QToolButton::clicked, this, [this] { btnZoomALLClick(); });
    connect(btnWievUP, &QToolButton::clicked, this, [this] { btnWievUPClick(); });
    connect(btnViewSide, &QToolButton::clicked, this, [this] { btnViewSideClick(); });
    connect(btnWiewIso, &QToolButton::clicked, this, [this] { btnWiewIsoClick(); });
    connect(SpeedButtonREcord, &QToolButton::clicked, this, [this] { SpeedButtonREcordClick(); });
    connect(SpeedButtonStep, &QToolButton::clicked, this, [this] { SpeedButtonStepClick(); });
    connect(SpeedButtonStop, &QToolButton::clicked, this, [this] { SpeedButtonStopClick(); });
    connect(SpeedButtonBegin, &QToolButton::clicked, this, [this] { SpeedButtonBeginClick(); });
    connect(SpeedButtonLeng, &QToolButton::clicked, this, [this] { SpeedButtonLengClick(); });
    connect(TimerRePaint, &QTimer::timeout, this, [this] { TimerRePaintTimer(); });
    connect(TimerDmxIn, &QTimer::timeout, this, [this] { TimerDmxInTimer(); });
    connect(tmrStep, &QTimer::timeout, this, [this] { tmrStepTimer(); });
    connect(tmrINC, &QTimer::timeout, this, [this] { tmrINCTimer(); });
}

void TFormMain::FormCreate() {
    VisualiserState& s = VisualiserInstance();
    std::string program = BesideProgramPath("glimmora");
    s.IniFileName = LayoutStem(program) + ".ini";
    ini_ = IniFile(s.IniFileName);
    // A program folder passed over is told where a refused settings folder is: one box at start.
    const std::string notice = TakeFolderNotice("glimmora");
    if (ini_.unreadable())
        Messages().error("Ошибка чтения файла " + s.IniFileName + "\r\n" + ini_.readError() +
                         ". Работа идёт с настройками по умолчанию, файл не перезаписывается." +
                         (notice.empty() ? "" : "\r\n" + notice));
    BumpOpenCount(ini_);
    const std::string keptNotes = TakeKeptNotes(ini_);
    SaveIni();
    if (!ini_.unreadable() && !notice.empty()) Messages().warning(notice);

    VisualiserSettings set = ReadVisualiserSettings(ini_);
    Camera& cam = s.camera;
    cam.Zoom = set.camera.Zoom;
    cam.RotationX = set.camera.RotationX;
    cam.RotationY = set.camera.RotationY;
    cam.RotationZ = set.camera.RotationZ;
    cam.ViewerX = set.camera.ViewerX;
    cam.ViewerY = set.camera.ViewerY;
    cam.Heading = set.camera.Heading;
    cam.Xengine = set.camera.Xengine;
    cam.Zengine = set.camera.Zengine;
    cam.tilt = set.camera.tilt;
    startBounds_ = set.mainForm;
    startBoundsSaved_ = set.mainFormSaved;
    placeOnScreen(set);
    QToolButton* persisted[kPersistedButtons] = {SpeedButtonAlfa, SpeedButtonDepth, SpeedButtonWire,
                                                 SpeedButtonGrid, SpeedButtonAxis, SpeedButtonStreams,
                                                 SpeedButtonSpot, btnObjOn, btnWaterOn};
    for (int i = 0; i < kPersistedButtons; ++i) persisted[i]->setChecked(*PersistedLayer(set.layers, i));
    // Only a layout that loads becomes the current path (TFormSet opens this one).
    startLayoutPath_ = set.lastFile;
    s.LayoutFileName = kNoLayoutFile;

    ResetVisualiserTables(s);
    s.tour = TourState{};
    s.SpiralPhase = 0;
    s.FrameCount = 0;
    s.FpsLastTick = 0;
    setWindowTitle(Q("Программа визуализации фонтанов " + startLayoutPath_));

    std::string error, note;
    if (!OpenOwnSection(section_, LiveSectionName, kLiveTextSize, LiveSectionOpenName, note, &error)) {
        Messages().message("Не могу создать FileMapping!");
        Messages().message("Не могу подключить FileMapping!");
    }
    // The controller follows the same rule and finds us there: a line, not a box.
    if (!note.empty()) std::fprintf(stderr, "live data: %s\n", note.c_str());
    // The reader runs either way: without the section it sees an empty text and the jets
    // keep the start levels.
    SetTimerEnabled(TimerDmxIn, true);

    s.CurrentCollector = 1;
    FastRandom rnd(uint32_t(MillisecondsSinceStart()) | 1u);
    PlacePeople(s.people, rnd);

    SetTimerEnabled(TimerRePaint, true);
    SetTimerEnabled(tmrStep, true);
    SetTimerEnabled(tmrINC, true);

    // The last end kept notes typed without a layout where the operator did not choose.
    std::error_code ec;
    if (!keptNotes.empty() && std::filesystem::exists(keptNotes, ec))
        Messages().message("Заметки без макета сохранены в " + keptNotes);
}

// A saved place comes back to the pixel (the frame's left and top, the client's size), moved and
// if need be shrunk onto the screen; without one, the first place beside or below the
// controller's windows. Worked out again once the window manager has drawn the frame.
void TFormMain::placeOnScreen(const VisualiserSettings& set) {
    auto place = [this, saved = set.mainFormSaved, b = set.mainForm] {
        const FrameMargins m = MarginsOf(this);
        const Box frame =
            saved ? SavedFrame(b.left, b.top, b.width, b.height, AvailableArea(Box{b.left, b.top, b.width, b.height}), m, true)
                  : VisualiserFirstFrame(AvailableArea(this), m);
        ApplyFrame(this, frame, m, true);
    };
    place();
    WhenFramed(this, place);
}

bool TFormMain::SaveIni() {
    std::string error;
    const IoResult r = ini_.save(&error);
    if (r) return true;
    if (ini_.unreadable()) return false;
    // The layout window's end saves once more after the close: one box for one failure.
    if (closed_ && error == closeSaveFailure_) return false;
    if (closed_) closeSaveFailure_ = error;
    Messages().error(TwoLines("Ошибка записи файла " + ini_.path(), FailedSaveText(r)));
    return false;
}

spirelo::FrameLayers TFormMain::Layers() const {
    FrameLayers l;
    l.axis = SpeedButtonAxis->isChecked();
    l.grid = SpeedButtonGrid->isChecked();
    l.nozzle = btnNozzle->isChecked();
    l.streams = SpeedButtonStreams->isChecked();
    l.cup = btnCup->isChecked();
    l.water = btnWaterOn->isChecked();
    l.spot = SpeedButtonSpot->isChecked();
    l.objects = btnObjOn->isChecked();
    l.people = btnPeople->isChecked();
    l.alfa = SpeedButtonAlfa->isChecked();
    l.depth = SpeedButtonDepth->isChecked();
    l.wire = SpeedButtonWire->isChecked();
    return l;
}

spirelo::DmxMode TFormMain::CurrentDmxMode() const {
    if (btnMaxOn->isChecked()) return DmxMode::AllOn;
    if (btnMinOn->isChecked()) return DmxMode::AllOff;
    return DmxMode::Live;
}

void TFormMain::SpeedButtonSetWinClick() {
    BringBack(FormSet);
}

void TFormMain::SpeedButtonHelpClick() {
    BringBack(FormHelp);
}

void TFormMain::btnOpenClick() {
    if (!dlgOpen.Execute(this) || !FormSet) return;
    VisualiserInstance().CurrentCollector = 1;
    FormSet->OpenLayout(dlgOpen.FileName.toStdString());
}

void TFormMain::btnDefaultClick() { ViewDefault(VisualiserInstance().camera); }
void TFormMain::btnZoomALLClick() { ViewZoomAll(VisualiserInstance().camera); }
void TFormMain::btnWievUPClick() { ViewUp(VisualiserInstance().camera); }
void TFormMain::btnViewSideClick() { ViewSide(VisualiserInstance().camera); }
void TFormMain::btnWiewIsoClick() { ViewIso(VisualiserInstance().camera); }

void TFormMain::updateTourCaption() {
    VisualiserState& s = VisualiserInstance();
    SpeedButtonLeng->setText(Q(TourCaption(s.tour, s.collectors)));
}

void TFormMain::SpeedButtonREcordClick() {
    VisualiserState& s = VisualiserInstance();
    TourRecord(s.tour, s.collectors, s.camera, SpeedButtonStop->isChecked());
    updateTourCaption();
}

void TFormMain::SpeedButtonStepClick() {
    TourAdvance(VisualiserInstance().tour);
    updateTourCaption();
}

void TFormMain::SpeedButtonStopClick() {
    TourAdvance(VisualiserInstance().tour);
    updateTourCaption();
}

void TFormMain::SpeedButtonBeginClick() {
    TourBegin(VisualiserInstance().tour);
    updateTourCaption();
}

void TFormMain::SpeedButtonLengClick() {
    VisualiserState& s = VisualiserInstance();
    TourSetLast(s.tour, s.collectors);
    updateTourCaption();
}

void TFormMain::TimerRePaintTimer() { glView->update(); }

void TFormMain::TimerDmxInTimer() {
    liveText_.clear();
    if (section_.isOpen()) section_.readText(liveText_);
    // A text that is not hexadecimal ends this tick quietly; the next tick tries again.
    LiveReaderTick(liveText_, VisualiserInstance().levels, CurrentDmxMode());
}

void TFormMain::tmrStepTimer() {
    VisualiserState& s = VisualiserInstance();
    TourTimerStep(s.tour, s.collectors, SpeedButtonPlay->isChecked());
    updateTourCaption();
}

void TFormMain::tmrINCTimer() {
    if (!SpeedButtonPlay->isChecked()) return;
    VisualiserState& s = VisualiserInstance();
    TourGlide(s.tour, s.collectors, s.camera);
}

void TFormMain::InitGL(int width, int height) {
    renderer_.InitGLState(width, height);
    glReady_ = true;
}

void TFormMain::FormResize(int width, int height) { renderer_.Resize(width, height); }

void TFormMain::PaintFrame() {
    VisualiserState& s = VisualiserInstance();
    int fps = 0;
    if (CountFrame(s, MillisecondsSinceStart(), fps)) btnFPS->setText("FPS - " + QString::number(fps));
    AdvanceSpiralPhase(s.SpiralPhase);
    renderer_.DrawFrame(s, Layers());
}

void TFormMain::GLMouseDown(MouseButton b, int x, int y) { CameraMouseDown(VisualiserInstance().camera, b, x, y); }
void TFormMain::GLMouseUp(MouseButton b) { CameraMouseUp(VisualiserInstance().camera, b); }
void TFormMain::GLMouseMove(int x, int y) { CameraMouseMove(VisualiserInstance().camera, x, y); }
void TFormMain::GLMouseWheel(int delta) { CameraWheel(VisualiserInstance().camera, delta); }

void TFormMain::closeEvent(QCloseEvent* e) {
    FormClose();
    e->accept();
}

void TFormMain::showEvent(QShowEvent* e) {
    shownOnce_ = true;
    QMainWindow::showEvent(e);
}

void TFormMain::FormClose() {
    if (closed_) return;
    closed_ = true;
    // First, so a layout saved with the notes becomes the one the settings remember.
    if (FormSet) FormSet->KeepNotesWithoutLayout();
    VisualiserState& s = VisualiserInstance();
    VisualiserSettings set;
    set.camera = s.camera;
    set.layers = Layers();
    // The frame's place and the client's size: what the next start puts back. A window closed
    // before it was ever shown (a box at the start still open) has no place of its own yet.
    if (shownOnce_) {
        set.mainForm = {pos().x(), pos().y(), height(), width()};
    } else {
        set.mainForm = startBounds_;
        set.mainFormSaved = startBoundsSaved_;
    }
    // A start path that did not load is remembered for the next start, never used to save.
    set.lastFile = s.LayoutFileName != kNoLayoutFile ? s.LayoutFileName : startLayoutPath_;
    WriteVisualiserSettings(ini_, set);
    SaveIni();
}

void TFormMain::FormDestroy() {
    if (TimerRePaint) TimerRePaint->stop();
    if (TimerDmxIn) TimerDmxIn->stop();
    if (tmrStep) tmrStep->stop();
    if (tmrINC) tmrINC->stop();
    if (glReady_ && glView) {
        glView->makeCurrent();
        renderer_.Release();
        glView->doneCurrent();
        glReady_ = false;
    }
    section_.close();
}
