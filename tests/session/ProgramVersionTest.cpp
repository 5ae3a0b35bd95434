// Asking the codec programs for their versions: the real programs kelto ships packages for,
// and scripts for what they cannot show (a program that hangs, one that only knows -V).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "EngineFiles.h"
#include "session/MissingPrograms.h"
#include "session/ProgramVersion.h"
#include "session/ProgramVersions.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutMs = 5000;

// The upstream part of the installed Debian package's version ("7:5.1.9-0+deb12u1" gives
// "5.1.9-0+deb12u1"), read from dpkg rather than from the program.
std::string DebianVersion(const std::string& package, const TempDir& dir) {
    const std::string out = dir / "dpkg-version";
    if (!RunShell("{ dpkg-query -W -f='${Version}' " + package + " > " + out + "; }")) return {};
    std::string version = ReadFileBytes(out);
    const std::size_t epoch = version.find(':');
    return epoch == std::string::npos ? version : version.substr(epoch + 1);
}

std::string Script(const TempDir& dir, const std::string& name, const std::string& body) {
    const std::string path = dir / name;
    WriteFileBytes(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
    return path;
}

}  // namespace

TEST(ProgramVersionTest, EveryShippedProgramNamesTheVersionDebianInstalled) {
    TempDir dir;
    const std::pair<const char*, const char*> programs[] = {
        {"flac", "flac"},           {"lame", "lame"},          {"oggenc", "vorbis-tools"},
        {"oggdec", "vorbis-tools"}, {"opusenc", "opus-tools"}, {"opusdec", "opus-tools"},
        {"wavpack", "wavpack"},     {"wvunpack", "wavpack"},   {"speexenc", "speex"},
        {"speexdec", "speex"},      {"ffmpeg", "ffmpeg"}};
    for (const auto& [program, package] : programs) {
        SCOPED_TRACE(program);
        const std::string version =
            ReadProgramVersion(std::string("/usr/bin/") + program, kTimeoutMs);
        ASSERT_FALSE(version.empty());
        // flac says "1.4.2", Debian installed "1.4.2+ds-2".
        EXPECT_EQ(DebianVersion(package, dir).rfind(version, 0), 0u) << version;
    }
}

TEST(ProgramVersionTest, TheVersionIsTheFirstNumberedWordOfTheAnswer) {
    EXPECT_EQ(FindVersionNumber("LAME 64bits version 3.100 (http://lame.sf.net)\n"), "3.100");
    EXPECT_EQ(FindVersionNumber("Copyright (C) 2008-2018\nsome-tool v2.5.1.\n"), "2.5.1");
    EXPECT_EQ(FindVersionNumber("speexenc (Speex encoder) version 1.2.1 (compiled Feb  1 2023)"),
              "1.2.1");
    EXPECT_EQ(FindVersionNumber("usage: tool [options] file.wav\nbuild 42\n"), "");
}

TEST(ProgramVersionTest, AProgramThatOnlyKnowsTheShortOptionIsAskedAgain) {
    TempDir dir;
    const std::string tool =
        Script(dir, "tool",
               "if [ \"$1\" = -V ]; then echo 'tool 2.7 (c) someone'; exit 1; fi\n"
               "echo \"unknown option $1\" >&2; exit 2\n");
    EXPECT_EQ(ReadProgramVersion(tool, kTimeoutMs), "2.7");
    EXPECT_EQ(ReadProgramVersion(dir / "not-there", kTimeoutMs), "");
}

TEST(ProgramVersionTest, AProgramThatDoesNotAnswerIsKilledAndGivesNoVersion) {
    TempDir dir;
    const std::string pidFile = dir / "pid";
    const std::string hang = Script(
        dir, "hang", "echo $$ > " + ShellQuoted(pidFile) + "\necho 'hang 1.0'\nexec sleep 60\n");
    // Long enough for the shell to write its pid first; far shorter than the sleep.
    EXPECT_EQ(ReadProgramVersion(hang, 2000), "");
    const std::string pid = ReadFileBytes(pidFile);
    ASSERT_FALSE(pid.empty());
    // Reaped before the answer came back: no process of that number is left.
    EXPECT_FALSE(fs::exists("/proc/" + pid.substr(0, pid.find('\n'))));
}

TEST(ProgramVersionTest, EachProgramPathIsAskedOnceWhateverAsksAgain) {
    TempDir dir;
    const std::string count = dir / "count";
    const std::string tool =
        Script(dir, "tool", "echo asked >> " + ShellQuoted(count) + "\necho 'tool 3.1'\n");
    const std::string other = Script(dir, "other", "echo 'other 0.9'\n");
    CProgramVersions versions(kTimeoutMs);
    // The answers come from the reader thread: wait for them (a loaded machine may be slow).
    auto answer = [&](const std::string& path) {
        std::string version = "none";
        for (int i = 0; i < 3000 && !versions.Find(path, &version); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return version;
    };
    std::string version;
    EXPECT_FALSE(versions.Find(tool, &version));
    versions.Request({tool, tool});
    EXPECT_EQ(answer(tool), "3.1");
    // Programs are asked in the order requested: once other has answered, a second question to
    // tool would have been asked too.
    versions.Request({tool, other});
    EXPECT_EQ(answer(other), "0.9");
    EXPECT_EQ(ReadFileBytes(count), "asked\n");
}

TEST(MissingProgramsTest, PackagesWhoseProgramCannotRunAreFoundAndNamed) {
    TempDir dir;
    const std::string coders = dir / "Coders";
    for (const char* package : {"Good", "Dangling", "Deleted", "NotExecutable"}) {
        fs::create_directories(fs::path(coders) / package);
        WriteFileBytes(coders + "/" + package + "/Presets.ini", "Default\n%in% %out%\n");
    }
    fs::create_symlink("/usr/bin/flac", coders + "/Good/flac");
    fs::create_symlink(dir / "gone/speexenc", coders + "/Dangling/speexenc");
    WriteFileBytes(coders + "/Dangling/speexenc.name", "Speex voice\n");
    WriteFileBytes(coders + "/Deleted/oggenc.name", "Ogg Vorbis\n");
    WriteFileBytes(coders + "/NotExecutable/tool", "#!/bin/sh\n");

    std::vector<std::pair<std::string, std::string>> found;
    for (const MissingProgram& missing : FindMissingPrograms(coders)) {
        found.emplace_back(missing.Name, missing.Program);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(
        found,
        (std::vector<std::pair<std::string, std::string>>{
            {"NotExecutable", "tool"}, {"Ogg Vorbis", "oggenc"}, {"Speex voice", "speexenc"}}));
    EXPECT_FALSE(IsProgramMissing(coders + "/Good/flac"));
    EXPECT_TRUE(IsProgramMissing(coders + "/Dangling/speexenc"));
}
