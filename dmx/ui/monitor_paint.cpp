#include "dmx/ui/monitor_paint.h"
#include "dmx/ui/monitor_picture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPen>

#include <cstdlib>

namespace spirelo {

QImage MakeMonitorImage() {
    QImage img(kMonitorImageWidth, kMonitorImageHeight, QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

int RepaintMonitorImage(QImage& img, const ShowData& d, DmxOutputState& st, int monitorWidth,
                        const MonitorLook& look, bool viewChannel, MonitorBoxState& box) {
    // Format_RGB32 rows are 32-bit aligned, so bytesPerLine is a whole number of pixels.
    auto* pixels = reinterpret_cast<uint32_t*>(img.bits());
    const int stride = int(img.bytesPerLine() / 4);
    const int W = MonitorRepaint(d, st, monitorWidth, look, viewChannel, box, pixels, stride, img.width(), img.height());
    if (W >= 0 && viewChannel) PaintMonitorBox(img, box);
    return W;
}

void PaintMonitorBox(QImage& img, const MonitorBoxState& box) {
    QPainter p(&img);
    p.setPen(QPen(QColor(128, 128, 128), 2));
    p.setBrush(QColor(0, 0, 128));
    const int x = box.MonitorBoxX;
    // Corner arcs of 15 x 15: radii of 7.5.
    p.drawRoundedRect(QRectF(x + 12, 37, 81, 35), 7.5, 7.5);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(Qt::white);
    // Text positions are the top-left corners of the lines.
    p.drawText(QRect(x + 17, 40, 200, 15), Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdString(MonitorChannelText(box.MonitorMouseX)));
    p.drawText(QRect(x + 17, 55, 200, 15), Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdString(MonitorLevelText(box.MonitorMouseY)));
}

}  // namespace spirelo

// --- Without a window ---------------------------------------------------------------------

namespace spirelo {

struct OffscreenMonitorPicture::Impl {
    int argc = 1;
    char name[8] = "monitor";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
    QImage img;
};

OffscreenMonitorPicture::OffscreenMonitorPicture() : impl_(std::make_unique<Impl>()) {
    if (!QGuiApplication::instance()) {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        impl_->app = std::make_unique<QGuiApplication>(impl_->argc, impl_->argv);
    }
    impl_->img = MakeMonitorImage();
}

OffscreenMonitorPicture::~OffscreenMonitorPicture() = default;

int OffscreenMonitorPicture::repaint(const ShowData& d, DmxOutputState& st, int monitorWidth, const MonitorLook& look,
                                     bool viewChannel, MonitorBoxState& box) {
    return RepaintMonitorImage(impl_->img, d, st, monitorWidth, look, viewChannel, box);
}

}  // namespace spirelo
