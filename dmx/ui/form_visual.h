// The DMX monitor: the 512 levels of a chosen pipeline stage or table as columns, redrawn
// after every output frame while the window is shown. The drawing is logic (dmx/monitor.h)
// into an image this window owns; the window copies its left W columns onto pbUp.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <array>

#include "dmx/monitor.h"

class TFormVisual;

// The paint box: shows the monitor's picture and reports the pointer.
class TMonitorPaintBox : public QWidget {
public:
    TMonitorPaintBox(TFormVisual* form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TFormVisual* form_;
};

class TFormVisual : public QWidget {
    Q_OBJECT
public:
    explicit TFormVisual(QWidget* parent = nullptr);
    ~TFormVisual() override;
    void FormCreate();

    void CountLengForm(int Count);
    void RadioButtonVisualClick();
    void SpeedButtonMoreClick();
    void pbUpMouseMove(int X, int Y);
    void tmrRepaintTimer();

    const QImage& MonitorBitmap() const { return bitmap_; }
    int ShownWidth() const { return shownWidth_; }
    spirelo::MonitorBoxState& Box() { return box_; }
    int MonitorWidth = 106;   // pixels once counted

    TMonitorPaintBox* pbUp = nullptr;
    QToolButton* SpeedButtonEveryCol = nullptr;
    QToolButton* SpeedButtonColor = nullptr;
    QToolButton* SpeedButtonSpace = nullptr;
    QToolButton* SpeedButtonMore = nullptr;
    QCheckBox* CheckBoxViewChannel = nullptr;
    QGroupBox* RadioButtonVisual = nullptr;
    QButtonGroup* RadioButtonVisualGroup = nullptr;
    std::array<QRadioButton*, 16> RadioButtonVisualItems{};
    QTimer* tmrRepaint = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void setClientWidth(int w);

    QImage bitmap_;   // MonitorBitmap
    spirelo::MonitorBoxState box_;
    int shownWidth_ = 0;
    bool created_ = false;
};

extern TFormVisual* FormVisual;
