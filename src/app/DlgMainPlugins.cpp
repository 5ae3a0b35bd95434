// The main window's plug-ins: loading them with their menu, their commands, and the Options
// dialog that lists them.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "app/DlgMain.h"
#include "app/OptionsDialog.h"
#include "app/OptionsPageConversion.h"
#include "app/OptionsPageCore.h"
#include "app/OptionsPageDatabase.h"
#include "app/OptionsPageGeneral.h"
#include "app/OptionsPagePlugins.h"
#include "core/ProcessPriority.h"
#include "fileinfo/FileInfo.h"

namespace {
constexpr int kTextPlugins = 116;
constexpr int kPluginMenuPosition = 2;
}  // namespace

void CDlgMain::LoadPlugins() {
    auto* menu = new QMenu(GetString(kTextPlugins), m_menuBar);
    menu->setObjectName(QStringLiteral("menuPlugins"));
    const bool found = m_plugins.LoadPlugins(m_workingFolder->GetPluginsFolder(), GetLanguage(),
                                             m_services.MessageBoxes);
    for (int i = 0; i < m_plugins.GetCount(); ++i) {
        QAction* action = menu->addAction(ToQString(m_plugins.GetAt(i)->GetName()));
        const int command = kFirstPluginCommand + i;
        action->setObjectName(QStringLiteral("cmd%1").arg(command));
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    }
    // Libraries that all failed still leave their (empty) menu.
    if (!found) {
        delete menu;
        return;
    }
    m_pluginMenu = menu;
    const QList<QAction*> bar = m_menuBar->actions();
    QAction* before = bar.size() > kPluginMenuPosition ? bar[kPluginMenuPosition] : nullptr;
    m_menuBar->insertMenu(before, m_pluginMenu);
}

void CDlgMain::OnPluginCommand(int index) {
    if (const CPlugin* plugin = m_plugins.GetAt(index)) plugin->ShowDialog(static_cast<QWidget*>(this));
}

void CDlgMain::OnOptions() {
    QWidget* owner = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    COptionsDialog dialog(&m_settingsSet, GetLanguage(), owner);
    dialog.AddPage(std::make_unique<COptionsPageGeneral>(GetLanguage(), m_services.Choosers));
    dialog.AddPage(std::make_unique<COptionsPageCore>(GetLanguage()));
    dialog.AddPage(std::make_unique<COptionsPagePlugins>(GetLanguage(), m_plugins));
    auto database = std::make_unique<COptionsPageDatabase>(GetLanguage());
    const CDatabase& base = m_catalogue.GetDatabase();
    database->SetDatabaseInfo(static_cast<int>(base.GetCount()), base.GetDate());
    dialog.AddPage(std::move(database));
    auto conversion = std::make_unique<COptionsPageConversion>(GetLanguage());
    const std::vector<int> selected = GetSelectedRows();
    if (const CFileInfo* first = selected.empty() ? nullptr : m_files.Get(selected.front())) {
        conversion->SetExampleSource(first->Path, m_conversion.GetOutputExtension(GetChoice()));
    }
    dialog.AddPage(std::move(conversion));
    dialog.SetInitialPage(m_settingsSet.OptionsInitialPage);
    if (dialog.exec() != QDialog::Accepted) return;
    // A Priority outside the list leaves the core's priority as it is.
    const int priorityClass = PriorityClassForIndex(m_settingsSet.Core.Priority);
    if (priorityClass != -1) m_core.SetPriority(priorityClass);
    m_core.SetThreadsCount(m_settingsSet.Core.ThreadsCount);
}
