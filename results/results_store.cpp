#include "results/results_store.h"

#include <cstdio>
#include <cstring>

#include "results/file_replace.h"
#include "results/results_file.h"

namespace {

// Keeps the file at `path` as `path`.bad: a copy that fails half-way never
// costs an older one, and a move needs no read access.
bool keepAside(const char* path, bool readable)
{
    char* badPath = withSuffix(path, ".bad");
    if (!badPath)
        return false;
    const bool kept = readable ? copyFileSafely(path, badPath) : replaceFile(path, badPath);
    delete[] badPath;
    return kept;
}

}  // namespace

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
    std::FILE* probe = kind == FileKind::File ? std::fopen(path, "rb") : nullptr;
    if (!probe) {
        blocked = true;
        clearTheWay();  // moved aside now if it can be
        return LoadOutcome::Unreadable;
    }
    std::fclose(probe);

    std::uint32_t length = 0;
    unsigned char* record = loadResultsFile(path, &length);
    const bool verified = record != nullptr;
    const bool read = verified && table.readRecord(record, static_cast<std::int32_t>(length));
    delete[] record;
    if (read) {
        // What the table writes now is what the file holds.
        record = table.writeRecord(&length);
        remember(record, length);
        return LoadOutcome::Loaded;
    }
    keepAside(path, true);
    return verified ? LoadOutcome::Refused : LoadOutcome::Damaged;
}

// A file that could not be read at start-up is moved aside before the first
// save that replaces it; while that is impossible, nothing is saved.
bool ResultsStore::clearTheWay()
{
    if (!blocked)
        return true;
    const FileKind kind = fileKind(path);
    blocked = kind == FileKind::Folder || (kind == FileKind::File && !keepAside(path, false));
    return !blocked;
}

bool ResultsStore::write(unsigned char* record, std::uint32_t length)
{
    if (!record || !clearTheWay() || !saveResultsFile(record, length, path)) {
        delete[] record;
        return false;
    }
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
