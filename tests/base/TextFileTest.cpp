#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "base/TextFileException.h"
#include "base/TextFileRead.h"
#include "base/TextFileWrite.h"
#include "support/TempDir.h"

namespace {

const std::vector<TextFileEncoding> kAllEncodings = {kEncodingAnsi, kEncodingUtf16BE,
                                                     kEncodingUtf16LE, kEncodingUtf8};

// U+1F3B5 (musical note) lies outside the Basic Multilingual Plane.
const std::string kNote = "\xF0\x9F\x8E\xB5";
const std::wstring kWideNote(1, static_cast<wchar_t>(0x1F3B5));

std::vector<std::string> ReadNarrowLines(const std::string& path) {
    CTextFileRead file(path);
    std::vector<std::string> lines;
    for (std::string line; file.ReadLine(line);) lines.push_back(line);
    return lines;
}

std::vector<std::wstring> ReadWideLines(const std::string& path) {
    CTextFileRead file(path);
    std::vector<std::wstring> lines;
    for (std::wstring line; file.ReadLine(line);) lines.push_back(line);
    return lines;
}

TextFileEncoding EncodingOf(const std::string& path) { return CTextFileRead(path).GetEncoding(); }

}  // namespace

TEST(TextFileTest, RoundTripKeepsCharactersBeyondU_FFFFInEveryEncoding) {
    TempDir dir;
    for (const auto encoding : kAllEncodings) {
        SCOPED_TRACE(encoding);
        const auto path = dir / ("list" + std::to_string(encoding) + ".m3u");
        {
            CTextFileWrite file(path, encoding);
            file.Write("/music/Grüße " + kNote + ".flac");
            file.WriteEndOfLine();
            file.Write(L"日本 " + kWideNote + L".wav");
            file.WriteEndOfLine();
            file.Close();
            EXPECT_FALSE(file.GetDefaultCharUsed());
        }
        EXPECT_EQ(EncodingOf(path), encoding);
        EXPECT_EQ(ReadNarrowLines(path),
                  (std::vector<std::string>{"/music/Grüße " + kNote + ".flac",
                                            "日本 " + kNote + ".wav", ""}));
        EXPECT_EQ(ReadWideLines(path),
                  (std::vector<std::wstring>{L"/music/Grüße " + kWideNote + L".flac",
                                             L"日本 " + kWideNote + L".wav", L""}));
    }
}

TEST(TextFileTest, WriterPutsByteOrderMarksAndSurrogatePairsOnDisk) {
    TempDir dir;
    const std::vector<std::string> expected = {
        kNote + "\r\n",
        std::string("\xFE\xFF\xD8\x3C\xDF\xB5\x00\r\x00\n", 10),
        std::string("\xFF\xFE\x3C\xD8\xB5\xDF\r\x00\n\x00", 10),
        "\xEF\xBB\xBF" + kNote + "\r\n",
    };
    for (const auto encoding : kAllEncodings) {
        const auto path = dir / ("note" + std::to_string(encoding));
        {
            CTextFileWrite file(path, encoding);
            file.Write(kWideNote);
            file.WriteEndOfLine();
        }
        EXPECT_EQ(ReadFileBytes(path), expected[encoding]) << "encoding " << encoding;
    }
}

