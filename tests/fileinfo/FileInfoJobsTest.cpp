// The job operations of a file record: decoder choice, temporary names, output naming, command
// lines and reset, with decoders and coders loaded from package folders on disk.

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "AudioFiles.h"
#include "codecs/Coder.h"
#include "codecs/CoderList.h"
#include "codecs/Decoder.h"
#include "codecs/DecoderList.h"
#include "core/CommandLine.h"
#include "core/TempFileName.h"
#include "core/Templates.h"
#include "fileinfo/FileInfo.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class FileInfoJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The first decoder lists "FLAC" in upper case, which must not match.
        Package("Decoders/Upper", "FLAC\n", "upper %in% %out%\n");
        Package("Decoders/Lower", "ape\nflac\n", "ape %in% %out%\nlower -o %out% %in%\n");
        Package("Coders/Two", "mp3\nogg\n",
                "First\n-q %orig_sr_khz% %in% %out%\nSecond\n--sr %orig_sr_hz% %in% %out%\n");
        Package("Coders/Broken", "mp3\n", "Bad\n-x %in% %out%\n");
        ASSERT_TRUE(m_decoders.LoadFromFolder(m_dir / "Decoders"));
        ASSERT_TRUE(m_coders.LoadFromFolder(m_dir / "Coders"));
        ASSERT_EQ(m_coders.GetCount(), 2);
        m_file.Path = "/music/Album/Song.FLAC";
        m_file.Name = "Song.FLAC";
        m_file.SampleRate = 44100;
        m_file.Channels = 2;
    }

    void Package(const std::string& folder, const std::string& extensions,
                 const std::string& lines) {
        const fs::path package = m_dir.Path() / folder;
        fs::create_directories(package);
        const fs::path program = package / "prog";
        WriteFileBytes(program.string(), "#!/bin/sh\n");
        fs::permissions(program, fs::perms::owner_all);
        WriteFileBytes((package / "Extensions.ini").string(), extensions);
        const bool coder = folder.rfind("Coders", 0) == 0;
        WriteFileBytes((package / (coder ? "Presets.ini" : "Format.ini")).string(), lines);
    }

    CCoder* Coder(const std::string& name) {
        for (int i = 0; i < m_coders.GetCount(); ++i)
            if (m_coders.GetAt(i)->GetName() == name) return m_coders.GetAt(i);
        return nullptr;
    }

    TempDir m_dir;
    CDecoderList m_decoders;
    CCoderList m_coders;
    CFileInfo m_file;
};

TEST_F(FileInfoJobsTest, DecoderIsChosenByTheLowerCasedExtensionAndWritesAFreshTemporaryWav) {
    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "", false));

    const CDecoder& decoder = *m_file.Decoder;
    EXPECT_EQ(decoder.GetName(), "Lower");
    const std::string wave = decoder.GetWaveFile();
    EXPECT_EQ(wave.rfind("/tmp/kel", 0), 0u) << wave;
    EXPECT_EQ(wave.size(), std::string("/tmp/kel0000.wav").size());
    EXPECT_TRUE(IsTempFileNameHeld(wave));
    EXPECT_EQ(m_file.GetTempWaveFile(), wave);
    EXPECT_EQ(m_file.DecoderSource, m_file.Path);
    EXPECT_EQ(decoder.GetInputFile(), m_file.Path);
    EXPECT_EQ(decoder.GetOutputFile(), wave);
    EXPECT_EQ(m_file.Decoder->GetCommandLine(),
              "lower -o \"" + wave + "\" \"" + m_file.Path + "\"");
}

TEST_F(FileInfoJobsTest, DecodeOnlyWritesTheWavBesideTheSourceOrInTheOutputFolder) {
    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "", true));
    EXPECT_EQ(m_file.Decoder->GetWaveFile(), "/music/Album/Song.wav");
    EXPECT_TRUE(m_file.GetTempWaveFile().empty());

    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "/out/", true));
    EXPECT_EQ(m_file.Decoder->GetWaveFile(), "/out/Song.wav");
}

