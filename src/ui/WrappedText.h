#pragma once

#include <QFontMetrics>
#include <QString>

// text broken at spaces into lines no wider than width pixels in metrics' font, for controls
// that do not wrap by themselves (check boxes). A word wider than width gets a line of its own.
QString WrappedText(const QString& text, const QFontMetrics& metrics, int width);
