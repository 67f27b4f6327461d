// The live-data text from any bytes: the decoded levels encode back to the text's upper-case
// prefix, and never more levels than asked for are written.
#include "common/live_data.h"
#include "fuzz_input.h"

#include <cctype>
#include <string_view>

using namespace spirelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    uint8_t levels[513];
    std::memset(levels, 0xA5, sizeof levels);
    const size_t max = 512;
    bool bad = false;
    const size_t n = DecodeHexLevels(text, levels, max, &bad);
    fuzz::Check(n <= max && levels[512] == 0xA5, "decoding wrote past the levels asked for");
    std::vector<char> out(2 * n + 1);
    EncodeHexLevels(levels, n, out.data());
    for (size_t i = 0; i < 2 * n; ++i)
        fuzz::Check(out[i] == std::toupper(static_cast<unsigned char>(text[i])),
                    "the decoded levels do not encode back to the text");
    return 0;
}
