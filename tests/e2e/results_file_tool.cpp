// Writes or reads a results file with the program's own code, for the
// end-to-end tests and the fuzzing seeds:
//   results_file_tool write|record FILE NAME SCORE...   the file, or the bare record
//   results_file_tool dump FILE      prints "name<TAB>score" per entry
// (Like the program, dump keeps a file it cannot use as FILE.bad.)
#include <cstdio>
#include <cstdlib>
#include <span>

#include "results/results_store.h"

int main(int argc, char** argv)
{
    ResultsTable table(kResultsCapacity);
    ResultsStore store(argc < 3 ? "" : argv[2]);
    // The commands differ in their first letter.
    char command = argc < 3 ? 0 : argv[1][0];
    for (int i = 4; i < argc; i += 2)
        table.insert(argv[i - 1], atof(argv[i]));
    if (command == 'w')
        return !store.save(table);
    if (command == 'r') {
        unsigned length = 0;
        auto record = table.writeRecord(&length);
        FILE* file = fopen(argv[2], "wb");
        bool written = file && fwrite(record, length, 1, file) && !fclose(file);
        delete[] record;
        return !written;
    }
    if (command != 'd' || store.load(table) != LoadOutcome::Loaded) {
        fputs("usage: results_file_tool write|record FILE NAME SCORE... | dump FILE (usable)\n", stderr);
        return 1;
    }
    for (auto entry : std::span(table.slots, table.capacity))
        if (holdsResult(entry))
            printf("%s\t%.1f\n", entry->name, entry->score);
    return 0;
}
