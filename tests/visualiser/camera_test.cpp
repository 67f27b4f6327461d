#include "visualiser/camera.h"

#include <gtest/gtest.h>

#include <memory>

using namespace spirelo;

namespace {

TEST(Camera, WheelAddsDeltaDiv60AndStaysInRange) {
    struct Case {
        int start, delta, expect;
    };
    const Case cases[] = {{-43, 120, -41}, {-43, -120, -45}, {-43, 59, -43}, {-43, -59, -43},
                          {-43, -119, -44}, {249, 240, 250}, {-249, -240, -250}, {0, 6000, 100}};
    for (const Case& c : cases) {
        Camera cam;
        cam.Zoom = c.start;
        CameraWheel(cam, c.delta);
        EXPECT_EQ(cam.Zoom, c.expect) << c.start << " " << c.delta;
    }
}

TEST(Camera, RightDragRotatesAfterBringingAnglesIntoATurn) {
    Camera cam;
    cam.RotationX = 370;
    cam.RotationY = -10;
    CameraMouseDown(cam, MouseButton::Right, 100, 100);
    EXPECT_TRUE(cam.MouseRightDown);
    EXPECT_FALSE(cam.MouseLeftDown);
    CameraMouseMove(cam, 105, 93);
    EXPECT_FLOAT_EQ(cam.RotationX, 10 - 7);
    EXPECT_FLOAT_EQ(cam.RotationY, 350 + 5);
    EXPECT_EQ(cam.MouseLastX, 105);
    EXPECT_EQ(cam.MouseLastY, 93);
    CameraMouseUp(cam, MouseButton::Right);
    CameraMouseMove(cam, 200, 200);
    EXPECT_FLOAT_EQ(cam.RotationX, 3);
    EXPECT_EQ(cam.MouseLastX, 200);
}

TEST(Camera, LeftDragPansByTheZoomDivisor) {
    struct Case {
        int zoom;
        double divisor;
    };
    const Case cases[] = {{-43, (160 - 43) / 5.0}, {-160, 1}, {-200, 1}, {0, 32}};
    for (const Case& c : cases) {
        Camera cam;
        cam.Zoom = c.zoom;
        cam.ViewerX = 0;
        cam.ViewerY = 0;
        CameraMouseDown(cam, MouseButton::Left, 10, 10);
        CameraMouseMove(cam, 20, 30);
        EXPECT_DOUBLE_EQ(cam.ViewerX, 10 / c.divisor) << c.zoom;
        EXPECT_DOUBLE_EQ(cam.ViewerY, -20 / c.divisor) << c.zoom;
    }
}

TEST(Camera, ViewButtons) {
    Camera cam;
    ViewDefault(cam);
    EXPECT_EQ(cam.Zoom, -27);
    EXPECT_FLOAT_EQ(cam.RotationY, 357);
    EXPECT_DOUBLE_EQ(cam.ViewerY, -5.05567424365598);
    ViewZoomAll(cam);
    EXPECT_EQ(cam.Zoom, -180);
    EXPECT_EQ(cam.ViewerX, 0);
    ViewUp(cam);
    EXPECT_FLOAT_EQ(cam.RotationX, 90);
    EXPECT_FLOAT_EQ(cam.RotationY, 0);
    ViewIso(cam);
    EXPECT_FLOAT_EQ(cam.RotationX, 21);
    EXPECT_FLOAT_EQ(cam.RotationY, 15);
    EXPECT_EQ(cam.Zoom, -180);   // unchanged
    cam.RotationY = 33;
    std::vector<float> side;
    for (int i = 0; i < 7; ++i) {
        ViewSide(cam);
        side.push_back(cam.RotationY);
    }
    EXPECT_EQ(side, (std::vector<float>{-90, -180, -270, -360, 0, -90, -180}));
    EXPECT_FLOAT_EQ(cam.RotationX, 0);
}

TEST(Camera, AspectTakesZeroHeightAsOne) {
    EXPECT_DOUBLE_EQ(ProjectionAspect(800, 0), 800);
    EXPECT_DOUBLE_EQ(ProjectionAspect(800, 400), 2);
}

class Tour : public ::testing::Test {
protected:
    void SetUp() override { ResetCollectorTable(*t); }
    std::unique_ptr<CollectorTable> t = std::make_unique<CollectorTable>();
    TourState s;
};

TEST_F(Tour, CaptionAfterBeginReadsOneToLastPlusOne) {
    t->TourLast() = 11;
    s.TourPosition = 40;
    TourBegin(s);
    EXPECT_EQ(TourCaption(s, *t), "1>12");
}

TEST_F(Tour, ButtonsWrapFrom99To1AndTheTimerTo0) {
    s.TourPosition = 98;
    TourAdvance(s);
    EXPECT_EQ(s.TourPosition, 99);
    TourAdvance(s);
    EXPECT_EQ(s.TourPosition, 1);

    t->TourLast() = 11;
    s.TourPosition = 99;
    TourTimerStep(s, *t, true);
    EXPECT_EQ(s.TourPosition, 1);   // reset to 0, then one on (0 < TourLast)
    s.TourPosition = 11;
    TourTimerStep(s, *t, true);
    EXPECT_EQ(s.TourPosition, 0);
    s.TourPosition = 99;
    TourTimerStep(s, *t, false);
    EXPECT_EQ(s.TourPosition, 0);   // stopped: only the reset
    t->TourLast() = 0;
    s.TourPosition = 99;
    TourTimerStep(s, *t, true);
    EXPECT_EQ(s.TourPosition, 0);
}

TEST_F(Tour, RecordStoresOnlyWhileStopped) {
    Camera cam;
    cam.ViewerX = 1.5;
    cam.ViewerY = -2.25;
    cam.Zoom = -60;
    cam.RotationX = 44.6f;
    cam.RotationY = 359.4f;
    cam.RotationZ = 0;
    s.TourPosition = 3;
    TourRecord(s, *t, cam, false);
    EXPECT_EQ(s.TourPosition, 4);
    EXPECT_EQ(t->TourZoom[3], 27);   // untouched while playing
    s.TourPosition = 3;
    TourRecord(s, *t, cam, true);
    EXPECT_EQ(s.TourPosition, 4);
    EXPECT_FLOAT_EQ(t->TourViewerX[3], 1.5f);
    EXPECT_FLOAT_EQ(t->TourViewerY[3], -2.25f);
    EXPECT_EQ(t->TourZoom[3], 60);
    EXPECT_EQ(t->TourRotX[3], 45);
    EXPECT_EQ(t->TourRotY[3], 359);
    TourSetLast(s, *t);
    EXPECT_EQ(t->TourLast(), 3);
    EXPECT_EQ(TourCaption(s, *t), "5>4");
}

TEST_F(Tour, RecordFoldsUnrepresentableViews) {
    Camera cam;
    cam.RotationY = -90;   // after the side view
    cam.RotationX = 360;
    cam.Zoom = 12;         // in front of the origin
    TourRecord(s, *t, cam, true);
    EXPECT_EQ(t->TourRotY[0], 270);
    EXPECT_EQ(t->TourRotX[0], 360);
    EXPECT_EQ(t->TourZoom[0], 0);
    cam.Zoom = -300;
    s.TourPosition = 0;
    TourRecord(s, *t, cam, true);
    EXPECT_EQ(t->TourZoom[0], 255);
}

TEST_F(Tour, GlideStepsEachValueTowardThePoint) {
    Camera cam;
    cam.ViewerX = 0;
    cam.ViewerY = 0;
    cam.Zoom = -43;
    cam.RotationX = 30;
    cam.RotationY = 0;
    cam.RotationZ = 0.5f;
    TourGlide(s, *t, cam);   // slot 0: -0.0942, -5.0556, zoom 27, rotations 4, 357, 0
    EXPECT_NEAR(cam.ViewerX, 0, 1e-9);   // within a step: down and back up again
    EXPECT_NEAR(cam.ViewerY, -0.1, 1e-9);
    EXPECT_EQ(cam.Zoom, -42);
    EXPECT_FLOAT_EQ(cam.RotationX, 29);
    EXPECT_FLOAT_EQ(cam.RotationY, 1);
    EXPECT_FLOAT_EQ(cam.RotationZ, 0.5f);
    for (int i = 0; i < 400; ++i) TourGlide(s, *t, cam);
    EXPECT_NEAR(cam.ViewerX, -0.0942, 0.1);
    EXPECT_NEAR(cam.ViewerY, -5.0556, 0.1);
    EXPECT_EQ(cam.Zoom, -27);
    EXPECT_FLOAT_EQ(cam.RotationX, 4);
    EXPECT_FLOAT_EQ(cam.RotationY, 357);
    EXPECT_LE(std::abs(cam.RotationZ), 1.0f);
}

}  // namespace
