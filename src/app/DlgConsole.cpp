#include "app/DlgConsole.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <fstream>

#include "base/Log.h"
#include "ui/Choosers.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr int kTextError = 119;
constexpr int kTextClose = 123;
constexpr int kTextCaption = 131;
constexpr int kTextCopy = 280;
constexpr int kTextSave = 281;
constexpr int kTextLogFilter = 282;
constexpr int kTextNotSaved = 283;

QFont ConsoleFont() {
    QFont font(QStringLiteral("Lucida Console"), 8);
    // Where Lucida Console is absent, the system's fixed font at the same size.
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(8);
    }
    font.setWeight(QFont::Normal);
    return font;
}

QPushButton* AddButton(QWidget* parent, QBoxLayout* row, const QString& text, int id) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("ctl%1").arg(id));
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

}  // namespace

CDlgConsole::CDlgConsole(const CLanguageManager* language, IChoosers& choosers,
                         IMessageBoxes& boxes)
    : QDialog(nullptr),
      CDlgLanguageImpl(language),
      m_choosers(choosers),
      m_boxes(boxes),
      m_text(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("dlg229"));
    setWindowTitle(GetString(kTextCaption));
    auto* layout = new QVBoxLayout(this);
    m_text->setObjectName(QStringLiteral("ctl1046"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(ConsoleFont());
    m_text->setAccessibleName(GetString(kTextCaption));
    // The template's text area: about 80 columns by 20 lines of the console's font.
    const QFontMetrics metrics(m_text->font());
    m_text->setMinimumSize(metrics.averageCharWidth() * 80, metrics.lineSpacing() * 20);
    layout->addWidget(m_text, 1);
    auto* row = new QHBoxLayout;
    QPushButton* copy = AddButton(this, row, GetString(kTextCopy), 1280);
    QPushButton* save = AddButton(this, row, GetString(kTextSave), 1281);
    row->addStretch(1);
    QPushButton* close = AddButton(this, row, GetString(kTextClose), 1047);
    close->setDefault(true);
    layout->addLayout(row);
    connect(copy, &QPushButton::clicked, this, &CDlgConsole::OnCopy);
    connect(save, &QPushButton::clicked, this, &CDlgConsole::OnSave);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void CDlgConsole::ShowConsole() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    showNormal();
}

QString CDlgConsole::GetText() const { return m_text->toPlainText(); }

void CDlgConsole::Refresh() {
    const std::size_t count = GetLogLineCount();
    if (count <= m_shownLines) return;
    QString text;
    for (std::size_t i = m_shownLines; i < count; ++i) {
        if (i != m_shownLines) text += QLatin1Char('\n');
        text += ToQString(GetLogLine(i));
    }
    // Follows the end only when the reader was there: one reading older lines keeps them.
    QScrollBar* bar = m_text->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    m_text->appendPlainText(text);
    if (atEnd) bar->setValue(bar->maximum());
    m_shownLines = count;
}

void CDlgConsole::OnCopy() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(GetText() + QLatin1Char('\n'));
    }
}

void CDlgConsole::OnSave() {
    const std::string path = m_choosers.ChooseSaveFile(this, GetStdString(kTextLogFilter));
    if (path.empty()) return;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << ToStdString(GetText()) << '\n';
    file.close();
    if (!file) {
        m_boxes.Show(this, GetStdString(kTextNotSaved) + "\n" + path, GetStdString(kTextError),
                     IMessageBoxes::Icon::Error);
    }
}

void CDlgConsole::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}
