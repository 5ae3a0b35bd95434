// Tags and cover art carried between real files: sources tagged by their encoders or by TagLib,
// outputs made by the real encoders of every format kelto ships a coder for.

#include <gtest/gtest.h>

#include <filesystem>

#include "TagFiles.h"
#include "session/EngineFiles.h"
#include "support/TempDir.h"
#include "tags/TagCopier.h"

namespace fs = std::filesystem;

namespace {

// An untagged output of the format given by extension, made by its real encoder from wav.
bool EncodeOutput(const std::string& wav, const std::string& path) {
    const std::string in = ShellQuoted(wav);
    const std::string out = ShellQuoted(path);
    const std::string ext = fs::path(path).extension().string();
    if (ext == ".opus") return RunShell("opusenc --quiet " + in + " " + out);
    if (ext == ".spx") return RunShell("speexenc " + in + " " + out);
    if (ext == ".m4a") return RunShell("ffmpeg -nostdin -v error -y -i " + in + " -c:a aac " + out);
    if (ext == ".tta") return RunShell("ffmpeg -nostdin -v error -y -i " + in + " -c:a tta " + out);
    if (ext == ".wav") return RunShell("cp " + in + " " + out);
    return EncodeWith(wav, path);
}

const char* const kOutputKinds[] = {".flac", ".mp3", ".ogg", ".opus", ".spx",
                                    ".wv",   ".m4a", ".tta", ".wav"};

class TagCopierTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_wav = m_dir / "plain.wav";
        WriteTestWav(m_wav, 44100, 2, 0.3, 7);
        m_png = MakeCover(m_dir / "cover.png");
        m_jpeg = MakeCover(m_dir / "cover.jpg");
        ASSERT_FALSE(m_png.empty());
        ASSERT_FALSE(m_jpeg.empty());
        for (const char* ext : kOutputKinds) {
            ASSERT_TRUE(EncodeOutput(m_wav, m_dir / (std::string("blank") + ext))) << ext;
        }
    }

    std::string FlacSource() {
        const std::string path = m_dir / "source.flac";
        std::string command = "flac -s -f --picture=" + ShellQuoted(m_dir / "cover.png");
        for (const auto& [key, value] : SampleFields()) {
            command += " -T " + ShellQuoted(key + "=" + value);
        }
        EXPECT_TRUE(RunShell(command + " -o " + ShellQuoted(path) + " " + ShellQuoted(m_wav)));
        return path;
    }

    std::string Mp3Source(int id3Version) {
        const std::string path = m_dir / ("source-v2." + std::to_string(id3Version) + ".mp3");
        EXPECT_TRUE(EncodeWith(m_wav, path));
        EXPECT_TRUE(TagMp3(path, m_dir / "cover.jpg", id3Version));
        return path;
    }

    // Copies source's tags into a fresh copy of every kind of output and checks each.
    void ExpectCopiedEverywhere(const std::string& source, const std::string& cover,
                                const std::map<std::string, std::string>& fields) {
        for (const char* ext : kOutputKinds) {
            const std::string output = m_dir / (std::string("out") + ext);
            fs::copy_file(m_dir / (std::string("blank") + ext), output,
                          fs::copy_options::overwrite_existing);
            std::string error;
            ASSERT_EQ(CTagCopier::Copy(source, output, &error), CTagCopier::Result::Copied)
                << source << " -> " << ext << ": " << error;
            const auto read = ReadFields(output);
            for (const auto& [key, value] : fields) {
                // TagLib's MP4 and ID3v1-less formats spell numbers their own way: "3/12".
                EXPECT_EQ(read.count(key) ? read.at(key) : "(missing)", value)
                    << key << " in " << ext << " from " << source;
            }
            if (!cover.empty()) {
                EXPECT_EQ(ExtractCover(output, m_dir.Path().string()), cover)
                    << "cover in " << ext << " from " << source;
            }
            // The audio is still there and plays: the decoder reads it back whole.
            if (std::string(ext) != ".m4a" && std::string(ext) != ".tta" &&
                std::string(ext) != ".opus" && std::string(ext) != ".spx") {
                EXPECT_TRUE(DecodeBack(output, m_dir.Path().string()).Valid) << ext;
            }
        }
    }

    TempDir m_dir;
    std::string m_wav;
    std::string m_png;
    std::string m_jpeg;
};

TEST_F(TagCopierTest, FlacSourceFieldsAndPictureReachEveryOutputFormat) {
    ExpectCopiedEverywhere(FlacSource(), m_png, SampleFields());
}

TEST_F(TagCopierTest, Mp3SourcesWithId3v24AndId3v23ReachEveryOutputFormat) {
    ExpectCopiedEverywhere(Mp3Source(4), m_jpeg, SampleFields());
    const std::string older = Mp3Source(3);
    // The source really holds version 2.3 (its header says so).
    const std::string head = ReadFileBytes(older).substr(0, 4);
    ASSERT_EQ(head, std::string("ID3\x03", 4));
    ExpectCopiedEverywhere(older, m_jpeg, SampleFields());
}

