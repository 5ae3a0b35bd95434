#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/Log.h"
#include "codecs/CoderList.h"
#include "codecs/DecoderList.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

void MakeExecutable(const std::string& path, const std::string& content = "#!/bin/sh\n") {
    WriteFileBytes(path, content);
    fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec, fs::perm_options::add);
}

void MakePackage(const TempDir& dir, const std::string& package, const std::string& program) {
    fs::create_directories(dir.Path() / package);
    MakeExecutable(dir / (package + "/" + program));
}

std::vector<std::string> Names(const CCoderList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.GetCount(); ++i) names.push_back(list.GetAt(i)->GetName());
    return names;
}

std::vector<std::string> Names(const CDecoderList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.GetCount(); ++i) names.push_back(list.GetAt(i)->GetName());
    return names;
}

TEST(CoderPackage, PresetsThatMustNotRunAreLeftOutAndNamedInTheProgramLog) {
    TempDir dir;
    MakePackage(dir, "Lame", "lame");
    WriteFileBytes(dir / "Lame/Extensions.ini", "mp3\nmp3\n");
    WriteFileBytes(dir / "Lame/Presets.ini", "V0\n-V 0 %in% %out%\nPipe\n%in% -\n");
    const std::size_t logged = GetLogLineCount();

    CCoderList coders;
    ASSERT_TRUE(coders.LoadFromFolder(dir.Path().string()));

    const CPresetList& presets = coders.GetAt(0)->GetPresets();
    ASSERT_EQ(presets.GetCount(), 1);
    EXPECT_EQ(presets.GetAt(0)->Name, "V0");
    const std::string refused = dir / "Lame/Presets.ini" +
                                ": preset \"Pipe\" (.mp3) refused: its command line does not "
                                "name %out%";
    EXPECT_EQ(presets.GetRefused(), std::vector<std::string>{refused});
    ASSERT_EQ(GetLogLineCount(), logged + 1);
    EXPECT_EQ(GetLogLine(logged), refused);
}

TEST(CoderPackage, SeveralExecutablesShareThePackageFilesAndNameFilesNameThem) {
    TempDir dir;
    MakePackage(dir, "Lame", "x.exe");
    MakeExecutable(dir / "Lame/y.exe", "#!/bin/sh\necho other\n");
    MakeExecutable(dir / "Lame/z");
    WriteFileBytes(dir / "Lame/y.name", "Lame (fast build)\r\nsecond line\r\n");
    WriteFileBytes(dir / "Lame/z.name", "\nnot the first line\n");
    WriteFileBytes(dir / "Lame/readme.txt", "not a program");
    WriteFileBytes(dir / "Lame/Info.txt", "  LAME 3.100  \nMP3\n2017-10-13\nextra\n");
    WriteFileBytes(dir / "Lame/Extensions.ini", "mp3\nmp3\n");
    WriteFileBytes(dir / "Lame/Presets.ini", "V0\n-V 0 %in% %out%\nV2\n-V 2 %in% %out%\n");

    CCoderList coders;
    ASSERT_TRUE(coders.LoadFromFolder(dir.Path().string()));
    ASSERT_EQ(Names(coders), (std::vector<std::string>{"Lame", "Lame (fast build)", ""}));
    CCoder& x = *coders.GetAt(0);
    CCoder& y = *coders.GetAt(1);
    EXPECT_EQ(x.GetProgramPath(), dir / "Lame/x.exe");
    EXPECT_EQ(y.GetProgramPath(), dir / "Lame/y.exe");
    EXPECT_EQ(x.GetFolder(), dir / "Lame");
    EXPECT_EQ(y.GetFileSize(), 21u);
    EXPECT_EQ(x.GetDescription(), "LAME 3.100");
    EXPECT_EQ(x.GetFormat(), "MP3");
    EXPECT_EQ(x.GetDate(), "2017-10-13");
    EXPECT_EQ(y.GetDescription(), "LAME 3.100");
    for (const CCoder* coder : {&x, &y}) {
        ASSERT_EQ(coder->GetPresets().GetCount(), 2);
        EXPECT_EQ(coder->GetPresets().GetAt(1)->Name, "V2");
        EXPECT_EQ(coder->GetPresets().GetAt(1)->Extension, ".mp3");
        EXPECT_EQ(coder->GetPresets().GetAt(1)->CommandLine, "-V 2 %in% %out%");
    }
    EXPECT_EQ(coders.GetAt(3), nullptr);
    EXPECT_EQ(coders.GetAt(-1), nullptr);
}

