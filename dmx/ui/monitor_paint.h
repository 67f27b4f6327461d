// The DMX monitor's off-screen picture: the level columns (logic) written straight into a
// Format_RGB32 image, and the pointer read-out box drawn on top with QPainter.
#pragma once

#include <QImage>

#include "dmx/monitor.h"

namespace spirelo {

// A black image of the graph's size whose rows the logic writes.
QImage MakeMonitorImage();

// One repaint into img: -1 when no frame came since the last one, else the shown width W.
int RepaintMonitorImage(QImage& img, const ShowData& d, DmxOutputState& st, int monitorWidth,
                        const MonitorLook& look, bool viewChannel, MonitorBoxState& box);

// The read-out box at the box's position: navy with a grey rim, two white bold lines.
void PaintMonitorBox(QImage& img, const MonitorBoxState& box);

}  // namespace spirelo
