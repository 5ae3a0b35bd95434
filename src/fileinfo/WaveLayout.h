#pragma once

#include <cstdint>

namespace platform {
class File;
}

// The sample coding of a WAV file, from its "fmt " chunk.
struct WaveFormat {
    static constexpr std::uint16_t kIntegerPcm = 1;
    static constexpr std::uint16_t kFloat = 3;
    static constexpr std::uint16_t kALaw = 6;
    static constexpr std::uint16_t kMuLaw = 7;
    static constexpr std::uint16_t kExtensible = 0xFFFE;

    // 1 integer PCM, 3 IEEE float, ...; for WAVE_FORMAT_EXTENSIBLE the tag of its sub-format.
    std::uint16_t Tag = 0;
    bool Extensible = false;
    std::int32_t Channels = 0;
    std::uint32_t SampleRate = 0;
    std::int32_t ByteRate = 0;
    std::int32_t BlockAlign = 0;
    std::int32_t BitsPerSample = 0;  // of the container: 24 for 20 valid bits in three bytes
};

// Where a WAV file's samples lie, and whether the file holds what its header promises.
struct WaveLayout {
    bool Rf64 = false;  // RF64 or BW64: 64-bit sizes in a ds64 chunk
    WaveFormat Format;
    bool HasData = false;
    std::int64_t DataOffset = 0;
    // Sample bytes the file holds: the data chunk's size, or what follows its start when the
    // file ends first or when the size is no promise.
    std::int64_t DataBytes = 0;
    // The data chunk's size when it is a promise; -1 when it is not: 0, 0xFFFFFFFF and the
    // placeholders streaming writers leave (sox 0x7FFFF000, lame 0x7FFFFFFF), and RF64, whose
    // ds64 chunk may still be empty.
    std::int64_t PromisedBytes = -1;

    bool IsTruncated() const { return HasData && PromisedBytes > DataBytes; }
    // Whole frames of samples the file holds; -1 without data or a frame size.
    std::int64_t Frames() const;
    // Whether most coders cannot read the file as it is: RF64/BW64, or samples that are not
    // integer PCM (floating point, A-law, ADPCM, ...).
    bool NeedsDecoding() const { return Rf64 || Format.Tag != WaveFormat::kIntegerPcm; }
    // Whether the samples are coded in blocks of several frames (ADPCM, GSM, ...), so that
    // the data's size does not tell how many frames there are.
    bool IsBlockCoded() const {
        return Format.Tag != WaveFormat::kIntegerPcm && Format.Tag != WaveFormat::kFloat &&
               Format.Tag != WaveFormat::kALaw && Format.Tag != WaveFormat::kMuLaw;
    }
};

enum class WaveLayoutStatus {
    Read,
    NoRiff,      // neither "RIFF" nor "RF64" (or its twin "BW64") at the start
    NoWave,      // no "WAVE" after it
    NoFormat,    // no "fmt " chunk
    ShortFormat  // the file ends inside the "fmt " chunk's first 16 bytes
};

// Reads the layout of the WAV file from its start: "RIFF" or "RF64", "WAVE", then the first
// "fmt " and "data" chunks after whatever chunks come before them. Without a "data" chunk the
// layout is read with HasData false.
WaveLayoutStatus ReadWaveLayout(platform::File& file, WaveLayout& layout);
