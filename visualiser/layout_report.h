// The hydraulic calculation of a collector's nozzles and the calculation report built from it.
#pragma once

#include "visualiser/layout_model.h"

#include <string>
#include <vector>

namespace spirelo {

inline constexpr int kNozzleRows = 9;
inline constexpr int kNozzleKinds = 13;
inline constexpr int kCollectorKinds = 13;
inline constexpr double kNozzleBottom = 25;

struct NozzleRow {
    double top, flowAdd;
    const char* thread;
    double lowFlow, lowHead, highFlow, highHead;
};
extern const NozzleRow kNozzleTable[kNozzleRows];

// The list texts; an index past the list gives "".
std::string NozzleText(int nozzle);
std::string CollectorKindText(int kind);

// What a nozzle kind of 9 or more takes from the collector computed before it.
struct NozzleCarry {
    double top = 0, flowAdd = 0;
    std::string thread;
};

struct NozzleCalc {
    double top = 0, flowAdd = 0;
    std::string thread;
    double lowFlow = 0, lowHead = 0, highFlow = 0, highHead = 0;
    double span = 0;
    double flowPerNozzle = 0;   // l/min
    double head = 0;            // m
    double pumpFlow = 0;        // l/min
    double pumpM3h = 0;
};

// The calculation for collector c; rows 0..8 update the carry, kinds 9 and above read it.
NozzleCalc TabForsunka(const CollectorTable& t, int c, NozzleCarry& carry);

// Numbers as the report and the edits show them: "," as separator, no trailing zeros, at most
// `significant` digits.
std::string FormatNumber(double v, int significant = 15);

// The report's lines for every collector with a type.
std::vector<std::string> BuildReport(const CollectorTable& t, const std::string& layoutPath);
std::string JoinLines(const std::vector<std::string>& lines);   // with "\n"

}  // namespace spirelo
