#include "ui/ListViewEx.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <algorithm>

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
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &CListViewEx::OnSectionResized);
    horizontalHeader()->viewport()->installEventFilter(this);
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
    const QScopedValueRollback sizing(m_sizing, true);
    setUpdatesEnabled(false);
    const QFontMetrics cells = fontMetrics();
    const QFontMetrics header = horizontalHeader()->fontMetrics();
    const int yielding = YieldingColumn();
    for (int c = first; c <= last && c < count; ++c) {
        const auto user = m_userWidths.find(c);
        if (user != m_userWidths.end()) {
            // A model reset forgets the header's widths; the user's come back.
            setColumnWidth(c, user->second);
            continue;
        }
        int width = FitColumnWidth(*items, c, cells, header);
        const QVariant most = items->headerData(c, Qt::Horizontal, kMostCharactersRole);
        if (most.isValid()) width = std::min(width, cells.averageCharWidth() * most.toInt());
        if (c == yielding) m_fittedYielding = width;
        setColumnWidth(c, width);
    }
    FitYieldingColumn();
    setUpdatesEnabled(true);
    viewport()->update();
}

void CListViewEx::OnSectionResized(int column, int /*oldWidth*/, int newWidth) {
    // Widths change for many reasons (a model reset, a column added); only one that changes
    // while the user holds a mouse button on the header is the user's.
    if (m_sizing || !m_dragging) return;
    m_userWidths[column] = newWidth;
}

bool CListViewEx::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            m_dragging = true;
        } else if (type == QEvent::MouseButtonRelease) {
            m_dragging = false;
        }
    }
    return QTableView::eventFilter(watched, event);
}

int CListViewEx::YieldingColumn() const {
    const QAbstractItemModel* items = model();
    if (!items) return -1;
    for (int c = 0; c < items->columnCount(); ++c) {
        if (items->headerData(c, Qt::Horizontal, kYieldingColumnRole).toBool()) return c;
    }
    return -1;
}

void CListViewEx::FitYieldingColumn() {
    const int yielding = YieldingColumn();
    if (yielding < 0 || m_fittedYielding < 0 || m_userWidths.count(yielding) != 0) return;
    int others = 0;
    for (int c = 0; c < model()->columnCount(); ++c) {
        if (c != yielding && !isColumnHidden(c)) others += columnWidth(c);
    }
    const int room = viewport()->width() - others;
    // Never so narrow that a name cannot be told from the next.
    const int least = fontMetrics().averageCharWidth() * 12;
    const QScopedValueRollback sizing(m_sizing, true);
    setColumnWidth(yielding, std::max(least, std::min(m_fittedYielding, room)));
}

void CListViewEx::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitYieldingColumn();
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
