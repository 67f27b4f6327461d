#include "visualiser/scene_geometry.h"

#include "visualiser/live_levels.h"

#include <algorithm>
#include <cmath>

namespace spirelo {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
}  // namespace

int RandomSource::nextInt(int n) {
    if (n <= 0) return 0;
    int v = int(next01() * n);
    return v >= n ? n - 1 : v;
}

int JetWidth(int nozzle, int32_t zoom) {
    int w = nozzle;
    if (zoom >= -300 && zoom <= -51) w = 1;
    else if (zoom >= -50 && zoom <= -36) w /= 4;
    else if (zoom >= -35 && zoom <= -26) w /= 3;
    else if (zoom >= -25 && zoom <= -18) w /= 2;
    if (w == 0) w = 1;
    if (w > 21) w = 21;
    return w;
}

JetLook ComputeJetLook(const JetTable& jets, int j, const uint8_t* display, bool spotsOn, int32_t zoom) {
    JetLook look;
    look.tilt = jets.Tilt[j];
    if (jets.SkewDmx[j] != 0) look.tilt = LevelAt(display, jets.SkewDmx[j]) / 25.0 - 5.0 + jets.Tilt[j];

    int s = jets.SpotDmx[j];
    if (spotsOn && s != 0) {
        look.red = float(std::min(1.0, LevelAt(display, s) / 178.0 + 0.3));
        look.green = float(std::min(1.0, LevelAt(display, s + 1) / 178.0 + 0.3));
        look.blue = float(std::min(1.0, LevelAt(display, s + 2) / 178.0 + 0.3));
    }

    if (jets.PumpDmx[j] != 0) {
        look.power = LevelAt(display, jets.PumpDmx[j]) / 255.0 * 1.1 - 0.1;
        if (look.power < 0) look.power = 0;
    }
    if (jets.ValveDmx[j] != 0 && LevelAt(display, jets.ValveDmx[j]) == 0) look.power = 0;

    look.width = JetWidth(jets.Nozzle[j], zoom);
    return look;
}

void BuildArc(int segments, double height, double tilt, double power, const ParabolaTable& p,
              RandomSource& rnd, std::vector<Vec3>& line, std::vector<Vec3>& spray) {
    line.clear();
    spray.clear();
    int n = std::clamp(segments, 0, kParabolaPoints - 1);
    line.reserve(size_t(n) + 1);
    line.push_back({0.0f, float((rnd.next01() / 500.0 + p.P[0]) * height * 10.0 + 0.01), 0.0f});
    for (int k = 1; k <= n; ++k) {
        double y = (rnd.next01() / 500.0 + p.P[k]) * height * 10.0 * power + 0.01;
        double z = (rnd.next01() / 500.0 + 0.3 * k) * tilt / 30.0 * power;
        line.push_back({0.0f, float(y), float(z)});
    }
    if (n > 90) {
        Vec3 last = line.back();
        spray.reserve(16);
        for (int i = 0; i < 16; ++i) {
            float dx = float(rnd.next01() / 10.0 - 0.05);
            float dz = float(rnd.next01() / 10.0 - 0.05);
            spray.push_back({last.x + dx, last.y, last.z + dz});
        }
    }
}

void BuildSpiralArm(int arm, double height, int pumpLevel, double phase, Vec3* out) {
    double hs = height / 21.0 * pumpLevel / 255.0;
    double rs = 0.07 * height / 10.0 * pumpLevel / 255.0;
    double phi = 60.0 * arm + phase;
    double r = 0.1, y = 0;
    out[0] = {0, 0, 0};
    for (int i = 1; i < kSpiralArmPoints; ++i) {
        out[i] = {float(r * std::sin(phi * kDegToRad)), float(y), float(r * std::cos(phi * kDegToRad))};
        y += hs;
        phi += 18.0;
        r += rs;
    }
}

void PolarToGrid(double radius, double angleDeg, float& x, float& z) {
    double a = angleDeg * kDegToRad;
    // Whole metres, truncated toward zero, as the placement always did.
    long xi = long(std::ceil(std::sin(a) * 256.0 * radius / 2.0)) / 256;
    long zi = long(std::ceil(radius * std::cos(a) * 256.0 / 2.0)) / 256;
    x = float(xi);
    z = float(zi);
}

void PlacePeople(People& p, RandomSource& rnd) {
    for (int i = 0; i < kPeopleSlots; ++i) {
        p.PersonBase[i] = 0;
        p.PersonHeight[i] = 1;
        p.PersonKind[i] = uint8_t(1 + rnd.nextInt(7));
        int angle = rnd.nextInt(360);
        int radius = 16 + rnd.nextInt(14);
        PolarToGrid(radius, angle, p.PersonX[i], p.PersonZ[i]);
    }
    p.PersonBase[1] = 2;
    p.PersonX[1] = 0.5f;
    p.PersonZ[1] = 0.5f;
    p.PersonBase[2] = 2;
    p.PersonX[2] = -0.5f;
    p.PersonZ[2] = -0.5f;
    p.PersonBase[75] = 1;
    p.PersonX[75] = 0;
    p.PersonZ[75] = 4;
}

