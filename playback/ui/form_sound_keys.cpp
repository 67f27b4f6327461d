// The Keyboard page of the sound window: live keys, bank and kit choice, the tiles, the bank
// operations and the key assignment panel. The logic is in playback/live_keys and
// playback/assign_panel; the handlers here read the controls and show the result.
#include "playback/ui/form_sound.h"

#include "core/show_data.h"
#include "core/ui/form_maim.h"
#include "common/ui/key_codes.h"
#include "playback/assign_panel.h"
#include "playback/live_keys.h"
#include "playback/show_clock.h"
#include "playback/track_edit.h"
#include "playback/ui/key_drawing.h"
#include "playback/ui/key_preview.h"
#include "sequencer/ui/form_sequenser.h"

#include <QKeyEvent>

using namespace spirelo;

namespace {

unsigned ModifierBits(Qt::KeyboardModifiers m) {
    unsigned bits = 0;
    if (m & Qt::ShiftModifier) bits |= kModShift;
    if (m & Qt::ControlModifier) bits |= kModCtrl;
    if (m & Qt::AltModifier) bits |= kModAlt;
    if (m & (Qt::MetaModifier | Qt::GroupSwitchModifier)) bits |= kModOther;
    return bits;
}

unsigned ButtonBits(Qt::MouseButtons b) {
    unsigned bits = 0;
    if (b & Qt::LeftButton) bits |= kButtonLeft;
    if (b & Qt::RightButton) bits |= kButtonRight;
    if (b & Qt::MiddleButton) bits |= kButtonMiddle;
    return bits;
}

}  // namespace

void TFormSound::connectKeyboardPage() {
    new KeyPreview(this, [this](QWidget* receiver, QKeyEvent* e) {
        // Text typed into an edit, a spin box or an editable combo is not a live key.
        if (KeyPreview::TakesText(receiver)) return;
        FormKeyDown(VirtualKeyFromEvent(e));
    });
    for (int letter = 0; letter < 26; ++letter) {
        const int code = 'A' + letter;
        connect(PaintBoxKey[letter], &SoundPaintBox::mouseDown, this,
                [this, code](Qt::MouseButton b, int, int, Qt::KeyboardModifiers) { TileMouseDown(code, b); });
        connect(PaintBoxKey[letter], &SoundPaintBox::mouseMove, this,
                [code](int, int, Qt::MouseButtons, Qt::KeyboardModifiers) { ApplyKeyScene(ShowDataInstance(), code); });
    }
    // A track load may have changed the kit: the page shows the tiles as they are now.
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 2) PaintCaseKey();
    });
    for (SoundShape* s : {shp_skob, shp_kav, shp_kosaj})
        connect(s, &SoundShape::mouseDown, this, [this](Qt::MouseButton, int, int) { shp_kavMouseDown(); });
    LabelSpace->setAttribute(Qt::WA_TransparentForMouseEvents);   // a press on it lands on the tile
    connect(ShapeSpace, &SoundShape::mouseDown, this, [this](Qt::MouseButton, int, int) { ShapeSpaceMouseDown(); });
    for (int n = 1; n <= 7; ++n)
        connect(SpeedButtonKit[n], &QToolButton::clicked, this, [this, n] { SpeedButtonKitClick(n); });
    connect(RadioGroupKitKey, &SoundRadioGroup::clicked, this, &TFormSound::RadioGroupKitKeyClick);
    connect(ScrollBarNewSeq, &QScrollBar::valueChanged, this, &TFormSound::ScrollBarNewSeqChange);
    connect(sbNewMode, &QToolButton::clicked, this, &TFormSound::sbNewModeClick);
    connect(sbRecScena, &QToolButton::clicked, this, &TFormSound::sbRecScenaClick);
    connect(sbClearKeyBuf, &QToolButton::clicked, this, &TFormSound::sbClearKeyBufClick);
    connect(SpeedButtonClearAll, &QToolButton::clicked, this, &TFormSound::SpeedButtonClearAllClick);
    connect(sbKeyCopy, &QToolButton::clicked, this, &TFormSound::sbKeyCopyClick);
    connect(sbKeyPaste, &QToolButton::clicked, this, &TFormSound::sbKeyPasteClick);
    connect(sbPlusScenaRec, &QToolButton::clicked, this, &TFormSound::sbPlusScenaRecClick);
    connect(SpeedButtonCloseWIN, &QToolButton::clicked, this, &TFormSound::SpeedButtonCloseWINClick);
    connect(PaintBoxAssign, &SoundPaintBox::mouseMove, this,
            [this](int x, int y, Qt::MouseButtons b, Qt::KeyboardModifiers m) { PaintBoxAssignMouseMove(b, m, x, y); });
    connect(PaintBoxAssign, &SoundPaintBox::mouseDown, this,
            [this](Qt::MouseButton b, int x, int y, Qt::KeyboardModifiers m) { PaintBoxAssignMouseDown(b, m, x, y); });
}

