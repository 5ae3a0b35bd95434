// Output names from tags: sources tagged by the real tools (flac, metaflac, ffmpeg, lame), read
// by kelto's tag layer, and names that stay safe whatever the tags hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/EngineFiles.h"
#include "session/NamePattern.h"
#include "support/TempDir.h"

namespace {

const CNamePattern kAlbumPattern("%albumartist%/%album%/%disc%-%track% - %title% (%year%)");

std::vector<std::string> Parts(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t end = path.find('/', at);
        if (end == std::string::npos) end = path.size();
        parts.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

bool IsUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

// What every name the pattern makes must be, wherever the output lands: no part empty,
// hidden, "." or "..", none with a character FAT, exFAT or NTFS refuse, all UTF-8, each part
// within 255 bytes, and the last one still when " (9999)" and ".kelto-new9999" are added.
void ExpectSafe(const std::string& name) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(IsUtf8(name));
    const std::vector<std::string> parts = Parts(name);
    for (const std::string& part : parts) {
        ASSERT_FALSE(part.empty());
        EXPECT_NE(part.front(), '.');
        EXPECT_NE(part.front(), ' ');
        EXPECT_NE(part.back(), ' ');
        EXPECT_EQ(part.find_first_of("\\:*?\"<>|\x01\x1f\x7f"), std::string::npos);
        EXPECT_LE(part.size(), 255u);
    }
    EXPECT_LE(parts.back().size() + 7 + 14, 255u);
}

class NamePatternTest : public ::testing::Test {
protected:
    // A short FLAC file made by flac with each "KEY=value" of tags.
    std::string Flac(const std::string& name, const std::vector<std::string>& tags) {
        std::string command = "flac -s -f";
        for (const std::string& tag : tags) command += " -T " + ShellQuoted(tag);
        const std::string path = m_dir / name;
        EXPECT_TRUE(RunShell(command + " -o " + ShellQuoted(path) + " " + ShellQuoted(Wav())));
        return path;
    }
    std::string Wav() {
        const std::string wav = m_dir / "source.wav";
        WriteTestWav(wav, 44100, 2, 0.1, 1);
        return wav;
    }

