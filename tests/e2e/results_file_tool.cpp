// Writes or reads a results file with the program's own code, for the
// end-to-end tests and the fuzzing seeds:
//   results_file_tool write|record FILE NAME SCORE...   the file, or the bare record
//   results_file_tool dump FILE      prints "name<TAB>score" per entry
// (Like the program, dump keeps a file it cannot use as FILE.bad.)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "results/results_store.h"

int main(int argc, char** argv)
{
    ResultsTable table(kResultsCapacity);
    ResultsStore store(argc >= 3 ? argv[2] : "");
    const std::string command = argc >= 3 ? argv[1] : "";
    for (int i = 3; i + 1 < argc; i += 2)
        table.insert(argv[i], std::atof(argv[i + 1]));
    if (command == "write")
        return store.save(table) ? 0 : 1;
    if (command == "record") {
        std::uint32_t length = 0;
        unsigned char* record = table.writeRecord(&length);
        std::FILE* file = std::fopen(argv[2], "wb");
        const bool written = file && std::fwrite(record, 1, length, file) == length;
        delete[] record;
        return file && !std::fclose(file) && written ? 0 : 1;
    }
    if (command != "dump" || store.load(table) != LoadOutcome::Loaded)
        return std::fprintf(stderr, "usage: results_file_tool write|record FILE NAME SCORE... | dump FILE (a usable one)\n"), 1;
    for (int i = 0; i < table.capacity; ++i)
        if (holdsResult(table.slots[i]))
            std::printf("%s\t%.1f\n", table.slots[i]->name, table.slots[i]->score);
    return 0;
}
