// Glimmora's program-wide state: the layout, the jets, the live levels, the camera and tour,
// the people. One instance for the running program (VisualiserInstance, allocated once);
// logic takes the parts it touches so tests pass their own.
#pragma once

#include "common/ini_file.h"
#include "visualiser/camera.h"
#include "visualiser/layout_model.h"
#include "visualiser/live_levels.h"
#include "visualiser/scene_geometry.h"

#include <cstdint>
#include <memory>
#include <string>

namespace spirelo {

inline constexpr const char* kNoLayoutFile = "No File";

// The layer buttons of the main tool bar, read by the frame.
struct FrameLayers {
    bool axis = true, grid = true, nozzle = true, streams = true, cup = true, water = true;
    bool spot = true, objects = true, people = true, alfa = true, depth = true, wire = true;
};

struct VisualiserState {
    CollectorTable collectors;
    JetTable jets;
    ParabolaTable parabola;
    LiveLevels levels;
    Camera camera;
    TourState tour;
    People people;
    float SpiralPhase = 0;
    uint32_t FrameCount = 0, FpsLastTick = 0;
    std::string LayoutFileName = kNoLayoutFile;
    std::string IniFileName;
    int CurrentCollector = 1;
};

std::unique_ptr<VisualiserState> MakeVisualiserState();   // start values
VisualiserState& VisualiserInstance();

// Start-up steps on the tables: parabola, levels, jets, collectors (tour slots included).
void ResetVisualiserTables(VisualiserState& s);

// --- Settings file ----------------------------------------------------------------------------
struct FormBounds {
    int left = 500, top = 500, height = 1000, width = 1000;
};

// The "Button" keys in file order: Alfa, Depth, Wire, Grid, Axis, Streams, Spot, ObjOn, WaterOn.
inline constexpr int kPersistedButtons = 9;
extern const char* const kButtonKeys[kPersistedButtons];
bool* PersistedLayer(FrameLayers& l, int i);

struct VisualiserSettings {
    Camera camera;           // view values only
    FrameLayers layers;      // the persisted ones from the file, the others down
    FormBounds mainForm;
    // Read: the file holds all four of the window's bounds. Written only when set.
    bool mainFormSaved = true;
    std::string lastFile = kNoLayoutFile;
};

// Increments "AreaCount" "CountOpen" (read + 1) in ini; the caller saves.
long long BumpOpenCount(IniFile& ini);
VisualiserSettings ReadVisualiserSettings(const IniFile& ini);
void WriteVisualiserSettings(IniFile& ini, const VisualiserSettings& s);

// Notes kept on an end that could ask no one: the path is remembered for the next start, which
// says where they are once (Take... returns it and forgets it; "" when there is none).
void RememberKeptNotes(IniFile& ini, const std::string& path);
std::string TakeKeptNotes(IniFile& ini);

// The FPS read-out of one frame: returns true (and sets fps) when a second has passed.
bool CountFrame(VisualiserState& s, uint32_t tickMs, int& fps);

}  // namespace spirelo
