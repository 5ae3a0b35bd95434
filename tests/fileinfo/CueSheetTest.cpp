// The cue sheet reader on sheets as rippers really write them: odd line endings, quoting,
// encodings, pregaps and several files, and where each track's audio lies.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "fileinfo/CueSheet.h"
#include "fileinfo/EmbeddedCueSheet.h"

namespace {

using Span = CCueSheet::Span;

struct SheetCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Titles;  // the tracks' titles in order
    std::vector<Span> Spans;
    std::string Album;
    std::string Genre;
    std::string Date;
};

std::vector<SheetCase> Cases() {
    return {
        {"CrLfQuotedWithPregapAndRemFields",
         "\xEF\xBB\xBFREM GENRE \"Jazz Rock\"\r\nREM DATE 1999\r\nTITLE \"Ål\"\r\n"
         "FILE \"a b.flac\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n"
         "    INDEX 01 00:02:00\r\n  TRACK 02 AUDIO\r\n    TITLE \"Two\"\r\n"
         "    INDEX 00 01:00:00\r\n    INDEX 01 01:02:37\r\n",
         {"One", "Two"},
         {{0, 0, 0, 4687}, {1, 0, 4687, -1}},
         "Ål",
         "Jazz Rock",
         "1999"},
        {"BareValuesLoneCrAndUnknownCommands",
         "TITLE Bare Album Name\rFLAGS DCP\rFILE image.wav WAVE\rTRACK 1 AUDIO\r"
         "TITLE Bare Title\rPREGAP 00:02:00\rINDEX 1 0:00:00\rPOSTGAP 00:01:00\r",
         {"Bare Title"},
         {{0, 0, 0, -1}},
         "Bare Album Name",
         "",
         ""},
        {"MissingClosingQuoteRunsToTheLineEnd",
         "FILE \"x.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"Unclosed title\nINDEX 01 00:00:00\n",
         {"Unclosed title"},
         {{0, 0, 0, -1}},
         "",
         "",
         ""},
        {"Windows1252TextBecomesUtf8",
         "TITLE \"Caf\xE9 \x80\"\nFILE x.wav WAVE\nTRACK 01 AUDIO\nTITLE \"M\xFCller\"\n"
         "INDEX 01 00:00:00\n",
         {"Müller"},
         {{0, 0, 0, -1}},
         "Café €",
         "",
         ""},
        // Sheets of Russian and Japanese Windows, told apart from Western ones by how many of
        // their letters lie above 0x7F, and from each other by the ranges those bytes are in.
        {"Windows1251TextBecomesUtf8",
         "REM GENRE \"\xCA\xE8\xED\xEE\"\nTITLE \"\xC3\xF0\xF3\xEF\xEF\xE0 "
         "\xEA\xF0\xEE\xE2\xE8\"\nFILE x.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
         {""},
         {{0, 0, 0, -1}},
         "Группа крови",
         "Кино",
         ""},
        {"ShiftJisTextBecomesUtf8",
         "TITLE \"\x83\x58\x83\x67\"\nREM GENRE J-Pop\nFILE x.wav WAVE\n"
         "TRACK 01 AUDIO\nTITLE \"\x83\x65\x83\x58\x83\x67\"\nINDEX 01 00:00:00\n",
         {"テスト"},
         {{0, 0, 0, -1}},
         "スト",
         "J-Pop",
         ""},
        // Track 2's pregap ends file 1 and its INDEX 01 opens file 2: track 1 keeps the gap,
        // and track 2 starts at the beginning of file 2.
        {"SeveralFilesWithAPregapAcrossTheBorder",
         "FILE \"1.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
         "INDEX 00 03:00:00\nFILE \"2.wav\" WAVE\nINDEX 01 00:01:00\nTRACK 03 AUDIO\n"
         "INDEX 01 02:00:00\n",
         {"", "", ""},
         {{0, 0, 0, -1}, {1, 1, 0, 9000}, {2, 1, 9000, -1}},
         "",
         "",
         ""},
        {"TracksNumberedZeroOrNotAtAllAreLetGoWithTheirLines",
         "FILE x.wav WAVE\nTRACK 01 AUDIO\nTITLE One\nINDEX 01 00:00:00\nTRACK 00 AUDIO\n"
         "TITLE Zero\nINDEX 01 00:05:00\nTRACK 02 AUDIO\nTITLE Two\nINDEX 01 00:10:00\n"
         "TRACK xx AUDIO\nTITLE Bad\nINDEX 01 00:12:00\n",
         {"One", "Two"},
         {{0, 0, 0, 750}, {1, 0, 750, -1}},
         "",
         "",
         ""},
        {"TracksWithoutIndex01AndBrokenTimesAreLeftOut",
         "FILE x.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:xx:00\nTRACK 02 AUDIO\nINDEX 01 00:10:00\n"
         "TRACK 03 AUDIO\nINDEX 00 00:20:00\n",
         {"", "", ""},
         {{1, 0, 0, -1}},
         "",
         "",
         ""},
    };
}

