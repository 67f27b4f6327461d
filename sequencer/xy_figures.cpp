#include "sequencer/xy_figures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace spirelo {
namespace {

// A value whole in exact arithmetic stays whole despite the rounding of sin and cos.
int Ceil(double v) { return static_cast<int>(std::ceil(v - 1e-9)); }
int Byte(int v) { return v & 0xFF; }
double Rad(double deg) { return deg * std::numbers::pi / 180.0; }

int FirstStep(const XYParams& p) { return std::max(p.F - 1, 0); }
int LastStep(const XYParams& p) { return std::min(p.T - 1, kSequencerSteps - 1); }
int Channel(const XYParams& p) { return std::clamp(p.X, 0, kChannels - 2); }

void WritePoint(ShowData& d, const XYParams& p, int step, XYPoint pt) {
    WritePoint(d, p, step, pt.x, pt.y);
}

void Line(ShowData& d, const XYParams& p, int n) {
    const int u = Byte(p.S / (n + 1));
    const int dd = Byte(2 * u);
    int P = (256 - p.S) / 2 + p.W, Qv = P;
    const int mid = p.F + n / 2;
    for (int s = p.F - 1; s <= p.T - 1; ++s) {
        if (s < mid) {
            WritePoint(d, p, s, P - p.W, Qv + p.W);
            P += dd, Qv += dd;
        } else if (s == mid) {
            P = P - dd + 2 * p.W, Qv = Qv - dd - 2 * p.W;
            WritePoint(d, p, s, P - p.W, Qv + p.W);
        } else {
            P -= dd, Qv -= dd;
            WritePoint(d, p, s, P - p.W, Qv + p.W);
        }
    }
}

void Triangle(ShowData& d, const XYParams& p, int n) {
    const int u = p.S / (n + 1);
    const int k = n > 3 ? n / 3 + 1 : 1;
    const int dd = Byte(3 * u), h = dd / 2;
    int x = 127 - k * h, y = (256 - k * dd) / 2;
    const int f = p.F - 1;
    for (int s = f; s <= f + k; ++s) WritePoint(d, p, s, x, y), x += h, y += dd;
    y -= dd, x -= h;
    for (int s = f + k; s <= f + 2 * k; ++s) WritePoint(d, p, s, x, y), x += h, y -= dd;
    y += dd, x -= h;
    for (int s = f + 2 * k; s <= p.T - 1; ++s) WritePoint(d, p, s, x, y), x = x - dd - p.W;
}

int SideSteps(int n) { return n < 5 ? 1 : (n < 9 ? 2 : n / 4 + 1); }

void Rect(ShowData& d, const XYParams& p, int n) {
    const int dd = Byte(4 * (p.S / (n + 1)));
    const int k = SideSteps(n);
    int x = (256 - k * dd) / 2, y = x;
    const int f = p.F - 1;
    for (int s = f; s <= f + k; ++s) WritePoint(d, p, s, x, y), y += dd;
    y -= dd;
    for (int s = f + k; s <= f + 2 * k; ++s) WritePoint(d, p, s, x, y), x += dd;
    x -= dd;
    for (int s = f + 2 * k; s <= f + 3 * k; ++s) WritePoint(d, p, s, x, y), y -= dd;
    y += dd;
    for (int s = f + 3 * k; s <= p.T - 1; ++s) WritePoint(d, p, s, x, y), x = x - dd - p.W;
}

void Cross(ShowData& d, const XYParams& p, int n) {
    const int dd = Byte(4 * (p.S / (n + 1)));
    const int k = SideSteps(n);
    int x = (256 - k * dd) / 2, y = x;
    const int f = p.F - 1;
    for (int s = f; s <= f + k; ++s) WritePoint(d, p, s, x, y), y += dd;
    y -= dd;
    for (int s = f + k; s <= f + 2 * k; ++s) WritePoint(d, p, s, x, y), x += dd, y -= dd;
    x -= dd, y += dd;
    for (int s = f + 2 * k; s <= f + 3 * k; ++s) WritePoint(d, p, s, x, y), y += dd;
    y -= dd;
    for (int s = f + 3 * k; s <= p.T - 1; ++s)
        WritePoint(d, p, s, x, y), x = x - dd - p.W, y = y - dd - p.W;
}

void Snake(ShowData& d, const XYParams& p, int n) {
    const int dx = Byte((p.S / n) * (p.W + 1));
    const int dy = 256 / (p.W + 1);
    int x = (256 - p.S) / 2, y = 128 / (p.W + 1);
    bool right = true;
    for (int s = p.F - 1; s <= p.T - 1; ++s) {
        WritePoint(d, p, s, x, y);
        if (right) {
            x += dx;
            if (x > 255) x -= dx, right = false, y += dy;
        } else {
            x -= dx;
            if (x < 0) x += dx, right = true, y += dy;
        }
    }
}

void Circle(ShowData& d, const XYParams& p, int n) {
    const int dA = (p.W * 50) / n;
    int A = 0;
    for (int s = p.F - 1; s <= p.T - 1; ++s, A += dA) WritePoint(d, p, s, Sinus(A, p.S));
}

void Eight(ShowData& d, const XYParams& p, int n) {
    const int h = p.S / 2, q = h / 2;
    const int dA = (p.W * 100) / n;
    const int m = Byte(n / 2);
    const int f = p.F - 1;
    int A = 180;
    for (int s = f; s <= f + m; ++s, A += dA) {
        const XYPoint pt = Sinus(A, h);
        WritePoint(d, p, s, pt.x, Byte(q + pt.y));
    }
    A = 0;
    for (int s = f + m; s <= p.T - 1; ++s, A += dA) {
        const XYPoint pt = Sinus(A, h);
        WritePoint(d, p, s, pt.x, Byte(pt.y - q));
    }
}

void FourLeaf(ShowData& d, const XYParams& p, int n) {
    const int h = p.S / 2, q = Byte(h / 2);
    const int dA = (p.W * 150) / n;
    const int m = n / 4;
    const int f = p.F - 1;
    struct Arc { int from, to, start, sx, sy; };   // sx, sy: the sign of q added to x and y
    const Arc arcs[] = {{f, f + m, 90, -1, 1},
                        {f + m, f + 2 * m, 180, 1, 1},
                        {f + 2 * m, f + 3 * m, 270, 1, -1},
                        {f + 3 * m, p.T - 1, 0, -1, -1}};
    for (const Arc& a : arcs) {
        int A = a.start;
        for (int s = a.from; s <= a.to; ++s, A -= dA) {
            const XYPoint pt = Sinus(A, h);
            WritePoint(d, p, s, Byte(pt.x + a.sx * q), Byte(pt.y + a.sy * q));
        }
    }
}

void Spiral(ShowData& d, const XYParams& p, int n) {
    const int dA = (p.W * 250) / n;
    const int dR = Byte(p.S / n);
    int A = 0, R = p.S;
    for (int s = p.F - 1; s <= p.T - 1; ++s) {
        WritePoint(d, p, s, Sinus(A, R));
        A += dA;
        R = Byte(R - dR);
    }
}

double Unit(int v) { return v < 128 ? (v - 128) / 128.0 : (v - 127) / 128.0; }

}  // namespace

