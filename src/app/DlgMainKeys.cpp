// The main window's keys beyond its menus' shortcuts.
#include <QMenuBar>
#include <QShortcut>

#include "app/DlgMain.h"
#include "ui/EnterGuard.h"

void CDlgMain::SetUpKeys() {
    new CEnterGuard(this);
    // F10 opens the first menu, as in other desktop programs.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QList<QAction*> menus = m_menuBar->actions();
        if (menus.isEmpty()) return;
        m_menuBar->setFocus(Qt::MenuBarFocusReason);
        m_menuBar->setActiveAction(menus.front());
    });
}
