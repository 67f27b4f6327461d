#include "dmx/usb_frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace spirelo;

namespace {
std::vector<uint8_t> Frame(const uint8_t* send, uint8_t format = kOutputFormatPlain, uint8_t a = 0, uint8_t b = 0) {
    std::vector<uint8_t> out(kMaxDmxUsbFrame + 8, 0xEE);
    size_t n = BuildDmxUsbFrame(send, format, a, b, out.data());
    EXPECT_EQ(out[n], 0xEE) << "wrote past its length";
    out.resize(n);
    return out;
}
}  // namespace

TEST(DmxUsbFrame, AllZeroIsFiveHundredNineteenBytes) {
    uint8_t send[513] = {};
    std::vector<uint8_t> f = Frame(send);
    ASSERT_EQ(f.size(), 519u);
    EXPECT_EQ((std::vector<uint8_t>(f.begin(), f.begin() + 3)), (std::vector<uint8_t>{0xFF, 0xF0, 0x00}));
    for (size_t i = 3; i < 515; ++i) ASSERT_EQ(f[i], 0) << i;
    EXPECT_EQ((std::vector<uint8_t>(f.end() - 4, f.end())), (std::vector<uint8_t>{0xFF, 0xF1, 0xFF, 0xFF}));
}

TEST(DmxUsbFrame, EveryFFIsEscapedAndOnlyFF) {
    uint8_t send[513];
    std::memset(send, 0xFF, sizeof send);
    std::vector<uint8_t> f = Frame(send);
    ASSERT_EQ(f.size(), 1031u);
    for (size_t i = 3; i < 3 + 1024; i += 2) {
        ASSERT_EQ(f[i], 0xFF);
        ASSERT_EQ(f[i + 1], 0xF7);
    }
    // The longest frame: "Stream" with every data byte FF.
    std::vector<uint8_t> out(kMaxDmxUsbFrame);
    EXPECT_EQ(BuildDmxUsbFrame(send, kOutputFormatStream, 1, 2, out.data()), kMaxDmxUsbFrame);

    uint8_t marks[513] = {};
    marks[1] = 0xF0;
    marks[2] = 0xF1;
    marks[3] = 0xF7;
    marks[4] = 0xFF;
    f = Frame(marks);
    ASSERT_EQ(f.size(), 520u);
    EXPECT_EQ((std::vector<uint8_t>(f.begin() + 3, f.begin() + 9)),
              (std::vector<uint8_t>{0xF0, 0xF1, 0xF7, 0xFF, 0xF7, 0x00}));
}

TEST(DmxUsbFrame, StreamCarriesOffsetsAndUndoesWithTheTable) {
    uint8_t out[513], send[513] = {};
    for (int i = 0; i <= 512; ++i) out[i] = uint8_t(i * 37 + 5);
    FillSendBuffer(out, send, kOutputFormatStream, 7, 30);
    std::vector<uint8_t> f = Frame(send, kOutputFormatStream, 7, 30);
    EXPECT_EQ(f[2], 7);
    EXPECT_EQ(f[3], 30);

    DecodedDmxUsbFrame dec;
    ASSERT_EQ(DecodeDmxUsbFrame(f.data(), f.size(), true, dec), f.size());
    for (int i = 1; i <= 512; ++i) ASSERT_EQ(dec.levels[i], out[i]) << i;

    // Position and offsets both matter: one level gives different bytes on different channels
    // and in frames with different offsets.
    for (int a = 0; a <= 30; ++a)
        for (int b = 0; b <= 30; ++b)
            for (int ch = 1; ch <= 512; ch += 37)
                for (int v = 0; v < 256; v += 15)
                    ASSERT_EQ(StreamUnscramble(StreamScramble(uint8_t(v), ch, uint8_t(a), uint8_t(b)), ch, uint8_t(a), uint8_t(b)), v);
    int differs = 0;
    for (int ch = 1; ch < 64; ++ch) differs += StreamScramble(100, ch, 0, 0) != StreamScramble(100, ch + 1, 0, 0);
    EXPECT_GT(differs, 50);
    EXPECT_NE(StreamScramble(100, 5, 0, 0), StreamScramble(100, 5, 1, 0));
    EXPECT_NE(StreamScramble(100, 5, 0, 0), StreamScramble(100, 5, 0, 1));
}

TEST(DmxUsbFrame, DecodesAStreamOfFramesAndSkipsJunk) {
    uint8_t a[513] = {}, b[513];
    std::memset(b, 0xFF, sizeof b);
    a[1] = 9;
    std::vector<uint8_t> bytes = {0x12, 0xFF};
    for (const uint8_t* s : {a, b}) {
        std::vector<uint8_t> f = Frame(s);
        bytes.insert(bytes.end(), f.begin(), f.end());
    }
    std::vector<uint8_t> cut = Frame(a);
    bytes.insert(bytes.end(), cut.begin(), cut.begin() + 100);   // a frame cut short
    auto frames = DecodeDmxUsbFrames(bytes, false);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].levels[1], 9);
    EXPECT_EQ(frames[1].levels[512], 255);
}
