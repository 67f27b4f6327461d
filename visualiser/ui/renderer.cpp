#include "visualiser/ui/renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace spirelo {

namespace {
void Colour(const Colour4& c) { glColor4f(c.r, c.g, c.b, c.a); }
void Grey(float v) { glColor3f(v, v, v); }
void Vertex(const Vec3& v) { glVertex3f(v.x, v.y, v.z); }
// As GL turns a colour component into a byte of the framebuffer.
uint8_t ColourByte(float c) { return uint8_t(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f)); }
}  // namespace

SceneRenderer::SceneRenderer() : rnd_(0x2545F491u) {
    BuildTorusMesh(0.1, 0.4, 12, 21, lampTorusV_, lampTorusN_);
}

SceneRenderer::~SceneRenderer() = default;   // quadrics go with their context (Release)

template <typename Draw>
void SceneRenderer::callCached(CachedList& list, int key, Draw&& draw) {
    if (list.id != 0 && list.key == key && glIsList(list.id)) {
        glCallList(list.id);
        return;
    }
    if (list.id == 0 || !glIsList(list.id)) list.id = glGenLists(1);
    if (list.id == 0) {   // no list space: draw directly
        draw();
        return;
    }
    list.key = key;
    glNewList(list.id, GL_COMPILE_AND_EXECUTE);
    draw();
    glEndList();
}

void SceneRenderer::forgetLists() {
    for (CachedList* l : {&sceneryList_, &cupList_, &pipesList_, &peopleList_}) {
        if (l->id != 0 && glIsList(l->id)) glDeleteLists(l->id, 1);
        *l = CachedList{};
    }
    peopleDrawn_.clear();
    if (discTexture_ != 0 && glIsTexture(discTexture_)) glDeleteTextures(1, &discTexture_);
    discTexture_ = 0;
}

void SceneRenderer::Release() {
    forgetLists();
    if (scene_) gluDeleteQuadric(scene_);
    if (shape_) gluDeleteQuadric(shape_);
    scene_ = shape_ = nullptr;
}

GLUquadric* SceneRenderer::shapeQuadric() {
    if (!shape_) {
        shape_ = gluNewQuadric();
        gluQuadricDrawStyle(shape_, GLU_FILL);
        gluQuadricNormals(shape_, GLU_SMOOTH);
    }
    return shape_;
}

void SceneRenderer::InitGLState(int width, int height) {
    // Quadrics are client-side objects, so they outlive a re-created context.
    if (!scene_) scene_ = gluNewQuadric();
    forgetLists();
    glViewport(0, 0, width, height);
    glPointSize(1);
    glClearColor(0, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearDepth(1);
    glDepthFunc(GL_LESS);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const GLfloat emission[] = {0, 0, 0, 1}, ambient[] = {0.2f, 0.2f, 0.2f, 1}, diffuse[] = {1, 1, 1, 1},
                  specular[] = {1, 1, 1, 1}, model[] = {0.5f, 0.5f, 0.5f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 70);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, model);
    Resize(width, height);
}

void SceneRenderer::Resize(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30, ProjectionAspect(width, height), 1, 200);
    glMatrixMode(GL_MODELVIEW);
}

