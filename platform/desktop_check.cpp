#include "platform/desktop_check.h"

#include <string_view>

namespace spirelo {

std::string RequestedPlatform(int argc, char** argv, const char* environmentValue) {
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view a = argv[i] ? argv[i] : "";
        if ((a == "-platform" || a == "--platform") && argv[i + 1]) return argv[i + 1];
    }
    return environmentValue ? environmentValue : "";
}

bool PlatformNeedsDesktop(const std::string& platform) {
    std::string_view rest = platform;
    while (!rest.empty()) {
        const size_t semi = rest.find(';');
        std::string_view entry = rest.substr(0, semi);
        rest = semi == std::string_view::npos ? std::string_view{} : rest.substr(semi + 1);
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (name.empty()) continue;
        if (name != "xcb" && !name.starts_with("wayland")) return false;
    }
    return true;
}

std::string NoDesktopLine(const std::string& name, const std::string& command) {
    return name + " needs a graphical desktop and found no display (DISPLAY or WAYLAND_DISPLAY); "
                  "to run it on a virtual one: xvfb-run -a " + command;
}

std::string StartedAs(int argc, char** argv, const std::string& fallback) {
    if (argc > 0 && argv[0] && *argv[0]) return argv[0];
    return fallback;
}

}  // namespace spirelo
