// Page "X-Y devices": figures on a channel pair, point operations with auto-repeat, copy to
// other pairs and the pad. The page is switched off in this system.
#include "sequencer/ui/form_sequenser.h"
#include "sequencer/ui/page_controls.h"

#include "common/ui/qt_helpers.h"
#include "core/show_data.h"
#include "platform/message_service.h"
#include "sequencer/ui/paint_box.h"
#include "sequencer/xy_figures.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

using spirelo::ShowDataInstance;

namespace {

using page_controls::HBar;
using page_controls::Put;

QToolButton* Button(QWidget* parent, const QString& name, const char* caption, const char* hint, int x, int y,
                    int width = 30) {
    return page_controls::Button(parent, name, caption, hint, x, y, width);
}

using page_controls::Q;

QLabel* Text(QWidget* parent, const QString& name, const QString& text, int x, int y, int width) {
    auto* l = Put(new QLabel(text), parent, name, x, y, width, 16);
    l->resize(std::max(width, l->sizeHint().width()), 16);
    return l;
}

QCheckBox* Check(QWidget* parent, const QString& name, const char* caption, bool checked, int x, int y,
                 int width) {
    auto* c = Put(new QCheckBox(QString::fromUtf8(caption)), parent, name, x, y, width, 18);
    c->setChecked(checked);
    c->setFocusPolicy(Qt::NoFocus);
    c->resize(std::max(width, c->sizeHint().width()), 18);
    return c;
}

void DrawPadGrid(QPainter& p) {
    p.fillRect(0, 0, 256, 256, Qt::white);
    p.setPen(QColor(128, 128, 128));
    for (int v = 143; v <= 239; v += 16) p.drawLine(v, 0, v, 255), p.drawLine(0, v, 255, v);
    for (int v = 111; v >= 15; v -= 16) p.drawLine(v, 0, v, 255), p.drawLine(0, v, 255, v);
    p.setPen(Qt::black);
    p.drawLine(127, 0, 127, 255);
    p.drawLine(0, 127, 255, 127);
}

}  // namespace

// --- Building ----------------------------------------------------------------------------

