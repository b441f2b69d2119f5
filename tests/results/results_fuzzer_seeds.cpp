// Writes the seeds of the results fuzz targets with the program's own code,
// so that they keep to the record layout and pass the check words whatever
// the key function: each table's record into the folder RECORDS, and the same
// record saved as a results file into FILES.
//   results_fuzzer_seeds RECORDS FILES
#include <fstream>
#include <string>

#include "results/results_file.h"
#include "results/results_table.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    // Names as the program keeps them: Windows-1250 bytes, up to 19 of them.
    const char* names[] = {"Eva", "\x8Elu\x9dou\xe8k\xfd k\xf9\xf2", "abc", " ", "0123456789012345678",
                           "Ond\xf8\x65j", "x", "P\xf8\xedli\x9a", "yy", "zzz"};
    ResultsTable tables[] = {ResultsTable(10), ResultsTable(10), ResultsTable(10), ResultsTable(5), ResultsTable(10)};
    tables[1].insert("abc", 12.5);
    for (int i = 0; i < 10; ++i)
        tables[2].insert(names[i], 100.0 - i * 7.5);
    tables[3].insert("Eva", -3.0);
    tables[3].insert(names[1], 1e300);
    for (int i = 0; i < 3; ++i)
        tables[4].insert(names[i], i);
    delete tables[4].slots[1];  // an empty slot between used ones
    tables[4].slots[1] = nullptr;

    bool written = true;
    for (int t = 0; t < 5; ++t) {
        std::uint32_t length = 0;
        unsigned char* record = tables[t].writeRecord(&length);
        const std::string name = "/" + std::to_string(t);
        written = std::ofstream(argv[1] + name, std::ios::binary).write(reinterpret_cast<char*>(record), length) &&
                  written;
        saveResultsFile(record, length, (argv[2] + name).c_str());
        delete[] record;
        unsigned char* loaded = loadResultsFile((argv[2] + name).c_str(), nullptr);
        written = loaded && written;
        delete[] loaded;
    }
    return written ? 0 : 1;
}
