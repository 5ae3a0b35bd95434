#include "app/OptionsPageConversion.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "settings/SettingsSet.h"

namespace {

constexpr int kTemplate = 231;
constexpr int kTextTitle = 199;
constexpr int kTextCopyTags = 193;
constexpr int kTextKeepTree = 194;
constexpr int kTextExisting = 195;
constexpr int kTextExistingChoices[3] = {196, 197, 198};
constexpr int kTextFullCheck = 250;
constexpr int kTextFullCheckChoices[3] = {251, 252, 253};

}  // namespace

COptionsPageConversion::COptionsPageConversion(const CLanguageManager* language)
    : COptionsPageImpl(kTemplate, kTextTitle, language) {}

void COptionsPageConversion::OnInitPage(QWidget& page) {
    AddFrame(page, kTextTitle, 172);
    m_copyTags = Place(new QCheckBox(GetString(kTextCopyTags), &page), 1060, 10, 14, 225, 12);
    m_keepTree = Place(new QCheckBox(GetString(kTextKeepTree), &page), 1061, 10, 30, 225, 12);
    auto* label = Place(new QLabel(GetString(kTextExisting), &page), 1062, 10, 50, 225, 10);
    auto* group = new QButtonGroup(&page);
    for (int i = 0; i < 3; ++i) {
        m_existing[i] = Place(new QRadioButton(GetString(static_cast<std::uint32_t>(
                                                   kTextExistingChoices[i])),
                                               &page),
                              1063 + i, 20, 64 + 14 * i, 215, 12);
        group->addButton(m_existing[i], i);
    }
    label->setBuddy(m_existing[0]);
    auto* checkLabel = Place(new QLabel(GetString(kTextFullCheck), &page), 1066, 10, 112, 225, 10);
    auto* checkGroup = new QButtonGroup(&page);
    for (int i = 0; i < 3; ++i) {
        m_fullCheck[i] = Place(new QRadioButton(GetString(static_cast<std::uint32_t>(
                                                    kTextFullCheckChoices[i])),
                                                &page),
                               1067 + i, 20, 126 + 14 * i, 215, 12);
        checkGroup->addButton(m_fullCheck[i], i);
    }
    checkLabel->setBuddy(m_fullCheck[0]);

    const CSettingsGeneral& general = GetSettings()->General;
    m_copyTags->setChecked(general.CopyTags == 1);
    m_keepTree->setChecked(general.KeepFolderTree == 1);
    // A value the page does not know selects no button and is written back unchanged.
    if (general.ExistingOutput >= 0 && general.ExistingOutput < 3)
        m_existing[general.ExistingOutput]->setChecked(true);
    if (general.FullCheck >= 0 && general.FullCheck < 3)
        m_fullCheck[general.FullCheck]->setChecked(true);
}

void COptionsPageConversion::OnApply() {
    CSettingsGeneral& general = GetSettings()->General;
    general.CopyTags = m_copyTags->isChecked() ? 1 : 0;
    general.KeepFolderTree = m_keepTree->isChecked() ? 1 : 0;
    for (int i = 0; i < 3; ++i) {
        if (m_existing[i]->isChecked()) general.ExistingOutput = i;
        if (m_fullCheck[i]->isChecked()) general.FullCheck = i;
    }
}
