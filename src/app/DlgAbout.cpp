#include "app/DlgAbout.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtGlobal>

#include "app/AppIcon.h"
#include "base/Paths.h"
#include "base/Version.h"
#include "session/ProgramVersions.h"
#include "ui/ListViewEx.h"

namespace {
constexpr int kTextTitle = 156;
constexpr int kTextNotice = 157;
constexpr int kTextLicence = 293;
constexpr int kTextPrograms = 294;
constexpr int kTextNoVersion = 295;
constexpr int kTextAsking = 296;
constexpr int kTextQtVersions = 297;
constexpr int kTextProgram = 298;
constexpr int kTextVersion = 299;
constexpr int kPollMs = 100;
constexpr int kIconSize = 64;
}  // namespace

CDlgAbout::CDlgAbout(const CLanguageManager* language, CProgramVersions* versions,
                     std::vector<std::string> programs, QWidget* owner)
    : QDialog(owner),
      CDlgLanguageImpl(language),
      m_versions(versions),
      m_programPaths(std::move(programs)),
      m_programs(new CListViewEx(this)),
      m_poll(new QTimer(this)) {
    setObjectName(QStringLiteral("dlg100"));
    setWindowTitle(GetString(kTextTitle));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ctl1012"));
    icon->setPixmap(GetAppIcon().pixmap(kIconSize, kIconSize));
    icon->setAccessibleName(QStringLiteral("kelto"));
    icon->setAlignment(Qt::AlignTop);

    auto* text =
        new QLabel(ToQString(GetVersionText()) + QStringLiteral("\n\n") + GetString(kTextNotice) +
                       QStringLiteral("\n\n") + GetString(kTextLicence),
                   this);
    text->setObjectName(QStringLiteral("ctl1013"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* qtVersions =
        new QLabel(FillText(GetString(kTextQtVersions),
                            {QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR)}),
                   this);
    qtVersions->setObjectName(QStringLiteral("ctl1014"));
    qtVersions->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* programsLabel = new QLabel(GetString(kTextPrograms), this);
    programsLabel->setObjectName(QStringLiteral("ctl1015"));
    programsLabel->setBuddy(m_programs);
    m_programs->setObjectName(QStringLiteral("ctl1016"));
    m_programs->setAccessibleName(GetString(kTextPrograms));
    m_programs->InsertColumn(0, GetString(kTextProgram));
    m_programs->InsertColumn(1, GetString(kTextVersion));
    for (const std::string& path : m_programPaths) {
        const int row =
            m_programs->AddItem(m_programs->GetItemCount(), 0, ToQString(PathFileName(path)));
        m_programs->AddItem(row, 1, GetString(kTextAsking));
    }
    m_programs->AutosizeColumns();
    m_programs->setMinimumHeight(m_programs->fontMetrics().height() * 10);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ctl1"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addWidget(qtVersions);
    texts->addWidget(programsLabel);
    texts->addWidget(m_programs, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);
    // Wide enough for the notice to wrap into a few lines, not one per word.
    text->setMinimumWidth(text->fontMetrics().averageCharWidth() * 56);
    setTabOrder(m_programs, ok);

    m_versions->Request(m_programPaths);
    connect(m_poll, &QTimer::timeout, this, &CDlgAbout::ShowVersions);
    m_poll->start(kPollMs);
    ShowVersions();
}

void CDlgAbout::ShowVersions() {
    bool waiting = false;
    for (std::size_t i = 0; i < m_programPaths.size(); ++i) {
        std::string version;
        if (!m_versions->Find(m_programPaths[i], &version)) {
            waiting = true;
            continue;
        }
        const QString shown = version.empty() ? GetString(kTextNoVersion) : ToQString(version);
        m_programs->SetItemText(static_cast<int>(i), 1, shown);
    }
    m_programs->AutosizeColumns(1);
    if (!waiting) m_poll->stop();
}
