#include "visualiser/layout_editor.h"

#include "common/text_codec.h"
#include "visualiser/layout_report.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace spirelo {

namespace {

// UTF-8 to code points; a stray byte counts as one character, so carets stay in range.
std::u32string Decode(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        uint8_t b = uint8_t(s[i]);
        int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
        if (i + n > s.size()) n = 1;
        char32_t cp = n == 1 ? b : char32_t(b & (0x7F >> n));
        for (int k = 1; k < n; ++k) cp = (cp << 6) | (uint8_t(s[i + k]) & 0x3F);
        out += cp;
        i += n;
    }
    return out;
}

bool IsDigit(char32_t ch) { return ch >= U'0' && ch <= U'9'; }

// "-"? digits? ("," digits?)? as a number; "", "-", "," and "-," read 0.
std::optional<double> ParseDecimal(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    double whole = 0, frac = 0, scale = 1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') whole = whole * 10 + (text[i++] - '0');
    if (i < text.size() && text[i] == ',') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            scale /= 10;
            frac += (text[i++] - '0') * scale;
        }
    }
    if (i != text.size()) return std::nullopt;
    double v = whole + frac;
    return negative ? -v : v;
}

// Digits only, as a count byte: modulo 256, 255 meaning 254 (255 is no count).
std::optional<uint8_t> ParseCount(const std::string& text) {
    unsigned v = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        v = (v * 10 + unsigned(ch - '0')) % 256;
    }
    return uint8_t(v == 255 ? 254 : v);
}

float* DecimalField(CollectorTable& t, EditField f) {
    switch (f) {
    case EditField::PosX: return t.X;
    case EditField::PosY: return t.Y;
    case EditField::PosZ: return t.Z;
    case EditField::Sweep: return t.Size;
    case EditField::High: return t.High;
    case EditField::Naklon: return t.Naklon;
    default: return nullptr;
    }
}

}  // namespace

bool IsDigitField(EditField f) { return f == EditField::Kolvo || f == EditField::Spot; }
bool IsSignedField(EditField f) { return f == EditField::PosX || f == EditField::PosY || f == EditField::PosZ; }

KeyVerdict FilterEditKey(const std::string& utf8, int selStart, int selLength, char32_t key, EditField field) {
    std::u32string text = Decode(utf8);
    int size = int(text.size());
    selStart = std::clamp(selStart, 0, size);
    selLength = std::clamp(selLength, 0, size - selStart);
    text.erase(size_t(selStart), size_t(selLength));
    const int caret = selStart;
    if (key == U'\b') return KeyVerdict::Accept;
    if (IsDigitField(field)) return IsDigit(key) && text.size() < 3 ? KeyVerdict::Accept : KeyVerdict::Drop;

    const size_t comma = text.find(U',');
    // Nothing may go in front of a leading minus.
    const bool beforeMinus = caret == 0 && !text.empty() && text[0] == U'-';
    if (IsDigit(key)) {
        if (beforeMinus) return KeyVerdict::Drop;
        if (comma != std::u32string::npos && text.size() - comma - 1 >= 2 && size_t(caret) > comma)
            return KeyVerdict::Drop;
        return KeyVerdict::Accept;
    }
    if (key == U',' || key == U'.') {
        if (comma != std::u32string::npos || caret == 0 || text.empty()) return KeyVerdict::Drop;
        return KeyVerdict::AcceptAsComma;
    }
    if (key == U'-') {
        if (!IsSignedField(field) || caret != 0 || text.find(U'-') != std::u32string::npos) return KeyVerdict::Drop;
        return KeyVerdict::Accept;
    }
    return KeyVerdict::Drop;
}

bool ApplyEditText(CollectorTable& t, int c, EditField field, const std::string& text) {
    if (c < 0 || c >= kCollectorSlots) return false;
    if (IsDigitField(field)) {
        std::optional<uint8_t> n = ParseCount(text);
        if (!n) return false;
        (field == EditField::Kolvo ? t.Kolvo : t.SpotGroups)[c] = *n;
        return true;
    }
    std::optional<double> v = ParseDecimal(text);
    if (!v) return false;
    double lo = IsSignedField(field) ? -50 : 0;
    DecimalField(t, field)[c] = float(std::clamp(*v, lo, 50.0));
    return true;
}

double Round2(double v) { return std::round(v * 100) / 100; }

int ClampPosition(double v, int lo, int hi) {
    if (!(v >= lo)) return lo;   // NaN too
    if (v > hi) return hi;
    return int(v);
}

