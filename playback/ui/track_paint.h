// The Tracks and Effects pages' pictures, painted from the logic's view models. The window and
// the bench share them.
#pragma once

#include "core/show_data.h"
#include "playback/show_clock.h"
#include "playback/sound_view.h"
#include "playback/track_edit.h"

// The bench paints with these headers alone: logic folders include no Qt of their own.
#include <QApplication>
#include <QImage>
#include <QPainter>

#include <vector>

namespace spirelo {

void PaintRecordView(QPainter& p, const RecordViewModel& m, int width, int height);
void PaintWatchedView(QPainter& p, const WatchedViewModel& m, int width, int height);
// The histogram: black, then every layer's intervals written into scan lines.
void PaintGisto(QPainter& p, const std::vector<GistoLayer>& layers, int width, int height);

// The effect timeline with its guides, lanes (the dragged one as the drag shows it), hover
// read-out and the play and user lines.
struct EffectViewInputs {
    int current = 0;                 // the effect the editor shows
    EffectDragView drag;
    int playCursorX = 0;
    bool hoverLine = false;
    int hoverLineX = 0;
    uint32_t realLineColour = 0xFFFFFF, userLineColour = 0x00FFFF;
};
// True when a hover read-out was painted.
bool PaintEffectView(QPainter& p, const ShowData& d, const ShowClock& clk, const EffectViewInputs& in,
                     int width, int height);

}  // namespace spirelo
