#include "app/DlgAbout.h"

#include <QLabel>
#include <QPushButton>

#include "base/Version.h"
#include "ui/TemplateLayout.h"

namespace {
constexpr int kTextTitle = 156;
constexpr int kTextNotice = 157;
}  // namespace

CDlgAbout::CDlgAbout(const CLanguageManager* language, QWidget* owner)
    : QDialog(owner), CDlgLanguageImpl(language) {
    setObjectName(QStringLiteral("dlg100"));
    setWindowTitle(GetString(kTextTitle));
    auto* layout = new CTemplateLayout(this, 220, 110);
    auto* text = new QLabel(
        ToQString(GetVersionText()) + QStringLiteral("\n\n") + GetString(kTextNotice), this);
    text->setObjectName(QStringLiteral("ctl1013"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->AddWidget(text, 7, 7, 206, 76, CTemplateLayout::kSizeX | CTemplateLayout::kSizeY);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ctl1"));
    ok->setDefault(true);
    layout->AddWidget(ok, 163, 89, 50, 14, CTemplateLayout::kMoveX | CTemplateLayout::kMoveY);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(layout->minimumSize());
}
