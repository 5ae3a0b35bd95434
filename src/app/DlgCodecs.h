#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "ui/DlgLanguageImpl.h"
#include "ui/DlgSettingsImpl.h"

class QCheckBox;
class QLabel;
class CSortListViewEx;

// One listed codec: its name, the file name of its program and the size text of that file.
// Missing: the program cannot be run (gone, a link that points nowhere, not executable).
struct CodecRow {
    std::string Name;
    std::string FileName;
    std::string SizeText;
    bool Missing = false;
};

// The coders and decoders with their programs and sizes, a package whose program is missing
// marked with a warning and said so in its size column; two check boxes choose what is listed,
// remembered in ShowCoders and ShowDecoders when the dialog is closed with Esc or its close box
// (OK keeps them as they were).
class CDlgCodecs final : public QDialog, public CDlgSettingsImpl, public CDlgLanguageImpl {
    Q_OBJECT
public:
    CDlgCodecs(std::vector<CodecRow> coders, std::vector<CodecRow> decoders, CSettingsSet* settings,
               const CLanguageManager* language, QWidget* owner);

    CSortListViewEx* GetList() const { return m_list; }

    void reject() override;

private:
    void Fill();

    std::vector<CodecRow> m_coders;
    std::vector<CodecRow> m_decoders;
    CSortListViewEx* m_list;
    QLabel* m_count;
    QCheckBox* m_showCoders;
    QCheckBox* m_showDecoders;
};
