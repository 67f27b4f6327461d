#include "common/live_data.h"

#include <cstdlib>

namespace spirelo {

namespace {
constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

std::string SectionSuffixFrom(const char* value) {
    std::string s;
    // Only characters a shared-memory name may hold, and short enough for any name limit.
    for (const char* p = value; p && *p && s.size() < 64; ++p) {
        const char c = *p;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-')
            s += c;
    }
    return s;
}

const std::string& SectionSuffix() {
    static const std::string suffix = SectionSuffixFrom(std::getenv("SPIRELO_SECTION_SUFFIX"));
    return suffix;
}

std::string DmxSectionName() { return kDmxSectionName + SectionSuffix(); }
std::string SpectrumSectionName() { return kSpectrumSectionName + SectionSuffix(); }

void EncodeHexLevels(const uint8_t* levels, size_t count, char* out) {
    for (size_t i = 0; i < count; ++i) {
        out[2 * i] = kHex[levels[i] >> 4];
        out[2 * i + 1] = kHex[levels[i] & 0x0F];
    }
    out[2 * count] = '\0';
}

size_t DecodeHexLevels(std::string_view text, uint8_t* levels, size_t max, bool* stopped_on_bad) {
    if (stopped_on_bad) *stopped_on_bad = false;
    size_t n = 0;
    while (n < max && 2 * n + 1 < text.size()) {
        char a = text[2 * n], b = text[2 * n + 1];
        if (a == '\0' || b == '\0') break;
        int hi = HexValue(a), lo = HexValue(b);
        if (hi < 0 || lo < 0) {
            if (stopped_on_bad) *stopped_on_bad = true;
            break;
        }
        levels[n++] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return n;
}

}  // namespace spirelo
