// The SampleMatch dialog as the program meets it: kel_compare.so loaded with the real loader,
// bound by its exports, given a real language library, comparing real files.
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "app/AppTest.h"
#include "app/PluginList.h"
#include "core/PluginContract.h"
#include "lang/LanguageManager.h"
#include "platform/DynamicLibrary.h"
#include "plugins/compare/SampleMatchExports.h"
#include "support/TempDir.h"
#include "ui/Choosers.h"
#include "ui/MessageBoxes.h"

namespace {

// Answers the file dialogs with prepared paths and remembers the filters asked for.
class CAnsweringChoosers final : public IChoosers {
public:
    std::vector<std::string> ChooseFiles(QWidget*, const std::string& filter, int&) override {
        filters.push_back(filter);
        if (files.empty()) return {};
        std::vector<std::string> answer = files.front();
        files.pop_front();
        return answer;
    }
    std::string ChooseOpenFile(QWidget*, const std::string& filter) override {
        filters.push_back(filter);
        if (original.empty()) return {};
        std::string answer = original.front();
        original.pop_front();
        return answer;
    }
    std::string ChooseSaveFile(QWidget*, const std::string&) override { return {}; }
    std::string ChooseFolder(QWidget*) override { return {}; }

    std::deque<std::vector<std::string>> files;
    std::deque<std::string> original;
    std::vector<std::string> filters;
};

// The language manager as a plug-in sees it: its first member is the library's handle.
struct HandleOnly {
    void* module = nullptr;
};

std::string Bytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

template <class T>
T* Control(QWidget* dialog, int id) {
    return dialog->findChild<T*>(QStringLiteral("ctl%1").arg(id));
}

// The list is the plug-in's own CSortListViewEx; across the library boundary it is reached as
// the Qt table view it is.
QTableView* List(QWidget* dialog) { return Control<QTableView>(dialog, 1007); }

QStringList Column(QTableView* list, int column) {
    QStringList texts;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        texts << model->data(model->index(row, column)).toString();
    }
    return texts;
}

}  // namespace

class CSampleMatchDialogTest : public QObject {
    Q_OBJECT
private:
    template <class T>
    T Export(const char* name) {
        return reinterpret_cast<T>(platform::GetSymbol(m_library, name));
    }

    // Shows the dialog through its export; check runs once it is open, then it is closed.
    void Show(const std::function<void(QWidget* dialog)>& check) {
        bool closed = false;
        WhenModalOpens([&](QWidget* dialog) {
            check(dialog);
            Control<QPushButton>(dialog, 1003)->click();
            closed = true;
        });
        QVERIFY(m_show(&m_owner));
        QVERIFY(closed);
    }

    void Click(QWidget* dialog, int id) {
        QPushButton* button = Control<QPushButton>(dialog, id);
        QVERIFY(button);
        QVERIFY(button->isEnabled());
        button->click();
    }

    QWidget m_owner;
    void* m_library = nullptr;
    KeltoShowPluginDialog m_show = nullptr;
    KeltoSetLanguage m_setLanguage = nullptr;
    CLanguageManager m_language;
    CAnsweringChoosers m_choosers;
    TempDir m_dir;

private slots:
    void initTestCase() {
        const platform::LibraryResult loaded = platform::LoadLibrary(KELTO_PLUGIN_PATH);
        QVERIFY2(loaded.handle, loaded.error.c_str());
        m_library = loaded.handle;
        for (const char* name : kPluginExportNames)
            QVERIFY2(platform::GetSymbol(m_library, name), name);
        m_show = Export<KeltoShowPluginDialog>("ShowPluginDialog");
        m_setLanguage = Export<KeltoSetLanguage>("SetLanguage");
        QVERIFY(m_language.Load(KELTO_WORK_DIR "/Languages/English.so", "English"));
        // The host's order: InitPlugin, SetLanguage, SetCoreObject, the name, the version.
        QCOMPARE(Export<KeltoInitPlugin>("InitPlugin")(), 1);
        QVERIFY(m_setLanguage(&m_language));
        QVERIFY(Export<KeltoSetCoreObject>("SetCoreObject")(nullptr));
        Export<KeltoSampleMatchSetChoosers>(kSampleMatchSetChoosersSymbol)(&m_choosers);
    }

