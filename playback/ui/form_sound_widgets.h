// Small control kinds of the sound window that Qt has no direct match for: a paint box that
// shows its off-screen bitmap and reports the mouse in box pixels, a radio group with an item
// index, and a coloured shape.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QListWidget>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QRadioButton;

// A paint box: paints `Bitmap` (or calls onPaint), reports presses, moves and releases.
class SoundPaintBox : public QWidget {
    Q_OBJECT
public:
    SoundPaintBox(QWidget* parent, int x, int y, int w, int h);
    QPixmap Bitmap;     // copied to the box on every paint
    void CopyBitmap(const QPixmap& pm);   // the off-screen picture becomes the box's picture
signals:
    void mouseDown(Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers mods);
    void mouseMove(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
    void mouseUp(Qt::MouseButton button, int x, int y);
    void painted();
protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// A radio group: a captioned box of exclusive items. Setting the index by program runs no
// click handler; a user click emits clicked() after the index changed.
class SoundRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    SoundRadioGroup(QWidget* parent, const QString& caption, const QStringList& items, int columns = 1);
    int itemIndex() const;
    void setItemIndex(int index);   // clamped to -1..count-1
    int count() const { return int(buttons_.size()); }
signals:
    void clicked();
private:
    QButtonGroup group_;
    std::vector<QRadioButton*> buttons_;
};

// A coloured shape (rectangle, rounded rectangle or circle) with a pen.
class SoundShape : public QWidget {
    Q_OBJECT
public:
    enum Kind { Rectangle, RoundRect, Circle };
    SoundShape(QWidget* parent, int x, int y, int w, int h, Kind kind, uint32_t brush);
    void setBrushColor(uint32_t color);   // 24-bit, red in the low byte
    uint32_t brushColor() const { return brush_; }
    bool transparentBrush = false;
signals:
    void mouseDown(Qt::MouseButton button, int x, int y);
protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
private:
    Kind kind_;
    uint32_t brush_;
};

// A list whose entries are reordered by dragging one entry within the list. The window decides
// what a drop does: dragOver says whether a drag from `source` is accepted at (x, y) and marks
// the target; dragDrop moves the entry. The target's top edge carries a 3-pixel red line.
class SoundListBox : public QListWidget {
    Q_OBJECT
public:
    explicit SoundListBox(QWidget* parent);
    // The entry under (x, y + half an entry's height) in viewport pixels, -1 after the last one.
    int TargetAt(int x, int y) const;
    void SetDropMark(int row);   // -2: no mark; -1: below the last entry
    int DropMark() const { return dropMark_; }
    std::function<bool(QObject* source, int x, int y)> dragOver;
    std::function<void(QObject* source, int x, int y)> dragDrop;
protected:
    void startDrag(Qt::DropActions) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
private:
    int dropMark_ = -2;
};
