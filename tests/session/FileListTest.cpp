#include <gtest/gtest.h>

#include <filesystem>

#include "base/TextFileException.h"
#include "fileinfo/FileInfo.h"
#include "session/FileList.h"
#include "support/TempDir.h"

namespace {

// A real, small PCM WAV file: 16-bit stereo at 44,100 Hz with a few samples.
std::string WaveBytes() {
    auto le = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    const std::string samples(64, '\0');
    return "RIFF" + le(36 + samples.size(), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(2, 2) +
           le(44100, 4) + le(44100 * 4, 4) + le(4, 2) + le(16, 2) + "data" + le(samples.size(), 4) +
           samples;
}

std::vector<std::string> Paths(const CFileList& list) {
    std::vector<std::string> paths;
    for (int i = 0; i < list.Count(); ++i) paths.push_back(list.Get(i)->Path);
    return paths;
}

std::size_t FilesIn(const TempDir& dir) {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

// UTF-16 text with the byte order chosen, surrogate pairs for characters beyond U+FFFF.
std::string Utf16(const std::u32string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&](char16_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (char32_t c : text) {
        if (c > 0xFFFF) {
            unit(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            unit(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            unit(static_cast<char16_t>(c));
        }
    }
    return out;
}

class FileListTest : public ::testing::Test {
protected:
    std::string MakeWave(const std::string& name) {
        const std::string path = m_dir / name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFileBytes(path, WaveBytes());
        return path;
    }

    TempDir m_dir;
    CFileList m_list;
};

TEST_F(FileListTest, AddKeepsReadableFilesInOrderAndAllowsTheSamePathTwice) {
    const std::string wave = MakeWave("a.wav");
    WriteFileBytes(m_dir / "broken.wav", "RIFF");
    EXPECT_TRUE(m_list.Add(wave));
    EXPECT_FALSE(m_list.Add(m_dir / "broken.wav"));  // the WAV reader refuses it
    EXPECT_TRUE(m_list.Add(m_dir / "notes.xyz"));    // no reader: kept as Unknown
    EXPECT_TRUE(m_list.Add(wave));
    EXPECT_EQ(Paths(m_list), (std::vector<std::string>{wave, m_dir / "notes.xyz", wave}));
    EXPECT_EQ(m_list.Get(0)->SampleRate, 44100);
    EXPECT_EQ(m_list.Get(0)->Channels, 2);
    EXPECT_EQ(m_list.Get(-1), nullptr);
    EXPECT_EQ(m_list.Get(3), nullptr);

    m_list.Remove(1);
    m_list.Remove(5);
    EXPECT_EQ(Paths(m_list), (std::vector<std::string>{wave, wave}));
    m_list.Clear();
    EXPECT_EQ(m_list.Count(), 0);
}

TEST_F(FileListTest, SaveWritesEachPathWithCrLfAndNothingElse) {
    const std::string playlist = m_dir / "list.m3u";
    ASSERT_TRUE(m_list.SavePlaylist(playlist));
    EXPECT_EQ(ReadFileBytes(playlist), "");

    ASSERT_TRUE(m_list.Add("/music/a.xyz"));
    ASSERT_TRUE(m_list.Add("/music/b c/d.xyz"));
    ASSERT_TRUE(m_list.SavePlaylist(playlist));
    EXPECT_EQ(ReadFileBytes(playlist), "/music/a.xyz\r\n/music/b c/d.xyz\r\n");
    EXPECT_EQ(FilesIn(m_dir), 1u);
}

TEST_F(FileListTest, PlaylistsLoadInEveryEncodingWithCharactersBeyondTheBasicPlane) {
    const std::string wave = MakeWave("m\xC3\xBCsic \xF0\x9F\x8E\xB5.wav");  // "müsic 🎵.wav"
    const std::u32string wide = U"m\u00fcsic \U0001F3B5.wav";
    const std::string dir = m_dir.Path().string();  // ASCII
    const std::u32string folder(dir.begin(), dir.end());
    const std::u32string lines = U"\r\n  \t\r\n" + folder + U"/" + wide + U"  \n" + folder + U"/" +
                                 wide;  // blank lines, white space, no final terminator
    const std::string utf8Lines = "\r\n  \t\r\n" + wave + "  \n" + wave;
    const std::pair<const char*, std::string> playlists[] = {
        {"ansi", utf8Lines},
        {"utf8", "\xEF\xBB\xBF" + utf8Lines},
        {"utf16le", Utf16(lines, false)},
        {"utf16be", Utf16(lines, true)},
    };
    for (const auto& [name, bytes] : playlists) {
        WriteFileBytes(m_dir / name, bytes);
        ASSERT_TRUE(m_list.LoadPlaylist(m_dir / name));
        EXPECT_EQ(Paths(m_list), (std::vector<std::string>{wave, wave})) << name;
        EXPECT_EQ(m_list.Get(1)->SampleRate, 44100) << name;
    }

    ASSERT_TRUE(m_list.SavePlaylist(m_dir / "saved.m3u"));
    CFileList reloaded;
    ASSERT_TRUE(reloaded.LoadPlaylist(m_dir / "saved.m3u"));
    EXPECT_EQ(Paths(reloaded), (std::vector<std::string>{wave, wave}));
}

TEST_F(FileListTest, ExtendedPlaylistsSkipTagsAndFindRelativePathsBesideThePlaylist) {
    const std::string wave = MakeWave("albums/one/track.wav");
    WriteFileBytes(m_dir / "albums/list.m3u",
                   "#EXTM3U\r\n"
                   "#EXTINF:12,Artist - Track\r\n"
                   "one/track.wav\r\n"
                   "  # indented comment\r\n" +
                       wave + "\r\n");
    ASSERT_TRUE(m_list.LoadPlaylist(m_dir / "albums/list.m3u"));
    EXPECT_EQ(Paths(m_list), (std::vector<std::string>{m_dir / "albums/one/track.wav", wave}));
    EXPECT_EQ(m_list.Get(0)->FormatId, m_list.Get(1)->FormatId);
}

TEST_F(FileListTest, LoadingClearsTheListIgnoresAddOnlyExistsAndAMissingPlaylistGivesNone) {
    ASSERT_TRUE(m_list.Add("/first.xyz"));
    WriteFileBytes(m_dir / "list.m3u", "/no/such/file.xyz\r\n/no/such/file.xyz\r\n");
    ASSERT_TRUE(m_list.LoadPlaylist(m_dir / "list.m3u"));
    EXPECT_EQ(Paths(m_list), (std::vector<std::string>{"/no/such/file.xyz", "/no/such/file.xyz"}));

    EXPECT_TRUE(m_list.LoadPlaylist(m_dir / "missing.m3u"));
    EXPECT_EQ(m_list.Count(), 0);
}

TEST_F(FileListTest, ReadErrorOfAPlaylistRaises) {
    // Reading this process's memory at address 0 fails with EIO.
    EXPECT_THROW(m_list.LoadPlaylist("/proc/self/mem"), CTextFileException);
}

TEST_F(FileListTest, SaveReplacesTheOldPlaylistOnlyWhenTheNewOneIsComplete) {
    const std::string playlist = m_dir / "FileList.m3u";
    WriteFileBytes(playlist, "/old.flac\r\n");
    std::filesystem::create_hard_link(playlist, m_dir / "link.m3u");
    ASSERT_TRUE(m_list.Add("/new.xyz"));
    ASSERT_TRUE(m_list.SavePlaylist(playlist));
    EXPECT_EQ(ReadFileBytes(playlist), "/new.xyz\r\n");
    EXPECT_EQ(ReadFileBytes(m_dir / "link.m3u"), "/old.flac\r\n");  // never rewritten in place
}

TEST_F(FileListTest, FailedSaveRaisesAndLeavesTheOldFileAndNoTemporaryFile) {
    std::filesystem::create_directory(m_dir / "taken.m3u");  // cannot be replaced by a file
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(m_list.Add("/music/" + std::to_string(i) + ".xyz"));
    try {
        m_list.SavePlaylist(m_dir / "taken.m3u");
        FAIL() << "no exception";
    } catch (const CTextFileException& error) {
        EXPECT_NE(error.GetErrorCode(), 0);
    }
    EXPECT_TRUE(std::filesystem::is_directory(m_dir / "taken.m3u"));
    EXPECT_EQ(FilesIn(m_dir), 1u);
    EXPECT_THROW(m_list.SavePlaylist(m_dir / "no/such/folder.m3u"), CTextFileException);
}

}  // namespace
