#include "session/SampleComparison.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "session/WaveSampleReader.h"

namespace {

// About 1 MiB of 32-bit stereo samples per read.
constexpr std::int64_t kFramesPerBlock = 1 << 17;

struct Plan {
    bool RawBytes = false;          // same coding on both sides, compared byte for byte
    bool FloatsAsIntegers = false;  // float on one side only
    std::uint32_t Mask = 0xFFFFFFFFu;
    bool Reduced = false;
    std::string Note;
};

Plan MakePlan(const CWaveSampleReader& reference, const CWaveSampleReader& decoded, int heldBits) {
    Plan plan;
    const int decodedBits = decoded.IsFloat() ? 32 : decoded.BitsPerSample();
    const int bits = std::min(decodedBits, heldBits > 0 ? heldBits : 32);
    plan.FloatsAsIntegers = reference.IsFloat() != decoded.IsFloat();
    plan.RawBytes = !plan.FloatsAsIntegers &&
                    reference.BitsPerSample() == decoded.BitsPerSample() &&
                    bits >= reference.BitsPerSample();
    if (bits < 32) plan.Mask = ~(0xFFFFFFFFu >> bits);
    if (reference.IsFloat() && !decoded.IsFloat()) {
        plan.Reduced = true;
        plan.Note = "float samples compared as " + std::to_string(bits) + "-bit integers";
    } else if (!reference.IsFloat() && bits < reference.BitsPerSample()) {
        plan.Reduced = true;
        plan.Note = "compared on the upper " + std::to_string(bits) + " bits";
    }
    return plan;
}

std::string DifferenceAt(std::int64_t sample, int channels) {
    return "its samples differ from the source's from sample " + std::to_string(sample / channels) +
           " (channel " + std::to_string(sample % channels + 1) + ") on";
}

// The first differing sample of two equal-sized blocks, or -1.
std::int64_t FirstDifference(const std::vector<std::int32_t>& a, const std::vector<std::int32_t>& b,
                             std::uint32_t mask) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if ((static_cast<std::uint32_t>(a[i]) ^ static_cast<std::uint32_t>(b[i])) & mask)
            return static_cast<std::int64_t>(i);
    }
    return -1;
}

std::int64_t FirstRawDifference(const std::vector<std::uint8_t>& a,
                                const std::vector<std::uint8_t>& b, int sampleBytes) {
    if (std::memcmp(a.data(), b.data(), a.size()) == 0) return -1;
    const auto at = std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin();
    return at / sampleBytes;
}

SampleComparison Unreadable(SampleComparison result) {
    result.Difference = "its samples could not be read to the end";
    return result;
}

}  // namespace

SampleComparison CompareWaveSamples(CWaveSampleReader& reference, CWaveSampleReader& decoded,
                                    int heldBits, const std::atomic<bool>* cancel) {
    SampleComparison result;
    const int channels = reference.Channels();
    if (decoded.Channels() != channels ||
        decoded.Layout().Format.SampleRate != reference.Layout().Format.SampleRate) {
        result.Difference = "it holds " + std::to_string(decoded.Channels()) + " channels at " +
                            std::to_string(decoded.Layout().Format.SampleRate) +
                            " Hz, its source " + std::to_string(channels) + " at " +
                            std::to_string(reference.Layout().Format.SampleRate) + " Hz";
        return result;
    }
    if (decoded.Frames() != reference.Frames()) {
        result.Difference = "it decodes to " + std::to_string(decoded.Frames()) +
                            " samples per channel, its source holds " +
                            std::to_string(reference.Frames());
        return result;
    }
    const Plan plan = MakePlan(reference, decoded, heldBits);
    result.Reduced = plan.Reduced;
    result.Note = plan.Note;
    std::int64_t done = 0;  // samples compared so far
    for (;;) {
        if (cancel && cancel->load()) {
            result.Stopped = true;
            return result;
        }
        std::int64_t at = -1;
        std::size_t samples = 0;
        if (plan.RawBytes) {
            const auto& a = reference.ReadRaw(kFramesPerBlock);
            const auto& b = decoded.ReadRaw(kFramesPerBlock);
            if (a.size() != b.size()) return Unreadable(result);
            samples = a.size() / static_cast<std::size_t>(reference.BitsPerSample() / 8);
            if (!a.empty()) at = FirstRawDifference(a, b, reference.BitsPerSample() / 8);
        } else {
            const auto& a = reference.ReadWords(kFramesPerBlock, plan.FloatsAsIntegers);
            const auto& b = decoded.ReadWords(kFramesPerBlock, plan.FloatsAsIntegers);
            if (a.size() != b.size()) return Unreadable(result);
            samples = a.size();
            at = FirstDifference(a, b, plan.Mask);
        }
        if (at >= 0) {
            result.Difference = DifferenceAt(done + at, channels);
            return result;
        }
        if (samples == 0) break;
        done += static_cast<std::int64_t>(samples);
    }
    if (reference.Failed() || decoded.Failed()) return Unreadable(result);
    result.Equal = true;
    return result;
}
