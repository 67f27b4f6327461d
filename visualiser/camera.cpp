#include "visualiser/camera.h"

#include <algorithm>
#include <cmath>

namespace spirelo {

void CameraMouseDown(Camera& c, MouseButton b, int x, int y) {
    if (b == MouseButton::Right) {
        c.MouseRightDown = true;
        c.MouseLeftDown = false;
    } else if (b == MouseButton::Left) {
        c.MouseLeftDown = true;
        c.MouseRightDown = false;
    } else {
        return;
    }
    c.MouseLastX = x;
    c.MouseLastY = y;
}

void CameraMouseUp(Camera& c, MouseButton b) {
    if (b == MouseButton::Right) c.MouseRightDown = false;
    if (b == MouseButton::Left) c.MouseLeftDown = false;
}

void CameraMouseMove(Camera& c, int x, int y) {
    int dx = x - c.MouseLastX, dy = y - c.MouseLastY;
    if (c.MouseRightDown) {
        if (c.RotationY > 360) c.RotationY -= 360;
        if (c.RotationY < 0) c.RotationY += 360;
        if (c.RotationX > 360) c.RotationX -= 360;
        if (c.RotationX < 0) c.RotationX += 360;
        c.RotationX += float(dy);
        c.RotationY += float(dx);
    }
    if (c.MouseLeftDown) {
        double d = (c.Zoom + 160) / 5.0;
        if (d <= 0) d = 1;
        c.ViewerX += dx / d;
        c.ViewerY -= dy / d;
    }
    c.MouseLastX = x;
    c.MouseLastY = y;
}

void CameraWheel(Camera& c, int delta) {
    c.Zoom = std::clamp(c.Zoom + delta / 60, kZoomMin, kZoomMax);
}

void ViewDefault(Camera& c) {
    c.Zoom = -27;
    c.RotationX = 4;
    c.RotationY = 357;
    c.RotationZ = 0;
    c.ViewerX = -0.0942146807606629;
    c.ViewerY = -5.05567424365598;
    c.Heading = 3;
    c.Xengine = -0.4366361f;
    c.Zengine = -50.887497f;
    c.tilt = -11;
}

void ViewZoomAll(Camera& c) {
    c.ViewerX = 0;
    c.ViewerY = 0;
    c.Zoom = -180;
}

void ViewUp(Camera& c) {
    c.RotationX = 90;
    c.RotationY = 0;
    c.ViewerX = 0;
    c.ViewerY = 0;
}

void ViewSide(Camera& c) {
    float r = c.RotationY;
    if (r != 0 && r != -90 && r != -180 && r != -270 && r != -360) r = 0;
    r -= 90;
    if (r < -361) r = 0;
    c.RotationY = r;
    c.RotationX = 0;
    c.ViewerX = 0;
    c.ViewerY = 0;
}

void ViewIso(Camera& c) {
    c.RotationX = 21;
    c.RotationY = 15;
    c.ViewerX = 0;
    c.ViewerY = 0;
}

double ProjectionAspect(int width, int height) {
    return double(width) / double(height == 0 ? 1 : height);
}

std::string TourCaption(const TourState& s, const CollectorTable& t) {
    return std::to_string(s.TourPosition + 1) + ">" + std::to_string(t.TourLast() + 1);
}

void TourAdvance(TourState& s) {
    if (s.TourPosition >= 99) s.TourPosition = 0;
    s.TourPosition += 1;
}

namespace {
// A rotation is stored as whole degrees 0..360; a negative one (after the side view) or one
// beyond a turn is folded into 0..359 so the point replays as the same view.
uint16_t StoredAngle(float deg) {
    long a = std::lround(deg);
    if (a < 0 || a > 360) a = ((a % 360) + 360) % 360;
    return uint16_t(a);
}
// The stored zoom is the negated Zoom, 0..255; nearer or farther views are clamped to it.
uint8_t StoredZoom(int32_t zoom) { return uint8_t(std::clamp(-zoom, 0, 255)); }

template <typename T, typename U>
void GlideToward(T& value, U target, T step) {
    if (target < value) value -= step;
    if (target > value) value += step;
}
}  // namespace

void TourRecord(TourState& s, CollectorTable& t, const Camera& c, bool stopDown) {
    if (stopDown) {
        int p = s.TourPosition;
        t.TourViewerX[p] = float(c.ViewerX);
        t.TourViewerY[p] = float(c.ViewerY);
        t.TourZoom[p] = StoredZoom(c.Zoom);
        t.TourRotX[p] = StoredAngle(c.RotationX);
        t.TourRotY[p] = StoredAngle(c.RotationY);
        t.TourRotZ[p] = StoredAngle(c.RotationZ);
    }
    TourAdvance(s);
}

void TourBegin(TourState& s) { s.TourPosition = 0; }

void TourSetLast(const TourState& s, CollectorTable& t) {
    if (s.TourPosition > 0) t.TourLast() = uint16_t(s.TourPosition - 1);
}

void TourTimerStep(TourState& s, const CollectorTable& t, bool playDown) {
    if (s.TourPosition >= 99) s.TourPosition = 0;
    if (!playDown) return;
    if (s.TourPosition >= t.TourLast()) s.TourPosition = 0;
    else s.TourPosition += 1;
}

void TourGlide(const TourState& s, const CollectorTable& t, Camera& c) {
    int p = std::min<int>(s.TourPosition, kTourPoints - 1);
    GlideToward(c.ViewerX, double(t.TourViewerX[p]), 0.1);
    GlideToward(c.ViewerY, double(t.TourViewerY[p]), 0.1);
    GlideToward(c.Zoom, -int32_t(t.TourZoom[p]), int32_t(1));
    GlideToward(c.RotationX, float(t.TourRotX[p]), 1.0f);
    GlideToward(c.RotationY, float(t.TourRotY[p]), 1.0f);
    GlideToward(c.RotationZ, float(t.TourRotZ[p]), 1.0f);
}

}  // namespace spirelo
