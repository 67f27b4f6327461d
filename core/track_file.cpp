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

template <class D>
using BytePtr = std::conditional_t<std::is_const_v<D>, const void*, void*>;

template <class D>
struct Block {
    BytePtr<D> p;
    size_t n;
};

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
BlockWriter CurrentLayout(const ShowData& d) {
    BlockWriter out(kTrackFileSize);
    for (const auto& b : CurrentBlocks(d)) out.put(b.p, b.n);
    return out;
}
}  // namespace

std::vector<uint8_t> TrackFileBytes(const ShowData& d) { return CurrentLayout(d).bytes(); }

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
    // The name a file that cannot be used leaves: the one before the open, or at start the default.
    auto nameOnFailure = [&] { return keepName ? *keepName : DefaultTrackName(); };
    if (!FileExists(name)) {
        WriteLog("ReadSave", "OpenTrackFile", "File not found_sNameFileProject");
        d.sNameFileProject = DefaultTrackName();
        return FileLoad::Missing;
    }
    FileBytes bytes;
    if (IoResult r = ReadBlockFile(name, bytes); !r) {
        d.sNameFileProject = nameOnFailure();
        ReportReadFailure(name, r);
        return FileLoad::ReadError;
    }
    const size_t size = bytes.size;
    if (size != kTrackFileSize && !OldLayoutMessage(size)) {
        // Treated like a missing file, except that the name is not taken: a later save must
        // not overwrite a file we could not read.
        d.sNameFileProject = nameOnFailure();
        WriteLog("ReadSave", "OpenTrackFile", "Unknown_file_size " + name + " Leng=" + std::to_string(size));
        Messages().message(TwoLines("Неизвестный размер файла треков, файл не прочитан:",
                                    name + " Leng=" + std::to_string(size)));
        return FileLoad::UnknownSize;
    }
    d.sNameFileProject = name;
    if (const char* text = OldLayoutMessage(size)) Messages().message(text);
    ApplyTrackFileBytes(d, bytes.data, size);
    return size == kTrackFileSize ? FileLoad::Loaded : FileLoad::OldLayout;
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
    if (!r) ReportWriteFailure(d.sNameFileProject, r);
    return r;
}

}  // namespace spirelo
