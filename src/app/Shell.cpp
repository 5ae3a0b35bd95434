#include "app/Shell.h"

#include <QDesktopServices>
#include <QUrl>

#include "ui/QtText.h"

bool CShell::Open(const std::string& target) {
    const QString text = ToQString(target);
    const bool web =
        text.startsWith(QStringLiteral("http://")) || text.startsWith(QStringLiteral("https://"));
    return QDesktopServices::openUrl(web ? QUrl(text) : QUrl::fromLocalFile(text));
}
