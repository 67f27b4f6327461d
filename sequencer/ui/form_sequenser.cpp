#include "sequencer/ui/form_sequenser.h"

#include "common/file_io.h"
#include "common/text_codec.h"
#include "common/ui/qt_helpers.h"
#include "common/ui/text_fit.h"
#include "common/ui/window_placement.h"
#include "core/data_files.h"
#include "core/seq_file.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "core/text_routines.h"
#include "dmx/ui/form_usb_com.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/ui/form_sound.h"
#include "sequencer/notes_file.h"
#include "sequencer/sequencer_store.h"
#include "sequencer/tempo_commands.h"
#include "sequencer/ui/page_controls.h"
#include "sequencer/ui/paint_box.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <functional>

TFormSequenser* FormSequenser = nullptr;

using spirelo::ShowData;
using spirelo::ShowDataInstance;

namespace {

using page_controls::Q;
std::string S(const QString& s) { return s.toStdString(); }

// The name box shows a sequencer's name without its padding, so typing lands after it.
QString SeqNameEditText(int seq) { return Q(spirelo::NameForEdit(spirelo::SeqNameText(ShowDataInstance(), seq))); }

template <class W>
W* Place(W* w, int x, int y, int width, int height) {
    w->setGeometry(x, y, width, height);
    return w;
}

QToolButton* SpeedButton(QWidget* parent, const QString& name, const QString& hint, int x, int y,
                         const QString& text = {}, const QIcon& icon = {}, bool checkable = false) {
    auto* b = Place(new QToolButton(parent), x, y, 24, 24);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setCheckable(checkable);
    if (!icon.isNull()) b->setIcon(icon);
    else b->setText(text);
    return b;
}

QScrollBar* ScrollBar(QWidget* parent, const QString& name, Qt::Orientation o, int min, int max,
                      int position, int x, int y, int width, int height) {
    auto* s = Place(new QScrollBar(o, parent), x, y, width, height);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(position);
    return s;
}

QLabel* Label(QWidget* parent, const QString& name, const QString& text, int x, int y, int width = 120,
              int height = 16) {
    auto* l = Place(new QLabel(text, parent), x, y, width, height);
    l->setObjectName(name);
    return l;
}

// A group of radio items in columns, as the original's radio group: the group box, and the
// exclusive button group whose ids are the item indices.
QButtonGroup* RadioItems(QGroupBox* box, const QStringList& items, int columns) {
    auto* group = new QButtonGroup(box);
    group->setExclusive(true);
    const int width = (box->width() - 12) / columns;
    const int rows = (int(items.size()) + columns - 1) / columns;
    const int rowHeight = std::max(18, (box->height() - 20) / std::max(1, rows));
    for (int i = 0; i < items.size(); ++i) {
        auto* r = Place(new QRadioButton(items[i], box), 6 + (i % columns) * width,
                        16 + (i / columns) * rowHeight, width, 18);
        r->setFocusPolicy(Qt::NoFocus);
        group->addButton(r, i);
    }
    if (group->button(0)) group->button(0)->setChecked(true);
    return group;
}

QString TwoDigits(int n) { return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n); }

// The column numbers of one group of 16 sequencers, spaced to stand over the grid's columns.
QString ColumnNumbers(int first) {
    QString text;
    for (int c = 0; c < 16; ++c) text += TwoDigits(first + c).leftJustified(3, ' ');
    return text.trimmed();
}

}  // namespace

TFormSequenser::TFormSequenser(QWidget* parent) : QWidget(parent) {
    createControls();
    spirelo::FitTexts(this);
}

TFormSequenser::~TFormSequenser() { FormDestroy(); }

// --- Building the window -----------------------------------------------------------------

