#include "dmx/ui/form_usb_com.h"

#include "common/ini_file.h"
#include "common/timing_log.h"
#include "common/ui/qt_helpers.h"
#include "common/ui/text_fit.h"
#include "common/ui/window_placement.h"
#include "core/macro_file.h"
#include "core/seq_file.h"
#include "core/ui/form_maim.h"
#include "dmx/areas.h"
#include "dmx/dmx_recorder.h"
#include "dmx/live_data_writer.h"
#include "dmx/macros.h"
#include "platform/audio.h"
#include "platform/d2xx.h"
#include "platform/message_service.h"
#include "playback/show_clock.h"
#include "playback/spectrum.h"
#include "playback/ui/form_sound.h"
#include "sequencer/ui/form_sequenser.h"

#include <QApplication>
#include <QFont>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <tuple>
#include <cstring>

TFormUSB_COM* FormUSB_COM = nullptr;

using namespace spirelo;

namespace {

constexpr int kRowPitch = 21;
constexpr int kRowTop = 40;
constexpr int kPanelRowTop = kRowTop + 18;   // the page's rows sit below the tab bar

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, int w, int h, int pt = 0, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, h);
    if (pt > 0 || bold) {
        QFont f = l->font();
        if (pt > 0) f.setPointSize(pt);
        f.setBold(bold);
        l->setFont(f);
    }
    return l;
}

QToolButton* MakeSpeedButton(QWidget* parent, const QString& caption, const QString& hint, int x, int y, int w, int h,
                             bool checkable = false) {
    auto* b = new QToolButton(parent);
    b->setText(caption);
    b->setToolTip(hint);
    b->setGeometry(x, y, w, h);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCheckable(checkable);
    b->setAutoRaise(false);
    return b;
}

QScrollBar* MakeBar(QWidget* parent, Qt::Orientation o, int min, int max, int pageStep, int x, int y, int w, int h) {
    auto* s = new QScrollBar(o, parent);
    s->setRange(min, max);
    s->setPageStep(pageStep);
    s->setGeometry(x, y, w, h);
    return s;
}

