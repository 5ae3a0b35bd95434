#pragma once

#include <QFontMetrics>
#include <QSize>
#include <QString>
#include <QWidget>

// What the dialogs' Qt layouts share: the template's control ids as object names, and sizes in
// characters and lines of a widget's font rather than pixels, so they follow the font and the
// scale.

// Gives control its template id as object name ("ctl1003").
template <class TControl>
TControl* Named(TControl* control, int id) {
    control->setObjectName(QStringLiteral("ctl%1").arg(id));
    return control;
}

// columns average characters by lines lines of widget's font.
inline QSize TextSize(const QWidget& widget, int columns, int lines) {
    const QFontMetrics metrics = widget.fontMetrics();
    return QSize(metrics.averageCharWidth() * columns, metrics.lineSpacing() * lines);
}

// The room between groups of controls: half a line.
inline int GroupGap(const QWidget& widget) { return widget.fontMetrics().lineSpacing() / 2; }
