#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_store.h"
#include "tests/support/forced_pieces.h"

namespace {

struct Commands : AppTest {};

bool tilesetChecked() { return GetMenuState(GetMenu(mainWindow), ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND) & MF_CHECKED; }

TEST_F(Commands, EndingARunningGameAsksFirstAndNothingMovesMeanwhile)
{
    struct Case {
        int command, answer;
        bool runningAfter;
        int xAfter;  // 3: the game went on; 4: a new piece
    };
    const Case cases[] = {{ID_GAME_NEW, IDNO, true, 3}, {ID_GAME_NEW, IDYES, true, 4}, {ID_GAME_GAMEOVER, IDNO, true, 3},
                          {ID_GAME_GAMEOVER, IDYES, false, 3}, {ID_GAME_EXIT, IDNO, true, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << (c.answer == IDYES ? ", Yes" : ", No"));
        modals = {};
        gameRunning = false;
        forceSlot(*pieceSet, 4);
        startGame();
        key(VK_LEFT);
        key(VK_PAUSE);
        bool runningDuringBox = true;
        expect(whileOpen([&](HWND) { runningDuringBox = gameRunning, tick(20); }, press(c.answer)));
        if (c.answer == IDYES)
            expect(press(IDOK));  // score 0: the game-over box
        command(c.command);
        ASSERT_EQ(modals.seen.size(), c.answer == IDYES ? 2u : 1u);
        EXPECT_EQ(modals.seen[0].caption + "|" + modals.seen[0].text, std::string(text::kConfirmEndCaption) + "|" + text::kConfirmEnd);
        if (c.answer == IDYES) {
            EXPECT_EQ(modals.seen[1].caption + "|" + modals.seen[1].text, std::string(text::kGameOverCaption) + "|" + text::kGameOver);
        }
        EXPECT_FALSE(runningDuringBox || fallingPiece->y || gameEnded);
        EXPECT_EQ(std::make_tuple(gameRunning, fallingPiece->x), std::make_tuple(c.runningAfter, c.xAfter));
        EXPECT_EQ(gamePaused, c.xAfter == 3) << "only a new game starts unpaused";
    }
    modals = {};
    gameRunning = gamePaused = false;
    for (int id : {ID_GAME_GAMEOVER, ID_GAME_PAUSE})
        command(id);
    EXPECT_FALSE(gamePaused || gameRunning || modals.seen.size()) << "without a game: nothing";
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
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_FALSE(tilesetChecked());
    EXPECT_EQ(pieceSet->count, 5);
    startGame();
    expect(press(IDOK));
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_EQ(modals.seen.at(0).caption + "|" + modals.seen[0].text,
              std::string(text::kNoTilesetChangeCaption) + "|" + text::kNoTilesetChange);
    EXPECT_FALSE(tilesetChecked() || gamePaused) << "the pause is held only while the box is open";
    gameRunning = false;
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_TRUE(tilesetChecked());
    EXPECT_EQ(pieceSet->count, 7);

    resultsTable->insert("Alena", 9.0);
    saveResultsTable(*resultsTable, "tabulka.dat");
    bool pausedDuringBox = false;
    expect(whileOpen([&](HWND) { pausedDuringBox = gamePaused; }, press(IDNO)));
    command(ID_RESULTS_CLEAR);
    EXPECT_EQ(modals.seen.at(1).caption + "|" + modals.seen[1].text, std::string(text::kConfirmClearCaption) + "|" + text::kConfirmClear);
    EXPECT_TRUE(pausedDuringBox);
    EXPECT_EQ(namesOnDisk(), std::vector<std::string>{"Alena"});
    expect(press(IDYES));
    command(ID_RESULTS_CLEAR);
    EXPECT_EQ(resultsTable->placesFor(1.0), 10);
    EXPECT_TRUE(namesOnDisk().empty()) << "the file is rewritten at once";
    EXPECT_FALSE(gamePaused);
}

TEST_F(Commands, TheSpeedDialogShowsClampsAndAppliesOnlyOnOk)
{
    auto shown = [](HWND d) { return GetDlgItemInt(d, IDC_SPEED_EDIT, nullptr, FALSE); };
    std::vector<unsigned> seen;
    auto leave = [&](HWND d, const char* typed) {  // the edit loses the focus
        SetDlgItemTextA(d, IDC_SPEED_EDIT, typed);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_SPEED_EDIT, EN_KILLFOCUS), 0);
        seen.push_back(shown(d));
    };
    expect(whileOpen([&](HWND d) {
        seen.push_back(shown(d));
        leave(d, "0");
        leave(d, "150");
        SendMessageA(d, WM_COMMAND, IDC_DEFAULT, 0);
        seen.push_back(shown(d));
    }, press(IDC_CANCEL)));
    command(ID_GAME_SPEED);
    EXPECT_EQ(modals.seen.at(0).caption, "Rychlost hry");
    EXPECT_EQ(seen, (std::vector<unsigned>{92, 1, 99, 92}));
    EXPECT_EQ(fallDelayMs, 80) << "Cancel applies nothing";
    const std::tuple<const char*, int, int> cases[] = {{"50", 0, 80}, {"50", IDC_OK, 500}, {"", IDC_OK, 990}};
    for (const auto& [typed, button, delay] : cases) {
        seen.clear();
        expect(whileOpen([&](HWND d) { seen.push_back(shown(d)), SetDlgItemTextA(d, IDC_SPEED_EDIT, typed); }, press(button)));
        fallElapsedMs = 30;
        command(ID_GAME_SPEED);
        EXPECT_EQ(fallDelayMs, delay) << "\"" << typed << "\", button " << button;
    }
    EXPECT_EQ(seen, std::vector<unsigned>{50}) << "the dialog shows the speed in force";
    EXPECT_EQ(fallElapsedMs, 0) << "OK restarts the fall clock";
}

TEST_F(Commands, AboutClosesWithOkEnterAndItsCloseBoxButNotEscape)
{
    for (Answer close : {press(IDC_OK), press(0), Answer([](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); })}) {
        expect(close);
        command(ID_HELP_ABOUT);
    }
    bool openAfterCancel = false;
    expect([&](HWND d) {
        SendMessageA(d, WM_COMMAND, IDCANCEL, 0);  // what Escape sends
        openAfterCancel = IsWindowVisible(d);
        PostMessageA(d, WM_CLOSE, 0, 0);
    });
    command(ID_HELP_ABOUT);
    EXPECT_EQ(modals.seen.size(), 4u);
    EXPECT_EQ(modals.seen[0].caption, "O programu");
    EXPECT_TRUE(openAfterCancel);
}

}  // namespace
