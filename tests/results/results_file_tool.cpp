// Writes a results file with the program's own code, and its bare record
// beside it as FILE.record, for the fuzzing seeds:
//   results_file_tool write FILE NAME SCORE...
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "results/results_store.h"

int main(int argc, char** argv)
{
    if (argc < 3 || std::strcmp(argv[1], "write")) {
        std::fputs("usage: results_file_tool write FILE [NAME SCORE]...\n", stderr);
        return 2;
    }
    ResultsTable table(kResultsCapacity);
    for (int i = 4; i < argc; i += 2)
        table.insert(argv[i - 1], std::atof(argv[i]));
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    std::FILE* file = std::fopen((std::string(argv[2]) + ".record").c_str(), "wb");
    const bool written = file && std::fwrite(record, length, 1, file) && !std::fclose(file);
    delete[] record;
    return !written || !ResultsStore(argv[2]).save(table);
}
