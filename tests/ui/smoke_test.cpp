#include "common/ui/qt_helpers.h"

#include <QTimer>
#include <gtest/gtest.h>

TEST(QtHelpers, EnablingARunningTimerDoesNotRestartIt) {
    QTimer t;
    t.setInterval(1000);
    spirelo::SetTimerEnabled(&t, true);
    int before = t.remainingTime();
    spirelo::SetTimerEnabled(&t, true);
    EXPECT_TRUE(t.isActive());
    EXPECT_LE(t.remainingTime(), before);
    spirelo::SetTimerEnabled(&t, false);
    EXPECT_FALSE(t.isActive());
}

TEST(QtHelpers, ColoursKeepRedInTheLowByte) {
    EXPECT_EQ(spirelo::ValueFromColor(QColor(0x11, 0x22, 0x33)), 0x332211u);
    EXPECT_EQ(spirelo::ColorFromValue(0x0000FF), QColor(255, 0, 0));
}