    void cleanupTestCase() {
        QVERIFY(Export<KeltoDeInitPlugin>("DeInitPlugin")());
        QVERIFY(platform::FreeLibrary(m_library));
    }

    void NameAndVersionFitTheHostsBufferAndANullBufferIsRefused() {
        const auto name = Export<KeltoGetPluginName>("GetPluginName");
        const auto version = Export<KeltoGetPluginVersion>("GetPluginVersion");
        std::vector<wchar_t> buffer(KELTO_PLUGIN_TEXT_LENGTH, L'x');
        QVERIFY(!name(nullptr));
        QVERIFY(!version(nullptr));
        QVERIFY(name(buffer.data()));
        QCOMPARE(std::wstring(buffer.data()), std::wstring(L"SampleMatch"));
        QVERIFY(version(buffer.data()));
        QCOMPARE(std::wstring(buffer.data()), std::wstring(L"1.0.0.1"));
    }

    void StartWaitsForBothFilesAndAFileOfAnotherFormatIsMarked() {
        // Real WAV files from sox: the original at 44.1 kHz stereo.
        auto sox = [&](const std::string& name, int rate, int channels) {
            const std::string path = m_dir / name;
            const std::string command = "sox -q -n -r " + std::to_string(rate) + " -c " +
                                        std::to_string(channels) + " -b 16 '" + path +
                                        "' synth 0.2 sine 440 vol 0.5";
            return std::system(command.c_str()) == 0 ? path : std::string();
        };
        const std::string original = sox("cd.wav", 44100, 2);
        const std::string same = sox("same.wav", 44100, 2);
        const std::string faster = sox("dat.wav", 48000, 2);
        const std::string mono = sox("mono.wav", 44100, 1);
        QVERIFY(!original.empty() && !same.empty() && !faster.empty() && !mono.empty());
        m_choosers.files = {{same, faster}, {mono}};
        m_choosers.original = {original};
        Show([&](QWidget* dialog) {
            auto* start = Control<QPushButton>(dialog, 1005);
            auto* warning = Control<QLabel>(dialog, 1004);
            QVERIFY(!start->isEnabled());
            Click(dialog, 1010);
            QVERIFY(!start->isEnabled());  // no original yet: nothing to tell about the formats
            QVERIFY(warning->isHidden());
            Click(dialog, 1008);
            QVERIFY(start->isEnabled());
            QTableView* list = List(dialog);
            auto rowWarning = [&](int row) {
                return list->model()->index(row, 0).data(Qt::ToolTipRole).toString();
            };
            QCOMPARE(rowWarning(0), QString());
            QCOMPARE(rowWarning(1),
                     QStringLiteral("dat.wav: 48000 Hz, 2 channel(s), but the original has 44100 "
                                    "Hz, 2 channel(s): the comparison says nothing about the "
                                    "coding."));
            QVERIFY(!list->model()->index(1, 0).data(Qt::DecorationRole).isNull());
            QVERIFY(!warning->isHidden());
            QVERIFY(warning->text().startsWith(QStringLiteral("1 test file(s) differ")));
            Click(dialog, 1010);
            QVERIFY(rowWarning(2).startsWith(QStringLiteral("mono.wav: 44100 Hz, 1 channel(s)")));
            QVERIFY(warning->text().startsWith(QStringLiteral("2 test file(s) differ")));
            Click(dialog, 1011);
            QVERIFY(!start->isEnabled());
            QVERIFY(warning->isHidden());
            // The fields are labelled, each label leading to its field.
            QCOMPARE(Control<QLabel>(dialog, 1009)->text(), QStringLiteral("Original file"));
            QCOMPARE(Control<QLabel>(dialog, 1009)->buddy(), Control<QLineEdit>(dialog, 1013));
            QCOMPARE(Control<QLabel>(dialog, 1012)->buddy(), list);
        });
    }

