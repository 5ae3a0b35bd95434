// kelto-cli --existing update over a converted library: a rerun converts nothing, a changed
// source is converted again under its own name, a source that is gone is named and its output
// kept, and new settings convert everything again. Converting beside the sources and adding the
// folder again lists the sources only. Real FLAC files, the shipped packages, the built program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "CliFixture.h"
#include "session/EngineFiles.h"

namespace fs = std::filesystem;

namespace {

class CliUpdateTest : public CliFixture {
protected:
    CliUpdateTest() : CliFixture(CliStreams::Together) {}

    static fs::file_time_type Time(const std::string& path) { return fs::last_write_time(path); }
    std::set<std::string> Visible(const std::string& folder) const {
        std::set<std::string> names;
        for (const std::string& name : FileNamesIn(folder)) {
            if (name[0] != '.') names.insert(name);
        }
        return names;
    }
};

TEST_F(CliUpdateTest, RerunsConvertOnlyWhatChangedUnderTheSameNameAndNameOutputsOfGoneSources) {
    const std::string library = m_dir / "Music";
    for (int i = 1; i <= 3; ++i) Flac(library + "/s" + std::to_string(i) + ".flac", i);
    const std::string output = m_dir / "out";
    const std::string update =
        CliCommand() + " --coder FLAC --existing update --output " + ShellQuoted(output) + " ";
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Written: "), 3) << Out;
    const std::set<std::string> outputs{"s1.flac", "s2.flac", "s3.flac"};
    ASSERT_EQ(Visible(output), outputs);
    const auto firstTime = Time(output + "/s1.flac");

    // Nothing changed: nothing is converted, every file reported up to date.
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Written: "), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Skipped: "), 3) << Out;
    EXPECT_NE(
        Out.find("Skipped: " + library + "/s1.flac: skipped: " + output + "/s1.flac is up to date"),
        std::string::npos)
        << Out;
    EXPECT_NE(Out.find("0 of 3 file(s) converted"), std::string::npos) << Out;

    // One source changed (new content, same name): that one alone, under its own name.
    Flac(library + "/s2.flac", 7);
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Written: "), 1) << Out;
    EXPECT_NE(Out.find("Written: " + output + "/s2.flac\n"), std::string::npos) << Out;
    EXPECT_EQ(Visible(output), outputs);
    EXPECT_EQ(Time(output + "/s1.flac"), firstTime);

    // Only the modification time changed: converted again as well.
    fs::last_write_time(library + "/s1.flac",
                        fs::last_write_time(library + "/s1.flac") + std::chrono::seconds(5));
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Written: "), 1) << Out;
    EXPECT_NE(Out.find("Written: " + output + "/s1.flac\n"), std::string::npos) << Out;

    // A source deleted: its output is named and stays.
    fs::remove(library + "/s3.flac");
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Written: "), 0) << Out;
    EXPECT_NE(Out.find("Source gone: " + output + "/s3.flac"), std::string::npos) << Out;
    EXPECT_TRUE(fs::exists(output + "/s3.flac"));

    // Another preset: every file again, under the same names.
    ASSERT_EQ(Shell(update + "--preset 1 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Written: "), 2) << Out;
    EXPECT_EQ(Visible(output), outputs);
    ASSERT_EQ(Shell(update + "--preset 1 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Written: "), 0) << Out;

    // An output made before the record was kept (here: the record lost) is not kelto's to
    // replace, and is not doubled with a numbered copy either: the file is skipped.
    fs::remove(output + "/.kelto-record");
    ASSERT_EQ(Shell(update + "--preset 0 " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Written: "), 0) << Out;
    EXPECT_EQ(CountOf(Out, "Skipped: "), 2) << Out;
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
    ASSERT_EQ(Shell(CliCommand() + " --coder WavPack " + ShellQuoted(library)), 0) << Out;
    ASSERT_TRUE(fs::exists(library + "/a/one.wv")) << Out;
    ASSERT_EQ(Shell(CliCommand() + " --info " + ShellQuoted(library)), 0) << Out;
    EXPECT_EQ(CountOf(Out, "\"path\""), 2) << Out;
    EXPECT_EQ(CountOf(Out, ".wv\""), 0) << Out;
    // Named one by one, an output is listed like any file.
    ASSERT_EQ(Shell(CliCommand() + " --info " + ShellQuoted(library + "/a/one.wv")), 0) << Out;
    EXPECT_EQ(CountOf(Out, "\"path\""), 1) << Out;
}

}  // namespace
