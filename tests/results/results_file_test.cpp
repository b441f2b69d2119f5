#include "results/results_file.h"

#include <cstdlib>

#include "results/results_table.h"
#include "results_test_files.h"

namespace {

// Loads the file; `ok` says whether it was accepted.
Bytes load(const std::string& path, bool* ok)
{
    std::uint32_t length = 0xDEAD;
    unsigned char* payload = loadResultsFile(path.c_str(), &length);
    *ok = payload != nullptr;
    Bytes bytes(payload, payload + (payload ? length : 0));
    delete[] payload;
    return bytes;
}

Bytes fullTableRecord()
{
    ResultsTable table(kResultsCapacity);
    const char* names[] = {"Žluťoučký kůň", "abc", "Ondřej", " ", "0123456789012345678", "x", "yy", "zzz", "w", "Příliš"};
    for (int i = 0; i < 10; ++i)
        table.insert(names[i], 100.0 - i * 7.5);
    std::uint32_t length = 0;
    unsigned char* record = table.writeRecord(&length);
    Bytes bytes(record, record + length);
    delete[] record;
    return bytes;
}

class ResultsFile : public ResultsFiles {
protected:
    std::string path;
    void SetUp() override
    {
        ResultsFiles::SetUp();
        path = at("tabulka.dat");
    }
    // Saves, checks the caller's buffer came back unchanged, returns the file.
    Bytes save(Bytes payload, const std::string& where)
    {
        const Bytes before = payload;
        saveResultsFile(payload.data(), static_cast<std::uint32_t>(payload.size()), where.c_str());
        EXPECT_EQ(payload, before) << "the caller's buffer must come back unchanged";
        return readFile(where);
    }
};

TEST_F(ResultsFile, SavedFilesLoadBackExactlyWhateverTheSeed)
{
    const Bytes record = fullTableRecord();
    std::srand(1);
    const Bytes first = save(record, path);
    ASSERT_EQ(first.size(), record.size() + 20);
    EXPECT_NE(Bytes(first.begin() + 20, first.end()), record) << "the payload is stored scrambled";
    std::srand(2);
    const Bytes second = save(record, path);
    EXPECT_NE(Bytes(first.begin() + 16, first.begin() + 20), Bytes(second.begin() + 16, second.begin() + 20));
    for (const Bytes& file : {first, second}) {
        writeFile(path, file);
        bool ok = false;
        EXPECT_EQ(load(path, &ok), record);
        EXPECT_TRUE(ok);
    }
    // The seed is the low 16 bits of two rand() values: with Windows' rand()
    // (0 to 32767) bits 15 and 31 stay clear.
    if (RAND_MAX == 32767) {
        EXPECT_EQ((second[17] | second[19]) & 0x80, 0);
    }
    // An empty table of ten makes a 72-byte file.
    Bytes empty(52, 0);
    empty[0] = 52;
    empty[4] = 10;
    EXPECT_EQ(save(empty, path).size(), 72u);
}

TEST_F(ResultsFile, ShortMissingAndChangedFilesAreRefused)
{
    bool ok = true;
    load(path, &ok);
    EXPECT_FALSE(ok) << "missing";
    for (std::size_t size : {0, 20, 21}) {
        writeFile(path, Bytes(size, 0));
        load(path, &ok);
        EXPECT_FALSE(ok) << size << " zero bytes";
    }
    std::srand(12345);
    const Bytes file = save(fullTableRecord(), path);
    for (std::size_t at = 0; at < file.size(); ++at) {
        // A changed byte changes one sum by the difference, whatever the
        // values; a sample of them per position is enough.
        for (int value = 0; value < 256; ++value) {
            if (value == file[at] || (value != (file[at] ^ 1) && value != (file[at] ^ 0x80) && value % 37 != 0))
                continue;
            Bytes damaged = file;
            damaged[at] = static_cast<unsigned char>(value);
            writeFile(path, damaged);
            load(path, &ok);
            ASSERT_FALSE(ok) << "byte " << at << " set to " << value << " went unnoticed";
        }
    }
}

TEST_F(ResultsFile, ACompensatingPairOfChangesIsAccepted)
{
    std::srand(99);
    const Bytes record = fullTableRecord();
    const Bytes file = save(record, path);
    // Plain bytes i and i + 4 share a sum: one up by 1, the other down by 1.
    std::size_t i = 16;
    while (static_cast<signed char>(record[i]) == 127 || static_cast<signed char>(record[i + 4]) == -128)
        ++i;
    Bytes changed = record;
    ++changed[i];
    --changed[i + 4];
    Bytes forged = file;
    forged[20 + i] = static_cast<unsigned char>(file[20 + i] ^ record[i] ^ changed[i]);
    forged[24 + i] = static_cast<unsigned char>(file[24 + i] ^ record[i + 4] ^ changed[i + 4]);
    writeFile(path, forged);
    bool ok = false;
    EXPECT_EQ(load(path, &ok), changed);
    EXPECT_TRUE(ok);
}

TEST_F(ResultsFile, AFailedSaveKeepsTheOldFile)
{
    const Bytes record = fullTableRecord();
    const Bytes saved = save(record, path);
    Bytes other = record;
    other[20] ^= 1;
    auto unchanged = [&](const char* what) {
        save(other, path);
        EXPECT_EQ(readFile(path), saved) << what;
        EXPECT_TRUE(readFile(path + ".new").empty()) << what << ": a temporary file was left";
    };
    ASSERT_TRUE(makeFolder(at("tabulka.dat.new")));
    unchanged("a folder in the way of the new file");
    removeFolder(path + ".new");
    setReadOnly(path, true);
    unchanged("a read-only file");
    setReadOnly(path, false);

    const std::string inFolder = at("folder.dat");
    ASSERT_TRUE(makeFolder(inFolder));
    save(other, inFolder);
    bool ok = true;
    load(inFolder, &ok);
    EXPECT_FALSE(ok) << "a folder is no results file";
    save(other, folder + "/no_such_folder/tabulka.dat");
}

}  // namespace