// A colour box: the standard colours, red in the low byte of each value.
QComboBox* MakeColorBox(QWidget* parent, uint32_t initial, int x, int y) {
    static const std::pair<const char*, uint32_t> kColours[] = {
        {"Black", 0x000000}, {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
        {"Navy", 0x800000},  {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
        {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},   {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
        {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
    };
    auto* box = new QComboBox(parent);
    box->setGeometry(x, y, 140, 22);
    for (auto [name, value] : kColours) {
        QPixmap swatch(12, 12);
        swatch.fill(ColorFromValue(value));
        box->addItem(QIcon(swatch), name, QVariant::fromValue<uint>(value));
        if (value == initial) box->setCurrentIndex(box->count() - 1);
    }
    return box;
}

uint32_t ColorOf(const QComboBox* box) { return box->currentData().toUInt(); }

QCheckBox* MakeCheck(QWidget* parent, const QString& caption, const QString& hint, int x, int y, int w, int h,
                     bool checked = false) {
    auto* c = new QCheckBox(caption, parent);
    c->setGeometry(x, y, w, h);
    c->setToolTip(hint);
    c->setChecked(checked);
    return c;
}

// Font colour of a label; the palette is touched only when it changes (the rows are refreshed
// on every scroll).
void SetFontColour(QWidget* w, const QColor& c) {
    if (w->palette().color(QPalette::WindowText) == c) return;
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}

// The row's top within a page (the "Output" read-outs sit on the same lines).
int RowY(int r) { return kRowTop - 8 + (r - 1) * kRowPitch; }

uint32_t SystemTickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

TColorShape::TColorShape(QWidget* parent, uint32_t colour) : QFrame(parent), colour_(colour) {
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorFromValue(colour));
    setPalette(p);
    setToolTip("Set Color");
}

void TColorShape::mousePressEvent(QMouseEvent* event) {
    QFrame::mousePressEvent(event);
    if (onMouseDown) onMouseDown();
}

void TMouseDownButton::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown) onMouseDown(event->button());
    QToolButton::mousePressEvent(event);
}

TFormUSB_COM::TFormUSB_COM(QWidget* parent) : QWidget(parent) {
    TickCount = SystemTickCount;
    // The layer is chosen once (SPIRELO_USB); tests install theirs before creating the window.
    link_ = std::make_unique<UsbLink>(D2xxInstance());
    createControls();
    spirelo::FitTexts(this);
    // The wheel is taken wherever the pointer is over this window, so a bar under it never
    // scrolls (and never writes a table).
    qApp->installEventFilter(this);
}

TFormUSB_COM::~TFormUSB_COM() { FormDestroy(); }

void TFormUSB_COM::createControls() {
    setWindowTitle("Form USB & DMX");
    setFixedSize(780, 640);

    // Left panel: the 25 channel numbers of the view and the bar that moves it.
    Panel = new QFrame(this);
    Panel->setFrameShape(QFrame::StyledPanel);
    Panel->setGeometry(4, 4, 80, 632);
    for (int r = 1; r <= kReadoutRows; ++r)
        ChannelLabel[r] = MakeLabel(Panel, QString::number(r), 6, kPanelRowTop + (r - 1) * kRowPitch, 44, 20, 11, true);
    ScrollBarPosDmxUSB = MakeBar(Panel, Qt::Vertical, 0, 487, 16, 56, kPanelRowTop, 18, kReadoutRows * kRowPitch);
    ScrollBarPosDmxUSB->setToolTip("Change Fragment of area DMX");
    SpeedButtonSaveIni = MakeSpeedButton(Panel, "", "Save file Sequenser", 6, 596, 68, 28);
    SpeedButtonSaveIni->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));

    PageControl = new QTabWidget(this);
    PageControl->setGeometry(88, 4, 688, 632);
    tsHand = new QWidget;
    TabSheetMM = new QWidget;
    tsCoder = new QWidget;
    tsChannells = new QWidget;
    tsOption = new QWidget;
    tsColorSet = new QWidget;
    tsMacro = new QWidget;
    PageControl->addTab(tsHand, "Hand");
    PageControl->addTab(TabSheetMM, "MinMax");
    PageControl->addTab(tsCoder, "Coder");
    PageControl->addTab(tsChannells, "Channels");
    PageControl->addTab(tsOption, "Option");
    PageControl->addTab(tsColorSet, "Colors ");
    PageControl->addTab(tsMacro, "Macros");

    // Hand page: the "Output" read-outs and their format.
    MakeLabel(tsHand, "Output", 560, 12, 60, 18, 0, true);
    for (int r = 1; r <= kReadoutRows; ++r)
        OutputLabel[r] = MakeLabel(tsHand, "0", 560, kRowTop - 8 + (r - 1) * kRowPitch, 50, 20, 12, true);
    sbOutDmx255 = MakeSpeedButton(tsHand, "DMX", "", 620, 40, 44, 22, true);
    SpeedButtonOutDmxProc = MakeSpeedButton(tsHand, "%", "", 620, 64, 44, 22, true);
    SpeedButtonOutDmxHz = MakeSpeedButton(tsHand, "Hz", "", 620, 88, 44, 22, true);
    OutFormatGroup = new QButtonGroup(this);
    OutFormatGroup->setExclusive(true);
    OutFormatGroup->addButton(sbOutDmx255);
    OutFormatGroup->addButton(SpeedButtonOutDmxProc);
    OutFormatGroup->addButton(SpeedButtonOutDmxHz);
    sbOutDmx255->setChecked(true);

    createHandPage();
    createMinMaxPage();
    createCoderPage();
    createChannelsPage();
    createRows();

    // Option page: USB group.
    GroupBoxUsb = new QGroupBox(tsOption);
    GroupBoxUsb->setGeometry(8, 8, 330, 150);
    LabelUsbName = MakeLabel(GroupBoxUsb, "", 10, 24, 300, 18);
    LabelUSBserial = MakeLabel(GroupBoxUsb, "", 10, 46, 300, 18);
    SpeedButtonInitFTDI = MakeSpeedButton(GroupBoxUsb, "INIT", QString::fromUtf8("Инициализация "), 10, 76, 60, 26);
    shpFtdi = new QFrame(GroupBoxUsb);
    shpFtdi->setGeometry(84, 78, 22, 22);
    shpFtdi->setFrameShape(QFrame::Box);
    shpFtdi->setAutoFillBackground(true);
    CheckBoxFTDI = new QCheckBox("FTDI", GroupBoxUsb);
    CheckBoxFTDI->setGeometry(120, 80, 80, 20);
    CheckBoxFTDI->setChecked(true);
    CheckBoxCrypto = new QCheckBox("Stream", GroupBoxUsb);
    CheckBoxCrypto->setGeometry(120, 108, 100, 20);
    CheckBoxCrypto->setToolTip(QString::fromUtf8("Тип вывода"));

    // Option page: customer texts and the frame rate.
    GroupBoxCustomer = new QGroupBox("Record Customer ", tsOption);
    GroupBoxCustomer->setGeometry(8, 168, 660, 190);
    lblFps = MakeLabel(GroupBoxCustomer, "FPS = 0", 10, 24, 160, 18, 0, true);
    CheckBoxFIX = new QCheckBox(QString::fromUtf8("Зафиксировать регуляторы"), GroupBoxCustomer);
    CheckBoxFIX->setGeometry(200, 22, 260, 20);
    EditNameObjeckt = new QLineEdit(GroupBoxCustomer);
    EditNameObjeckt->setGeometry(10, 54, 420, 24);
    EditCustomer = new QLineEdit(GroupBoxCustomer);
    EditCustomer->setGeometry(10, 86, 420, 24);
    EditDataContract = new QLineEdit(GroupBoxCustomer);
    EditDataContract->setGeometry(10, 118, 420, 24);
    CheckBoxProtectWriteIniCustom = new QCheckBox("Text Record Enable", GroupBoxCustomer);
    CheckBoxProtectWriteIniCustom->setGeometry(10, 152, 200, 20);
    CheckBoxProtectWriteIniCustom->setToolTip("Enable Write Text Data");
    CheckBoxColorCoder = MakeCheck(tsOption, "Color Label Coder ", "", 8, 370, 200, 20, true);

    // Option page: live data.
    GroupBoxMap = new QGroupBox("MAP DMX ", tsOption);
    GroupBoxMap->setGeometry(348, 8, 320, 150);
    SpeedButtonFileMap = MakeSpeedButton(GroupBoxMap, "ON", QString::fromUtf8("Подключить карту"), 10, 30, 60, 26);
    SpeedButtonFileMapOFF = MakeSpeedButton(GroupBoxMap, "OFF", QString::fromUtf8("Отключить карту"), 80, 30, 60, 26);
    SpeedButtonFileMapOFF->setEnabled(false);
    CheckBoxMapping = new QCheckBox("OnCreate", GroupBoxMap);
    CheckBoxMapping->setGeometry(10, 70, 200, 20);
    CheckBoxMapping->setToolTip(QString::fromUtf8("Подключить карту при запуске программы"));
    CheckBoxMapping->setChecked(true);

    // Colors page: the hidden group of the sound window's drawing colours.
    grpC = new QGroupBox(tsColorSet);
    grpC->setGeometry(8, 8, 320, 200);
    const TDrawColors start;
    ColorBoxBrushEnvelope = MakeColorBox(grpC, start.ColorBrushEnvelope, 10, 20);
    ColorBoxBackGroundSelect = MakeColorBox(grpC, start.ColorBackGroundSelect, 10, 50);
    ColorBoxPenEnvelope = MakeColorBox(grpC, start.ColorPenEnvelope, 10, 80);
    ColorBoxUserWave = MakeColorBox(grpC, start.ColorUserWave, 10, 110);
    ColorBoxRealLine = MakeColorBox(grpC, start.ColorRealLine, 10, 140);
    // The recorder's controls: hidden with their group, reached by nothing in the program.
    CheckBoxDMXrecord = MakeCheck(grpC, "REC DMX", "", 170, 20, 100, 20);
    SpeedButtonRecord = MakeSpeedButton(grpC, "Rec", "", 170, 50, 60, 24);
    grpC->hide();

    createMacroPage();

    TimerDMX = MakeTimer(this, 15);
    tmrCopyFromOption = MakeTimer(this, 151);
    tmrMacro = MakeTimer(this, 3000);

    // Handlers last: the description's values above run none of them.
    connect(TimerDMX, &QTimer::timeout, this, [this] { TimerDMXTimer(); });
    connect(tmrCopyFromOption, &QTimer::timeout, this, [this] { tmrCopyFromOptionTimer(); });
    connect(SpeedButtonInitFTDI, &QToolButton::clicked, this, [this] { SpeedButtonInitFTDIClick(); });
    connect(CheckBoxCrypto, &QCheckBox::clicked, this, [this] { CheckBoxCryptoClick(); });
    connect(SpeedButtonFileMap, &QToolButton::clicked, this, [this] { FileMappingToON(); });
    connect(SpeedButtonFileMapOFF, &QToolButton::clicked, this, [this] { SpeedButtonFileMapOFFClick(); });
    connect(ScrollBarPosDmxUSB, &QScrollBar::valueChanged, this,
            [](int v) { ShowDataInstance().ProgramOptions[21] = v; });
    connect(ScrollBarPosDmxUSB, &QScrollBar::actionTriggered, this, [this](int) {
        ShowDataInstance().ProgramOptions[21] = ScrollBarPosDmxUSB->sliderPosition();
        RefreshAllPage(true);
    });
    connect(PageControl, &QTabWidget::currentChanged, this, [this] { PageControlChange(); });

    // Hand page.
    const std::pair<QToolButton*, std::pair<HandArea, bool>> enables[] = {
        {SpeedButtonAllOn, {HandArea::All, true}},          {SpeedButtonClearALL, {HandArea::All, false}},
        {SpeedButtonSpotOn, {HandArea::Spots, true}},       {SpeedButtonSpotOff, {HandArea::Spots, false}},
        {SpeedButtonPumpOn, {HandArea::Inverters, true}},   {SpeedButtonPumpOff, {HandArea::Inverters, false}},
        {SpeedButtonKlapOn, {HandArea::Klapans, true}},     {SpeedButtonKlapOff, {HandArea::Klapans, false}},
    };
    // Plain copies: clang 14 cannot capture structured bindings.
    for (const auto& e : enables) {
        const auto what = e.second;
        connect(e.first, &QToolButton::clicked, this, [this, what] { HandEnableArea(what.first, what.second); });
    }
    const std::pair<QToolButton*, std::pair<HandArea, int>> levels[] = {
        {SpeedButtonOnKlap, {HandArea::Klapans, 255}},      {SpeedButtonOffKlap, {HandArea::Klapans, 0}},
        {SpeedButtonAllHandseton, {HandArea::All, 255}},    {SpeedButtonAllHandsetoff, {HandArea::All, 0}},
    };
    for (const auto& e : levels) {
        const auto what = e.second;
        connect(e.first, &QToolButton::clicked, this, [this, what] { HandLevelArea(what.first, what.second); });
    }
    connect(ScrollBarAllHandset, &QScrollBar::valueChanged, this, [this](int v) { HandLevelArea(HandArea::All, v); });
    connect(ScrollBarInvAllLev, &QScrollBar::valueChanged, this, [this](int v) { HandLevelArea(HandArea::Inverters, v); });
    for (TColorShape* shape : {ShapeWhite, shpGray, ShapeRed, shpYellow, ShapeGreen, shpBlueSky, ShapeBlue, shpViolet, ShapeBlack})
        shape->onMouseDown = [this, shape] { ShapeMouseDown(shape->colour()); };

    // MinMax page.
    connect(ScrollBarMin, &QScrollBar::valueChanged, this, [this] { ScrollBarMinChange(); });
    connect(ScrollBarMax, &QScrollBar::valueChanged, this, [this] { ScrollBarMaxChange(); });
    connect(SpeedButtonMinMaxDef, &QToolButton::clicked, this, [this] { SpeedButtonMinMaxDefClick(); });
    connect(CheckBoxMinMaxEnabled, &QCheckBox::clicked, this, [this] { CheckBoxMinMaxEnabledClick(); });

    // Coder page.
    connect(ScrollBarFromCoder, &QScrollBar::valueChanged, this, [this] { RefreshCoderLabel(); });
    connect(ScrollBarCoderLeng, &QScrollBar::valueChanged, this, [this] { RefreshCoderLabel(); });
    connect(SpeedButtonSetCoder, &QToolButton::clicked, this, [this] { SpeedButtonSetCoderClick(); });
    connect(SpeedButtonResetDmxCoder, &QToolButton::clicked, this, [this] { SpeedButtonResetDmxCoderClick(); });
    connect(CheckBoxColorCoder, &QCheckBox::clicked, this, [this] { CheckBoxColorCoderClick(); });

    // Channels page: OnScroll stores the area and recounts; OnChange rewrites the labels.
    const std::pair<QScrollBar*, int> areaBars[] = {{ScrollBarSpotKolvo, 20}, {ScrollBarLengInv, 18}, {ScrollBarLengKlap, 19}};
    for (const auto& area : areaBars) {
        QScrollBar* bar = area.first;
        const int option = area.second;
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar, option](int) {
            ShowDataInstance().ProgramOptions[option] = bar->sliderPosition();
            paschetMaxSpot();
        });
        connect(bar, &QScrollBar::valueChanged, this, [this] { RafreshLabelChannel(); });
    }
    connect(ScrollBarMaxLevelStruy, &QScrollBar::actionTriggered, this,
            [this](int) { ShowDataInstance().ProgramOptions[13] = ScrollBarMaxLevelStruy->sliderPosition(); });
    connect(ScrollBarMaxLevelStruy, &QScrollBar::valueChanged, this, [this] { ScrollBarMaxLevelStruyChange(); });
    connect(SpeedButtonStrMin, &QToolButton::clicked, this, [this] { SpeedButtonStrMinClick(); });
    connect(SpeedButtonStrMax, &QToolButton::clicked, this, [this] { SpeedButtonStrMaxClick(); });

    // Window-wide.
    connect(CheckBoxFIX, &QCheckBox::clicked, this, [this] { CheckBoxFIXClick(); });
    connect(SpeedButtonSaveIni, &QToolButton::clicked, this, [this] { SpeedButtonSaveIniClick(); });

    // Macros and recording.
    for (int n = 1; n <= 8; ++n)
        SpeedButtonMacro[n]->onMouseDown = [this, n](Qt::MouseButton b) { PressMacroButton(b, n); };
    connect(SpeedButtonOpenMacros, &QToolButton::clicked, this, [this] { SpeedButtonOpenMacrosClick(); });
    connect(SpeedButtonSaveMacros, &QToolButton::clicked, this, [this] { SpeedButtonSaveMacrosClick(); });
    connect(tmrMacro, &QTimer::timeout, this, [this] { tmrMacroTimer(); });
    connect(CheckBoxDMXrecord, &QCheckBox::clicked, this, [this] { CheckBoxDMXrecordClick(); });
    connect(SpeedButtonRecord, &QToolButton::clicked, this, [this] { SpeedButtonRecordClick(); });

    connectRows();
}

