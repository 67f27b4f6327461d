// The monitor's picture without a window, for the repaint benchmark: it owns its image and,
// when the process has none, an offscreen GUI application for the box's fonts. No Qt here.
#pragma once

#include <memory>

#include "dmx/monitor.h"

namespace spirelo {

class OffscreenMonitorPicture {
public:
    OffscreenMonitorPicture();
    ~OffscreenMonitorPicture();
    OffscreenMonitorPicture(const OffscreenMonitorPicture&) = delete;
    OffscreenMonitorPicture& operator=(const OffscreenMonitorPicture&) = delete;

    // One window repaint: the columns, then the box when viewChannel (RepaintMonitorImage).
    int repaint(const ShowData& d, DmxOutputState& st, int monitorWidth, const MonitorLook& look, bool viewChannel,
                MonitorBoxState& box);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace spirelo
