// The sequencer file (".seq"): the 32 sequencers, both option records, the per-channel tables,
// the key kits, the day schedule, copies of the track names and shifts and the reserved areas,
// as raw blocks known by the file's size; two older sizes are read and rewritten at once. And
// the read-only channel-definition file (".def") beside the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "core/data_files.h"
#include "core/show_data.h"

namespace spirelo {

inline constexpr size_t kSeqFileSize = 4306272;
inline constexpr size_t kSeqFileSize2016 = 4261664;     // blocks 1..20 of the current layout
inline constexpr size_t kSeqFileSizeOldest = 4241117;
inline constexpr size_t kSeqMaskBlock = 32768;           // stored part of the 64 x 514 mask
inline constexpr size_t kOldestSeqMaskBlock = 16384;
inline constexpr size_t kDefFileSize = 6912;

// Opens d.sNameFileSeq (used unchanged): the start-up form. A missing file, or one that cannot
// be used, leaves the default name StripExt(program) + ".seq" and the data in memory as it was.
// A known size resets the sequencer data first; an older layout is rewritten in the current one.
FileLoad OpenSeqFile(ShowData& d);
// Opens a file the user chose: d.sNameFileSeq becomes chosenName when it is read, the default
// name when it is missing, and stays what it was when the file cannot be used.
FileLoad OpenSeqFile(ShowData& d, const std::string& chosenName);

// Writes the current layout to d.sNameFileSeq atomically; a failure is told to the user.
IoResult SaveSeqFile(ShowData& d);

// Changes not saved, as for the track file: the digest of the operator's work in a save of the
// sequencer file, leaving out what moves while a show plays or a window is looked at (the run
// states, the editors' view positions and page, the paint value, the windows' places, the
// views' top rows and pages, the current show and music entries, the schedule's clock slot);
// names count as the program reads them, a byte below 33 as a blank.
uint64_t SeqWorkDigest(const ShowData& d);
inline void NoteSeqSaved(ShowData& d) { d.SeqSavedDigest = SeqWorkDigest(d); }
inline bool SeqChangedSinceSaved(const ShowData& d) { return SeqWorkDigest(d) != d.SeqSavedDigest; }

// Loads StripExt(program) + ".def" beside the program: nothing is reset, tables the file lacks
// keep their values. A missing file is told to the user; another size is only logged.
FileLoad OpenDefFile(ShowData& d);
std::string DefFilePath();

// The layouts themselves, for the file routines above and the tests.
std::vector<uint8_t> SeqFileBytes(const ShowData& d);
// Applies bytes of a known sequencer layout over what is in memory (no reset here);
// false (nothing changed) for any other size.
bool ApplySeqFileBytes(ShowData& d, const uint8_t* data, size_t size);
bool ApplyDefFileBytes(ShowData& d, const uint8_t* data, size_t size);

}  // namespace spirelo
