// Draws one frame of the fountain into whatever GL context is current: fixed-function GL 1.1
// with GLU quadrics, immediate mode. The window's view and the offscreen tests and benchmarks
// share it.
#pragma once

#include "visualiser/scene_geometry.h"
#include "visualiser/visualiser_state.h"

#include <vector>

struct GLUquadric;

namespace spirelo {

class SceneRenderer {
public:
    SceneRenderer();
    ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // The start state of the context; safe to run again on a new context.
    void InitGLState(int width, int height);
    // Viewport and perspective projection of the client area.
    void Resize(int width, int height);
    // Frame steps from the clear to the people (the caller swaps).
    void DrawFrame(const VisualiserState& s, const FrameLayers& layers);
    // Frees the quadrics; the context they were made in must be current.
    void Release();

    // Jet j joins this frame's batches (one per line width); FlushWaterStreams draws them.
    // Within the jets' pass depth testing is on and blending off, so the batches give the
    // picture that one draw per jet would.
    void DrawWaterStream(const VisualiserState& s, const FrameLayers& layers, int j);
    void FlushWaterStreams();
    void DrawAxes();
    void DrawGrid();
    void DrawPipes();
    void DrawCollectorRings(const CollectorTable& t);
    void DrawBowl(const Bowl& b, bool water);
    void DrawRail(int n, double radius, double step, double start);
    void DrawBox(const SceneBox& b);
    void DrawLampCircle(const Circle& c);
    void DrawLampPost(double x, double z);
    void DrawPostCircle(const Circle& c);
    void DrawTree(double x, double z);
    void DrawTerrace();
    void DrawScenery();
    void DrawMovingHeadBeam(const LiveLevels& l, const BeamChannels& ch);
    void DrawPersonA(int kind, double x, double z, double base, double height);
    void DrawPersonB(int kind, double x, double z, double base, double height);
    void DrawSolidSphere(double radius, int slices, int stacks);
    void DrawSolidCone(double base, double height, int slices, int stacks);
    void DrawSolidTorus(double tube, double ring, int sides, int rings);

private:
    // The fixed parts of the scene are compiled once per style into display lists.
    struct CachedList {
        unsigned id = 0;
        int key = -1;
    };
    template <typename Draw>
    void callCached(CachedList& list, int key, Draw&& draw);
    void forgetLists();
    CachedList sceneryList_, cupList_, pipesList_, peopleList_;
    std::vector<uint8_t> peopleDrawn_;
    bool cullClosed_ = true;   // spheres and tori drawn without their far halves

    GLUquadric* shapeQuadric();
    void DrawTorusQuads(const std::vector<Vec3>& v, const std::vector<Vec3>& n, int sides);
    GLUquadric* scene_ = nullptr;   // SceneQuadric: lines or fill, as the wire button says
    GLUquadric* shape_ = nullptr;   // always filled with smooth normals
    FastRandom rnd_;
    struct ColouredVertex {
        float r, g, b, x, y, z;
    };
    static constexpr int kWidths = 22;   // line widths 1..21
    // Strips of one width share a vertex array; each jet is one strip (first vertex, count).
    std::vector<ColouredVertex> jetLines_[kWidths], jetPoints_[kWidths];
    std::vector<std::pair<int, int>> jetStrips_[kWidths];
    // This frame's jet lines as quads in window coordinates (see FlushWaterStreams).
    struct ScreenVertex {
        float x, y, z;
        uint8_t r, g, b, a;
    };
    struct Clip {
        float x, y, z, w;
    };
    struct ScreenPoint {
        float x, y, depth;
    };
    struct ScreenMapping;
    void putLineQuad(const ScreenMapping& sm, Clip a, Clip b, float half, const uint8_t* rgb);
    void putLineStrip(const ScreenPoint* p, int n, float half, const uint8_t* rgb);
    struct DiscVertex {
        float x, y, z;
        uint8_t r, g, b, a;
        float s, t;
    };
    unsigned discTexture();
    unsigned discTexture_ = 0;
    std::vector<ScreenVertex> jetQuads_, jetStripInside_, jetStripEdge_;
    float viewX0_ = 0, viewX1_ = 0, viewY0_ = 0, viewY1_ = 0;
    static constexpr size_t kEdgeDraw = 64;
    std::vector<size_t> jetEdgeDraws_{0};   // where each draw of the outer strips starts
    std::vector<DiscVertex> jetDiscs_, jetDiscsEdge_;
    std::vector<Clip> clips_;
    std::vector<ScreenPoint> screen_;
    std::vector<int> kept_;
    std::vector<Vec3> nozzleQuads_;
    std::vector<int> nozzleJets_;
    const JetTable* batchJets_ = nullptr;
    std::vector<Vec3> line_, spray_, torusV_, torusN_;
    std::vector<Vec3> lampTorusV_, lampTorusN_;
};

}  // namespace spirelo
