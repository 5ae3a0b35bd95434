#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "EngineFiles.h"
#include "codecs/CoderList.h"
#include "codecs/DecoderList.h"
#include "core/CommandLine.h"
#include "core/Templates.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"
#include "session/OutputCheck.h"
#include "session/OutputVerifier.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

// The output checks against real outputs of the shipped codec packages, made from sox sources.

namespace {

const std::string kWork = KELTO_WORK_DIR;

struct Packages {
    CCoderList Coders;
    CDecoderList Decoders;
    Packages() {
        Coders.LoadFromFolder(kWork + "/Coders");
        Decoders.LoadFromFolder(kWork + "/Decoders");
    }
    CCoder* Coder(const std::string& name) const {
        for (int i = 0; i < Coders.GetCount(); ++i)
            if (Coders.GetAt(i)->GetName() == name) return Coders.GetAt(i);
        return nullptr;
    }
};

// sox's pink noise: "-b 32 -e floating-point" and the like go in format.
std::string MakeSource(const std::string& path, int rate, int channels, double seconds,
                       const std::string& format = "-b 16") {
    EXPECT_TRUE(RunShell("sox -R -n -r " + std::to_string(rate) + " -c " +
                         std::to_string(channels) + " " + format + " " + ShellQuoted(path) +
                         " synth " + std::to_string(seconds) + " pinknoise vol 0.8"));
    return path;
}

bool Encode(CCoder& coder, const CPreset& preset, const std::string& in, const std::string& out,
            int rate) {
    std::string commandLine;
    if (!ExpandTemplate(preset.CommandLine, TemplateValues{in, out, rate, 2, 16}, commandLine))
        return false;
    std::string command = ShellQuoted(coder.GetProgramPath());
    for (const std::string& arg : SplitCommandLine(commandLine)) command += " " + ShellQuoted(arg);
    return RunShell(command);
}

std::string CopyOf(const std::string& from, const std::string& to, double share) {
    const std::string bytes = ReadFileBytes(from);
    WriteFileBytes(to, bytes.substr(0, static_cast<std::size_t>(bytes.size() * share)));
    return to;
}

// Where the samples of a WAV file begin.
std::size_t DataOffset(const std::string& bytes) {
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::size_t size = static_cast<unsigned char>(bytes[at + 4]) |
                                 static_cast<unsigned char>(bytes[at + 5]) << 8 |
                                 static_cast<unsigned char>(bytes[at + 6]) << 16 |
                                 static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 7]))
                                     << 24;
        if (bytes.compare(at, 4, "data") == 0) return at + 8;
        at += 8 + size + (size & 1);
    }
    return std::string::npos;
}

// A copy of a WAV file with bit `bit` of byte `byte` of sample `sample` flipped.
std::string WithFlippedBit(const std::string& wav, const std::string& to, std::size_t sampleByte,
                           int bit) {
    std::string bytes = ReadFileBytes(wav);
    bytes[DataOffset(bytes) + sampleByte] ^= static_cast<char>(1 << bit);
    WriteFileBytes(to, bytes);
    return to;
}

std::string Put32(std::string bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

bool HasExactLength(const std::string& coderName) {
    return coderName == "FLAC" || coderName == "WavPack" || coderName == "True Audio (TTA)";
}

}  // namespace

