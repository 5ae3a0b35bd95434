#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "ui/DlgLanguageImpl.h"

class CListViewEx;
class CProgramVersions;
class QTimer;

// The about box: the icon, the version text, the authors' notice and the licence, the Qt
// version, and the version of each codec program. The programs are asked in the background
// through versions, which keeps the answers beyond the box; their rows fill in as the answers
// arrive.
class CDlgAbout final : public QDialog, public CDlgLanguageImpl {
    Q_OBJECT
public:
    CDlgAbout(const CLanguageManager* language, CProgramVersions* versions,
              std::vector<std::string> programs, QWidget* owner);

    CListViewEx* GetProgramList() const { return m_programs; }

private:
    // Writes the answers that came in; stops the timer once every program has answered.
    void ShowVersions();

    CProgramVersions* m_versions;
    std::vector<std::string> m_programPaths;
    CListViewEx* m_programs;
    QTimer* m_poll;
};
