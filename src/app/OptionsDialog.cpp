#include "app/OptionsDialog.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "app/OptionsPageImpl.h"
#include "settings/SettingsSet.h"
#include "ui/DialogLayout.h"

namespace {

constexpr int kTemplate = 223;
constexpr int kTextTitle = 132;
constexpr int kTextCancel = 124;
constexpr int kMaxTitleLength = 199;
constexpr int kPageRole = Qt::UserRole;

}  // namespace

COptionsDialog::COptionsDialog(CSettingsSet* settings, const CLanguageManager* language,
                               QWidget* owner)
    : QDialog(owner), CDlgSettingsImpl(settings), CDlgLanguageImpl(language) {
    setObjectName(QStringLiteral("dlg%1").arg(kTemplate));
    setWindowTitle(GetString(kTextTitle));
    m_tree = Named(new QTreeWidget(this), 1020);
    m_tree->setAccessibleName(GetString(kTextTitle));
    m_tree->setHeaderHidden(true);
    // Marks where the pages go, beside the tree; it shows nothing itself. Its size is the
    // smallest a page gets, so most pages fit without the dialog growing.
    m_pageArea = Named(new QWidget(this), -1);
    m_pageArea->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pageArea->setMinimumSize(TextSize(*this, 64, 20));
    auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), 1);
    ok->setDefault(true);
    auto* cancel = Named(new QPushButton(GetString(kTextCancel), this), 2);
    cancel->setAutoDefault(false);
    // Both buttons as wide as the wider text.
    const int buttonWidth = std::max(ok->sizeHint().width(), cancel->sizeHint().width());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {ok, cancel}) {
        button->setMinimumWidth(buttonWidth);
        buttons->addWidget(button);
    }
    m_grid = new QGridLayout(this);
    m_grid->addWidget(m_tree, 0, 0);
    m_grid->addWidget(m_pageArea, 0, 1);
    m_grid->addLayout(buttons, 1, 0, 1, 2);
    m_grid->setColumnStretch(1, 1);
    m_grid->setRowStretch(0, 1);
    // Grows when a page needs more room than the dialog has.
    m_grid->setSizeConstraint(QLayout::SetMinimumSize);
    connect(ok, &QPushButton::clicked, this, &COptionsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &COptionsDialog::reject);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { OnSelectionChanged(item); });
}

COptionsDialog::~COptionsDialog() { DestroyPages(); }

void COptionsDialog::AddPage(std::unique_ptr<COptionsPage> page) {
    page->SetSettings(GetSettings());
    m_pages.push_back(std::move(page));
}

COptionsPage* COptionsDialog::GetPage(int index) const {
    if (index < 0 || index >= static_cast<int>(m_pages.size())) return nullptr;
    return m_pages[static_cast<std::size_t>(index)].get();
}

int COptionsDialog::exec() {
    FillTree();
    return QDialog::exec();
}

void COptionsDialog::FillTree() {
    const QSignalBlocker block(m_tree);
    m_tree->clear();
    QTreeWidgetItem* initial = nullptr;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        const QString title =
            WithoutMnemonic(ToQString(m_pages[i]->GetTitle())).left(kMaxTitleLength);
        QTreeWidgetItem* item = InsertTitle(title);
        item->setData(0, kPageRole, static_cast<int>(i));
        if (static_cast<int>(i) == m_initialPage) initial = item;
    }
    // Branches are drawn only where a title has levels.
    bool levels = false;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        levels = levels || m_tree->topLevelItem(i)->childCount() > 0;
    m_tree->setRootIsDecorated(levels);
    // As wide as the longest title at its depth, no wider.
    int widest = TextSize(*this, 16, 0).width();
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        int depth = levels ? 1 : 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent()) ++depth;
        widest = std::max(widest, m_tree->fontMetrics().horizontalAdvance((*it)->text(0)) +
                                      depth * m_tree->indentation());
    }
    m_tree->setFixedWidth(widest + 2 * m_tree->frameWidth() + TextSize(*this, 2, 0).width() +
                          m_tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_tree->setCurrentItem(nullptr);
    m_tree->clearSelection();
    if (!initial) return;
    m_tree->setCurrentItem(initial);
    OnSelectionChanged(initial);
}

QTreeWidgetItem* COptionsDialog::InsertTitle(const QString& title) {
    QTreeWidgetItem* parent = nullptr;
    QTreeWidgetItem* item = nullptr;
    for (const QString& level : title.split(QLatin1Char('\\'))) {
        item = nullptr;
        const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
        for (int i = 0; i < count && !item; ++i) {
            QTreeWidgetItem* sibling = parent ? parent->child(i) : m_tree->topLevelItem(i);
            if (sibling->text(0) == level) item = sibling;
        }
        if (!item) {
            item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
            item->setText(0, level);
            item->setData(0, kPageRole, -1);
            if (parent) parent->setExpanded(true);
        }
        parent = item;
    }
    return item;
}

void COptionsDialog::OnSelectionChanged(QTreeWidgetItem* item) {
    if (!item) return;
    const int index = item->data(0, kPageRole).toInt();
    if (GetPage(index)) ShowPage(index);
}

void COptionsDialog::ShowPage(int index) {
    if (COptionsPage* shown = GetPage(m_currentPage)) shown->Show(false);
    COptionsPage* page = GetPage(index);
    if (!page->GetWindow()) {
        page->Create(this, m_tree);
        // In the page area's cell: the page takes the area's place and size.
        m_grid->addWidget(page->GetWindow(), 0, 1);
        page->OnCreated();
    }
    page->Show(true);
    m_currentPage = index;
}

void COptionsDialog::accept() {
    for (const auto& page : m_pages) page->Apply();
    if (m_currentPage >= 0) GetSettings()->OptionsInitialPage = m_currentPage;
    DestroyPages();
    QDialog::accept();
}

void COptionsDialog::reject() {
    for (const auto& page : m_pages) page->Cancel();
    DestroyPages();
    QDialog::reject();
}

void COptionsDialog::DestroyPages() {
    for (const auto& page : m_pages) page->Destroy();
    m_currentPage = -1;
}
