// The macro file (".mcr" beside the sequencer file): MacroTable as one raw block of 32 macros
// x 512 little-endian 16-bit hand levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/file_io.h"
#include "core/data_files.h"
#include "core/show_data.h"

namespace spirelo {

inline constexpr size_t kMacroFileSize = 32768;

// d.sNameFileMacro := StripExt(d.sNameFileSeq) + ".mcr"; reads its first 32,768 bytes into
// MacroTable. A missing file is logged; a shorter one is told to the user; neither changes it.
FileLoad OpenMacrosFile(ShowData& d);
// The file's bytes: its first 32,768 go into MacroTable; false (nothing changed) when shorter.
bool ApplyMacroFileBytes(ShowData& d, const uint8_t* data, size_t size);

// d.sNameFileMacro as above; writes MacroTable atomically, a failure told to the user.
IoResult SaveMacrosFile(ShowData& d);

}  // namespace spirelo
