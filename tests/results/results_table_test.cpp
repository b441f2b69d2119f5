#include "results/results_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes recordOf(const ResultsTable& table)
{
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    Bytes bytes(record, record + (record ? length : 0));
    delete[] record;
    return bytes;
}

bool read(ResultsTable& table, const Bytes& record) { return table.readRecord(record.data(), static_cast<std::int32_t>(record.size())); }

std::string contents(const ResultsTable& table)  // "name:score" per slot, "-" for an empty one
{
    std::string out;
    for (int i = 0; i < table.capacity; ++i)
        out += (i ? " " : "") + (holdsResult(table.slots[i]) ? table.slots[i]->name + (":" + testing::PrintToString(table.slots[i]->score)) : "-");
    return out;
}

// A record with the length and capacity filled in; bytes as given.
Bytes record(int capacity, int used, Bytes b)
{
    const unsigned char header[12] = {0, 0, 0, 0, static_cast<unsigned char>(capacity), 0, 0, 0, static_cast<unsigned char>(used)};
    b.insert(b.begin(), header, header + 12);
    b[0] = static_cast<unsigned char>(b.size()), b[1] = static_cast<unsigned char>(b.size() >> 8);
    return b;
}

const Bytes kEmpty10 = record(10, 0, Bytes(40, 0));
const Bytes kAbc = record(10, 1, {3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0x29, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // abc with 12.5

TEST(ResultsTable, RecordsByteForByte)
{
    ASSERT_EQ(std::make_pair(kEmpty10.size(), kAbc.size()), std::make_pair(std::size_t{52}, std::size_t{63}));
    ResultsTable table(kResultsCapacity);
    EXPECT_EQ(recordOf(table), kEmpty10);
    ASSERT_TRUE(table.insert("abc", 12.5));
    EXPECT_EQ(recordOf(table), kAbc);
    table.clear();
    EXPECT_EQ(recordOf(table), kEmpty10);
}

TEST(ResultsTable, BestFirstEqualScoresInArrivalAndAFullTableDropsItsLast)
{
    ResultsTable table(kResultsCapacity);
    char name[] = "new";
    for (double score : {7.0, 5.0, 3.0})
        table.insert(std::to_string(static_cast<int>(score)).c_str(), score);
    ASSERT_TRUE(table.insert(name, 5.0));
    name[0] = 'q';  // the table keeps its own copy
    EXPECT_EQ(contents(table), "7:7 5:5 new:5 3:3 - - - - - -");
    for (int i = 0; i < 6; ++i)
        table.insert("x", 2.0);
    EXPECT_EQ(table.placesFor(2.0), 0) << "an equal score has no place";
    EXPECT_FALSE(table.insert("tie", 2.0));
    EXPECT_EQ(table.placesFor(2.5), 6);
    ASSERT_TRUE(table.insert("top", 30.0));
    EXPECT_EQ(contents(table), "top:30 7:7 5:5 new:5 3:3 x:2 x:2 x:2 x:2 x:2");
}

TEST(ResultsTable, RecordsReadBackWithTheirCapacityAndGaps)
{
    ResultsTable table(3);
    ASSERT_TRUE(read(table, kAbc));
    EXPECT_EQ(recordOf(table), kAbc);
    // Capacity 5: slot 0 holds x 8.0, slot 1 is empty, slot 2 holds y 2.0.
    ASSERT_TRUE(read(table, record(5, 2, {1, 0, 0, 0, 'x', 0, 0, 0, 0, 0, 0, 0x20, 0x40, 0, 0, 0, 0,
                                          1, 0, 0, 0, 'y', 0, 0, 0, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0})));
    EXPECT_EQ(contents(table), "x:8 - y:2 - -");
    EXPECT_EQ(table.placesFor(1.0), 3);
    ASSERT_TRUE(table.insert("z", 1.0));
    EXPECT_EQ(contents(table), "x:8 y:2 z:1 - -");

    Bytes longer = kAbc;  // trailing bytes counted by both lengths are ignored
    longer.insert(longer.end(), {1, 2, 3});
    longer[0] = static_cast<unsigned char>(longer.size());
    ASSERT_TRUE(read(table, longer));
    EXPECT_EQ(recordOf(table), kAbc);
    ASSERT_TRUE(read(table, record(100, 0, Bytes(400, 0))));
    EXPECT_EQ(table.capacity, 100) << "the largest capacity a record may have";
}

TEST(ResultsTable, DamagedRecordsAreRefusedAndTheTableKept)
{
    auto with = [](std::size_t at, Bytes bytes) {
        Bytes b = kAbc;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    Bytes shortByOne = kAbc;
    shortByOne.pop_back();
    shortByOne[0] = 62;
    const std::pair<const char*, Bytes> cases[] = {
        {"usedCount 2", with(8, {2})},
        {"recordLength 64", with(0, {64})},
        {"length below 12", Bytes(11, 0)},
        {"slot record past the end", shortByOne},
        {"negative nameLength", with(12, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"name running past the end", with(12, {0xF0, 0xFF, 0xFF, 0x7F})},
        {"negative capacity", with(4, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"capacity beyond the bytes", with(4, {0x40, 0x42, 0x0F, 0})},
        {"capacity 0", record(0, 0, {})},
        {"capacity 101", record(101, 0, Bytes(404, 0))},
        {"a name starting with NUL", record(1, 1, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0x40})},
    };
    for (const auto& [name, bytes] : cases) {
        ResultsTable table(kResultsCapacity);
        table.insert("keep", 3.0);
        EXPECT_FALSE(read(table, bytes)) << name;
        EXPECT_EQ(contents(table), "keep:3 - - - - - - - - -") << name;
    }
    ResultsTable table(kResultsCapacity);
    EXPECT_FALSE(table.readRecord(kAbc.data(), -5) || table.readRecord(nullptr, 52));
}

}  // namespace
