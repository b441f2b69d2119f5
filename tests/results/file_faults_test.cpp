// Every file operation of a save, a load and a keeping aside made to fail in turn, as the system
// would fail it, and what must hold after each: tabulka.dat holds the old or the new table whole,
// no kept file was replaced, and a save answers false exactly when its table did not land. Then
// every allocation of a load, made to fail in turn.
//
// The test links with --wrap for each C library call the results code makes on files. While
// armed, the call numbered failAt fails; a file being written when one of its calls fails loses
// its bytes when it is closed, as it could on a full disk, so code that goes on regardless
// installs an empty file and is caught.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <set>

#include "results/results_store.h"
#include "results_bytes.h"

namespace {

int calls = 0;
int failAt = 0;  // 0: nothing fails, and calls are only counted
std::string lockedPath;  // opened for reading, it fails, as a file held by another program
std::map<int, std::string> written;  // open descriptors being written, and their paths
std::set<int> lost;                  // those of them that lost their bytes
std::set<FILE*> readFaults;          // streams a read failed on

int allocations = 0;
int failAllocationAt = 0;  // 0: no allocation fails

bool failsNow()
{
    if (failAt == 0 || ++calls != failAt)
        return false;
    errno = EIO;
    return true;
}

bool failsOn(FILE* file)
{
    const bool fails = failsNow();
    if (fails && file && written.count(fileno(file)))
        lost.insert(fileno(file));
    return fails;
}

}  // namespace

