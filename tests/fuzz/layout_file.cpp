// The layout file: only 64,600 bytes load, and then save back byte for byte; anything else
// leaves the table as it was. A loaded layout is expanded into jets and drawn as the window does.
#include "visualiser/camera.h"
#include "visualiser/layout_file.h"
#include "visualiser/layout_model.h"
#include "visualiser/live_levels.h"
#include "visualiser/scene_geometry.h"
#include "fuzz_input.h"

#include <memory>

using namespace spirelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto table = [] {
        auto t = std::make_unique<CollectorTable>();
        ResetCollectorTable(*t);
        return t;
    }();
    static auto jets = std::make_unique<JetTable>();
    fuzz::Input in(data, size);
    const std::vector<uint8_t> file = fuzz::SizedFile(in, {kLayoutFileSize});
    const std::vector<uint8_t> before = SerializeLayout(*table);
    if (!DeserializeLayout(file.data(), file.size(), *table)) {
        fuzz::Check(SerializeLayout(*table) == before, "a refused layout changed the table");
        return 0;
    }
    fuzz::Check(SerializeLayout(*table) == file, "a layout does not save back byte for byte");
    std::memset(table->Enabled, 1, sizeof table->Enabled);
    ResetJetTable(*jets);
    RecountJets(*table, *jets);
    fuzz::Check(jets->JetCount >= 0 && jets->JetCount <= 1001, "the jet count left its range");
    uint8_t display[513] = {};
    for (int j = 0; j < jets->JetCount; ++j) ComputeJetLook(*jets, j, display, true, -43);
    for (int c = 0; c < kCollectorSlots; ++c) CollectorName(*table, c);
    TourState tour;
    TourCaption(tour, *table);
    Camera cam;
    for (int p = 0; p < 3; ++p) {
        TourTimerStep(tour, *table, true);
        TourGlide(tour, *table, cam);
    }
    return 0;
}