XYPoint Sinus(int A, int R) {
    const int a = Ceil(R * std::sin(Rad(A)) / 2);
    const int b = Ceil(R * std::cos(Rad(A)) / 2);
    auto toByte = [](int v) { return v >= 0 ? 127 + v : 128 + v; };
    return {toByte(a), toByte(b)};
}

XYPoint ReadPoint(const ShowData& d, const XYParams& p, int step) {
    const int s = std::clamp(step, 0, kSequencerSteps - 1);
    const uint8_t* lv = d.SequencerStepData[ClampSequencer(p.Q)][s];
    return {lv[Channel(p)], lv[Channel(p) + 1]};
}

void WritePoint(ShowData& d, const XYParams& p, int step, int x, int y) {
    if (step < FirstStep(p) || step > LastStep(p)) return;
    uint8_t* lv = d.SequencerStepData[ClampSequencer(p.Q)][step];
    lv[Channel(p)] = static_cast<uint8_t>(std::clamp(x, 0, 255));
    lv[Channel(p) + 1] = static_cast<uint8_t>(std::clamp(y, 0, 255));
}

bool MakeFigure(ShowData& d, const XYParams& p, XYFigure figure) {
    const int n = p.T - p.F;
    if (n < 0) return false;
    switch (figure) {
    case XYFigure::Line: Line(d, p, n); return true;
    case XYFigure::Triangle: Triangle(d, p, n); return true;
    case XYFigure::Rect: Rect(d, p, n); return true;
    case XYFigure::Cross: Cross(d, p, n); return true;
    default: break;
    }
    if (n == 0) return false;
    switch (figure) {
    case XYFigure::Snake: Snake(d, p, n); break;
    case XYFigure::Circle: Circle(d, p, n); break;
    case XYFigure::Eight: Eight(d, p, n); break;
    case XYFigure::FourLeaf: FourLeaf(d, p, n); break;
    case XYFigure::Spiral: Spiral(d, p, n); break;
    default: break;
    }
    return true;
}

