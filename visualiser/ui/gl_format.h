// The GL surface every view of the program uses: a compatibility profile (the drawing is fixed
// function), double buffered, with depth. Must run before the QApplication is created.
#pragma once

namespace spirelo {
void RequestCompatibilityProfile();
}