TEST(CoderPackage, OneLineInfoFileWithAndWithoutFinalLineBreak) {
    TempDir dir;
    MakePackage(dir, "A", "a");
    MakePackage(dir, "B", "b");
    WriteFileBytes(dir / "A/Info.txt", "Only line");
    WriteFileBytes(dir / "B/Info.txt", "Only line\r\n");
    CCoderList coders;
    ASSERT_TRUE(coders.LoadFromFolder(dir.Path().string()));
    ASSERT_EQ(coders.GetCount(), 2);
    const CCoder& a = *coders.GetAt(0);
    EXPECT_EQ(a.GetDescription(), "Only line");
    EXPECT_EQ(a.GetFormat(), "Only line");
    EXPECT_EQ(a.GetDate(), "Only line");
    const CCoder& b = *coders.GetAt(1);
    EXPECT_EQ(b.GetDescription(), "Only line");
    EXPECT_EQ(b.GetFormat(), "");
    EXPECT_EQ(b.GetDate(), "");
}

TEST(CoderPackage, PackageWithoutPresetFilesIsKeptWithoutPresets) {
    TempDir dir;
    MakePackage(dir, "Bare", "bare");
    CCoderList coders;
    ASSERT_TRUE(coders.LoadFromFolder(dir.Path().string()));
    ASSERT_EQ(coders.GetCount(), 1);
    EXPECT_EQ(coders.GetAt(0)->GetPresets().GetCount(), 0);
    EXPECT_EQ(coders.GetAt(0)->GetDescription(), "");
}

TEST(PackageScan, HiddenReadOnlyAndLinkedFoldersAreNotPackages) {
    TempDir outside;
    MakeExecutable(outside / "linked");
    TempDir dir;
    MakePackage(dir, "Plain", "p");
    MakePackage(dir, ".Hidden", "h");
    MakePackage(dir, "ReadOnly", "r");
    fs::permissions(dir.Path() / "ReadOnly", fs::perms::owner_write, fs::perm_options::remove);
    fs::create_directory_symlink(outside.Path(), dir.Path() / "Linked");
    MakeExecutable(dir / "loose-program");

    CCoderList coders;
    EXPECT_TRUE(coders.LoadFromFolder(dir.Path().string()));
    EXPECT_EQ(Names(coders), (std::vector<std::string>{"Plain"}));
    CDecoderList decoders;
    EXPECT_TRUE(decoders.LoadFromFolder(dir.Path().string()));
    EXPECT_EQ(Names(decoders), (std::vector<std::string>{"Plain"}));
    fs::permissions(dir.Path() / "ReadOnly", fs::perms::owner_write, fs::perm_options::add);
}

TEST(PackageScan, OrderIsByNameWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"wavpack", "FLAC", "aac", "Opus", "MP3", "b"})
        MakePackage(dir, name, "p");
    CCoderList coders;
    ASSERT_TRUE(coders.LoadFromFolder(dir.Path().string()));
    EXPECT_EQ(Names(coders),
              (std::vector<std::string>{"aac", "b", "FLAC", "MP3", "Opus", "wavpack"}));
}

TEST(PackageScan, PackageWithoutExecutableIsPassedOverByCodersAndDecoders) {
    TempDir dir;
    // "A" holds a link to a program that is not installed, "B" no program at all.
    fs::create_directories(dir.Path() / "A");
    fs::create_symlink("/nonexistent/kelto-codec", dir.Path() / "A" / "codec");
    WriteFileBytes(dir / "A/Extensions.ini", "wav\n");
    fs::create_directories(dir.Path() / "B");
    WriteFileBytes(dir / "B/Format.ini", "%in% %out%\n");
    MakePackage(dir, "C", "c");
    WriteFileBytes(dir / "C/Extensions.ini", "flac\n");
    WriteFileBytes(dir / "C/Format.ini", "-d %in% -o %out%\n");

    CDecoderList decoders;
    EXPECT_TRUE(decoders.LoadFromFolder(dir.Path().string()));
    ASSERT_EQ(Names(decoders), (std::vector<std::string>{"C"}));
    ASSERT_EQ(decoders.GetAt(0)->GetPresets().GetCount(), 1);
    EXPECT_EQ(decoders.GetAt(0)->GetPresets().GetAt(0)->Extension, ".flac");
    EXPECT_EQ(decoders.GetAt(0)->GetPresets().GetAt(0)->Name, "");
    EXPECT_EQ(decoders.GetAt(0)->GetKind(), 1);

    CCoderList coders;
    EXPECT_TRUE(coders.LoadFromFolder(dir.Path().string()));
    EXPECT_EQ(Names(coders), (std::vector<std::string>{"C"}));
    EXPECT_EQ(coders.GetAt(0)->GetKind(), 0);
}

