// Small makers of the sequencer window's controls at their documented places. Texts are UTF-8;
// a control is widened to its text where the documented width is too narrow.
#pragma once

#include "sequencer/scene_editor.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include <algorithm>
#include <string>

namespace page_controls {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

// Row numbers of the area pages: "01".."09", then as they are.
inline QString TwoDigitNumber(int n) { return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n); }

inline spirelo::AreaButton ToAreaButton(Qt::MouseButton b) {
    if (b == Qt::LeftButton) return spirelo::AreaButton::Left;
    if (b == Qt::RightButton) return spirelo::AreaButton::Right;
    return spirelo::AreaButton::Other;
}

template <class W>
W* Put(W* w, QWidget* parent, const QString& name, int x, int y, int width, int height) {
    w->setParent(parent);
    w->setObjectName(name);
    w->setGeometry(x, y, width, height);
    return w;
}

inline QToolButton* Button(QWidget* parent, const QString& name, const char* caption, const char* hint, int x,
                           int y, int width) {
    auto* b = Put(new QToolButton, parent, name, x, y, width, 22);
    b->setText(QString::fromUtf8(caption));
    b->setToolTip(QString::fromUtf8(hint));
    b->setFocusPolicy(Qt::NoFocus);
    b->resize(std::max(width, b->sizeHint().width()), 22);
    return b;
}

inline QScrollBar* HBar(QWidget* parent, const QString& name, const char* hint, int min, int max, int value,
                        int x, int y, int width) {
    auto* s = Put(new QScrollBar(Qt::Horizontal), parent, name, x, y, width, 16);
    s->setRange(min, max);
    s->setValue(value);
    s->setToolTip(QString::fromUtf8(hint));
    return s;
}

}  // namespace page_controls