TEST(OutputCheck, ShippedCoderOutputsPassAndCutEmptyShortOrForeignOnesFail) {
    Packages packages;
    ASSERT_EQ(packages.Coders.GetCount(), 9);
    MediaInfoHandle mediaInfo;
    ASSERT_TRUE(mediaInfo.Ready());
    TempDir dir;
    const std::string ten = MakeSource(dir / "ten.wav", 44100, 2, 10.0);
    const std::string nine = dir / "nine.wav";  // the song cut by 10 %
    ASSERT_TRUE(RunShell("sox " + ShellQuoted(ten) + " " + ShellQuoted(nine) + " trim 0 9"));
    const std::string brief = MakeSource(dir / "brief.wav", 22050, 1, 1.5);
    const std::string foreignMp3 = dir / "foreign.mp3";
    const std::string foreignFlac = dir / "foreign.flac";
    // As long as the source: only what they are gives them away.
    ASSERT_TRUE(RunShell("lame --silent " + ShellQuoted(ten) + " " + ShellQuoted(foreignMp3)));
    ASSERT_TRUE(RunShell("flac -s " + ShellQuoted(ten) + " -o " + ShellQuoted(foreignFlac)));

    for (int c = 0; c < packages.Coders.GetCount(); ++c) {
        CCoder& coder = *packages.Coders.GetAt(c);
        const bool lossless = coder.IsLossless();
        const int held = coder.GetHeldBits();
        int index = 0;
        for (const CPreset& preset : coder.GetPresets()) {
            SCOPED_TRACE(coder.GetName() + ", " + preset.Name);
            const std::string stem = dir / ("c" + std::to_string(c) + "p" + std::to_string(index));
            const std::string out = stem + preset.Extension;
            const std::string source = index++ == 0 ? ten : brief;
            const double seconds = source == ten ? 10.0 : 1.5;
            ASSERT_TRUE(Encode(coder, preset, source, out, source == ten ? 44100 : 22050));
            const OutputCheckResult check = CheckOutput(out, preset.Extension, seconds, &mediaInfo);
            EXPECT_TRUE(check.Passed) << check.Reason;
            EXPECT_FALSE(check.LengthUnknown);
            const OutputCheckResult full =
                VerifyOutput(out, source, packages.Decoders, lossless, held, nullptr);
            EXPECT_TRUE(full.Passed && full.Verified) << full.Reason;
            EXPECT_FALSE(full.Reduced);
            CFileInfo record;
            ASSERT_TRUE(record.Open(out, &mediaInfo));
            EXPECT_EQ(record.LengthExact, HasExactLength(coder.GetName()));
            if (record.LengthExact) {
                EXPECT_EQ(record.Samples, static_cast<std::int64_t>(seconds * record.SampleRate));
            }
            if (source != ten) continue;

            const std::string shorter = stem + "-nine" + preset.Extension;
            ASSERT_TRUE(Encode(coder, preset, nine, shorter, 44100));
            const std::string foreign = CopyOf(coder.GetName() == "MP3" ? foreignFlac : foreignMp3,
                                               stem + "-foreign" + preset.Extension, 1.0);
            // Each damaged file, with what the built-in check must say about it.
            const std::vector<std::pair<std::string, std::vector<std::string>>> bad = {
                {shorter, {"plays "}},
                {CopyOf(out, stem + "-cut" + preset.Extension, 0.7),
                 {"is truncated: ", "is cut short: ", "plays "}},
                {CopyOf(out, stem + "-empty" + preset.Extension, 0.0), {"is empty"}},
                {foreign, {"is not a "}}};
            for (const auto& [file, saying] : bad) {
                SCOPED_TRACE(file);
                const OutputCheckResult badCheck =
                    CheckOutput(file, preset.Extension, 10.0, &mediaInfo);
                EXPECT_FALSE(badCheck.Passed);
                EXPECT_EQ(badCheck.Reason.rfind(file, 0), 0u) << badCheck.Reason;
                EXPECT_TRUE(std::any_of(saying.begin(), saying.end(),
                                        [&](const std::string& words) {
                                            return badCheck.Reason.find(words) != std::string::npos;
                                        }))
                    << badCheck.Reason;
                const OutputCheckResult badFull =
                    VerifyOutput(file, ten, packages.Decoders, lossless, held, nullptr);
                EXPECT_FALSE(badFull.Passed || badFull.Verified);
                EXPECT_NE(badFull.Reason.find(file), std::string::npos) << badFull.Reason;
            }
        }
    }
}

