#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// MD5 message digest (RFC 1321). Feed any number of byte blocks with Update, then take the
// digest with Final; the object can be reused after Reset.
class CMd5 {
public:
    using Digest = std::array<std::uint8_t, 16>;

    CMd5() { Reset(); }

    void Reset();
    void Update(const void* data, std::size_t size);
    Digest Final();

    // The digest as 32 upper-case hexadecimal digits, first byte first.
    static std::string ToHex(const Digest& digest);

private:
    void Transform(const std::uint8_t* blocks, std::size_t count);

    std::array<std::uint32_t, 4> m_state{};
    std::uint64_t m_length = 0;  // bytes fed so far
    std::array<std::uint8_t, 64> m_pending{};
    std::size_t m_pendingSize = 0;
};
