#include "app/MenuShortcuts.h"

#include "app/DlgMain.h"

QKeySequence MenuShortcut(int commandId) {
    switch (commandId) {
        case CDlgMain::kCmdAddFile:
        case CDlgMain::kCmdContextAddFile:
            return QKeySequence(Qt::CTRL | Qt::Key_O);
        case CDlgMain::kCmdAddFolder:
        case CDlgMain::kCmdContextAddFolder:
            return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O);
        case CDlgMain::kCmdLoadList:
            return QKeySequence(Qt::CTRL | Qt::Key_L);
        case CDlgMain::kCmdSaveList:
            return QKeySequence(Qt::CTRL | Qt::Key_S);
        case CDlgMain::kCmdSelectAll:
            return QKeySequence(Qt::CTRL | Qt::Key_A);
        case CDlgMain::kCmdRemoveSelected:
            return QKeySequence(Qt::Key_Delete);
        case CDlgMain::kCmdOptions:
            return QKeySequence(Qt::CTRL | Qt::Key_Comma);
        case CDlgMain::kCmdHelp:
            return QKeySequence(Qt::Key_F1);
        case CDlgMain::kCmdExit:
            return QKeySequence(Qt::CTRL | Qt::Key_Q);
        default:
            return {};
    }
}
