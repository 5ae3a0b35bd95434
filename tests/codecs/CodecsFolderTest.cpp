#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "codecs/CoderList.h"
#include "codecs/Database.h"
#include "codecs/DecoderList.h"
#include "codecs/HashFile.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

void MakeExecutable(const std::string& path, const std::string& content) {
    WriteFileBytes(path, content);
    fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
}

std::string HashOf(const std::string& path) {
    std::string hash;
    EXPECT_TRUE(HashFile(path, hash));
    return hash;
}

TEST(CodecsFolder, ShippedProgramsCopiedBareAreFoundByHash) {
    CDatabase db;
    ASSERT_TRUE(db.Load(std::string(KELTO_WORK_DIR) + "/Base.xml"));
    TempDir codecs;
    // Renamed, so only the hash can identify them.
    fs::copy_file("/usr/bin/flac", codecs.Path() / "renamed-flac");
    fs::copy_file("/usr/bin/oggenc", codecs.Path() / "renamed-oggenc");
    fs::create_symlink("/usr/bin/opusdec", codecs.Path() / "renamed-opusdec");

    CCoderList coders;
    EXPECT_TRUE(coders.LoadFromDatabase(codecs.Path().string(), db, false));
    ASSERT_EQ(coders.GetCount(), 2);
    CCoder& flac = *coders.GetAt(0);
    EXPECT_EQ(flac.GetProgramPath(), codecs / "renamed-flac");
    EXPECT_EQ(flac.GetName(), db.FindByFileName("flac")->Description);
    EXPECT_EQ(flac.GetDescription(), flac.GetName());
    EXPECT_EQ(flac.GetFormat(), "FLAC");
    EXPECT_EQ(flac.GetFolder(), "");
    EXPECT_EQ(flac.GetFileSize(), fs::file_size("/usr/bin/flac"));
    ASSERT_GE(flac.GetPresets().GetCount(), 3);
    EXPECT_EQ(flac.GetPresets().GetAt(0)->Extension, ".flac");
    EXPECT_FALSE(flac.GetPresets().GetAt(0)->Name.empty());
    EXPECT_EQ(coders.GetAt(1)->GetFormat(), "Ogg Vorbis");

    // flac decodes too; oggenc has no decoding preset and gives no decoder.
    CDecoderList decoders;
    EXPECT_TRUE(decoders.LoadFromDatabase(codecs.Path().string(), db, false));
    ASSERT_EQ(decoders.GetCount(), 2);
    EXPECT_EQ(decoders.GetAt(0)->GetProgramPath(), codecs / "renamed-flac");
    EXPECT_EQ(decoders.GetAt(0)->GetPresets().GetAt(0)->Extension, ".flac");
    EXPECT_EQ(decoders.GetAt(1)->GetProgramPath(), codecs / "renamed-opusdec");
}

TEST(CodecsFolder, FileNameLookupOnlyWhenAskedAndOnlyForUnknownHashes) {
    TempDir codecs;
    MakeExecutable(codecs / "oggenc", "#!/bin/sh\n# a different build\n");
    MakeExecutable(codecs / "zz-known", "#!/bin/sh\n# known by hash\n");
    CDatabase db;
    db.LoadFromText(
        "<C>"
        "<E FileName=\"oggenc\" Description=\"Vorbis by name\">"
        "<P Extension=\"ogg\" CommandLine=\"-o %out% %in%\" Type=\"Coding\"/></E>"
        "<E Hash=\"" +
        HashOf(codecs / "zz-known") +
        "\" FileName=\"zz-known\" Description=\"by hash\">"
        "<P Extension=\"x\" CommandLine=\"%in% %out%\" Type=\"Coding\"/></E>"
        "<E FileName=\"zz-known\" Description=\"by name too\"><P Extension=\"y\" "
        "CommandLine=\"%in% %out%\" Type=\"Coding\"/></E>"
        "</C>");
    CCoderList withoutNames;
    withoutNames.LoadFromDatabase(codecs.Path().string(), db, false);
    ASSERT_EQ(withoutNames.GetCount(), 1);
    EXPECT_EQ(withoutNames.GetAt(0)->GetName(), "by hash");

    CCoderList withNames;
    withNames.LoadFromDatabase(codecs.Path().string(), db, true);
    ASSERT_EQ(withNames.GetCount(), 2);
    EXPECT_EQ(withNames.GetAt(0)->GetName(), "Vorbis by name");
    EXPECT_EQ(withNames.GetAt(0)->GetProgramPath(), codecs / "oggenc");
    EXPECT_EQ(withNames.GetAt(1)->GetName(), "by hash");
}

