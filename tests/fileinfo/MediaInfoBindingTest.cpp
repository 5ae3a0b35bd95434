#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "AudioFiles.h"
#include "base/TextFileUnicode.h"
#include "fileinfo/MediaInfoBinding.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"
#include "platform/DynamicLibrary.h"
#include "support/TempDir.h"

namespace {

const std::vector<std::string> kRealLibrary = {"libmediainfo.so.0", "libmediainfo.so"};

int StubCalls(const char* library, const char* entry) {
    void* module = platform::LoadLibrary(library).handle;
    auto calls =
        reinterpret_cast<int (*)(const char*)>(platform::GetSymbol(module, "MediaInfoStub_Calls"));
    const int count = calls ? calls(entry) : -1;
    platform::FreeLibrary(module);
    return count;
}

std::string MakeMp3(const TempDir& dir, const std::string& name) {
    const std::string wav = MakeWav(dir / "in.wav", 44100, 2, 16, 0.3);
    return Encode(wav, dir / name, "lame --quiet --cbr -b 128 {in} {out}");
}

}  // namespace

TEST(MediaInfoBinding, RealLibraryBindsDespiteItsOneMissingEntryPoint) {
    CMediaInfoBinding binding(kRealLibrary);
    EXPECT_EQ(binding.Bind(), 1);
    EXPECT_TRUE(binding.HasModule());
    EXPECT_EQ(binding.UseCount(), 1u);
    EXPECT_EQ(binding.Entry(MediaInfoEntry::CountGetFiles), nullptr);
    for (const auto entry :
         {MediaInfoEntry::New, MediaInfoEntry::Open, MediaInfoEntry::Get, MediaInfoEntry::Close,
          MediaInfoEntry::Delete, MediaInfoEntry::ListCountGetFiles})
        EXPECT_NE(binding.Entry(entry), nullptr) << CMediaInfoBinding::EntryName(entry);
    EXPECT_EQ(binding.Bind(), 1);
    EXPECT_EQ(binding.UseCount(), 2u);
}

TEST(MediaInfoBinding, HandlesBindOnlyWhileNothingIsLoaded) {
    CMediaInfoBinding binding(kRealLibrary);
    MediaInfoHandle first(binding);
    MediaInfoHandle second(binding);
    EXPECT_TRUE(first.Ready());
    EXPECT_TRUE(second.Ready());
    EXPECT_EQ(binding.UseCount(), 1u);
}

TEST(MediaInfoBinding, ProgramBindingIsTheDebianLibrary) {
    MediaInfoHandle handle;
    EXPECT_TRUE(handle.Ready());
    EXPECT_TRUE(CMediaInfoBinding::Process().HasModule());
    EXPECT_GE(CMediaInfoBinding::Process().UseCount(), 1u);
    const auto before = CMediaInfoBinding::Process().UseCount();
    EXPECT_EQ(Bind(), 1);
    EXPECT_EQ(CMediaInfoBinding::Process().UseCount(), before + 1);
}

TEST(MediaInfoBinding, MissingLibraryLeavesEveryHandleUnready) {
    TempDir dir;
    CMediaInfoBinding binding({dir / "libmediainfo.so.0"});
    EXPECT_EQ(binding.Bind(), -1);
    EXPECT_FALSE(binding.HasModule());
    EXPECT_EQ(binding.UseCount(), 0u);
    EXPECT_FALSE(binding.LoadError().empty());

    MediaInfoHandle handle(binding);
    EXPECT_FALSE(handle.Ready());
    EXPECT_EQ(handle.Open("/any/file.mp3"), 0u);
    EXPECT_EQ(handle.Get(MediaInfoHandle::kStreamAudio, 0, "SamplingRate"),
              "Unable to load MediaInfo.dll");
    handle.Close();
}

TEST(MediaInfoBinding, WithoutTheLibraryAnMp3IsListedWithNothingButItsResolution) {
    TempDir dir;
    CMediaInfoBinding binding({dir / "libmediainfo.so.0"});
    MediaInfoHandle handle(binding);
    const auto file = OpenFile(MakeMp3(dir, "x.mp3"), &handle);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 0);
    EXPECT_EQ(file->Channels, 0);
    EXPECT_EQ(file->Resolution, 16);
    EXPECT_EQ(file->BitRate, 0.0);
    EXPECT_EQ(file->Codec, "Unable to load MediaInfo.dll");
    // A null handle stands for the same.
    const auto again = OpenFile(file->Path, nullptr);
    EXPECT_EQ(again->Codec, "Unable to load MediaInfo.dll");
}

