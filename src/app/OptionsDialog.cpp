#include "app/OptionsDialog.h"

#include <QPushButton>
#include <QTreeWidget>

#include "app/OptionsPageImpl.h"
#include "settings/SettingsSet.h"
#include "ui/TemplateLayout.h"

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
    auto* layout = new CTemplateLayout(this, 373, 266);
    m_tree = new QTreeWidget(this);
    m_tree->setAccessibleName(GetString(kTextTitle));
    m_tree->setHeaderHidden(true);
    layout->AddControl(m_tree, 1020, 7, 7, 110, 230);
    // Marks where the pages go; it shows nothing itself.
    m_pageArea = new QWidget(this);
    m_pageArea->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->AddControl(m_pageArea, -1, 123, 7, COptionsPageImpl::kPageWidth,
                      COptionsPageImpl::kPageHeight);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    layout->AddControl(ok, 1, 259, 245, 50, 14);
    auto* cancel = new QPushButton(GetString(kTextCancel), this);
    cancel->setAutoDefault(false);
    layout->AddControl(cancel, 2, 316, 245, 50, 14);
    setFixedSize(layout->minimumSize());
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
        const QString title = ToQString(m_pages[i]->GetTitle()).left(kMaxTitleLength);
        QTreeWidgetItem* item = InsertTitle(title);
        item->setData(0, kPageRole, static_cast<int>(i));
        if (static_cast<int>(i) == m_initialPage) initial = item;
    }
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
    layout()->activate();
    const QRect area = m_pageArea->geometry();
    if (COptionsPage* shown = GetPage(m_currentPage)) shown->Show(false);
    COptionsPage* page = GetPage(index);
    if (!page->GetWindow()) {
        page->Create(this, area, m_tree);
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
