#include "app/DlgMain.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSizeGrip>
#include <QStyle>

#include "app/AppIcon.h"
#include "app/DlgConsole.h"
#include "app/FileListModel.h"
#include "app/MenuBuilder.h"
#include "app/Shell.h"
#include "base/Log.h"
#include "base/Version.h"
#include "codecs/Coder.h"
#include "core/TempFileName.h"
#include "platform/TempFolder.h"
#include "ui/ListViewEx.h"
#include "ui/MessageBoxes.h"
#include "ui/TemplateLayout.h"

namespace {

constexpr int kTextStart = 101;
constexpr int kTextCoder = 105;
constexpr int kTextPreset = 106;
constexpr int kTextReset = 107;
constexpr int kTextApply = 108;
constexpr int kTextDecodingLine = 109;
constexpr int kTextCodingLine = 110;
constexpr int kTextReady = 112;
constexpr int kTextStartupTime = 113;
constexpr int kTextCoderInfo = 166;
constexpr int kTextOpenCoderFolder = 182;
constexpr int kMainMenu = 203;

using Anchor = CTemplateLayout::Anchor;

QFont StartButtonFont() {
    QFont font(QStringLiteral("Tahoma"));
    // Where Tahoma is absent, the system's sans-serif face at the same size.
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(15);
    font.setWeight(QFont::Bold);
    return font;
}

}  // namespace

CDlgMain::CDlgMain(const CLanguageManager* language, const MainWindowServices& services)
    : QDialog(nullptr),
      CDlgSettingsImpl(&m_settingsSet),
      CDlgLanguageImpl(language),
      m_services(services),
      m_conversion(m_settingsSet, m_files, m_catalogue, m_core),
      m_console(std::make_unique<CDlgConsole>(language)) {
    setObjectName(QStringLiteral("dlg129"));
    // A desktop program has no terminal for the codecs' chatter; what a failed program said is
    // kept for the error box instead.
    m_conversion.SetShowPrograms(false);
}

CDlgMain::~CDlgMain() {
    // Plug-ins go first, in order, while the window they may have parented dialogs to is whole.
    m_plugins.UnloadAll();
    // A run still going when the window goes (the program is ending) must not outlive the jobs.
    if (m_core.IsRunning()) m_core.Stop();
    m_core.WaitForWorkers();
}

