#include "results/file_replace.h"

#include <cstring>
#include <new>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

bool flushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool replaceFile(const char* from, const char* to)
{
#ifdef _WIN32
    // A file the user has made read-only is not replaced (MoveFileEx would
    // under Wine).
    const DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    // rename() would also replace a file the user has made read-only.
    struct stat target;
    if (stat(to, &target) == 0 && (S_ISDIR(target.st_mode) || !(target.st_mode & S_IWUSR)))
        return false;
    return std::rename(from, to) == 0;
#endif
}

bool copyFileSafely(const char* from, const char* to)
{
    const std::size_t length = std::strlen(to);
    char* temporary = new (std::nothrow) char[length + 5];
    unsigned char* chunk = new (std::nothrow) unsigned char[65536];
    std::FILE* in = temporary && chunk ? std::fopen(from, "rb") : nullptr;
    bool copied = false;
    if (in) {
        std::memcpy(temporary, to, length);
        std::memcpy(temporary + length, ".new", 5);
        if (std::FILE* out = std::fopen(temporary, "wb")) {
            copied = true;
            std::size_t got;
            while (copied && (got = std::fread(chunk, 1, 65536, in)) > 0)
                copied = std::fwrite(chunk, 1, got, out) == got;
            copied = copied && !std::ferror(in) && flushToDisk(out);
            copied = (std::fclose(out) == 0) && copied;
            copied = copied && replaceFile(temporary, to);
            if (!copied)
                std::remove(temporary);
        }
        std::fclose(in);
    }
    delete[] chunk;
    delete[] temporary;
    return copied;
}
