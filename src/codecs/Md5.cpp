#include "codecs/Md5.h"

#include <algorithm>
#include <cstring>

namespace {

inline std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline std::uint32_t LoadLittleEndian(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return z ^ (x & (y ^ z));
}
inline std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (z & (x ^ y));
}
inline std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
inline std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

// One step of a round; written out 64 times so that the compiler keeps the state in registers.
template <std::uint32_t (*Round)(std::uint32_t, std::uint32_t, std::uint32_t)>
inline void Step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                 std::uint32_t x, std::uint32_t t, int s) {
    a = RotateLeft(a + Round(b, c, d) + x + t, s) + b;
}

}  // namespace

void CMd5::Reset() {
    m_state = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    m_length = 0;
    m_pendingSize = 0;
}

void CMd5::Transform(const std::uint8_t* blocks, std::size_t count) {
    std::uint32_t a0 = m_state[0], b0 = m_state[1], c0 = m_state[2], d0 = m_state[3];
    for (; count > 0; --count, blocks += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(blocks + 4 * i);
        std::uint32_t a = a0, b = b0, c = c0, d = d0;

        Step<F>(a, b, c, d, x[0], 0xd76aa478u, 7);
        Step<F>(d, a, b, c, x[1], 0xe8c7b756u, 12);
        Step<F>(c, d, a, b, x[2], 0x242070dbu, 17);
        Step<F>(b, c, d, a, x[3], 0xc1bdceeeu, 22);
        Step<F>(a, b, c, d, x[4], 0xf57c0fafu, 7);
        Step<F>(d, a, b, c, x[5], 0x4787c62au, 12);
        Step<F>(c, d, a, b, x[6], 0xa8304613u, 17);
        Step<F>(b, c, d, a, x[7], 0xfd469501u, 22);
        Step<F>(a, b, c, d, x[8], 0x698098d8u, 7);
        Step<F>(d, a, b, c, x[9], 0x8b44f7afu, 12);
        Step<F>(c, d, a, b, x[10], 0xffff5bb1u, 17);
        Step<F>(b, c, d, a, x[11], 0x895cd7beu, 22);
        Step<F>(a, b, c, d, x[12], 0x6b901122u, 7);
        Step<F>(d, a, b, c, x[13], 0xfd987193u, 12);
        Step<F>(c, d, a, b, x[14], 0xa679438eu, 17);
        Step<F>(b, c, d, a, x[15], 0x49b40821u, 22);

        Step<G>(a, b, c, d, x[1], 0xf61e2562u, 5);
        Step<G>(d, a, b, c, x[6], 0xc040b340u, 9);
        Step<G>(c, d, a, b, x[11], 0x265e5a51u, 14);
        Step<G>(b, c, d, a, x[0], 0xe9b6c7aau, 20);
        Step<G>(a, b, c, d, x[5], 0xd62f105du, 5);
        Step<G>(d, a, b, c, x[10], 0x02441453u, 9);
        Step<G>(c, d, a, b, x[15], 0xd8a1e681u, 14);
        Step<G>(b, c, d, a, x[4], 0xe7d3fbc8u, 20);
        Step<G>(a, b, c, d, x[9], 0x21e1cde6u, 5);
        Step<G>(d, a, b, c, x[14], 0xc33707d6u, 9);
        Step<G>(c, d, a, b, x[3], 0xf4d50d87u, 14);
        Step<G>(b, c, d, a, x[8], 0x455a14edu, 20);
        Step<G>(a, b, c, d, x[13], 0xa9e3e905u, 5);
        Step<G>(d, a, b, c, x[2], 0xfcefa3f8u, 9);
        Step<G>(c, d, a, b, x[7], 0x676f02d9u, 14);
        Step<G>(b, c, d, a, x[12], 0x8d2a4c8au, 20);

        Step<H>(a, b, c, d, x[5], 0xfffa3942u, 4);
        Step<H>(d, a, b, c, x[8], 0x8771f681u, 11);
        Step<H>(c, d, a, b, x[11], 0x6d9d6122u, 16);
        Step<H>(b, c, d, a, x[14], 0xfde5380cu, 23);
        Step<H>(a, b, c, d, x[1], 0xa4beea44u, 4);
        Step<H>(d, a, b, c, x[4], 0x4bdecfa9u, 11);
        Step<H>(c, d, a, b, x[7], 0xf6bb4b60u, 16);
        Step<H>(b, c, d, a, x[10], 0xbebfbc70u, 23);
        Step<H>(a, b, c, d, x[13], 0x289b7ec6u, 4);
        Step<H>(d, a, b, c, x[0], 0xeaa127fau, 11);
        Step<H>(c, d, a, b, x[3], 0xd4ef3085u, 16);
        Step<H>(b, c, d, a, x[6], 0x04881d05u, 23);
        Step<H>(a, b, c, d, x[9], 0xd9d4d039u, 4);
        Step<H>(d, a, b, c, x[12], 0xe6db99e5u, 11);
        Step<H>(c, d, a, b, x[15], 0x1fa27cf8u, 16);
        Step<H>(b, c, d, a, x[2], 0xc4ac5665u, 23);

        Step<I>(a, b, c, d, x[0], 0xf4292244u, 6);
        Step<I>(d, a, b, c, x[7], 0x432aff97u, 10);
        Step<I>(c, d, a, b, x[14], 0xab9423a7u, 15);
        Step<I>(b, c, d, a, x[5], 0xfc93a039u, 21);
        Step<I>(a, b, c, d, x[12], 0x655b59c3u, 6);
        Step<I>(d, a, b, c, x[3], 0x8f0ccc92u, 10);
        Step<I>(c, d, a, b, x[10], 0xffeff47du, 15);
        Step<I>(b, c, d, a, x[1], 0x85845dd1u, 21);
        Step<I>(a, b, c, d, x[8], 0x6fa87e4fu, 6);
        Step<I>(d, a, b, c, x[15], 0xfe2ce6e0u, 10);
        Step<I>(c, d, a, b, x[6], 0xa3014314u, 15);
        Step<I>(b, c, d, a, x[13], 0x4e0811a1u, 21);
        Step<I>(a, b, c, d, x[4], 0xf7537e82u, 6);
        Step<I>(d, a, b, c, x[11], 0xbd3af235u, 10);
        Step<I>(c, d, a, b, x[2], 0x2ad7d2bbu, 15);
        Step<I>(b, c, d, a, x[9], 0xeb86d391u, 21);

        a0 += a;
        b0 += b;
        c0 += c;
        d0 += d;
    }
    m_state = {a0, b0, c0, d0};
}

