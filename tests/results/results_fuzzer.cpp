// One libFuzzer target over the results store. The first byte of an input
// chooses what the rest is: 0 a results record, 1 the payload of a file that
// is saved and loaded again, 2 a whole file (other values wrap around). The
// payload of 1 and 2 is then read as a record too. A refused record leaves
// the table as it was; an accepted one writes a record that reads back to
// itself.
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
    // tools/fuzz.sh gives the run a scratch folder of its own.
    const Bytes path = std::getenv("TMPDIR") + Bytes("/tabulka.dat");
    if (data[0] % 3 == 1) {
        std::srand(1);  // the same file when an input is replayed
        require(save(bytes, path));
        require(load(path) == (bytes.empty() ? "(refused)" : bytes));  // no file of 20 bytes
    } else if (data[0] % 3 == 2) {
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
