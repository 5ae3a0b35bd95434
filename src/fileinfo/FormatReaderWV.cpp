#include "fileinfo/FormatReaderWV.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"
#include "fileinfo/RiffChunks.h"
#include "platform/File.h"

namespace {

constexpr char kBlockId[] = "wvpk";
constexpr std::size_t kBlockHeaderBytes = 32;
constexpr std::size_t kTotalSamplesHighOffset = 11;
constexpr std::size_t kTotalSamplesOffset = 12;
constexpr std::size_t kFlagsOffset = 24;
// Metadata sub-block ids: the low six bits name the kind, bit 6 marks an odd length and bit 7
// a three-byte word count.
constexpr std::uint8_t kIdKindMask = 0x3F;
constexpr std::uint8_t kIdOddSize = 0x40;
constexpr std::uint8_t kIdLarge = 0x80;
constexpr std::uint8_t kIdRiffHeader = 0x21;
constexpr std::uint8_t kIdSampleRate = 0x27;
constexpr std::uint8_t kIdChannelInfo = 0x0D;
constexpr std::uint32_t kMonoFlag = 1u << 2;
constexpr std::uint32_t kFalseStereoFlag = 1u << 30;  // stereo stored as one channel
constexpr int kMaxSubBlocks = 4096;
// Bits 23..26 of the block flags index this table; 15 means the rate is given elsewhere.
constexpr int kRateIndexShift = 23;
constexpr std::uint32_t kRateIndexMask = 0xF;
constexpr std::array<std::int32_t, 15> kStandardRates = {6000,  8000,  9600,  11025, 12000,
                                                         16000, 22050, 24000, 32000, 44100,
                                                         48000, 64000, 88200, 96000, 192000};

struct SubBlock {
    std::int64_t DataOffset = 0;
    std::uint32_t DataLength = 0;
};

// What the first block's metadata says about rate and channels.
struct BlockFacts {
    bool HasRiffFormat = false;
    std::int32_t RiffChannels = 0;
    std::int32_t RiffSampleRate = 0;
    bool HasSampleRate = false;  // the sample-rate sub-block of non-standard rates
    std::int32_t SampleRate = 0;
    std::int32_t ChannelInfoCount = 0;  // from the channel-info sub-block of multichannel files
};

// Reads the sub-block header at position; false when it does not fit in the block.
bool ReadSubBlock(platform::File& file, std::int64_t position, std::int64_t blockEnd,
                  std::uint8_t& id, SubBlock& block, std::int64_t& next) {
    if (position + 2 > blockEnd || !file.Seek(position)) return false;
    const HeaderBytes h = ReadHeaderBytes(file, 4);
    if (h.size() < 2) return false;
    id = h[0];
    std::uint32_t words = h[1];
    std::int64_t headerBytes = 2;
    if (id & kIdLarge) {
        if (h.size() < 4) return false;
        words |= static_cast<std::uint32_t>(h[2]) << 8 | static_cast<std::uint32_t>(h[3]) << 16;
        headerBytes = 4;
    }
    block.DataOffset = position + headerBytes;
    block.DataLength = words * 2;
    if ((id & kIdOddSize) && block.DataLength > 0) --block.DataLength;
    next = block.DataOffset + std::int64_t{words} * 2;
    return next <= blockEnd;
}

// The channel count and rate of the "fmt " chunk in the RIFF header that WavPack keeps.
void ReadRiffFormat(platform::File& file, const SubBlock& block, BlockFacts& facts) {
    const std::int64_t end = block.DataOffset + block.DataLength;
    if (!file.Seek(block.DataOffset)) return;
    const HeaderBytes riff = ReadHeaderBytes(file, 12);
    if (block.DataLength < 12 || !HasSignature(riff, 0, "RIFF", 4) ||
        !HasSignature(riff, 8, "WAVE", 4))
        return;
    RiffChunk chunk;
    if (!FindRiffChunk(file, block.DataOffset + 12, end, "fmt ", chunk)) return;
    if (chunk.BodyOffset + 8 > end || !file.Seek(chunk.BodyOffset)) return;
    const HeaderBytes format = ReadHeaderBytes(file, 8);
    if (format.size() < 8) return;
    facts.HasRiffFormat = true;
    facts.RiffChannels = SignedLittleEndian16(format, 2);
    facts.RiffSampleRate = static_cast<std::int32_t>(LittleEndian32(format, 4));
}

void ReadSampleRateBlock(platform::File& file, const SubBlock& block, BlockFacts& facts) {
    if (block.DataLength < 3 || !file.Seek(block.DataOffset)) return;
    const HeaderBytes rate = ReadHeaderBytes(file, 3);
    if (rate.size() < 3) return;
    facts.HasSampleRate = true;
    facts.SampleRate = rate[0] | rate[1] << 8 | rate[2] << 16;
}

void ReadChannelInfoBlock(platform::File& file, const SubBlock& block, BlockFacts& facts) {
    if (block.DataLength < 1 || !file.Seek(block.DataOffset)) return;
    const HeaderBytes count = ReadHeaderBytes(file, 1);
    if (count.size() == 1) facts.ChannelInfoCount = count[0];
}

BlockFacts ReadBlockFacts(platform::File& file, std::int64_t blockEnd) {
    BlockFacts facts;
    bool riffSeen = false;
    std::int64_t position = kBlockHeaderBytes;
    for (int i = 0; i < kMaxSubBlocks; ++i) {
        std::uint8_t id = 0;
        SubBlock block;
        if (!ReadSubBlock(file, position, blockEnd, id, block, position)) break;
        const std::uint8_t kind = id & kIdKindMask;
        // Only the first RIFF header counts: each is a chunk walk of its own.
        if (kind == kIdRiffHeader && !riffSeen) {
            riffSeen = true;
            ReadRiffFormat(file, block, facts);
        }
        if (kind == kIdSampleRate && !facts.HasSampleRate) ReadSampleRateBlock(file, block, facts);
        if (kind == kIdChannelInfo && facts.ChannelInfoCount == 0)
            ReadChannelInfoBlock(file, block, facts);
    }
    return facts;
}

// The length of the whole file in samples per channel, which every block header repeats: 40
// bits, the upper 8 counted in steps of 0xFFFFFFFF so that 0xFFFFFFFF alone stays free to mean
// "unknown" (-1 here).
std::int64_t TotalSamples(const HeaderBytes& header) {
    const std::uint32_t low = LittleEndian32(header, kTotalSamplesOffset);
    if (low == 0xFFFFFFFFu) return -1;
    const std::int64_t high = header[kTotalSamplesHighOffset];
    return (high << 32) - high + low;
}

std::int32_t RateFromFlags(std::uint32_t flags, const BlockFacts& facts) {
    const std::uint32_t index = (flags >> kRateIndexShift) & kRateIndexMask;
    if (index < kStandardRates.size()) return kStandardRates[index];
    return facts.HasSampleRate ? facts.SampleRate : 0;
}

// The channel count the block itself tells: the channel-info sub-block of multichannel
// files, else mono or stereo by the block's flags.
std::int32_t ChannelsFromBlock(std::uint32_t flags, const BlockFacts& facts) {
    if (facts.ChannelInfoCount > 0) return facts.ChannelInfoCount;
    return (flags & kMonoFlag) && !(flags & kFalseStereoFlag) ? 1 : 2;
}

}  // namespace

