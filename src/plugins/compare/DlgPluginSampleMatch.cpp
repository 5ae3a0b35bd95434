#include "plugins/compare/DlgPluginSampleMatch.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

#include "plugins/compare/RawFile.h"
#include "plugins/compare/WavComparison.h"
#include "plugins/compare/WavFormat.h"
#include "ui/Choosers.h"
#include "ui/QtText.h"
#include "ui/SortListViewEx.h"

namespace {

constexpr std::uint32_t kTextFileName = 102;
constexpr std::uint32_t kTextSize = 103;
constexpr std::uint32_t kTextClose = 123;
constexpr std::uint32_t kTextDifference = 148;
constexpr std::uint32_t kTextLoadOriginal = 173;
constexpr std::uint32_t kTextAddTests = 174;
constexpr std::uint32_t kTextRemoveTests = 175;
constexpr std::uint32_t kTextStart = 176;
constexpr std::uint32_t kTextOriginalFile = 241;
constexpr std::uint32_t kTextTestingFiles = 242;
constexpr std::uint32_t kTextProgress = 243;
constexpr std::uint32_t kTextFormatDiffers = 300;
constexpr std::uint32_t kTextFilesDiffer = 301;

constexpr const char* kWaveFilter = "Waveform PCM (*.wav)|*.wav||";

QString SizeText(const std::string& path) {
    const double megabytes = static_cast<double>(CRawFile::ReadableSize(path)) / 1024.0 / 1024.0;
    return QString::asprintf("%.2f MB", megabytes);
}

}  // namespace

CDlgPluginSampleMatch::CDlgPluginSampleMatch()
    : m_ownChoosers(std::make_unique<CChoosers>()), m_choosers(m_ownChoosers.get()) {
    setObjectName(QStringLiteral("dlg102"));
    CreateControls();
}

CDlgPluginSampleMatch::~CDlgPluginSampleMatch() { StopRun(); }

void CDlgPluginSampleMatch::SetChoosers(IChoosers* choosers) {
    m_choosers = choosers ? choosers : m_ownChoosers.get();
}

void CDlgPluginSampleMatch::CreateControls() {
    auto named = [](QWidget* widget, int id) {
        widget->setObjectName(QStringLiteral("ctl%1").arg(id));
        return widget;
    };
    m_loadOriginal = new QPushButton(this);
    m_originalLabel = new QLabel(this);
    m_originalBox = new QLineEdit(this);
    m_originalBox->setReadOnly(true);
    m_originalLabel->setBuddy(m_originalBox);
    m_addTests = new QPushButton(this);
    m_removeTests = new QPushButton(this);
    m_testsLabel = new QLabel(this);
    m_list = new CSortListViewEx(this);
    // A click on a header sorts nothing here: row j is test file j.
    m_list->horizontalHeader()->setSectionsClickable(false);
    m_testsLabel->setBuddy(m_list);
    m_warning = new QLabel(this);
    m_warning->setWordWrap(true);
    m_warning->hide();
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, CWavComparison::kProgressRange);
    m_progress->setTextVisible(false);
    m_start = new QPushButton(this);
    m_close = new QPushButton(this);

    // The template's arrangement, top to bottom: the original, the test files' buttons, the
    // list, the progress bar, Start at the left and Close at the right.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named(m_loadOriginal, 1008));
    auto* original = new QHBoxLayout;
    original->addWidget(named(m_originalLabel, 1009));
    original->addWidget(named(m_originalBox, 1013), 1);
    layout->addLayout(original);
    auto* testButtons = new QHBoxLayout;
    testButtons->addWidget(named(m_addTests, 1010), 1);
    testButtons->addWidget(named(m_removeTests, 1011), 1);
    layout->addLayout(testButtons);
    layout->addWidget(named(m_testsLabel, 1012));
    layout->addWidget(named(m_list, 1007), 1);
    layout->addWidget(named(m_warning, 1004));
    layout->addWidget(named(m_progress, 1006));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(named(m_start, 1005));
    buttons->addStretch(1);
    buttons->addWidget(named(m_close, 1003));
    layout->addLayout(buttons);
    setTabOrder(m_loadOriginal, m_originalBox);
    setTabOrder(m_originalBox, m_addTests);
    setTabOrder(m_addTests, m_removeTests);
    setTabOrder(m_removeTests, m_list);
    setTabOrder(m_list, m_start);
    setTabOrder(m_start, m_close);
    const QFontMetrics metrics(font());
    resize(metrics.averageCharWidth() * 64, metrics.height() * 26);

    connect(m_loadOriginal, &QPushButton::clicked, this, &CDlgPluginSampleMatch::OnLoadOriginal);
    connect(m_addTests, &QPushButton::clicked, this, &CDlgPluginSampleMatch::OnAddTestingFiles);
    connect(m_removeTests, &QPushButton::clicked, this,
            &CDlgPluginSampleMatch::OnRemoveTestingFiles);
    connect(m_start, &QPushButton::clicked, this, &CDlgPluginSampleMatch::OnStart);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void CDlgPluginSampleMatch::DoModal(QWidget* owner) {
    // Owned by the host's window only while shown: the host may destroy that window before it
    // lets the plug-in go.
    setParent(owner, windowFlags());
    InitDialog();
    exec();
    setParent(nullptr, windowFlags());
}

