// The original toolkit's event rules, mapped once for every window.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QProgressBar>
#include <QTimer>

#include <cstdint>

namespace spirelo {

// "timer enabled := true" leaves a running timer alone; false stops it.
inline void SetTimerEnabled(QTimer* t, bool enabled) {
    if (!enabled) t->stop();
    else if (!t->isActive()) t->start();
}

// A precise GUI-thread timer with the given interval, stopped.
inline QTimer* MakeTimer(QObject* parent, int intervalMs) {
    auto* t = new QTimer(parent);
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(intervalMs);
    return t;
}

// Colours are stored as 24-bit values with red in the low byte.
inline QColor ColorFromValue(uint32_t v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }
inline uint32_t ValueFromColor(const QColor& c) {
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

// Progress bars clamp before setValue, as the original did.
inline void SetProgress(QProgressBar* bar, int v) {
    bar->setValue(v < bar->minimum() ? bar->minimum() : (v > bar->maximum() ? bar->maximum() : v));
}

// A check box or button set by the program runs no click handler: clicked() is not emitted by
// setChecked, so a plain setChecked is right; this name makes the intent visible.
inline void SetCheckedSilently(QAbstractButton* b, bool on) { b->setChecked(on); }

}  // namespace spirelo
