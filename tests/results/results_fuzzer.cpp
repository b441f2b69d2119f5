// The libFuzzer target over the results store: the first byte of an input chooses what the rest
// is, a results record (even) or a whole results file (odd). A record the table refuses leaves
// the table as it was; one it takes writes a record that it reads back to the same table.
#include <cstdlib>
#include <fstream>

#include "results_bytes.h"

static void require(bool holds)
{
    if (!holds)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return 0;
    Bytes bytes(data + 1, data + size);
    if (data[0] & 1) {  // tools/fuzz.sh gives the run a scratch folder of its own
        const Bytes path = std::getenv("TMPDIR") + Bytes("/tabulka.dat");
        std::ofstream(path, std::ios::binary) << bytes;
        bytes = load(path);
    }
    ResultsTable table(kResultsCapacity);
    table.insert("Eva", 2.5);
    const Bytes before = recordOf(table);
    if (!read(table, bytes)) {
        require(recordOf(table) == before);
        return 0;
    }
    const Bytes written = recordOf(table);
    require(read(table, written));
    require(recordOf(table) == written);
    return 0;
}
