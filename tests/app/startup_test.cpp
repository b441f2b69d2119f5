#include "app/startup.h"
#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"

namespace {

struct Startup : AppTest {};

INT_PTR CALLBACK inertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Where the windows stand and what they show is checked on the real
// program, end to end.
TEST_F(Startup, WindowsAndMenu)
{
    ASSERT_TRUE(atStart.started);
    EXPECT_EQ(GetWindowLongA(mainWindow, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX | 0x00CA0000), 0x00CA0000);
    char classes[2][16];
    GetClassNameA(mainWindow, classes[0], 16), GetClassNameA(resultsWindow, classes[1], 16);
    EXPECT_EQ(std::string(classes[0]) + " " + classes[1], "MyClass Tabulka");
    EXPECT_TRUE(GetWindow(resultsWindow, GW_OWNER) == mainWindow && !IsWindowVisible(resultsWindow));
    EXPECT_FALSE(initApplication()) << "a second start-up is refused";
    for (auto [type, id] : {std::pair{RT_MENU, 101}, {RT_DIALOG, 102}, {RT_DIALOG, 103}, {RT_DIALOG, 104}, {RT_GROUP_ICON, 103}, {RT_VERSION, 1}})
        EXPECT_TRUE(FindResourceExA(appInstance, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_CZECH, SUBLANG_DEFAULT))) << id << ", in Czech";
    for (int id : {ID_GAME_NEW, ID_GAME_PAUSE, ID_GAME_UNPAUSE, ID_GAME_SPEED, ID_GAME_EXTENDEDTILESET,
                   ID_GAME_GAMEOVER, ID_GAME_EXIT, ID_RESULTS_SHOW, ID_RESULTS_CLEAR, ID_HELP_ABOUT})
        EXPECT_EQ(GetMenuState(GetMenu(mainWindow), id, MF_BYCOMMAND), id == ID_GAME_EXTENDEDTILESET ? MF_CHECKED : 0u) << id;
}

TEST_F(Startup, TheResultsFileFoundAtStart)
{
    const bool damaged = atStart.scenario == "damaged", valid = atStart.scenario == "valid";
    ASSERT_EQ(atStart.boxes.size(), damaged ? 1u : 0u) << atStart.scenario;
    if (damaged) {
        EXPECT_EQ(atStart.boxes[0].caption, text::kBadResultsCaption);
        EXPECT_EQ(atStart.boxes[0].text, text::kBadResults);
        EXPECT_EQ(GetACP(), 1250u) << "the Windows-1250 text shows as Czech";
        EXPECT_FALSE(atStart.mainVisibleDuringBox) << "the box comes before the main window shows";
    }
    EXPECT_EQ(atStart.places, valid ? 8 : 10);
    EXPECT_EQ(GetFileAttributesA("tabulka.dat.bad") != INVALID_FILE_ATTRIBUTES, damaged || atStart.scenario == "refused")
        << "an unusable file is kept as tabulka.dat.bad";
}

// Every static text and button caption of the three dialogs fits its control,
// measured with the control's font: a text that wraps past the control's
// height would be cut.
TEST_F(Startup, EveryDialogTextFitsItsControl)
{
    for (int id : {IDD_ABOUT, IDD_NAME, IDD_SPEED}) {
        HWND dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(id), mainWindow,
                                         inertDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << id;
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            char cls[16] = {};
            GetClassNameA(control, cls, sizeof cls);
            const std::string caption = windowText(control);
            if (caption.empty() || (lstrcmpiA(cls, "Button") && (lstrcmpiA(cls, "Static") ||
                                    (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)))
                continue;
            RECT client, needed;
            GetClientRect(control, &client);
            needed = client;
            HDC dc = GetDC(control);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
            DrawTextA(dc, caption.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
            SelectObject(dc, old);
            ReleaseDC(control, dc);
            EXPECT_TRUE(needed.right <= client.right && needed.bottom <= client.bottom)
                << "dialog " << id << ": \"" << caption << "\" needs " << needed.right << " x " << needed.bottom;
        }
        DestroyWindow(dialog);
    }
    modals = {};  // not modal: nothing to answer
}

}  // namespace
