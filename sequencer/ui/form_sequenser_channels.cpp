// The page "Area Channel": the level buttons with their slider, mouse painting on the channel
// grid and its scroll bars.
#include "sequencer/ui/form_sequenser.h"

#include "common/ui/qt_helpers.h"
#include "core/show_data.h"
#include "sequencer/scene_editor.h"
#include "sequencer/sequencer_store.h"
#include "sequencer/ui/area_widgets.h"
#include "sequencer/ui/page_controls.h"
#include "sequencer/ui/paint_box.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

using namespace spirelo;

namespace {

using page_controls::ToAreaButton;
using page_controls::TwoDigitNumber;

constexpr int kLevelButtonTop = 160;
constexpr int kLevelButtonPitch = 28;

}  // namespace

void TFormSequenser::createAreaChannelTools() {
    QWidget* p = tsChannel;
    TLevelButton** buttons[kLevelButtons] = {&SpeedButton1setInv, &SpeedButton2setInv, &SpeedButton3setInv,
                                             &SpeedButton4setInv, &SpeedButton5setInv, &SpeedButton6setInv};
    const char* captions[kLevelButtons] = {"255", "196", "160", "127", "64", "0"};
    for (int i = 0; i < kLevelButtons; ++i) {
        auto* b = new TLevelButton(p);
        b->setGeometry(4, kLevelButtonTop + kLevelButtonPitch * i, 44, 24);
        b->setObjectName(QStringLiteral("SpeedButton%1setInv").arg(i + 1));
        b->setToolTip(QString::fromUtf8("Выбранный уровень"));
        b->setText(captions[i]);
        *buttons[i] = b;
        LevelButtons[i] = b;
    }
    const int below = kLevelButtonTop + kLevelButtonPitch * kLevelButtons;
    SpeedButtonMIrrorHoriz = new QToolButton(p);
    SpeedButtonMIrrorHoriz->setGeometry(4, below + 8, 24, 24);
    SpeedButtonMIrrorHoriz->setObjectName("SpeedButtonMIrrorHoriz");
    SpeedButtonMIrrorHoriz->setToolTip(QString::fromUtf8("Инверсия Pattern по горизонтали"));
    SpeedButtonMIrrorHoriz->setFocusPolicy(Qt::NoFocus);
    SpeedButtonMIrrorHoriz->setAutoRaise(true);
    SpeedButtonMIrrorHoriz->setText("<>");

    GroupBoxLevInv = new QGroupBox(QString::fromUtf8("Установка уровня "), p);
    GroupBoxLevInv->setObjectName("GroupBoxLevInv");
    GroupBoxLevInv->setGeometry(50, kLevelButtonTop, 225, 48);
    GroupBoxLevInv->setAutoFillBackground(true);   // it opens over the row labels and the grid
    ScrollBarSetLevInvs = new QScrollBar(Qt::Horizontal, GroupBoxLevInv);
    ScrollBarSetLevInvs->setObjectName("ScrollBarSetLevInvs");
    ScrollBarSetLevInvs->setGeometry(8, 22, 209, 17);
    ScrollBarSetLevInvs->setRange(0, 255);
    ScrollBarSetLevInvs->setValue(127);
    ScrollBarSetLevInvs->setToolTip(QString::fromUtf8("Установить новый уровень кнопки "));
    GroupBoxLevInv->setVisible(false);
}

AreaTool TFormSequenser::KlapanTool() const {
    if (SpeedButtonLineKlapan->isChecked()) return AreaTool::Line;
    if (SpeedButtonKlapanRecy->isChecked()) return AreaTool::Rect;
    if (SpeedButton45dwKlap->isChecked()) return AreaTool::Down45;
    if (SpeedButton45upKlap->isChecked()) return AreaTool::Up45;
    if (SpeedButtonCopyTake->isChecked()) return AreaTool::CopySelect;
    return AreaTool::Pencil;
}

