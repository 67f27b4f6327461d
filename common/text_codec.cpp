#include "common/text_codec.h"

#include <cstring>

namespace spirelo {

namespace {
// Code points of CP1251 bytes 0x80..0xBF (0x98 has none); 0xC0..0xFF are U+0410..U+044F.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

void PutUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when malformed.
size_t NextUtf8(std::string_view s, size_t i, uint32_t& cp) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len;
    uint32_t min;
    if (c < 0x80) { cp = c; return 1; }
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; min = 0x10000; }
    else return 0;
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

char Cp1251Of(uint32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<char>(0xC0 + (cp - 0x0410));
    for (int k = 0; k < 64; ++k)
        if (kHigh[k] != 0 && kHigh[k] == cp) return static_cast<char>(0x80 + k);
    return '?';
}
}  // namespace

std::string Cp1251ToUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size() * 2);
    for (char ch : in) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) out += ch;
        else if (c >= 0xC0) PutUtf8(out, 0x0410 + (c - 0xC0));
        else if (kHigh[c - 0x80] != 0) PutUtf8(out, kHigh[c - 0x80]);
        else out += '?';
    }
    return out;
}

std::string Utf8ToCp1251(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size();) {
        uint32_t cp = 0;
        size_t len = NextUtf8(in, i, cp);
        if (len == 0) {   // not UTF-8 after all: keep the byte
            out += in[i];
            ++i;
            continue;
        }
        out += Cp1251Of(cp);
        i += len;
    }
    return out;
}

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        uint32_t cp;
        size_t len = NextUtf8(s, i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::string_view WithoutByteOrderMark(std::string_view bytes) {
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        bytes.remove_prefix(3);
    return bytes;
}

std::string LineToUtf8(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : Cp1251ToUtf8(bytes);
}

std::string TextFileToUtf8(std::string_view bytes) { return LineToUtf8(WithoutByteOrderMark(bytes)); }

std::string NameFieldToUtf8(const uint8_t* field, size_t size) {
    size_t n = 0;
    while (n < size && field[n] != 0) ++n;
    return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(field), n));
}

void Utf8ToNameField(std::string_view utf8, uint8_t* field, size_t size) {
    std::string cp = Utf8ToCp1251(utf8);
    std::memset(field, 0, size);
    std::memcpy(field, cp.data(), cp.size() < size ? cp.size() : size);
}

void Utf8ToPaddedField(std::string_view utf8, uint8_t* field, size_t size) {
    const std::string cp = Utf8ToCp1251(utf8);
    for (size_t i = 0; i < size; ++i) field[i] = i < cp.size() ? uint8_t(cp[i]) : uint8_t(' ');
}

std::string NameForEdit(std::string_view name) {
    const size_t end = name.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(name.substr(0, end + 1));
}

}  // namespace spirelo
