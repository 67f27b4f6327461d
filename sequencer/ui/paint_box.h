// A plain drawing surface with the original toolkit's paint-box events: the window that owns it
// supplies the paint and mouse handlers; the right button's popup menu opens on its release,
// after the mouse-up handler, so a right-button drag reaches the move handler first.
#pragma once

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <functional>

class TPaintBox : public QWidget {
public:
    using MouseHandler = std::function<void(Qt::MouseButton button, int x, int y)>;

    explicit TPaintBox(QWidget* parent = nullptr) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

    std::function<void(QPainter&)> OnPaint;
    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;
    QMenu* PopupMenu = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (OnPaint) OnPaint(p);
        else p.fillRect(rect(), palette().window());
    }
    void mousePressEvent(QMouseEvent* e) override {
        const QPoint pos = e->position().toPoint();
        if (OnMouseDown) OnMouseDown(e->button(), pos.x(), pos.y());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint pos = e->position().toPoint();
        if (OnMouseMove) OnMouseMove(e->button(), pos.x(), pos.y());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const QPoint pos = e->position().toPoint();
        if (OnMouseUp) OnMouseUp(e->button(), pos.x(), pos.y());
        if (e->button() == Qt::RightButton && PopupMenu) PopupMenu->popup(e->globalPosition().toPoint());
    }
};