void TFormUSB_COM::createRows() {
    for (int r = 1; r <= kReadoutRows; ++r) {
        const int y = RowY(r);
        HandBar[r] = MakeBar(tsHand, Qt::Horizontal, 0, 255, 255, 8, y + 1, 250, 17);
        HandCheck[r] = MakeCheck(tsHand, "", "", 266, y, 20, 20);
        InvertCheck[r] = MakeCheck(tsHand, "", "Invers DMX", 290, y, 20, 20);

        MinBar[r] = MakeBar(TabSheetMM, Qt::Horizontal, 0, 255, 32, 8, y + 1, 200, 17);
        MinBar[r]->setEnabled(false);
        MinLabel[r] = MakeLabel(TabSheetMM, "0", 214, y - 2, 44, 20, 12, true);
        MaxBar[r] = MakeBar(TabSheetMM, Qt::Horizontal, 0, 255, 32, 262, y + 1, 200, 17);
        MaxBar[r]->setEnabled(false);
        MaxLabel[r] = MakeLabel(TabSheetMM, "0", 468, y - 2, 44, 20, 12, true);
        SetFontColour(MaxLabel[r], QColor(0, 128, 128));

        CoderChannelLabel[r] = MakeLabel(tsCoder, QString::number(r), 8, y - 2, 44, 20, 12, true);
        CoderBar[r] = MakeBar(tsCoder, Qt::Horizontal, 0, 512, 10, 56, y + 1, 300, 17);
        CoderBar[r]->setValue(512);
        CoderSourceLabel[r] = MakeLabel(tsCoder, "0", 362, y - 2, 50, 20, 12, true);
    }
}

