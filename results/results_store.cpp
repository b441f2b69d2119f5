#include "results/results_store.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "results/file_replace.h"
#include "results/results_file.h"

namespace {

// Copies `path` to `path`.bad through a sibling file, so that a copy that
// fails half-way never costs an older one.
void keepUnusableFile(const char* path)
{
    const std::size_t length = std::strlen(path);
    char* copyPath = new (std::nothrow) char[length + 9];
    if (!copyPath)
        return;
    std::memcpy(copyPath, path, length);
    std::memcpy(copyPath + length, ".bad", 5);
    copyFileSafely(path, copyPath);
    delete[] copyPath;
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
