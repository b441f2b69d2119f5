// Records as strings of bytes, for the tests and the fuzz target alike.
#pragma once

#include <memory>
#include <string>

#include "results/results_table.h"

using Bytes = std::string;

inline Bytes recordOf(const ResultsTable& table)
{
    std::uint32_t length = 0;
    const std::unique_ptr<unsigned char[]> record(table.writeRecord(&length));
    return Bytes(record.get(), record.get() + length);
}

inline bool read(ResultsTable& table, const Bytes& record)
{
    return table.readRecord(reinterpret_cast<const unsigned char*>(record.data()), record.size());
}
