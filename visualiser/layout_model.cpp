#include "visualiser/layout_model.h"

#include "common/text_codec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace spirelo {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

template <typename T, size_t N>
void Fill(T (&a)[N], T v) { std::fill(a, a + N, v); }

// Start of one expansion: false when the collector adds nothing. Sets jets 1.. base fields.
bool BeginExpansion(const CollectorTable& t, int c, JetTable& jets) {
    if (t.Kolvo[c] == 0) return false;
    if (jets.JetCount == 0) jets.JetCount = 1;
    SpreadSpotAddresses(t, c, jets);
    return true;
}

// How many of the collector's jets still fit in the table.
int JetsThatFit(const CollectorTable& t, int c, const JetTable& jets) {
    int room = kMaxJets + 1 - jets.JetCount;
    return std::clamp<int>(t.Kolvo[c], 0, std::max(room, 0));
}

void FillCommon(const CollectorTable& t, int c, JetTable& jets, int j) {
    jets.Kind[j] = t.Kind[c];
    jets.Y[j] = t.Y[c];
    jets.Nozzle[j] = t.Nozzle[c];
    jets.Segments[j] = t.LengJet[c];
    jets.SkewDmx[j] = t.SkewDmx[c];
    jets.PumpDmx[j] = t.PumpDmx[c];
}

void EndExpansion(const CollectorTable& t, int c, JetTable& jets) {
    jets.JetCount = std::min(jets.JetCount + t.Kolvo[c], kMaxJets + 1);
}

// Consecutive valve channels from the collector's first valve; none when it has no valve.
struct ValveCounter {
    int valve;
    bool counting;
    ValveCounter(const CollectorTable& t, int c) : valve(t.ValveDmx[c]), counting(t.ValveDmx[c] != 0) {}
    uint16_t next() {
        uint16_t v = static_cast<uint16_t>(valve);
        if (counting) ++valve;
        return v;
    }
};

// Line and house share their positions: Size/2 down to -Size/2 along RotatAll.
void PlaceAlongLine(const CollectorTable& t, int c, JetTable& jets, int count) {
    int n = t.Kolvo[c];
    double theta = t.RotatAll[c] * kDegToRad;
    double s = n > 1 ? t.Size[c] / double(n - 1) : 0.0;
    double d = t.Size[c] / 2.0 + s;
    for (int k = 0; k < count; ++k) {
        int j = jets.JetCount + k;
        d -= s;
        jets.X[j] = float(t.X[c] + d * std::cos(theta));
        jets.Z[j] = float(t.Z[c] + d * std::sin(theta));
        jets.Rotation[j] = t.RotatAll[c] + t.RotatJet[c];
    }
}

}  // namespace

void ResetCollectorTable(CollectorTable& t) {
    t = CollectorTable{};
    Fill(t.TourViewerX, -0.0942f);
    Fill(t.TourViewerY, -5.0556f);
    Fill(t.LengJet, uint8_t(100));
    Fill(t.Proporcia, uint8_t(90));
    Fill(t.Max, uint8_t(255));
    Fill(t.TourZoom, uint8_t(27));
    Fill(t.TourRotX, uint16_t(4));
    Fill(t.TourRotY, uint16_t(357));
    Fill(t.TourRotZ, uint16_t(0));
    for (int i = 0; i < kCollectorSlots; ++i) {
        t.Name[i][0] = kNameChars;
        std::memset(&t.Name[i][1], ' ', kNameChars);
    }
    std::memset(t.Text1, ' ', sizeof t.Text1);
    std::memset(t.Text2, ' ', sizeof t.Text2);
    Fill(t.Enabled, uint8_t(1));
}

void ResetJetTable(JetTable& t) {
    t = JetTable{};
    Fill(t.Height, 10.0f);
    Fill(t.Segments, uint8_t(100));
    t.JetCount = 0;
}

void FillParabolaTable(ParabolaTable& p) {
    for (int k = 0; k < kParabolaPoints; ++k) {
        double d = k - 50;
        p.P[k] = k <= 100 ? float((50.0 - d * d / 50.0) / 500.0) : 0.0f;
    }
}

std::string CollectorName(const CollectorTable& t, int slot) {
    if (slot < 0 || slot >= kCollectorSlots) return {};
    int len = std::min<int>(t.Name[slot][0], kNameChars);
    return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(&t.Name[slot][1]), len));
}