void TFormSequenser::createControls() {
    setObjectName("FormSequenser");
    setWindowTitle("Sequenser");
    setFixedSize(853, 595);

    PageControlmain = Place(new QTabWidget(this), 0, 0, 662, 595);
    PageControlmain->setObjectName("PageControlmain");
    PageControlmain->setFocusPolicy(Qt::NoFocus);
    auto page = [this](QWidget*& w, const char* name, const QString& caption) {
        w = new QWidget;
        w->setObjectName(name);
        PageControlmain->addTab(w, caption);
    };
    page(tsAreaRGB, "tsAreaRGB", "Area RGB");
    page(tsChannel, "tsChannel", "Area Channel");
    page(tsFixDmx, "tsFixDmx", "Fix DMX");
    page(tsXYDevices, "tsXYDevices", "X-Y devices");
    page(tsNotes, "tsNotes", "Notes");
    tsXYDevices->setEnabled(false);   // the X-Y figure generator is switched off in this system
    MemoNotes = new QPlainTextEdit(tsNotes);
    MemoNotes->setObjectName("MemoNotes");
    auto* notesLayout = new QHBoxLayout(tsNotes);
    notesLayout->setContentsMargins(4, 4, 4, 4);
    notesLayout->addWidget(MemoNotes);

    createToolBar();
    createRunControl();
    createTempoControls();
    createAreaRgbPage();
    createAreaChannelPage();
    createFixDmxPage();
    createFixDmxTools();
    createXYPage();

    GroupBoxChangeGroup = Place(new QGroupBox(" Change group sequensers ", this), 664, 322, 187, 82);
    edtNameSeq = Place(new QLineEdit(GroupBoxChangeGroup), 8, 20, 171, 22);
    edtNameSeq->setObjectName("edtNameSeq");
    rgSeqChange = Place(new QGroupBox(GroupBoxChangeGroup), 8, 44, 171, 34);
    rgSeqChange->setObjectName("rgSeqChange");
    rgSeqChangeItems = RadioItems(rgSeqChange, {"01-32", "33-64"}, 2);
    for (QAbstractButton* b : rgSeqChangeItems->buttons()) b->move(b->x(), 10);
    rgSeqChange->setEnabled(false);   // the second group has names and masks only

    GroupBoxPattern = Place(new QGroupBox("Pattern ", this), 664, 408, 187, 58);
    LabelRealAdr = Label(GroupBoxPattern, "LabelRealAdr", "Adr From", 8, 18, 171);
    LabelPatternLeng = Label(GroupBoxPattern, "LabelPatternLeng", "Leng", 8, 36, 171);

    PopupMenuRGB = new QMenu(this);
    PopupMenuRGB->setObjectName("PopupMenuRGB");
    PopupMenuKlapan = new QMenu(this);
    PopupMenuKlapan->setObjectName("PopupMenuKlapan");
    PaintBoxSpots->PopupMenu = PopupMenuRGB;
    PaintBoxKlapsns->PopupMenu = PopupMenuKlapan;

    // Step timers: always running; the run state decides whether an expiry does anything.
    for (int i = 0; i < spirelo::kSequencers; ++i) {
        TimerSeq[i] = spirelo::MakeTimer(this, spirelo::kStartInterval);
        TimerSeq[i]->setObjectName(QStringLiteral("TimerSeq%1").arg(i, 2, 10, QChar('0')));
    }
    TimerRePaint = spirelo::MakeTimer(this, 300);
    TimerRePaint->setObjectName("TimerRePaint");
    tmrPattern = spirelo::MakeTimer(this, 333);
    tmrPattern->setObjectName("tmrPattern");

    // --- Handlers, connected after the description's values are in place ---------------
    for (int i = 0; i < spirelo::kSequencers; ++i) {
        connect(TimerSeq[i], &QTimer::timeout, this, [this, i] { JobAllviewPic(i); });
        TimerSeq[i]->start();
    }
    connect(TimerRePaint, &QTimer::timeout, this, &TFormSequenser::TimerRePaintTimer);
    connect(tmrPattern, &QTimer::timeout, this, &TFormSequenser::tmrPatternTimer);
    TimerRePaint->start();
    tmrPattern->start();

    connect(ScrollBarNombSeq, &QScrollBar::actionTriggered, this,
            [this] { ScrollBarNombSeqScroll(ScrollBarNombSeq->sliderPosition()); });
    connect(ScrollBarNombSeq, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarNombSeqChange);
    connect(ScrollBarScenaRun, &QScrollBar::actionTriggered, this,
            [this] { ScrollBarScenaRunScroll(ScrollBarScenaRun->sliderPosition()); });
    connect(ScrollBarScenaRun, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarScenaRunChange);
    connect(RadioGroupSeqJobItems, &QButtonGroup::idClicked, this, &TFormSequenser::RadioGroupSeqJobClick);
    connect(SpeedButtonAlloff, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonAlloffClick);
    connect(SpeedButtonAllStop, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonAllStopClick);
    connect(SpeedButtonSeqBeg, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonSeqBegClick);
    connect(ScrollBarNombSeq33_64, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarNombSeq33_64Change);
    connect(ScrollBarNombSeq33_64, &QScrollBar::actionTriggered, this,
            [this] { ScrollBarNombSeq33_64Scroll(ScrollBarNombSeq33_64->sliderPosition()); });

    connect(ScrollBarSeqSpeed, &QScrollBar::actionTriggered, this,
            [this] { ScrollBarSeqSpeedScroll(ScrollBarSeqSpeed->sliderPosition()); });
    connect(CheckBoxEnableTempo, &QCheckBox::clicked, this, &TFormSequenser::CheckBoxEnableTempoClick);
    for (QToolButton* b : {SpeedButtonTempAll, SpeedButtonTempSliceSeq, SpeedButtonTempOnlyOne})
        connect(b, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonTempScopeClick);
    connect(SpeedButtonDelAllControl, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonDelAllControlClick);
    connect(SpeedButtonDelOnlyLine, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonDelOnlyLineClick);

    // The step-word commands appear in both step grids' popup menus.
    struct Item { const char* rgb; const char* klapan; const char* caption; std::function<void()> run; };
    const Item items[] = {
        {"Popur_STOP_OFF", "MenuItem12", "Стоп и выкл", [this] { PopupStepWord(spirelo::kWordStopOff, false); }},
        {"Popur_STOP", "MenuItem13", "Стоп секвенции", [this] { PopupStepWord(spirelo::kWordStop, false); }},
        {"Popur_LOOP", "MenuItem14", "Ближайшая петля", [this] { PopupStepWord(spirelo::kWordLoop, true); }},
        {"Popur_To_Start", "MenuItem15", "Повтор с начала", [this] { PopupStepWord(spirelo::kWordToBegin, true); }},
        {"Popur_Del_ctrl_Scena", "MenuItem16", "Удалить команду", [this] { PopupStepWord(-1, true); }},
        {"popur_clear_upr", "MenuItem21", "Очистка всех упр. команд", [this] { popur_clear_uprClick(); }},
        {"popur_scena_set", "MenuItem2", "Установить сцену здесь", [this] { popur_scena_setClick(); }},
    };
    for (const Item& it : items) {
        QAction* a = PopupMenuRGB->addAction(QString::fromUtf8(it.caption));
        a->setObjectName(it.rgb);
        connect(a, &QAction::triggered, this, it.run);
        QAction* b = PopupMenuKlapan->addAction(QString::fromUtf8(it.caption));
        b->setObjectName(it.klapan);
        connect(b, &QAction::triggered, this, it.run);
    }
    createAreaPopupItems();
    connectAreaHandlers();

    connect(PageControlmain, &QTabWidget::currentChanged, this, &TFormSequenser::PageControlmainChange);
    connect(edtNameSeq, &QLineEdit::textChanged, this, &TFormSequenser::edtNameSeqChange);
    connect(rgSeqChangeItems, &QButtonGroup::idClicked, this, &TFormSequenser::rgSeqChangeClick);
    connect(SpeedButtonOpenSequens, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonOpenSequensClick);
    connect(SpeedButtonSaveSeq, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonSaveSeqClick);
    connect(SpeedButtonSaveAsSequens, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonSaveAsSequensClick);
    connect(SpeedButtonLoadDefFile, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonLoadDefFileClick);
    connectXYPage();
}

