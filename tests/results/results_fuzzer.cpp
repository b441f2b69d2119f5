// libFuzzer target: arbitrary bytes as a results file and as a results record.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "results/results_file.h"
#include "results/results_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // As a record: must be refused or read, never crash; a table read must
    // write back a record that reads again.
    ResultsTable table(10);
    if (table.readRecord(data, static_cast<std::int32_t>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size))) {
        std::uint32_t length = 0;
        unsigned char* again = table.writeRecord(&length);
        if (again) {
            ResultsTable copy(10);
            if (!copy.readRecord(again, static_cast<std::int32_t>(length)))
                __builtin_trap();
            delete[] again;
        }
        table.insert("fuzz", 1.0);
        table.placesFor(0.5);
    }

    // As a file.
    static const std::string path = "/tmp/lumox_fuzz_" + std::to_string(getpid()) + ".dat";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        std::uint32_t length = 0;
        unsigned char* payload = loadResultsFile(path.c_str(), &length);
        if (payload) {
            ResultsTable fromFile(10);
            fromFile.readRecord(payload, static_cast<std::int32_t>(length));
            delete[] payload;
        }
    }
    return 0;
}
