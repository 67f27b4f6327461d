#include "core/ui/form_maim.h"

#include "common/ui/key_codes.h"
#include "common/ui/text_fit.h"
#include "common/ui/window_placement.h"
#include "core/instance_guard.h"
#include "core/seq_file.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "core/text_routines.h"
#include "core/track_file.h"
#include "core/ui/form_about.h"
#include "dmx/live_data_writer.h"
#include "dmx/ui/form_usb_com.h"
#include "dmx/ui/form_visual.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/show_clock.h"
#include "playback/ui/form_button.h"
#include "playback/ui/form_sound.h"
#include "sequencer/ui/form_sequenser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

TFormMaim* FormMaim = nullptr;

namespace {
// Tool bar (30) and status bar (23); the window manager's title bar and border make up the
// rest of the original's 84 pixels.
constexpr int kClientHeight = spirelo::kToolBarClientHeight;
}  // namespace

using spirelo::ShowDataInstance;
using spirelo::ShowClockInstance;

namespace {

// A small glyph for the buttons the style has no icon for: a coloured tile with a letter.
QIcon LetterIcon(const QString& text, QColor colour) {
    QPixmap pm(18, 18);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(colour.darker(150));
    p.drawRoundedRect(QRectF(0.5, 0.5, 17, 17), 3, 3);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(text.size() > 1 ? 8 : 12);
    p.setFont(f);
    p.setPen(colour.lightness() > 140 ? Qt::black : Qt::white);
    p.drawText(QRect(0, 0, 18, 18), Qt::AlignCenter, text);
    return QIcon(pm);
}

void ShowWindow(QWidget* w) { spirelo::BringBack(w); }

}  // namespace

TFormMaim::TFormMaim(QWidget* parent) : QWidget(parent) {
    createControls();
    spirelo::FitTexts(this);
}

TFormMaim::~TFormMaim() {
    FormDestroy();
}

