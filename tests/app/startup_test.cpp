#include <gtest/gtest.h>

#include "app/texts.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_file.h"
#include "start_scenario.h"

namespace {

class Startup : public AppTest {};

TEST_F(Startup, WindowsStandWhereAndHowTheyShould)
{
    ASSERT_TRUE(startedOk);
    POINT origin = {0, 0};
    ClientToScreen(mainWindow, &origin);
    EXPECT_EQ(origin.x, 300);
    EXPECT_EQ(origin.y, 150);
    RECT client;
    GetClientRect(mainWindow, &client);
    EXPECT_EQ(client.right, 169);
    EXPECT_EQ(client.bottom, 362);

    const LONG style = GetWindowLongA(mainWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(style & 0x00CA0000, 0x00CA0000);
    EXPECT_EQ(windowText(mainWindow), "Lumox");
    char cls[32];
    GetClassNameA(mainWindow, cls, sizeof cls);
    EXPECT_STREQ(cls, "MyClass");
    GetClassNameA(resultsWindow, cls, sizeof cls);
    EXPECT_STREQ(cls, "Tabulka");
    EXPECT_EQ(GetWindow(resultsWindow, GW_OWNER), mainWindow);
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_FALSE(IsWindowVisible(resultsWindow));

    EXPECT_FALSE(initApplication()) << "a second start-up is refused";
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_FALSE(gameRunning);
}

TEST_F(Startup, IdlePictureAndStatusStrip)
{
    // Redraw the idle picture as start-up does, then read the screen.
    drawIdlePicture();
    SendMessageA(mainWindow, WM_PAINT, 0, 0);
    HDC dc = GetDC(mainWindow);
    int wrong = 0;
    for (int y = 0; y < 337; y += 3)
        for (int x = 0; x < 169; ++x) {
            const COLORREF expected = (x % 21 == 0 || y % 21 == 0) ? RGB(90, 90, 90) : RGB(128, 128, 128);
            if (GetPixel(dc, x, y) != expected)
                ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    // "0.0" in black at the left of the strip.
    InvalidateRect(mainWindow, nullptr, TRUE);
    UpdateWindow(mainWindow);
    int black = 0;
    for (int y = 337; y < 362; ++y)
        for (int x = 0; x < 30; ++x)
            black += GetPixel(dc, x, y) == RGB(0, 0, 0);
    ReleaseDC(mainWindow, dc);
    EXPECT_GT(black, 10);
    EXPECT_STREQ(scoreText, "0.0");
}

TEST_F(Startup, MenuHasEveryCommandTheCodeUses)
{
    HMENU menu = GetMenu(mainWindow);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    const char* popups[] = {"&Game", "&Results", "&Help"};
    for (int i = 0; i < 3; ++i) {
        char label[32];
        GetMenuStringA(menu, i, label, sizeof label, MF_BYPOSITION);
        EXPECT_STREQ(label, popups[i]);
    }
    struct Item {
        int popup, position, id;
        const char* label;
    };
    const Item items[] = {
        {0, 0, ID_GAME_NEW, "&New"},       {0, 1, ID_GAME_PAUSE, "&Pause"},
        {0, 2, ID_GAME_UNPAUSE, "&Unpause"}, {0, 3, ID_GAME_SPEED, "&Speed"},
        {0, 4, ID_GAME_EXTENDEDTILESET, "Extended &tileset"}, {0, 5, ID_GAME_GAMEOVER, "&Game Over"},
        {0, 6, ID_GAME_EXIT, "E&xit"},     {1, 0, ID_RESULTS_SHOW, "&Show (Ins)"},
        {1, 1, ID_RESULTS_CLEAR, "&Clear"}, {2, 0, ID_HELP_ABOUT, "&About"},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.label);
        HMENU popup = GetSubMenu(menu, item.popup);
        EXPECT_EQ(GetMenuItemID(popup, item.position), static_cast<UINT>(item.id));
        char label[64];
        GetMenuStringA(popup, item.position, label, sizeof label, MF_BYPOSITION);
        EXPECT_STREQ(label, item.label);
        const UINT state = GetMenuState(popup, item.id, MF_BYCOMMAND);
        EXPECT_EQ((state & MF_CHECKED) != 0, item.id == ID_GAME_EXTENDEDTILESET);
        EXPECT_EQ(state & MF_GRAYED, 0u);
    }
    // The dialogs and the icon are there too.
    for (int dialog : {IDD_ABOUT, IDD_NAME, IDD_SPEED})
        EXPECT_NE(FindResourceA(appInstance, MAKEINTRESOURCEA(dialog), reinterpret_cast<LPCSTR>(RT_DIALOG)), nullptr);
    EXPECT_NE(LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APPICON)), nullptr);
}

TEST_F(Startup, ResultsFileFoundAtStart)
{
    switch (startScenario) {
    case StartScenario::Missing:
        EXPECT_TRUE(modalsAtStart.empty());
        EXPECT_EQ(placesAtStart, 10);
        break;
    case StartScenario::Damaged:
        ASSERT_EQ(modalsAtStart.size(), 1u);
        EXPECT_EQ(modalsAtStart[0].text, text::kBadResults);
        // Windows-1250 bytes, shown as the right Czech letters.
        EXPECT_EQ(GetACP(), 1250u);
        EXPECT_EQ(modalsAtStart[0].wideText, L"Neplatná tabulka výsledků.");
        EXPECT_EQ(modalsAtStart[0].caption, text::kBadResultsCaption);
        EXPECT_FALSE(mainVisibleDuringStartBox) << "the box comes before the main window shows";
        EXPECT_EQ(placesAtStart, 10);
        break;
    case StartScenario::Valid:
        EXPECT_TRUE(modalsAtStart.empty());
        EXPECT_EQ(placesAtStart, 8);
        EXPECT_EQ(firstNameAtStart, "Alena");
        EXPECT_EQ(namesOnDisk(), (std::vector<std::string>{"Alena", "Bořek"}));
        break;
    }
}

}  // namespace
