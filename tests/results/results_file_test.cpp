#include "results/results_file.h"

#include <cstdlib>

#include "results_test_files.h"

namespace {

// Loads the file; `ok` says whether it was accepted.
Bytes load(const std::string& path, bool* ok)
{
    std::uint32_t length = 0;
    unsigned char* payload = loadResultsFile(path.c_str(), &length);
    *ok = payload != nullptr;
    Bytes bytes(payload, payload + (payload ? length : 0));
    delete[] payload;
    return bytes;
}

// A payload of every byte value, some of them twice.
const Bytes kPayload = [] {
    Bytes b;
    for (int i = 0; i < 300; ++i)
        b.push_back(static_cast<unsigned char>(i * 7));
    return b;
}();

class ResultsFile : public ResultsFiles {
protected:
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
    std::srand(1);
    const Bytes first = save(kPayload, path);
    ASSERT_EQ(first.size(), kPayload.size() + 20);
    EXPECT_NE(Bytes(first.begin() + 20, first.end()), kPayload) << "the payload is stored scrambled";
    std::srand(2);
    const Bytes second = save(kPayload, path);
    EXPECT_NE(Bytes(first.begin() + 16, first.begin() + 20), Bytes(second.begin() + 16, second.begin() + 20));
    for (const Bytes& file : {first, second}) {
        writeFile(path, file);
        bool ok = false;
        EXPECT_EQ(load(path, &ok), kPayload);
        EXPECT_TRUE(ok);
    }
    // The seed is the low 16 bits of two rand() values: with Windows' rand()
    // (0 to 32767) bits 15 and 31 stay clear.
    EXPECT_TRUE(RAND_MAX != 32767 || ((second[17] | second[19]) & 0x80) == 0);
}

// The layout written out from its definition: check word k is the wrapping
// sum of the plain bytes i with i % 4 == k, as signed bytes, XOR a mask of
// four key bytes the seed selects, each widened with its sign; the payload
// is stored XOR the key.
TEST_F(ResultsFile, TheFileHoldsCheckWordsSeedAndScrambledPayload)
{
    const Bytes file = save(kPayload, path);
    const std::uint32_t seed = file[16] | file[17] << 8 | file[18] << 16 | static_cast<std::uint32_t>(file[19]) << 24;
    unsigned char key[16];
    buildKeyTable(seed, key);
    std::int32_t sums[4] = {};
    for (std::size_t i = 0; i < kPayload.size(); ++i) {
        sums[i % 4] += static_cast<signed char>(kPayload[i]);
        ASSERT_EQ(file[20 + i], kPayload[i] ^ key[i % 16]) << i;
    }
    auto pick = [&](int row, int seedByte) { return static_cast<std::int32_t>(static_cast<signed char>(key[4 * row + ((seed >> (8 * seedByte)) & 3)])); };
    const std::int32_t a = pick(0, 0), b = pick(1, 1), c = pick(2, 2), d = pick(3, 3);
    const std::int32_t masks[4][4] = {{a, a, c, b}, {d, b, a, c}, {c, a, b, d}, {b, d, a, d}};
    for (int k = 0; k < 4; ++k) {
        const std::uint32_t mask = static_cast<std::uint32_t>(masks[k][0]) << 24 | static_cast<std::uint32_t>(masks[k][1]) << 16 |
                                   static_cast<std::uint32_t>(masks[k][2]) << 8 | static_cast<std::uint32_t>(masks[k][3]);
        const std::uint32_t word = file[4 * k] | file[4 * k + 1] << 8 | file[4 * k + 2] << 16 | static_cast<std::uint32_t>(file[4 * k + 3]) << 24;
        EXPECT_EQ(word, static_cast<std::uint32_t>(sums[k]) ^ mask) << "check word " << k;
    }
}

TEST_F(ResultsFile, ShortMissingAndChangedFilesAreRefused)
{
    bool ok = true;
    for (const char* where : {"missing", "folder"}) {
        load((folder / where).string(), &ok);
        EXPECT_FALSE(ok) << where;
        fs::create_directory(folder / "folder");
    }
    for (std::size_t size : {0, 20, 21}) {
        writeFile(path, Bytes(size, 0));
        load(path, &ok);
        EXPECT_FALSE(ok) << size << " zero bytes";
    }
    save(Bytes(kMaxResultsFileSize - 19, 1), path);
    load(path, &ok);
    EXPECT_FALSE(ok) << "a file over the size limit, though it verifies";
    std::srand(12345);
    const Bytes file = save(kPayload, path);
    // A changed byte changes one sum by the difference, whatever the values:
    // a sample of values per position is enough.
    for (std::size_t at = 0; at < file.size(); ++at) {
        for (int change : {1, 0x80, 0x5A}) {
            Bytes damaged = file;
            damaged[at] ^= static_cast<unsigned char>(change);
            writeFile(path, damaged);
            load(path, &ok);
            ASSERT_FALSE(ok) << "byte " << at << " changed by " << change << " went unnoticed";
        }
    }
    // But plain bytes i and i + 4 share a sum: one up by 1 and the other
    // down by 1 pass the check.
    Bytes changed = kPayload, forged = file;
    ++changed[10];
    --changed[14];
    for (std::size_t i : {10, 14})
        forged[20 + i] = static_cast<unsigned char>(file[20 + i] ^ kPayload[i] ^ changed[i]);
    writeFile(path, forged);
    EXPECT_EQ(load(path, &ok), changed);
    EXPECT_TRUE(ok);
}

TEST_F(ResultsFile, AFailedSaveKeepsTheOldFile)
{
    const Bytes saved = save(kPayload, path);
    Bytes other = kPayload;
    other[0] ^= 1;
    auto keeps = [&](const char* what) {
        save(other, path);
        EXPECT_EQ(readFile(path), saved) << what;
        EXPECT_TRUE(readFile(path + ".new").empty()) << what << ": a temporary file was left";
    };
    fs::create_directory(path + ".new");
    keeps("a folder in the way of the new file");
    fs::remove(path + ".new");
    setReadOnly(path, true);
    keeps("a read-only file");
    save(other, (folder / "no_such_folder" / "tabulka.dat").string());
}

}  // namespace
