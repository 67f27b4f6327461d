#include "sequencer/ui/area_render.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>

using namespace spirelo;

namespace {

QRgb ToQRgb(uint32_t c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

// A solid rectangle written straight into a 32-bit picture, clipped to it.
void FillRect32(QImage& img, int left, int top, int width, int height, QRgb colour) {
    const int x0 = std::max(0, left), x1 = std::min(img.width(), left + width);
    const int y0 = std::max(0, top), y1 = std::min(img.height(), top + height);
    uchar* bits = img.bits();
    const qsizetype stride = img.bytesPerLine();
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
        std::fill(line + x0, line + x1, colour);
    }
}

// The grid: 1-pixel lines of `lines` between 15 x 15 cells, each row of cells written once per
// scan line (the picture is redrawn on every mouse move).
template <class CellColourOf>
void DrawGrid(QImage& img, QRgb lines, CellColourOf colourOf) {
    const int width = img.width(), height = img.height();
    uchar* bits = img.bits();
    const qsizetype stride = img.bytesPerLine();
    QRgb row[kAreaCells];
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
        const int r = y / kCellPixels;
        if (y % kCellPixels == 0 || r >= kAreaCells) {
            std::fill(line, line + width, lines);
            continue;
        }
        if (y % kCellPixels == 1)
            for (int c = 0; c < kAreaCells; ++c) row[c] = colourOf(c, r);
        for (int x = 0; x < width; ++x) {
            const int c = x / kCellPixels;
            line[x] = (x % kCellPixels == 0 || c >= kAreaCells) ? lines : row[c];
        }
    }
}

// Inverts the pixels of a frame `pen` pixels wide round `r` (the selection of the rectangle
// tool), each pixel once.
void InvertFrame(QImage& img, const QRect& r, int pen) {
    const QRect outer = r.adjusted(-pen / 2, -pen / 2, pen - pen / 2, pen - pen / 2) & img.rect();
    const QRect inner = r.adjusted(pen - pen / 2, pen - pen / 2, -pen / 2, -pen / 2);
    uchar* bits = img.bits();
    const qsizetype stride = img.bytesPerLine();
    for (int y = outer.top(); y <= outer.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
        const bool band = y < inner.top() || y > inner.bottom();
        for (int x = outer.left(); x <= outer.right(); ++x) {
            if (!band && x >= inner.left() && x <= inner.right()) x = inner.right() + 1;
            if (x > outer.right()) break;
            line[x] ^= 0x00FFFFFF;
        }
    }
}

}  // namespace

void RenderArea(QImage& area, QImage& strip, const ShowData& d, SequencerEditState& e, const AreaRenderJob& job) {
    const bool spots = job.page == AreaPage::Spots;
    const int seq = ClampSequencer(job.view.seq);
    const int F = job.view.firstStep;
    const int R = job.view.firstRow;
    const uint32_t face = uint32_t(job.face.red()) | (uint32_t(job.face.green()) << 8) |
                          (uint32_t(job.face.blue()) << 16);

    DrawGrid(area, ToQRgb(spots ? kAreaGrey : kChannelBackground),
             [&](int c, int r) { return ToQRgb(CellColour(d, job.page, seq, F + c, R + r, face)); });

    QPainter p(&area);
    const SequencerEditState& ce = e;
    const int bandLeft = 16 * (ce.PatternFrom - F) + 3;
    const int bandRight = 16 * (ce.PatternTo - F) + 15;
    if (bandRight > bandLeft)
        p.fillRect(QRect(bandLeft, 1, bandRight - bandLeft, 5),
                   QBrush(spots ? Qt::white : Qt::yellow, Qt::DiagCrossPattern));

    const int barBottom = spots ? 509 : area.height();
    for (int c = 0; c < kAreaCells; ++c) {
        const int step = F + c;
        if (step < 0 || step >= kSequencerSteps) continue;
        if (const auto colour = WordBarColour(d.SequencerStepWords[seq][step]))
            p.fillRect(QRect(16 * c + 8, 3, 2, barBottom - 3), QColor(ToQRgb(*colour)));
        if (step == job.currentStep)
            p.fillRect(QRect(16 * c + 8, 3, spots ? 2 : 1, barBottom - 3), QColor(ToQRgb(kCurrentStepColour)));
    }

    const InfoBox box = AreaInfoBox(d, e, job.page, job.view, area.width(), area.height(), job.decimalPoint);
    p.setRenderHint(QPainter::Antialiasing, false);
    QFont bold = job.font;
    bold.setBold(true);
    // The box has its documented size. A line too wide for it, as today's wider fonts make
    // "Сверху: -15", takes the font one point smaller, and the box grows to the right if that
    // is not enough. The text needs 17 px on the left and 6 on the right.
    auto widest = [&box](const QFont& f) {
        int w = 0;
        for (const std::string& line : box.lines) w = std::max(w, QFontMetrics(f).horizontalAdvance(QString::fromStdString(line)));
        return w;
    };
    int boxRight = spots ? 97 : 93;
    const int boxBottom = spots ? 108 : 93;
    if (17 + widest(bold) + 6 > boxRight) {
        if (bold.pointSizeF() > 0) bold.setPointSizeF(bold.pointSizeF() - 1);
        else bold.setPixelSize(bold.pixelSize() - 1);
        boxRight = std::max(boxRight, 17 + widest(bold) + 6);
    }
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRect(box.x + 12, box.y + 12, boxRight - 12, boxBottom - 12), 7.5, 7.5);
    p.setFont(bold);
    p.setPen(box.onCell ? QColor(Qt::white) : QColor(ToQRgb(kInfoSkyBlue)));
    const int ascent = QFontMetrics(bold).ascent();
    for (size_t i = 0; i < box.lines.size(); ++i)
        p.drawText(box.x + 17, box.y + 15 + 15 * int(i) + ascent, QString::fromStdString(box.lines[i]));

    const int state = spots ? ce.SpotToolState : ce.KlapanToolState;
    QRect rectOutline;
    if (state == 1 || state == 2) {
        const QPoint a(16 * ce.AreaSelX1 + 8, 16 * ce.AreaSelY1 + 8);
        const QPoint b(16 * ce.AreaSelX2 + 8, 16 * ce.AreaSelY2 + 8);
        const QRect outline = QRect(a, b).normalized();
        p.setBrush(Qt::NoBrush);
        if (job.tool == AreaTool::CopySelect) {
            p.setPen(spots ? QPen(Qt::white, 1, Qt::DotLine) : QPen(Qt::red, 3));
            p.drawRect(outline);
        } else if (job.tool == AreaTool::Rect) {
            rectOutline = outline;
        } else if (job.tool == AreaTool::Line) {
            p.setCompositionMode(QPainter::RasterOp_NotDestination);
            p.setPen(QPen(Qt::black, 10));
            p.drawLine(a, b);
        }
    }
    p.end();
    if (!rectOutline.isNull()) InvertFrame(area, rectOutline, 2);

    strip.fill(job.face);
    const int step = job.currentStep;
    for (int r = 0; r < kAreaCells; ++r)
        FillRect32(strip, 1, 16 * r, 15, 15, ToQRgb(StripColour(d, job.page, seq, step, R + r, face)));
}
