#include "playback/ui/form_sound_widgets.h"

#include "common/ui/qt_helpers.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

SoundPaintBox::SoundPaintBox(QWidget* parent, int x, int y, int w, int h) : QWidget(parent) {
    setGeometry(x, y, w, h);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Bitmap = QPixmap(w, h);
    Bitmap.fill(Qt::black);
}

void SoundPaintBox::CopyBitmap(const QPixmap& pm) {
    Bitmap = pm;
    update();
}

void SoundPaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, Bitmap);
    emit painted();
}

void SoundPaintBox::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    emit mouseDown(e->button(), pt.x(), pt.y(), e->modifiers());
}

void SoundPaintBox::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    emit mouseMove(pt.x(), pt.y(), e->buttons(), e->modifiers());
}

void SoundPaintBox::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    emit mouseUp(e->button(), pt.x(), pt.y());
}

SoundRadioGroup::SoundRadioGroup(QWidget* parent, const QString& caption, const QStringList& items, int columns)
    : QGroupBox(caption, parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setSpacing(1);
    const int rows = columns > 0 ? (int(items.size()) + columns - 1) / columns : int(items.size());
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setFocusPolicy(Qt::NoFocus);
        group_.addButton(b, i);
        buttons_.push_back(b);
        grid->addWidget(b, rows ? i % rows : 0, rows ? i / rows : i);
    }
    group_.setExclusive(true);
    connect(&group_, &QButtonGroup::idClicked, this, [this](int) { emit clicked(); });
}

int SoundRadioGroup::itemIndex() const { return group_.checkedId(); }

void SoundRadioGroup::setItemIndex(int index) {
    if (index >= count()) index = count() - 1;
    if (index < 0) {
        group_.setExclusive(false);
        for (auto* b : buttons_) b->setChecked(false);
        group_.setExclusive(true);
        return;
    }
    buttons_[size_t(index)]->setChecked(true);
}

SoundShape::SoundShape(QWidget* parent, int x, int y, int w, int h, Kind kind, uint32_t brush)
    : QWidget(parent), kind_(kind), brush_(brush) {
    setGeometry(x, y, w, h);
}

void SoundShape::setBrushColor(uint32_t color) {
    if (color == brush_) return;
    brush_ = color;
    update();
}

void SoundShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, kind_ != Rectangle);
    p.setPen(QPen(Qt::black, 1));
    if (transparentBrush) p.setBrush(Qt::NoBrush);
    else p.setBrush(spirelo::ColorFromValue(brush_));
    const QRect r = rect().adjusted(0, 0, -1, -1);
    switch (kind_) {
    case Rectangle: p.drawRect(r); break;
    case RoundRect: p.drawRoundedRect(r, 8, 8); break;
    case Circle: p.drawEllipse(r); break;
    }
}

void SoundShape::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    emit mouseDown(e->button(), pt.x(), pt.y());
}

SoundListBox::SoundListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
}

int SoundListBox::TargetAt(int x, int y) const {
    const int half = count() > 0 ? visualItemRect(item(0)).height() / 2 : 0;
    QListWidgetItem* target = itemAt(x, y + half);
    return target ? row(target) : -1;
}

void SoundListBox::SetDropMark(int row) {
    if (row == dropMark_) return;
    dropMark_ = row;
    viewport()->update();
}

// The drop moves the entry itself; the drag only carries a marker, so Qt never removes the
// dragged rows after the drop.
void SoundListBox::startDrag(Qt::DropActions) {
    if (!currentItem()) return;
    auto* drag = new QDrag(this);
    auto* data = new QMimeData();
    data->setData("application/x-spirelo-list-entry", QByteArray::number(currentRow()));
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
    SetDropMark(-2);
}

void SoundListBox::dragEnterEvent(QDragEnterEvent* e) {
    const QPoint p = e->position().toPoint();
    if (dragOver && dragOver(e->source(), p.x(), p.y())) e->acceptProposedAction();
    else e->ignore();
}

void SoundListBox::dragMoveEvent(QDragMoveEvent* e) {
    const QPoint p = e->position().toPoint();
    if (dragOver && dragOver(e->source(), p.x(), p.y())) e->acceptProposedAction();
    else e->ignore();
}

void SoundListBox::dragLeaveEvent(QDragLeaveEvent*) { SetDropMark(-2); }

void SoundListBox::dropEvent(QDropEvent* e) {
    const QPoint p = e->position().toPoint();
    const bool accepted = dragOver && dragOver(e->source(), p.x(), p.y());
    SetDropMark(-2);
    if (!accepted) {
        e->ignore();
        return;
    }
    if (dragDrop) dragDrop(e->source(), p.x(), p.y());
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void SoundListBox::paintEvent(QPaintEvent* e) {
    QListWidget::paintEvent(e);
    if (dropMark_ < -1 || count() == 0) return;
    QRect r;
    if (dropMark_ >= 0 && dropMark_ < count()) {
        r = visualItemRect(item(dropMark_));
    } else {
        const QRect last = visualItemRect(item(count() - 1));
        r = QRect(last.left(), last.bottom() + 1, last.width(), last.height());
    }
    QPainter p(viewport());
    p.fillRect(QRect(r.left(), r.top(), viewport()->width(), 3), Qt::red);
}
