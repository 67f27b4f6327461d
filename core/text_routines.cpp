#include "core/text_routines.h"

#include "common/text_codec.h"

namespace spirelo {

std::string StripExt(const std::string& Name) {
    const auto slash = Name.rfind('/');
    const auto dot = Name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return Name;
    return Name.substr(0, dot);
}

std::string Mp3NameOf(const std::string& Name) { return StripExt(Name) + ".mp3"; }

std::string IntToStr2(int N) {
    std::string s = std::to_string(N);
    return N <= 9 ? "0" + s : s;
}

std::string TimeText(ShowData& d, int Index) {
    const int i = Index < 0 ? 0 : (Index >= kScheduleSlots ? kScheduleSlots - 1 : Index);
    return IntToStr2(d.ScheduleHour[i]) + ":" + IntToStr2(d.ScheduleMinute[i]);
}

uint32_t ColorOfIndex(int Index) {
    struct Rgb { uint8_t r, g, b; };
    static constexpr Rgb kPalette[32] = {
        {255, 0, 0},    {255, 255, 0},  {255, 63, 0},   {0, 255, 0},
        {0, 255, 255},  {0, 0, 255},    {255, 0, 0},    {255, 0, 63},
        {255, 0, 63},   {255, 255, 63}, {255, 63, 63},  {0, 255, 63},
        {63, 255, 255}, {63, 63, 255},  {255, 63, 0},   {255, 63, 63},
        {127, 0, 63},   {127, 127, 63}, {127, 63, 63},  {0, 127, 63},
        {63, 127, 255}, {63, 63, 127},  {127, 63, 0},   {127, 63, 63},
        {196, 0, 93},   {195, 255, 93}, {195, 93, 93},  {0, 195, 93},
        {93, 195, 195}, {93, 93, 195},  {195, 93, 0},   {195, 93, 93},
    };
    if (Index < 0 || Index > 31) return 0xFFFFFF;
    const Rgb& c = kPalette[Index];
    return uint32_t{c.r} | (uint32_t{c.g} << 8) | (uint32_t{c.b} << 16);
}

int MaxOfTwo(int A, int B) { return B > A ? B : A; }

namespace {
std::string NameText(Name16* table, int count, int Index) {
    const int i = Index < 0 ? 0 : (Index >= count ? count - 1 : Index);
    uint8_t* name = table[i];
    for (int k = 0; k < kNameLen; ++k)
        if (name[k] < 33) name[k] = ' ';
    return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(name), kNameLen));
}
}  // namespace

std::string SeqNameText(ShowData& d, int Index) { return NameText(d.SequencerNames, kMaskRows, Index); }
std::string TrackNameText(ShowData& d, int Index) { return NameText(d.TrackNames, kTracks, Index); }
std::string EffectNameText(ShowData& d, int Index) { return NameText(d.EffectNames, kEffects, Index); }

std::string ModeText(uint8_t Code) {
    switch (Code) {
        case 0: return "Seq OFF  ";
        case 1: return "Set Scena";
        case 2: return "Seq Play ";
        case 3: return "Seq Stop ";
        case 4: return "Set Rate ";
        case 5: return "Scen Next";
        case 6: return "Nothing  ";
        default: return "Error function ModeText - Pos more 8 ";
    }
}

std::string EffectText(uint8_t Kind) {
    switch (Kind) {
        case 0: return "Effect OFF   ";
        case 1: return "Effect Rate  ";
        case 2: return "Effect Decay ";
        case 3: return "Effect Vibro ";
        default: return "Effect OFF ";
    }
}

RateTextResult RateText(int32_t& BytesPerStep, int32_t BytesPerPixel, int32_t Value) {
    if (BytesPerStep == 0) BytesPerStep = 1;
    const uint32_t product = static_cast<uint32_t>(BytesPerPixel) * static_cast<uint32_t>(Value);
    const uint32_t v = product / static_cast<uint32_t>(BytesPerStep);
    return {v, v <= 1000 ? std::to_string(v) : std::string("ERROR>1000")};
}

}  // namespace spirelo
