// The renderer on an EGL framebuffer: what a jet and the collector rings put on screen.
#include "visualiser/ui/offscreen_gl.h"
#include "visualiser/ui/renderer.h"

#include <gtest/gtest.h>

#include <memory>

using namespace spirelo;

namespace {

constexpr int kSize = 256;

struct Rgb {
    int r, g, b;
};

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(gl.create(kSize, kSize, &error)) << error;
        s = MakeVisualiserState();
        layers = FrameLayers{};
        layers = {false, false, false, false, false, false, false, false, false, false, false, false};
        s->camera.Zoom = -43;
        s->camera.RotationX = s->camera.RotationY = s->camera.RotationZ = 0;
        s->camera.ViewerX = 0;
        s->camera.ViewerY = -3;
        renderer.InitGLState(kSize, kSize);
    }
    void TearDown() override { renderer.Release(); }

    void render() {
        RecountJets(s->collectors, s->jets);
        renderer.DrawFrame(*s, layers);
        gl.finish();
        pixels = gl.readPixels();
    }
    // Row 0 is the top of the picture; alpha is ignored (blending writes alpha below 1).
    Rgb at(int x, int rowFromTop) const {
        size_t i = (size_t(kSize - 1 - rowFromTop) * kSize + x) * 4;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }
    int litIn(int x0, int x1, int y0, int y1) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                Rgb p = at(x, y);
                if (p.r + p.g + p.b > 60) ++n;
            }
        return n;
    }
    void singleJetAtOrigin() {
        CollectorTable& c = s->collectors;
        c.Kind[1] = kKindSingle;
        c.Kolvo[1] = 1;
        c.High[1] = 10;
        c.LengJet[1] = 100;
        c.Nozzle[1] = 8;
        c.PumpDmx[1] = 1;
    }

    OffscreenGl gl;
    SceneRenderer renderer;
    std::unique_ptr<VisualiserState> s;
    FrameLayers layers;
    std::vector<uint8_t> pixels;
};

TEST_F(RendererTest, FullLevelVerticalJetRisesAboveTheOriginAndMinimumBlanksIt) {
    singleJetAtOrigin();
    layers.streams = true;
    SmoothLevels(s->levels, DmxMode::AllOn);
    render();
    // The origin sits about 33 rows below the centre, the 10 m top about 78 rows above it.
    EXPECT_GT(litIn(120, 136, 60, 150), 60) << "a white column above the nozzle";
    Rgb mid = at(128, 100);
    EXPECT_GT(mid.r, 150);
    EXPECT_GT(mid.g, 150);
    EXPECT_GT(mid.b, 150);
    EXPECT_EQ(litIn(0, 100, 0, kSize - 1), 0) << "nothing beside the jet";

    SmoothLevels(s->levels, DmxMode::AllOff);
    render();
    EXPECT_EQ(litIn(0, kSize - 1, 0, 150), 0) << "no water above the nozzle at zero power";
}

TEST_F(RendererTest, JetTakesTheColourOfItsLightGroupWhenSpotsAreOn) {
    singleJetAtOrigin();
    s->collectors.SpotDmx[1] = 10;
    s->collectors.SpotGroups[1] = 1;
    layers.streams = true;
    layers.spot = true;
    SmoothLevels(s->levels, DmxMode::AllOn);
    s->levels.DmxDisplay[10] = 255;   // red
    s->levels.DmxDisplay[11] = 0;
    s->levels.DmxDisplay[12] = 0;
    s->levels.DmxDisplay[97] = s->levels.DmxDisplay[98] = s->levels.DmxDisplay[99] = 0;
    render();
    Rgb mid = at(128, 100);
    EXPECT_GT(mid.r, 200);
    EXPECT_NEAR(mid.g, 77, 25);   // 0 / 178 + 0.3
    EXPECT_NEAR(mid.b, 77, 25);
}

TEST_F(RendererTest, EachCollectorRingSitsAtItsOwnPlace) {
    CollectorTable& c = s->collectors;
    for (int i : {1, 2}) {
        c.Kind[i] = kKindRing;
        c.Size[i] = 2;
    }
    c.X[1] = 5;
    c.X[2] = -5;
    layers.nozzle = true;
    s->camera.RotationX = 90;   // from above
    s->camera.ViewerY = 0;
    render();
    EXPECT_GT(litIn(160, 215, 115, 141), 0) << "ring at x = 5";
    EXPECT_GT(litIn(41, 96, 115, 141), 0) << "ring at x = -5";
}

TEST_F(RendererTest, AJetRunningPastTheViewerIsCutAtTheNearPlane) {
    // The jet comes from 5 m ahead and passes just above the viewer to end 5 m behind: in front
    // it rises from the middle to the top edge, and nothing of the part behind may land below.
    singleJetAtOrigin();
    layers.streams = true;
    SmoothLevels(s->levels, DmxMode::AllOn);
    s->camera.RotationX = 80;
    s->camera.ViewerY = 0;
    s->camera.Zoom = -5;
    render();
    EXPECT_GT(litIn(100, 156, 0, 120), 100) << "the part in front, up from the middle";
    EXPECT_EQ(litIn(0, kSize - 1, 140, kSize - 1), 0) << "nothing folded back from behind";
}

TEST_F(RendererTest, InitRunsAgainOnTheSameContext) {
    singleJetAtOrigin();
    layers.streams = true;
    SmoothLevels(s->levels, DmxMode::AllOn);
    renderer.InitGLState(kSize, kSize);
    render();
    EXPECT_GT(litIn(120, 136, 60, 150), 60);
}

}  // namespace
