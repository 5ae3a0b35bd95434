// kelto-cli --loudness: the gain tags of every shipped coder's outputs, checked against
// loudgain's own measurement of the same files, albums grouped across disc folders, an album
// with a failed track left without album figures, and gain tags copied from a source replaced.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "CliFixture.h"
#include "session/EngineFiles.h"
#include "tags/TagFiles.h"

namespace fs = std::filesystem;

namespace {

// What loudgain measured: gain in dB (to -18 LUFS; to -23 for Opus) and (true) peak, by file;
// "Album" for the album of the files it was given together.
struct Loudgain {
    double Gain = NAN;
    double Peak = NAN;
};

// Runs command as it is (RunShell discards what it prints).
void Shell(const std::string& command) {
    EXPECT_EQ(std::system(("sh -c " + ShellQuoted(command)).c_str()), 0) << command;
}

// The tags of path as FFmpeg reads them (format and stream tags), keys upper-cased. FFmpeg
// reads only APE tags from True Audio files, which TagLib does not write: those are read with
// TagLib.
std::map<std::string, std::string> ProbeTags(const std::string& path, const std::string& scratch) {
    if (fs::path(path).extension() == ".tta") return ReadFields(path);
    const std::string out = scratch + "/probe.txt";
    Shell("ffprobe -v error -show_entries format_tags:stream_tags -of default=nw=1 " +
          ShellQuoted(path) + " >" + ShellQuoted(out));
    std::map<std::string, std::string> tags;
    std::istringstream lines(ReadFileBytes(out));
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (line.rfind("TAG:", 0) != 0 || equals == std::string::npos) continue;
        std::string key = line.substr(4, equals - 4);
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        tags[key] = line.substr(equals + 1);
    }
    return tags;
}

// loudgain's figures for files, measured together as an album when album is set. loudgain
// decodes Speex with FFmpeg's own decoder, which lacks the reference decoder's filters (noise
// comes out a dB apart); players and kelto decode with libspeex: loudgain is given the outputs
// as libspeex decodes them.
std::map<std::string, Loudgain> RunLoudgain(const std::vector<std::string>& files, bool album,
                                            const std::string& scratch) {
    const std::string out = scratch + "/loudgain.txt";
    std::string command = std::string("loudgain -q -s s -O") + (album ? " -a" : "");
    std::map<std::string, std::string> decoded;
    for (const std::string& file : files) {
        if (fs::path(file).extension() != ".spx") {
            command += " " + ShellQuoted(file);
            continue;
        }
        const std::string wav = file + ".wav";
        Shell("ffmpeg -nostdin -v error -y -c:a libspeex -i " + ShellQuoted(file) + " " +
              ShellQuoted(wav));
        decoded[wav] = file;
        command += " " + ShellQuoted(wav);
    }
    Shell(command + " >" + ShellQuoted(out) + " 2>/dev/null");
    std::map<std::string, Loudgain> figures;
    std::istringstream lines(ReadFileBytes(out));
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        // File, Loudness, Range, True_Peak, True_Peak_dBTP, Reference, Will_clip, Clip_prevent,
        // Gain, ...
        if (fields.size() < 9 || fields[0] == "File") continue;
        const auto speex = decoded.find(fields[0]);
        figures[speex != decoded.end() ? speex->second : fields[0]] = {
            std::atof(fields[8].c_str()), std::atof(fields[3].c_str())};
    }
    return figures;
}

// The gain an output's tags give, in dB: ReplayGain's text (to -18 LUFS), or Opus's Q7.8 (to
// -23 LUFS, as loudgain gives it for Opus files too).
double TaggedGain(const std::map<std::string, std::string>& tags, const std::string& key,
                  bool opus) {
    const auto found = tags.find(opus ? "R128_" + key + "_GAIN" : "REPLAYGAIN_" + key + "_GAIN");
    if (found == tags.end()) return NAN;
    if (opus) {
        EXPECT_TRUE(std::regex_match(found->second, std::regex("-?[0-9]+"))) << found->second;
        return std::atoi(found->second.c_str()) / 256.0;
    }
    EXPECT_TRUE(std::regex_match(found->second, std::regex("-?[0-9]+\\.[0-9]{2} dB")))
        << found->second;
    return std::atof(found->second.c_str());
}

double TaggedPeak(const std::map<std::string, std::string>& tags, const std::string& key) {
    const auto found = tags.find("REPLAYGAIN_" + key + "_PEAK");
    if (found == tags.end()) return NAN;
    EXPECT_TRUE(std::regex_match(found->second, std::regex("[0-9]\\.[0-9]{6}"))) << found->second;
    return std::atof(found->second.c_str());
}

