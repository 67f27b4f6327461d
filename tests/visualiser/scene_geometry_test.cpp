#include "visualiser/scene_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace spirelo;

namespace {

// Hands out a fixed sequence (repeating), so spray and jitter are predictable.
class FixedRandom : public RandomSource {
public:
    explicit FixedRandom(std::vector<double> v) : v_(std::move(v)) {}
    double next01() override { return v_[i_++ % v_.size()]; }
private:
    std::vector<double> v_;
    size_t i_ = 0;
};

class JetLookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetJetTable(*jets);
        for (auto& l : levels) l = 0;
        jets->Tilt[1] = 2;
        jets->Nozzle[1] = 8;
    }
    JetLook look(int32_t zoom = -100, bool spots = true) { return ComputeJetLook(*jets, 1, levels, spots, zoom); }
    std::unique_ptr<JetTable> jets = std::make_unique<JetTable>();
    uint8_t levels[513];
};

TEST_F(JetLookTest, PowerFromPumpAndValve) {
    EXPECT_DOUBLE_EQ(look().power, 1);   // no pump address: full power
    jets->PumpDmx[1] = 10;
    struct Case {
        int level;
        double power;
    };
    for (Case c : {Case{0, 0}, Case{23, 0}, Case{24, 24 / 255.0 * 1.1 - 0.1}, Case{128, 128 / 255.0 * 1.1 - 0.1},
                   Case{255, 1.0}}) {
        levels[10] = uint8_t(c.level);
        EXPECT_NEAR(look().power, c.power, 1e-12) << c.level;
    }
    jets->ValveDmx[1] = 11;
    levels[10] = 255;
    levels[11] = 0;
    EXPECT_DOUBLE_EQ(look().power, 0);   // closed valve stops a full pump
    levels[11] = 1;
    EXPECT_NEAR(look().power, 1, 1e-12);
    jets->ValveDmx[1] = 0;
    levels[0] = 0;
    EXPECT_NEAR(look().power, 1, 1e-12);   // no valve address: valves ignored
    jets->PumpDmx[1] = 600;                  // beyond the universe reads 0
    EXPECT_DOUBLE_EQ(look().power, 0);
}

TEST_F(JetLookTest, TiltSwingsWithItsChannel) {
    EXPECT_DOUBLE_EQ(look().tilt, 2);
    jets->SkewDmx[1] = 5;
    struct Case {
        int level;
        double tilt;
    };
    for (Case c : {Case{125, 2}, Case{0, -3}, Case{255, 7.2}}) {
        levels[5] = uint8_t(c.level);
        EXPECT_NEAR(look().tilt, c.tilt, 1e-12) << c.level;
    }
}

TEST_F(JetLookTest, ColourFromTheLightGroup) {
    JetLook w = look();
    EXPECT_EQ(w.red, 1);
    EXPECT_EQ(w.blue, 1);
    jets->SpotDmx[1] = 511;   // blue would be channel 513: reads 0
    levels[511] = 255;
    levels[512] = 89;
    JetLook c = look();
    EXPECT_FLOAT_EQ(c.red, 1);   // saturates
    EXPECT_NEAR(c.green, 89 / 178.0 + 0.3, 1e-6);
    EXPECT_NEAR(c.blue, 0.3, 1e-6);
    JetLook off = look(-100, false);
    EXPECT_EQ(off.green, 1);   // spots off: white
}

TEST(JetWidth, ThinnedByDistance) {
    struct Case {
        int nozzle, zoom, width;
    };
    const Case cases[] = {{8, -40, 2},  {0, -40, 1},  {0, -10, 1},   {12, -300, 1}, {12, -51, 1},
                          {12, -50, 3}, {12, -36, 3}, {12, -35, 4},  {12, -26, 4},  {12, -25, 6},
                          {12, -18, 6}, {12, -17, 12}, {30, -10, 21}, {30, -400, 21}, {3, -45, 1}};
    for (const Case& c : cases) EXPECT_EQ(JetWidth(c.nozzle, c.zoom), c.width) << c.nozzle << " at " << c.zoom;
}

