// The libFuzzer target over the results record: a record the table refuses leaves the table as
// it was; one it takes writes a record that it reads back to the same table.
#include "results_bytes.h"

static void require(bool holds)
{
    if (!holds)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    ResultsTable table(kResultsCapacity);
    table.insert("Eva", 2.5);
    const Bytes before = recordOf(table);
    if (!read(table, Bytes(data, data + size))) {
        require(recordOf(table) == before);
        return 0;
    }
    const Bytes written = recordOf(table);
    require(read(table, written));
    require(recordOf(table) == written);
    return 0;
}