TEST(MediaInfoBinding, TwoMissingEntryPointsFailTheBindButTheFoundOnesServe) {
    CMediaInfoBinding binding({KELTO_MEDIAINFO_STUB_WITHOUT_GET});
    EXPECT_EQ(binding.Bind(), -1);
    EXPECT_TRUE(binding.HasModule());
    EXPECT_EQ(binding.UseCount(), 0u);
    const int newCalls = StubCalls(KELTO_MEDIAINFO_STUB_WITHOUT_GET, "MediaInfo_New");
    const int openCalls = StubCalls(KELTO_MEDIAINFO_STUB_WITHOUT_GET, "MediaInfo_Open");
    const int deleteCalls = StubCalls(KELTO_MEDIAINFO_STUB_WITHOUT_GET, "MediaInfo_Delete");
    {
        MediaInfoHandle handle(binding);
        EXPECT_TRUE(handle.Ready());
        EXPECT_EQ(StubCalls(KELTO_MEDIAINFO_STUB_WITHOUT_GET, "MediaInfo_New"), newCalls + 1);
        EXPECT_EQ(handle.Open("/x.mp3"), 1u);
        EXPECT_EQ(StubCalls(KELTO_MEDIAINFO_STUB_WITHOUT_GET, "MediaInfo_Open"), openCalls + 1);
        // The missing MediaInfo_Get answers as a handle without the library.
        EXPECT_EQ(handle.Get(MediaInfoHandle::kStreamAudio, 0, "Channel(s)"),
                  "Unable to load MediaInfo.dll");
        handle.Close();
    }
    EXPECT_EQ(StubCalls(KELTO_MEDIAINFO_STUB_WITHOUT_GET, "MediaInfo_Delete"), deleteCalls + 1);
    EXPECT_EQ(binding.UseCount(), 0u);
}

TEST(MediaInfoBinding, AllEntryPointsBindAndTheTraditionalKeysComeFirst) {
    TempDir dir;
    CMediaInfoBinding binding({KELTO_MEDIAINFO_STUB_FULL});
    EXPECT_EQ(binding.Bind(), 1);
    MediaInfoHandle handle(binding);
    // This library answers "Resolution" and "Codec" itself, so "BitDepth" and "Format" are
    // not asked.
    WriteFileBytes(dir / "x.m4a", "");
    const auto file = OpenFile(dir / "x.m4a", &handle);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->Resolution, 24);
    EXPECT_EQ(file->Codec, "StubCodec");
    EXPECT_EQ(file->SampleRate, 48000);
    EXPECT_EQ(file->Channels, 2);
    EXPECT_EQ(file->BitRate, 320.0);
}

TEST(MediaInfoBinding, TheFirstHandleAloneTurnsOffTheDisplayTexts) {
    const char* const kCall = "MediaInfo_Option ReadByHuman=0";
    const int before = StubCalls(KELTO_MEDIAINFO_STUB_FULL, kCall);
    CMediaInfoBinding binding({KELTO_MEDIAINFO_STUB_FULL});
    ASSERT_EQ(binding.Bind(), 1);
    EXPECT_EQ(StubCalls(KELTO_MEDIAINFO_STUB_FULL, kCall), before);
    MediaInfoHandle first(binding);
    EXPECT_EQ(StubCalls(KELTO_MEDIAINFO_STUB_FULL, kCall), before + 1);
    MediaInfoHandle second(binding);
    EXPECT_EQ(StubCalls(KELTO_MEDIAINFO_STUB_FULL, kCall), before + 1);
}

// The library runs here without its display texts (ReadByHuman 0); the mediainfo program runs
// with them. Every key a reader may ask must answer the same in both.
TEST(MediaInfoBinding, EveryKeyTheReadersAskAnswersAsTheMediainfoProgramDoes) {
    TempDir dir;
    const std::string wav = MakeWav(dir / "in.wav", 44100, 2, 16, 1.0);
    const std::string mono24 = MakeWav(dir / "mono24.wav", 22050, 1, 24, 1.0);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.flac", "flac -s -f -o {out} {in}"},
        {"cbr.mp3", "lame --quiet --cbr -b 320 {in} {out}"},
        {"vbr.mp3", "lame --quiet -V 4 {in} {out}"},
        {"low.mp3", "lame --quiet --resample 8 -b 16 {in} {out}"},
        {"a.m4a", "ffmpeg -loglevel error -y -i {in} -c:a aac -b:a 96k {out}"},
        {"alac.m4a", "ffmpeg -loglevel error -y -i {in} -c:a alac {out}"},
        {"a.ogg", "oggenc -Q -q 3 -o {out} {in}"},
        {"a.wv", "wavpack -q -y {in} -o {out}"},
        {"a.tta", "ffmpeg -loglevel error -y -i {in} {out}"},
        {"a.aac", "ffmpeg -loglevel error -y -i {in} -c:a aac -b:a 64k {out}"},
        {"a.opus", "opusenc --quiet {in} {out}"},
        {"a.wma", "ffmpeg -loglevel error -y -i {in} -c:a wmav2 -b:a 128k {out}"},
        {"a.mp2", "ffmpeg -loglevel error -y -i {in} -c:a mp2 -b:a 192k {out}"},
    };
    std::vector<std::string> paths = {mono24};
    for (const auto& [name, command] : files) paths.push_back(Encode(wav, dir / name, command));
    paths.push_back(Encode(mono24, dir / "b.flac", "flac -s -f -o {out} {in}"));

    const std::vector<std::string> keys = {"BitRate",  "Channel(s)", "SamplingRate", "Resolution",
                                           "BitDepth", "Codec",      "Format"};
    std::string inform;
    for (std::size_t i = 0; i < keys.size(); ++i) inform += (i ? "|%" : "%") + keys[i] + "%";
    MediaInfoHandle handle;
    ASSERT_TRUE(handle.Ready());
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        for (const auto& [kind, section] : {std::pair{MediaInfoHandle::kStreamGeneral, "General"},
                                            std::pair{MediaInfoHandle::kStreamAudio, "Audio"}}) {
            handle.Open(path);
            std::string ours;
            for (std::size_t i = 0; i < keys.size(); ++i)
                ours += (i ? "|" : "") + handle.Get(kind, 0, keys[i]);
            handle.Close();
            std::string theirs = MediaInfoProgram(std::string(section) + ";" + inform, path);
            // The program prints nothing for a stream the file does not have.
            if (theirs.empty()) theirs.assign(keys.size() - 1, '|');
            EXPECT_EQ(ours, theirs) << section;
        }
    }
}

