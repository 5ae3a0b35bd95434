#include "app/OptionsPageConversion.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>

#include "base/Paths.h"
#include "session/NamePattern.h"
#include "settings/SettingsSet.h"

namespace {

constexpr int kTemplate = 231;
constexpr int kTextTitle = 199;
constexpr int kTextCopyTags = 193;
constexpr int kTextKeepTree = 194;
constexpr int kTextExisting = 195;
constexpr int kTextExistingChoices[4] = {196, 197, 198, 340};
// The fourth choice came later: the ids after the label's three were taken by then.
constexpr int kExistingIds[4] = {1063, 1064, 1065, 1077};
constexpr int kFullCheckIds[3] = {1067, 1068, 1069};
constexpr int kTextFullCheck = 250;
constexpr int kTextFullCheckChoices[3] = {251, 252, 253};
constexpr int kTextPattern = 306;
constexpr int kTextPlaceholders = 307;
constexpr int kTextExample = 308;
constexpr int kTextNoExample = 309;
constexpr int kTextUnknownPlaceholder = 310;
constexpr int kTextSourceNames = 311;
constexpr int kTextMaxRate = 333;
constexpr int kTextMaxBits = 334;
constexpr int kTextNoLimit = 335;
constexpr int kTextBits = 336;
constexpr int kTextLimitsHint = 337;
constexpr int kTextLoudness = 350;
constexpr int kTextLoudnessHint = 351;

// text with each "%s" replaced by the next of values, in order; a value's own "%s" stays.
QString FillIn(QString text, const QStringList& values) {
    qsizetype at = 0;
    for (const QString& value : values) {
        at = text.indexOf(QStringLiteral("%s"), at);
        if (at < 0) break;
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}

}  // namespace

COptionsPageConversion::COptionsPageConversion(const CLanguageManager* language)
    : COptionsPageImpl(kTemplate, kTextTitle, language) {}

void COptionsPageConversion::OnInitPage(QWidget& page) {
    QVBoxLayout* column = AddFrame(page, kTextTitle);
    m_copyTags = Named(new QCheckBox(GetString(kTextCopyTags), &page), 1060);
    m_keepTree = Named(new QCheckBox(GetString(kTextKeepTree), &page), 1061);
    column->addWidget(m_copyTags);
    column->addWidget(m_keepTree);
    m_loudness = Named(new QCheckBox(GetString(kTextLoudness), &page), 1078);
    m_loudness->setToolTip(GetString(kTextLoudnessHint));
    column->addWidget(m_loudness);
    column->addSpacing(GroupGap(page));
    AddChoices(page, *column, kTextExisting, 1062, 4, kTextExistingChoices, kExistingIds,
               m_existing);
    column->addSpacing(GroupGap(page));
    AddChoices(page, *column, kTextFullCheck, 1066, 3, kTextFullCheckChoices, kFullCheckIds,
               m_fullCheck);
    column->addSpacing(GroupGap(page));
    AddLimits(page, *column);

    column->addSpacing(GroupGap(page));
    AddNamePattern(page, *column);

    const CSettingsGeneral& general = GetSettings()->General;
    m_pattern->setText(ToQString(general.NamePattern));
    ShowExample();
    QObject::connect(m_pattern, &QLineEdit::textChanged, &page, [this] { ShowExample(); });
    m_copyTags->setChecked(general.CopyTags == 1);
    m_keepTree->setChecked(general.KeepFolderTree == 1);
    m_loudness->setChecked(general.LoudnessTags == 1);
    // A value the page does not know selects no button and is written back unchanged.
    if (general.ExistingOutput >= 0 && general.ExistingOutput < 4)
        m_existing[general.ExistingOutput]->setChecked(true);
    if (general.FullCheck >= 0 && general.FullCheck < 3)
        m_fullCheck[general.FullCheck]->setChecked(true);
}

void COptionsPageConversion::SetExampleSource(std::string path, std::string extension) {
    m_examplePath = std::move(path);
    m_exampleExtension = std::move(extension);
}

void COptionsPageConversion::AddNamePattern(QWidget& page, QVBoxLayout& column) {
    auto* label = Named(new QLabel(GetString(kTextPattern), &page), 1070);
    m_pattern = Named(new QLineEdit(&page), 1071);
    m_pattern->setAccessibleName(WithoutMnemonic(GetString(kTextPattern)));
    QString placeholders;
    for (const std::string& name : CNamePattern::Placeholders()) {
        placeholders += QStringLiteral(" ") + ToQString(name);
    }
    m_pattern->setToolTip(GetString(kTextPlaceholders) + placeholders);
    m_pattern->setPlaceholderText(QStringLiteral("%albumartist%/%album%/%track% - %title%"));
    AddLabelled(column, label, m_pattern);
    m_example = Named(new QLabel(&page), 1072);
    m_example->setWordWrap(true);
    m_example->setTextFormat(Qt::PlainText);
    column.addWidget(m_example);
}

void COptionsPageConversion::AddLimits(QWidget& page, QVBoxLayout& column) {
    const CSettingsGeneral& general = GetSettings()->General;
    auto* row = new QHBoxLayout;
    column.addLayout(row);
    m_maxRate = AddLimit(page, *row, kTextMaxRate, 1073,
                         {32000, 44100, 48000, 88200, 96000, 176400, 192000},
                         general.MaxSampleRate, [](int rate) {
                             return QString::number(rate) + QStringLiteral(" Hz");
                         });
    row->addSpacing(GroupGap(page));
    m_maxBits = AddLimit(page, *row, kTextMaxBits, 1075, {16, 24}, general.MaxBitDepth,
                         [this](int bits) {
                             return FillIn(GetString(kTextBits), {QString::number(bits)});
                         });
    row->addStretch(1);
}

QComboBox* COptionsPageConversion::AddLimit(QWidget& page, QLayout& row, int textId, int labelId,
                                            const std::vector<int>& values, int value,
                                            const std::function<QString(int)>& name) {
    const QString text = GetString(static_cast<std::uint32_t>(textId));
    auto* label = Named(new QLabel(text, &page), labelId);
    auto* box = Named(new QComboBox(&page), labelId + 1);
    box->setAccessibleName(WithoutMnemonic(text));
    box->setToolTip(GetString(kTextLimitsHint));
    box->addItem(GetString(kTextNoLimit), 0);
    for (const int listed : values) box->addItem(name(listed), listed);
    // A value set elsewhere (Settings.ini, kelto-cli) is kept and shown as it is.
    if (value > 0 && box->findData(value) < 0) box->addItem(name(value), value);
    box->setCurrentIndex(std::max(0, box->findData(value)));
    label->setBuddy(box);
    row.addWidget(label);
    row.addWidget(box);
    return box;
}

void COptionsPageConversion::ShowExample() {
    const CNamePattern pattern(ToStdString(m_pattern->text()));
    const std::string unknown = pattern.UnknownPlaceholder();
    if (pattern.IsEmpty()) {
        m_example->setText(GetString(kTextSourceNames));
    } else if (!unknown.empty()) {
        m_example->setText(FillIn(GetString(kTextUnknownPlaceholder), {ToQString(unknown)}));
    } else if (m_examplePath.empty()) {
        m_example->setText(GetString(kTextNoExample));
    } else {
        std::string name = pattern.NameFor(m_examplePath, m_exampleExtension);
        // Beside the sources only the pattern's last part names the output.
        if (GetSettings()->General.OutputFolderSameAsOriginal != 0) name = PathFileName(name);
        m_example->setText(FillIn(GetString(kTextExample),
                                  {ToQString(PathFileName(m_examplePath)), ToQString(name)}));
    }
    m_example->setAccessibleName(m_example->text());
}

void COptionsPageConversion::AddChoices(QWidget& page, QVBoxLayout& column, int textId, int labelId,
                                        int count, const int* texts, const int* ids,
                                        QRadioButton** buttons) {
    auto* label = Named(new QLabel(GetString(static_cast<std::uint32_t>(textId)), &page), labelId);
    column.addWidget(label);
    auto* indented = new QVBoxLayout;
    indented->setContentsMargins(ButtonIndent(page), 0, 0, 0);
    column.addLayout(indented);
    auto* group = new QButtonGroup(&page);
    for (int i = 0; i < count; ++i) {
        buttons[i] =
            Named(new QRadioButton(GetString(static_cast<std::uint32_t>(texts[i])), &page), ids[i]);
        indented->addWidget(buttons[i]);
        group->addButton(buttons[i], i);
    }
    label->setBuddy(buttons[0]);
}

void COptionsPageConversion::OnApply() {
    CSettingsGeneral& general = GetSettings()->General;
    general.CopyTags = m_copyTags->isChecked() ? 1 : 0;
    general.KeepFolderTree = m_keepTree->isChecked() ? 1 : 0;
    general.LoudnessTags = m_loudness->isChecked() ? 1 : 0;
    for (int i = 0; i < 4; ++i) {
        if (m_existing[i]->isChecked()) general.ExistingOutput = i;
    }
    for (int i = 0; i < 3; ++i) {
        if (m_fullCheck[i]->isChecked()) general.FullCheck = i;
    }
    general.NamePattern = ToStdString(m_pattern->text());
    general.MaxSampleRate = m_maxRate->currentData().toInt();
    general.MaxBitDepth = m_maxBits->currentData().toInt();
}
