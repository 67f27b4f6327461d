// Finds the texts of a window that its controls cut off: a label, check box, radio button,
// button or group title whose text is wider than the room its style draws it in, or that runs
// past the edge of the control's parent. Measured from the style's own rectangles and the
// font's advances, apart from the size hints the windows use to fit their controls.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionToolButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

namespace text_fit_check {

// What a button shows of its text: "&&" is "&", a single "&" marks the mnemonic.
inline QString Shown(const QString& text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

inline QString Describe(const QWidget* w, const QString& text) {
    QString path;
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        QString n = p->objectName().isEmpty() ? QString::fromLatin1(p->metaObject()->className()) : p->objectName();
        path = path.isEmpty() ? n : n + "/" + path;
        if (p->isWindow()) break;
    }
    return path + " \"" + text + "\"";
}

// Spaces after the last visible character take no room that matters.
inline QString Trimmed(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1].isSpace()) --n;
    return s.left(n);
}

// The widest line of a text; a word-wrapped label is judged by its widest word.
inline int Widest(const QFontMetrics& fm, const QString& text, bool wrapped) {
    static const QRegularExpression lines("\n"), words("\\s+");
    int widest = 0;
    for (const QString& s : text.split(wrapped ? words : lines)) widest = std::max(widest, fm.horizontalAdvance(Trimmed(s)));
    return widest;
}

struct Room {
    QRect rect;   // where the text may go, in the control's coordinates
    int need = 0;
    int lead = 0;   // the spaces before the first visible character
    QString text;
};

// The text's room and width, or an empty text when the control shows none.
inline Room Measure(const QWidget* w) {
    Room r;
    const QFontMetrics fm = w->fontMetrics();
    QStyle* st = w->style();
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        if (!l->pixmap().isNull() || l->text().isEmpty()) return r;
        QString text = l->text();
        if (l->textFormat() == Qt::RichText || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
            QTextDocument doc;
            doc.setHtml(text);
            text = doc.toPlainText();
        } else if (l->buddy()) {
            text = Shown(text);
        }
        r.text = text;
        r.need = Widest(fm, text, l->wordWrap());
        int inset = l->margin();
        if (l->indent() > 0) inset += l->indent();
        else if (l->indent() < 0 && l->frameWidth() > 0) inset += fm.horizontalAdvance(u'x') / 2;
        r.rect = l->contentsRect().adjusted(inset, 0, -inset, 0);
        return r;
    }
    if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        if (g->title().isEmpty()) return r;
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.textAlignment = g->alignment();
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        if (g->isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
        opt.features = g->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
        r.text = Shown(g->title());
        r.lead = fm.horizontalAdvance(r.text) - fm.horizontalAdvance(r.text.trimmed()) -
                 (fm.horizontalAdvance(r.text) - fm.horizontalAdvance(Trimmed(r.text)));
        const int trailing = fm.horizontalAdvance(r.text) - fm.horizontalAdvance(Trimmed(r.text));
        // The style's label rectangle is as wide as the title: it must lie inside the box.
        const QRect label = st->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        r.rect = QRect(label.left(), label.top(), std::max(0, std::min(label.width(), g->width() - label.left())),
                       label.height());
        r.need = label.width() - trailing;
        return r;
    }
    auto* b = qobject_cast<const QAbstractButton*>(w);
    if (!b || b->text().isEmpty()) return r;
    r.text = Shown(b->text());
    r.need = Widest(fm, r.text, false);
    if (auto* c = qobject_cast<const QCheckBox*>(b)) {
        QStyleOptionButton opt;
        opt.initFrom(c);
        opt.text = c->text();
        r.rect = st->subElementRect(QStyle::SE_CheckBoxContents, &opt, c);
    } else if (auto* rb = qobject_cast<const QRadioButton*>(b)) {
        QStyleOptionButton opt;
        opt.initFrom(rb);
        opt.text = rb->text();
        r.rect = st->subElementRect(QStyle::SE_RadioButtonContents, &opt, rb);
    } else if (auto* pb = qobject_cast<const QPushButton*>(b)) {
        QStyleOptionButton opt;
        opt.initFrom(pb);
        opt.text = pb->text();
        if (pb->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
        if (pb->isFlat()) opt.features |= QStyleOptionButton::Flat;
        r.rect = st->subElementRect(QStyle::SE_PushButtonContents, &opt, pb);
        if (!pb->icon().isNull()) r.need += pb->iconSize().width() + 4;
    } else if (auto* tb = qobject_cast<const QToolButton*>(b)) {
        if (tb->arrowType() != Qt::NoArrow) return Room{};
        const bool icon = !tb->icon().isNull();
        if (icon && tb->toolButtonStyle() == Qt::ToolButtonIconOnly) return Room{};
        QStyleOptionToolButton opt;
        opt.initFrom(tb);
        const int fw = st->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, tb);
        r.rect = tb->rect().adjusted(fw, fw, -fw, -fw);
        if (icon && tb->toolButtonStyle() == Qt::ToolButtonTextBesideIcon) r.need += tb->iconSize().width() + 4;
        if (tb->popupMode() == QToolButton::MenuButtonPopup)
            r.rect.setWidth(r.rect.width() - st->pixelMetric(QStyle::PM_MenuButtonIndicator, &opt, tb));
    } else {
        r.rect = b->rect();
    }
    return r;
}

