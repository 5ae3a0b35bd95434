#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fileinfo/WaveLayout.h"
#include "platform/File.h"

// Reads the samples of a WAV file front to back in large blocks, as comparison words: integer
// samples left-aligned in 32 bits (8-bit ones made signed), float samples either as their raw
// bits or converted to integers the way FFmpeg does. Memory stays bounded whatever the file's
// size.
class CWaveSampleReader {
public:
    // Opens path; false with the reason (naming the file) when it is no WAV file whose samples
    // can be compared: integer PCM of 8 to 32 bits, or 32- or 64-bit float.
    bool Open(const std::string& path, std::string* whyNot);

    const WaveLayout& Layout() const { return m_layout; }
    bool IsFloat() const { return m_layout.Format.Tag == WaveFormat::kFloat; }
    int BitsPerSample() const { return m_layout.Format.BitsPerSample; }
    int Channels() const { return m_layout.Format.Channels; }
    std::int64_t Frames() const { return m_layout.Frames(); }

    // Raw sample bytes of up to maxFrames frames from the current position; empty at the end
    // of the samples or on a read error (Failed tells which).
    const std::vector<std::uint8_t>& ReadRaw(std::int64_t maxFrames);
    // The same frames as comparison words, one per sample: floats as their bits unless
    // floatsAsIntegers.
    const std::vector<std::int32_t>& ReadWords(std::int64_t maxFrames, bool floatsAsIntegers);
    bool Failed() const { return m_failed; }

private:
    std::string m_path;
    platform::File m_file;
    WaveLayout m_layout;
    std::int64_t m_framesLeft = 0;
    bool m_failed = false;
    std::vector<std::uint8_t> m_raw;
    std::vector<std::int32_t> m_words;
};