TEST(TextFileTest, ByteOrderMarkChoosesTheEncodingAndIsSkipped) {
    TempDir dir;
    const auto path = dir / "t.txt";

    WriteFileBytes(path, std::string("\xFF\xFE\x41\0\x42\0", 6));
    EXPECT_EQ(EncodingOf(path), kEncodingUtf16LE);
    EXPECT_EQ(ReadNarrowLines(path), std::vector<std::string>{"AB"});

    WriteFileBytes(path, std::string("\xFE\xFF\0A\0B", 6));
    EXPECT_EQ(EncodingOf(path), kEncodingUtf16BE);
    EXPECT_EQ(ReadNarrowLines(path), std::vector<std::string>{"AB"});

    WriteFileBytes(path, "\xEF\xBB\xBF\x41\x42");
    EXPECT_EQ(EncodingOf(path), kEncodingUtf8);
    EXPECT_EQ(ReadNarrowLines(path), std::vector<std::string>{"AB"});

    // EF BB without BF is no mark: the bytes are text from the first one on.
    WriteFileBytes(path, "\xEF\xBB\x41");
    EXPECT_EQ(EncodingOf(path), kEncodingAnsi);
    EXPECT_EQ(ReadNarrowLines(path), std::vector<std::string>{"\xEF\xBB\x41"});
    WriteFileBytes(path, "\xEF\xBB");
    EXPECT_EQ(EncodingOf(path), kEncodingAnsi);
    EXPECT_EQ(ReadNarrowLines(path), std::vector<std::string>{"\xEF\xBB"});

    WriteFileBytes(path, "");
    EXPECT_TRUE(ReadNarrowLines(path).empty());
    EXPECT_TRUE(CTextFileRead(path).IsEof());
}

TEST(TextFileTest, EveryTerminatorEndsOneLineAndAFinalTerminatorGivesAnEmptyLine) {
    TempDir dir;
    const auto path = dir / "mixed.txt";
    WriteFileBytes(path, "a\rb\nc\r\nd\n\re\r\r\nf\r\n");
    EXPECT_EQ(ReadNarrowLines(path),
              (std::vector<std::string>{"a", "b", "c", "d", "", "e", "", "f", ""}));

    WriteFileBytes(path, "no terminator");
    EXPECT_EQ(ReadNarrowLines(path), std::vector<std::string>{"no terminator"});

    // The first line is not allowed to swallow a leading terminator.
    WriteFileBytes(path, "\r\nx");
    EXPECT_EQ(ReadNarrowLines(path), (std::vector<std::string>{"", "x"}));

    WriteFileBytes(path, std::string("\xFF\xFE\x61\0\r\0\x62\0\n\0\x63\0\r\0\n\0", 16));
    EXPECT_EQ(ReadWideLines(path), (std::vector<std::wstring>{L"a", L"b", L"c", L""}));
}

TEST(TextFileTest, LinesLongerThanTheBufferAndTerminatorsAcrossItsEdge) {
    TempDir dir;
    const auto path = dir / "long.txt";
    const std::vector<std::size_t> lengths = {1023, 1024, 1025, 5000, 1022};
    std::vector<std::string> lines;
    std::string content;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        lines.push_back(std::string(lengths[i], static_cast<char>('a' + i)));
        content += lines.back() + "\r\n";
    }
    // The first CR LF lands on bytes 1023 and 1024: split over two reads.
    WriteFileBytes(path, content);
    lines.push_back("");
    EXPECT_EQ(ReadNarrowLines(path), lines);

    for (const auto encoding : {kEncodingUtf16LE, kEncodingUtf8}) {
        {
            CTextFileWrite file(path, encoding);
            for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
                file.Write(lines[i] + kNote);
                file.WriteEndOfLine();
            }
        }
        const auto read = ReadNarrowLines(path);
        ASSERT_EQ(read.size(), lines.size());
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(read[i], lines[i] + kNote);
    }
}