KeyContext TFormSound::keyContext() const {
    KeyContext ctx;
    if (SpeedButtonRecTrackKeyBoard->isChecked()) ctx.mode = RecMode::Keyboard;
    else if (SpeedButtonTrackMouseRec->isChecked()) ctx.mode = RecMode::Mouse;
    else if (SpeedButtonRgbRec->isChecked()) ctx.mode = RecMode::ColourArea;
    ctx.curStep = ShowClockInstance().CurStep;
    ctx.delaySteps = ScroliBarDelayBit->value();
    ctx.flash = SpeedButtonAdnOFF->isChecked();
    ctx.newStartEnabled = FormMaim && FormMaim->sbNewStart && FormMaim->sbNewStart->isEnabled();
    return ctx;
}

void TFormSound::FormKeyDown(int Key) {
    if (Key > 0) emulKeyDown(Key);
}

void TFormSound::emulKeyDown(int Key) {
    ShowData& d = ShowDataInstance();
    LiveKeyState& s = LiveKeyStateInstance();
    const KeyAction a = spirelo::emulKeyDown(d, s, keyContext(), Key);
    if (a.restart) {
        NewStartCopy();
        ClearDmxBuffers(d);
    }
    if (a.bankButton) {
        SetButtonNaborKey(a.bankButton);
        PaintCaseKey();
    }
    if (a.fired) lbTest->setText(QString::fromStdString(LiveKeyText(s)));
    if (a.mouseChoice) {
        ScrollBarScenaMouse->setValue(a.mouseScene);
        ScrollBarSeqMouse->setValue(a.mouseSeq);
    }
}

void TFormSound::SetButtonNaborKey(int bank) {
    if (bank >= 1 && bank <= 7) SpeedButtonKit[bank]->setChecked(true);
}

void TFormSound::SpeedButtonKitClick(int n) {
    ChooseBank(ShowDataInstance(), n);
    PaintCaseKey();
    sbPlusScenaRec->setChecked(false);
    GroupBoxVisKey->update();
}

void TFormSound::RadioGroupKitKeyClick() {
    ShowData& d = ShowDataInstance();
    sbPlusScenaRec->setChecked(false);
    ChooseKit(d, RadioGroupKitKey->itemIndex());
    SpeedButtonKit[1]->setChecked(true);
    PaintCaseKey();
    LabelKeyNom->setText(QString("%1 - %2").arg(CurrentKit(d) + 1).arg(CurrentBankOffset(d) / kBankKeys + 1));
    GroupBoxVisKey->update();
}

void TFormSound::PaintCaseKey() {
    ShowData& d = ShowDataInstance();
    LabelKeyNom->setText(QString::fromStdString(KeyBankText(d)));
    RadioGroupKitKey->setItemIndex(CurrentKit(d));
    const QColor background = GroupBoxVisKey->palette().window().color();
    for (int letter = 0; letter < 26; ++letter) {
        DrawKeyTile(TileBitmap, PaintButtonText(d, 'A' + letter), background);
        PaintBoxKey[letter]->CopyBitmap(TileBitmap);
    }
}