void CMd5::Update(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    m_length += size;
    if (m_pendingSize > 0) {
        const std::size_t take = std::min(size, m_pending.size() - m_pendingSize);
        std::memcpy(m_pending.data() + m_pendingSize, bytes, take);
        m_pendingSize += take;
        bytes += take;
        size -= take;
        if (m_pendingSize < m_pending.size()) return;
        Transform(m_pending.data(), 1);
        m_pendingSize = 0;
    }
    const std::size_t whole = size / 64;
    if (whole > 0) Transform(bytes, whole);
    bytes += whole * 64;
    size -= whole * 64;
    if (size > 0) std::memcpy(m_pending.data(), bytes, size);
    m_pendingSize = size;
}

CMd5::Digest CMd5::Final() {
    const std::uint64_t bitLength = m_length * 8;
    // Padding: one 0x80 byte, zeros up to 56 bytes modulo 64, then the length.
    std::uint8_t padding[72] = {0x80};
    const std::size_t padSize = (m_pendingSize < 56) ? 56 - m_pendingSize : 120 - m_pendingSize;
    Update(padding, padSize);
    std::uint8_t lengthBytes[8];
    for (int i = 0; i < 8; ++i) lengthBytes[i] = static_cast<std::uint8_t>(bitLength >> (8 * i));
    Update(lengthBytes, sizeof lengthBytes);

    Digest digest{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            digest[4 * i + j] = static_cast<std::uint8_t>(m_state[i] >> (8 * j));
        }
    }
    return digest;
}

std::string CMd5::ToHex(const Digest& digest) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(32);
    for (std::uint8_t byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0f]);
    }
    return text;
}
