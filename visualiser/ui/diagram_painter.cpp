#include "visualiser/ui/diagram_painter.h"

#include "common/ui/qt_helpers.h"

#include <cmath>

namespace spirelo {

namespace {
QImage MakeDot(uint32_t colour) {
    QImage img(kDiagramDot, kDiagramDot, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(ColorFromValue(colour));
    p.drawEllipse(QRectF(0, 0, kDiagramDot, kDiagramDot));
    return img;
}

QPen PenOf(const DiagramPrimitive& d) {
    QPen pen(ColorFromValue(d.colour));
    pen.setWidth(d.penWidth);
    pen.setStyle(d.dotted ? Qt::DotLine : Qt::SolidLine);
    return pen;
}
}  // namespace

DiagramPainter::DiagramPainter() : redDot_(MakeDot(kDiagramRed)), tealDot_(MakeDot(kDiagramTeal)) {}

void DiagramPainter::Draw(QPainter& p, const std::vector<DiagramPrimitive>& prims, bool stampDots) const {
    using T = DiagramPrimitive::Type;
    constexpr double half = kDiagramDot / 2.0;
    p.setBrush(Qt::NoBrush);
    for (const DiagramPrimitive& d : prims) {
        switch (d.type) {
        case T::Fill:
            p.fillRect(QRectF(d.x1, d.y1, d.x2 - d.x1, d.y2 - d.y1), ColorFromValue(d.colour));
            break;
        case T::Rectangle:
            p.setPen(PenOf(d));
            p.drawRect(QRectF(d.x1, d.y1, d.x2 - d.x1, d.y2 - d.y1));
            break;
        case T::Line:
            p.setPen(PenOf(d));
            p.drawLine(QPointF(d.x1, d.y1), QPointF(d.x2, d.y2));
            break;
        case T::Circle:
            p.setPen(PenOf(d));
            p.drawEllipse(QPointF(d.x1, d.y1), d.r, d.r);
            break;
        case T::Dot:
            if (stampDots) {
                p.drawImage(QPoint(int(std::lround(d.x1 - half)), int(std::lround(d.y1 - half))),
                            d.colour == kDiagramRed ? redDot_ : tealDot_);
            } else {
                p.setPen(Qt::NoPen);
                p.setBrush(ColorFromValue(d.colour));
                p.drawEllipse(QPointF(d.x1, d.y1), half, half);
                p.setBrush(Qt::NoBrush);
            }
            break;
        }
    }
}

}  // namespace spirelo
