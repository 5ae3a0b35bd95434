// The Options dialog from the main window: which pages write, the page it opens on, the Core
// page's lists and what OK hands the core, the General page's folder controls, and the page
// tree for titles with levels.
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "../core/CoreTestJob.h"
#include "AppFixture.h"
#include "AppTest.h"
#include "app/OptionsDialog.h"
#include "app/OptionsPageCore.h"
#include "app/OptionsPageGeneral.h"
#include "fileinfo/FileInfo.h"
#include "lang/LanguageManager.h"
#include "settings/SettingsSet.h"

namespace {

template <class T>
T* Find(QWidget* root, const char* name) {
    return root->findChild<T*>(QString::fromLatin1(name));
}

void Click(QWidget* dialog, const char* button) { Find<QPushButton>(dialog, button)->click(); }

// Selects the page tree's item of that text, as a click on it does.
void SelectItem(QWidget* dialog, const QString& text) {
    auto* tree = Find<QTreeWidget>(dialog, "ctl1020");
    const QList<QTreeWidgetItem*> items =
        tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(items.size(), 1);
    tree->setCurrentItem(items[0]);
}

bool PageExists(QWidget* dialog, int templateId) {
    return dialog->findChild<QWidget*>(QStringLiteral("dlg%1").arg(templateId)) != nullptr;
}

// Starts a job that sleeps on core and returns its nice value once it runs.
int NiceOfARun(CCore& core, std::vector<std::unique_ptr<CCoreTestJob>>& jobs, int count) {
    for (int i = 0; i < count; ++i) {
        jobs.push_back(std::make_unique<CCoreTestJob>(0, "--sleep 5000"));
        core.AddJob(jobs.back().get());
    }
    core.Start();
    probe::WaitUntil([&] { return jobs.front()->LastPid() != 0; }, std::chrono::seconds(10));
    return probe::Nice(jobs.front()->LastPid());
}

void EndRun(CCore& core) {
    core.Stop();
    core.WaitForWorkers();
}

// A page of the dialog's tests: its title may have levels; its Apply appends its mark to
// FilterIndex, so the settings tell which pages wrote and in what order.
class CMarkPage final : public COptionsPageImpl {
public:
    CMarkPage(std::string title, int mark)
        : COptionsPageImpl(900 + mark, 0, &GetLanguageManager()),
          m_title(std::move(title)),
          m_mark(mark) {}
    std::string GetTitle() const override { return m_title; }

protected:
    void OnInitPage(QWidget& page) override {
        AddFrame(page, 0)->addWidget(
            Named(new QCheckBox(QString::fromStdString(m_title), &page), 1031));
    }
    void OnApply() override {
        GetSettings()->FilterIndex = GetSettings()->FilterIndex * 10 + m_mark;
    }

private:
    std::string m_title;
    int m_mark;
};

}  // namespace

class COptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_fixture = std::make_unique<CAppFixture>(); }
    void cleanup() {
        m_jobs.clear();
        m_fixture.reset();
    }

    void OkWritesOnlyThePagesThatWereShownAndCancelNothing() {
        WriteSettings(
            "[Settings]\nOptionsInitialPage=0\n[Settings.Core]\nPriority=7\n"
            "ThreadsCount=1\n[Settings.Database]\nFindByFileName=2\n");
        auto window = m_fixture->OpenWindow();
        CSettingsSet& settings = *window->GetSettings();
        bool othersMade = true;
        WhenModalOpens([&](QWidget* dialog) {
            QWidget* general = Find<QWidget>(dialog, "dlg225");
            QVERIFY(general->isVisible());
            QVERIFY(general->width() > 300);
            QCOMPARE(general->geometry(), Find<QWidget>(dialog, "ctl-1")->geometry());
            othersMade =
                PageExists(dialog, 226) || PageExists(dialog, 228) || PageExists(dialog, 230);
            Find<QCheckBox>(dialog, "ctl1031")->click();  // Remember file list: off
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QVERIFY(!othersMade);
        QCOMPARE(settings.General.RememberFileList, 0);
        QCOMPARE(settings.Database.FindByFileName, 2);  // the Database page would write 0
        QCOMPARE(settings.Core.Priority, 7);
        QCOMPARE(settings.OptionsInitialPage, 0);

        // Cancel after visiting every page and changing them: nothing changes.
        std::vector<std::string> unnamed{"not checked"};
        WhenModalOpens([&](QWidget* dialog) {
            SelectItem(dialog, QStringLiteral("Core"));
            Find<QComboBox>(dialog, "ctl1033")->setCurrentIndex(5);
            SelectItem(dialog, QStringLiteral("Plugins"));
            SelectItem(dialog, QStringLiteral("Database"));
            Find<QCheckBox>(Find<QWidget>(dialog, "dlg230"), "ctl1031")->click();
            SelectItem(dialog, QStringLiteral("Conversion"));
            Find<QCheckBox>(dialog, "ctl1060")->click();
            QVERIFY(!Find<QWidget>(dialog, "dlg226")->isVisible());
            unnamed = UnnamedControls(*dialog);
            Click(dialog, "ctl2");
        });
        window->OnOptions();
        QVERIFY2(unnamed.empty(), unnamed.empty() ? "" : unnamed.front().c_str());
        QCOMPARE(settings.Core.ThreadsCount, 1);
        QCOMPARE(settings.Database.FindByFileName, 2);
        QCOMPARE(settings.General.CopyTags, 1);
        QCOMPARE(settings.OptionsInitialPage, 0);
    }

    void TheDialogOpensOnTheRememberedPageAndAnUnknownOneShowsNone() {
        WriteSettings("[Settings]\nOptionsInitialPage=3\n");
        auto window = m_fixture->OpenWindow();
        CSettingsSet& settings = *window->GetSettings();
        const CDatabase& database = window->GetCatalogue().GetDatabase();
        QVERIFY(database.GetCount() > 0);
        QString current, information, byName;
        WhenModalOpens([&](QWidget* dialog) {
            current = Find<QTreeWidget>(dialog, "ctl1020")->currentItem()->text(0);
            QWidget* page = Find<QWidget>(dialog, "dlg230");
            QVERIFY(page->isVisible());
            information = Find<QLabel>(page, "ctl1058")->text();
            byName = Find<QCheckBox>(page, "ctl1031")->text();
            SelectItem(dialog, QStringLiteral("Core"));
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QCOMPARE(current, QStringLiteral("Database"));
        QCOMPARE(information, QStringLiteral("Codecs in the database: %1\nDatabase date: %2")
                                  .arg(database.GetCount())
                                  .arg(QString::fromStdString(database.GetDate())));
        QVERIFY(byName.contains(QLatin1Char('\n')));  // broken to fit the page
        QCOMPARE(byName.replace(QLatin1Char('\n'), QLatin1Char(' ')),
                 QString::fromStdString(GetLanguageManager().GetString(178)));
        QCOMPARE(settings.OptionsInitialPage, 1);

        for (int unknown : {5, -1}) {
            settings.OptionsInitialPage = unknown;
            QStringList titles;
            bool anyPage = true;
            bool selected = true;
            WhenModalOpens([&](QWidget* dialog) {
                auto* tree = Find<QTreeWidget>(dialog, "ctl1020");
                for (int i = 0; i < tree->topLevelItemCount(); ++i)
                    titles << tree->topLevelItem(i)->text(0);
                selected = tree->currentItem() || !tree->selectedItems().isEmpty();
                anyPage = PageExists(dialog, 225) || PageExists(dialog, 226) ||
                          PageExists(dialog, 228) || PageExists(dialog, 230) ||
                          PageExists(dialog, 231);
                Click(dialog, "ctl1");
            });
            window->OnOptions();
            QCOMPARE(titles, QStringList({QStringLiteral("General"), QStringLiteral("Core"),
                                          QStringLiteral("Plugins"), QStringLiteral("Database"),
                                          QStringLiteral("Conversion")}));
            QVERIFY(!selected);
            QVERIFY(!anyPage);
            QCOMPARE(settings.OptionsInitialPage, unknown);
        }
    }

    void TheConversionPageWritesTagsTreeAndExistingOutputs() {
        WriteSettings(
            "[Settings]\nOptionsInitialPage=4\n[Settings.General]\nCopyTags=1\n"
            "KeepFolderTree=0\nExistingOutput=1\nFullCheck=0\nMaxSampleRate=50000\n");
        auto window = m_fixture->OpenWindow();
        CSettingsSet& settings = *window->GetSettings();
        bool skipShown = false;
        bool noCheckShown = false;
        bool loudnessShown = true;
        QString rateShown;
        QString bitsShown;
        WhenModalOpens([&](QWidget* dialog) {
            QWidget* page = Find<QWidget>(dialog, "dlg231");
            QVERIFY(page && page->isVisible());
            skipShown = Find<QRadioButton>(page, "ctl1064")->isChecked();
            noCheckShown = Find<QRadioButton>(page, "ctl1067")->isChecked();
            // A rate the list does not hold (from kelto-cli or the file) is shown as it is.
            auto* rate = Find<QComboBox>(page, "ctl1074");
            auto* bits = Find<QComboBox>(page, "ctl1076");
            rateShown = rate->currentText();
            bitsShown = bits->currentText();
            rate->setCurrentIndex(rate->findData(88200));
            bits->setCurrentIndex(bits->findData(16));
            Find<QRadioButton>(page, "ctl1069")->click();  // check every output fully
            Find<QCheckBox>(page, "ctl1060")->click();     // copy tags: off
            Find<QCheckBox>(page, "ctl1061")->click();     // keep the tree: on
            Find<QRadioButton>(page, "ctl1065")->click();  // keep both
            loudnessShown = Find<QCheckBox>(page, "ctl1078")->isChecked();
            Find<QCheckBox>(page, "ctl1078")->click();  // loudness tags: on
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QVERIFY(!loudnessShown);
        QCOMPARE(settings.General.LoudnessTags, 1);
        QVERIFY(skipShown);
        QVERIFY(noCheckShown);
        QCOMPARE(settings.General.FullCheck, 2);
        QCOMPARE(settings.General.CopyTags, 0);
        QCOMPARE(settings.General.KeepFolderTree, 1);
        QCOMPARE(settings.General.ExistingOutput, 2);
        QCOMPARE(settings.OptionsInitialPage, 4);
        QCOMPARE(rateShown, QStringLiteral("50000 Hz"));
        QCOMPARE(bitsShown, QStringLiteral("No limit"));
        QCOMPARE(settings.General.MaxSampleRate, 88200);
        QCOMPARE(settings.General.MaxBitDepth, 16);

        // The fourth choice, updating, is written as 3 and shown again as chosen.
        bool updateShown = false;
        WhenModalOpens([&](QWidget* dialog) {
            Find<QRadioButton>(dialog, "ctl1077")->click();
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QCOMPARE(settings.General.ExistingOutput, 3);
        WhenModalOpens([&](QWidget* dialog) {
            updateShown = Find<QRadioButton>(dialog, "ctl1077")->isChecked();
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QVERIFY(updateShown);

        // A value the page has no button for is shown as none and kept.
        settings.General.ExistingOutput = 7;
        int checked = 0;
        WhenModalOpens([&](QWidget* dialog) {
            for (const char* id : {"ctl1063", "ctl1064", "ctl1065", "ctl1077"})
                checked += Find<QRadioButton>(dialog, id)->isChecked() ? 1 : 0;
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QCOMPARE(checked, 0);
        QCOMPARE(settings.General.ExistingOutput, 7);
    }

    void TheNamePatternShowsAnExampleOfTheFirstSelectedFileAndIsSaved() {
        WriteSettings(
            "[Settings]\nOptionsInitialPage=4\n[Settings.General]\n"
            "OutputFolderSameAsOriginal=0\n");
        const std::string plain = m_fixture->MakeAudio("plain.flac");
        const std::string tagged = m_fixture->MakeAudio("tagged.flac");
        QCOMPARE(std::system(("metaflac --set-tag='ARTIST=AC/DC' --set-tag='TITLE=Song: One' "
                              "--set-tag=TRACKNUMBER=5 '" +
                              tagged + "'")
                                 .c_str()),
                 0);
        auto window = m_fixture->OpenWindow();
        window->OnDrop({plain, tagged});
        PickCoder(*window, "MP3", 0);
        window->SelectRows({1});
        CSettingsSet& settings = *window->GetSettings();
        QStringList examples;
        QString accessible;
        QString buddy;  // the dialog is gone once OnOptions returns: keep names, not widgets
        const auto example = [](QWidget* page) { return Find<QLabel>(page, "ctl1072")->text(); };
        WhenModalOpens([&](QWidget* dialog) {
            QWidget* page = Find<QWidget>(dialog, "dlg231");
            auto* pattern = Find<QLineEdit>(page, "ctl1071");
            if (QWidget* field = Find<QLabel>(page, "ctl1070")->buddy())
                buddy = field->objectName();
            accessible = pattern->accessibleName();
            examples << example(page);
            pattern->setFocus();
            QTest::keyClicks(pattern, QStringLiteral("%artist%/%track% - %title%"));
            examples << example(page);
            QTest::keyClicks(pattern, QStringLiteral("%artst%"));
            examples << example(page);
            for (int i = 0; i < 7; ++i) QTest::keyClick(pattern, Qt::Key_Backspace);
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QCOMPARE(buddy, QStringLiteral("ctl1071"));
        QCOMPARE(accessible, QStringLiteral("Name pattern for outputs"));
        QCOMPARE(examples, QStringList({QStringLiteral("Without a pattern each output is named "
                                                       "after its source."),
                                        QStringLiteral("For tagged.flac: AC_DC/05 - Song_ One.mp3"),
                                        QStringLiteral("%artst% is not a placeholder; it stays "
                                                       "in the name as it is.")}));
        QCOMPARE(settings.General.NamePattern, std::string("%artist%/%track% - %title%"));

        // Beside the sources only the file name is the pattern's; with no file selected there
        // is no example, and Apply names the outputs by the pattern saved.
        settings.General.OutputFolderSameAsOriginal = 1;
        window->SelectRows({0});
        WhenModalOpens([&](QWidget* dialog) {
            examples = {example(Find<QWidget>(dialog, "dlg231"))};
            Click(dialog, "ctl2");
        });
        window->OnOptions();
        QCOMPARE(examples, QStringList({QStringLiteral("For plain.flac: 00 - plain.mp3")}));
        window->SelectRows({});
        WhenModalOpens([&](QWidget* dialog) {
            examples = {example(Find<QWidget>(dialog, "dlg231"))};
            Click(dialog, "ctl2");
        });
        window->OnOptions();
        QCOMPARE(examples, QStringList({QStringLiteral("Select a file in the list to see an "
                                                       "example here.")}));
        window->OnApplySettings();
        QCOMPARE(QString::fromStdString(window->GetFiles().Get(1)->OutputPath),
                 QString::fromStdString(m_fixture->Audio("05 - Song_ One.mp3")));
    }

    void TitlesWithLevelsNestAndMorePagesFit() {
        CSettingsSet settings;
        COptionsDialog dialog(&settings, &GetLanguageManager(), nullptr);
        dialog.AddPage(
            std::make_unique<COptionsPageGeneral>(&GetLanguageManager(), m_fixture->Choosers));
        dialog.AddPage(std::make_unique<CMarkPage>("General\\Extra", 1));
        dialog.AddPage(std::make_unique<CMarkPage>("Core\\More\\Deep", 2));
        dialog.AddPage(std::make_unique<CMarkPage>("Core\\Other", 3));
        dialog.AddPage(std::make_unique<CMarkPage>("Later", 4));
        dialog.SetInitialPage(4);
        QString first;
        QStringList tree;
        WhenModalOpens([&](QWidget* shown) {
            auto* view = Find<QTreeWidget>(shown, "ctl1020");
            first = view->currentItem()->text(0);
            for (QTreeWidgetItemIterator it(view); *it; ++it) {
                const QTreeWidgetItem* item = *it;
                tree << QStringLiteral("%1%2%3")
                            .arg(item->parent() ? item->parent()->text(0) + QStringLiteral("/")
                                                : QString())
                            .arg(item->text(0))
                            .arg(item->childCount() && !item->isExpanded() ? QStringLiteral(" +")
                                                                           : QString());
            }
            SelectItem(shown, QStringLiteral("Deep"));
            SelectItem(shown, QStringLiteral("More"));  // no page: Deep stays shown
            Click(shown, "ctl1");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(first, QStringLiteral("Later"));
        QCOMPARE(tree, QStringList({"General", "General/Extra", "Core", "Core/More", "More/Deep",
                                    "Core/Other", "Later"}));
        QCOMPARE(settings.OptionsInitialPage, 2);
        QCOMPARE(settings.FilterIndex, 24);  // Deep, then Later; no other page wrote
    }

    void OkHandsTheCoreItsPriorityOnlyFromTheListAndItsThreads() {
        WriteSettings(
            "[Settings]\nOptionsInitialPage=1\n[Settings.Core]\nPriority=7\n"
            "ThreadsCount=1\n");
        auto window = m_fixture->OpenWindow();
        CSettingsSet& settings = *window->GetSettings();
        int priorityItem = 0, threadsItem = -1;
        WhenModalOpens([&](QWidget* dialog) {
            priorityItem = Find<QComboBox>(dialog, "ctl1032")->currentIndex();
            threadsItem = Find<QComboBox>(dialog, "ctl1033")->currentIndex();
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QCOMPARE(priorityItem, -1);
        QCOMPARE(threadsItem, 0);
        QCOMPARE(settings.Core.Priority, 7);
        QCOMPARE(NiceOfARun(window->GetCore(), m_jobs, 1), 0);
        EndRun(window->GetCore());
        m_jobs.clear();

        WhenModalOpens([&](QWidget* dialog) {
            Find<QComboBox>(dialog, "ctl1032")->setCurrentIndex(0);  // idle
            Find<QComboBox>(dialog, "ctl1033")->setCurrentIndex(1);  // two threads
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QCOMPARE(settings.Core.Priority, 0);
        QCOMPARE(settings.Core.ThreadsCount, 2);
        CCore& core = window->GetCore();
        QCOMPARE(NiceOfARun(core, m_jobs, 3), 19);
        QVERIFY(
            probe::WaitUntil([&] { return m_jobs[1]->LastPid() != 0; }, std::chrono::seconds(10)));
        QCOMPARE(probe::Nice(m_jobs[1]->LastPid()), 19);
        std::vector<IProcess*> running;
        core.GetRunningJobs(running);
        QCOMPARE(running.size(), std::size_t{2});
        QCOMPARE(m_jobs[2]->Runs(), 0);
        EndRun(core);
    }

    void AFirstStartMarksAndSelectsThisMachinesProcessorCount() {
        auto window = m_fixture->OpenWindow();
        const int processors = CSettingsCore::ProcessorCount();
        QCOMPARE(window->GetSettings()->Core.ThreadsCount, processors);
        QStringList items;
        int selected = -2;
        WhenModalOpens([&](QWidget* dialog) {
            SelectItem(dialog, QStringLiteral("Core"));
            auto* threads = Find<QComboBox>(dialog, "ctl1033");
            for (int i = 0; i < threads->count(); ++i) items << threads->itemText(i);
            selected = threads->currentIndex();
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QCOMPARE(items.size(), 8);
        for (int i = 0; i < 8; ++i) {
            const QString plain = QString::number(i + 1);
            QCOMPARE(items[i], i + 1 == processors
                                   ? plain + QStringLiteral(" (number of processors)")
                                   : plain);
        }
        // More processors than the list holds: nothing selected, and OK keeps the count.
        QCOMPARE(selected, processors <= 8 ? processors - 1 : -1);
        QCOMPARE(window->GetSettings()->Core.ThreadsCount, processors);
    }

    void TheGeneralPageFollowsTheSameFolderBoxAndBrowses() {
        WriteSettings(
            "[Settings.General]\nOutputFolder=/srv/music/\n"
            "OutputFolderSameAsOriginal=1\n");
        auto window = m_fixture->OpenWindow();
        m_fixture->Choosers.Paths = {"/srv/chosen", "/srv/slashed/"};
        bool disabledAtFirst = false;
        QStringList browsed;
        WhenModalOpens([&](QWidget* dialog) {
            auto* edit = Find<QLineEdit>(dialog, "ctl1043");
            auto* browse = Find<QPushButton>(dialog, "ctl1044");
            QCOMPARE(edit->text(), QStringLiteral("/srv/music/"));
            disabledAtFirst = !edit->isEnabled() && !browse->isEnabled();
            Find<QCheckBox>(dialog, "ctl1045")->click();
            QVERIFY(edit->isEnabled() && browse->isEnabled());
            browse->click();
            browsed << edit->text();
            browse->click();
            browsed << edit->text();
            browse->click();  // cancelled: the edit keeps its text
            browsed << edit->text();
            edit->setText(QStringLiteral("/typed/without/slash"));
            Click(dialog, "ctl1");
        });
        window->OnOptions();
        QVERIFY(disabledAtFirst);
        QCOMPARE(browsed, QStringList({"/srv/chosen/", "/srv/slashed/", "/srv/slashed/"}));
        QCOMPARE(window->GetSettings()->General.OutputFolder, std::string("/typed/without/slash"));
        QCOMPARE(window->GetSettings()->General.OutputFolderSameAsOriginal, 0);
    }

private:
    void WriteSettings(const std::string& text) {
        std::ofstream(m_fixture->Work() + "/Settings.ini") << text;
    }

    std::unique_ptr<CAppFixture> m_fixture;
    std::vector<std::unique_ptr<CCoreTestJob>> m_jobs;
};

static RegisterAppTest<COptionsDialogTest> registered;

#include "OptionsDialogTest.moc"
