#pragma once

class QAbstractItemModel;
class QFontMetrics;

// The width that fits column of model: the wider of its widest text and its header text, plus
// the cell margins, at least 5 pixels. On long lists only the longest texts are measured:
// measuring is what costs, and a text of fewer characters is not the widest in practice.
int FitColumnWidth(const QAbstractItemModel& model, int column, const QFontMetrics& cells,
                   const QFontMetrics& header);
