// Writes or reads a results file for the end-to-end tests (and the fuzzing
// seeds), with the program's own code.
//   results_file_tool write FILE NAME SCORE [NAME SCORE...]
//   results_file_tool record FILE NAME SCORE...   the bare results record
//   results_file_tool dump FILE      prints "name<TAB>score" per entry
// (Like the program, dump keeps a file it cannot use as FILE.bad.)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "results/results_store.h"

int main(int argc, char** argv)
{
    ResultsTable table(10);
    if (argc >= 3 && (!std::strcmp(argv[1], "write") || !std::strcmp(argv[1], "record"))) {
        for (int i = 3; i + 1 < argc; i += 2)
            table.insert(argv[i], std::atof(argv[i + 1]));
        if (argv[1][0] == 'w')
            return saveResultsTable(table, argv[2]) ? 0 : 1;
        std::uint32_t length = 0;
        unsigned char* record = table.writeRecord(&length);
        std::FILE* file = std::fopen(argv[2], "wb");
        const bool written = file && std::fwrite(record, 1, length, file) == length;
        delete[] record;
        return file && !std::fclose(file) && written ? 0 : 1;
    }
    if (argc != 3 || std::strcmp(argv[1], "dump") != 0) {
        std::fprintf(stderr, "usage: results_file_tool write|record FILE NAME SCORE... | dump FILE\n");
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