void TFormSequenser::createToolBar() {
    QStyle* st = style();
    SpeedButtonOpenSequens = SpeedButton(this, "SpeedButtonOpenSequens", "Open file sequenser", 666, 4, {},
                                         st->standardIcon(QStyle::SP_DialogOpenButton));
    SpeedButtonSaveAsSequens = SpeedButton(this, "SpeedButtonSaveAsSequens", "Save as file sequenser", 692, 4,
                                           {}, st->standardIcon(QStyle::SP_DriveFDIcon));
    SpeedButtonSaveSeq = SpeedButton(this, "SpeedButtonSaveSeq", "Save file sequenser", 718, 4, {},
                                     st->standardIcon(QStyle::SP_DialogSaveButton));
    SpeedButtonUndo = SpeedButton(this, "SpeedButtonUndo", "Undo", 752, 4, {}, st->standardIcon(QStyle::SP_ArrowBack));
    SpeedButtonUndo->setEnabled(false);
    SpeedButtonLoadDefFile = Place(new QToolButton(this), 780, 4, 66, 24);
    SpeedButtonLoadDefFile->setObjectName("SpeedButtonLoadDefFile");
    SpeedButtonLoadDefFile->setText("DEF file");
    SpeedButtonLoadDefFile->setToolTip("Open Old Sequenser");
    SpeedButtonLoadDefFile->setFocusPolicy(Qt::NoFocus);
    SpeedButtonLoadDefFile->setVisible(false);

    SpeedButtonClearPattern = SpeedButton(this, "SpeedButtonClearPattern", "Clear Current Pattern", 666, 30, "CP");
    SpeedButtonClearSeq = SpeedButton(this, "SpeedButtonClearSeq", "Clear Current Sequenser", 692, 30, "CS");
    SpeedButtonClearAllSeq = SpeedButton(this, "SpeedButtonClearAllSeq", "Clear All Sequensers", 718, 30, "CA");
    // Both act while the pattern range is still the one it starts with, steps 253..254 that no
    // timer plays, so nothing seems to happen; their hints say what sets the range.
    const QString range = QString::fromUtf8(
        "Диапазон паттерна задают кнопки темпа All, Pat, 1 или полоса темпа (Pattern: Adr From ... to ...)");
    SpeedButtonCopyPattern = SpeedButton(this, "SpeedButtonCopyPattern",
                                         QString::fromUtf8("Кпирование паттерна\n") + range, 752, 30, "cP");
    SpeedButtonCopySequens = SpeedButton(this, "SpeedButtonCopySequens", "Кпирование всего секвенсера", 778, 30, "cS");
    SpeedButtonPasteSequens = SpeedButton(
        this, "SpeedButtonPasteSequens",
        QString::fromUtf8("Вставить скопироанный блок\nПаттерн встаёт с начала диапазона паттерна. ") + range, 804,
        30, {}, st->standardIcon(QStyle::SP_FileDialogContentsView));
    SpeedButtonPasteSequens->setEnabled(false);
}

void TFormSequenser::createRunControl() {
    QStyle* st = style();
    GroupBoxSeq1_32 = Place(new QGroupBox(" Sequensers 1..32 ", this), 664, 58, 187, 138);
    GroupBoxSeq1_32->setObjectName("GroupBoxSeq1_32");
    ScrollBarNombSeq = ScrollBar(GroupBoxSeq1_32, "ScrollBarNombSeq", Qt::Horizontal, 0, 31, 0, 8, 20, 171, 17);
    RadioGroupSeqJob = Place(new QGroupBox(GroupBoxSeq1_32), 8, 40, 171, 38);
    RadioGroupSeqJob->setObjectName("RadioGroupSeqJob");
    RadioGroupSeqJobItems = RadioItems(RadioGroupSeqJob, {"Off", "Stop", "Play"}, 3);
    for (QAbstractButton* b : RadioGroupSeqJobItems->buttons()) b->move(b->x(), 12);
    ScrollBarScenaRun = ScrollBar(GroupBoxSeq1_32, "ScrollBarScenaRun", Qt::Horizontal, 0, spirelo::kStepBarMax, 0,
                                  8, 84, 171, 17);
    lblScena = Label(GroupBoxSeq1_32, "lblScena", "Scena 1", 8, 110, 80);
    SpeedButtonAlloff = SpeedButton(GroupBoxSeq1_32, "SpeedButtonAlloff", "All patterns OFF", 99, 106, {},
                                    st->standardIcon(QStyle::SP_MediaStop));
    SpeedButtonAllStop = SpeedButton(GroupBoxSeq1_32, "SpeedButtonAllStop", "All  patterns STOP", 125, 106, {},
                                     st->standardIcon(QStyle::SP_MediaPause));
    SpeedButtonSeqBeg = SpeedButton(GroupBoxSeq1_32, "SpeedButtonSeqBeg", "Установить на первую сцену", 151, 106,
                                    {}, st->standardIcon(QStyle::SP_MediaSkipBackward));

    GroupBoxSeq33_64 = Place(new QGroupBox("Sequenser 33", this), 664, 58, 187, 138);
    GroupBoxSeq33_64->setObjectName("GroupBoxSeq33_64");
    ScrollBarNombSeq33_64 = ScrollBar(GroupBoxSeq33_64, "ScrollBarNombSeq33_64", Qt::Horizontal, 32, 63, 32,
                                      8, 20, 171, 17);
    GroupBoxSeq33_64->setVisible(false);
}

void TFormSequenser::createTempoControls() {
    GroupBoxTempo = Place(new QGroupBox(this), 664, 200, 187, 118);
    GroupBoxTempo->setObjectName("GroupBoxTempo");
    ScrollBarSeqSpeed = ScrollBar(GroupBoxTempo, "ScrollBarSeqSpeed", Qt::Horizontal, spirelo::kTempoMin,
                                  spirelo::kTempoMax, spirelo::kTempoStart, 8, 12, 171, 17);
    ScrollBarSeqSpeed->setSingleStep(100);
    ScrollBarSeqSpeed->setPageStep(1000);
    ScrollBarSeqSpeed->setToolTip("Темп паттерна в ms");
    lblTempo = Label(GroupBoxTempo, "lblTempo", "T=1 sec", 8, 32, 171);
    CheckBoxEnableTempo = Place(new QCheckBox("Rec ON", GroupBoxTempo), 8, 52, 90, 20);
    CheckBoxEnableTempo->setObjectName("CheckBoxEnableTempo");
    CheckBoxEnableTempo->setToolTip("Разрешить писать новый темп");
    SpeedButtonTempAll = SpeedButton(GroupBoxTempo, "SpeedButtonTempAll", "Change tempo all patterns", 8, 80,
                                     "All", {}, true);
    SpeedButtonTempSliceSeq = SpeedButton(GroupBoxTempo, "SpeedButtonTempSliceSeq", "Change temp in current pattern",
                                          34, 80, "Pat", {}, true);
    SpeedButtonTempOnlyOne = SpeedButton(GroupBoxTempo, "SpeedButtonTempOnlyOne", "Change temp in current scene",
                                         60, 80, "1", {}, true);
    TempScopeGroup = new QButtonGroup(GroupBoxTempo);
    TempScopeGroup->setExclusive(true);
    TempScopeGroup->addButton(SpeedButtonTempAll, 0);
    TempScopeGroup->addButton(SpeedButtonTempSliceSeq, 1);
    TempScopeGroup->addButton(SpeedButtonTempOnlyOne, 2);
    SpeedButtonTempSliceSeq->setChecked(true);
    SpeedButtonDelAllControl = SpeedButton(GroupBoxTempo, "SpeedButtonDelAllControl",
                                           "Удалить линии паттернов и установить время", 125, 80, "xT");
    SpeedButtonDelOnlyLine = SpeedButton(GroupBoxTempo, "SpeedButtonDelOnlyLine", "Удалить только линии паттернов",
                                         151, 80, "x|");
}

