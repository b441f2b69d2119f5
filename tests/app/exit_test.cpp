#include <gtest/gtest.h>

#include "app/startup.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"

namespace {

// Exit ends the program, so this runs in a process of its own (see the ctest
// registrations) and ends by shutting the program down.
class ExitCommand : public AppTest {};

TEST_F(ExitCommand, DuringAGameItEndsTheGameThenClosesAndSaves)
{
    startGame();
    score = 5.0;
    resultsTable->insert("Zdeněk", 8.0);
    expectModal(press(IDYES));
    expectModal(typeNameAndOk("Eva"));
    command(ID_GAME_EXIT);
    EXPECT_EQ(modals().seen.back().caption, "Zápis do tabulky");
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_FALSE(IsWindow(resultsWindow));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop ends";
    EXPECT_TRUE(shutdownApplication());
    EXPECT_FALSE(shutdownApplication());
    EXPECT_EQ(namesOnDisk(), (std::vector<std::string>{"Zdeněk", "Eva"}));
}

}  // namespace
