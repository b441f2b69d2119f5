// The results table and the results file together: what start-up, the name
// entry, Clear and shutdown do with tabulka.dat.
//
// Nothing the player saved is lost on any road: a file this run cannot use
// is kept under the first free name of path.bad, path.bad2, path.bad3, ...
// before anything replaces it (see file_replace.h), no kept file is ever
// replaced, and a file that cannot be kept is not replaced either: every save
// is then refused, and reported by the caller, until it can be kept.
#pragma once

#include <cstdint>

#include "results/results_table.h"

enum class LoadOutcome {
    NoFile,      // nothing by that name: an empty table, no message
    Loaded,      // the table now holds the file's results
    Damaged,     // the file fails its check (or is too short or too large)
    Refused,     // the file verifies but its record is refused
    Unreadable,  // something by that name could not be read: a file held by
                 // another program, a folder, or not memory enough to read it
};

// What one run knows of its results file between start-up and exit: the
// record it last read from the file or wrote to it, and whether the file at
// the path must be kept aside before a save may replace it.
class ResultsStore {
public:
    // `path` is borrowed: the string must outlive the store.
    explicit ResultsStore(const char* path);
    ~ResultsStore();
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;

    // Reads the file into the table, which is left as it was unless Loaded.
    // A damaged or refused file is copied to a kept name at once. A file that
    // could not be read stays where it is: it is moved to a kept name by the
    // first save that replaces it, and until then the table as it stands
    // counts as unchanged. When the copy fails, the file is treated the same.
    LoadOutcome load(ResultsTable& table);
    // Writes the table. True only when all of its bytes reached the file; on
    // false the file is as it was before.
    bool save(const ResultsTable& table);
    // Writes the table only if it differs from what this run last read from
    // or wrote to the file (or found at a path it could not read); true when
    // nothing needed writing.
    bool saveIfChanged(const ResultsTable& table);

private:
    // Saves the record (a new[] buffer, null when none could be built) and
    // keeps it as the last one written; frees it when the save fails.
    bool write(unsigned char* record, std::uint32_t length);
    void remember(unsigned char* record, std::uint32_t length);

    const char* path;
    bool fileMustBeKept = false;          // moved aside before it is replaced
    unsigned char* lastRecord = nullptr;  // null: nothing read or written yet
    std::uint32_t lastLength = 0;
};
