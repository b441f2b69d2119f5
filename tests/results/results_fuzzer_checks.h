// What the results fuzz targets share: the properties they check, which trap
// when broken (libFuzzer then keeps the input), and the file they use.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "results/results_table.h"

inline void require(bool holds)
{
    if (!holds)
        __builtin_trap();
}

// The record the table writes; empty when it writes none.
inline std::vector<unsigned char> recordOf(const ResultsTable& table)
{
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    std::vector<unsigned char> bytes(record, record ? record + length : record);
    delete[] record;
    return bytes;
}

// The table writes a record that reads again, into a table that writes the
// very same bytes.
inline void requireReadsBack(const ResultsTable& table)
{
    const std::vector<unsigned char> record = recordOf(table);
    ResultsTable copy(1);
    require(copy.readRecord(record.data(), static_cast<std::int32_t>(record.size())));
    require(recordOf(copy) == record);
}

// A file in a folder of the process's own under TMPDIR, removed when the
// process ends. (tools/fuzz.sh points TMPDIR at a folder of its own, which it
// removes even after a crash.)
inline const char* scratchFile()
{
    static const struct Folder {
        std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/lumox-fuzz-XXXXXX";
        std::string file = mkdtemp(path.data()) ? path + "/tabulka.dat" : "";
        ~Folder()
        {
            std::remove(file.c_str());
            rmdir(path.c_str());
        }
    } folder;
    require(!folder.file.empty());
    return folder.file.c_str();
}
