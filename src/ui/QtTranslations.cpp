#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QTranslator* InstallQtTranslations(const std::string& locale) {
    if (locale.empty() || locale == "en") return nullptr;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    QString name = QString::fromStdString(locale);
    // The translator lives as long as the application it was given to.
    auto* translator = new QTranslator(QCoreApplication::instance());
    // qtbase holds the widgets' texts; the "qt_" file of a locale only points at it.
    while (!translator->load(QStringLiteral("qtbase_") + name, folder)) {
        const qsizetype underscore = name.lastIndexOf(QLatin1Char('_'));
        if (underscore < 0) {
            delete translator;
            return nullptr;
        }
        name.truncate(underscore);
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}
