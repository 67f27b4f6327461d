// Window tests share one long-lived QApplication on the offscreen platform.
#include "common/ui/window_placement.h"

#include <QApplication>

#include <gtest/gtest.h>

#include "tests/scratch_folder.h"

int main(int argc, char** argv) {
    // Without a runtime folder Qt makes one of its own under TMPDIR that outlives the run, and
    // the guard file would go beside the program: this process has one, removed at its end.
    const spirelo::test::ScratchFolder runtime("spirelo-runtime");
    if (runtime.made()) qputenv("XDG_RUNTIME_DIR", runtime.path().c_str());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen screen is 800 x 600; the windows are laid out for 1280 x 1024.
    spirelo::OverrideAvailableGeometry(QRect(0, 0, 1280, 1024));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
