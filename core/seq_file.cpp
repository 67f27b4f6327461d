#include "core/seq_file.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <span>
#include <type_traits>

#include "core/event_log.h"
#include "core/text_routines.h"
#include "platform/message_service.h"

namespace spirelo {

static_assert(std::endian::native == std::endian::little, "the show files are little-endian dumps");
static_assert(sizeof(ShowData::SequencerChannelMask) >= kSeqMaskBlock);

namespace {

// Per-channel tables are stored as entries 0..511: channel 512 is not in the files.
constexpr size_t kChannelBlock = kChannels;
constexpr size_t kCoderBlock = kChannels * sizeof(uint16_t);

// The current layout's 43 blocks; the first 20 are also the whole 2016 layout.
template <class D>
std::array<Block<D>, 43> CurrentBlocks(D& d) {
    return {{
        {d.SequencerNames, sizeof d.SequencerNames},
        {d.SequencerStepData, sizeof d.SequencerStepData},
        {d.SequencerChannelMask, kSeqMaskBlock},
        {d.SequencerStepWords, sizeof d.SequencerStepWords},
        {d.SequencerRunState, sizeof d.SequencerRunState},
        {d.SequencerViewPositions, sizeof d.SequencerViewPositions},
        {d.EditorSettings, sizeof d.EditorSettings},
        {d.ProgramOptions, sizeof d.ProgramOptions},
        {d.ProgramFlags, sizeof d.ProgramFlags},
        {d.CoderTable, kCoderBlock},
        {d.ChannelMin, kChannelBlock},
        {d.ChannelMax, kChannelBlock},
        {d.HandLevel, kChannelBlock},
        {d.InvertFlag, kChannelBlock},
        {d.HandEnable, kChannelBlock},
        {d.KeySeqTable, sizeof d.KeySeqTable},
        {d.KeySceneTable, sizeof d.KeySceneTable},
        {d.KeyAssignedTable, sizeof d.KeyAssignedTable},
        {d.KeyModeTable, sizeof d.KeyModeTable},
        {d.KeySpareTable, sizeof d.KeySpareTable},
        // 21..
        {d.SavedTrackNames, sizeof d.SavedTrackNames},
        {d.SavedTrackShift, sizeof d.SavedTrackShift},
        {d.Reserved8k[0], sizeof d.Reserved8k[0]},
        {d.Reserved8k[1], sizeof d.Reserved8k[1]},
        {d.Reserved8k[2], sizeof d.Reserved8k[2]},
        {d.Reserved16k, sizeof d.Reserved16k},
        {d.Reserved512[0], sizeof d.Reserved512[0]},
        {d.Reserved512[1], sizeof d.Reserved512[1]},
        {d.Reserved512[2], sizeof d.Reserved512[2]},
        {d.Reserved512[3], sizeof d.Reserved512[3]},
        {d.Reserved512[4], sizeof d.Reserved512[4]},
        {d.Reserved32[0], sizeof d.Reserved32[0]},
        {d.Reserved32[1], sizeof d.Reserved32[1]},
        {d.Reserved32[2], sizeof d.Reserved32[2]},
        {d.ScheduleHour, sizeof d.ScheduleHour},
        {d.ScheduleMinute, sizeof d.ScheduleMinute},
        {d.ScheduleMode, sizeof d.ScheduleMode},
        {d.Reserved32[3], sizeof d.Reserved32[3]},
        {d.Reserved64[0], sizeof d.Reserved64[0]},
        {d.Reserved64[1], sizeof d.Reserved64[1]},
        {d.Reserved64[2], sizeof d.Reserved64[2]},
        {d.Reserved64[3], sizeof d.Reserved64[3]},
        {d.Reserved64[4], sizeof d.Reserved64[4]},
    }};
}
constexpr size_t k2016Blocks = 20;

void ReadOldestLayout(BlockReader& in, ShowData& d) {
    in.get(d.EditorSettings, sizeof d.EditorSettings);
    in.get(d.SequencerStepData, sizeof d.SequencerStepData);
    in.get(d.SequencerChannelMask, kOldestSeqMaskBlock);
    in.get(d.SequencerStepWords, sizeof d.SequencerStepWords);
    in.get(d.SequencerRunState, sizeof d.SequencerRunState);
    in.skip(3 * 32);
    in.get(d.KeySeqTable, sizeof d.KeySeqTable);
    in.get(d.KeySceneTable, sizeof d.KeySceneTable);
    in.get(d.KeyAssignedTable, sizeof d.KeyAssignedTable);
    in.get(d.KeyModeTable, sizeof d.KeyModeTable);
    in.get(d.CoderTable, kCoderBlock);
    in.get(d.ChannelMin, kChannelBlock);
    in.get(d.ChannelMax, kChannelBlock);
    in.get(d.HandLevel, kChannelBlock);
    in.get(d.ChannelSpare1, kChannelBlock);
    in.get(d.ChannelSpare2, kChannelBlock);
    in.get(d.HandEnable, kChannelBlock);   // before InvertFlag here, after it in the current layout
    in.get(d.InvertFlag, kChannelBlock);
    in.get(d.TrackRecKind, kTracks - 1);
    in.get(d.TrackRecSeq, kTracks - 1);
    in.get(d.TrackRecScene, kTracks - 1);
}

const char* OldLayoutMessage(size_t size) {
    switch (size) {
        case kSeqFileSize2016: return "Это файл версии 2016 beta nojab";
        case kSeqFileSizeOldest: return "Это файл версии Лотвень";
        default: return nullptr;
    }
}

std::string DefaultSeqName() { return ProgramStem() + ".seq"; }

FileLoad OpenSeqFileAs(ShowData& d, const std::string name, const std::string* keepName) {
    static const BlockFileKind kind{"OpenSeqFile", "File_no_found_sNameFileSeq",
                                    "Неизвестный размер файла секвенсеров, файл не прочитан:", kSeqFileSize,
                                    OldLayoutMessage,
                                    [](size_t n) { return n == kSeqFileSize || OldLayoutMessage(n) != nullptr; }};
    FileBytes bytes;
    const FileLoad r = OpenShowBlockFile(name, DefaultSeqName(), keepName, kind, d.sNameFileSeq, bytes);
    // Nothing is reset on a failure: an empty store would reach the file with the next (auto)save.
    if (r != FileLoad::Loaded && r != FileLoad::OldLayout) {
        if (!keepName) NoteSeqSaved(d);   // at start the store in memory is the one to keep
        return r;
    }
    ResetSequenceDataBeforeLoad(d);   // every known layout holds the whole step store
    ApplySeqFileBytes(d, bytes.data, bytes.size);
    NoteSeqSaved(d);
    // The old layout is replaced by the current one under the same name.
    if (r == FileLoad::OldLayout) SaveSeqFile(d);
    return r;
}

}  // namespace

namespace {
BlockWriter CurrentLayout(const ShowData& d) { return WriteBlocks(CurrentBlocks(d), kSeqFileSize); }
}  // namespace

std::vector<uint8_t> SeqFileBytes(const ShowData& d) { return CurrentLayout(d).take(); }

uint64_t SeqWorkDigest(const ShowData& d) {
    static constexpr int kViewSettings[] = {2, 3, 4, 6, 7, 8, 9};
    static constexpr int kRunningOptions[] = {6, 7, 8, 9, 21, 22, 24, 30};
    int32_t copy[256];
    static_assert(sizeof copy == sizeof d.EditorSettings && sizeof copy == sizeof d.ProgramOptions);
    auto withoutEntries = [&](const int32_t* table, const auto& entries) {
        std::memcpy(copy, table, sizeof copy);
        for (int i : entries) copy[i] = 0;
    };
    ContentDigest digest;
    for (const auto& b : CurrentBlocks(d)) {
        if (b.p == d.SequencerRunState || b.p == d.SequencerViewPositions) continue;
        if (b.p == d.SequencerNames || b.p == d.SavedTrackNames) {
            digest.addNames(static_cast<const uint8_t*>(b.p), b.n);
            continue;
        }
        // Slot 0 of the schedule is the clock the mode timer compares the slots with.
        if (b.p == d.ScheduleHour || b.p == d.ScheduleMinute) {
            uint8_t slots[kScheduleSlots];
            std::memcpy(slots, b.p, sizeof slots);
            slots[0] = 0;
            digest.add(slots, sizeof slots);
            continue;
        }
        if (b.p == d.EditorSettings || b.p == d.ProgramOptions) {
            const bool editor = b.p == d.EditorSettings;
            withoutEntries(editor ? d.EditorSettings : d.ProgramOptions,
                           editor ? std::span<const int>(kViewSettings) : std::span<const int>(kRunningOptions));
            digest.add(copy, sizeof copy);
            continue;
        }
        digest.add(b.p, b.n);
    }
    return digest.value();
}

bool ApplySeqFileBytes(ShowData& d, const uint8_t* data, size_t size) {
    BlockReader in(data, size);
    switch (size) {
        case kSeqFileSize:
            for (const auto& b : CurrentBlocks(d)) in.get(b.p, b.n);
            return true;
        case kSeqFileSize2016: {
            const auto blocks = CurrentBlocks(d);
            for (size_t i = 0; i < k2016Blocks; ++i) in.get(blocks[i].p, blocks[i].n);
            return true;
        }
        case kSeqFileSizeOldest:
            ReadOldestLayout(in, d);
            return true;
        default:
            return false;
    }
}

FileLoad OpenSeqFile(ShowData& d) { return OpenSeqFileAs(d, d.sNameFileSeq, nullptr); }

FileLoad OpenSeqFile(ShowData& d, const std::string& chosenName) {
    return OpenSeqFileAs(d, chosenName, &d.sNameFileSeq);
}

IoResult SaveSeqFile(ShowData& d) {
    IoResult r = CurrentLayout(d).saveTo(d.sNameFileSeq);
    if (r) NoteSeqSaved(d);
    else ReportWriteFailure(d.sNameFileSeq, r);
    return r;
}

// ---------------------------------------------------------------------------------------------

std::string DefFilePath() { return ProgramStem() + ".def"; }

bool ApplyDefFileBytes(ShowData& d, const uint8_t* data, size_t size) {
    if (size != kDefFileSize) return false;
    BlockReader in(data, size);
    in.get(d.EditorSettings, sizeof d.EditorSettings);
    in.get(d.ProgramOptions, sizeof d.ProgramOptions);
    in.get(d.ProgramFlags, sizeof d.ProgramFlags);
    in.get(d.CoderTable, kCoderBlock);
    in.get(d.ChannelMin, kChannelBlock);
    in.get(d.ChannelMax, kChannelBlock);
    in.get(d.HandLevel, kChannelBlock);
    in.get(d.ChannelSpare1, kChannelBlock);
    in.get(d.ChannelSpare2, kChannelBlock);
    in.get(d.HandEnable, kChannelBlock);
    in.get(d.InvertFlag, kChannelBlock);
    return true;
}

FileLoad OpenDefFile(ShowData& d) {
    const std::string name = DefFilePath();
    FileBytes bytes;
    if (IoResult r = ReadBlockFile(name, bytes, [](size_t n) { return n == kDefFileSize; }); !r) {
        ReportReadFailure(name, r);
        return r.error == ENOENT ? FileLoad::Missing : FileLoad::ReadError;
    }
    if (!bytes.data || !ApplyDefFileBytes(d, bytes.data, bytes.size)) {
        WriteLog("ReadSave", "OpenDefFile", "This_is_no_file.Def!");
        return FileLoad::UnknownSize;
    }
    return FileLoad::Loaded;
}

}  // namespace spirelo