TEST(PackageScan, MissingOrEmptyFolderGivesNothing) {
    TempDir dir;
    CCoderList coders;
    EXPECT_FALSE(coders.LoadFromFolder(dir / "Coders"));
    EXPECT_FALSE(coders.LoadFromFolder(dir.Path().string()));
    EXPECT_EQ(coders.GetCount(), 0);
}

TEST(PackageScan, DecoderNameFilesAndInfoAreNotRead) {
    TempDir dir;
    MakePackage(dir, "Dec", "dec");
    WriteFileBytes(dir / "Dec/dec.name", "Other name\n");
    WriteFileBytes(dir / "Dec/Info.txt", "Description\nFormat\nDate\n");
    CDecoderList decoders;
    ASSERT_TRUE(decoders.LoadFromFolder(dir.Path().string()));
    ASSERT_EQ(decoders.GetCount(), 1);
    EXPECT_EQ(decoders.GetAt(0)->GetName(), "Dec");
    EXPECT_EQ(decoders.GetAt(0)->GetDescription(), "");
}

TEST(CodecCopies, ShareThePresetListAndOutliveTheCatalogue) {
    TempDir dir;
    MakePackage(dir, "FLAC", "flac");
    WriteFileBytes(dir / "FLAC/Extensions.ini", "flac\n");
    WriteFileBytes(dir / "FLAC/Presets.ini", "Best\n-8 -o %out% %in%\n");
    CCoderList coders;
    CDecoderList decoders;
    ASSERT_TRUE(coders.LoadFromFolder(dir.Path().string()));
    ASSERT_TRUE(decoders.LoadFromFolder(dir.Path().string()));

    auto decoderJob = std::make_unique<CDecoder>(*decoders.GetAt(0));
    auto job = std::make_unique<CCoder>(*coders.GetAt(0));
    EXPECT_EQ(&job->GetPresets(), &coders.GetAt(0)->GetPresets());
    job->SetDecoder(decoderJob.get());
    job->SetWaveFile("/tmp/kel0001.wav");
    job->SetInputFile("/tmp/kel0001.wav");
    job->SetOutputFile("/music/a.flac");
    job->SetCommandLine("-8 -o \"/music/a.flac\" \"/tmp/kel0001.wav\"");

    // A copy of a job keeps every per-job field, the decoder reference included.
    CCoder second(*job);
    EXPECT_EQ(second.GetDecoder(), decoderJob.get());
    EXPECT_EQ(second.GetWaveFile(), "/tmp/kel0001.wav");
    EXPECT_EQ(second.GetInputFile(), "/tmp/kel0001.wav");
    EXPECT_EQ(second.GetOutputFile(), "/music/a.flac");
    EXPECT_EQ(coders.GetAt(0)->GetWaveFile(), "");
    EXPECT_EQ(coders.GetAt(0)->GetDecoder(), nullptr);

    coders.RemoveAll();
    decoders.RemoveAll();
    EXPECT_EQ(coders.GetCount(), 0);
    ASSERT_EQ(job->GetPresets().GetCount(), 1);
    EXPECT_EQ(job->GetPresets().GetAt(0)->CommandLine, "-8 -o %out% %in%");
    job.reset();
    EXPECT_EQ(second.GetPresets().GetAt(0)->Name, "Best");
    EXPECT_EQ(second.GetProgramPath(), dir / "FLAC/flac");
}

TEST(PassThroughCoder, IsAppendedLastWithoutProgramOrPresets) {
    TempDir dir;
    MakePackage(dir, "FLAC", "flac");
    CCoderList coders;
    ASSERT_TRUE(coders.LoadFromFolder(dir.Path().string()));
    CCoder* passThrough = coders.AddPassThroughCoder("WAV (decode only)");
    ASSERT_EQ(coders.GetCount(), 2);
    EXPECT_EQ(coders.GetAt(1), passThrough);
    EXPECT_EQ(passThrough->GetName(), "WAV (decode only)");
    EXPECT_EQ(passThrough->GetProgramPath(), "");
    EXPECT_EQ(passThrough->GetPresets().GetCount(), 0);
    EXPECT_EQ(passThrough->GetKind(), 0);
}

}  // namespace
