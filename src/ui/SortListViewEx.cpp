#include "ui/SortListViewEx.h"

#include <QApplication>
#include <QHeaderView>
#include <algorithm>
#include <utility>

#include "ui/ListModel.h"

CSortListViewEx::CSortListViewEx(QWidget* parent) : CListViewEx(parent) {
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CSortListViewEx::OnHeaderClicked);
}

void CSortListViewEx::InsertColumn(int column, const QString& title) {
    const int count = static_cast<int>(m_sortTypes.size());
    if (column < 0 || column > count) column = count;
    CListViewEx::InsertColumn(column, title);
    m_sortTypes.insert(m_sortTypes.begin() + column, kSortText);
    if (m_sortColumn >= column) ++m_sortColumn;
    UpdateSortMark();
}

void CSortListViewEx::DeleteColumn(int column) {
    if (column < 0 || column >= static_cast<int>(m_sortTypes.size())) return;
    CListViewEx::DeleteColumn(column);
    m_sortTypes.erase(m_sortTypes.begin() + column);
    if (m_sortColumn == column) {
        m_sortColumn = -1;
    } else if (m_sortColumn > column) {
        --m_sortColumn;
    }
    UpdateSortMark();
}

void CSortListViewEx::SetColumnSortType(int column, SortType type) {
    if (column >= 0 && column < static_cast<int>(m_sortTypes.size())) {
        m_sortTypes[static_cast<std::size_t>(column)] = type;
    }
}

void CSortListViewEx::OnHeaderClicked(int column) {
    const bool descending = column == m_sortColumn && !m_descending;
    const int previous = m_sortColumn;
    if (SortItems(column, descending)) emit SortChanged(column, previous);
}

bool CSortListViewEx::SortItems(int column, bool descending) {
    if (column < 0 || column >= static_cast<int>(m_sortTypes.size()) ||
        m_sortTypes[static_cast<std::size_t>(column)] == kSortNone) {
        return false;
    }
    CListModel* list = GetListModel();
    if (list && list->rowCount() >= 2) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Keys are cut once, before the comparisons, as the list control did with its buffer.
        std::vector<std::pair<QString, int>> keys;
        keys.reserve(static_cast<std::size_t>(list->rowCount()));
        for (int row = 0; row < list->rowCount(); ++row) {
            keys.emplace_back(list->GetText(row, column).left(kSortKeyLength), row);
        }
        std::stable_sort(keys.begin(), keys.end(), [descending](const auto& a, const auto& b) {
            const int order = QString::localeAwareCompare(a.first, b.first);
            return descending ? order > 0 : order < 0;
        });
        std::vector<int> order;
        order.reserve(keys.size());
        for (const auto& key : keys) order.push_back(key.second);
        list->ReorderRows(order);
        QApplication::restoreOverrideCursor();
    }
    m_sortColumn = column;
    m_descending = descending;
    UpdateSortMark();
    return true;
}

void CSortListViewEx::UpdateSortMark() {
    QHeaderView* header = horizontalHeader();
    header->setSortIndicatorShown(m_sortColumn >= 0);
    if (m_sortColumn >= 0) {
        header->setSortIndicator(m_sortColumn,
                                 m_descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
}