void TFormUSB_COM::connectRows() {
    for (int r = 1; r <= kReadoutRows; ++r) {
        // OnScroll: the position the user's action leads to (the value is not yet updated).
        connect(HandBar[r], &QScrollBar::actionTriggered, this, [this, r](int) { onScrollTest(r); });
        connect(HandCheck[r], &QCheckBox::clicked, this, [this, r] { onChekTest(r); });
        connect(InvertCheck[r], &QCheckBox::clicked, this, [this, r] { onChekInv(r); });
        connect(MinBar[r], &QScrollBar::valueChanged, this, [this, r] { onChangemin(r); });
        connect(MinBar[r], &QScrollBar::actionTriggered, this, [this, r](int) { onScrollmin(r); });
        connect(MaxBar[r], &QScrollBar::valueChanged, this, [this, r] { onChangemax(r); });
        connect(MaxBar[r], &QScrollBar::actionTriggered, this, [this, r](int) { onScrollmax(r); });
        connect(CoderBar[r], &QScrollBar::valueChanged, this, [this, r] { onChangeCoder(r); });
        connect(CoderBar[r], &QScrollBar::actionTriggered, this, [this, r](int) { onScrollCoder(r); });
    }
}

void TFormUSB_COM::createHandPage() {
    const int x = 320;
    const std::tuple<QToolButton**, QToolButton**, const char*, const char*, const char*, const char*, int> pairs[] = {
        {&SpeedButtonAllOn, &SpeedButtonClearALL, "All On", "On all checkbox", "All Off", "Off all checkbox", 32},
        {&SpeedButtonSpotOn, &SpeedButtonSpotOff, "SpotOn", "On spot checkbox", "SpotOff", "OFF spot checkbox", 60},
        {&SpeedButtonPumpOn, &SpeedButtonPumpOff, "Inv On", "On invertor checkbox", "InvOff", "OFF invertor checkbox", 88},
        {&SpeedButtonKlapOn, &SpeedButtonKlapOff, "KlapOn", "On klapan checkbox", "KlapOff", "OFF klapan checkbox", 116},
        {&SpeedButtonOnKlap, &SpeedButtonOffKlap, "ON", "On all klapans", "OFF", "Off all klapans", 144},
        {&SpeedButtonAllHandseton, &SpeedButtonAllHandsetoff, "255", "", "000", "", 172},
    };
    for (const auto& [on, off, onText, onHint, offText, offHint, y] : pairs) {
        *on = MakeSpeedButton(tsHand, onText, onHint, x, y, 108, 24);
        *off = MakeSpeedButton(tsHand, offText, offHint, x + 116, y, 108, 24);
    }
    MakeLabel(tsHand, "All hand", x, 204, 120, 18);
    ScrollBarAllHandset = MakeBar(tsHand, Qt::Horizontal, 0, 255, 32, x, 222, 224, 18);
    ScrollBarAllHandset->setValue(127);
    MakeLabel(tsHand, "Invertors", x, 250, 120, 18);
    ScrollBarInvAllLev = MakeBar(tsHand, Qt::Horizontal, 0, 255, 32, x, 268, 224, 18);
    ScrollBarInvAllLev->setValue(127);

    const std::pair<TColorShape**, uint32_t> shapes[] = {
        {&ShapeWhite, 0xFFFFFF}, {&shpGray, 0x404040},   {&ShapeRed, 0x0000FF},  {&shpYellow, 0x00FFFF}, {&ShapeGreen, 0x00FF00},
        {&shpBlueSky, 0xFFFF00}, {&ShapeBlue, 0xFF0000}, {&shpViolet, 0xFF00FF}, {&ShapeBlack, 0x000000},
    };
    int i = 0;
    for (auto [shape, colour] : shapes) {
        *shape = new TColorShape(tsHand, colour);
        (*shape)->setGeometry(x + i * 25, 304, 23, 23);
        ++i;
    }
}

void TFormUSB_COM::createMinMaxPage() {
    MakeLabel(TabSheetMM, "Min", 540, 12, 40, 18);
    MakeLabel(TabSheetMM, "Max", 580, 12, 40, 18);
    ScrollBarMin = MakeBar(TabSheetMM, Qt::Vertical, 0, 255, 32, 544, 32, 18, 300);
    ScrollBarMin->setValue(255);
    ScrollBarMin->setToolTip("Level of All invertors");
    ScrollBarMax = MakeBar(TabSheetMM, Qt::Vertical, 0, 255, 32, 584, 32, 18, 300);
    ScrollBarMax->setValue(0);
    ScrollBarMax->setToolTip("Level of All invertors");
    SpeedButtonMinMaxDef = MakeSpeedButton(TabSheetMM, "0 / 255", "Set all min=0 max=255 ", 530, 350, 90, 26);
    CheckBoxMinMaxEnabled = MakeCheck(TabSheetMM, "Record Enable", "Enable Write Min Max Data", 530, 390, 140, 20);
    CheckBoxMinMaxEnabled->hide();
}

void TFormUSB_COM::createCoderPage() {
    CheckBoxCoderRec = MakeCheck(tsCoder, "move", QString::fromUtf8("Автоматически устанавливать адрес "), 440, 32, 80, 20, true);
    MakeLabel(tsCoder, "From", 432, 60, 40, 18);
    MakeLabel(tsCoder, "Leng", 474, 60, 40, 18);
    ScrollBarFromCoder = MakeBar(tsCoder, Qt::Vertical, 1, 512, 10, 440, 80, 18, 300);
    ScrollBarFromCoder->setValue(512);
    ScrollBarCoderLeng = MakeBar(tsCoder, Qt::Vertical, 1, 512, 10, 480, 80, 18, 300);
    ScrollBarCoderLeng->setValue(512);
    LabelcoderBegin = MakeLabel(tsCoder, "1", 520, 80, 150, 20, 12, true);
    LabelcoderCoda = MakeLabel(tsCoder, "2", 520, 104, 150, 20, 12, true);
    LabelCoderLeng = MakeLabel(tsCoder, "Leng=1", 520, 128, 150, 20, 12, true);
    SpeedButtonSetCoder = MakeSpeedButton(tsCoder, "SetCoder", "", 520, 160, 100, 26);
    SpeedButtonResetDmxCoder = MakeSpeedButton(tsCoder, "Reset", "Clear table", 520, 196, 100, 26);
}

