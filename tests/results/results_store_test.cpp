#include "results/results_store.h"

#include "results/results_file.h"
#include "results_test_files.h"

namespace {

struct ResultsStore : ResultsFiles {
    std::string bad = path + ".bad";
};

TEST_F(ResultsStore, AnUnusableFileIsKeptAsBadAndAGoodOneLoads)
{
    ResultsTable two(kResultsCapacity);
    two.insert("Alena", 7.5);
    two.insert("Bořek", 3.0);
    ASSERT_TRUE(saveResultsTable(two, path.c_str()));
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
        EXPECT_EQ(loadResultsTable(table, path.c_str()), outcome);
        const bool loaded = outcome == LoadOutcome::Loaded;
        EXPECT_EQ(table.placesFor(1.0), loaded ? 8 : 10);
        EXPECT_TRUE(readFile(bad) == (loaded ? Bytes{1, 2, 3} : file)) << "the .bad copy";
        EXPECT_TRUE(readFile(path) == file) << "the file itself is left for the next save";
    }
    fs::remove(path);
    fs::remove(bad);
    ResultsTable table(kResultsCapacity);
    EXPECT_EQ(loadResultsTable(table, path.c_str()), LoadOutcome::NoFile);
    EXPECT_FALSE(fs::exists(bad));
}

TEST_F(ResultsStore, ACopyThatCannotBeMadeNeverBlocksLoadingOrSaving)
{
    writeFile(path, Bytes(100, 9));
    ResultsTable table(kResultsCapacity);
    for (const std::string& blocker : {bad, bad + ".new"}) {  // the copy's place, or its temporary's
        fs::create_directory(blocker);
        EXPECT_EQ(loadResultsTable(table, path.c_str()), LoadOutcome::Damaged) << blocker;
        EXPECT_TRUE(readFile(bad).empty()) << blocker;
    }
    table.insert("Eva", 2.0);
    ASSERT_TRUE(saveResultsTable(table, path.c_str()));
    ResultsTable again(kResultsCapacity);
    EXPECT_EQ(loadResultsTable(again, path.c_str()), LoadOutcome::Loaded);
    EXPECT_STREQ(again.slots[0]->name, "Eva");
}

}  // namespace
