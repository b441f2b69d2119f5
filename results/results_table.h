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
    // Replaces the table with the record's content; validates everything
    // first and leaves the table as it was when anything is wrong.
    bool readRecord(const unsigned char* record, std::int32_t length);

    ResultEntry** slots = nullptr;
    int capacity = 0;

private:
    void takeOut(int slot);
    void freeSlots();
    void closeGaps();
};