void TFormUSB_COM::createChannelsPage() {
    MakeLabel(tsChannells, "Spots", 16, 16, 120, 18);
    ScrollBarSpotKolvo = MakeBar(tsChannells, Qt::Horizontal, 0, 178, 10, 16, 36, 300, 18);
    MakeLabel(tsChannells, "Invertors", 16, 96, 120, 18);
    ScrollBarLengInv = MakeBar(tsChannells, Qt::Horizontal, 0, 128, 10, 16, 116, 300, 18);
    MakeLabel(tsChannells, "Klapans", 16, 166, 120, 18);
    ScrollBarLengKlap = MakeBar(tsChannells, Qt::Horizontal, 0, 512, 10, 16, 186, 300, 18);
    QLabel** labels[] = {&LabelStartRGB, &LabelStopRGB,  &LabelLengRGB, &LabelSpots,     &LabelStartInv,
                         &LabelStopInv,  &LabelLengInv,  &LabelStartKlap, &LabelStopKLap, &LabelLengKLap};
    const int tops[] = {10, 28, 46, 64, 96, 114, 132, 166, 184, 202};
    for (int i = 0; i < 10; ++i) {
        *labels[i] = MakeLabel(tsChannells, " ", 340, tops[i], 320, 18);
        QFont f = (*labels[i])->font();
        f.setFamily("Monospace");
        f.setStyleHint(QFont::TypeWriter);
        (*labels[i])->setFont(f);
    }

    GroupBoxMaxJet = new QGroupBox("Manual level max High All Jets  255", tsChannells);
    GroupBoxMaxJet->setGeometry(8, 240, 660, 80);
    ScrollBarMaxLevelStruy = MakeBar(GroupBoxMaxJet, Qt::Horizontal, 0, 255, 255, 10, 34, 460, 18);
    ScrollBarMaxLevelStruy->setValue(255);
    SpeedButtonStrMin = MakeSpeedButton(GroupBoxMaxJet, "Min", "", 490, 30, 70, 26);
    SpeedButtonStrMax = MakeSpeedButton(GroupBoxMaxJet, "Max", "", 570, 30, 70, 26);
}

void TFormUSB_COM::createMacroPage() {
    grpMacro = new QGroupBox(QString::fromUtf8("Статические макросы "), tsMacro);
    grpMacro->setGeometry(8, 8, 660, 200);
    for (int n = 1; n <= 8; ++n) {
        auto* b = new TMouseDownButton(grpMacro);
        b->setText(QString::number(n));
        b->setToolTip(QString::fromUtf8("Правая кнопка мыши - запись  Hand в кнопку"));
        b->setGeometry(10 + (n - 1) * 60, 30, 50, 40);
        b->setFocusPolicy(Qt::NoFocus);
        SpeedButtonMacro[n] = b;
    }
    CheckBoxEnableRecord = MakeCheck(grpMacro, "Enable Record", QString::fromUtf8("Разрешение на запись в кнопку"), 10, 90, 200, 20);
    CheckBoxToHand = MakeCheck(grpMacro, QString::fromUtf8("Перейти на HAND"), QString::fromUtf8("Открывать сразу закладку HAND"),
                               10, 115, 220, 20);
    Label_write = MakeLabel(grpMacro, QString::fromUtf8("Записано?"), 10, 150, 400, 20, 0, true);
    SpeedButtonOpenMacros = MakeSpeedButton(grpMacro, "", "", 500, 90, 40, 30);
    SpeedButtonOpenMacros->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    SpeedButtonSaveMacros = MakeSpeedButton(grpMacro, "", "", 550, 90, 40, 30);
    SpeedButtonSaveMacros->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
}

void TFormUSB_COM::FormCreate() {
    if (created_) return;
    created_ = true;
    ShowData& d = ShowDataInstance();
    DmxOutputState& st = DmxOutputStateInstance();

    InitUsbDevise();
    InitVibratoWave(st);
    ClearDmxBuffers(d);
    std::memset(d.MacroTable, 0, sizeof d.MacroTable);

    ScrollBarPosDmxUSB->setValue(d.ProgramOptions[21]);
    ScrollBarMaxLevelStruy->setValue(d.ProgramOptions[13]);
    ScrollBarSpotKolvo->setValue(d.ProgramOptions[20]);
    ScrollBarLengInv->setValue(d.ProgramOptions[18]);
    ScrollBarLengKlap->setValue(d.ProgramOptions[19]);
    if (d.ProgramOptions[22] >= 0 && d.ProgramOptions[22] < PageControl->count()) setPageSilently(d.ProgramOptions[22]);
    SetCheckedSilently(CheckBoxFIX, d.ProgramFlags[8] != 0);

    RafreshLabelChannel();
    RefreshAllPage(true);
    CoderSourceLabel[1]->setText(QString::number(d.CoderTable[ClampChannel(ScrollBarPosDmxUSB->value() + 1)]));

    BASS_ChannelSetAttribute(ShowClockInstance().SoundChannel, BASS_ATTRIB_VOL, float(d.TrackEditState[3]) / 100.0f);
    d.StaticModeFlag = 0;
    EnableMinMax();

    IniFile ini(SettingsFilePath());
    EditDataContract->setText(QString::fromStdString(ini.readString("About", "Data", "no Data")));
    EditCustomer->setText(QString::fromStdString(ini.readString("About", "Customer", "no Customer")));
    EditNameObjeckt->setText(QString::fromStdString(ini.readString("About", "Object", "no Object")));
    SetCheckedSilently(CheckBoxMapping, ini.readBool("SystemInfo", "Mapping", true));
    if (CheckBoxMapping->isChecked()) FileMappingToON();

    OpenMacrosFile(d);

    tmrCopyFromOptionTimer();
    SetTimerEnabled(TimerDMX, true);
    SetTimerEnabled(tmrCopyFromOption, true);
}

void TFormUSB_COM::FormDestroy() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    TimerDMX->stop();
    tmrCopyFromOption->stop();
    IniFile ini(SettingsFilePath());
    ini.writeBool("SystemInfo", "Mapping", CheckBoxMapping->isChecked());
    std::string error;
    // An unreadable settings file was reported at start and is left alone.
    if (!ini.unreadable() && !ini.save(&error)) Messages().error("Settings not saved: " + error);
    CloseUsbDevise();
    // The main window leaves the live-data sections to this window: released here, last.
    FileMappingEnd(ShowDataInstance(), LiveDataInstance());
}

