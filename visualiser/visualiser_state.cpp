#include "visualiser/visualiser_state.h"

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
    long long n = ini.readInteger("AreaCount", "CountOpen", 1) + 1;
    ini.writeInteger("AreaCount", "CountOpen", n);
    return n;
}

VisualiserSettings ReadVisualiserSettings(const IniFile& ini) {
    VisualiserSettings s;
    Camera& c = s.camera;
    c.Zoom = int32_t(ini.readInteger("SavePos", "Zoom", -43));
    c.RotationX = float(ini.readFloat("SavePos", "RotationX", 30));
    c.RotationY = float(ini.readFloat("SavePos", "RotationY", 0));
    c.RotationZ = float(ini.readFloat("SavePos", "RotationZ", 0));
    c.ViewerX = ini.readFloat("SavePos", "ViewerX", 0);
    c.ViewerY = ini.readFloat("SavePos", "ViewerY", -3);
    c.Heading = float(ini.readFloat("SavePos", "Heading", 180));
    c.Xengine = float(ini.readFloat("SavePos", "Xengine", 50));
    c.Zengine = float(ini.readFloat("SavePos", "Zengine", 50));
    c.tilt = float(ini.readFloat("SavePos", "tilt", 1));
    for (int i = 0; i < kPersistedButtons; ++i)
        *PersistedLayer(s.layers, i) = ini.readBool("Button", kButtonKeys[i], false);
    s.mainForm.left = int(ini.readInteger("FormMain", "Left", 500));
    s.mainForm.top = int(ini.readInteger("FormMain", "Top", 500));
    s.mainForm.height = int(ini.readInteger("FormMain", "Height", 1000));
    s.mainForm.width = int(ini.readInteger("FormMain", "Width", 1000));
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
    ini.writeInteger("FormMain", "Left", s.mainForm.left);
    ini.writeInteger("FormMain", "Top", s.mainForm.top);
    ini.writeInteger("FormMain", "Height", s.mainForm.height);
    ini.writeInteger("FormMain", "Width", s.mainForm.width);
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