void TFormSequenser::createAreaRgbPage() {
    QWidget* p = tsAreaRGB;
    RgbToolGroup = new QButtonGroup(p);
    RgbToolGroup->setExclusive(true);
    struct Tool { QToolButton** button; const char* name; const char* hint; const char* text; bool visible; };
    const Tool tools[] = {
        {&SpeedButtonRGBpen, "SpeedButtonRGBpen", "Pencil", "P", true},
        {&SpeedButtonRGBline, "SpeedButtonRGBline", "Draw line", "/", true},
        {&SpeedButtonRGBrect, "SpeedButtonRGBrect", "Paint Squire", "[]", true},
        {&SpeedButton45dw, "SpeedButton45dw", "Линия под 45 гр до границы Паттерна", "\\", true},
        {&SpeedButton45up, "SpeedButton45up", "Линия под 45 гр до границы Паттерна", "/", true},
        {&SpeedButtonRainbow, "SpeedButtonRainbow", "Линия под 45 гр до границы Паттерна", "|", true},
        {&SpeedButtonColorLine, "SpeedButtonColorLine", "Paint line different color", "~", false},
        {&sbCopyRGBtake, "sbCopyRGBtake", "Копировать выделение", "C", false},
    };
    int y = 8;
    for (const Tool& t : tools) {
        *t.button = SpeedButton(p, t.name, QString::fromUtf8(t.hint), 4, y, t.text, {}, true);
        (*t.button)->setVisible(t.visible);
        RgbToolGroup->addButton(*t.button);
        if (t.visible) y += 28;
    }
    SpeedButtonRGBpen->setChecked(true);

    ScrollBarSpotPos = ScrollBar(p, "ScrollBarSpotPos", Qt::Vertical, 0, 138, 138, 54, 8, 17, 513);
    ScrollBarSpotPos->setPageStep(20);
    PaintBoxSpots = Place(new TPaintBox(p), 104, 8, 513, 513);
    PaintBoxSpots->setObjectName("PaintBoxSpots");
    PaintBoxSpotTest = Place(new TPaintBox(p), 621, 8, 17, 513);
    PaintBoxSpotTest->setObjectName("PaintBoxSpotTest");
    ScrollBarSeqVisual = ScrollBar(p, "ScrollBarSeqVisual", Qt::Horizontal, 0, 222, 0, 104, 524, 513, 17);
    LabelScBegLow = Label(p, "LabelScBegLow", "01", 104, 543, 40);
    Label(p, "LabelScFromTo", "Scene from to", 310, 543, 120)->setAlignment(Qt::AlignHCenter);
    LabelScBegHi = Label(p, "LabelScBegHi", "31", 590, 543, 27);
    createAreaRgbTools();
}

void TFormSequenser::createAreaChannelPage() {
    QWidget* p = tsChannel;
    KlapanToolGroup = new QButtonGroup(p);
    KlapanToolGroup->setExclusive(true);
    struct Tool { QToolButton** button; const char* name; const char* hint; const char* text; bool visible; };
    const Tool tools[] = {
        {&SpeedButtonKlapanPen, "SpeedButtonKlapanPen", "Ставим точку или рисуем произвольную линию", "P", true},
        {&SpeedButtonLineKlapan, "SpeedButtonLineKlapan", "Рисуем ровную линию", "/", true},
        {&SpeedButtonKlapanRecy, "SpeedButtonKlapanRecy", "Рисуем прямоугольную область", "[]", true},
        {&SpeedButton45dwKlap, "SpeedButton45dwKlap", "Линия под 45 гр до границы Паттерна", "\\", true},
        {&SpeedButton45upKlap, "SpeedButton45upKlap", "Линия под 45 гр до границы Паттерна", "/", true},
        {&SpeedButtonCopyTake, "SpeedButtonCopyTake", "Копировать выделение", "C", false},
    };
    int y = 8;
    for (const Tool& t : tools) {
        *t.button = SpeedButton(p, t.name, QString::fromUtf8(t.hint), 4, y, t.text, {}, true);
        (*t.button)->setVisible(t.visible);
        KlapanToolGroup->addButton(*t.button);
        if (t.visible) y += 28;
    }
    SpeedButtonKlapanPen->setChecked(true);

    ScrollBarKlapanPos = ScrollBar(p, "ScrollBarKlapanPos", Qt::Vertical, 0, 480, 480, 54, 8, 17, 513);
    ScrollBarKlapanPos->setPageStep(20);
    PaintBoxKlapsns = Place(new TPaintBox(p), 104, 8, 513, 513);
    PaintBoxKlapsns->setObjectName("PaintBoxKlapsns");
    PaintBoxKlapanTest = Place(new TPaintBox(p), 621, 8, 17, 513);
    PaintBoxKlapanTest->setObjectName("PaintBoxKlapanTest");
    ScrollBarSeqKLapan = ScrollBar(p, "ScrollBarSeqKLapan", Qt::Horizontal, 0, 222, 0, 104, 524, 513, 17);
    LabelKlBegLow = Label(p, "LabelKlBegLow", "01", 104, 543, 40);
    Label(p, "LabelKlFromTo", "Сцены от-до", 310, 543, 120)->setAlignment(Qt::AlignHCenter);
    LabelKlBegHi = Label(p, "LabelKlBegHi", "31", 590, 543, 27);
    Label(p, "LabelKlapanNumbers", "Номера Каналов", 4, 524, 100);
    createAreaChannelTools();
}

