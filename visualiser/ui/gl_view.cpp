#include "visualiser/ui/gl_view.h"

#include "visualiser/ui/form_main.h"

#include <QMouseEvent>
#include <QWheelEvent>

GlView::GlView(TFormMain* owner, QWidget* parent) : QOpenGLWidget(parent), owner_(owner) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void GlView::initializeGL() {
    qreal dpr = devicePixelRatioF();
    owner_->InitGL(int(width() * dpr), int(height() * dpr));
}

void GlView::resizeGL(int w, int h) {
    qreal dpr = devicePixelRatioF();
    owner_->FormResize(int(w * dpr), int(h * dpr));
}

void GlView::paintGL() { owner_->PaintFrame(); }

namespace {
spirelo::MouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::LeftButton) return spirelo::MouseButton::Left;
    if (b == Qt::RightButton) return spirelo::MouseButton::Right;
    return spirelo::MouseButton::Other;
}
}  // namespace

void GlView::mousePressEvent(QMouseEvent* e) {
    QPoint p = e->position().toPoint();
    owner_->GLMouseDown(ButtonOf(e->button()), p.x(), p.y());
}

void GlView::mouseReleaseEvent(QMouseEvent* e) { owner_->GLMouseUp(ButtonOf(e->button())); }

void GlView::mouseMoveEvent(QMouseEvent* e) {
    QPoint p = e->position().toPoint();
    owner_->GLMouseMove(p.x(), p.y());
}

void GlView::wheelEvent(QWheelEvent* e) {
    owner_->GLMouseWheel(e->angleDelta().y());
    e->accept();
}