void SetCollectorName(CollectorTable& t, int slot, const std::string& utf8) {
    if (slot < 0 || slot >= kCollectorSlots) return;
    t.Name[slot][0] = kNameChars;
    Utf8ToPaddedField(utf8, &t.Name[slot][1], kNameChars);
}

void SpreadSpotAddresses(const CollectorTable& t, int c, JetTable& jets) {
    int addr = t.SpotDmx[c];
    int g = t.SpotGroups[c];
    int n = t.Kolvo[c];
    if (g > n) g = n;
    if (g == n) g = 256;
    int per = g > 1 ? n / g : 0;
    per = std::clamp(per, 0, 100);
    int counter = per;
    int count = JetsThatFit(t, c, jets);
    for (int k = 0; k < count; ++k) {
        int j = jets.JetCount + k;
        if (g == 0) {
            jets.SpotDmx[j] = 0;
        } else if (g == 1) {
            jets.SpotDmx[j] = uint16_t(addr);
        } else if (g < 256) {
            jets.SpotDmx[j] = uint16_t(addr);
            if (--counter == 0) {
                addr += 3;
                counter = per;
            }
        } else {
            jets.SpotDmx[j] = uint16_t(addr);
            addr += 3;
        }
    }
}

void ExpandRing(const CollectorTable& t, int c, JetTable& jets) {
    if (!BeginExpansion(t, c, jets)) return;
    int n = t.Kolvo[c];
    double step = t.Proporcia[c] * 2.0 / n;
    double r = (t.Size[c] / 2.0) / 1.07;
    double a = 0;
    ValveCounter valves(t, c);
    int count = JetsThatFit(t, c, jets);
    for (int k = 0; k < count; ++k) {
        int j = jets.JetCount + k;
        FillCommon(t, c, jets, j);
        double theta = (t.RotatAll[c] - a) * kDegToRad;
        jets.X[j] = float(t.X[c] + r * std::sin(theta));
        jets.Z[j] = float(t.Z[c] + r * std::cos(theta));
        jets.Rotation[j] = float(t.RotatAll[c] + t.RotatJet[c] + a);
        jets.Tilt[j] = t.Naklon[c];
        jets.Height[j] = t.High[c];
        jets.ValveDmx[j] = valves.next();
        a += step;
    }
    EndExpansion(t, c, jets);
}

void ExpandLine(const CollectorTable& t, int c, JetTable& jets) {
    if (!BeginExpansion(t, c, jets)) return;
    int n = t.Kolvo[c];
    int count = JetsThatFit(t, c, jets);
    PlaceAlongLine(t, c, jets, count);
    double t0 = -t.Proporcia[c] / 18.0;
    double st = 2.0 * t0 / n;
    ValveCounter valves(t, c);
    for (int k = 0; k < count; ++k) {
        int j = jets.JetCount + k;
        FillCommon(t, c, jets, j);
        jets.Height[j] = t.High[c];
        jets.Tilt[j] = t.Proporcia[c] == 0 ? t.Naklon[c] : float(t.Naklon[c] + t0 + st / 2.0 + k * st);
        jets.ValveDmx[j] = valves.next();
    }
    EndExpansion(t, c, jets);
}

void ExpandSpiral(const CollectorTable& t, int c, JetTable& jets) {
    if (!BeginExpansion(t, c, jets)) return;
    int n = t.Kolvo[c];
    double step = 360.0 / n;
    double a = 0;
    double r = t.Size[c] / 2.01;
    ValveCounter valves(t, c);
    int count = JetsThatFit(t, c, jets);
    for (int k = 0; k < count; ++k) {
        int j = jets.JetCount + k;
        FillCommon(t, c, jets, j);
        double deg = t.RotatAll[c] + t.RotatJet[c] + a;
        jets.X[j] = float(t.X[c] + r * std::sin(deg * kDegToRad));
        jets.Z[j] = float(t.Z[c] + r * std::cos(deg * kDegToRad));
        jets.Rotation[j] = float(deg);
        jets.Tilt[j] = t.Naklon[c];
        jets.Height[j] = float(t.High[c] + 0.1);
        jets.ValveDmx[j] = valves.next();
        a += step;
        r += t.Proporcia[c] / 1000.0;
    }
    EndExpansion(t, c, jets);
}