void TFormSequenser::createFixDmxPage() {
    QWidget* p = tsFixDmx;
    ScrollBarGroupPos = ScrollBar(p, "ScrollBarGroupPos", Qt::Vertical, 0, 486, 0, 8, 16, 17, 19 * 26 - 2);
    ScrollBarGroupPos->setToolTip("Каналы DMX");
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPixelSize(13);
    LabelGroupSeqUp = Label(p, "LabelGroupSeqUp", ColumnNumbers(1), 65, 0, 400);
    LabelGroupseqDw = Label(p, "LabelGroupseqDw", ColumnNumbers(17), 65, 516, 400);
    lblGroupseqTree = Label(p, "lblGroupseqTree", ColumnNumbers(33), 65, 516, 400);
    lblGroupseqFour = Label(p, "lblGroupseqFour", ColumnNumbers(49), 65, 516, 400);
    for (QLabel* l : {LabelGroupSeqUp, LabelGroupseqDw, lblGroupseqTree, lblGroupseqFour}) l->setFont(mono);
    lblGroupseqTree->setVisible(false);
    lblGroupseqFour->setVisible(false);
    RadioGroupSeqDuo = Place(new QGroupBox("N Sequenser ", p), 470, 16, 170, 100);
    RadioGroupSeqDuo->setObjectName("RadioGroupSeqDuo");
    RadioGroupSeqDuoItems = RadioItems(RadioGroupSeqDuo, {"01-16", "17-32", "33-48", "49-64"}, 1);
}

// The labels and check boxes the window builds for itself when it is created.
void TFormSequenser::buildRunTimeControls() {
    QFont rowFont = font();
    rowFont.setPointSize(10);
    for (int i = 0; i < 32; ++i) {
        for (auto [page, list] : {std::pair{tsAreaRGB, &SpotRowLabels}, std::pair{tsChannel, &KlapanRowLabels}}) {
            QLabel* l = Label(page, {}, TwoDigits(i + 1), 75, 8 + 16 * i, 28, 16);
            l->setFont(rowFont);
            l->setProperty("Tag", i);
            list->push_back(l);
        }
    }
    for (int r = 0; r < 26; ++r) {
        QLabel* l = Label(tsFixDmx, {}, TwoDigits(r + 1), 32, 16 + 19 * r, 30, 17);
        l->setFont(rowFont);
        l->setProperty("Tag", r);
        GroupRowLabels.push_back(l);
    }
    GroupCells.resize(16 * 26);
    for (int c = 0; c < 16; ++c)
        for (int r = 0; r < 26; ++r) {
            auto* cb = Place(new QCheckBox(tsFixDmx), 65 + 24 * c, 16 + 19 * r, 17, 17);
            cb->setFocusPolicy(Qt::NoFocus);
            cb->setProperty("Tag", c * 26 + r);
            GroupCells[c * 26 + r] = cb;
        }
    for (int c = 0; c < 16; ++c) {
        auto* cb = Place(new QCheckBox(tsFixDmx), 65 + 24 * c, 537, 17, 17);
        cb->setFocusPolicy(Qt::NoFocus);
        cb->setProperty("Tag", c);
        connect(cb, &QCheckBox::clicked, this, &TFormSequenser::RedrawAreaGroup);
        GroupColumnBoxes.push_back(cb);
    }
    connectFixDmxTools();
}

// --- Creation and destruction ------------------------------------------------------------

void TFormSequenser::FormCreate() {
    ShowData& d = ShowDataInstance();

    // 1. Pictures of the area pages.
    const QColor face = palette().color(QPalette::Button);
    IconImage = QImage(15, 15, QImage::Format_RGB32);
    IconImage.fill(QColor(128, 128, 128));
    SpotAreaImage = QImage(PaintBoxSpots->size(), QImage::Format_RGB32);
    SpotAreaImage.fill(face);
    KlapanAreaImage = QImage(PaintBoxKlapsns->size(), QImage::Format_RGB32);
    KlapanAreaImage.fill(face);
    SpotStripImage = QImage(PaintBoxSpotTest->size(), QImage::Format_RGB32);
    SpotStripImage.fill(face);
    KlapanStripImage = QImage(PaintBoxKlapanTest->size(), QImage::Format_RGB32);
    KlapanStripImage.fill(face);

    // 2. The column numbers of the four groups stay with the window; the lower label starts
    // with the upper one's text.
    GroupLabelTexts[0] = LabelGroupSeqUp->text();
    GroupLabelTexts[1] = LabelGroupseqDw->text();
    GroupLabelTexts[2] = lblGroupseqTree->text();
    GroupLabelTexts[3] = lblGroupseqFour->text();
    LabelGroupseqDw->setText(LabelGroupSeqUp->text());

    // 3. Both dialogs start in the program's folder (a folder with no file name in it).
    QString folder = Q(d.ProgramFolder);
    if (folder.isEmpty()) folder = Q(spirelo::DirName(spirelo::ProgramFile()));
    if (!folder.isEmpty() && !folder.endsWith('/')) folder += '/';
    OpenDialogSeq.Filter = QString::fromUtf8("*.seq Файлы Секвенсера Spirelo|*.seq");
    OpenDialogSeq.Title = QString::fromUtf8("Открыть файл секвенсера и настроек фонтана");
    OpenDialogSeq.DefaultExt = "*.seq";
    OpenDialogSeq.FileName = folder;
    SaveDialogSeq.Filter = QString::fromUtf8("*.seq Файлы Секвенсера Spirelo |*.seq");
    SaveDialogSeq.Title = QString::fromUtf8("Сохранить файл секвенсера и настроек фонтана");
    SaveDialogSeq.FileName = folder;

    // 4. Run-time labels and check boxes, then the grid's hints.
    buildRunTimeControls();
    HintCheckGroup();

    // 9 (before 5). A stored position off the screen (another monitor layout) would hide the
    // window. Set before the first show, so the window manager puts the frame there and the place
    // kept is the one restored (no creep by a title bar at every start).
    move(d.ProgramOptions[7], d.ProgramOptions[6]);
    spirelo::KeepOnScreen(this);
    spirelo::WhenFramed(this, [this] { spirelo::KeepOnScreen(this); });

    // 5.
    if (d.ProgramFlags[2]) show();

    // 6. The view as it was saved.
    ScrollBarNombSeq->setValue(d.EditorSettings[9]);
    const int shown = ShownSeq();
    ScrollBarSpotPos->setValue(d.SequencerViewPositions[shown]);
    ScrollBarKlapanPos->setValue(d.SequencerViewPositions[64 + shown]);
    ScrollBarGroupPos->setValue(d.EditorSettings[8]);
    SetActivePage(d.EditorSettings[2]);
    SetRunStateSelector(d.SequencerRunState[shown]);
    GroupBoxSeq1_32->setTitle(QStringLiteral("Nomber sequenser %1").arg(shown + 1));
    ScrollBarScenaRun->setValue(d.SequencerCurrentStep[shown]);
    RedrawAllarea();

    // 7.
    setWindowTitle(Q("File sequenser: " + d.sNameFileSeq));
    edtNameSeq->setText(SeqNameEditText(shown));

    // 8.
    if (spirelo::FileExists(d.sNameFileSeq)) {
        OpenDialogSeq.FileName = SaveDialogSeq.FileName = Q(d.sNameFileSeq);
        LoadMemoFromNotesFile();
    }

    // 9: placed before 5.
    QString text;
    RePaintTemp(TempoPosition(), text);
    lblTempo->setText(text);
    SetButtonInvertor(0);
    d.EditorSettings[7] = 255;
    tmrPatternTimer();
    created_ = true;
}

