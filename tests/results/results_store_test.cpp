// The results record, the results file and the store that keeps tabulka.dat.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "results/results_store.h"
#include "results_bytes.h"

namespace {

using namespace std::filesystem;
using namespace std::string_literals;

// A new table of ten slots, then one holding abc with 12.5.
const Bytes kEmpty = "\x34\0\0\0"     // recordLength 52
                     "\x0A\0\0\0"     // capacity 10
                     "\0\0\0\0"s      // usedCount 0
                     + Bytes(40, 0);  // ten empty slots: nameLength 0
const Bytes kAbc = "\x3F\0\0\0"             // 0  recordLength 63
                   "\x0A\0\0\0"             // 4  capacity 10
                   "\x01\0\0\0"             // 8  usedCount 1
                   "\x03\0\0\0"             // 12 slot 0: nameLength 3
                   "abc"                    // 16 name
                   "\0\0\0\0\0\0\x29\x40"s  // 19 score 12.5
                   + Bytes(36, 0);          // 27 nine empty slots

Bytes patched(Bytes bytes, std::size_t offset, const Bytes& patch)
{
    return bytes.replace(offset, patch.size(), patch);
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
    EXPECT_EQ(kEmpty, recordOf(table));
    EXPECT_EQ(10, table.placesFor(0.5)) << "an empty table";
    const double scores[] = {7, 5, 3, 5, 2, 2, 2, 2, 2, 2, 30};
    for (char name = 'a'; name <= 'k'; ++name)
        table.insert(Bytes(1, name).c_str(), scores[name - 'a']);
    EXPECT_EQ("kabdcefghi", namesOf(table)) << "the last of the equal scores dropped";
    EXPECT_EQ(0, table.placesFor(2)) << "an equal score has no place";
    EXPECT_FALSE(table.insert("l", 2));
    EXPECT_FALSE(table.insert(nullptr, 99));
    EXPECT_FALSE(table.insert("", 99));
    EXPECT_EQ(5, table.placesFor(3)) << "a score equal to the fifth";
    EXPECT_TRUE(table.insert("m", 2.5));
    EXPECT_EQ("kabdcmefgh", namesOf(table)) << "behind every better score";
    table.clear();
    EXPECT_EQ(kEmpty, recordOf(table));
    table.insert("abc", 12.5);
    EXPECT_EQ(kAbc, recordOf(table));
    ResultsTable one(1);
    EXPECT_TRUE(one.insert("a", 1)) << "a table of one slot";
    EXPECT_EQ("a", namesOf(one));
}

struct RecordCase {
    const char* guards;
    Bytes record;
    Bytes writes = "";  // the table's record after reading it; "" when it is refused
};

TEST(ResultsTable, ReadsRecordsThatFitAndKeepsItsContentOtherwise)
{
    // Empty records of 1 and of 100 slots: recordLength, capacity, zeros.
    const Bytes oneSlot = "\x10\0\0\0\x01"s + Bytes(11, 0);
    const Bytes hundredSlots = "\x9C\x01\0\0\x64"s + Bytes(407, 0);
    // abc in slot 1 behind an empty slot 0.
    const Bytes gap = kAbc.substr(0, 12) + Bytes(4, 0) + kAbc.substr(12, 15) + Bytes(32, 0);
    const Bytes nan = "\0\0\0\0\0\0\xF8\x7F"s;
    const RecordCase cases[] = {
        {.guards = "one name", .record = kAbc, .writes = kAbc},
        {.guards = "capacity 1", .record = oneSlot, .writes = oneSlot},
        {.guards = "capacity 100", .record = hundredSlots, .writes = hundredSlots},
        {.guards = "an empty slot between results", .record = gap, .writes = gap},
        {.guards = "bytes after the last slot", .record = patched(kAbc + "xyz", 0, "\x42"),
         .writes = kAbc},
        {.guards = "capacity 101", .record = "\xA0\x01\0\0\x65"s + Bytes(411, 0)},
        {.guards = "capacity 0", .record = patched(kEmpty, 4, "\0"s)},
        {.guards = "capacity -1", .record = patched(kEmpty, 4, "\xFF\xFF\xFF\xFF")},
        {.guards = "recordLength 64 for 63 bytes", .record = patched(kAbc, 0, "\x40")},
        {.guards = "usedCount 2 for one name", .record = patched(kAbc, 8, "\x02")},
        {.guards = "usedCount 0 for one name", .record = patched(kAbc, 8, "\0"s)},
        {.guards = "the last slot cut short", .record = patched(kAbc, 0, "\x3E").substr(0, 62)},
        {.guards = "a score cut short", .record = patched(kAbc, 0, "\x1A").substr(0, 26)},
        {.guards = "a negative nameLength", .record = patched(kAbc, 12, "\xFF\xFF\xFF\xFF")},
        {.guards = "a name past the end", .record = patched(kAbc, 12, "\xF0\xFF\xFF\x7F")},
        {.guards = "a name starting with NUL", .record = patched(kAbc, 16, "\0"s)},
        {.guards = "a score that is not a number", .record = patched(kAbc, 19, nan)},
        {.guards = "shorter than its header", .record = "\x04\0\0\0"s},
    };
    for (const RecordCase& row : cases) {
        ResultsTable table(kResultsCapacity);
        table.insert("abc", 12.5);
        EXPECT_EQ(!row.writes.empty(), read(table, row.record)) << row.guards;
        EXPECT_EQ(row.writes.empty() ? kAbc : row.writes, recordOf(table)) << row.guards;
    }
    ResultsTable table(kResultsCapacity);
    read(table, gap);
    table.insert("d", 1);
    EXPECT_EQ("abcd--------", namesOf(table)) << "an insert closes the gap first";
}

Bytes contents(const Bytes& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const Bytes& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each test works in a folder of its own.
struct ResultsFiles : testing::Test {
    const Bytes folder = testing::UnitTest::GetInstance()->current_test_info()->name();
    const Bytes path = folder + "/tabulka.dat";
    ResultsTable table{kResultsCapacity};
    ResultsStore store{path.c_str()};
    void SetUp() override
    {
        remove_all(folder);
        create_directory(folder);
    }
    void TearDown() override { remove_all(folder); }
};

// kAbc as a file this program wrote: the check words, the seed, then the scrambled record.
const Bytes kAbcFile = "\x2B\xFF\xFF\xFF\xE8\x8D\xFF\xFF\x5F\xFF\xFF\xFF\xFC\xFF\xFF\xFF\xC6\x23\x67\x45"
                       "\x96\xAA\x8D\x5C\xC9\x14\xDC\x85\x89\x97\x96\x63\xBC\xFC\xA9\xC4\xC8\xC8\xEE"
                       "\x5C\xC3\x14\xDC\x85\x88\xBE\xD6\x63\xBF\xFC\xA9\xC4\xA9\xAA\x8D\x5C\xC3\x14"
                       "\xDC\x85\x88\x97\x96\x63\xBF\xFC\xA9\xC4\xA9\xAA\x8D\x5C\xC3\x14\xDC\x85\x88"
                       "\x97\x96\x63\xBF\xFC\xA9";

TEST_F(ResultsFiles, AChangedByteIsRefusedButACompensatingPairPasses)
{
    put(path, kAbcFile);
    EXPECT_EQ(kAbc, load(path)) << "a file saved before";
    std::srand(2);
    save(kAbc, path);
    EXPECT_NE(kAbcFile, contents(path)) << "another seed";
    EXPECT_EQ(kAbc, load(path));
    for (std::size_t at = 0; at < kAbcFile.size(); ++at) {
        Bytes changed = kAbcFile;
        changed[at] ^= 1;
        put(path, changed);
        if (at < 16 || at >= 20) {  // (a changed seed is another key)
            EXPECT_EQ("(refused)", load(path)) << "byte " << at << " flipped";
        }
    }
    // Plain bytes 20 and 24 share check word 0. Whatever the key, a stored
    // bit flipped is a plain bit flipped: 0x00 to 0xFF is -1 as a signed
    // byte and 0x00 to 0x01 is +1, so the sum holds.
    Bytes pair = kAbcFile;
    pair[40] ^= '\xFF';
    pair[44] ^= 1;
    put(path, pair);
    EXPECT_EQ(patched(kAbc, 20, "\xFF\0\0\0\x01"s), load(path));
    save("", path);
    EXPECT_EQ("(refused)", load(path)) << "20 bytes, though their check words match";
    EXPECT_EQ(nullptr, loadResultsFile(path.c_str(), nullptr));
    EXPECT_FALSE(saveResultsFile(nullptr, 1, path.c_str()));
    save("x", path);
    EXPECT_EQ("x", load(path)) << "21 bytes";
    const Bytes largest(kMaxResultsFileSize - 20, 1);
    save(largest, path);
    EXPECT_EQ(largest.size(), load(path).size());
    save(largest + "1", path);
    EXPECT_EQ("(refused)", load(path)) << "a file over the limit";
}

TEST_F(ResultsFiles, AFolderOrAReadOnlyFileIsNeverReplaced)
{
    create_directory(path);
    EXPECT_EQ(LoadOutcome::Unreadable, store.load(table));
    EXPECT_TRUE(store.saveIfChanged(table)) << "nothing to write";
    EXPECT_FALSE(store.save(table));
    EXPECT_TRUE(is_directory(path));
    remove(path);
    save(kAbc, path);
    permissions(path, perms::owner_read);
    EXPECT_FALSE(save(kEmpty, path));
    permissions(path, perms::all);
    EXPECT_EQ(kAbc, load(path));
}

// A file that fails its check, an empty one, one of 20 bytes and one whose record is refused.
TEST_F(ResultsFiles, WhatCannotBeUsedIsCopiedAsideAndTheTableKept)
{
    save(patched(kAbc, 8, "\x02"), path);
    const Bytes refused = contents(path);
    save(kAbc, path);
    Bytes damaged = contents(path);
    damaged[30] ^= 1;
    table.insert("abc", 12.5);
    const Bytes files[] = {damaged, "", Bytes(20, 'x'), refused};
    for (int i = 0; i < 4; ++i) {
        const Bytes& file = files[i];
        put(path, file);
        const LoadOutcome outcome = ResultsStore(path.c_str()).load(table);
        EXPECT_EQ(file == refused ? LoadOutcome::Refused : LoadOutcome::Damaged, outcome) << file;
        EXPECT_EQ(kAbc, recordOf(table));
        EXPECT_EQ(file, contents(path));
        EXPECT_EQ(file, contents(path + ".bad" + (i ? std::to_string(i + 1) : "")));
    }
}

TEST_F(ResultsFiles, OnlyAChangedTableIsWrittenAtExit)
{
    EXPECT_EQ(LoadOutcome::NoFile, store.load(table));
    EXPECT_TRUE(store.saveIfChanged(table));
    EXPECT_EQ(kEmpty, load(path)) << "a run that read nothing writes";
    ResultsStore second(path.c_str());
    EXPECT_EQ(LoadOutcome::Loaded, second.load(table));
    remove(path);
    store.saveIfChanged(table);
    second.saveIfChanged(table);
    EXPECT_FALSE(exists(path)) << "the table as written or read is written again";
    table.insert("abc", 12.5);
    EXPECT_TRUE(second.saveIfChanged(table));
    EXPECT_EQ(kAbc, load(path));
}

}  // namespace
