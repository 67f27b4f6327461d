// The show's track file (".trk"): the 32 tracks, the track and effect tables and the sound
// window's editing state as raw blocks, the layout known only by the file's size. The current
// layout is written; three older ones are still read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "core/data_files.h"
#include "core/show_data.h"

namespace spirelo {

inline constexpr size_t kTrackFileSize = 2614912;
inline constexpr size_t kTrackFileSizeNamesLast = 2609664;   // older: edit state 0..255, names at the end
inline constexpr size_t kTrackFileSizeNoNames = 2609152;     // older: as above without the names
inline constexpr size_t kTrackFileSizeOldest = 2527555;      // oldest: 31 tracks, 505,300-byte planes
inline constexpr size_t kTrackPlaneBlock = 521600;           // stored part of a 32 x 16,301 plane
inline constexpr size_t kOldestTrackPlaneBlock = 505300;

// Opens the show named by d.sNameFileProject (its extension forced to ".trk"): the start-up
// form. A missing file, or one that cannot be used (unknown size, read error), leaves the
// default name StripExt(program) + ".trk" in d.sNameFileProject.
FileLoad OpenTrackFile(ShowData& d);
// Opens a show the user chose (open button, play list): d.sNameFileProject becomes
// StripExt(chosenName) + ".trk" when that file is read, the default name when it is missing,
// and stays what it was when the file cannot be used, so no later save overwrites it.
FileLoad OpenTrackFile(ShowData& d, const std::string& chosenName);

// Writes the current layout to d.sNameFileProject (extension forced to ".trk"), atomically;
// a failure is told to the user and leaves the previous file whole.
IoResult SaveTrackFile(ShowData& d);

// Changes not saved: the digest of what a save would write of the operator's work (the sound
// window's view entries of TrackEditState, its page, record track, watched tracks, marker band,
// gain and shown effect, left out; names as the program reads them, a byte below 33 a blank)
// against the one taken when the show was last read or saved.
// The opens and the save above take it; the start-up open also when no file was read, since
// the show in memory is then the one the controller starts with.
uint64_t TrackWorkDigest(const ShowData& d);
inline void NoteTrackSaved(ShowData& d) { d.TrackSavedDigest = TrackWorkDigest(d); }
inline bool TrackChangedSinceSaved(const ShowData& d) { return TrackWorkDigest(d) != d.TrackSavedDigest; }

// The layouts themselves, for the file routines above and the tests.
std::vector<uint8_t> TrackFileBytes(const ShowData& d);
// Applies bytes of a known layout; false (nothing changed) for any other size.
bool ApplyTrackFileBytes(ShowData& d, const uint8_t* data, size_t size);

}  // namespace spirelo
