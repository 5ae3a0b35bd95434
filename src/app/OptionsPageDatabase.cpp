#include "app/OptionsPageDatabase.h"

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
    AddFrame(page, kTextFrame, 90);
    const QString information =
        GetString(kTextEntries).replace(QStringLiteral("%d"), QString::number(m_entryCount)) +
        QStringLiteral("\n") +
        GetString(kTextDate).replace(QStringLiteral("%s"), ToQString(m_date));
    Place(new QLabel(information, &page), 1058, 10, 14, 225, 22);
    m_byName = Place(new QCheckBox(&page), 1031, 10, 44, 225, 36);
    // The text is longer than the page is wide: broken into lines, whole for screen readers.
    const QString byName = GetString(kTextByName);
    m_byName->setAccessibleName(byName);
    // Room beside the box's indicator.
    const int width = ToPixels(QRect(0, 0, 205, 1)).width();
    m_byName->setText(WrappedText(byName, m_byName->fontMetrics(), width));
    m_byName->setChecked(GetSettings()->Database.FindByFileName == 1);
}

void COptionsPageDatabase::OnApply() {
    GetSettings()->Database.FindByFileName = m_byName->isChecked() ? 1 : 0;
}
