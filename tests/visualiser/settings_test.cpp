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
