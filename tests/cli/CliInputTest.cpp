// kelto-cli on inputs that are no audio to convert: special files, files and folders that
// cannot be read, missing playlist entries, pictures and cue sheets beside the music, odd
// names, a damaged Settings.ini and presets that must not run. The built program, the shipped
// packages and real files.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CliFixture.h"
#include "session/EngineFiles.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// How kelto-cli is started so that a folder of mode 0300 really is denied to it: as it is
// when the tests do not run as root; as root, in a user namespace of its own, where it holds
// no privilege over the files. Empty when neither can be had.
std::optional<std::string> UnprivilegedPrefix() {
    if (::geteuid() != 0) return std::string();
    if (std::system("unshare -U true >/dev/null 2>&1") == 0) return std::string("unshare -U ");
    return std::nullopt;
}

class CliInputTest : public CliFixture {
protected:
    void SetUp() override {
        // kelto-cli may run as another user: it must reach the files and write the outputs.
        fs::permissions(m_dir.Path(), fs::perms::owner_all | fs::perms::group_exec |
                                          fs::perms::others_read | fs::perms::others_exec);
        fs::create_directories(Output());
        fs::permissions(Output(), fs::perms::all);
    }

    std::string Output() const { return m_dir / "out"; }

    // Runs kelto-cli (after prefix) in the working folder work; a hang ends after two minutes.
    CliResult Run(const std::string& args, const std::string& prefix = {},
                  const std::string& work = KELTO_WORK_DIR) {
        return RunCommand(prefix + "timeout 120 " + CliCommand(work) + " " + args);
    }

    // A working folder with the shipped languages, packages and database, and the given
    // Settings.ini (none when settings is empty).
    std::string WorkWithSettings(const std::string& name, const std::string& settings) {
        const std::string work = m_dir / name;
        fs::create_directories(work);
        for (const char* entry : {"Languages", "Coders", "Decoders", "Codecs", "Base.xml"}) {
            fs::create_symlink(std::string(KELTO_WORK_DIR) + "/" + entry, work + "/" + entry);
        }
        if (!settings.empty()) WriteFileBytes(work + "/Settings.ini", settings);
        return work;
    }
};

// A socket file at path, as a program that listens there leaves it.
bool MakeSocketFile(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) ::close(fd);
    return bound;
}

