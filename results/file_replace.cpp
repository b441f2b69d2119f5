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

FileKind fileKind(const char* path)
{
#ifdef _WIN32
    // Answers also for a file that another program holds open without sharing.
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileKind::None;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Folder : FileKind::File;
#else
    struct stat info;
    if (stat(path, &info) != 0)
        return FileKind::None;
    return S_ISREG(info.st_mode) ? FileKind::File : FileKind::Folder;
#endif
}

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

char* withSuffix(const char* path, const char* suffix)
{
    const std::size_t length = std::strlen(path), extra = std::strlen(suffix) + 1;
    char* joined = new (std::nothrow) char[length + extra];
    if (joined) {
        std::memcpy(joined, path, length);
        std::memcpy(joined + length, suffix, extra);
    }
    return joined;
}

bool copyFileSafely(const char* from, const char* to)
{
    std::FILE* in = std::fopen(from, "rb");
    if (!in)
        return false;
    const bool copied = writeFileSafely(to, [in](std::FILE* out) {
        unsigned char chunk[16384];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
            if (std::fwrite(chunk, 1, got, out) != got)
                return false;
        return !std::ferror(in);
    });
    std::fclose(in);
    return copied;
}
