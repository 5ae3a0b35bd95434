#include "ui/FocusStyle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyleOption>

namespace {

void DrawRing(QPainter& painter, const QRectF& rect, const QColor& colour, qreal width) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = width / 2;
    painter.drawRect(rect.adjusted(inset, inset, -inset, -inset));
    painter.restore();
}

}  // namespace

CFocusStyle::CFocusStyle() : QProxyStyle() {}

void CFocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    // As the plain style does: no mark while the mouse alone was used.
    const bool byKeyboard = option->state & State_KeyboardFocusChange;
    if (element == PE_FrameFocusRect) {
        if (!byKeyboard) return;
        // A selected cell is filled with the highlight colour: its ring takes the text's.
        const QColor colour = option->palette.color(
            option->state & State_Selected ? QPalette::HighlightedText : QPalette::Highlight);
        DrawRing(*painter, option->rect, colour, 2);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    // An empty list has no current cell to ring: its frame shows the focus.
    if (element == PE_Frame && byKeyboard && (option->state & State_HasFocus) &&
        qobject_cast<const QAbstractItemView*>(widget)) {
        DrawRing(*painter, option->rect, option->palette.color(QPalette::Highlight), 1);
    }
}

void CFocusStyle::drawControl(ControlElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    // The plain style marks a focused button by the outline it gives the default button too:
    // the ring goes inside, clear of the outline.
    if (element == CE_PushButton && (option->state & State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*option);
        focus.rect = subElementRect(SE_PushButtonFocusRect, option, widget).adjusted(2, 2, -2, -2);
        drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}

void CFocusStyle::Install() {
    if (qobject_cast<CFocusStyle*>(QApplication::style())) return;
    QApplication::setStyle(new CFocusStyle);
}
