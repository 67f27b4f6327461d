// The fountain layout: up to 100 collectors (slot 0 is the layout window's copy buffer) that
// RecountJets expands into at most 1000 individual jets, each with its own position, direction,
// height and the DMX channels of its pump, valve, tilt and light.
#pragma once

#include <cstdint>
#include <string>

namespace spirelo {

inline constexpr int kCollectorSlots = 101;     // 0..100
inline constexpr int kCollectors = 100;         // collectors 1..100
inline constexpr int kJetSlots = 1001;          // 0..1000, jets start at 1
inline constexpr int kMaxJets = 1000;
inline constexpr int kParabolaPoints = 256;
inline constexpr int kNameRecord = 17;          // length byte + 16 CP1251 characters
inline constexpr int kNameChars = 16;
inline constexpr int kTextRecord = 257;
inline constexpr int kReservedSingles = 7;
inline constexpr int kReservedBytes = 7;
inline constexpr int kReservedWords = 5;

// Collector types.
enum CollectorKind : uint8_t {
    kKindOff = 0,
    kKindRing = 1,
    kKindLine = 2,
    kKindSpiral = 3,
    kKindHouse = 4,
    kKindRotation = 5,
    kKindSingle = 6,
};

// One array per field, one index per collector slot.
struct CollectorTable {
    float X[kCollectorSlots], Y[kCollectorSlots], Z[kCollectorSlots];
    float RotatAll[kCollectorSlots], RotatJet[kCollectorSlots];
    float Size[kCollectorSlots], High[kCollectorSlots], Naklon[kCollectorSlots];
    float ReservedSingle1[kCollectorSlots];
    float TourViewerX[kCollectorSlots], TourViewerY[kCollectorSlots];
    float ReservedSingles[kReservedSingles][kCollectorSlots];

    uint8_t LengJet[kCollectorSlots], Kolvo[kCollectorSlots], Nozzle[kCollectorSlots];
    uint8_t Kind[kCollectorSlots];
    uint8_t ReservedByte1[kCollectorSlots];
    uint8_t SpotGroups[kCollectorSlots];
    uint8_t ReservedByte2[kCollectorSlots], ReservedByte3[kCollectorSlots];
    uint8_t Proporcia[kCollectorSlots];
    uint8_t Min[kCollectorSlots], Max[kCollectorSlots];
    uint8_t ReservedByte4[kCollectorSlots];
    uint8_t TourZoom[kCollectorSlots];                     // the negated camera Zoom
    uint8_t ReservedBytes[kReservedBytes][kCollectorSlots];

    uint16_t PumpDmx[kCollectorSlots], ValveDmx[kCollectorSlots];
    uint16_t SpotDmx[kCollectorSlots], SkewDmx[kCollectorSlots];
    uint16_t TourRotX[kCollectorSlots], TourRotY[kCollectorSlots], TourRotZ[kCollectorSlots];
    uint16_t ReservedWords1[kCollectorSlots];              // element 1 is TourLast
    uint16_t ReservedWords[kReservedWords][kCollectorSlots];

    uint8_t Name[kCollectorSlots][kNameRecord];
    uint8_t Text1[kCollectorSlots][kTextRecord];
    uint8_t Text2[kCollectorSlots][kTextRecord];

    uint8_t Enabled[kCollectorSlots];                      // not stored in the layout file

    uint16_t& TourLast() { return ReservedWords1[1]; }
    uint16_t TourLast() const { return ReservedWords1[1]; }
};

struct JetTable {
    uint8_t Kind[kJetSlots];
    float X[kJetSlots], Y[kJetSlots], Z[kJetSlots];
    float Rotation[kJetSlots], Tilt[kJetSlots], Height[kJetSlots];
    uint8_t Segments[kJetSlots], Nozzle[kJetSlots];
    uint16_t SpotDmx[kJetSlots], ValveDmx[kJetSlots], PumpDmx[kJetSlots], SkewDmx[kJetSlots];
    int32_t JetCount = 0;   // index of the next free jet; jets 1..JetCount-1 are drawn
};

struct ParabolaTable {
    float P[kParabolaPoints];
};

void ResetCollectorTable(CollectorTable& t);
void ResetJetTable(JetTable& t);
void FillParabolaTable(ParabolaTable& p);

// Collector names: byte 0 is the length (clamped to 16 on read), then CP1251 characters.
std::string CollectorName(const CollectorTable& t, int slot);            // as UTF-8
void SetCollectorName(CollectorTable& t, int slot, const std::string& utf8);  // first 16, blank-padded

// Rebuilds the jet table from every enabled collector 1..100. Jets that would lie beyond index
// 1000 are dropped, so JetCount never exceeds 1001.
void RecountJets(const CollectorTable& c, JetTable& jets);

// Light addresses of the Kolvo[c] jets from jets.JetCount on (called by every expansion).
void SpreadSpotAddresses(const CollectorTable& t, int c, JetTable& jets);

void ExpandRing(const CollectorTable& t, int c, JetTable& jets);
void ExpandLine(const CollectorTable& t, int c, JetTable& jets);
void ExpandSpiral(const CollectorTable& t, int c, JetTable& jets);
void ExpandHouse(const CollectorTable& t, int c, JetTable& jets);
void ExpandRotation(const CollectorTable& t, int c, JetTable& jets);
void ExpandSingleJet(const CollectorTable& t, int c, JetTable& jets);

// The layout window's "WR" preset: 29 lines of 5 jets around a 2.25 m circle.
void FillPresetLayout(CollectorTable& t);

}  // namespace spirelo