void ExpandHouse(const CollectorTable& t, int c, JetTable& jets) {
    if (!BeginExpansion(t, c, jets)) return;
    int n = t.Kolvo[c];
    int count = JetsThatFit(t, c, jets);
    PlaceAlongLine(t, c, jets, count);
    double high = t.High[c];
    double h0 = high / n / 2.0;
    double hs = t.Proporcia[c] == 0 ? 0.0 : (t.Proporcia[c] / 90.0) * high / n;
    int m = n / 2;
    ValveCounter valves(t, c);
    for (int k = 0; k < count; ++k) {
        int j = jets.JetCount + k;
        FillCommon(t, c, jets, j);
        double h;
        if (n % 2 == 0)
            h = k < m ? h0 + k * hs : h0 + (m - 1 - (k - m)) * hs;
        else
            h = k < m ? high + h0 + k * hs : high + h0 + (m - (k - m)) * hs;
        jets.Height[j] = float(h / 1.8);
        jets.Tilt[j] = t.Naklon[c];
        jets.ValveDmx[j] = valves.next();
    }
    EndExpansion(t, c, jets);
}

void ExpandRotation(const CollectorTable& t, int c, JetTable& jets) {
    if (!BeginExpansion(t, c, jets)) return;
    int count = JetsThatFit(t, c, jets);
    for (int k = 0; k < count; ++k) {
        int j = jets.JetCount + k;
        FillCommon(t, c, jets, j);
        jets.X[j] = t.X[c];
        jets.Z[j] = t.Z[c];
        jets.Rotation[j] = 0;
        jets.Tilt[j] = 0;
        jets.Height[j] = t.High[c];
        jets.ValveDmx[j] = 0;
    }
    EndExpansion(t, c, jets);
}

void ExpandSingleJet(const CollectorTable& t, int c, JetTable& jets) {
    if (!BeginExpansion(t, c, jets)) return;
    int count = JetsThatFit(t, c, jets);
    for (int k = 0; k < count; ++k) {
        int j = jets.JetCount + k;
        FillCommon(t, c, jets, j);
        jets.X[j] = t.X[c];
        jets.Z[j] = t.Z[c];
        jets.Rotation[j] = t.RotatAll[c] + t.RotatJet[c];
        jets.Tilt[j] = t.Naklon[c];
        jets.Height[j] = t.High[c];
        jets.ValveDmx[j] = 0;
    }
    EndExpansion(t, c, jets);
}

void RecountJets(const CollectorTable& t, JetTable& jets) {
    jets.JetCount = 0;
    for (int c = 1; c <= kCollectors; ++c) {
        if (t.Enabled[c] == 0) continue;
        switch (t.Kind[c]) {
            case kKindRing: ExpandRing(t, c, jets); break;
            case kKindLine: ExpandLine(t, c, jets); break;
            case kKindSpiral: ExpandSpiral(t, c, jets); break;
            case kKindHouse: ExpandHouse(t, c, jets); break;
            case kKindRotation: ExpandRotation(t, c, jets); break;
            case kKindSingle: ExpandSingleJet(t, c, jets); break;
            default: break;
        }
    }
}

void FillPresetLayout(CollectorTable& t) {
    for (int i = 1; i <= 29; ++i) {
        double phi = (-22.5 - 11.25 * (i - 1)) * kDegToRad;
        t.X[i] = float(2.25 * std::sin(phi));
        t.Z[i] = float(2.25 * std::cos(phi));
        t.Y[i] = 0.5f;
        t.RotatAll[i] = float(22.5 + 11.25 * (i - 1));
        t.RotatJet[i] = float(135 - 22.5 * (i - 1));
        t.Size[i] = 0.3f;
        t.High[i] = 2.0f;
        t.Naklon[i] = 3.3f;
        t.ReservedSingle1[i] = 1.0f;
        t.Proporcia[i] = 0;
        t.LengJet[i] = 100;
        t.Kolvo[i] = 5;
        t.Nozzle[i] = 2;
        t.Kind[i] = kKindLine;
        t.SpotGroups[i] = 1;
        t.ReservedByte2[i] = 0;
        std::memset(t.Name[i], 0, kNameRecord);
        t.PumpDmx[i] = uint16_t(116 + i);
        t.SpotDmx[i] = uint16_t(3 * (i - 1) + 1);
    }
}

}  // namespace spirelo