void SceneRenderer::DrawFrame(const VisualiserState& s, const FrameLayers& layers) {
    if (!scene_) scene_ = gluNewQuadric();
    const Camera& cam = s.camera;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glLineWidth(1);
    glTranslated(cam.ViewerX, cam.ViewerY, cam.Zoom);
    glRotatef(cam.RotationX, 1, 0, 0);
    glRotatef(cam.RotationY, 0, 1, 0);
    glRotatef(cam.RotationZ, 0, 0, 1);

    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    if (layers.axis) DrawAxes();
    if (layers.grid) DrawGrid();
    if (layers.streams) {
        int count = std::clamp<int>(s.jets.JetCount, 0, kMaxJets);
        for (int j = 1; j < count; ++j) DrawWaterStream(s, layers, j);
        FlushWaterStreams();
    }

    glEnable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLineWidth(2);
    glPointSize(2);
    if (layers.alfa) {
        glEnable(GL_ALPHA_TEST);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (layers.depth) glEnable(GL_LIGHTING);
    else glDisable(GL_LIGHTING);
    gluQuadricDrawStyle(scene_, layers.wire ? GLU_LINE : GLU_FILL);

    const int wire = layers.wire ? 1 : 0;
    // See-through objects show their far sides; the lists of closed shapes differ with it.
    cullClosed_ = !layers.alfa;
    const int style = wire + (cullClosed_ ? 2 : 0);
    if (layers.cup) {
        callCached(cupList_, wire * 2 + (layers.water ? 1 : 0), [&] {
            int n = 0;
            const Bowl* bowls = Bowls(n);
            for (int i = 0; i < n; ++i) DrawBowl(bowls[i], layers.water);
            DrawRail(32, 1.4, 10, 21);
            glColor3f(0.4f, 0.3f, 0.3f);
            glPushMatrix();
            glRotatef(16, 1, 0, 0);
            DrawBox({1, 0.2f, 6.7f, 0, 2.01f, 3.5f});
            glPopMatrix();
        });
    }
    if (layers.nozzle) {
        callCached(pipesList_, wire, [&] { DrawPipes(); });
        DrawCollectorRings(s.collectors);
    }
    if (layers.objects) callCached(sceneryList_, style, [&] { DrawScenery(); });
    if (layers.spot)
        for (const BeamChannels& b : kBeams) DrawMovingHeadBeam(s.levels, b);
    if (layers.people) {
        const People& p = s.people;
        const uint8_t* raw = reinterpret_cast<const uint8_t*>(&p);
        // The people stand still once placed; a new placement compiles them again.
        if (peopleDrawn_.size() != sizeof p || std::memcmp(peopleDrawn_.data(), raw, sizeof p) != 0) {
            peopleDrawn_.assign(raw, raw + sizeof p);
            peopleList_.key = -1;
        }
        callCached(peopleList_, style, [&] {
            for (int i = 1; i <= 50; ++i)
                DrawPersonB(p.PersonKind[i], p.PersonX[i], p.PersonZ[i], p.PersonBase[i], p.PersonHeight[i]);
            for (int i = 51; i <= 100; ++i)
                DrawPersonA(p.PersonKind[i], p.PersonX[i], p.PersonZ[i], p.PersonBase[i], p.PersonHeight[i]);
        });
    }
}

void SceneRenderer::DrawWaterStream(const VisualiserState& s, const FrameLayers& layers, int j) {
    const JetTable& jets = s.jets;
    batchJets_ = &jets;
    JetLook look = ComputeJetLook(jets, j, s.levels.DmxDisplay, layers.spot, s.camera.Zoom);
    const float x0 = jets.X[j], y0 = jets.Y[j], z0 = jets.Z[j];

    if (layers.nozzle) {
        if (layers.wire) {
            nozzleJets_.push_back(j);
        } else {
            // The filled GLU cylinder of 7 slices, 0.03 wide, hanging 0.1 down from Y + 0.15.
            constexpr int kSlices = 7;
            constexpr double kTwoPi = 6.28318530717958647692;
            for (int i = 0; i < kSlices; ++i) {
                double a0 = kTwoPi * i / kSlices, a1 = kTwoPi * (i + 1) / kSlices;
                float sx0 = float(0.03 * std::sin(a0)), sz0 = float(0.03 * std::cos(a0));
                float sx1 = float(0.03 * std::sin(a1)), sz1 = float(0.03 * std::cos(a1));
                nozzleQuads_.push_back({x0 + sx0, y0 + 0.15f, z0 + sz0});
                nozzleQuads_.push_back({x0 + sx0, y0 + 0.05f, z0 + sz0});
                nozzleQuads_.push_back({x0 + sx1, y0 + 0.05f, z0 + sz1});
                nozzleQuads_.push_back({x0 + sx1, y0 + 0.15f, z0 + sz1});
            }
        }
    }

    // The jet's frame: translated to the nozzle, turned Rotation + 180 about y.
    double theta = (double(jets.Rotation[j]) + 180.0) * 3.14159265358979323846 / 180.0;
    float c = float(std::cos(theta)), sn = float(std::sin(theta));
    auto put = [&](std::vector<ColouredVertex>& out, const Vec3& v) {
        out.push_back({look.red, look.green, look.blue, x0 + v.x * c + v.z * sn, y0 + v.y, z0 - v.x * sn + v.z * c});
    };
    int w = std::clamp(look.width, 1, kWidths - 1);
    std::vector<ColouredVertex>& lines = jetLines_[w];
    if (jets.Kind[j] == kKindRotation) {
        Vec3 arm[kSpiralArmPoints];
        int pump = LevelAt(s.levels.DmxDisplay, jets.PumpDmx[j]);
        for (int i = 0; i < kSpiralArms; ++i) {
            BuildSpiralArm(i, jets.Height[j], pump, s.SpiralPhase, arm);
            jetStrips_[w].push_back({int(lines.size()), kSpiralArmPoints});
            for (const Vec3& v : arm) put(lines, v);
        }
    } else {
        BuildArc(jets.Segments[j], jets.Height[j], look.tilt, look.power, s.parabola, rnd_, line_, spray_);
        jetStrips_[w].push_back({int(lines.size()), int(line_.size())});
        for (const Vec3& v : line_) put(lines, v);
        for (const Vec3& v : spray_) put(jetPoints_[w], v);
    }
}

namespace {
// Column-major 4x4 product a * b, as GL keeps its matrices.
void Multiply(const float* a, const float* b, float* out) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float v = 0;
            for (int k = 0; k < 4; ++k) v += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = v;
        }
}
}  // namespace

