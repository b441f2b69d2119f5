// The whole program in the test process under Wine's null display driver, once per run in a
// folder of its own (tests/CMakeLists.txt), driven with the messages the player's input sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

#include "app/app_state.h"
#include "app/startup.h"
#include "core/game_state.h"
#include "draw/gdi_objects.h"
#include "resources/resource.h"
#include "results/results_window.h"
#include "tests/support/win_test.h"

namespace {

using std::string;

string scenario;          // what tabulka.dat is at start-up
string seen;              // the boxes as they came up
const char* script = "";  // the steps still to take
int repaints;             // repaint requests sent while the drawing surface is open

string text(HWND window)
{
    char text[512];
    GetWindowTextA(window, text, 512);
    return text;
}

string listed(const ResultsTable& table)
{
    string list;
    char entry[40];
    for (int i = 0; i < table.capacity; ++i)
        if (ResultEntry* result = table.slots[i]) {
            std::snprintf(entry, 40, " (%s %.1f)", result->name, result->score);
            list += entry;
        }
    return list;
}

// The results window beside the main window (the outer right edge, tops level), or elsewhere.
string results()
{
    RECT place, main;
    GetWindowRect(resultsWindow, &place);
    GetWindowRect(mainWindow, &main);
    bool beside = place.left == main.right && place.top == main.top;
    return !IsWindowVisible(resultsWindow) ? "" : beside ? ", results beside"
                                                         : ", results elsewhere";
}

// The board's rows with a tile ('#': a light left edge not the empty gray), the score unless the
// strip shows 0.0 alone (left of the maker's line: black on white, on the class brush of the
// scroll bars' colour), the boxes, the results window, and tabulka.dat as start-up reads it.
string state()
{
    string shown, score = scoreText;
    HDC dc = GetDC(mainWindow);
    for (int row = 0; row < 16 && resultsTable; ++row) {  // (not after the end)
        string cells;
        for (int x = 1; x < 169; x += 21)
            cells += GetPixel(dc, x, 6 + 21 * row) == 0x808080 ? '.' : '#';
        if (cells != "........")
            shown += "; row " + std::to_string(row) + " " + cells;
    }
    ReleaseDC(mainWindow, dc);
    if (resultsTable && !windowShows(mainWindow, {0, 337, 90, 362},
                                     GetSysColorBrush(COLOR_SCROLLBAR), 0xFFFFFF,
                                     {{0, 337, 0, scoreText}}))
        shown += "; the strip does not show " + score;
    else if (resultsTable && score != "0.0")
        shown += "; score " + score;
    shown += seen + results();
    ResultsTable table(kResultsCapacity);
    auto file = ResultsStore("tabulka.dat").load(table);
    if (file != LoadOutcome::NoFile)
        shown += "; tabulka.dat" + (file == LoadOutcome::Loaded ? listed(table) : " not a table");
    return shown.erase(0, 2);
}

// The player's words and their codes: nine keys (to the box up, or else to the focus), then menu
// commands (to Lumox) and buttons (to the box up) as WM_COMMAND, then the close box.
string words = "Left,Right,Up,Space,Enter,Down,Escape,Pause/Break,Insert,New,Pause,"
              "Unpause,Speed,Extended tileset,Game Over,Exit,Clear,About,Default,Yes,No,"
              "Cancel,OK,close box,";
WPARAM codes[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_SPACE, VK_RETURN, VK_DOWN, VK_ESCAPE,
                  VK_PAUSE, VK_INSERT, ID_GAME_NEW, ID_GAME_PAUSE, ID_GAME_UNPAUSE,
                  ID_GAME_SPEED, ID_GAME_EXTENDEDTILESET, ID_GAME_GAMEOVER, ID_GAME_EXIT,
                  ID_RESULTS_CLEAR, ID_HELP_ABOUT, IDC_DEFAULT, IDYES, IDNO, IDC_CANCEL,
                  IDC_OK, SC_CLOSE};

// Takes the script's steps (" xN": N times; a box's answers end with "; ") to its end, or for a
// box to the end of its answers; false when there were none.
bool play(HWND box)
{
    std::cmatch step;
    while (std::regex_search(script, step,
                             std::regex("(.+?)(?: x(\\d+)| '(.*?)'| ([\\d.]+))?(, |: |; |$)"))) {
        script = step.suffix().first;
        string word = step[1];
        auto w = std::ranges::count(words.substr(0, words.find(word + ",")), ',');
        int times = std::stoi("0" + step.str(2));
        do {
            if (w < 24)
                PostMessageA(box ? box : w < 9 ? GetFocus() : mainWindow,
                             w < 9 ? WM_KEYDOWN : w < 23 ? WM_COMMAND : WM_SYSCOMMAND, codes[w], 0);
            else if (word == "tick")  // the gravity timer's, even under a box
                PostMessageA(mainWindow, WM_TIMER, 1, 0);
            else if (word == "close results")  // its close box, even under a box
                PostMessageA(resultsWindow, WM_CLOSE, 0, 0);
            else if (word == "OK again")  // to the dialog under the box that is up
                PostMessageA(GetWindow(box, GW_OWNER), WM_COMMAND, IDC_OK, 0);
            else if (word == "score")
                score = std::stod(step[4]);
            else if (word == "type") {  // into the edit, which then loses the focus
                SetDlgItemTextA(box, 1000, step.str(3).c_str());
                SendMessageA(box, WM_COMMAND, EN_KILLFOCUS << 16 | 1000, 0);
                seen += "; the edit shows " + text(GetDlgItem(box, 1000));
            } else
                ADD_FAILURE() << "no such step: " << word;
        } while (--times > 0);
        if (box && step[5] != ", ")
            return true;
        for (MSG message; !box && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageA(&message);
    }
    return false;
}

// What each box says, by its caption (of a dialog, its controls' texts, each followed by '|').
std::map<string, string> says = {
    {"Konec hry", "Opravdu chcete skončit Vaši rozehrátou hru?"},
    {"GAME OVER", "Hra pro tebe konci, sraci..."},
    {"Potvrzení", "Tímto smažete své výsledky!!!\nThis will erase yours results!!!"},
    {"Nepovolená změna hry", "Nelze změnit tileset.\nNejdříve ukončete rozehranou hru."},
    {"Chyba", "Nelze uložit tabulku."},
    {"Chyba verifikace dat", "Neplatná tabulka výsledků."},
    {"O programu",
     "|Ovládání:\nposun - šipky vlevo a vpravo\nrotace vpravo - šipka nahoru\nrotace vlevo - "
     "space\nrychlé usazení kostky - šipka dolů\nrychlý posun kostky dolů - Enter\npozastavení "
     "hry - Pause/Break\nzobrazení tabulky - Insert|"},
    {"Rychlost hry", "|OK|Cancel|Default|"},
    {"Zápis do tabulky", "|Vaše jméno||OK|"},
};

// Logs each box (its owner unless the main window showing, the results window, what it says if
// not `says`) and answers it; counts the repaints sent while the drawing surface is open.
LRESULT CALLBACK onSent(int, WPARAM, LPARAM lParam)
{
    auto sent = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    HWND box = sent->hwnd;
    HWND owner = GetWindow(box, GW_OWNER);
    repaints += sent->message == WM_PAINT && backBuffer.memoryDC;
    if (sent->message != WM_INITDIALOG)
        return 0;
    string all = "|";
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        all += text(child) + "|";
    seen += "; [" + text(box) +
            (owner == mainWindow && IsWindowVisible(owner) ? "" : owner ? ", owner " + text(owner)
                                                                        : ", no owner") +
            results() + (all.find(says[text(box)]) < all.size() ? "]" : ", saying " + all + "]");
    if (!play(box))
        EndDialog(box, 0);  // left open by the script
    return 0;  // the only hook there is
}

// From no game, the first speed, the seven pieces, no results and no file: the steps, and what
// shows.
string played(const char* steps)
{
    DeleteFileA("tabulka.dat");
    ShowWindow(resultsWindow, SW_HIDE);
    resultsTable->clear();
    gameRunning = false;
    if (pieceSet->count < 7)
        SendMessageA(mainWindow, WM_COMMAND, ID_GAME_EXTENDEDTILESET, 0);
    SendMessageA(mainWindow, WM_COMMAND, ID_GAME_NEW, 0);
    resetGameState();
    seen = "";
    script = steps;
    play(nullptr);
    return state();
}

// The board at its place, the client area 169 x 362 at (300, 150) on the screen; each row a
// piece falls shown at once, with a repaint sent while the drawing surface is still open.
TEST(Program, ShowsTheBoardAtItsPlaceEveryRowAPieceFalls)
{
    RECT client, wanted = {300, 150, 169, 362};
    GetClientRect(mainWindow, &client);
    ClientToScreen(mainWindow, reinterpret_cast<POINT*>(&client));  // the corner; the size stays
    EXPECT_TRUE(EqualRect(&wanted, &client));
    repaints = 0;
    played("New, Enter, Down");
    EXPECT_EQ(15, repaints);  // 1 for Enter, 14 for Down
}

// What the player does, and what shows then; each row under the fault it would catch.
const std::pair<const char*, const char*> rows[] = {
    // No game: keys, ticks and Game Over do nothing.
    {"Left, Right, Up, Space, Enter, Down, tick x8, Game Over", ""},
    // A new game shows no piece before its first step, and none before the 8th tick.
    {"New, tick x7", ""},
    // A step at the 8th tick; Enter steps a row; Left and Right move a column a key.
    {"New, tick x8, Enter, Left x2, Right", "row 2 ...####."},
    // Down drops and settles; the next piece counts its ticks afresh.
    {"New, tick x5, Down, tick x7", "row 0 ....####; row 15 ....####"},
    // A piece that cannot fall settles at the step.
    {"New, Enter x15, tick x8", "row 0 ....####; row 15 ....####"},
    // Up turns right; a move after the turn erases the turned piece.
    {"New, Enter, Up, Left", "row 0 ....#...; row 1 ....#...; row 2 ....#...; row 3 ....#..."},
    // Space turns left; a step after the turn erases the turned piece.
    {"New, Enter x2, Space, Enter",
     "row 1 .....#..; row 2 .....#..; row 3 .....#..; row 4 .....#.."},
    // Pause/Break and Pause stop keys and ticks and start the count afresh; Pause/Break again and
    // Unpause let them go on.
    {"New, Enter, tick x5, Pause/Break, Left, tick x8, Pause/Break, Left, Pause, tick x8, Unpause, "
     "tick x7",
     "row 1 ...####."},
    // The strip shows the score while the game runs.
    {"New, Left x4, Down x2", "row 0 ....####; score 1.0"},
    // Insert: the results window takes the focus and stops play; a key hides it and play goes
    // on; the pause from before the focus went comes back.
    {"New, Enter, Insert, tick x8, Left, tick x8, Pause/Break, Insert, Left, tick x8, Insert",
     "row 2 ....####, results beside"},
    // New, Game Over and Exit ask during a game (unpaused, the focus away), which they hold.
    {"New, Enter, Insert, Unpause, New: tick x8, No; Game Over: No; Exit: No; tick x8",
     "row 2 ....####; [Konec hry, results beside]; [Konec hry, results beside]; [Konec hry, "
     "results beside], results beside"},
    // New, Yes: the game-over flow (no points: the box), a new game, unpaused; then Game Over.
    {"New, Enter, Pause/Break, New: Yes; Enter; Enter, Game Over: Yes; Enter; tick x8",
     "row 1 ....####; [Konec hry]; [GAME OVER]; [Konec hry]; [GAME OVER]"},
    // Between games Extended tileset takes the mirror pieces out: the first piece of five.
    {"Extended tileset, New, Enter", "row 1 .....#..; row 2 ....###."},
    // And puts them back: the second of seven, the bar.
    {"Extended tileset x2, New, Enter", "row 1 ....####"},
    // During a game the tileset is refused and Clear asks, the game held while each box is up
    // (unpaused, the focus away).
    {"New, Enter, Insert, Unpause, Extended tileset: tick x8, Enter; "
     "Insert, Unpause, Clear: tick x8, No",
     "row 1 ....####; [Nepovolená změna hry, results beside]; [Potvrzení, results beside], "
     "results beside"},
    // The pieces stay after the refusal.
    {"New, Extended tileset: Enter; Game Over: Yes; Enter; New, Enter",
     "row 1 ....####; [Nepovolená změna hry]; [Konec hry]; [GAME OVER]"},
    // Clear, No keeps the table.
    {"New, score 9, Game Over: Yes; type 'a', OK; Clear: No",
     "[Konec hry]; [Zápis do tabulky, results beside]; the edit shows a; [Potvrzení, results "
     "beside], results beside; tabulka.dat (a 9.0)"},
    // Clear, Yes empties the table and its file.
    {"New, score 9, Game Over: Yes; type 'a', OK; Clear: Yes",
     "[Konec hry]; [Zápis do tabulky, results beside]; the edit shows a; [Potvrzení, results "
     "beside], results beside; tabulka.dat"},
    // Default puts 92, applied by OK; the close box, and Cancel, apply nothing; leaving the edit
    // turns 0 into 1 and 150 into 99; the dialog opens at the speed in force.
    {"Speed: type '50', Default, OK; Speed: type '50', close box; Speed: type '0', type '150', "
     "Cancel; Speed: OK; New, tick x8",
     "row 1 ....####; [Rychlost hry]; the edit shows 50; [Rychlost hry]; the edit shows 50; "
     "[Rychlost hry]; the edit shows 1; the edit shows 99; [Rychlost hry]"},
    // Speed 50: a step every 50 ticks, counted afresh; the dialog opens at 50, and Default
    // without OK applies nothing.
    {"New, tick x5, Speed: type '50', OK; tick x49, Speed: Default, Cancel; Speed: OK; tick x50",
     "row 1 ....####; [Rychlost hry]; the edit shows 50; [Rychlost hry]; [Rychlost hry]"},
    // About: OK and the close box close it.
    {"About: OK; About: close box", "[O programu]; [O programu]"},
    // The results window shown: the close box enters nothing; Escape leaves the dialog open,
    // Enter is OK; an empty name is a space, saved at once.
    {"New, score 9, Game Over: Yes; close box; New, score 9, Game Over: Yes; Escape, Enter",
     "[Konec hry]; [Zápis do tabulky, results beside]; [Konec hry, results beside]; [Zápis do "
     "tabulky, results beside], results beside; tabulka.dat (  9.0)"},
    // The results window closed while the name is asked comes back with the result.
    {"New, score 9, Game Over: Yes; close results, type 'a', OK",
     "[Konec hry]; [Zápis do tabulky, results beside]; the edit shows a, results beside; "
     "tabulka.dat (a 9.0)"},
    // A name is cut to 19 bytes, and keeps its spaces and letters.
    {"New, score 9, Game Over: Yes; type 'abcdefghijklmnopqrstuvwxy', OK; New, score 8, Game "
     "Over: Yes; type '  Řeřicha  ', OK",
     "[Konec hry]; [Zápis do tabulky, results beside]; the edit shows abcdefghijklmnopqrstuvwxy; "
     "[Konec hry, results beside]; [Zápis do tabulky, results beside]; the edit shows   Řeřicha  "
     ", results beside; tabulka.dat (abcdefghijklmnopqrs 9.0) (  Řeřicha   8.0)"},
    // New puts 0.0 on a strip cleared of the old score.
    {"New, score 12.5, Down, New: Yes; close box",
     "[Konec hry]; [Zápis do tabulky, results beside], results beside"},
};

TEST(Program, ShowsWhatThePlayerDoes)
{
    for (auto [does, shows] : rows)
        EXPECT_EQ(shows, played(does));
    EXPECT_FALSE(liveGdiObjects());  // no pen, brush or DC left by any row
}

// What tabulka.dat is at start-up, what the player does then, and start-up's boxes and table,
// the end's, and what the folder keeps.
const std::tuple<const char*, const char*, const char*> starts[] = {
    // No file is no error; the close box ends a game with no question, and saves.
    {"missing", "New, score 9, close box", "table; tabulka.dat"},
    // A file that fails its check is told before the main window shows.
    {"damaged", "Exit", "[Chyba verifikace dat, owner Lumox]; table; tabulka.dat"},
    // A verified record that is refused is silent; Exit, Yes: the flow, then the end.
    {"refused", "New, Exit: Yes; Enter", "table; [Konec hry]; [GAME OVER]; tabulka.dat"},
    // The table loaded; it has one slot, so a score equal to Alena's has no place: no name asked.
    {"valid", "New, score 7.5, Exit: Yes; Enter",
     "table (Alena 7.5); [Konec hry]; [GAME OVER]; tabulka.dat (Alena 7.5)"},
    // A file held by another program at start-up left as it was, and the table not saved.
    {"locked", "close box", "table; tabulka.dat (Alena 7.5)"},
    // Each failed save told: over the name dialog, where a second OK enters nothing more, and at
    // the end with no owner.
    {"folder", "New, score 9, Game Over: Yes; OK; OK again, Enter; close box",
     "table; [Konec hry]; [Zápis do tabulky, results beside]; [Chyba, owner Zápis do tabulky, "
     "results beside]; [Chyba, no owner]; tabulka.dat not a table"},
};

// The start-up, the player's steps and the end: the main window gone, what the folder keeps.
TEST(StartAndEnd, KeepWhatTabulkaDatHolds)
{
    for (auto [with, does, shows] : starts)
        if (with == scenario) {
            script = does;
            play(nullptr);
            EXPECT_FALSE(IsWindow(mainWindow));
            shutdownApplication();
            EXPECT_EQ(shows, state());
        }
}

}  // namespace

// Makes tabulka.dat what LUMOX_START_WITH names, starts the program and runs the tests: the
// player's, or for a start other than "play", the start and end.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    scenario = std::getenv("LUMOX_START_WITH");
    GTEST_FLAG_SET(filter, scenario == "play" ? "Program.*" : "StartAndEnd.*");
    DeleteFileA("tabulka.dat");  // what an earlier run left
    if (scenario == "folder")
        CreateDirectoryA("tabulka.dat", nullptr);
    // Refused: no room at all. Valid: one slot.
    ResultsTable table(scenario == "refused" ? 0 : scenario == "valid" ? 1 : kResultsCapacity);
    table.insert("Alena", 7.5);
    if (scenario != "missing")
        ResultsStore("tabulka.dat").save(table);  // (into the folder, it fails)
    if (scenario == "damaged")
        _lclose(_lcreat("tabulka.dat", 0));  // too short for a record
    HFILE lock = _lopen(scenario == "locked" ? "tabulka.dat" : "", OF_SHARE_EXCLUSIVE);
    const int strip = COLOR_SCROLLBAR;
    const COLORREF paper = 0x30C0F0;  // the scroll bars' colour, and nothing else's
    SetSysColors(1, &strip, &paper);
    SetWindowsHookExA(WH_CALLWNDPROCRET, onSent, nullptr, GetCurrentThreadId());
    appInstance = GetModuleHandleA(nullptr);
    initApplication();
    KillTimer(mainWindow, 1);  // the rows tick the gravity clock themselves
    _lclose(lock);
    // The bar, second of the seven pieces; the first piece of the five without the mirrors.
    pieceSet->random = [] { return pieceSet->count - 5; };
    seen += "; table" + listed(*resultsTable);  // after start-up's boxes
    return RUN_ALL_TESTS();
}
