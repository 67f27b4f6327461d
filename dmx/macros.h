// The static macros: stored hand levels. Word j of macro n holds HandLevel[j] for j = 0..511
// (so channel 512 is not part of a macro); only the low byte is read back.
#pragma once

#include "core/show_data.h"

#include <string>

namespace spirelo {

// HandLevel[0..511] := low bytes of macro n; HandLevel[512] is kept.
void ReadMacro(ShowData& d, int n);
// Macro n := HandLevel[0..511].
void WriteMacro(ShowData& d, int n);

// The result label's texts. The read text starts with a Latin capital C.
std::string MacroReadText(int n);
std::string MacroWrittenText(int n);

}  // namespace spirelo
