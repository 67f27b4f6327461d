#include "playback/show_buttons.h"

#include "core/text_routines.h"

#include <cstdint>

namespace spirelo {

ShowButtonGeometry ShowButtonAt(int screenW, int screenH, int i) {
    const int cw = screenW / 4, ch = screenH / 3;
    const int bw = cw * 7 / 10, bh = ch * 7 / 10;
    const int row = i / 4, column = i % 4;
    ShowButtonGeometry g;
    g.shape = {column * cw + 10, row * ch + 10, bw, bh};
    g.picture = {g.shape.x + 5, g.shape.y + 15, bw - 10, bh - 35};
    g.numberX = g.shape.x + 17;
    g.numberY = g.shape.y + 5;
    g.nameX = g.shape.x + 35;
    g.nameY = g.shape.y + 9;
    return g;
}

std::string OnlyMinName(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\:/") == std::string::npos ? 0 : path.find_last_of("\\:/") + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    // Four characters, not bytes: a UTF-8 name may start with letters of two bytes.
    size_t pos = 0;
    for (int n = 0; n < 4 && pos < name.size(); ++n) {
        ++pos;
        while (pos < name.size() && (uint8_t(name[pos]) & 0xC0) == 0x80) ++pos;
    }
    return name.substr(pos);
}

std::string ShowButtonPictureName(int i) { return IntToStr2(i) + ".bmp"; }

}  // namespace spirelo