void CDlgPluginSampleMatch::InitDialog() {
    setWindowTitle(QStringLiteral("SampleMatch"));
    m_start->setText(m_texts.GetString(kTextStart));
    m_close->setText(m_texts.GetString(kTextClose));
    m_addTests->setText(m_texts.GetString(kTextAddTests));
    m_removeTests->setText(m_texts.GetString(kTextRemoveTests));
    m_loadOriginal->setText(m_texts.GetString(kTextLoadOriginal));
    m_originalLabel->setText(m_texts.GetString(kTextOriginalFile));
    m_originalBox->setAccessibleName(m_texts.GetString(kTextOriginalFile));
    m_testsLabel->setText(m_texts.GetString(kTextTestingFiles));
    m_list->setAccessibleName(m_texts.GetString(kTextTestingFiles));
    m_progress->setAccessibleName(m_texts.GetString(kTextProgress));

    // Rows and kept test paths stay in step: the rows are made again from the paths, and the
    // box shows the original that Start would use.
    InsertColumns();
    for (const std::string& path : m_testPaths) AddTestRow(path);
    m_list->AutosizeColumns();
    m_originalBox->setText(ToQString(m_originalPath));
    m_progress->setValue(0);
    UpdateWarnings();
    SetRunning(false);
}

void CDlgPluginSampleMatch::InsertColumns() {
    m_list->DeleteAllItems();
    while (m_list->model()->columnCount() > 0) m_list->DeleteColumn(0);
    const QString titles[] = {m_texts.GetString(kTextFileName), m_texts.GetString(kTextSize),
                              m_texts.GetString(kTextDifference) + QStringLiteral(" (%)")};
    const QFontMetrics header = m_list->horizontalHeader()->fontMetrics();
    for (int column = 0; column < 3; ++column) {
        m_list->InsertColumn(column, titles[column]);
        m_list->SetColumnSortType(column, CSortListViewEx::kSortNone);
        m_list->setColumnWidth(column, header.horizontalAdvance(titles[column]) + 15);
    }
    m_list->AutosizeColumns();
}

void CDlgPluginSampleMatch::AddTestRow(const std::string& path) {
    const int row = m_list->AddItem(m_list->GetItemCount(), 0,
                                    ToQString(std::filesystem::path(path).filename().string()));
    m_list->AddItem(row, 1, SizeText(path));
}

void CDlgPluginSampleMatch::SetRunning(bool running) {
    m_loadOriginal->setEnabled(!running);
    m_addTests->setEnabled(!running);
    m_removeTests->setEnabled(!running);
    UpdateStart();
}

void CDlgPluginSampleMatch::UpdateStart() {
    m_start->setEnabled(!m_running && !m_originalPath.empty() && !m_testPaths.empty());
}

void CDlgPluginSampleMatch::UpdateWarnings() {
    const WavFormat original = ReadWavFormat(m_originalPath);
    int differing = 0;
    for (std::size_t i = 0; i < m_testPaths.size(); ++i) {
        const WavFormat test = ReadWavFormat(m_testPaths[i]);
        // A file whose format cannot be read gets no mark: its row says "n/a" after the run.
        const bool differs = original.valid && test.valid && !test.SameAs(original);
        QString warning;
        if (differs) {
            ++differing;
            warning = FillText(
                m_texts.GetString(kTextFormatDiffers),
                {ToQString(std::filesystem::path(m_testPaths[i]).filename().string()),
                 QString::number(test.sampleRate), QString::number(test.channels),
                 QString::number(original.sampleRate), QString::number(original.channels)});
        }
        m_list->SetItemWarning(static_cast<int>(i), warning);
    }
    m_warning->setText(FillText(m_texts.GetString(kTextFilesDiffer), {QString::number(differing)}));
    m_warning->setVisible(differing > 0);
}

void CDlgPluginSampleMatch::OnLoadOriginal() {
    const std::string path = m_choosers->ChooseOpenFile(this, kWaveFilter);
    if (path.empty()) return;
    m_originalPath = path;
    m_originalBox->setText(ToQString(path));
    UpdateWarnings();
    UpdateStart();
}

void CDlgPluginSampleMatch::OnAddTestingFiles() {
    int filterIndex = 1;
    const std::vector<std::string> paths = m_choosers->ChooseFiles(this, kWaveFilter, filterIndex);
    if (paths.empty()) return;
    m_list->setUpdatesEnabled(false);
    for (const std::string& path : paths) {
        AddTestRow(path);
        m_testPaths.push_back(path);
    }
    m_list->AutosizeColumns();
    m_list->setUpdatesEnabled(true);
    UpdateWarnings();
    UpdateStart();
}

void CDlgPluginSampleMatch::OnRemoveTestingFiles() {
    m_testPaths.clear();
    m_list->DeleteAllItems();
    UpdateWarnings();
    UpdateStart();
}

void CDlgPluginSampleMatch::done(int result) {
    StopRun();
    QDialog::done(result);
}
