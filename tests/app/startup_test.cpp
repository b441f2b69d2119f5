#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/texts.h"
#include "app_start.h"
#include "core/game_state.h"
#include "resources/resource.h"

namespace {

class Startup : public AppTest {};

TEST_F(Startup, WindowsStandWhereAndHowTheyShould)
{
    ASSERT_TRUE(atStart.started);
    POINT origin = {0, 0};
    ClientToScreen(mainWindow, &origin);
    RECT client;
    GetClientRect(mainWindow, &client);
    EXPECT_EQ(std::make_tuple(origin.x, origin.y, client.right, client.bottom), std::make_tuple(300, 150, 169, 362));
    const LONG style = GetWindowLongA(mainWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "a fixed frame";
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

    // The menu holds every command the code uses; only the tileset is checked.
    HMENU menu = GetMenu(mainWindow);
    for (int id : {ID_GAME_NEW, ID_GAME_PAUSE, ID_GAME_UNPAUSE, ID_GAME_SPEED, ID_GAME_EXTENDEDTILESET,
                   ID_GAME_GAMEOVER, ID_GAME_EXIT, ID_RESULTS_SHOW, ID_RESULTS_CLEAR, ID_HELP_ABOUT}) {
        const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
        ASSERT_NE(state, static_cast<UINT>(-1)) << id;
        EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED), id == ID_GAME_EXTENDEDTILESET ? MF_CHECKED : 0u) << id;
    }
}

TEST_F(Startup, TheResultsFileFoundAtStart)
{
    const bool damaged = atStart.scenario == "damaged";
    const bool valid = atStart.scenario == "valid";
    ASSERT_EQ(atStart.boxes.size(), damaged ? 1u : 0u) << atStart.scenario;
    if (damaged) {
        EXPECT_EQ(atStart.boxes[0].caption, text::kBadResultsCaption);
        EXPECT_EQ(GetACP(), 1250u);
        EXPECT_EQ(atStart.boxes[0].wideText, L"Neplatná tabulka výsledků.") << "Windows-1250 shown as Czech";
        EXPECT_FALSE(atStart.mainVisibleDuringBox) << "the box comes before the main window shows";
    }
    EXPECT_EQ(atStart.places, valid ? 8 : 10);
    const bool kept = GetFileAttributesA("tabulka.dat.bad") != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(kept, damaged || atStart.scenario == "refused") << "an unusable file is kept as tabulka.dat.bad";
    if (valid) {
        EXPECT_EQ(namesOnDisk(), (std::vector<std::string>{"Alena", "Bořek"}));
    }
}

// Every static text and button caption of the three dialogs fits its
// control, measured with the control's own font: a text that wraps beyond
// the control's height would be cut.
TEST_F(Startup, EveryDialogTextFitsItsControl)
{
    for (int id : {IDD_ABOUT, IDD_NAME, IDD_SPEED}) {
        HWND dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(id), mainWindow,
                                         [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        ASSERT_NE(dialog, nullptr) << "dialog " << id;
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            char cls[16] = {}, caption[512] = {};
            GetClassNameA(control, cls, sizeof cls);
            GetWindowTextA(control, caption, sizeof caption);
            const bool icon = (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            if ((lstrcmpiA(cls, "Static") && lstrcmpiA(cls, "Button")) || !*caption || (!lstrcmpiA(cls, "Static") && icon))
                continue;
            RECT client, needed;
            GetClientRect(control, &client);
            needed = client;
            HDC dc = GetDC(control);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
            DrawTextA(dc, caption, -1, &needed, DT_CALCRECT | DT_WORDBREAK);
            SelectObject(dc, old);
            ReleaseDC(control, dc);
            EXPECT_TRUE(needed.right <= client.right && needed.bottom <= client.bottom)
                << "dialog " << id << ": \"" << caption << "\" needs " << needed.right << " x " << needed.bottom;
        }
        DestroyWindow(dialog);
    }
    modals() = {};  // the dialogs made here were not modal
}

TEST_F(Startup, TheStatusStripShowsTheScore)
{
    InvalidateRect(mainWindow, nullptr, TRUE);
    UpdateWindow(mainWindow);
    HDC dc = GetDC(mainWindow);
    const int top = boardGeometry->pixelHeight;
    const int score = countPixels(dc, 0, top, 30, top + 25, RGB(0, 0, 0));
    const int maker = countPixels(dc, 169 - 72, top, 169, top + 25, RGB(0, 0, 0));
    ReleaseDC(mainWindow, dc);
    EXPECT_GT(score, 10) << "\"0.0\" in black at the left of the strip";
    EXPECT_GT(maker, 10) << "the maker's line at the right of the strip";
    EXPECT_STREQ(scoreText, "0.0");
}

}  // namespace
