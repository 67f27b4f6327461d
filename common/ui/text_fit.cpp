#include "common/ui/text_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

namespace spirelo {

namespace {

// Controls whose one-line text sets the width they need; word-wrapped labels, pictures and
// icon-only buttons are left as they are.
bool ShowsOneLineText(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w))
        return !l->text().isEmpty() && l->pixmap().isNull() && !l->wordWrap();
    if (auto* t = qobject_cast<const QToolButton*>(w))
        return !t->text().isEmpty() && t->arrowType() == Qt::NoArrow &&
               (t->icon().isNull() || t->toolButtonStyle() == Qt::ToolButtonTextOnly);
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return !b->text().isEmpty();
    return false;
}

// The width the control needs to show its text whole. A tool button's size hint adds margins
// beyond its frame that a packed row of the documents' buttons has no room for.
int Needed(const QWidget* w) {
    if (auto* t = qobject_cast<const QToolButton*>(w)) {
        QString shown = t->text();
        shown.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
        return t->fontMetrics().horizontalAdvance(shown) + 2 * t->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, t);
    }
    return w->sizeHint().width();
}

// A tab widget lays its pages out only when shown: the width they will have, from the style.
int ParentWidth(const QWidget* p) {
    auto* stack = qobject_cast<const QStackedWidget*>(p->parentWidget());
    auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs) return p->width();
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(tabs);
    opt.lineWidth = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    opt.shape = tabs->tabShape() == QTabWidget::Rounded ? QTabBar::RoundedNorth : QTabBar::TriangularNorth;
    opt.tabBarSize = tabs->tabBar()->sizeHint();
    return tabs->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &opt, tabs).width();
}

// The rows of the control its one line of text takes, centred as the controls draw it.
QRect TextRow(const QWidget* w) {
    const QRect g = w->geometry();
    const int h = std::min(g.height(), w->fontMetrics().height());
    return QRect(g.left(), g.top() + (g.height() - h) / 2, g.width(), h);
}

// How far right of its left edge the control's text may reach: to its parent's edge or the
// nearest neighbour to the right of its text row, whether it overlaps the control already or
// not (one that holds the whole control is its background).
int Room(const QWidget* w) {
    const QWidget* p = w->parentWidget();
    const QRect g = w->geometry(), row = TextRow(w);
    int limit = ParentWidth(p);
    for (const QObject* o : p->children()) {
        auto* s = qobject_cast<const QWidget*>(o);
        if (!s || s == w || s->isWindow() || s->isHidden()) continue;
        const QRect sg = s->geometry();
        if (sg.contains(g)) continue;
        // An empty label draws nothing; a label under one of the same text is its shade.
        if (auto* l = qobject_cast<const QLabel*>(s))
            if (l->pixmap().isNull() && (l->text().isEmpty() || l->text() == w->property("text").toString())) continue;
        if (sg.top() <= row.bottom() && sg.bottom() >= row.top() && sg.left() > g.left()) limit = std::min(limit, sg.left());
    }
    return limit - g.left();
}

}  // namespace

void FitTexts(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->parentWidget() || w->isHidden() || !ShowsOneLineText(w)) continue;
        // A layout gives its controls their sizes.
        if (QLayout* l = w->parentWidget()->layout(); l && l->indexOf(w) >= 0) continue;
        int need = Needed(w);
        const int room = Room(w);
        if (need <= w->width() && need <= room) continue;
        if (need > room) {
            QFont f = w->font();
            if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() - 1);
            else f.setPixelSize(f.pixelSize() - 1);
            w->setFont(f);
            need = Needed(w);
        }
        if (need > w->width()) w->resize(std::min(need, std::max(room, w->width())), w->height());
    }
}

}  // namespace spirelo
