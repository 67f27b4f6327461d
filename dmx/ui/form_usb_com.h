// The USB and DMX window: runs the 15 ms output cycle (pipeline, USB frame, live data, frame
// rate), the USB link and live-data controls, and republishes the areas and drawing colours
// every 151 ms. The channel-table pages, macros, recording and the monitor's parts are filled
// in by their own changes; their controls here carry start values only.
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
#include "dmx/output_pipeline.h"
#include "dmx/usb_link.h"

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
    QToolButton* sbOutDmx255 = nullptr;
    QToolButton* SpeedButtonOutDmxProc = nullptr;
    QToolButton* SpeedButtonOutDmxHz = nullptr;
    QButtonGroup* OutFormatGroup = nullptr;

    QScrollBar* ScrollBarSpotKolvo = nullptr;
    QScrollBar* ScrollBarLengInv = nullptr;
    QScrollBar* ScrollBarLengKlap = nullptr;

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

    QTimer* TimerDMX = nullptr;
    QTimer* tmrCopyFromOption = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void createControls();
    void paintFtdiShape(bool green);
    spirelo::ReadoutFormat readoutFormat() const;

    std::unique_ptr<spirelo::UsbLink> link_;
    spirelo::FrameRateCounter fps_;
    bool created_ = false;
    bool destroyed_ = false;
    bool inCycle_ = false;
    int shapeColour_ = -1;
    bool centred_ = false;   // 0 red, 1 green: repainted only on change
};

extern TFormUSB_COM* FormUSB_COM;
