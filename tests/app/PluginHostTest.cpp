// The plug-in host on real libraries in a real Plugins folder: broken ones skipped, the loaded
// ones listed in the menu and on the Options dialog's Plugins page, their commands, their
// texts, their cores, and their unloading.
#include <dlfcn.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AppFixture.h"
#include "AppTest.h"
#include "app/OptionsDialog.h"
#include "base/FileSize.h"
#include "settings/SettingsSet.h"
#include "ui/SortListViewEx.h"

namespace fs = std::filesystem;

namespace {

// Copies the test plug-in of that kind into the working folder's Plugins folder as name.
std::string LayPlugin(CAppFixture& fixture, const std::string& kind, const std::string& name) {
    const fs::path folder = fs::path(fixture.Work()) / "Plugins";
    fs::create_directories(folder);
    fs::copy_file(fs::path(KELTO_TEST_PLUGINS_DIR) / (kind + ".so"), folder / name);
    return (folder / name).string();
}

// The calls the plug-ins logged, one "<tag> <call> ..." line each.
std::vector<std::string> PluginCalls(CAppFixture& fixture) {
    std::ifstream in(fixture.Work() + "/plugin-calls.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string CallsOf(CAppFixture& fixture, const std::string& tag) {
    std::string calls;
    for (const std::string& line : PluginCalls(fixture)) {
        if (line.rfind(tag + " ", 0) == 0) calls += line.substr(tag.size() + 1) + "\n";
    }
    return calls;
}

// The word after "key=" in the plug-in's log.
std::string Logged(CAppFixture& fixture, const std::string& tag, const std::string& key) {
    const std::string calls = CallsOf(fixture, tag);
    const auto at = calls.find(key + "=");
    if (at == std::string::npos) return {};
    const auto begin = at + key.size() + 1;
    return calls.substr(begin, calls.find_first_of(" \n", begin) - begin);
}

std::string Pointer(const void* pointer) {
    std::ostringstream text;
    text << pointer;
    return text.str();
}

bool IsLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

struct PluginsPage {
    QStringList FirstRow;
    int Rows = -1;
    QString Count;
};

// Opens the Options dialog on the Plugins page and reads it.
PluginsPage ReadPluginsPage(CDlgMain& window) {
    PluginsPage page;
    window.GetSettings()->OptionsInitialPage = 2;
    WhenModalOpens([&](QWidget* dialog) {
        auto* list = dialog->findChild<CSortListViewEx*>(QStringLiteral("ctl1040"));
        page.Rows = list->GetItemCount();
        for (int c = 0; c < 4 && page.Rows > 0; ++c) page.FirstRow << list->GetItemText(0, c);
        page.Count = dialog->findChild<QLabel*>(QStringLiteral("ctl1042"))->text();
        dialog->findChild<QPushButton*>(QStringLiteral("ctl2"))->click();
    });
    window.OnOptions();
    return page;
}

}  // namespace

class CPluginHostTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_fixture = std::make_unique<CAppFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void WithoutLibrariesThereIsNoMenuAndNoPlugin() {
        {
            auto window = m_fixture->OpenWindow();
            QVERIFY(!window->GetPluginMenu());
            QCOMPARE(window->GetMenuBar()->actions().size(), 3);
            const PluginsPage page = ReadPluginsPage(*window);
            QCOMPARE(page.Rows, 0);
            QCOMPARE(page.Count, QStringLiteral("Plugins loaded: 0"));
        }
        // A Plugins folder without a library is the same.
        fs::create_directory(m_fixture->Work() + "/Plugins");
        std::ofstream(m_fixture->Work() + "/Plugins/readme.txt") << "no plug-ins here\n";
        auto window = m_fixture->OpenWindow();
        QVERIFY(!window->GetPluginMenu());
        QCOMPARE(window->GetPlugins().GetCount(), 0);
        QVERIFY(m_fixture->Boxes.Shown.empty());
    }

