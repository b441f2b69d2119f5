// libFuzzer target: arbitrary bytes as the payload of a results file. Saved
// and loaded, they come back exactly and the caller's buffer is left as it
// was; a payload that reads as a record writes one that reads again.
#include <algorithm>
#include <cstring>

#include "results/results_file.h"
#include "results_fuzzer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The file's seed follows from the input, so that a finding replays.
    unsigned seed = 0;
    for (std::size_t i = 0; i < size; ++i)
        seed = seed * 31 + data[i];
    std::srand(seed);

    std::vector<unsigned char> buffer(data, data + size);
    saveResultsFile(buffer.data(), static_cast<std::uint32_t>(size), scratchFile());
    require(std::equal(buffer.begin(), buffer.end(), data));

    std::uint32_t length = 0;
    unsigned char* loaded = loadResultsFile(scratchFile(), &length);
    // No payload makes a file of 20 bytes, which is never valid.
    require(size == 0 ? !loaded : loaded && length == size && std::memcmp(loaded, data, size) == 0);
    ResultsTable table(10);
    if (loaded && table.readRecord(loaded, static_cast<std::int32_t>(length)))
        requireReadsBack(table);
    delete[] loaded;
    return 0;
}
