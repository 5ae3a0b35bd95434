#include "app/OptionsPageConversion.h"

#include <QBoxLayout>
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
    QVBoxLayout* column = AddFrame(page, kTextTitle);
    m_copyTags = Named(new QCheckBox(GetString(kTextCopyTags), &page), 1060);
    m_keepTree = Named(new QCheckBox(GetString(kTextKeepTree), &page), 1061);
    column->addWidget(m_copyTags);
    column->addWidget(m_keepTree);
    column->addSpacing(GroupGap(page));
    AddChoices(page, *column, kTextExisting, 1062, kTextExistingChoices, m_existing);
    column->addSpacing(GroupGap(page));
    AddChoices(page, *column, kTextFullCheck, 1066, kTextFullCheckChoices, m_fullCheck);

    const CSettingsGeneral& general = GetSettings()->General;
    m_copyTags->setChecked(general.CopyTags == 1);
    m_keepTree->setChecked(general.KeepFolderTree == 1);
    // A value the page does not know selects no button and is written back unchanged.
    if (general.ExistingOutput >= 0 && general.ExistingOutput < 3)
        m_existing[general.ExistingOutput]->setChecked(true);
    if (general.FullCheck >= 0 && general.FullCheck < 3)
        m_fullCheck[general.FullCheck]->setChecked(true);
}

void COptionsPageConversion::AddChoices(QWidget& page, QVBoxLayout& column, int textId,
                                        int labelId, const int (&texts)[3],
                                        QRadioButton* (&buttons)[3]) {
    auto* label = Named(new QLabel(GetString(static_cast<std::uint32_t>(textId)), &page), labelId);
    column.addWidget(label);
    auto* indented = new QVBoxLayout;
    indented->setContentsMargins(ButtonIndent(page), 0, 0, 0);
    column.addLayout(indented);
    auto* group = new QButtonGroup(&page);
    for (int i = 0; i < 3; ++i) {
        // The buttons' ids follow the label's.
        buttons[i] = Named(
            new QRadioButton(GetString(static_cast<std::uint32_t>(texts[i])), &page),
            labelId + 1 + i);
        indented->addWidget(buttons[i]);
        group->addButton(buttons[i], i);
    }
    label->setBuddy(buttons[0]);
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
