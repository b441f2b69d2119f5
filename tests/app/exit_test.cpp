#include <gtest/gtest.h>

#include <cstdio>

#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_file.h"
#include "start_scenario.h"

namespace {

// Exit ends the program, so these run in processes of their own (see the
// ctest registrations); each ends by shutting the program down.
class ExitCommand : public AppTest {};

TEST_F(ExitCommand, AsksDuringAGameThenEndsItAndClosesAndSaves)
{
    startGame();
    ModalAnswerer::get().expect(press(IDNO));
    SendMessageA(mainWindow, WM_COMMAND, ID_GAME_EXIT, 0);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_TRUE(gameRunning);

    score = 5.0;
    resultsTable->insert("Zdeněk", 8.0);
    ModalAnswerer::get().expect(press(IDYES));
    ModalAnswerer::get().expect(typeNameAndOk("Eva"));
    SendMessageA(mainWindow, WM_COMMAND, ID_GAME_EXIT, 0);
    EXPECT_EQ(ModalAnswerer::get().seen.back().caption, "Zápis do tabulky");
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_FALSE(IsWindow(resultsWindow));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop ends";

    // Shutdown writes the table.
    EXPECT_TRUE(shutdownApplication());
    EXPECT_FALSE(shutdownApplication());
    EXPECT_EQ(namesOnDisk(), (std::vector<std::string>{"Zdeněk", "Eva"}));
}

TEST_F(ExitCommand, WithoutAGameClosesAtOnceAndRewritesADamagedFile)
{
    SendMessageA(mainWindow, WM_COMMAND, ID_GAME_EXIT, 0);
    EXPECT_TRUE(ModalAnswerer::get().seen.empty());
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_TRUE(shutdownApplication());
    std::uint32_t length = 0;
    unsigned char* record = loadResultsFile("tabulka.dat", &length);
    EXPECT_NE(record, nullptr) << "whatever was on disk, a valid file now";
    EXPECT_EQ(length, 52u);
    delete[] record;
}

}  // namespace
