#include "visualiser/layout_diagram.h"

#include <cmath>

namespace spirelo {

namespace {
constexpr double kDeg = M_PI / 180;
constexpr double kPixelsPerMetre = 10;
constexpr double kOrigin = 500;
// Values from a file may be anything; keep them on (and a little around) the sheet.
double Sane(double v) { return std::isfinite(v) ? std::fmax(-1e5, std::fmin(1e5, v)) : 0; }
}  // namespace

std::vector<DiagramPrimitive> DiagramPrimitives(const CollectorTable& t, int c, bool grid) {
    std::vector<DiagramPrimitive> out;
    DiagramPrimitives(t, c, grid, out);
    return out;
}

void DiagramPrimitives(const CollectorTable& t, int c, bool grid, std::vector<DiagramPrimitive>& out) {
    using T = DiagramPrimitive::Type;
    out.clear();
    out.push_back({T::Fill, 0, 0, kDiagramSize, kDiagramSize, 0, kDiagramWhite, 1, false});
    out.push_back({T::Rectangle, 2, 2, 998, 998, 0, kDiagramBlack, 3, false});
    if (grid) {
        for (int k = 0; k <= 10; ++k) {
            double p = k * 100;
            out.push_back({T::Line, p, 0, p, kDiagramSize, 0, kDiagramGrey, 1, false});
            out.push_back({T::Line, 0, p, kDiagramSize, p, 0, kDiagramGrey, 1, false});
        }
    }
    for (int j = 1; j <= kCollectors; ++j) {
        uint8_t kind = t.Kind[j];
        if (kind == kKindOff) continue;
        double r = Sane(t.Size[j]) * 5;
        double cx = Sane(t.X[j]) * kPixelsPerMetre + kOrigin;
        double cy = Sane(t.Z[j]) * kPixelsPerMetre + kOrigin;
        if (j == c) out.push_back({T::Rectangle, cx - r, cy - r, cx + r, cy + r, 0, kDiagramBlue, 1, true});
        uint32_t pen = j == c ? kDiagramRed : kDiagramGreen;
        int n = t.Kolvo[j];
        auto dot = [&](int k, double x, double y) {
            out.push_back({T::Dot, x, y, 0, 0, 0, k == 0 ? kDiagramRed : kDiagramTeal, 1, false});
        };
        if (kind == kKindRing) {
            out.push_back({T::Circle, cx, cy, 0, 0, r, pen, 2, false});
            double rot = Sane(t.RotatAll[j]);
            for (int k = 0; k < n; ++k) {
                double a = (rot + k * 360.0 / n) * kDeg;
                dot(k, cx + r * std::sin(a), cy + r * std::cos(a));
            }
        } else if (kind == kKindLine) {
            double f = (Sane(t.RotatAll[j]) - 90) * kDeg;
            double sx = std::sin(f), sy = std::cos(f);
            out.push_back({T::Line, cx + r * sx, cy + r * sy, cx - r * sx, cy - r * sy, 0, pen, 2, false});
            double s = n > 1 ? Sane(t.Size[j]) * kPixelsPerMetre / (n - 1) : 1;
            for (int k = 0; k < n; ++k) {
                double d = r - k * s;
                dot(k, cx + d * sx, cy + d * sy);
            }
        }
    }
}

}  // namespace spirelo
