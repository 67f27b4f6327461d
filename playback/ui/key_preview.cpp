#include "playback/ui/key_preview.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

KeyPreview::KeyPreview(QWidget* window, std::function<void(QWidget*, QKeyEvent*)> onKey)
    : QObject(window), window_(window), onKey_(std::move(onKey)) {
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview() {
    if (qApp) qApp->removeEventFilter(this);
}

bool KeyPreview::TakesText(const QWidget* w) {
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(p) || qobject_cast<const QAbstractSpinBox*>(p)) return true;
        if (auto* c = qobject_cast<const QComboBox*>(p)) return c->isEditable();
        if (p->isWindow()) break;
    }
    return false;
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w->window() != window_) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // An ignored key is handed to each parent in turn, the same event each time.
    const bool passedUp = key == lastEvent_ && key->timestamp() == lastTimestamp_ && key->key() == lastKey_ &&
                          lastReceiver_ && lastReceiver_->parentWidget() == w;
    lastEvent_ = key;
    lastTimestamp_ = key->timestamp();
    lastKey_ = key->key();
    lastReceiver_ = w;
    if (!passedUp) onKey_(w, key);
    return false;
}