    void TheDialogShowsItsControlsWithTheLanguagesTexts() {
        Show([&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("SampleMatch"));
            QCOMPARE(dialog->parentWidget(), &m_owner);
            const std::pair<int, const char*> buttons[] = {{1008, "&Load original"},
                                                           {1010, "&Add testing files"},
                                                           {1011, "&Remove testing files"},
                                                           {1005, "&Start"},
                                                           {1003, "&Close"}};
            for (const auto& [id, text] : buttons) {
                QVERIFY(Control<QPushButton>(dialog, id));
                QCOMPARE(Control<QPushButton>(dialog, id)->text(), QString::fromUtf8(text));
            }
            auto* box = Control<QLineEdit>(dialog, 1013);
            QVERIFY(box && box->isReadOnly());
            QCOMPARE(box->accessibleName(), QStringLiteral("Original file"));
            auto* progress = Control<QProgressBar>(dialog, 1006);
            QVERIFY(progress);
            QCOMPARE(progress->maximum(), 1000);
            QVERIFY(!progress->accessibleName().isEmpty());
            QTableView* list = List(dialog);
            QVERIFY(list);
            QVERIFY(!list->accessibleName().isEmpty());
            QCOMPARE(list->model()->columnCount(), 3);
            QCOMPARE(list->model()->headerData(2, Qt::Horizontal).toString(),
                     QStringLiteral("Difference (%)"));
            QVERIFY(!list->horizontalHeader()->sectionsClickable());
        });
        QCOMPARE(m_owner.findChildren<QDialog*>().size(), 0);
    }

    void ACompareRunFillsTheRowsWithoutBlockingTheDialog() {
        const std::string bytes = Bytes(3690000, 1);
        std::string changed = bytes;
        for (std::size_t i = 44; i < changed.size(); i += 2) changed[i] ^= 0x10;
        const std::string original = m_dir / "original.wav";
        WriteFileBytes(original, bytes);
        WriteFileBytes(m_dir / "copy.wav", bytes);
        WriteFileBytes(m_dir / "changed.wav", changed);
        m_choosers.original = {original};
        m_choosers.files = {{m_dir / "copy.wav", m_dir / "changed.wav"}, {m_dir / "gone.wav"}};
        Show([&](QWidget* dialog) {
            QTableView* list = List(dialog);
            Click(dialog, 1008);
            QCOMPARE(Control<QLineEdit>(dialog, 1013)->text(), QString::fromStdString(original));
            Click(dialog, 1010);
            Click(dialog, 1010);
            QCOMPARE(Column(list, 0), (QStringList{"copy.wav", "changed.wav", "gone.wav"}));
            QCOMPARE(Column(list, 1), (QStringList{"3.52 MB", "3.52 MB", "0.00 MB"}));
            // Row j is test file j: a header click sorts nothing.
            emit list->horizontalHeader()->sectionClicked(0);
            QCOMPARE(Column(list, 0), (QStringList{"copy.wav", "changed.wav", "gone.wav"}));
            Click(dialog, 1005);
            QTRY_COMPARE(Column(list, 2), (QStringList{"0.000%", "100.000%", "n/a"}));
            // Two test files as long as the original pass the bar's end: it stays full.
            QTRY_VERIFY(Control<QPushButton>(dialog, 1005)->isEnabled());
            QCOMPARE(Control<QProgressBar>(dialog, 1006)->value(), 1000);
        });
        QCOMPARE(m_choosers.filters.back(), std::string("Waveform PCM (*.wav)|*.wav||"));
    }

    void ShowingAgainListsTheKeptFilesAndRemovingEmptiesTheList() {
        Show([&](QWidget* dialog) {
            QTableView* list = List(dialog);
            QCOMPARE(Column(list, 0), (QStringList{"copy.wav", "changed.wav", "gone.wav"}));
            QCOMPARE(Column(list, 2), (QStringList{"", "", ""}));
            QCOMPARE(Control<QLineEdit>(dialog, 1013)->text(),
                     QString::fromStdString(m_dir / "original.wav"));
            QCOMPARE(Control<QProgressBar>(dialog, 1006)->value(), 0);
            // A cancelled file dialog changes nothing.
            Click(dialog, 1010);
            QCOMPARE(list->model()->rowCount(), 3);
            Click(dialog, 1011);
            QCOMPARE(list->model()->rowCount(), 0);
            m_choosers.files = {{m_dir / "copy.wav"}};
            Click(dialog, 1010);
            QCOMPARE(Column(list, 0), QStringList{"copy.wav"});
            Click(dialog, 1005);
            QTRY_COMPARE(Column(list, 2), QStringList{"0.000%"});
        });
        Show([&](QWidget* dialog) { QCOMPARE(Column(List(dialog), 0), QStringList{"copy.wav"}); });
    }

    void ClosingDuringARunEndsItAndNoLateResultArrives() {
        const std::string original = m_dir / "big.wav";
        WriteFileBytes(original, Bytes(std::size_t{32} << 20, 2));
        m_choosers.original = {original};
        // The same file may be listed many times: a long run from one copy on disk.
        m_choosers.files = {std::vector<std::string>(60, original)};
        Show([&](QWidget* dialog) {
            Click(dialog, 1011);
            Click(dialog, 1008);
            Click(dialog, 1010);
            Click(dialog, 1005);
            QVERIFY(!Control<QPushButton>(dialog, 1005)->isEnabled());
            // The dialog keeps answering while the comparison runs; it is closed between two
            // results, while the next are on their way.
            QTRY_VERIFY(Control<QProgressBar>(dialog, 1006)->value() > 0);
            QTRY_COMPARE(List(dialog)->model()->index(0, 2).data().toString(),
                         QStringLiteral("0.000%"));
            QVERIFY(!Control<QPushButton>(dialog, 1005)->isEnabled());
        });
        Show([&](QWidget* dialog) {
            QTableView* list = List(dialog);
            QCOMPARE(list->model()->rowCount(), 60);
            QTest::qWait(200);
            QVERIFY(Column(list, 2).join(QString()).isEmpty());
            QVERIFY(Control<QPushButton>(dialog, 1005)->isEnabled());
            Click(dialog, 1011);
        });
    }

    void WithoutTheLibrarysTextsTheProgramsOwnAreUsed() {
        // No language library: only the program's own table answers. It has no button texts,
        // so the buttons are blank, but it knows how to say that a file was not compared.
        HandleOnly noLibrary;
        QVERIFY(m_setLanguage(&noLibrary));
        m_choosers.files = {{m_dir / "gone.wav"}};
        m_choosers.original = {m_dir / "original.wav"};
        Show([&](QWidget* dialog) {
            QCOMPARE(Control<QPushButton>(dialog, 1005)->text(), QString());
            QCOMPARE(Control<QPushButton>(dialog, 1008)->text(), QString());
            QCOMPARE(Control<QLineEdit>(dialog, 1013)->accessibleName(),
                     QStringLiteral("Original file"));
            Click(dialog, 1008);
            Click(dialog, 1010);
            Click(dialog, 1005);
            QTRY_COMPARE(Column(List(dialog), 2), QStringList{"n/a"});
        });
        QVERIFY(m_setLanguage(&m_language));
    }
};

