#include "app/DlgConsole.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/Log.h"
#include "ui/TemplateLayout.h"

namespace {

constexpr int kTextClose = 123;
constexpr int kTextCaption = 131;

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

}  // namespace

CDlgConsole::CDlgConsole(const CLanguageManager* language)
    : QDialog(nullptr), CDlgLanguageImpl(language), m_text(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("dlg229"));
    setWindowTitle(GetString(kTextCaption));
    auto* layout = new CTemplateLayout(this, 251, 172);
    m_text->setObjectName(QStringLiteral("ctl1046"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(ConsoleFont());
    m_text->setAccessibleName(GetString(kTextCaption));
    layout->AddWidget(m_text, 7, 7, 237, 138, CTemplateLayout::kSizeX | CTemplateLayout::kSizeY);
    auto* close = new QPushButton(GetString(kTextClose), this);
    close->setObjectName(QStringLiteral("ctl1047"));
    layout->AddWidget(close, 194, 151, 50, 14, CTemplateLayout::kMoveX | CTemplateLayout::kMoveY);
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

void CDlgConsole::showEvent(QShowEvent* event) {
    QString text;
    const std::size_t count = GetLogLineCount();
    for (std::size_t i = 0; i < count; ++i) {
        text += ToQString(GetLogLine(i));
        text += QLatin1Char('\n');
    }
    m_text->setPlainText(text);
    QDialog::showEvent(event);
}
