// Whether a program can expect a display before it makes its windows, and what it says when not.
#pragma once

#include <string>

namespace spirelo {

// The window platform asked for: the -platform argument, else QT_QPA_PLATFORM ("" for the default).
std::string RequestedPlatform(int argc, char** argv, const char* environmentValue);

// True when the platform (a ';' list, each name maybe followed by ":options") can only run on a
// desktop: the default, xcb or wayland. Explicit others (offscreen, minimal, vnc ...) run anywhere.
bool PlatformNeedsDesktop(const std::string& platform);

// The one line a program prints when it finds no desktop; command is how it was started.
std::string NoDesktopLine(const std::string& name, const std::string& command);

// The name the program was started by, for the line's example command.
std::string StartedAs(int argc, char** argv, const std::string& fallback);

}  // namespace spirelo