TEST_F(CliInputTest, BadInputsAreNamedWithTheirReasonsAndNonAudioFilesAreOnlyCounted) {
    const std::string music = m_dir / "music";
    Wav(music + "/good.wav", 1);
    ASSERT_TRUE(EncodeWith(Wav(m_dir / "good.orig.wav", 2), music + "/good.flac"));
    const std::string other = Wav(m_dir / "elsewhere/other.wav", 3);
    WriteFileBytes(music + "/corrupt.flac", "fLaC, and then nothing a reader can use");
    for (const char* name : {"cover.jpg", "album.cue", "rip.log", "notes.txt"}) {
        WriteFileBytes(music + "/" + name, "not audio");
    }
    ASSERT_TRUE(RunShell("mkfifo " + ShellQuoted(music + "/pipe.flac") + " " +
                         ShellQuoted(music + "/pipe")));
    const bool socket = MakeSocketFile(music + "/socket.ogg");
    fs::create_directories(music + "/denied");
    Wav(music + "/denied/hidden.wav", 4);
    fs::permissions(music + "/denied", fs::perms::owner_write | fs::perms::owner_exec);
    const std::string playlist = m_dir / "list.m3u";
    WriteFileBytes(playlist, "missing.flac\n" + other + "\nelsewhere/readme.txt\n");
    WriteFileBytes(m_dir / "elsewhere/readme.txt", "not audio either");

    struct Bad {
        std::string Path;
        std::string Reason;
    };
    std::vector<Bad> bad = {
        {music + "/corrupt.flac", "cannot be read as an audio file"},
        {music + "/pipe", "not a regular file (named pipe)"},
        {music + "/pipe.flac", "not a regular file (named pipe)"},
        {m_dir / "missing.flac", "No such file or directory"},
    };
    if (socket) bad.push_back({music + "/socket.ogg", "not a regular file (socket)"});
    const std::optional<std::string> prefix = UnprivilegedPrefix();
    if (prefix) bad.push_back({music + "/denied", "Permission denied"});

    const CliResult result = Run("--coder FLAC --output " + ShellQuoted(Output()) + " " +
                                     ShellQuoted(music) + " " + ShellQuoted(playlist),
                                 prefix.value_or(""));

    EXPECT_EQ(result.Exit, 1) << result.Out << result.Err;
    for (const Bad& file : bad) {
        EXPECT_TRUE(Contains(
            result.Err, "kelto-cli: warning: " + file.Path + ": " + file.Reason + "; skipped\n"))
            << file.Path << "\n"
            << result.Err;
    }
    // Pictures, cue sheets, logs and texts are not warned about one by one.
    for (const char* name : {"cover.jpg", "album.cue", "rip.log", "notes.txt", "readme.txt"}) {
        EXPECT_FALSE(Contains(result.Err, name)) << result.Err;
    }
    // With the privilege to read anything, the denied folder's file is converted too.
    const std::string converted = prefix ? "3 of 3" : "4 of 4";
    EXPECT_TRUE(Contains(result.Out, converted + " file(s) converted, 0 job(s) failed, " +
                                         std::to_string(bad.size()) + " could not be read.\n"))
        << result.Out;
    EXPECT_TRUE(Contains(result.Out, "\n5 file(s) passed over: not audio.\n")) << result.Out;
    for (const char* written : {"good.flac", "good (2).flac", "other.flac"}) {
        EXPECT_TRUE(fs::exists(Output() + "/" + written)) << written;
    }
    if (!prefix) GTEST_SKIP() << "a denied folder cannot be had here: the rest was checked";
}

TEST_F(CliInputTest, AHundredThousandMissingPlaylistEntriesAreEachNamedInLittleTime) {
    const std::string good = Wav(m_dir / "good.wav", 1);
    std::string playlist;
    constexpr int kMissing = 100000;
    for (int i = 0; i < kMissing; ++i) playlist += "gone/" + std::to_string(i) + ".flac\n";
    WriteFileBytes(m_dir / "list.m3u", playlist + good + "\n");

    const auto start = std::chrono::steady_clock::now();
    const CliResult result = Run("--coder FLAC --output " + ShellQuoted(Output()) + " " +
                                 ShellQuoted(m_dir / "list.m3u"));
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);

    EXPECT_EQ(result.Exit, 1) << result.Out;
    std::size_t named = 0;
    for (std::size_t at = 0;
         (at = result.Err.find(": No such file or directory; skipped\n", at)) != std::string::npos;
         ++at) {
        ++named;
    }
    EXPECT_EQ(named, static_cast<std::size_t>(kMissing));
    EXPECT_TRUE(Contains(result.Err, m_dir / "gone/99999.flac: No such file or directory"));
    EXPECT_TRUE(Contains(result.Out,
                         "1 of 1 file(s) converted, 0 job(s) failed, 100000 could "
                         "not be read.\n"))
        << result.Out;
    // A few seconds even under the sanitizers; work per entry that grows with the list would
    // take minutes.
    EXPECT_LT(seconds.count(), 60.0);
}

