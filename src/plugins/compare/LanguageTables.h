#pragma once

#include "lang/LanguageTable.h"

// The string tables the plug-in reads its texts from. These are the plug-in's only calls into
// the dynamic loader; they are kept in this one file.

// The table of the language library whose dlopen handle is module; null for a null handle, or
// a library without a table of this layout.
const KeltoLanguageTable* LibraryLanguageTable(void* module);

// The host program's own table, which it exports as kProgramLanguageTableSymbol; null when
// the program offers none.
const KeltoLanguageTable* ProgramLanguageTable();
