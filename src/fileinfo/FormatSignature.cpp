#include "fileinfo/FormatSignature.h"

#include "fileinfo/FormatTable.h"
#include "fileinfo/HeaderBytes.h"
#include "platform/File.h"

namespace {

constexpr std::size_t kId3HeaderBytes = 10;
constexpr std::uint8_t kId3FooterFlag = 0x10;
constexpr std::size_t kOggPageHeaderBytes = 27;
constexpr std::size_t kBytesLooked = 64;

// Where the format's own bytes begin: after an ID3v2 tag, which taggers put before MP3, AAC,
// FLAC, TTA and Monkey's Audio streams.
std::int64_t SkipId3v2(platform::File& file) {
    const HeaderBytes id3 = ReadHeaderBytes(file, kId3HeaderBytes);
    if (id3.size() < kId3HeaderBytes || !HasSignature(id3, 0, "ID3", 3)) return 0;
    std::int64_t size = 0;
    for (std::size_t i = 6; i < 10; ++i) size = size << 7 | (id3[i] & 0x7F);
    return kId3HeaderBytes + size + ((id3[5] & kId3FooterFlag) ? kId3HeaderBytes : 0);
}

bool IsMpegAudioFrame(const HeaderBytes& b) {
    if (b.size() < 4 || b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
    const int version = (b[1] >> 3) & 3;
    const int layer = (b[1] >> 1) & 3;
    const int bitRate = b[2] >> 4;
    const int rate = (b[2] >> 2) & 3;
    return version != 1 && layer != 0 && bitRate != 15 && rate != 3;
}

bool IsAdtsFrame(const HeaderBytes& b) {
    return (b.size() >= 2 && b[0] == 0xFF && (b[1] & 0xF6) == 0xF0) ||
           HasSignature(b, 0, "ADIF", 4);
}

// An Ogg page whose first packet begins with packetStart (any packet when it is null).
bool IsOggStream(const HeaderBytes& b, const char* packetStart, std::size_t length) {
    if (b.size() < kOggPageHeaderBytes || !HasSignature(b, 0, "OggS", 4)) return false;
    return packetStart == nullptr ||
           HasSignature(b, kOggPageHeaderBytes + b[26], packetStart, length);
}

SignatureMatch Match(bool matches) { return matches ? SignatureMatch::Yes : SignatureMatch::No; }

}  // namespace

SignatureMatch MatchFormatSignature(const std::string& path, std::int32_t formatId) {
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return SignatureMatch::Unknown;
    // Only formats whose streams may follow an ID3v2 tag look past one.
    const bool afterId3 = formatId == kFormatMPEG || formatId == kFormatMP2 ||
                          formatId == kFormatAAC || formatId == kFormatFLAC ||
                          formatId == kFormatTTA || formatId == kFormatAPE ||
                          formatId == kFormatMusepack || formatId == kFormatAC3 ||
                          formatId == kFormatDTS || formatId == kFormatTAK;
    const std::int64_t start = afterId3 ? SkipId3v2(file) : 0;
    if (!file.Seek(start)) return SignatureMatch::Unknown;
    const HeaderBytes b = ReadHeaderBytes(file, kBytesLooked);
    switch (formatId) {
        case kFormatWAV:
        case kFormatRF64:
            return Match((HasSignature(b, 0, "RIFF", 4) || HasSignature(b, 0, "RF64", 4) ||
                          HasSignature(b, 0, "BW64", 4)) &&
                         HasSignature(b, 8, "WAVE", 4));
        case kFormatAIFF:
        case kFormatAIFC:
            return Match(HasSignature(b, 0, "FORM", 4) &&
                         (HasSignature(b, 8, "AIFF", 4) || HasSignature(b, 8, "AIFC", 4)));
        case kFormatCAF:
            return Match(HasSignature(b, 0, "caff", 4));
        case kFormatWave64:
            return Match(HasSignature(b, 0, "riff\x2E\x91\xCF\x11", 8));
        case kFormatMatroska:
        case kFormatWebM:
            return Match(HasSignature(b, 0, "\x1A\x45\xDF\xA3", 4));
        case kFormatAC3:
        case kFormatEAC3:
            return Match(HasSignature(b, 0, "\x0B\x77", 2));
        case kFormatDTS:
            return Match(HasSignature(b, 0, "\x7F\xFE\x80\x01", 4) ||
                         HasSignature(b, 0, "\xFE\x7F\x01\x80", 4) ||
                         HasSignature(b, 0, "DTSHDHDR", 8));
        case kFormatMusepack:
            return Match(HasSignature(b, 0, "MPCK", 4) || HasSignature(b, 0, "MP+", 3));
        case kFormatDSF:
            return Match(HasSignature(b, 0, "DSD ", 4));
        case kFormatDSDIFF:
            return Match(HasSignature(b, 0, "FRM8", 4));
        case kFormatShorten:
            return Match(HasSignature(b, 0, "ajkg", 4));
        case kFormatAU:
            return Match(HasSignature(b, 0, ".snd", 4));
        case kFormatTAK:
            return Match(HasSignature(b, 0, "tBaK", 4));
        case kFormatFLAC:
            return Match(HasSignature(b, 0, "fLaC", 4));
        case kFormatMPEG:
        case kFormatMP2:
            return Match(IsMpegAudioFrame(b));
        case kFormatAAC:
            return Match(IsAdtsFrame(b));
        case kFormatM4A:
        case kFormatM4B:
            return Match(HasSignature(b, 4, "ftyp", 4));
        case kFormatVorbis:
            return Match(IsOggStream(b, "\x01vorbis", 7));
        case kFormatOpus:
            return Match(IsOggStream(b, "OpusHead", 8));
        case kFormatSpeex:
            return Match(IsOggStream(b, "Speex   ", 8));
        case kFormatOggAudio:
            return Match(IsOggStream(b, nullptr, 0));
        case kFormatWavPack:
            return Match(HasSignature(b, 0, "wvpk", 4));
        case kFormatTTA:
            return Match(HasSignature(b, 0, "TTA1", 4));
        case kFormatAPE:
            return Match(HasSignature(b, 0, "MAC ", 4));
        case kFormatOFR:
            return Match(HasSignature(b, 0, "OFR ", 4));
        case kFormatWMA:
            return Match(HasSignature(b, 0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8));
        default:
            return SignatureMatch::Unknown;
    }
}
