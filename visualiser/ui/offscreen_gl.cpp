#include "visualiser/ui/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

namespace spirelo {

namespace {
PFNGLGENFRAMEBUFFERSPROC pGenFramebuffers;
PFNGLBINDFRAMEBUFFERPROC pBindFramebuffer;
PFNGLGENRENDERBUFFERSPROC pGenRenderbuffers;
PFNGLBINDRENDERBUFFERPROC pBindRenderbuffer;
PFNGLRENDERBUFFERSTORAGEPROC pRenderbufferStorage;
PFNGLFRAMEBUFFERRENDERBUFFERPROC pFramebufferRenderbuffer;
PFNGLCHECKFRAMEBUFFERSTATUSPROC pCheckFramebufferStatus;
PFNGLDELETEFRAMEBUFFERSPROC pDeleteFramebuffers;
PFNGLDELETERENDERBUFFERSPROC pDeleteRenderbuffers;
PFNGLGENQUERIESPROC pGenQueries;
PFNGLDELETEQUERIESPROC pDeleteQueries;
PFNGLBEGINQUERYPROC pBeginQuery;
PFNGLENDQUERYPROC pEndQuery;
PFNGLGETQUERYOBJECTUIVPROC pGetQueryObjectuiv;

template <typename F>
bool Load(F& f, const char* name) {
    f = reinterpret_cast<F>(eglGetProcAddress(name));
    return f != nullptr;
}

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

EGLDisplay OpenDisplay() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay) {
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
    }
    EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
    return EGL_NO_DISPLAY;
}
}  // namespace

OffscreenGl::~OffscreenGl() { destroy(); }

bool OffscreenGl::create(int width, int height, std::string* error) {
    destroy();
    EGLDisplay dpy = OpenDisplay();
    if (dpy == EGL_NO_DISPLAY) return Fail(error, "no EGL display");
    display_ = dpy;
    if (!eglBindAPI(EGL_OPENGL_API)) return Fail(error, "EGL has no desktop OpenGL");
    const EGLint attrs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                            EGL_BLUE_SIZE, 8, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint n = 0;
    if (!eglChooseConfig(dpy, attrs, &config, 1, &n) || n < 1) return Fail(error, "no EGL config");
    EGLContext ctx = eglCreateContext(dpy, config, EGL_NO_CONTEXT, nullptr);
    if (ctx == EGL_NO_CONTEXT) return Fail(error, "no EGL context");
    context_ = ctx;
    if (!eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, ctx)) {
        // Without surfaceless contexts a small pbuffer stands in; drawing still goes to the FBO.
        EGLint pb[] = {EGL_WIDTH, 16, EGL_HEIGHT, 16, EGL_NONE};
        EGLSurface surf = eglCreatePbufferSurface(dpy, config, pb);
        if (surf == EGL_NO_SURFACE || !eglMakeCurrent(dpy, surf, surf, ctx)) return Fail(error, "cannot make the EGL context current");
        surface_ = surf;
    }
    if (!Load(pGenFramebuffers, "glGenFramebuffers") || !Load(pBindFramebuffer, "glBindFramebuffer") ||
        !Load(pGenRenderbuffers, "glGenRenderbuffers") || !Load(pBindRenderbuffer, "glBindRenderbuffer") ||
        !Load(pRenderbufferStorage, "glRenderbufferStorage") ||
        !Load(pFramebufferRenderbuffer, "glFramebufferRenderbuffer") ||
        !Load(pCheckFramebufferStatus, "glCheckFramebufferStatus") ||
        !Load(pDeleteFramebuffers, "glDeleteFramebuffers") || !Load(pDeleteRenderbuffers, "glDeleteRenderbuffers"))
        return Fail(error, "no framebuffer objects");
    // Occlusion queries are optional: only the fill measurement uses them.
    if (!Load(pGenQueries, "glGenQueries") || !Load(pDeleteQueries, "glDeleteQueries") || !Load(pBeginQuery, "glBeginQuery") ||
        !Load(pEndQuery, "glEndQuery") || !Load(pGetQueryObjectuiv, "glGetQueryObjectuiv"))
        pGenQueries = nullptr;
    width_ = width;
    height_ = height;
    pGenFramebuffers(1, &fbo_);
    pBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    pGenRenderbuffers(1, &colour_);
    pBindRenderbuffer(GL_RENDERBUFFER, colour_);
    pRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    pFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    pGenRenderbuffers(1, &depth_);
    pBindRenderbuffer(GL_RENDERBUFFER, depth_);
    pRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    pFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    if (pCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return Fail(error, "incomplete framebuffer");
    glViewport(0, 0, width, height);
    return true;
}

void OffscreenGl::destroy() {
    if (!display_) return;
    auto dpy = static_cast<EGLDisplay>(display_);
    if (context_) {
        if (query_ && pDeleteQueries) pDeleteQueries(1, &query_);
        if (fbo_ && pDeleteFramebuffers) {
            pDeleteFramebuffers(1, &fbo_);
            pDeleteRenderbuffers(1, &colour_);
            pDeleteRenderbuffers(1, &depth_);
        }
        eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(dpy, static_cast<EGLContext>(context_));
    }
    if (surface_) eglDestroySurface(dpy, static_cast<EGLSurface>(surface_));
    fbo_ = colour_ = depth_ = query_ = 0;
    context_ = surface_ = nullptr;
    display_ = nullptr;   // the display stays initialised for the next context
}

bool OffscreenGl::makeCurrent() {
    if (!context_) return false;
    auto dpy = static_cast<EGLDisplay>(display_);
    auto surf = surface_ ? static_cast<EGLSurface>(surface_) : EGL_NO_SURFACE;
    if (!eglMakeCurrent(dpy, surf, surf, static_cast<EGLContext>(context_))) return false;
    pBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    return true;
}

void OffscreenGl::clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void OffscreenGl::finish() { glFinish(); }

void OffscreenGl::beginFragmentCount() {
    if (!pGenQueries) return;
    if (!query_) pGenQueries(1, &query_);
    pBeginQuery(GL_SAMPLES_PASSED, query_);
}

long long OffscreenGl::endFragmentCount() {
    if (!pGenQueries || !query_) return 0;
    pEndQuery(GL_SAMPLES_PASSED);
    GLuint n = 0;
    pGetQueryObjectuiv(query_, GL_QUERY_RESULT, &n);
    return n;
}

void OffscreenGl::fillPixels(long long n) {
    glPushAttrib(GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width_, 0, height_, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(0.5f, 0.5f, 0.5f);
    const long long screen = (long long)width_ * height_;
    glBegin(GL_QUADS);
    for (long long left = n; left > 0; left -= screen) {
        long long part = left < screen ? left : screen;
        float rows = float(part / width_), extra = float(part % width_);
        glVertex2f(0, 0);
        glVertex2f(float(width_), 0);
        glVertex2f(float(width_), rows);
        glVertex2f(0, rows);
        if (extra > 0) {   // the remainder as part of the next row
            glVertex2f(0, rows);
            glVertex2f(extra, rows);
            glVertex2f(extra, rows + 1);
            glVertex2f(0, rows + 1);
        }
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

std::vector<uint8_t> OffscreenGl::readPixels() const {
    std::vector<uint8_t> px(size_t(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
}

std::string OffscreenGl::renderer() const {
    const GLubyte* r = glGetString(GL_RENDERER);
    return r ? reinterpret_cast<const char*>(r) : "";
}

}  // namespace spirelo