AreaContext TFormSequenser::KlapanContext() {
    ShowData& d = ShowDataInstance();
    return AreaContext{d,
                       SequencerEditInstance(),
                       AreaPage::Channels,
                       KlapanTool(),
                       KlapanView(),
                       ValueFromColor(PaintColour()),
                       uint8_t(d.EditorSettings[7] & 0xFF),
                       [this] { SaveToUndo(); }};
}

// --- Mouse -----------------------------------------------------------------------------------

void TFormSequenser::PaintBoxKlapsnsMouseDown(Qt::MouseButton Button, int X, int Y) {
    const AreaResult r = AreaMouseDown(KlapanContext(), ToAreaButton(Button), X, Y);
    if (r.redraw) RedrawAllarea();
    AreaStepAction(r);
}

void TFormSequenser::PaintBoxKlapsnsMouseMove(int X, int Y) {
    const AreaResult r = AreaMouseMove(KlapanContext(), X, Y);
    if (r.redraw) RedrawAllarea();
}

void TFormSequenser::PaintBoxKlapsnsMouseUp() { AreaMouseUp(SequencerEditInstance(), AreaPage::Channels); }

void TFormSequenser::KlapanToolClick() { SequencerEditInstance().KlapanToolState = 0; }

// --- Scroll bars -----------------------------------------------------------------------------

void TFormSequenser::ScrollBarKlapanPosChange() {
    const int first = ScrollBarKlapanPos->value();
    for (size_t r = 0; r < KlapanRowLabels.size(); ++r)
        KlapanRowLabels[r]->setText(TwoDigitNumber(first + int(r) + 1));
}

void TFormSequenser::ScrollBarKlapanPosScroll(int position) {
    ShowDataInstance().SequencerViewPositions[64 + ShownSeq()] = position;
    RedrawAllarea();
}

void TFormSequenser::ScrollBarSeqKLapanChange() {
    const int position = ScrollBarSeqKLapan->value();
    ShowDataInstance().EditorSettings[6] = position;
    LabelKlBegLow->setText(QString::number(position + 1));
    LabelKlBegHi->setText(QString::number(position + 32));
    RedrawAllarea();
}

// --- Level buttons ---------------------------------------------------------------------------

void TFormSequenser::SetButtonInvertor(int Mode) {
    if (const auto look = spirelo::SetButtonInvertor(ShowDataInstance(), SequencerEditInstance(), Mode))
        ShowLevelButtons(*look);
}

void TFormSequenser::ShowLevelButtons(const LevelButtonsLook& look) {
    for (int i = 0; i < kLevelButtons; ++i) {
        TLevelButton* b = LevelButtons[i];
        b->setText(QString::number(look.levels[i]));
        QPalette pal = b->palette();
        pal.setColor(QPalette::ButtonText, ColorFromValue(look.captionColours[i]));
        b->setPalette(pal);
    }
    if (look.groupVisible && look.groupBeside >= 1) {
        GroupBoxLevInv->move(GroupBoxLevInv->x(), LevelButtons[look.groupBeside - 1]->y());
        GroupBoxLevInv->raise();
    }
    GroupBoxLevInv->setVisible(look.groupVisible);
    if (look.slider) ScrollBarSetLevInvs->setValue(*look.slider);
}

void TFormSequenser::LevelButtonMouseDown(int Mode, Qt::MouseButton Button) {
    ShowLevelButtons(LevelButtonPressed(ShowDataInstance(), SequencerEditInstance(), Mode, ToAreaButton(Button)));
    RedrawAllarea();
}

void TFormSequenser::ScrollBarSetLevInvsScroll(int position) {
    if (const auto look = LevelSliderMoved(ShowDataInstance(), SequencerEditInstance(), position))
        ShowLevelButtons(*look);
}

// --- Popup -----------------------------------------------------------------------------------

void TFormSequenser::MenuItemClearPointClick() {
    const int seq = ShownSeq();
    if (seq == kLastSequencer || !SpeedButtonKlapanPen->isChecked()) return;
    const SequencerEditState& e = SequencerEditInstance();
    ErasePointChannel(ShowDataInstance(), seq, e.PointedStep, e.PointedChannel);
    ReDrawAreaKlapan();
}
