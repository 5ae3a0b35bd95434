#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The main window's placement, stored as a 44-byte record laid out like WINDOWPLACEMENT:
// eleven little-endian 32-bit fields. A record never stored has Length 0.
struct WindowPlacement {
    static constexpr std::size_t kSize = 44;
    static constexpr std::int32_t kShowNormal = 1;
    static constexpr std::int32_t kShowMinimized = 2;
    static constexpr std::int32_t kShowMaximized = 3;

    struct Point {
        std::int32_t X = 0;
        std::int32_t Y = 0;
        bool operator==(const Point&) const = default;
    };
    struct Rect {
        std::int32_t Left = 0;
        std::int32_t Top = 0;
        std::int32_t Right = 0;
        std::int32_t Bottom = 0;
        bool operator==(const Rect&) const = default;
    };

    std::int32_t Length = 0;
    std::int32_t Flags = 0;
    std::int32_t ShowCmd = 0;
    Point MinPosition;
    Point MaxPosition;
    Rect NormalPosition;

    std::array<unsigned char, kSize> ToBytes() const;
    static WindowPlacement FromBytes(const std::array<unsigned char, kSize>& bytes);

    bool operator==(const WindowPlacement&) const = default;
};
