#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "app/OptionsPage.h"
#include "ui/DlgLanguageImpl.h"
#include "ui/DlgSettingsImpl.h"

class QGridLayout;
class QTreeWidget;
class QTreeWidgetItem;

// The Options dialog: a tree of page titles beside the page area. A page's window is made the
// first time its item is selected; OK applies every page that has a window and remembers the
// page shown last in OptionsInitialPage, Cancel changes nothing.
class COptionsDialog final : public QDialog, public CDlgSettingsImpl, public CDlgLanguageImpl {
    Q_OBJECT
public:
    COptionsDialog(CSettingsSet* settings, const CLanguageManager* language, QWidget* owner);
    ~COptionsDialog() override;

    // Appends a page; its index is the number of pages added before it. It receives the
    // settings set.
    void AddPage(std::unique_ptr<COptionsPage> page);
    // The page to select when the dialog opens; an index that names no page selects nothing.
    void SetInitialPage(int index) { m_initialPage = index; }

    int exec() override;
    void accept() override;
    void reject() override;

    QTreeWidget* GetTree() const { return m_tree; }
    // The page shown now, -1 before any.
    int GetCurrentPage() const { return m_currentPage; }
    COptionsPage* GetPage(int index) const;

private:
    // Builds the tree from the page titles and selects the initial page.
    void FillTree();
    QTreeWidgetItem* InsertTitle(const QString& title);
    void OnSelectionChanged(QTreeWidgetItem* item);
    void ShowPage(int index);
    void DestroyPages();

    std::vector<std::unique_ptr<COptionsPage>> m_pages;
    int m_initialPage = -1;
    int m_currentPage = -1;
    QTreeWidget* m_tree = nullptr;
    QWidget* m_pageArea = nullptr;
    QGridLayout* m_grid = nullptr;
};
