#pragma once

#include <QKeySequence>

// The keys of the main window's common commands, shown beside them in the menus: add files and
// folders, load and save the list, select all, remove, options, help and quit. Empty for a
// command without one.
QKeySequence MenuShortcut(int commandId);
