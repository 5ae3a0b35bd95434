// The cost of checking outputs.
// (a) The built-in check (CheckOutput: headers only) over a batch of 300 short outputs of every
//     shipped coder, against reading the same files' information as listing them does
//     (CFileInfo::Open): milliseconds per output and the ratio.
// (b) The full check (VerifyOutput) of 20 one-minute outputs each of FLAC (-5), WavPack and
//     MP3, against running their decoders alone on the same files: seconds and the ratio.
//
// Usage: bench_output_check [WORK_DIR]   (default: the build's working folder, ../work)
// Targets: (a) under 2 ms per output; (b) at most 1.1 times the decoders' own time.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchShell.h"
#include "codecs/CoderList.h"
#include "codecs/DecoderList.h"
#include "core/CommandLine.h"
#include "core/Templates.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"
#include "platform/ChildProcess.h"
#include "platform/File.h"
#include "session/OutputCheck.h"
#include "session/OutputVerifier.h"

namespace fs = std::filesystem;

namespace {

using bench::Median;
using bench::Quoted;
using bench::Shell;

constexpr int kShortOutputs = 300;
constexpr int kLongOutputs = 20;
constexpr int kRounds = 3;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string Expand(const CPreset& preset, const std::string& in, const std::string& out) {
    std::string commandLine;
    ExpandTemplate(preset.CommandLine, TemplateValues{in, out, 44100, 2, 16}, commandLine);
    return commandLine;
}

void Encode(CCoder& coder, const CPreset& preset, const std::string& in, const std::string& out) {
    std::string command = Quoted(coder.GetProgramPath());
    for (const std::string& arg : SplitCommandLine(Expand(preset, in, out)))
        command += " " + Quoted(arg);
    Shell(command + " >/dev/null 2>&1");
}

// The decoder of the output alone, started and waited for as kelto's process runner does.
void DecodeAlone(const CDecoderList& decoders, const std::string& output, const std::string& wave) {
    const CPreset* preset = nullptr;
    const CDecoder* decoder = decoders.FindFor(fs::path(output).extension().string(), &preset);
    CDecoder job(*decoder);
    platform::ChildProcess child;
    if (!platform::SpawnChild(job.GetProgramPath(), SplitCommandLine(Expand(*preset, output, wave)),
                              0, false, &child)) {
        std::fprintf(stderr, "cannot start %s\n", job.GetProgramPath().c_str());
        std::exit(1);
    }
    platform::WaitForChildExit(child.pidfd);
    platform::ChildExit exit;
    platform::ReapChild(child.pidfd, &exit);
    platform::CloseChildHandle(child.pidfd);
    platform::RemoveFile(wave);
    if (exit.signalled || exit.code != 0) {
        std::fprintf(stderr, "decoding %s failed\n", output.c_str());
        std::exit(1);
    }
}

struct Copies {
    std::vector<std::string> Paths;
    std::vector<std::string> Extensions;
};

// Part (a): one short output per coder's first preset, copied up to 300 files.
Copies MakeShortOutputs(CCoderList& coders, const fs::path& dir, const std::string& source) {
    Copies copies;
    for (int i = 0; i < kShortOutputs; ++i) {
        CCoder& coder = *coders.GetAt(i % coders.GetCount());
        const CPreset& preset = *coder.GetPresets().GetAt(0);
        const std::string first =
            (dir / ("first" + std::to_string(i % coders.GetCount()) + preset.Extension)).string();
        if (i < coders.GetCount()) Encode(coder, preset, source, first);
        const std::string copy = (dir / ("s" + std::to_string(i) + preset.Extension)).string();
        fs::copy_file(first, copy, fs::copy_options::overwrite_existing);
        copies.Paths.push_back(copy);
        copies.Extensions.push_back(preset.Extension);
    }
    return copies;
}

void BenchBuiltInCheck(CCoderList& coders, const fs::path& dir) {
    const std::string source = (dir / "short.wav").string();
    Shell("sox -R -n -r 44100 -c 2 -b 16 " + Quoted(source) + " synth 2 pinknoise vol 0.8");
    const Copies copies = MakeShortOutputs(coders, dir, source);
    MediaInfoHandle mediaInfo;
    std::vector<double> checks, opens;
    int failed = 0;
    for (int round = 0; round < kRounds; ++round) {
        double start = Now();
        for (const std::string& path : copies.Paths) {
            CFileInfo record;
            record.Open(path, &mediaInfo);
        }
        opens.push_back(Now() - start);
        start = Now();
        for (std::size_t i = 0; i < copies.Paths.size(); ++i) {
            if (!CheckOutput(copies.Paths[i], copies.Extensions[i], 2.0, &mediaInfo).Passed)
                ++failed;
        }
        checks.push_back(Now() - start);
    }
    // The cost of each coder's outputs, once more, as a guide to where the time goes.
    std::string perCoder;
    for (int c = 0; c < coders.GetCount(); ++c) {
        int count = 0;
        const double start = Now();
        for (std::size_t i = c; i < copies.Paths.size(); i += coders.GetCount(), ++count)
            CheckOutput(copies.Paths[i], copies.Extensions[i], 2.0, &mediaInfo);
        char text[96];
        std::snprintf(text, sizeof text, "%s%s %.2f", c ? ", " : "",
                      coders.GetAt(c)->GetName().c_str(), (Now() - start) * 1000 / count);
        perCoder += text;
    }
    std::printf("    per output, by coder (ms): %s\n", perCoder.c_str());
    const double check = Median(checks) * 1000 / kShortOutputs;
    const double open = Median(opens) * 1000 / kShortOutputs;
    std::printf(
        "(a) built-in check of %d short outputs (%d coders): %.3f ms per output; "
        "reading their file information alone %.3f ms (ratio %.2f); target < 2 ms%s\n",
        kShortOutputs, coders.GetCount(), check, open, check / open,
        failed ? " -- SOME OUTPUTS FAILED" : "");
}

bool BenchFullCheck(CCoderList& coders, const CDecoderList& decoders, const fs::path& dir,
                    const std::string& coderName, int presetIndex, bool lossless) {
    CCoder* coder = nullptr;
    for (int i = 0; i < coders.GetCount(); ++i)
        if (coders.GetAt(i)->GetName() == coderName) coder = coders.GetAt(i);
    const CPreset& preset = *coder->GetPresets().GetAt(presetIndex);
    const std::string source = (dir / "minute.wav").string();
    const std::string first = (dir / ("minute" + preset.Extension)).string();
    Encode(*coder, preset, source, first);
    std::vector<std::string> outputs;
    for (int i = 0; i < kLongOutputs; ++i) {
        outputs.push_back((dir / ("m" + std::to_string(i) + preset.Extension)).string());
        fs::copy_file(first, outputs.back(), fs::copy_options::overwrite_existing);
    }
    const std::string wave = (dir / "decoded.wav").string();
    // Each file is decoded alone and then checked in turn, so that a change in the machine's
    // load falls on both alike.
    std::vector<double> alone, verified, ratios;
    bool passed = true;
    for (int round = 0; round < kRounds; ++round) {
        double decodeSum = 0;
        double verifySum = 0;
        for (const std::string& output : outputs) {
            double start = Now();
            DecodeAlone(decoders, output, wave);
            decodeSum += Now() - start;
            start = Now();
            passed &=
                VerifyOutput(output, source, decoders, lossless, coder->GetHeldBits(), nullptr)
                    .Passed;
            verifySum += Now() - start;
        }
        alone.push_back(decodeSum);
        verified.push_back(verifySum);
        ratios.push_back(verifySum / decodeSum);
    }
    const double ratio = Median(ratios);
    std::printf(
        "(b) %-8s %d x 60 s: decoder alone %.2f s, full check %.2f s, ratio %.3f "
        "(median of %d rounds; target <= 1.1)%s\n",
        coderName.c_str(), kLongOutputs, Median(alone), Median(verified), ratio, kRounds,
        passed ? "" : " -- SOME OUTPUTS FAILED");
    return passed && ratio <= 1.1;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = bench::WorkFolder(argc, argv);
    CCoderList coders;
    CDecoderList decoders;
    coders.LoadFromFolder((work / "Coders").string());
    decoders.LoadFromFolder((work / "Decoders").string());
    if (coders.GetCount() == 0) {
        std::fprintf(stderr, "no coders in %s\n", work.c_str());
        return 1;
    }
    const fs::path dir = bench::ScratchFolder("check");
    fs::create_directories(dir);
    BenchBuiltInCheck(coders, dir);
    Shell("sox -R -n -r 44100 -c 2 -b 16 " + Quoted((dir / "minute.wav").string()) +
          " synth 60 pinknoise vol 0.8");
    bool ok = BenchFullCheck(coders, decoders, dir, "FLAC", 1, true);
    ok &= BenchFullCheck(coders, decoders, dir, "WavPack", 0, true);
    ok &= BenchFullCheck(coders, decoders, dir, "MP3", 0, false);
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
