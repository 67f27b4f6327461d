// The show and music lists from any bytes: no entry is empty or holds a line end, and a list
// written out reads back the same.
#include "playback/play_lists.h"
#include "fuzz_input.h"

#include <string>

using namespace spirelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> items;
    ParsePathList(std::string(reinterpret_cast<const char*>(data), size), items);
    std::string text;
    for (const std::string& item : items) {
        fuzz::Check(!item.empty() && item.find_first_of("\r\n") == std::string::npos,
                    "a list entry is empty or holds a line end");
        text += item + "\r\n";
    }
    // A first entry that starts with U+FEFF reads back without it (taken for a byte-order
    // mark); no path starts so, and the writer keeps what it was given.
    if (!items.empty() && items[0].rfind("\xEF\xBB\xBF", 0) == 0) return 0;
    std::vector<std::string> again;
    ParsePathList(text, again);
    fuzz::Check(again == items, "a written list does not read back the same");
    return 0;
}