void BuildTorusMesh(double tube, double ring, int sides, int rings, std::vector<Vec3>& vertices,
                    std::vector<Vec3>& normals) {
    vertices.clear();
    normals.clear();
    if (sides <= 0 || rings <= 0) return;
    vertices.reserve(size_t(sides) * rings * 4);
    normals.reserve(size_t(sides) * rings * 4);
    auto put = [&](int i, int k) {
        double theta = 2 * kPi * i / rings, phi = 2 * kPi * k / sides;
        double ct = std::cos(theta), st = std::sin(theta), cp = std::cos(phi), sp = std::sin(phi);
        double d = ring + tube * cp;
        vertices.push_back({float(d * ct), float(-d * st), float(tube * sp)});
        normals.push_back({float(cp * ct), float(-cp * st), float(sp)});
    };
    for (int i = 0; i < rings; ++i)
        for (int k = 0; k < sides; ++k) {
            put(i, k);
            put(i + 1, k);
            put(i + 1, k + 1);
            put(i, k + 1);
        }
}

Vec3 PointOnCircle(double radius, double angleDeg, double y) {
    double a = angleDeg * kDegToRad;
    return {float(radius * std::sin(a)), float(y), float(radius * std::cos(a))};
}

namespace {
const SceneBox kLongBuilding[] = {{10, 5, 80, 10, -5.1f, -1}};
const SceneBox kPumpHouse[] = {
    {5, 2.5f, 5, 32, -2, -3}, {0.5f, 3, 0.5f, 30, -1, -4.5f}, {0.5f, 3, 0.5f, 34, -1, -2.2f}, {1, 3, 1, 34, 0.8f, -4.2f}};
const SceneBox kTerraceBlocks[] = {
    {2, 4, 2, 16, 2, 0},     {2, 4, 2, 24, 2, 0},     {2, 4, 2, -16, 2, 0},   {2, 4, 2, -24, 2, 0},
    {10, 2, 2, -20, 5, 0},   {10, 2, 2, 20, 5, 0},    {2, 4, 2, -7, 2, -15},  {2, 4, 2, 7, 2, -15},
    {3, 4, 1, -2.5f, 2, -16}, {3, 4, 1, 2.5f, 2, -16}, {15, 6, 4, 0, 6, -20},  {5, 8, 5, 7.5f, 8, -20},
    {5, 8, 5, -7.5f, 8, -20}};
const BoxGroup kBoxGroups[] = {
    {{0.3f, 0.3f, 0.7f, 0.3f}, 105, kLongBuilding, 1},
    {{0.3f, 0.4f, 0.3f, 0.5f}, 0, kPumpHouse, 4},
    {{0.34f, 0.34f, 0.3f, 0.99f}, 0, kTerraceBlocks, 13}};
const Circle kLampCircles[] = {{9, 15.5f, 6, 35}, {10, 23.5f, 7, 20}, {9, 15.5f, 6, -80}, {10, 23.5f, 7, -85}};
const Circle kPostCircles[] = {{31, 15.5f, 6, 90}, {45, 23.5f, 4, 90}};
const float kTrees[][2] = {{-9, -4}, {-10, -1}, {-13, -3.4f}, {-13, 1}, {-10, -8}};
const Bowl kBowls[] = {{0, 0, 12, 0.5f, 0.5f}, {0, 0, 5, 0.1f, 1.1f}, {0, 0, 3, 1.3f, 2}};
const Pipe kPipes[] = {
    {31.2f, -1, 3, 0, -90, 31.2f}, {31.6f, -1, 3.4f, 0, -90, 31.6f}, {32, -1, 3.8f, 0, -90, 32},
    {32, -1, -1.1f, 0, 0, 5},      {31.6f, -1, -1.5f, 0, 0, 5},      {31.2f, -1, -1.9f, 0, 0, 5},
    {0, -1, 3, -90, 0, 1.2f},      {0, -1, 3.4f, -90, 0, 1.2f},      {0, -1, 3.8f, -90, 0, 1.2f},
    {0, -4, -5, -45, 0, 8}};
}  // namespace

const BoxGroup* SceneryBoxGroups(int& count) { count = 3; return kBoxGroups; }
const Circle* LampCircles(int& count) { count = 4; return kLampCircles; }
const Circle* PostCircles(int& count) { count = 2; return kPostCircles; }
const float (*TreePositions(int& count))[2] { count = 5; return kTrees; }
const Bowl* Bowls(int& count) { count = 3; return kBowls; }
const Pipe* Pipes(int& count) { count = 10; return kPipes; }

const Colour4 kPersonAColours[9] = {{0, 0, 0, 1}, {0, 0, 0, 1}, {0.5f, 0.5f, 0.5f, 1}, {1, 0, 0, 1}, {1, 0, 1, 1},
                                    {0, 1, 0, 1}, {0, 1, 1, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}};
const Colour4 kPersonBColours[9] = {{0, 0, 0, 1}, {0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {1, 0, 1, 1},
                                    {0, 1, 0, 1}, {0, 1, 1, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}};

}  // namespace spirelo
