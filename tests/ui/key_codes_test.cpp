#include "common/ui/key_codes.h"

#include "platform/ui/qt_messages.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {
// X11 key codes are the Linux input codes plus 8.
constexpr unsigned X(unsigned evdev) { return evdev + 8; }
}  // namespace

TEST(KeyCodes, TheSameCodesUnderAnyLayout) {
    struct Case { const char* what; int qtKey; unsigned scan; int vk; };
    const Case cases[] = {
        {"A, US", Qt::Key_A, X(30), 65},
        {"Z, no scan code", Qt::Key_Z, 0, 90},
        {"digit 1", Qt::Key_1, X(2), 49},
        {"digit 7", Qt::Key_7, 0, 55},
        {"space", Qt::Key_Space, X(57), 32},
        {"=", Qt::Key_Equal, X(13), 187},
        {"-", Qt::Key_Minus, X(12), 189},
        {"/", Qt::Key_Slash, X(53), 191},
        {"]", Qt::Key_BracketRight, X(27), 221},
        {"'", Qt::Key_Apostrophe, X(40), 222},
        // A Cyrillic layout: the key's position decides.
        {"Cyrillic Short I on Q", 0x419, X(16), 81},
        {"Cyrillic Ya on Z", 0x42F, X(44), 90},
        {"Cyrillic E on '", 0x42D, X(40), 222},
        {"Cyrillic Hard Sign on ]", 0x42A, X(27), 221},
        {"period on the / key", Qt::Key_Period, X(53), 191},
        {"shift+2 giving a quote", Qt::Key_QuoteDbl, X(3), 50},
        // Shifted characters without a position: the US key under them.
        {"+ without position", Qt::Key_Plus, 0, 187},
        {"! without position", Qt::Key_Exclam, 0, 49},
        {"? without position", Qt::Key_Question, 0, 191},
        // A Latin layout other than US keeps its letters (as the labels on the keys say).
        {"AZERTY A on the Q key", Qt::Key_A, X(16), 65},
        {"F1", Qt::Key_F1, 0, 112},
        {"unknown", 0x10FFFF, 0, 0},
        {"Cyrillic without position", 0x419, 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(spirelo::VirtualKeyFrom(c.qtKey, c.scan), c.vk) << c.what;
}

TEST(KeyCodes, FromAnEvent) {
    QKeyEvent e(QEvent::KeyPress, 0x419, Qt::NoModifier, X(16), 0, 0, QString::fromUtf8("й"));
    EXPECT_EQ(spirelo::VirtualKeyFromEvent(&e), 81);
    EXPECT_EQ(spirelo::VirtualKeyFromEvent(nullptr), 0);
}

TEST(QtMessageBoxes, TwoLineTextsShowOneLineBreak) {
    EXPECT_EQ(spirelo::QtMessages::DisplayText("Cross to mode PLAY\n\rYou sure?"),
              QString("Cross to mode PLAY\nYou sure?"));
    EXPECT_EQ(spirelo::QtMessages::DisplayText("a\r\nb\rc\nd"), QString("a\nb\nc\nd"));
    EXPECT_EQ(spirelo::QtMessages::DisplayText("Файл не найден"), QString::fromUtf8("Файл не найден"));
}
