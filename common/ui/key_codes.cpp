#include "common/ui/key_codes.h"

#include <QKeyEvent>

namespace spirelo {

namespace {

// Linux input event codes of a US keyboard, in the order of their codes from 1.
int VirtualKeyOfEvdev(unsigned code) {
    switch (code) {
        case 2: return '1'; case 3: return '2'; case 4: return '3'; case 5: return '4';
        case 6: return '5'; case 7: return '6'; case 8: return '7'; case 9: return '8';
        case 10: return '9'; case 11: return '0';
        case 12: return kVkMinus; case 13: return kVkEquals;
        case 16: return 'Q'; case 17: return 'W'; case 18: return 'E'; case 19: return 'R';
        case 20: return 'T'; case 21: return 'Y'; case 22: return 'U'; case 23: return 'I';
        case 24: return 'O'; case 25: return 'P'; case 26: return 219; case 27: return kVkBracketRight;
        case 30: return 'A'; case 31: return 'S'; case 32: return 'D'; case 33: return 'F';
        case 34: return 'G'; case 35: return 'H'; case 36: return 'J'; case 37: return 'K';
        case 38: return 'L'; case 39: return 186; case 40: return kVkQuote; case 41: return 192;
        case 43: return 220;
        case 44: return 'Z'; case 45: return 'X'; case 46: return 'C'; case 47: return 'V';
        case 48: return 'B'; case 49: return 'N'; case 50: return 'M'; case 51: return 188;
        case 52: return 190; case 53: return kVkSlash;
        case 57: return kVkSpace;
        default: return 0;
    }
}

// Keys that mean the same on every layout.
int VirtualKeyOfQtKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;   // 65..90, as the virtual keys
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;   // 48..57
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Space: return kVkSpace;
        case Qt::Key_Equal: return kVkEquals;
        case Qt::Key_Minus: return kVkMinus;
        case Qt::Key_Slash: return kVkSlash;
        case Qt::Key_BracketRight: return kVkBracketRight;
        case Qt::Key_Apostrophe: return kVkQuote;
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
        case Qt::Key_Return: case Qt::Key_Enter: return 13;
        case Qt::Key_Shift: return 16;
        case Qt::Key_Control: return 17;
        case Qt::Key_Alt: return 18;
        case Qt::Key_Pause: return 19;
        case Qt::Key_CapsLock: return 20;
        case Qt::Key_Escape: return 27;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        default: return 0;
    }
}

// The shifted characters of a US layout, for when the physical key is unknown.
int VirtualKeyOfShifted(int key) {
    switch (key) {
        case Qt::Key_Exclam: return '1'; case Qt::Key_At: return '2';
        case Qt::Key_NumberSign: return '3'; case Qt::Key_Dollar: return '4';
        case Qt::Key_Percent: return '5'; case Qt::Key_AsciiCircum: return '6';
        case Qt::Key_Ampersand: return '7'; case Qt::Key_Asterisk: return '8';
        case Qt::Key_ParenLeft: return '9'; case Qt::Key_ParenRight: return '0';
        case Qt::Key_Plus: return kVkEquals;
        case Qt::Key_Underscore: return kVkMinus;
        case Qt::Key_Question: return kVkSlash;
        case Qt::Key_BraceRight: return kVkBracketRight;
        case Qt::Key_QuoteDbl: return kVkQuote;
        default: return 0;
    }
}

}  // namespace

int VirtualKeyFrom(int qtKey, unsigned nativeScanCode) {
    if (int vk = VirtualKeyOfQtKey(qtKey)) return vk;
    if (nativeScanCode > 8) {
        if (int vk = VirtualKeyOfEvdev(nativeScanCode - 8)) return vk;
    }
    return VirtualKeyOfShifted(qtKey);
}

int VirtualKeyFromEvent(const QKeyEvent* event) {
    if (!event) return 0;
    return VirtualKeyFrom(event->key(), event->nativeScanCode());
}

}  // namespace spirelo
