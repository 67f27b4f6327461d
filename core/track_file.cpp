#include "core/track_file.h"

#include <array>
#include <bit>
#include <cstring>
#include <type_traits>

#include "core/event_log.h"
#include "core/text_routines.h"
#include "platform/message_service.h"

namespace spirelo {

static_assert(std::endian::native == std::endian::little, "the show files are little-endian dumps");
static_assert(sizeof(ShowData::TrackSeq) >= kTrackPlaneBlock);

namespace {

// The current layout, block after block. The planes are stored in their first 521,600 bytes,
// so the last 32 steps of track 32 are not in the file.
template <class D>
std::array<Block<D>, 18> CurrentBlocks(D& d) {
    return {{
        {d.TrackNames, sizeof d.TrackNames},
        {d.TrackEditState, sizeof d.TrackEditState},
        {d.EffectNames, sizeof d.EffectNames},
        {d.EffectKind, sizeof d.EffectKind},
        {d.EffectSeq, sizeof d.EffectSeq},
        {d.EffectStart, sizeof d.EffectStart},
        {d.EffectFinish, sizeof d.EffectFinish},
        {d.EffectTime, sizeof d.EffectTime},
        {d.EffectLevel, sizeof d.EffectLevel},
        {d.TrackShift, sizeof d.TrackShift},
        {d.TrackRecKind, sizeof d.TrackRecKind},
        {d.TrackRecSeq, sizeof d.TrackRecSeq},
        {d.TrackRecScene, sizeof d.TrackRecScene},
        {d.TrackSeq, kTrackPlaneBlock},
        {d.TrackScene, kTrackPlaneBlock},
        {d.TrackLevel, kTrackPlaneBlock},
        {d.TrackCommand, kTrackPlaneBlock},
        {d.TrackPlane5, kTrackPlaneBlock},
    }};
}

void ReadPlanes(BlockReader& in, ShowData& d, size_t n) {
    for (uint8_t* plane : {&d.TrackSeq[0][0], &d.TrackScene[0][0], &d.TrackLevel[0][0],
                           &d.TrackCommand[0][0], &d.TrackPlane5[0][0]})
        in.get(plane, n);
}

const char* OldLayoutMessage(size_t size) {
    switch (size) {
        case kTrackFileSizeNamesLast: return "Это tracks версии ??? Leng=2609664";
        case kTrackFileSizeNoNames: return "Это tracks версии ??? Leng=2609152";
        case kTrackFileSizeOldest: return "Это tracks версии Лотвень Leng=2527555";
        default: return nullptr;
    }
}

}  // namespace

namespace {
BlockWriter CurrentLayout(const ShowData& d) { return WriteBlocks(CurrentBlocks(d), kTrackFileSize); }
}  // namespace

std::vector<uint8_t> TrackFileBytes(const ShowData& d) { return CurrentLayout(d).take(); }

uint64_t TrackWorkDigest(const ShowData& d) {
    // Entries that follow what the operator looks at, not what the show is.
    static constexpr int kViewEntries[] = {4, 5, 6, 7, 8, 10, 11, 12};
    int32_t editState[std::extent_v<decltype(ShowData::TrackEditState)>];
    ContentDigest digest;
    for (const auto& b : CurrentBlocks(d)) {
        if (b.p == d.TrackNames || b.p == d.EffectNames) {
            digest.addNames(static_cast<const uint8_t*>(b.p), b.n);
        } else if (b.p == d.TrackEditState) {
            std::memcpy(editState, d.TrackEditState, sizeof editState);
            for (int i : kViewEntries) editState[i] = 0;
            digest.add(editState, sizeof editState);
        } else {
            digest.add(b.p, b.n);
        }
    }
    return digest.value();
}

bool ApplyTrackFileBytes(ShowData& d, const uint8_t* data, size_t size) {
    BlockReader in(data, size);
    switch (size) {
        case kTrackFileSize:
            for (const auto& b : CurrentBlocks(d)) in.get(b.p, b.n);
            return true;
        case kTrackFileSizeNamesLast:
        case kTrackFileSizeNoNames:
            in.get(d.TrackEditState, 256 * sizeof(int32_t));
            in.get(d.TrackShift, sizeof d.TrackShift);
            in.get(d.TrackRecKind, sizeof d.TrackRecKind);
            in.get(d.TrackRecSeq, sizeof d.TrackRecSeq);
            in.get(d.TrackRecScene, sizeof d.TrackRecScene);
            ReadPlanes(in, d, kTrackPlaneBlock);
            if (size == kTrackFileSizeNamesLast) in.get(d.TrackNames, sizeof d.TrackNames);
            return true;
        case kTrackFileSizeOldest:
            in.get(d.TrackEditState, 256 * sizeof(int32_t));
            in.get(d.TrackShift, kTracks - 1);
            ReadPlanes(in, d, kOldestTrackPlaneBlock);
            return true;
        default:
            return false;
    }
}

namespace {

std::string DefaultTrackName() { return ProgramStem() + ".trk"; }

FileLoad OpenTrackFileAs(ShowData& d, const std::string name, const std::string* keepName) {
    static const BlockFileKind kind{"OpenTrackFile", "File not found_sNameFileProject",
                                    "Неизвестный размер файла треков, файл не прочитан:", kTrackFileSize,
                                    OldLayoutMessage,
                                    [](size_t n) { return n == kTrackFileSize || OldLayoutMessage(n) != nullptr; }};
    FileBytes bytes;
    const FileLoad r = OpenShowBlockFile(name, DefaultTrackName(), keepName, kind, d.sNameFileProject, bytes);
    if (r == FileLoad::Loaded || r == FileLoad::OldLayout) ApplyTrackFileBytes(d, bytes.data, bytes.size);
    if (r == FileLoad::Loaded || r == FileLoad::OldLayout || !keepName) NoteTrackSaved(d);
    return r;
}

}  // namespace

FileLoad OpenTrackFile(ShowData& d) {
    return OpenTrackFileAs(d, StripExt(d.sNameFileProject) + ".trk", nullptr);
}

FileLoad OpenTrackFile(ShowData& d, const std::string& chosenName) {
    return OpenTrackFileAs(d, StripExt(chosenName) + ".trk", &d.sNameFileProject);
}

IoResult SaveTrackFile(ShowData& d) {
    d.sNameFileProject = StripExt(d.sNameFileProject) + ".trk";
    IoResult r = CurrentLayout(d).saveTo(d.sNameFileProject);
    if (r) NoteTrackSaved(d);
    else ReportWriteFailure(d.sNameFileProject, r);
    return r;
}

}  // namespace spirelo
