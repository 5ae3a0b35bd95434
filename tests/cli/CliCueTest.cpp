// Images split by cue sheets, through the built kelto-cli on files the real encoders make: the
// tracks decoded and joined give back the image's samples exactly, whatever the sheet's
// encoding, its pregaps, its files or where it is kept.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "session/EngineFiles.h"
#include "tags/TagFiles.h"

namespace fs = std::filesystem;

namespace {

class CliCueTest : public CliFixture {
protected:
    // Converts input to FLAC in outputs and checks that the named tracks, decoded and joined
    // in order, hold exactly the samples of images (decoded and joined too).
    void ExpectJoinedBack(const std::string& input, const std::string& outputs,
                          const std::vector<std::string>& tracks,
                          const std::vector<std::string>& images) {
        const CliResult run = Run("--coder FLAC --existing overwrite --output " +
                                  ShellQuoted(outputs) + " " + ShellQuoted(input));
        ASSERT_EQ(run.Exit, 0) << run.Out << run.Err;
        EXPECT_EQ(CountOf(run.Out, "Written: "), static_cast<int>(tracks.size())) << run.Out;
        std::string joined;
        for (const std::string& track : tracks) {
            const WavPcm pcm = DecodeBack(outputs + "/" + track, m_dir / "scratch");
            ASSERT_TRUE(pcm.Valid) << track << "\n" << run.Out;
            joined += pcm.Data;
        }
        std::string whole;
        for (const std::string& image : images) whole += DecodeBack(image, m_dir / "scratch").Data;
        ASSERT_FALSE(whole.empty());
        EXPECT_EQ(joined.size(), whole.size());
        EXPECT_TRUE(joined == whole) << "the tracks do not join back into the image";
    }