TEST_F(FileInfoJobsTest, FileWithoutMatchingDecoderGetsNoDecoderAndGivesItsNameBack) {
    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "", false));
    const std::string held = m_file.GetTempWaveFile();
    m_file.Path = "/music/readme";

    EXPECT_FALSE(m_file.PrepareDecoder(m_decoders, "", false));

    EXPECT_FALSE(m_file.Decoder);
    EXPECT_FALSE(IsTempFileNameHeld(held));
}

TEST_F(FileInfoJobsTest, CoderReadsTheDecodersWavAndIsNamedAfterItsFirstPreset) {
    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "", false));
    ASSERT_TRUE(m_file.SetCoder(Coder("Two")));
    const CPreset* second = Coder("Two")->GetPresets().GetAt(1);

    ASSERT_TRUE(m_file.PrepareCoder(second->CommandLine, "/out/"));

    const std::string wave = m_file.Decoder->GetWaveFile();
    EXPECT_EQ(m_file.Coder->GetDecoder(), m_file.Decoder.get());
    EXPECT_EQ(m_file.Coder->GetWaveFile(), wave);
    EXPECT_EQ(m_file.OutputPath, "/out/Song.mp3");
    EXPECT_EQ(m_file.Coder->GetCommandLine(), "--sr 44100 \"" + wave + "\" \"/out/Song.mp3\"");
    EXPECT_TRUE(Coder("Two")->GetWaveFile().empty());  // the catalogue record is untouched
}

TEST_F(FileInfoJobsTest, TemplateValuesCarryThePathRateAndFirstPresetName) {
    TemplateValues values;
    m_file.FillTemplateValues(values);
    EXPECT_EQ(values.InputPath, m_file.Path);
    EXPECT_TRUE(values.OutputPath.empty());
    EXPECT_EQ(values.SampleRate, 44100);
    EXPECT_EQ(values.Channels, 2);

    m_file.SetCoder(Coder("Two"));
    m_file.FillTemplateValues(values);
    EXPECT_EQ(values.OutputPath, "/music/Album/Song.mp3");
}

TEST_F(FileInfoJobsTest, TemplateThatCannotBeExpandedLeavesAnEmptyCommandLine) {
    m_file.Path = "/music/take.wav";
    ASSERT_TRUE(m_file.SetCoder(Coder("Broken")));

    ASSERT_TRUE(m_file.PrepareCoder("-x %IN% %out%", ""));

    EXPECT_EQ(m_file.Coder->GetCommandLine(), "");
    EXPECT_EQ(m_file.OutputPath, "/music/take.mp3");
    EXPECT_TRUE(m_file.Coder->GetWaveFile().empty());
    EXPECT_EQ(m_file.Coder->GetInputFile(), "/music/take.wav");
}

TEST_F(FileInfoJobsTest, PreparingAgainNeverLeavesTheCoderPointingAtAnOldDecoder) {
    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "", false));
    ASSERT_TRUE(m_file.SetCoder(Coder("Two")));

    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "", false));
    EXPECT_EQ(m_file.Coder->GetDecoder(), m_file.Decoder.get());

    m_file.Path = "/music/readme";
    EXPECT_FALSE(m_file.PrepareDecoder(m_decoders, "", false));
    EXPECT_EQ(m_file.Coder->GetDecoder(), nullptr);
}

TEST_F(FileInfoJobsTest, ResetDropsBothJobsTheirFieldsAndTheTemporaryName) {
    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "", false));
    m_file.SetCoder(Coder("Two"));
    m_file.PrepareCoder("%in% %out%", "");
    m_file.PresetName = "First";
    const std::string held = m_file.GetTempWaveFile();

    EXPECT_TRUE(m_file.ResetJobs());

    EXPECT_FALSE(m_file.Coder);
    EXPECT_FALSE(m_file.Decoder);
    EXPECT_TRUE(m_file.DecoderSource.empty());
    EXPECT_TRUE(m_file.OutputPath.empty());
    EXPECT_TRUE(m_file.PresetName.empty());
    EXPECT_FALSE(IsTempFileNameHeld(held));
    EXPECT_FALSE(m_file.PrepareCoder("%in%", ""));
}

