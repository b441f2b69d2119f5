#include "results/results_store.h"

#include <cstdlib>

#include "results/results_file.h"
#include "results_test_files.h"

namespace {

class ResultsStore : public ResultsFiles {
protected:
    std::string path, bad;
    void SetUp() override
    {
        ResultsFiles::SetUp();
        path = at("tabulka.dat");
        bad = at("tabulka.dat.bad");
    }
    // A file that verifies, around any payload.
    Bytes fileHolding(Bytes payload)
    {
        saveResultsFile(payload.data(), static_cast<std::uint32_t>(payload.size()), path.c_str());
        return readFile(path);
    }
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
    Bytes tooLarge(kMaxResultsFileSize + 1, 7);
    const Bytes refused = fileHolding({12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // capacity 0
    struct Case {
        const char* name;
        Bytes file;
        LoadOutcome outcome;
    };
    const Case cases[] = {
        {"a table that loads", good, LoadOutcome::Loaded},
        {"one flipped byte", flipped, LoadOutcome::Damaged},
        {"too short", Bytes(20, 1), LoadOutcome::Damaged},
        {"too large", tooLarge, LoadOutcome::Damaged},
        {"a record the table refuses", refused, LoadOutcome::Refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(bad, {1, 2, 3});  // an older copy
        writeFile(path, c.file);
        ResultsTable table(kResultsCapacity);
        EXPECT_EQ(loadResultsTable(table, path.c_str()), c.outcome);
        const bool loaded = c.outcome == LoadOutcome::Loaded;
        EXPECT_EQ(table.placesFor(1.0), loaded ? 8 : 10);
        EXPECT_TRUE(readFile(bad) == (loaded ? Bytes{1, 2, 3} : c.file)) << "the .bad copy";
        EXPECT_EQ(readFile(path), c.file) << "the file itself is left for the next save";
    }
    std::remove(path.c_str());
    std::remove(bad.c_str());
    ResultsTable table(kResultsCapacity);
    EXPECT_EQ(loadResultsTable(table, path.c_str()), LoadOutcome::NoFile);
    EXPECT_TRUE(readFile(bad).empty());
}

TEST_F(ResultsStore, ACopyThatCannotBeMadeNeverBlocksLoadingOrSaving)
{
    writeFile(path, Bytes(100, 9));
    ASSERT_TRUE(makeFolder(bad));  // a folder where the copy should go
    ResultsTable table(kResultsCapacity);
    EXPECT_EQ(loadResultsTable(table, path.c_str()), LoadOutcome::Damaged);
    removeFolder(bad);
    ASSERT_TRUE(makeFolder(at("tabulka.dat.bad.new")));  // nothing can be written beside it
    EXPECT_EQ(loadResultsTable(table, path.c_str()), LoadOutcome::Damaged);
    EXPECT_TRUE(readFile(bad).empty());

    table.insert("Eva", 2.0);
    ASSERT_TRUE(saveResultsTable(table, path.c_str()));
    ResultsTable again(kResultsCapacity);
    EXPECT_EQ(loadResultsTable(again, path.c_str()), LoadOutcome::Loaded);
    EXPECT_STREQ(again.slots[0]->name, "Eva");
}

}  // namespace
