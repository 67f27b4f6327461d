// The camera of the 3D view: mouse drag, wheel, the five view buttons, and the view-point tour
// whose points live in the collector table (one per slot 0..99, TourLast in slot 1 of a
// reserved array) so they are saved with the layout.
#pragma once

#include "visualiser/layout_model.h"

#include <cstdint>
#include <string>

namespace spirelo {

// The zoom the mouse wheel can reach.
inline constexpr int32_t kZoomMin = -250, kZoomMax = 250;

struct Camera {
    int32_t Zoom = -43;
    float RotationX = 30, RotationY = 0, RotationZ = 0;
    double ViewerX = 0, ViewerY = -3;
    float Heading = 180, Xengine = 50, Zengine = 50, tilt = 1;   // persisted, unused by drawing
    bool MouseLeftDown = false, MouseRightDown = false;
    int32_t MouseLastX = 0, MouseLastY = 0;
};

enum class MouseButton { Left, Right, Other };

void CameraMouseDown(Camera& c, MouseButton b, int x, int y);
void CameraMouseUp(Camera& c, MouseButton b);
void CameraMouseMove(Camera& c, int x, int y);
void CameraWheel(Camera& c, int delta);

void ViewDefault(Camera& c);   // btnDefault
void ViewZoomAll(Camera& c);   // btnZoomALL
void ViewUp(Camera& c);        // btnWievUP
void ViewSide(Camera& c);      // btnViewSide
void ViewIso(Camera& c);       // btnWiewIso

// Aspect ratio of the projection; a zero height counts as 1.
double ProjectionAspect(int width, int height);

// --- Tour -----------------------------------------------------------------------------------
inline constexpr int kTourPoints = 100;

struct TourState {
    uint8_t TourPosition = 0;
};

std::string TourCaption(const TourState& s, const CollectorTable& t);   // e.g. "1>12"
void TourAdvance(TourState& s);                                         // 99 -> 0 -> 1
// SpeedButtonREcord: stores the view only while STOP is down, then advances.
void TourRecord(TourState& s, CollectorTable& t, const Camera& c, bool stopDown);
void TourBegin(TourState& s);
void TourSetLast(const TourState& s, CollectorTable& t);                // SpeedButtonLeng
void TourTimerStep(TourState& s, const CollectorTable& t, bool playDown);
// One glide step toward the current point (tmrINC while PLAY is down).
void TourGlide(const TourState& s, const CollectorTable& t, Camera& c);

}  // namespace spirelo
