// Writes or reads a results file for the end-to-end tests, with the
// program's own code.
//   results_file_tool write FILE NAME SCORE [NAME SCORE...]
//   results_file_tool dump FILE      prints "name<TAB>score" per entry
// (Like the program, dump keeps a file it cannot use as FILE.bad.)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "results/results_store.h"

int main(int argc, char** argv)
{
    ResultsTable table(10);
    if (argc >= 3 && std::strcmp(argv[1], "write") == 0) {
        for (int i = 3; i + 1 < argc; i += 2)
            table.insert(argv[i], std::atof(argv[i + 1]));
        return saveResultsTable(table, argv[2]) ? 0 : 1;
    }
    if (argc != 3 || std::strcmp(argv[1], "dump") != 0) {
        std::fprintf(stderr, "usage: results_file_tool write FILE NAME SCORE... | dump FILE\n");
        return 2;
    }
    if (loadResultsTable(table, argv[2]) != LoadOutcome::Loaded) {
        std::fprintf(stderr, "%s: no usable results file\n", argv[2]);
        return 1;
    }
    for (int i = 0; i < table.capacity; ++i)
        if (holdsResult(table.slots[i]))
            std::printf("%s\t%.1f\n", table.slots[i]->name, table.slots[i]->score);
    return 0;
}
