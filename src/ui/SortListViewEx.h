#pragma once

#include <vector>

#include "ui/ListViewEx.h"

// A list whose rows a click on a column header sorts by that column: ascending on a new
// column, alternating on the same one. Rows added afterwards are not placed in order.
class CSortListViewEx : public CListViewEx {
    Q_OBJECT
public:
    // How a column compares; every column is text (case-sensitive), the only type kelto uses.
    enum SortType { kSortNone = 0, kSortText = 1 };
    // Characters of a cell that take part in the comparison.
    static constexpr int kSortKeyLength = 31;

    explicit CSortListViewEx(QWidget* parent = nullptr);

    void InsertColumn(int column, const QString& title) override;
    void DeleteColumn(int column) override;

    // Sorts by column; false when the column does not sort.
    bool SortItems(int column, bool descending);
    void SetColumnSortType(int column, SortType type);
    int GetSortColumn() const { return m_sortColumn; }
    bool IsSortDescending() const { return m_descending; }

signals:
    // After a header click sorted the rows.
    void SortChanged(int newColumn, int oldColumn);

private:
    void OnHeaderClicked(int column);
    void UpdateSortMark();

    int m_sortColumn = -1;
    bool m_descending = false;
    std::vector<SortType> m_sortTypes;
};
