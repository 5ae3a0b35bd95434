#include "fileinfo/FormatTable.h"

#include <array>

#include "fileinfo/FormatReaderAAC.h"
#include "fileinfo/FormatReaderAPE.h"
#include "fileinfo/FormatReaderAU.h"
#include "fileinfo/FormatReaderCAF.h"
#include "fileinfo/FormatReaderDSD.h"
#include "fileinfo/FormatReaderFLAC.h"
#include "fileinfo/FormatReaderM4A.h"
#include "fileinfo/FormatReaderMPC.h"
#include "fileinfo/FormatReaderMPEG.h"
#include "fileinfo/FormatReaderMediaInfo.h"
#include "fileinfo/FormatReaderOFR.h"
#include "fileinfo/FormatReaderSPX.h"
#include "fileinfo/FormatReaderTTA.h"
#include "fileinfo/FormatReaderVorbis.h"
#include "fileinfo/FormatReaderWAV.h"
#include "fileinfo/FormatReaderWV.h"

namespace {

template <typename Reader>
std::unique_ptr<CFormatReader> Create() {
    return std::make_unique<Reader>();
}

const std::array<FormatTableRow, 38> kRows = {{
    {".wav", kFormatWAV, "WAV", &Create<CFormatReaderWAV>},
    {".mp3", kFormatMPEG, "MPEG Audio Layer 1/2/3", &Create<CFormatReaderMPEG>},
    {".aac", kFormatAAC, "AAC", &Create<CFormatReaderAAC>},
    {".flac", kFormatFLAC, "FLAC", &Create<CFormatReaderFLAC>},
    {".wv", kFormatWavPack, "WavPack", &Create<CFormatReaderWV>},
    {".tta", kFormatTTA, "TTA", &Create<CFormatReaderTTA>},
    {".m4a", kFormatM4A, "M4A", &Create<CFormatReaderM4A>},
    {".ogg", kFormatVorbis, "Ogg Vorbis", &Create<CFormatReaderVorbis>},
    {".ape", kFormatAPE, "Monkey's Audio", &Create<CFormatReaderAPE>},
    {".ofr", kFormatOFR, "OptimFROG", &Create<CFormatReaderOFR>},
    {".spx", kFormatSpeex, "Speex", &Create<CFormatReaderSPX>},
    {".opus", kFormatOpus, "Opus", &Create<CFormatReaderMediaInfo>},
    {".wma", kFormatWMA, "Windows Media Audio", &Create<CFormatReaderMediaInfo>},
    {".mp2", kFormatMP2, "MPEG Audio Layer 2", &Create<CFormatReaderMediaInfo>},
    {".m4b", kFormatM4B, "M4B", &Create<CFormatReaderMediaInfo>},
    {".oga", kFormatOggAudio, "Ogg Audio", &Create<CFormatReaderMediaInfo>},
    {".aiff", kFormatAIFF, "AIFF", &Create<CFormatReaderMediaInfo>},
    {".aif", kFormatAIFF, "AIFF", &Create<CFormatReaderMediaInfo>},
    {".aifc", kFormatAIFC, "AIFF-C", &Create<CFormatReaderMediaInfo>},
    {".caf", kFormatCAF, "Core Audio Format", &Create<CFormatReaderCAF>},
    {".w64", kFormatWave64, "Wave64", &Create<CFormatReaderMediaInfo>},
    {".rf64", kFormatRF64, "RF64", &Create<CFormatReaderWAV>},
    {".bw64", kFormatRF64, "RF64", &Create<CFormatReaderWAV>},
    {".mka", kFormatMatroska, "Matroska Audio", &Create<CFormatReaderMediaInfo>},
    {".webm", kFormatWebM, "WebM", &Create<CFormatReaderMediaInfo>},
    {".ac3", kFormatAC3, "AC-3", &Create<CFormatReaderMediaInfo>},
    {".eac3", kFormatEAC3, "E-AC-3", &Create<CFormatReaderMediaInfoNoLength>},
    {".ec3", kFormatEAC3, "E-AC-3", &Create<CFormatReaderMediaInfoNoLength>},
    {".dts", kFormatDTS, "DTS", &Create<CFormatReaderMediaInfo>},
    {".mpc", kFormatMusepack, "Musepack", &Create<CFormatReaderMPC>},
    {".mp+", kFormatMusepack, "Musepack", &Create<CFormatReaderMPC>},
    {".mpp", kFormatMusepack, "Musepack", &Create<CFormatReaderMPC>},
    {".dsf", kFormatDSF, "DSF (DSD)", &Create<CFormatReaderDSD>},
    {".dff", kFormatDSDIFF, "DSDIFF (DSD)", &Create<CFormatReaderDSD>},
    {".shn", kFormatShorten, "Shorten", &Create<CFormatReaderMediaInfo>},
    {".au", kFormatAU, "Sun AU", &Create<CFormatReaderAU>},
    {".snd", kFormatAU, "Sun AU", &Create<CFormatReaderAU>},
    {".tak", kFormatTAK, "TAK", &Create<CFormatReaderMediaInfo>},
}};

}  // namespace

std::span<const FormatTableRow> FormatTable() { return kRows; }

const FormatTableRow* FindFormat(const std::string& lowerCaseExtension) {
    for (const auto& row : kRows)
        if (lowerCaseExtension == row.Extension) return &row;
    return nullptr;
}
