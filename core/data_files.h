// What the show's block files share: how an open ended, the default names "beside the program",
// and the one way a failed read or save is told to the user.
#pragma once

#include <string>

#include "common/file_io.h"

namespace spirelo {

enum class FileLoad {
    Loaded,        // the current layout was read
    OldLayout,     // an older layout was read (and, for the sequencer file, rewritten)
    Missing,       // no such file: logged, the default name taken, nothing read
    UnknownSize,   // a size no layout has: logged, the user told, nothing changed
    ReadError,     // the file could not be read whole: the user told, nothing changed
};

// The program's path beside the program without its extension: the stem of every file the
// controller keeps beside itself (".ini", ".Log", ".trk", ".seq", ".def").
std::string ProgramStem();

// Tells the user that reading or writing path failed, with the system's text for it.
void ReportReadFailure(const std::string& path, const IoResult& r);
void ReportWriteFailure(const std::string& path, const IoResult& r);

}  // namespace spirelo
