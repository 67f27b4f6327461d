#include "sequencer/ui/area_render.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPen>

#include <algorithm>

using namespace spirelo;

namespace {

QRgb ToQRgb(uint32_t c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

// A solid rectangle written straight into a 32-bit picture, clipped to it.
void FillCell(QImage& img, int left, int top, int width, int height, QRgb colour) {
    const int x0 = std::max(0, left), x1 = std::min(img.width(), left + width);
    const int y0 = std::max(0, top), y1 = std::min(img.height(), top + height);
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(line + x0, line + x1, colour);
    }
}

}  // namespace

void RenderArea(QImage& area, QImage& strip, const ShowData& d, SequencerEditState& e, const AreaRenderSpec& spec) {
    const bool spots = spec.page == AreaPage::Spots;
    const int seq = ClampSequencer(spec.view.seq);
    const int F = spec.view.firstStep;
    const int R = spec.view.firstRow;
    const uint32_t face = uint32_t(spec.face.red()) | (uint32_t(spec.face.green()) << 8) |
                          (uint32_t(spec.face.blue()) << 16);

    area.fill(ToQRgb(spots ? kAreaGrey : kChannelBackground));
    for (int c = 0; c < kAreaCells; ++c) {
        const int step = F + c;
        for (int r = 0; r < kAreaCells; ++r)
            FillCell(area, 16 * c + 1, 16 * r + 1, 15, 15, ToQRgb(CellColour(d, spec.page, seq, step, R + r, face)));
    }

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
        if (step == spec.currentStep)
            p.fillRect(QRect(16 * c + 8, 3, spots ? 2 : 1, barBottom - 3), QColor(ToQRgb(kCurrentStepColour)));
    }

    const InfoBox box = AreaInfoBox(d, e, spec.page, spec.view, area.width(), area.height(), spec.decimalPoint);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::black);
    const int boxRight = spots ? 97 : 93, boxBottom = spots ? 108 : 93;
    p.drawRoundedRect(QRect(box.x + 12, box.y + 12, boxRight - 12, boxBottom - 12), 7.5, 7.5);
    QFont bold = spec.font;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(box.onCell ? QColor(Qt::white) : QColor(ToQRgb(kInfoSkyBlue)));
    for (size_t i = 0; i < box.lines.size(); ++i)
        p.drawText(QRect(box.x + 17, box.y + 15 + 15 * int(i), 200, 15), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(box.lines[i]));

    const int state = spots ? ce.SpotToolState : ce.KlapanToolState;
    if (state == 1 || state == 2) {
        const QPoint a(16 * ce.AreaSelX1 + 8, 16 * ce.AreaSelY1 + 8);
        const QPoint b(16 * ce.AreaSelX2 + 8, 16 * ce.AreaSelY2 + 8);
        const QRect outline = QRect(a, b).normalized();
        p.setBrush(Qt::NoBrush);
        if (spec.tool == AreaTool::CopySelect) {
            p.setPen(spots ? QPen(Qt::white, 1, Qt::DotLine) : QPen(Qt::red, 3));
            p.drawRect(outline);
        } else if (spec.tool == AreaTool::Rect) {
            p.setCompositionMode(QPainter::RasterOp_NotDestination);
            p.setPen(QPen(Qt::black, 2));
            p.drawRect(outline);
        } else if (spec.tool == AreaTool::Line) {
            p.setCompositionMode(QPainter::RasterOp_NotDestination);
            p.setPen(QPen(Qt::black, 10));
            p.drawLine(a, b);
        }
    }
    p.end();

    strip.fill(spec.face);
    const int step = spec.currentStep;
    for (int r = 0; r < kAreaCells; ++r)
        FillCell(strip, 1, 16 * r, 15, 15, ToQRgb(StripColour(d, spec.page, seq, step, R + r, face)));
}

OffscreenGui::OffscreenGui(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc, argv);
}

OffscreenGui::~OffscreenGui() = default;
