// The results table and the results file together: what start-up, the name
// entry, Clear and shutdown do with tabulka.dat.
#pragma once

#include "results/results_table.h"

enum class LoadOutcome {
    NoFile,   // nothing to open: an empty table, no message
    Loaded,   // the table now holds the file's results
    Damaged,  // the file fails its check (or is too short or too large)
    Refused,  // the file verifies but its record is refused
};

// Reads the results file at `path` into the table. A file that is there but
// cannot be used is first kept, byte for byte, as `path` + ".bad" (replacing
// an older copy), because the next save replaces it; a copy that cannot be
// made is skipped silently. The table is left as it was unless Loaded.
LoadOutcome loadResultsTable(ResultsTable& table, const char* path);

// Writes the table to `path`. False only when no record could be built; a
// failed write is not reported (the old file then stays as it was).
bool saveResultsTable(const ResultsTable& table, const char* path);
