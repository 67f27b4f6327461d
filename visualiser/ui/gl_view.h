// The 3D view of the main window: a QOpenGLWidget that hands its GL events to TFormMain.
#pragma once

#include <QOpenGLWidget>

class TFormMain;

class GlView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit GlView(TFormMain* owner, QWidget* parent = nullptr);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    TFormMain* owner_;
};