// Remembers the message boxes the host would have shown.
class CRecordingBoxes final : public IMessageBoxes {
public:
    void Show(QWidget*, const std::string& text, const std::string&, Icon) override {
        texts.push_back(text);
    }
    std::vector<std::string> texts;
};

// kelto's own plug-in host loads SampleMatch from the working folder the build lays out.
class CSampleMatchHostTest : public QObject {
    Q_OBJECT
private slots:
    void TheProgramLoadsSampleMatchFromItsPluginsFolderAndOpensItsDialog() {
        CLanguageManager language;
        QVERIFY(language.Load(KELTO_WORK_DIR "/Languages/English.so", "English"));
        CRecordingBoxes boxes;
        CPluginList plugins;
        QVERIFY(plugins.LoadPlugins(KELTO_WORK_DIR "/Plugins", &language, boxes));
        QVERIFY(boxes.texts.empty());
        const CPlugin* sampleMatch = nullptr;
        for (int i = 0; i < plugins.GetCount(); ++i) {
            if (plugins.GetAt(i)->GetFileName() == "kel_compare.so") sampleMatch = plugins.GetAt(i);
        }
        QVERIFY(sampleMatch);
        QCOMPARE(sampleMatch->GetName(), std::string("SampleMatch"));
        QCOMPARE(sampleMatch->GetVersion(), std::string("1.0.0.1"));
        QWidget owner;
        QString startText;
        WhenModalOpens([&](QWidget* dialog) {
            startText = Control<QPushButton>(dialog, 1005)->text();
            Control<QPushButton>(dialog, 1003)->click();
        });
        QVERIFY(sampleMatch->ShowDialog(&owner));
        QCOMPARE(startText, QStringLiteral("&Start"));
        plugins.UnloadAll();
    }
};

static RegisterAppTest<CSampleMatchDialogTest> registerSampleMatchDialogTest;
static RegisterAppTest<CSampleMatchHostTest> registerSampleMatchHostTest;

#include "SampleMatchDialogTest.moc"
