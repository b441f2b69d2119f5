#include <gtest/gtest.h>

#include <cstdio>

#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_file.h"

namespace {

class Commands : public AppTest {};

void command(int id) { SendMessageA(mainWindow, WM_COMMAND, id, 0); }

bool extendedChecked()
{
    return GetMenuState(GetSubMenu(GetMenu(mainWindow), 0), ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND) & MF_CHECKED;
}

long fileSize(const char* path)
{
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return -1;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return size;
}

TEST_F(Commands, NewAsksOnlyDuringAGame)
{
    nextPieceBySlot(4);
    command(ID_GAME_NEW);
    EXPECT_TRUE(ModalAnswerer::get().seen.empty());
    EXPECT_TRUE(gameRunning);
    EXPECT_FALSE(gameEnded);
    SendMessageA(mainWindow, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(mainWindow, WM_KEYDOWN, VK_PAUSE, 0);
    ASSERT_TRUE(gamePaused);

    // No: the game goes on as it was.
    ModalAnswerer::get().expect(press(IDNO));
    command(ID_GAME_NEW);
    ASSERT_EQ(ModalAnswerer::get().seen.size(), 1u);
    EXPECT_EQ(ModalAnswerer::get().seen[0].caption, text::kConfirmEndCaption);
    EXPECT_EQ(ModalAnswerer::get().seen[0].text, text::kConfirmEnd);
    EXPECT_TRUE(gameRunning);
    EXPECT_EQ(fallingPiece->x, 3);

    // Yes: the game-over flow (score 0: the box), then a new, unpaused game.
    ModalAnswerer::get().expect(press(IDYES));
    ModalAnswerer::get().expect(press(IDOK));
    command(ID_GAME_NEW);
    ASSERT_EQ(ModalAnswerer::get().seen.size(), 3u);
    EXPECT_EQ(ModalAnswerer::get().seen[2].caption, text::kGameOverCaption);
    EXPECT_EQ(ModalAnswerer::get().seen[2].text, text::kGameOver);
    EXPECT_TRUE(gameRunning);
    EXPECT_FALSE(gamePaused);
    EXPECT_EQ(fallingPiece->x, 4);
    EXPECT_STREQ(scoreText, "0.0");
}

TEST_F(Commands, GameOverCommandEndsOnlyARunningGame)
{
    command(ID_GAME_GAMEOVER);
    EXPECT_TRUE(ModalAnswerer::get().seen.empty());

    startGame();
    ModalAnswerer::get().expect(press(IDNO));
    command(ID_GAME_GAMEOVER);
    EXPECT_TRUE(gameRunning);

    // Ticks while the confirmation is open move nothing.
    ModalAnswerer::get().expect(whileOpen(
        [](HWND) {
            for (int i = 0; i < 20; ++i)
                SendMessageA(mainWindow, WM_TIMER, kGravityTimer, 0);
        },
        press(IDYES)));
    ModalAnswerer::get().expect(press(IDOK));
    command(ID_GAME_GAMEOVER);
    EXPECT_EQ(fallingPiece->y, 0);
    EXPECT_FALSE(gameRunning);
    EXPECT_FALSE(gameEnded);
    EXPECT_EQ(ModalAnswerer::get().seen.back().caption, text::kGameOverCaption);
}

TEST_F(Commands, PauseAndUnpause)
{
    command(ID_GAME_PAUSE);
    EXPECT_FALSE(gamePaused) << "no game: nothing";
    startGame();
    command(ID_GAME_PAUSE);
    EXPECT_TRUE(gamePaused);
    command(ID_GAME_PAUSE);
    EXPECT_TRUE(gamePaused);
    command(ID_GAME_UNPAUSE);
    EXPECT_FALSE(gamePaused);
    // The notification code in the high word is ignored.
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(ID_GAME_PAUSE, 1), 0);
    EXPECT_TRUE(gamePaused);
}

TEST_F(Commands, ExtendedTilesetOnlyBetweenGames)
{
    ASSERT_TRUE(extendedChecked());
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_FALSE(extendedChecked());
    EXPECT_EQ(pieceSet->count, 5);
    EXPECT_FALSE(gamePaused);

    startGame();
    ModalAnswerer::get().expect(press(IDOK));
    command(ID_GAME_EXTENDEDTILESET);
    ASSERT_EQ(ModalAnswerer::get().seen.size(), 1u);
    EXPECT_EQ(ModalAnswerer::get().seen[0].caption, text::kNoTilesetChangeCaption);
    EXPECT_EQ(ModalAnswerer::get().seen[0].text, text::kNoTilesetChange);
    EXPECT_FALSE(extendedChecked());
    EXPECT_EQ(pieceSet->count, 5);
    EXPECT_FALSE(gamePaused);

    ModalAnswerer::get().expect(press(IDYES));
    ModalAnswerer::get().expect(press(IDOK));
    command(ID_GAME_GAMEOVER);
    command(ID_GAME_EXTENDEDTILESET);
    EXPECT_TRUE(extendedChecked());
    EXPECT_EQ(pieceSet->count, 7);
    EXPECT_EQ(pieceSet->slots[3]->id, 131);
    EXPECT_EQ(pieceSet->slots[6]->id, 133);
}

TEST_F(Commands, ClearAsksThenEmptiesTheTableAndTheFile)
{
    resultsTable->insert("Alena", 9.0);
    ASSERT_TRUE(saveResultsTable());
    const long withEntry = fileSize("tabulka.dat");

    ModalAnswerer::get().expect(press(IDNO));
    command(ID_RESULTS_CLEAR);
    EXPECT_EQ(ModalAnswerer::get().seen[0].text, text::kConfirmClear);
    EXPECT_EQ(ModalAnswerer::get().seen[0].caption, text::kConfirmClearCaption);
    EXPECT_EQ(resultsTable->placesFor(1.0), 9);
    EXPECT_EQ(fileSize("tabulka.dat"), withEntry);

    ModalAnswerer::get().expect(press(IDYES));
    command(ID_RESULTS_CLEAR);
    EXPECT_EQ(resultsTable->placesFor(1.0), 10);
    EXPECT_EQ(fileSize("tabulka.dat"), 72);
    std::uint32_t length = 0;
    unsigned char* record = loadResultsFile("tabulka.dat", &length);
    EXPECT_EQ(length, 52u);
    delete[] record;
    EXPECT_FALSE(gamePaused);
}

TEST_F(Commands, SpeedDialog)
{
    unsigned shown = 0;
    unsigned afterDefault = 0, afterZero = 0, afterHuge = 0;
    ModalAnswerer::get().expect([&](HWND dialog) {
        shown = GetDlgItemInt(dialog, IDC_SPEED_EDIT, nullptr, FALSE);
        SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "17");
        SendMessageA(dialog, WM_COMMAND, IDC_DEFAULT, 0);
        afterDefault = GetDlgItemInt(dialog, IDC_SPEED_EDIT, nullptr, FALSE);
        HWND edit = GetDlgItem(dialog, IDC_SPEED_EDIT);
        SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "0");
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SPEED_EDIT, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
        afterZero = GetDlgItemInt(dialog, IDC_SPEED_EDIT, nullptr, FALSE);
        SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "150");
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SPEED_EDIT, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
        afterHuge = GetDlgItemInt(dialog, IDC_SPEED_EDIT, nullptr, FALSE);
        PostMessageA(dialog, WM_COMMAND, IDC_CANCEL, 0);
    });
    command(ID_GAME_SPEED);
    EXPECT_TRUE(ModalAnswerer::get().seen.at(0).isDialog);
    EXPECT_EQ(ModalAnswerer::get().seen[0].caption, "Rychlost hry");
    EXPECT_EQ(shown, 92u);
    EXPECT_EQ(afterDefault, 92u);
    EXPECT_EQ(afterZero, 1u);
    EXPECT_EQ(afterHuge, 99u);
    EXPECT_EQ(fallDelayMs, 80) << "Cancel applies nothing";

    ModalAnswerer::get().expect([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "50");
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    command(ID_GAME_SPEED);
    EXPECT_EQ(fallDelayMs, 80) << "the close box applies nothing";

    ModalAnswerer::get().expect([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "50");
        PostMessageA(dialog, WM_COMMAND, IDC_OK, 0);
    });
    fallElapsedMs = 30;
    command(ID_GAME_SPEED);
    EXPECT_EQ(fallDelayMs, 500);

    unsigned reopened = 0;
    ModalAnswerer::get().expect([&](HWND dialog) {
        reopened = GetDlgItemInt(dialog, IDC_SPEED_EDIT, nullptr, FALSE);
        SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "");
        PostMessageA(dialog, WM_COMMAND, IDC_OK, 0);
    });
    command(ID_GAME_SPEED);
    EXPECT_EQ(reopened, 50u);
    EXPECT_EQ(fallDelayMs, 990) << "an empty edit reads as 0, which counts as 1";
}

