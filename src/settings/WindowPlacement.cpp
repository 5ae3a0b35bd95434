#include "settings/WindowPlacement.h"

namespace {

constexpr std::size_t kFieldCount = WindowPlacement::kSize / 4;

std::array<std::int32_t*, kFieldCount> Fields(WindowPlacement& p) {
    return {&p.Length,
            &p.Flags,
            &p.ShowCmd,
            &p.MinPosition.X,
            &p.MinPosition.Y,
            &p.MaxPosition.X,
            &p.MaxPosition.Y,
            &p.NormalPosition.Left,
            &p.NormalPosition.Top,
            &p.NormalPosition.Right,
            &p.NormalPosition.Bottom};
}

}  // namespace

std::array<unsigned char, WindowPlacement::kSize> WindowPlacement::ToBytes() const {
    WindowPlacement copy = *this;
    std::array<unsigned char, kSize> bytes{};
    std::size_t at = 0;
    for (const std::int32_t* field : Fields(copy)) {
        const auto value = static_cast<std::uint32_t>(*field);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes[at++] = static_cast<unsigned char>(value >> shift);
        }
    }
    return bytes;
}

WindowPlacement WindowPlacement::FromBytes(const std::array<unsigned char, kSize>& bytes) {
    WindowPlacement placement;
    std::size_t at = 0;
    for (std::int32_t* field : Fields(placement)) {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= static_cast<std::uint32_t>(bytes[at++]) << shift;
        }
        *field = static_cast<std::int32_t>(value);
    }
    return placement;
}