void CDlgMain::CreateControls() {
    auto* layout = new CTemplateLayout(this, 459, 292);
    auto add = [&](QWidget* widget, int id, int x, int y, int w, int h, int anchors) {
        layout->AddControl(widget, id, x, y, w, h, anchors);
    };
    auto label = [&](int textId) {
        return new QLabel(GetString(static_cast<std::uint32_t>(textId)), this);
    };

    m_fileList = new CListViewEx(this);
    m_model = new CFileListModel(m_files, *GetLanguage(), this);
    m_fileList->setModel(m_model);
    m_fileList->setAccessibleName(GetString(102));
    add(m_fileList, 1000, 6, 6, 276, 204, Anchor::kSizeX | Anchor::kSizeY);

    m_start = new QPushButton(GetString(kTextStart), this);
    m_start->setDefault(true);
    m_start->setFont(StartButtonFont());
    add(m_start, 1003, 6, 216, 78, 62, Anchor::kMoveY);

    m_coderLabel = label(kTextCoder);
    add(m_coderLabel, 1007, 289, 6, 66, 10, Anchor::kMoveX);
    m_coderBox = new QComboBox(this);
    m_coderBox->setAccessibleName(GetString(kTextCoder));
    m_coderLabel->setBuddy(m_coderBox);
    add(m_coderBox, 1004, 288, 18, 162, 30, Anchor::kMoveX | Anchor::kHintHeight);
    m_presetLabel = label(kTextPreset);
    add(m_presetLabel, 1008, 289, 38, 66, 10, Anchor::kMoveX);
    m_presetBox = new QComboBox(this);
    m_presetBox->setAccessibleName(GetString(kTextPreset));
    m_presetLabel->setBuddy(m_presetBox);
    add(m_presetBox, 1005, 288, 50, 162, 12, Anchor::kMoveX | Anchor::kHintHeight);

    auto* reset = new QPushButton(GetString(kTextReset), this);
    add(reset, 1016, 287, 68, 163, 13, Anchor::kMoveX);
    auto* apply = new QPushButton(GetString(kTextApply), this);
    add(apply, 1017, 287, 81, 163, 13, Anchor::kMoveX);
    auto* infoLabel = label(kTextCoderInfo);
    add(infoLabel, 1055, 288, 102, 162, 8, Anchor::kMoveX);
    m_info = new CListViewEx(this);
    m_info->SetHeaderVisible(false);
    m_info->setShowGrid(false);
    m_info->setSelectionMode(QAbstractItemView::SingleSelection);
    m_info->setAccessibleName(GetString(kTextCoderInfo));
    add(m_info, 1039, 288, 114, 162, 96, Anchor::kMoveX);

    // Present in the template, without a command behind them.
    for (int id : {1015, 1014}) {
        auto* hidden = new QPushButton(this);
        hidden->setAccessibleName(QStringLiteral("ctl%1").arg(id));
        hidden->hide();
        hidden->setEnabled(false);
        add(hidden, id, 288, id == 1015 ? 186 : 199, 163, 13, Anchor::kMoveX);
    }

    auto* openFolder = new QPushButton(this);
    openFolder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    openFolder->setIconSize(QSize(12, 12));
    openFolder->setAccessibleName(GetString(kTextOpenCoderFolder));
    openFolder->setToolTip(GetString(kTextOpenCoderFolder));
    openFolder->setAutoDefault(false);
    add(openFolder, 1019, 435, 4, 15, 13, Anchor::kMoveX);

    auto* decodingLabel = label(kTextDecodingLine);
    add(decodingLabel, 1012, 90, 216, 360, 10, Anchor::kMoveY | Anchor::kSizeX);
    m_decoderEdit = new QLineEdit(this);
    m_decoderEdit->setAccessibleName(GetString(kTextDecodingLine));
    decodingLabel->setBuddy(m_decoderEdit);
    add(m_decoderEdit, 1010, 90, 228, 360, 14, Anchor::kMoveY | Anchor::kSizeX);
    auto* codingLabel = label(kTextCodingLine);
    add(codingLabel, 1011, 90, 252, 360, 10, Anchor::kMoveY | Anchor::kSizeX);
    m_coderEdit = new QLineEdit(this);
    m_coderEdit->setAccessibleName(GetString(kTextCodingLine));
    codingLabel->setBuddy(m_coderEdit);
    add(m_coderEdit, 1009, 90, 264, 360, 14, Anchor::kMoveY | Anchor::kSizeX);

    auto* grip = new QSizeGrip(this);
    grip->setAccessibleName(QStringLiteral("Size grip"));
    add(grip, 1100, 449, 282, 10, 10, Anchor::kMoveX | Anchor::kMoveY);

    for (QPushButton* button : {reset, apply}) button->setAutoDefault(false);
    connect(m_start, &QPushButton::clicked, this, &CDlgMain::OnStart);
    connect(reset, &QPushButton::clicked, this, &CDlgMain::OnResetSettings);
    connect(apply, &QPushButton::clicked, this, &CDlgMain::OnApplySettings);
    connect(openFolder, &QPushButton::clicked, this, [this] {
        if (m_currentCoder) m_services.Shell.Open(m_currentCoder->GetFolder());
    });
    connect(m_coderBox, &QComboBox::currentIndexChanged, this, &CDlgMain::OnCoderSelectionChanged);
    connect(m_coderBox, &QComboBox::activated, this, &CDlgMain::OnCoderActivated);
    connect(m_decoderEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { OnEditCommandLine(false, text); });
    connect(m_coderEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { OnEditCommandLine(true, text); });
    connect(m_fileList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CDlgMain::ShowCommandLines);
    m_fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_fileList, &QWidget::customContextMenuRequested, this, &CDlgMain::OnContextMenu);
    m_fileList->installEventFilter(this);
    setAcceptDrops(true);
}

void CDlgMain::BuildMenus() {
    const CMenuBuilder builder([this](int id) { OnCommand(id); });
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menu203"));
    LanguageMenu menu;
    if (GetLanguage()->GetMenu(kMainMenu, menu)) builder.FillMenuBar(*m_menuBar, menu);
    layout()->setMenuBar(m_menuBar);
}

