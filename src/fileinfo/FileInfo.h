#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/Paths.h"
#include "fileinfo/HeldTempName.h"
#include "fileinfo/SheetTrack.h"

class CCoder;
class CDecoder;
class CDecoderList;
struct TemplateValues;
class MediaInfoHandle;

// One listed audio file: its description (path, size, format, audio properties) and its job
// slot (the copies of the coder and decoder that will process it). The file list owns it.
class CFileInfo {
public:
    // Size when the file's size cannot be read.
    static constexpr std::uint64_t kUnknownSize = ~std::uint64_t{0};

    CFileInfo();
    virtual ~CFileInfo();
    CFileInfo(const CFileInfo&) = delete;
    CFileInfo& operator=(const CFileInfo&) = delete;

    // Why Open refused a file whose reader found no audio in it.
    static constexpr const char* kNotAudioText = "cannot be read as an audio file";

    // Fills the record from the file at path: size, path parts, format by extension, and the
    // properties that the format's reader finds. False when that reader refuses the file, or
    // cannot open it, which then stays out of the list; a file of an unlisted format is kept
    // with zero properties. A named pipe, a socket or a device is never opened and refused
    // whatever its name, with a line in the program log. The handle is lent, not kept; it may
    // be null (then MediaInfo answers nothing).
    virtual bool Open(const std::string& path, MediaInfoHandle* mediaInfo);
    // Why the last Open refused the file: the system's reason ("No such file or directory",
    // "not a regular file (named pipe)") or kNotAudioText; empty after a successful Open.
    const std::string& GetOpenFailure() const { return m_openFailure; }

    std::int32_t SampleRate = 0;  // Hz
    double BitRate = 0.0;         // kilobits per second
    std::int32_t Channels = 0;
    std::int32_t FormatId = 0;  // kFormatWAV etc. (FormatTable.h); 0 for Unknown
    std::string FormatName;
    std::int32_t Resolution = 0;  // bits per sample
    std::string Codec;
    std::string Path;
    std::string Name;        // the file name, extension included
    std::string Folder;      // the path without its last component; "/" for the root
    std::uint64_t Size = 0;  // bytes, or kUnknownSize
    std::string DecoderSource;
    std::string OutputPath;
    std::string PresetName;
    std::unique_ptr<CCoder> Coder;      // this file's coder job, or none
    std::unique_ptr<CDecoder> Decoder;  // this file's decoder job, or none
    // The folder the user added and this file was found in (no trailing "/"); empty for a file
    // added by itself or from a playlist. Kept in memory only.
    std::string AddedFolder;

    // The playing length, where it can be known. Samples is exact: frames per channel from the
    // file's own header (a WAV data chunk, FLAC STREAMINFO, WavPack, TTA, OptimFROG); Duration
    // is Samples / SampleRate then, with LengthExact set, and otherwise MediaInfo's estimate.
    // -1 while unknown.
    std::int64_t Samples = -1;
    double Duration = -1;
    bool LengthExact = false;
    // Why the file holds less than its own header promises ("truncated: the data chunk
    // promises N bytes, the file holds M"); empty when it looks whole. Such a file is listed,
    // and a run fails it with this text.
    std::string Truncation;
    // A WAV file that most coders cannot read as it is (RF64/BW64, floating point or other
    // codings than integer PCM): it is decoded first, like a compressed source. A plain PCM
    // WAV file is never decoded.
    bool NeedsDecoding = false;
    // Set for one track of an image that a cue sheet splits: Path is then the image, and
    // Samples and Duration are the track's.
    std::optional<SheetTrack> Track;
    // Takes other's description (path, size, format, audio properties, length), not its jobs.
    void CopyDescription(const CFileInfo& other);

    // Records an exact length of samples frames (SampleRate must be set first); a negative
    // count or a rate of 0 leaves the length unknown.
    void SetExactLength(std::int64_t samples);

    // Job operations (FileInfoJobs.cpp).
    // How a decoding step changes the samples on their way (a rate, bit depth or channel count
    // the source may not keep): FFmpeg's options, put before the output in the command line of
    // the decoder that lists "wav", and the bits of the WAV file it writes. Empty options: none.
    struct DecodeFit {
        std::string Options;
        int Bits = 0;
    };
    // Chooses the decoder job: the first decoder whose preset extension equals the lower-cased
    // source extension. Its WAV file is a fresh temporary name in the temporary folder
    // (platform::TemporaryFolder), or, decodeOnly, the output WAV file: outputPath when it is
    // not empty, else named after the source (in outputFolder, which ends with "/", or beside
    // the source when it is empty). False when no decoder matches or no temporary name can be
    // made (GetTempNameFailure tells which); the file then has no decoder job.
    // With a fit, the decoder that lists "wav" decodes any source, a WAV file within the
    // limits included, with the fit's options and bits; the fit is kept for later preparations.
    bool PrepareDecoder(const CDecoderList& decoders, const std::string& outputFolder,
                        bool decodeOnly, const std::string& outputPath = {});
    bool PrepareDecoder(const CDecoderList& decoders, const std::string& outputFolder,
                        bool decodeOnly, const std::string& outputPath, const DecodeFit& fit);
    // The fit of the last PrepareDecoder.
    const DecodeFit& GetDecodeFit() const { return m_decodeFit; }
    // The coder job becomes a copy of coder, fed by this file's decoder job; null drops it.
    bool SetCoder(const CCoder* coder);
    // Expands the coder job's command line from commandTemplate; the output is outputPath when
    // it is not empty, else the source's base name with the extension of the coder's first
    // preset, in outputFolder when that is not empty. False without a coder job.
    bool PrepareCoder(const std::string& commandTemplate, const std::string& outputFolder,
                      const std::string& outputPath = {});
    // Points the job that writes the final output (the coder job, else the decoder job when
    // decoding only) at outputPath: in its command line the old output's name is replaced, so
    // an edited command line keeps its edits; one that does not name it once is expanded again
    // from the template it was prepared with. The job objects stay the same. False without such
    // a job.
    bool RetargetOutput(const std::string& outputPath);
    // Whether the command line of the job that writes the final output names that output
    // exactly once, so RetargetOutput changes nothing else in it.
    bool NamesOutputOnce();
    // Clears DecoderSource, OutputPath and PresetName and destroys both jobs. Always true.
    bool ResetJobs();
    // The template values of this file: its path, its sample rate and channels, and the
    // output path named after the coder job's first preset (empty without a coder job).
    void FillTemplateValues(TemplateValues& values) const;
    // The temporary WAV name the decoder job holds (empty when it holds none).
    const std::string& GetTempWaveFile() const { return m_tempWaveFile.Get(); }
    // Why the last PrepareDecoder found a decoder but no temporary name: the folder and the
    // system's reason. Folder is empty when that was not the failure.
    struct TempNameFailure {
        std::string Folder;
        std::string Reason;
    };
    const TempNameFailure& GetTempNameFailure() const { return m_tempNameFailure; }

private:
    void DestroyDecoder();
    CHeldTempName m_tempWaveFile;
    // The command-line templates the jobs were last prepared with.
    std::string m_decoderTemplate;
    std::string m_coderTemplate;
    TempNameFailure m_tempNameFailure;
    std::string m_openFailure;
    DecodeFit m_decodeFit;
};
