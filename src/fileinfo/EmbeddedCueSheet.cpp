#include "fileinfo/EmbeddedCueSheet.h"

#include "base/AsciiText.h"
#include "base/Paths.h"
#include "platform/File.h"

namespace {

constexpr int kStreamInfo = 0;
constexpr int kVorbisComment = 4;
constexpr int kCueSheetBlock = 5;
// Larger metadata is no sheet anyone wrote, and is not read into memory.
constexpr std::uint32_t kMostMetadata = 16u << 20;
constexpr std::size_t kApeFooter = 32;

std::uint32_t Little32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

std::uint64_t Big(std::string_view bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

bool StartsWithKey(std::string_view entry, std::string_view key) {
    if (entry.size() <= key.size() || entry[key.size()] != '=') return false;
    return LowerAscii(std::string(entry.substr(0, key.size()))) == LowerAscii(std::string(key));
}

std::string FromVorbisComment(std::string_view block) {
    if (block.size() < 8) return {};
    std::size_t at = 4 + static_cast<std::size_t>(Little32(block, 0));
    if (at + 4 > block.size()) return {};
    const std::uint32_t count = Little32(block, at);
    at += 4;
    for (std::uint32_t i = 0; i < count && at + 4 <= block.size(); ++i) {
        const std::size_t length = Little32(block, at);
        at += 4;
        if (length > block.size() - at) return {};
        const std::string_view entry = block.substr(at, length);
        if (StartsWithKey(entry, "CUESHEET")) return std::string(entry.substr(9));
        at += length;
    }
    return {};
}

std::string TwoDigits(std::uint64_t value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

// The metadata block's tracks as a sheet's text; their positions are in samples, turned into
// CD frames (exact for CD audio, whose tracks start on frame borders).
std::string FromCueSheetBlock(std::string_view block, std::uint32_t sampleRate) {
    constexpr std::size_t kHead = 128 + 8 + 259 + 1;
    if (block.size() < kHead || sampleRate == 0) return {};
    const std::size_t tracks = static_cast<unsigned char>(block[kHead - 1]);
    std::string text = "FILE \"\" WAVE\n";
    std::size_t at = kHead;
    for (std::size_t t = 0; t < tracks && at + 36 <= block.size(); ++t) {
        const std::uint64_t offset = Big(block, at, 8);
        const std::uint64_t number = static_cast<unsigned char>(block[at + 8]);
        const std::size_t indexes = static_cast<unsigned char>(block[at + 35]);
        at += 36;
        const bool leadOut = number == 170 || number == 255;
        if (!leadOut) text += "  TRACK " + TwoDigits(number) + " AUDIO\n";
        for (std::size_t i = 0; i < indexes && at + 12 <= block.size(); ++i, at += 12) {
            if (leadOut) continue;
            const std::uint64_t sample = offset + Big(block, at, 8);
            if (sample > (std::uint64_t{1} << 50)) continue;
            const std::uint64_t frames = sample * 75 / sampleRate;
            text += "    INDEX " + TwoDigits(static_cast<unsigned char>(block[at + 8])) + " " +
                    TwoDigits(frames / 75 / 60) + ":" + TwoDigits(frames / 75 % 60) + ":" +
                    TwoDigits(frames % 75) + "\n";
        }
    }
    return text;
}

std::string ReadFlac(platform::File& file) {
    std::string metadata(4, '\0');
    if (file.ReadFully(metadata.data(), 4) != 4 || metadata != "fLaC") return {};
    std::int64_t position = 4;
    for (bool last = false; !last;) {
        char header[4];
        if (file.ReadFully(header, 4) != 4) break;
        const std::uint32_t length = static_cast<std::uint32_t>(Big({header, 4}, 1, 3));
        last = (header[0] & 0x80) != 0;
        const int type = header[0] & 0x7F;
        metadata.append(header, 4);
        position += 4 + static_cast<std::int64_t>(length);
        if (type == kStreamInfo || type == kVorbisComment || type == kCueSheetBlock) {
            if (metadata.size() + length > kMostMetadata) break;
            const std::size_t at = metadata.size();
            metadata.resize(at + length);
            if (file.ReadFully(metadata.data() + at, length) != length) break;
        } else {
            // Pictures and padding are stepped over unread, their header marked as empty.
            metadata[metadata.size() - 3] = metadata[metadata.size() - 2] =
                metadata[metadata.size() - 1] = '\0';
            metadata[metadata.size() - 4] = static_cast<char>(header[0] & 0x80);
            if (!file.Seek(position)) break;
        }
    }
    return embedded_cue::FromFlacMetadata(metadata);
}

std::string ReadWavPack(platform::File& file) {
    const std::int64_t size = file.Size();
    // The APEv2 tag ends the file, or comes just before an ID3v1 tag.
    for (const std::int64_t end : {size, size - 128}) {
        if (end < static_cast<std::int64_t>(kApeFooter)) continue;
        std::string footer(kApeFooter, '\0');
        if (!file.Seek(end - static_cast<std::int64_t>(kApeFooter)) ||
            file.ReadFully(footer.data(), kApeFooter) != static_cast<std::int64_t>(kApeFooter) ||
            footer.compare(0, 8, "APETAGEX") != 0) {
            continue;
        }
        const std::uint32_t tagSize = Little32(footer, 12);
        const std::uint32_t count = Little32(footer, 16);
        if (tagSize < kApeFooter || tagSize > kMostMetadata || tagSize > end) return {};
        std::string items(tagSize - kApeFooter, '\0');
        if (!file.Seek(end - static_cast<std::int64_t>(tagSize)) ||
            file.ReadFully(items.data(), items.size()) != static_cast<std::int64_t>(items.size())) {
            return {};
        }
        return embedded_cue::FromApeItems(items, count);
    }
    return {};
}

}  // namespace

namespace embedded_cue {

std::string FromFlacMetadata(std::string_view bytes) {
    if (bytes.substr(0, 4) != "fLaC") return {};
    std::uint32_t sampleRate = 0;
    std::string fromBlock;
    std::size_t at = 4;
    for (bool last = false; !last && at + 4 <= bytes.size();) {
        last = (bytes[at] & 0x80) != 0;
        const int type = bytes[at] & 0x7F;
        const std::size_t length = Big(bytes, at + 1, 3);
        at += 4;
        if (length > bytes.size() - at) break;
        const std::string_view block = bytes.substr(at, length);
        at += length;
        if (type == kStreamInfo && block.size() >= 13) {
            sampleRate = static_cast<std::uint32_t>(Big(block, 10, 3) >> 4);
        } else if (type == kVorbisComment) {
            std::string text = FromVorbisComment(block);
            if (!text.empty()) return text;
        } else if (type == kCueSheetBlock) {
            fromBlock = FromCueSheetBlock(block, sampleRate);
        }
    }
    return fromBlock;
}

std::string FromApeItems(std::string_view items, std::uint32_t count) {
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < count && at + 8 < items.size(); ++i) {
        const std::size_t length = Little32(items, at);
        const std::uint32_t flags = Little32(items, at + 4);
        at += 8;
        const std::size_t keyEnd = items.find('\0', at);
        if (keyEnd == std::string_view::npos) return {};
        const std::string key = LowerAscii(std::string(items.substr(at, keyEnd - at)));
        at = keyEnd + 1;
        if (length > items.size() - at) return {};
        // Bits 1-2 give the item's kind: 0 is UTF-8 text.
        if (key == "cuesheet" && ((flags >> 1) & 3) == 0) {
            return std::string(items.substr(at, length));
        }
        at += length;
    }
    return {};
}

std::string Read(const std::string& path) {
    const std::string extension = LowerAscii(PathExtension(path));
    if (extension != ".flac" && extension != ".wv") return {};
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return {};
    return extension == ".flac" ? ReadFlac(file) : ReadWavPack(file);
}

}  // namespace embedded_cue