class CueSheetTableTest : public ::testing::TestWithParam<SheetCase> {};

TEST_P(CueSheetTableTest, ReadsTitlesTagsAndWhereEachTrackLies) {
    const SheetCase& sheetCase = GetParam();
    const CCueSheet sheet = CCueSheet::Parse(sheetCase.Bytes);
    std::vector<std::string> titles;
    for (const auto& track : sheet.Tracks) titles.push_back(track.Title);
    EXPECT_EQ(titles, sheetCase.Titles);
    EXPECT_EQ(sheet.Spans(), sheetCase.Spans);
    EXPECT_EQ(sheet.Title, sheetCase.Album);
    EXPECT_EQ(sheet.Genre, sheetCase.Genre);
    EXPECT_EQ(sheet.Date, sheetCase.Date);
}

INSTANTIATE_TEST_SUITE_P(OddSheets, CueSheetTableTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CueSheetTest, FileNamesUtf16AndFramesToSamples) {
    // UTF-16 with its byte-order mark, as some Windows tools save sheets.
    std::string utf16 = "\xFF\xFE";
    for (const unsigned char c : std::string("FILE \"\xC5.flac\" WAVE\n")) {
        utf16 += static_cast<char>(c);
        utf16 += '\0';
    }
    const CCueSheet sheet = CCueSheet::Parse(utf16);
    ASSERT_EQ(sheet.Files.size(), 1u);
    EXPECT_EQ(sheet.Files[0], "Å.flac");
    // Big-endian, with a surrogate pair and a lone surrogate.
    EXPECT_EQ(CCueSheet::DecodeText(std::string("\xFE\xFF\xD8\x3D\xDE\x00\x00\x41\xDC\x00", 10)),
              "\xF0\x9F\x98\x80" "A\xEF\xBF\xBD");
    EXPECT_EQ(CCueSheet::Parse("FILE bare name.wav WAVE\n").Files[0], "bare name.wav");
    // One frame is 588 samples at 44.1 kHz and 640 at 48 kHz, exactly.
    EXPECT_EQ(CCueSheet::FramesToSamples(75 * 60 + 1, 44100), 2646588);
    EXPECT_EQ(CCueSheet::FramesToSamples(1, 48000), 640);
    // The longest time a sheet may give, at the rate a forged header may claim, holds at the
    // largest count instead of wrapping round to a negative start.
    EXPECT_EQ(CCueSheet::FramesToSamples((99999999LL * 60 + 59) * 75, 2000000000),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_TRUE(CCueSheet::IsValidUtf8("Müller €"));
    EXPECT_FALSE(CCueSheet::IsValidUtf8("M\xFCller"));
    EXPECT_FALSE(CCueSheet::IsValidUtf8("\xC0\xAF"));  // overlong "/"
    EXPECT_FALSE(CCueSheet::IsValidUtf8("end\xE2\x82"));
}

TEST(CueSheetTest, EmbeddedSheetsComeFromFlacCommentsAndApeItems) {
    // A Vorbis comment block holding a CUESHEET field among others.
    auto little = [](std::uint32_t value) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    const std::string sheet = "FILE x WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    const std::string comments[] = {"TITLE=x", "cuesheet=" + sheet};
    std::string block = little(3) + "abc" + little(2);
    for (const std::string& comment : comments)
        block += little(static_cast<std::uint32_t>(comment.size())) + comment;
    std::string flac = "fLaC";
    flac += static_cast<char>(0x80 | 4);
    flac += static_cast<char>(block.size() >> 16);
    flac += static_cast<char>(block.size() >> 8);
    flac += static_cast<char>(block.size());
    EXPECT_EQ(embedded_cue::FromFlacMetadata(flac + block), sheet);
    // A block that claims more bytes than there are gives nothing, without reading past them.
    EXPECT_EQ(embedded_cue::FromFlacMetadata(flac + block.substr(0, 20)), "");

    const std::string items = little(2) + little(0) + "Title" + '\0' + "ab" +
                              little(static_cast<std::uint32_t>(sheet.size())) + little(0) +
                              "CUESHEET" + '\0' + sheet;
    EXPECT_EQ(embedded_cue::FromApeItems(items, 2), sheet);
    EXPECT_EQ(embedded_cue::FromApeItems(items.substr(0, items.size() - 3), 2), "");
}

}  // namespace