void CDlgMain::Initialise() {
    QElapsedTimer clock;
    clock.start();
    CreateControls();
    BuildMenus();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = layout()->totalMinimumSize();
        resize(size);
        move(screen->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
    }
    m_info->InsertColumn(0, QStringLiteral("Field"));
    m_info->InsertColumn(1, QStringLiteral("Value"));
    m_fileList->AutosizeColumns();
    setWindowTitle(ToQString(GetVersionText()));
    setWindowIcon(GetAppIcon());
    m_workingFolder = CWorkingFolder::FromCurrentDirectory();
    RemoveStaleTempFiles(platform::TemporaryFolder());  // what a kelto that died left
    LoadPlugins();
    setMinimumSize(layout()->totalMinimumSize());
    LoadState();
    LoadCatalogue();
    FillCoderBox();
    const int saved = m_settingsSet.CoderIndex;
    if (saved >= 0 && saved < m_coderBox->count()) m_coderBox->setCurrentIndex(saved);
    MakeCoderCurrent(m_coderBox->currentIndex());
    FillPresets(m_settingsSet.PresetIndex);
    AddLogLine(GetStdString(kTextReady));
    AddLogLine(ToStdString(GetString(kTextStartupTime)
                               .replace(QStringLiteral("%d"), QString::number(clock.elapsed()))));
}

void CDlgMain::LoadCatalogue() {
    m_catalogue.Load(*m_workingFolder, GetStdString(111),
                     m_settingsSet.Database.FindByFileName == 1);
}

void CDlgMain::FillCoderBox() {
    const QSignalBlocker block(m_coderBox);
    m_coderBox->clear();
    const CCoderList& coders = m_catalogue.GetCoders();
    for (int i = 0; i < coders.GetCount(); ++i) {
        m_coderBox->addItem(ToQString(coders.GetAt(i)->GetName()));
    }
    if (m_coderBox->count() > 0) m_coderBox->setCurrentIndex(0);
    m_currentCoder = nullptr;
}

void CDlgMain::MakeCoderCurrent(int index) {
    m_currentCoder = m_catalogue.GetCoders().GetAt(index);
    ShowCoderInfo();
}

void CDlgMain::ShowCoderInfo() {
    m_info->DeleteAllItems();
    if (m_currentCoder && !m_catalogue.IsPassThrough(m_coderBox->currentIndex())) {
        const std::pair<int, std::string> rows[] = {{147, m_currentCoder->GetDescription()},
                                                    {104, m_currentCoder->GetFormat()},
                                                    {167, m_currentCoder->GetDate()}};
        for (const auto& [textId, value] : rows) {
            const int row = m_info->AddItem(m_info->GetItemCount(), 0,
                                            GetString(static_cast<std::uint32_t>(textId)));
            m_info->AddItem(row, 1, ToQString(value));
        }
    }
    m_info->AutosizeColumns();
}

void CDlgMain::FillPresets(int index) {
    m_presetBox->clear();
    if (m_currentCoder) {
        const CPresetList& presets = m_currentCoder->GetPresets();
        for (int i = 0; i < presets.GetCount(); ++i) {
            m_presetBox->addItem(ToQString(presets.GetAt(i)->Name));
        }
    }
    const int count = m_presetBox->count();
    if (count > 0) m_presetBox->setCurrentIndex(std::clamp(index, 0, count - 1));
    const bool passThrough = m_catalogue.IsPassThrough(m_coderBox->currentIndex());
    m_presetBox->setEnabled(!passThrough);
    m_presetLabel->setEnabled(!passThrough);
}

void CDlgMain::OnCoderSelectionChanged(int index) { MakeCoderCurrent(index); }

void CDlgMain::OnCoderActivated(int index) {
    MakeCoderCurrent(index);
    if (m_currentCoder) FillPresets(0);
}

ConversionChoice CDlgMain::GetChoice() const {
    ConversionChoice choice;
    choice.CoderIndex = m_coderBox->currentIndex();
    choice.PresetIndex = m_presetBox->currentIndex();
    return choice;
}

void CDlgMain::RefreshView() {
    m_fileList->setUpdatesEnabled(false);
    m_model->Refresh();
    m_fileList->AutosizeColumns();
    m_fileList->setUpdatesEnabled(true);
}

void CDlgMain::ShowError(const std::string& text) {
    m_services.MessageBoxes.Show(this, text, GetStdString(119), IMessageBoxes::Icon::Error);
}

void CDlgMain::keyPressEvent(QKeyEvent* event) { QDialog::keyPressEvent(event); }

bool CDlgMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fileList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            OnRemoveSelected();
            return true;
        }
        if (key->key() == Qt::Key_A && key->modifiers() == Qt::ControlModifier) {
            SelectAll(true);
            return true;
        }
        if (key->key() == Qt::Key_F5) {
            RefreshView();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
