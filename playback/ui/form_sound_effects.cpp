// The Effects page: the editor's controls, the copy container and the drag on the timeline.
#include "playback/ui/form_sound.h"

#include "common/ui/qt_helpers.h"
#include "core/show_data.h"
#include "core/text_routines.h"
#include "platform/message_service.h"
#include "playback/effect_editor.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/sound_view.h"
#include "playback/track_edit.h"
#include "playback/ui/track_paint.h"

#include <algorithm>

using namespace spirelo;


namespace {

int CurrentEffect(const TFormSound* w) { return std::clamp(w->ScrollBarNomberEffect->value(), 0, kEffects - 1); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void TFormSound::ReturnEffectData() {
    ShowData& d = ShowDataInstance();
    ShowClock& clk = ShowClockInstance();
    const int n = CurrentEffect(this);
    d.TrackEditState[12] = n;
    editNameEffect->setText(Q(NameForEdit(EffectNameText(d, n))));
    SpeedButtonClearEffect->setToolTip(QString("Clear Effect %1").arg(n + 1));
    lblEffectNomber->setText(QString("Effect %1").arg(n + 1));
    ScrollBarEffectNombSeq->setValue(std::clamp<int>(d.EffectSeq[n], 0, 63));
    ScrollBarEffectTime->setValue(std::clamp(d.EffectTime[n], 1, 254));
    ScrollBarEffectLevel->setValue(std::clamp(d.EffectLevel[n], 0, 511));
    const int kind = d.EffectKind[n];
    RadioGroupEffectOnOff->setItemIndex(kind);
    ScrollBarEffectNombSeqChange();
    RepaintLabelTime();
    RepaintLabelMulty();
    ShowEffectSpan();
    clk.SelectionStartStep = d.EffectStart[n];
    clk.SelectionEndStep = d.EffectFinish[n];
    const EffectPanel panel = EffectPanelOf(kind, ScrollBarEffectTime->value(), ScrollBarEffectLevel->value());
    ScrollBarEffectLevel->setVisible(panel.levelShown);
    LabelEffLevel->setVisible(panel.levelShown);
    ScrollBarEffectTime->setVisible(panel.timeShown);
    lblEffTime->setVisible(panel.timeShown);
    ScrollBarEffectNombSeq->setVisible(panel.seqShown);
    lblEffSeqNomb->setVisible(panel.seqShown);
    lblEffSeqName->setVisible(panel.seqShown);
    pbVibrato->setVisible(panel.vibratoShown);
    ScrollBarEffectTime->setFixedWidth(panel.timeWidth);
}

void TFormSound::ShowEffectSpan() {
    const ShowData& d = ShowDataInstance();
    const int n = CurrentEffect(this);
    LabelstartEffect->setText(Q("Start  " + timeTostr(d.EffectStart[n])));
    lblFinishEffect->setText(Q("Finish " + timeTostr(d.EffectFinish[n])));
}

void TFormSound::RepaintLabelTime() {
    const int kind = ShowDataInstance().EffectKind[CurrentEffect(this)];
    lblEffTime->setText(Q(EffectPanelOf(kind, ScrollBarEffectTime->value(), ScrollBarEffectLevel->value()).timeLabel));
}

void TFormSound::RepaintLabelMulty() {
    const int kind = ShowDataInstance().EffectKind[CurrentEffect(this)];
    LabelEffLevel->setText(Q(EffectPanelOf(kind, ScrollBarEffectTime->value(), ScrollBarEffectLevel->value()).levelLabel));
}

void TFormSound::EnableRecEffect() {
    SpeedButtonEffectRecord->setVisible(spirelo::EnableRecEffect(ShowDataInstance(), CurrentEffect(this)));
}

// ---- Editing rules --------------------------------------------------------------------------

void TFormSound::ScrollBarNomberEffectChange() {
    ReturnEffectData();
    EnableRecEffect();
}

void TFormSound::ScrollBarNomberEffectScroll() {
    ShowDataInstance().TrackEditState[12] = ScrollBarNomberEffect->sliderPosition();
}

void TFormSound::RadioGroupEffectOnOffClick() {
    ShowData& d = ShowDataInstance();
    d.EffectKind[CurrentEffect(this)] = uint8_t(std::clamp(RadioGroupEffectOnOff->itemIndex(), 0, 6));
    EnableRecEffect();
    ReturnEffectData();
}

void TFormSound::editNameEffectChange() {
    RecordNameEffect(ShowDataInstance(), CurrentEffect(this), editNameEffect->text().toStdString());
}

void TFormSound::ScrollBarEffectNombSeqChange() {
    ShowData& d = ShowDataInstance();
    const int q = ScrollBarEffectNombSeq->value();
    lblEffSeqNomb->setText(QString("Seq %1").arg(q + 1));
    lblEffSeqName->setText(Q(SeqNameText(d, q)));
}

// A user scroll writes the bar only into an effect that is on and has a span.
template <typename Write>
static void EffectBarScroll(TFormSound* w, Write write) {
    ShowData& d = ShowDataInstance();
    const int n = CurrentEffect(w);
    w->EnableRecEffect();
    if (EffectScrollWrites(d, n)) write(d, n);
}

void TFormSound::ScrollBarEffectNombSeqScroll() {
    const int v = ScrollBarEffectNombSeq->sliderPosition();
    EffectBarScroll(this, [v](ShowData& d, int n) { d.EffectSeq[n] = uint8_t(v); });
}

void TFormSound::ScrollBarEffectTimeChange() { RepaintLabelTime(); }

void TFormSound::ScrollBarEffectTimeScroll() {
    const int v = ScrollBarEffectTime->sliderPosition();
    EffectBarScroll(this, [v](ShowData& d, int n) { d.EffectTime[n] = v; });
}

void TFormSound::ScrollBarEffectLevelChange() { RepaintLabelMulty(); }

void TFormSound::ScrollBarEffectLevelScroll() {
    const int v = ScrollBarEffectLevel->sliderPosition();
    EffectBarScroll(this, [v](ShowData& d, int n) { d.EffectLevel[n] = v; });
}

void TFormSound::SpeedButtonEffectRecordClick() {
    EffectValues v;
    v.kind = std::clamp(RadioGroupEffectOnOff->itemIndex(), 0, 6);
    v.seq = ScrollBarEffectNombSeq->value();
    v.time = ScrollBarEffectTime->value();
    v.level = ScrollBarEffectLevel->value();
    v.name = editNameEffect->text().toStdString();
    if (!RecordToEffect(ShowDataInstance(), ShowClockInstance(), CurrentEffect(this), v)) return;
    ShowEffectSpan();
    SpeedButtonEffectRecord->hide();
}

void TFormSound::SpeedButtonClearEffectClick() {
    const int n = CurrentEffect(this);
    if (Messages().question(ClearEffectQuestion(n)) == Answer::No) return;
    ResetEffect(ShowDataInstance(), n);
    ReturnEffectData();
}

void TFormSound::SpeedButtonClearAlleffectsClick() {
    if (Messages().question(ClearAllEffectsQuestion()) == Answer::No) return;
    ClearAllEffects(ShowDataInstance());
    ReturnEffectData();
}

void TFormSound::SpeedButtonCopyToKontainerClick() {
    EffectKontainerInstance().CopyAll(ShowDataInstance());
    SpeedButtonPasteFromKontainer->setEnabled(true);
}

void TFormSound::SpeedButtonPasteFromKontainerClick() {
    if (Messages().question(PasteAllEffectsQuestion(CurrentEffect(this))) == Answer::No) return;
    EffectKontainerInstance().PasteAll(ShowDataInstance());
    ReturnEffectData();
}

void TFormSound::SpeedButtonCopyEffctClick() {
    EffectKontainerInstance().CopyOne(ShowDataInstance(), CurrentEffect(this));
    SpeedButtonPasteEffct->setEnabled(true);
}

void TFormSound::SpeedButtonPasteEffctClick() {
    EffectKontainerInstance().PasteOne(ShowDataInstance(), CurrentEffect(this));
    ReturnEffectData();
}

// ---- Timeline drag --------------------------------------------------------------------------

namespace {

Qt::CursorShape CursorOf(EffectDragMode m) {
    switch (m) {
    case EffectDragMode::Move: return Qt::SizeAllCursor;
    case EffectDragMode::Resize: return Qt::SizeHorCursor;
    default: return Qt::ArrowCursor;
    }
}

}  // namespace

void TFormSound::PaintBoxEffectMouseDown(Qt::MouseButton button, int x, int y) {
    ShowClock& clk = ShowClockInstance();
    const int e = EffectPress(ShowDataInstance(), clk, clk.EffectDrag, button == Qt::LeftButton,
                              button == Qt::RightButton, x, y);
    if (e < 0) return;
    if (button == Qt::LeftButton) {
        if (ScrollBarNomberEffect->value() != e) ScrollBarNomberEffect->setValue(e);
        else ReturnEffectData();
    }
    PaintBoxEffect->setCursor(CursorOf(clk.EffectDrag.mode));
}

void TFormSound::PaintBoxEffectMouseMove(int x, int y) {
    ShowClock& clk = ShowClockInstance();
    clk.EffectHoverX = x;
    clk.EffectHoverY = y;
    clk.EffectHoverCountdown = 300;
    EffectMove(ShowDataInstance(), clk, clk.EffectDrag, x);
}

void TFormSound::PaintBoxEffectMouseUp() {
    ShowClock& clk = ShowClockInstance();
    const int e = clk.EffectDrag.effect;
    if (EffectRelease(ShowDataInstance(), clk.EffectDrag) && e == CurrentEffect(this)) ReturnEffectData();
    PaintBoxEffect->setCursor(CursorOf(clk.EffectDrag.mode));
}

// ---- Connections ----------------------------------------------------------------------------

void TFormSound::connectEffectsPage() {
    auto click = [this](QToolButton* b, void (TFormSound::*h)()) { connect(b, &QToolButton::clicked, this, h); };
    auto scroll = [this](QScrollBar* s, void (TFormSound::*h)()) {
        connect(s, &QScrollBar::actionTriggered, this, [this, h](int) { (this->*h)(); });
    };
    auto change = [this](QScrollBar* s, void (TFormSound::*h)()) {
        connect(s, &QScrollBar::valueChanged, this, [this, h](int) { (this->*h)(); });
    };
    change(ScrollBarNomberEffect, &TFormSound::ScrollBarNomberEffectChange);
    scroll(ScrollBarNomberEffect, &TFormSound::ScrollBarNomberEffectScroll);
    change(ScrollBarEffectNombSeq, &TFormSound::ScrollBarEffectNombSeqChange);
    scroll(ScrollBarEffectNombSeq, &TFormSound::ScrollBarEffectNombSeqScroll);
    change(ScrollBarEffectTime, &TFormSound::ScrollBarEffectTimeChange);
    scroll(ScrollBarEffectTime, &TFormSound::ScrollBarEffectTimeScroll);
    change(ScrollBarEffectLevel, &TFormSound::ScrollBarEffectLevelChange);
    scroll(ScrollBarEffectLevel, &TFormSound::ScrollBarEffectLevelScroll);
    connect(RadioGroupEffectOnOff, &SoundRadioGroup::clicked, this, &TFormSound::RadioGroupEffectOnOffClick);
    connect(editNameEffect, &QLineEdit::textChanged, this, [this] { editNameEffectChange(); });
    click(SpeedButtonEffectRecord, &TFormSound::SpeedButtonEffectRecordClick);
    click(SpeedButtonClearEffect, &TFormSound::SpeedButtonClearEffectClick);
    click(SpeedButtonClearAlleffects, &TFormSound::SpeedButtonClearAlleffectsClick);
    click(SpeedButtonCopyToKontainer, &TFormSound::SpeedButtonCopyToKontainerClick);
    click(SpeedButtonPasteFromKontainer, &TFormSound::SpeedButtonPasteFromKontainerClick);
    click(SpeedButtonCopyEffct, &TFormSound::SpeedButtonCopyEffctClick);
    click(SpeedButtonPasteEffct, &TFormSound::SpeedButtonPasteEffctClick);
    connect(PaintBoxEffect, &SoundPaintBox::mouseDown, this,
            [this](Qt::MouseButton b, int x, int y, Qt::KeyboardModifiers) { PaintBoxEffectMouseDown(b, x, y); });
    connect(PaintBoxEffect, &SoundPaintBox::mouseMove, this,
            [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { PaintBoxEffectMouseMove(x, y); });
    connect(PaintBoxEffect, &SoundPaintBox::mouseUp, this, [this](Qt::MouseButton, int, int) { PaintBoxEffectMouseUp(); });
}
