// The results table and the results file together: what start-up, the name
// entry, Clear and shutdown do with tabulka.dat.
#pragma once

#include <cstdint>

#include "results/results_table.h"

enum class LoadOutcome {
    NoFile,      // nothing by that name: an empty table, no message
    Loaded,      // the table now holds the file's results
    Damaged,     // the file fails its check (or is too short or too large)
    Refused,     // the file verifies but its record is refused
    Unreadable,  // something by that name cannot be opened: a locked file, a folder
};

// What one run knows of its results file between start-up and exit: the record
// it last read from the file or wrote to it, and whether something it could not
// read stands at the file's place. Nothing this run could not read is ever
// replaced: a file is first moved aside to `path`.bad, a folder is left alone.
class ResultsStore {
public:
    explicit ResultsStore(const char* path);
    ~ResultsStore();
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;

    // Reads the file into the table, which is left as it was unless Loaded. A
    // file that is there but cannot be used is first kept as `path`.bad
    // (replacing an older one): copied when it could be read, moved when it
    // could not. A file that cannot even be moved (held by another program)
    // stays where it is, and no save replaces it until it can be moved.
    LoadOutcome load(ResultsTable& table);
    // Writes the table. True only when all of its bytes reached the file; on
    // false the file is as it was before.
    bool save(const ResultsTable& table);
    // Writes the table only if it differs from what this run last read from
    // or wrote to the file; true when nothing needed writing.
    bool saveIfChanged(const ResultsTable& table);

private:
    bool clearTheWay();
    // Saves the record (a new[] buffer, null when none could be built) and
    // keeps it as the last one written; frees it when the save fails.
    bool write(unsigned char* record, std::uint32_t length);
    void remember(unsigned char* record, std::uint32_t length);

    const char* path;
    bool blocked = false;               // an unread file waits to be moved aside
    unsigned char* lastRecord = nullptr;  // null: nothing read or written yet
    std::uint32_t lastLength = 0;
};
