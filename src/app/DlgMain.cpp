#include "app/DlgMain.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
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
#include "app/MenuShortcuts.h"
#include "app/Shell.h"
#include "base/Log.h"
#include "base/Version.h"
#include "codecs/Coder.h"
#include "core/TempFileName.h"
#include "platform/TempFolder.h"
#include "ui/DialogLayout.h"
#include "ui/ListViewEx.h"
#include "ui/MessageBoxes.h"

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
      m_console(std::make_unique<CDlgConsole>(language, services.Choosers, services.MessageBoxes)) {
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
    auto label = [&](int textId, int id, QWidget* buddy) {
        auto* text = Named(new QLabel(GetString(static_cast<std::uint32_t>(textId)), this), id);
        text->setBuddy(buddy);
        return text;
    };

    m_fileList = Named(new CListViewEx(this), 1000);
    m_model = new CFileListModel(m_files, *GetLanguage(), this);
    m_fileList->setModel(m_model);
    m_fileList->setAccessibleName(GetString(102));
    m_fileList->setMinimumSize(TextSize(*this, 30, 8));

    // The right-hand column, from the top: the coder with the button that opens its folder,
    // the preset, Reset and Apply, and what is known of the coder.
    auto* openFolder = Named(new QPushButton(this), 1019);
    openFolder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    openFolder->setAccessibleName(GetString(kTextOpenCoderFolder));
    openFolder->setToolTip(GetString(kTextOpenCoderFolder));
    m_coderBox = Named(new QComboBox(this), 1004);
    m_coderBox->setAccessibleName(WithoutMnemonic(GetString(kTextCoder)));
    m_coderLabel = label(kTextCoder, 1007, m_coderBox);
    m_presetBox = Named(new QComboBox(this), 1005);
    m_presetBox->setAccessibleName(WithoutMnemonic(GetString(kTextPreset)));
    m_presetLabel = label(kTextPreset, 1008, m_presetBox);
    auto* reset = Named(new QPushButton(GetString(kTextReset), this), 1016);
    auto* apply = Named(new QPushButton(GetString(kTextApply), this), 1017);
    m_info = Named(new CListViewEx(this), 1039);
    m_info->SetHeaderVisible(false);
    m_info->setShowGrid(false);
    m_info->setSelectionMode(QAbstractItemView::SingleSelection);
    m_info->setAccessibleName(GetString(kTextCoderInfo));
    // The column is the template's, about forty characters wide.
    m_info->setMinimumWidth(TextSize(*this, 40, 0).width());
    auto* infoLabel = label(kTextCoderInfo, 1055, m_info);

    auto* coderRow = new QHBoxLayout;
    coderRow->addWidget(m_coderLabel, 1, Qt::AlignBottom);
    coderRow->addWidget(openFolder);
    auto* column = new QVBoxLayout;
    column->addLayout(coderRow);
    column->addWidget(m_coderBox);
    column->addSpacing(GroupGap(*this));
    column->addWidget(m_presetLabel);
    column->addWidget(m_presetBox);
    column->addSpacing(GroupGap(*this));
    column->addWidget(reset);
    column->addWidget(apply);
    column->addSpacing(GroupGap(*this));
    column->addWidget(infoLabel);
    column->addWidget(m_info, 1);
    // Present in the template, without a command behind them.
    for (int id : {1015, 1014}) {
        auto* hidden = Named(new QPushButton(this), id);
        hidden->setAccessibleName(QStringLiteral("ctl%1").arg(id));
        hidden->hide();
        hidden->setEnabled(false);
        column->addWidget(hidden);
    }

    // Below both: Start at the bottom left, the command lines beside it.
    m_start = Named(new QPushButton(GetString(kTextStart), this), 1003);
    m_start->setDefault(true);
    m_start->setFont(StartButtonFont());
    m_start->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_start->setMinimumWidth(std::max(m_start->sizeHint().width(), TextSize(*this, 18, 0).width()));
    m_decoderEdit = Named(new QLineEdit(this), 1010);
    m_decoderEdit->setAccessibleName(WithoutMnemonic(GetString(kTextDecodingLine)));
    auto* decodingLabel = label(kTextDecodingLine, 1012, m_decoderEdit);
    m_coderEdit = Named(new QLineEdit(this), 1009);
    m_coderEdit->setAccessibleName(WithoutMnemonic(GetString(kTextCodingLine)));
    auto* codingLabel = label(kTextCodingLine, 1011, m_coderEdit);
    auto* lines = new QGridLayout;
    lines->setVerticalSpacing(0);
    lines->addWidget(m_start, 0, 0, 5, 1);
    lines->addWidget(decodingLabel, 0, 1);
    lines->addWidget(m_decoderEdit, 1, 1);
    lines->setRowMinimumHeight(2, GroupGap(*this));
    lines->addWidget(codingLabel, 3, 1);
    lines->addWidget(m_coderEdit, 4, 1);
    lines->setColumnStretch(1, 1);
    lines->setHorizontalSpacing(GroupGap(*this));

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_fileList, 0, 0);
    grid->addLayout(column, 0, 1);
    grid->addLayout(lines, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(0, 1);

    setSizeGripEnabled(true);
    if (auto* grip = findChild<QSizeGrip*>()) {
        grip->setObjectName(QStringLiteral("ctl1100"));
        grip->setAccessibleName(QStringLiteral("Size grip"));
    }

    // Tab goes as one reads the window: the list, the right-hand column from its top, then
    // Start and the command lines.
    QWidget* order[] = {m_fileList, openFolder, m_coderBox, m_presetBox,   reset,
                        apply,      m_info,     m_start,    m_decoderEdit, m_coderEdit};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    for (QPushButton* button : {reset, apply, openFolder}) button->setAutoDefault(false);
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
    const CMenuBuilder builder([this](int id) { OnCommand(id); }, MenuShortcut);
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
    SetUpKeys();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // Room for the list's columns beside the right-hand column, within the screen; the
        // layout keeps every text whole at any size it allows.
        const QRect free = screen->availableGeometry();
        const QSize size = layout()->totalSizeHint().expandedTo(TextSize(*this, 170, 34));
        resize(size.boundedTo(free.size()));
        move(free.center() - QPoint(width() / 2, height() / 2));
    }
    m_info->InsertColumn(0, QStringLiteral("Field"));
    m_info->InsertColumn(1, QStringLiteral("Value"));
    m_fileList->AutosizeColumns();
    setWindowTitle(ToQString(GetVersionText()));
    setWindowIcon(GetAppIcon());
    m_workingFolder = CWorkingFolder::FromCurrentDirectory();
    m_infoCache.Load(InfoCachePath());
    m_files.SetInfoCache(&m_infoCache);
    RemoveStaleTempFiles(platform::TemporaryFolder());  // what a kelto that died left
    LoadPlugins();
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
