// Drawing of the Keyboard page's tiles and assignment panel and of the scene input table, from
// the logic's models into off-screen pixmaps. Texts are placed by their top-left corner.
#pragma once

#include "playback/assign_panel.h"
#include "playback/live_keys.h"

#include <QColor>
#include <QPixmap>

class QPainter;

namespace spirelo {

// Text whose top-left corner is at (x, y); QPainter's drawText takes the baseline.
void DrawTextAt(QPainter& p, int x, int y, const QString& text);

// One 70 x 70 tile on the page's background colour.
void DrawKeyTile(QPixmap& tile, const TileText& t, const QColor& background);
// The assignment panel, yellow with a rounded corner, its cells and texts.
void DrawAssignPanel(QPixmap& panel, const PanelModel& m, const QColor& background);
// The scene input table of sequencer q from scene p: 16 x 12 cells, one row per spot.
void DrawSceneTable(QPixmap& table, const ShowData& d, int q, int p, const QColor& background);

}  // namespace spirelo
