#include "common/window_places.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace spirelo {

namespace {

int Fit(int pos, int size, int from, int length) {
    if (size >= length) return from;
    return std::clamp(pos, from, from + length - size);
}

// The box's edges along one axis that fall inside [from, to], with the ends themselves.
std::vector<int> Edges(std::span<const Box> taken, int from, int to, bool across) {
    std::vector<int> e{from, to};
    for (const Box& b : taken) {
        for (int v : {across ? b.x : b.y, across ? b.right() : b.bottom()})
            if (v > from && v < to) e.push_back(v);
    }
    std::sort(e.begin(), e.end());
    e.erase(std::unique(e.begin(), e.end()), e.end());
    return e;
}

long long CoveredBy(const Box& b, std::span<const Box> taken) {
    long long n = 0;
    for (const Box& t : taken) n += OverlapArea(b, t);
    return n;
}

}  // namespace

long long OverlapArea(const Box& a, const Box& b) {
    const long long w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const long long h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

Box KeepInside(Box frame, const Box& screen, bool shrink) {
    if (shrink) {
        frame.width = std::min(frame.width, screen.width);
        frame.height = std::min(frame.height, screen.height);
    }
    frame.x = Fit(frame.x, frame.width, screen.x, screen.width);
    frame.y = Fit(frame.y, frame.height, screen.y, screen.height);
    return frame;
}

Box ToolBarFrame(const Box& screen, const FrameMargins& m) {
    return {screen.x, screen.y, screen.width, kToolBarClientHeight + m.down()};
}

Box SoundFirstFrame(const Box& screen, const FrameMargins& m) {
    // Below the band even where the window manager's frame makes the tool bar shorter than it.
    const int band = std::max(kToolBarBand, ToolBarFrame(screen, m).height);
    return KeepInside({screen.x, screen.y + band, kSoundClientWidth + m.across(), kSoundClientHeight + m.down()},
                      screen);
}

Box VisualiserFirstFrame(const Box& screen, const FrameMargins& m) {
    Box band = ToolBarFrame(screen, m);
    band.height = std::max(kToolBarBand, band.height);
    const Box taken[] = {band, SoundFirstFrame(screen, m)};
    const int minWidth = std::min(kVisualiserMinClientWidth + m.across(), screen.width);
    const int minHeight = std::min(kVisualiserMinClientHeight + m.down(), screen.height);
    if (auto free = LargestFreeBox(screen, taken); free && free->width >= minWidth && free->height >= minHeight)
        return *free;
    return LeastCoveringPlace(minWidth, minHeight, screen, taken);
}

Box SavedFrame(int left, int top, int clientWidth, int clientHeight, const Box& screen,
               const FrameMargins& m, bool resizable) {
    return KeepInside({left, top, std::max(clientWidth, 0) + m.across(), std::max(clientHeight, 0) + m.down()},
                      screen, resizable);
}

std::optional<Box> LargestFreeBox(const Box& screen, std::span<const Box> taken) {
    const std::vector<int> xs = Edges(taken, screen.x, screen.right(), true);
    const std::vector<int> ys = Edges(taken, screen.y, screen.bottom(), false);
    std::optional<Box> best;
    long long bestArea = 0;
    for (size_t y1 = 0; y1 < ys.size(); ++y1)
        for (size_t x1 = 0; x1 < xs.size(); ++x1)
            for (size_t y2 = y1 + 1; y2 < ys.size(); ++y2)
                for (size_t x2 = x1 + 1; x2 < xs.size(); ++x2) {
                    const Box b{xs[x1], ys[y1], xs[x2] - xs[x1], ys[y2] - ys[y1]};
                    const long long area = 1LL * b.width * b.height;
                    if (area <= bestArea) continue;
                    if (CoveredBy(b, taken) == 0) {
                        best = b;
                        bestArea = area;
                    }
                }
    return best;
}

Box LeastCoveringPlace(int width, int height, const Box& screen, std::span<const Box> taken) {
    std::vector<int> xs{screen.x, screen.right() - width};
    std::vector<int> ys{screen.y, screen.bottom() - height};
    for (const Box& t : taken) {
        xs.insert(xs.end(), {t.right(), t.x - width});
        ys.insert(ys.end(), {t.bottom(), t.y - height});
    }
    Box best = KeepInside({screen.x, screen.y, width, height}, screen);
    auto key = [&](const Box& b) { return std::tuple(CoveredBy(b, taken), b.y, b.x); };
    auto bestKey = key(best);
    for (int y : ys)
        for (int x : xs) {
            const Box b = KeepInside({x, y, width, height}, screen);
            if (auto k = key(b); k < bestKey) {
                best = b;
                bestKey = k;
            }
        }
    return best;
}

}  // namespace spirelo
