// The show and music lists from any bytes: no entry is empty or holds a line end, and a list
// written out reads back the same.
#include "playback/play_lists.h"
#include "fuzz_input.h"

#include <string>

using namespace spirelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> items;
    ParsePathList(std::string(reinterpret_cast<const char*>(data), size), items);
    for (const std::string& item : items)
        fuzz::Check(!item.empty() && FitsPathList(item), "a list entry is empty or holds a line end");
    const std::string text = PathListText(items);
    std::vector<std::string> again;
    ParsePathList(text, again);
    fuzz::Check(again == items, "a written list does not read back the same");
    return 0;
}
