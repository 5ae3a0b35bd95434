// What a program run without its output shown says on its standard error, kept for the report of
// a failed job: real codec programs on real inputs, through the core as a run uses them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "CoreTestJob.h"
#include "core/CommandLine.h"
#include "core/Core.h"
#include "core/ProcessPriority.h"
#include "platform/ChildProcess.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string Q(const std::string& text) { return QuoteCommandLineArgument(text); }

bool Sox(const std::string& arguments) {
    return std::system(("sox -n " + arguments + " synth 0.2 sine 440 2>/dev/null").c_str()) == 0;
}

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// The files (device and inode) behind a process's descriptors above the three standard ones.
std::set<std::pair<dev_t, ino_t>> FilesAboveStandardStreams(const std::string& pid) {
    std::set<std::pair<dev_t, ino_t>> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/" + pid + "/fd", error)) {
        if (std::stoi(entry.path().filename().string()) <= 2) continue;
        struct stat info {};
        if (::stat(entry.path().c_str(), &info) == 0) files.insert({info.st_dev, info.st_ino});
    }
    return files;
}

class ProcessErrorTextTest : public ::testing::Test {
protected:
    CCoreTestJob* Job(const std::string& program, const std::string& commandLine) {
        m_jobs.push_back(std::make_unique<CCoreTestJob>(0, commandLine));
        if (!program.empty()) m_jobs.back()->SetProgramPath(program);
        return m_jobs.back().get();
    }

    void RunAll(int threads) {
        m_core.SetThreadsCount(threads);
        for (auto& job : m_jobs) ASSERT_TRUE(m_core.AddJob(job.get()));
        ASSERT_TRUE(m_core.Start());
        ASSERT_TRUE(
            probe::WaitUntil([&] { return !m_core.IsRunning(); }, std::chrono::seconds(60)));
        m_core.WaitForWorkers();
    }

    TempDir m_dir;
    std::vector<std::unique_ptr<CCoreTestJob>> m_jobs;
    CCore m_core;  // destroyed before the jobs

    void TearDown() override { m_core.WaitForWorkers(); }
};

}  // namespace

TEST_F(ProcessErrorTextTest, CodecProgramsThatRefuseTheirInputSayWhy) {
    const std::string threeChannels = m_dir / "three.wav";
    const std::string at24k = m_dir / "24k.wav";
    const std::string floats = m_dir / "float.wav";
    const std::string good = m_dir / "good.wav";
    ASSERT_TRUE(Sox("-r 44100 -c 3 -b 16 " + Q(threeChannels)));
    ASSERT_TRUE(Sox("-r 24000 -c 1 -b 16 " + Q(at24k)));
    ASSERT_TRUE(Sox("-r 44100 -c 2 -e floating-point -b 32 " + Q(floats)));
    ASSERT_TRUE(Sox("-r 44100 -c 2 -b 16 " + Q(good)));
    auto* lame = Job("/usr/bin/lame", "-V 2 " + Q(threeChannels) + " " + Q(m_dir / "o.mp3"));
    auto* speex = Job("/usr/bin/speexenc", "--quality 8 " + Q(at24k) + " " + Q(m_dir / "o.spx"));
    auto* flac = Job("/usr/bin/flac", "-f -w -5 -o " + Q(m_dir / "o.flac") + " " + Q(floats));
    // lame prints a banner, progress and a summary on stderr when it succeeds.
    auto* fine = Job("/usr/bin/lame", "-V 2 " + Q(good) + " " + Q(m_dir / "good.mp3"));

    RunAll(2);

    const ProcessExitStatus lameStatus = lame->GetExitStatus();
    EXPECT_TRUE(lameStatus.Failed());
    // Said twice by lame, kept once; its closing line follows.
    EXPECT_EQ(lameStatus.errorText,
              "Unsupported number of channels: 3\nCan't init infile '" + threeChannels + "'");
    EXPECT_EQ(speex->GetExitStatus().exitCode, 1);
    EXPECT_EQ(speex->GetExitStatus().errorText.rfind("Only 8 kHz (narrowband) and 16 kHz", 0), 0u)
        << speex->GetExitStatus().errorText;
    // flac's copyright banner before it is left out.
    EXPECT_EQ(flac->GetExitStatus().errorText, "float.wav: ERROR: unsupported format type 3");
    EXPECT_TRUE(fine->GetExitStatus().Succeeded());
    EXPECT_EQ(fine->GetExitStatus().errorText, "");
}