// The output gain of an Opus file's identification header, in Q7.8 dB.
int OpusHeaderGain(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    const auto at = bytes.find("OpusHead");
    if (at == std::string::npos || at + 18 > bytes.size()) return -1;
    return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[at + 16]) |
                                     static_cast<unsigned char>(bytes[at + 17]) << 8);
}

class CliLoudnessTest : public CliFixture {
protected:
    CliLoudnessTest() : CliFixture(CliStreams::Together) {}

    // A FLAC source made by sox from synth (its level its own; the same noise at every run),
    // tagged with tags.
    void Source(const std::string& path, const std::string& synth,
                const std::vector<std::string>& tags) {
        fs::create_directories(fs::path(path).parent_path());
        const std::string wav = m_dir / "made.wav";
        ASSERT_TRUE(
            RunShell("sox -R -n -r 44100 -c 2 -b 16 " + ShellQuoted(wav) + " synth " + synth));
        std::string flac = "flac -s -f";
        for (const std::string& tag : tags) flac += " -T " + ShellQuoted(tag);
        ASSERT_TRUE(RunShell(flac + " -o " + ShellQuoted(path) + " " + ShellQuoted(wav)));
    }
};

}  // namespace

TEST_F(CliLoudnessTest, EveryShippedCodersGainTagsAgreeWithLoudgainAlbumsSpanDiscFolders) {
    const std::string sources = m_dir / "src";
    // One album over two disc folders: the album artist, or the artist where there is none.
    Source(sources + "/Disc 1/01.flac", "4 sine 440 vol 0.5",
           {"ARTIST=Band", "ALBUMARTIST=Band", "ALBUM=Record", "TITLE=One",
            // Figures of the source, which must not survive into the outputs.
            "REPLAYGAIN_TRACK_GAIN=+9.99 dB", "REPLAYGAIN_TRACK_PEAK=0.100000",
            "REPLAYGAIN_ALBUM_GAIN=+9.99 dB", "R128_TRACK_GAIN=999"});
    Source(sources + "/Disc 1/02.flac", "3 pinknoise vol 0.4",
           {"ARTIST=Band", "ALBUM=Record", "TITLE=Two"});
    Source(sources + "/Disc 2/03.flac", "5 brownnoise vol 0.6",
           {"ARTIST=Guest", "ALBUMARTIST=Band", "ALBUM=Record", "TITLE=Three"});
    // Untagged files: their folder is their album; one of them fails (a WAV file cut short).
    const std::string loose = sources + "/Loose";
    fs::create_directories(loose);
    ASSERT_TRUE(RunShell("sox -R -n -r 48000 -c 1 -b 24 " + ShellQuoted(loose + "/a.wav") +
                         " synth 3 sine 1000 vol 0.2"));
    ASSERT_TRUE(RunShell("sox -R -n -r 44100 -c 2 -b 16 " + ShellQuoted(loose + "/b.wav") +
                         " synth 3 sine 1000"));
    fs::resize_file(loose + "/b.wav", fs::file_size(loose + "/b.wav") - 100000);

    struct Coder {
        const char* Name;
        const char* Extension;
        bool Lossless;
        bool Loudgain;  // loudgain reads its outputs
    };
    for (const Coder& coder :
         {Coder{"FLAC", ".flac", true, true}, Coder{"MP3", ".mp3", false, true},
          Coder{"Ogg Vorbis", ".ogg", false, true}, Coder{"Opus", ".opus", false, true},
          Coder{"WavPack", ".wv", true, true}, Coder{"AAC (M4A)", ".m4a", false, true},
          Coder{"ALAC (M4A)", ".m4a", true, true}, Coder{"Speex", ".spx", false, true},
          Coder{"True Audio (TTA)", ".tta", true, false}}) {
        SCOPED_TRACE(coder.Name);
        const std::string output = m_dir / (std::string("out-") + coder.Name);
        const CliResult result =
            Run("--loudness --coder " + ShellQuoted(coder.Name) + " --threads 2 --output " +
                ShellQuoted(output) + " " + ShellQuoted(sources));
        // The cut-short file fails: the run does.
        EXPECT_EQ(result.Exit, 1) << result.Out;
        EXPECT_NE(result.Out.find("No album gain: " + loose + ": a track failed"),
                  std::string::npos)
            << result.Out;
        EXPECT_EQ(result.Out.find("No album gain: Band"), std::string::npos) << result.Out;

        const bool opus = std::string(coder.Extension) == ".opus";
        std::vector<std::string> album;
        for (const char* name : {"01", "02", "03"})
            album.push_back(output + "/" + name + coder.Extension);
        const std::string single = output + "/a" + coder.Extension;
        std::map<std::string, Loudgain> measured;
        if (coder.Loudgain) {
            measured = RunLoudgain(album, true, m_dir.Path().string());
            measured.merge(RunLoudgain({single}, false, m_dir.Path().string()));
            ASSERT_EQ(measured.size(), 5u);
        }
        for (const std::string& file : album) {
            SCOPED_TRACE(file);
            const auto tags = ProbeTags(file, m_dir.Path().string());
            const double track = TaggedGain(tags, "TRACK", opus);
            const double albumGain = TaggedGain(tags, "ALBUM", opus);
            ASSERT_FALSE(std::isnan(track));
            ASSERT_FALSE(std::isnan(albumGain));
            EXPECT_NE(track, 9.99);
            if (opus) {
                // No ReplayGain tags in Opus, and the header gain left alone.
                for (const auto& [key, value] : tags)
                    EXPECT_NE(key.rfind("REPLAYGAIN_", 0), 0u) << key;
                EXPECT_EQ(OpusHeaderGain(file), 0);
            } else {
                EXPECT_EQ(tags.count("R128_TRACK_GAIN"), 0u);
                const double peak = TaggedPeak(tags, "TRACK");
                const double albumPeak = TaggedPeak(tags, "ALBUM");
                EXPECT_GT(peak, 0.01);
                EXPECT_GE(albumPeak, peak);
                if (coder.Loudgain) {
                    // loudgain's peak is the true peak, which is never below the sample peak
                    // (of its own decoding: another decoder's samples may differ a little).
                    EXPECT_LE(peak, measured[file].Peak * (coder.Lossless ? 1.00001 : 1.02));
                    EXPECT_GT(peak, measured[file].Peak * 0.85);
                    EXPECT_NEAR(albumPeak, measured["Album"].Peak, measured["Album"].Peak * 0.15);
                }
            }
            if (coder.Loudgain) {
                EXPECT_NEAR(track, measured[file].Gain, 0.1);
                EXPECT_NEAR(albumGain, measured["Album"].Gain, 0.1);
            }
        }
        const auto tags = ProbeTags(single, m_dir.Path().string());
        ASSERT_FALSE(std::isnan(TaggedGain(tags, "TRACK", opus)));
        EXPECT_TRUE(std::isnan(TaggedGain(tags, "ALBUM", opus)));
        if (coder.Loudgain) {
            EXPECT_NEAR(TaggedGain(tags, "TRACK", opus), measured[single].Gain, 0.1);
        }
        if (coder.Lossless && !opus) {
            // A 24-bit sine at 0.2: the sample peak of the samples the coder kept.
            EXPECT_NEAR(TaggedPeak(tags, "TRACK"), 0.2, 0.0005);
        }
    }
}

