#include "playback/ui/key_drawing.h"

#include "common/ui/qt_helpers.h"
#include "playback/scene_input.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>

namespace spirelo {

void DrawTextAt(QPainter& p, int x, int y, const QString& text) {
    p.drawText(x, y + p.fontMetrics().ascent(), text);
}

namespace {

// The empty tile, drawn once per background: the rounded outline is the slow part.
const QPixmap& TileFrame(const QColor& background, qreal dpr) {
    static QPixmap frame;
    static QRgb frameBackground = 0;
    if (frame.isNull() || frameBackground != background.rgba() || frame.devicePixelRatio() != dpr) {
        frame = QPixmap(QSize(70, 70) * dpr);
        frame.setDevicePixelRatio(dpr);
        frame.fill(background);
        QPainter p(&frame);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(0.5, 0.5, 69, 69), 7.5, 7.5);
        frameBackground = background.rgba();
    }
    return frame;
}

// Laid-out texts, kept between redraws: the tiles and the panel repeat the same few hundred.
const QStaticText& CachedText(const std::string& text, const QFont& font) {
    static QHash<QString, QStaticText> cache;
    if (cache.size() > 4096) cache.clear();
    const QString str = QString::fromStdString(text);
    const QString key = font.key() + QChar(0) + str;
    auto it = cache.find(key);
    if (it == cache.end()) {
        QStaticText st(str);
        st.setTextFormat(Qt::PlainText);
        st.setPerformanceHint(QStaticText::AggressiveCaching);
        st.prepare(QTransform(), font);
        it = cache.insert(key, st);
    }
    return *it;
}

}  // namespace

void DrawKeyTile(QPixmap& tile, const TileText& t, const QColor& background) {
    QPainter p(&tile);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawPixmap(0, 0, TileFrame(background, tile.devicePixelRatio()));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    p.drawStaticText(1, 20, CachedText(t.mode, f));
    if (!t.line2.empty()) p.drawStaticText(1, 35, CachedText(t.line2, f));
    if (!t.line3.empty()) p.drawStaticText(1, 50, CachedText(t.line3, f));
    const QString letter = QString::fromStdString(t.letter);
    const QFontMetrics fm = p.fontMetrics();
    p.fillRect(QRect(3, 3, fm.horizontalAdvance(letter), fm.height()), QColor(0xC0, 0xC0, 0xC0));
    p.setPen(QColor(0, 0x80, 0));
    DrawTextAt(p, 3, 3, letter);
}

void DrawAssignPanel(QPixmap& panel, const PanelModel& m, const QColor& background) {
    panel.fill(background);
    QPainter p(&panel);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(ColorFromValue(kPanelYellow));
    p.drawRoundedRect(QRectF(0.5, 0.5, panel.width() - 1, panel.height() - 1), 10.5, 10.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x80, 0x80, 0x80));
    for (const PanelRect& r : m.cells) {
        p.setBrush(ColorFromValue(r.color));
        p.drawRect(r.x, r.y, r.w - 1, r.h - 1);
    }
    QFont plain = p.font();
    plain.setPointSize(10);
    plain.setBold(false);
    QFont bold = plain;
    bold.setBold(true);
    p.setPen(ColorFromValue(kPanelNavy));
    bool isBold = false;
    p.setFont(plain);
    for (const PanelLabel& t : m.texts) {
        if (t.bold != isBold) {
            isBold = t.bold;
            p.setFont(isBold ? bold : plain);
        }
        p.drawStaticText(t.x, t.y, CachedText(t.text, isBold ? bold : plain));   // placed by its top-left
    }
}

void DrawSceneTable(QPixmap& table, const ShowData& d, int q, int p, const QColor& background) {
    table.fill(background);
    QPainter painter(&table);
    const SpotRows rows = InputSpotRows(d, q);
    for (int n = rows.first; n <= rows.last; ++n) {
        const int y = 1 + 12 * (n - rows.first);
        for (int j = p; j <= p + kInputColumns - 1 && j < kSequencerSteps; ++j) {
            const int x = 1 + 16 * (j - p);
            if (x >= table.width()) break;
            painter.fillRect(x, y, 16, 12, ColorFromValue(InputCellColor(d, q, j, n)));
        }
    }
}

}  // namespace spirelo
