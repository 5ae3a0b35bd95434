// The main window's other dialogs: codecs information, console and about box.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "AppFixture.h"
#include "AppTest.h"
#include "app/DlgCodecs.h"
#include "app/DlgConsole.h"
#include "base/Log.h"
#include "base/Version.h"
#include "settings/SettingsSet.h"
#include "ui/SortListViewEx.h"

class CDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_fixture = std::make_unique<CAppFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void CodecsInfoListsDecodersFirstAndRemembersItsBoxesOnEsc() {
        auto window = m_fixture->OpenWindow();
        const int coders = window->GetCatalogue().GetCoders().GetCount() - 1;
        const int decoders = window->GetCatalogue().GetDecoders().GetCount();
        QStringList firstRow;
        int bothCount = -1;
        QString emptyLabel;
        WhenModalOpens([&](QWidget* dialog) {
            auto* codecs = qobject_cast<CDlgCodecs*>(dialog);
            QVERIFY(codecs);
            CSortListViewEx* list = codecs->GetList();
            bothCount = list->GetItemCount();
            for (int c = 0; c < 4; ++c) firstRow << list->GetItemText(0, c);
            for (const char* box : {"ctl1031", "ctl1050"}) {
                codecs->findChild<QCheckBox*>(QString::fromLatin1(box))->click();
            }
            emptyLabel = codecs->findChild<QLabel*>(QStringLiteral("ctl1051"))->text();
            QTest::keyClick(codecs, Qt::Key_Escape);
        });
        window->OnCodecsInfo(false);
        QCOMPARE(bothCount, coders + decoders);
        QCOMPARE(firstRow[0], QStringLiteral("Decoder"));
        QVERIFY(firstRow[2].endsWith(QStringLiteral(" B")));  // whole bytes
        QCOMPARE(emptyLabel, QStringLiteral("Entries: 0"));
        QCOMPARE(window->GetSettings()->ShowCoders, 0);
        QCOMPARE(window->GetSettings()->ShowDecoders, 0);

        // The coders-only listing: scaled sizes, no pass-through coder, and OK keeps the boxes.
        window->GetSettings()->ShowCoders = 1;
        window->GetSettings()->ShowDecoders = 1;
        QStringList names;
        WhenModalOpens([&](QWidget* dialog) {
            auto* codecs = qobject_cast<CDlgCodecs*>(dialog);
            for (int r = 0; r < codecs->GetList()->GetItemCount(); ++r) {
                names << codecs->GetList()->GetItemText(r, 1);
                QVERIFY(codecs->GetList()->GetItemText(r, 2).contains(QLatin1Char(',')));
            }
            codecs->findChild<QCheckBox*>(QStringLiteral("ctl1031"))->click();
            codecs->findChild<QPushButton*>(QStringLiteral("ctl1026"))->click();
        });
        window->OnCodecsInfo(true);
        QCOMPARE(names.size(), coders);
        QVERIFY(!names.contains(QStringLiteral("WAV (decode only)")));
        QCOMPARE(window->GetSettings()->ShowCoders, 1);
    }

    void TheConsoleShowsASnapshotOfTheLog() {
        auto window = m_fixture->OpenWindow();
        AddLogLine("first line for the console");
        window->OnConsole();
        CDlgConsole* console = window->GetConsole();
        QVERIFY(console->isVisible());
        QVERIFY(console->GetText().contains(QStringLiteral("first line for the console")));
        QVERIFY(console->GetText().contains(QStringLiteral("Start-up took")));
        AddLogLine("added while open");
        window->OnConsole();  // brings the open window forward, no second window
        QVERIFY(!console->GetText().contains(QStringLiteral("added while open")));
        console->close();
        window->OnConsole();
        QVERIFY(console->GetText().contains(QStringLiteral("added while open")));
        QVERIFY(UnnamedControls(*console).empty());
        console->close();
    }

    void TheAboutBoxShowsTheVersion() {
        auto window = m_fixture->OpenWindow();
        QString text;
        WhenModalOpens([&](QWidget* dialog) {
            text = dialog->findChild<QLabel*>(QStringLiteral("ctl1013"))->text();
            dialog->findChild<QPushButton*>(QStringLiteral("ctl1"))->click();
        });
        window->OnCommand(CDlgMain::kCmdAbout);
        QVERIFY(text.startsWith(QString::fromStdString(GetVersionText()) + QStringLiteral("\n\n")));
    }

private:
    std::unique_ptr<CAppFixture> m_fixture;
};

static RegisterAppTest<CDialogsTest> registered;

#include "DialogsTest.moc"
