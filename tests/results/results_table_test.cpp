#include "results/results_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes recordOf(const ResultsTable& table)
{
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    if (!record)
        return {};
    Bytes bytes(record, record + length);
    delete[] record;
    return bytes;
}

// "name:score" per slot, "-" for an empty one.
std::vector<std::string> contents(const ResultsTable& table)
{
    std::vector<std::string> out;
    for (int i = 0; i < table.capacity; ++i) {
        if (!table.slots[i]) {
            out.push_back("-");
            continue;
        }
        char score[32];
        std::snprintf(score, sizeof score, "%g", table.slots[i]->score);
        out.push_back(std::string(table.slots[i]->name) + ":" + score);
    }
    return out;
}

const Bytes kEmpty10 = {0x34, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

Bytes abcRecord()
{
    Bytes b = {0x3F, 0, 0, 0, 0x0A, 0, 0, 0, 0x01, 0, 0, 0, 0x03, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0x29, 0x40};
    b.resize(63, 0);
    return b;
}

TEST(ResultsTable, RecordsOfTheEmptyTableAndOfOneEntryByteForByte)
{
    ResultsTable table(10);
    EXPECT_EQ(table.placesFor(0.0), 10);
    EXPECT_EQ(table.placesFor(-5.0), 10);
    EXPECT_EQ(recordOf(table), kEmpty10);

    ASSERT_TRUE(table.insert("abc", 12.5));
    EXPECT_EQ(recordOf(table), abcRecord());

    table.clear();
    EXPECT_EQ(table.capacity, 10);
    EXPECT_EQ(recordOf(table), kEmpty10);

    // The length is optional.
    unsigned char* record = table.writeRecord(nullptr);
    ASSERT_NE(record, nullptr);
    delete[] record;
}

TEST(ResultsTable, InsertKeepsBestFirstAndEqualScoresInArrival)
{
    ResultsTable table(10);
    EXPECT_FALSE(table.insert(nullptr, 5.0));
    EXPECT_FALSE(table.insert("", 5.0));
    table.insert("a", 7.0);
    table.insert("b", 5.0);
    table.insert("c", 3.0);
    ASSERT_TRUE(table.insert("new", 5.0));
    EXPECT_EQ(contents(table), (std::vector<std::string>{"a:7", "b:5", "new:5", "c:3", "-", "-", "-", "-", "-", "-"}));

    // The name is copied.
    char name[] = "zz";
    table.insert(name, 1.0);
    name[0] = 'q';
    EXPECT_STREQ(table.slots[4]->name, "zz");
}

TEST(ResultsTable, AFullTablePushesOutItsLastEntry)
{
    ResultsTable table(10);
    for (int i = 0; i < 10; ++i)
        table.insert(std::to_string(i).c_str(), 20.0 - i);  // 20 .. 11
    EXPECT_EQ(table.placesFor(11.0), 0);
    EXPECT_EQ(table.placesFor(10.5), 0);
    EXPECT_FALSE(table.insert("low", 11.0));

    ASSERT_TRUE(table.insert("top", 30.0));
    auto c = contents(table);
    EXPECT_EQ(c[0], "top:30");
    EXPECT_EQ(c[1], "0:20");
    EXPECT_EQ(c[9], "8:12");  // 11 went

    // Lowest is 2.0: an equal score has no place, 2.5 takes the last one.
    ResultsTable low(10);
    for (int i = 0; i < 9; ++i)
        low.insert("x", 9.0 - i * 0.5);  // 9 .. 5
    low.insert("last", 2.0);
    EXPECT_EQ(low.placesFor(2.0), 0);
    const auto before = contents(low);
    EXPECT_FALSE(low.insert("tie", 2.0));
    EXPECT_EQ(contents(low), before);
    EXPECT_EQ(low.placesFor(2.5), 1);
    ASSERT_TRUE(low.insert("new", 2.5));
    EXPECT_EQ(contents(low)[9], "new:2.5");
}

TEST(ResultsTable, PlacesForAgreesWithInsert)
{
    const double existing[] = {4.0, 4.0, 2.0, 1.5, 1.5, 1.0, 0.5, 3.0, 3.0, 6.0};
    const double probes[] = {0.0, 0.5, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0};
    for (int filled = 0; filled <= 10; ++filled) {
        for (double probe : probes) {
            ResultsTable table(10);
            for (int i = 0; i < filled; ++i)
                table.insert("e", existing[i]);
            const int places = table.placesFor(probe);
            EXPECT_EQ(places > 0, table.insert("p", probe)) << filled << " entries, score " << probe;
        }
    }
}

TEST(ResultsTable, RecordRoundTripsAndGapsCloseOnTheNextInsert)
{
    ResultsTable table(10);
    table.insert("Řehoř", 9.0);
    table.insert("b", 4.5);
    table.insert("c", 4.5);
    const Bytes record = recordOf(table);
    ResultsTable copy(3);
    ASSERT_TRUE(copy.readRecord(record.data(), static_cast<std::int32_t>(record.size())));
    EXPECT_EQ(copy.capacity, 10);
    EXPECT_EQ(contents(copy), contents(table));
    EXPECT_EQ(recordOf(copy), record);

    // Slot 0 used, slot 1 empty, slot 2 used: read as it stands.
    Bytes gap = {0, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 'x'};
    const unsigned char eight[] = {0, 0, 0, 0, 0, 0, 0x20, 0x40};  // 8.0
    gap.insert(gap.end(), eight, eight + 8);
    gap.insert(gap.end(), {0, 0, 0, 0, 1, 0, 0, 0, 'y'});
    const unsigned char two[] = {0, 0, 0, 0, 0, 0, 0, 0x40};  // 2.0
    gap.insert(gap.end(), two, two + 8);
    gap[0] = static_cast<unsigned char>(gap.size());
    ASSERT_TRUE(table.readRecord(gap.data(), static_cast<std::int32_t>(gap.size())));
    EXPECT_EQ(contents(table), (std::vector<std::string>{"x:8", "-", "y:2"}));
    ASSERT_TRUE(table.insert("z", 1.0));
    EXPECT_EQ(contents(table), (std::vector<std::string>{"x:8", "y:2", "z:1"}));
}

TEST(ResultsTable, ARecordOfCapacityFiveGivesTheTableThatCapacity)
{
    ResultsTable five(5);
    five.insert("a", 10.0);
    five.insert("b", 8.0);
    const Bytes record = recordOf(five);
    EXPECT_EQ(record.size(), 12u + 4 * 5 + 2 * (1 + 8));

    ResultsTable table(10);
    ASSERT_TRUE(table.readRecord(record.data(), static_cast<std::int32_t>(record.size())));
    EXPECT_EQ(table.capacity, 5);
    EXPECT_EQ(table.placesFor(1.0), 3);
    EXPECT_EQ(recordOf(table), record);

    // Capacity 0: a 12-byte record that holds nothing.
    ResultsTable none(0);
    EXPECT_EQ(recordOf(none), (Bytes{12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(none.placesFor(1.0), 0);
    EXPECT_FALSE(none.insert("a", 1.0));
}

TEST(ResultsTable, DamagedRecordsAreRefusedAndTheTableKept)
{
    struct Case {
        const char* name;
        Bytes record;
        int length;  // -1: the record's size
    };
    auto with = [](std::size_t at, std::initializer_list<unsigned char> bytes) {
        Bytes b = abcRecord();
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    Bytes shortByOne = abcRecord();
    shortByOne.pop_back();
    shortByOne[0] = 62;
    Bytes hugeCapacity = with(4, {0xFF, 0xFF, 0xFF, 0x7F});
    Bytes nameRunsPast = with(12, {0xF0, 0xFF, 0xFF, 0x7F});  // would wrap a 32-bit position
    const Case cases[] = {
        {"usedCount 2", with(8, {2}), -1},
        {"recordLength 64", with(0, {64}), -1},
        {"length below 12", Bytes{11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, -1},
        {"negative length", abcRecord(), -5},
        {"slot record past the end", shortByOne, -1},
        {"negative nameLength", with(12, {0xFF, 0xFF, 0xFF, 0xFF}), -1},
        {"name running past the end", nameRunsPast, -1},
        {"negative capacity", with(4, {0xFF, 0xFF, 0xFF, 0xFF}), -1},
        {"capacity beyond the bytes", hugeCapacity, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResultsTable table(10);
        table.insert("keep", 3.0);
        const int length = c.length == -1 ? static_cast<int>(c.record.size()) : c.length;
        EXPECT_FALSE(table.readRecord(c.record.data(), length));
        EXPECT_EQ(table.capacity, 10);
        ASSERT_NE(table.slots[0], nullptr);
        EXPECT_STREQ(table.slots[0]->name, "keep");
    }
    ResultsTable table(10);
    EXPECT_FALSE(table.readRecord(nullptr, 52));

    // Trailing bytes counted by both lengths are accepted and ignored.
    Bytes longer = abcRecord();
    longer.insert(longer.end(), {1, 2, 3, 4, 5});
    longer[0] = static_cast<unsigned char>(longer.size());
    ASSERT_TRUE(table.readRecord(longer.data(), static_cast<std::int32_t>(longer.size())));
    EXPECT_EQ(contents(table)[0], "abc:12.5");
    EXPECT_EQ(recordOf(table), abcRecord());
}

TEST(ResultsTable, ANameStartingWithNulStillWritesARecordThatReadsBack)
{
    // Found by fuzzing: one slot whose single name byte is 0.
    Bytes record = {0x29, 0, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0x40};
    record.resize(0x29, 0);
    ResultsTable table(10);
    ASSERT_TRUE(table.readRecord(record.data(), static_cast<std::int32_t>(record.size())));
    const Bytes written = recordOf(table);
    ResultsTable again(10);
    EXPECT_TRUE(again.readRecord(written.data(), static_cast<std::int32_t>(written.size())));
    EXPECT_EQ(again.capacity, 5);
}

}  // namespace
