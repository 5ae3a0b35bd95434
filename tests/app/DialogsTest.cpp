// The main window's other dialogs: codecs information, console and about box.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "../session/EngineFiles.h"
#include "AppFixture.h"
#include "AppTest.h"
#include "app/AppIcon.h"
#include "app/DlgAbout.h"
#include "app/DlgCodecs.h"
#include "app/DlgConsole.h"
#include "base/Log.h"
#include "base/Version.h"
#include "settings/SettingsSet.h"
#include "support/TempDir.h"
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

    void CodecsInfoMarksPackagesWhoseProgramIsGone() {
        // A copy of the shipped packages to break: Speex's coder is gone before the start (the
        // catalogue passes it over), Opus's decoder while the window is open.
        namespace fs = std::filesystem;
        const fs::path work = m_fixture->Work();
        for (const char* kind : {"Coders", "Decoders"}) {
            const fs::path shipped = fs::read_symlink(work / kind);
            fs::remove(work / kind);
            fs::copy(shipped, work / kind,
                     fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        }
        fs::remove(work / "Coders/Speex/speexenc");
        auto window = m_fixture->OpenWindow();
        fs::remove(work / "Decoders/Opus/opusdec");
        QMap<QString, QString> marked;  // name: warning, for the rows marked
        QStringList sizes;
        QString count;
        WhenModalOpens([&](QWidget* dialog) {
            CSortListViewEx* list = qobject_cast<CDlgCodecs*>(dialog)->GetList();
            const QAbstractItemModel* model = list->model();
            for (int r = 0; r < list->GetItemCount(); ++r) {
                const QString warning = model->index(r, 2).data(Qt::ToolTipRole).toString();
                if (warning.isEmpty()) continue;
                marked[list->GetItemText(r, 0) + QLatin1Char(' ') + list->GetItemText(r, 1)] =
                    warning;
                sizes << list->GetItemText(r, 2);
                QVERIFY(!model->index(r, 0).data(Qt::DecorationRole).isNull());
                QCOMPARE(model->index(r, 3).data(Qt::AccessibleDescriptionRole).toString(),
                         warning);
            }
            count = dialog->findChild<QLabel*>(QStringLiteral("ctl1051"))->text();
            QVERIFY(UnnamedControls(*dialog).empty());
            dialog->findChild<QPushButton*>(QStringLiteral("ctl1026"))->click();
        });
        window->OnCodecsInfo(false);
        QCOMPARE(marked.keys(), (QStringList{"Coder Speex", "Decoder Opus"}));
        // Nothing is left of Speex's program but its package: the package names it.
        QVERIFY(marked["Coder Speex"].contains(QStringLiteral("program Speex cannot be run")));
        QVERIFY(marked["Decoder Opus"].contains(QStringLiteral("opusdec")));
        QCOMPARE(sizes, (QStringList{"Program missing", "Program missing"}));
        QVERIFY(count.endsWith(QStringLiteral("(2 program(s) missing)")));
    }

    void TheAboutBoxListsTheProgramsVersionsAsTheyAnswer() {
        auto window = m_fixture->OpenWindow();
        TempDir dir;
        const std::string version = dir / "flac-version";
        QVERIFY(RunShell("{ dpkg-query -W -f='${Version}' flac > " + version + "; }"));
        QMap<QString, QString> shown;
        QString qtLine;
        WhenModalOpens([&](QWidget* dialog) {
            CListViewEx* list = qobject_cast<CDlgAbout*>(dialog)->GetProgramList();
            // Every program has answered once no row says it is being asked.
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    for (int r = 0; r < list->GetItemCount(); ++r) {
                        if (list->GetItemText(r, 1) == QStringLiteral("asking…")) return false;
                    }
                    return true;
                }(),
                30000);
            for (int r = 0; r < list->GetItemCount(); ++r) {
                shown[list->GetItemText(r, 0)] = list->GetItemText(r, 1);
            }
            qtLine = dialog->findChild<QLabel*>(QStringLiteral("ctl1014"))->text();
            QVERIFY(!dialog->findChild<QLabel*>(QStringLiteral("ctl1012"))->pixmap().isNull());
            QVERIFY(UnnamedControls(*dialog).empty());
            dialog->findChild<QPushButton*>(QStringLiteral("ctl1"))->click();
        });
        window->OnCommand(CDlgMain::kCmdAbout);
        // flac answers "flac 1.4.2"; Debian installed "1.4.2+ds-2". FFmpeg serves four packages
        // and is listed once.
        QVERIFY(!shown.value(QStringLiteral("flac")).isEmpty());
        QVERIFY2(QString::fromStdString(ReadFileBytes(version)).startsWith(shown["flac"]),
                 qPrintable(shown["flac"]));
        QCOMPARE(shown.keys(),
                 (QStringList{"ffmpeg", "flac", "lame", "mpcdec", "oggdec", "oggenc", "opusdec",
                              "opusenc", "speexdec", "speexenc", "wavpack", "wvunpack"}));
        QVERIFY(qtLine.startsWith(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
        // kelto's own icon, compiled in at every hicolor size, is the window's.
        QCOMPARE(GetAppIcon().availableSizes().size(), 7);
        QCOMPARE(window->windowIcon().cacheKey(), GetAppIcon().cacheKey());
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
