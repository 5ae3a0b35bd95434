// The main window with a library-sized list: 10,000 and then 100,000 files (hard links to a
// few real WAV and FLAC files in a folder tree). For each size it prints the time of a full
// refresh of the view with its column widths, of Apply settings on every row, and the
// resident memory with everything listed and prepared. The baseline, measured in the same
// run on the same texts, is the plain Qt way: a QStandardItemModel with one item per cell
// and QTableView::resizeColumnsToContents().
#include <QApplication>
#include <QComboBox>
#include <QStandardItemModel>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

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
};

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
        CFileListEditor(window.GetFiles(), window.GetSettings()->General).AddFolder(music.string(),
                                                                                   true);
    });
    const double refresh = Seconds([&] { window.RefreshView(); });
    const double baseline = BaselineRefresh(*window.GetFileListModel());
    auto* coders = window.findChild<QComboBox*>(QStringLiteral("ctl1004"));
    coders->setCurrentIndex(coders->findText(QStringLiteral("FLAC")));
    const double apply = Seconds([&] { window.OnApplySettings(); });
    std::printf("%7d files: listed %d in %.2f s; refresh view %.0f ms (target < 500 ms), "
                "one item per cell %.0f ms, ratio %.3f; Apply settings %.2f s (target < 2 s); "
                "resident %ld MB (target < 400 MB)\n",
                files, window.GetFiles().Count(), add, refresh * 1000, baseline * 1000,
                refresh / baseline, apply, ResidentMegabytes());
    std::fflush(stdout);
    window.OnResetSettings();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const fs::path scratch = fs::temp_directory_path() / ("kelto-bench-window-" + std::to_string(getpid()));
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
