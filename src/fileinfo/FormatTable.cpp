#include "fileinfo/FormatTable.h"

#include <array>

#include "fileinfo/FormatReaderAAC.h"
#include "fileinfo/FormatReaderAPE.h"
#include "fileinfo/FormatReaderFLAC.h"
#include "fileinfo/FormatReaderM4A.h"
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

const std::array<FormatTableRow, 16> kRows = {{
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
}};

}  // namespace

std::span<const FormatTableRow> FormatTable() { return kRows; }

const FormatTableRow* FindFormat(const std::string& lowerCaseExtension) {
    for (const auto& row : kRows)
        if (lowerCaseExtension == row.Extension) return &row;
    return nullptr;
}