void TFormMaim::createControls() {
    setWindowTitle(QStringLiteral("Файл: "));
    OpenDialogTrack = &openDialog_;
    SaveDialogTrack = &saveDialog_;
    openDialog_.Filter = QStringLiteral("Файлы Spirelo|*.trk");
    openDialog_.Title = QStringLiteral("Открыть файлы Plotvane");
    openDialog_.DefaultExt = QStringLiteral("*.trk");
    saveDialog_.Filter = QStringLiteral("Файлы проекта|*.trk");
    saveDialog_.Title = QStringLiteral("Cохранить файлы Plotvane");
    saveDialog_.DefaultExt = QStringLiteral("*.trk");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar = new QToolBar(this);
    ToolBar->setFixedHeight(30);
    ToolBar->setIconSize(QSize(18, 18));
    ToolBar->setFocusPolicy(Qt::NoFocus);
    ToolBar->setMovable(false);
    layout->addWidget(ToolBar);

    StatusBarMain = new spirelo::StatusPanels({100, 100, 100, 100, 100, 50}, 4, this);
    StatusBarMain->setFixedHeight(23);
    layout->addWidget(StatusBarMain);
    layout->addStretch(1);

    QStyle* st = style();
    auto button = [&](QToolButton*& b, const QString& hint, const QIcon& icon, bool checkable = false) {
        b = new QToolButton(ToolBar);
        b->setToolTip(hint);
        b->setIcon(icon);
        b->setFixedSize(23, 23);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCheckable(checkable);
        ToolBar->addWidget(b);
        return b;
    };

    button(SpeedButtonOpenProject, "Open track and sound", st->standardIcon(QStyle::SP_DialogOpenButton));
    button(SpeedButtonSaveFile, "Save All Project", st->standardIcon(QStyle::SP_DialogSaveButton));
    SpeedButtonSaveFile->setEnabled(false);
    ToolBar->addSeparator();
    button(SpeedButtonAbout, "About", st->standardIcon(QStyle::SP_MessageBoxInformation));
    ToolBar->addSeparator();
    button(SpeedButtonWindowSound, "Wiev Sound form", st->standardIcon(QStyle::SP_MediaVolume));
    button(SpeedButtonWindowSequenser, "Wiev Sequenser form", LetterIcon("S", QColor(70, 130, 180)));
    button(SpeedButtonWindowDMX_COM, "Wiev Scroll form", LetterIcon("U", QColor(60, 150, 60)));
    button(SpeedButtonFormTest, "Wiev DMX visual form ", LetterIcon("V", QColor(150, 90, 170)));
    // Hidden in the window's description; nothing shows it.
    QAction* formButtonAction = nullptr;
    button(SpeedButtonFormButton, "Wiev button form ", LetterIcon("B", QColor(200, 140, 40)));
    formButtonAction = ToolBar->actions().last();
    formButtonAction->setVisible(false);
    ToolBar->addSeparator();
    button(sbNewBegTo0, "Set mark to start", LetterIcon("|<", QColor(230, 200, 60)));
    button(sbNewStart, "Play line start", LetterIcon(">|", QColor(230, 200, 60)));
    sbNewStart->setEnabled(false);
    button(SpeedButtonDelNewStart, "Delete line start", LetterIcon("X", QColor(230, 200, 60)));
    ToolBar->addSeparator();
    button(SpeedButtonbegin, "Play from Start", st->standardIcon(QStyle::SP_MediaSkipBackward));
    button(SpeedButtonPrew, "Set seek Back", st->standardIcon(QStyle::SP_MediaSeekBackward));
    button(SpeedButtonForward, "Set seek forward", st->standardIcon(QStyle::SP_MediaSeekForward));
    ToolBar->addSeparator();
    button(SpeedButtonModeAllOFF, "Mode OFF fountain (All DMX=0)", LetterIcon("0", QColor(90, 90, 90)), true);
    button(SpeedButtonModeStatick, "Mode Manual Control", LetterIcon("M", QColor(70, 110, 200)), true);
    button(SpeedButtonModePause, "Mode Stop Fountain", st->standardIcon(QStyle::SP_MediaPause), true);
    button(SpeedButtonModePlay, "Mode Dynamic Fountain", LetterIcon("D", QColor(40, 170, 170)), true);
    button(SpeedButtonModeDance, "Mode Dance Fountain", st->standardIcon(QStyle::SP_MediaPlay), true);
    button(SpeedButtonModeMusic, "Mode Music from Shedule and  Dynamic Fountain",
           LetterIcon("♪", QColor(200, 80, 120)), true);
    ToolBar->actions().last()->setVisible(false);
    ToolBar->addSeparator();
    button(SpeedButtonShedule, "Shedule is Turn ON", LetterIcon("T", QColor(200, 60, 60)));

    ModeGroup = new QButtonGroup(this);
    ModeGroup->setExclusive(true);
    for (QToolButton* b : {SpeedButtonModeAllOFF, SpeedButtonModeStatick, SpeedButtonModePause,
                           SpeedButtonModePlay, SpeedButtonModeDance, SpeedButtonModeMusic})
        ModeGroup->addButton(b);
    SpeedButtonModeDance->setChecked(true);

    // Single fixed border, docked across the top of the desktop: tool bar and status bar only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    setFixedHeight(kClientHeight);
    dockOnScreen();

    // Key preview: none of the window's controls takes the focus, so every key reaches the
    // window itself.
    setFocusPolicy(Qt::StrongFocus);

    connect(SpeedButtonOpenProject, &QToolButton::clicked, this, [this] { SpeedButtonOpenProjectClick(); });
    connect(SpeedButtonSaveFile, &QToolButton::clicked, this, [this] { SpeedButtonSaveFileClick(); });
    connect(SpeedButtonAbout, &QToolButton::clicked, this, [this] { SpeedButtonAboutClick(); });
    connect(SpeedButtonWindowSound, &QToolButton::clicked, this, [this] { SpeedButtonWindowSoundClick(); });
    connect(SpeedButtonWindowSequenser, &QToolButton::clicked, this, [this] { SpeedButtonWindowSequenserClick(); });
    connect(SpeedButtonWindowDMX_COM, &QToolButton::clicked, this, [this] { DiagramItemClick(); });
    connect(SpeedButtonFormTest, &QToolButton::clicked, this, [this] { SpeedButtonFormTestClick(); });
    connect(SpeedButtonFormButton, &QToolButton::clicked, this, [this] { SpeedButtonFormButtonClick(); });
    connect(sbNewBegTo0, &QToolButton::clicked, this, [this] { sbNewBegTo0Click(); });
    connect(sbNewStart, &QToolButton::clicked, this, [this] { sbNewStartClick(); });
    connect(SpeedButtonDelNewStart, &QToolButton::clicked, this, [this] { SpeedButtonDelNewStartClick(); });
    connect(SpeedButtonbegin, &QToolButton::clicked, this, [this] { SpeedButtonbeginClick(); });
    connect(SpeedButtonPrew, &QToolButton::clicked, this, [this] { SpeedButtonPrewClick(); });
    connect(SpeedButtonForward, &QToolButton::clicked, this, [this] { SpeedButtonForwardClick(); });
    connect(SpeedButtonModeAllOFF, &QToolButton::clicked, this, [this] { SpeedButtonModeAllOFFClick(); });
    connect(SpeedButtonModeStatick, &QToolButton::clicked, this, [this] { SpeedButtonModeStatickClick(); });
    connect(SpeedButtonModePause, &QToolButton::clicked, this, [this] { SpeedButtonModePauseClick(); });
    connect(SpeedButtonModePlay, &QToolButton::clicked, this, [this] { SpeedButtonModePlayClick(); });
    connect(SpeedButtonModeDance, &QToolButton::clicked, this, [this] { SpeedButtonModeDanceClick(); });
    connect(SpeedButtonModeMusic, &QToolButton::clicked, this, [this] { SpeedButtonModeMusicClick(); });
    connect(SpeedButtonShedule, &QToolButton::clicked, this, [this] { SpeedButtonSheduleClick(); });
}

