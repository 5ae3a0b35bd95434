#pragma once

#include <QDialog>
#include <cstddef>

#include "ui/DlgLanguageImpl.h"

class IChoosers;
class IMessageBoxes;
class QPlainTextEdit;
class QPushButton;

// The program log in a read-only text field with a fixed-pitch font, with buttons that copy
// the text to the clipboard and save it to a file. The text follows the log each time the
// window is shown and whenever Refresh is called. One object serves every opening: the window
// is created on the first Console command and hidden, not destroyed, when closed.
class CDlgConsole final : public QDialog, public CDlgLanguageImpl {
    Q_OBJECT
public:
    CDlgConsole(const CLanguageManager* language, IChoosers& choosers, IMessageBoxes& boxes);

    // Shows the window, or brings the open one to the front.
    void ShowConsole();
    QString GetText() const;
    // Adds the log's lines written since the text was last filled.
    void Refresh();
    // The log's text to the clipboard.
    void OnCopy();
    // The log's text to a file the user names; a box says why when it cannot be written.
    void OnSave();

protected:
    void showEvent(QShowEvent* event) override;

private:
    IChoosers& m_choosers;
    IMessageBoxes& m_boxes;
    QPlainTextEdit* m_text;
    std::size_t m_shownLines = 0;
};
