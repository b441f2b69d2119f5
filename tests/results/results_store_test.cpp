// The results record, the results file and the store that keeps tabulka.dat.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "results/results_store.h"
#include "results_bytes.h"

namespace {

using namespace std::filesystem;

// Bytes as the record's layout is written down: two hex digits a byte, N*XX for N bytes XX,
// and 'text' for the bytes of a text.
Bytes hex(const Bytes& text)
{
    Bytes bytes;
    std::istringstream words(text);
    for (Bytes word; words >> word;) {
        const std::size_t star = word.find('*');
        if (word[0] == '\'')
            bytes += word.substr(1, word.size() - 2);
        else if (star == Bytes::npos)
            bytes += static_cast<char>(std::stoi(word, nullptr, 16));
        else
            bytes += Bytes(std::stoi(word), static_cast<char>(std::stoi(word.substr(star + 1), nullptr, 16)));
    }
    return bytes;
}

// A new table of ten slots, then one holding abc with 12.5: recordLength, capacity, usedCount,
// then a slot record each (nameLength, the name, the score).
const Bytes kEmpty = hex("34 00 00 00 0A 00 00 00 00 00 00 00 40*00");
const Bytes kAbc = hex("3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 'abc' 6*00 29 40 36*00");

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
    const char* record;
    const char* writes;  // the table's record after reading it: "" the same, or "refused"
};

TEST(ResultsTable, ReadsRecordsThatFitAndKeepsItsContentOtherwise)
{
    const RecordCase cases[] = {
        {"one name", "3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 'abc' 6*00 29 40 36*00", ""},
        {"one slot", "10 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00", ""},
        {"a hundred slots", "9C 01 00 00 64 00 00 00 404*00", ""},
        {"an empty slot between results",
         "3F 00 00 00 0A 00 00 00 01 00 00 00 4*00 03 00 00 00 'abc' 6*00 29 40 32*00", ""},
        {"bytes after the last slot",
         "42 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 'abc' 6*00 29 40 36*00 'xyz'",
         "3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 'abc' 6*00 29 40 36*00"},
        {"a hundred and one slots", "A0 01 00 00 65 00 00 00 408*00", "refused"},
        {"no slot", "0C 00 00 00 00 00 00 00 00 00 00 00", "refused"},
        {"recordLength 64 for 63 bytes",
         "40 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 'abc' 6*00 29 40 36*00", "refused"},
        {"usedCount 2 for one name",
         "3F 00 00 00 0A 00 00 00 02 00 00 00 03 00 00 00 'abc' 6*00 29 40 36*00", "refused"},
        {"the last slot cut short",
         "3E 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 'abc' 6*00 29 40 35*00", "refused"},
        {"a negative nameLength",
         "3F 00 00 00 0A 00 00 00 01 00 00 00 FF FF FF FF 'abc' 6*00 29 40 36*00", "refused"},
        {"a name past the end",
         "3F 00 00 00 0A 00 00 00 01 00 00 00 F0 FF FF 7F 'abc' 6*00 29 40 36*00", "refused"},
        {"a name starting with NUL",
         "3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 00 'bc' 6*00 29 40 36*00", "refused"},
        {"a score that is not a number",
         "3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 'abc' 6*00 F8 7F 36*00", "refused"},
        {"shorter than its header", "04 00 00 00", "refused"},
    };
    for (const RecordCase& row : cases) {
        ResultsTable table(kResultsCapacity);
        table.insert("abc", 12.5);
        const Bytes record = hex(row.record);
        const bool refused = row.writes == Bytes("refused");
        EXPECT_EQ(!refused, read(table, record)) << row.guards;
        const Bytes writes = refused ? kAbc : *row.writes ? hex(row.writes) : record;
        EXPECT_EQ(writes, recordOf(table)) << row.guards;
    }
    ResultsTable table(kResultsCapacity);
    read(table, hex(cases[3].record));
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
const Bytes kAbcFile = hex("2B FF FF FF E8 8D FF FF 5F FF FF FF FC FF FF FF C6 23 67 45 96 AA 8D 5C"
                           " C9 14 DC 85 89 97 96 63 BC FC A9 C4 C8 C8 EE 5C C3 14 DC 85 88 BE D6 63"
                           " BF FC A9 C4 A9 AA 8D 5C C3 14 DC 85 88 97 96 63 BF FC A9 C4 A9 AA 8D 5C"
                           " C3 14 DC 85 88 97 96 63 BF FC A9");

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
    EXPECT_EQ(hex("3F 00 00 00 0A 00 00 00 01 00 00 00 03 00 00 00 'abc' 00 FF 3*00 01 29 40 36*00"),
              load(path));
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
    save(hex("3F 00 00 00 0A 00 00 00 02 00 00 00 03 00 00 00 'abc' 6*00 29 40 36*00"), path);
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
