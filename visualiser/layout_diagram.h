// The top-view diagram of a layout as a list of drawing primitives on a 1000 x 1000 pixel
// sheet: 10 pixels per metre, origin at (500, 500), sheet x from X and sheet y from Z. The
// window draws them into its bitmap and onto the printer.
#pragma once

#include "visualiser/layout_model.h"

#include <cstdint>
#include <vector>

namespace spirelo {

inline constexpr int kDiagramSize = 1000;
inline constexpr int kDiagramDot = 6;

// Colours, red in the low byte.
inline constexpr uint32_t kDiagramWhite = 0xFFFFFF, kDiagramBlack = 0x000000, kDiagramGrey = 0x808080,
                          kDiagramBlue = 0xFF0000, kDiagramRed = 0x0000FF, kDiagramGreen = 0x008000,
                          kDiagramTeal = 0x808000;

struct DiagramPrimitive {
    enum class Type {
        Fill,        // the rectangle (x1, y1)-(x2, y2) filled
        Rectangle,   // outline
        Line,        // (x1, y1)-(x2, y2)
        Circle,      // centre (x1, y1), radius r, outline
        Dot,         // a filled 6 x 6 dot centred at (x1, y1)
    };
    Type type;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
    uint32_t colour = 0;
    int penWidth = 1;
    bool dotted = false;
};

// Collector c is the current one (highlighted); grid adds the 10 m grid.
std::vector<DiagramPrimitive> DiagramPrimitives(const CollectorTable& t, int c, bool grid);
// The same into an existing list (cleared first), so a timer reuses its storage.
void DiagramPrimitives(const CollectorTable& t, int c, bool grid, std::vector<DiagramPrimitive>& out);

}  // namespace spirelo
