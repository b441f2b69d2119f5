// libFuzzer target: arbitrary bytes as a results record. The table refuses
// the record and stays as it was, or reads it; a table read from a record
// writes one that reads again, survives the results file unchanged, offers a
// place exactly when it inserts, and keeps its slots, all empty, when cleared.
#include <cstring>

#include "results/results_store.h"
#include "results_fuzzer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResultsTable table(10);
    table.insert("Eva", 2.5);
    table.insert("Jan", 7.0);
    const std::vector<unsigned char> before = recordOf(table);
    if (!table.readRecord(data, static_cast<std::int32_t>(size))) {
        require(recordOf(table) == before);
        return 0;
    }
    requireReadsBack(table);
    ResultsTable fromFile(10);
    require(saveResultsTable(table, scratchFile()) && loadResultsTable(fromFile, scratchFile()) == LoadOutcome::Loaded);
    require(recordOf(fromFile) == recordOf(table));

    double score = 1.0;  // the input's last eight bytes, when it has them
    if (size >= sizeof score)
        std::memcpy(&score, data + size - sizeof score, sizeof score);
    require((table.placesFor(score) > 0) == table.insert("fuzz", score));
    requireReadsBack(table);

    const int capacity = table.capacity;
    table.clear();
    require(table.capacity == capacity && recordOf(table).size() == 12 + 4 * static_cast<std::size_t>(capacity));
    return 0;
}
