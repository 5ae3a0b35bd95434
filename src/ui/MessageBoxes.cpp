#include "ui/MessageBoxes.h"

#include <QMessageBox>

#include "ui/QtText.h"

void CMessageBoxes::Show(QWidget* owner, const std::string& text, const std::string& caption,
                         Icon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::Critical;
    if (icon == Icon::Warning) qtIcon = QMessageBox::Warning;
    if (icon == Icon::Information) qtIcon = QMessageBox::Information;
    QMessageBox box(qtIcon, ToQString(caption), ToQString(text), QMessageBox::Ok, owner);
    box.exec();
}