// Posts a key to the dialog's focused control, as the keyboard would.
void keyInDialog(HWND dialog, WPARAM vk)
{
    HWND target = GetFocus();
    if (!target || (target != dialog && !IsChild(dialog, target)))
        target = dialog;
    PostMessageA(target, WM_KEYDOWN, vk, 0);
}

TEST_F(Commands, AboutClosesWithOkEnterAndCloseBoxButNotEscape)
{
    auto checkClosed = [](ModalAction close) {
        ModalAnswerer::get().expect(close);
        SendMessageA(mainWindow, WM_COMMAND, ID_HELP_ABOUT, 0);
    };
    checkClosed(press(IDC_OK));
    checkClosed([](HWND d) { keyInDialog(d, VK_RETURN); });
    checkClosed(closeBox());
    EXPECT_EQ(ModalAnswerer::get().seen.size(), 3u);
    EXPECT_EQ(ModalAnswerer::get().seen[0].caption, "O programu");

    // Escape: still open a while later; then the close box ends it.
    bool openAfterEscape = false;
    ModalAnswerer::get().expect(thenCheckStillOpen([](HWND d) { keyInDialog(d, VK_ESCAPE); }, &openAfterEscape));
    SendMessageA(mainWindow, WM_COMMAND, ID_HELP_ABOUT, 0);
    EXPECT_TRUE(openAfterEscape);
}

}  // namespace
