#include <map>

#include "app/commands.h"
#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "resources/resource.h"
#include "results/results_store.h"
#include "tests/support/forced_pieces.h"

namespace {

struct Play : AppTest {};

std::tuple<int, int, int> where() { return {fallingPiece->x, fallingPiece->y, fallingPiece->rotation}; }
void newSquare() { gameRunning = false, forceSlot(*pieceSet, 4), startGame(); }

TEST_F(Play, KeysMoveTurnStepAndDropOnlyWhereThePieceFits)
{
    const std::string resting = "D" + std::string(14, 'E');  // a square on a square
    // name, piece's slot (-1: the square, with no game running), keys (Left, Right, Up, space, Enter,
    // Down, Pause), place after, cells painted with the piece, cells gray
    const std::tuple<const char*, int, std::string, std::tuple<int, int, int>, std::vector<std::pair<int, int>>,
                     std::vector<std::pair<int, int>>> cases[] = {
        {"no game yet", -1, "LRU EDP", {4, 0, 0}, {}, {}},
        {"left", 4, "L", {3, 0, 0}, {{3, 0}, {4, 1}}, {{5, 0}}},
        {"right", 4, "R", {5, 0, 0}, {{6, 1}}, {{4, 0}}},
        {"Enter steps one row", 4, "E", {4, 1, 0}, {{4, 2}}, {{4, 0}}},
        {"Down drops, the next piece enters", 4, "D", {4, 0, 0}, {{4, 15}, {5, 14}}, {}},
        {"Enter stops on the stack", 4, resting, {4, 12, 0}, {{4, 12}}, {}},
        {"Down settles a piece that cannot move", 4, resting + "D", {4, 0, 0}, {{4, 13}}, {}},
        {"Up turns right", 1, "EU", {6, 1, 1}, {{5, 0}, {5, 3}}, {{7, 1}}},
        {"space turns left", 1, "EU ", {6, 1, 0}, {{7, 1}}, {{5, 3}}},
    };
    const std::map<char, WPARAM> keys = {{'L', VK_LEFT}, {'R', VK_RIGHT}, {'U', VK_UP}, {' ', VK_SPACE},
                                         {'E', VK_RETURN}, {'D', VK_DOWN}, {'P', VK_PAUSE}};
    for (const auto& [name, slot, typed, place, painted, gray] : cases) {
        gameRunning = false;
        forceSlot(*pieceSet, slot < 0 ? 4 : slot);
        slot < 0 ? fallingPiece->spawn() : startGame();
        for (char k : typed)
            key(keys.at(k));
        EXPECT_EQ(where(), place) << name;
        for (auto [col, row] : painted)
            EXPECT_EQ(cellCentre(col, row), tileBodyColour(slot == 1 ? 0x40F020 : 0xA020A0)) << name << ": " << col << ", " << row;
        for (auto [col, row] : gray)
            EXPECT_EQ(cellCentre(col, row), RGB(128, 128, 128)) << name << ": " << col << ", " << row;
        EXPECT_FALSE(gamePaused) << name;
    }
}

TEST_F(Play, GravityStepsEveryEighthTickAndCountsAgainForANewPieceOrSpeed)
{
    newSquare();
    auto rowAfter = [](int ticks) { return tick(ticks), fallingPiece->y; };
    EXPECT_EQ((std::pair<int, int>{rowAfter(7), rowAfter(1)}), std::make_pair(0, 1));
    EXPECT_EQ(cellCentre(4, 2), tileBodyColour(0xA020A0));
    tick(5), key(VK_DOWN);  // a new piece: the count starts again
    EXPECT_EQ((std::pair<int, int>{rowAfter(7), rowAfter(1)}), std::make_pair(0, 1));
    tick(5), setSpeed(50);  // a step every 50 ticks, counted from now
    EXPECT_EQ((std::pair<int, int>{rowAfter(49), rowAfter(1)}), std::make_pair(1, 2));
    setSpeed(92);
    while (fallingPiece->canMoveDown())
        key(VK_RETURN);
    tick(8);
    EXPECT_NE(well->cellAt(4, 13), nullptr) << "a piece that cannot fall settles at the step";
}

TEST_F(Play, PauseKeyAndFocusStopThePiece)
{
    newSquare();
    key(VK_PAUSE), key(VK_LEFT), tick(30);
    EXPECT_EQ(std::make_tuple(where(), fallElapsedMs), std::make_tuple(std::make_tuple(4, 0, 0), 0));
    key(VK_PAUSE), key(VK_LEFT);
    EXPECT_EQ(fallingPiece->x, 3);
    for (bool pausedBefore : {false, true}) {
        gamePaused = pausedBefore;
        SendMessageA(mainWindow, WM_KILLFOCUS, 0, 0), tick(10);
        SendMessageA(mainWindow, WM_SETFOCUS, 0, 0);
        EXPECT_EQ(std::make_pair(fallingPiece->y, gamePaused), std::make_pair(0, pausedBefore)) << "the state from before";
    }
}


struct Commands : AppTest {};

std::string shown(size_t i) { return modals.seen.at(i).caption + "|" + modals.seen[i].text; }
std::string box(const char* caption, const char* text) { return std::string(caption) + "|" + text; }

TEST_F(Commands, EndingARunningGameAsksFirstAndNothingMovesMeanwhile)
{
    // command, answer, running after, column after (3: the game went on; 4: a new piece)
    const std::tuple<int, int, bool, int> cases[] = {{ID_GAME_NEW, IDNO, true, 3}, {ID_GAME_NEW, IDYES, true, 4},
        {ID_GAME_GAMEOVER, IDNO, true, 3}, {ID_GAME_GAMEOVER, IDYES, false, 3}, {ID_GAME_EXIT, IDNO, true, 3}};
    for (const auto& [id, answer, runningAfter, xAfter] : cases) {
        SCOPED_TRACE(testing::Message() << "command " << id << (answer == IDYES ? ", Yes" : ", No"));
        modals = {};
        newSquare();
        key(VK_LEFT), key(VK_PAUSE);
        bool runningDuringBox = true;
        expect(whileOpen([&](HWND) { runningDuringBox = gameRunning, tick(20); }, press(answer)));
        if (answer == IDYES)
            expect(press(IDOK));  // score 0: the game-over box
        command(id);
        EXPECT_EQ(shown(0), box(text::kConfirmEndCaption, text::kConfirmEnd));
        EXPECT_EQ(modals.seen.size() == 2 && shown(1) == box(text::kGameOverCaption, text::kGameOver), answer == IDYES);
        EXPECT_FALSE(runningDuringBox || fallingPiece->y || gameEnded);
        EXPECT_EQ(std::make_tuple(gameRunning, fallingPiece->x, gamePaused), std::make_tuple(runningAfter, xAfter, xAfter == 3))
            << "only a new game starts unpaused";
    }
    gameRunning = gamePaused = false;
    command(ID_GAME_GAMEOVER), command(ID_GAME_PAUSE);
    EXPECT_FALSE(gamePaused || gameRunning || modals.seen.size() > 2) << "without a game: nothing";
    command(ID_GAME_NEW), command(ID_GAME_PAUSE);
    EXPECT_TRUE(gameRunning && gamePaused) << "New starts at once";
    command(ID_GAME_UNPAUSE);
    EXPECT_FALSE(gamePaused);
}

TEST_F(Commands, TheTilesetChangesOnlyBetweenGamesAndClearAsksFirst)
{
    auto checked = [] { return GetMenuState(GetMenu(mainWindow), ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND) == MF_CHECKED; };
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_TRUE(!checked() && pieceSet->count == 5);
    startGame();
    expect(press(IDOK));
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_EQ(shown(0), box(text::kNoTilesetChangeCaption, text::kNoTilesetChange));
    EXPECT_FALSE(checked() || gamePaused) << "the pause is held only while the box is open";
    gameRunning = false;
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_TRUE(checked() && pieceSet->count == 7);

    resultsTable->insert("Alena", 9.0);
    ResultsStore("tabulka.dat").save(*resultsTable);
    bool pausedDuringBox = false;
    expect(whileOpen([&](HWND) { pausedDuringBox = gamePaused; }, press(IDNO)));
    command(ID_RESULTS_CLEAR);
    EXPECT_EQ(shown(1), box(text::kConfirmClearCaption, text::kConfirmClear));
    EXPECT_TRUE(pausedDuringBox && namesOnDisk() == std::vector<std::string>{"Alena"});
    expect(press(IDYES));
    command(ID_RESULTS_CLEAR);
    EXPECT_TRUE(resultsTable->placesFor(1.0) == 10 && namesOnDisk().empty()) << "the file is rewritten at once";
    EXPECT_FALSE(gamePaused);
}

TEST_F(Commands, TheSpeedDialogShowsClampsAndAppliesOnlyOnOk)
{
    std::vector<unsigned> seen;
    auto show = [&](HWND d, const char* typed) {  // then the edit loses the focus
        seen.push_back(GetDlgItemInt(d, IDC_SPEED_EDIT, nullptr, FALSE));
        SetDlgItemTextA(d, IDC_SPEED_EDIT, typed);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_SPEED_EDIT, EN_KILLFOCUS), 0);
    };
    expect(whileOpen([&](HWND d) { show(d, "0"), show(d, "150"), show(d, "50"), SendMessageA(d, WM_COMMAND, IDC_DEFAULT, 0), show(d, "50"); },
                     press(IDC_CANCEL)));
    command(ID_GAME_SPEED);
    EXPECT_EQ(seen, (std::vector<unsigned>{92, 1, 99, 92})) << "shown at first, after 0, 150 and Default";
    EXPECT_EQ(fallDelayMs, 80) << "Cancel applies nothing";
    for (auto [button, delay] : {std::pair{0, 80}, {IDC_OK, 500}}) {  // the close box, then OK
        expect(whileOpen([&](HWND d) { SetDlgItemTextA(d, IDC_SPEED_EDIT, "50"); }, press(button)));
        fallElapsedMs = 30;
        command(ID_GAME_SPEED);
        EXPECT_EQ(fallDelayMs, delay) << button;
    }
    EXPECT_EQ(fallElapsedMs, 0) << "OK restarts the fall clock";
}

}  // namespace
