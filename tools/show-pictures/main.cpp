// Draws the pictures the controller ships with: the twelve show-button pictures 00.bmp ..
// 11.bmp (24-bit, a plain background at the bottom-left pixel, which the panel masks out)
// and input_colors.jpg, the scene input panel's colour picker (each pixel the picked colour).
//   show-pictures <folder for the BMPs> <path of the JPEG>
#include "playback/scene_input.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

struct Picture {
    int w, h;
    std::vector<Rgb> px;
    Picture(int w_, int h_, Rgb fill) : w(w_), h(h_), px(size_t(w_) * h_, fill) {}
    void set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + x] = c;
    }
};

void Put16(std::ofstream& f, uint16_t v) { f.put(char(v & 0xFF)).put(char(v >> 8)); }
void Put32(std::ofstream& f, uint32_t v) { Put16(f, uint16_t(v & 0xFFFF)); Put16(f, uint16_t(v >> 16)); }

bool WriteBmp(const Picture& p, const std::string& path) {
    const int row = (p.w * 3 + 3) & ~3;
    std::ofstream f(path, std::ios::binary);
    f.put('B').put('M');
    Put32(f, uint32_t(54 + row * p.h));
    Put32(f, 0);
    Put32(f, 54);
    Put32(f, 40);
    Put32(f, uint32_t(p.w));
    Put32(f, uint32_t(p.h));
    Put16(f, 1);
    Put16(f, 24);
    for (int i = 0; i < 6; ++i) Put32(f, 0);
    for (int y = p.h - 1; y >= 0; --y) {   // bottom row first
        int n = 0;
        for (int x = 0; x < p.w; ++x, n += 3) {
            const Rgb c = p.px[size_t(y) * p.w + x];
            f.put(char(c.b)).put(char(c.g)).put(char(c.r));
        }
        for (; n < row; ++n) f.put(0);
    }
    return bool(f);
}

bool WriteJpeg(const Picture& p, const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, out);
    c.image_width = JDIMENSION(p.w);
    c.image_height = JDIMENSION(p.h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> line(size_t(p.w) * 3);
    while (c.next_scanline < c.image_height) {
        const int y = int(c.next_scanline);
        for (int x = 0; x < p.w; ++x) {
            const Rgb v = p.px[size_t(y) * p.w + x];
            line[size_t(x) * 3] = v.r;
            line[size_t(x) * 3 + 1] = v.g;
            line[size_t(x) * 3 + 2] = v.b;
        }
        JSAMPROW rowp = line.data();
        jpeg_write_scanlines(&c, &rowp, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(out) == 0;
}

Rgb Hue(double h) {
    const double r = 0.5 + 0.5 * std::cos(6.2831853 * h), g = 0.5 + 0.5 * std::cos(6.2831853 * (h - 1.0 / 3)),
                 b = 0.5 + 0.5 * std::cos(6.2831853 * (h - 2.0 / 3));
    return {uint8_t(40 + 215 * r), uint8_t(40 + 215 * g), uint8_t(40 + 215 * b)};
}

// Show i: a basin and i + 1 jets, each an arc of drops in the show's own colour.
Picture ShowPicture(int i) {
    const Rgb background{uint8_t(255), uint8_t(0), uint8_t(255)};   // masked out by the panel
    Picture p(96, 80, background);
    const Rgb water = Hue(i / 12.0);
    const Rgb basin{40, 60, 140};
    for (int y = 64; y < 74; ++y)
        for (int x = 6; x < 90; ++x) p.set(x, y, basin);
    const int jets = i + 1;
    for (int j = 0; j < jets; ++j) {
        const double base = 10 + (76.0 * (j + 0.5)) / jets;
        const double height = 20 + 36 * std::sin(3.14159 * (j + 0.5) / jets);
        const double lean = (i % 3 - 1) * 8.0 + (j - (jets - 1) / 2.0) * 2.0;
        for (int k = 0; k <= 60; ++k) {
            const double t = k / 60.0;
            const int x = int(base + lean * t);
            const int y = int(64 - height * 4 * t * (1 - t) - 2);
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) p.set(x + dx, y + dy, water);
        }
    }
    // Show number as bars along the top, so no two pictures look alike.
    for (int b = 0; b <= i; ++b)
        for (int y = 4; y < 10; ++y)
            for (int x = 6 + b * 7; x < 11 + b * 7; ++x) p.set(x, y, Rgb{255, 255, 255});
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: show-pictures <bmp folder> <input_colors.jpg>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    for (int i = 0; i < 12; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%02d.bmp", i);
        if (!WriteBmp(ShowPicture(i), folder + name)) {
            std::fprintf(stderr, "cannot write %s%s\n", folder.c_str(), name);
            return 1;
        }
    }
    Picture colors(255, 255, Rgb{0, 0, 0});
    for (int y = 0; y < 255; ++y)
        for (int x = 0; x < 255; ++x) {
            const uint32_t v = spirelo::InputPickColor(x, y);
            colors.set(x, y, Rgb{uint8_t(v & 0xFF), uint8_t((v >> 8) & 0xFF), uint8_t((v >> 16) & 0xFF)});
        }
    if (!WriteJpeg(colors, argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
