#include "session/OutputVerifier.h"

#include "base/AsciiText.h"
#include "base/Paths.h"
#include "codecs/DecoderList.h"
#include "core/TempFileName.h"
#include "core/Templates.h"
#include "fileinfo/FormatSignature.h"
#include "fileinfo/FormatTable.h"
#include "platform/File.h"
#include "platform/TempFolder.h"
#include "session/CheckDecoding.h"
#include "session/LengthTolerance.h"
#include "session/OutputFile.h"
#include "session/SampleComparison.h"
#include "session/WaveSampleReader.h"

namespace {

// A temporary WAV name, held while the check runs; its file is removed with it.
class CTempWave {
public:
    CTempWave() : m_path(MakeTempFileName(platform::TemporaryFolder(), ".wav", &m_whyNot)) {}
    ~CTempWave() {
        if (m_path.empty()) return;
        platform::RemoveFile(m_path);
        ReleaseTempFileName(m_path);
    }
    CTempWave(const CTempWave&) = delete;
    CTempWave& operator=(const CTempWave&) = delete;

    const std::string& Path() const { return m_path; }
    const std::string& WhyNot() const { return m_whyNot; }

private:
    std::string m_whyNot;
    std::string m_path;
};

// The decoder's WAV file (or a WAV output) against the reference.
OutputCheckResult JudgeDecoded(const std::string& output, const std::string& decodedWave,
                               const std::string& referenceWave, std::int32_t formatId,
                               bool lossless, int heldBits, const std::atomic<bool>* cancel) {
    CWaveSampleReader decoded;
    std::string why;
    if (!decoded.Open(decodedWave, &why))
        return OutputCheckResult::Failure(output + " does not decode: " + why);
    if (decoded.Layout().IsTruncated())
        return OutputCheckResult::Failure(output + " decodes to a WAV file cut short");
    OutputCheckResult result;
    if (referenceWave.empty() || referenceWave == decodedWave) {
        result.LengthUnknown = true;
        result.Verified = true;
        return result;
    }
    CWaveSampleReader reference;
    if (!reference.Open(referenceWave, &why))
        return OutputCheckResult::Failure("the source cannot be read: " + why);
    if (lossless) {
        const SampleComparison comparison =
            CompareWaveSamples(reference, decoded, heldBits, cancel);
        if (comparison.Stopped) return OutputCheckResult::Failure("stopped");
        if (!comparison.Equal)
            return OutputCheckResult::Failure(output +
                                              " is not lossless: " + comparison.Difference);
        result.Reduced = comparison.Reduced;
        result.Note = comparison.Note;
    } else if (decoded.Layout().Format.SampleRate == 0 ||
               reference.Layout().Format.SampleRate == 0) {
        return OutputCheckResult::Failure(output +
                                          " cannot be timed: a WAV file without a sample rate");
    } else {
        const double seconds =
            static_cast<double>(decoded.Frames()) / decoded.Layout().Format.SampleRate;
        const double expected =
            static_cast<double>(reference.Frames()) / reference.Layout().Format.SampleRate;
        const auto rate = static_cast<std::int32_t>(decoded.Layout().Format.SampleRate);
        if (!LengthsAgree(seconds, expected, LengthTolerance::Of(formatId).Decoded(rate))) {
            return OutputCheckResult::Failure(output + " decodes to " + SecondsText(seconds) +
                                              ", its source " + SecondsText(expected));
        }
    }
    result.Verified = true;
    return result;
}

// The values the decoder's command line is expanded with: the reference's properties stand in
// for the source's, so a decoder told "%wav_bits%" writes every bit the coder kept.
TemplateValues DecoderValues(const std::string& output, const std::string& wave,
                             const std::string& referenceWave, int heldBits) {
    TemplateValues values;
    values.InputPath = output;
    values.OutputPath = wave;
    CWaveSampleReader reference;
    if (!referenceWave.empty() && reference.Open(referenceWave, nullptr)) {
        values.SampleRate = static_cast<std::int32_t>(reference.Layout().Format.SampleRate);
        values.Channels = reference.Channels();
        values.Resolution = reference.BitsPerSample();
        if (heldBits > 0 && heldBits < values.Resolution) values.Resolution = heldBits;
    }
    return values;
}

}  // namespace

OutputCheckResult VerifyOutput(const std::string& output, const std::string& referenceWave,
                               const CDecoderList& decoders, bool lossless, int heldBits,
                               const std::atomic<bool>* cancel,
                               const DecodedWaveVisitor& onDecoded) {
    if (cancel && cancel->load()) return OutputCheckResult::Failure("stopped");
    if (std::string why = WhyNotAWrittenFile(output); !why.empty())
        return OutputCheckResult::Failure(why);
    const std::string extension = LowerAscii(PathExtension(output));
    const FormatTableRow* row = FindFormat(extension);
    const std::int32_t formatId = row ? row->FormatId : kFormatUnknown;
    // A decoder may take another format by its content (FFmpeg does): that is no output of its
    // coder, whatever it decodes to.
    if (row && MatchFormatSignature(output, formatId) == SignatureMatch::No)
        return OutputCheckResult::Failure(output + " is not a " + row->FormatName + " file");
    if (formatId == kFormatWAV) {
        OutputCheckResult result =
            JudgeDecoded(output, output, referenceWave, formatId, lossless, heldBits, cancel);
        if (result.Passed && result.Verified && onDecoded) onDecoded(output);
        return result;
    }
    const CPreset* preset = nullptr;
    const CDecoder* decoder = decoders.FindFor(extension, &preset);
    if (!decoder) {
        // Nothing wrong with the output: kelto only cannot look further into it.
        OutputCheckResult unverified;
        unverified.LengthUnknown = true;
        unverified.Note = "not verified: no decoder takes " + extension + " files";
        return unverified;
    }
    CTempWave wave;
    if (wave.Path().empty())
        return OutputCheckResult::Failure("no temporary file for checking " + output + ": " +
                                          wave.WhyNot());
    const CheckDecodingEnd end =
        RunCheckDecoding(*decoder, preset->CommandLine,
                         DecoderValues(output, wave.Path(), referenceWave, heldBits), cancel);
    if (!end.Succeeded) return OutputCheckResult::Failure(end.Reason);
    OutputCheckResult result =
        JudgeDecoded(output, wave.Path(), referenceWave, formatId, lossless, heldBits, cancel);
    if (result.Passed && result.Verified && onDecoded) onDecoded(wave.Path());
    return result;
}