    TempDir m_dir;
};

TEST_F(NamePatternTest, HostileTagsGiveSafeNamesOfTheTagsWithinTheLimits) {
    std::string longTitle;
    while (longTitle.size() < 300) longTitle += "\xC3\xA9";  // é, two bytes each
    const std::string hostile =
        Flac("hostile.flac", {"ARTIST=AC/DC", "ALBUMARTIST=", "ALBUM=..",
                              "TITLE=" + longTitle + "/x", "TRACKNUMBER=7/12", "DISCNUMBER=2",
                              "DATE=1980-07-25", "GENRE=.hidden", "COMPOSER=a:b*c?d<e>f|g\"h\\i"});
    const std::string name = kAlbumPattern.NameFor(hostile, ".flac");
    ExpectSafe(name);
    const std::vector<std::string> parts = Parts(name);
    ASSERT_EQ(parts.size(), 3u);
    // An empty album artist falls back to the artist, whose "/" names no folder.
    EXPECT_EQ(parts[0], "AC_DC");
    EXPECT_EQ(parts[1], "__");
    // The title is cut between characters, leaving room for a number and the write-apart mark
    // besides the extension.
    EXPECT_EQ(parts[2].rfind("02-07 - \xC3\xA9\xC3\xA9", 0), 0u) << parts[2];
    EXPECT_EQ(parts[2].substr(parts[2].size() - 5), ".flac");
    EXPECT_GE(parts[2].size() + 7 + 14, 253u);

    const CNamePattern everything("%genre%/%composer%/%name% %stem% %folder% . ..");
    const std::string other = everything.NameFor(hostile, ".mp3");
    ExpectSafe(other);
    EXPECT_EQ(other, "_hidden/a_b_c_d_e_f_g_h_i/hostile.flac hostile " +
                         m_dir.Path().filename().string() + " . ._.mp3");

    // Bytes that are not UTF-8, in a tag (written raw by ffmpeg) and in the source's own name.
    const std::string raw = m_dir / "raw.flac";
    ASSERT_TRUE(RunShell("ffmpeg -loglevel error -y -i " + ShellQuoted(hostile) +
                         " -map_metadata -1 -metadata " + ShellQuoted("title=ab\xFF\xFE/cd\xC3") +
                         " -metadata " + ShellQuoted("album=\xE9t\xE9") + " -c copy " +
                         ShellQuoted(raw)));
    ExpectSafe(kAlbumPattern.NameFor(raw, ".flac"));
    const std::string badName = m_dir /
                                "st\xFF"
                                "em\xC3.flac";
    ASSERT_TRUE(RunShell("cp " + ShellQuoted(raw) + " " + ShellQuoted(badName)));
    const std::string fromName = CNamePattern("%title% %stem%").NameFor(badName, ".ogg");
    ExpectSafe(fromName);
    EXPECT_NE(fromName.find("st_em_.ogg"), std::string::npos) << fromName;
}

TEST_F(NamePatternTest, MissingTagsFallBackAndEmptyPartsNeverNameAnything) {
    // No tags at all: every placeholder still says something, and the title is the stem.
    const std::string bare = Flac("bare song.flac", {});
    EXPECT_EQ(kAlbumPattern.NameFor(bare, ".flac"),
              "Unknown Artist/Unknown Album/01-00 - bare song (Unknown Year).flac");
    // Only an artist and a track beyond 99: the album artist is the artist, 123 stays 123.
    const std::string some = Flac("some.flac", {"ARTIST=Solo", "TRACKNUMBER=123", "DATE=x"});
    EXPECT_EQ(kAlbumPattern.NameFor(some, ".wv"), "Solo/Unknown Album/01-123 - some (x).wv");
    // A tag of blanks, leading and doubled "/", blank folder parts: no empty part, no empty name.
    const std::string blank = Flac("blank.flac", {"TITLE=   ", "ALBUM= \t "});
    EXPECT_EQ(CNamePattern("//%album%// /%title%").NameFor(blank, ".flac"),
              "Unknown Album/blank.flac");
    EXPECT_EQ(CNamePattern("%album%/ ").NameFor(blank, ".flac"), "Unknown Album/blank.flac");
    // Device names Windows keeps for itself are not names on its file systems.
    EXPECT_EQ(CNamePattern("con/%stem%").NameFor(blank, ".flac"), "con_/blank.flac");

    // An MP3 tagged by lame: its ID3 tags are read as well.
    const std::string mp3 = m_dir / "lame.mp3";
    ASSERT_TRUE(RunShell("lame --quiet --ta Band --tl Disc --tt 'Song: One' --tn 4/9 --ty 1999 " +
                         ShellQuoted(Wav()) + " " + ShellQuoted(mp3)));
    EXPECT_EQ(kAlbumPattern.NameFor(mp3, ".opus"), "Band/Disc/01-04 - Song_ One (1999).opus");

    // Beside the source only the last part names the output; without a pattern, nothing.
    EXPECT_EQ(kAlbumPattern.OutputPath("", mp3, ".ogg"), m_dir / "01-04 - Song_ One (1999).ogg");
    EXPECT_EQ(kAlbumPattern.OutputPath("/o/", mp3, ".ogg"),
              "/o/Band/Disc/01-04 - Song_ One (1999).ogg");
    EXPECT_EQ(CNamePattern("").OutputPath("/o/", mp3, ".ogg"), "");
    EXPECT_EQ(CNamePattern("%albumartist%/%nope%/%title%").UnknownPlaceholder(), "%nope%");
    EXPECT_EQ(kAlbumPattern.UnknownPlaceholder(), "");
}

}  // namespace