TEST_F(CliLoudnessTest, AnUpdateWithLoudnessConvertsAgainWhatWasMadeWithoutGainTags) {
    const std::string sources = m_dir / "src";
    Source(sources + "/01.flac", "2 sine 330 vol 0.4", {"ARTIST=Band", "ALBUM=Record"});
    const std::string output = m_dir / "out";
    const std::string update = "--coder FLAC --existing update --output " + ShellQuoted(output) +
                               " " + ShellQuoted(sources);
    ASSERT_EQ(Run("--no-loudness " + update).Exit, 0);
    EXPECT_EQ(ProbeTags(output + "/01.flac", m_dir.Path().string()).count("REPLAYGAIN_TRACK_GAIN"),
              0u);
    const CliResult tagged = Run("--loudness " + update);
    ASSERT_EQ(tagged.Exit, 0) << tagged.Out;
    EXPECT_NE(tagged.Out.find("Written: " + output + "/01.flac"), std::string::npos) << tagged.Out;
    const auto tags = ProbeTags(output + "/01.flac", m_dir.Path().string());
    EXPECT_EQ(tags.count("REPLAYGAIN_TRACK_GAIN"), 1u);
    EXPECT_EQ(tags.count("REPLAYGAIN_ALBUM_GAIN"), 1u);
    // Up to date now: skipped, and its outputs keep the figures they have, so nothing is said.
    const CliResult again = Run("--loudness " + update);
    EXPECT_EQ(again.Out.find("Written:"), std::string::npos) << again.Out;
    EXPECT_EQ(again.Out.find("No album gain"), std::string::npos) << again.Out;
    EXPECT_EQ(ProbeTags(output + "/01.flac", m_dir.Path().string()).count("REPLAYGAIN_ALBUM_GAIN"),
              1u);
}
