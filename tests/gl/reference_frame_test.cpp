// The preset layout at fixed levels from the default camera, compared with a picture kept in
// tests/data: a faster way of drawing must still give the same frame. Set
// SPIRELO_FRAME_PICTURES=DIR to also write the frames this build draws there (PNG).
#include "visualiser/ui/offscreen_gl.h"
#include "visualiser/ui/renderer.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace spirelo;

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kTolerance = 32;            // per channel
constexpr double kMaxDifferent = 0.02;    // share of the pixels

// Every scene layer on, shaded, neither transparent nor wire-frame.
FrameLayers UsualLayers() {
    FrameLayers l;
    l.alfa = false;
    l.wire = false;
    return l;
}

// Levels that vary from channel to channel, so the jets differ in colour and height and the
// moving heads point different ways; every pump runs at least at half power.
void FixedLevels(LiveLevels& l) {
    for (int c = 1; c <= kLiveChannels; ++c) l.DmxDisplay[c] = uint8_t((c * 53) % 256);
    for (int c = 117; c <= 145; ++c) l.DmxDisplay[c] = uint8_t(128 + (c * 37) % 128);
}

struct View {
    const char* picture;   // in tests/data
    int zoom;              // nearer than -18 the jets are drawn wider than one pixel
    float rotationX, viewerY;
};
void PrintTo(const View& v, std::ostream* os) { *os << v.picture; }

QImage RenderFrame(const View& view, std::string* error) {
    OffscreenGl gl;
    if (!gl.create(kWidth, kHeight, error)) return {};
    auto s = MakeVisualiserState();
    FillPresetLayout(s->collectors);
    RecountJets(s->collectors, s->jets);
    FixedLevels(s->levels);
    ViewDefault(s->camera);
    s->camera.Zoom = view.zoom;
    s->camera.RotationX = view.rotationX;
    s->camera.ViewerY = view.viewerY;
    SceneRenderer renderer;
    renderer.InitGLState(kWidth, kHeight);
    renderer.DrawFrame(*s, UsualLayers());
    gl.finish();
    std::vector<uint8_t> px = gl.readPixels();
    renderer.Release();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* row = px.data() + size_t(kHeight - 1 - y) * kWidth * 4;   // bottom row first
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) out[x] = qRgb(row[4 * x], row[4 * x + 1], row[4 * x + 2]);
    }
    return image;
}

// Pixels whose red, green or blue differ by more than the tolerance (alpha is not compared).
long long DifferentPixels(const QImage& a, const QImage& b) {
    long long n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            int d = std::max({std::abs(qRed(ra[x]) - qRed(rb[x])), std::abs(qGreen(ra[x]) - qGreen(rb[x])),
                              std::abs(qBlue(ra[x]) - qBlue(rb[x]))});
            if (d > kTolerance) ++n;
        }
    }
    return n;
}

long long LitPixels(const QImage& a) {
    long long n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* r = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) n += (qRed(r[x]) | qGreen(r[x]) | qBlue(r[x])) != 0;
    }
    return n;
}

class ReferenceFrame : public ::testing::TestWithParam<View> {};

TEST_P(ReferenceFrame, PresetLayoutLooksAsTheKeptPicture) {
    const View& view = GetParam();
    std::string error;
    QImage frame = RenderFrame(view, &error);
    ASSERT_FALSE(frame.isNull()) << error;
    if (const char* dir = std::getenv("SPIRELO_FRAME_PICTURES"); dir && *dir) {
        EXPECT_TRUE(frame.save(QString::fromLocal8Bit(dir) + "/" + view.picture, "PNG"));
    }

    const QString path = QStringLiteral(SPIRELO_TEST_DATA "/") + view.picture;
    QImage kept(path);
    ASSERT_FALSE(kept.isNull()) << "cannot read " << path.toStdString();
    kept = kept.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(kept.size(), frame.size());
    // A blank or nearly blank frame would pass against a mostly black picture by itself.
    ASSERT_GT(LitPixels(frame), LitPixels(kept) / 2);

    long long differ = DifferentPixels(frame, kept);
    EXPECT_LE(double(differ), kMaxDifferent * kWidth * kHeight)
        << differ << " of " << kWidth * kHeight << " pixels differ by more than " << kTolerance;
}

INSTANTIATE_TEST_SUITE_P(Views, ReferenceFrame,
                         ::testing::Values(View{"preset_default.png", -27, 4, -5.0557f}, View{"preset_near.png", -14, 30, -1.5f}),
                         [](const ::testing::TestParamInfo<View>& i) { return i.param.zoom < -18 ? "Default" : "Near"; });

}  // namespace
