#include "app/DlgCodecs.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "settings/SettingsSet.h"
#include "ui/SortListViewEx.h"

namespace {

constexpr int kTextTitle = 129;
constexpr int kTextOk = 123;
constexpr int kTextShowCoders = 150;
constexpr int kTextShowDecoders = 151;
constexpr int kTextEntries = 127;
constexpr int kTextCoder = 105;
constexpr int kTextDecoder = 149;
constexpr int kColumnTexts[] = {160, 125, 103, 126};
constexpr int kTextMissing = 290;
constexpr int kTextMissingWhy = 291;
constexpr int kTextMissingCount = 292;

}  // namespace

CDlgCodecs::CDlgCodecs(std::vector<CodecRow> coders, std::vector<CodecRow> decoders,
                       CSettingsSet* settings, const CLanguageManager* language, QWidget* owner)
    : QDialog(owner),
      CDlgSettingsImpl(settings),
      CDlgLanguageImpl(language),
      m_coders(std::move(coders)),
      m_decoders(std::move(decoders)),
      m_list(new CSortListViewEx(this)),
      m_count(new QLabel(this)),
      m_showCoders(new QCheckBox(GetString(kTextShowCoders), this)),
      m_showDecoders(new QCheckBox(GetString(kTextShowDecoders), this)) {
    setObjectName(QStringLiteral("dlg222"));
    setWindowTitle(GetString(kTextTitle));
    m_list->setObjectName(QStringLiteral("ctl1027"));
    m_list->setAccessibleName(GetString(kTextTitle));
    m_count->setObjectName(QStringLiteral("ctl1051"));
    m_showCoders->setObjectName(QStringLiteral("ctl1031"));
    m_showDecoders->setObjectName(QStringLiteral("ctl1050"));
    auto* ok = new QPushButton(GetString(kTextOk), this);
    ok->setObjectName(QStringLiteral("ctl1026"));
    ok->setDefault(true);

    // The template's arrangement: the list, the count under it, the boxes and OK at the bottom.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_showCoders);
    bottom->addWidget(m_showDecoders);
    bottom->addStretch(1);
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_count);
    layout->addLayout(bottom);
    setTabOrder(m_list, m_showCoders);
    setTabOrder(m_showCoders, m_showDecoders);
    setTabOrder(m_showDecoders, ok);
    resize(QFontMetrics(font()).averageCharWidth() * 80, QFontMetrics(font()).height() * 28);

    m_showCoders->setChecked(settings->ShowCoders != 0);
    m_showDecoders->setChecked(settings->ShowDecoders != 0);
    const QFontMetrics header = m_list->horizontalHeader()->fontMetrics();
    int column = 0;
    for (int id : kColumnTexts) {
        const QString title = GetString(static_cast<std::uint32_t>(id));
        m_list->InsertColumn(column, title);
        m_list->setColumnWidth(column, header.horizontalAdvance(title) + 15);
        ++column;
    }
    m_list->SetColumnAlignment(1, Qt::AlignRight);
    m_list->SetColumnAlignment(2, Qt::AlignRight);
    connect(m_showCoders, &QCheckBox::clicked, this, &CDlgCodecs::Fill);
    connect(m_showDecoders, &QCheckBox::clicked, this, &CDlgCodecs::Fill);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    Fill();
}

void CDlgCodecs::Fill() {
    m_list->setUpdatesEnabled(false);
    m_list->DeleteAllItems();
    int count = 0;
    int missing = 0;
    auto append = [&](const std::vector<CodecRow>& rows, int kindText) {
        for (const CodecRow& row : rows) {
            const int at = m_list->AddItem(
                count, 0, WithoutMnemonic(GetString(static_cast<std::uint32_t>(kindText))));
            m_list->AddItem(at, 1, ToQString(row.Name));
            m_list->AddItem(at, 2, row.Missing ? GetString(kTextMissing) : ToQString(row.SizeText));
            m_list->AddItem(at, 3, ToQString(row.FileName));
            if (row.Missing) {
                m_list->SetItemWarning(
                    at, FillText(GetString(kTextMissingWhy),
                                 {ToQString(row.FileName.empty() ? row.Name : row.FileName)}));
                ++missing;
            }
            ++count;
        }
    };
    if (m_showDecoders->isChecked()) append(m_decoders, kTextDecoder);
    if (m_showCoders->isChecked()) append(m_coders, kTextCoder);
    m_list->AutosizeColumns();
    // The widths are measured on the texts: the warning icon needs its own room.
    if (missing > 0) {
        const int icon = m_list->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_list);
        m_list->setColumnWidth(0, m_list->columnWidth(0) + icon + 6);
    }
    m_list->setUpdatesEnabled(true);
    QString countText = GetString(kTextEntries) + QStringLiteral(": %1").arg(count);
    if (missing > 0)
        countText += QStringLiteral(" (") +
                     FillText(GetString(kTextMissingCount), {QString::number(missing)}) +
                     QLatin1Char(')');
    m_count->setText(countText);
}

void CDlgCodecs::reject() {
    // Esc and the close box remember what is shown; OK does not.
    GetSettings()->ShowCoders = m_showCoders->isChecked() ? 1 : 0;
    GetSettings()->ShowDecoders = m_showDecoders->isChecked() ? 1 : 0;
    QDialog::reject();
}