void TFormSequenser::createXYPage() {
    QWidget* p = tsXYDevices;
    PaintBoxGrid = Put(new TPaintBox, p, "PaintBoxGrid", 8, 8, 256, 256);
    PaintBoxXY = Put(new TPaintBox, p, "PaintBoxXY", 8, 8, 256, 256);
    PaintBoxXY->setToolTip(QString::fromUtf8("Переместить сцену в X-Y"));
    XYPicture = QImage(256, 256, QImage::Format_RGB32);
    LabelESPosX = Text(p, "LabelESPosX", "X = 0", 8, 268, 70);
    LabelESPosY = Text(p, "LabelESPosY", "Y = 0", 80, 268, 70);
    LabelEXYscena = Text(p, "LabelEXYscena", QString::fromUtf8(" Сцена ? "), 152, 268, 110);

    // Channel pairs.
    QScrollBar** bars[4] = {&ScrollBarEditXYCh1, &ScrollBarEditXYCh2, &ScrollBarEditXYCh3, &ScrollBarEditXYCh4};
    QCheckBox** boxes[4] = {&CheckBoxEditXY1, &CheckBoxEditXY2, &CheckBoxEditXY3, &CheckBoxEditXY4};
    for (int i = 0; i < 4; ++i) {
        const int y = 292 + 26 * i;
        *boxes[i] = Check(p, QStringLiteral("CheckBoxEditXY%1").arg(i + 1), "", i == 0, 8, y, 20);
        *bars[i] = HBar(p, QStringLiteral("ScrollBarEditXYCh%1").arg(i + 1), "", 0, spirelo::kChannels - 2, 0,
                        30, y + 1, 110);
        LabelXYareaFirrtName[i] = Text(p, QStringLiteral("LabelXYareaFirrtName%1").arg(i + 1),
                                       Q(spirelo::ChannelLabelText(0)), 146, y, 56);
        LabelXYareaSecondName[i] = Text(p, QStringLiteral("LabelXYareaSecondName%1").arg(i + 1),
                                        Q(spirelo::ChannelLabelText(1)), 206, y, 56);
    }
    btnEditXYcopy = Button(p, "btnEditXYcopy", "Copy", "Выполнить копирование в каналы, выбранные флажками ",
                           8, 400, 60);

    // Scenes and figure settings.
    Text(p, "LabelESSfrom", QString::fromUtf8("От Сцены"), 280, 8, 70);
    SpinEditESSfrom = Put(new QSpinBox, p, "SpinEditESSfrom", 280, 26, 60, 22);
    SpinEditESSfrom->setRange(1, 250);
    SpinEditESSfrom->setValue(1);
    Text(p, "LabelESSto", QString::fromUtf8("До Сцены"), 360, 8, 70);
    SpinEditESSto = Put(new QSpinBox, p, "SpinEditESSto", 360, 26, 60, 22);
    SpinEditESSto->setRange(2, 255);
    SpinEditESSto->setValue(32);
    CheckBoxEditXYAllScenes = Check(p, "CheckBoxEditXYAllScenes", "Все сцены", false, 440, 8, 100);
    CheckBoxAllScen = Check(p, "CheckBoxAllScen", "Менять Сцену", true, 440, 28, 110);
    ScrollBarEditMaxX = HBar(p, "ScrollBarEditMaxX", "размер создаваемой фигуры", 20, 250, 200, 280, 58, 260);
    ScrollBarEditWide = HBar(p, "ScrollBarEditWide", "вид или длинна конца фигуры", 0, 10, 7, 280, 78, 260);
    LabelFigure = Text(p, "LabelFigure", Q(spirelo::FigureText(200, 7)), 280, 96, 260);
    ScrollBarRotate = HBar(p, "ScrollBarRotate", "", 1, 359, 45, 280, 118, 200);
    btnRotateLeft = Button(p, "btnRotateLeft", "Rot", "Выполнить поворот ", 488, 114, 40);
    LabelEditRL = Text(p, "LabelEditRL", Q(spirelo::RotationText(45)), 280, 136, 120);

    auto* figures = Put(new QGroupBox(QString::fromUtf8("Создание Фигур ")), p, "GroupBoxFigures", 280, 160, 170, 104);
    const char* names[9] = {"SpeedButtonEditXYmadeLine", "SpeedButtonEditXYmadeTreug", "SpeedButtonEditXYmadeRect",
                            "SpeedButtonEditXYmadeSix",  "SpeedButtonEditXYmadeSnake", "SpeedButtonEditXYmadeCucle",
                            "SpeedButtonEditXYmade8",    "SpeedButtonEditXYmadePent",  "SpeedButtonEditSpiral"};
    const char* captions[9] = {"/", "^", "[]", "X", "S", "O", "8", "88", "@"};
    for (int i = 0; i < 9; ++i)
        XYFigureButtons[i] = Button(figures, names[i], captions[i], "Вычертить фигугу по сценам", 8 + 52 * (i % 3),
                                    20 + 26 * (i / 3), 44);

    SpeedButtonEditPosLeft = Button(p, "SpeedButtonEditPosLeft", "<", "Смещение фигуры", 470, 176);
    SpeedButtonEditPosRight = Button(p, "SpeedButtonEditPosRight", ">", "Смещение фигуры", 534, 176);
    SpeedButtonEditPosUp = Button(p, "SpeedButtonEditPosUp", "^", "Смещение фигуры", 502, 160);
    SpeedButtonEditPosDown = Button(p, "SpeedButtonEditPosDown", "v", "Смещение фигуры", 502, 192);
    SpeedButtonEditRazmerMore = Button(p, "SpeedButtonEditRazmerMore", "+", "Увеличить фигуру", 470, 224);
    SpeedButtonEditRazmerMene = Button(p, "SpeedButtonEditRazmerMene", "-", "Уменьшить фигуру", 534, 224);
    SpeedButtonGorizontMirror = Button(p, "SpeedButtonGorizontMirror", "<>", "Зеркальное отображение", 470, 252);
    SpeedButtonVerticalMirror = Button(p, "SpeedButtonVerticalMirror", "/\\", "Зеркальное отображение", 534, 252);

    tmrRepeatButton = spirelo::MakeTimer(this, 700);
    tmrRepeatButton->setObjectName("tmrRepeatButton");
    PaintBoxXYRedraw();
}