TEST(TextFileTest, InvalidTextBecomesReplacementCharacters) {
    TempDir dir;
    const auto path = dir / "bad.txt";
    // Stray continuation, lead cut short by a plain byte, truncated sequence at the end.
    const std::string bytes = "\x80\x41\xC3\x42\xE2\x82";
    WriteFileBytes(path, "\xEF\xBB\xBF" + bytes);
    const std::wstring expected = L"\xFFFD\x41\xFFFD\x42\xFFFD";
    EXPECT_EQ(ReadWideLines(path), std::vector<std::wstring>{expected});
    {
        CTextFileRead file(path);
        std::string line;
        ASSERT_TRUE(file.ReadLine(line));
        EXPECT_EQ(line, "\xEF\xBF\xBD\x41\xEF\xBF\xBD\x42\xEF\xBF\xBD");
        EXPECT_TRUE(file.GetDefaultCharUsed());
    }

    // Encoding 0 hands bytes over unchanged to narrow reads and decodes for wide reads.
    WriteFileBytes(path, bytes);
    EXPECT_EQ(ReadNarrowLines(path), std::vector<std::string>{bytes});
    EXPECT_EQ(ReadWideLines(path), std::vector<std::wstring>{expected});

    // An unpaired surrogate, and a lone last byte that cannot make a 16-bit unit.
    WriteFileBytes(path, std::string("\xFF\xFE\x00\xD8\x41\0\x42", 7));
    EXPECT_EQ(ReadWideLines(path), std::vector<std::wstring>{L"\xFFFD\x41\xFFFD"});

    CTextFileWrite writer(dir / "out.txt", kEncodingUtf16BE);
    writer.Write(std::wstring(1, static_cast<wchar_t>(0xDC00)));
    writer.Close();
    EXPECT_TRUE(writer.GetDefaultCharUsed());
    EXPECT_EQ(ReadFileBytes(dir / "out.txt"), "\xFE\xFF\xFF\xFD");
}

TEST(TextFileTest, UnopenableFileReadsAsEndOfFileWithoutAnException) {
    TempDir dir;
    for (const auto& path : {dir / "missing.txt", dir.Path().string()}) {
        CTextFileRead file(path);
        EXPECT_TRUE(file.IsEof());
        EXPECT_FALSE(file.IsOpen());
        std::string line = "old";
        EXPECT_FALSE(file.ReadLine(line));
    }
}

TEST(TextFileTest, ReadErrorClosesTheFileAndRaisesTheSystemError) {
    // Offset 0 of the process's own memory is never mapped: the first read fails with EIO.
    try {
        CTextFileRead file("/proc/self/mem");
        FAIL() << "no exception";
    } catch (const CTextFileException& e) {
        EXPECT_EQ(e.GetErrorCode(), EIO);
    }
}

TEST(TextFileTest, UncreatableFileRaisesTheCreateErrorAtCloseOrFirstFlush) {
    TempDir dir;
    const auto missingFolder = dir / "no-such-folder/list.m3u";
    {
        CTextFileWrite file(missingFolder, kEncodingUtf8);
        EXPECT_FALSE(file.IsOpen());
        file.Write("short");
        try {
            file.Close();
            FAIL() << "no exception";
        } catch (const CTextFileException& e) {
            EXPECT_EQ(e.GetErrorCode(), ENOENT);
        }
        file.Close();  // already closed: nothing more to report
    }
    {
        CTextFileWrite file(missingFolder, kEncodingAnsi);
        file.Write(std::string(1023, 'x'));
        try {
            file.Write("y");  // the 1,024th byte fills the buffer
            FAIL() << "no exception";
        } catch (const CTextFileException& e) {
            EXPECT_EQ(e.GetErrorCode(), ENOENT);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(missingFolder));

    CTextFileWrite onFolder(dir.Path().string(), kEncodingUtf16LE);
    try {
        onFolder.Close();
        FAIL() << "no exception";
    } catch (const CTextFileException& e) {
        EXPECT_EQ(e.GetErrorCode(), EISDIR);
    }
}

TEST(TextFileTest, FileInAFolderWithoutWritePermissionRaisesEACCES) {
    TempDir dir;
    const auto locked = dir / "locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(
        locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    CTextFileWrite file(locked + "/list.m3u", kEncodingAnsi);
    if (file.IsOpen()) GTEST_SKIP() << "running with the privilege to write anywhere";
    try {
        file.Close();
        FAIL() << "no exception";
    } catch (const CTextFileException& e) {
        EXPECT_EQ(e.GetErrorCode(), EACCES);
    }
}

TEST(TextFileTest, WriterReplacesAnExistingFile) {
    TempDir dir;
    const auto path = dir / "list.m3u";
    WriteFileBytes(path, std::string(5000, 'z'));
    {
        CTextFileWrite file(path, kEncodingAnsi);
        file.Write("new");
    }
    EXPECT_EQ(ReadFileBytes(path), "new");
}