TEST_F(FileInfoJobsTest, DestroyingTheRecordGivesItsTemporaryNameBack) {
    std::string held;
    {
        CFileInfo file;
        file.Path = "/x/a.flac";
        ASSERT_TRUE(file.PrepareDecoder(m_decoders, "", false));
        held = file.GetTempWaveFile();
        EXPECT_TRUE(IsTempFileNameHeld(held));
    }
    EXPECT_FALSE(IsTempFileNameHeld(held));
}

}  // namespace

TEST_F(FileInfoJobsTest, RetargetingKeepsAnEditedCommandLineAndItsWaveFile) {
    ASSERT_TRUE(m_file.PrepareDecoder(m_decoders, "", false));
    ASSERT_TRUE(m_file.SetCoder(Coder("Two")));
    ASSERT_TRUE(m_file.PrepareCoder("-q %in% %out%", "/out/"));
    const std::string wave = m_file.Coder->GetWaveFile();
    const std::string input = m_file.Coder->GetInputFile();
    // Edited by hand: an option added, the output still named once as the template wrote it.
    m_file.Coder->SetCommandLine("--extra " + m_file.Coder->GetCommandLine());

    ASSERT_TRUE(m_file.RetargetOutput("/out/it's (2).mp3"));
    EXPECT_EQ(m_file.Coder->GetCommandLine(), "--extra -q " + QuoteCommandLineArgument(wave) + " " +
                                                  QuoteCommandLineArgument("/out/it's (2).mp3"));
    EXPECT_EQ(m_file.Coder->GetOutputFile(), "/out/it's (2).mp3");
    EXPECT_EQ(m_file.OutputPath, "/out/it's (2).mp3");
    EXPECT_EQ(m_file.Coder->GetWaveFile(), wave);
    EXPECT_EQ(m_file.Coder->GetInputFile(), input);

    // A command line that no longer names the output is expanded again from its template.
    m_file.Coder->SetCommandLine("-q somewhere-else.mp3");
    ASSERT_TRUE(m_file.RetargetOutput("/out/x (3).mp3"));
    EXPECT_EQ(m_file.Coder->GetCommandLine(), "-q " + QuoteCommandLineArgument(wave) + " " +
                                                  QuoteCommandLineArgument("/out/x (3).mp3"));
}

TEST_F(FileInfoJobsTest, OnlyAWavFileThatCodersCannotReadGoesToTheDecoderThatListsWav) {
    Package("Decoders/Wave", "wav\nrf64\n", "wave %in% %out%\nwave %in% %out%\n");
    CDecoderList decoders;
    ASSERT_TRUE(decoders.LoadFromFolder(m_dir / "Decoders"));
    const std::string plain = MakeWav(m_dir / "plain.wav", 44100, 2, 24);
    const std::string ffmpeg = "ffmpeg -v error -nostdin -y -i {in} ";
    const std::vector<std::pair<std::string, bool>> cases = {
        {plain, false},
        {Encode(plain, m_dir / "float.wav", ffmpeg + "-c:a pcm_f32le {out}"), true},
        {Encode(plain, m_dir / "alaw.wav", ffmpeg + "-c:a pcm_alaw {out}"), true},
        {Encode(plain, m_dir / "big.wav", ffmpeg + "-rf64 always {out}"), true},
        // RF64 under its own name is no WAV file to kelto: decoded as its extension says.
        {Encode(plain, m_dir / "big.rf64", ffmpeg + "-rf64 always -f wav {out}"), true},
    };
    for (const auto& [path, decoded] : cases) {
        SCOPED_TRACE(path);
        CFileInfo file;
        ASSERT_TRUE(file.Open(path, nullptr));
        EXPECT_EQ(file.NeedsDecoding, decoded);
        EXPECT_EQ(file.PrepareDecoder(decoders, "", false), decoded);
        EXPECT_EQ(file.Decoder != nullptr, decoded);
        if (decoded) {
            EXPECT_EQ(file.Decoder->GetName(), "Wave");
        }
    }
}
