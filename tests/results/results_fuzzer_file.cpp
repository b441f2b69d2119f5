// libFuzzer target: arbitrary bytes as a whole results file. The loader
// refuses it or gives the payload behind the 20-byte header; a payload that
// reads as a record writes one that reads again.
#include "results/results_file.h"
#include "results_fuzzer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(scratchFile(), "wb");
    require(file && std::fwrite(data, 1, size, file) == size);
    require(std::fclose(file) == 0);

    std::uint32_t length = 0;
    unsigned char* payload = loadResultsFile(scratchFile(), &length);
    if (!payload)
        return 0;
    require(length + 20 == size);
    ResultsTable table(10);
    if (table.readRecord(payload, static_cast<std::int32_t>(length)))
        requireReadsBack(table);
    delete[] payload;
    return 0;
}