TEST(MediaInfoBinding, CurrentKeysAnswerWhenTheTraditionalOnesAreEmpty) {
    TempDir dir;
    MediaInfoHandle handle;
    const std::string path = MakeWav(dir / "x.wav", 48000, 2, 24);
    CMediaInfoQuery query(&handle, path);
    EXPECT_EQ(handle.Get(MediaInfoHandle::kStreamAudio, 0, "Resolution"), "");
    EXPECT_EQ(handle.Get(MediaInfoHandle::kStreamAudio, 0, "Codec"), "");
    EXPECT_EQ(query.Ask(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Resolution), "24");
    EXPECT_EQ(query.Ask(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Codec), "PCM");
    EXPECT_EQ(query.Ask(MediaInfoHandle::kStreamAudio, MediaInfoProperty::SamplingRate), "48000");
}

TEST(MediaInfoBinding, NonAsciiFileNamesReachTheLibrary) {
    TempDir dir;
    MediaInfoHandle handle;
    const auto file = OpenFile(MakeMp3(dir, "Ça va – 日本.mp3"), &handle);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 44100);
    EXPECT_EQ(file->BitRate, 128.0);
}

TEST(MediaInfoBinding, AnswersAreCopiedBeforeTheNextCall) {
    TempDir dir;
    MediaInfoHandle handle;
    handle.Open(MakeMp3(dir, "x.mp3"));
    const std::string rate = handle.Get(MediaInfoHandle::kStreamAudio, 0, "SamplingRate");
    const std::string channels = handle.Get(MediaInfoHandle::kStreamAudio, 0, "Channel(s)");
    handle.Close();
    EXPECT_EQ(rate, "44100");
    EXPECT_EQ(channels, "2");
}

TEST(MediaInfoQuery, LeadingIntegerOfAnAnswer) {
    EXPECT_EQ(LeadingInteger("44100"), 44100);
    EXPECT_EQ(LeadingInteger("  -12 kb/s"), -12);
    EXPECT_EQ(LeadingInteger("+7"), 7);
    EXPECT_EQ(LeadingInteger("128000 / 64000"), 128000);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("Unable to load MediaInfo.dll"), 0);
    EXPECT_EQ(LeadingInteger("-"), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), 2147483647);
    EXPECT_EQ(LeadingInteger("-99999999999999999999"), -2147483647 - 1);
}

TEST(WideText, RoundTripsEveryPlaneAndReplacesMalformedBytes) {
    const std::string text = "a\xC3\xA9\xE2\x80\x93\xE6\x97\xA5\xF0\x9F\x8E\xB5";  // a é – 日 🎵
    const std::wstring wide = Utf8ToWide(text);
    EXPECT_EQ(wide, (std::wstring{L'a', 0xE9, 0x2013, 0x65E5, 0x1F3B5}));
    EXPECT_EQ(WideToUtf8(wide), text);
    EXPECT_EQ(Utf8ToWide("x\xFFy\xC3"), (std::wstring{L'x', 0xFFFD, L'y', 0xFFFD}));
    // An overlong form (a lead that never starts a sequence, then a stray continuation) and an
    // encoded surrogate: nothing of either survives as a character.
    EXPECT_EQ(Utf8ToWide("\xC0\xAF\xED\xA0\x80"), (std::wstring{0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(
        WideToUtf8(std::wstring{static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000)}),
        "\xEF\xBF\xBD\xEF\xBF\xBD");
}