// Where the current modelview, projection and viewport put things on screen.
struct SceneRenderer::ScreenMapping {
    float m[16];
    float x0, y0, halfW, halfH;

    ScreenMapping() {
        float mv[16], pr[16];
        GLint vp[4];
        glGetFloatv(GL_MODELVIEW_MATRIX, mv);
        glGetFloatv(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, vp);
        Multiply(pr, mv, m);
        halfW = vp[2] * 0.5f;
        halfH = vp[3] * 0.5f;
        x0 = vp[0] + halfW;
        y0 = vp[1] + halfH;
    }
    Clip clip(float x, float y, float z) const {
        return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                m[2] * x + m[6] * y + m[10] * z + m[14], m[3] * x + m[7] * y + m[11] * z + m[15]};
    }
    // Window x, y and depth of a point on the near side of the near plane.
    void window(const Clip& c, float& x, float& y, float& depth) const {
        float inv = 1 / c.w;
        x = x0 + c.x * inv * halfW;
        y = y0 + c.y * inv * halfH;
        depth = c.z * inv * 0.5f + 0.5f;
    }
};

// The quad that the driver's antialiased line covers: the segment lengthened by half a pixel at
// either end and widened to half a pixel more than the line on each side (at least one pixel).
// Within the jets' pass blending is off, so the edge coverage never shows and a plain quad gives
// the same pixels.
void SceneRenderer::putLineQuad(const ScreenMapping& sm, Clip a, Clip b, float half, const uint8_t* rgb) {
    float da = a.z + a.w, db = b.z + b.w;   // distance in front of the near plane
    if (da < 0 && db < 0) return;
    if (da < 0 || db < 0) {
        float t = da / (da - db);
        Clip cut{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, a.w + (b.w - a.w) * t};
        (da < 0 ? a : b) = cut;
    }
    float ax, ay, az, bx, by, bz;
    sm.window(a, ax, ay, az);
    sm.window(b, bx, by, bz);
    float dx = bx - ax, dy = by - ay, len = std::sqrt(dx * dx + dy * dy);
    float c = 1, s = 0;
    if (len > 0) {
        c = dx / len;
        s = dy / len;
    }
    float lx = 0.5f * c, ly = 0.5f * s, wx = -half * s, wy = half * c;
    auto put = [&](float x, float y, float z) { jetQuads_.push_back({x, y, z, rgb[0], rgb[1], rgb[2], 255}); };
    put(ax - lx + wx, ay - ly + wy, az);
    put(ax - lx - wx, ay - ly - wy, az);
    put(bx + lx - wx, by + ly - wy, bz);
    put(bx + lx + wx, by + ly + wy, bz);
}

