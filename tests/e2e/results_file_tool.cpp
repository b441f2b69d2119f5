// Writes or reads a results file for the end-to-end tests, with the
// program's own code.
//   results_file_tool write FILE NAME SCORE [NAME SCORE...]
//   results_file_tool dump FILE      prints "name<TAB>score" per entry
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "results/results_file.h"
#include "results/results_table.h"

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "write") == 0) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        ResultsTable table(10);
        for (int i = 3; i + 1 < argc; i += 2)
            table.insert(argv[i], std::atof(argv[i + 1]));
        std::uint32_t length = 0;
        unsigned char* record = table.writeRecord(&length);
        saveResultsFile(record, length, argv[2]);
        delete[] record;
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "dump") == 0) {
        std::uint32_t length = 0;
        unsigned char* record = loadResultsFile(argv[2], &length);
        ResultsTable table(10);
        if (!record || !table.readRecord(record, static_cast<std::int32_t>(length))) {
            std::fprintf(stderr, "invalid results file\n");
            return 1;
        }
        delete[] record;
        for (int i = 0; i < table.capacity; ++i)
            if (table.slots[i] && table.slots[i]->name)
                std::printf("%s\t%.1f\n", table.slots[i]->name, table.slots[i]->score);
        return 0;
    }
    std::fprintf(stderr, "usage: results_file_tool write FILE NAME SCORE... | dump FILE\n");
    return 2;
}
