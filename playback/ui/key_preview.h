// Key preview: a window sees each key pressed in any of its controls before the control does,
// once per press (not again as an ignored key travels up to its parents), and never eats it.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QKeyEvent;
class QWidget;

class KeyPreview : public QObject {
    Q_OBJECT
public:
    // Installs itself on the application, owned by window; onKey gets the first receiver.
    KeyPreview(QWidget* window, std::function<void(QWidget* receiver, QKeyEvent* event)> onKey);
    ~KeyPreview() override;

    // True when a key sent to w is text for it: a line edit, a spin box or an editable combo.
    static bool TakesText(const QWidget* w);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::function<void(QWidget*, QKeyEvent*)> onKey_;
    const QKeyEvent* lastEvent_ = nullptr;
    QPointer<QWidget> lastReceiver_;
    unsigned long lastTimestamp_ = 0;
    int lastKey_ = 0;
};
