#include "visualiser/visualiser_state.h"

#include <algorithm>
#include <cmath>

namespace spirelo {

std::unique_ptr<VisualiserState> MakeVisualiserState() {
    auto s = std::make_unique<VisualiserState>();
    ResetVisualiserTables(*s);
    FastRandom rnd;
    PlacePeople(s->people, rnd);
    return s;
}

VisualiserState& VisualiserInstance() {
    static std::unique_ptr<VisualiserState> instance = MakeVisualiserState();
    return *instance;
}

void ResetVisualiserTables(VisualiserState& s) {
    FillParabolaTable(s.parabola);
    ResetLiveLevels(s.levels);
    ResetJetTable(s.jets);
    ResetCollectorTable(s.collectors);
}

const char* const kButtonKeys[kPersistedButtons] = {"Alfa", "Depth", "Wire", "Grid", "Axis",
                                                    "Streams", "Spot", "ObjOn", "WaterOn"};

bool* PersistedLayer(FrameLayers& l, int i) {
    bool* fields[kPersistedButtons] = {&l.alfa, &l.depth, &l.wire, &l.grid, &l.axis,
                                       &l.streams, &l.spot, &l.objects, &l.water};
    return i >= 0 && i < kPersistedButtons ? fields[i] : nullptr;
}

long long BumpOpenCount(IniFile& ini) {
    long long n = SaturatingIncrement(ini.readInteger("AreaCount", "CountOpen", 1));
    ini.writeInteger("AreaCount", "CountOpen", n);
    return n;
}

namespace {
// Stored values are clamped to what the window itself can produce, so an edited or damaged
// file cannot push the camera into overflow or the drawing into NaN.
long long IntIn(const IniFile& ini, const char* sec, const char* key, long long def, long long lo, long long hi) {
    return std::clamp(ini.readInteger(sec, key, def), lo, hi);
}
double FloatIn(const IniFile& ini, const char* sec, const char* key, double def, double lo, double hi) {
    double v = ini.readFloat(sec, key, def);
    return std::isfinite(v) ? std::clamp(v, lo, hi) : def;
}
constexpr double kAngleLimit = 720;      // a turn either way, plus a drag's worth
constexpr double kOffsetLimit = 1.0e6;   // far beyond any layout
constexpr long long kFormLimit = 100000;
}  // namespace

void RememberKeptNotes(IniFile& ini, const std::string& path) { ini.writeString("File", "KeptNotes", path); }

std::string TakeKeptNotes(IniFile& ini) {
    std::string path = ini.readString("File", "KeptNotes", "");
    ini.eraseKey("File", "KeptNotes");
    return path;
}

VisualiserSettings ReadVisualiserSettings(const IniFile& ini) {
    VisualiserSettings s;
    Camera& c = s.camera;
    c.Zoom = int32_t(IntIn(ini, "SavePos", "Zoom", -43, kZoomMin, kZoomMax));
    c.RotationX = float(FloatIn(ini, "SavePos", "RotationX", 30, -kAngleLimit, kAngleLimit));
    c.RotationY = float(FloatIn(ini, "SavePos", "RotationY", 0, -kAngleLimit, kAngleLimit));
    c.RotationZ = float(FloatIn(ini, "SavePos", "RotationZ", 0, -kAngleLimit, kAngleLimit));
    c.ViewerX = FloatIn(ini, "SavePos", "ViewerX", 0, -kOffsetLimit, kOffsetLimit);
    c.ViewerY = FloatIn(ini, "SavePos", "ViewerY", -3, -kOffsetLimit, kOffsetLimit);
    c.Heading = float(FloatIn(ini, "SavePos", "Heading", 180, -kAngleLimit, kAngleLimit));
    c.Xengine = float(FloatIn(ini, "SavePos", "Xengine", 50, -kOffsetLimit, kOffsetLimit));
    c.Zengine = float(FloatIn(ini, "SavePos", "Zengine", 50, -kOffsetLimit, kOffsetLimit));
    c.tilt = float(FloatIn(ini, "SavePos", "tilt", 1, -kAngleLimit, kAngleLimit));
    for (int i = 0; i < kPersistedButtons; ++i)
        *PersistedLayer(s.layers, i) = ini.readBool("Button", kButtonKeys[i], false);
    s.mainForm.left = int(IntIn(ini, "FormMain", "Left", 500, -kFormLimit, kFormLimit));
    s.mainForm.top = int(IntIn(ini, "FormMain", "Top", 500, -kFormLimit, kFormLimit));
    s.mainForm.height = int(IntIn(ini, "FormMain", "Height", 1000, 0, kFormLimit));
    s.mainForm.width = int(IntIn(ini, "FormMain", "Width", 1000, 0, kFormLimit));
    s.mainFormSaved = true;
    for (const char* key : {"Left", "Top", "Height", "Width"}) s.mainFormSaved = s.mainFormSaved && ini.hasKey("FormMain", key);
    s.lastFile = ini.readString("File", "LastFile", kNoLayoutFile);
    return s;
}

void WriteVisualiserSettings(IniFile& ini, const VisualiserSettings& s) {
    const Camera& c = s.camera;
    ini.writeInteger("SavePos", "Zoom", c.Zoom);
    ini.writeFloat("SavePos", "RotationX", c.RotationX);
    ini.writeFloat("SavePos", "RotationY", c.RotationY);
    ini.writeFloat("SavePos", "RotationZ", c.RotationZ);
    ini.writeFloat("SavePos", "ViewerX", c.ViewerX);
    ini.writeFloat("SavePos", "ViewerY", c.ViewerY);
    ini.writeFloat("SavePos", "Heading", c.Heading);
    ini.writeFloat("SavePos", "Xengine", c.Xengine);
    ini.writeFloat("SavePos", "Zengine", c.Zengine);
    ini.writeFloat("SavePos", "tilt", c.tilt);
    FrameLayers layers = s.layers;
    for (int i = 0; i < kPersistedButtons; ++i)
        ini.writeBool("Button", kButtonKeys[i], *PersistedLayer(layers, i));
    if (s.mainFormSaved) {
        ini.writeInteger("FormMain", "Left", s.mainForm.left);
        ini.writeInteger("FormMain", "Top", s.mainForm.top);
        ini.writeInteger("FormMain", "Height", s.mainForm.height);
        ini.writeInteger("FormMain", "Width", s.mainForm.width);
    }
    ini.writeString("File", "LastFile", s.lastFile);
}

bool CountFrame(VisualiserState& s, uint32_t tickMs, int& fps) {
    s.FrameCount += 1;
    uint32_t elapsed = tickMs - s.FpsLastTick;
    if (elapsed <= 1000) return false;
    fps = int(uint64_t(s.FrameCount) * 1000 / elapsed);
    s.FpsLastTick = tickMs;
    s.FrameCount = 0;
    return true;
}

}  // namespace spirelo
