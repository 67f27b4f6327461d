// Small shared routines that turn show data into the texts and colours the windows show, and
// the file-name routine every file routine uses to swap extensions.
#pragma once

#include <cstdint>
#include <string>

#include "core/show_data.h"

namespace spirelo {

// Name without its extension: the part from the last "." after the last "/" is dropped;
// a name without one comes back unchanged.
std::string StripExt(const std::string& Name);
// StripExt(Name) + ".mp3": the audio file of a show.
std::string Mp3NameOf(const std::string& Name);

// Schedule slot Index (clamped to the table) as "hh:mm".
std::string TimeText(ShowData& d, int Index);
// Decimal text of N with a leading "0" when N <= 9.
std::string IntToStr2(int N);

// Palette entry Index as a 24-bit colour, red in the low byte; outside 0..31 white.
uint32_t ColorOfIndex(int Index);
// The larger of the two; A when equal.
int MaxOfTwo(int A, int B);

// The 16-character names as UTF-8. Index is clamped into the table; bytes below 33 are
// replaced by blanks in the table itself, so a zeroed name reads back (and stays) 16 blanks.
std::string SeqNameText(ShowData& d, int Index);
std::string TrackNameText(ShowData& d, int Index);
std::string EffectNameText(ShowData& d, int Index);

// Text of a track or key command code (9 characters for the known codes).
std::string ModeText(uint8_t Code);
// Text of an effect kind.
std::string EffectText(uint8_t Kind);

// The rate read-out of the sound window: V = BytesPerPixel x Value / BytesPerStep in unsigned
// 32-bit arithmetic (a BytesPerStep of 0 is set to 1 first). label is what lblTEMP shows.
struct RateTextResult {
    uint32_t value;
    std::string label;
};
RateTextResult RateText(int32_t& BytesPerStep, int32_t BytesPerPixel, int32_t Value);

}  // namespace spirelo
