// The file information cache: a listing takes a file's description from it while the file's
// size and modification time are as recorded, and reads the file again once either changed.
// Real FLAC files, the real MediaInfo library, and the cache's own file in between.
#include <gtest/gtest.h>

#include <filesystem>

#include "AudioFiles.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FileInfoCache.h"
#include "fileinfo/FileInfoOpener.h"
#include "fileinfo/MediaInfoHandle.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class FileInfoCacheTest : public ::testing::Test {
protected:
    // The sample rate the opener gives path, with the cache saved at cachePath.
    int RateListed(const std::string& path) {
        CFileInfoCache cache;
        cache.Load(m_cachePath);
        CFileInfoOpener opener(&m_mediaInfo, 1);
        opener.SetCache(&cache);
        const auto records = opener.OpenAll({path});
        EXPECT_TRUE(cache.Save(m_cachePath));
        return records[0] ? records[0]->SampleRate : -1;
    }
    // The cache file with every sample rate of 44100 made 12345: a rate the file never had,
    // so that a listing that shows it took the file from the cache.
    void MarkCachedRates() {
        std::string text = ReadFileBytes(m_cachePath);
        for (std::size_t at = text.find("\t44100\t"); at != std::string::npos;
             at = text.find("\t44100\t", at)) {
            text.replace(at, 7, "\t12345\t");
        }
        WriteFileBytes(m_cachePath, text);
    }
    std::string Flac(const std::string& name, int rate, double seconds) {
        const std::string wav = MakeWav(m_dir / "in.wav", rate, 2, 16, seconds);
        return Encode(wav, m_dir / name, "flac -s -f -o {out} {in}");
    }

    TempDir m_dir;
    std::string m_cachePath = m_dir / "FileInfoCache";
    MediaInfoHandle m_mediaInfo;
};

TEST_F(FileInfoCacheTest, AFileIsTakenFromTheCacheUntilItsSizeOrTimeChanges) {
    const std::string path = Flac("a.flac", 44100, 0.3);
    ASSERT_EQ(RateListed(path), 44100);
    MarkCachedRates();
    EXPECT_EQ(RateListed(path), 12345);

    // Touched only: the same bytes, another time.
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(3));
    EXPECT_EQ(RateListed(path), 44100);
    MarkCachedRates();
    ASSERT_EQ(RateListed(path), 12345);

    // Replaced by another file under the old time: the size tells.
    const auto time = fs::last_write_time(path);
    const std::string other = Flac("b.flac", 44100, 0.5);
    fs::rename(other, path);
    fs::last_write_time(path, time);
    EXPECT_EQ(RateListed(path), 44100);
}

TEST_F(FileInfoCacheTest, WhatIsReadBackEqualsWhatWasReadAndGoneFilesAreDropped) {
    const std::string kept = Flac("kept.flac", 48000, 0.3);
    const std::string gone = Flac("gone.flac", 44100, 0.3);
    CFileInfoCache cache;
    CFileInfoOpener opener(&m_mediaInfo, 2);
    opener.SetCache(&cache);
    const auto read = opener.OpenAll({kept, gone});
    ASSERT_TRUE(read[0] && read[1]);
    ASSERT_TRUE(cache.Save(m_cachePath));
    fs::remove(gone);

    CFileInfoCache loaded;
    loaded.Load(m_cachePath);
    EXPECT_EQ(loaded.Count(), 2u);
    platform::FileStamp stamp;
    ASSERT_TRUE(platform::ReadFileStamp(kept, &stamp));
    CFileInfo record;
    ASSERT_TRUE(loaded.Fill(kept, stamp, &record));
    EXPECT_EQ(record.SampleRate, read[0]->SampleRate);
    EXPECT_EQ(record.Duration, read[0]->Duration);
    EXPECT_EQ(record.BitRate, read[0]->BitRate);
    EXPECT_EQ(record.Samples, read[0]->Samples);
    EXPECT_EQ(record.FormatName, read[0]->FormatName);
    EXPECT_EQ(record.Size, read[0]->Size);
    ASSERT_TRUE(loaded.Save(m_cachePath));
    CFileInfoCache again;
    again.Load(m_cachePath);
    EXPECT_EQ(again.Count(), 1u);
}

}  // namespace