spirelo::CustomerTexts TFormUSB_COM::CustomerTextsForSettings() const {
    CustomerTexts t;
    t.recordEnabled = CheckBoxProtectWriteIniCustom->isChecked();
    t.dataContract = EditDataContract->text().toStdString();
    t.customer = EditCustomer->text().toStdString();
    t.nameObject = EditNameObjeckt->text().toStdString();
    return t;
}

void TFormUSB_COM::TimerDMXTimer() {
    if (TimingLog* timing = TimingLog::Instance()) timing->record('D');
    // A message box opened by another handler keeps timers running: no cycle inside a cycle.
    if (inCycle_) return;
    inCycle_ = true;
    ShowData& d = ShowDataInstance();
    ProcTimerDMX();
    if (d.MappingOpenFlag == 1) WriteLiveData(d, LiveDataInstance(), {SpectrumInstance().SpectrumPeak});
    if (fps_.tick(TickCount())) lblFps->setText(QString::fromStdString(fps_.text()));
    DmxRecorderInstance().Append(d, CheckBoxDMXrecord->isChecked());
    inCycle_ = false;
}

void TFormUSB_COM::ProcTimerDMX() {
    ShowData& d = ShowDataInstance();
    DmxOutputState& st = DmxOutputStateInstance();
    PipelineRequests req = spirelo::ProcTimerDMX(d, st, ShowClockInstance().CurStep);
    if (req.masterVolume != PipelineRequests::Volume::Unchanged)
        BASS_SetVolume(req.masterVolume == PipelineRequests::Volume::Mute ? 0.0f : 1.0f);
    if (req.vibratoPosition >= 0 && FormSound && FormSound->pbVibrato)
        SetProgress(FormSound->pbVibrato, req.vibratoPosition);

    // Sending, and the shape that shows whether USB output is on.
    if (CheckBoxFTDI->isChecked()) {
        SendToUsb();
        paintFtdiShape(true);
    } else {
        paintFtdiShape(false);
    }

    // The "Output" read-outs, every 11th cycle.
    if (StepOutputLabelCounter(st)) {
        const int top = ReadoutTopChannel(d);
        const ReadoutFormat f = readoutFormat();
        for (int r = 1; r <= kReadoutRows; ++r)
            OutputLabel[r]->setText(QString::number(ReadoutValue(d.DmxOut[top + r], f)));
    }
}

ReadoutFormat TFormUSB_COM::readoutFormat() const {
    if (SpeedButtonOutDmxProc->isChecked()) return ReadoutFormat::Percent;
    if (SpeedButtonOutDmxHz->isChecked()) return ReadoutFormat::Hz;
    return ReadoutFormat::Dmx;
}

void TFormUSB_COM::paintFtdiShape(bool green) {
    const int colour = green ? 1 : 0;
    if (colour == shapeColour_) return;
    shapeColour_ = colour;
    QPalette p = shpFtdi->palette();
    p.setColor(QPalette::Window, green ? QColor(0, 128, 0) : QColor(255, 0, 0));
    shpFtdi->setPalette(p);
}

void TFormUSB_COM::tmrCopyFromOptionTimer() {
    GroupBoxUsb->setTitle(QString::fromStdString(link_->UsbStatusText));
    LabelUsbName->setText(QString::fromStdString(link_->UsbDeviceName));
    LabelUSBserial->setText(QString::fromStdString(link_->UsbSerialText));
    AreaBoundsInstance() = ComputeAreaBounds(ScrollBarSpotKolvo->value(), ScrollBarLengInv->value(), ScrollBarLengKlap->value());
    TDrawColors& c = DrawColorsInstance();
    c.ColorBrushEnvelope = ColorOf(ColorBoxBrushEnvelope);
    c.ColorBackGroundSelect = ColorOf(ColorBoxBackGroundSelect);
    c.ColorPenEnvelope = ColorOf(ColorBoxPenEnvelope);
    c.ColorUserWave = ColorOf(ColorBoxUserWave);
    c.ColorRealLine = ColorOf(ColorBoxRealLine);
}

int TFormUSB_COM::rowChannel(int r) const {
    // From the option, not the bar: inside OnScroll the bar's value is not yet updated.
    return ClampChannel(ReadoutTopChannel(ShowDataInstance()) + r);
}

void TFormUSB_COM::RefreshAllPage(bool LoadBars) {
    const ShowData& d = ShowDataInstance();
    // Positions, not values: inside an OnScroll the value is not yet updated.
    const int spots = ScrollBarSpotKolvo->sliderPosition();
    const int inv = ScrollBarLengInv->sliderPosition();
    const int klap = ScrollBarLengKlap->sliderPosition();
    const bool colourCoder = CheckBoxColorCoder->isChecked();
    for (int r = 1; r <= kReadoutRows; ++r) {
        const int ch = rowChannel(r);
        const RowLook look = RowAppearance(ch, spots, inv, klap);
        if (look.forceMinMax) {
            MinBar[r]->setValue(0);
            MaxBar[r]->setValue(255);
        }
        if (LoadBars) {
            CoderBar[r]->setValue(d.CoderTable[ch]);
            HandBar[r]->setValue(d.HandLevel[ch]);
            MinBar[r]->setValue(d.ChannelMin[ch]);
            MaxBar[r]->setValue(d.ChannelMax[ch]);
        }
        MinLabel[r]->setText(QString::number(d.ChannelMin[ch]));
        MaxLabel[r]->setText(QString::number(d.ChannelMax[ch]));
        ChannelLabel[r]->setText(QString::number(ch));
        CoderChannelLabel[r]->setText(QString::number(ch));
        const QColor colour = ColorFromValue(look.colour);
        SetFontColour(CoderChannelLabel[r], colourCoder ? colour : QColor(Qt::black));
        SetFontColour(CoderSourceLabel[r], colourCoder ? colour : QColor(Qt::black));
        SetFontColour(OutputLabel[r], colour);
        SetFontColour(ChannelLabel[r], colour);
        SetFontColour(MinLabel[r], colour);
        SetFontColour(MaxLabel[r], colour);
        HandCheck[r]->setChecked(d.HandEnable[ch] != 0);
        InvertCheck[r]->setChecked(d.InvertFlag[ch] != 0);
    }
}

// --- Rows ----------------------------------------------------------------------------------

void TFormUSB_COM::onScrollTest(int r) {
    ShowData& d = ShowDataInstance();
    if (d.StaticModeFlag != 0 && HandCheck[r]->isChecked())
        d.HandLevel[rowChannel(r)] = uint8_t(HandBar[r]->sliderPosition());
}

