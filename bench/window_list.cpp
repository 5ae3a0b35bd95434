// The main window with a library-sized list: 10,000 and then 100,000 files (hard links to a
// few real WAV and FLAC files in a folder tree). For each size it prints the time of a full
// refresh of the view with its column widths (the state column included), of Apply settings
// on every row, and the resident memory with everything listed and prepared. The baseline,
// measured in the same run on the same texts, is the plain Qt way: a QStandardItemModel with
// one item per cell and QTableView::resizeColumnsToContents(). With 100,000 files it then
// starts a real run, and prints what following it costs the user-interface thread: one update
// of the state column on its own, and the thread's processor time over a few seconds of the
// run with the job window open, against one core.
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/DlgMain.h"
#include "app/FileListModel.h"
#include "app/Shell.h"
#include "lang/LanguageManager.h"
#include "platform/SystemLanguage.h"
#include "session/FileListEditor.h"
#include "ui/Choosers.h"
#include "ui/ListViewEx.h"
#include "ui/MessageBoxes.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPerFolder = 500;

class CSilentBoxes final : public IMessageBoxes {
public:
    void Show(QWidget*, const std::string& text, const std::string&, Icon) override {
        std::fprintf(stderr, "box: %s\n", text.c_str());
    }
    void ShowReport(QWidget*, const std::string& text, const std::string&, const std::string&,
                    Icon) override {
        std::fprintf(stderr, "summary: %s\n", text.c_str());
    }
};

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

template <class Step>
double Seconds(Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    }
    return -1;
}

void Run(const char* what) {
    if (std::system(what) != 0) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::exit(1);
    }
}

// count files below root: four WAV files in five and one FLAC file, linked, not copied (to
// one of kCopies copies of each, since a file takes only so many links).
constexpr int kCopies = 8;
void MakeTree(const fs::path& root, int first, int count, const fs::path& wav,
              const fs::path& flac) {
    for (int i = first; i < first + count; ++i) {
        const fs::path folder = root / ("artist" + std::to_string(i / kPerFolder));
        fs::create_directories(folder);
        const bool isFlac = i % 5 == 4;
        fs::path source = (isFlac ? flac : wav).string() + std::to_string(i % kCopies);
        if (!fs::exists(source)) fs::copy_file(isFlac ? flac : wav, source);
        fs::create_hard_link(source,
                             folder / ("track" + std::to_string(i) + (isFlac ? ".flac" : ".wav")));
    }
}

double BaselineRefresh(const CFileListModel& texts) {
    QStandardItemModel model;
    QTableView view;
    view.setModel(&model);
    return Seconds([&] {
        model.clear();
        model.setColumnCount(CFileListModel::kColumnCount);
        for (int row = 0; row < texts.rowCount(); ++row) {
            QList<QStandardItem*> cells;
            for (int c = 0; c < CFileListModel::kColumnCount; ++c) {
                cells << new QStandardItem(texts.Text(row, c));
            }
            model.appendRow(cells);
        }
        view.resizeColumnsToContents();
    });
}

// Seconds of the run watched with the job window open before it is stopped.
constexpr double kWatchedSeconds = 5.0;