// The frame, title bar and close box included, across the top of the screen; once the window
// manager has drawn the frame, the client is narrowed by its borders.
void TFormMaim::dockOnScreen() {
    auto dock = [this] {
        const spirelo::FrameMargins m = spirelo::MarginsOf(this);
        spirelo::ApplyFrame(this, spirelo::ToolBarFrame(spirelo::AvailableArea(this), m), m, true);
    };
    dock();
    spirelo::WhenFramed(this, dock);
}

void TFormMaim::SetTrackCaption(const QString& name) {
    setWindowTitle(QStringLiteral("File track: ") + name);
}

// --- Creation and end ----------------------------------------------------------------------

void TFormMaim::FormCreate() {
    auto& d = ShowDataInstance();
    // The guard has let this start through (ProgramMain refuses earlier): mark it running.
    spirelo::InstanceGuardInstance().markRunning();
    d.MappingOpenFlag = 0;
    d.ScanProgress = 100;
    // 84 pixels with the frame: the client holds just the tool bar and the status bar.
    setFixedHeight(kClientHeight);
    spirelo::ResetShowData(d);
    spirelo::ReadIniSettings(d);
    {
        const std::string program = spirelo::ProgramFile();
        const size_t slash = program.rfind('/');
        d.ProgramFolder = slash == std::string::npos ? std::string("./") : program.substr(0, slash + 1);
    }
    // The sequencer file before the track file.
    spirelo::ClearDmxBuffers(d);
    const spirelo::FileLoad seq = spirelo::OpenSeqFile(d);
    d.SoundPlaceRead = seq == spirelo::FileLoad::Loaded || seq == spirelo::FileLoad::OldLayout;
    spirelo::OpenTrackFile(d);
    const QString name = QString::fromStdString(d.sNameFileProject);
    OpenDialogTrack->FileName = name;
    SaveDialogTrack->FileName = name;
    SetTrackCaption(name);
    SpeedButtonSaveFile->setEnabled(true);
    // Matches SpeedButtonModeDance, down from the start.
    d.AquelMode = 4;
}

