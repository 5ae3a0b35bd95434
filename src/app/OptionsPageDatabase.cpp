#include "app/OptionsPageDatabase.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>

#include "settings/SettingsSet.h"
#include "ui/WrappedText.h"

namespace {

constexpr int kTemplate = 230;
constexpr int kTextTitle = 177;
constexpr int kTextFrame = 177;
constexpr int kTextByName = 178;
constexpr int kTextEntries = 179;
constexpr int kTextDate = 180;

}  // namespace

COptionsPageDatabase::COptionsPageDatabase(const CLanguageManager* language)
    : COptionsPageImpl(kTemplate, kTextTitle, language) {}

void COptionsPageDatabase::SetDatabaseInfo(int entryCount, const std::string& date) {
    m_entryCount = entryCount;
    m_date = date;
}

void COptionsPageDatabase::OnInitPage(QWidget& page) {
    QVBoxLayout* column = AddFrame(page, kTextFrame);
    const QString information =
        GetString(kTextEntries).replace(QStringLiteral("%d"), QString::number(m_entryCount)) +
        QStringLiteral("\n") +
        GetString(kTextDate).replace(QStringLiteral("%s"), ToQString(m_date));
    column->addWidget(Named(new QLabel(information, &page), 1058));
    column->addSpacing(GroupGap(page));
    m_byName = Named(new QCheckBox(&page), 1031);
    column->addWidget(m_byName);
    // The text is longer than a page is wide: broken into lines, whole for screen readers.
    const QString byName = GetString(kTextByName);
    m_byName->setAccessibleName(WithoutMnemonic(byName));
    m_byName->setText(WrappedText(byName, m_byName->fontMetrics(), TextSize(page, 50, 0).width()));
    m_byName->setChecked(GetSettings()->Database.FindByFileName == 1);
}

void COptionsPageDatabase::OnApply() {
    GetSettings()->Database.FindByFileName = m_byName->isChecked() ? 1 : 0;
}