void TFormSequenser::connectXYPage() {
    connect(tmrRepeatButton, &QTimer::timeout, this, &TFormSequenser::tmrRepeatButtonTimer);
    tmrRepeatButton->start();
    for (int i = 0; i < 9; ++i)
        connect(XYFigureButtons[i], &QToolButton::clicked, this, [this, i] { XYFigureClick(i); });
    connect(btnRotateLeft, &QToolButton::clicked, this, &TFormSequenser::btnRotateLeftClick);
    connect(btnEditXYcopy, &QToolButton::clicked, this, &TFormSequenser::btnEditXYcopyClick);
    const std::pair<QToolButton*, int> ops[] = {
        {SpeedButtonEditPosRight, 1},   {SpeedButtonEditPosLeft, 2},    {SpeedButtonEditPosUp, 3},
        {SpeedButtonEditPosDown, 4},    {SpeedButtonGorizontMirror, 5}, {SpeedButtonVerticalMirror, 6},
        {SpeedButtonEditRazmerMene, 7}, {SpeedButtonEditRazmerMore, 8}};
    for (auto [b, code] : ops) {
        const int c = code;
        connect(b, &QToolButton::pressed, this, [this, c] { XYPointButtonDown(c); });
        if (spirelo::IsRepeatingOperation(c)) connect(b, &QToolButton::released, this, &TFormSequenser::XYPointButtonUp);
    }
    for (QScrollBar* s : {ScrollBarEditMaxX, ScrollBarEditWide, ScrollBarRotate})
        connect(s, &QScrollBar::valueChanged, this, &TFormSequenser::XYLabelsRefresh);
    connect(ScrollBarEditXYCh1, &QScrollBar::valueChanged, this, [this] {
        XYLabelsRefresh();
        PaintBoxXYRedraw();
    });
    for (QScrollBar* s : {ScrollBarEditXYCh2, ScrollBarEditXYCh3, ScrollBarEditXYCh4})
        connect(s, &QScrollBar::valueChanged, this, &TFormSequenser::XYLabelsRefresh);
    connect(CheckBoxEditXYAllScenes, &QCheckBox::clicked, this, &TFormSequenser::XYLabelsRefresh);
    connect(SpinEditESSfrom, &QSpinBox::valueChanged, this, [this] { XYSceneChange(true); });
    connect(SpinEditESSto, &QSpinBox::valueChanged, this, [this] { XYSceneChange(false); });
    PaintBoxGrid->OnPaint = [](QPainter& p) { DrawPadGrid(p); };
    PaintBoxXY->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, XYPicture); };
    PaintBoxXY->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { PaintBoxXYMouseDown(b, x, y); };
    PaintBoxXY->OnMouseMove = [this](Qt::MouseButton, int x, int y) { PaintBoxXYMouseMove(x, y); };
    PaintBoxXY->OnMouseUp = [this](Qt::MouseButton, int, int) { PaintBoxXYMouseUp(); };
}

// --- Handlers ----------------------------------------------------------------------------

spirelo::XYParams TFormSequenser::XYParamsNow() const {
    spirelo::XYParams p;
    p.Q = ShownSeq();
    p.X = ScrollBarEditXYCh1->value();
    p.F = SpinEditESSfrom->value();
    p.T = SpinEditESSto->value();
    p.S = ScrollBarEditMaxX->value();
    p.W = ScrollBarEditWide->value();
    p.D = ScrollBarRotate->value();
    return p;
}

void TFormSequenser::XYFigureClick(int figure) {
    SaveToUndo();
    if (!spirelo::MakeFigure(ShowDataInstance(), XYParamsNow(), static_cast<spirelo::XYFigure>(std::clamp(figure, 0, 8))))
        spirelo::Messages().error(spirelo::kFigureRefused);
    PaintBoxXYRedraw();
}

void TFormSequenser::btnRotateLeftClick() {
    SaveToUndo();
    spirelo::RotateFigure(ShowDataInstance(), XYParamsNow());
    PaintBoxXYRedraw();
}

void TFormSequenser::XYPointButtonDown(int code) {
    SaveToUndo();
    spirelo::ApplyPointOperation(ShowDataInstance(), XYParamsNow(), code);
    XYRepeatCode = spirelo::IsRepeatingOperation(code) ? code : 0;
    PaintBoxXYRedraw();
}

void TFormSequenser::XYPointButtonUp() {
    XYRepeatCode = 0;
    tmrRepeatButton->setInterval(1000);
}

void TFormSequenser::tmrRepeatButtonTimer() {
    if (!spirelo::IsRepeatingOperation(XYRepeatCode)) return;
    tmrRepeatButton->setInterval(50);
    spirelo::ApplyPointOperation(ShowDataInstance(), XYParamsNow(), XYRepeatCode);
    PaintBoxXYRedraw();
}

void TFormSequenser::btnEditXYcopyClick() {
    SaveToUndo();
    spirelo::CopyPairs(ShowDataInstance(), XYParamsNow(),
                       {ScrollBarEditXYCh2->value(), ScrollBarEditXYCh3->value(), ScrollBarEditXYCh4->value()},
                       {CheckBoxEditXY2->isChecked(), CheckBoxEditXY3->isChecked(), CheckBoxEditXY4->isChecked()});
    PaintBoxXYRedraw();
}