void TFormUSB_COM::onChekTest(int r) { ShowDataInstance().HandEnable[rowChannel(r)] = HandCheck[r]->isChecked() ? 1 : 0; }
void TFormUSB_COM::onChekInv(int r) { ShowDataInstance().InvertFlag[rowChannel(r)] = InvertCheck[r]->isChecked() ? 1 : 0; }
void TFormUSB_COM::onChangemin(int r) { MinLabel[r]->setText(QString::number(MinBar[r]->value())); }
void TFormUSB_COM::onChangemax(int r) { MaxLabel[r]->setText(QString::number(MaxBar[r]->value())); }
void TFormUSB_COM::onScrollmin(int r) { ScrollRowMin(ShowDataInstance(), rowChannel(r), MinBar[r]->sliderPosition()); }
void TFormUSB_COM::onScrollmax(int r) { ScrollRowMax(ShowDataInstance(), rowChannel(r), MaxBar[r]->sliderPosition()); }

void TFormUSB_COM::onChangeCoder(int r) {
    CoderSourceLabel[r]->setText(QString::number(CoderBar[r]->value()));
    RefreshCoderLabel();
}

void TFormUSB_COM::onScrollCoder(int r) {
    const int ch = rowChannel(r);
    ShowDataInstance().CoderTable[ch] = uint16_t(CoderBar[r]->sliderPosition());
    if (CheckBoxCoderRec->isChecked()) ScrollBarFromCoder->setValue(513 - ch);
    RefreshCoderLabel();
}

// --- Hand page -----------------------------------------------------------------------------

void TFormUSB_COM::HandEnableArea(HandArea area, bool on) {
    SetHandEnable(ShowDataInstance(), HandAreaRange(AreaBoundsInstance(), area), on);
    RefreshAllPage(true);
}

void TFormUSB_COM::HandLevelArea(HandArea area, int level) {
    SetHandLevel(ShowDataInstance(), HandAreaRange(AreaBoundsInstance(), area), uint8_t(std::clamp(level, 0, 255)));
    RefreshAllPage(true);
}

void TFormUSB_COM::ShapeMouseDown(uint32_t colour) {
    SetSpotColour(ShowDataInstance(), AreaBoundsInstance().SpotCount, uint8_t(colour & 0xFF), uint8_t((colour >> 8) & 0xFF),
                  uint8_t((colour >> 16) & 0xFF));
    RefreshAllPage(true);
}

// --- MinMax page ---------------------------------------------------------------------------

void TFormUSB_COM::ScrollBarMinChange() {
    SetInverterMin(ShowDataInstance(), AreaBoundsInstance(), ScrollBarMin->value());
    RefreshAllPage(true);
}

void TFormUSB_COM::ScrollBarMaxChange() {
    SetInverterMax(ShowDataInstance(), AreaBoundsInstance(), ScrollBarMax->value());
    RefreshAllPage(true);
}

void TFormUSB_COM::SpeedButtonMinMaxDefClick() {
    if (Messages().question(TwoLines("You set all to MIN=0 MAX=255. ", "You sure?")) == Answer::No) return;
    ResetMinMax(ShowDataInstance());
    RefreshAllPage(true);
}

void TFormUSB_COM::CheckBoxMinMaxEnabledClick() {
    const bool on = CheckBoxMinMaxEnabled->isChecked();
    for (int r = 1; r <= kReadoutRows; ++r) {
        MinBar[r]->setEnabled(on);
        MaxBar[r]->setEnabled(on);
    }
}

// --- Coder page ----------------------------------------------------------------------------

void TFormUSB_COM::RefreshCoderLabel() {
    const CoderSpan span = CoderSpanFromBars(ScrollBarFromCoder->value(), ScrollBarCoderLeng->value());
    LabelcoderBegin->setText(QString::number(span.from));
    LabelcoderCoda->setText(QString::number(span.end));
    LabelCoderLeng->setText("Leng=" + QString::number(span.length));
}

void TFormUSB_COM::SpeedButtonSetCoderClick() {
    SetCoderRange(ShowDataInstance(), CoderSpanFromBars(ScrollBarFromCoder->value(), ScrollBarCoderLeng->value()));
    RefreshCoderLabel();
    RefreshAllPage(true);
}

void TFormUSB_COM::SpeedButtonResetDmxCoderClick() {
    if (Messages().question(TwoLines("You deleting all table ", "You sure?")) == Answer::No) return;
    ResetCoderTable(ShowDataInstance());
    RefreshAllPage(true);
}

void TFormUSB_COM::CheckBoxColorCoderClick() { RefreshAllPage(true); }

// --- Channels page -------------------------------------------------------------------------

void TFormUSB_COM::RafreshLabelChannel() {
    const AreaLabelTexts t = spirelo::RafreshLabelChannel(ShowDataInstance().ProgramOptions[20],
                                                          ScrollBarLengInv->sliderPosition(),
                                                          ScrollBarLengKlap->sliderPosition());
    const std::pair<QLabel*, const std::string*> labels[] = {
        {LabelStartRGB, &t.StartRGB}, {LabelStopRGB, &t.StopRGB},   {LabelLengRGB, &t.LengRGB},
        {LabelSpots, &t.Spots},       {LabelStartInv, &t.StartInv}, {LabelStopInv, &t.StopInv},
        {LabelLengInv, &t.LengInv},   {LabelStartKlap, &t.StartKlap}, {LabelStopKLap, &t.StopKLap},
        {LabelLengKLap, &t.LengKLap},
    };
    for (auto [label, text] : labels) label->setText(QString::fromStdString(*text));
}

void TFormUSB_COM::paschetMaxSpot() {
    spirelo::paschetMaxSpot(ShowDataInstance(), DmxOutputStateInstance(), ScrollBarSpotKolvo->sliderPosition());
    RafreshLabelChannel();
    RefreshAllPage(false);
}

void TFormUSB_COM::ScrollBarMaxLevelStruyChange() {
    GroupBoxMaxJet->setTitle("Manual level max High All Jets  " + QString::number(ScrollBarMaxLevelStruy->value()));
}

void TFormUSB_COM::SpeedButtonStrMinClick() {
    ShowDataInstance().ProgramOptions[13] = 0;
    ScrollBarMaxLevelStruy->setValue(0);
}

void TFormUSB_COM::SpeedButtonStrMaxClick() {
    ShowDataInstance().ProgramOptions[13] = 255;
    ScrollBarMaxLevelStruy->setValue(255);
}

// --- Window-wide ---------------------------------------------------------------------------

void TFormUSB_COM::CheckBoxFIXClick() {
    ShowDataInstance().ProgramFlags[8] = CheckBoxFIX->isChecked() ? 1 : 0;
    EnableMinMax();
}

