#include "support/DsdFiles.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr std::uint32_t kDsdRate = 2822400;
constexpr std::size_t kDsfBlock = 4096;

// One channel's bits, bit i of the stream in byte i / 8, at bit i % 8 (lsbFirst) or 7 - i % 8.
std::vector<std::uint8_t> Modulate(std::size_t samples, double peak, double frequency,
                                   bool lsbFirst) {
    std::vector<std::uint8_t> bits((samples + 7) / 8, 0);
    double first = 0;
    double second = 0;
    double out = 1;
    for (std::size_t i = 0; i < samples; ++i) {
        const double x =
            peak * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / kDsdRate);
        first += x - out;
        second += first - out;
        out = second >= 0 ? 1 : -1;
        if (out > 0) bits[i / 8] |= static_cast<std::uint8_t>(1u << (lsbFirst ? i % 8 : 7 - i % 8));
    }
    return bits;
}

void Put(std::string& to, std::uint64_t value, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; ++i) {
        const int shift = bigEndian ? 8 * (bytes - 1 - i) : 8 * i;
        to.push_back(static_cast<char>(value >> shift & 0xFF));
    }
}

std::string Dsf(const std::vector<std::vector<std::uint8_t>>& channels, std::size_t samples) {
    const std::size_t blocks = (channels[0].size() + kDsfBlock - 1) / kDsfBlock;
    std::string data;
    for (std::size_t b = 0; b < blocks; ++b) {
        for (const auto& bits : channels) {
            for (std::size_t i = b * kDsfBlock; i < (b + 1) * kDsfBlock; ++i)
                data.push_back(static_cast<char>(i < bits.size() ? bits[i] : 0));
        }
    }
    std::string file = "DSD ";
    Put(file, 28, 8, false);
    Put(file, 28 + 52 + 12 + data.size(), 8, false);
    Put(file, 0, 8, false);  // no metadata
    file += "fmt ";
    Put(file, 52, 8, false);
    Put(file, 1, 4, false);  // version
    Put(file, 0, 4, false);  // DSD raw
    Put(file, channels.size() == 1 ? 1 : 2, 4, false);  // channel type: mono, stereo
    Put(file, channels.size(), 4, false);
    Put(file, kDsdRate, 4, false);
    Put(file, 1, 4, false);  // bits per sample: 1, least significant bit first
    Put(file, samples, 8, false);
    Put(file, kDsfBlock, 4, false);
    Put(file, 0, 4, false);
    file += "data";
    Put(file, 12 + data.size(), 8, false);
    return file + data;
}

std::string Chunk(const char* id, const std::string& body) {
    std::string chunk = id;
    Put(chunk, body.size(), 8, true);
    chunk += body;
    if (body.size() % 2) chunk.push_back('\0');
    return chunk;
}

std::string Dsdiff(const std::vector<std::vector<std::uint8_t>>& channels) {
    std::string version;
    Put(version, 0x01050000, 4, true);
    std::string rate;
    Put(rate, kDsdRate, 4, true);
    std::string layout;
    Put(layout, channels.size(), 2, true);
    layout += channels.size() == 1 ? "C   " : "SLFTSRGT";
    const std::string compression = std::string("DSD ") + '\x0E' + "not compressed";
    const std::string properties = "SND " + Chunk("FS  ", rate) + Chunk("CHNL", layout) +
                                   Chunk("CMPR", compression);
    std::string data;
    for (std::size_t i = 0; i < channels[0].size(); ++i)
        for (const auto& bits : channels) data.push_back(static_cast<char>(bits[i]));
    const std::string form =
        "DSD " + Chunk("FVER", version) + Chunk("PROP", properties) + Chunk("DSD ", data);
    return Chunk("FRM8", form);
}

}  // namespace

bool WriteDsdSine(const std::string& path, DsdFile form, int channels, double seconds,
                  double peak, double frequency) {
    // Whole bytes per channel, as DSDIFF stores them.
    const auto samples = static_cast<std::size_t>(seconds * kDsdRate) / 8 * 8;
    std::vector<std::vector<std::uint8_t>> bits;
    for (int c = 0; c < channels; ++c)
        bits.push_back(Modulate(samples, peak, frequency, form == DsdFile::Dsf));
    const std::string bytes = form == DsdFile::Dsf ? Dsf(bits, samples) : Dsdiff(bits);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