std::string EditFieldText(const CollectorTable& t, int c, EditField field) {
    if (field == EditField::Kolvo) return std::to_string(t.Kolvo[c]);
    if (field == EditField::Spot) return std::to_string(t.SpotGroups[c]);
    return FormatNumber(Round2(DecimalField(const_cast<CollectorTable&>(t), field)[c]));
}

std::string NameFieldText(const CollectorTable& t, int c) {
    std::string name = CollectorName(t, c);
    for (char& ch : name)
        if (uint8_t(ch) < 0x20) ch = ' ';
    return NameForEdit(name);
}

std::string NumberLabel(int c) { return "Номер коллектора " + std::to_string(c); }
std::string RotatAllLabel(int p) { return "Пов Кольца " + std::to_string(p); }
std::string RotatJetLabel(int p) { return "ПовСтруй " + std::to_string(p); }
std::string LengJetLabel(int p) { return "Длина струи " + std::to_string(p) + "%"; }
std::string ProporciaLabel(int p) { return "Пропорция " + std::to_string(p) + "%"; }
std::string SpotDmxLabel(int p, int spotGroups) {
    if (p == 0) return "Без подсветки";
    return "L DMX " + std::to_string(p) + ">>" + std::to_string(spotGroups * 3 + p - 1);
}
std::string PumpDmxLabel(int p) { return p == 0 ? "Коллектор без частотников" : "Pump DMX " + std::to_string(p); }
std::string ValveDmxLabel(int p, int kolvo) {
    if (p == 0) return "Клапанов нет";
    return "КлапDMX " + std::to_string(p) + ">>" + std::to_string(kolvo + p - 1);
}
std::string SkewDmxLabel(int p) { return p == 0 ? "Наклон постоянный" : "Наклон DMX " + std::to_string(p); }
std::string MinLabel(int p) { return "Min=" + std::to_string(p); }
std::string MaxLabel(int p) { return "Max=" + std::to_string(p); }
std::string DelayLabel(int p, int dmxInIntervalMs) {
    return "Время выхода струи " + std::to_string(long(p) * dmxInIntervalMs) + "ms";
}

void CopyCollectorFields(CollectorTable& t, int from, int to) {
    if (from < 0 || from >= kCollectorSlots || to < 0 || to >= kCollectorSlots || from == to) return;
    auto copy = [&](auto& a) { a[to] = a[from]; };
    copy(t.X), copy(t.Y), copy(t.Z), copy(t.RotatAll), copy(t.RotatJet);
    copy(t.Size), copy(t.High), copy(t.Naklon), copy(t.ReservedSingle1);
    for (auto& a : t.ReservedSingles) copy(a);
    copy(t.LengJet), copy(t.Kolvo), copy(t.Nozzle), copy(t.Kind), copy(t.ReservedByte1);
    copy(t.SpotGroups), copy(t.ReservedByte2), copy(t.ReservedByte3), copy(t.Proporcia);
    copy(t.ReservedByte4);
    for (auto& a : t.ReservedBytes) copy(a);
    copy(t.PumpDmx), copy(t.ValveDmx), copy(t.SpotDmx), copy(t.SkewDmx);
    for (auto& a : t.ReservedWords) copy(a);
    std::memcpy(t.Name[to], t.Name[from], kNameRecord);
}

bool CopyFromLast(CollectorTable& t, int c) {
    if (c < 2 || c > kCollectors) return false;
    CopyCollectorFields(t, c - 1, c);
    t.PumpDmx[c] = uint16_t(t.PumpDmx[c - 1] + 1);
    if (t.ValveDmx[c] != 0) t.ValveDmx[c] = uint16_t(t.ValveDmx[c - 1] + t.Kolvo[c]);
    t.SpotDmx[c] = uint16_t(t.SpotDmx[c - 1] + 3 * t.SpotGroups[c]);
    t.SkewDmx[c] = t.SkewDmx[c - 1];
    return true;
}

void CopyToBuffer(CollectorTable& t, int c) { CopyCollectorFields(t, c, 0); }
void PasteFromBuffer(CollectorTable& t, int c) { CopyCollectorFields(t, 0, c); }

void NewLayout(CollectorTable& t) { std::fill(std::begin(t.Kind), std::end(t.Kind), uint8_t(kKindOff)); }
void AllOn(CollectorTable& t) { std::fill(std::begin(t.Enabled), std::end(t.Enabled), uint8_t(1)); }
void Solo(CollectorTable& t, int c) {
    std::fill(std::begin(t.Enabled), std::end(t.Enabled), uint8_t(0));
    if (c >= 0 && c < kCollectorSlots) t.Enabled[c] = 1;
}

}  // namespace spirelo
