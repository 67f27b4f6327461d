// The Tracks and Effects pages' pictures from the logic's view models, kept apart from the
// window so the bench links them alone.
#include "playback/ui/track_paint.h"

#include "common/ui/qt_helpers.h"

#include <QImage>

#include <algorithm>

namespace spirelo {

namespace {

QColor C(uint32_t v) { return ColorFromValue(v); }

void BoldTexts(QPainter& p, const std::vector<TextLine>& lines, const QColor& colour) {
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    const int ascent = p.fontMetrics().ascent();
    for (const TextLine& l : lines) p.drawText(l.x, l.y + ascent, QString::fromStdString(l.text));
}

void CursorLines(QPainter& p, int shiftX, int height) {
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(kCursorX, 1, kCursorX, height - 1);
    p.setPen(QPen(Qt::yellow, 1));
    p.drawLine(shiftX, 1, shiftX, height - 1);
}

}  // namespace

void PaintRecordView(QPainter& p, const RecordViewModel& m, int width, int height) {
    p.fillRect(0, 0, width, height, Qt::black);
    CursorLines(p, m.shiftX, height);
    const QColor silver(0xC0, 0xC0, 0xC0), aqua(0, 255, 255);
    QPoint prev(16, m.firstY);
    for (const RecordColumn& c : m.columns) {
        if (c.kind == RecordColumn::Blank) {
            const QPoint end(c.x + 5, 125);
            p.setPen(QPen(aqua, 1));
            p.drawLine(QPoint(c.x - 10, 3), end);
            p.drawLine(QPoint(c.x - 3, 115), end);
            p.drawLine(QPoint(c.x + 12, 115), end);
            prev = end;
            continue;
        }
        p.setPen(QPen(silver, 1));
        p.setBrush(C(c.colour));
        p.drawRect(c.x - 4, c.y - 4, 8, 8);
        p.drawLine(prev, QPoint(c.x, c.y));
        prev = QPoint(c.x, c.y);
    }
    p.setBrush(Qt::NoBrush);
    BoldTexts(p, m.texts, Qt::white);
    BoldTexts(p, m.hover, aqua);
}

void PaintWatchedView(QPainter& p, const WatchedViewModel& m, int width, int height) {
    p.fillRect(0, 0, width, height, Qt::black);
    CursorLines(p, m.shiftX, height);
    const QPen lime(QColor(0, 255, 0), 1), grey(QColor(128, 128, 128), 1);
    for (size_t k = 1; k < m.x.size(); ++k) {
        p.setPen(m.grey[k] ? grey : lime);
        p.drawLine(m.x[k - 1], m.y[k - 1], m.x[k], m.y[k]);
    }
    BoldTexts(p, m.texts, Qt::white);
}

void PaintGisto(QPainter& p, const std::vector<GistoLayer>& layers, int width, int height) {
    // Intervals are filled column by column into a column-major buffer (contiguous runs), then
    // turned into scan lines once: filling a row-major picture column-wise misses the cache on
    // every pixel.
    const QRgb black = qRgb(0, 0, 0);
    std::vector<QRgb> columns(size_t(width) * size_t(height), black);
    for (const GistoLayer& l : layers) {
        const QRgb colour = C(l.colour).rgb();
        const int n = std::min<int>(width, int(l.top.size()));
        for (int x = 0; x < n; ++x) {
            const int top = std::max<int>(l.top[size_t(x)], 0);
            if (l.top[size_t(x)] < 0) continue;
            const int bottom = std::min<int>(l.bottom[size_t(x)], height - 1);
            if (bottom < top) continue;
            QRgb* column = columns.data() + size_t(x) * size_t(height);
            std::fill(column + top, column + bottom + 1, colour);
        }
    }
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = columns[size_t(x) * size_t(height) + size_t(y)];
    }
    p.drawImage(0, 0, img);
}

}  // namespace spirelo

namespace spirelo {

bool PaintEffectView(QPainter& p, const ShowData& d, const ShowClock& clk, const EffectViewInputs& in, int width,
                     int height) {
    p.fillRect(0, 0, width, height, Qt::black);
    for (int e = 0; e < kEffects; ++e) {
        p.setPen(QPen(e == in.current ? Qt::white : QColor(0x80, 0x80, 0x80), 1, Qt::DotLine));
        p.drawLine(3, kEffectRowHeight * e + 2, width - 3, kEffectRowHeight * e + 2);
    }
    for (int e = 0; e < kEffects; ++e) {
        const EffectLane l = EffectLaneOf(d, clk, e, in.drag);
        if (!l.drawn) continue;
        p.setPen(QPen(ColorFromValue(l.color), l.width, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(l.x1, l.y, l.x2, l.y);
    }
    bool hint = false;
    for (int e = 0; e < kEffects; ++e) {
        const EffectHint h = EffectHintOf(d, clk, e, width);
        if (!h.shown) continue;
        hint = true;
        const int x1 = EffectStepToX(d.EffectStart[e], clk), x2 = EffectStepToX(d.EffectFinish[e], clk);
        const int y = kEffectRowHeight * e;
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(x1 - 1, y + 1, x2 + 1, y + 1);
        p.drawLine(x1 - 1, y + 4, x2 + 1, y + 4);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(x1 - 1, y - 5, x1 - 1, y + 12);
        p.drawLine(x2 + 1, y - 5, x2 + 1, y + 12);
        QFont f = p.font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0, 255, 255));
        for (size_t i = 0; i < h.lines.size(); ++i)
            p.drawText(h.textX, h.textY + int(15 * i) + p.fontMetrics().ascent(), QString::fromStdString(h.lines[i]));
    }
    p.setPen(QPen(ColorFromValue(in.realLineColour), 1));
    p.drawLine(in.playCursorX, 1, in.playCursorX, 390);
    if (in.hoverLine) {
        p.setPen(QPen(ColorFromValue(in.userLineColour), 1));
        p.drawLine(in.hoverLineX, 1, in.hoverLineX, 390);
    }
    return hint;
}

}  // namespace spirelo
