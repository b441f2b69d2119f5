#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_store.h"
#include "tests/support/forced_pieces.h"

namespace {

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
        gameRunning = false;
        forceSlot(*pieceSet, 4);
        startGame();
        key(VK_LEFT);
        key(VK_PAUSE);
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
    command(ID_GAME_GAMEOVER);
    command(ID_GAME_PAUSE);
    EXPECT_FALSE(gamePaused || gameRunning || modals.seen.size() > 2) << "without a game: nothing";
    command(ID_GAME_NEW);
    command(ID_GAME_PAUSE);
    EXPECT_TRUE(gameRunning && gamePaused) << "New starts at once";
    command(ID_GAME_UNPAUSE);
    EXPECT_FALSE(gamePaused);
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(ID_GAME_PAUSE, 1), 0);
    EXPECT_TRUE(gamePaused) << "the notification code is ignored";
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
    saveResultsTable(*resultsTable, "tabulka.dat");
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
    EXPECT_EQ(modals.seen.at(0).caption, "Rychlost hry");
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

TEST_F(Commands, AboutClosesWithOkEnterAndItsCloseBoxButNotEscape)
{
    bool openAfterCancel = false;
    for (Answer close : {press(IDC_OK), press(0), Answer([](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }),
                         Answer([&](HWND d) {
                             SendMessageA(d, WM_COMMAND, IDCANCEL, 0);  // what Escape sends
                             openAfterCancel = IsWindowVisible(d);
                             PostMessageA(d, WM_CLOSE, 0, 0);
                         })}) {
        expect(close);
        command(ID_HELP_ABOUT);
    }
    EXPECT_EQ(std::make_tuple(modals.seen.size(), modals.seen[0].caption, openAfterCancel), std::make_tuple(4u, "O programu", true));
}

}  // namespace
