// GL tests: one QApplication on the X display (Xvfb under ctest), never offscreen for a shown
// QOpenGLWidget, which crashes there. The default surface asks for a compatibility profile
// before the application exists, as the program does. Without a display (listing the tests
// at build time) the application runs offscreen and the window tests skip themselves.
#include "visualiser/ui/gl_format.h"

#include <QApplication>

#include <gtest/gtest.h>

#include "tests/scratch_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#define SPIRELO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SPIRELO_ASAN 1
#endif
#endif

#ifdef SPIRELO_ASAN
// Mesa unloads its driver before LeakSanitizer looks at what is left, and a leak's stack in an
// unloaded library names no module to suppress. Libraries stay loaded in sanitized test runs,
// so the driver's own leaks carry its name (tests/lsan-suppressions.txt lets them pass).
extern "C" int dlclose(void*) { return 0; }
#endif

int main(int argc, char** argv) {
    // Without a runtime folder Qt makes one of its own under TMPDIR that outlives the run, and
    // the guard file would go beside the program: this process has one, removed at its end.
    const spirelo::test::ScratchFolder runtime("spirelo-runtime");
    if (runtime.made()) qputenv("XDG_RUNTIME_DIR", runtime.path().c_str());
    ::testing::InitGoogleTest(&argc, argv);
    bool haveDisplay = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (haveDisplay) qputenv("QT_QPA_PLATFORM", "xcb");
    else qputenv("QT_QPA_PLATFORM", "offscreen");
    spirelo::RequestCompatibilityProfile();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
