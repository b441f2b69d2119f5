// Every file operation and every allocation of a save, a load and a keeping aside made to fail in
// turn, as the system would fail it, and what must hold after each: tabulka.dat holds the old or
// the new table whole, no kept file was replaced, a save answers false exactly when its table did
// not land, and a load that fails leaves the table as it was.
//
// The test links with --wrap for each C library call the results code makes on files. While
// armed, the call numbered failAt fails; a file being written when one of its calls fails loses
// its bytes when it is closed, as it may on a full disk, so code that goes on regardless installs
// a broken file and is caught.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>

#include "results/results_store.h"
#include "results_bytes.h"

namespace {

int calls = 0;
int failAt = 0;    // 0: nothing fails, and calls are not counted
Bytes lockedPath;  // opening it for reading fails, as for a file another program holds
int lostFd = -1;   // the file open there loses its bytes when it is closed

bool failsNow()
{
    errno = EIO;
    return failAt != 0 && ++calls == failAt;
}

bool failsOn(int fd)
{
    const bool fails = failsNow();
    lostFd = fails ? fd : lostFd;
    return fails;
}

}  // namespace

// The program asks for memory with new (std::nothrow), and takes null for "out of memory".
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return failsNow() ? nullptr : operator new(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return failsNow() ? nullptr : operator new[](size);
}

// The real call, and its stand-in that answers `failed` instead when `fails`.
#define WRAP(type, call, params, args, fails, failed) \
    extern "C" type __real_##call params;             \
    extern "C" type __wrap_##call params { return fails ? failed : __real_##call args; }

using Path = const char*;
WRAP(FILE*, fopen, (Path path, Path mode), (path, mode),
     failsNow() || (path == lockedPath && *mode == 'r'), nullptr)
WRAP(int, open, (Path path, int flags, mode_t mode), (path, flags, mode), failsNow(), -1)
WRAP(FILE*, fdopen, (int fd, Path mode), (fd, mode), failsNow(), nullptr)
WRAP(int, fseek, (FILE * file, long to, int from), (file, to, from), failsNow(), -1)
WRAP(int, stat, (Path path, struct stat* info), (path, info), failsNow(), -1)
WRAP(int, rename, (Path from, Path to), (from, to), failsNow(), -1)
WRAP(int, renameat2, (int at, Path from, int toAt, Path to, unsigned how),
     (at, from, toAt, to, how), failsNow(), -1)
WRAP(int, remove, (Path path), (path), failsNow(), -1)
WRAP(size_t, fwrite, (const void* from, size_t size, size_t count, FILE* file),
     (from, size, count, file), failsOn(fileno(file)), 0)
WRAP(int, fflush, (FILE * file), (file), failsOn(fileno(file)), EOF)
WRAP(int, fsync, (int fd), (fd), failsOn(fd), -1)

extern "C" size_t __real_fread(void*, size_t, size_t, FILE*);
extern "C" size_t __wrap_fread(void* to, size_t size, size_t count, FILE* file)
{
    if (!failsOn(fileno(file)))
        return __real_fread(to, size, count, file);
    __real_fwrite("", 1, 1, file);  // on a stream for reading: sets its error indicator
    return 0;
}

extern "C" int __real_fclose(FILE*);
extern "C" int __wrap_fclose(FILE* file)
{
    const bool fails = failsOn(fileno(file));
    if (fileno(file) == lostFd) {
        __real_fflush(file);
        lostFd = ftruncate(lostFd, 0) * 0 - 1;
    }
    const int closed = __real_fclose(file);
    return fails ? EOF : closed;
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
        if (file.path() != kPath && file.is_regular_file())
            files[file.path().filename()] = contents(file.path());
    return files;
}

// The folder with tabulka.dat holding `table` (a byte changed when damaged), a kept file, a
// folder at the next kept name, and another copy's temporary file.
Bytes start(const ResultsTable& table, bool damaged)
{
    fs::remove_all("faults");
    fs::create_directory("faults");
    ResultsStore(kPath.c_str()).save(table);
    Bytes file = contents(kPath);
    file[30] ^= damaged;
    std::ofstream(kPath, std::ios::binary) << file;
    std::ofstream("faults/tabulka.dat.bad") << "kept before";
    fs::create_directory("faults/tabulka.dat.bad2");
    std::ofstream("faults/tabulka.dat.new") << "another copy's, saving at the same time";
    lostFd = -1;
    return file;
}

struct Road {
    const char* does;
    bool damaged;             // tabulka.dat at start-up is damaged
    bool locked;              // it cannot be opened at start-up
    bool faultsLoad = false;  // the faults are planted in the load, else in the save after it
};

TEST(FileFaults, NothingSavedIsLostWhicheverCallFails)
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
            SCOPED_TRACE(Bytes(road.does) + ", call " + std::to_string(faults + 1) + " fails");
            const Bytes before = start(oldTable, road.damaged);
            ResultsTable table(kResultsCapacity);
            table.insert("mine", 3);
            const Bytes mine = recordOf(table);
            ResultsStore store(kPath.c_str());
            lockedPath = road.locked ? kPath : "";
            calls = 0;
            failAt = road.faultsLoad ? faults + 1 : 0;
            store.load(table);
            lockedPath = "";
            failAt = 0;
            const Bytes loaded = recordOf(table);
            EXPECT_TRUE(loaded == mine || loaded == recordOf(oldTable)) << "a table half loaded";
            failAt = road.faultsLoad ? 0 : faults + 1;
            const bool saved = !road.faultsLoad && store.save(newTable);
            failAt = 0;
            EXPECT_EQ(saved ? recordOf(newTable) : before, saved ? load(kPath) : contents(kPath));
            // What could not be read at start must be kept, by this save or the next.
            const bool mustKeep = loaded == mine;
            EXPECT_TRUE(saved || !mustKeep || store.save(newTable)) << "a save with no fault";
            int keptCopies = 0;
            for (const auto& [name, bytes] : others())
                keptCopies += bytes == before;
            EXPECT_TRUE(!mustKeep || keptCopies > 0) << "the file from start-up kept";
            const std::size_t files = others().size();
            EXPECT_TRUE(store.save(newTable));
            EXPECT_EQ(files, others().size()) << "the run's own file kept aside";
            EXPECT_EQ("kept before", contents("faults/tabulka.dat.bad"));
            EXPECT_EQ("another copy's, saving at the same time", contents("faults/tabulka.dat.new"));
        }
        std::printf("%s: %d calls and allocations failed in turn\n", road.does, faults - 1);
        EXPECT_GT(faults, 6) << road.does;
    }
    const Bytes before = recordOf(oldTable);
    for (failAt = 1; failAt <= 2; ++failAt) {
        calls = 0;
        EXPECT_FALSE(oldTable.insert("the entry or its name cannot be made", 9));
    }
    failAt = 0;
    EXPECT_EQ(before, recordOf(oldTable));
}

}  // namespace
