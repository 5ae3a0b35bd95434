// The job operations of a file record: which decoder and coder copies process the file, which
// files they read and write, and their command lines.

#include "base/AsciiText.h"
#include "base/Paths.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "codecs/DecoderList.h"
#include "core/CommandLine.h"
#include "core/TempFileName.h"
#include "core/Templates.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FormatTable.h"
#include "platform/TempFolder.h"

namespace {

std::string InFolder(const std::string& outputFolder, const std::string& path) {
    return outputFolder.empty() ? path : outputFolder + PathFileName(path);
}

// Where commandLine names the quoted output name, when it does so exactly once; npos otherwise.
std::size_t SoleMention(const std::string& commandLine, const std::string& name) {
    const std::size_t at = commandLine.find(name);
    if (at == std::string::npos || commandLine.find(name, at + 1) != std::string::npos) {
        return std::string::npos;
    }
    return at;
}

// commandTemplate with fit's options before the output (at the end when it names none) and
// its bits in place of "%wav_bits%", so that expanding it again gives the same line.
std::string FittedTemplate(std::string commandTemplate, const CFileInfo::DecodeFit& fit) {
    const std::string bits = "%wav_bits%";
    for (std::size_t at = commandTemplate.find(bits); at != std::string::npos;
         at = commandTemplate.find(bits, at)) {
        commandTemplate.replace(at, bits.size(), std::to_string(fit.Bits));
    }
    const std::string output = " %out%";
    const std::size_t at = commandTemplate.rfind(output);
    if (at == std::string::npos) return commandTemplate + " " + fit.Options;
    return commandTemplate.insert(at, " " + fit.Options);
}

// commandTemplate with options before its output (at the end when it names none).
std::string WithOptionsBeforeOutput(std::string commandTemplate, const std::string& options) {
    const std::string output = " %out%";
    const std::size_t at = commandTemplate.rfind(output);
    if (at == std::string::npos) return commandTemplate + " " + options;
    return commandTemplate.insert(at, " " + options);
}

// FFmpeg's filter that keeps the samples [first, end) of the stream (end -1: to its end),
// joined with the filters fitOptions already hold.
std::string TrimOptions(const SheetTrack& track, const std::string& fitOptions) {
    std::string trim = "atrim=start_sample=" + std::to_string(track.First);
    if (track.End >= 0) trim += ":end_sample=" + std::to_string(track.End);
    const std::string filters = "-af ";
    if (fitOptions.compare(0, filters.size(), filters) == 0) {
        return filters + trim + "," + fitOptions.substr(filters.size());
    }
    return filters + trim + (fitOptions.empty() ? "" : " " + fitOptions);
}

// Whether the program decodes a sample range itself, told with "--skip=N --until=M" (flac
// and wvunpack, both exact to the sample).
bool CutsBySkip(CDecoder decoder) {
    const std::string program = PathFileName(decoder.GetProgramPath());
    return program == "flac" || program == "wvunpack";
}

}  // namespace

void CFileInfo::FillTemplateValues(TemplateValues& values) const {
    values.InputPath = Path;
    values.OutputPath.clear();
    if (Coder) {
        // The first preset names the output, whichever preset was chosen.
        const CPreset* first = Coder->GetPresets().GetAt(0);
        values.OutputPath = ReplaceExtension(Path, first ? first->Extension : std::string());
    }
    values.SampleRate = SampleRate;
    values.Channels = Channels;
    values.Resolution = Resolution;
}

void CFileInfo::DestroyDecoder() {
    // A coder job must never keep pointing at a decoder job that is gone.
    if (Coder) Coder->SetDecoder(nullptr);
    Decoder.reset();
    m_tempWaveFile.Release();
}

bool CFileInfo::PrepareDecoder(const CDecoderList& decoders, const std::string& outputFolder,
                               bool decodeOnly, const std::string& outputPath) {
    return PrepareDecoder(decoders, outputFolder, decodeOnly, outputPath, DecodeFit());
}

