#pragma once
// Numbers stored in file headers, read from their bytes whatever this machine's order.

#include <cstdint>

inline std::uint32_t bigEndian32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

inline unsigned bigEndian16(const unsigned char* p) {
    return (unsigned(p[0]) << 8) | p[1];
}

inline std::uint32_t littleEndian32(const unsigned char* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline unsigned littleEndian16(const unsigned char* p) {
    return p[0] | (unsigned(p[1]) << 8);
}
