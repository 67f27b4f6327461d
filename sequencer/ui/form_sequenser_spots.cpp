// The page "Area RGB": colour choice, mouse painting on the spot grid and its scroll bars.
#include "sequencer/ui/form_sequenser.h"

#include "common/ui/qt_helpers.h"
#include "core/show_data.h"
#include "sequencer/scene_editor.h"
#include "sequencer/sequencer_store.h"
#include "sequencer/ui/area_widgets.h"
#include "sequencer/ui/page_controls.h"
#include "sequencer/ui/paint_box.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QToolButton>

using namespace spirelo;

namespace {

QColor ColourOf(uint32_t c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

using page_controls::ToAreaButton;
using page_controls::TwoDigitNumber;

QToolButton* PageButton(QWidget* parent, const char* name, const char* hint, int x, int y, const QString& text) {
    auto* b = new QToolButton(parent);
    b->setGeometry(x, y, 24, 24);
    b->setObjectName(name);
    b->setToolTip(QString::fromUtf8(hint));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setText(text);
    return b;
}

// The colour-line tool's glyph: the start colour bottom left, the finish colour top right.
QIcon StartFinishIcon(const QColor& start, const QColor& finish) {
    QImage icon(15, 15, QImage::Format_RGB32);
    icon.fill(QColor(128, 128, 128));
    for (int y = 9; y < 15; ++y)
        for (int x = 1; x < 9; ++x) icon.setPixelColor(x, y, start);
    for (int y = 1; y < 9; ++y)
        for (int x = 9; x < 15; ++x) icon.setPixelColor(x, y, finish);
    return QIcon(QPixmap::fromImage(icon));
}

}  // namespace

void TFormSequenser::createAreaRgbTools() {
    QWidget* p = tsAreaRGB;
    struct ShapeSpec { TShape** shape; const char* name; int colour; };
    const ShapeSpec shapes[] = {
        {&ShapeR, "ShapeR", 0}, {&ShapeY, "ShapeY", 1}, {&ShapeG, "ShapeG", 2}, {&ShapeM, "ShapeM", 3},
        {&ShapeB, "ShapeB", 4}, {&ShapeV, "ShapeV", 5}, {&ShapeW, "ShapeW", 6}, {&ShapeBl, "ShapeBl", 7},
    };
    int y = 184;
    for (const ShapeSpec& s : shapes) {
        auto* shape = new TShape(p);
        shape->setGeometry(8, y, 20, 18);
        shape->setObjectName(s.name);
        shape->setToolTip(QString::fromUtf8("Выбор цвета прожектора"));
        shape->BrushColor = ColourOf(PaletteColour(s.colour));
        *s.shape = shape;
        y += 21;
    }
    shpColor = new TShape(p);
    shpColor->setGeometry(4, y + 6, 28, 28);
    shpColor->setObjectName("shpColor");
    shpColor->PenWidth = 5;
    shpColor->BrushColor = palette().color(QPalette::Button);
    shpColor->PenColor = Qt::black;
    SpeedButtonRGBcolor = PageButton(p, "SpeedButtonRGBcolor", "Выбор цвета", 4, y + 40, "...");
    SpeedButtonMIrrorHorizRGB =
        PageButton(p, "SpeedButtonMIrrorHorizRGB", "Инверсия Pattern по горизонтали", 4, y + 68, "<>");

    shpStart = new TShape(p);
    shpStart->setGeometry(30, 184, 16, 16);
    shpStart->setObjectName("shpStart");
    shpStart->setToolTip(QString::fromUtf8("Начало цвета прожектора"));
    shpStart->setVisible(false);
    shpFinish = new TShape(p);
    shpFinish->setGeometry(30, 204, 16, 16);
    shpFinish->setObjectName("shpFinish");
    shpFinish->setToolTip(QString::fromUtf8("Конец цвета прожектора"));
    shpFinish->setVisible(false);
    SpeedButtonChangeColor = PageButton(p, "SpeedButtonChangeColor", "Change Color", 30, 224, "CC");
    SpeedButtonChangeColor->setVisible(false);
}

AreaTool TFormSequenser::SpotTool() const {
    if (SpeedButtonRGBline->isChecked()) return AreaTool::Line;
    if (SpeedButtonRGBrect->isChecked()) return AreaTool::Rect;
    if (SpeedButton45dw->isChecked()) return AreaTool::Down45;
    if (SpeedButton45up->isChecked()) return AreaTool::Up45;
    if (SpeedButtonRainbow->isChecked()) return AreaTool::Rainbow;
    if (SpeedButtonColorLine->isChecked()) return AreaTool::ColourLine;
    if (sbCopyRGBtake->isChecked()) return AreaTool::CopySelect;
    return AreaTool::Pencil;
}

QColor TFormSequenser::PaintColour() const { return shpColor->PenColor; }

AreaContext TFormSequenser::SpotContext() {
    ShowData& d = ShowDataInstance();
    return AreaContext{d,
                       SequencerEditInstance(),
                       AreaPage::Spots,
                       SpotTool(),
                       SpotView(),
                       ValueFromColor(PaintColour()),
                       uint8_t(d.EditorSettings[7] & 0xFF),
                       [this] { SaveToUndo(); }};
}

// --- Mouse -----------------------------------------------------------------------------------

void TFormSequenser::PaintBoxSpotsMouseDown(Qt::MouseButton Button, int X, int Y) {
    const AreaResult r = AreaMouseDown(SpotContext(), ToAreaButton(Button), X, Y);
    if (r.redraw) ReDrawAreaSpots();
    AreaStepAction(r);
}

void TFormSequenser::PaintBoxSpotsMouseMove(int X, int Y) {
    const AreaResult r = AreaMouseMove(SpotContext(), X, Y);
    if (r.toolToPencil) SpeedButtonRGBpen->setChecked(true);
    if (r.redraw) ReDrawAreaSpots();
}

void TFormSequenser::PaintBoxSpotsMouseUp() { AreaMouseUp(SequencerEditInstance(), AreaPage::Spots); }

void TFormSequenser::SpotToolClick() { SequencerEditInstance().SpotToolState = 0; }

// --- Scroll bars -----------------------------------------------------------------------------

void TFormSequenser::ScrollBarSpotPosScroll(int position) {
    ShowDataInstance().SequencerViewPositions[ShownSeq()] = position;
    ReDrawAreaSpots();
}

void TFormSequenser::ScrollBarSpotPosChange() {
    const int first = ScrollBarSpotPos->value();
    for (size_t r = 0; r < SpotRowLabels.size(); ++r) SpotRowLabels[r]->setText(TwoDigitNumber(first + int(r) + 1));
}

void TFormSequenser::ScrollBarSeqVisualChange() {
    const int position = ScrollBarSeqVisual->value();
    ShowDataInstance().EditorSettings[4] = position;
    LabelScBegLow->setText(QString::number(position + 1));
    LabelScBegHi->setText(QString::number(position + 32));
    ReDrawAreaSpots();
}

// --- Colour choice ---------------------------------------------------------------------------

void TFormSequenser::paintBmpICO(const QColor& Colour) {
    IconImage = QImage(15, 15, QImage::Format_RGB32);
    IconImage.fill(QColor(128, 128, 128));
    for (int y = 1; y < 14; ++y)
        for (int x = 1; x < 14; ++x) IconImage.setPixelColor(x, y, Colour);
    SpeedButtonRGBrect->setIcon(QIcon(QPixmap::fromImage(IconImage)));
}

void TFormSequenser::ShapeColorMouseDown(TShape* shape) {
    shpColor->SetPenColor(shape->BrushColor);
    paintBmpICO(shpColor->PenColor);
}

void TFormSequenser::SpeedButtonRGBcolorClick() {
    ColorDialogRGB.Color = PaintColour();
    if (!ColorDialogRGB.Execute(this)) return;
    shpColor->SetPenColor(ColorDialogRGB.Color);
    paintBmpICO(shpColor->PenColor);
}

void TFormSequenser::shpStartMouseDown() {
    shpStart->SetBrushColor(PaintColour());
    SpeedButtonColorLine->setIcon(StartFinishIcon(shpStart->BrushColor, shpFinish->BrushColor));
}

void TFormSequenser::shpFinishMouseDown() {
    shpFinish->SetBrushColor(PaintColour());
    SpeedButtonColorLine->setIcon(StartFinishIcon(shpStart->BrushColor, shpFinish->BrushColor));
}

void TFormSequenser::SpeedButtonChangeColorClick() {
    SaveToUndo();
    ChangeColorPattern(ShowDataInstance(), SpotView());
    RedrawAllarea();
}

// --- Popup -----------------------------------------------------------------------------------

void TFormSequenser::Popur_mainClick() {
    const int seq = ShownSeq();
    if (seq == kLastSequencer || !SpeedButtonRGBpen->isChecked()) return;
    SequencerEditState& e = SequencerEditInstance();
    ErasePointSpot(ShowDataInstance(), seq, e.PointedStep, e.PointedChannel);
    e.SpotPenDown = 0;
    ReDrawAreaSpots();
}
