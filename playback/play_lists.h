// The show and music lists as logic: their files, the index rules of the current entry, the
// move of a dragged entry and the music volume's numbers and captions.
#pragma once

#include "common/file_io.h"

#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

// One path a line. Reading takes UTF-8, else CP1251, any line end, and drops blank lines; fails
// (out emptied) when the file cannot be read or is larger than kMaxPathListBytes. Writing is
// UTF-8 with CR LF after every line, atomically.
inline constexpr size_t kMaxPathListBytes = size_t(8) << 20;   // thousands of entries of full-length paths
IoResult ReadPathList(const std::string& path, std::vector<std::string>& out);
void ParsePathList(const std::string& bytes, std::vector<std::string>& out);   // the file's bytes
IoResult WritePathList(const std::string& path, const std::vector<std::string>& items);
// The bytes WritePathList saves. A first entry that begins with U+FEFF is preceded by a
// byte-order mark, since the reader takes one off the start.
std::string PathListText(const std::vector<std::string>& items);
// A path holding a line end would read back as two entries: it is never put in a list, and a
// list holding one is not written (EINVAL).
bool FitsPathList(const std::string& path);
// The warning for chosen files left out of a list for that.
std::string PathsNotAddedText(const std::vector<std::string>& paths);

// The show list's stored index brought into a list of count (>= 1) entries: above the count 0,
// equal to it the last entry, negative 0.
int ShowListIndex(int index, int count);
// The music list's: anything outside 0..count-1 becomes 0.
int MusicListIndex(int index, int count);
// Next wraps to 0 after the last entry; previous stops at 0.
int NextIndex(int index, int count);
int PrevIndex(int index, int count);

// Moves items[current] to where it was dropped: target is the index of the entry under the
// drop point, -1 for after the last one. Returns the moved entry's new index (current
// unchanged when current is not an entry).
int DropMove(std::vector<std::string>& items, int current, int target);

// The wave-out level of the music list: main volume times the bar, taken to 16 bits.
uint16_t MusicVolumeWord(int mainVolume, int barVolume);
std::string MusicVolumeText(int barVolume);          // "Volume 19%"
std::string MainMusicVolumeCaption(int mainVolume);  // "Громкость 46%" (v x 100 div 640)
std::string NewFountainVolumeCaption(int volume);    // "Громкость 50%"
// "To Finish Track": ten seconds before the end, never before the start.
int64_t ToFinishPositionMs(int64_t lengthMs);

}  // namespace spirelo
