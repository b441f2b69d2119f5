// The results table and its record, the results file, and the store that keeps tabulka.dat;
// last, every file call and allocation of a save, a load and a keeping aside failing in turn.
//
// While armed, the allocation numbered failAt, through the program's new (std::nothrow), fails.
// Natively the test links with --wrap for each C library call the results code makes on files,
// and these are numbered and fail with the allocations; a file being written when one of its
// calls fails loses its bytes when it is closed, as it may on a full disk, so code that goes on
// regardless installs a broken file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>

#include "results/results_file.h"
#include "results/results_store.h"
#include "results_bytes.h"

namespace {

int calls = 0;
int failAt = 0;    // 0: nothing fails, and calls are not counted
Bytes lockedPath;  // natively, opening it for reading fails, as for a file another program holds

bool failsNow()
{
    errno = EIO;
    return failAt != 0 && ++calls == failAt;
}

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return failsNow() ? nullptr : operator new(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return failsNow() ? nullptr : operator new[](size);
}

#ifndef _WIN32
static int lostFd = -1;  // the file open there loses its bytes when it is closed

// A call on an open file that fails: the file loses its bytes when it is closed.
static bool failsOn(int fd)
{
    const bool fails = failsNow();
    lostFd = fails ? fd : lostFd;
    return fails;
}

static int fd(long file) { return fileno(reinterpret_cast<FILE*>(file)); }

// The real call, and its stand-in that answers `failed` instead when `fails`. Both take and give
// every value as a machine word, as x86-64 passes these (the test runs natively there), so one
// form serves every call: the stand-in hands the real call all five words it may read.
#define WRAP(call, fails, failed)                                         \
    extern "C" long __real_##call(...);                                   \
    extern "C" long __wrap_##call(long a, long b, long c, long d, long e) \
    {                                                                     \
        return fails ? failed : __real_##call(a, b, c, d, e);             \
    }

using Text = const char*;
WRAP(fopen, failsNow() || (lockedPath == Text(a) && *Text(b) == 'r'), 0)
WRAP(open, failsNow(), -1)
WRAP(fdopen, failsNow(), 0)
WRAP(fseek, failsNow(), -1)
WRAP(stat, failsNow(), -1)
WRAP(rename, failsNow(), -1)
WRAP(renameat2, failsNow(), -1)
WRAP(remove, failsNow(), -1)
WRAP(fwrite, failsOn(fd(d)), 0)
WRAP(fflush, failsOn(fd(a)), EOF)
WRAP(fsync, failsOn(a), -1)

// A read that fails leaves its stream's error indicator set, as a write to it does.
long unread(long file) { return __real_fwrite("", 1L, 1L, file) * 0; }
WRAP(fread, failsOn(fd(d)), unread(d))

extern "C" long __real_fclose(long);
extern "C" long __wrap_fclose(long file)
{
    const bool fails = failsOn(fd(file));
    if (fd(file) == lostFd) {
        __real_fflush(file);
        lostFd = ftruncate(lostFd, 0) * 0 - 1;
    }
    const long closed = __real_fclose(file);
    return fails ? EOF : closed;
}
#endif

namespace {

namespace fs = std::filesystem;

// Bytes as the record's layout is written down: two hex digits a byte, N*XX for N bytes XX.
Bytes hex(const Bytes& text)
{
    Bytes bytes;
    std::istringstream words(text);
    for (Bytes word; words >> word;) {
        const std::size_t star = word.find('*') + 1;  // 0 when there is none
        bytes += Bytes(star ? std::stoi(word) : 1, std::stoi(word.substr(star), nullptr, 16));
    }
    return bytes;
}

// A table of ten slots holding abc with 12.5: recordLength, capacity, usedCount, then a slot
// record each (nameLength, the name, the score).
const Bytes kAbc = hex("3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 61 62 63 6*00 29 40 36*00");
// kAbc as a file this program wrote: the check words, the seed, then the scrambled record.
const Bytes kAbcFile = hex("2B FF FF FF E8 8D FF FF 5F FF FF FF FC FF FF FF C6 23 67 45 96 AA"
                           " 8D 5C C9 14 DC 85 89 97 96 63 BC FC A9 C4 C8 C8 EE 5C C3 14 DC 85"
                           " 88 BE D6 63 BF FC A9 C4 A9 AA 8D 5C C3 14 DC 85 88 97 96 63 BF FC"
                           " A9 C4 A9 AA 8D 5C C3 14 DC 85 88 97 96 63 BF FC A9");
// A folder of the run's own.
const fs::path kFolder = fs::temp_directory_path() / ("lumox-results-" + std::to_string(getpid()));
const Bytes kPath = (kFolder / "tabulka.dat").string();

Bytes contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Saves a copy of the payload, and checks on the way that the save gives
// the caller's buffer back as it was.
bool save(Bytes payload, const Bytes& path)
{
    const Bytes before = payload;
    auto* bytes = reinterpret_cast<unsigned char*>(payload.data());
    return saveResultsFile(bytes, payload.size(), path.c_str()) && payload == before;
}

// The verified payload, or "(refused)".
Bytes load(const Bytes& path)
{
    std::uint32_t length = 0;
    const std::unique_ptr<unsigned char[]> payload(loadResultsFile(path.c_str(), &length));
    return payload ? Bytes(payload.get(), payload.get() + length) : "(refused)";
}

// The folder, empty.
void clean()
{
    fs::remove_all(kFolder);
    fs::create_directory(kFolder);
}

// The names slot by slot, "-" for an empty slot.
Bytes namesOf(const ResultsTable& table)
{
    Bytes names;
    for (int i = 0; i < table.capacity; ++i)
        names += table.slots[i] ? table.slots[i]->name : "-";
    return names;
}

TEST(ResultsTable, KeepsTheBestFirstBehindEqualScores)
{
    ResultsTable table(kResultsCapacity);
    const double scores[] = {7, 5, 3, 5, 2, 2, 2, 2, 2, 2, 30};
    for (char name = 'a'; name <= 'k'; ++name)
        table.insert(Bytes(1, name).c_str(), scores[name - 'a']);
    failAt = 2;  // no room for the name's copy: nothing entered, nothing left allocated
    EXPECT_FALSE(table.insert("z", 99));
    failAt = 0;
    // The last of the equal scores dropped.
    EXPECT_EQ("kabdcefghi", namesOf(table));
    // An equal score has no place.
    EXPECT_EQ(0, table.placesFor(2));
    // A score equal to the fifth.
    EXPECT_EQ(5, table.placesFor(3));
}

TEST(ResultsTable, ReadsRecordsThatFitAndKeepsItsContentOtherwise)
{
    // A record, and the table's record after reading it: "" the same, or "refused".
    const std::pair<const char*, const char*> cases[] = {
        // One name
        {"3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 61 62 63 6*00 29 40 36*00", ""},
        // One slot
        {"10 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00", ""},
        // An empty slot between results
        {"3F 00 00 00 0A 00 00 00 01 00 00 00 4*00 03 00 00 00 61 62 63 6*00 29 40 32*00", ""},
        // Bytes after the last slot
        {"42 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 61 62 63 6*00 29 40 36*00 78 79 7A",
         "3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 61 62 63 6*00 29 40 36*00"},
        // A hundred and one slots
        {"A0 01 00 00 65 00 00 00 408*00", "refused"},
        // No slot
        {"0C 00 00 00 00 00 00 00 00 00 00 00", "refused"},
        // recordLength 64 for 63 bytes
        {"40 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 61 62 63 6*00 29 40 36*00", "refused"},
        // usedCount 2 for one name
        {"3F 00 00 00 0A 00 00 00 02 00 00 00 03 00 00 00 61 62 63 6*00 29 40 36*00", "refused"},
        // The last slot cut short
        {"3E 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 61 62 63 6*00 29 40 35*00", "refused"},
        // A negative nameLength
        {"3F 00 00 00 0A 00 00 00 01 00 00 00 FF FF FF FF 61 62 63 6*00 29 40 36*00", "refused"},
        // A name past the end
        {"3F 00 00 00 0A 00 00 00 01 00 00 00 F0 FF FF 7F 61 62 63 6*00 29 40 36*00", "refused"},
        // A name starting with NUL
        {"3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 00 62 63 6*00 29 40 36*00", "refused"},
        // A score that is not a number
        {"3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 61 62 63 6*00 F8 7F 36*00", "refused"},
        // Shorter than its header
        {"04 00 00 00", "refused"},
    };
    for (auto [record, writes] : cases) {
        ResultsTable table(kResultsCapacity);
        table.insert("abc", 12.5);
        const bool refused = writes == Bytes("refused");
        EXPECT_EQ(!refused, read(table, hex(record))) << record;
        EXPECT_EQ(refused ? kAbc : hex(*writes ? writes : record), recordOf(table)) << record;
    }
    ResultsTable table(kResultsCapacity);
    read(table, hex(cases[2].first));
    table.insert("d", 1);
    // An insert closes the gap first.
    EXPECT_EQ("abcd--------", namesOf(table));
}

TEST(ResultsFile, ReadsAFileItWroteAndRefusesAnyChangedByte)
{
    clean();
    put(kPath, kAbcFile);
    // A file saved before.
    EXPECT_EQ(kAbc, load(kPath));
    for (std::size_t at = 0; at < kAbcFile.size(); ++at) {
        Bytes changed = kAbcFile;
        changed[at] ^= 1;
        put(kPath, changed);
        if (at < 16 || at >= 20) {  // (a changed seed is another key)
            EXPECT_EQ("(refused)", load(kPath)) << "byte " << at << " flipped";
        }
    }
    save("", kPath);
    // 20 bytes, though their check words match.
    EXPECT_EQ("(refused)", load(kPath));
}

// An empty file is a damaged one; only a changed table is written at exit, and a run that read
// nothing writes; a read-only file is not replaced.
TEST(ResultsStore, WritesOnlyWhatChangedAndNeverAReadOnlyFile)
{
    clean();
    put(kPath, "");
    ResultsTable table(kResultsCapacity);
    EXPECT_EQ(LoadOutcome::Damaged, ResultsStore(kPath.c_str()).load(table));
    fs::remove(kPath);
    ResultsStore none(kPath.c_str());
    EXPECT_EQ(LoadOutcome::NoFile, none.load(table));
    EXPECT_TRUE(none.saveIfChanged(table));
    ResultsStore second(kPath.c_str());
    // A run that read nothing writes.
    EXPECT_EQ(LoadOutcome::Loaded, second.load(table));
    fs::remove(kPath);
    none.saveIfChanged(table);
    second.saveIfChanged(table);
    // The table as written or read is written again.
    EXPECT_FALSE(fs::exists(kPath));
    table.insert("abc", 12.5);
    EXPECT_TRUE(second.saveIfChanged(table));
    fs::permissions(kPath, fs::perms::owner_read);
    // A read-only file.
    EXPECT_FALSE(save("", kPath));
    EXPECT_EQ(kAbc, load(kPath));
    fs::permissions(kPath, fs::perms::all);  // to be removed
}

// The folder holds tabulka.dat (read at start-up, or damaged, or held by another program: under
// Windows, where no call is wrapped, not held), a kept file, a folder at the next kept name and
// another copy's temporary file. A fault may come
// anywhere in the load or in the save after it; afterwards the file from start-up is at its place
// or kept, nothing else was replaced, and a failed load left the table as it was.
TEST(ResultsStore, LosesNothingWhicheverCallFails)
{
    ResultsTable newTable(kResultsCapacity);
    newTable.insert("new", 2.5);
    for (int road = 0; road < 4; ++road) {
        const bool damaged = road & 1, held = road & 2;
        int faults = 0;
        for (calls = 0; calls >= faults; ++faults) {
            SCOPED_TRACE(testing::Message() << road << " (1 damaged, 2 held), call " << faults + 1);
            clean();
            put(kPath + ".bad", "kept");
            fs::create_directory(kPath + ".bad2");
            put(kPath + ".new", "another copy's, saving now");
            Bytes before = kAbcFile;
            before[30] ^= damaged;
            put(kPath, before);
            ResultsTable table(kResultsCapacity);
            table.insert("mine", 3);
            const Bytes mine = recordOf(table);
            ResultsStore store(kPath.c_str());
            lockedPath = held ? kPath : "";
            calls = 0;
            failAt = faults + 1;
            store.load(table);
            lockedPath = "";
            const bool saved = store.save(newTable);
            failAt = 0;
            const Bytes loaded = recordOf(table);
            // A table half loaded.
            EXPECT_TRUE(loaded == mine || loaded == kAbc);
            EXPECT_EQ(saved ? recordOf(newTable) : before, saved ? load(kPath) : contents(kPath));
            // What could not be read at start is kept, by this save or the next.
            // A save with no fault.
            EXPECT_TRUE(saved || loaded == kAbc || store.save(newTable));
            // The file from start-up kept.
            EXPECT_TRUE(loaded == kAbc || contents(kPath + ".bad3") == before ||
                        contents(kPath + ".bad4") == before);
            const auto files = std::distance(fs::directory_iterator(kFolder), {});
            EXPECT_TRUE(store.save(newTable));
            // The run's own file kept aside.
            EXPECT_EQ(files, std::distance(fs::directory_iterator(kFolder), {}));
            EXPECT_EQ("kept, another copy's, saving now",
                      contents(kPath + ".bad") + ", " + contents(kPath + ".new"));
        }
#ifndef _WIN32
        EXPECT_GT(faults, 20);  // calls in a load and a save
#endif
    }
    fs::remove_all(kFolder);
}

}  // namespace
