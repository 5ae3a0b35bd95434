#include "fileinfo/FormatReaderOFR.h"

#include <cmath>
#include <cstdint>

#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "platform/File.h"

namespace {

constexpr std::size_t kHeaderBytes = 23;

// The sample count as the format's readers have always added it up: the high part weighs
// 65536, in wrapping signed 32-bit arithmetic.
std::int32_t TotalSamples(const HeaderBytes& header) {
    const std::uint32_t low = LittleEndian32(header, 8);
    const auto high = static_cast<std::uint32_t>(SignedLittleEndian16(header, 12));
    return static_cast<std::int32_t>(low + high * 65536u);
}

// Kilobits per second over the length in whole seconds; a file shorter than a second gets
// its exact length instead, and one without a length (no samples, no rate) gets 0.
double BitRate(std::int64_t size, std::int32_t samplesPerChannel, std::int32_t sampleRate) {
    if (sampleRate == 0) return 0.0;
    const double exactSeconds = static_cast<double>(samplesPerChannel) / sampleRate;
    const double wholeSeconds = std::trunc(exactSeconds);
    const double bits = static_cast<double>(size) * 8.0 / 1000;
    if (wholeSeconds != 0.0) return bits / wholeSeconds;
    return exactSeconds > 0.0 ? bits / exactSeconds : 0.0;
}

}  // namespace

bool CFormatReaderOFR::Read(const std::string& path, CFileInfo* record, MediaInfoHandle*) {
    if (!record) return false;
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;
    const HeaderBytes header = ReadHeaderBytes(file, kHeaderBytes);
    if (header.size() < kHeaderBytes) return false;
    const std::int64_t size = file.Size();
    file.Close();

    record->SampleRate = static_cast<std::int32_t>(LittleEndian32(header, 16));
    record->Channels = header[15] + 1;
    // Halved whatever the channel count, as the format's bit rate has always been worked out.
    const std::int32_t samplesPerChannel = TotalSamples(header) / 2;
    record->BitRate = BitRate(size < 0 ? 0 : size, samplesPerChannel, record->SampleRate);
    // The length itself: the count is 48 bits over all channels.
    const std::int64_t total =
        std::int64_t{LittleEndian32(header, 8)} | std::int64_t{LittleEndian16(header, 12)} << 32;
    if (record->Channels > 0) record->SetExactLength(total / record->Channels);
    return true;
}