void MeasureRun(CDlgMain& window) {
    window.show();
    // Painted once, so the updates measured paint what a person would see.
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    CListViewEx* list = window.GetFileListView();
    double tick = 0;
    double busy = 0;
    double watched = 0;
    double start = WallSeconds();
    // Once the job window is up: one state update measured alone, then the thread's time over
    // the watched seconds, then Stop.
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
        QWidget* jobs = QApplication::activeModalWidget();
        if (!jobs) return;
        poll->stop();
        poll->deleteLater();
        start = WallSeconds() - start;
        constexpr int kTicks = 20;
        tick = Seconds([&] {
                   for (int i = 0; i < kTicks; ++i) {
                       window.ShowRunStates();
                       list->viewport()->repaint();
                   }
               }) /
               kTicks;
        const double cpu0 = ThreadSeconds();
        const double wall0 = WallSeconds();
        QTimer::singleShot(static_cast<int>(kWatchedSeconds * 1000), jobs, [&, jobs, cpu0, wall0] {
            busy = ThreadSeconds() - cpu0;
            watched = WallSeconds() - wall0;
            jobs->findChild<QPushButton*>(QStringLiteral("ctl1038"))->click();
        });
    });
    poll->start(20);
    const double run = Seconds([&] { window.OnStart(); });
    std::printf(
        "%7d files: Start until the job window showed %.2f s; one state column update "
        "with its repaint %.2f ms, every %d ms: %.2f %% of one core (target < 5 %%); "
        "user-interface thread over %.1f s of the run, job window included: %.2f %% of "
        "one core; Start to the summary after Stop %.2f s\n",
        window.GetFiles().Count(), start, tick * 1000, CDlgMain::kRunStatesMilliseconds,
        100.0 * tick * 1000 / CDlgMain::kRunStatesMilliseconds, watched,
        watched > 0 ? 100.0 * busy / watched : 0.0, run);
    std::fflush(stdout);
    window.hide();
}

void Measure(const fs::path& music, int files) {
    CSilentBoxes boxes;
    CChoosers choosers;
    CShell shell;
    CDlgMain window(&GetLanguageManager(), MainWindowServices{boxes, choosers, shell});
    window.Initialise();
    window.GetSettings()->General.RememberFileList = 0;
    window.GetSettings()->General.OutputFolderSameAsOriginal = 0;
    window.GetSettings()->General.OutputFolder = (music.parent_path() / "out").string();
    const double add = Seconds([&] {
        CFileListEditor(window.GetFiles(), window.GetSettings()->General)
            .AddFolder(music.string(), true);
    });
    const double refresh = Seconds([&] { window.RefreshView(); });
    const double baseline = BaselineRefresh(*window.GetFileListModel());
    auto* coders = window.findChild<QComboBox*>(QStringLiteral("ctl1004"));
    coders->setCurrentIndex(coders->findText(QStringLiteral("FLAC")));
    const double apply = Seconds([&] { window.OnApplySettings(); });
    std::printf(
        "%7d files: listed %d in %.2f s; refresh view %.0f ms (target < 500 ms), "
        "one item per cell %.0f ms, ratio %.3f; Apply settings %.2f s (target < 2 s); "
        "resident %ld MB (target < 400 MB)\n",
        files, window.GetFiles().Count(), add, refresh * 1000, baseline * 1000, refresh / baseline,
        apply, ResidentMegabytes());
    std::fflush(stdout);
    if (files >= 100000) MeasureRun(window);
    window.OnResetSettings();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const fs::path scratch =
        fs::temp_directory_path() / ("kelto-bench-window-" + std::to_string(getpid()));
    const fs::path work = scratch / "work";
    const fs::path music = scratch / "Music";
    fs::create_directories(work / "Codecs");
    fs::create_directories(scratch / "tmp");
    for (const char* name : {"Coders", "Decoders", "Languages"}) {
        fs::create_directory_symlink(fs::path(KELTO_WORK_DIR) / name, work / name);
    }
    fs::copy_file(fs::path(KELTO_WORK_DIR) / "Base.xml", work / "Base.xml");
    // The temporary names' markers go to a folder of the benchmark's own.
    setenv("TMPDIR", (scratch / "tmp").c_str(), 1);
    const std::string wav = (scratch / "a.wav").string();
    const std::string flac = (scratch / "a.flac").string();
    Run(("sox -q -n -r 44100 -c 2 -b 16 '" + wav + "' synth 0.2 sine 440").c_str());
    Run(("flac -s -f -o '" + flac + "' '" + wav + "'").c_str());
    fs::current_path(work);
    SelectStartupLanguage(GetLanguageManager(), platform::SystemLanguageId());

    MakeTree(music, 0, 10000, wav, flac);
    Measure(music, 10000);
    MakeTree(music, 10000, 90000, wav, flac);
    Measure(music, 100000);
    fs::current_path(scratch.parent_path());
    fs::remove_all(scratch);
    return 0;
}
