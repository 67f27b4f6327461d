// The original's virtual-key codes from Qt key events, the same under any keyboard layout:
// a Latin letter or digit is taken from Qt's key; a key whose character is not Latin (a Cyrillic
// layout, a shifted digit) is found by its physical position, as on a US keyboard.
#pragma once

class QKeyEvent;

namespace spirelo {

inline constexpr int kVkSpace = 32;
inline constexpr int kVkEquals = 187;     // "=" on a US layout
inline constexpr int kVkMinus = 189;      // "-"
inline constexpr int kVkSlash = 191;      // "/"
inline constexpr int kVkBracketRight = 221;  // "]"
inline constexpr int kVkQuote = 222;      // "'"

// Qt key code (Qt::Key) and native scan code (X11/xkb key code: evdev code + 8; 0 when
// unknown) to a virtual-key code; 0 when the key has none.
int VirtualKeyFrom(int qtKey, unsigned nativeScanCode);
int VirtualKeyFromEvent(const QKeyEvent* event);

}  // namespace spirelo