bool CFileInfo::PrepareDecoder(const CDecoderList& decoders, const std::string& outputFolder,
                               bool decodeOnly, const std::string& outputPath,
                               const DecodeFit& fit) {
    if (Coder) Coder->SetDecoder(nullptr);
    Decoder.reset();
    m_tempNameFailure = {};
    m_decodeFit = fit;
    const CPreset* preset = nullptr;
    const bool fitted = !fit.Options.empty();
    // The decoder that lists "wav" takes only the WAV files coders cannot read themselves, and
    // every source that must be fitted: it reads any format.
    // A track is cut from its image by a decoding step of its own, whatever the image's format.
    const bool readAsItIs = FormatId == kFormatWAV && !NeedsDecoding && !fitted && !Track;
    const CDecoder* found =
        readAsItIs ? nullptr
                   : decoders.FindFor(fitted ? std::string(".wav") : LowerAscii(PathExtension(Path)),
                                      &preset);
    bool trimByFilter = fitted && Track;
    if (Track && found && !fitted && !CutsBySkip(*found)) {
        // Other decoders cannot be told a range: the one that lists "wav" (FFmpeg) trims.
        found = decoders.FindFor(".wav", &preset);
        trimByFilter = true;
    }
    if (!found) {
        m_tempWaveFile.Release();
        return false;
    }

    std::string waveFile;
    if (decodeOnly) {
        m_tempWaveFile.Release();
        waveFile = !outputPath.empty() ? outputPath
                                       : InFolder(outputFolder, ReplaceExtension(Path, ".wav"));
    } else {
        // The new name is drawn while the old one is still held, so a file that an earlier run
        // may still be writing under the old name is never handed to the next run.
        const std::string folder = platform::TemporaryFolder();
        std::string whyNot;
        waveFile = MakeTempFileName(folder, ".wav", &whyNot);
        if (waveFile.empty()) {
            // A decoder told to write to "" would fail or write somewhere nobody reads.
            m_tempWaveFile.Release();
            m_tempNameFailure = {folder, whyNot};
            return false;
        }
        m_tempWaveFile.Take(waveFile);
    }

    std::unique_ptr<CDecoder> job = std::make_unique<CDecoder>(*found);
    TemplateValues values;
    FillTemplateValues(values);
    job->SetWaveFile(waveFile);
    values.OutputPath = waveFile;
    DecoderSource = values.InputPath;
    job->SetInputFile(values.InputPath);
    job->SetOutputFile(values.OutputPath);
    std::string commandTemplate = preset->CommandLine;
    if (fitted) {
        DecodeFit cutFit = fit;
        if (trimByFilter) cutFit.Options = TrimOptions(*Track, fit.Options);
        commandTemplate = FittedTemplate(commandTemplate, cutFit);
    } else if (trimByFilter) {
        commandTemplate = WithOptionsBeforeOutput(commandTemplate, TrimOptions(*Track, {}));
    } else if (Track) {
        std::string range = "--skip=" + std::to_string(Track->First);
        if (Track->End >= 0) range += " --until=" + std::to_string(Track->End);
        commandTemplate = range + " " + commandTemplate;
    }
    std::string commandLine;
    ExpandTemplate(commandTemplate, values, commandLine);
    job->SetCommandLine(commandLine);
    m_decoderTemplate = commandTemplate;

    Decoder = std::move(job);
    if (Coder) Coder->SetDecoder(Decoder.get());
    return true;
}

bool CFileInfo::SetCoder(const CCoder* coder) {
    if (!coder) {
        Coder.reset();
        return true;
    }
    std::unique_ptr<CCoder> copy = std::make_unique<CCoder>(*coder);
    copy->SetDecoder(Decoder.get());
    Coder = std::move(copy);
    return true;
}

bool CFileInfo::PrepareCoder(const std::string& commandTemplate, const std::string& outputFolder,
                             const std::string& outputPath) {
    if (!Coder) return false;
    TemplateValues values;
    FillTemplateValues(values);
    if (Decoder) {
        values.InputPath = Decoder->GetWaveFile();
        Coder->SetWaveFile(values.InputPath);
    } else {
        // The coder reads the WAV source itself, which must never be deleted after coding.
        Coder->SetWaveFile(std::string());
    }
    values.OutputPath =
        !outputPath.empty() ? outputPath : InFolder(outputFolder, values.OutputPath);
    std::string commandLine;
    ExpandTemplate(commandTemplate, values, commandLine);
    Coder->SetCommandLine(commandLine);
    Coder->SetInputFile(values.InputPath);
    Coder->SetOutputFile(values.OutputPath);
    OutputPath = values.OutputPath;
    m_coderTemplate = commandTemplate;
    return true;
}

bool CFileInfo::NamesOutputOnce() {
    CCodec* job = Coder ? static_cast<CCodec*>(Coder.get()) : static_cast<CCodec*>(Decoder.get());
    return job && SoleMention(job->GetCommandLine(),
                              QuoteCommandLineArgument(job->GetOutputFile())) != std::string::npos;
}

bool CFileInfo::RetargetOutput(const std::string& outputPath) {
    CCodec* job = Coder ? static_cast<CCodec*>(Coder.get()) : static_cast<CCodec*>(Decoder.get());
    if (!job) return false;
    // The command line may have been edited by hand: where it names the old output exactly
    // once, as the template wrote it, only that name changes. Otherwise it is expanded again.
    const std::string oldName = QuoteCommandLineArgument(job->GetOutputFile());
    std::string commandLine = job->GetCommandLine();
    if (const std::size_t at = SoleMention(commandLine, oldName); at != std::string::npos) {
        commandLine.replace(at, oldName.size(), QuoteCommandLineArgument(outputPath));
    } else {
        TemplateValues values;
        FillTemplateValues(values);
        if (Coder && Decoder) values.InputPath = Decoder->GetWaveFile();
        values.OutputPath = outputPath;
        commandLine.clear();
        ExpandTemplate(Coder ? m_coderTemplate : m_decoderTemplate, values, commandLine);
    }
    // Only the output and the command line change: the job's other names may be read by the
    // window while this runs on a worker.
    job->SetCommandLine(commandLine);
    job->SetOutputFile(outputPath);
    if (!Coder) job->SetWaveFile(outputPath);
    if (Coder) OutputPath = outputPath;
    return true;
}

bool CFileInfo::ResetJobs() {
    m_decodeFit = {};
    DecoderSource.clear();
    OutputPath.clear();
    PresetName.clear();
    Coder.reset();
    DestroyDecoder();
    return true;
}
