#pragma once

#include <QTableView>
#include <unordered_map>

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
    // at least 5 pixels. A column whose width the user set by dragging keeps it; the column
    // the model marks as yielding (kYieldingColumnRole) is no wider than the rest leave.
    virtual void AutosizeColumns(int column = -1);
    // Forgets the widths the user set (a list of other columns).
    void ForgetUserWidths() { m_userWidths.clear(); }
    bool HasUserWidth(int column) const { return m_userWidths.count(column) != 0; }
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

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSectionResized(int column, int oldWidth, int newWidth);
    int YieldingColumn() const;
    // Fits the yielding column into what the view's other columns leave of its width.
    void FitYieldingColumn();

    CListModel* m_ownModel;
    std::unordered_map<int, int> m_userWidths;  // by the model's column
    int m_fittedYielding = -1;                  // the yielding column's width for its texts
    bool m_sizing = false;                      // the widths change by the program, not by the user
    bool m_dragging = false;                    // a mouse button is down on the header
};
