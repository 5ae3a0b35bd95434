#include "ui/ListModel.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <algorithm>

namespace {

// The alignment as a plain int, which views read as well as Qt::Alignment. A QVariant of
// Qt::Alignment would register that type's description from this code; in a plug-in that is
// unloaded, the registration outlives the library, and the next view that asks for the type
// reads the unloaded memory.
QVariant AlignmentValue(Qt::Alignment alignment) {
    return static_cast<int>(alignment | Qt::AlignVCenter);
}

}  // namespace

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return GetText(index.row(), index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        return AlignmentValue(m_alignments[static_cast<std::size_t>(index.column())]);
    }
    const QString& warning = m_rows[static_cast<std::size_t>(index.row())].Warning;
    if (warning.isEmpty()) return {};
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) return warning;
    if (role == Qt::DecorationRole && index.column() == 0) {
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    }
    return {};
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return m_titles[section];
    if (role == Qt::TextAlignmentRole) {
        return AlignmentValue(m_alignments[static_cast<std::size_t>(section)]);
    }
    return {};
}

void CListModel::InsertColumn(int column, const QString& title) {
    column = std::clamp(column, 0, columnCount());
    beginInsertColumns({}, column, column);
    m_titles.insert(column, title);
    m_alignments.insert(m_alignments.begin() + column, Qt::AlignLeft);
    for (Row& row : m_rows) {
        while (row.Cells.size() < column) row.Cells << QString();
        row.Cells.insert(column, QString());
    }
    endInsertColumns();
}

void CListModel::DeleteColumn(int column) {
    if (column < 0 || column >= columnCount()) return;
    beginRemoveColumns({}, column, column);
    m_titles.removeAt(column);
    m_alignments.erase(m_alignments.begin() + column);
    for (Row& row : m_rows) {
        if (column < row.Cells.size()) row.Cells.removeAt(column);
    }
    endRemoveColumns();
}

void CListModel::SetColumnAlignment(int column, Qt::Alignment alignment) {
    if (column < 0 || column >= columnCount()) return;
    m_alignments[static_cast<std::size_t>(column)] = alignment;
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (!m_rows.empty()) emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

int CListModel::InsertRow(int row) {
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, Row());
    endInsertRows();
    return row;
}

bool CListModel::SetText(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return false;
    QStringList& cells = m_rows[static_cast<std::size_t>(row)].Cells;
    while (cells.size() <= column) cells << QString();
    if (cells[column] == text) return true;
    cells[column] = text;
    emit dataChanged(index(row, column), index(row, column));
    return true;
}

QString CListModel::GetText(int row, int column) const {
    if (row < 0 || row >= rowCount()) return {};
    const QStringList& cells = m_rows[static_cast<std::size_t>(row)].Cells;
    return column >= 0 && column < cells.size() ? cells[column] : QString();
}

bool CListModel::SetWarning(int row, const QString& text) {
    if (row < 0 || row >= rowCount()) return false;
    m_rows[static_cast<std::size_t>(row)].Warning = text;
    if (columnCount() > 0) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    return true;
}

QString CListModel::GetWarning(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return m_rows[static_cast<std::size_t>(row)].Warning;
}

bool CListModel::DeleteRow(int row) {
    if (row < 0 || row >= rowCount()) return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

void CListModel::DeleteAllRows() {
    if (m_rows.empty()) return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void CListModel::ReorderRows(const std::vector<int>& order) {
    if (order.size() != m_rows.size()) return;
    emit layoutAboutToBeChanged();
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    for (int old : order) rows.push_back(std::move(m_rows[static_cast<std::size_t>(old)]));
    m_rows = std::move(rows);
    emit layoutChanged();
}