TEST(OutputCheck, WavFilesThatPromiseMoreThanTheyHoldFailButOpenSizesDoNot) {
    TempDir dir;
    // 8000 frames of 16-bit mono with sox's plain 44-byte header: 16000 sample bytes.
    const std::string whole = MakeSource(dir / "whole.wav", 8000, 1, 1.0);
    const std::string bytes = ReadFileBytes(whole);
    ASSERT_EQ(bytes.size(), 16044u);
    CFileInfo listed;
    ASSERT_TRUE(listed.Open(whole, nullptr));
    const std::string from = ShellQuoted(whole);
    const std::string oddChunks =
        std::string("LIST\x03\0\0\0abc\0", 12) + std::string("bext\0\0\0\0", 8);
    struct Case {
        std::string Name;
        std::string Make;   // a shell command writing {} from the source, or empty
        std::string Bytes;  // else the file's bytes
        std::int64_t Samples;
        std::string Reason;  // what the check says, empty when it passes
    };
    const std::vector<Case> cases = {
        {"whole", "", bytes, 8000, ""},
        {"cut", "", bytes.substr(0, 12044), 6000,
         "is truncated: the data chunk promises 16000 bytes, the file holds 12000"},
        {"whole but a fifth as long", "", Put32(bytes.substr(0, 3244), 40, 3200), 1600,
         "plays 0.200 s, its source"},
        {"size 0", "", Put32(bytes, 40, 0), 8000, ""},
        {"size all ones", "", Put32(bytes, 40, 0xFFFFFFFFu), 8000, ""},
        {"size as lame leaves it on a pipe", "", Put32(bytes, 40, 0x7FFFFFFFu), 8000, ""},
        {"odd chunks before data", "", bytes.substr(0, 36) + oddChunks + bytes.substr(36), 8000,
         ""},
        {"sox to a pipe", "sox " + from + " -t wav - > {}", "", 8000, ""},
        {"ffmpeg to a pipe", "ffmpeg -v error -i " + from + " -f wav - > {}", "", 8000, ""},
        {"ffmpeg RF64 to a pipe", "ffmpeg -v error -i " + from + " -rf64 always -f wav - > {}", "",
         8000, ""},
        {"ffmpeg RF64 to a file", "ffmpeg -v error -i " + from + " -rf64 always {}", "", 8000, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir / (c.Name + ".wav");
        if (c.Make.empty()) {
            WriteFileBytes(path, c.Bytes);
        } else {
            std::string command = c.Make;
            for (std::size_t at; (at = command.find("{}")) != std::string::npos;)
                command.replace(at, 2, ShellQuoted(path));
            ASSERT_TRUE(RunShell("(" + command + ")"));
        }
        CFileInfo record;
        ASSERT_TRUE(record.Open(path, nullptr)) << "a WAV file cut short is still listed";
        EXPECT_EQ(record.Samples, c.Samples);
        EXPECT_TRUE(record.LengthExact);
        EXPECT_EQ(record.Truncation.empty(), c.Name != "cut") << record.Truncation;
        double seconds = 0;
        const OutputCheckResult check = CheckDecodedWave(path, listed, &seconds);
        EXPECT_EQ(check.Passed, c.Reason.empty()) << check.Reason;
        EXPECT_NE(check.Reason.find(c.Reason), std::string::npos) << check.Reason;
        if (check.Passed) {
            EXPECT_DOUBLE_EQ(seconds, 1.0);
        }
    }
}

TEST(OutputCheck, DecodedWavOfALossySourceMatchesItsEstimatedLength) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    const std::string wav = MakeSource(dir / "song.wav", 22050, 2, 10.0);
    const std::string mp3 = dir / "song.mp3";
    ASSERT_TRUE(RunShell("lame --silent -V 2 " + ShellQuoted(wav) + " " + ShellQuoted(mp3)));
    CFileInfo listed;
    ASSERT_TRUE(listed.Open(mp3, &mediaInfo));
    EXPECT_FALSE(listed.LengthExact);
    const std::string decoded = dir / "decoded.wav";
    const std::string early = dir / "early.wav";
    ASSERT_TRUE(
        RunShell("lame --silent --decode " + ShellQuoted(mp3) + " " + ShellQuoted(decoded)));
    ASSERT_TRUE(RunShell("sox " + ShellQuoted(decoded) + " " + ShellQuoted(early) + " trim 0 9"));
    double seconds = 0;
    const OutputCheckResult good = CheckDecodedWave(decoded, listed, &seconds);
    EXPECT_TRUE(good.Passed) << good.Reason;
    EXPECT_DOUBLE_EQ(seconds, 10.0);
    EXPECT_FALSE(CheckDecodedWave(early, listed, &seconds).Passed);
}

