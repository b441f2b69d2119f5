#include "results/results_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "results/results_table.h"

#ifdef _WIN32
#include <windows.h>
#include <direct.h>
#define makeDirectory(p) _mkdir(p)
#define removeDirectory(p) _rmdir(p)
#else
#include <sys/stat.h>
#include <unistd.h>
#define makeDirectory(p) mkdir(p, 0755)
#define removeDirectory(p) rmdir(p)
#endif

namespace {

using Bytes = std::vector<unsigned char>;

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Loads and returns the payload; `ok` says whether the file was accepted.
Bytes load(const std::string& path, bool* ok)
{
    std::uint32_t length = 0xDEAD;
    unsigned char* payload = loadResultsFile(path.c_str(), &length);
    *ok = payload != nullptr;
    if (!payload)
        return {};
    Bytes bytes(payload, payload + length);
    delete[] payload;
    return bytes;
}

Bytes fullTableRecord()
{
    ResultsTable table(10);
    const char* names[] = {"Žluťoučký kůň", "abc", "Ondřej", " ", "0123456789012345678", "x", "yy", "zzz", "w", "Příliš"};
    for (int i = 0; i < 10; ++i)
        table.insert(names[i], 100.0 - i * 7.5);
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    Bytes bytes(record, record + length);
    delete[] record;
    return bytes;
}

class ResultsFile : public ::testing::Test {
protected:
    std::string path = "lumox_results_test.dat";
    void SetUp() override
    {
        std::remove(path.c_str());
        std::remove((path + ".new").c_str());
    }
    void TearDown() override
    {
        std::remove(path.c_str());
        std::remove((path + ".new").c_str());
    }
    Bytes save(Bytes payload)
    {
        const Bytes before = payload;
        saveResultsFile(payload.data(), static_cast<std::uint32_t>(payload.size()), path.c_str());
        EXPECT_EQ(payload, before) << "the caller's buffer must come back unchanged";
        return readFile(path);
    }
};

TEST_F(ResultsFile, SaveThenLoadGivesTheSameBytes)
{
    std::srand(7);
    const Bytes record = fullTableRecord();
    const Bytes file = save(record);
    ASSERT_EQ(file.size(), record.size() + 20);
    bool ok = false;
    EXPECT_EQ(load(path, &ok), record);
    EXPECT_TRUE(ok);
    EXPECT_NE(Bytes(file.begin() + 20, file.end()), record) << "the payload is stored scrambled";

    // Seed: the low 16 bits of two rand() values; with Windows' rand()
    // (0 to 32767) bits 15 and 31 are always clear.
    const std::uint32_t seed = file[16] | file[17] << 8 | file[18] << 16 | static_cast<std::uint32_t>(file[19]) << 24;
    if (RAND_MAX == 32767) {
        EXPECT_EQ(seed & 0x80008000u, 0u);
    }

    // An empty table of capacity 10 makes a 72-byte file.
    ResultsTable empty(10);
    std::uint32_t length = 0;
    unsigned char* r = empty.writeRecord(&length);
    const Bytes emptyFile = save(Bytes(r, r + length));
    delete[] r;
    EXPECT_EQ(emptyFile.size(), 72u);
    EXPECT_TRUE((load(path, &ok), ok));
}

TEST_F(ResultsFile, DifferentSeedsGiveDifferentFilesThatLoadAlike)
{
    const Bytes record = fullTableRecord();
    std::srand(1);
    const Bytes first = save(record);
    std::srand(2);
    const Bytes second = save(record);
    EXPECT_NE(Bytes(first.begin() + 16, first.begin() + 20), Bytes(second.begin() + 16, second.begin() + 20));
    EXPECT_NE(first, second);
    bool ok = false;
    writeFile(path, first);
    EXPECT_EQ(load(path, &ok), record);
    EXPECT_TRUE(ok);
    writeFile(path, second);
    EXPECT_EQ(load(path, &ok), record);
    EXPECT_TRUE(ok);
}

TEST_F(ResultsFile, ShortAndMissingFilesAreRefused)
{
    bool ok = true;
    load(path, &ok);
    EXPECT_FALSE(ok);  // missing
    writeFile(path, {});
    load(path, &ok);
    EXPECT_FALSE(ok);
    writeFile(path, Bytes(20, 0));
    load(path, &ok);
    EXPECT_FALSE(ok);
    // 21 zero bytes: the sums and the masks must agree, and with the key of
    // seed 0 they do not.
    writeFile(path, Bytes(21, 0));
    load(path, &ok);
    EXPECT_FALSE(ok);
}

TEST_F(ResultsFile, EveryChangedByteIsDetected)
{
    std::srand(12345);
    const Bytes file = save(fullTableRecord());
    int accepted = 0;
    for (std::size_t at = 0; at < file.size(); ++at) {
        for (int value = 0; value < 256; ++value) {
            if (value == file[at])
                continue;
#ifdef _WIN32
            // Under Wine every file operation is a round trip to its server:
            // there, a sample of values per position (natively, all of them).
            if (value != (file[at] ^ 1) && value != (file[at] ^ 0x80) && value != (file[at] ^ 0xFF) && value % 37 != 0)
                continue;
#endif
            Bytes damaged = file;
            damaged[at] = static_cast<unsigned char>(value);
            writeFile(path, damaged);
            bool ok = false;
            load(path, &ok);
            if (ok) {
                ++accepted;
                ADD_FAILURE() << "byte " << at << " set to " << value << " went unnoticed";
            }
        }
    }
    EXPECT_EQ(accepted, 0);
}

TEST_F(ResultsFile, ACompensatingPairOfChangesIsAccepted)
{
    std::srand(99);
    const Bytes record = fullTableRecord();
    const Bytes file = save(record);
    // The key byte of each position, recovered from the plain and stored bytes.
    auto key = [&](std::size_t i) { return static_cast<unsigned char>(file[20 + i] ^ record[i]); };
    // Pick i with plain[i] < 127 and plain[i + 4] > -128 (as signed bytes).
    std::size_t i = 16;
    while (static_cast<signed char>(record[i]) == 127 || static_cast<signed char>(record[i + 4]) == -128)
        ++i;
    Bytes changed = record;
    changed[i] = static_cast<unsigned char>(static_cast<signed char>(record[i]) + 1);
    changed[i + 4] = static_cast<unsigned char>(static_cast<signed char>(record[i + 4]) - 1);
    Bytes forged = file;
    forged[20 + i] = changed[i] ^ key(i);
    forged[20 + i + 4] = changed[i + 4] ^ key(i + 4);
    writeFile(path, forged);
    bool ok = false;
    EXPECT_EQ(load(path, &ok), changed);
    EXPECT_TRUE(ok);
}

TEST_F(ResultsFile, AFailedSaveKeepsTheOldFile)
{
    std::srand(3);
    const Bytes record = fullTableRecord();
    const Bytes saved = save(record);

    // A folder where the temporary file should go: nothing can be written.
    const std::string blocker = path + ".new";
    ASSERT_EQ(makeDirectory(blocker.c_str()), 0);
    Bytes other = record;
    other[20] ^= 1;
    const Bytes otherBefore = other;
    saveResultsFile(other.data(), static_cast<std::uint32_t>(other.size()), path.c_str());
    EXPECT_EQ(other, otherBefore);
    EXPECT_EQ(readFile(path), saved);
    removeDirectory(blocker.c_str());

    // tabulka.dat itself a folder: left alone, no temporary file left over.
    const std::string folder = "lumox_results_folder.dat";
    ASSERT_EQ(makeDirectory(folder.c_str()), 0);
    saveResultsFile(other.data(), static_cast<std::uint32_t>(other.size()), folder.c_str());
    EXPECT_EQ(other, otherBefore);
    bool ok = true;
    load(folder, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(readFile(folder + ".new").empty());
    std::remove((folder + ".new").c_str());
    EXPECT_EQ(removeDirectory(folder.c_str()), 0);

    // A results file the user has made read-only is not replaced.
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
#else
    chmod(path.c_str(), 0444);
#endif
    saveResultsFile(other.data(), static_cast<std::uint32_t>(other.size()), path.c_str());
    EXPECT_EQ(readFile(path), saved);
    EXPECT_TRUE(readFile(path + ".new").empty());
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    chmod(path.c_str(), 0644);
#endif

    // A folder that does not exist.
    saveResultsFile(other.data(), static_cast<std::uint32_t>(other.size()), "no_such_folder/tabulka.dat");
    EXPECT_EQ(other, otherBefore);
}

}  // namespace
