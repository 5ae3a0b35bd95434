#pragma once

#include "app/OptionsPageImpl.h"

class QCheckBox;
class QRadioButton;
class QVBoxLayout;

// Page 4: what a conversion keeps of the user's files (Settings.General): tags and cover art,
// the folder tree of added folders, outputs that exist already, and which outputs are
// decoded again and compared once written.
class COptionsPageConversion final : public COptionsPageImpl {
public:
    explicit COptionsPageConversion(const CLanguageManager* language);

protected:
    void OnInitPage(QWidget& page) override;
    void OnApply() override;

private:
    // A label (its id labelId, its text textId) and below it, indented, one radio button per
    // text, one group.
    void AddChoices(QWidget& page, QVBoxLayout& column, int textId, int labelId,
                    const int (&texts)[3], QRadioButton* (&buttons)[3]);

    QCheckBox* m_copyTags = nullptr;
    QCheckBox* m_keepTree = nullptr;
    // Indexed by the value of ExistingOutput: overwrite, skip, keep both.
    QRadioButton* m_existing[3] = {};
    // Indexed by the value of FullCheck: none, lossless coders, every coder.
    QRadioButton* m_fullCheck[3] = {};
};
