// Writes or reads a results file for the end-to-end tests, with the
// program's own code.
//   results_file_tool write FILE NAME SCORE [NAME SCORE...]
//   results_file_tool dump FILE      prints "name<TAB>score" per entry
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "results/results_file.h"
#include "results/results_table.h"

int main(int argc, char** argv)
{
    ResultsTable table(10);
    std::uint32_t length = 0;
    if (argc >= 3 && std::strcmp(argv[1], "write") == 0) {
        for (int i = 3; i + 1 < argc; i += 2)
            table.insert(argv[i], std::atof(argv[i + 1]));
        unsigned char* record = table.writeRecord(&length);
        saveResultsFile(record, length, argv[2]);
        delete[] record;
        return 0;
    }
    if (argc != 3 || std::strcmp(argv[1], "dump") != 0) {
        std::fprintf(stderr, "usage: results_file_tool write FILE NAME SCORE... | dump FILE\n");
        return 2;
    }
    unsigned char* record = loadResultsFile(argv[2], &length);
    bool valid = record && table.readRecord(record, static_cast<std::int32_t>(length));
    delete[] record;
    if (!valid) {
        std::fprintf(stderr, "invalid results file\n");
        return 1;
    }
    for (int i = 0; i < table.capacity; ++i)
        if (table.slots[i] && table.slots[i]->name)
            std::printf("%s\t%.1f\n", table.slots[i]->name, table.slots[i]->score);
    return 0;
}
