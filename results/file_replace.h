// The two file-system steps a safe save needs that the C library does not
// give portably.
#pragma once

#include <cstdio>

// Flushes the stream and asks the system to put it on the disk.
bool flushToDisk(std::FILE* file);

// Puts `from` in place of `to`, replacing `to` if it exists, in one step.
// False (and `to` untouched) when that is not possible.
bool replaceFile(const char* from, const char* to);