TEST_F(CliInputTest, DecodeOnlyTellsOfWavSourcesAndNamesWithLineBreaksStayOnOneLine) {
    const std::string music = m_dir / "music";
    Wav(music + "/plain.wav", 1);
    ASSERT_TRUE(EncodeWith(Wav(m_dir / "orig.wav", 2), music + "/two\nlines.flac"));
    WriteFileBytes(music + "/tab\there.flac", "fLaC, and nothing more");

    const CliResult result =
        Run("--decode-only --output " + ShellQuoted(Output()) + " " + ShellQuoted(music));
    const CliResult dryRun =
        Run("--dry-run --decode-only --output " + ShellQuoted(Output()) + " " + ShellQuoted(music));

    EXPECT_EQ(result.Exit, 1) << result.Out << result.Err;
    EXPECT_TRUE(Contains(
        result.Err, "kelto-cli: " + music + "/plain.wav: a WAV file already, nothing to decode\n"))
        << result.Err;
    EXPECT_TRUE(
        Contains(result.Err, "kelto-cli: warning: \"" + music +
                                 "/tab\\there.flac\": cannot be read as an audio file; skipped\n"))
        << result.Err;
    EXPECT_TRUE(
        Contains(result.Err, "done decoder FLAC: \"two\\nlines.flac\" -> \"two\\nlines.wav\"\n"))
        << result.Err;
    EXPECT_TRUE(Contains(result.Out, "Written: \"" + Output() + "/two\\nlines.wav\"\n"))
        << result.Out;
    EXPECT_TRUE(fs::exists(Output() + "/two\nlines.wav"));
    // Every line of the summary starts as a line of it does.
    for (std::size_t at = 0; at < result.Out.size(); at = result.Out.find('\n', at) + 1) {
        const std::string line = result.Out.substr(at, result.Out.find('\n', at) - at);
        EXPECT_TRUE(line.rfind("Written: ", 0) == 0 || line.rfind("1 of 1 file(s)", 0) == 0)
            << line;
    }
    // The JSON lines escape the line break themselves and tell of the WAV source on stderr.
    EXPECT_EQ(dryRun.Exit, 1);
    EXPECT_TRUE(Contains(dryRun.Out, "/two\\nlines.flac\", \"decoder\": \"FLAC\"")) << dryRun.Out;
    EXPECT_TRUE(Contains(dryRun.Err, "/plain.wav: a WAV file already")) << dryRun.Err;
}

