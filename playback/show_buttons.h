// The show button panel: twelve buttons that start the first twelve shows of the play list.
#pragma once

#include <string>

namespace spirelo {

inline constexpr int kShowButtons = 12;

struct ButtonRect {
    int x, y, w, h;
};
struct ShowButtonGeometry {
    ButtonRect shape, picture;
    int numberX, numberY, nameX, nameY;   // label corners
};
// Button i (0..11, left to right, top to bottom) on a screen of w x h pixels.
ShowButtonGeometry ShowButtonAt(int screenW, int screenH, int i);

// A show's short name: the file name without folder ("\", ":" or "/") and extension, less
// its first four characters.
std::string OnlyMinName(const std::string& path);

// A press starts a show only when the list holds one at that index.
inline bool ShowButtonPressable(int index, int count) { return index >= 0 && index < count; }

// The picture file of button i: "00.bmp" .. "11.bmp".
std::string ShowButtonPictureName(int i);

}  // namespace spirelo