// A jet in front of the near plane as one triangle strip of the same quads' outline. Points within
// half a pixel of the line through their neighbours are left out: the arcs' own jitter moves them
// that much from frame to frame. Strips are joined by degenerate triangles, so few draws take all.
void SceneRenderer::putLineStrip(const ScreenPoint* p, int n, float half, const uint8_t* rgb) {
    constexpr float kTolerance = 0.5f;
    kept_.clear();
    kept_.push_back(0);
    for (int a = 0; a < n - 1;) {
        int b = a + 1;
        while (b + 1 < n) {
            // Can the run a .. b + 1 be one straight piece?
            int c = b + 1;
            float dx = p[c].x - p[a].x, dy = p[c].y - p[a].y, len2 = dx * dx + dy * dy;
            bool straight = len2 > 0;
            for (int k = a + 1; straight && k < c; ++k) {
                float ex = p[k].x - p[a].x, ey = p[k].y - p[a].y;
                float t = (ex * dx + ey * dy) / len2;
                float cross = ex * dy - ey * dx;
                straight = t >= 0 && t <= 1 && cross * cross <= kTolerance * kTolerance * len2;
            }
            if (!straight) break;
            b = c;
        }
        kept_.push_back(b);
        a = b;
    }
    const int m = int(kept_.size());
    auto dir = [&](int i, float& ux, float& uy) {   // unit direction of kept piece i .. i + 1
        float dx = p[kept_[size_t(i + 1)]].x - p[kept_[size_t(i)]].x, dy = p[kept_[size_t(i + 1)]].y - p[kept_[size_t(i)]].y;
        float len = std::sqrt(dx * dx + dy * dy);
        if (len > 0) {
            ux = dx / len;
            uy = dy / len;
        } else {
            ux = 1;
            uy = 0;
        }
    };
    // Strips wholly inside the viewport go apart from those that reach past its edges: one vertex
    // the driver has to clip sends the whole draw down its slow, clipping path.
    float minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (int k = 1; k < n; ++k) {
        minX = std::min(minX, p[k].x);
        maxX = std::max(maxX, p[k].x);
        minY = std::min(minY, p[k].y);
        maxY = std::max(maxY, p[k].y);
    }
    const float margin = 2 * half + 1;
    const bool inside = minX - margin >= viewX0_ && maxX + margin <= viewX1_ && minY - margin >= viewY0_ &&
                        maxY + margin <= viewY1_;
    std::vector<ScreenVertex>& strip = inside ? jetStripInside_ : jetStripEdge_;
    auto put = [&](float x, float y, float z) { strip.push_back({x, y, z, rgb[0], rgb[1], rgb[2], 255}); };
    // The clipping path's cost per triangle grows with the length of the draw: the outer strips
    // are drawn one (or a few short ones) at a time.
    if (!inside && strip.size() >= jetEdgeDraws_.back() + kEdgeDraw) jetEdgeDraws_.push_back(strip.size());
    // Strips are joined by degenerate triangles: two places kept for the join, filled at the end.
    const bool join = !strip.empty() && (inside || strip.size() != jetEdgeDraws_.back());
    if (join) strip.resize(strip.size() + 2);
    const size_t first = strip.size();
    float ux = 1, uy = 0;
    for (int i = 0; i < m; ++i) {
        const ScreenPoint& q = p[kept_[size_t(i)]];
        float nx, ny, along = 0;
        if (m == 1) {
            nx = 0;
            ny = half;
            along = 0.5f;
        } else if (i == 0 || i == m - 1) {
            dir(i == 0 ? 0 : m - 2, ux, uy);
            nx = -uy * half;
            ny = ux * half;
            along = i == 0 ? -0.5f : 0.5f;
        } else {
            float vx, vy;
            dir(i - 1, ux, uy);
            dir(i, vx, vy);
            // The mitre of the two pieces, no longer than twice the half width.
            float mx = -(uy + vy), my = ux + vx, ml = std::sqrt(mx * mx + my * my);
            float cosHalf = ml * 0.5f;
            if (ml < 1e-6f) {
                mx = -uy;
                my = ux;
                ml = 1;
                cosHalf = 1;
            }
            float scale = half / std::max(cosHalf, 0.5f) / ml;
            nx = mx * scale;
            ny = my * scale;
        }
        float x = q.x + ux * along, y = q.y + uy * along;
        if (m == 1) {
            put(x - 0.5f + nx, y + ny, q.depth);
            put(x - 0.5f - nx, y - ny, q.depth);
            put(x + 0.5f + nx, y + ny, q.depth);
            put(x + 0.5f - nx, y - ny, q.depth);
            break;
        }
        put(x + nx, y + ny, q.depth);
        put(x - nx, y - ny, q.depth);
    }
    if (join) {
        // Repeat the last vertex of the previous strip and the first of this one.
        strip[first - 2] = strip[first - 3];
        strip[first - 1] = strip[first];
    }
}

// A round mask: texels whose centre lies within the unit circle are opaque.
unsigned SceneRenderer::discTexture() {
    if (discTexture_ != 0 && glIsTexture(discTexture_)) return discTexture_;
    constexpr int kSize = 64;
    std::vector<uint8_t> alpha(size_t(kSize) * kSize);
    for (int j = 0; j < kSize; ++j)
        for (int i = 0; i < kSize; ++i) {
            float x = (i + 0.5f) * 2 / kSize - 1, y = (j + 0.5f) * 2 / kSize - 1;
            alpha[size_t(j) * kSize + size_t(i)] = x * x + y * y <= 1 ? 255 : 0;
        }
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, kSize, kSize, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    discTexture_ = id;
    return id;
}