TEST_F(TagCopierTest, WavInfoChunkAloneAndIdChunkWithPictureAreBothSources) {
    const std::string infoOnly = m_dir / "info.wav";
    fs::copy_file(m_wav, infoOnly);
    ASSERT_TRUE(TagWav(infoOnly, {}));
    std::map<std::string, std::string> infoFields;
    for (const char* key : {"TITLE", "ARTIST", "ALBUM", "COMMENT", "GENRE", "DATE"}) {
        infoFields[key] = SampleFields().at(key);
    }
    ExpectCopiedEverywhere(infoOnly, {}, infoFields);

    const std::string withId3 = m_dir / "id3.wav";
    fs::copy_file(m_wav, withId3);
    ASSERT_TRUE(TagWav(withId3, m_dir / "cover.png"));
    ExpectCopiedEverywhere(withId3, m_png, SampleFields());
}

TEST_F(TagCopierTest, Mp3WhosePictureFrameTagLibCannotTakeApartGivesItsTextFieldsOnly) {
    // The APIC frame marked encrypted: TagLib keeps it as a frame of unknown content, which is
    // no picture. The text fields still come across, and no cover does.
    const std::string source = Mp3Source(3);
    std::string bytes = ReadFileBytes(source);
    const std::size_t frame = bytes.find("APIC");
    ASSERT_NE(frame, std::string::npos);
    // ID3v2.3 frame header: id, size (4 bytes), status flags, format flags (0x40: encrypted).
    bytes[frame + 9] = static_cast<char>(bytes[frame + 9] | 0x40);
    WriteFileBytes(source, bytes);

    const std::string output = m_dir / "out.flac";
    fs::copy_file(m_dir / "blank.flac", output);
    std::string error;
    ASSERT_EQ(CTagCopier::Copy(source, output, &error), CTagCopier::Result::Copied) << error;
    EXPECT_EQ(ReadFields(output).at("TITLE"), SampleFields().at("TITLE"));
    EXPECT_EQ(ExtractCover(output, m_dir.Path().string()), "");
}

TEST_F(TagCopierTest, FieldsNamingTheEncoderStayTheOutputsOwn) {
    // opusenc names itself in ENCODER; a ripper's FLAC names its encoder and the person.
    const std::string opus = m_dir / "source.opus";
    ASSERT_TRUE(RunShell("opusenc --quiet --title Nardis " + ShellQuoted(m_wav) + " " +
                         ShellQuoted(opus)));
    const std::string flac = m_dir / "ripped.flac";
    ASSERT_TRUE(RunShell("flac -s -f -T TITLE=Solar -T ENCODER=ripper -T ENCODEDBY=someone -o " +
                         ShellQuoted(flac) + " " + ShellQuoted(m_wav)));
    const std::string ogg = m_dir / "out.ogg";
    const std::string opusOut = m_dir / "out.opus";
    fs::copy_file(m_dir / "blank.ogg", ogg);
    fs::copy_file(m_dir / "blank.opus", opusOut);
    const std::string opusencName = ReadFields(opusOut).at("ENCODER");

    std::string error;
    ASSERT_EQ(CTagCopier::Copy(opus, ogg, &error), CTagCopier::Result::Copied) << error;
    ASSERT_EQ(CTagCopier::Copy(flac, opusOut, &error), CTagCopier::Result::Copied) << error;
    const auto oggFields = ReadFields(ogg);
    EXPECT_EQ(oggFields.at("TITLE"), "Nardis");
    EXPECT_EQ(oggFields.count("ENCODER"), 0u);
    const auto opusFields = ReadFields(opusOut);
    EXPECT_EQ(opusFields.at("TITLE"), "Solar");
    EXPECT_EQ(opusFields.at("ENCODER"), opusencName);
    EXPECT_EQ(opusFields.at("ENCODEDBY"), "someone");
}

TEST_F(TagCopierTest, UntaggedSourceLeavesTheOutputUntouchedAndUnwritableOutputFails) {
    const std::string output = m_dir / "out.flac";
    fs::copy_file(m_dir / "blank.flac", output);
    const std::string before = ReadFileBytes(output);
    std::string error;
    EXPECT_EQ(CTagCopier::Copy(m_wav, output, &error), CTagCopier::Result::NothingToCopy);
    EXPECT_EQ(ReadFileBytes(output), before);

    // A format TagLib cannot write: the copy fails with a reason and the file stays.
    const std::string odd = m_dir / "out.raw";
    WriteFileBytes(odd, "raw samples");
    EXPECT_EQ(CTagCopier::Copy(FlacSource(), odd, &error), CTagCopier::Result::Failed);
    EXPECT_NE(error.find(odd), std::string::npos) << error;
    EXPECT_EQ(ReadFileBytes(odd), "raw samples");

    // A source of a format TagLib has no reader for has nothing to copy; one of a format it
    // knows but cannot take apart cannot be read.
    EXPECT_EQ(CTagCopier::Copy(odd, output, &error), CTagCopier::Result::NothingToCopy);
    const std::string broken = m_dir / "broken.flac";
    WriteFileBytes(broken, "fLaC but nothing after it");
    error.clear();
    EXPECT_EQ(CTagCopier::Copy(broken, output, &error), CTagCopier::Result::Failed);
    EXPECT_NE(error.find(broken), std::string::npos) << error;
    EXPECT_EQ(ReadFileBytes(output), before);
}

}  // namespace
