// The table of best results and its results record.
//
// Results record (all integers 32-bit little-endian, no padding):
//   offset 0  recordLength  unsigned, the whole record, this field included
//   offset 4  capacity      signed, number of slot records that follow
//   offset 8  usedCount     number of slot records that hold an entry
//   offset 12 slot records, slot 0 first; each is
//             nameLength (signed; 0 = empty slot, nothing follows),
//             then nameLength name bytes (no NUL) and the score as an
//             IEEE-754 double, little-endian.
#pragma once

#include <cstdint>

#include "results/byte_order.h"

// Sizes in the record: its three header fields, a slot's name length, a score.
constexpr int kRecordHeaderSize = 3 * kU32Size;
constexpr int kNameLengthSize = kU32Size;
constexpr int kScoreSize = kDoubleSize;

// The program's table keeps the ten best results. A record may ask for
// another number of slots; anything outside 1 to 100 is refused as damaged.
constexpr int kResultsCapacity = 10;
constexpr int kMaxResultsCapacity = 100;

class ResultEntry {
public:
    ResultEntry() = default;
    ~ResultEntry() { release(); }
    ResultEntry(const ResultEntry&) = delete;
    ResultEntry& operator=(const ResultEntry&) = delete;

    void release();                 // frees the name; score back to 0.0
    bool setName(const char* text); // a fresh heap copy; null does nothing
    void setScore(double value) { score = value; }

    char* name = nullptr;  // Windows-1250 bytes as typed, NUL-terminated
    double score = 0.0;
};

// The one rule for a used slot: it holds an entry whose name has at least one
// byte. (The record marks an empty slot by a name length of 0, so an empty
// name could not be written; readRecord refuses a name that starts with NUL.)
inline bool holdsResult(const ResultEntry* entry)
{
    return entry && entry->name && entry->name[0] != '\0';
}

class ResultsTable {
public:
    explicit ResultsTable(int capacity);
    ~ResultsTable();
    ResultsTable(const ResultsTable&) = delete;
    ResultsTable& operator=(const ResultsTable&) = delete;

    // Places the result best first, behind equal scores. False for a null or
    // empty name, a table without slots, or a score with no place.
    bool insert(const char* name, double score);
    // capacity minus the entries scoring at least `score`: above 0 exactly
    // when insert would find a place.
    int placesFor(double score) const;
    void clear();

    // A new buffer (the caller frees it with delete[]) holding the record,
    // or null.
    unsigned char* writeRecord(std::uint32_t* lengthOut) const;
    // Replaces the table with the record's content. False, with the table as
    // it was, for a record acceptsRecord refuses and when memory runs out.
    bool readRecord(const unsigned char* record, std::int32_t length);
    // Whether a record is one the table can take: every field within the
    // record's length, a usedCount that matches the slots, a capacity of 1 to
    // kMaxResultsCapacity, no name starting with a NUL byte (it would read as
    // an empty name) and no score that is not a finite number. Empty slots
    // between results and bytes after the last slot are accepted.
    static bool acceptsRecord(const unsigned char* record, std::int32_t length);

    ResultEntry** slots = nullptr;
    int capacity = 0;

private:
    void takeOut(int slot);
    void freeSlots();
    void closeGaps();
};