// The program asks for memory with new (std::nothrow) and takes a null answer as "out of memory".
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (failAllocationAt != 0 && ++allocations == failAllocationAt)
        return nullptr;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void* operator new(std::size_t size)
{
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

extern "C" {
FILE* __real_fopen(const char*, const char*);
FILE* __real_fdopen(int, const char*);
int __real_open(const char*, int, ...);
int __real_close(int);
int __real_fclose(FILE*);
size_t __real_fread(void*, size_t, size_t, FILE*);
size_t __real_fwrite(const void*, size_t, size_t, FILE*);
int __real_fseek(FILE*, long, int);
long __real_ftell(FILE*);
int __real_fflush(FILE*);
int __real_fsync(int);
int __real_ferror(FILE*);
int __real_stat(const char*, struct stat*);
int __real_rename(const char*, const char*);
int __real_renameat2(int, const char*, int, const char*, unsigned);
int __real_remove(const char*);

FILE* __wrap_fopen(const char* path, const char* mode)
{
    if (failsNow() || (path == lockedPath && *mode == 'r'))
        return nullptr;
    return __real_fopen(path, mode);
}
int __wrap_open(const char* path, int flags, ...)
{
    va_list more;
    va_start(more, flags);
    const mode_t mode = va_arg(more, mode_t);
    va_end(more);
    const int fd = failsNow() ? -1 : __real_open(path, flags, mode);
    if (fd >= 0)
        written[fd] = path;
    return fd;
}
FILE* __wrap_fdopen(int fd, const char* mode) { return failsNow() ? nullptr : __real_fdopen(fd, mode); }
int __wrap_close(int fd)
{
    written.erase(fd);
    return __real_close(fd);
}
int __wrap_fclose(FILE* file)
{
    const bool fails = failsOn(file);
    const int fd = fileno(file);
    const int closed = __real_fclose(file);
    if (lost.count(fd))
        truncate(written[fd].c_str(), 0);
    written.erase(fd);
    lost.erase(fd);
    readFaults.erase(file);
    return fails ? EOF : closed;
}
size_t __wrap_fread(void* to, size_t size, size_t count, FILE* file)
{
    if (!failsNow())
        return __real_fread(to, size, count, file);
    readFaults.insert(file);
    return 0;
}
size_t __wrap_fwrite(const void* from, size_t size, size_t count, FILE* file)
{
    return failsOn(file) ? count / 2 : __real_fwrite(from, size, count, file);
}
int __wrap_fseek(FILE* file, long offset, int whence)
{
    return failsNow() ? -1 : __real_fseek(file, offset, whence);
}
long __wrap_ftell(FILE* file) { return failsNow() ? -1 : __real_ftell(file); }
int __wrap_fflush(FILE* file) { return failsOn(file) ? EOF : __real_fflush(file); }
int __wrap_fsync(int fd)
{
    if (!failsNow())
        return __real_fsync(fd);
    lost.insert(fd);
    return -1;
}
int __wrap_ferror(FILE* file) { return readFaults.count(file) || __real_ferror(file); }
int __wrap_stat(const char* path, struct stat* info)
{
    return failsNow() ? -1 : __real_stat(path, info);
}
int __wrap_rename(const char* from, const char* to)
{
    return failsNow() ? -1 : __real_rename(from, to);
}
int __wrap_renameat2(int fromAt, const char* from, int toAt, const char* to, unsigned flags)
{
    return failsNow() ? -1 : __real_renameat2(fromAt, from, toAt, to, flags);
}
int __wrap_remove(const char* path) { return failsNow() ? -1 : __real_remove(path); }
}

namespace {

namespace fs = std::filesystem;

const Bytes kPath = "faults/tabulka.dat";

Bytes contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every file in the folder but tabulka.dat, with its bytes.
std::map<Bytes, Bytes> others()
{
    std::map<Bytes, Bytes> files;
    for (const fs::directory_entry& file : fs::directory_iterator("faults"))
        if (file.path() != kPath)
            files[file.path().filename()] = contents(file.path());
    return files;
}

struct Road {
    const char* does;
    bool damaged;     // tabulka.dat at start-up is the old table's file with a byte changed
    bool locked;      // it cannot be opened at start-up
    bool faultsLoad = false;  // the faults are planted in the load, else in the save after it
};

TEST(FileFaults, NothingSavedIsLostWhicheverFileOperationFails)
{
    ResultsTable oldTable(kResultsCapacity);
    oldTable.insert("old", 1.5);
    ResultsTable newTable(kResultsCapacity);
    newTable.insert("new", 2.5);
    const Road roads[] = {
        {.does = "save over a file read at start", .damaged = false, .locked = false},
        {.does = "save over a file held at start", .damaged = false, .locked = true},
        {.does = "load a file", .damaged = false, .locked = false, .faultsLoad = true},
        {.does = "load a damaged file", .damaged = true, .locked = false, .faultsLoad = true},
    };
    for (const Road& road : roads) {
        int faults = 0;
        for (calls = 0; calls >= faults; ++faults) {
            SCOPED_TRACE(std::string(road.does) + ", call " + std::to_string(faults + 1) + " fails");
            fs::remove_all("faults");
            fs::create_directory("faults");
            ResultsStore(kPath.c_str()).save(oldTable);
            Bytes file = contents(kPath);
            file[30] ^= road.damaged;
            std::ofstream(kPath, std::ios::binary) << file;
            std::ofstream("faults/tabulka.dat.bad") << "kept before";
            const Bytes before = contents(kPath);
            ResultsTable table(kResultsCapacity);
            ResultsStore store(kPath.c_str());
            lockedPath = road.locked ? kPath : "";
            calls = 0;
            failAt = road.faultsLoad ? faults + 1 : 0;
            store.load(table);
            lockedPath = "";
            failAt = road.faultsLoad ? 0 : faults + 1;
            const bool saved = !road.faultsLoad && store.save(newTable);
            failAt = 0;
            EXPECT_EQ(saved ? recordOf(newTable) : before, saved ? load(kPath) : contents(kPath));
            // What could not be read at start must be kept, by this save or the next.
            const bool mustKeep = recordOf(table) != recordOf(oldTable);
            EXPECT_TRUE(saved || !mustKeep || store.save(newTable)) << "a save with no fault";
            int keptCopies = 0;
            for (const auto& [name, bytes] : others())
                keptCopies += name != "tabulka.dat.bad" && bytes == before;
            EXPECT_TRUE(!mustKeep || keptCopies > 0) << "the file from start-up kept";
            EXPECT_EQ("kept before", contents("faults/tabulka.dat.bad"));
        }
        std::printf("%s: %d calls failed in turn\n", road.does, faults - 1);
        EXPECT_GT(faults, 8) << road.does;
    }
}

TEST(MemoryFaults, ALoadThatRunsOutOfMemoryChangesNothingAndKeepsTheFile)
{
    for (int fault = 1;; ++fault) {
        SCOPED_TRACE("allocation " + std::to_string(fault) + " fails");
        fs::remove_all("faults");
        fs::create_directory("faults");
        ResultsTable saved(kResultsCapacity);
        saved.insert("abc", 12.5);
        saved.insert("de", 1.5);
        ResultsStore(kPath.c_str()).save(saved);
        const Bytes file = contents(kPath);
        ResultsTable table(kResultsCapacity);
        table.insert("mine", 3);
        const Bytes before = recordOf(table);
        ResultsStore store(kPath.c_str());
        allocations = 0;
        failAllocationAt = fault;
        const LoadOutcome outcome = store.load(table);
        failAllocationAt = 0;
        if (outcome == LoadOutcome::Loaded) {
            EXPECT_EQ(recordOf(saved), recordOf(table));
        } else {
            EXPECT_EQ(LoadOutcome::Unreadable, outcome);
            EXPECT_EQ(before, recordOf(table));
            EXPECT_TRUE(store.saveIfChanged(table));
            EXPECT_EQ(file, contents(kPath)) << "written at exit, unchanged";
            EXPECT_TRUE(store.save(table));
            EXPECT_EQ(file, contents("faults/tabulka.dat.bad"));
        }
        if (allocations < fault) {
            EXPECT_GT(fault, 6) << "allocations in a load";
            break;
        }
    }
}

}  // namespace