bool CFormatReaderWV::Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) {
    if (!record) return false;
    std::string channelsAnswer;
    {
        CMediaInfoQuery query(mediaInfo, path);
        query.Store(MediaInfoHandle::kStreamGeneral, MediaInfoProperty::BitRate, *record);
        query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Resolution, *record);
        // Wanted only when the file keeps no RIFF header; asked now, while the file is open.
        channelsAnswer = query.Ask(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Channels);
        query.StoreLength(*record);
    }
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;
    const HeaderBytes header = ReadHeaderBytes(file, kBlockHeaderBytes);
    if (header.size() < kBlockHeaderBytes || !HasSignature(header, 0, kBlockId, 4)) return false;
    const std::int64_t fileSize = file.Size();
    const std::int64_t blockEnd = std::min<std::int64_t>(
        8 + std::int64_t{LittleEndian32(header, 4)}, fileSize < 0 ? 0 : fileSize);
    const BlockFacts facts = ReadBlockFacts(file, blockEnd);
    if (facts.HasRiffFormat) {
        record->SampleRate = facts.RiffSampleRate;
        record->Channels = facts.RiffChannels;
    } else {
        const std::uint32_t flags = LittleEndian32(header, kFlagsOffset);
        record->SampleRate = RateFromFlags(flags, facts);
        // MediaInfo has the last word on channels, but it gives none for short files or
        // when it is missing.
        record->Channels = LeadingInteger(channelsAnswer);
        if (record->Channels <= 0) record->Channels = ChannelsFromBlock(flags, facts);
    }
    record->SetExactLength(TotalSamples(header));
    return true;
}