void TFormSound::TileMouseDown(int letter, Qt::MouseButton button) {
    LiveKeyStateInstance().KeyTileLetter = letter;
    if (button == Qt::LeftButton) {
        AssignPaintBox();
        emulKeyDown(letter);
        PaintCaseKey();
    } else if (button == Qt::RightButton) {
        ReturnKeyPipe(letter);
    }
}

void TFormSound::ShapeSpaceMouseDown() { emulKeyDown(kVkSpace); }

void TFormSound::shp_kavMouseDown() { StopLastSequens(ShowDataInstance(), ShowClockInstance().CurStep); }

void TFormSound::AssignPaintBox() {
    ShowData& d = ShowDataInstance();
    if (spirelo::AssignPaintBox(d, LiveKeyStateInstance(), RecordTrack(d), sbPlusScenaRec->isChecked())) return;
    SpeedButtonCloseWIN->show();
    GroupBoxVisKey->hide();
    PaintBoxAssign->show();
    PaintBoxAssign->raise();
    PaintBoxAssignPaint();
}

void TFormSound::PaintBoxAssignPaint() {
    if (PaintBoxAssign->isHidden()) return;
    ShowData& d = ShowDataInstance();
    const LiveKeyState& s = LiveKeyStateInstance();
    const int t = RecordTrack(d);
    LoadPanelFromKey(d, t, PanelKey(d, s));
    DrawAssignPanel(AssignBitmap, BuildPanelModel(d, s, t), PaintBoxAssign->parentWidget()->palette().window().color());
    PaintBoxAssign->CopyBitmap(AssignBitmap);
}

void TFormSound::PaintBoxAssignMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x, int y) {
    ShowData& d = ShowDataInstance();
    PanelMouseMove(d, LiveKeyStateInstance(), RecordTrack(d), x, y, ModifierBits(mods), ButtonBits(buttons));
    PaintBoxAssignPaint();
}

void TFormSound::PaintBoxAssignMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    ShowData& d = ShowDataInstance();
    PanelMouseDown(d, LiveKeyStateInstance(), RecordTrack(d), button == Qt::RightButton, x, y, ModifierBits(mods),
                   ButtonBits(button));
    PaintBoxAssignPaint();
}

void TFormSound::ReturnKeyPipe(int Letter) {
    ShowData& d = ShowDataInstance();
    int run = -1;
    spirelo::ReturnKeyPipe(d, LiveKeyStateInstance(), RecordTrack(d), Letter, &run);
    if (run >= 0 && FormSequenser && FormSequenser->ScrollBarScenaRun) FormSequenser->ScrollBarScenaRun->setValue(run);
}

void TFormSound::SpeedButtonCloseWINClick() {
    SpeedButtonCloseWIN->hide();
    PaintBoxAssign->hide();
    PaintCaseKey();   // the tiles show what the panel bound
    GroupBoxVisKey->show();
}

void TFormSound::runBankOp(int op) {
    ShowData& d = ShowDataInstance();
    const int mode = RadioGroupNewMode->itemIndex() < 0 ? 0 : RadioGroupNewMode->itemIndex();
    if (RunBankOp(d, BankOp(op), mode, ScrollBarNewSeq->value())) PaintCaseKey();
}

void TFormSound::sbNewModeClick() { runBankOp(int(BankOp::SetMode)); }
void TFormSound::sbRecScenaClick() { runBankOp(int(BankOp::SetSeq)); }
void TFormSound::sbClearKeyBufClick() { runBankOp(int(BankOp::ClearBank)); }
void TFormSound::SpeedButtonClearAllClick() { runBankOp(int(BankOp::ClearKit)); }

void TFormSound::sbKeyCopyClick() {
    CopyBank(ShowDataInstance(), LiveKeyStateInstance());
    sbKeyPaste->setEnabled(true);
}

void TFormSound::sbKeyPasteClick() {
    PasteBank(ShowDataInstance(), LiveKeyStateInstance());
    PaintCaseKey();
}

void TFormSound::sbPlusScenaRecClick() {
    if (!sbPlusScenaRec->isChecked()) GroupBoxVisKey->update();
}

void TFormSound::ScrollBarNewSeqChange() { LabelNewSeq->setText(QString::number(ScrollBarNewSeq->value() + 1)); }
