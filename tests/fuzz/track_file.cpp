// The track file: every known layout and other sizes. A current file saves back byte for byte,
// an older one becomes a current file that itself loads back unchanged, and a refused size
// changes nothing.
#include "core/track_file.h"
#include "fuzz_input.h"

using namespace spirelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<ShowData> d = MakeShowData();
    fuzz::Input in(data, size);
    const std::vector<uint8_t> file = fuzz::SizedFile(
        in, {kTrackFileSizeOldest, kTrackFileSizeNoNames, kTrackFileSizeNamesLast, kTrackFileSize});
    const bool known = file.size() == kTrackFileSize || file.size() == kTrackFileSizeNamesLast ||
                       file.size() == kTrackFileSizeNoNames || file.size() == kTrackFileSizeOldest;
    if (!known) {
        // Whole-file copies are slow under the sanitizers: the refused path alone pays for one.
        const std::vector<uint8_t> before = TrackFileBytes(*d);
        fuzz::Check(!ApplyTrackFileBytes(*d, file.data(), file.size()), "a track file of no known size was read");
        fuzz::Check(TrackFileBytes(*d) == before, "a refused track file changed the show");
        return 0;
    }
    fuzz::Check(ApplyTrackFileBytes(*d, file.data(), file.size()), "a track file of a known size was refused");
    const std::vector<uint8_t> saved = TrackFileBytes(*d);
    if (file.size() == kTrackFileSize) {
        fuzz::Check(saved == file, "a track file does not save back byte for byte");
        return 0;
    }
    fuzz::Check(ApplyTrackFileBytes(*d, saved.data(), saved.size()) && TrackFileBytes(*d) == saved,
                "an older track file, saved, does not load back unchanged");
    return 0;
}
