#pragma once

#include <QDialog>

#include "ui/DlgLanguageImpl.h"

class QPlainTextEdit;

// The program log in a read-only text field with a fixed-pitch font. The text is a snapshot
// taken each time the window is shown. One object serves every opening: the window is created
// on the first Console command and hidden, not destroyed, when closed.
class CDlgConsole final : public QDialog, public CDlgLanguageImpl {
    Q_OBJECT
public:
    explicit CDlgConsole(const CLanguageManager* language);

    // Shows the window, or brings the open one to the front.
    void ShowConsole();
    QString GetText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* m_text;
};
