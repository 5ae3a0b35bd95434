// Pictures of every window of the desktop program, for looking at texts that do not fit:
//   kelto_dialog_shots OUTPUT-FOLDER PREFIX
// run in a working folder (as kelto is) whose FileList.m3u lists a few files. The language is
// the system's, as in kelto; QT_SCALE_FACTOR scales. Writes PREFIX-<name>.png: the main
// window, every Options page, the codecs dialog, the about box, the console, the plug-ins'
// dialogs, and the job window with whatever the run shows after it.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <iostream>

#include "app/DlgConsole.h"
#include "app/DlgJobControl.h"
#include "app/DlgMain.h"
#include "app/OptionsDialog.h"
#include "app/Shell.h"
#include "lang/LanguageLocale.h"
#include "lang/LanguageManager.h"
#include "platform/SystemLanguage.h"
#include "ui/Choosers.h"
#include "ui/MessageBoxes.h"
#include "ui/QtTranslations.h"

namespace {

QString g_folder;
QString g_prefix;
int g_saved = 0;

void Save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = g_folder + QLatin1Char('/') + g_prefix + QLatin1Char('-') + name +
                         QStringLiteral(".png");
    if (widget->grab().save(path)) {
        ++g_saved;
    } else {
        std::cerr << "kelto_dialog_shots: cannot write " << path.toStdString() << "\n";
    }
}

// Pictures each modal dialog that opens while command runs, then lets shoot close it (or
// closes it itself). Dialogs that open one after another each get their turn.
void WhileModal(const std::function<void()>& command,
                const std::function<void(QWidget*, int)>& shoot) {
    int seen = 0;
    QWidget* last = nullptr;
    QTimer timer;
    timer.setInterval(300);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == last) return;
        last = dialog;
        shoot(dialog, seen++);
    });
    timer.start();
    command();
    timer.stop();
}

void CloseLater(QWidget* dialog) {
    QTimer::singleShot(0, dialog, [dialog] { QMetaObject::invokeMethod(dialog, "reject"); });
}

QString NameOf(QWidget* dialog, int index) {
    const QString name = dialog->objectName();
    return name.isEmpty() ? QStringLiteral("dialog%1").arg(index) : name;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc != 3) {
        std::cerr << "usage: kelto_dialog_shots OUTPUT-FOLDER PREFIX\n";
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    g_prefix = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(g_folder);
    CMessageBoxes boxes;
    CChoosers choosers;
    CShell shell;
    CLanguageManager& language = GetLanguageManager();
    if (!SelectStartupLanguage(language, platform::SystemLanguageId())) return 1;
    InstallQtTranslations(LocaleOfLanguage(language.GetCurrentLanguage()));
    CDlgMain window(&language, MainWindowServices{boxes, choosers, shell});
    window.Initialise();
    window.show();
    Save(&window, QStringLiteral("main"));

    WhileModal([&] { window.OnCommand(CDlgMain::kCmdOptions); },
               [](QWidget* dialog, int) {
                   auto* options = qobject_cast<COptionsDialog*>(dialog);
                   QTreeWidgetItemIterator item(options->GetTree());
                   for (int page = 0; *item; ++item, ++page) {
                       options->GetTree()->setCurrentItem(*item);
                       Save(dialog, QStringLiteral("options-%1").arg(page));
                   }
                   CloseLater(dialog);
               });
    const auto shootAndClose = [](const QString& name) {
        return [name](QWidget* dialog, int index) {
            Save(dialog, index == 0 ? name : name + QString::number(index));
            CloseLater(dialog);
        };
    };
    WhileModal([&] { window.OnCommand(CDlgMain::kCmdCodecsInfo); }, shootAndClose("codecs"));
    WhileModal([&] { window.OnCommand(CDlgMain::kCmdAbout); }, shootAndClose("about"));
    window.OnCommand(CDlgMain::kCmdConsole);
    Save(window.GetConsole(), QStringLiteral("console"));
    window.GetConsole()->hide();
    for (int i = 0; i < window.GetPlugins().GetCount(); ++i) {
        WhileModal([&] { window.OnPluginCommand(i); },
                   shootAndClose(QStringLiteral("plugin%1").arg(i)));
    }

    // A run: the job window once it has work to show, stopped then, and what the end of the
    // run shows after it.
    WhileModal([&] { window.OnStart(); },
               [](QWidget* dialog, int index) {
                   if (qobject_cast<CDlgJobControl*>(dialog)) {
                       QTimer::singleShot(2000, dialog, [dialog] {
                           Save(dialog, QStringLiteral("job"));
                           if (auto* stop = dialog->findChild<QAbstractButton*>(
                                   QStringLiteral("ctl1038"))) {
                               stop->click();
                           }
                       });
                       return;  // the job window closes when the run ends
                   }
                   Save(dialog, NameOf(dialog, index));
                   CloseLater(dialog);
               });
    Save(&window, QStringLiteral("main-after-run"));
    std::cout << "kelto_dialog_shots: " << g_saved << " pictures in " << g_folder.toStdString()
              << "\n";
    return 0;
}
