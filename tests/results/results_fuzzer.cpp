// libFuzzer targets over the results store, one per FUZZ_INPUT: the bytes as a
// record, as a saved file's payload (which must load back exactly, the buffer
// unchanged) or as a whole file. A record that reads writes back the same
// bytes, survives the file, offers a place exactly when it inserts and keeps
// its slots when cleared; one that does not leaves the table as it was.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "results/results_file.h"
#include "results/results_store.h"

namespace {

void require(bool holds)
{
    if (!holds)
        __builtin_trap();
}

std::vector<unsigned char> recordOf(const ResultsTable& table)
{
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    std::vector<unsigned char> bytes(record, record ? record + length : record);
    delete[] record;
    return bytes;
}

void requireReadsBack(const ResultsTable& table)
{
    const std::vector<unsigned char> record = recordOf(table);
    ResultsTable copy(1);
    require(copy.readRecord(record.data(), static_cast<std::int32_t>(record.size())) && recordOf(copy) == record);
}

// The targets' file, in the scratch folder that tools/fuzz.sh makes for the
// run (and removes) and names in TMPDIR.
const char* scratchFile()
{
    static const char* folder = std::getenv("TMPDIR");
    static const std::string file = std::string(folder ? folder : "") + "/tabulka.dat";
    require(folder != nullptr);
    return file.c_str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = FUZZ_INPUT;
    std::vector<unsigned char> record(data, data + size);  // what the table is given to read
    std::uint32_t length = 0;
    if (input == "roundtrip") {
        std::srand(static_cast<unsigned>(std::hash<std::string>()(std::string(data, data + size))));  // replays
        saveResultsFile(record.data(), static_cast<std::uint32_t>(size), scratchFile());
        require(std::equal(record.begin(), record.end(), data));
        unsigned char* payload = loadResultsFile(scratchFile(), &length);
        require(size == 0 ? !payload : payload && length == size && std::memcmp(payload, data, size) == 0);
        delete[] payload;
    } else if (input == "file") {
        std::ofstream(scratchFile(), std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        unsigned char* payload = loadResultsFile(scratchFile(), &length);
        require(!payload || length + 20 == size);
        record.assign(payload, payload ? payload + length : payload);
        delete[] payload;
    }
    ResultsTable table(kResultsCapacity);
    table.insert("Eva", 2.5);
    const std::vector<unsigned char> before = recordOf(table);
    if (!table.readRecord(record.data(), static_cast<std::int32_t>(record.size()))) {
        require(recordOf(table) == before);
        return 0;
    }
    requireReadsBack(table);
    ResultsTable fromFile(1);
    require(ResultsStore(scratchFile()).save(table) && ResultsStore(scratchFile()).load(fromFile) == LoadOutcome::Loaded);
    require(recordOf(fromFile) == recordOf(table));
    double score = 1.0;  // the input's last eight bytes, when it has them
    std::memcpy(&score, data + (size >= 8 ? size - 8 : 0), size >= 8 ? 8 : 0);
    const bool hasPlace = table.placesFor(score) > 0;
    require(hasPlace == table.insert("fuzz", score));
    requireReadsBack(table);
    const int capacity = table.capacity;
    table.clear();
    require(table.capacity == capacity && recordOf(table).size() == 12 + 4 * static_cast<std::size_t>(capacity));
    return 0;
}