void TFormSequenser::XYLabelsRefresh() {
    if (CheckBoxEditXYAllScenes->isChecked()) {
        SpinEditESSfrom->setValue(1);
        SpinEditESSto->setValue(254);
    }
    LabelEXYscena->setText(QString::fromUtf8(" Сцена ? "));
    QScrollBar* bars[4] = {ScrollBarEditXYCh1, ScrollBarEditXYCh2, ScrollBarEditXYCh3, ScrollBarEditXYCh4};
    for (int i = 0; i < 4; ++i) {
        LabelXYareaFirrtName[i]->setText(Q(spirelo::ChannelLabelText(bars[i]->value())));
        LabelXYareaSecondName[i]->setText(Q(spirelo::ChannelLabelText(bars[i]->value() + 1)));
    }
    LabelEditRL->setText(Q(spirelo::RotationText(ScrollBarRotate->value())));
    LabelFigure->setText(Q(spirelo::FigureText(ScrollBarEditMaxX->value(), ScrollBarEditWide->value())));
}

void TFormSequenser::XYSceneChange(bool) {
    if (SpinEditESSfrom->value() >= SpinEditESSto->value()) SpinEditESSto->setValue(SpinEditESSfrom->value());
    PaintBoxXYRedraw();
}

void TFormSequenser::PaintBoxXYRedraw() {
    QPainter p(&XYPicture);
    DrawPadGrid(p);
    p.setRenderHint(QPainter::Antialiasing);
    const spirelo::XYParams xy = XYParamsNow();
    const int first = std::max(xy.F - 1, 0), last = std::min(xy.T - 1, spirelo::kSequencerSteps - 1);
    auto at = [&](int s) {
        const spirelo::XYPoint pt = spirelo::ReadPoint(ShowDataInstance(), xy, s);
        return QPointF(pt.x, 255 - pt.y);
    };
    if (first <= last) {
        p.setPen(Qt::blue);
        p.setBrush(QColor(0, 255, 0));
        p.drawEllipse(at(first), 4, 4);
        p.setBrush(QColor(0, 128, 0));
        p.setPen(QColor(0, 128, 0));
        for (int s = first; s <= last; ++s) {
            if (s > first) p.drawLine(at(s - 1), at(s));
            p.drawEllipse(at(s), 3, 3);
        }
        p.setBrush(Qt::red);
        p.setPen(Qt::red);
        p.drawEllipse(at(last), 3, 3);
    }
    p.end();
    if (PaintBoxXY) PaintBoxXY->update();
}

void TFormSequenser::PaintBoxXYMouseDown(Qt::MouseButton button, int x, int y) {
    XYMouseMode = button == Qt::LeftButton ? 1 : (button == Qt::RightButton ? 2 : 0);
    XYPointedStep = -1;
    if (XYMouseMode != 1) return;
    XYMouseMode = 3;   // the press points a step but moves nothing
    PaintBoxXYMouseMove(x, y);
    XYMouseMode = 1;
}

void TFormSequenser::PaintBoxXYMouseMove(int x, int y) {
    const int px = std::clamp(x, 0, 255), py = std::clamp(255 - y, 0, 255);
    LabelESPosY->setText(QStringLiteral("Y = %1").arg(py));
    LabelESPosX->setText(QStringLiteral("X = %1").arg(px));
    const spirelo::XYParams xy = XYParamsNow();
    if (XYMouseMode == 1 || XYMouseMode == 3) {
        const int first = std::max(xy.F - 1, 0), last = std::min(xy.T - 1, spirelo::kSequencerSteps - 1);
        for (int s = last; s >= first; --s) {
            const spirelo::XYPoint pt = spirelo::ReadPoint(ShowDataInstance(), xy, s);
            if (std::abs(pt.x - px) > 3 || std::abs(pt.y - py) > 3) continue;
            XYPointedStep = s;
            LabelEXYscena->setText(QString::fromUtf8(" Сцена %1").arg(s + 1));
            PaintBoxXY->setToolTip(QString::fromUtf8("Переместить сцену %1").arg(s + 1));
        }
        if (XYPointedStep >= 0 && XYMouseMode == 1) spirelo::WritePoint(ShowDataInstance(), xy, XYPointedStep, px, py);
        PaintBoxXY->setCursor(Qt::ClosedHandCursor);
    } else if (XYMouseMode == 2) {
        LabelEXYscena->setText(QString::fromUtf8(" Размер "));
        PaintBoxXY->setCursor(Qt::SizeAllCursor);
    }
    PaintBoxXYRedraw();
}

void TFormSequenser::PaintBoxXYMouseUp() {
    PaintBoxXY->unsetCursor();
    XYMouseMode = 0;
    LabelEXYscena->setText(" ");
    PaintBoxXY->setToolTip({});
}