void TFormUSB_COM::EnableMinMax() {
    const LockState lock = spirelo::EnableMinMax(ShowDataInstance());
    const bool on = lock.controlsEnabled;
    ScrollBarLengKlap->setEnabled(on);
    ScrollBarLengInv->setEnabled(on);
    ScrollBarSpotKolvo->setEnabled(on);
    SpeedButtonResetDmxCoder->setEnabled(on);
    SpeedButtonSaveIni->setVisible(lock.saveVisible);
    for (int r = 1; r <= kReadoutRows; ++r) {
        MinBar[r]->setEnabled(on);
        MaxBar[r]->setEnabled(on);
        CoderBar[r]->setEnabled(on);
    }
}

void TFormUSB_COM::SpeedButtonSaveIniClick() {
    ShowData& d = ShowDataInstance();
    if (!FileExists(d.sNameFileSeq)) return;
    SaveSeqFile(d);
    if (FormSequenser) FormSequenser->SaveMemoToNotesFile();
    WriteIniSettings(d, CustomerTextsForSettings());
    SetCheckedSilently(CheckBoxProtectWriteIniCustom, false);
    SetCheckedSilently(CheckBoxMinMaxEnabled, false);
}

void TFormUSB_COM::FormMouseWheel(int delta) {
    ShowData& d = ShowDataInstance();
    // Without the sound window, its stored settings stand in for its controls.
    const int sensor = FormSound && FormSound->ScrollBarWheelSensor ? FormSound->ScrollBarWheelSensor->value()
                                                                    : d.ProgramOptions[1];
    const bool direct = FormSound && FormSound->CheckBoxWheelDirect ? FormSound->CheckBoxWheelDirect->isChecked()
                                                                    : d.ProgramFlags[3] != 0;
    const int rows = wheel_.add(delta, sensor, direct);
    if (rows == 0) return;
    d.ProgramOptions[21] = MoveViewTop(ReadoutTopChannel(d), rows);
    ScrollBarPosDmxUSB->setValue(d.ProgramOptions[21]);
    RefreshAllPage(true);
}

bool TFormUSB_COM::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && (w == this || isAncestorOf(w))) {
            FormMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormUSB_COM::PageControlChange() { ShowDataInstance().ProgramOptions[22] = PageControl->currentIndex(); }

void TFormUSB_COM::setPageSilently(int index) {
    // A page chosen by the program is no user's page change.
    const QSignalBlocker block(PageControl);
    PageControl->setCurrentIndex(index);
}

void TFormUSB_COM::changeModeByHand(int mode) {
    if (FormMaim) {
        FormMaim->ChangeModeByHand(mode);
        return;
    }
    ShowData& d = ShowDataInstance();
    if (FormSound && FormSound->CheckBoxScheduleON) FormSound->CheckBoxScheduleON->setChecked(false);
    d.ProgramFlags[10] = 0;
    d.AquelMode = uint8_t(mode);
    if (FormSound) FormSound->SetJobingMode();
}

// --- Macros --------------------------------------------------------------------------------

void TFormUSB_COM::PressMacroButton(Qt::MouseButton Button, int N) {
    tmrMacro->start();   // every click restarts the label's three seconds
    if (Button == Qt::LeftButton) ReadMacro(N);
    else if (Button == Qt::RightButton && CheckBoxEnableRecord->isChecked()) WriteMacro(N);
    if (CheckBoxToHand->isChecked()) setPageSilently(PageControl->indexOf(tsHand));
}

void TFormUSB_COM::ReadMacro(int N) {
    spirelo::ReadMacro(ShowDataInstance(), N);
    changeModeByHand(2);
    Label_write->setText(QString::fromStdString(MacroReadText(N)));
    RefreshAllPage(true);
}

void TFormUSB_COM::WriteMacro(int N) {
    ShowData& d = ShowDataInstance();
    spirelo::WriteMacro(d, N);
    changeModeByHand(2);
    Label_write->setText(QString::fromStdString(MacroWrittenText(N)));
    SaveMacrosFile(d);
}

void TFormUSB_COM::tmrMacroTimer() {
    Label_write->setText(" ");
    tmrMacro->stop();
}

void TFormUSB_COM::SpeedButtonOpenMacrosClick() { OpenMacrosFile(ShowDataInstance()); }
void TFormUSB_COM::SpeedButtonSaveMacrosClick() { SaveMacrosFile(ShowDataInstance()); }

// --- DMX recording -------------------------------------------------------------------------

void TFormUSB_COM::CheckBoxDMXrecordClick() {
    if (!CheckBoxDMXrecord->isChecked()) return;
    ClearDmxBuffers(ShowDataInstance());
    if (FormSound) FormSound->SoundToBegin();
    changeModeByHand(1);
    DmxRecorderInstance().Start();
}

void TFormUSB_COM::SpeedButtonRecordClick() { DmxRecorderInstance().Save(ShowDataInstance().sNameFileProject); }

void TFormUSB_COM::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!centred_ && screen()) {
        centred_ = true;
        move(screen()->availableGeometry().center() - rect().center());
        spirelo::KeepOnScreen(this);
    }
    FormShow();
}

void TFormUSB_COM::FormShow() {
    GroupBoxUsb->setTitle(QString::fromStdString(link_->UsbStatusText));
    LabelUsbName->setText(QString::fromStdString(link_->UsbDeviceName));
    LabelUSBserial->setText(QString::fromStdString(link_->UsbSerialText));
    RefreshAllPage(true);
}

void TFormUSB_COM::InitUsbDevise() { link_->InitUsbDevise(); }
void TFormUSB_COM::CloseUsbDevise() { link_->CloseUsbDevise(); }
void TFormUSB_COM::SendToUsb() { link_->SendToUsb(ShowDataInstance(), DmxOutputStateInstance()); }
void TFormUSB_COM::SpeedButtonInitFTDIClick() { InitUsbDevise(); }
void TFormUSB_COM::CheckBoxCryptoClick() { link_->SetStreamFormat(CheckBoxCrypto->isChecked()); }

void TFormUSB_COM::FileMappingToON() {
    if (spirelo::FileMappingToON(ShowDataInstance(), LiveDataInstance(), Messages())) {
        SpeedButtonFileMap->setEnabled(false);
        SpeedButtonFileMapOFF->setEnabled(true);
    }
}

void TFormUSB_COM::SpeedButtonFileMapOFFClick() {
    if (FileMappingOFF(ShowDataInstance(), LiveDataInstance())) {
        SpeedButtonFileMap->setEnabled(true);
        SpeedButtonFileMapOFF->setEnabled(false);
    }
}

spirelo::CustomerTexts CustomerTextsOfDmxWindow() {
    return FormUSB_COM ? FormUSB_COM->CustomerTextsForSettings() : spirelo::CustomerTexts{};
}