void TFormMaim::FormClose() {
    spirelo::WriteIniSettings(ShowDataInstance(), CustomerTextsOfDmxWindow());
}

void TFormMaim::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    auto& d = ShowDataInstance();
    if (d.MappingOpenFlag == 1) spirelo::FileMappingEnd(d, spirelo::LiveDataInstance());
    spirelo::InstanceGuardInstance().markEnded();
}

void TFormMaim::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    emit closedByUser();
}

// --- Keys ----------------------------------------------------------------------------------

void TFormMaim::FormKeyDown(int key) {
    if (key == 32 && sbNewStart->isEnabled() && FormSound) FormSound->NewStartCopy();
}

void TFormMaim::keyPressEvent(QKeyEvent* event) {
    FormKeyDown(spirelo::VirtualKeyFromEvent(event));
    QWidget::keyPressEvent(event);
}


// --- Modes -----------------------------------------------------------------------------------

void TFormMaim::setScheduleOn(bool on) {
    // The box follows the stored flag; setting it by program runs no click handler, so the
    // flag is written here, or the next save would bring the schedule back.
    if (FormSound && FormSound->CheckBoxScheduleON) FormSound->CheckBoxScheduleON->setChecked(on);
    ShowDataInstance().ProgramFlags[10] = on ? 1 : 0;
}

void TFormMaim::ChangeModeByHand(int mode) {
    setScheduleOn(false);
    ShowDataInstance().AquelMode = uint8_t(mode);
    if (FormSound) FormSound->SetJobingMode();
}

void TFormMaim::SpeedButtonModeAllOFFClick() { ChangeModeByHand(0); }
void TFormMaim::SpeedButtonModePauseClick() { ChangeModeByHand(1); }
void TFormMaim::SpeedButtonModeStatickClick() {
    setScheduleOn(false);
    ShowWindow(FormUSB_COM);
    ShowDataInstance().AquelMode = 2;
    if (FormSound) FormSound->SetJobingMode();
}
void TFormMaim::SpeedButtonModePlayClick() { ChangeModeByHand(3); }
void TFormMaim::SpeedButtonModeDanceClick() { ChangeModeByHand(4); }

void TFormMaim::SpeedButtonModeMusicClick() {
    if (!FormSound) return;
    auto& d = ShowDataInstance();
    QListWidget* list = FormSound->ListBoxMusic;
    const int selected = list ? list->currentRow() : -1;
    if (selected != 0) {
        setScheduleOn(false);
        d.AquelMode = 5;
        if (list) list->setCurrentRow(d.ProgramOptions[30]);   // out of range: no selection
        d.MusicStartRequest = 1;
        FormSound->SetModeAquel_MUSIC();
        FormSound->setNextMusic();
        const int a = FormSound->ScrollBarVolumMusic ? FormSound->ScrollBarVolumMusic->value() : 0;
        const int b = FormSound->ScrollBarVolmusicMain ? FormSound->ScrollBarVolmusicMain->value() : 0;
        FormSound->SetVolume(std::clamp(a * b, 0, 65535));
        if (FormSound->ScrollBarVolumMusic) FormSound->ScrollBarVolumMusic->setEnabled(true);
        if (FormSound->ScrollBarMusicTrack) FormSound->ScrollBarMusicTrack->setEnabled(true);
        return;
    }
    d.ProgramOptions[30] = 0;
    if (spirelo::Messages().question(spirelo::TwoLines("Cross to mode PLAY", "You sure?")) !=
        spirelo::Answer::Yes)
        return;
    SpeedButtonModePlay->setChecked(true);
    setScheduleOn(false);
    d.AquelMode = 3;
    FormSound->SetJobingMode();
}

