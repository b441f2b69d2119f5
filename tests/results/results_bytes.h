// Records and results files as strings of bytes, for the tests and the fuzz
// target alike.
#pragma once

#include <memory>
#include <string>

#include "results/results_file.h"
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

// Saves a copy of the payload, and checks on the way that the save gives
// the caller's buffer back as it was.
inline bool save(Bytes payload, const Bytes& path)
{
    const Bytes before = payload;
    auto* bytes = reinterpret_cast<unsigned char*>(payload.data());
    return saveResultsFile(bytes, payload.size(), path.c_str()) && payload == before;
}

// The verified payload, or "(refused)".
inline Bytes load(const Bytes& path)
{
    std::uint32_t length = 0;
    const std::unique_ptr<unsigned char[]> payload(loadResultsFile(path.c_str(), &length));
    return payload ? Bytes(payload.get(), payload.get() + length) : "(refused)";
}
