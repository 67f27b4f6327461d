// The print dialog behind one call, so tests can answer it (as FileDialog's answerer does).
#pragma once

#include <QWidget>

#include <functional>

class QPrinter;

namespace spirelo {

class PrintDialog {
public:
    // True when the user confirmed; printer then holds the chosen settings.
    static bool Execute(QPrinter& printer, QWidget* parent = nullptr);

    // Tests answer here: configure the printer and return true to print, false to cancel.
    // nullptr restores the real dialog.
    using Answerer = std::function<bool(QPrinter&)>;
    static void SetAnswerer(Answerer answerer);
};

}  // namespace spirelo
