#include "results/results_file.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "results/byte_order.h"

namespace {

// The header: the four check words, then the seed.
constexpr int kCheckWordCount = 4;
constexpr long kHeaderSize = (kCheckWordCount + 1) * kU32Size;

void scramble(unsigned char* bytes, std::uint32_t length, const unsigned char key[16])
{
    for (std::uint32_t i = 0; i < length; ++i)
        bytes[i] ^= key[i & 15];
}

// A selector byte read as signed and widened with its sign, so that a byte of
// 0x80 or more also sets every bit above its place.
std::uint32_t widened(unsigned char byte)
{
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(byte)));
}

std::uint32_t maskOf(unsigned char hi, unsigned char upper, unsigned char lower, unsigned char lo)
{
    return widened(hi) << 24 | widened(upper) << 16 | widened(lower) << 8 | widened(lo);
}

void checkMasks(std::uint32_t seed, const unsigned char key[16], std::uint32_t masks[4])
{
    const unsigned char a = key[seed & 3];
    const unsigned char b = key[4 + ((seed >> 8) & 3)];
    const unsigned char c = key[8 + ((seed >> 16) & 3)];
    const unsigned char d = key[12 + ((seed >> 24) & 3)];
    masks[0] = maskOf(a, a, c, b);
    masks[1] = maskOf(d, b, a, c);
    masks[2] = maskOf(c, a, b, d);
    masks[3] = maskOf(b, d, a, d);
}

void plainSums(const unsigned char* bytes, std::uint32_t length, std::uint32_t sums[4])
{
    sums[0] = sums[1] = sums[2] = sums[3] = 0;
    for (std::uint32_t i = 0; i < length; ++i)
        sums[i & 3] += static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(bytes[i])));
}

bool writeAll(std::FILE* file, const unsigned char* bytes, std::size_t length)
{
    return length == 0 || std::fwrite(bytes, 1, length, file) == length;
}

// Unscrambles the payload in place and answers whether the header's check
// words match its plain bytes.
bool verified(const unsigned char* header, unsigned char* payload, std::uint32_t length)
{
    const unsigned char* in = header;
    std::uint32_t checkWords[kCheckWordCount];
    for (std::uint32_t& word : checkWords)
        word = takeU32(in);
    const std::uint32_t seed = takeU32(in);
    unsigned char key[16];
    buildKeyTable(seed, key);
    std::uint32_t masks[kCheckWordCount];
    checkMasks(seed, key, masks);
    scramble(payload, length, key);
    std::uint32_t sums[kCheckWordCount];
    plainSums(payload, length, sums);
    for (int k = 0; k < kCheckWordCount; ++k)
        if ((checkWords[k] ^ masks[k]) != sums[k])
            return false;
    return true;
}

}  // namespace

void buildKeyTable(std::uint32_t seed, unsigned char key[16])
{
    // Row r comes from seed byte r and its neighbour. Columns 0 and 1 are
    // each a one-to-one function of byte r, so a seed that differs in any
    // byte gives a different key table.
    for (int r = 0; r < 4; ++r) {
        const unsigned b = (seed >> (8 * r)) & 0xFF;
        const unsigned n = (seed >> (8 * ((r + 1) & 3))) & 0xFF;
        key[4 * r + 0] = static_cast<unsigned char>(b * 0x9D + 0x3B + 0x11 * r);
        key[4 * r + 1] = static_cast<unsigned char>((b ^ 0xA5) + 0x47 * (r + 1));
        key[4 * r + 2] = static_cast<unsigned char>(((b * 7 + n) & 0x7F) | 0x80);
        key[4 * r + 3] = static_cast<unsigned char>(b + n * 3 + 0x2D);
    }
}

bool saveResultsFile(unsigned char* buffer, std::uint32_t length, const char* path, OldFile old)
{
    if (!path || (!buffer && length > 0))
        return false;
    const std::uint32_t r1 = static_cast<std::uint32_t>(std::rand()) & 0xFFFF;
    const std::uint32_t r2 = static_cast<std::uint32_t>(std::rand()) & 0xFFFF;
    const std::uint32_t seed = r1 << 16 | r2;

    unsigned char key[16];
    buildKeyTable(seed, key);
    std::uint32_t sums[kCheckWordCount];
    std::uint32_t masks[kCheckWordCount];
    plainSums(buffer, length, sums);
    checkMasks(seed, key, masks);

    unsigned char header[kHeaderSize];
    unsigned char* out = header;
    for (int k = 0; k < kCheckWordCount; ++k)
        out = putU32(out, sums[k] ^ masks[k]);
    putU32(out, seed);

    scramble(buffer, length, key);
    const bool saved = writeFileSafely(path, old, [&](std::FILE* file) {
        return writeAll(file, header, kHeaderSize) && writeAll(file, buffer, length);
    });
    scramble(buffer, length, key);
    return saved;
}

PayloadRead readResultsFile(const char* path, unsigned char*& payload, std::uint32_t& length)
{
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return PayloadRead::Unreadable;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size >= 0 && (size <= kHeaderSize || size > kMaxResultsFileSize)) {
        std::fclose(file);
        return PayloadRead::Damaged;
    }
    const auto plainLength = static_cast<std::uint32_t>(size - kHeaderSize);
    unsigned char* plain = size < 0 ? nullptr : new (std::nothrow) unsigned char[plainLength];
    unsigned char header[kHeaderSize];
    const bool read = plain && std::fseek(file, 0, SEEK_SET) == 0 &&
                      std::fread(header, 1, sizeof header, file) == sizeof header &&
                      std::fread(plain, 1, plainLength, file) == plainLength;
    std::fclose(file);
    const PayloadRead result = !read                                    ? PayloadRead::Unreadable
                               : verified(header, plain, plainLength) ? PayloadRead::Verified
                                                                        : PayloadRead::Damaged;
    if (result != PayloadRead::Verified) {
        delete[] plain;
        return result;
    }
    payload = plain;
    length = plainLength;
    return result;
}

unsigned char* loadResultsFile(const char* path, std::uint32_t* lengthOut)
{
    unsigned char* payload = nullptr;
    std::uint32_t length = 0;
    if (readResultsFile(path, payload, length) == PayloadRead::Verified && lengthOut)
        *lengthOut = length;
    return payload;
}
