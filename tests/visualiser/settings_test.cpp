#include "visualiser/visualiser_state.h"

#include <gtest/gtest.h>

using namespace spirelo;

namespace {

TEST(VisualiserSettings, DefaultsOnAFirstStart) {
    IniFile ini;
    VisualiserSettings s = ReadVisualiserSettings(ini);
    EXPECT_EQ(s.camera.Zoom, -43);
    EXPECT_FLOAT_EQ(s.camera.RotationX, 30);
    EXPECT_DOUBLE_EQ(s.camera.ViewerY, -3);
    EXPECT_FLOAT_EQ(s.camera.Heading, 180);
    EXPECT_EQ(s.mainForm.width, 1000);
    EXPECT_EQ(s.lastFile, "No File");
    FrameLayers l = s.layers;
    for (int i = 0; i < kPersistedButtons; ++i) EXPECT_FALSE(*PersistedLayer(l, i)) << kButtonKeys[i];
    EXPECT_TRUE(l.nozzle && l.cup && l.people);   // not persisted: down
    EXPECT_EQ(BumpOpenCount(ini), 2);
    EXPECT_EQ(BumpOpenCount(ini), 3);
}

TEST(VisualiserSettings, RoundTrip) {
    VisualiserSettings s;
    s.camera.Zoom = -120;
    s.camera.RotationY = 12.5f;
    s.camera.ViewerX = -1.25;
    s.camera.tilt = -11;
    s.layers = {true, false, true, false, true, false, true, false, true, false, true, false};
    s.mainForm = {10, 20, 300, 400};
    s.lastFile = "/home/u/Фонтан.a3d";
    IniFile ini;
    WriteVisualiserSettings(ini, s);
    IniFile back;
    back.loadFromText(ini.toText());
    VisualiserSettings r = ReadVisualiserSettings(back);
    EXPECT_EQ(r.camera.Zoom, -120);
    EXPECT_FLOAT_EQ(r.camera.RotationY, 12.5f);
    EXPECT_DOUBLE_EQ(r.camera.ViewerX, -1.25);
    EXPECT_FLOAT_EQ(r.camera.tilt, -11);
    EXPECT_EQ(r.mainForm.left, 10);
    EXPECT_EQ(r.mainForm.height, 300);
    EXPECT_EQ(r.lastFile, s.lastFile);
    FrameLayers a = s.layers, b = r.layers;
    for (int i = 0; i < kPersistedButtons; ++i) EXPECT_EQ(*PersistedLayer(a, i), *PersistedLayer(b, i)) << kButtonKeys[i];
    EXPECT_EQ(back.readString("Button", "Alfa", ""), "0");   // alfa is false above
    EXPECT_EQ(back.readString("Button", "Grid", ""), "0");
    EXPECT_EQ(back.readString("Button", "Depth", ""), "1");
}

// Stored values the window could never have written come back within its ranges: no overflow
// in the camera, no NaN in the drawing, and a start count that stops at the largest value.
TEST(VisualiserSettings, ExtremeStoredValuesAreClamped) {
    IniFile ini;
    ini.loadFromText("[SavePos]\nZoom=9223372036854775807\nRotationX=1e300\nRotationY=nan\n"
                     "ViewerX=-inf\nViewerY=1e200\ntilt=-1e40\n"
                     "[FormMain]\nLeft=-9223372036854775808\nWidth=4294967296\n"
                     "[AreaCount]\nCountOpen=9223372036854775807\n");
    VisualiserSettings s = ReadVisualiserSettings(ini);
    EXPECT_EQ(s.camera.Zoom, kZoomMax);
    EXPECT_FLOAT_EQ(s.camera.RotationX, 720);
    EXPECT_FLOAT_EQ(s.camera.RotationY, 0);      // not a number: the default
    EXPECT_DOUBLE_EQ(s.camera.ViewerX, 0);       // not finite: the default
    EXPECT_DOUBLE_EQ(s.camera.ViewerY, 1.0e6);
    EXPECT_FLOAT_EQ(s.camera.tilt, -720);
    EXPECT_EQ(s.mainForm.left, -100000);
    EXPECT_EQ(s.mainForm.width, 100000);
    CameraWheel(s.camera, 1 << 30);
    EXPECT_EQ(s.camera.Zoom, kZoomMax);
    EXPECT_EQ(BumpOpenCount(ini), INT64_MAX);
    ini.loadFromText("[SavePos]\nZoom=-2147483648\n");
    EXPECT_EQ(ReadVisualiserSettings(ini).camera.Zoom, kZoomMin);
}

TEST(VisualiserState, FpsCountsFramesOverMoreThanASecond) {
    auto s = MakeVisualiserState();
    int fps = 0;
    s->FpsLastTick = 1000;
    for (uint32_t t = 1016; t <= 2000; t += 16) EXPECT_FALSE(CountFrame(*s, t, fps));
    EXPECT_TRUE(CountFrame(*s, 2010, fps));
    EXPECT_EQ(fps, 63 * 1000 / 1010);   // 62 frames in the loop and this one
    EXPECT_EQ(s->FrameCount, 0u);
    EXPECT_EQ(s->FpsLastTick, 2010u);
}

}  // namespace
