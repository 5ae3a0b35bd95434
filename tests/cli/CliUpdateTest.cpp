// kelto-cli --existing update over a converted library: a rerun converts nothing, a changed
// source is converted again under its own name, a source that is gone is named and its output
// kept, and new settings convert everything again. Converting beside the sources and adding the
// folder again lists the sources only. Real FLAC files, the shipped packages, the built program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "session/EngineFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class CliUpdateTest : public ::testing::Test {
protected:
    std::string Cli() const {
        return ShellQuoted(std::string(KELTO_WORK_DIR) + "/kelto-cli") + " --workdir " +
               ShellQuoted(KELTO_WORK_DIR);
    }
    int Shell(const std::string& command) {
        const std::string out = m_dir / "out.txt";
        const int status =
            std::system((command + " >" + ShellQuoted(out) + " 2>&1 </dev/null").c_str());
        Out = ReadFileBytes(out);
        return WEXITSTATUS(status);
    }
    void Flac(const std::string& path, int seed) {
        fs::create_directories(fs::path(path).parent_path());
        const std::string wav = m_dir / "tone.wav";
        WriteTestWav(wav, 44100, 2, 0.2, seed);
        ASSERT_TRUE(RunShell("flac -s -f -o " + ShellQuoted(path) + " " + ShellQuoted(wav)));
    }
    int Count(const std::string& what) const {
        int count = 0;
        for (std::size_t at = Out.find(what); at != std::string::npos; at = Out.find(what, at + 1))
            ++count;
        return count;
    }
    static fs::file_time_type Time(const std::string& path) { return fs::last_write_time(path); }
    std::set<std::string> Visible(const std::string& folder) const {
        std::set<std::string> names;
        for (const std::string& name : FileNamesIn(folder)) {
            if (name[0] != '.') names.insert(name);
        }
        return names;
    }

    TempDir m_dir;
    std::string Out;
};

TEST_F(CliUpdateTest, RerunsConvertOnlyWhatChangedUnderTheSameNameAndNameOutputsOfGoneSources) {
    const std::string library = m_dir / "Music";
    for (int i = 1; i <= 3; ++i) Flac(library + "/s" + std::to_string(i) + ".flac", i);
    const std::string output = m_dir / "out";
    const std::string update =
        Cli() + " --coder FLAC --existing update --output " + ShellQuoted(output) + " ";
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("Written: "), 3) << Out;
    const std::set<std::string> outputs{"s1.flac", "s2.flac", "s3.flac"};
    ASSERT_EQ(Visible(output), outputs);
    const auto firstTime = Time(output + "/s1.flac");

    // Nothing changed: nothing is converted, every file reported up to date.
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("Written: "), 0) << Out;
    EXPECT_EQ(Count("Skipped: "), 3) << Out;
    EXPECT_NE(
        Out.find("Skipped: " + library + "/s1.flac: skipped: " + output + "/s1.flac is up to date"),
        std::string::npos)
        << Out;
    EXPECT_NE(Out.find("0 of 3 file(s) converted"), std::string::npos) << Out;

    // One source changed (new content, same name): that one alone, under its own name.
    Flac(library + "/s2.flac", 7);
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("Written: "), 1) << Out;
    EXPECT_NE(Out.find("Written: " + output + "/s2.flac\n"), std::string::npos) << Out;
    EXPECT_EQ(Visible(output), outputs);
    EXPECT_EQ(Time(output + "/s1.flac"), firstTime);

    // Only the modification time changed: converted again as well.
    fs::last_write_time(library + "/s1.flac",
                        fs::last_write_time(library + "/s1.flac") + std::chrono::seconds(5));
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("Written: "), 1) << Out;
    EXPECT_NE(Out.find("Written: " + output + "/s1.flac\n"), std::string::npos) << Out;

    // A source deleted: its output is named and stays.
    fs::remove(library + "/s3.flac");
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("Written: "), 0) << Out;
    EXPECT_NE(Out.find("Source gone: " + output + "/s3.flac"), std::string::npos) << Out;
    EXPECT_TRUE(fs::exists(output + "/s3.flac"));

    // Another preset: every file again, under the same names.
    ASSERT_EQ(Shell(update + "--preset 1 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("Written: "), 2) << Out;
    EXPECT_EQ(Visible(output), outputs);
    ASSERT_EQ(Shell(update + "--preset 1 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("Written: "), 0) << Out;

    // An output made before the record was kept (here: the record lost) is not kelto's to
    // replace, and is not doubled with a numbered copy either: the file is skipped.
    fs::remove(output + "/.kelto-record");
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("Written: "), 0) << Out;
    EXPECT_EQ(Count("Skipped: "), 2) << Out;
    EXPECT_NE(Out.find("Skipped: " + library + "/s1.flac: skipped: " + output +
                       "/s1.flac exists and was not recorded as written by kelto\n"),
              std::string::npos)
        << Out;
    EXPECT_EQ(Visible(output), outputs);
    EXPECT_FALSE(fs::exists(output + "/.kelto-record")) << Out;
}

TEST_F(CliUpdateTest, AddingAFolderAgainLeavesOutTheOutputsWrittenBesideTheSources) {
    const std::string library = m_dir / "Music";
    Flac(library + "/a/one.flac", 1);
    Flac(library + "/b/two.flac", 2);
    ASSERT_EQ(Shell(Cli() + " --coder WavPack " + ShellQuoted(library)), 0) << Out;
    ASSERT_TRUE(fs::exists(library + "/a/one.wv")) << Out;
    ASSERT_EQ(Shell(Cli() + " --info " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(Count("\"path\""), 2) << Out;
    EXPECT_EQ(Count(".wv\""), 0) << Out;
    // Named one by one, an output is listed like any file.
    ASSERT_EQ(Shell(Cli() + " --info " + ShellQuoted(library + "/a/one.wv")), 0) << Out;
    EXPECT_EQ(Count("\"path\""), 1) << Out;
}

}  // namespace
