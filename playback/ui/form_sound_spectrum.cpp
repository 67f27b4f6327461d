// The sound window's spectrum page (page 0 "BPM"): the analysis on every show tick and its
// three drawings.
#include "playback/ui/form_sound.h"

#include <QPainter>
#include <QPixmap>

#include "common/ui/qt_helpers.h"
#include "core/ui/form_maim.h"
#include "platform/audio.h"
#include "playback/show_tick.h"
#include "playback/spectrum.h"

using namespace spirelo;

namespace {

void FillColumn(QPainter& p, int k, int yTop, int yBottom, const QColor& colour) {
    if (yTop > yBottom) return;
    p.fillRect(QRect(QPoint(SpectrumColumnLeft(k), yTop), QPoint(SpectrumColumnRight(k), yBottom)), colour);
}

// The picture of a box, the size of the box.
QPixmap& Canvas(QPixmap& pm, const SoundPaintBox* box) {
    if (pm.size() != box->size()) pm = QPixmap(box->size());
    pm.fill(Qt::black);
    return pm;
}

}  // namespace

void TFormSound::CalculateFFT() {
    // With the pause button down the last picture stays.
    if (FormMaim && FormMaim->SpeedButtonModePause && FormMaim->SpeedButtonModePause->isChecked()) return;
    const AudioHandle ch = ShowClockInstance().SoundChannel;

    // The magnitudes the tick asks for just before; a failed read is silence.
    float fft[kFftBins] = {};
    if (BASS_ChannelGetData(ch, fft, BASS_DATA_FFT256) == kAudioBadData)
        for (float& v : fft) v = 0.0f;
    SpectrumInput in;
    in.Fft = fft;
    int16_t samples[8] = {};
    const uint32_t got = BASS_ChannelGetData(ch, samples, 16);
    in.SampleOk = got != kAudioBadData && got >= 4;
    in.SecondSample = samples[1];
    in.Level = BASS_ChannelGetLevel(ch);
    in.LevelOk = BASS_ErrorGetCode() == kAudioOk;

    SpectrumControls c;
    c.Decay = ScrollBarDecay->value();
    c.Mid = ScrollBarMid->value();
    c.Margin = ScrollBar2->value();
    c.GainThreshold = trckbrGain->value();
    c.Agc = SpeedButtonAGC->isChecked();

    SpectrumState& s = SpectrumInstance();
    const SpectrumOutput out = spirelo::CalculateFFT(s, in, c);
    SetProgress(ProgressBarDown, out.ProgressBarDown);
    SetProgress(ProgressBarMidl, out.ProgressBarMidl);
    lblGain->setText(QStringLiteral("lev  ") + QString::number(s.LevelSlow));
    lbl2->setText(QStringLiteral("koef ") + QString::number(s.LevelKoef));
    SetProgress(pbGain, out.PbGain);
    SetProgress(pbGainPlav, out.PbGainPlav);
    if (out.SetGainThreshold) trckbrGain->setValue(out.GainThreshold);   // the bar keeps 1..35

    // Drawn only while the BPM page is shown.
    if (PageControl && PageControl->currentIndex() == 0) {
        PaintBoxSpectrPaint();
        PaintBoxBPMPaint();
        PaintBoxCubePaint();
    }
}

void TFormSound::trckbrFFTbpmChange() {
    const int v = trckbrFFTbpm->value();
    SpectrumInstance().FftBarIndex = v;
    ShowDataInstance().TrackEditState[10] = v;
}

void TFormSound::PaintBoxSpectrPaint() {
    if (!PaintBoxSpectr) return;
    const SpectrumState& s = SpectrumInstance();
    QPixmap& pm = Canvas(SpectrBitmap, PaintBoxSpectr);
    {
        QPainter p(&pm);
        for (int k = 0; k < kFftDrawnColumns; ++k)
            FillColumn(p, k, kSpectrumHeight - s.SpectrumPeak[k], kSpectrumHeight, Qt::white);
        const int x = 11 * s.FftBarIndex - 5;
        p.fillRect(QRect(x - 1, 1, 3, pm.height() - 1), QColor(255, 0, 0));
        const int y = kSpectrumHeight - (trckbrGain ? trckbrGain->value() : 0) / 2;
        p.fillRect(QRect(0, y - 1, pm.width(), 3), QColor(0, 128, 0));
    }
    PaintBoxSpectr->CopyBitmap(pm);
    const ShowTickState& st = ShowTickStateInstance();
    if (pb4) SetProgress(pb4, st.PeakLowSum);
    if (pb5) SetProgress(pb5, st.PeakMidSum);
    if (pb6) SetProgress(pb6, st.PeakHighSum);
}

void TFormSound::PaintBoxBPMPaint() {
    if (!PaintBoxBPM) return;
    const SpectrumState& s = SpectrumInstance();
    QPixmap& pm = Canvas(BPMBitmap, PaintBoxBPM);
    {
        QPainter p(&pm);
        for (int k = 0; k < kFftDrawnColumns; ++k)
            FillColumn(p, k, 127 - 2 * s.BandAverage[k], 127, QColor(0x80, 0x80, 0x80));
    }
    PaintBoxBPM->CopyBitmap(pm);
    const ShowTickState& st = ShowTickStateInstance();
    if (pb1) SetProgress(pb1, st.BandLowSum);
    if (pb2) SetProgress(pb2, st.BandMidSum);
    if (pb3) SetProgress(pb3, st.BandHighSum);
}

void TFormSound::PaintBoxCubePaint() {
    if (!PaintBoxCube) return;
    const SpectrumState& s = SpectrumInstance();
    QPixmap& pm = Canvas(CubeBitmap, PaintBoxCube);
    {
        QPainter p(&pm);
        for (int k = 0; k < kFftDrawnColumns; ++k) {
            if (s.BeatFlag[k]) FillColumn(p, k, 115, 125, QColor(0, 128, 0));
            const int top = 10 * s.BeatPhase[k];
            FillColumn(p, k, top, top + 10, QColor(255, 0, 0));
        }
    }
    PaintBoxCube->CopyBitmap(pm);
}
