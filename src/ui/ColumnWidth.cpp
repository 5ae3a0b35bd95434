#include "ui/ColumnWidth.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Texts measured per column, longest first.
constexpr std::size_t kMeasured = 48;
// Room for the cell's own margins and the grid line.
constexpr int kCellPadding = 12;
// The header also draws the sort mark.
constexpr int kHeaderPadding = 24;
constexpr int kMinimumWidth = 5;

}  // namespace

int FitColumnWidth(const QAbstractItemModel& model, int column, const QFontMetrics& cells,
                   const QFontMetrics& header) {
    const QString title = model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    const int headerWidth = header.horizontalAdvance(title) + kHeaderPadding;
    const QVariant widest = model.headerData(column, Qt::Horizontal, kWidestTextRole);
    if (widest.isValid()) {
        return std::max({cells.horizontalAdvance(widest.toString()) + kCellPadding, headerWidth,
                         kMinimumWidth});
    }
    const int rows = model.rowCount();
    std::vector<std::pair<qsizetype, QString>> texts;
    texts.reserve(static_cast<std::size_t>(std::min(rows, 4096)));
    qsizetype shortest = 0;  // the length below which a text cannot enter the measured set
    for (int row = 0; row < rows; ++row) {
        QString text = model.data(model.index(row, column), Qt::DisplayRole).toString();
        if (text.size() < shortest) continue;
        texts.emplace_back(text.size(), std::move(text));
        if (texts.size() >= 4 * kMeasured) {
            // Keep the longest few; the rest can never be the widest set.
            std::nth_element(texts.begin(), texts.begin() + kMeasured, texts.end(),
                             [](const auto& a, const auto& b) { return a.first > b.first; });
            texts.resize(kMeasured);
            shortest =
                std::min_element(texts.begin(), texts.end(), [](const auto& a, const auto& b) {
                    return a.first < b.first;
                })->first;
        }
    }
    int width = 0;
    for (const auto& entry : texts) width = std::max(width, cells.horizontalAdvance(entry.second));
    return std::max({width + kCellPadding, headerWidth, kMinimumWidth});
}
