// Explicit little-endian encoding for the files the program writes: the same
// bytes on every host and in every build, never a copy of a struct.
#pragma once

#include <cstdint>
#include <cstring>

inline unsigned char* putU32(unsigned char* out, std::uint32_t v)
{
    out[0] = static_cast<unsigned char>(v);
    out[1] = static_cast<unsigned char>(v >> 8);
    out[2] = static_cast<unsigned char>(v >> 16);
    out[3] = static_cast<unsigned char>(v >> 24);
    return out + 4;
}

inline std::uint32_t getU32(const unsigned char* in)
{
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

// IEEE-754 binary64, least significant byte first.
inline unsigned char* putDouble(unsigned char* out, double value)
{
    std::uint64_t bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    out = putU32(out, static_cast<std::uint32_t>(bits));
    return putU32(out, static_cast<std::uint32_t>(bits >> 32));
}

inline double getDouble(const unsigned char* in)
{
    const std::uint64_t bits = getU32(in) | static_cast<std::uint64_t>(getU32(in + 4)) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
