#include "visualiser/layout_report.h"

#include <cmath>
#include <cstdio>

namespace spirelo {

const NozzleRow kNozzleTable[kNozzleRows] = {
    {300, 0.5, "G=1\\2 DN=15", 2.13, 0.3, 6.3, 3.3},
    {400, 0.8, "G=1\\2 DN=15", 4.0, 0.1, 16.8, 4.8},
    {600, 1.0, "G=3\\4 DN=20", 9.5, 0.3, 42.0, 6.6},
    {700, 1.0, "G=1 DN=25", 15.0, 0.3, 69.0, 8.7},
    {800, 1.2, "G=1 1\\4 DN=32", 27.9, 1.0, 107.0, 10.0},
    {1000, 1.2, "G= DN=", 29.0, 1.0, 168.0, 14.0},
    {1200, 1.5, "G=1 1\\2 DN=40", 47.0, 1.0, 215.0, 15.9},
    {1300, 1.5, "G=2 DN=50", 63.0, 1.1, 332.0, 17.8},
    {2000, 1.8, "G=3 DN=80", 85.0, 1.5, 405.0, 26.5},
};

namespace {
const char* const kNozzleTexts[kNozzleKinds] = {
    "Jet 4 mm",  "Jet 6 mm",  "Jet 8 mm",       "Jet 10 mm",      "Jet 12 mm",      "Jet 14 mm", "Jet 16 mm",
    "Jet 19 mm", "Jet 24 mm", "Sprudler 35-10", "Sprudler 55-10", "Sprudler 55-15", "Rotor",
};
const char* const kKindTexts[kCollectorKinds] = {
    "Выключено",    "Тип: Кольцо", "Тип: Линия", "Тип: Спираль", "Тип: Домик",
    "Тип: Ротация", "Тип: Струя",  "Тип:",       "Тип:",         "Тип:",
    "Объект: Плоскость", "Объект: Куб", "Объект: ",
};
}  // namespace

std::string NozzleText(int nozzle) {
    return nozzle >= 0 && nozzle < kNozzleKinds ? kNozzleTexts[nozzle] : "";
}

std::string CollectorKindText(int kind) {
    return kind >= 0 && kind < kCollectorKinds ? kKindTexts[kind] : "";
}

NozzleCalc TabForsunka(const CollectorTable& t, int c, NozzleCarry& carry) {
    NozzleCalc n;
    int nozzle = t.Nozzle[c];
    const NozzleRow& flows = kNozzleTable[nozzle < kNozzleRows ? nozzle : kNozzleRows - 1];
    if (nozzle < kNozzleRows) {
        carry.top = flows.top;
        carry.flowAdd = flows.flowAdd;
        carry.thread = flows.thread;
    }
    n.top = carry.top;
    n.flowAdd = carry.flowAdd;
    n.thread = carry.thread;
    n.lowFlow = flows.lowFlow;
    n.lowHead = flows.lowHead;
    n.highFlow = flows.highFlow;
    n.highHead = flows.highHead;
    n.span = n.top - kNozzleBottom;
    double h = t.High[c];
    // The carry starts at top 0, so span is never 0.
    n.flowPerNozzle = n.lowFlow + (n.highFlow - n.lowFlow) / n.span * (h - kNozzleBottom) + n.flowAdd;
    n.head = n.lowHead + (n.highHead - n.lowHead) / n.span * h;
    n.pumpFlow = t.Kolvo[c] * n.flowPerNozzle;
    n.pumpM3h = n.pumpFlow / 16.666666666666668;
    return n;
}

std::string FormatNumber(double v, int significant) {
    if (v == 0) v = 0;   // no "-0"
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", significant, v);
    std::string s(buf);
    for (char& ch : s)
        if (ch == '.') ch = ',';
    return s;
}

std::vector<std::string> BuildReport(const CollectorTable& t, const std::string& layoutPath) {
    auto n8 = [](double v) { return FormatNumber(v, 8); };
    auto r2 = [](double v) { return FormatNumber(std::round(v * 100) / 100); };
    auto i = [](long v) { return std::to_string(v); };
    std::vector<std::string> out = {"Программа визуализации фонтанов", "Имя файла: " + layoutPath, " "};
    NozzleCarry carry;
    for (int c = 1; c <= kCollectors; ++c) {
        if (t.Kind[c] == kKindOff) continue;
        NozzleCalc n = TabForsunka(t, c, carry);
        std::string name = CollectorName(t, c);
        for (char& ch : name)
            if (uint8_t(ch) < 0x20) ch = ' ';
        const std::string tab = "\t";
        out.insert(out.end(), {
            " ",
            "=== ",
            "StrujaMin " + n8(kNozzleBottom),
            "StrujaMax " + n8(n.top),
            "dlStrja " + n8(n.span),
            " ",
            "MinData Rasxod " + n8(n.lowFlow),
            "MaxData Rasxod " + n8(n.highFlow),
            "dlRasxod " + n8(n.highFlow - n.lowFlow),
            " ",
            "MinDataNpor " + n8(n.lowHead),
            "MaxDataNpor " + n8(n.highHead),
            "dlNapor " + n8(n.highHead - n.lowHead),
            "=== ",
            i(c) + ". " + name,
            "Положение X: " + r2(t.X[c]) + "   " + tab + "Y: " + r2(t.Y[c]) + "   " + tab + "Z: " + r2(t.Z[c]) +
                "   " + tab + " ",
            CollectorKindText(t.Kind[c]),
            "Размер " + r2(t.Size[c]) + " m",
            "Высота " + r2(t.High[c]) + " m",
            "Насадка " + NozzleText(t.Nozzle[c]),
            "Резьба " + n.thread,
            "Расход форсунки " + n8(n.flowPerNozzle) + " л\\мин",
            "Наклон " + r2(t.Naklon[c]) + " m",
            "Колво форсунок " + i(t.Kolvo[c]) + " шт",
            "Групп Прожекторов " + i(t.SpotGroups[c]) + " шт.",
            // The last address is the first plus the count less one, as the DMX labels show it.
            "ADR DMX свет от " + i(t.SpotDmx[c]) + " до " + i(long(t.SpotDmx[c]) + 3L * t.SpotGroups[c] - 1),
            "ADR DMX Насос " + i(t.PumpDmx[c]),
            "ADR DMX Клапана от " + i(t.ValveDmx[c]) + " до " + i(long(t.ValveDmx[c]) + t.Kolvo[c] - 1),
            "Производительность насоса " + n8(n.pumpFlow) + " л\\мин",
            "Производительность насоса " + n8(n.pumpM3h) + " м3\\час",
            "Напор насоса " + n8(n.head) + " м",
        });
    }
    return out;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string s;
    for (size_t k = 0; k < lines.size(); ++k) {
        if (k) s += '\n';
        s += lines[k];
    }
    return s;
}

}  // namespace spirelo
