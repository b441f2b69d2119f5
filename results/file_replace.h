// A safe save: the new file is written beside the old one and put in its
// place only once it is complete, so a failed or interrupted write never
// costs what was saved before. Also the steps of it that the C library does
// not give portably.
#pragma once

#include <cstdio>

// What stands at a path: nothing, a file, or a folder (or anything else
// that is not a plain file).
enum class FileKind { None, File, Folder };
FileKind fileKind(const char* path);

// Flushes the stream and asks the system to put it on the disk.
bool flushToDisk(std::FILE* file);

// Puts `from` in place of `to`, replacing `to` if it exists, in one step.
// False (and `to` untouched) when that is not possible.
bool replaceFile(const char* from, const char* to);

// A new[] copy of `path` with `suffix` after it, or null.
char* withSuffix(const char* path, const char* suffix);

// Writes `path` through the sibling file `path`.new: write(file) puts the
// bytes in and answers whether it could. False (with `path` untouched and no
// sibling left) when anything fails.
template <typename Write>
bool writeFileSafely(const char* path, Write write)
{
    char* temporary = withSuffix(path, ".new");
    bool written = false;
    if (std::FILE* file = temporary ? std::fopen(temporary, "wb") : nullptr) {
        written = write(file) && flushToDisk(file);
        written = (std::fclose(file) == 0) && written;
        written = written && replaceFile(temporary, path);
        if (!written)
            std::remove(temporary);
    }
    delete[] temporary;
    return written;
}

// Writes the bytes of `from` to `to` that way.
bool copyFileSafely(const char* from, const char* to);
