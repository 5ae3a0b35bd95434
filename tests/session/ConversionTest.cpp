// Apply, Start and Reset end to end: real files, the real flac and lame programs behind a small
// recording wrapper, the real core.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <unistd.h>

#include "EngineFiles.h"
#include "base/Log.h"
#include "base/WorkingFolder.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "core/CommandLine.h"
#include "core/Core.h"
#include "core/ProcessPriority.h"
#include "core/TempFileName.h"
#include "fileinfo/FileInfo.h"
#include "session/Catalogue.h"
#include "session/Conversion.h"
#include "session/FileList.h"
#include "settings/SettingsSet.h"
#include "support/TempDir.h"
#include "support/programs/ProcessProbe.h"

namespace fs = std::filesystem;

namespace {

constexpr double kSeconds = 0.5;

class CRecordingReport : public IConversionReport {
public:
    void ReportNoDecoder(const CFileInfo& file) override { NoDecoder.push_back(file.Path); }
    void ReportOverwrite() override { ++Overwrites; }
    std::vector<std::string> NoDecoder;
    int Overwrites = 0;
};

class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(Sources());
        fs::create_directories(Outputs());
        m_settings.General.OutputFolderSameAsOriginal = 1;
    }

    void TearDown() override { m_core.WaitForWorkers(); }

    std::string Work() const { return m_dir / "work"; }
    std::string Sources() const { return m_dir / "sources"; }
    std::string Outputs() const { return m_dir / "outputs"; }
    std::string Log() const { return m_dir / "log.txt"; }

    // Decoders: FLAC. Coders: FLAC (first preset .flac, second .wv) and MP3.
    void MakePackages(double decoderSleep, double coderSleep, bool partialOutput = false) {
        WrapperBehaviour decoder{Log(), decoderSleep, partialOutput};
        WrapperBehaviour coder{Log(), coderSleep, partialOutput};
        WriteRecordingPackage(Work() + "/Decoders", "FLAC", false, "/usr/bin/flac",
                              {{"", "flac", "-d -f -o %out% %in%"}}, decoder);
        WriteRecordingPackage(
            Work() + "/Coders", "FLAC", true, "/usr/bin/flac",
            {{"Fast", "flac", "-f -0 -o %out% %in%"}, {"Named wv", "wv", "-f -5 -o %out% %in%"}},
            coder);
        WriteRecordingPackage(Work() + "/Coders", "MP3", true, "/usr/bin/lame",
                              {{"V2", "mp3", "--quiet -V 2 %in% %out%"}}, coder);
        m_catalogue.Load(CWorkingFolder(Work()), "WAV (decode only)", false);
        ASSERT_EQ(m_catalogue.GetCoders().GetCount(), 3);
    }

    // A source named name (its extension picks the encoder); the WAV it came from is kept as
    // name + ".orig.wav" beside the test folder.
    std::string Source(const std::string& name, int seed, int rate = 44100, int channels = 2) {
        const std::string path = Sources() + "/" + name;
        const std::string original = m_dir / (name + ".orig.wav");
        WriteTestWav(original, rate, channels, kSeconds, seed);
        if (fs::path(path).extension() == ".wav") {
            fs::copy_file(original, path);
        } else {
            // The encoders insist on their own lower-case extension.
            std::string extension = fs::path(path).extension().string();
            for (char& c : extension) c = static_cast<char>(std::tolower(c));
            const std::string encoded = m_dir / ("encoded" + extension);
            EXPECT_TRUE(EncodeWith(original, encoded)) << path;
            fs::rename(encoded, path);
        }
        EXPECT_TRUE(m_files.Add(path)) << path;
        return path;
    }

    WavPcm Original(const std::string& name) { return ReadWavPcm(m_dir / (name + ".orig.wav")); }

    void ExpectLosslessOutput(const std::string& output, const std::string& sourceName) {
        const WavPcm decoded = DecodeBack(output, m_dir.Path().string());
        const WavPcm original = Original(sourceName);
        ASSERT_TRUE(decoded.Valid) << output;
        EXPECT_EQ(decoded.SampleRate, original.SampleRate);
        EXPECT_EQ(decoded.Channels, original.Channels);
        EXPECT_TRUE(decoded.Data == original.Data) << output << " differs from " << sourceName;
    }

    int Run(int threads, ConversionChoice choice = {}) {
        m_core.SetThreadsCount(threads);
        const int jobs = m_conversion.Start(choice, &m_report);
        m_conversion.FinishRun();
        return jobs;
    }

    // Waits until the log shows label started; false after 10 s.
    bool WaitForStart(const std::string& label) {
        // A generous bound: a loaded machine may take long to start a program.
        for (int i = 0; i < 6000; ++i) {
            if (EventIndex(ReadLog(Log()), label, true) >= 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    int PidOf(const std::string& label) {
        const auto events = ReadLog(Log());
        const int index = EventIndex(events, label, true);
        return index < 0 ? 0 : events[index].Pid;
    }

    TempDir m_dir;
    CSettingsSet m_settings;
    CFileList m_files;
    CCatalogue m_catalogue;
    CCore m_core;
    CConversion m_conversion{m_settings, m_files, m_catalogue, m_core};
    CRecordingReport m_report;
};

TEST_F(ConversionTest, TwoThreadsRunTheThreeFileScenarioInQueueOrder) {
    MakePackages(0.4, 0.2);
    Source("x.flac", 1);
    Source("y.flac", 2);
    const std::string z = Source("z.wav", 3);
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();

    EXPECT_EQ(Run(2), 5);

    const auto events = ReadLog(Log());
    ASSERT_EQ(events.size(), 10u);
    const auto start = [&](const std::string& label) { return EventIndex(events, label, true); };
    const auto end = [&](const std::string& label) { return EventIndex(events, label, false); };
    // Both decoders first; each coder after its own decoder; the WAV coder last to start.
    EXPECT_LT(start("decoder y.flac"), end("decoder x.flac"));
    EXPECT_LT(start("decoder x.flac"), end("decoder y.flac"));
    EXPECT_GT(start("coder x.flac"), end("decoder x.flac"));
    EXPECT_GT(start("coder y.flac"), end("decoder y.flac"));
    EXPECT_GT(start("coder z.flac"), start("coder x.flac"));
    EXPECT_GT(start("coder z.flac"), start("coder y.flac"));
    EXPECT_EQ(MaxConcurrency(events), 2);
    for (const LogEvent& event : events) EXPECT_EQ(event.Status, 0) << event.Label;

    ExpectLosslessOutput(Outputs() + "/x.flac", "x.flac");
    ExpectLosslessOutput(Outputs() + "/y.flac", "y.flac");
    ExpectLosslessOutput(Outputs() + "/z.flac", "z.wav");
    EXPECT_TRUE(fs::exists(z));
    // Each coder deleted the temporary WAV file its decoder wrote.
    for (int i = 0; i < 2; ++i) {
        const std::string temp = m_files.Get(i)->Decoder->GetWaveFile();
        EXPECT_EQ(m_files.Get(i)->Coder->GetInputFile(), temp);
        EXPECT_FALSE(fs::exists(temp)) << temp;
    }
    EXPECT_FALSE(m_core.IsRunning());
}

TEST_F(ConversionTest, OneThreadRunsEveryJobRightAfterThePreviousOne) {
    MakePackages(0, 0);
    Source("x.flac", 1);
    Source("y.flac", 2);
    Source("z.wav", 3);
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();

    EXPECT_EQ(Run(1), 5);

    const auto events = ReadLog(Log());
    const std::vector<std::string> order = {"decoder x.flac", "coder x.flac", "decoder y.flac",
                                            "coder y.flac", "coder z.flac"};
    ASSERT_EQ(events.size(), 2 * order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(events[2 * i].Label, order[i]);
        EXPECT_TRUE(events[2 * i].Start);
        EXPECT_EQ(events[2 * i + 1].Label, order[i]);
        EXPECT_FALSE(events[2 * i + 1].Start);
    }
    ExpectLosslessOutput(Outputs() + "/x.flac", "x.flac");
    ExpectLosslessOutput(Outputs() + "/z.flac", "z.wav");
}

TEST_F(ConversionTest, FourThreadsStartBothDecodersAndTheWavCoderAtOnce) {
    MakePackages(0.5, 0.1);
    Source("x.flac", 1);
    Source("y.flac", 2);
    Source("z.wav", 3);
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();

    EXPECT_EQ(Run(4), 5);

    const auto events = ReadLog(Log());
    ASSERT_EQ(events.size(), 10u);
    EXPECT_EQ(MaxConcurrency(events), 3);
    EXPECT_LT(EventIndex(events, "coder z.flac", true),
              EventIndex(events, "decoder x.flac", false));
    ExpectLosslessOutput(Outputs() + "/y.flac", "y.flac");
    ExpectLosslessOutput(Outputs() + "/z.flac", "z.wav");
}

TEST_F(ConversionTest, DecodeOnlyWritesTheWavBesideTheSourceOrIntoTheOutputFolder) {
    MakePackages(0, 0);
    const std::string source = Source("song.flac", 4, 48000, 1);
    const ConversionChoice decodeOnly{m_catalogue.GetPassThroughIndex(), 0};

    EXPECT_EQ(Run(2, decodeOnly), 1);
    EXPECT_FALSE(m_files.Get(0)->Coder);
    ExpectLosslessOutput(Sources() + "/song.wav", "song.flac");
    EXPECT_TRUE(fs::exists(source));

    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();
    ASSERT_TRUE(m_conversion.Apply(decodeOnly, {}, &m_report));
    EXPECT_EQ(Run(2, decodeOnly), 1);
    ExpectLosslessOutput(Outputs() + "/song.wav", "song.flac");
}

TEST_F(ConversionTest, DecodeOnlyDropsTheCoderOfAnEarlierApply) {
    MakePackages(0, 0);
    Source("song.flac", 4);
    ASSERT_TRUE(m_conversion.Apply({0, 0}, {}, &m_report));
    ASSERT_TRUE(m_files.Get(0)->Coder);

    ASSERT_TRUE(m_conversion.Apply({m_catalogue.GetPassThroughIndex(), 0}, {}, &m_report));

    EXPECT_FALSE(m_files.Get(0)->Coder);
    EXPECT_TRUE(m_files.Get(0)->OutputPath.empty());
    EXPECT_EQ(Run(1, {m_catalogue.GetPassThroughIndex(), 0}), 1);
    ExpectLosslessOutput(Sources() + "/song.wav", "song.flac");
}

TEST_F(ConversionTest, WavSourceIsCodedDirectlyAndNothingIsDeleted) {
    MakePackages(0, 0);
    const std::string wav = Source("take.wav", 5);
    const std::string before = ReadFileBytes(wav);

    EXPECT_EQ(Run(1), 1);

    const CFileInfo& file = *m_files.Get(0);
    EXPECT_FALSE(file.Decoder);
    EXPECT_EQ(file.Coder->GetInputFile(), wav);
    EXPECT_TRUE(file.Coder->GetWaveFile().empty());
    EXPECT_EQ(ReadFileBytes(wav), before);
    ExpectLosslessOutput(Sources() + "/take.flac", "take.wav");
}

TEST_F(ConversionTest, OutputIsNamedAfterTheCodersFirstPreset) {
    MakePackages(0, 0);
    Source("Song.FLAC", 6);

    ASSERT_EQ(Run(1, {0, 1}), 2);

    const CFileInfo& file = *m_files.Get(0);
    EXPECT_EQ(file.PresetName, "Named wv");
    EXPECT_EQ(file.OutputPath, Sources() + "/Song.flac");
    ExpectLosslessOutput(Sources() + "/Song.flac", "Song.FLAC");
    EXPECT_FALSE(fs::exists(Sources() + "/Song.wv"));
}

TEST_F(ConversionTest, LossyOutputKeepsLengthAndFormat) {
    MakePackages(0, 0);
    Source("tune.flac", 7, 44100, 2);

    EXPECT_EQ(Run(2, {1, 0}), 2);

    const WavPcm decoded = DecodeBack(Sources() + "/tune.mp3", m_dir.Path().string());
    const WavPcm original = Original("tune.flac");
    ASSERT_TRUE(decoded.Valid);
    EXPECT_EQ(decoded.SampleRate, 44100);
    EXPECT_EQ(decoded.Channels, 2);
    EXPECT_NEAR(static_cast<double>(decoded.Frames()), static_cast<double>(original.Frames()),
                0.03 * original.Frames());
}

TEST_F(ConversionTest, StopWhileADecoderRunsEndsTheRunAndLeavesNoTemporaryFile) {
    MakePackages(30, 0, true);
    Source("long.flac", 8);
    m_core.SetThreadsCount(1);
    ASSERT_EQ(m_conversion.Start({0, 0}, &m_report), 2);
    const std::string temp = m_files.Get(0)->Decoder->GetWaveFile();
    ASSERT_TRUE(WaitForStart("decoder long.flac"));
    const int pid = PidOf("decoder long.flac");
    ASSERT_TRUE(fs::exists(temp));

    EXPECT_TRUE(m_core.Stop());
    m_core.WaitForWorkers();

    EXPECT_FALSE(m_core.IsRunning());
    EXPECT_EQ(m_core.GetJobsCount(), 0);
    EXPECT_EQ(m_core.GetStartedCount(), 0);
    EXPECT_TRUE(probe::IsGone(pid));
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_EQ(EventIndex(ReadLog(Log()), "coder long.flac", true), -1);
    EXPECT_TRUE(m_files.Get(0)->Decoder->GetExitStatus().Failed());
    EXPECT_FALSE(m_files.Get(0)->Coder->GetExitStatus().Succeeded());
}

TEST_F(ConversionTest, StopWhileACoderRunsDeletesItsInputAndItsPartialOutput) {
    MakePackages(0, 30, true);
    Source("long.flac", 9);
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();
    m_core.SetThreadsCount(1);
    ASSERT_EQ(m_conversion.Start({0, 0}, &m_report), 2);
    const std::string temp = m_files.Get(0)->Decoder->GetWaveFile();
    ASSERT_TRUE(WaitForStart("coder long.flac"));
    const int pid = PidOf("coder long.flac");
    // Written apart until it is complete and checked.
    ASSERT_TRUE(fs::exists(Outputs() + "/long.kelto-new.flac"));
    EXPECT_FALSE(fs::exists(Outputs() + "/long.flac"));

    EXPECT_TRUE(m_core.Stop());
    m_core.WaitForWorkers();
    m_conversion.FinishRun();

    EXPECT_FALSE(m_core.IsRunning());
    EXPECT_EQ(m_core.GetJobsCount(), 0);
    EXPECT_TRUE(probe::IsGone(pid));
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_TRUE(fs::is_empty(Outputs()));
    EXPECT_TRUE(m_files.Get(0)->Decoder->GetExitStatus().Succeeded());
    EXPECT_TRUE(m_files.Get(0)->Coder->GetExitStatus().terminated);
}

TEST_F(ConversionTest, PriorityChangeReachesRunningPrograms) {
    MakePackages(30, 0);
    Source("a.flac", 1);
    Source("b.flac", 2);
    m_core.SetThreadsCount(2);
    ASSERT_EQ(m_conversion.Start({0, 0}, &m_report), 4);
    ASSERT_TRUE(WaitForStart("decoder a.flac"));
    ASSERT_TRUE(WaitForStart("decoder b.flac"));
    // The programs start at normal priority (nice 0). A suite that runs niced itself without
    // the privilege to go back leaves them at its own nice value.
    const std::string own = probe::StatField(getpid(), 19);
    EXPECT_EQ(probe::StatField(PidOf("decoder a.flac"), 19), geteuid() == 0 ? "0" : own);

    m_core.SetPriority(kIdlePriorityClass);

    EXPECT_EQ(probe::StatField(PidOf("decoder a.flac"), 19), "19");
    EXPECT_EQ(probe::StatField(PidOf("decoder b.flac"), 19), "19");
    m_core.Stop();
    m_core.WaitForWorkers();
}

TEST_F(ConversionTest, ProgramThatCannotStartFailsItsFileAndTheRunGoesOn) {
    MakePackages(0, 0);
    Source("gone.flac", 1);
    Source("fine.flac", 2);
    ASSERT_TRUE(m_conversion.Apply({0, 0}, {}, &m_report));
    m_files.Get(0)->Decoder->SetProgramPath(Work() + "/Decoders/FLAC/missing");

    EXPECT_EQ(Run(2), 4);

    const CFileInfo& gone = *m_files.Get(0);
    EXPECT_EQ(gone.Decoder->GetExitStatus().state, ProcessExitStatus::State::NotStarted);
    EXPECT_EQ(gone.Coder->GetExitStatus().state, ProcessExitStatus::State::Skipped);
    EXPECT_EQ(EventIndex(ReadLog(Log()), "coder gone.flac", true), -1);
    EXPECT_FALSE(fs::exists(gone.Decoder->GetWaveFile()));
    ExpectLosslessOutput(Sources() + "/fine.flac", "fine.flac");
    EXPECT_FALSE(m_core.IsRunning());
}

TEST_F(ConversionTest, CorruptSourceFailsItsDecoderAndItsCoderNeverRuns) {
    MakePackages(0, 0);
    const std::string source = Source("broken.flac", 1);
    std::string bytes = ReadFileBytes(source);
    for (std::size_t i = bytes.size() / 3; i < bytes.size(); i += 7) bytes[i] = '\x55';
    WriteFileBytes(source, bytes);

    EXPECT_EQ(Run(1), 2);

    const CFileInfo& file = *m_files.Get(0);
    EXPECT_EQ(file.Decoder->GetExitStatus().state, ProcessExitStatus::State::Exited);
    EXPECT_NE(file.Decoder->GetExitStatus().exitCode, 0);
    EXPECT_EQ(file.Coder->GetExitStatus().state, ProcessExitStatus::State::Skipped);
    EXPECT_EQ(EventIndex(ReadLog(Log()), "coder broken.flac", true), -1);
    EXPECT_FALSE(fs::exists(file.Decoder->GetWaveFile()));
}

TEST_F(ConversionTest, EmptyListStartsNothing) {
    MakePackages(0, 0);
    m_core.SetThreadsCount(2);

    EXPECT_EQ(m_conversion.Start({0, 0}, &m_report), 0);

    EXPECT_FALSE(m_core.IsRunning());
}

TEST_F(ConversionTest, ApplyReportsFilesWithoutDecoderAndOutputsThatReplaceTheirSource) {
    MakePackages(0, 0);
    Source("song.flac", 1);
    const std::string notes = Sources() + "/notes.txt";
    WriteFileBytes(notes, "not audio");
    ASSERT_TRUE(m_files.Add(notes));

    EXPECT_FALSE(m_conversion.Apply({0, 0}, {}, &m_report));

    EXPECT_EQ(m_report.NoDecoder, std::vector<std::string>{notes});
    EXPECT_EQ(m_report.Overwrites, 1);  // song.flac coded to FLAC beside itself
    EXPECT_FALSE(m_files.Get(1)->Coder);
    EXPECT_FALSE(m_files.Get(1)->Decoder);

    m_settings.General.ShowWarnings = 0;
    m_conversion.Apply({0, 0}, {0}, &m_report);
    EXPECT_EQ(m_report.Overwrites, 1);
}

TEST_F(ConversionTest, ApplyDrawsFreshTemporaryNamesAndReleasesTheOldOnes) {
    MakePackages(0, 0);
    Source("a.flac", 1);
    Source("b.flac", 2);
    ASSERT_TRUE(m_conversion.Apply({0, 0}, {}, &m_report));
    const std::string first = m_files.Get(0)->Decoder->GetWaveFile();
    const std::string second = m_files.Get(1)->Decoder->GetWaveFile();
    EXPECT_NE(first, second);
    EXPECT_TRUE(IsTempFileNameHeld(first));

    ASSERT_TRUE(m_conversion.Apply({0, 0}, {0}, &m_report));

    const std::string again = m_files.Get(0)->Decoder->GetWaveFile();
    EXPECT_NE(again, first);
    EXPECT_NE(again, second);
    EXPECT_FALSE(IsTempFileNameHeld(first));
    EXPECT_EQ(m_files.Get(0)->Coder->GetWaveFile(), again);
    EXPECT_EQ(m_files.Get(0)->Coder->GetDecoder(), m_files.Get(0)->Decoder.get());

    m_conversion.Reset({});
    EXPECT_FALSE(IsTempFileNameHeld(again));
    EXPECT_FALSE(IsTempFileNameHeld(second));
    EXPECT_FALSE(m_files.Get(0)->Coder);
    EXPECT_TRUE(m_files.Get(1)->DecoderSource.empty());
}

TEST_F(ConversionTest, SecondStartRunsTheSameJobsAgain) {
    MakePackages(0, 0);
    Source("again.flac", 1);
    EXPECT_EQ(Run(1), 2);
    const std::string output = m_files.Get(0)->OutputPath;

    EXPECT_EQ(Run(1), 2);

    EXPECT_EQ(ReadLog(Log()).size(), 8u);
    EXPECT_TRUE(m_files.Get(0)->Coder->GetExitStatus().Succeeded());
    ExpectLosslessOutput(output, "again.flac");
    // The output would be the source itself: it is numbered instead, and the second run wrote
    // beside it and then took its place under its name.
    EXPECT_EQ(output, Sources() + "/again (2).flac");
    EXPECT_EQ(m_files.Get(0)->Coder->GetOutputFile(), output);
    // The source, its output and the record kelto keeps of what it wrote there.
    EXPECT_EQ(std::distance(fs::directory_iterator(Sources()), fs::directory_iterator()), 3);
    EXPECT_TRUE(fs::exists(Sources() + "/.kelto-record"));
}

TEST_F(ConversionTest, ACommandLineEditedToWriteElsewhereLeavesTheOutputItNoLongerNames) {
    MakePackages(0, 0);
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();
    Source("edited.flac", 1);
    EXPECT_EQ(Run(1), 2);
    const std::string output = m_files.Get(0)->OutputPath;
    WriteFileBytes(output, "an older output");
    const std::string edited = Outputs() + "/by hand.flac";
    std::string commandLine = m_files.Get(0)->Coder->GetCommandLine();
    const std::string named = QuoteCommandLineArgument(output);
    commandLine.replace(commandLine.find(named), named.size(), QuoteCommandLineArgument(edited));
    m_files.Get(0)->Coder->SetCommandLine(commandLine);
    EXPECT_EQ(Run(1), 2);
    EXPECT_EQ(ReadFileBytes(output), "an older output");
    ExpectLosslessOutput(edited, "edited.flac");
}

}  // namespace

TEST_F(ConversionTest, ApplyWarnsWhenAWavSourceWouldBeCodedOntoItself) {
    MakePackages(0, 0);
    WrapperBehaviour coder{Log(), 0, false};
    WriteRecordingPackage(Work() + "/Coders", "Resample", true, "/usr/bin/sox",
                          {{"Copy", "wav", "%in% %out%"}}, coder);
    m_catalogue.Load(CWorkingFolder(Work()), "WAV (decode only)", false);
    ASSERT_EQ(m_catalogue.GetCoders().GetAt(2)->GetName(), "Resample");
    Source("take.wav", 7);

    m_conversion.Apply({2, 0}, {}, &m_report);

    // Never coded onto itself: the output is numbered, and the user told.
    EXPECT_EQ(m_files.Get(0)->OutputPath, Sources() + "/take (2).wav");
    EXPECT_EQ(m_report.Overwrites, 1);
}

namespace {

// Sets TMPDIR for one test and puts back what was there.
class CTmpDirSetting {
public:
    explicit CTmpDirSetting(const std::string& value) {
        if (const char* old = std::getenv("TMPDIR")) m_old = old;
        ::setenv("TMPDIR", value.c_str(), 1);
    }
    ~CTmpDirSetting() {
        if (m_old) {
            ::setenv("TMPDIR", m_old->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    CTmpDirSetting(const CTmpDirSetting&) = delete;
    CTmpDirSetting& operator=(const CTmpDirSetting&) = delete;

private:
    std::optional<std::string> m_old;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(ConversionTest, SourcesOfOneBaseNameAreCodedToNumberedOutputsThatEachHoldTheirOwnSource) {
    MakePackages(0, 0);
    for (const char* folder : {"a", "b", "c"}) {
        fs::create_directories(Sources() + "/" + folder);
        fs::create_directories(m_dir / folder);
    }
    Source("a/01.wav", 1);
    Source("b/01.wav", 2);
    Source("c/01.flac", 3, 48000, 1);
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();

    EXPECT_EQ(Run(2), 4);

    const std::vector<std::string> expected = {Outputs() + "/01.flac", Outputs() + "/01 (2).flac",
                                               Outputs() + "/01 (3).flac"};
    for (int i = 0; i < 3; ++i) {
        const CFileInfo& file = *m_files.Get(i);
        EXPECT_EQ(file.OutputPath, expected[i]);
        // The program is told the numbered name, not only the record.
        EXPECT_TRUE(Contains(file.Coder->GetCommandLine(), "-o \"" + expected[i] + "\""))
            << file.Coder->GetCommandLine();
    }
    ExpectLosslessOutput(expected[0], "a/01.wav");
    ExpectLosslessOutput(expected[1], "b/01.wav");
    ExpectLosslessOutput(expected[2], "c/01.flac");
}

TEST_F(ConversionTest, ApplyOnSomeRowsKeepsClearOfTheOutputsOfTheRowsLeftAsTheyAre) {
    MakePackages(0, 0);
    for (const char* folder : {"a", "b"}) {
        fs::create_directories(Sources() + "/" + folder);
        fs::create_directories(m_dir / folder);
    }
    Source("a/01.wav", 1);
    Source("b/01.wav", 2);
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();
    const std::string plain = Outputs() + "/01.flac";
    const std::string second = Outputs() + "/01 (2).flac";

    ASSERT_TRUE(m_conversion.Apply({0, 0}, {}, &m_report));
    ASSERT_TRUE(m_conversion.Apply({0, 0}, {1, 1}, &m_report));
    EXPECT_EQ(m_files.Get(0)->OutputPath, plain);
    EXPECT_EQ(m_files.Get(1)->OutputPath, second);  // applying again names nothing anew

    m_conversion.Reset({0});
    ASSERT_TRUE(m_conversion.Apply({0, 0}, {1}, &m_report));
    EXPECT_EQ(m_files.Get(1)->OutputPath, plain);
    ASSERT_TRUE(m_conversion.Apply({0, 0}, {0}, &m_report));
    EXPECT_EQ(m_files.Get(0)->OutputPath, second);
    EXPECT_EQ(m_files.Get(1)->OutputPath, plain);
    EXPECT_TRUE(Contains(m_files.Get(0)->Coder->GetCommandLine(), second));
}

TEST_F(ConversionTest, DecodeOnlyGivesTheSecondWavOfOneNameANumber) {
    MakePackages(0, 0);
    for (const char* folder : {"a", "b"}) {
        fs::create_directories(Sources() + "/" + folder);
        fs::create_directories(m_dir / folder);
    }
    Source("a/take.flac", 1);
    Source("b/take.flac", 2, 22050, 1);
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();
    const ConversionChoice decodeOnly{m_catalogue.GetPassThroughIndex(), 0};

    EXPECT_EQ(Run(2, decodeOnly), 2);

    const std::string second = Outputs() + "/take (2).wav";
    EXPECT_EQ(CConversion::GetFinalOutput(*m_files.Get(1)), second);
    EXPECT_TRUE(Contains(m_files.Get(1)->Decoder->GetCommandLine(), "\"" + second + "\""));
    ExpectLosslessOutput(Outputs() + "/take.wav", "a/take.flac");
    ExpectLosslessOutput(second, "b/take.flac");
}

TEST_F(ConversionTest, TemporaryWavFilesGoToTmpdirWhenItIsAWritableFolderElseToTmp) {
    MakePackages(0, 0);
    Source("a.flac", 1);
    const std::string folder = m_dir / "scratch";
    fs::create_directories(folder);
    {
        CTmpDirSetting tmpdir(folder + "/");
        EXPECT_EQ(Run(1), 2);
        const std::string temp = m_files.Get(0)->Decoder->GetWaveFile();
        EXPECT_EQ(temp.rfind(folder + "/kel", 0), 0u) << temp;
        ExpectLosslessOutput(Sources() + "/a.flac", "a.flac");
        EXPECT_FALSE(fs::exists(temp));  // deleted by its coder
    }
    WriteFileBytes(m_dir / "plain-file", "");
    for (const std::string& unusable :
         {folder + "/missing", m_dir / "plain-file", std::string("scratch")}) {
        CTmpDirSetting tmpdir(unusable);
        ASSERT_TRUE(m_conversion.Apply({0, 0}, {}, &m_report)) << unusable;
        const std::string temp = m_files.Get(0)->Decoder->GetWaveFile();
        EXPECT_EQ(temp.rfind("/tmp/kel", 0), 0u) << unusable << ": " << temp;
    }
}

TEST_F(ConversionTest, ASourceReEncodedAfterItWasListedIsJudgedAsItIsNow) {
    MakePackages(0, 0);
    const std::string path = Source("grown.flac", 1);
    // Replaced by a longer take while it stands in the list: the checks must not hold the
    // listed length against what the programs really read.
    const std::string longer = m_dir / "longer.wav";
    WriteTestWav(longer, 44100, 2, 4 * kSeconds, 2);
    ASSERT_TRUE(EncodeWith(longer, m_dir / "longer.flac"));
    fs::rename(m_dir / "longer.flac", path);

    EXPECT_EQ(Run(1), 2);

    EXPECT_TRUE(m_files.Get(0)->Decoder->GetExitStatus().Succeeded());
    EXPECT_TRUE(m_files.Get(0)->Coder->GetExitStatus().Succeeded());
}

TEST_F(ConversionTest, CheckStartNamesRowsThatHoldAnotherChoiceLackJobsOrWriteElsewhere) {
    MakePackages(0, 0);
    Source("a.flac", 1);
    Source("b.wav", 2);
    Source("c.flac", 3);
    using Outcome = StartCheck::Outcome;
    EXPECT_EQ(m_conversion.CheckStart({0, 0}).Result, Outcome::PrepareAndRun);
    ASSERT_TRUE(m_conversion.Apply({0, 0}, {}, &m_report));
    EXPECT_EQ(m_conversion.CheckStart({0, 0}).Result, Outcome::Run);

    StartCheck other = m_conversion.CheckStart({0, 1});
    EXPECT_EQ(other.Result, Outcome::Ask);
    EXPECT_EQ(other.Differing, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(other.Unprepared.empty());
    EXPECT_TRUE(other.Edited.empty());

    // A hand edit is what the row runs: no question for it, but applying would drop it.
    CFileInfo& edited = *m_files.Get(0);
    edited.Coder->SetCommandLine(edited.Coder->GetCommandLine() + " --no-padding");
    EXPECT_EQ(m_conversion.CheckStart({0, 0}).Result, Outcome::Run);
    other = m_conversion.CheckStart({1, 0});
    EXPECT_EQ(other.Differing, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(other.Edited, (std::vector<int>{0}));

    m_conversion.Reset({1});
    other = m_conversion.CheckStart({0, 0});
    EXPECT_EQ(other.Result, Outcome::Ask);
    EXPECT_TRUE(other.Differing.empty());
    EXPECT_EQ(other.Unprepared, (std::vector<int>{1}));

    // The output folder changed in the options after Apply.
    m_settings.General.OutputFolderSameAsOriginal = 0;
    m_settings.General.OutputFolder = Outputs();
    other = m_conversion.CheckStart({0, 0});
    EXPECT_EQ(other.Differing, (std::vector<int>{0, 2}));
    EXPECT_EQ(other.ToApply, (std::vector<int>{0, 1, 2}));
    ASSERT_TRUE(m_conversion.Apply({0, 0}, other.ToApply, &m_report));
    EXPECT_EQ(m_conversion.CheckStart({0, 0}).Result, Outcome::Run);
    EXPECT_EQ(m_files.Get(1)->Coder->GetOutputFile(), Outputs() + "/b.flac");

    // So did a limit: what the rows hold was fitted to the old one.
    m_settings.General.MaxBitDepth = 16;
    EXPECT_EQ(m_conversion.CheckStart({0, 0}).Differing, (std::vector<int>{0, 1, 2}));
}

TEST_F(ConversionTest, EachRowOfARunSaysHowItEndedAndWhyAndTheLogHasALineForIt) {
    MakePackages(0, 0);
    const std::string good = Source("good.flac", 1);
    const std::string broken = Source("broken.flac", 2);
    std::string bytes = ReadFileBytes(broken);
    for (std::size_t i = bytes.size() / 3; i < bytes.size(); i += 7) bytes[i] = '\x55';
    WriteFileBytes(broken, bytes);
    Source("left.wav", 3);
    ASSERT_TRUE(m_conversion.Apply({1, 0}, {0, 1}, &m_report));
    EXPECT_EQ(m_conversion.GetRowStatus(*m_files.Get(0), {}, true).State, RowState::None);
    const std::size_t logged = GetLogLineCount();

    EXPECT_EQ(Run(1, {1, 0}), 4);

    const RowStatus done = m_conversion.GetRowStatus(*m_files.Get(0), {}, true);
    EXPECT_EQ(done.State, RowState::Done);
    EXPECT_EQ(done.Reason, m_files.Get(0)->Coder->GetOutputFile());
    const RowStatus failed = m_conversion.GetRowStatus(*m_files.Get(1), {}, true);
    EXPECT_EQ(failed.State, RowState::Failed);
    EXPECT_NE(failed.Reason.find(": exit status "), std::string::npos) << failed.Reason;
    EXPECT_EQ(m_conversion.GetRowStatus(*m_files.Get(2), {}, true).State, RowState::None);
    // While a run goes on, a job not yet run waits and one in the core's slots runs.
    const CFileInfo& first = *m_files.Get(0);
    EXPECT_EQ(m_conversion.GetRowStatus(first, {first.Decoder.get()}, false).State,
              RowState::Running);
    const RunCounts counts = m_conversion.CountLastRun({}, true);
    EXPECT_EQ(counts.Converted, 1);
    EXPECT_EQ(counts.Failed, 1);
    EXPECT_EQ(counts.Stopped + counts.Skipped + counts.Unfinished, 0);

    std::vector<std::string> lines;
    for (std::size_t i = logged; i < GetLogLineCount(); ++i) lines.push_back(GetLogLine(i));
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Converted: " + good + " -> " + m_files.Get(0)->Coder->GetOutputFile()),
              lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) {
                                return line.starts_with("Failed: " + broken + ": ");
                            }),
              1);
}