void SceneRenderer::FlushWaterStreams() {
    glLineWidth(1);
    if (!nozzleQuads_.empty() || !nozzleJets_.empty()) {
        glColor3f(0.7f, 0.6f, 0);
        if (!nozzleQuads_.empty()) {
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(3, GL_FLOAT, sizeof(Vec3), nozzleQuads_.data());
            glDrawArrays(GL_QUADS, 0, GLsizei(nozzleQuads_.size()));
            glDisableClientState(GL_VERTEX_ARRAY);
        }
        if (batchJets_) {
            for (int j : nozzleJets_) {
                glPushMatrix();
                glTranslatef(batchJets_->X[j], batchJets_->Y[j] + 0.15f, batchJets_->Z[j]);
                glRotatef(90, 1, 0, 0);
                gluCylinder(scene_, 0.03, 0.03, 0.1, 7, 1);
                glPopMatrix();
            }
        }
    }

    const ScreenMapping sm;
    jetQuads_.clear();
    jetStripInside_.clear();
    jetStripEdge_.clear();
    jetEdgeDraws_.assign(1, 0);
    viewX0_ = sm.x0 - sm.halfW;
    viewX1_ = sm.x0 + sm.halfW;
    viewY0_ = sm.y0 - sm.halfH;
    viewY1_ = sm.y0 + sm.halfH;
    for (int w = 1; w < kWidths; ++w) {
        const std::vector<ColouredVertex>& lines = jetLines_[w];
        const float half = w <= 1 ? 1.0f : 0.5f * float(w) + 0.5f;
        for (const auto& strip : jetStrips_[w]) {
            const ColouredVertex* v = &lines[size_t(strip.first)];
            const uint8_t rgb[3] = {ColourByte(v->r), ColourByte(v->g), ColourByte(v->b)};
            clips_.clear();
            bool inFront = true;
            for (int k = 0; k < strip.second; ++k) {
                clips_.push_back(sm.clip(v[k].x, v[k].y, v[k].z));
                inFront = inFront && clips_.back().z + clips_.back().w > 0;
            }
            if (inFront) {
                screen_.resize(clips_.size());
                for (size_t k = 0; k < clips_.size(); ++k) sm.window(clips_[k], screen_[k].x, screen_[k].y, screen_[k].depth);
                putLineStrip(screen_.data(), int(screen_.size()), half, rgb);
            } else {
                // Crossing the near plane: each piece cut there on its own.
                for (size_t k = 1; k < clips_.size(); ++k) putLineQuad(sm, clips_[k - 1], clips_[k], half, rgb);
            }
        }
    }
    // The spray: the driver draws a smooth point as a disc of radius 1 up to size 2 and of half
    // the size above; the same discs come from squares cut by an alpha-tested round texture.
    jetDiscs_.clear();
    jetDiscsEdge_.clear();
    for (int w = 1; w < kWidths; ++w) {
        const float radius = w <= 2 ? 1.0f : 0.5f * float(w);
        for (const ColouredVertex& v : jetPoints_[w]) {
            Clip c = sm.clip(v.x, v.y, v.z);
            if (c.x < -c.w || c.x > c.w || c.y < -c.w || c.y > c.w || c.z < -c.w || c.z > c.w) continue;
            float x, y, z;
            sm.window(c, x, y, z);
            const uint8_t r = ColourByte(v.r), g = ColourByte(v.g), b = ColourByte(v.b);
            const bool inside = x - radius >= viewX0_ && x + radius <= viewX1_ && y - radius >= viewY0_ &&
                                y + radius <= viewY1_;
            std::vector<DiscVertex>& discs = inside ? jetDiscs_ : jetDiscsEdge_;
            discs.push_back({x - radius, y - radius, z, r, g, b, 255, 0, 0});
            discs.push_back({x + radius, y - radius, z, r, g, b, 255, 1, 0});
            discs.push_back({x + radius, y + radius, z, r, g, b, 255, 1, 1});
            discs.push_back({x - radius, y + radius, z, r, g, b, 255, 0, 1});
        }
        jetLines_[w].clear();
        jetPoints_[w].clear();
        jetStrips_[w].clear();
    }
    if (!jetQuads_.empty() || !jetStripInside_.empty() || !jetStripEdge_.empty() || !jetDiscs_.empty() ||
        !jetDiscsEdge_.empty()) {
        // Everything below is in window coordinates: x, y in pixels and z the depth itself.
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(sm.x0 - sm.halfW, sm.x0 + sm.halfW, sm.y0 - sm.halfH, sm.y0 + sm.halfH, 0, -1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        for (const auto* batch : {&jetStripInside_, &jetStripEdge_, &jetQuads_}) {
            if (batch->empty()) continue;
            glVertexPointer(3, GL_FLOAT, sizeof(ScreenVertex), &(*batch)[0].x);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ScreenVertex), &(*batch)[0].r);
            if (batch == &jetStripEdge_) {
                jetEdgeDraws_.push_back(batch->size());
                for (size_t d = 0; d + 1 < jetEdgeDraws_.size(); ++d)
                    glDrawArrays(GL_TRIANGLE_STRIP, GLint(jetEdgeDraws_[d]), GLsizei(jetEdgeDraws_[d + 1] - jetEdgeDraws_[d]));
            } else {
                glDrawArrays(batch != &jetQuads_ ? GL_TRIANGLE_STRIP : GL_QUADS, 0, GLsizei(batch->size()));
            }
        }
        if (!jetDiscs_.empty() || !jetDiscsEdge_.empty()) {
            const GLboolean alphaTest = glIsEnabled(GL_ALPHA_TEST);
            glBindTexture(GL_TEXTURE_2D, discTexture());
            glEnable(GL_TEXTURE_2D);
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, 0.5f);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            for (const auto* batch : {&jetDiscs_, &jetDiscsEdge_}) {
                if (batch->empty()) continue;
                glVertexPointer(3, GL_FLOAT, sizeof(DiscVertex), &(*batch)[0].x);
                glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(DiscVertex), &(*batch)[0].r);
                glTexCoordPointer(2, GL_FLOAT, sizeof(DiscVertex), &(*batch)[0].s);
                // As the outer strips: the clipping path is cheap only on short draws.
                const size_t step = batch == &jetDiscs_ ? batch->size() : kEdgeDraw;
                for (size_t d = 0; d < batch->size(); d += step)
                    glDrawArrays(GL_QUADS, GLint(d), GLsizei(std::min(step, batch->size() - d)));
            }
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glAlphaFunc(GL_ALWAYS, 0);
            if (!alphaTest) glDisable(GL_ALPHA_TEST);
            glDisable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    nozzleQuads_.clear();
    nozzleJets_.clear();
    batchJets_ = nullptr;
}

