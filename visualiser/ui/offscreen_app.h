// A Qt application on the offscreen platform, for programs that drive windows without showing
// them (the benchmarks).
#pragma once

#include <memory>

class QApplication;

namespace spirelo {

class OffscreenApplication {
public:
    OffscreenApplication(int& argc, char** argv);
    ~OffscreenApplication();

private:
    std::unique_ptr<QApplication> app_;
};

}  // namespace spirelo