    void SetUp() override { fs::create_directories(m_dir / "scratch"); }
};

// Audio before track 1's INDEX 01 and track 3's pregap (INDEX 00) lie inside the image; the
// sheet names the image as the WAV file it was ripped to.
constexpr const char* kPregapSheet =
    "REM GENRE Chanson\r\nREM DATE 1987\r\nPERFORMER \"Orchestre\"\r\nTITLE \"{album}\"\r\n"
    "FILE \"image.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"{first}\"\r\n"
    "    INDEX 01 00:00:32\r\n  TRACK 02 AUDIO\r\n    TITLE \"Deux\"\r\n"
    "    INDEX 01 00:03:10\r\n  TRACK 03 AUDIO\r\n    TITLE \"Trois\"\r\n"
    "    PERFORMER \"Soliste\"\r\n    INDEX 00 00:05:00\r\n    INDEX 01 00:06:41\r\n";

std::string Sheet(const std::string& album, const std::string& first) {
    std::string sheet = kPregapSheet;
    sheet.replace(sheet.find("{album}"), 7, album);
    sheet.replace(sheet.find("{first}"), 7, first);
    return sheet;
}

TEST_F(CliCueTest, FlacImageTracksJoinBackWithSheetTagsFromAnyEncoding) {
    WriteTestWav(m_dir / "image.wav", 44100, 2, 9.0, 11);
    // Two folders, each an image and its sheet: one Windows-1252, one UTF-8 with a BOM.
    const std::map<std::string, std::string> sheets = {
        {"legacy", Sheet("Caf\xE9", "Pr\xE9lude")},
        {"bom", "\xEF\xBB\xBF" + Sheet("Café", "Prélude")}};
    for (const auto& [folder, sheet] : sheets) {
        fs::create_directories(m_dir / folder);
        ASSERT_TRUE(EncodeWith(m_dir / "image.wav", m_dir / (folder + "/image.flac")));
        WriteFileBytes(m_dir / (folder + "/album.cue"), sheet);
    }
    const std::vector<std::string> tracks = {"01 - Prélude.flac", "02 - Deux.flac",
                                             "03 - Trois.flac"};

    // The sheet lists three tracks of the image, the first with what comes before INDEX 01.
    const CliResult info = Run("--info " + ShellQuoted(m_dir / "legacy/album.cue"));
    ASSERT_EQ(info.Exit, 0) << info.Err;
    EXPECT_EQ(CountOf(info.Out, "\"track\": "), 3) << info.Out;
    EXPECT_NE(info.Out.find("\"track\": 1, \"title\": \"Prélude\", \"performer\": \"Orchestre\", "
                            "\"album\": \"Café\", \"first_sample\": 0, \"samples\": 138180"),
              std::string::npos)
        << info.Out;
    // Track 2 runs up to track 3's INDEX 01, its pregap included.
    EXPECT_NE(info.Out.find("\"first_sample\": 138180, \"samples\": 150528"), std::string::npos)
        << info.Out;

    // The folder holds the image and its sheet: its tracks are listed, not the image.
    ExpectJoinedBack(m_dir / "legacy", m_dir / "out-legacy", tracks, {m_dir / "image.wav"});
    ExpectJoinedBack(m_dir / "bom/album.cue", m_dir / "out-bom", tracks, {m_dir / "image.wav"});

    const auto fields = ReadFields(m_dir / "out-bom/03 - Trois.flac");
    EXPECT_EQ(fields.at("TITLE"), "Trois");
    EXPECT_EQ(fields.at("ARTIST"), "Soliste");
    EXPECT_EQ(fields.at("ALBUM"), "Café");
    EXPECT_EQ(fields.at("DATE"), "1987");
    EXPECT_EQ(fields.at("GENRE"), "Chanson");
    EXPECT_EQ(fields.at("TRACKNUMBER").substr(0, 1), "3");

    // With a name pattern the placeholders take the sheet's tags.
    const CliResult named =
        Run("--coder FLAC --name '%artist%/%track% %title%' --output " +
            ShellQuoted(m_dir / "named") + " " + ShellQuoted(m_dir / "bom/album.cue"));
    ASSERT_EQ(named.Exit, 0) << named.Out << named.Err;
    EXPECT_TRUE(fs::exists(m_dir / "named/Soliste/03 Trois.flac")) << named.Out;
    EXPECT_TRUE(fs::exists(m_dir / "named/Orchestre/01 Prélude.flac")) << named.Out;
}

TEST_F(CliCueTest, SheetOverTwoFilesAndWavPackWithItsSheetInsideJoinBack) {
    // Track 2's pregap ends the first file; its INDEX 01 opens the second, which track 3 shares.
    fs::create_directories(m_dir / "two");
    WriteTestWav(m_dir / "two/one.wav", 48000, 2, 3.0, 21);
    WriteTestWav(m_dir / "two/two.wav", 48000, 2, 4.0, 22);
    WriteFileBytes(m_dir / "two/two.cue",
                   "FILE \"one.wav\" WAVE\nTRACK 01 AUDIO\nTITLE A\nINDEX 01 00:00:00\n"
                   "TRACK 02 AUDIO\nTITLE B\nINDEX 00 00:02:00\nFILE \"two.wav\" WAVE\n"
                   "INDEX 01 00:00:00\nTRACK 03 AUDIO\nTITLE C\nINDEX 01 00:01:37\n");
    ExpectJoinedBack(m_dir / "two", m_dir / "out-two",
                     {"01 - A.flac", "02 - B.flac", "03 - C.flac"},
                     {m_dir / "two/one.wav", m_dir / "two/two.wav"});

    WriteTestWav(m_dir / "source.wav", 44100, 2, 6.0, 23);
    const std::string sheet =
        "TITLE Inside\nFILE \"x.wav\" WAVE\nTRACK 01 AUDIO\nTITLE Un\nINDEX 01 00:00:00\n"
        "TRACK 02 AUDIO\nTITLE Deux\nINDEX 00 00:02:00\nINDEX 01 00:02:50\n";
    WriteFileBytes(m_dir / "sheet.txt", sheet);
    fs::create_directories(m_dir / "wv");
    ASSERT_TRUE(RunShell("wavpack -q -y " + ShellQuoted(m_dir / "source.wav") + " -w " +
                         ShellQuoted("Cuesheet=@" + (m_dir / "sheet.txt")) + " -o " +
                         ShellQuoted(m_dir / "wv/image.wv")));
    ExpectJoinedBack(m_dir / "wv/image.wv", m_dir / "out-wv", {"01 - Un.flac", "02 - Deux.flac"},
                     {m_dir / "source.wav"});
}

TEST_F(CliCueTest, UpdatingConvertsAgainOnlyTheTracksWhoseSheetOrImageChanged) {
    WriteTestWav(m_dir / "image.wav", 44100, 2, 9.0, 41);
    fs::create_directories(m_dir / "lib");
    ASSERT_TRUE(EncodeWith(m_dir / "image.wav", m_dir / "lib/image.flac"));
    WriteFileBytes(m_dir / "lib/album.cue", Sheet("Album", "Un"));
    const std::string update = "--coder FLAC --existing update --output " +
                               ShellQuoted(m_dir / "out") + " " + ShellQuoted(m_dir / "lib");
    const CliResult first = Run(update);
    ASSERT_EQ(first.Exit, 0) << first.Out << first.Err;
    EXPECT_EQ(CountOf(first.Out, "Written: "), 3) << first.Out;

    const CliResult again = Run(update);
    ASSERT_EQ(again.Exit, 0) << again.Out << again.Err;
    EXPECT_EQ(CountOf(again.Out, "Written: "), 0) << again.Out;
    EXPECT_EQ(CountOf(again.Out, "is up to date"), 3) << again.Out;

    // A new title for track 1: it alone is converted again, under the name it has.
    WriteFileBytes(m_dir / "lib/album.cue", Sheet("Album", "Eins"));
    const CliResult edited = Run(update);
    ASSERT_EQ(edited.Exit, 0) << edited.Out << edited.Err;
    EXPECT_EQ(CountOf(edited.Out, "Written: "), 1) << edited.Out;
    EXPECT_NE(edited.Out.find("Written: " + (m_dir / "out/01 - Un.flac")), std::string::npos)
        << edited.Out;
    EXPECT_EQ(ReadFields(m_dir / "out/01 - Un.flac").at("TITLE"), "Eins");

    // A new image: every track again, and nothing doubled.
    ASSERT_TRUE(RunShell("touch -d '2001-01-01' " + ShellQuoted(m_dir / "lib/image.flac")));
    const CliResult touched = Run(update);
    EXPECT_EQ(CountOf(touched.Out, "Written: "), 3) << touched.Out;
    EXPECT_EQ(OutputTree(m_dir / "out").size(), 3u);
}

TEST_F(CliCueTest, TracksOfACompilationSheetShareTheirAlbumGain) {
    // No performer for the whole album, one for each track, and a quiet and a loud track.
    ASSERT_TRUE(RunShell("sox -n -r 44100 -c 2 -b 16 " + ShellQuoted(m_dir / "mix.wav") +
                         " synth 3 sine 440 vol 0.1 : synth 3 sine 440 vol 0.8"));
    WriteFileBytes(m_dir / "mix.cue",
                   "TITLE Mix\nFILE mix.wav WAVE\nTRACK 01 AUDIO\nPERFORMER A\nINDEX 01 00:00:00\n"
                   "TRACK 02 AUDIO\nPERFORMER B\nINDEX 01 00:03:00\n");
    const CliResult run =
        Run("--coder FLAC --loudness --output " + ShellQuoted(m_dir / "out") + " " +
            ShellQuoted(m_dir / "mix.cue"));
    ASSERT_EQ(run.Exit, 0) << run.Out << run.Err;
    const auto first = ReadFields(m_dir / "out/01.flac");
    const auto second = ReadFields(m_dir / "out/02.flac");
    ASSERT_TRUE(first.count("REPLAYGAIN_ALBUM_GAIN") && second.count("REPLAYGAIN_ALBUM_GAIN"))
        << run.Out;
    EXPECT_NE(first.at("REPLAYGAIN_TRACK_GAIN"), second.at("REPLAYGAIN_TRACK_GAIN"));
    EXPECT_EQ(first.at("REPLAYGAIN_ALBUM_GAIN"), second.at("REPLAYGAIN_ALBUM_GAIN"));
    EXPECT_EQ(first.at("REPLAYGAIN_ALBUM_PEAK"), second.at("REPLAYGAIN_ALBUM_PEAK"));
}

TEST_F(CliCueTest, TracksWrittenBesideTheirImageAreRecordedSoAnUpdateLeavesThemBe) {
    fs::create_directories(m_dir / "album");
    WriteTestWav(m_dir / "album/image.wav", 44100, 2, 3.0, 41);
    WriteFileBytes(m_dir / "album/image.cue",
                   "FILE image.wav WAVE\nTRACK 01 AUDIO\nTITLE A\nINDEX 01 00:00:00\n"
                   "TRACK 02 AUDIO\nTITLE B\nINDEX 01 00:01:00\n");
    const std::string update = "--coder FLAC --existing update " + ShellQuoted(m_dir / "album");
    const CliResult first = Run(update);
    ASSERT_EQ(first.Exit, 0) << first.Out << first.Err;
    EXPECT_EQ(CountOf(first.Out, "Written: "), 2) << first.Out;
    // The folder added again lists the image's tracks, not the outputs beside it, and finds
    // each track's output up to date.
    const CliResult second = Run(update);
    ASSERT_EQ(second.Exit, 0) << second.Out << second.Err;
    EXPECT_EQ(CountOf(second.Out, "Written: "), 0) << second.Out;
    EXPECT_EQ(CountOf(second.Out, "is up to date\n"), 2) << second.Out;
    EXPECT_FALSE(fs::exists(m_dir / "album/01 - A (2).flac"));
}

TEST_F(CliCueTest, SheetsThatDoNotFitTheirImageAreRefusedWithTheReason) {
    WriteTestWav(m_dir / "short.wav", 44100, 2, 2.0, 31);
    WriteFileBytes(m_dir / "missing.cue",
                   "FILE \"gone.flac\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    WriteFileBytes(m_dir / "long.cue",
                   "FILE \"short.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                   "TRACK 02 AUDIO\nINDEX 01 00:05:00\n");
    // An MP3 without a Xing header, whose length MediaInfo only estimates.
    ASSERT_TRUE(RunShell("lame --quiet -t -b 128 " + ShellQuoted(m_dir / "short.wav") + " " +
                         ShellQuoted(m_dir / "estimated.mp3")));
    WriteFileBytes(m_dir / "estimated.cue",
                   "FILE \"estimated.mp3\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                   "TRACK 02 AUDIO\nINDEX 01 00:05:00\n");
    const CliResult run = Run("--info " + ShellQuoted(m_dir / "missing.cue") + " " +
                              ShellQuoted(m_dir / "long.cue") + " " +
                              ShellQuoted(m_dir / "estimated.cue"));
    EXPECT_NE(run.Exit, 0);
    EXPECT_NE(run.Err.find("estimated.cue: A track of the cue sheet lies past the end of its "
                           "image: track 2"),
              std::string::npos)
        << run.Err;
    EXPECT_NE(run.Err.find("missing.cue: The cue sheet names a file that is missing: gone.flac"),
              std::string::npos)
        << run.Err;
    EXPECT_NE(run.Err.find("long.cue: A track of the cue sheet lies past the end of its image: "
                           "track 2"),
              std::string::npos)
        << run.Err;
}

}  // namespace
