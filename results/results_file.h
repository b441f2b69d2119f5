// The results file: a payload (the results record) scrambled with a key
// table built from a random seed, behind four check words.
//
// Layout (32-bit integers little-endian):
//   offset 0   four check words, word 0 first
//   offset 16  seed
//   offset 20  payload, N bytes, each XOR keyTable[i % 16]
// Check word k = (sum of the plain payload bytes i with i % 4 == k, each
// read as a signed byte, in a wrapping 32-bit sum) XOR mask k, the masks
// being made of key bytes the seed selects.
#pragma once

#include <cstdint>

#include "results/file_replace.h"

// Writes the container. The caller's buffer is scrambled and unscrambled in
// place, so it comes back unchanged. The old file is replaced, or with
// OldFile::MoveAside first moved to a kept name, only once the new one is
// completely written and on the disk: true then. When anything fails (a full
// disk, a read-only file, a folder in the way) the answer is false and the
// old file stays as it was (see writeFileSafely).
bool saveResultsFile(unsigned char* buffer, std::uint32_t length, const char* path,
                     OldFile old = OldFile::Replace);

// A new buffer (free it with delete[]) holding the verified payload, or null
// when the file cannot be read or fails its check (see readResultsFile).
unsigned char* loadResultsFile(const char* path, std::uint32_t* lengthOut);

enum class PayloadRead {
    Verified,    // `payload` holds the plain payload (free it with delete[])
    Unreadable,  // the file could not be opened or read, or memory ran out
    Damaged,     // too short, too large, or the check words do not match
};
// loadResultsFile, telling why there is no payload; payload and length are
// set only when Verified.
PayloadRead readResultsFile(const char* path, unsigned char*& payload, std::uint32_t& length);

// The key table for a seed: a fixed function of the seed alone.
void buildKeyTable(std::uint32_t seed, unsigned char keyTable[16]);

// Files above this size are refused as damaged; a real table is a few
// hundred bytes.
constexpr long kMaxResultsFileSize = 16L * 1024 * 1024;
