#include "app/MenuBuilder.h"

#include "ui/QtText.h"

void CMenuBuilder::FillMenuBar(QMenuBar& bar, const LanguageMenu& menu) const {
    for (const LanguageMenuItem& item : menu.items) {
        if (item.kind != LanguageMenuItem::Kind::Popup) continue;
        QMenu* popup = bar.addMenu(ToQString(item.text));
        popup->setObjectName(QStringLiteral("menu_") + WithoutMnemonic(ToQString(item.text)));
        FillMenu(*popup, item.children);
    }
}

void CMenuBuilder::FillMenu(QMenu& target, const std::vector<LanguageMenuItem>& items) const {
    for (const LanguageMenuItem& item : items) {
        switch (item.kind) {
            case LanguageMenuItem::Kind::Separator:
                target.addSeparator();
                break;
            case LanguageMenuItem::Kind::Popup: {
                QMenu* popup = target.addMenu(ToQString(item.text));
                FillMenu(*popup, item.children);
                break;
            }
            case LanguageMenuItem::Kind::Command: {
                QAction* action = target.addAction(ToQString(item.text));
                action->setObjectName(QStringLiteral("cmd%1").arg(item.id));
                const int id = static_cast<int>(item.id);
                if (m_shortcutOf) action->setShortcut(m_shortcutOf(id));
                CommandHandler handler = m_onCommand;
                QObject::connect(action, &QAction::triggered, action,
                                 [handler, id] { handler(id); });
                break;
            }
        }
    }
}