TEST_F(CliInputTest, SettingsFileThatCannotBeReadOrUnderstoodIsNamedAndItsDefaultsUsed) {
    const std::string source = Wav(m_dir / "a.wav", 1);
    const std::string good = "; kept by hand\n[Settings]\nCoderIndex=2\nSomethingNew=1\n";
    struct Case {
        std::string Name;
        std::string Settings;
        std::string Reason;  // empty: the file is fine
    };
    std::vector<Case> cases = {
        {"good", good, ""},
        {"nul", "[Settings]\nCoderIndex=2\n\0\0\x01\x02"s, "not INI text: it holds NUL bytes"},
        {"words", "These are not settings.\nNor is this.\n",
         "not INI text: none of its lines is a section, a key or a comment"},
        {"pipe", "", "not a regular file (named pipe)"},
    };
    const std::optional<std::string> prefix = UnprivilegedPrefix();
    if (prefix) cases.push_back({"denied", good, "Permission denied"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string work = WorkWithSettings(c.Name, c.Settings);
        const std::string settings = work + "/Settings.ini";
        if (c.Name == "pipe") {
            ASSERT_TRUE(RunShell("mkfifo " + ShellQuoted(settings)));
        }
        if (c.Name == "denied") fs::permissions(settings, fs::perms::none);

        const CliResult result =
            Run("--dry-run " + ShellQuoted(source), c.Name == "denied" ? *prefix : "", work);

        EXPECT_EQ(result.Exit, 0) << result.Err;
        // The saved coder index 2 (FLAC) applies only when the file could be taken; else the
        // first coder does.
        const std::string coder = c.Reason.empty() ? "FLAC" : "AAC (M4A)";
        EXPECT_TRUE(Contains(result.Out, "\"coder\": \"" + coder + "\"")) << result.Out;
        if (c.Reason.empty()) {
            EXPECT_TRUE(result.Err.empty()) << result.Err;
            continue;
        }
        EXPECT_TRUE(Contains(result.Err,
                             "kelto-cli: warning: The settings could not be loaded. "
                             "The default settings are used instead. " +
                                 settings + ": " + c.Reason))
            << result.Err;
        const bool garbled = c.Name == "nul" || c.Name == "words";
        EXPECT_EQ(Contains(result.Err, "Its text is kept as " + settings + ".bad"), garbled)
            << result.Err;
        // kelto-cli saves no settings: the file stays as it was, and no copy is made.
        if (c.Name != "pipe" && c.Name != "denied") {
            EXPECT_EQ(ReadFileBytes(settings), c.Settings);
        }
        EXPECT_FALSE(fs::exists(settings + ".bad"));
    }
    if (!prefix) GTEST_SKIP() << "an unreadable file cannot be had here: the rest was checked";
}

TEST_F(CliInputTest, PresetsThatMustNotRunAreRefusedWhenThePackageIsRead) {
    const std::string work = WorkWithSettings("work", "");
    for (const char* folder : {"Coders", "Decoders"}) {
        fs::remove(work + "/" + folder);
        fs::create_directories(work + "/" + folder);
    }
    WriteRecordingPackage(work + "/Coders", "Mixed", true, "/usr/bin/flac",
                          {{"Good", "flac", "-f -o %out% %in%"},
                           {"Unknown", "flac", "-f --level %level% -o %out% %in%"},
                           {"Beside", "flac", "-f %in%"},
                           {"Lone", "flac", "-f -o %out% %in% 100%"}},
                          {});
    // One more preset, whose command line the package does not give at all.
    WriteFileBytes(work + "/Coders/Mixed/Extensions.ini", "flac\nflac\nflac\nflac\nflac\n");
    WriteRecordingPackage(work + "/Decoders", "Half", false, "/usr/bin/flac",
                          {{"", "flac", "-d -o %out% %in%"}, {"", "wv", "-d %in%"}}, {});
    const std::string source = Wav(m_dir / "a.wav", 1);

    const CliResult listed = Run("--list-coders", {}, work);
    const CliResult chosen = Run("--coder Mixed --preset Beside " + ShellQuoted(source), {}, work);

    EXPECT_EQ(listed.Exit, 0) << listed.Err;
    const std::string coder = work + "/Coders/Mixed/Presets.ini: preset ";
    const std::vector<std::string> refused = {
        coder +
            "\"Unknown\" (.flac) refused: its command line cannot be expanded: unknown "
            "placeholder %level%",
        coder + "\"Beside\" (.flac) refused: its command line does not name %out%",
        coder +
            "\"Lone\" (.flac) refused: its command line cannot be expanded: a \"%\" without "
            "its partner",
        coder + "for .flac refused: its command line is empty",
        work +
            "/Decoders/Half/Format.ini: preset for .wv refused: its command line does not name "
            "%out%",
    };
    for (const std::string& line : refused) {
        EXPECT_TRUE(Contains(listed.Err, "kelto-cli: warning: " + line + "\n")) << line << "\n"
                                                                                << listed.Err;
    }
    EXPECT_TRUE(Contains(listed.Out, "\"name\": \"Half\", \"program\": \"" + work +
                                         "/Decoders/Half/run\", \"presets\": [{\"index\": 0, "))
        << listed.Out;
    EXPECT_FALSE(Contains(listed.Out, "\"extension\": \".wv\"")) << listed.Out;
    EXPECT_TRUE(Contains(listed.Out, "\"name\": \"Mixed\", \"program\": \"" + work +
                                         "/Coders/Mixed/run\", \"presets\": [{\"index\": 0, "
                                         "\"name\": \"Good\", \"extension\": \".flac\", "
                                         "\"command\": \"-f -o %out% %in%\"}]}"))
        << listed.Out;
    // A refused preset cannot be chosen, so its program never runs.
    EXPECT_EQ(chosen.Exit, 2);
    EXPECT_TRUE(Contains(chosen.Err, "coder 'Mixed' has no preset 'Beside'")) << chosen.Err;
    EXPECT_FALSE(fs::exists(m_dir / "a.flac"));
}

}  // namespace
