#include "dmx/ui/form_usb_com.h"

#include "common/ini_file.h"
#include "common/timing_log.h"
#include "common/ui/qt_helpers.h"
#include "core/macro_file.h"
#include "dmx/areas.h"
#include "dmx/live_data_writer.h"
#include "platform/audio.h"
#include "platform/d2xx.h"
#include "platform/message_service.h"
#include "playback/show_clock.h"
#include "playback/spectrum.h"
#include "playback/ui/form_sound.h"

#include <QFont>
#include <QScreen>
#include <QShowEvent>

#include <chrono>
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

uint32_t SystemTickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

TFormUSB_COM::TFormUSB_COM(QWidget* parent) : QWidget(parent) {
    TickCount = SystemTickCount;
    // The layer is chosen once (SPIRELO_USB); tests install theirs before creating the window.
    link_ = std::make_unique<UsbLink>(D2xxInstance());
    createControls();
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

    // Channels page: the three area bars (their editing comes with the channel pages).
    MakeLabel(tsChannells, "Spots", 16, 16, 120, 18);
    ScrollBarSpotKolvo = MakeBar(tsChannells, Qt::Horizontal, 0, 178, 10, 16, 36, 300, 18);
    MakeLabel(tsChannells, "Invertors", 16, 66, 120, 18);
    ScrollBarLengInv = MakeBar(tsChannells, Qt::Horizontal, 0, 128, 10, 16, 86, 300, 18);
    MakeLabel(tsChannells, "Klapans", 16, 116, 120, 18);
    ScrollBarLengKlap = MakeBar(tsChannells, Qt::Horizontal, 0, 512, 10, 16, 136, 300, 18);

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
    grpC->hide();

    TimerDMX = MakeTimer(this, 15);
    tmrCopyFromOption = MakeTimer(this, 151);

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
    connect(PageControl, &QTabWidget::currentChanged, this,
            [](int index) { ShowDataInstance().ProgramOptions[22] = index; });
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
    ScrollBarSpotKolvo->setValue(d.ProgramOptions[20]);
    ScrollBarLengInv->setValue(d.ProgramOptions[18]);
    ScrollBarLengKlap->setValue(d.ProgramOptions[19]);
    if (d.ProgramOptions[22] >= 0 && d.ProgramOptions[22] < PageControl->count())
        PageControl->setCurrentIndex(d.ProgramOptions[22]);
    SetCheckedSilently(CheckBoxFIX, d.ProgramFlags[8] != 0);
    RefreshAllPage(true);

    BASS_ChannelSetAttribute(ShowClockInstance().SoundChannel, BASS_ATTRIB_VOL, float(d.TrackEditState[3]) / 100.0f);
    d.StaticModeFlag = 0;

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
    if (!ini.save(&error)) Messages().error("Settings not saved: " + error);
    CloseUsbDevise();
    // The main window leaves the live-data sections to this window: released here, last.
    FileMappingOFF(ShowDataInstance(), LiveDataInstance());
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

void TFormUSB_COM::RefreshAllPage(bool /*LoadBars*/) {
    // The rows' channel numbers; the table pages add their bars and colours.
    // From the option, not the bar: inside OnScroll the bar's value is not yet updated.
    const int top = ReadoutTopChannel(ShowDataInstance());
    for (int r = 1; r <= kReadoutRows; ++r) ChannelLabel[r]->setText(QString::number(top + r));
}

void TFormUSB_COM::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!centred_ && screen()) {
        centred_ = true;
        move(screen()->availableGeometry().center() - rect().center());
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
