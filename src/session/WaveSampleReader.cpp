#include "session/WaveSampleReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

std::int32_t FloatToInteger(double value) {
    // FFmpeg's float to 32-bit conversion: scaled, rounded to nearest, clipped.
    const double scaled = std::nearbyint(value * 2147483648.0);
    if (!(scaled > -2147483648.0)) return std::numeric_limits<std::int32_t>::min();
    if (scaled >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(scaled);
}

// One loop per coding, so that no sample goes through a call or a switch of its own.
void ToWords(const std::uint8_t* in, std::size_t samples, int bytes, bool isFloat,
             bool floatsAsIntegers, std::int32_t* out) {
    if (isFloat && bytes == 4) {
        for (std::size_t i = 0; i < samples; ++i) {
            std::uint32_t bits;
            std::memcpy(&bits, in + i * 4, 4);
            if (floatsAsIntegers) {
                float value;
                std::memcpy(&value, &bits, 4);
                out[i] = FloatToInteger(value);
            } else {
                out[i] = static_cast<std::int32_t>(bits);
            }
        }
    } else if (isFloat) {
        // 64-bit: as integers either way, a float's bits do not fit one word.
        for (std::size_t i = 0; i < samples; ++i) {
            double value;
            std::memcpy(&value, in + i * 8, 8);
            out[i] = FloatToInteger(value);
        }
    } else if (bytes == 1) {
        for (std::size_t i = 0; i < samples; ++i)
            out[i] = static_cast<std::int32_t>((std::uint32_t{in[i]} - 128u) << 24);
    } else if (bytes == 2) {
        for (std::size_t i = 0; i < samples; ++i, in += 2)
            out[i] =
                static_cast<std::int32_t>(std::uint32_t{in[0]} << 16 | std::uint32_t{in[1]} << 24);
    } else if (bytes == 3) {
        for (std::size_t i = 0; i < samples; ++i, in += 3)
            out[i] =
                static_cast<std::int32_t>(std::uint32_t{in[0]} << 8 | std::uint32_t{in[1]} << 16 |
                                          std::uint32_t{in[2]} << 24);
    } else {
        for (std::size_t i = 0; i < samples; ++i, in += 4)
            out[i] =
                static_cast<std::int32_t>(std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 |
                                          std::uint32_t{in[2]} << 16 | std::uint32_t{in[3]} << 24);
    }
}

bool IsComparable(const WaveFormat& format) {
    if (format.Channels <= 0 || format.BitsPerSample % 8 != 0) return false;
    if (format.BlockAlign != format.Channels * (format.BitsPerSample / 8)) return false;
    if (format.Tag == WaveFormat::kFloat)
        return format.BitsPerSample == 32 || format.BitsPerSample == 64;
    return format.Tag == WaveFormat::kIntegerPcm && format.BitsPerSample >= 8 &&
           format.BitsPerSample <= 32;
}

}  // namespace

bool CWaveSampleReader::Open(const std::string& path, std::string* whyNot) {
    m_path = path;
    m_failed = false;
    m_file = platform::File::OpenRead(path);
    std::string why;
    if (!m_file.IsOpen()) {
        why = path + " cannot be opened: " + m_file.LastError().text;
    } else if (ReadWaveLayout(m_file, m_layout) != WaveLayoutStatus::Read) {
        why = path + " is not a WAV file kelto can read";
    } else if (!m_layout.HasData) {
        why = path + " holds no samples (it has no data chunk)";
    } else if (!IsComparable(m_layout.Format)) {
        why = path + " holds samples of a coding kelto cannot compare (format " +
              std::to_string(m_layout.Format.Tag) + ", " +
              std::to_string(m_layout.Format.BitsPerSample) + " bits)";
    } else if (!m_file.Seek(m_layout.DataOffset)) {
        why = path + " cannot be read: " + m_file.LastError().text;
    }
    if (!why.empty()) {
        if (whyNot) *whyNot = why;
        m_file.Close();
        return false;
    }
    m_framesLeft = m_layout.Frames();
    return true;
}

const std::vector<std::uint8_t>& CWaveSampleReader::ReadRaw(std::int64_t maxFrames) {
    const std::int64_t frames = std::min(maxFrames, m_framesLeft);
    m_raw.resize(
        static_cast<std::size_t>(std::max<std::int64_t>(frames, 0) * m_layout.Format.BlockAlign));
    if (m_raw.empty()) return m_raw;
    const std::int64_t read = m_file.ReadFully(m_raw.data(), m_raw.size());
    if (read != static_cast<std::int64_t>(m_raw.size())) {
        m_failed = true;
        m_framesLeft = 0;
        m_raw.clear();
        return m_raw;
    }
    m_framesLeft -= frames;
    return m_raw;
}

const std::vector<std::int32_t>& CWaveSampleReader::ReadWords(std::int64_t maxFrames,
                                                              bool floatsAsIntegers) {
    const std::vector<std::uint8_t>& raw = ReadRaw(maxFrames);
    const int bytes = m_layout.Format.BitsPerSample / 8;
    const std::size_t samples = raw.size() / static_cast<std::size_t>(bytes);
    m_words.resize(samples);
    ToWords(raw.data(), samples, bytes, IsFloat(), floatsAsIntegers, m_words.data());
    return m_words;
}
