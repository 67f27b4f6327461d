// A GL context without a window: EGL (Mesa's surfaceless platform when present) with a
// framebuffer object of colour and depth, for the GL tests and the frame benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

class OffscreenGl {
public:
    OffscreenGl() = default;
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    // Creates the context, makes it current and binds a width x height framebuffer.
    bool create(int width, int height, std::string* error = nullptr);
    void destroy();
    bool makeCurrent();
    void clear();    // colour and depth, with the context's clear values
    void finish();   // waits until the GPU work is done (for timing)
    // Counting the fragments that pass the depth test between the two calls (0 without
    // occlusion queries).
    void beginFragmentCount();
    long long endFragmentCount();
    // The cheapest way to write n pixels: flat, untextured screen rectangles without depth test.
    void fillPixels(long long n);
    // RGBA bytes, bottom row first.
    std::vector<uint8_t> readPixels() const;
    std::string renderer() const;   // GL_RENDERER
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void* display_ = nullptr;
    void* context_ = nullptr;
    void* surface_ = nullptr;
    unsigned fbo_ = 0, colour_ = 0, depth_ = 0, query_ = 0;
    int width_ = 0, height_ = 0;
};

}  // namespace spirelo
