// The USB and DMX window: runs the 15 ms output cycle (pipeline, USB frame, live data, frame
// rate, recording), the USB link and live-data controls, edits the per-channel tables through
// a view of 25 rows, lays out the areas, holds the macros, and republishes the areas and
// drawing colours every 151 ms. The decisions are logic in dmx/; the handlers stay thin.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/settings_file.h"
#include "dmx/channel_tables.h"
#include "dmx/output_pipeline.h"
#include "dmx/usb_link.h"

class QMouseEvent;

// A colour shape of the hand page: a frame that reacts to a mouse press.
class TColorShape : public QFrame {
public:
    TColorShape(QWidget* parent, uint32_t colour);
    uint32_t colour() const { return colour_; }
    std::function<void()> onMouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    uint32_t colour_;
};

// A speed button whose press reports the mouse button (the macro buttons store on a right click).
class TMouseDownButton : public QToolButton {
public:
    explicit TMouseDownButton(QWidget* parent) : QToolButton(parent) {}
    std::function<void(Qt::MouseButton)> onMouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TFormUSB_COM : public QWidget {
    Q_OBJECT
public:
    explicit TFormUSB_COM(QWidget* parent = nullptr);
    ~TFormUSB_COM() override;
    void FormCreate();
    void FormDestroy();

    // The three customer edits for the settings writer (recordEnabled only while
    // CheckBoxProtectWriteIniCustom is ticked).
    spirelo::CustomerTexts CustomerTextsForSettings() const;

    // The output cycle and its parts.
    void TimerDMXTimer();
    void ProcTimerDMX();
    void tmrCopyFromOptionTimer();
    void RefreshAllPage(bool LoadBars);

    // Rows of the table pages (r = 1..25, channel = view top + r).
    void onScrollTest(int r);
    void onChekTest(int r);
    void onChekInv(int r);
    void onChangemin(int r);
    void onScrollmin(int r);
    void onChangemax(int r);
    void onScrollmax(int r);
    void onChangeCoder(int r);
    void onScrollCoder(int r);

    // Hand page.
    void HandEnableArea(spirelo::HandArea area, bool on);
    void HandLevelArea(spirelo::HandArea area, int level);
    void ShapeMouseDown(uint32_t colour);

    // MinMax page.
    void ScrollBarMinChange();
    void ScrollBarMaxChange();
    void SpeedButtonMinMaxDefClick();
    void CheckBoxMinMaxEnabledClick();

    // Coder page.
    void RefreshCoderLabel();
    void SpeedButtonSetCoderClick();
    void SpeedButtonResetDmxCoderClick();
    void CheckBoxColorCoderClick();

    // Channels page.
    void RafreshLabelChannel();
    void paschetMaxSpot();
    void ScrollBarMaxLevelStruyChange();
    void SpeedButtonStrMinClick();
    void SpeedButtonStrMaxClick();

    // Window-wide.
    void CheckBoxFIXClick();
    void EnableMinMax();
    void SpeedButtonSaveIniClick();
    void FormMouseWheel(int delta);
    void PageControlChange();

    // Macros.
    void PressMacroButton(Qt::MouseButton Button, int N);
    void ReadMacro(int N);
    void WriteMacro(int N);
    void tmrMacroTimer();
    void SpeedButtonOpenMacrosClick();
    void SpeedButtonSaveMacrosClick();

    // DMX recording.
    void CheckBoxDMXrecordClick();
    void SpeedButtonRecordClick();

    // USB link (the link itself is logic; these are the window's handlers).
    void InitUsbDevise();
    void CloseUsbDevise();
    void SendToUsb();
    void SpeedButtonInitFTDIClick();
    void CheckBoxCryptoClick();

    // Live data.
    void FileMappingToON();
    void SpeedButtonFileMapOFFClick();

    spirelo::UsbLink& Link() { return *link_; }
    // The millisecond tick count of the frame-rate read-out; tests replace it.
    std::function<uint32_t()> TickCount;

    // Controls.
    QTabWidget* PageControl = nullptr;
    QWidget* tsHand = nullptr;
    QWidget* TabSheetMM = nullptr;
    QWidget* tsCoder = nullptr;
    QWidget* tsChannells = nullptr;
    QWidget* tsOption = nullptr;
    QWidget* tsColorSet = nullptr;
    QWidget* tsMacro = nullptr;
    QFrame* Panel = nullptr;
    QScrollBar* ScrollBarPosDmxUSB = nullptr;
    std::array<QLabel*, spirelo::kReadoutRows + 1> ChannelLabel{};   // rows 1..25
    std::array<QLabel*, spirelo::kReadoutRows + 1> OutputLabel{};    // rows 1..25
    QToolButton* SpeedButtonSaveIni = nullptr;

    // The run-time rows, 1..25 (entry 0 unused).
    template <class T>
    using Rows = std::array<T*, spirelo::kReadoutRows + 1>;
    Rows<QScrollBar> HandBar{};
    Rows<QCheckBox> HandCheck{};
    Rows<QCheckBox> InvertCheck{};
    Rows<QScrollBar> MinBar{};
    Rows<QLabel> MinLabel{};
    Rows<QScrollBar> MaxBar{};
    Rows<QLabel> MaxLabel{};
    Rows<QLabel> CoderChannelLabel{};
    Rows<QScrollBar> CoderBar{};
    Rows<QLabel> CoderSourceLabel{};

    // Hand page.
    QToolButton* SpeedButtonAllOn = nullptr;
    QToolButton* SpeedButtonClearALL = nullptr;
    QToolButton* SpeedButtonSpotOn = nullptr;
    QToolButton* SpeedButtonSpotOff = nullptr;
    QToolButton* SpeedButtonPumpOn = nullptr;
    QToolButton* SpeedButtonPumpOff = nullptr;
    QToolButton* SpeedButtonKlapOn = nullptr;
    QToolButton* SpeedButtonKlapOff = nullptr;
    QToolButton* SpeedButtonOnKlap = nullptr;
    QToolButton* SpeedButtonOffKlap = nullptr;
    QToolButton* SpeedButtonAllHandseton = nullptr;
    QToolButton* SpeedButtonAllHandsetoff = nullptr;
    QScrollBar* ScrollBarAllHandset = nullptr;
    QScrollBar* ScrollBarInvAllLev = nullptr;
    TColorShape* ShapeWhite = nullptr;
    TColorShape* shpGray = nullptr;
    TColorShape* ShapeRed = nullptr;
    TColorShape* shpYellow = nullptr;
    TColorShape* ShapeGreen = nullptr;
    TColorShape* shpBlueSky = nullptr;
    TColorShape* ShapeBlue = nullptr;
    TColorShape* shpViolet = nullptr;
    TColorShape* ShapeBlack = nullptr;

    // MinMax page.
    QScrollBar* ScrollBarMin = nullptr;
    QScrollBar* ScrollBarMax = nullptr;
    QToolButton* SpeedButtonMinMaxDef = nullptr;
    QCheckBox* CheckBoxMinMaxEnabled = nullptr;

    // Coder page.
    QCheckBox* CheckBoxCoderRec = nullptr;
    QScrollBar* ScrollBarFromCoder = nullptr;
    QScrollBar* ScrollBarCoderLeng = nullptr;
    QLabel* LabelcoderBegin = nullptr;
    QLabel* LabelcoderCoda = nullptr;
    QLabel* LabelCoderLeng = nullptr;
    QToolButton* SpeedButtonSetCoder = nullptr;
    QToolButton* SpeedButtonResetDmxCoder = nullptr;
    QToolButton* sbOutDmx255 = nullptr;
    QToolButton* SpeedButtonOutDmxProc = nullptr;
    QToolButton* SpeedButtonOutDmxHz = nullptr;
    QButtonGroup* OutFormatGroup = nullptr;

    QScrollBar* ScrollBarSpotKolvo = nullptr;
    QScrollBar* ScrollBarLengInv = nullptr;
    QScrollBar* ScrollBarLengKlap = nullptr;
    QLabel* LabelStartRGB = nullptr;
    QLabel* LabelStopRGB = nullptr;
    QLabel* LabelLengRGB = nullptr;
    QLabel* LabelSpots = nullptr;
    QLabel* LabelStartInv = nullptr;
    QLabel* LabelStopInv = nullptr;
    QLabel* LabelLengInv = nullptr;
    QLabel* LabelStartKlap = nullptr;
    QLabel* LabelStopKLap = nullptr;
    QLabel* LabelLengKLap = nullptr;
    QGroupBox* GroupBoxMaxJet = nullptr;
    QScrollBar* ScrollBarMaxLevelStruy = nullptr;
    QToolButton* SpeedButtonStrMin = nullptr;
    QToolButton* SpeedButtonStrMax = nullptr;
    QCheckBox* CheckBoxColorCoder = nullptr;

    QGroupBox* GroupBoxUsb = nullptr;
    QLabel* LabelUsbName = nullptr;
    QLabel* LabelUSBserial = nullptr;
    QToolButton* SpeedButtonInitFTDI = nullptr;
    QFrame* shpFtdi = nullptr;
    QCheckBox* CheckBoxFTDI = nullptr;
    QCheckBox* CheckBoxCrypto = nullptr;

    QGroupBox* GroupBoxCustomer = nullptr;
    QLabel* lblFps = nullptr;
    QCheckBox* CheckBoxFIX = nullptr;
    QLineEdit* EditNameObjeckt = nullptr;
    QLineEdit* EditCustomer = nullptr;
    QLineEdit* EditDataContract = nullptr;
    QCheckBox* CheckBoxProtectWriteIniCustom = nullptr;

    QGroupBox* GroupBoxMap = nullptr;
    QToolButton* SpeedButtonFileMap = nullptr;
    QToolButton* SpeedButtonFileMapOFF = nullptr;
    QCheckBox* CheckBoxMapping = nullptr;

    QGroupBox* grpC = nullptr;
    QComboBox* ColorBoxBrushEnvelope = nullptr;
    QComboBox* ColorBoxBackGroundSelect = nullptr;
    QComboBox* ColorBoxPenEnvelope = nullptr;
    QComboBox* ColorBoxUserWave = nullptr;
    QComboBox* ColorBoxRealLine = nullptr;
    QCheckBox* CheckBoxDMXrecord = nullptr;
    QToolButton* SpeedButtonRecord = nullptr;

    // Macros page.
    QGroupBox* grpMacro = nullptr;
    std::array<TMouseDownButton*, 9> SpeedButtonMacro{};   // 1..8
    QCheckBox* CheckBoxEnableRecord = nullptr;
    QCheckBox* CheckBoxToHand = nullptr;
    QLabel* Label_write = nullptr;
    QToolButton* SpeedButtonOpenMacros = nullptr;
    QToolButton* SpeedButtonSaveMacros = nullptr;

    QTimer* TimerDMX = nullptr;
    QTimer* tmrCopyFromOption = nullptr;
    QTimer* tmrMacro = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void createControls();
    void createRows();
    void createHandPage();
    void createMinMaxPage();
    void createCoderPage();
    void createChannelsPage();
    void createMacroPage();
    void connectRows();
    int rowChannel(int r) const;
    void setPageSilently(int index);
    void changeModeByHand(int mode);
    void paintFtdiShape(bool green);
    spirelo::ReadoutFormat readoutFormat() const;

    std::unique_ptr<spirelo::UsbLink> link_;
    spirelo::FrameRateCounter fps_;
    bool created_ = false;
    bool destroyed_ = false;
    bool inCycle_ = false;
    int shapeColour_ = -1;
    bool centred_ = false;   // 0 red, 1 green: repainted only on change
    spirelo::WheelAccumulator wheel_;
};

extern TFormUSB_COM* FormUSB_COM;

// The settings writer stores the DMX window's installation texts while that window exists.
spirelo::CustomerTexts CustomerTextsOfDmxWindow();
