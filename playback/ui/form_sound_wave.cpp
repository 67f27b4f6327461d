// The waveform view (envelope, play cursor, hover line, restart mark, selection mouse) and the
// effect timeline of the Effects page.
#include "playback/ui/form_sound.h"

#include "common/ui/qt_helpers.h"
#include "core/show_data.h"
#include "core/ui/form_maim.h"
#include "dmx/areas.h"
#include "platform/audio.h"
#include "playback/show_clock.h"
#include "playback/show_tick.h"
#include "playback/effect_editor.h"
#include "playback/sound_view.h"
#include "playback/ui/track_paint.h"

#include <QPainter>

using namespace spirelo;

namespace {

QColor C(uint32_t v) { return ColorFromValue(v); }

void LineText(QPainter& p, int lineX, int y, int width, uint32_t colour, const std::string& text) {
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(C(colour));
    p.drawText(LineTextX(lineX, width), y + p.fontMetrics().ascent(), QString::fromStdString(text));
}

}  // namespace

void TFormSound::DrawWaveEnvelopes() {
    ShowData& d = ShowDataInstance();
    ShowClock& clk = ShowClockInstance();
    if (!EnvelopeRedrawDue(d.ScanProgress, clk.BytesPerPixel) || EnvelopeBitmap.isNull()) return;
    const TDrawColors& colours = DrawColorsInstance();
    const int w = EnvelopeBitmap.width(), h = EnvelopeBitmap.height();
    EnvelopeBitmap.fill(C(colours.ColorBrushEnvelope));
    QPainter p(&EnvelopeBitmap);
    if (clk.SelectionStartPixel != 0 && clk.SelectionEndPixel != 0) {
        const int a = std::min(clk.SelectionStartPixel, clk.SelectionEndPixel);
        const int b = std::max(clk.SelectionStartPixel, clk.SelectionEndPixel);
        p.fillRect(QRect(QPoint(a, 0), QPoint(std::min(b, w), h)), C(colours.ColorBackGroundSelect));
    }
    p.setPen(C(colours.ColorPenEnvelope));
    const int n = int(std::min<size_t>(clk.PeakLeft.size(), clk.PeakRight.size()));
    for (int x = 0; x < n && x < w; ++x) {
        const EnvelopeColumn c = EnvelopeAt(clk.PeakLeft[size_t(x)], clk.PeakRight[size_t(x)], h);
        p.drawLine(x, c.yMid, x, c.yTop);
        p.drawLine(x, c.yMid + 2, x, c.yBottom);
    }
}

void TFormSound::DrawWaveForm() {
    ShowClock& clk = ShowClockInstance();
    if (clk.BytesPerPixel < 3 || WaveBitmap.isNull()) return;
    WaveViewState& wv = WaveViewStateInstance();
    const TDrawColors& colours = DrawColorsInstance();
    WaveBitmap = EnvelopeBitmap.copy();
    const int w = WaveBitmap.width();
    QPainter p(&WaveBitmap);
    const bool texts = CheckBoxTimeTogethe->isChecked();
    // Play cursor.
    uint64_t pos = clk.SoundChannel ? BASS_ChannelGetPosition(clk.SoundChannel, BASS_POS_BYTE) : 0;
    if (pos == kAudioBadPosition) pos = 0;
    wv.PlayCursorX = int(uint32_t(pos) / uint32_t(clk.BytesPerPixel));
    p.setPen(C(colours.ColorRealLine));
    p.drawLine(wv.PlayCursorX, 0, wv.PlayCursorX, 115);
    if (texts) LineText(p, wv.PlayCursorX, 0, w, colours.ColorRealLine, timeTostr(clk.CurStep));
    // The user line following the pointer.
    if (wv.WaveHoverX < 3000) {
        FollowHoverLine(wv);
        p.setPen(C(colours.ColorUserWave));
        p.drawLine(wv.WaveHoverLineX, 1, wv.WaveHoverLineX, 115);
        if (texts) LineText(p, wv.WaveHoverLineX, 45, w, colours.ColorUserWave,
                            timeTostr(PixelToStep(wv.WaveHoverLineX, clk)));
    }
    // Restart mark.
    if (clk.NewStartPixel < 3000) {
        p.setPen(QColor(255, 0, 255));
        p.drawLine(clk.NewStartPixel, 1, clk.NewStartPixel, 115);
        if (texts) LineText(p, clk.NewStartPixel, 100, w, 0xFF00FF, timeTostr(PixelToStep(clk.NewStartPixel, clk)));
    }
    p.end();
    PaintBoxGraficWave->CopyBitmap(WaveBitmap);
}

