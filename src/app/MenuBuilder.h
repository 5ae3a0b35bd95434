#pragma once

#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "lang/LanguageTable.h"

// Qt menus from a language library's menu: every command becomes an action whose triggered
// signal calls onCommand with the command id; the action's object name is "cmd<id>". A
// command that shortcutOf gives keys gets them, shown beside its text.
class CMenuBuilder {
public:
    using CommandHandler = std::function<void(int commandId)>;
    using ShortcutLookup = std::function<QKeySequence(int commandId)>;

    explicit CMenuBuilder(CommandHandler onCommand, ShortcutLookup shortcutOf = {})
        : m_onCommand(std::move(onCommand)), m_shortcutOf(std::move(shortcutOf)) {}

    // Top-level popups of menu become the bar's menus.
    void FillMenuBar(QMenuBar& bar, const LanguageMenu& menu) const;
    // The entries of items go into target.
    void FillMenu(QMenu& target, const std::vector<LanguageMenuItem>& items) const;

private:
    CommandHandler m_onCommand;
    ShortcutLookup m_shortcutOf;
};
