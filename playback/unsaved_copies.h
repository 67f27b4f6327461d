// Changes not saved when the show list replaces the show in memory: they go to a copy beside
// the show's own files (never over them), and a later load of that show says when such a copy
// is newer than the file. Nothing here asks: the show goes on playing.
#pragma once

#include "core/show_data.h"

#include <string>

namespace spirelo {

// The copy of a show file: its whole name with ".unsaved" after it ("park.trk.unsaved").
std::string UnsavedCopyName(const std::string& file);

// Before another show is loaded: the track file (d.sNameFileProject) and the sequencer file
// (d.sNameFileSeq), each when it has changes not saved, are written whole to their copies, one
// log line each; a written copy counts as kept, so the same changes are not written again.
// Returns the status-bar line naming the copies (and any that could not be written), "" when
// nothing had changed.
std::string KeepUnsavedChanges(ShowData& d);

// After a load of the show or the sequencer file: the copies that are newer than their files
// (or whose file is gone), one log line each; the status-bar line naming them, or "".
std::string NewerUnsavedCopies(const ShowData& d, bool track, bool seq);

}  // namespace spirelo