// Every control of the window (the window itself included) whose text is cut, described by its
// object path and text, with the widths: "path "text": needs N px, has M".
inline QStringList CutTexts(const QWidget* window) {
    QStringList cut;
    QList<const QWidget*> all{window};
    for (const QWidget* w : window->findChildren<QWidget*>()) all.append(w);
    for (const QWidget* w : all) {
        if (!w->isVisible()) continue;
        const Room r = Measure(w);
        if (r.text.isEmpty()) continue;
        if (r.need > r.rect.width()) {
            cut << Describe(w, r.text) + QString(": needs %1 px, has %2").arg(r.need).arg(r.rect.width());
            continue;
        }
        // A control reaching past its parent's edge loses the part of its text beyond it.
        const QWidget* p = w->parentWidget();
        if (!p || w->isWindow()) continue;
        Qt::Alignment align = Qt::AlignLeft;
        if (auto* l = qobject_cast<const QLabel*>(w)) align = l->alignment();
        else if (qobject_cast<const QPushButton*>(w) || qobject_cast<const QToolButton*>(w)) align = Qt::AlignHCenter;
        int left = r.rect.left();
        if (align & Qt::AlignRight) left = r.rect.right() + 1 - r.need;
        else if (align & Qt::AlignHCenter) left = r.rect.left() + (r.rect.width() - r.need) / 2;
        const int textLeft = w->x() + left, textRight = textLeft + r.need;
        // A text wholly outside its parent is not shown there: the window placed it beyond.
        if (textRight <= 0 || textLeft + r.lead >= p->width()) continue;
        if (textLeft < 0) {
            cut << Describe(w, r.text) + QString(": starts at %1 px in its parent").arg(textLeft);
            continue;
        }
        if (textRight > p->width()) {
            cut << Describe(w, r.text) + QString(": ends at %1 px, its parent at %2").arg(textRight).arg(p->width());
            continue;
        }
        // A neighbour above the text hides it; one below draws through it unless the control
        // paints its own background. A neighbour holding the whole control is its background.
        const int lineHeight = std::min(r.rect.height(), w->fontMetrics().height());
        int top = r.rect.top() + (r.rect.height() - lineHeight) / 2;
        if (align & Qt::AlignTop) top = r.rect.top();
        else if (align & Qt::AlignBottom) top = r.rect.bottom() + 1 - lineHeight;
        const QRect text(textLeft, w->y() + top, r.need, lineHeight);
        bool above = false;
        for (const QObject* o : p->children()) {
            if (o == w) {
                above = true;
                continue;
            }
            auto* s = qobject_cast<const QWidget*>(o);
            if (!s || s->isWindow() || !s->isVisible()) continue;
            if (s->geometry().contains(w->geometry()) || !s->geometry().intersects(text)) continue;
            if (!above && w->autoFillBackground()) continue;
            // An empty label draws nothing; a label under one of the same text is its shade.
            if (auto* l = qobject_cast<const QLabel*>(s))
                if (l->pixmap().isNull() && (l->text().isEmpty() || l->text() == r.text)) continue;
            cut << Describe(w, r.text) + " runs into " + Describe(s, QString());
            break;
        }
    }
    return cut;
}

// The cut texts of the window on each page of its tab widgets in turn, the window shown.
inline QStringList CutTextsOnEveryPage(QWidget* window) {
    window->show();
    QApplication::processEvents();
    QStringList cut = CutTexts(window);
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        const int was = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            // A page inside another tab widget's page shows when that page is current.
            for (QWidget* p = tabs; p && p != window; p = p->parentWidget())
                if (auto* outer = qobject_cast<QTabWidget*>(p->parentWidget() ? p->parentWidget()->parentWidget() : nullptr))
                    if (outer->indexOf(p) >= 0) outer->setCurrentWidget(p);
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            for (const QString& c : CutTexts(window))
                if (!cut.contains(c)) cut << c;
        }
        tabs->setCurrentIndex(was);
    }
    return cut;
}

}  // namespace text_fit_check
