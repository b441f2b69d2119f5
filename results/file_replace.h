// The file-system steps of a safe save that the C library does not give
// portably: a new file is written beside the old one and put in its place
// only once it is complete.
#pragma once

#include <cstdio>

// Flushes the stream and asks the system to put it on the disk.
bool flushToDisk(std::FILE* file);

// Puts `from` in place of `to`, replacing `to` if it exists, in one step.
// False (and `to` untouched) when that is not possible.
bool replaceFile(const char* from, const char* to);

// Writes the bytes of `from` to `to` that way. False (and `to` untouched)
// when anything fails.
bool copyFileSafely(const char* from, const char* to);