void TFormSequenser::FormDestroy() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    for (QTimer* t : TimerSeq) t->stop();
    TimerRePaint->stop();
    tmrPattern->stop();
    TimerUndo->stop();
    if (spirelo::FileExists(ShowDataInstance().sNameFileSeq)) SaveMemoToNotesFile();
}

// --- Step timers -------------------------------------------------------------------------

int TFormSequenser::ShownSeq() const { return spirelo::ClampSequencer(ScrollBarNombSeq->sliderPosition()); }
int TFormSequenser::StepBarPosition() const { return ScrollBarScenaRun->sliderPosition(); }
int TFormSequenser::TempoPosition() const { return ScrollBarSeqSpeed->sliderPosition(); }

void TFormSequenser::JobAllviewPic(int Seq) {
    if (Seq < 0) return;
    if (Seq > spirelo::kSequencers - 1) Seq = spirelo::kSequencers - 1;
    ShowData& d = ShowDataInstance();
    QTimer* timer = TimerSeq[Seq];
    const spirelo::ExpiryResult r = spirelo::SequencerExpiry(d, Seq, timer->interval());
    // Only a new interval restarts the timer, so a steady tempo keeps its precise period.
    if (r.interval != timer->interval()) SetTimer(Seq);
    // Off and Stop leave the step bar where the operator put it (Stop previews that step).
    if (Seq != ShownSeq() || !r.wrote) return;
    if (r.stateChanged) SetRunStateSelector(d.SequencerRunState[Seq]);
    ScrollBarScenaRun->setValue(d.SequencerCurrentStep[Seq]);
    RedrawAllarea();
}

void TFormSequenser::SetTimer(int Seq) {
    if (Seq < 0 || Seq >= spirelo::kSequencers) return;
    const ShowData& d = ShowDataInstance();
    const int step = spirelo::ClampSeqStep(d.SequencerCurrentStep[Seq]);
    // A zero interval would make the timer spin; marks never reach here, but stay safe.
    TimerSeq[Seq]->setInterval(std::max<int>(1, d.SequencerStepWords[Seq][step]));
}

void TFormSequenser::initTimer(int Seq, int Interval) {
    if (Seq < 0 || Seq >= spirelo::kSequencers) return;
    QTimer* t = TimerSeq[Seq];
    t->stop();
    t->setInterval(std::max(1, Interval));
    t->start();
}

// --- Run control -------------------------------------------------------------------------

void TFormSequenser::SetRunStateSelector(int state) {
    if (QAbstractButton* b = RadioGroupSeqJobItems->button(state)) b->setChecked(true);
}

bool TFormSequenser::SecondGroupShown() const { return rgSeqChangeItems->checkedId() == 1; }

void TFormSequenser::ScrollBarNombSeqScroll(int position) {
    ShowData& d = ShowDataInstance();
    const int seq = spirelo::ClampSequencer(position);
    d.EditorSettings[9] = seq;
    ScrollBarKlapanPos->setValue(d.SequencerViewPositions[64 + seq]);
    ScrollBarSpotPos->setValue(d.SequencerViewPositions[seq]);
    QString text;
    RePaintTemp(TempoPosition(), text);
    lblTempo->setText(text);
    RedrawAllarea();
    initTimer(seq, TempoPosition());
}

void TFormSequenser::ScrollBarNombSeqChange() {
    ShowData& d = ShowDataInstance();
    const int seq = ShownSeq();
    UncheckRecOn();
    edtNameSeq->setText(SeqNameEditText(seq));
    SetRunStateSelector(d.SequencerRunState[seq]);
    GroupBoxSeq1_32->setTitle(QString::fromUtf8("Номер секвенсера %1").arg(seq + 1));
    ScrollBarScenaRun->setValue(d.SequencerCurrentStep[seq]);
    RedrawAllarea();
}

void TFormSequenser::ScrollBarScenaRunScroll(int position) {
    const int seq = ShownSeq();
    spirelo::StepBarMoved(ShowDataInstance(), seq, position);
    initTimer(seq, TempoPosition());
    QString text;
    RePaintTemp(TempoPosition(), text);
    lblTempo->setText(text);
    RedrawAllarea();
}

void TFormSequenser::ScrollBarScenaRunChange() {
    lblScena->setText(QStringLiteral("Scena %1").arg(ScrollBarScenaRun->value() + 1));
}

void TFormSequenser::RadioGroupSeqJobClick(int index) {
    if (index < spirelo::kRunOff || index > spirelo::kRunPlay) return;
    ShowDataInstance().SequencerRunState[ShownSeq()] = uint8_t(index);
}

void TFormSequenser::SpeedButtonAlloffClick() {
    if (spirelo::Messages().question("Выключить ВСЕ секвенсеры? ") == spirelo::Answer::No) return;
    spirelo::SetAllRunStates(ShowDataInstance(), spirelo::kRunOff);
    SetRunStateSelector(spirelo::kRunOff);
    RedrawAllarea();
}

void TFormSequenser::SpeedButtonAllStopClick() {
    if (spirelo::Messages().question("Остановить ВСЕ секвенсеры? ") == spirelo::Answer::No) return;
    spirelo::SetAllRunStates(ShowDataInstance(), spirelo::kRunStop);
    SetRunStateSelector(spirelo::kRunStop);
    RedrawAllarea();
}

void TFormSequenser::SpeedButtonSeqBegClick() {
    ScrollBarScenaRun->setValue(0);
    RedrawNewSeq();
}

// --- Tempo and step commands -------------------------------------------------------------

void TFormSequenser::UncheckRecOn() {
    if (!CheckBoxEnableTempo->isChecked()) return;
    CheckBoxEnableTempo->setChecked(false);
    CheckBoxEnableTempoClick();
}