TEST(Arc, FullArcPeaksAtHeightAndLandsAtFullReach) {
    ParabolaTable p;
    FillParabolaTable(p);
    FixedRandom zero({0.0});
    std::vector<Vec3> line, spray;
    BuildArc(100, 6, 3, 1, p, zero, line, spray);
    ASSERT_EQ(line.size(), 101u);
    EXPECT_NEAR(line[0].y, 0.01, 1e-6);
    EXPECT_NEAR(line[50].y, 6.01, 1e-5);
    EXPECT_NEAR(line[100].y, 0.01, 1e-6);
    EXPECT_NEAR(line[100].z, 0.01 * 100 * 3, 1e-5);
    EXPECT_NEAR(line[25].z, 0.01 * 25 * 3, 1e-5);
    for (const Vec3& v : line) EXPECT_EQ(v.x, 0);
    ASSERT_EQ(spray.size(), 16u);
    EXPECT_NEAR(spray[0].x, -0.05, 1e-6);
    EXPECT_NEAR(spray[0].z, line[100].z - 0.05, 1e-5);

    BuildArc(90, 6, 3, 1, p, zero, line, spray);
    EXPECT_TRUE(spray.empty()) << "no spray up to 90 segments";
    BuildArc(250, 6, 3, 1, p, zero, line, spray);
    EXPECT_NEAR(line[200].y, 0.01, 1e-6) << "beyond 100 the jet runs along the ground";
    EXPECT_NEAR(line[200].z, 6, 1e-5);

    BuildArc(100, 6, 3, 0.5, p, zero, line, spray);
    EXPECT_NEAR(line[50].y, 3.01, 1e-5);
    EXPECT_NEAR(line[100].z, 1.5, 1e-5);

    FixedRandom half({0.5});
    BuildArc(100, 6, 3, 1, p, half, line, spray);
    EXPECT_NEAR(line[50].y, (0.001 + 0.1) * 60 + 0.01, 1e-5);
    EXPECT_NEAR(spray[3].x, 0, 1e-6);
}

TEST(Arc, SpiralArmsGrowWithThePump) {
    Vec3 arm[kSpiralArmPoints];
    BuildSpiralArm(0, 21, 255, 0, arm);
    EXPECT_EQ(arm[0].y, 0);
    EXPECT_NEAR(arm[1].z, 0.1, 1e-6);   // phase 0: along z
    EXPECT_NEAR(arm[1].x, 0, 1e-6);
    EXPECT_NEAR(arm[21].y, 20, 1e-4);   // 20 rises of H/21
    double r21 = std::hypot(arm[21].x, arm[21].z);
    EXPECT_NEAR(r21, 0.1 + 20 * 0.07 * 2.1, 1e-4);
    BuildSpiralArm(1, 21, 255, 30, arm);
    EXPECT_NEAR(arm[1].x, 0.1, 1e-6);   // 60 + 30 = 90 degrees
    BuildSpiralArm(2, 21, 0, 0, arm);   // no pump: the arm stays a small circle on the ground
    for (int i = 1; i < kSpiralArmPoints; ++i) {
        EXPECT_EQ(arm[i].y, 0);
        EXPECT_NEAR(std::hypot(arm[i].x, arm[i].z), 0.1, 1e-6);
    }
}

TEST(Arc, SpiralPhaseStaysWithinATurnAndKeepsItsSteps) {
    float phase = 0;
    Vec3 a[kSpiralArmPoints], b[kSpiralArmPoints];
    for (int frame = 1; frame <= 10'000'000; ++frame) {
        AdvanceSpiralPhase(phase);
        ASSERT_GT(phase, -360.0f);
        ASSERT_LE(phase, 0.0f);
    }
    // Ten million frames on, the arms still turn by 7 degrees a frame.
    BuildSpiralArm(0, 21, 255, phase, a);
    AdvanceSpiralPhase(phase);
    BuildSpiralArm(0, 21, 255, phase + 7, b);
    for (int i = 0; i < kSpiralArmPoints; ++i) {
        EXPECT_NEAR(a[i].x, b[i].x, 1e-4);
        EXPECT_NEAR(a[i].z, b[i].z, 1e-4);
    }
}

