#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app_fixture.h"
#include "core/game_state.h"
#include "draw/gdi_objects.h"
#include "resources/resource.h"
#include "results/results_file.h"

namespace {

// Plays many whole games through the window procedure, as fast as the
// messages go: random moves and turns, drops and gravity ticks, and the
// game-over flow with its box or name dialog answered.
class Soak : public AppTest {};

SIZE_T privateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // Wine leaves PrivateUsage at 0; PagefileUsage is the committed memory.
    return counters.PagefileUsage;
}

// Answers whichever comes: the name dialog with a name, the box with OK.
ModalAction answerEndOfGame(int game)
{
    return [game](HWND window) {
        if (GetDlgItem(window, IDC_NAME_EDIT)) {
            const std::string name = "hráč " + std::to_string(game);
            SetDlgItemTextA(window, IDC_NAME_EDIT, name.c_str());
            PostMessageA(window, WM_COMMAND, IDC_OK, 0);
        } else {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    };
}

void checkTableIsOrderedAndOnDisk()
{
    for (int i = 1; i < resultsTable->capacity; ++i) {
        const ResultEntry* before = resultsTable->slots[i - 1];
        const ResultEntry* entry = resultsTable->slots[i];
        if (entry) {
            ASSERT_TRUE(before && before->score >= entry->score) << "slot " << i;
        }
    }
    std::uint32_t memoryLength = 0, fileLength = 0;
    unsigned char* inMemory = resultsTable->writeRecord(&memoryLength);
    unsigned char* onDisk = loadResultsFile("tabulka.dat", &fileLength);
    ASSERT_NE(onDisk, nullptr);
    ASSERT_EQ(memoryLength, fileLength);
    EXPECT_EQ(std::memcmp(inMemory, onDisk, fileLength), 0);
    delete[] inMemory;
    delete[] onDisk;
}

TEST_F(Soak, TwoHundredWholeGames)
{
    std::srand(20261206);
    pieceSet->random = std::rand;
    saveResultsTable();
    SIZE_T memoryAfterWarmUp = 0;
    int pieces = 0, named = 0;
    const WPARAM moves[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_SPACE, VK_RETURN};
    for (int game = 0; game < 200; ++game) {
        SCOPED_TRACE(game);
        ModalAnswerer::get().reset();
        ModalAnswerer::get().expect(answerEndOfGame(game));
        SendMessageA(mainWindow, WM_COMMAND, ID_GAME_NEW, 0);
        ASSERT_TRUE(gameRunning);
        // Bottom rows with one gap each, so that drops complete rows and
        // games end with scores that earn a place.
        for (int r = 12; r < 16; ++r) {
            const int gap = std::rand() % 8;
            for (int c = 0; c < 8; ++c)
                if (c != gap)
                    well->setCell(c, r, pieceSet->slots[0]);
        }
        for (int step = 0; gameRunning && step < 5000; ++step) {
            const int what = std::rand() % 10;
            if (what < 6)
                SendMessageA(mainWindow, WM_KEYDOWN, moves[std::rand() % 5], 0);
            else if (what < 9)
                SendMessageA(mainWindow, WM_TIMER, kGravityTimer, 0);
            else {
                SendMessageA(mainWindow, WM_KEYDOWN, VK_DOWN, 0);
                ++pieces;
            }
            ASSERT_EQ(liveGdiObjects(), 0) << "step " << step;
        }
        ASSERT_FALSE(gameRunning) << "the game did not end";
        ASSERT_EQ(ModalAnswerer::get().seen.size(), 1u);
        named += ModalAnswerer::get().seen[0].isDialog;
        EXPECT_EQ(ModalAnswerer::get().unexpected, 0);

        // The well holds no completed row, only the last settle may have
        // left its marks.
        for (int r = 0; r < 16; ++r)
            if (!well->rowMarks[r]) {
                ASSERT_FALSE(well->isRowFull(r)) << "row " << r;
            }
        checkTableIsOrderedAndOnDisk();
        ShowWindow(resultsWindow, SW_HIDE);
        SetActiveWindow(mainWindow);
        SetFocus(mainWindow);
        pumpMessages();
        if (game == 19)
            memoryAfterWarmUp = privateBytes();
    }
    const SIZE_T memoryAtEnd = privateBytes();
    std::printf("soak: 200 games, %d drops, %d name entries, private bytes %lu KB after 20 games, %lu KB after 200\n",
                pieces, named, static_cast<unsigned long>(memoryAfterWarmUp / 1024),
                static_cast<unsigned long>(memoryAtEnd / 1024));
    EXPECT_GT(named, 0);
    EXPECT_LT(memoryAtEnd, memoryAfterWarmUp + 512 * 1024) << "memory grew over the games";
}

}  // namespace
