#include "fileinfo/FormatReaderMPC.h"

#include <iterator>

#include "fileinfo/FileInfo.h"
#include "fileinfo/FormatReaderMediaInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "platform/File.h"

namespace {

constexpr std::size_t kBytesLooked = 64;
constexpr std::int32_t kSv8Rates[] = {44100, 48000, 37800, 32000};

// An SV8 variable-length number: seven bits a byte, the high bit set on all but the last.
bool ReadNumber(const HeaderBytes& b, std::size_t& at, std::uint64_t& value) {
    value = 0;
    for (int i = 0; i < 9 && at < b.size(); ++i) {
        const std::uint8_t byte = b[at++];
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

// The stream header packet ("SH") of an SV8 file, which its first packet is.
void ReadSv8Header(const HeaderBytes& b, CFileInfo& record) {
    std::size_t at = 4;
    std::uint64_t packetSize = 0;
    if (!HasSignature(b, at, "SH", 2)) return;
    at += 2;
    if (!ReadNumber(b, at, packetSize)) return;
    at += 5;  // CRC and stream version
    std::uint64_t samples = 0;
    std::uint64_t silence = 0;
    if (!ReadNumber(b, at, samples) || !ReadNumber(b, at, silence) || at + 2 > b.size()) return;
    const unsigned rate = b[at] >> 5;
    if (rate < std::size(kSv8Rates)) record.SampleRate = kSv8Rates[rate];
    record.Channels = (b[at + 1] >> 4) + 1;
    if (silence <= samples && samples <= 0x7FFFFFFFFFFFull)
        record.SetExactLength(static_cast<std::int64_t>(samples - silence));
}

}  // namespace

bool CFormatReaderMPC::Read(const std::string& path, CFileInfo* record,
                            MediaInfoHandle* mediaInfo) {
    if (!record || !CFormatReaderMediaInfo().Read(path, record, mediaInfo)) return false;
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return true;
    const HeaderBytes b = ReadHeaderBytes(file, kBytesLooked);
    if (HasSignature(b, 0, "MPCK", 4)) {
        ReadSv8Header(b, *record);
    } else if (HasSignature(b, 0, "MP+", 3) && record->Channels == 0) {
        record->Channels = 2;
    }
    return true;
}
