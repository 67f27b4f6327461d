// The pure geometry of the 3D view: what one jet looks like at the current levels (tilt,
// power, colour, width), its arc or spiral points, the people, the torus mesh, and the fixed
// scenery as data tables. The renderer only turns these into GL calls.
#pragma once

#include "visualiser/layout_model.h"

#include <cstdint>
#include <vector>

namespace spirelo {

// Uniform numbers for the spray and the jitter of the arcs; tests inject their own.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next01() = 0;                 // [0, 1)
    int nextInt(int n);                          // 0..n-1 (0 when n <= 0)
};

// A fast generator for the frames (xorshift), seeded once.
class FastRandom final : public RandomSource {
public:
    explicit FastRandom(uint32_t seed = 0x9E3779B9u) : s_(seed ? seed : 1u) {}
    double next01() override {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return (s_ >> 8) * (1.0 / 16777216.0);
    }
private:
    uint32_t s_;
};

struct Vec3 {
    float x, y, z;
};

// Work values of a jet at the current levels.
struct JetLook {
    double tilt = 0;
    double power = 1;
    float red = 1, green = 1, blue = 1;
    int width = 1;
};

// Line width of a jet: the nozzle kind thinned by distance, then 1..21.
int JetWidth(int nozzle, int32_t zoom);
JetLook ComputeJetLook(const JetTable& jets, int j, const uint8_t* display, bool spotsOn, int32_t zoom);

// The arc of jet kinds 1, 2, 3, 4 and 6 in the jet's own frame: points p0..pN into line
// (N + 1 points), and 16 spray points around the last point when N > 90 (else none).
void BuildArc(int segments, double height, double tilt, double power, const ParabolaTable& p,
              RandomSource& rnd, std::vector<Vec3>& line, std::vector<Vec3>& spray);

// The rotation jets turn 7 degrees per frame; the phase is kept within one turn so that a
// visualiser left running for days keeps its float precision (the arms look the same).
inline void AdvanceSpiralPhase(float& phase) {
    phase -= 7;
    if (phase <= -360) phase += 360;
}

inline constexpr int kSpiralArms = 6;
inline constexpr int kSpiralArmPoints = 22;   // the start point and 21 more
// Arm i (0..5) of a rotation jet at the given pump level and spiral phase (degrees).
void BuildSpiralArm(int arm, double height, int pumpLevel, double phase, Vec3* out);

// --- People ---------------------------------------------------------------------------------
inline constexpr int kPeopleSlots = 301;
struct People {
    float PersonX[kPeopleSlots], PersonZ[kPeopleSlots], PersonBase[kPeopleSlots], PersonHeight[kPeopleSlots];
    uint8_t PersonKind[kPeopleSlots];
};
void PolarToGrid(double radius, double angleDeg, float& x, float& z);
void PlacePeople(People& p, RandomSource& rnd);

// --- Torus ----------------------------------------------------------------------------------
// Quads (4 vertices each, with normals) of a torus about the z axis.
void BuildTorusMesh(double tube, double ring, int sides, int rings, std::vector<Vec3>& vertices,
                    std::vector<Vec3>& normals);

// --- Scenery tables -------------------------------------------------------------------------
struct Colour4 {
    float r, g, b, a;
};
struct SceneBox {
    float sx, sy, sz;   // size
    float cx, cy, cz;   // centre
};
struct BoxGroup {
    Colour4 colour;
    float rotateY;      // degrees, about the group's origin
    const SceneBox* boxes;
    int count;
};
struct Circle {
    int count;
    float radius, step, start;   // degrees
};
struct Bowl {
    float base, angle, diameter, wall, height;
};
struct Pipe {
    float x, y, z;
    float rotX, rotY;    // degrees: a GLU cylinder runs along +z, turned by these
    float length;
};

const BoxGroup* SceneryBoxGroups(int& count);   // scenery steps 1, 2 and 5
const Circle* LampCircles(int& count);
const Circle* PostCircles(int& count);
const float (*TreePositions(int& count))[2];    // (x, z)
const Bowl* Bowls(int& count);
const Pipe* Pipes(int& count);
Vec3 PointOnCircle(double radius, double angleDeg, double y);   // (r sin a, y, r cos a)

// Moving-head beams: RGB channel and pan/tilt channels of each.
struct BeamChannels {
    int rgb, pan, tilt;
};
inline constexpr BeamChannels kBeams[4] = {{97, 109, 110}, {100, 111, 112}, {103, 113, 114}, {106, 115, 116}};

// Body colours of the two kinds of people, by kind 1..8 (index 0 unused).
extern const Colour4 kPersonAColours[9];
extern const Colour4 kPersonBColours[9];

}  // namespace spirelo
