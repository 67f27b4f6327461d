// What the layout window decides without a display: the key filter and the edit rules of its
// fields, the texts of its labels and the collector copies and bulk commands of its tool bar.
#pragma once

#include "visualiser/layout_model.h"

#include <string>

namespace spirelo {

// The edit fields of one collector.
enum class EditField { PosX, PosY, PosZ, Sweep, High, Naklon, Kolvo, Spot };

bool IsDigitField(EditField f);    // Kolvo, Spot: up to three digits
bool IsSignedField(EditField f);   // PosX, PosY, PosZ

// The key filter of an edit. key is the typed character ('\b' for Backspace); keys that type
// nothing (arrows, Delete) never reach it. The selection [selStart, selStart + selLength) is
// replaced by what is typed, so the rules look at the text without it.
enum class KeyVerdict { Drop, Accept, AcceptAsComma };
KeyVerdict FilterEditKey(const std::string& text, int selStart, int selLength, char32_t key, EditField field);

// Stores an edit's text into collector c. False (nothing stored) when the text is not a number,
// which only a paste can give.
bool ApplyEditText(CollectorTable& t, int c, EditField field, const std::string& text);

// What a refresh shows for the field (decimals rounded to two places, "," as separator).
std::string EditFieldText(const CollectorTable& t, int c, EditField field);
// The name as shown: characters below the blank become blanks.
std::string NameFieldText(const CollectorTable& t, int c);

double Round2(double v);
// A stored value as a scroll-bar position: NaN and out-of-range values give the nearest end.
int ClampPosition(double v, int lo, int hi);

// Label texts.
std::string NumberLabel(int c);
std::string RotatAllLabel(int p);
std::string RotatJetLabel(int p);
std::string LengJetLabel(int p);
std::string ProporciaLabel(int p);
std::string SpotDmxLabel(int p, int spotGroups);
std::string PumpDmxLabel(int p);
std::string ValveDmxLabel(int p, int kolvo);
std::string SkewDmxLabel(int p);
std::string MinLabel(int p);
std::string MaxLabel(int p);
std::string DelayLabel(int p, int dmxInIntervalMs);

// The collector fields the copies move: every stored array except Min, Max, Text1, Text2 and
// the camera tour (its view point, zoom, rotations and reserved word array 1, whose element 1
// is TourLast). Enabled is not stored and stays.
void CopyCollectorFields(CollectorTable& t, int from, int to);
// Copy from collector c - 1 into c with the DMX addresses following on; nothing when c < 2.
bool CopyFromLast(CollectorTable& t, int c);
void CopyToBuffer(CollectorTable& t, int c);      // into slot 0
void PasteFromBuffer(CollectorTable& t, int c);   // from slot 0

void NewLayout(CollectorTable& t);    // Kind := 0 in every slot
void AllOn(CollectorTable& t);        // Enabled := 1 in every slot
void Solo(CollectorTable& t, int c);  // only collector c enabled

}  // namespace spirelo
