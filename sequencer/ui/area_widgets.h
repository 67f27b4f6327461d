// Small controls of the area pages: a colour shape that acts on a press of any button, and a
// level button that acts on a press (not a click) of the left or the right button.
#pragma once

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWidget>

#include <functional>

// A rectangle with a fill (brush) and a frame (pen), as the original's shape control.
class TShape : public QWidget {
public:
    explicit TShape(QWidget* parent = nullptr) : QWidget(parent) {}

    QColor BrushColor = Qt::white;
    QColor PenColor = Qt::black;
    int PenWidth = 1;
    std::function<void(Qt::MouseButton)> OnMouseDown;

    void SetBrushColor(const QColor& c) { BrushColor = c; update(); }
    void SetPenColor(const QColor& c) { PenColor = c; update(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), PenColor);
        const int inset = PenWidth;
        p.fillRect(rect().adjusted(inset, inset, -inset, -inset), BrushColor);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (OnMouseDown) OnMouseDown(e->button());
    }
};

// A speed button whose handler runs when either button goes down on it.
class TLevelButton : public QToolButton {
public:
    explicit TLevelButton(QWidget* parent = nullptr) : QToolButton(parent) {
        setFocusPolicy(Qt::NoFocus);
        setAutoRaise(true);
    }
    std::function<void(Qt::MouseButton)> OnMouseDown;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton) {
            if (OnMouseDown) OnMouseDown(e->button());
            e->accept();
            return;
        }
        QToolButton::mousePressEvent(e);
    }
};
