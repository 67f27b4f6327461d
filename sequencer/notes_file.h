// The notes text kept beside the sequencer file: the memo's lines, each ended by CR LF, in a
// file named like the sequencer file with the extension ".txt".
#pragma once

#include "common/file_io.h"

#include <string>
#include <string_view>

namespace spirelo {

std::string NotesFileName(const std::string& seqFile);

// The memo's text (lines separated by "\n") as the file stores it, and back. Reading accepts
// any line end and CP1251 text; a final line end adds no empty line.
std::string NotesToFileText(std::string_view memo);
std::string NotesFromFileText(std::string_view bytes);

// Fails (memo untouched) when the file is missing (ENOENT), unreadable, not a regular file or
// larger than kMaxNotesFileBytes.
inline constexpr size_t kMaxNotesFileBytes = size_t(4) << 20;
IoResult LoadNotesFile(const std::string& path, std::string& memo);
IoResult SaveNotesFile(const std::string& path, std::string_view memo);

}  // namespace spirelo
