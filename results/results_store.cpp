#include "results/results_store.h"

#include <cstdio>

#include "results/file_replace.h"
#include "results/results_file.h"

namespace {

// Copies `path` to `path`.bad, safely, so that a copy that fails half-way
// never costs an older one.
void keepUnusableFile(const char* path)
{
    if (char* copyPath = withSuffix(path, ".bad")) {
        copyFileSafely(path, copyPath);
        delete[] copyPath;
    }
}

}  // namespace

LoadOutcome loadResultsTable(ResultsTable& table, const char* path)
{
    std::FILE* probe = std::fopen(path, "rb");
    if (!probe)
        return LoadOutcome::NoFile;
    std::fclose(probe);

    std::uint32_t length = 0;
    unsigned char* record = loadResultsFile(path, &length);
    const bool verified = record != nullptr;
    const bool read = verified && table.readRecord(record, static_cast<std::int32_t>(length));
    delete[] record;
    if (read)
        return LoadOutcome::Loaded;
    keepUnusableFile(path);
    return verified ? LoadOutcome::Refused : LoadOutcome::Damaged;
}

bool saveResultsTable(const ResultsTable& table, const char* path)
{
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    if (!record)
        return false;
    saveResultsFile(record, length, path);
    delete[] record;
    return true;
}
