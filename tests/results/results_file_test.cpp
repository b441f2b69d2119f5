#include "results/results_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "results/results_store.h"

namespace {

using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

Bytes readFile(const fs::path& path)  // nothing for a missing file or a folder
{
    std::ifstream in(path, std::ios::binary);
    return fs::is_regular_file(path) ? Bytes(std::istreambuf_iterator<char>(in), {}) : Bytes{};
}

void writeFile(const fs::path& path, const Bytes& b)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// (As root a read-only folder stays writable: a folder in the new file's way stands for one.)
void setReadOnly(const fs::path& path, bool on)
{
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    on ? fs::perm_options::remove : fs::perm_options::add);
}

// Each test works in a scratch folder of its own, removed afterwards with all in it.
struct ResultsFiles : ::testing::Test {
    fs::path folder = fs::path("lumox-results-") += testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string path = (folder / "tabulka.dat").string();
    void SetUp() override { fs::remove_all(folder), fs::create_directory(folder); }
    void TearDown() override
    {
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            setReadOnly(entry.path(), false);
        fs::remove_all(folder);
    }
};


std::optional<Bytes> load(const std::string& path)
{
    std::uint32_t length = 0;
    const std::unique_ptr<unsigned char[]> payload(loadResultsFile(path.c_str(), &length));
    return payload ? std::optional<Bytes>(Bytes(payload.get(), payload.get() + length)) : std::nullopt;
}

std::uint32_t wordAt(const Bytes& b, std::size_t i) { return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | static_cast<std::uint32_t>(b[i + 3]) << 24; }

const Bytes kPayload = [] {  // every byte value, some twice
    Bytes b;
    for (int i = 0; i < 300; ++i)
        b.push_back(static_cast<unsigned char>(i * 7));
    return b;
}();

struct ResultsFile : ResultsFiles {
    Bytes save(Bytes payload, const std::string& where)
    {
        const Bytes before = payload;
        saveResultsFile(payload.data(), static_cast<std::uint32_t>(payload.size()), where.c_str());
        EXPECT_EQ(payload, before) << "the caller's buffer must come back unchanged";
        return readFile(where);
    }
};

// The layout written out from its definition: check word k is the wrapping
// sum of the plain bytes i with i % 4 == k, as signed bytes, XOR a mask of
// four key bytes the seed selects, each widened with its sign; the payload
// is stored XOR the key.
TEST_F(ResultsFile, CheckWordsSeedAndScrambledPayloadThatLoadBack)
{
    std::uint32_t seeds[2];
    for (unsigned run : {0u, 1u}) {
        std::srand(run + 1);  // (0 would seed like 1)
        const Bytes file = save(kPayload, path);
        ASSERT_EQ(file.size(), kPayload.size() + 20);
        const std::uint32_t seed = seeds[run] = wordAt(file, 16);
        EXPECT_TRUE(RAND_MAX != 32767 || (seed & 0x80008000u) == 0) << "two 15-bit rand() values";
        unsigned char key[16];
        buildKeyTable(seed, key);
        std::int32_t sums[4] = {};
        for (std::size_t i = 0; i < kPayload.size(); ++i) {
            sums[i % 4] += static_cast<signed char>(kPayload[i]);
            ASSERT_EQ(file[20 + i], kPayload[i] ^ key[i % 16]) << i;
        }
        auto pick = [&](int row) { return static_cast<std::uint32_t>(static_cast<signed char>(key[4 * row + ((seed >> 8 * row) & 3)])); };
        const std::uint32_t a = pick(0), b = pick(1), c = pick(2), d = pick(3);
        const std::uint32_t masks[4] = {a << 24 | a << 16 | c << 8 | b, d << 24 | b << 16 | a << 8 | c,
                                        c << 24 | a << 16 | b << 8 | d, b << 24 | d << 16 | a << 8 | d};
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(wordAt(file, 4 * k), static_cast<std::uint32_t>(sums[k]) ^ masks[k]) << "check word " << k;
        EXPECT_EQ(load(path), kPayload);
    }
    EXPECT_NE(seeds[0], seeds[1]);
}

