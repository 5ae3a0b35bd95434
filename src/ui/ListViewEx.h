#pragma once

#include <QTableView>

class CListModel;

// A report-style list: grid lines, movable headers, whole rows selected. It holds its rows in
// a CListModel of its own, unless another model is set (the main window's file list), in which
// case only AutosizeColumns and GetSelectedIndex apply.
class CListViewEx : public QTableView {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);
    ~CListViewEx() override;

    // Column 0 inserts a row at row and returns its index; another column sets the text of a
    // cell of an existing row and returns row, or -1 when there is no such row.
    virtual int AddItem(int row, int column, const QString& text);
    // Fits the given column (every column for -1) to the wider of its texts and its header,
    // at least 5 pixels.
    virtual void AutosizeColumns(int column = -1);
    // The first selected row from the top, or -1.
    int GetSelectedIndex() const;

    virtual void InsertColumn(int column, const QString& title);
    virtual void DeleteColumn(int column);
    void SetColumnAlignment(int column, Qt::Alignment alignment);
    void DeleteAllItems();
    bool DeleteItem(int row);
    int GetItemCount() const;
    QString GetItemText(int row, int column) const;
    // Sets the text of an existing cell, column 0 included; false when there is no such cell.
    bool SetItemText(int row, int column, const QString& text);
    // A warning on the row (CListModel::SetWarning); false for a row that does not exist.
    bool SetItemWarning(int row, const QString& text);
    // Hides the header row (the coder information list has none).
    void SetHeaderVisible(bool visible);

    // The list's own rows; null while another model is set.
    CListModel* GetListModel() const;

private:
    CListModel* m_ownModel;
};
