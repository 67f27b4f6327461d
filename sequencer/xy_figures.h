// Two-axis figures for devices that take a position on two DMX channels: the X value goes to
// level X and the Y value to level X + 1 of each step F - 1 .. T - 1 of sequencer Q. Writes
// never leave that step range.
#pragma once

#include "core/show_data.h"

#include <array>
#include <cstdint>
#include <string>

namespace spirelo {

struct XYPoint { int x = 0, y = 0; };

struct XYParams {
    int Q = 0;     // sequencer
    int X = 0;     // level index of X (0..510); Y is X + 1
    int F = 1;     // first scene (step F - 1)
    int T = 32;    // last scene (step T - 1)
    int S = 200;   // figure size
    int W = 7;     // figure option
    int D = 45;    // rotation angle in degrees
};

// The pad point of angle A degrees (0 up, clockwise) and size R.
XYPoint Sinus(int A, int R);

enum class XYFigure { Line, Triangle, Rect, Cross, Snake, Circle, Eight, FourLeaf, Spiral };
inline constexpr const char* kFigureRefused =
    "Фигура не построена: последняя сцена равна первой";
// False, with nothing written, when the figure needs two scenes or more and has one.
bool MakeFigure(ShowData& d, const XYParams& p, XYFigure figure);

void RotateFigure(ShowData& d, const XYParams& p);

// 1 right, 2 left, 3 up, 4 down, 5 and 6 the mirrors, 7 smaller, 8 larger; others do nothing.
void ApplyPointOperation(ShowData& d, const XYParams& p, int code);
// Codes a held button repeats.
inline constexpr bool IsRepeatingOperation(int code) {
    return (code >= 1 && code <= 4) || code == 7 || code == 8;
}

// The pair X, X + 1 of each step copied into each target pair whose flag is set.
void CopyPairs(ShowData& d, const XYParams& p, const std::array<int, 3>& targets,
               const std::array<bool, 3>& enabled);

XYPoint ReadPoint(const ShowData& d, const XYParams& p, int step);
// Bounded to 0..255; nothing outside the range.
void WritePoint(ShowData& d, const XYParams& p, int step, int x, int y);

// The label texts.
std::string RotationText(int D);                    // "Вправо D" / "Влево 360-D"
std::string FigureText(int S, int W);               // " Размер фигуры S       Опция W"
std::string ChannelLabelText(int channelIndex);     // "Ch" + (index + 1) + "  "

}  // namespace spirelo
