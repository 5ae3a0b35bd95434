#include "session/SourceFit.h"

#include <algorithm>

#include "codecs/CoderProperties.h"
#include "fileinfo/FormatTable.h"

namespace {

// The rate DSD is decoded to: twice the highest rate of the CD family's audio band.
constexpr int kDsdDecodedRate = 88200;
constexpr int kDsdDecodedBits = 24;
constexpr int kHighestRate = 768000;

bool IsDsd(const CFileInfo& file) {
    return file.FormatId == kFormatDSF || file.FormatId == kFormatDSDIFF;
}

// 0 for the 44.1 kHz family (44100 times a power of two), 1 for the 48 kHz family (48000 times
// one), -1 for a rate of neither.
int FamilyOf(int rate) {
    for (const int base : {44100, 48000}) {
        for (int member = base; member <= kHighestRate; member *= 2) {
            if (rate == member) return base == 44100 ? 0 : 1;
        }
    }
    return -1;
}

// The rates of both families and the usual lower ones.
std::vector<int> StandardRates() {
    std::vector<int> rates = {8000, 11025, 12000, 16000, 22050, 24000, 32000};
    for (const int base : {44100, 48000}) {
        for (int rate = base; rate <= kHighestRate; rate *= 2) rates.push_back(rate);
    }
    std::sort(rates.begin(), rates.end());
    return rates;
}

// The lowest of rates (sorted) not below rate, else the highest; 0 for none.
int Nearest(const std::vector<int>& rates, int rate) {
    if (rates.empty()) return 0;
    const auto above = std::lower_bound(rates.begin(), rates.end(), rate);
    return above != rates.end() ? *above : rates.back();
}

int Lower(int a, int b) {
    if (a <= 0) return b;
    if (b <= 0) return a;
    return std::min(a, b);
}

}  // namespace

FitLimits FitLimits::Of(int maxSampleRate, int maxBits, const CoderProperties* coder) {
    FitLimits limits;
    limits.MaxSampleRate = maxSampleRate;
    limits.MaxBits = maxBits;
    if (coder) {
        limits.MaxSampleRate = Lower(limits.MaxSampleRate, coder->MaxSampleRate);
        limits.MaxBits = Lower(limits.MaxBits, coder->MaxBits);
        limits.MaxChannels = coder->MaxChannels;
        limits.SampleRates = coder->SampleRates;
    }
    return limits;
}

int SourceFit::FittedSampleRate(int rate, int maxRate, const std::vector<int>& allowed) {
    const auto fits = [&](int candidate) {
        return (maxRate <= 0 || candidate <= maxRate) &&
               (allowed.empty() ||
                std::find(allowed.begin(), allowed.end(), candidate) != allowed.end());
    };
    if (fits(rate)) return rate;
    std::vector<int> candidates = allowed.empty() ? StandardRates() : allowed;
    candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                    [&](int candidate) { return !fits(candidate); }),
                     candidates.end());
    std::sort(candidates.begin(), candidates.end());
    const int family = FamilyOf(rate);
    if (family < 0) return Nearest(candidates, rate);
    // Its own family first, then the other one, then any rate.
    std::vector<int> own;
    std::vector<int> other;
    for (const int candidate : candidates) {
        const int of = FamilyOf(candidate);
        if (of == family) own.push_back(candidate);
        if (of >= 0 && of != family) other.push_back(candidate);
    }
    if (!own.empty()) return Nearest(own, rate);
    return Nearest(other.empty() ? candidates : other, rate);
}

SourceFit SourceFit::Plan(const CFileInfo& file, const FitLimits& limits) {
    SourceFit fit;
    const int rate = IsDsd(file) ? kDsdDecodedRate : file.SampleRate;
    const int bits = IsDsd(file) ? kDsdDecodedBits : file.Resolution;
    fit.SampleRate = FittedSampleRate(rate, limits.MaxSampleRate, limits.SampleRates);
    if (fit.SampleRate == 0 && rate > 0) {
        fit.NoRate = true;
        return fit;
    }
    // The WAV file a decoder writes holds 16 or 24 bits.
    fit.Bits = bits > 16 ? 24 : 16;
    if (limits.MaxBits > 0 && bits > limits.MaxBits) fit.Bits = limits.MaxBits >= 24 ? 24 : 16;
    if (limits.MaxChannels > 0 && file.Channels > limits.MaxChannels) {
        fit.Channels = limits.MaxChannels;
    }
    fit.Needed = fit.SampleRate != rate || (limits.MaxBits > 0 && bits > limits.MaxBits) ||
                 fit.Channels != 0;
    return fit;
}

CFileInfo::DecodeFit SourceFit::ForDecoder(const CFileInfo& file) const {
    CFileInfo::DecodeFit decode;
    if (!Needed) return decode;
    decode.Bits = Bits;
    std::string resample;
    // The rate is named whenever it differs from the file's own, as DSD's always does.
    if (SampleRate != file.SampleRate && SampleRate > 0) {
        resample = "resampler=soxr:osr=" + std::to_string(SampleRate) + ":";
    }
    // The sample format is set here, so that this filter dithers: a later one would not.
    resample += Bits == 16 ? "osf=s16:dither_method=triangular" : "osf=s32";
    decode.Options = "-af aresample=" + resample;
    if (Channels > 0) decode.Options += " -ac " + std::to_string(Channels);
    return decode;
}
