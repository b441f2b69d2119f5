#include <gtest/gtest.h>

#include <cstdio>

#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_store.h"
#include "tests/support/forced_pieces.h"

namespace {

class Commands : public AppTest {};

bool tilesetChecked()
{
    return GetMenuState(GetMenu(mainWindow), ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND) & MF_CHECKED;
}

TEST_F(Commands, EndingARunningGameAsksFirstAndTicksMoveNothingMeanwhile)
{
    struct Case {
        const char* name;
        int command, answer;
        bool runningAfter;
        int xAfter;  // 3: the game went on; 4: a new piece
    };
    const Case cases[] = {
        {"New, No", ID_GAME_NEW, IDNO, true, 3},
        {"New, Yes: the flow, then a new game", ID_GAME_NEW, IDYES, true, 4},
        {"Game Over, No", ID_GAME_GAMEOVER, IDNO, true, 3},
        {"Game Over, Yes", ID_GAME_GAMEOVER, IDYES, false, 3},
        {"Exit, No", ID_GAME_EXIT, IDNO, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modals() = {};
        gameRunning = false;
        forceSlot(*pieceSet, 4);
        startGame();
        key(VK_LEFT);
        key(VK_PAUSE);
        bool runningDuringBox = true;
        expectModal(whileOpen([&](HWND) { runningDuringBox = gameRunning, tick(20); }, press(c.answer)));
        if (c.answer == IDYES)
            expectModal(press(IDOK));  // score 0: the game-over box
        command(c.command);
        ASSERT_GE(modals().seen.size(), 1u);
        EXPECT_EQ(modals().seen[0].text, text::kConfirmEnd);
        EXPECT_EQ(modals().seen[0].caption, text::kConfirmEndCaption);
        if (c.answer == IDYES) {
            ASSERT_EQ(modals().seen.size(), 2u);
            EXPECT_EQ(modals().seen[1].text, text::kGameOver);
            EXPECT_EQ(modals().seen[1].caption, text::kGameOverCaption);
        }
        EXPECT_FALSE(runningDuringBox);
        EXPECT_EQ(fallingPiece->y, 0);
        EXPECT_EQ(gameRunning, c.runningAfter);
        EXPECT_EQ(fallingPiece->x, c.xAfter);
        EXPECT_FALSE(gameEnded);
        EXPECT_TRUE(IsWindow(mainWindow));
        if (c.xAfter == 4) {
            EXPECT_FALSE(gamePaused) << "a new game starts unpaused";
        }
    }
}

TEST_F(Commands, WithoutAGameNewStartsAtOnceAndTheOthersDoNothing)
{
    for (int id : {ID_GAME_GAMEOVER, ID_GAME_PAUSE, ID_GAME_UNPAUSE})
        command(id);
    EXPECT_FALSE(gamePaused || gameRunning);
    command(ID_GAME_NEW);
    EXPECT_TRUE(gameRunning);
    command(ID_GAME_PAUSE);
    command(ID_GAME_PAUSE);
    EXPECT_TRUE(gamePaused);
    command(ID_GAME_UNPAUSE);
    EXPECT_FALSE(gamePaused);
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(ID_GAME_PAUSE, 1), 0);
    EXPECT_TRUE(gamePaused) << "the notification code is ignored";
    EXPECT_TRUE(modals().seen.empty());
}

TEST_F(Commands, TheTilesetChangesOnlyBetweenGames)
{
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_FALSE(tilesetChecked());
    EXPECT_EQ(pieceSet->count, 5);
    startGame();
    expectModal(press(IDOK));
    command(ID_GAME_EXTENDEDTILESET);
    ASSERT_EQ(modals().seen.size(), 1u);
    EXPECT_EQ(modals().seen[0].text, text::kNoTilesetChange);
    EXPECT_EQ(modals().seen[0].caption, text::kNoTilesetChangeCaption);
    EXPECT_FALSE(tilesetChecked());
    EXPECT_FALSE(gamePaused) << "held during the box, then restored";
    gameRunning = false;
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_TRUE(tilesetChecked());
    EXPECT_EQ(pieceSet->slots[3]->id, 131);
    EXPECT_EQ(pieceSet->slots[6]->id, 133);
}

TEST_F(Commands, ClearAsksThenEmptiesTheTableAndTheFile)
{
    resultsTable->insert("Alena", 9.0);
    saveResultsTable(*resultsTable, "tabulka.dat");
    bool pausedDuringBox = false;
    expectModal(whileOpen([&](HWND) { pausedDuringBox = gamePaused; }, press(IDNO)));
    command(ID_RESULTS_CLEAR);
    EXPECT_EQ(modals().seen[0].text, text::kConfirmClear);
    EXPECT_EQ(modals().seen[0].caption, text::kConfirmClearCaption);
    EXPECT_TRUE(pausedDuringBox);
    EXPECT_EQ(namesOnDisk(), std::vector<std::string>{"Alena"});
    expectModal(press(IDYES));
    command(ID_RESULTS_CLEAR);
    EXPECT_EQ(resultsTable->placesFor(1.0), 10);
    EXPECT_TRUE(namesOnDisk().empty()) << "rewritten at once";
    EXPECT_FALSE(gamePaused);
}

TEST_F(Commands, TheSpeedDialogShowsClampsAndAppliesOnlyOnOk)
{
    auto speedShown = [](HWND dialog) { return GetDlgItemInt(dialog, IDC_SPEED_EDIT, nullptr, FALSE); };
    auto leaveEdit = [](HWND dialog, const char* typed) {
        SetDlgItemTextA(dialog, IDC_SPEED_EDIT, typed);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SPEED_EDIT, EN_KILLFOCUS), 0);
    };
    unsigned shown = 0, afterDefault = 0, afterZero = 0, afterHuge = 0;
    expectModal(whileOpen(
        [&](HWND d) {
            shown = speedShown(d);
            leaveEdit(d, "0");
            afterZero = speedShown(d);
            leaveEdit(d, "150");
            afterHuge = speedShown(d);
            SendMessageA(d, WM_COMMAND, IDC_DEFAULT, 0);
            afterDefault = speedShown(d);
        },
        press(IDC_CANCEL)));
    command(ID_GAME_SPEED);
    EXPECT_EQ(modals().seen.at(0).caption, "Rychlost hry");
    EXPECT_EQ(std::make_tuple(shown, afterZero, afterHuge, afterDefault), std::make_tuple(92u, 1u, 99u, 92u));
    EXPECT_EQ(fallDelayMs, 80) << "Cancel applies nothing";

    struct Case {
        const char* typed;
        ModalAction answer;
        int delay;
    };
    const Case cases[] = {{"50", closeBox(), 80}, {"50", press(IDC_OK), 500}, {"", press(IDC_OK), 990}};
    unsigned reopened = 0;
    for (const Case& c : cases) {
        expectModal(whileOpen(
            [&](HWND d) {
                reopened = speedShown(d);
                SetDlgItemTextA(d, IDC_SPEED_EDIT, c.typed);
            },
            c.answer));
        fallElapsedMs = 30;
        command(ID_GAME_SPEED);
        EXPECT_EQ(fallDelayMs, c.delay) << "typed \"" << c.typed << "\"";
    }
    EXPECT_EQ(reopened, 50u) << "the dialog shows the speed in force";
    EXPECT_EQ(fallElapsedMs, 0) << "OK restarts the fall clock";
}

TEST_F(Commands, AboutClosesWithOkEnterAndItsCloseBoxButNotEscape)
{
    auto keyToFocus = [](WPARAM vk) {
        return [vk](HWND d) {
            HWND target = GetFocus();
            PostMessageA(target && IsChild(d, target) ? target : d, WM_KEYDOWN, vk, 0);
        };
    };
    for (ModalAction close : {press(IDC_OK), ModalAction(keyToFocus(VK_RETURN)), closeBox()}) {
        expectModal(close);
        command(ID_HELP_ABOUT);
    }
    bool openAfterEscape = false;
    expectModal(thenCheckStillOpen(keyToFocus(VK_ESCAPE), &openAfterEscape));
    command(ID_HELP_ABOUT);
    EXPECT_EQ(modals().seen.size(), 4u);
    EXPECT_EQ(modals().seen[0].caption, "O programu");
    EXPECT_TRUE(openAfterEscape);
}

}  // namespace
