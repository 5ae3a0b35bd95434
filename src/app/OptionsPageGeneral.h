#pragma once

#include "app/OptionsPageImpl.h"

class IChoosers;
class QCheckBox;
class QLineEdit;
class QPushButton;

// Page 0: the file list's behaviour and where outputs go (Settings.General).
class COptionsPageGeneral final : public COptionsPageImpl {
public:
    // The folder chooser of the browse button comes from choosers.
    COptionsPageGeneral(const CLanguageManager* language, IChoosers& choosers);

protected:
    void OnInitPage(QWidget& page) override;
    void OnApply() override;

private:
    void OnSameFolderClicked();
    void OnBrowse();

    IChoosers& m_choosers;
    QCheckBox* m_remember = nullptr;
    QCheckBox* m_warnings = nullptr;
    QCheckBox* m_onlyExisting = nullptr;
    QCheckBox* m_sameFolder = nullptr;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_browse = nullptr;
};
