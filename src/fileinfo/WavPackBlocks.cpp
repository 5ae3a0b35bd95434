#include "fileinfo/WavPackBlocks.h"

#include <optional>
#include <vector>

#include "fileinfo/HeaderBytes.h"
#include "fileinfo/TailBytes.h"
#include "platform/File.h"

namespace {

constexpr std::size_t kHeaderBytes = 32;
constexpr std::uint16_t kOldestVersion = 0x402;
constexpr std::uint16_t kNewestVersion = 0x410;
// Blocks are far smaller (a second of audio at most); the search for the last one ends here.
constexpr std::int64_t kFirstWindow = 1 << 16;
constexpr std::int64_t kLargestWindow = 1 << 24;

struct BlockHeader {
    std::int64_t Start = 0;
    std::int64_t End = 0;  // offset of the byte after the block
    std::int64_t Index = 0;
    std::int64_t Samples = 0;
    std::int64_t Total = -1;
};

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

BlockHeader ParseBlock(const std::uint8_t* p, std::int64_t offset) {
    BlockHeader block;
    block.Start = offset;
    block.End = offset + 8 + Le32(p + 4);
    block.Index = std::int64_t{p[10]} << 32 | Le32(p + 16);
    block.Samples = Le32(p + 20);
    const std::uint32_t total = Le32(p + 12);
    if (total != 0xFFFFFFFFu) block.Total = (std::int64_t{p[11]} << 32) - p[11] + total;
    return block;
}

bool LooksLikeBlock(const std::uint8_t* p) {
    if (p[0] != 'w' || p[1] != 'v' || p[2] != 'p' || p[3] != 'k') return false;
    const std::uint16_t version = static_cast<std::uint16_t>(p[8] | p[9] << 8);
    return version >= kOldestVersion && version <= kNewestVersion &&
           Le32(p + 4) >= kHeaderBytes - 8;
}

// The last block of the window (whose bytes end at end) that ends exactly at target.
std::optional<BlockHeader> BlockEndingAt(const std::vector<std::uint8_t>& window,
                                         std::int64_t windowStart, std::int64_t target) {
    if (window.size() < kHeaderBytes) return std::nullopt;
    for (std::size_t p = window.size() - kHeaderBytes + 1; p-- > 0;) {
        if (!LooksLikeBlock(window.data() + p)) continue;
        const BlockHeader block =
            ParseBlock(window.data() + p, windowStart + static_cast<std::int64_t>(p));
        if (block.End == target) return block;
    }
    return std::nullopt;
}

}  // namespace

std::string FindWavPackStreamCut(platform::File& file, std::int64_t fileSize) {
    if (!file.Seek(0)) return {};
    const HeaderBytes first = ReadHeaderBytes(file, kHeaderBytes);
    if (first.size() < kHeaderBytes || !LooksLikeBlock(first.data())) return {};
    const std::int64_t total = ParseBlock(first.data(), 0).Total;
    if (total < 0) return {};
    const std::int64_t end = AudioEnd(file, fileSize);
    for (std::int64_t size = kFirstWindow; size <= kLargestWindow; size *= 4) {
        const std::vector<std::uint8_t> window = ReadBytesBefore(file, 0, end, size);
        const std::int64_t windowStart = end - static_cast<std::int64_t>(window.size());
        std::optional<BlockHeader> block = BlockEndingAt(window, windowStart, end);
        // Blocks without samples (metadata alone) may close the file.
        while (block && block->Samples == 0)
            block = BlockEndingAt(window, windowStart, block->Start);
        if (block) {
            const std::int64_t endSample = block->Index + block->Samples;
            if (endSample == total) return {};
            return "cut short: its last block ends at sample " + std::to_string(endSample) +
                   " of the " + std::to_string(total) + " its header promises";
        }
        if (windowStart == 0) break;
    }
    return "cut short: its last block is incomplete";
}
