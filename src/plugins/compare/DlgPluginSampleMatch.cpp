#include "plugins/compare/DlgPluginSampleMatch.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

#include "plugins/compare/RawFile.h"
#include "plugins/compare/WavComparison.h"
#include "ui/Choosers.h"
#include "ui/QtText.h"
#include "ui/SortListViewEx.h"
#include "ui/TemplateLayout.h"

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
    using Layout = CTemplateLayout;
    auto* layout = new Layout(this, 232, 246);
    m_loadOriginal = new QPushButton(this);
    layout->AddControl(m_loadOriginal, 1008, 6, 6, 216, 14, Layout::kSizeX);
    m_originalBox = new QLineEdit(this);
    m_originalBox->setReadOnly(true);
    layout->AddControl(m_originalBox, 1013, 6, 24, 216, 14, Layout::kSizeX);
    m_addTests = new QPushButton(this);
    layout->AddControl(m_addTests, 1010, 6, 42, 102, 14);
    m_removeTests = new QPushButton(this);
    layout->AddControl(m_removeTests, 1011, 120, 42, 102, 14);
    m_list = new CSortListViewEx(this);
    // A click on a header sorts nothing here: row j is test file j.
    m_list->horizontalHeader()->setSectionsClickable(false);
    layout->AddControl(m_list, 1007, 6, 60, 216, 144, Layout::kSizeX | Layout::kSizeY);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, CWavComparison::kProgressRange);
    m_progress->setTextVisible(false);
    layout->AddControl(m_progress, 1006, 6, 210, 216, 10, Layout::kSizeX | Layout::kMoveY);
    m_start = new QPushButton(this);
    layout->AddControl(m_start, 1005, 6, 224, 60, 18, Layout::kMoveY);
    m_close = new QPushButton(this);
    layout->AddControl(m_close, 1003, 162, 224, 60, 18, Layout::kMoveX | Layout::kMoveY);
    setMinimumSize(layout->minimumSize());

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
    m_originalBox->setAccessibleName(m_texts.GetString(kTextOriginalFile));
    m_list->setAccessibleName(m_texts.GetString(kTextTestingFiles));
    m_progress->setAccessibleName(m_texts.GetString(kTextProgress));

    // Rows and kept test paths stay in step: the rows are made again from the paths, and the
    // box shows the original that Start would use.
    InsertColumns();
    for (const std::string& path : m_testPaths) AddTestRow(path);
    m_list->AutosizeColumns();
    m_originalBox->setText(ToQString(m_originalPath));
    m_progress->setValue(0);
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
    m_start->setEnabled(!running);
}

void CDlgPluginSampleMatch::OnLoadOriginal() {
    const std::string path = m_choosers->ChooseOpenFile(this, kWaveFilter);
    if (path.empty()) return;
    m_originalPath = path;
    m_originalBox->setText(ToQString(path));
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
}

void CDlgPluginSampleMatch::OnRemoveTestingFiles() {
    m_testPaths.clear();
    m_list->DeleteAllItems();
}

void CDlgPluginSampleMatch::done(int result) {
    StopRun();
    QDialog::done(result);
}
