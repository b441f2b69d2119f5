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

bool read(ResultsTable& table, const Bytes& record)
{
    return table.readRecord(record.data(), static_cast<std::int32_t>(record.size()));
}

// "name:score" per slot, "-" for an empty one.
std::vector<std::string> contents(const ResultsTable& table)
{
    std::vector<std::string> out;
    for (int i = 0; i < table.capacity; ++i) {
        const ResultEntry* e = table.slots[i];
        out.push_back(e ? std::string(e->name) + ":" + testing::PrintToString(e->score) : "-");
    }
    return out;
}

const Bytes kEmpty10 = [] {
    Bytes b(52, 0);
    b[0] = 0x34;
    b[4] = 0x0A;
    return b;
}();

// The table of capacity 10 whose only entry is abc with 12.5.
const Bytes kAbc = [] {
    Bytes b = {0x3F, 0, 0, 0, 0x0A, 0, 0, 0, 0x01, 0, 0, 0, 0x03, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0x29, 0x40};
    b.resize(63, 0);
    return b;
}();

TEST(ResultsTable, RecordsByteForByte)
{
    ResultsTable table(kResultsCapacity);
    EXPECT_EQ(table.placesFor(-5.0), 10);
    EXPECT_EQ(recordOf(table), kEmpty10);
    ASSERT_TRUE(table.insert("abc", 12.5));
    EXPECT_EQ(recordOf(table), kAbc);
    table.clear();
    EXPECT_EQ(table.capacity, 10);
    EXPECT_EQ(recordOf(table), kEmpty10);
}

TEST(ResultsTable, BestFirstEqualScoresInArrivalAndAFullTableDropsItsLast)
{
    ResultsTable table(kResultsCapacity);
    EXPECT_FALSE(table.insert(nullptr, 5.0));
    EXPECT_FALSE(table.insert("", 5.0));
    table.insert("a", 7.0);
    table.insert("b", 5.0);
    table.insert("c", 3.0);
    char name[] = "new";
    ASSERT_TRUE(table.insert(name, 5.0));
    name[0] = 'q';  // the table keeps its own copy
    EXPECT_EQ(contents(table), (std::vector<std::string>{"a:7", "b:5", "new:5", "c:3", "-", "-", "-", "-", "-", "-"}));

    for (int i = 0; i < 6; ++i)
        table.insert("x", 2.0);
    EXPECT_EQ(table.placesFor(2.0), 0) << "an equal score has no place";
    EXPECT_FALSE(table.insert("tie", 2.0));
    EXPECT_EQ(table.placesFor(2.5), 6);
    ASSERT_TRUE(table.insert("top", 30.0));
    EXPECT_EQ(contents(table)[0], "top:30");
    EXPECT_EQ(contents(table)[4], "c:3");
    EXPECT_EQ(contents(table)[9], "x:2") << "one 2.0 went";
}

TEST(ResultsTable, PlacesForAgreesWithInsert)
{
    const double existing[] = {4.0, 4.0, 2.0, 1.5, 1.5, 1.0, 0.5, 3.0, 3.0, 6.0};
    for (int filled = 0; filled <= 10; ++filled) {
        for (double probe : {0.0, 0.5, 1.25, 1.5, 3.0, 4.0, 7.0}) {
            ResultsTable table(kResultsCapacity);
            for (int i = 0; i < filled; ++i)
                table.insert("e", existing[i]);
            const int places = table.placesFor(probe);
            EXPECT_EQ(places > 0, table.insert("p", probe)) << filled << " entries, score " << probe;
        }
    }
}

TEST(ResultsTable, RecordsReadBackWithTheirCapacityAndGaps)
{
    ResultsTable table(kResultsCapacity);
    table.insert("Řehoř", 9.0);
    table.insert("b", 4.5);
    ResultsTable copy(3);
    ASSERT_TRUE(read(copy, recordOf(table)));
    EXPECT_EQ(contents(copy), contents(table));

    // Capacity 5, slot 0 used, slot 1 empty, slot 2 used: read as it stands.
    Bytes gap = {0, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 'x', 0, 0, 0, 0, 0, 0, 0x20, 0x40,
                 0, 0, 0, 0, 1, 0, 0, 0, 'y', 0, 0, 0, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0};
    gap[0] = static_cast<unsigned char>(gap.size());
    ASSERT_TRUE(read(table, gap));
    EXPECT_EQ(contents(table), (std::vector<std::string>{"x:8", "-", "y:2", "-", "-"}));
    EXPECT_EQ(table.placesFor(1.0), 3);
    ASSERT_TRUE(table.insert("z", 1.0));
    EXPECT_EQ(contents(table), (std::vector<std::string>{"x:8", "y:2", "z:1", "-", "-"}));

    Bytes longer = kAbc;  // trailing bytes counted by both lengths are ignored
    longer.insert(longer.end(), {1, 2, 3, 4, 5});
    longer[0] = static_cast<unsigned char>(longer.size());
    ASSERT_TRUE(read(table, longer));
    EXPECT_EQ(recordOf(table), kAbc);
}

TEST(ResultsTable, DamagedRecordsAreRefusedAndTheTableKept)
{
    auto with = [](std::size_t at, std::initializer_list<unsigned char> bytes) {
        Bytes b = kAbc;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    Bytes shortByOne = kAbc;
    shortByOne.pop_back();
    shortByOne[0] = 62;
    // Capacity 1 holding one name whose first byte is NUL.
    const Bytes nulName = {25, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0x40};
    Bytes manySlots(12 + 4 * 101, 0);
    manySlots[0] = static_cast<unsigned char>(manySlots.size());
    manySlots[1] = static_cast<unsigned char>(manySlots.size() >> 8);
    manySlots[4] = 101;
    Bytes hundred = manySlots;  // the largest capacity that reads
    hundred.resize(12 + 4 * 100);
    hundred[0] = static_cast<unsigned char>(hundred.size());
    hundred[1] = static_cast<unsigned char>(hundred.size() >> 8);
    hundred[4] = 100;
    struct Case {
        const char* name;
        Bytes record;
    };
    const Case cases[] = {
        {"usedCount 2", with(8, {2})},
        {"recordLength 64", with(0, {64})},
        {"length below 12", Bytes{11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"slot record past the end", shortByOne},
        {"negative nameLength", with(12, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"name running past the end", with(12, {0xF0, 0xFF, 0xFF, 0x7F})},
        {"negative capacity", with(4, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"capacity 0", Bytes{12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"capacity 101", manySlots},
        {"capacity beyond the bytes", with(4, {0x40, 0x42, 0x0F, 0})},
        {"a name starting with NUL", nulName},
    };
    for (const Case& c : cases) {
        ResultsTable table(kResultsCapacity);
        table.insert("keep", 3.0);
        EXPECT_FALSE(read(table, c.record)) << c.name;
        EXPECT_EQ(contents(table)[0], "keep:3") << c.name;
        EXPECT_EQ(table.capacity, 10) << c.name;
    }
    ResultsTable table(kResultsCapacity);
    EXPECT_FALSE(table.readRecord(kAbc.data(), -5));
    EXPECT_FALSE(table.readRecord(nullptr, 52));
    ASSERT_TRUE(read(table, hundred));
    EXPECT_EQ(table.capacity, 100);
}

}  // namespace
