#pragma once

#include <Qt>

class QAbstractItemModel;
class QFontMetrics;

// The width that fits column of model: the wider of its widest text and its header text, plus
// the cell margins, at least 5 pixels. On long lists only the longest texts are measured:
// measuring is what costs, and a text of fewer characters is not the widest in practice.
// A column whose header answers kWidestTextRole is measured by that text alone.
int FitColumnWidth(const QAbstractItemModel& model, int column, const QFontMetrics& cells,
                   const QFontMetrics& header);

// Header roles a model may answer to shape its columns' widths:
// the widest text a column can ever show (a column of a few fixed words), measured instead of
// its cells;
constexpr int kWidestTextRole = Qt::UserRole + 1;
// true for the one column that gives way, so the columns after it stay in view: it is never
// made wider than what the others leave of the view (its texts are elided).
constexpr int kYieldingColumnRole = Qt::UserRole + 2;
// the most average characters a column is fitted to (longer texts are elided), so that one
// long text does not push the columns after it out of view.
constexpr int kMostCharactersRole = Qt::UserRole + 3;
