// The main window's keys: Enter only when the window saw it go down, the menus' shortcuts and
// F10; and the real file choosers, which start where the user last was and speak the
// window's language.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>
#include <filesystem>

#include "AppFixture.h"
#include "AppTest.h"
#include "app/MenuShortcuts.h"
#include "lang/LanguageLocale.h"
#include "ui/Choosers.h"
#include "ui/QtTranslations.h"

namespace fs = std::filesystem;

namespace {

void SendKey(QWidget* widget, QEvent::Type type, bool autoRepeat) {
    QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), autoRepeat);
    QApplication::sendEvent(widget, &key);
}

}  // namespace

class CKeysTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_fixture = std::make_unique<CAppFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void EnterStartsOnlyWhenItsPressReachedTheWindow() {
        auto window = m_fixture->OpenWindow();
        auto* start = window->findChild<QPushButton*>(QStringLiteral("ctl1003"));
        auto* edit = window->findChild<QLineEdit*>(QStringLiteral("ctl1010"));
        window->show();  // a hidden default button takes no Enter
        QSignalSpy clicked(start, &QPushButton::clicked);

        // The tail of an Enter that closed another dialog: repeats and the release.
        SendKey(edit, QEvent::KeyPress, true);
        SendKey(edit, QEvent::KeyRelease, true);
        SendKey(edit, QEvent::KeyPress, true);
        SendKey(edit, QEvent::KeyRelease, false);
        QCOMPARE(clicked.count(), 0);

        // Enter pressed and let go here starts, once, however long it was held.
        SendKey(edit, QEvent::KeyPress, false);
        SendKey(edit, QEvent::KeyPress, true);
        QCOMPARE(clicked.count(), 0);
        SendKey(edit, QEvent::KeyRelease, false);
        QCOMPARE(clicked.count(), 1);
        QTest::keyClick(start, Qt::Key_Return);
        QCOMPARE(clicked.count(), 2);
    }

    void MenusShowTheCommonShortcutsAndTheyWork() {
        auto window = m_fixture->OpenWindow();
        for (int id : {CDlgMain::kCmdAddFile, CDlgMain::kCmdAddFolder, CDlgMain::kCmdLoadList,
                       CDlgMain::kCmdSaveList, CDlgMain::kCmdSelectAll,
                       CDlgMain::kCmdRemoveSelected, CDlgMain::kCmdOptions, CDlgMain::kCmdHelp,
                       CDlgMain::kCmdExit}) {
            auto* action = window->findChild<QAction*>(QStringLiteral("cmd%1").arg(id));
            QVERIFY(action);
            QVERIFY2(!action->shortcut().isEmpty(), qPrintable(action->text()));
            QCOMPARE(action->shortcut(), MenuShortcut(id));
        }
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));

        m_fixture->Choosers.Files.push_back({m_fixture->MakeAudio("a.wav")});
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(window->GetFiles().Count(), 1);
        fs::create_directories(m_fixture->Audio("dropped/sub"));
        m_fixture->MakeAudio("dropped/sub/b.wav");
        m_fixture->Choosers.Paths.push_back(m_fixture->Audio("dropped"));
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(window->GetFiles().Count(), 2);

        QVERIFY(!window->GetMenuBar()->activeAction());
        QTest::keyClick(window.get(), Qt::Key_F10);
        QVERIFY(window->GetMenuBar()->activeAction());
        QCOMPARE(window->GetMenuBar()->activeAction(), window->GetMenuBar()->actions().front());
    }

    void FileChoosersStartAtHomeThenWhereTheUserLastWas() {
        const std::string chosen = m_fixture->Audio("picked");
        fs::create_directories(chosen);
        CChoosers choosers;
        QString seen;
        WhenModalOpens([&](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            seen = files->directory().absolutePath();
            // Into the folder with nothing typed: the folder itself is the answer. (Selecting it
            // from its parent depends on when the dialog has listed the parent.)
            files->setDirectory(QString::fromStdString(chosen));
            if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->clear();
            QMetaObject::invokeMethod(files, "accept");
        });
        QCOMPARE(QString::fromStdString(choosers.ChooseFolder(nullptr)),
                 QString::fromStdString(chosen));
        QCOMPARE(seen, QDir::homePath());
        WhenModalOpens([&](QWidget* dialog) {
            seen = qobject_cast<QFileDialog*>(dialog)->directory().absolutePath();
            qobject_cast<QFileDialog*>(dialog)->reject();
        });
        int filterIndex = 0;
        QVERIFY(choosers.ChooseFiles(nullptr, "WAV|*.wav||", filterIndex).empty());
        QCOMPARE(seen, QString::fromStdString(chosen));
    }

    void QtsOwnTextsFollowTheWindowsLanguage() {
        QCOMPARE(LocaleOfLanguage("german"), std::string("de"));
        QCOMPARE(LocaleOfLanguage("portugues_br"), std::string("pt_BR"));
        QCOMPARE(LocaleOfLanguage("English"), std::string("en"));
        QVERIFY(!InstallQtTranslations("en"));
        for (const char* locale : {"de", "pt_BR", "ru"}) {
            QTranslator* translator = InstallQtTranslations(locale);
            QVERIFY2(translator, locale);
            const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
            QCoreApplication::removeTranslator(translator);
            delete translator;
            QVERIFY2(cancel != QStringLiteral("Cancel"), locale);
        }
    }

private:
    std::unique_ptr<CAppFixture> m_fixture;
};

static RegisterAppTest<CKeysTest> registered;

#include "KeysTest.moc"
