// The documents' control sizes were made for other font metrics. A control too narrow for its
// text is widened to its size hint, its left and top kept; where that would run into a
// neighbour or past its parent's edge, it takes the application font one point smaller (and
// as much of the width as is free).
#pragma once

class QWidget;

namespace spirelo {

// Fits every label, check box, radio button and button of the window (call after its controls
// have their documented places).
void FitTexts(QWidget* window);

}  // namespace spirelo
