// Draws the layout diagram's primitives with a QPainter: into the window's bitmap, stamping
// prepared dot images (far cheaper than an ellipse per dot), or onto a printer as shapes.
#pragma once

#include "visualiser/layout_diagram.h"

#include <QImage>
#include <QPainter>

#include <vector>

namespace spirelo {

class DiagramPainter {
public:
    DiagramPainter();
    void Draw(QPainter& p, const std::vector<DiagramPrimitive>& prims, bool stampDots) const;

private:
    QImage redDot_, tealDot_;
};

}  // namespace spirelo
