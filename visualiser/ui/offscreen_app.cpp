#include "visualiser/ui/offscreen_app.h"

#include <QApplication>

namespace spirelo {

OffscreenApplication::OffscreenApplication(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc, argv);
}

OffscreenApplication::~OffscreenApplication() = default;

}  // namespace spirelo