void RotateFigure(ShowData& d, const XYParams& p) {
    for (int s = FirstStep(p); s <= LastStep(p); ++s) {
        const XYPoint pt = ReadPoint(d, p, s);
        const double fx = Unit(pt.x), fy = Unit(pt.y);
        const double r = std::min(std::sqrt(fx * fx + fy * fy), 1.0);
        const double sn = std::clamp(fx / r, -1.0, 1.0);
        const double theta = fy > 0 ? std::asin(sn) * 180 / std::numbers::pi
                                    : 180 + std::asin(-sn) * 180 / std::numbers::pi;
        WritePoint(d, p, s, Sinus(Ceil(p.D + theta), Ceil(255 * r)));
    }
}

void ApplyPointOperation(ShowData& d, const XYParams& p, int code) {
    auto smaller = [](int v) {
        if (v >= 1 && v <= 127) ++v;
        if (v >= 128 && v <= 254) --v;
        return v;
    };
    auto larger = [](int v) {
        if (v >= 1 && v <= 127) --v;
        if (v >= 128 && v <= 254) ++v;
        return v;
    };
    for (int s = FirstStep(p); s <= LastStep(p); ++s) {
        XYPoint pt = ReadPoint(d, p, s);
        switch (code) {
        case 1: if (pt.x != 255) ++pt.x; break;
        case 2: if (pt.x != 0) --pt.x; break;
        case 3: if (pt.y != 255) ++pt.y; break;
        case 4: if (pt.y != 0) --pt.y; break;
        case 5: pt.x = 255 - pt.x; break;
        case 6: pt.y = 255 - pt.y; break;
        case 7: pt.x = smaller(pt.x), pt.y = smaller(pt.y); break;
        case 8: pt.x = larger(pt.x), pt.y = larger(pt.y); break;
        default: return;
        }
        WritePoint(d, p, s, pt);
    }
}

void CopyPairs(ShowData& d, const XYParams& p, const std::array<int, 3>& targets,
               const std::array<bool, 3>& enabled) {
    for (int s = FirstStep(p); s <= LastStep(p); ++s) {
        const XYPoint pt = ReadPoint(d, p, s);
        for (int i = 0; i < 3; ++i) {
            if (!enabled[i]) continue;
            XYParams t = p;
            t.X = targets[i];
            WritePoint(d, t, s, pt);
        }
    }
}

std::string RotationText(int D) {
    return D < 180 ? "Вправо " + std::to_string(D) : "Влево " + std::to_string(360 - D);
}
std::string FigureText(int S, int W) {
    return " Размер фигуры " + std::to_string(S) + "       Опция " + std::to_string(W);
}
std::string ChannelLabelText(int channelIndex) { return "Ch" + std::to_string(channelIndex + 1) + "  "; }

}  // namespace spirelo
