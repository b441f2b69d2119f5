#include "results/file_replace.h"

#include <cerrno>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// How many sibling names are tried: far more than a folder ever holds.
constexpr int kMaxSiblings = 999;

#ifdef _WIN32
int openExclusively(const char* path)
{
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

bool isReadOnly(const char* path)
{
    // MoveFileEx would replace a read-only file under Wine; Windows refuses.
    const DWORD attributes = GetFileAttributesA(path);
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY);
}
#else
int openExclusively(const char* path) { return open(path, O_WRONLY | O_CREAT | O_EXCL, 0666); }

bool isReadOnly(const char* path)
{
    // rename() would replace a file the user has made read-only.
    struct stat info;
    return stat(path, &info) != 0 || !(info.st_mode & S_IWUSR);
}
#endif

char* nthSibling(const char* path, const char* suffix, int n)
{
    const std::size_t size = std::strlen(path) + std::strlen(suffix) + 8;
    char* name = new (std::nothrow) char[size];
    if (name && n == 1)
        std::snprintf(name, size, "%s%s", path, suffix);
    else if (name)
        std::snprintf(name, size, "%s%s%d", path, suffix, n);
    return name;
}

bool copyBytes(std::FILE* in, std::FILE* out)
{
    unsigned char chunk[16384];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        if (std::fwrite(chunk, 1, got, out) != got)
            return false;
    return !std::ferror(in);
}

}  // namespace

FileKind fileKind(const char* path)
{
#ifdef _WIN32
    // Answers also for a file that another program holds open without sharing.
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::None
                                                                              : FileKind::Unknown;
    }
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Folder : FileKind::File;
#else
    struct stat info;
    if (stat(path, &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileKind::None : FileKind::Unknown;
    return S_ISREG(info.st_mode) ? FileKind::File : FileKind::Folder;
#endif
}

std::FILE* createExclusively(const char* path)
{
    const int fd = openExclusively(path);
    if (fd < 0)
        return nullptr;
#ifdef _WIN32
    std::FILE* file = _fdopen(fd, "wb");
    if (!file)
        _close(fd);
#else
    std::FILE* file = fdopen(fd, "wb");
    if (!file)
        close(fd);
#endif
    if (!file)
        std::remove(path);
    return file;
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
    const FileKind target = fileKind(to);
    if (target == FileKind::Folder || target == FileKind::Unknown || (target == FileKind::File && isReadOnly(to)))
        return false;
#ifdef _WIN32
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from, to) == 0;
#endif
}

bool moveWithoutReplacing(const char* from, const char* to)
{
#ifdef _WIN32
    return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) != 0;
#else
    return renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0;
#endif
}

char* firstFreeSibling(const char* path, const char* suffix)
{
    for (int n = 1; n <= kMaxSiblings; ++n) {
        char* name = nthSibling(path, suffix, n);
        if (!name || fileKind(name) == FileKind::None)
            return name;
        delete[] name;
    }
    return nullptr;
}

bool copyAside(const char* path)
{
    std::FILE* in = std::fopen(path, "rb");
    if (!in)
        return false;
    char* kept = firstFreeSibling(path, ".bad");
    std::FILE* out = kept ? createExclusively(kept) : nullptr;
    bool copied = false;
    if (out) {
        copied = copyBytes(in, out) && flushToDisk(out);
        copied = std::fclose(out) == 0 && copied;
        if (!copied)
            std::remove(kept);
    }
    std::fclose(in);
    delete[] kept;
    return copied;
}

char* moveAside(const char* path)
{
    char* kept = firstFreeSibling(path, ".bad");
    if (kept && !moveWithoutReplacing(path, kept)) {
        delete[] kept;
        kept = nullptr;
    }
    return kept;
}

bool installFile(const char* temporary, const char* path, OldFile old)
{
    if (old == OldFile::Replace)
        return replaceFile(temporary, path);
    char* kept = moveAside(path);
    if (!kept)
        return false;
    // The place is free now; should another program take it meanwhile, its
    // file is not replaced either.
    const bool installed = moveWithoutReplacing(temporary, path);
    if (!installed)
        moveWithoutReplacing(kept, path);
    delete[] kept;
    return installed;
}