void TFormSound::DrawTrackCursor() {
    // The track picture (drawn by the track views) with the play cursor over it.
    if (TrackBitmap.isNull()) return;
    TrackBitmap2 = TrackBitmap.copy();
    QPainter p(&TrackBitmap2);
    p.setPen(C(DrawColorsInstance().ColorRealLine));
    const int x = WaveViewStateInstance().PlayCursorX;
    p.drawLine(x, 0, x, 128);
    p.end();
    PaintBoxGistoTrack->CopyBitmap(TrackBitmap2);
}

void TFormSound::DrawEffectView() {
    if (EffectBitmap.isNull()) return;
    ShowClock& clk = ShowClockInstance();
    WaveViewState& wv = WaveViewStateInstance();
    const TDrawColors& colours = DrawColorsInstance();
    if (clk.EffectHoverCountdown > 1) --clk.EffectHoverCountdown;
    EffectViewInputs in;
    in.current = ScrollBarNomberEffect->value();
    in.drag = EffectDragViewOf(clk.EffectDrag);
    in.playCursorX = wv.PlayCursorX;
    in.hoverLine = wv.WaveHoverX < 3000;
    in.hoverLineX = wv.WaveHoverLineX;
    in.realLineColour = colours.ColorRealLine;
    in.userLineColour = colours.ColorUserWave;
    {
        QPainter p(&EffectBitmap);
        if (PaintEffectView(p, ShowDataInstance(), clk, in, EffectBitmap.width(), EffectBitmap.height()))
            wv.EffectHintHold = 10;
    }
    PaintBoxEffect->CopyBitmap(EffectBitmap);
}

// ---- Waveform mouse ---------------------------------------------------------------------------

namespace {

void ApplyWaveAction(TFormSound* w, const WaveAction& a) {
    ShowClock& clk = ShowClockInstance();
    if (a.enableNewStart && FormMaim && FormMaim->sbNewStart) FormMaim->sbNewStart->setEnabled(true);
    if (a.showSpace) {
        w->LabelSpace->show();
        w->ShapeSpace->show();
    }
    if (a.effectRecordButton >= 0) w->SpeedButtonEffectRecord->setVisible(a.effectRecordButton == 1);
    if (a.delTrackSelect >= 0) w->SpeedButtonDelTrackSelect->setEnabled(a.delTrackSelect == 1);
    if (a.seek && clk.SoundChannel) BASS_ChannelSetPosition(clk.SoundChannel, a.seekByte, BASS_POS_BYTE);
    if (a.play) w->SoundPlay();
}

}  // namespace

void TFormSound::PaintBoxGraficWaveMouseDown(Qt::MouseButton button, int x, int /*y*/) {
    ShowClock& clk = ShowClockInstance();
    int32_t& scan = ShowDataInstance().ScanProgress;
    if (button == Qt::RightButton) ApplyWaveAction(this, WaveRightPress(clk, WaveViewStateInstance(), scan, x));
    else if (button == Qt::LeftButton)
        ApplyWaveAction(this, WaveLeftPress(clk, WaveViewStateInstance(), scan, x, CheckBoxPlaySynxro->isChecked()));
}

void TFormSound::PaintBoxGraficWaveMouseMove(int x, int y) {
    ApplyWaveAction(this, WaveMove(ShowClockInstance(), WaveViewStateInstance(), ShowDataInstance().ScanProgress,
                                   x, y, PaintBoxGraficWave->width(), PaintBoxGraficWave->height()));
}

void TFormSound::PaintBoxGraficWaveMouseUp() {
    WaveRelease(WaveViewStateInstance(), ShowDataInstance().ScanProgress);
}

void TFormSound::SpeedButtonAllselectClick() {
    ApplyWaveAction(this, WaveSelectAll(ShowClockInstance(), WaveViewStateInstance(), ShowDataInstance().ScanProgress));
}

void TFormSound::SpeedButtonResetLengClick() {
    ApplyWaveAction(this, WaveResetLeng(ShowClockInstance(), WaveViewStateInstance(), ShowDataInstance().ScanProgress));
}
