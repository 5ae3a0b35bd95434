#include "ui/ListViewEx.h"

#include <QAbstractButton>
#include <QHeaderView>

#include "ui/ColumnWidth.h"
#include "ui/ListModel.h"

CListViewEx::CListViewEx(QWidget* parent) : QTableView(parent), m_ownModel(new CListModel(this)) {
    setModel(m_ownModel);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    // Rows of one height are what keeps a list of 100,000 files cheap to scroll.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The corner button selects every row; a screen reader names it too.
    for (QAbstractButton* corner : findChildren<QAbstractButton*>()) {
        corner->setAccessibleName(QStringLiteral("Select all"));
    }
}

CListViewEx::~CListViewEx() = default;

CListModel* CListViewEx::GetListModel() const {
    return model() == m_ownModel ? m_ownModel : nullptr;
}

int CListViewEx::AddItem(int row, int column, const QString& text) {
    CListModel* list = GetListModel();
    if (!list) return -1;
    if (column == 0) {
        const int index = list->InsertRow(row);
        list->SetText(index, 0, text);
        return index;
    }
    return list->SetText(row, column, text) ? row : -1;
}

void CListViewEx::AutosizeColumns(int column) {
    QAbstractItemModel* items = model();
    if (!items) return;
    const int count = items->columnCount();
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? count - 1 : column;
    setUpdatesEnabled(false);
    const QFontMetrics cells = fontMetrics();
    const QFontMetrics header = horizontalHeader()->fontMetrics();
    for (int c = first; c <= last && c < count; ++c) {
        setColumnWidth(c, FitColumnWidth(*items, c, cells, header));
    }
    setUpdatesEnabled(true);
    viewport()->update();
}

int CListViewEx::GetSelectedIndex() const {
    if (!selectionModel()) return -1;
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) first = index.row();
    }
    return first;
}

void CListViewEx::InsertColumn(int column, const QString& title) {
    if (CListModel* list = GetListModel()) list->InsertColumn(column, title);
}

void CListViewEx::DeleteColumn(int column) {
    if (CListModel* list = GetListModel()) list->DeleteColumn(column);
}

void CListViewEx::SetColumnAlignment(int column, Qt::Alignment alignment) {
    if (CListModel* list = GetListModel()) list->SetColumnAlignment(column, alignment);
}

void CListViewEx::DeleteAllItems() {
    if (CListModel* list = GetListModel()) list->DeleteAllRows();
}

bool CListViewEx::DeleteItem(int row) {
    CListModel* list = GetListModel();
    return list && list->DeleteRow(row);
}

int CListViewEx::GetItemCount() const { return model() ? model()->rowCount() : 0; }

QString CListViewEx::GetItemText(int row, int column) const {
    if (!model()) return {};
    return model()->data(model()->index(row, column), Qt::DisplayRole).toString();
}

bool CListViewEx::SetItemText(int row, int column, const QString& text) {
    CListModel* list = GetListModel();
    return list && list->SetText(row, column, text);
}

bool CListViewEx::SetItemWarning(int row, const QString& text) {
    CListModel* list = GetListModel();
    return list && list->SetWarning(row, text);
}

void CListViewEx::SetHeaderVisible(bool visible) { horizontalHeader()->setVisible(visible); }
