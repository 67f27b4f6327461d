// What the fuzz targets share: fixed-size files built from a short input, so that a run costs a
// copy and not a multi-megabyte input, and a byte-for-byte compare.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <vector>

namespace fuzz {

// Reads the input front to back; past its end every read gives zeros.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(byte()) << (8 * i);
        return v;
    }
    const uint8_t* rest() const { return data_ + pos_; }
    size_t restSize() const { return size_ - pos_; }
private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// A file of one of the given sizes (or, for the last choice, of a size no layout has): a
// repeated base pattern with the rest of the input written at a chosen offset, several times.
inline std::vector<uint8_t> SizedFile(Input& in, const std::vector<size_t>& sizes) {
    const uint8_t choice = in.byte();
    size_t size;
    if (choice % (sizes.size() + 1) < sizes.size()) size = sizes[choice % (sizes.size() + 1)];
    else size = in.u32() % (sizes.back() + 4096);
    std::vector<uint8_t> file(size, in.byte());
    const int patches = 1 + in.byte() % 4;
    for (int p = 0; p < patches && size > 0; ++p) {
        const size_t at = in.u32() % size;
        const size_t len = std::min<size_t>({in.restSize() / size_t(patches - p), size - at, size_t(65536)});
        std::memcpy(file.data() + at, in.rest(), len);
        for (size_t i = 0; i < len; ++i) in.byte();
    }
    return file;
}

// Stops the run as a finding: libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void Check(bool ok, const char* what) {
    if (!ok) Fail(what);
}

}  // namespace fuzz
