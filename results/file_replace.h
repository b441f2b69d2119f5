// Saving a file so that a failed or interrupted save never costs what was
// saved before, and keeping aside a file that must not be replaced. Also the
// steps of it that the C library does not give portably.
//
// Sibling names: a temporary file is written as path.new (path.new2, ... when
// that name is taken, by another copy of the program saving at the same
// moment, say), and a file kept aside goes to path.bad (path.bad2, ... when
// that is taken). Both are created or moved only where nothing stands yet, so
// no save ever writes into another's temporary file and no kept file is ever
// replaced.
#pragma once

#include <cstdio>

// What stands at a path. Only "not found" is None; Unknown is a path the
// system refuses to look at, which may hide a file: it is handled as a file
// that cannot be read. Folder stands for anything that is not a plain file.
enum class FileKind { None, File, Folder, Unknown };
FileKind fileKind(const char* path);

// Creates the file for writing in binary mode, only if nothing stands at the
// path; null otherwise.
std::FILE* createExclusively(const char* path);

// Flushes the stream and asks the system to put it on the disk.
bool flushToDisk(std::FILE* file);

// Puts `from` in place of `to` in one step, replacing a file at `to`. False,
// with `to` untouched, when that is not possible: also when `to` is read-only,
// a folder, or cannot be looked at.
bool replaceFile(const char* from, const char* to);

// Moves `from` to `to` in one step, only if nothing stands at `to`.
bool moveWithoutReplacing(const char* from, const char* to);

// The first free name of path+suffix, path+suffix+"2", path+suffix+"3", ...
// as a new[] string; null when none is free or memory runs out.
char* firstFreeSibling(const char* path, const char* suffix);

// Copies the file to the first free kept name (path.bad, path.bad2, ...); the
// file itself stays. False, with no partial copy left, when that fails.
bool copyAside(const char* path);
// Moves the file to the first free kept name and answers that name (new[]),
// or null when it could not.
char* moveAside(const char* path);

// What a save does with the file that stands at its path: replace it, or
// move it aside to a kept name first.
enum class OldFile { Replace, MoveAside };

// Puts a complete temporary file in place of `path` (see writeFileSafely).
bool installFile(const char* temporary, const char* path, OldFile old);

// Writes `path` through a temporary sibling: write(file) puts the bytes in
// and answers whether it could. Only once they are all on the disk does the
// new file take the old one's place; an old file moved aside is moved back if
// the new one cannot take its place. True when the new file is in place.
// False when anything failed: `path` is then as it was (or, only if even the
// move back failed, the old file is whole under its kept name) and no
// temporary file is left.
template <typename Write>
bool writeFileSafely(const char* path, OldFile old, Write write)
{
    char* temporary = firstFreeSibling(path, ".new");
    std::FILE* file = temporary ? createExclusively(temporary) : nullptr;
    if (!file) {
        delete[] temporary;
        return false;
    }
    bool written = write(file) && flushToDisk(file);
    written = std::fclose(file) == 0 && written;
    written = written && installFile(temporary, path, old);
    if (!written)
        std::remove(temporary);
    delete[] temporary;
    return written;
}