void SceneRenderer::DrawAxes() {
    glLineWidth(3);
    glBegin(GL_LINES);
    glColor3f(1, 0, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(30, 0, 0);
    glColor3f(0, 1, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 30, 0);
    glColor3f(0, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, 30);
    glEnd();
}

void SceneRenderer::DrawGrid() {
    glLineWidth(1);
    glColor3f(0.35f, 0.355f, 0.35f);
    glBegin(GL_LINES);
    for (int i = -30; i <= 30; ++i) {
        glVertex3f(-30, 0, float(i));
        glVertex3f(30, 0, float(i));
        glVertex3f(float(i), 0, -30);
        glVertex3f(float(i), 0, 30);
    }
    glEnd();
}

void SceneRenderer::DrawPipes() {
    glColor4f(1, 0.5f, 0.2f, 0.7f);
    int n = 0;
    const Pipe* pipes = Pipes(n);
    for (int i = 0; i < n; ++i) {
        const Pipe& p = pipes[i];
        glPushMatrix();
        glTranslatef(p.x, p.y, p.z);
        if (p.rotY != 0) glRotatef(p.rotY, 0, 1, 0);
        if (p.rotX != 0) glRotatef(p.rotX, 1, 0, 0);
        gluCylinder(scene_, 0.1, 0.1, p.length, 7, 1);
        glPopMatrix();
    }
}

void SceneRenderer::DrawCollectorRings(const CollectorTable& t) {
    for (int c = 1; c <= kCollectors; ++c) {
        if (t.Kind[c] == kKindOff) continue;
        Grey(0.5f);
        // Each ring in its own matrix, so one collector's place never shifts the next.
        glPushMatrix();
        glTranslatef(t.X[c], t.Y[c], t.Z[c]);
        glRotatef(-90, 1, 0, 0);
        if (t.Kind[c] == kKindRing || t.Kind[c] == kKindSpiral) DrawSolidTorus(0.1, t.Size[c] / 2.0, 4, 21);
        glPopMatrix();
    }
}

void SceneRenderer::DrawBowl(const Bowl& b, bool water) {
    double r = b.diameter / 2.0;
    auto part = [&](double y, auto&& draw) {
        glPushMatrix();
        glTranslated(0, y, 0);
        glRotatef(-90, 1, 0, 0);
        glRotatef(b.angle, 0, 0, 1);
        draw();
        glPopMatrix();
    };
    if (water) {
        glColor4f(0.2f, 0.7f, 0.8f, 0.5f);
        part(b.base + b.height - 0.1, [&] { gluDisk(scene_, 0, r - b.wall + 0.1, 48, 1); });
    }
    glColor3f(0.4f, 0.3f, 0.3f);
    part(b.base, [&] { gluDisk(scene_, 0, r - b.wall + 0.2, 48, 1); });
    glColor3f(0.5f, 0.4f, 0.4f);
    part(b.base + b.height, [&] { gluDisk(scene_, r - b.wall, r, 48, 1); });
    glColor3f(0.2f, 0.1f, 0.1f);
    part(b.base, [&] { gluCylinder(scene_, r, r, b.height, 48, 1); });
    glColor3f(0.3f, 0.3f, 0.4f);
    part(b.base, [&] { gluCylinder(scene_, r - b.wall, r - b.wall, b.height, 48, 1); });
}

void SceneRenderer::DrawRail(int n, double radius, double step, double start) {
    glLineWidth(3);
    Grey(0.7f);
    glBegin(GL_LINES);
    for (int i = 0; i < n; ++i) {
        Vec3 p = PointOnCircle(radius, start + step * i, 2);
        glVertex3f(p.x, p.y, p.z);
        glVertex3f(p.x, p.y + 0.7f, p.z);
    }
    glEnd();
}

void SceneRenderer::DrawBox(const SceneBox& b) {
    static const float normals[6][3] = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
    static const float corners[6][4][3] = {
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
        {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
        {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},
        {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
        {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}};
    static const float tex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glPushMatrix();
    glTranslatef(b.cx, b.cy, b.cz);
    glScalef(b.sx / 2, b.sy / 2, b.sz / 2);
    glBegin(GL_QUADS);
    for (int f = 0; f < 6; ++f) {
        glNormal3fv(normals[f]);
        for (int v = 0; v < 4; ++v) {
            glTexCoord2fv(tex[v]);
            glVertex3fv(corners[f][v]);
        }
    }
    glEnd();
    glPopMatrix();
}

void SceneRenderer::DrawLampPost(double x, double z) {
    Grey(0.5f);
    glPushMatrix();
    glTranslated(x, 0, z);
    glRotatef(-90, 1, 0, 0);
    gluCylinder(scene_, 0.3, 0.3, 4, 21, 1);
    DrawTorusQuads(lampTorusV_, lampTorusN_, 12);
    glPopMatrix();
}

void SceneRenderer::DrawLampCircle(const Circle& c) {
    for (int i = 0; i < c.count; ++i) {
        Vec3 p = PointOnCircle(c.radius, c.start + 180 + i * c.step, 0);
        DrawLampPost(p.x, p.z);
    }
}

void SceneRenderer::DrawPostCircle(const Circle& c) {
    Grey(0.5f);
    for (int i = 0; i < c.count; ++i) {
        Vec3 p = PointOnCircle(c.radius, c.start + i * c.step, 5);
        glPushMatrix();
        glTranslatef(p.x, p.y, p.z);
        glRotatef(-90, 1, 0, 0);
        gluCylinder(scene_, 0.2, 0.2, 1, 4, 1);
        glPopMatrix();
    }
}

void SceneRenderer::DrawTree(double x, double z) {
    glPushMatrix();
    glTranslated(x, 0, z);
    glRotatef(-90, 1, 0, 0);
    glColor3f(0.9f, 0.9f, 0.9f);
    gluCylinder(scene_, 0.1, 0.1, 2, 7, 1);
    glTranslatef(0, 0, 2);
    glColor3f(0.7f, 0.9f, 0.7f);
    DrawSolidCone(1.1, 0.5, 7, 3);
    glPopMatrix();
}

void SceneRenderer::DrawTerrace() {
    auto strip = [](float y) {
        glBegin(GL_QUAD_STRIP);
        glNormal3f(0, 1, 0);
        for (int i = 0; i < 19; ++i) {
            double a = 90 + 10 * i;
            Vec3 in = PointOnCircle(15, a, y), out = PointOnCircle(25, a, y);
            Vertex(in);
            Vertex(out);
        }
        glEnd();
    };
    Grey(0.3f);
    strip(4.01f);
    glColor3f(0.01f, 0.01f, 0.01f);
    strip(5.01f);
}

void SceneRenderer::DrawScenery() {
    int groups = 0, n = 0;
    const BoxGroup* g = SceneryBoxGroups(groups);
    auto boxes = [&](const BoxGroup& grp) {
        Colour(grp.colour);
        glPushMatrix();
        if (grp.rotateY != 0) glRotatef(grp.rotateY, 0, 1, 0);
        for (int i = 0; i < grp.count; ++i) DrawBox(grp.boxes[i]);
        glPopMatrix();
    };
    boxes(g[0]);
    boxes(g[1]);
    const Circle* lamps = LampCircles(n);
    for (int i = 0; i < n; ++i) DrawLampCircle(lamps[i]);
    const Circle* posts = PostCircles(n);
    for (int i = 0; i < n; ++i) DrawPostCircle(posts[i]);
    boxes(g[2]);
    const float(*trees)[2] = TreePositions(n);
    for (int i = 0; i < n; ++i) DrawTree(trees[i][0], trees[i][1]);
    DrawTerrace();
}

void SceneRenderer::DrawMovingHeadBeam(const LiveLevels& l, const BeamChannels& ch) {
    const double range = 30, length = 85, endRadius = 0.9;
    glColor4f(LevelAt(l, ch.rgb) / 255.0f, LevelAt(l, ch.rgb + 1) / 255.0f, LevelAt(l, ch.rgb + 2) / 255.0f, 50 / 255.0f);
    glPushMatrix();
    glTranslatef(0, 2, 0);
    glRotated(range * (LevelAt(l, ch.tilt) / 255.0 - 0.5) - 90, 1, 0, 0);
    glRotated((LevelAt(l, ch.pan) / 255.0 - 0.5) * range, 0, 1, 0);
    gluCylinder(scene_, 0.01, endRadius, length, 32, 1);
    glPopMatrix();
}

void SceneRenderer::DrawPersonA(int kind, double x, double z, double base, double height) {
    glColor3f(0.7f, 0.7f, 1);
    glPushMatrix();
    glTranslated(x, base + height + 0.2, z);
    DrawSolidSphere(0.3, 21, 8);
    glPopMatrix();
    Colour(kPersonAColours[std::clamp(kind, 0, 8)]);
    glPushMatrix();
    glTranslated(x, base, z);
    glRotatef(-90, 1, 0, 0);
    gluCylinder(scene_, 0.3, 0.5, height, 4, 1);
    glPopMatrix();
}

void SceneRenderer::DrawPersonB(int kind, double x, double z, double base, double height) {
    glColor3f(1, 0.7f, 0.7f);
    glPushMatrix();
    glTranslated(x, base + height, z);
    DrawSolidSphere(0.27, 21, 8);
    glPopMatrix();
    Colour(kPersonBColours[std::clamp(kind, 0, 8)]);
    glPushMatrix();
    glTranslated(x, base, z);
    glRotatef(-90, 1, 0, 0);
    DrawSolidCone(0.35, height - 0.1, 21, 3);
    glPopMatrix();
}

void SceneRenderer::DrawSolidSphere(double radius, int slices, int stacks) {
    // The filled, smooth-shaded GLU sphere (same vertices and normals), as one batch of quads
    // instead of a strip per stack.
    if (slices < 2 || stacks < 1) return;
    constexpr double kPi = 3.14159265358979323846;
    auto put = [&](int i, int j) {
        double theta = 2 * kPi * (i == slices ? 0 : i) / slices, phi = kPi * j / stacks;
        double x = std::sin(theta) * std::sin(phi), y = std::cos(theta) * std::sin(phi), z = std::cos(phi);
        glNormal3d(x, y, z);
        glVertex3d(x * radius, y * radius, z * radius);
    };
    // The sphere is closed and, unless the scene is see-through, opaque: its far half never
    // shows, and the rasteriser skips it. Its quads wind clockwise seen from outside, so the far
    // half is what GL calls the front.
    if (cullClosed_) glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glBegin(GL_QUADS);
    for (int j = 0; j < stacks; ++j)
        for (int i = 0; i < slices; ++i) {
            put(i, j);
            put(i, j + 1);
            put(i + 1, j + 1);
            put(i + 1, j);
        }
    glEnd();
    glDisable(GL_CULL_FACE);
}

void SceneRenderer::DrawSolidCone(double base, double height, int slices, int stacks) {
    gluCylinder(shapeQuadric(), base, 0, height, slices, stacks);
}

void SceneRenderer::DrawSolidTorus(double tube, double ring, int sides, int rings) {
    BuildTorusMesh(tube, ring, sides, rings, torusV_, torusN_);
    DrawTorusQuads(torusV_, torusN_, sides);
}

// One batch of independent quads: one draw for the whole torus.
void SceneRenderer::DrawTorusQuads(const std::vector<Vec3>& v, const std::vector<Vec3>& n, int sides) {
    (void)sides;
    // Closed like the sphere and wound the same way: its far half is skipped when opaque.
    if (cullClosed_) glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glBegin(GL_QUADS);
    for (size_t i = 0; i < v.size(); ++i) {
        glNormal3f(n[i].x, n[i].y, n[i].z);
        Vertex(v[i]);
    }
    glEnd();
    glDisable(GL_CULL_FACE);
}

}  // namespace spirelo
