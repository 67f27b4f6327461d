#include "dmx/ui/form_visual.h"

#include "common/ui/qt_helpers.h"
#include "common/ui/text_fit.h"
#include "common/ui/window_placement.h"
#include "dmx/ui/monitor_paint.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

TFormVisual* FormVisual = nullptr;

using namespace spirelo;

namespace {

constexpr int kClientHeight = 131;

const char* const kVisualItems[16] = {
    "DMXout", "Sequens", "Hand", "EffRate", "EffMUX", "Invers ", "Master", "MinMax",
    "Coder  ", "FTDI   ", "ScrlTest", "ScrlMIN ", "ScrlMAX", "ScrlCoder", "BufQrate ", "Debugger",
};

QToolButton* MakeToggle(QWidget* parent, const QString& caption, const QString& hint, bool down, int y) {
    auto* b = new QToolButton(parent);
    b->setText(caption);
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setChecked(down);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(0, y, 23, 22);
    return b;
}

}  // namespace

TMonitorPaintBox::TMonitorPaintBox(TFormVisual* form, QWidget* parent) : QWidget(parent), form_(form) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TMonitorPaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QImage& img = form_->MonitorBitmap();
    const int w = form_->ShownWidth();
    if (w > 0) p.drawImage(QPoint(0, 0), img, QRect(0, 0, w, img.height()));
    if (w < width()) p.fillRect(QRect(w, 0, width() - w, height()), Qt::black);
}

void TMonitorPaintBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    form_->pbUpMouseMove(pos.x(), pos.y());
    QWidget::mouseMoveEvent(event);
}

TFormVisual::TFormVisual(QWidget* parent) : QWidget(parent) {
    createControls();
    spirelo::FitTexts(this);
}

TFormVisual::~TFormVisual() = default;

void TFormVisual::createControls() {
    setWindowTitle(QStringLiteral("Channels DMX512 "));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setClientWidth(1232);

    bitmap_ = MakeMonitorImage();
    pbUp = new TMonitorPaintBox(this, this);
    pbUp->setGeometry(0, 0, kMonitorImageWidth, kMonitorImageHeight);

    SpeedButtonEveryCol = MakeToggle(this, "E", "Spots one color", true, 2);
    SpeedButtonColor = MakeToggle(this, "C", "All lines different color", true, 26);
    SpeedButtonSpace = MakeToggle(this, "S", "Separate lines high", true, 50);
    SpeedButtonMore = MakeToggle(this, ">>", "Additionally option", false, 74);
    CheckBoxViewChannel = new QCheckBox(this);
    CheckBoxViewChannel->setToolTip("View Running Channel");
    CheckBoxViewChannel->setGeometry(0, 104, 18, 18);

    RadioButtonVisual = new QGroupBox(" What To Visual  ", this);
    RadioButtonVisual->setToolTip("Change sourse visual");
    RadioButtonVisual->setGeometry(0, 0, 184, 130);
    QFont small = RadioButtonVisual->font();
    small.setPixelSize(10);
    RadioButtonVisual->setFont(small);
    RadioButtonVisualGroup = new QButtonGroup(this);
    RadioButtonVisualGroup->setExclusive(true);
    for (int i = 0; i < 16; ++i) {
        auto* rb = new QRadioButton(kVisualItems[i], RadioButtonVisual);
        rb->setGeometry(6 + (i / 8) * 88, 16 + (i % 8) * 14, 86, 14);
        RadioButtonVisualGroup->addButton(rb, i);
        RadioButtonVisualItems[size_t(i)] = rb;
    }
    RadioButtonVisualItems[0]->setChecked(true);

    // The controls beside the graph sit above it (opaque) when the window is narrow.
    for (QWidget* w : std::initializer_list<QWidget*>{SpeedButtonEveryCol, SpeedButtonColor, SpeedButtonSpace,
                                                      SpeedButtonMore, CheckBoxViewChannel, RadioButtonVisual}) {
        w->setAutoFillBackground(true);
        w->raise();
    }

    tmrRepaint = MakeTimer(this, 16);

    connect(tmrRepaint, &QTimer::timeout, this, [this] { tmrRepaintTimer(); });
    connect(SpeedButtonMore, &QToolButton::clicked, this, [this] { SpeedButtonMoreClick(); });
    connect(RadioButtonVisualGroup, &QButtonGroup::idClicked, this, [this] { RadioButtonVisualClick(); });
}

void TFormVisual::setClientWidth(int w) {
    setFixedSize(w, kClientHeight);
    // The narrow form would show a sliver of the options, a letter of their title cut off:
    // they show with the wide form only.
    if (RadioButtonVisual) RadioButtonVisual->setVisible(SpeedButtonMore->isChecked());
}

void TFormVisual::FormCreate() {
    if (created_) return;
    created_ = true;
    move(10, 100);
    spirelo::KeepOnScreen(this);
    SetTimerEnabled(tmrRepaint, true);
    CountLengForm(0);
}

void TFormVisual::CountLengForm(int Count) {
    const MonitorLayout l = spirelo::CountLengForm(ShowDataInstance(), Count);
    MonitorWidth = l.MonitorWidth;
    for (QToolButton* b : {SpeedButtonEveryCol, SpeedButtonColor, SpeedButtonSpace, SpeedButtonMore})
        b->move(l.buttonsLeft, b->y());
    CheckBoxViewChannel->move(l.checkLeft, CheckBoxViewChannel->y());
    RadioButtonVisual->move(l.radioLeft, RadioButtonVisual->y());
    setClientWidth(SpeedButtonMore->isChecked() ? l.wideWidth : l.narrowWidth);
    setWindowTitle(QString::fromStdString(l.caption));
}

void TFormVisual::RadioButtonVisualClick() {
    const int item = std::clamp(RadioButtonVisualGroup->checkedId(), 0, 15);
    DmxOutputStateInstance().MonitorTap = uint8_t(item);
    CountLengForm(item <= 9 ? 0 : 510);
}

void TFormVisual::SpeedButtonMoreClick() { setClientWidth(MonitorWindowWidth(MonitorWidth, SpeedButtonMore->isChecked())); }

void TFormVisual::pbUpMouseMove(int X, int Y) {
    box_.MonitorMouseX = X;
    box_.MonitorMouseY = Y;
}

void TFormVisual::tmrRepaintTimer() {
    if (!isVisible()) return;
    const MonitorLook look{SpeedButtonEveryCol->isChecked(), SpeedButtonColor->isChecked(), SpeedButtonSpace->isChecked()};
    const int W = RepaintMonitorImage(bitmap_, ShowDataInstance(), DmxOutputStateInstance(), MonitorWidth, look,
                                      CheckBoxViewChannel->isChecked(), box_);
    if (W < 0) return;
    shownWidth_ = W;
    pbUp->update();
}

void TFormVisual::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    SetTimerEnabled(tmrRepaint, true);   // FormShow
}

void TFormVisual::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) SetTimerEnabled(tmrRepaint, true);   // FormActivate
}

void TFormVisual::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    SetTimerEnabled(tmrRepaint, true);   // FormPaint
}

void TFormVisual::closeEvent(QCloseEvent* event) {
    tmrRepaint->stop();   // FormClose
    QWidget::closeEvent(event);
}