TEST(OutputVerifier, LosslessOutputsAreComparedBitForBitAtTheResolutionTheirCoderHolds) {
    Packages packages;
    TempDir dir;
    struct Case {
        std::string Coder;
        std::string Format;  // sox's
        int SampleBytes;
        std::string Note;  // of a reduced comparison
    };
    const std::vector<Case> cases = {
        {"FLAC", "-b 8", 1, ""},
        {"FLAC", "-b 16", 2, ""},
        {"WavPack", "-b 24", 3, ""},
        {"FLAC", "-b 32", 4, ""},
        {"True Audio (TTA)", "-b 24", 3, ""},
        {"ALAC (M4A)", "-b 32", 4, "compared on the upper 24 bits"},
        {"WavPack", "-b 32 -e floating-point", 4, ""},
        {"True Audio (TTA)", "-b 32 -e floating-point", 4,
         "float samples compared as 24-bit integers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Coder + " " + c.Format);
        CCoder* coder = packages.Coder(c.Coder);
        ASSERT_NE(coder, nullptr);
        const CPreset& preset = *coder->GetPresets().GetAt(0);
        const std::string source = MakeSource(dir / "source.wav", 48000, 2, 0.5, c.Format);
        const std::string out = dir / ("out" + preset.Extension);
        ASSERT_TRUE(Encode(*coder, preset, source, out, 48000));
        const auto verify = [&](const std::string& reference) {
            return VerifyOutput(out, reference, packages.Decoders, coder->IsLossless(),
                                coder->GetHeldBits(), nullptr);
        };
        const OutputCheckResult same = verify(source);
        EXPECT_TRUE(same.Passed && same.Verified) << same.Reason;
        EXPECT_EQ(same.Reduced, !c.Note.empty());
        EXPECT_EQ(same.Note, c.Note);
        // One sample of the second channel, 1000 frames in, differs in its lowest bit (or, where
        // the coder keeps 24 of 32 bits, in the lowest it keeps).
        const std::size_t byte = (1000 * 2 + 1) * c.SampleBytes;
        const std::string changed =
            WithFlippedBit(source, dir / "changed.wav", byte + (c.Note.empty() ? 0 : 1), 0);
        const OutputCheckResult differs = verify(changed);
        EXPECT_FALSE(differs.Passed);
        EXPECT_NE(differs.Reason.find("from sample 1000 (channel 2)"), std::string::npos)
            << differs.Reason;
        if (!c.Note.empty()) {
            EXPECT_TRUE(verify(WithFlippedBit(source, dir / "below.wav", byte, 0)).Passed)
                << "a bit the coder does not keep";
        }
    }
}

TEST(OutputVerifier, WavOutputsAreComparedDirectlyWhateverTheirHeaders) {
    Packages packages;
    TempDir dir;
    // sox writes WAVE_FORMAT_EXTENSIBLE for 24 bits, and a plain header when told to; the plain
    // one gets an odd-sized chunk and a LIST chunk before its samples.
    const std::string extensible = MakeSource(dir / "extensible.wav", 44100, 2, 0.5, "-b 24");
    const std::string plain = dir / "plain.wav";
    ASSERT_TRUE(RunShell("sox " + ShellQuoted(extensible) + " -t wavpcm " + ShellQuoted(plain)));
    std::string bytes = ReadFileBytes(plain);
    ASSERT_EQ(bytes.substr(12, 8), std::string("fmt \x10\0\0\0", 8));
    ASSERT_EQ(ReadFileBytes(extensible).substr(12, 8), std::string("fmt \x28\0\0\0", 8));
    bytes.insert(DataOffset(bytes) - 8, std::string("odd \x01\0\0\0x\0LIST\x04\0\0\0INFO", 22));
    const std::string legacy = dir / "legacy.wav";
    WriteFileBytes(legacy, bytes);
    const OutputCheckResult same =
        VerifyOutput(legacy, extensible, packages.Decoders, true, 0, nullptr);
    EXPECT_TRUE(same.Passed && same.Verified) << same.Reason;
    const std::string changed = WithFlippedBit(legacy, dir / "changed.wav", 3 * 777, 0);
    const OutputCheckResult differs =
        VerifyOutput(changed, extensible, packages.Decoders, true, 0, nullptr);
    EXPECT_FALSE(differs.Passed);
    EXPECT_NE(differs.Reason.find("from sample 388 (channel 2)"), std::string::npos)
        << differs.Reason;
    const std::string cut = CopyOf(legacy, dir / "cut.wav", 0.5);
    EXPECT_FALSE(VerifyOutput(cut, "", packages.Decoders, false, 0, nullptr).Passed);
    const OutputCheckResult alone = VerifyOutput(legacy, "", packages.Decoders, false, 0, nullptr);
    EXPECT_TRUE(alone.Passed && alone.Verified && alone.LengthUnknown) << alone.Reason;
    // 32 bits where the coder keeps 24: a change below them does not count.
    const std::string wide = MakeSource(dir / "wide.wav", 44100, 2, 0.5, "-b 32");
    const std::string low = WithFlippedBit(wide, dir / "low.wav", 4 * 100, 3);
    const OutputCheckResult upper = VerifyOutput(low, wide, packages.Decoders, true, 24, nullptr);
    EXPECT_TRUE(upper.Passed && upper.Reduced) << upper.Reason;
    EXPECT_FALSE(VerifyOutput(low, wide, packages.Decoders, true, 0, nullptr).Passed);
}

TEST(OutputCheck, TaggedOutputsPassAndOnesCutAtAFrameBoundaryFail) {
    Packages packages;
    MediaInfoHandle mediaInfo;
    TempDir dir;
    const std::string ten = MakeSource(dir / "ten.wav", 44100, 2, 10.0);
    const std::string nine = dir / "nine.wav";
    ASSERT_TRUE(RunShell("sox " + ShellQuoted(ten) + " " + ShellQuoted(nine) + " trim 0 9"));
    const std::string cover = dir / "cover.png";
    ASSERT_TRUE(RunShell("convert -size 300x300 plasma: " + ShellQuoted(cover)));
    const std::string id3v1 = "TAG" + std::string(125, 'x');
    struct Case {
        std::string Output;
        std::string Make;    // shell commands; {ten}, {nine}, {cover} and {out} stand for paths
        std::string Append;  // bytes added to the end afterwards
        std::string Cut;     // "block": the last WavPack block goes; "bytes": the last 10 bytes
        std::string Reason;  // empty when it passes
    };
    const std::vector<Case> cases = {
        {"tagged.flac",
         "flac -s {ten} -o {out} && metaflac --set-tag=TITLE=Song --import-picture-from={cover} "
         "{out}",
         "", "", ""},
        {"tagged.wv", "wavpack -q {ten} -w Title=Song --write-binary-tag Cover=@{cover} -o {out}",
         "", "", ""},
        {"tagged.mp3", "lame --silent --tt Song --ti {cover} {ten} {out}", id3v1, "", ""},
        {"tagged.tta", "ffmpeg -v error -i {ten} -metadata title=Song {out}", id3v1, "", ""},
        // STREAMINFO of ten seconds over nine seconds of frames: as if cut after a whole frame.
        {"promising.flac",
         "flac -s {nine} -o {out} && flac -s {ten} -o {out}.ten && "
         "dd if={out}.ten of={out} bs=1 skip=18 seek=18 count=8 conv=notrunc",
         "", "", "ends at sample 396900 of the 441000"},
        {"short.wv", "wavpack -q {ten} -o {out}", "", "block", "of the 441000"},
        {"cut.flac", "flac -s {ten} -o {out}", "", "bytes", "its last frame is incomplete"},
        {"cut.wv", "wavpack -q {ten} -o {out}", "", "bytes", "its last block is incomplete"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Output);
        const std::string out = dir / c.Output;
        std::string command = c.Make;
        for (const auto& [name, path] : std::vector<std::pair<std::string, std::string>>{
                 {"{ten}", ten}, {"{nine}", nine}, {"{cover}", cover}, {"{out}", out}}) {
            for (std::size_t at; (at = command.find(name)) != std::string::npos;)
                command.replace(at, name.size(), ShellQuoted(path));
        }
        ASSERT_TRUE(RunShell("(" + command + ")"));
        std::string bytes = ReadFileBytes(out);
        if (c.Cut == "block") bytes.resize(bytes.rfind("wvpk"));
        if (c.Cut == "bytes") bytes.resize(bytes.size() - 10);
        WriteFileBytes(out, bytes + c.Append);
        const std::string extension = fs::path(out).extension().string();
        const OutputCheckResult check = CheckOutput(out, extension, 10.0, &mediaInfo);
        EXPECT_EQ(check.Passed, c.Reason.empty()) << check.Reason;
        EXPECT_NE(check.Reason.find(c.Reason), std::string::npos) << check.Reason;
        if (c.Reason.empty()) {
            const OutputCheckResult full =
                VerifyOutput(out, ten, packages.Decoders, extension != ".mp3", 0, nullptr);
            EXPECT_TRUE(full.Passed) << full.Reason;
        }
    }
}

TEST(OutputVerifier, ADecoderThatFailsOrIsStoppedFailsTheCheck) {
    TempDir dir;
    TempDir temporary;
    const std::string source = MakeSource(dir / "source.wav", 44100, 2, 1.0);
    const std::string out = dir / "out.flac";
    ASSERT_TRUE(RunShell("flac -s " + ShellQuoted(source) + " -o " + ShellQuoted(out)));
    const std::string pidFile = dir / "decoder.pid";
    struct Case {
        std::string Name;
        std::string Script;  // the decoder program, taking flac's decoding arguments
        bool Cancel;
        std::string Reason;
    };
    // Stand-ins for what the real decoders cannot be made to do on demand: write a whole WAV
    // file and still report an error, or never end.
    const std::vector<Case> cases = {
        {"fails", "/usr/bin/flac \"$@\" >/dev/null 2>&1\necho 'flac: damaged frame' >&2\nexit 3\n",
         false, "exit status 3: flac: damaged frame"},
        {"hangs", "echo $$ > " + ShellQuoted(pidFile) + "\nexec sleep 20\n", true, "stopped"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path package = dir.Path() / c.Name / "Stand-in";
        fs::create_directories(package);
        WriteFileBytes((package / "Extensions.ini").string(), "flac\n");
        WriteFileBytes((package / "Format.ini").string(), "-d -f -o %out% %in%\n");
        WriteFileBytes((package / "decode").string(), "#!/bin/sh\n" + c.Script);
        fs::permissions(package / "decode", fs::perms::owner_all);
        CDecoderList decoders;
        decoders.LoadFromFolder((dir.Path() / c.Name).string());
        ASSERT_EQ(decoders.GetCount(), 1);

        const char* previous = std::getenv("TMPDIR");
        const std::string saved = previous ? previous : "";
        setenv("TMPDIR", temporary.Path().c_str(), 1);
        std::atomic<bool> cancel{false};
        std::thread stopper([&] {
            while (c.Cancel && !fs::exists(pidFile))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            cancel = c.Cancel;
        });
        const OutputCheckResult result = VerifyOutput(out, source, decoders, true, 0, &cancel);
        stopper.join();
        if (previous) {
            setenv("TMPDIR", saved.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
        EXPECT_FALSE(result.Passed);
        EXPECT_NE(result.Reason.find(c.Reason), std::string::npos) << result.Reason;
        EXPECT_TRUE(fs::is_empty(temporary.Path())) << "the temporary WAV file is left";
        if (c.Cancel) {
            const std::string pid = ReadFileBytes(pidFile);
            EXPECT_FALSE(fs::exists("/proc/" + pid.substr(0, pid.find('\n'))))
                << "the decoder still runs";
        }
    }
    // Without a decoder for it, the output cannot be looked into, which is no fault of its own.
    const CDecoderList none;
    const OutputCheckResult unverified = VerifyOutput(out, source, none, true, 0, nullptr);
    EXPECT_TRUE(unverified.Passed && !unverified.Verified);
    EXPECT_EQ(unverified.Note, "not verified: no decoder takes .flac files");
}

TEST(OutputCheck, AResampledDecodedWavIsTimedInSecondsAndACutOneStillFails) {
    // Odd frame counts at the source's rate, so that the new rate's length is rounded.
    TempDir dir;
    for (const auto& [rate, to, frames] : {std::tuple{96000, 44100, 96001},
                                           std::tuple{88200, 48000, 88199},
                                           std::tuple{192000, 48000, 191999}}) {
        SCOPED_TRACE(rate);
        const std::string wav = dir / "source.wav";
        ASSERT_TRUE(RunShell("sox -R -r " + std::to_string(rate) + " -n -b 24 -c 2 " +
                             ShellQuoted(wav) + " synth " + std::to_string(frames) +
                             "s sine 440"));
        CFileInfo listed;
        ASSERT_TRUE(listed.Open(wav, nullptr));
        const std::string decoded = dir / "decoded.wav";
        const std::string cut = dir / "cut.wav";
        ASSERT_TRUE(RunShell("ffmpeg -nostdin -v error -y -i " + ShellQuoted(wav) +
                             " -c:a pcm_s16le -af aresample=resampler=soxr:osr=" +
                             std::to_string(to) + ":osf=s16:dither_method=triangular " +
                             ShellQuoted(decoded)));
        ASSERT_TRUE(RunShell("sox " + ShellQuoted(decoded) + " " + ShellQuoted(cut) +
                             " trim 0 0.9"));
        double seconds = 0;
        const OutputCheckResult good = CheckDecodedWave(decoded, listed, &seconds);
        EXPECT_TRUE(good.Passed) << good.Reason;
        EXPECT_NEAR(seconds, static_cast<double>(frames) / rate, 1.0 / to);
        EXPECT_FALSE(CheckDecodedWave(cut, listed, &seconds).Passed);
    }
}
