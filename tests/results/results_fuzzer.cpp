// libFuzzer targets over the results store, one per FUZZ_INPUT; a broken
// property traps, and libFuzzer keeps the input.
//   record     bytes as a record: refused with the table as it was, or read;
//              a table read writes a record that reads back to the same
//              bytes, survives the results file, offers a place exactly
//              when it inserts, and keeps its slots when cleared
//   roundtrip  bytes as the payload of a saved file: loaded back exactly,
//              the caller's buffer unchanged
//   file       bytes as a whole file: refused, or the payload behind the
//              20-byte header
// Built with FUZZ_SEEDS instead, it writes seed records and files with the
// program's own code: results_fuzzer_seeds RECORDS FILES.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
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

[[maybe_unused]] void requireReadsBack(const ResultsTable& table)
{
    const std::vector<unsigned char> record = recordOf(table);
    ResultsTable copy(1);
    require(copy.readRecord(record.data(), static_cast<std::int32_t>(record.size())) && recordOf(copy) == record);
}

// A file in a folder of the process's own under TMPDIR (tools/fuzz.sh points
// it at a scratch folder that it removes), removed when the process ends.
[[maybe_unused]] const char* scratchFile()
{
    static const struct Folder {
        std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/lumox-fuzz-XXXXXX";
        std::string file = mkdtemp(path.data()) ? path + "/tabulka.dat" : "";
        ~Folder() { std::remove(file.c_str()), rmdir(path.c_str()); }
    } folder;
    require(!folder.file.empty());
    return folder.file.c_str();
}

}  // namespace

#ifndef FUZZ_SEEDS
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
    require(saveResultsTable(table, scratchFile()) && loadResultsTable(fromFile, scratchFile()) == LoadOutcome::Loaded);
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
#else
int main(int argc, char** argv)
{
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
    bool written = argc == 3;
    for (int t = 0; written && t < 5; ++t) {
        const std::vector<unsigned char> record = recordOf(tables[t]);
        const std::string name = "/" + std::to_string(t);
        written = std::ofstream(argv[1] + name, std::ios::binary).write(reinterpret_cast<const char*>(record.data()),
                                                                        static_cast<std::streamsize>(record.size())) &&
                  saveResultsTable(tables[t], (argv[2] + name).c_str()) &&
                  loadResultsTable(tables[0], (argv[2] + name).c_str()) == LoadOutcome::Loaded;
    }
    return written ? 0 : 1;
}
#endif