void TFormMaim::SpeedButtonSheduleClick() { setScheduleOn(true); }

// --- Project -------------------------------------------------------------------------------

void TFormMaim::SpeedButtonOpenProjectClick() {
    if (!OpenDialogTrack->Execute(this)) return;
    auto& d = ShowDataInstance();
    // Takes StripExt(name) + ".trk"; a file that cannot be used keeps the current name, so a
    // later save does not overwrite it.
    const spirelo::FileLoad r = spirelo::OpenTrackFile(d, OpenDialogTrack->FileName.toStdString());
    if (FormSound) {
        FormSound->ShowTrackEditState();
        FormSound->MadePlayFile();
        if (r == spirelo::FileLoad::Loaded || r == spirelo::FileLoad::OldLayout) FormSound->ShowFilesTakenUp(true, false);
    }
    const QString name = QString::fromStdString(d.sNameFileProject);
    SaveDialogTrack->FileName = name;
    SetTrackCaption(name);
    SpeedButtonSaveFile->setEnabled(true);
}

void TFormMaim::SpeedButtonSaveFileClick() {
    auto& d = ShowDataInstance();
    const QString name = QString::fromStdString(d.sNameFileProject);
    OpenDialogTrack->FileName = name;
    SaveDialogTrack->FileName = name;
    SetTrackCaption(name);
    SpeedButtonSaveFile->setEnabled(true);
    spirelo::SaveTrackFile(d);
    spirelo::SaveSeqFile(d);
    spirelo::WriteIniSettings(d, CustomerTextsOfDmxWindow());
}

// --- Windows -------------------------------------------------------------------------------

void TFormMaim::SpeedButtonAboutClick() { ShowWindow(FormAbout); }
void TFormMaim::SpeedButtonWindowSoundClick() { ShowWindow(FormSound); }
void TFormMaim::SpeedButtonWindowSequenserClick() { ShowWindow(FormSequenser); }
void TFormMaim::DiagramItemClick() { ShowWindow(FormUSB_COM); }
void TFormMaim::SpeedButtonFormTestClick() { ShowWindow(FormVisual); }
void TFormMaim::SpeedButtonFormButtonClick() { ShowWindow(FormButton); }

// --- New-start mark and transport --------------------------------------------------------------

void TFormMaim::sbNewBegTo0Click() {
    auto& c = ShowClockInstance();
    c.NewStartPixel = 1;
    c.NewStartStep = 1;
    sbNewStart->setEnabled(true);
    if (FormSound) {
        if (FormSound->LabelSpace) FormSound->LabelSpace->show();
        if (FormSound->ShapeSpace) FormSound->ShapeSpace->show();
    }
}

void TFormMaim::SpeedButtonDelNewStartClick() {
    ShowClockInstance().NewStartPixel = spirelo::kNoRestartMark;
    sbNewStart->setEnabled(false);
    if (FormSound) {
        if (FormSound->LabelSpace) FormSound->LabelSpace->hide();
        if (FormSound->ShapeSpace) FormSound->ShapeSpace->hide();
    }
}

void TFormMaim::sbNewStartClick() {
    if (FormSound) FormSound->NewStartCopy();
}

void TFormMaim::SpeedButtonbeginClick() {
    spirelo::ClearDmxBuffers(ShowDataInstance());
    if (FormSound) FormSound->SoundToBegin();
}

void TFormMaim::SpeedButtonForwardClick() { ShowClockInstance().SeekForwardRequest = 1; }
void TFormMaim::SpeedButtonPrewClick() { ShowClockInstance().SeekBackRequest = 1; }
