// Window tests share one long-lived QApplication on the offscreen platform.
#include "common/ui/window_placement.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen screen is 800 x 600; the windows are laid out for 1280 x 1024.
    spirelo::OverrideAvailableGeometry(QRect(0, 0, 1280, 1024));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
