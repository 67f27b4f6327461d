// Drawing of the two area pages into their off-screen pictures: the grid of cells, the pattern
// band, the step-word and current-step bars, the information box, the selection outline and
// the current-step strip. A free function so the window and the benchmark draw the same way.
#pragma once

#include "core/show_data.h"
#include "sequencer/scene_editor.h"

#include <QColor>
#include <QFont>
#include <QImage>

struct AreaRenderJob {
    spirelo::AreaPage page = spirelo::AreaPage::Spots;
    spirelo::AreaView view;
    int currentStep = 0;                 // where the step bar stands (cyan bar, strip)
    QColor face;                         // the window's button face: undriven cells
    spirelo::AreaTool tool = spirelo::AreaTool::Pencil;
    char decimalPoint = '.';
    QFont font;                          // the information box's text (drawn bold)
};

// Draws the area of `job` into `area` (the grid picture) and `strip` (the 17-pixel strip of
// the current step). Clamps the information box's position in `e` to the picture.
void RenderArea(QImage& area, QImage& strip, const spirelo::ShowData& d, spirelo::SequencerEditState& e,
                const AreaRenderJob& job);

// The two pictures of one area page, for drawing without the window (the benchmark).
struct AreaPictures {
    QImage area{spirelo::kAreaPixels, spirelo::kAreaPixels, QImage::Format_RGB32};
    QImage strip{17, spirelo::kAreaPixels, QImage::Format_RGB32};
};

