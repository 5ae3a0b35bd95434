#include "app/OptionsPageGeneral.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "settings/SettingsSet.h"
#include "ui/Choosers.h"

namespace {

constexpr int kTemplate = 225;
constexpr int kTextTitle = 114;
constexpr int kTextFrame = 136;
constexpr int kTextRemember = 135;
constexpr int kTextWarnings = 158;
constexpr int kTextOnlyExisting = 159;
constexpr int kTextSameFolder = 134;
constexpr int kTextFolder = 133;

}  // namespace

COptionsPageGeneral::COptionsPageGeneral(const CLanguageManager* language, IChoosers& choosers)
    : COptionsPageImpl(kTemplate, kTextTitle, language), m_choosers(choosers) {}

void COptionsPageGeneral::OnInitPage(QWidget& page) {
    QVBoxLayout* column = AddFrame(page, kTextFrame);
    auto check = [&](int textId, int id) {
        auto* box = Named(new QCheckBox(GetString(static_cast<std::uint32_t>(textId)), &page), id);
        column->addWidget(box);
        return box;
    };
    m_remember = check(kTextRemember, 1031);
    m_warnings = check(kTextWarnings, 1032);
    m_onlyExisting = check(kTextOnlyExisting, 1046);
    m_sameFolder = check(kTextSameFolder, 1045);
    column->addSpacing(GroupGap(page));
    auto* label = Named(new QLabel(GetString(kTextFolder), &page), 1048);
    m_folder = Named(new QLineEdit(&page), 1043);
    m_folder->setAccessibleName(WithoutMnemonic(GetString(kTextFolder)));
    label->setBuddy(m_folder);
    m_browse = Named(new QPushButton(QStringLiteral("..."), &page), 1044);
    m_browse->setAccessibleName(WithoutMnemonic(GetString(kTextFolder)));
    m_browse->setAutoDefault(false);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browse);
    column->addWidget(label);
    column->addLayout(folderRow);

    const CSettingsGeneral& general = GetSettings()->General;
    m_remember->setChecked(general.RememberFileList == 1);
    m_warnings->setChecked(general.ShowWarnings == 1);
    m_onlyExisting->setChecked(general.AddOnlyExists == 1);
    m_sameFolder->setChecked(general.OutputFolderSameAsOriginal == 1);
    m_folder->setText(ToQString(general.OutputFolder));
    OnSameFolderClicked();
    QObject::connect(m_sameFolder, &QCheckBox::clicked, &page, [this] { OnSameFolderClicked(); });
    QObject::connect(m_browse, &QPushButton::clicked, &page, [this] { OnBrowse(); });
}

void COptionsPageGeneral::OnSameFolderClicked() {
    const bool own = !m_sameFolder->isChecked();
    m_folder->setEnabled(own);
    m_browse->setEnabled(own);
}

void COptionsPageGeneral::OnBrowse() {
    std::string folder = m_choosers.ChooseFolder(GetWindow());
    if (folder.empty()) return;
    if (folder.back() != '/') folder += '/';
    m_folder->setText(ToQString(folder));
}

void COptionsPageGeneral::OnApply() {
    CSettingsGeneral& general = GetSettings()->General;
    // As typed: a separator is added only to a browsed folder.
    general.OutputFolder = ToStdString(m_folder->text());
    general.RememberFileList = m_remember->isChecked() ? 1 : 0;
    general.ShowWarnings = m_warnings->isChecked() ? 1 : 0;
    general.AddOnlyExists = m_onlyExisting->isChecked() ? 1 : 0;
    general.OutputFolderSameAsOriginal = m_sameFolder->isChecked() ? 1 : 0;
}