TEST_F(ProcessErrorTextTest, FlacAndWavPackGiveTheirErrorWithoutTheirBanner) {
    const std::string noise = std::string(2000, 'x');
    for (const char* name : {"noise.wav", "noise.flac", "noise.wv"}) {
        WriteFileBytes(m_dir / name, noise);
    }
    auto* flacCoder =
        Job("/usr/bin/flac", "-f -5 -o " + Q(m_dir / "o.flac") + " " + Q(m_dir / "noise.wav"));
    auto* flacDecoder =
        Job("/usr/bin/flac", "-d -f -o " + Q(m_dir / "o.wav") + " " + Q(m_dir / "noise.flac"));
    auto* wavpack =
        Job("/usr/bin/wavpack", "-y " + Q(m_dir / "noise.wav") + " -o " + Q(m_dir / "o.wv"));
    auto* wvunpack =
        Job("/usr/bin/wvunpack", "-y " + Q(m_dir / "noise.wv") + " -o " + Q(m_dir / "o2.wav"));

    RunAll(2);

    // The warning that comes first is not the reason.
    EXPECT_EQ(flacCoder->GetExitStatus().errorText,
              "ERROR: for encoding a raw file you must specify a value for --endian, --sign, "
              "--channels, --bps, and --sample-rate");
    // flac's first error, then its explanation.
    const std::string decoding = flacDecoder->GetExitStatus().errorText;
    EXPECT_EQ(decoding.substr(0, decoding.find('\n')),
              "noise.flac: *** Got error code 0:FLAC__STREAM_DECODER_ERROR_STATUS_LOST_SYNC");
    EXPECT_EQ(std::count(decoding.begin(), decoding.end(), '\n'), 2) << decoding;
    // WavPack's reasons name no error; they are its last words.
    EXPECT_EQ(wavpack->GetExitStatus().errorText,
              (m_dir / "noise.wav") + " is not a recognized file type!");
    EXPECT_EQ(wvunpack->GetExitStatus().errorText,
              "not compatible with this version of WavPack file!");
    for (auto* job : {flacCoder, flacDecoder, wavpack, wvunpack}) {
        EXPECT_EQ(job->GetExitStatus().exitCode, 1);
        EXPECT_EQ(job->GetExitStatus().errorText.find("Copyright"), std::string::npos);
    }
}

TEST_F(ProcessErrorTextTest, TheFirstErrorLineLeadsAndABannerAtTheStartIsLeftOut) {
    // What the program says (with the escapes job_program reads), and what is kept of it.
    const std::vector<std::pair<std::string, std::string>> cases = {
        // Name and version, copyright and licence; then the error and what follows it.
        {"tool 2.1\\nCopyright (C) 2024 Somebody\\nThis is free software; see the licence.\\n\\n"
         "reading x.wav\\nx.wav: ERROR: no samples\\n  at block 3\\n  state = BAD\\nsummary\\n",
         "x.wav: ERROR: no samples\nat block 3\nstate = BAD"},
        // A banner and a reason that names no error.
        {"\\n TOOL  Version 1.0\\n Copyright (c) 2024 Somebody.  All Rights Reserved.\\n\\n"
         "writing y.wv,\\rx.wav is not a recognized file type!   \\n",
         "x.wav is not a recognized file type!"},
        // Build details indented below the copyright line, the error right after them.
        {"tool version 5.1 Copyright (c) 2000 the developers\\n  built with gcc 12\\n"
         "  configuration: --prefix=/usr\\nx.wav: Invalid data found when processing input\\n",
         "x.wav: Invalid data found when processing input"},
        // Licence words further down are no banner, and a line in the banner's place that
        // names no version is none either.
        {"converting x.wav\\nwrote 3 blocks\\nx.wav: licence tag too long\\n",
         "converting x.wav\nwrote 3 blocks\nx.wav: licence tag too long"},
        // What looks like a banner but names an error is kept.
        {"tool 1.0: cannot open the licence file\\n", "tool 1.0: cannot open the licence file"},
    };
    std::vector<CCoreTestJob*> jobs;
    for (const auto& said : cases) jobs.push_back(Job("", "--say " + Q(said.first) + " --exit 1"));

    RunAll(2);

    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(jobs[i]->GetExitStatus().errorText, cases[i].second) << cases[i].first;
    }
}

