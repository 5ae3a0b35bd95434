#include "ui/MessageBoxes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace {

QMessageBox::Icon QtIcon(IMessageBoxes::Icon icon) {
    if (icon == IMessageBoxes::Icon::Warning) return QMessageBox::Warning;
    if (icon == IMessageBoxes::Icon::Information) return QMessageBox::Information;
    return QMessageBox::Critical;
}

QStyle::StandardPixmap StylePixmap(IMessageBoxes::Icon icon) {
    if (icon == IMessageBoxes::Icon::Warning) return QStyle::SP_MessageBoxWarning;
    if (icon == IMessageBoxes::Icon::Information) return QStyle::SP_MessageBoxInformation;
    return QStyle::SP_MessageBoxCritical;
}

// Lines of details shown before the area scrolls.
constexpr int kDetailLines = 12;

}  // namespace

void CMessageBoxes::Show(QWidget* owner, const std::string& text, const std::string& caption,
                         Icon icon) {
    QMessageBox box(QtIcon(icon), ToQString(caption), ToQString(text), QMessageBox::Ok, owner);
    box.exec();
}

int CMessageBoxes::Ask(QWidget* owner, const std::string& text, const std::string& caption,
                       const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, ToQString(caption), ToQString(text),
                    QMessageBox::NoButton, owner);
    std::vector<QPushButton*> pressed;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        // The last button closes the box as Esc does; the others answer it.
        const auto role =
            i + 1 == buttons.size() ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        pressed.push_back(box.addButton(ToQString(buttons[i]), role));
    }
    if (!pressed.empty()) {
        box.setDefaultButton(pressed.front());
        box.setEscapeButton(pressed.back());
    }
    box.exec();
    for (std::size_t i = 0; i < pressed.size(); ++i) {
        if (box.clickedButton() == pressed[i]) return static_cast<int>(i);
    }
    return -1;
}

void CMessageBoxes::ShowReport(QWidget* owner, const std::string& text, const std::string& details,
                               const std::string& caption, Icon icon) {
    QDialog dialog(owner);
    dialog.setWindowTitle(ToQString(caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel(&dialog);
    const int side = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    picture->setPixmap(dialog.style()->standardIcon(StylePixmap(icon)).pixmap(side, side));
    picture->setAlignment(Qt::AlignTop);
    top->addWidget(picture);
    auto* summary = new QLabel(ToQString(text), &dialog);
    summary->setWordWrap(true);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(summary, 1);
    layout->addLayout(top);
    if (!details.empty()) {
        auto* area = new QPlainTextEdit(ToQString(details), &dialog);
        area->setObjectName(QStringLiteral("details"));
        area->setReadOnly(true);
        area->setLineWrapMode(QPlainTextEdit::NoWrap);
        area->setAccessibleName(ToQString(text));
        area->setMinimumHeight(area->fontMetrics().lineSpacing() * kDetailLines);
        area->setMinimumWidth(area->fontMetrics().averageCharWidth() * 80);
        layout->addWidget(area, 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}
