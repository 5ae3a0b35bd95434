#include "AppFixture.h"

#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>

#include "../session/EngineFiles.h"
#include "lang/LanguageManager.h"
#include "platform/SystemLanguage.h"
#include "session/Catalogue.h"

namespace fs = std::filesystem;

std::vector<std::string> CScriptedChoosers::ChooseFiles(QWidget*, const std::string& filter,
                                                        int& filterIndex) {
    Filters.push_back(filter);
    if (Files.empty()) return {};
    auto answer = Files.front();
    Files.pop_front();
    if (NextFilterIndex != 0) filterIndex = NextFilterIndex;
    return answer;
}

std::string CScriptedChoosers::ChooseOpenFile(QWidget*, const std::string& filter) {
    Filters.push_back(filter);
    return ChooseFolder(nullptr);
}

std::string CScriptedChoosers::ChooseSaveFile(QWidget*, const std::string& filter) {
    Filters.push_back(filter);
    return ChooseFolder(nullptr);
}

std::string CScriptedChoosers::ChooseFolder(QWidget*) {
    if (Paths.empty()) return {};
    std::string answer = Paths.front();
    Paths.pop_front();
    return answer;
}

CAppFixture::CAppFixture() {
    const fs::path shipped = KELTO_WORK_DIR;
    for (const char* name : {"Coders", "Decoders", "Languages"}) {
        fs::create_directory_symlink(shipped / name, m_work.Path() / name);
    }
    fs::copy_file(shipped / "Base.xml", m_work.Path() / "Base.xml");
    fs::create_directory(m_work.Path() / "Codecs");
    char* previous = getcwd(nullptr, 0);
    m_previousDirectory = previous ? previous : "/";
    std::free(previous);
    fs::current_path(m_work.Path());
    // The language comes from the working folder, as at the program's start.
    SelectStartupLanguage(GetLanguageManager(), platform::SystemLanguageId());
}

CAppFixture::~CAppFixture() {
    std::error_code ignored;
    fs::current_path(m_previousDirectory, ignored);
}

std::unique_ptr<CDlgMain> CAppFixture::OpenWindow() {
    auto window = std::make_unique<CDlgMain>(&GetLanguageManager(),
                                             MainWindowServices{Boxes, Choosers, Shell});
    window->Initialise();
    return window;
}

std::unique_ptr<CDlgMain> CAppFixture::OpenWindowWritingTo(const std::string& folder) {
    fs::create_directories(folder);
    auto window = OpenWindow();
    window->GetSettings()->General.OutputFolderSameAsOriginal = 0;
    window->GetSettings()->General.OutputFolder = folder;
    return window;
}

std::string CAppFixture::MakeAudio(const std::string& name, double seconds, int seed) {
    const std::string path = Audio(name);
    if (fs::path(name).extension() == ".wav") {
        WriteTestWav(path, 44100, 2, seconds, seed);
        return path;
    }
    const std::string wav = Audio(name + ".source.wav");
    WriteTestWav(wav, 44100, 2, seconds, seed);
    EncodeWith(wav, path);
    fs::remove(wav);
    return path;
}

std::vector<std::string> UnnamedControls(const QWidget& root) {
    std::vector<std::string> unnamed;
    for (const QWidget* widget : root.findChildren<QWidget*>()) {
        if (widget->isHidden() && !widget->isEnabled()) continue;  // template-only controls
        QString text;
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            text = button->text();
        const bool control = qobject_cast<const QAbstractButton*>(widget) ||
                             qobject_cast<const QLineEdit*>(widget) ||
                             qobject_cast<const QComboBox*>(widget) ||
                             qobject_cast<const QAbstractItemView*>(widget) ||
                             qobject_cast<const QPlainTextEdit*>(widget);
        if (!control || widget->objectName().startsWith(QStringLiteral("qt_")) ||
            qobject_cast<const QHeaderView*>(widget)) {
            continue;
        }
        if (qobject_cast<const QLineEdit*>(widget) && widget->parentWidget() &&
            qobject_cast<const QComboBox*>(widget->parentWidget())) {
            continue;
        }
        if (text.isEmpty() && widget->accessibleName().isEmpty()) {
            unnamed.push_back(widget->objectName().toStdString() + " (" +
                              widget->metaObject()->className() + ")");
        }
    }
    return unnamed;
}

int CoderIndex(CDlgMain& window, const std::string& name) {
    const CCoderList& coders = window.GetCatalogue().GetCoders();
    for (int i = 0; i < coders.GetCount(); ++i) {
        if (coders.GetAt(i)->GetName() == name) return i;
    }
    return -1;
}

void PickCoder(CDlgMain& window, const std::string& name, int preset) {
    auto* box = window.findChild<QComboBox*>(QStringLiteral("ctl1004"));
    QVERIFY2(CoderIndex(window, name) >= 0, name.c_str());
    box->setCurrentIndex(CoderIndex(window, name));
    emit box->activated(box->currentIndex());
    window.findChild<QComboBox*>(QStringLiteral("ctl1005"))->setCurrentIndex(preset);
}