TEST_F(ResultsFile, ShortMissingOversizedAndChangedFilesAreRefused)
{
    fs::create_directory(folder / "folder");
    for (const char* where : {"missing", "folder"})
        EXPECT_EQ(load((folder / where).string()), std::nullopt) << where;
    for (std::size_t size : {0, 20, 21}) {
        writeFile(path, Bytes(size, 0));
        EXPECT_EQ(load(path), std::nullopt) << size << " zero bytes";
    }
    save(Bytes(kMaxResultsFileSize - 19, 1), path);
    EXPECT_EQ(load(path), std::nullopt) << "a file over the size limit, though it verifies";
    const Bytes file = save(kPayload, path);
    // A changed byte changes one sum by the difference, whatever the values.
    for (std::size_t at = 0; at < file.size(); ++at)
        for (int change : {1, 0x80, 0x5A}) {
            Bytes damaged = file;
            damaged[at] ^= static_cast<unsigned char>(change);
            writeFile(path, damaged);
            ASSERT_EQ(load(path), std::nullopt) << "byte " << at << " changed by " << change;
        }
    // But plain bytes i and i + 4 share a sum: one up by 1 and the other
    // down by 1 pass the check.
    Bytes changed = kPayload, forged = file;
    ++changed[10], --changed[14];
    for (std::size_t i : {10, 14})
        forged[20 + i] = static_cast<unsigned char>(file[20 + i] ^ kPayload[i] ^ changed[i]);
    writeFile(path, forged);
    EXPECT_EQ(load(path), changed);
}

TEST_F(ResultsFile, AFailedSaveKeepsTheOldFile)
{
    const Bytes saved = save(kPayload, path);
    auto keeps = [&](const char* what) {
        save(Bytes(5, 5), path);
        EXPECT_EQ(readFile(path), saved) << what;
        EXPECT_TRUE(readFile(path + ".new").empty()) << what << ": a temporary file was left";
    };
    fs::create_directory(path + ".new");
    keeps("a folder in the way of the new file");
    fs::remove(path + ".new");
    setReadOnly(path, true);
    keeps("a read-only file");
}

struct ResultsStore : ResultsFiles {
    std::string bad = path + ".bad";
};

TEST_F(ResultsStore, AnUnusableFileIsKeptAsBadAndAGoodOneLoads)
{
    ResultsTable two(kResultsCapacity);
    two.insert("Alena", 7.5), two.insert("Bořek", 3.0);
    ASSERT_TRUE(::ResultsStore(path.c_str()).save(two));
    const Bytes good = readFile(path);
    Bytes flipped = good;
    flipped[30] ^= 4;
    unsigned char noSlots[12] = {12};  // verifies, but capacity 0 is refused
    saveResultsFile(noSlots, 12, path.c_str());
    const Bytes refused = readFile(path);
    const std::tuple<const char*, Bytes, LoadOutcome> cases[] = {
        {"a table that loads", good, LoadOutcome::Loaded},
        {"one flipped byte", flipped, LoadOutcome::Damaged},
        {"too short", Bytes(20, 1), LoadOutcome::Damaged},
        {"too large", Bytes(kMaxResultsFileSize + 1, 7), LoadOutcome::Damaged},
        {"a record the table refuses", refused, LoadOutcome::Refused},
    };
    for (const auto& [name, file, outcome] : cases) {
        SCOPED_TRACE(name);
        writeFile(bad, {1, 2, 3});  // an older copy
        writeFile(path, file);
        ResultsTable table(kResultsCapacity);
        EXPECT_EQ(::ResultsStore(path.c_str()).load(table), outcome);
        const bool loaded = outcome == LoadOutcome::Loaded;
        EXPECT_EQ(table.placesFor(1.0), loaded ? 8 : 10);
        EXPECT_TRUE(readFile(bad) == (loaded ? Bytes{1, 2, 3} : file)) << "the .bad copy";
        EXPECT_TRUE(readFile(path) == file) << "the file itself is left for the next save";
    }
    fs::remove(path), fs::remove(bad);
    ResultsTable table(kResultsCapacity);
    EXPECT_EQ(::ResultsStore(path.c_str()).load(table), LoadOutcome::NoFile);
    EXPECT_FALSE(fs::exists(bad));
}

TEST_F(ResultsStore, ACopyThatCannotBeMadeNeverBlocksLoadingOrSaving)
{
    writeFile(path, Bytes(100, 9));
    ResultsTable table(kResultsCapacity);
    for (const std::string& blocker : {bad, bad + ".new"}) {  // the copy's place, or its temporary's
        fs::create_directory(blocker);
        EXPECT_EQ(::ResultsStore(path.c_str()).load(table), LoadOutcome::Damaged) << blocker;
        EXPECT_TRUE(readFile(bad).empty()) << blocker;
    }
    table.insert("Eva", 2.0);
    ASSERT_TRUE(::ResultsStore(path.c_str()).save(table));
    ResultsTable again(kResultsCapacity);
    EXPECT_EQ(::ResultsStore(path.c_str()).load(again), LoadOutcome::Loaded);
    EXPECT_STREQ(again.slots[0]->name, "Eva");
}

}  // namespace