TEST(CodecsFolder, LowerCaseHashesAndOtherPresetTypesFindNothing) {
    TempDir codecs;
    MakeExecutable(codecs / "a", "program a");
    MakeExecutable(codecs / "b", "program b");
    std::string lower = HashOf(codecs / "a");
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    CDatabase db;
    db.LoadFromText("<C><E Hash=\"" + lower +
                    "\" Description=\"a\"><P Type=\"Coding\" CommandLine=\"%in% %out%\"/></E>"
                    "<E Hash=\"" +
                    HashOf(codecs / "b") +
                    "\" Description=\"b\">"
                    "<P Type=\"coding\" Extension=\"b\" CommandLine=\"%in% %out%\"/>"
                    "<P Type=\"Encoding\" CommandLine=\"%in% %out%\"/></E></C>");
    CCoderList coders;
    EXPECT_TRUE(coders.LoadFromDatabase(codecs.Path().string(), db, false));
    EXPECT_EQ(coders.GetCount(), 0);
    CDecoderList decoders;
    EXPECT_TRUE(decoders.LoadFromDatabase(codecs.Path().string(), db, true));
    EXPECT_EQ(decoders.GetCount(), 0);
}

TEST(CodecsFolder, OneExecutableGivesACoderAndADecoderAndSubfoldersAreIgnored) {
    TempDir codecs;
    MakeExecutable(codecs / "both", "both ways");
    WriteFileBytes(codecs / "not-executable", "both ways");
    fs::create_directories(codecs.Path() / "sub");
    MakeExecutable(codecs / "sub/both", "both ways");
    CDatabase db;
    db.LoadFromText(
        "<C Date=\"x\"><E Hash=\"" + HashOf(codecs / "both") +
        "\" Description=\"Both\" Date=\"2020\" Format=\"Fmt\">"
        "<P CommandLine=\"enc %in% %out%\" Extension=\"bx\" Description=\"Enc\" Type=\"Coding\"/>"
        "<P CommandLine=\"dec %in% %out%\" Extension=\"bx\" Description=\"Dec\" Type=\"Decoding\"/>"
        "</E></C>");
    CCoderList coders;
    CDecoderList decoders;
    coders.LoadFromDatabase(codecs.Path().string(), db, true);
    decoders.LoadFromDatabase(codecs.Path().string(), db, true);
    ASSERT_EQ(coders.GetCount(), 1);
    ASSERT_EQ(decoders.GetCount(), 1);
    ASSERT_EQ(coders.GetAt(0)->GetPresets().GetCount(), 1);
    EXPECT_EQ(coders.GetAt(0)->GetPresets().GetAt(0)->CommandLine, "enc %in% %out%");
    EXPECT_EQ(coders.GetAt(0)->GetPresets().GetAt(0)->Name, "Enc");
    EXPECT_EQ(coders.GetAt(0)->GetDate(), "2020");
    ASSERT_EQ(decoders.GetAt(0)->GetPresets().GetCount(), 1);
    EXPECT_EQ(decoders.GetAt(0)->GetPresets().GetAt(0)->CommandLine, "dec %in% %out%");
    EXPECT_EQ(decoders.GetAt(0)->GetPresets().GetAt(0)->Extension, ".bx");
}

TEST(CodecsFolder, AMissingFolderOrDatabaseAddsNothing) {
    TempDir dir;
    CDatabase db;
    EXPECT_FALSE(db.Load(dir / "Base.xml"));
    CCoderList coders;
    EXPECT_TRUE(coders.LoadFromDatabase(dir / "Codecs", db, true));
    fs::create_directories(dir.Path() / "Codecs");
    fs::copy_file("/usr/bin/flac", dir.Path() / "Codecs" / "flac");
    EXPECT_TRUE(coders.LoadFromDatabase(dir / "Codecs", db, true));
    EXPECT_EQ(coders.GetCount(), 0);
}

}  // namespace
