#include "playback/ui/key_drawing.h"

#include "common/ui/qt_helpers.h"
#include "playback/scene_input.h"

#include <QFontMetrics>
#include <QPainter>

namespace spirelo {

void DrawTextAt(QPainter& p, int x, int y, const QString& text) {
    p.drawText(x, y + p.fontMetrics().ascent(), text);
}

void DrawKeyTile(QPixmap& tile, const TileText& t, const QColor& background) {
    tile.fill(background);
    QPainter p(&tile);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.5, 0.5, 69, 69), 7.5, 7.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    DrawTextAt(p, 1, 20, QString::fromStdString(t.mode));
    if (!t.line2.empty()) DrawTextAt(p, 1, 35, QString::fromStdString(t.line2));
    if (!t.line3.empty()) DrawTextAt(p, 1, 50, QString::fromStdString(t.line3));
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
    const int plainAscent = QFontMetrics(plain).ascent(), boldAscent = QFontMetrics(bold).ascent();
    bool isBold = false;
    p.setFont(plain);
    for (const PanelLabel& t : m.texts) {
        if (t.bold != isBold) {
            isBold = t.bold;
            p.setFont(isBold ? bold : plain);
        }
        p.drawText(t.x, t.y + (isBold ? boldAscent : plainAscent), QString::fromStdString(t.text));
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
