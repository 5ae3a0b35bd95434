#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Paths.h"
#include "codecs/CoderList.h"
#include "codecs/Database.h"
#include "codecs/DecoderList.h"
#include "codecs/HashFile.h"
#include "support/TempDir.h"

namespace {

// md5sum's digest of a file, in upper case, as an independent reference.
std::string ReferenceMd5(const std::string& path) {
    std::string command = "md5sum '" + path + "'";
    std::string digest;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[33] = {};
        if (std::fread(buffer, 1, 32, pipe) == 32) digest = buffer;
        pclose(pipe);
    }
    for (char& c : digest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digest;
}

const char* const kHashA = "0123456789ABCDEF0123456789ABCDEF";
const char* const kHashB = "FEDCBA9876543210FEDCBA9876543210";

TEST(Database, ReadsEntriesPresetsAndDate) {
    CDatabase db;
    db.LoadFromText(R"(<?xml version="1.0"?>
<Codecs Date="2024-01-02">
  <Codec Hash="0123456789ABCDEF0123456789ABCDEF" FileName="flac" FileSize="1234" Date="2023"
         Description="FLAC &amp; co" Type="Coder" Format="FLAC">
    <Preset CommandLine="-f -o %out% %in%" Extension="flac" Description="Best" Type="Coding"/>
    <Preset CommandLine="-d %in%" Extension="flac" Description="" Type="Decoding">ignored text</Preset>
  </Codec>
  <Anything Hash="FEDCBA9876543210FEDCBA9876543210"/>
</Codecs>)");
    EXPECT_EQ(db.GetDate(), "2024-01-02");
    ASSERT_EQ(db.GetCount(), 2u);
    const CDatabaseEntry& flac = *db.GetAt(0);
    EXPECT_EQ(flac.Hash, kHashA);
    EXPECT_EQ(flac.FileName, "flac");
    EXPECT_EQ(flac.FileSize, "1234");
    EXPECT_EQ(flac.Date, "2023");
    EXPECT_EQ(flac.Description, "FLAC & co");
    EXPECT_EQ(flac.Type, "Coder");
    EXPECT_EQ(flac.Format, "FLAC");
    ASSERT_EQ(flac.Presets.size(), 2u);
    EXPECT_EQ(flac.Presets[0].CommandLine, "-f -o %out% %in%");
    EXPECT_EQ(flac.Presets[0].Extension, "flac");
    EXPECT_EQ(flac.Presets[0].Description, "Best");
    EXPECT_EQ(flac.Presets[1].Type, "Decoding");
    // Element names below the root do not matter; missing attributes read as empty.
    EXPECT_EQ(db.GetAt(1)->Hash, kHashB);
    EXPECT_EQ(db.GetAt(1)->FileName, "");
    EXPECT_TRUE(db.GetAt(1)->Presets.empty());
    EXPECT_EQ(db.GetAt(2), nullptr);
}

TEST(Database, CommentsAndInstructionsAreEntriesButWhiteSpaceIsNot) {
    CDatabase db;
    db.LoadFromText(
        "<Codecs>\n  <!-- first -->\n  <Codec Hash=\"A\">\n    <!-- preset comment -->\n"
        "    <Preset Type=\"Coding\"/>\n  </Codec>\n  <?note x?>\n\n</Codecs>");
    EXPECT_EQ(db.GetDate(), "");
    ASSERT_EQ(db.GetCount(), 3u);
    EXPECT_EQ(db.GetAt(0)->Hash, "");
    EXPECT_TRUE(db.GetAt(0)->Presets.empty());
    ASSERT_EQ(db.GetAt(1)->Presets.size(), 2u);
    EXPECT_EQ(db.GetAt(1)->Presets[0].Type, "");
    EXPECT_EQ(db.GetAt(1)->Presets[1].Type, "Coding");
    EXPECT_EQ(db.GetAt(2)->Hash, "");
    // An entry made from a comment matches no executable.
    EXPECT_EQ(db.FindByFileName("/x/"), nullptr);
    EXPECT_EQ(db.FindByHash("B"), nullptr);
}

TEST(Database, HashLookupIsExactAndTheFirstEntryWins) {
    CDatabase db;
    db.LoadFromText(std::string("<C><E Hash=\"") + kHashA + "\" Description=\"first\"/>" +
                    "<E Hash=\"" + kHashA + "\" Description=\"second\"/>" +
                    "<E Hash=\"fedcba9876543210fedcba9876543210\" Description=\"lower\"/></C>");
    ASSERT_NE(db.FindByHash(kHashA), nullptr);
    EXPECT_EQ(db.FindByHash(kHashA)->Description, "first");
    EXPECT_EQ(db.FindByHash(kHashB), nullptr);
    EXPECT_EQ(db.FindByHash(std::string(kHashA).substr(0, 31)), nullptr);
}

TEST(Database, FileNameLookupComparesTheExecutablesName) {
    CDatabase db;
    db.LoadFromText(
        "<C><E FileName=\"oggenc\" Description=\"by name\"/>"
        "<E FileName=\"/opt/codecs/lame\" Description=\"by path\"/></C>");
    ASSERT_NE(db.FindByFileName("/work/Codecs/oggenc"), nullptr);
    EXPECT_EQ(db.FindByFileName("/work/Codecs/oggenc")->Description, "by name");
    EXPECT_EQ(db.FindByFileName("/work/Codecs/OggEnc"), nullptr);
    EXPECT_EQ(db.FindByFileName("/work/Codecs/oggenc2"), nullptr);
    // A FileName written as a full path still matches that path exactly.
    ASSERT_NE(db.FindByFileName("/opt/codecs/lame"), nullptr);
    EXPECT_EQ(db.FindByFileName("/work/Codecs/lame"), nullptr);
}

TEST(Database, MissingMalformedAndReloadedFiles) {
    TempDir dir;
    CDatabase db;
    EXPECT_FALSE(db.Load(dir / "Base.xml"));
    EXPECT_EQ(db.GetCount(), 0u);

    WriteFileBytes(dir / "Base.xml", "<C Date=\"d\"><E Hash=\"A\"/>");
    EXPECT_TRUE(db.Load(dir / "Base.xml"));
    EXPECT_EQ(db.GetCount(), 0u);
    EXPECT_EQ(db.GetDate(), "");

    WriteFileBytes(dir / "Base.xml", "\xEF\xBB\xBF<C Date=\"d\"><E Hash=\"A\"/><E/></C>");
    EXPECT_TRUE(db.Load(dir / "Base.xml"));
    EXPECT_EQ(db.GetCount(), 2u);
    EXPECT_EQ(db.GetDate(), "d");

    // Loading again replaces what was there.
    EXPECT_FALSE(db.Load(dir / "Other.xml"));
    EXPECT_EQ(db.GetCount(), 0u);
    EXPECT_EQ(db.GetDate(), "");
}

const char* const kShippedPrograms[] = {"flac",     "lame",     "oggenc",  "oggdec",
                                        "opusenc",  "opusdec",  "wavpack", "wvunpack",
                                        "speexenc", "speexdec", "ffmpeg",  "mpcdec"};

TEST(Database, ShippedBaseXmlIdentifiesTheInstalledPrograms) {
    CDatabase db;
    ASSERT_TRUE(db.Load(std::string(KELTO_WORK_DIR) + "/Base.xml"));
    EXPECT_FALSE(db.GetDate().empty());
    ASSERT_GE(db.GetCount(), 11u);
    std::string stale;
    for (const std::string program : kShippedPrograms) {
        SCOPED_TRACE(program);
        const std::string path = "/usr/bin/" + program;
        const CDatabaseEntry* byName = db.FindByFileName("/any/Codecs/" + program);
        std::string hash;
        if (!byName || !HashFile(path, hash)) {
            ADD_FAILURE() << (byName ? "cannot hash " + path : "Base.xml does not name it");
            continue;
        }
        EXPECT_EQ(hash, ReferenceMd5(path));
        const CDatabaseEntry* byHash = db.FindByHash(hash);
        if (!byHash) {
            // Base.xml holds the hash, yet the lookup misses it: that is a fault of the lookup.
            EXPECT_NE(byName->Hash, hash);
            stale += "\n  " + program + ": " + byName->Hash + " in Base.xml, " + hash + " here";
            continue;
        }
        EXPECT_EQ(byHash, byName);
        EXPECT_FALSE(byHash->Presets.empty());
    }
    // A Debian update that replaced a program since Base.xml was made says nothing about the
    // lookup, which the programs left as they were have been checked with.
    if (!stale.empty()) {
        GTEST_SKIP() << "programs changed since Base.xml was made; regenerate it with "
                        "tools/make_base_xml.py:"
                     << stale;
    }
}

// "Coding|flac|FLAC, -0 (fastest, largest)|-f ... %in%", the way both sides can be compared.
std::string PresetText(const std::string& type, const std::string& extension,
                       const std::string& description, const std::string& commandLine) {
    return type + "|" + extension + "|" + description + "|" + commandLine;
}

// The presets Base.xml gives a program bare in Codecs are those of the shipped packages that run
// it, in folder order, whatever Debian has installed: Base.xml is regenerated with them.
TEST(Database, ShippedBaseXmlHoldsThePresetsOfThePackages) {
    CDatabase db;
    ASSERT_TRUE(db.Load(std::string(KELTO_WORK_DIR) + "/Base.xml"));
    CCoderList coders;
    CDecoderList decoders;
    ASSERT_TRUE(coders.LoadFromFolder(std::string(KELTO_WORK_DIR) + "/Coders"));
    ASSERT_TRUE(decoders.LoadFromFolder(std::string(KELTO_WORK_DIR) + "/Decoders"));
    for (const std::string program : kShippedPrograms) {
        SCOPED_TRACE(program);
        std::vector<std::string> packages;
        const auto add = [&](CCodec& codec, const char* type, bool named) {
            if (PathFileName(codec.GetProgramPath()) != program) return;
            for (const CPreset& preset : codec.GetPresets()) {
                packages.push_back(
                    PresetText(type, preset.Extension.substr(1),
                               named ? codec.GetName() + ", " + preset.Name : codec.GetName(),
                               preset.CommandLine));
            }
        };
        for (int i = 0; i < coders.GetCount(); ++i) add(*coders.GetAt(i), "Coding", true);
        for (int i = 0; i < decoders.GetCount(); ++i) add(*decoders.GetAt(i), "Decoding", false);
        const CDatabaseEntry* entry = db.FindByFileName(program);
        ASSERT_NE(entry, nullptr);
        std::vector<std::string> shipped;
        for (const CDatabasePreset& preset : entry->Presets) {
            shipped.push_back(
                PresetText(preset.Type, preset.Extension, preset.Description, preset.CommandLine));
        }
        EXPECT_EQ(shipped, packages) << "regenerate Base.xml with tools/make_base_xml.py";
    }
}

}  // namespace