    void BrokenLibrariesAreSkippedAndTheGoodOneIsPluginZero() {
        // Enumeration order: x.so, y_nocore.so, z_good.so.
        const std::string text = m_fixture->Work() + "/Plugins/x.so";
        fs::create_directories(m_fixture->Work() + "/Plugins");
        std::ofstream(text) << "not a library\n";
        const std::string noCore = LayPlugin(*m_fixture, "nocore", "y_nocore.so");
        const std::string good = LayPlugin(*m_fixture, "good", "z_good.so");
        auto window = m_fixture->OpenWindow();

        // One box, the loader's own words about x.so, and loading went on.
        QCOMPARE(m_fixture->Boxes.Shown.size(), std::size_t{1});
        const ShownBox& box = m_fixture->Boxes.Shown[0];
        QCOMPARE(box.Caption, std::string("Error"));
        QVERIFY(box.Icon == IMessageBoxes::Icon::Error);
        QVERIFY2(box.Text.rfind(text + ": ", 0) == 0 && box.Text.size() > text.size() + 2,
                 box.Text.c_str());

        // The library without SetCoreObject was never called and is released.
        QVERIFY(CallsOf(*m_fixture, "nocore").empty());
        QVERIFY(!IsLoaded(noCore));

        QCOMPARE(window->GetPlugins().GetCount(), 1);
        const CPlugin& plugin = *window->GetPlugins().GetAt(0);
        QCOMPARE(plugin.GetName(), std::string("SampleProbe"));
        QCOMPARE(plugin.GetVersion(), std::string("2.5 beta"));
        QCOMPARE(CallsOf(*m_fixture, "good"),
                 "Init\nSetLanguage library=Pl&ugins program=kelto\nSetCore core=" +
                     Pointer(&plugin.GetCore()) + " threads=2 running=0\nGetName\nGetVersion\n");

        // The menu between "List" and "Help", titled by text 116, one command 100000.
        const QList<QAction*> bar = window->GetMenuBar()->actions();
        QCOMPARE(bar.size(), 4);
        QCOMPARE(bar[2]->menu(), window->GetPluginMenu());
        QCOMPARE(bar[2]->text(), QStringLiteral("Pl&ugins"));
        QCOMPARE(bar[1]->text(), QStringLiteral("&List"));
        const QList<QAction*> items = window->GetPluginMenu()->actions();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->objectName(), QStringLiteral("cmd100000"));
        QCOMPARE(items[0]->text(), QStringLiteral("SampleProbe"));
        items[0]->trigger();
        window->OnCommand(CDlgMain::kFirstPluginCommand + 1);  // no such plug-in: nothing
        const std::string owner = Pointer(static_cast<QWidget*>(window.get()));
        QVERIFY(CallsOf(*m_fixture, "good").ends_with("Show owner=" + owner + "\n"));
        QCOMPARE(Logged(*m_fixture, "good", "owner"), owner);

        const PluginsPage page = ReadPluginsPage(*window);
        QCOMPARE(page.Rows, 1);
        QCOMPARE(page.FirstRow,
                 QStringList({QStringLiteral("SampleProbe"), QStringLiteral("2.5 beta"),
                              QStringLiteral("z_good.so"),
                              QString::fromStdString(FormatFileSize(
                                  static_cast<std::int64_t>(fs::file_size(good)), 0, 2))}));
        QCOMPARE(page.Count, QStringLiteral("Plugins loaded: 1"));

        window.reset();
        QVERIFY(CallsOf(*m_fixture, "good").ends_with("DeInit\n"));
        QVERIFY(!IsLoaded(good));
    }

    void EveryPluginHasItsOwnCoreAndACarelessNameIsCut() {
        const std::string careless = LayPlugin(*m_fixture, "longname", "a_long.so");
        const std::string good = LayPlugin(*m_fixture, "good", "b_good.so");
        auto window = m_fixture->OpenWindow();
        QVERIFY(m_fixture->Boxes.Shown.empty());
        QCOMPARE(window->GetPlugins().GetCount(), 2);

        // 1,100 characters without a terminator: the promised 1,023 are read, no more.
        const CPlugin& first = *window->GetPlugins().GetAt(0);
        QCOMPARE(first.GetName(), std::string(1023, 'x'));
        QCOMPARE(first.GetVersion(), std::string("2.5 beta"));
        QCOMPARE(window->GetPluginMenu()->actions()[0]->text().size(), 1023);
        QCOMPARE(window->GetPluginMenu()->actions()[1]->objectName(), QStringLiteral("cmd100001"));

        // Each its own core, neither the window's.
        const std::string firstCore = Logged(*m_fixture, "longname", "core");
        const std::string secondCore = Logged(*m_fixture, "good", "core");
        QCOMPARE(firstCore, Pointer(&first.GetCore()));
        QCOMPARE(secondCore, Pointer(&window->GetPlugins().GetAt(1)->GetCore()));
        QVERIFY(firstCore != secondCore);
        QVERIFY(firstCore != Pointer(static_cast<ICore*>(&window->GetCore())));

        window->OnCommand(CDlgMain::kFirstPluginCommand + 1);
        QVERIFY(CallsOf(*m_fixture, "good").find("Show owner=") != std::string::npos);
        QVERIFY(CallsOf(*m_fixture, "longname").find("Show") == std::string::npos);

        // Unloaded in list order.
        window.reset();
        std::vector<std::string> deInits;
        for (const std::string& line : PluginCalls(*m_fixture)) {
            if (line.ends_with(" DeInit")) deInits.push_back(line);
        }
        QCOMPARE(deInits, std::vector<std::string>({"longname DeInit", "good DeInit"}));
        QVERIFY(!IsLoaded(careless));
        QVERIFY(!IsLoaded(good));
    }

private:
    std::unique_ptr<CAppFixture> m_fixture;
};

static RegisterAppTest<CPluginHostTest> registered;

#include "PluginHostTest.moc"
