// Explicit little-endian encoding for the files the program writes: the same
// bytes on every host and in every build, never a copy of a struct.
//
// Writers and readers both move a cursor along the buffer, so a layout reads
// in the order it is written. Neither checks the buffer's end: the caller
// makes sure the bytes are there.
#pragma once

#include <cstdint>
#include <cstring>

constexpr int kU32Size = 4;
constexpr int kDoubleSize = 8;

inline unsigned char* putU32(unsigned char* out, std::uint32_t v)
{
    out[0] = static_cast<unsigned char>(v);
    out[1] = static_cast<unsigned char>(v >> 8);
    out[2] = static_cast<unsigned char>(v >> 16);
    out[3] = static_cast<unsigned char>(v >> 24);
    return out + kU32Size;
}

inline std::uint32_t takeU32(const unsigned char*& in)
{
    const std::uint32_t v = static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
                            static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
    in += kU32Size;
    return v;
}

// IEEE-754 binary64, least significant byte first.
inline unsigned char* putDouble(unsigned char* out, double value)
{
    std::uint64_t bits;
    static_assert(sizeof bits == sizeof value && sizeof value == kDoubleSize);
    std::memcpy(&bits, &value, sizeof bits);
    out = putU32(out, static_cast<std::uint32_t>(bits));
    return putU32(out, static_cast<std::uint32_t>(bits >> 32));
}

inline double takeDouble(const unsigned char*& in)
{
    const std::uint64_t low = takeU32(in);
    const std::uint64_t bits = low | static_cast<std::uint64_t>(takeU32(in)) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
