// GL tests: one QApplication on the X display (Xvfb under ctest), never offscreen for a shown
// QOpenGLWidget, which crashes there. The default surface asks for a compatibility profile
// before the application exists, as the program does. Without a display (listing the tests
// at build time) the application runs offscreen and the window tests skip themselves.
#include "visualiser/ui/gl_format.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    bool haveDisplay = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (haveDisplay) qputenv("QT_QPA_PLATFORM", "xcb");
    else qputenv("QT_QPA_PLATFORM", "offscreen");
    spirelo::RequestCompatibilityProfile();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
