// Makes the program's QApplication, or ends the program with one line and status 1 when there
// is no desktop to show its windows on (instead of Qt's abort); when a display was named, Qt's
// own reason follows that line.
#pragma once

#include <QApplication>

#include <memory>

namespace spirelo {

std::unique_ptr<QApplication> StartOnDesktop(int& argc, char** argv, const char* name);

}  // namespace spirelo
