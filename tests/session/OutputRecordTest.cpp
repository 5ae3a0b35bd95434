// The output record: entries read back as written whatever their names hold, one source keeps
// one output per extension, and writers that merge at the same time lose nothing.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "session/OutputRecord.h"
#include "support/TempDir.h"

namespace {

RecordEntry Entry(const std::string& output, const std::string& source) {
    RecordEntry entry;
    entry.Output = output;
    entry.Source = source;
    entry.SourceSize = 1234;
    entry.SourceModifiedNs = 1700000000123456789;
    entry.Settings = "0123456789abcdef";
    entry.Coder = "FLAC";
    entry.Preset = "-8\t(best)";
    return entry;
}

TEST(OutputRecordTest, NamesWithTabsLineEndsAndBackslashesReadBackAndASourceKeepsOneOutput) {
    COutputRecord record;
    record.Put(Entry("a\tb/c\\nd\n.flac", "/m/x\r\\y.flac"));
    record.Put(Entry("old.flac", "/m/z.flac"));
    record.Put(Entry("new.flac", "/m/z.flac"));
    record.Put(Entry("new.mp3", "/m/z.flac"));
    COutputRecord read;
    read.Parse(record.Format());
    ASSERT_EQ(read.Entries().size(), 3u);
    const RecordEntry* odd = read.FindSource("/m/x\r\\y.flac", ".flac");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(*odd, Entry("a\tb/c\\nd\n.flac", "/m/x\r\\y.flac"));
    EXPECT_EQ(read.FindOutput("old.flac"), nullptr);
    EXPECT_EQ(read.FindSource("/m/z.flac", ".FLAC")->Output, "new.flac");
    EXPECT_EQ(read.FindSource("/m/z.flac", ".mp3")->Output, "new.mp3");
}

TEST(OutputRecordTest, TracksOfOneImageKeepAnOutputEachBesideTheWholeImage) {
    COutputRecord record;
    RecordEntry whole = Entry("image.flac", "/m/image.flac");
    record.Put(whole);
    for (int track = 1; track <= 3; ++track) {
        RecordEntry entry = Entry("0" + std::to_string(track) + ".flac", "/m/image.flac");
        entry.Track = track;
        record.Put(entry);
    }
    COutputRecord read;
    read.Parse(record.Format());
    ASSERT_EQ(read.Entries().size(), 4u);
    EXPECT_EQ(read.FindSource("/m/image.flac", ".flac")->Output, "image.flac");
    EXPECT_EQ(read.FindSource("/m/image.flac", ".flac", 2)->Output, "02.flac");
    EXPECT_EQ(read.FindSource("/m/image.flac", ".flac", 3)->Track, 3);
    EXPECT_EQ(read.FindSource("/m/image.flac", ".flac", 4), nullptr);
    // A track field that is no track number makes the line nothing kelto wrote.
    read.Parse("x.flac\t/m/a.flac\t1\t2\tsettings\tFLAC\t-8\t0\n");
    EXPECT_EQ(read.FindOutput("x.flac"), nullptr);
}

TEST(OutputRecordTest, WritersMergingAtOnceLoseNoEntry) {
    TempDir dir;
    const std::string folder = dir.Path().string();
    constexpr int kWriters = 4;
    constexpr int kMerges = 25;
    std::vector<std::thread> writers;
    std::vector<int> failures(kWriters, 0);
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            for (int m = 0; m < kMerges; ++m) {
                const std::string name = std::to_string(w) + "-" + std::to_string(m);
                std::string reason;
                // Each merge takes the folder's lock anew, as another process would.
                if (!COutputRecord::Merge(folder, {Entry(name + ".flac", "/s/" + name + ".wav")},
                                          &reason)) {
                    ++failures[static_cast<std::size_t>(w)];
                }
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    EXPECT_EQ(failures, std::vector<int>(kWriters, 0));
    EXPECT_EQ(COutputRecord::Load(folder).Entries().size(),
              static_cast<std::size_t>(kWriters * kMerges));
    // No temporary file is left beside the record.
    EXPECT_EQ(FileNamesIn(folder), (std::set<std::string>{".kelto-record"}));
}

}  // namespace