void TFormSequenser::SetFulltimersMode() {
    ShowData& d = ShowDataInstance();
    const int seq = ShownSeq();
    const int tempo = TempoPosition();
    spirelo::TempoScope scope = spirelo::TempoScope::CurrentPattern;
    if (SpeedButtonTempAll->isChecked()) scope = spirelo::TempoScope::AllPatterns;
    else if (SpeedButtonTempOnlyOne->isChecked()) scope = spirelo::TempoScope::CurrentScene;
    spirelo::WriteTempo(d, spirelo::SequencerEditInstance(), seq, scope, CheckBoxEnableTempo->isChecked(), tempo,
                        StepBarPosition());
    initTimer(seq, tempo);
    RedrawNewSeq();
}

void TFormSequenser::ViewTemp() {
    const ShowData& d = ShowDataInstance();
    const int word = d.SequencerStepWords[ShownSeq()][spirelo::ClampSeqStep(StepBarPosition())];
    ScrollBarSeqSpeed->setValue(word);
    QString text;
    RePaintTemp(word, text);
    lblTempo->setText(text);
}

void TFormSequenser::ScrollBarSeqSpeedScroll(int) {
    CheckBoxEnableTempo->setChecked(true);   // shown only: the box's own handler does not run
    SetFulltimersMode();
}

void TFormSequenser::CheckBoxEnableTempoClick() {
    if (CheckBoxEnableTempo->isChecked()) SetFulltimersMode();
    ViewTemp();
}

void TFormSequenser::SpeedButtonTempScopeClick() {
    UncheckRecOn();
    SaveToUndo();
    SetFulltimersMode();
    ViewTemp();
}

void TFormSequenser::SpeedButtonDelAllControlClick() {
    if (spirelo::Messages().question(spirelo::TwoLines("You change group options. ", "You sure?")) !=
        spirelo::Answer::Yes)
        return;
    SaveToUndo();
    UncheckRecOn();
    spirelo::DeleteAllControls(ShowDataInstance(), ShownSeq(), TempoPosition());
    SetFulltimersMode();
}

void TFormSequenser::SpeedButtonDelOnlyLineClick() {
    if (spirelo::Messages().question(spirelo::TwoLines("You change group options. ", "You sure?")) !=
        spirelo::Answer::Yes)
        return;
    SaveToUndo();
    UncheckRecOn();
    spirelo::DeleteOnlyLines(ShowDataInstance(), ShownSeq());
    SetFulltimersMode();
}

// word -1 stands for the tempo of the tempo bar ("delete the command").
void TFormSequenser::PopupStepWord(int word, bool unchecksRecOn) {
    SaveToUndo();
    if (unchecksRecOn) UncheckRecOn();
    if (word < 0) word = TempoPosition();
    spirelo::SetStepWordAt(ShowDataInstance(), ShownSeq(), spirelo::SequencerEditInstance().PointedStep,
                           uint16_t(word));
    RedrawNewSeq();
}

void TFormSequenser::popur_clear_uprClick() {
    SaveToUndo();
    UncheckRecOn();
    if (spirelo::Messages().question(spirelo::TwoLines("Нажатие кнопки измненит все значения",
                                                       "управляющих команд в текущем секвенсере!")) ==
        spirelo::Answer::Yes)
        spirelo::ClearAllControls(ShowDataInstance(), ShownSeq());
    RedrawNewSeq();
}

void TFormSequenser::popur_scena_setClick() {
    UncheckRecOn();
    const int step = spirelo::SequencerEditInstance().PointedStep;
    if (step < 0 || step >= spirelo::kSequencerSteps) return;
    ShowDataInstance().SequencerCurrentStep[ShownSeq()] = uint16_t(step);
    ScrollBarScenaRun->setValue(step);
    SetFulltimersMode();
    ViewTemp();
}

void TFormSequenser::tmrPatternTimer() {
    const spirelo::SequencerEditState& e = spirelo::SequencerEditInstance();
    LabelRealAdr->setText(Q(spirelo::PatternAdrText(e)));
    LabelPatternLeng->setText(Q(spirelo::PatternLengText(e)));
}

void TFormSequenser::TimerRePaintTimer() {
    ShowData& d = ShowDataInstance();
    SetRunStateSelector(d.SequencerRunState[ShownSeq()]);
    d.ProgramOptions[6] = y();
    d.ProgramOptions[7] = x();
}

// --- Editing services of the area pages --------------------------------------------------

void TFormSequenser::RedrawAllarea() {
    switch (PageControlmain->currentIndex()) {
    case 0: ReDrawAreaSpots(); break;
    case 1: ReDrawAreaKlapan(); break;
    case 2: RedrawAreaGroup(); break;
    default: break;
    }
}

void TFormSequenser::RedrawNewSeq() {
    if (SecondGroupShown()) return;
    const ShowData& d = ShowDataInstance();
    const int seq = ShownSeq();
    SetRunStateSelector(d.SequencerRunState[seq]);
    GroupBoxSeq1_32->setTitle(QStringLiteral("Sequenser %1").arg(seq + 1));
    lblScena->setText(QStringLiteral("Scena %1").arg(StepBarPosition() + 1));
    QString text;
    RePaintTemp(TempoPosition(), text);
    lblTempo->setText(text);
    RedrawAllarea();
}


void TFormSequenser::RePaintTemp(int Word, QString& Text) {
    const QString point = QLocale().decimalPoint();
    Text = Q(spirelo::StepWordText(Word, point.size() == 1 ? point[0].toLatin1() : '.'));
}

// --- Page, name, group -------------------------------------------------------------------

void TFormSequenser::SetActivePage(int index) {
    if (index < 0 || index >= PageControlmain->count()) return;
    const bool blocked = PageControlmain->blockSignals(true);   // a program set is no page change
    PageControlmain->setCurrentIndex(index);
    PageControlmain->blockSignals(blocked);
}

void TFormSequenser::PageControlmainChange(int index) {
    ShowDataInstance().EditorSettings[2] = index;
    UncheckRecOn();
    RedrawAllarea();
    SpeedButtonPasteSequens->setEnabled(false);
}

void TFormSequenser::edtNameSeqChange() {
    const QString text = edtNameSeq->text();
    if (text.isEmpty()) return;
    const int row = SecondGroupShown() ? ScrollBarNombSeq33_64->value() : ShownSeq();
    spirelo::SetSequencerName(ShowDataInstance(), row, S(text));
    HintCheckGroup();
}

