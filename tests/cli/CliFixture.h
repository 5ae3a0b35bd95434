#pragma once

// What kelto-cli's tests share: the built program, how it is run and what it printed, and
// the files it wrote.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/TempDir.h"

// What a run of kelto-cli printed, and its exit status as the shell saw it.
struct CliResult {
    int Exit = -1;
    std::string Out;
    std::string Err;
};

// Whether a run's standard error is kept apart or goes into Out with its standard output, in
// the order printed.
enum class CliStreams { Apart, Together };

// The built kelto-cli.
std::string CliProgram();
// The built kelto-cli with the working folder work, quoted: the start of a command line.
std::string CliCommand(const std::string& work = KELTO_WORK_DIR);

// Runs a shell command (that starts kelto-cli) with no input, what it prints kept in files of
// folder. The exit status is the shell's $?, so a program ended by a signal shows as 128 + its
// number.
CliResult RunCaptured(const std::string& command, const std::string& folder,
                      CliStreams streams = CliStreams::Apart);

bool Contains(const std::string& text, const std::string& part);
// How often part stands in text.
int CountOf(const std::string& text, const std::string& part);
// Every file below folder, relative to it (folders too, when asked), but the record kelto
// keeps of its outputs, which is none of them.
std::set<std::string> OutputTree(const std::string& folder, bool withFolders = false);

// A kelto-cli started in the background, its standard input, output and error as command
// redirects them; killed when this goes away while it still runs.
class CliInBackground {
public:
    CliInBackground(const std::string& command, const std::string& folder);
    ~CliInBackground();
    CliInBackground(const CliInBackground&) = delete;
    CliInBackground& operator=(const CliInBackground&) = delete;

    // The process id of kelto-cli, once it is known; 0 when the shell did not tell it in time.
    int Pid() const;
    bool Ended() const;
    // The exit status, once it has ended (as the shell's $?).
    int Exit() const;

private:
    std::string m_pidFile;
    std::string m_rcFile;
};

// A scratch folder for a test of kelto-cli, and its runs of the built program.
class CliFixture : public ::testing::Test {
protected:
    explicit CliFixture(CliStreams streams = CliStreams::Apart) : m_streams(streams) {}

    // Runs kelto-cli with args in the working folder work (the shipped one by default).
    CliResult Run(const std::string& args, const std::string& work = KELTO_WORK_DIR) {
        return RunCommand(CliCommand(work) + " " + args);
    }
    // Runs a shell command (that starts kelto-cli) and collects what it printed.
    CliResult RunCommand(const std::string& command) {
        return RunCaptured(command, m_dir.Path().string(), m_streams);
    }

    // Runs command as RunCommand does, keeping what it printed in Out; the exit status.
    int Shell(const std::string& command) {
        const CliResult result = RunCommand(command);
        Out = result.Out;
        return result.Exit;
    }

    // A 16-bit stereo 44.1 kHz WAV file of test tones at path (its folder made), different
    // for every seed.
    std::string Wav(const std::string& path, int seed, double seconds = 0.2);
    // A short FLAC file at path made by flac, with the tags given as "KEY=value".
    void Flac(const std::string& path, int seed, const std::vector<std::string>& tags = {});

    const CliStreams m_streams;
    TempDir m_dir;
    // What the last Shell printed.
    std::string Out;
};