TEST(People, PlacementFromTheRandomSource) {
    auto p = std::make_unique<People>();
    FixedRandom r({0.0, 0.25, 0.5});   // kind, angle, radius per slot
    PlacePeople(*p, r);
    // kind 1 + int(0 * 7); angle int(0.25 * 360) = 90; radius 16 + int(0.5 * 14) = 23
    EXPECT_EQ(p->PersonKind[0], 1);
    EXPECT_FLOAT_EQ(p->PersonX[0], 11);   // ceil(1 * 256 * 23 / 2) div 256 = 11
    EXPECT_FLOAT_EQ(p->PersonZ[0], 0);
    EXPECT_FLOAT_EQ(p->PersonHeight[300], 1);
    EXPECT_FLOAT_EQ(p->PersonBase[1], 2);
    EXPECT_FLOAT_EQ(p->PersonX[1], 0.5f);
    EXPECT_FLOAT_EQ(p->PersonZ[2], -0.5f);
    EXPECT_FLOAT_EQ(p->PersonBase[75], 1);
    EXPECT_FLOAT_EQ(p->PersonZ[75], 4);
    for (int i = 0; i < kPeopleSlots; ++i) {
        EXPECT_GE(p->PersonKind[i], 1);
        EXPECT_LE(p->PersonKind[i], 7);
    }
    float x, z;
    PolarToGrid(29, 180, x, z);
    EXPECT_FLOAT_EQ(x, 0);
    EXPECT_FLOAT_EQ(z, -14);   // truncated toward zero
    PolarToGrid(17, 225, x, z);
    EXPECT_FLOAT_EQ(x, -6);
    EXPECT_FLOAT_EQ(z, -6);
}

TEST(Torus, MeshFollowsTheRingFormula) {
    std::vector<Vec3> v, n;
    BuildTorusMesh(0.1, 2, 4, 21, v, n);
    ASSERT_EQ(v.size(), 4u * 21 * 4);
    ASSERT_EQ(n.size(), v.size());
    EXPECT_NEAR(v[0].x, 2.1, 1e-6);   // ring 0, side 0
    EXPECT_NEAR(v[0].y, 0, 1e-6);
    EXPECT_NEAR(n[0].x, 1, 1e-6);
    // Every vertex lies at the tube radius from the ring circle, along its normal.
    for (size_t i = 0; i < v.size(); ++i) {
        double ring = std::hypot(v[i].x, v[i].y);
        EXPECT_NEAR(std::hypot(ring - 2, v[i].z), 0.1, 1e-5);
        EXPECT_NEAR(std::sqrt(n[i].x * n[i].x + n[i].y * n[i].y + n[i].z * n[i].z), 1, 1e-5);
    }
}

TEST(Scenery, Tables) {
    int n = 0;
    const BoxGroup* g = SceneryBoxGroups(n);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(g[0].count + g[1].count + g[2].count, 18);
    EXPECT_FLOAT_EQ(g[0].rotateY, 105);
    EXPECT_FLOAT_EQ(g[2].boxes[10].sx, 15);   // (15, 6, 4) at (0, 6, -20)
    EXPECT_FLOAT_EQ(g[2].boxes[10].cz, -20);
    LampCircles(n);
    EXPECT_EQ(n, 4);
    const Pipe* pipes = Pipes(n);
    ASSERT_EQ(n, 10);
    EXPECT_FLOAT_EQ(pipes[9].length, 8);
    Vec3 p = PointOnCircle(2, 90, 5);
    EXPECT_NEAR(p.x, 2, 1e-6);
    EXPECT_NEAR(p.z, 0, 1e-6);
    EXPECT_EQ(p.y, 5);
}

}  // namespace