void TFormSequenser::rgSeqChangeClick(int index) {
    UncheckRecOn();
    const bool second = index == 1;
    GroupBoxSeq1_32->setVisible(!second);
    GroupBoxSeq33_64->setVisible(second);
    const int seq = second ? ScrollBarNombSeq33_64->value() : ShownSeq();
    (second ? GroupBoxSeq33_64 : GroupBoxSeq1_32)->setTitle(QStringLiteral("Sequenser %1").arg(seq + 1));
    edtNameSeq->setText(SeqNameEditText(seq));
    RedrawNewSeq();
}

void TFormSequenser::ScrollBarNombSeq33_64Change() {
    const int seq = ScrollBarNombSeq33_64->value();
    edtNameSeq->setText(SeqNameEditText(seq));
    GroupBoxSeq33_64->setTitle(QString::fromUtf8("Номер секвенсера %1").arg(seq + 1));
}

void TFormSequenser::ScrollBarNombSeq33_64Scroll(int position) {
    ShowDataInstance().EditorSettings[3] = position;
    RedrawAllarea();
}

// --- Mouse wheel -------------------------------------------------------------------------

void TFormSequenser::wheelEvent(QWheelEvent* event) {
    FormMouseWheel(event->angleDelta().y());
    event->accept();
}

void TFormSequenser::FormMouseWheel(int delta) {
    const int steps = spirelo::WheelSteps(ShowDataInstance(), delta);
    QScrollBar* bar = nullptr;
    switch (PageControlmain->currentIndex()) {
    case 0: bar = ScrollBarSpotPos; break;
    case 1: bar = ScrollBarKlapanPos; break;
    case 2: bar = ScrollBarGroupPos; break;
    default: break;
    }
    if (bar) bar->setValue(bar->value() + steps);
    RedrawAllarea();
}

// --- Files -------------------------------------------------------------------------------

void TFormSequenser::LoadMemoFromNotesFile() {
    std::string memo;
    const std::string path = spirelo::NotesFileName(ShowDataInstance().sNameFileSeq);
    const spirelo::IoResult r = spirelo::LoadNotesFile(path, memo);
    if (!r) {
        memo.clear();
        if (spirelo::IsReadFailure(path, r)) spirelo::ReportReadFailure(path, r);
    }
    refusedNotes_.loaded(path, r);
    MemoNotes->setPlainText(Q(memo));
    MemoNotes->document()->setModified(false);
}

bool TFormSequenser::SaveMemoToNotesFile() {
    const std::string path = spirelo::NotesFileName(ShowDataInstance().sNameFileSeq);
    const std::string memo = S(MemoNotes->toPlainText());
    if (refusedNotes_.keeps(path, memo)) return true;
    const spirelo::IoResult r = spirelo::SaveNotesFile(path, memo);
    if (r) {
        MemoNotes->document()->setModified(false);
        refusedNotes_.saved(path);
    } else {
        spirelo::ReportWriteFailure(path, r);
    }
    return bool(r);
}

void TFormSequenser::SpeedButtonOpenSequensClick() {
    if (!OpenDialogSeq.Execute(this)) return;
    ShowData& d = ShowDataInstance();
    const std::string previous = d.sNameFileSeq;
    // Notes typed since the last save belong beside the file shown until now.
    if (MemoNotes->document()->isModified() && spirelo::FileExists(previous)) SaveMemoToNotesFile();
    const spirelo::FileLoad r = spirelo::OpenSeqFile(d, S(OpenDialogSeq.FileName));
    SaveDialogSeq.FileName = Q(d.sNameFileSeq);
    setWindowTitle(Q("Open file Sequenser: " + d.sNameFileSeq));
    // The memo follows the file: its own notes, never the previous file's.
    const bool read = r == spirelo::FileLoad::Loaded || r == spirelo::FileLoad::OldLayout;
    if (read || d.sNameFileSeq != previous) LoadMemoFromNotesFile();
    // The name edit, selector and step bar show the opened file's sequencer, so an edit of the
    // name never carries the previous file's name into this one.
    if (read) ScrollBarNombSeqChange();
    // The file holds the option records and the schedule: the sound window's pages follow.
    if (FormSound) FormSound->ReturnOptionData();
    if (read && FormSound) FormSound->ShowFilesTakenUp(false, true);
    RedrawAllarea();
}

void TFormSequenser::SpeedButtonSaveSeqClick() {
    ShowData& d = ShowDataInstance();
    // A file never written yet (a first start names one) is chosen first, its name offered,
    // so that Save never leaves the scenes unsaved without a word.
    if (!spirelo::FileExists(d.sNameFileSeq)) {
        SaveDialogSeq.FileName = Q(d.sNameFileSeq);
        if (SaveAsChosenFile()) SaveMemoToNotesFile();
        return;
    }
    spirelo::SaveSeqFile(d);
    SaveMemoToNotesFile();
    spirelo::WriteIniSettings(d, CustomerTextsOfDmxWindow());
}

void TFormSequenser::SpeedButtonSaveAsSequensClick() { SaveAsChosenFile(); }

bool TFormSequenser::SaveAsChosenFile() {
    if (!SaveDialogSeq.Execute(this)) return false;
    ShowData& d = ShowDataInstance();
    const std::string chosen = S(SaveDialogSeq.FileName);
    // Only a file that is there can be rewritten: the current name of one never written is
    // saved without the question.
    if (chosen == d.sNameFileSeq && spirelo::FileExists(chosen) &&
        spirelo::Messages().question("File " + d.sNameFileSeq + "exist, rewrite?") != spirelo::Answer::Yes)
        return false;
    const std::string previous = d.sNameFileSeq;
    d.sNameFileSeq = chosen;
    // A failed save was told to the user; the show keeps the name of the file it came from,
    // so later saves do not go to a file that was never written.
    if (!spirelo::SaveSeqFile(d)) {
        d.sNameFileSeq = previous;
        return false;
    }
    OpenDialogSeq.FileName = Q(chosen);
    spirelo::WriteIniSettings(d, CustomerTextsOfDmxWindow());
    setWindowTitle(Q("File sequenser: " + chosen));
    return true;
}

void TFormSequenser::SpeedButtonLoadDefFileClick() {
    const std::string name = spirelo::DefFilePath();
    if (!spirelo::FileExists(name)) spirelo::Messages().message("No open file " + name);
    else spirelo::OpenDefFile(ShowDataInstance());
    if (FormSound) FormSound->ReturnOptionData();
    SpeedButtonLoadDefFile->setVisible(false);
}
