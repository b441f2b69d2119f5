#include "results/results_store.h"

#include <cstring>

#include "results/file_replace.h"
#include "results/results_file.h"

ResultsStore::ResultsStore(const char* path_) : path(path_) {}

ResultsStore::~ResultsStore() { delete[] lastRecord; }

void ResultsStore::remember(unsigned char* record, std::uint32_t length)
{
    delete[] lastRecord;
    lastRecord = record;
    lastLength = length;
}

LoadOutcome ResultsStore::load(ResultsTable& table)
{
    const FileKind kind = fileKind(path);
    if (kind == FileKind::None)
        return LoadOutcome::NoFile;
    unsigned char* payload = nullptr;
    std::uint32_t length = 0;
    const PayloadRead got =
        kind == FileKind::File ? readResultsFile(path, payload, length) : PayloadRead::Unreadable;
    LoadOutcome outcome = got == PayloadRead::Damaged ? LoadOutcome::Damaged : LoadOutcome::Unreadable;
    if (got == PayloadRead::Verified) {
        const auto size = static_cast<std::int32_t>(length);
        if (table.readRecord(payload, size))
            outcome = LoadOutcome::Loaded;
        else if (!ResultsTable::acceptsRecord(payload, size))
            outcome = LoadOutcome::Refused;
        // else memory ran out: the file is handled as one that could not be read
        delete[] payload;
    }
    if (outcome == LoadOutcome::Damaged || outcome == LoadOutcome::Refused)
        fileMustBeKept = !copyAside(path);
    if (outcome == LoadOutcome::Unreadable)
        fileMustBeKept = true;
    // What the file holds, as far as this run knows: its table, or for a file
    // that could not be read the table as it stands, so that an unchanged
    // table is not written at exit.
    if (outcome == LoadOutcome::Loaded || outcome == LoadOutcome::Unreadable) {
        unsigned char* record = table.writeRecord(&length);
        remember(record, length);
    }
    return outcome;
}

bool ResultsStore::write(unsigned char* record, std::uint32_t length)
{
    // Something this run could not look at may be a file: it is kept too.
    const FileKind kind = fileKind(path);
    const bool keep = kind == FileKind::Unknown || (kind == FileKind::File && fileMustBeKept);
    if (!record || !saveResultsFile(record, length, path, keep ? OldFile::MoveAside : OldFile::Replace)) {
        delete[] record;
        return false;
    }
    fileMustBeKept = false;
    remember(record, length);
    return true;
}

bool ResultsStore::save(const ResultsTable& table)
{
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    return write(record, length);
}

bool ResultsStore::saveIfChanged(const ResultsTable& table)
{
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    if (record && lastRecord && length == lastLength && std::memcmp(record, lastRecord, length) == 0) {
        delete[] record;
        return true;
    }
    return write(record, length);
}
