#include "session/OutputCheck.h"

#include <vector>

#include "base/AsciiText.h"
#include "base/RedirectedLog.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FormatSignature.h"
#include "fileinfo/FormatTable.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/StreamEnd.h"
#include "session/LengthTolerance.h"
#include "session/OutputFile.h"

namespace {

// The formats whose length kelto's own header readers count: they need no MediaInfo, which
// would only add the bit rate, and parses some of them (TTA) whole.
bool HasNativeLength(std::int32_t formatId) {
    return formatId == kFormatWAV || formatId == kFormatFLAC || formatId == kFormatWavPack ||
           formatId == kFormatTTA || formatId == kFormatOFR;
}

// MediaInfo looks only at what a length needs, not at the first frames of the stream (whose
// profile it would tell): that parse costs more than the whole check for an AAC file. The
// handle gets the library's default back afterwards.
class CQuickParse {
public:
    explicit CQuickParse(MediaInfoHandle* handle) : m_handle(handle) {
        if (m_handle) m_handle->SetOption("ParseSpeed", "0");
    }
    ~CQuickParse() {
        if (m_handle) m_handle->SetOption("ParseSpeed", "0.5");
    }
    CQuickParse(const CQuickParse&) = delete;
    CQuickParse& operator=(const CQuickParse&) = delete;

private:
    MediaInfoHandle* m_handle;
};

// Reads the file as the format of row, whatever its name (an output may be written apart under
// another one), as CFileInfo::Open does for a file of that format, and without the reader's
// lines in the program log: a run checks thousands of files.
bool ReadAs(CFileInfo& record, const std::string& path, const FormatTableRow& row,
            MediaInfoHandle* mediaInfo) {
    record.Path = path;
    record.FormatId = row.FormatId;
    record.FormatName = row.FormatName;
    std::vector<std::string> lines;
    CRedirectedLog redirected(&lines);
    return row.CreateReader()->Read(path, &record, mediaInfo);
}

}  // namespace

OutputCheckResult CheckOutput(const std::string& output, const std::string& outputExtension,
                              double expectedSeconds, MediaInfoHandle* mediaInfo) {
    if (std::string why = WhyNotAWrittenFile(output); !why.empty())
        return OutputCheckResult::Failure(why);
    const FormatTableRow* row = FindFormat(LowerAscii(outputExtension));
    OutputCheckResult result;
    if (!row) {
        result.LengthUnknown = true;
        result.Note = "kelto cannot read " + outputExtension + " files";
        return result;
    }
    if (MatchFormatSignature(output, row->FormatId) == SignatureMatch::No)
        return OutputCheckResult::Failure(output + " is not a " + row->FormatName + " file");
    CFileInfo record;
    const bool native = HasNativeLength(row->FormatId);
    {
        CQuickParse quick(native ? nullptr : mediaInfo);
        if (!ReadAs(record, output, *row, native ? nullptr : mediaInfo))
            return OutputCheckResult::Failure(output + " cannot be read as " + row->FormatName);
    }
    if (!record.Truncation.empty())
        return OutputCheckResult::Failure(output + " is " + record.Truncation);
    // Speex has its rate in its header, but its length, like the others', from MediaInfo.
    const bool propertiesKnown =
        native || row->FormatId == kFormatSpeex || (mediaInfo && mediaInfo->Ready());
    if (propertiesKnown && record.SampleRate <= 0)
        return OutputCheckResult::Failure(output + " holds no audio stream kelto can read");
    if (std::string cut = FindStreamCut(output, record); !cut.empty())
        return OutputCheckResult::Failure(output + " is " + cut);
    if (expectedSeconds < 0 || record.Duration < 0 || !propertiesKnown) {
        result.LengthUnknown = true;
        return result;
    }
    const double allowance = LengthTolerance::Of(row->FormatId).Header(record.SampleRate);
    if (!LengthsAgree(record.Duration, expectedSeconds, allowance)) {
        return OutputCheckResult::Failure(output + " plays " + SecondsText(record.Duration) +
                                          ", its source " + SecondsText(expectedSeconds));
    }
    return result;
}

OutputCheckResult CheckDecodedWave(const std::string& wave, const CFileInfo& listedSource,
                                   double* seconds) {
    if (seconds) *seconds = -1;
    if (std::string why = WhyNotAWrittenFile(wave); !why.empty())
        return OutputCheckResult::Failure(why);
    CFileInfo record;
    if (!ReadAs(record, wave, *FindFormat(".wav"), nullptr))
        return OutputCheckResult::Failure(wave + " is not a WAV file kelto can read");
    if (!record.Truncation.empty())
        return OutputCheckResult::Failure(wave + " is " + record.Truncation);
    if (record.Samples < 0)
        return OutputCheckResult::Failure(wave + " holds no samples (it has no data chunk)");
    if (seconds) *seconds = record.Duration;
    OutputCheckResult result;
    if (listedSource.Duration < 0) {
        result.LengthUnknown = true;
        return result;
    }
    const LengthTolerance& tolerance = LengthTolerance::Of(listedSource.FormatId);
    double allowance =
        tolerance.Header(listedSource.SampleRate) + tolerance.Decoded(listedSource.SampleRate);
    // A source brought to another rate when decoded ends on a whole sample of the new rate:
    // its length is compared in seconds, within that sample.
    if (record.SampleRate > 0 && record.SampleRate != listedSource.SampleRate) {
        allowance += 1.0 / record.SampleRate;
    }
    if (!LengthsAgree(record.Duration, listedSource.Duration, allowance)) {
        return OutputCheckResult::Failure(wave + " plays " + SecondsText(record.Duration) +
                                          ", its source " + listedSource.Path + " " +
                                          SecondsText(listedSource.Duration));
    }
    return result;
}
