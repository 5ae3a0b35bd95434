#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

// The rows of text behind a CListViewEx: what a report-style list control holds itself.
class CListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void InsertColumn(int column, const QString& title);
    void DeleteColumn(int column);
    void SetColumnAlignment(int column, Qt::Alignment alignment);
    // Inserts an empty row at row (clamped to the list); its index.
    int InsertRow(int row);
    bool SetText(int row, int column, const QString& text);
    QString GetText(int row, int column) const;
    // Marks the row with a warning: an icon before its first cell, and the text as the tooltip
    // and accessible description of its cells. An empty text takes the mark away.
    bool SetWarning(int row, const QString& text);
    QString GetWarning(int row) const;
    bool DeleteRow(int row);
    void DeleteAllRows();
    // Puts the rows in the order given: order[i] is the old index of the new row i.
    void ReorderRows(const std::vector<int>& order);

private:
    QStringList m_titles;
    std::vector<Qt::Alignment> m_alignments;
    struct Row {
        QStringList Cells;
        QString Warning;
    };
    std::vector<Row> m_rows;
};