TEST_F(ProcessErrorTextTest, OnlyTheLastLinesAreKeptWithProgressInItsFinalStateAndNoControls) {
    // Far more than the tail that is read: the first lines are never seen.
    auto* chatty = Job("", "--say-lines 20000 --say " +
                               Q("\\rcoding  10%\\rcoding  99%   \\r\\n\\e[1;31mx.wav:\\e[0m "
                                 "bad\\tblock\\n\\n  \\n") +
                               " --exit 3");
    // A tail that starts inside one long line drops that cut line rather than a part of it.
    auto* longLine =
        Job("", "--say " + Q(std::string(9000, 'a') + "\\nlast words\\n") + " --exit 1");
    // A short text is read from its beginning: its first line is whole.
    auto* shortText = Job("", "--say " + Q("only line") + " --exit 1");
    auto* silent = Job("", "--exit 4");

    RunAll(2);

    EXPECT_EQ(chatty->GetExitStatus().exitCode, 3);
    EXPECT_EQ(chatty->GetExitStatus().errorText, "line 20000\ncoding  99%\nx.wav: bad block");
    EXPECT_EQ(longLine->GetExitStatus().errorText, "last words");
    EXPECT_EQ(shortText->GetExitStatus().errorText, "only line");
    EXPECT_EQ(silent->GetExitStatus().errorText, "");
}

TEST_F(ProcessErrorTextTest, ShownProgramsKeepTheirOutputAndChildrenHoldOnlyTheirOwnStreams) {
    auto* first = Job("", "--sleep 20000");
    auto* second = Job("", "--sleep 20000");
    ASSERT_TRUE(first->Run(kNormalPriorityClass));
    ASSERT_TRUE(second->Run(kNormalPriorityClass));
    const int secondPid = static_cast<int>(second->GetProcessInfo().processId);
    // The first program's error file is open in kelto, but never in a program started later;
    // nothing else kelto holds open reaches it either. (A sanitizer's runtime in the program may
    // open files of its own while it starts, so only inherited files count.)
    const auto ours = FilesAboveStandardStreams("self");
    for (const auto& file : FilesAboveStandardStreams(std::to_string(secondPid))) {
        EXPECT_EQ(ours.count(file), 0u) << "inode " << file.second << " inherited from kelto";
    }
    const fs::path error = "/proc/" + std::to_string(secondPid) + "/fd/2";
    EXPECT_EQ(fs::read_symlink(error).string().rfind("/memfd:kelto-stderr", 0), 0u);
    for (auto* job : {first, second}) {
        const auto info = job->GetProcessInfo();
        platform::ChildExit exit;
        platform::KillChildGroup(static_cast<int>(info.processId), info.processHandle);
        ASSERT_TRUE(platform::ReapChild(info.processHandle, &exit));
        job->CloseProcessHandle();
    }
    m_jobs.clear();

    auto* shown = Job("", "--say " + Q("seen on the terminal\\n") + " --exit 1");
    shown->SetShowWindow(1);
    RunAll(1);
    EXPECT_EQ(shown->GetExitStatus().exitCode, 1);
    EXPECT_EQ(shown->GetExitStatus().errorText, "");
}

TEST_F(ProcessErrorTextTest, RunsLeaveNoDescriptorOpen) {
    // A first run, so that whatever the core or the library keep for good is open already.
    Job("", "--say x --exit 1");
    RunAll(2);
    m_jobs.clear();
    const std::size_t before = OpenDescriptors();
    for (int i = 0; i < 40; ++i) {
        Job("", i % 2 == 0 ? "--say-lines 100 --exit 2" : "--say-lines 3");
    }
    Job(m_dir / "missing program", "");
    RunAll(4);
    // Run again, the records' files of the last run still open until they are reaped.
    RunAll(4);
    EXPECT_EQ(m_jobs[0]->GetExitStatus().errorText, "line 98\nline 99\nline 100");
    EXPECT_EQ(OpenDescriptors(), before);
}
