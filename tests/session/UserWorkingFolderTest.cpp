// The user's working folder of an installed kelto: made from an install laid out as the
// package lays it out (the real codec packages), then kept in step across an upgrade.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/WorkingFolder.h"
#include "codecs/Coder.h"
#include "codecs/CoderList.h"
#include "session/Catalogue.h"
#include "session/UserWorkingFolder.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string LinkText(const std::string& path) {
    return fs::is_symlink(path) ? fs::read_symlink(path).string() : std::string();
}

std::vector<std::string> CoderNames(const std::string& folder) {
    CCatalogue catalogue;
    catalogue.Load(CWorkingFolder(folder), "WAV", false);
    std::vector<std::string> names;
    const CCoderList& coders = catalogue.GetCoders();
    for (int i = 0; i < coders.GetCount(); ++i) {
        names.push_back(fs::path(coders.GetAt(i)->GetFolder()).filename().string());
    }
    return names;
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class UserWorkingFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_dir.Path() / "usr/lib/kelto/Languages");
        fs::create_directories(m_dir.Path() / "usr/lib/kelto/Plugins");
        fs::create_directories(m_dir.Path() / "usr/share/kelto/Manual");
        const fs::path packages = fs::path(KELTO_SOURCE_DIR) / "packages";
        for (const char* kind : {"Coders", "Decoders"}) {
            fs::copy(packages / kind, m_dir.Path() / "usr/share/kelto" / kind,
                     fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        }
        fs::copy_file(packages / "Base.xml", m_dir.Path() / "usr/share/kelto/Base.xml");
        // Installed packages hold relative links, as Debian wants them.
        const fs::path flac = m_dir.Path() / "usr/share/kelto/Coders/FLAC/flac";
        fs::remove(flac);
        fs::create_symlink(fs::relative("/usr/bin/flac", flac.parent_path()), flac);
    }

    InstalledLayout Layout() const {
        const auto layout = FindInstalledLayout(m_dir / "usr/lib/kelto/kelto");
        EXPECT_TRUE(layout.has_value());
        return layout.value_or(InstalledLayout{});
    }

    TempDir m_dir;
    std::string m_user = m_dir / "home/.local/share/kelto";
};

TEST_F(UserWorkingFolderTest, FirstStartMakesAFolderTheCatalogueReads) {
    EXPECT_FALSE(FindInstalledLayout(std::string(KELTO_WORK_DIR) + "/kelto").has_value());
    ASSERT_EQ(PrepareUserWorkingFolder(Layout(), m_user), "");

    EXPECT_TRUE(fs::is_directory(m_user + "/Codecs"));
    EXPECT_TRUE(fs::is_empty(m_user + "/Codecs"));
    EXPECT_EQ(LinkText(m_user + "/Languages"), m_dir.Path() / "usr/lib/kelto/Languages");
    EXPECT_EQ(LinkText(m_user + "/Plugins"), m_dir.Path() / "usr/lib/kelto/Plugins");
    EXPECT_EQ(LinkText(m_user + "/Manual"), m_dir.Path() / "usr/share/kelto/Manual");
    // Package folders are real folders (the scan does not descend into links), their programs
    // the same links as installed.
    EXPECT_FALSE(fs::is_symlink(m_user + "/Coders/FLAC"));
    EXPECT_EQ(LinkText(m_user + "/Coders/FLAC/flac"), "/usr/bin/flac");
    const std::vector<std::string> coders = CoderNames(m_user);
    EXPECT_TRUE(Holds(coders, "FLAC")) << coders.size();
    EXPECT_TRUE(Holds(coders, "MP3"));
}

TEST_F(UserWorkingFolderTest, UpgradeKeepsTheUsersOwnAndFollowsTheInstall) {
    ASSERT_EQ(PrepareUserWorkingFolder(Layout(), m_user), "");
    // The user adds a package of their own, edits a shipped one, makes a real Plugins folder.
    fs::copy(m_user + "/Coders/FLAC", m_user + "/Coders/MyFLAC",
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    WriteFileBytes(m_user + "/Coders/MyFLAC/Info.txt", "mine\n");
    WriteFileBytes(m_user + "/Coders/FLAC/Presets.ini", "edited\n");
    WriteFileBytes(m_user + "/Coders/FLAC/stray.txt", "x");
    fs::remove(m_user + "/Plugins");
    fs::create_directory(m_user + "/Plugins");
    WriteFileBytes(m_user + "/Settings.ini", "[Settings]\n");

    // The upgrade: MP3's coder is dropped, a new package arrives, FLAC's presets change.
    const fs::path data = m_dir.Path() / "usr/share/kelto";
    fs::remove_all(data / "Coders/MP3");
    fs::copy(data / "Coders/Opus", data / "Coders/Opus2",
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    const std::string presets = ReadFileBytes((data / "Coders/FLAC/Presets.ini").string()) + "; new\n";
    WriteFileBytes((data / "Coders/FLAC/Presets.ini").string(), presets);
    WriteFileBytes((data / "Base.xml").string(), ReadFileBytes((data / "Base.xml").string()) + "\n");

    ASSERT_EQ(PrepareUserWorkingFolder(Layout(), m_user), "");
    EXPECT_EQ(ReadFileBytes(m_user + "/Coders/FLAC/Presets.ini"), presets);
    EXPECT_FALSE(fs::exists(m_user + "/Coders/FLAC/stray.txt"));
    EXPECT_FALSE(fs::exists(m_user + "/Coders/MP3"));
    EXPECT_TRUE(fs::is_directory(m_user + "/Coders/Opus2"));
    EXPECT_EQ(ReadFileBytes(m_user + "/Coders/MyFLAC/Info.txt"), "mine\n");
    EXPECT_EQ(ReadFileBytes(m_user + "/Base.xml"), ReadFileBytes((data / "Base.xml").string()));
    EXPECT_FALSE(fs::is_symlink(m_user + "/Plugins"));
    EXPECT_EQ(ReadFileBytes(m_user + "/Settings.ini"), "[Settings]\n");
    const std::vector<std::string> coders = CoderNames(m_user);
    EXPECT_FALSE(Holds(coders, "MP3"));
    EXPECT_TRUE(Holds(coders, "Opus2"));
    EXPECT_TRUE(Holds(coders, "MyFLAC"));
}

}  // namespace
