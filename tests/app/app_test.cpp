// The whole program inside the test process, under Wine's null display driver, started once per
// run (tests/CMakeLists.txt) in a folder where main() first makes tabulka.dat what
// LUMOX_START_WITH names. The player's keys, menu commands and answers reach the windows as the
// messages Windows sends for them; what shows is read from the windows, the boxes and the files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>

#include "app/app_state.h"
#include "app/startup.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_file.h"
#include "results/results_window.h"
#include "tests/support/win_test.h"

namespace {

using std::string;
using std::to_string;

string scenario;          // what tabulka.dat is at start-up
string seen;              // the boxes as they came up, and the main window's end
const char* script = "";  // the steps still to take
int repaints[2];          // repaint requests sent with the drawing surface closed, open

string text(HWND window)
{
    char text[512] = {};
    if (window)  // (Wine writes into the buffer even for no window)
        GetWindowTextA(window, text, sizeof text);
    return text;
}

// The board as the main window shows it, a line of text a row ('#': a cell whose light left
// edge is not the empty gray), equal rows one above the other told once.
string board()
{
    string shown;
    string above = "........";
    for (int row = 0, from = 0; row <= 16; ++row) {
        string cells;
        for (int column = 0; column < 8 && row < 16; ++column)
            cells += windowPixel(mainWindow, 1 + 21 * column, 6 + 21 * row) == 0x808080 ? '.' : '#';
        if (cells != above && above != "........")
            shown += "; row" + (from < row - 1 ? "s " + to_string(from) + "-" : " ") +
                     to_string(row - 1) + " " + above;
        from = cells == above ? from : row;
        above = cells;
    }
    return shown;
}

// The status strip under the board: the score, black on the white of the paint's text and of
// the class brush (the scroll-bar colour, white under Wine), where the maker's line leaves the
// strip alone; 0.0 untold.
string strip()
{
    const string score = scoreText;
    if (!windowShows(mainWindow, {0, 337, 90, 362}, 0xFFFFFF, {{0, 0, 0, score}}))
        return "; the strip does not show " + score;
    return score == "0.0" ? "" : "; score " + score;
}

string listed(const ResultsTable& table)
{
    std::ostringstream list;
    list << std::fixed << std::setprecision(1);
    for (int i = 0; i < table.capacity; ++i)
        if (const ResultEntry* entry = table.slots[i])
            list << (list.tellp() ? ", " : "") << entry->name << " " << entry->score;
    return list.tellp() ? list.str() : "no results";
}

// What a file holds, read as start-up reads tabulka.dat.
string file(const char* path)
{
    std::uint32_t length = 0;
    unsigned char* record = loadResultsFile(path, &length);
    ResultsTable table(kResultsCapacity);
    const bool read = record && table.readRecord(record, static_cast<std::int32_t>(length));
    delete[] record;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return "";
    return "; " + string(path) + (read ? ": " + listed(table) : ": not a table");
}

// What shows now: the board, the strip, the boxes, the results window (beside the main window,
// tops level; what it draws is its own test's) with the table it lists, the tileset when not
// the seven pieces of start-up, and tabulka.dat when it holds results or is not a table.
string state()
{
    string shown = seen.empty() ? "" : ";" + seen;
    if (resultsTable) {
        RECT place;
        RECT main;
        GetWindowRect(resultsWindow, &place);
        GetWindowRect(mainWindow, &main);
        shown = board() + strip() + shown;
        if (IsWindowVisible(resultsWindow))
            shown += string("; results window") +
                     (place.left == main.right && place.top == main.top ? ": " : " elsewhere: ") +
                     listed(*resultsTable);
        const bool checked =
            GetMenuState(GetMenu(mainWindow), ID_GAME_EXTENDEDTILESET, 0) == MF_CHECKED;
        if (!checked || pieceSet->count != 7)
            shown += "; Extended tileset " + string(checked ? "" : "un") + "checked, " +
                     to_string(pieceSet->count) + " pieces";
    }
    const string saved = file("tabulka.dat");
    shown += saved == "; tabulka.dat: no results" && resultsTable ? "" : saved;
    shown += resultsTable ? "" : file("tabulka.dat.bad");
    return shown.empty() ? "nothing" : shown.substr(2);
}

// The player's words, each with the code it sends: a key (to the window with the keyboard, or
// to the box that is up), a menu command, or a box's button, the closing ones last.
const string words =
    ",Left,Right,Up,Space,Enter,Down,Escape,Pause/Break,Insert,New,Pause,Unpause,Speed,"
    "Extended tileset,Game Over,Exit,Clear,About,Default,Yes,No,Cancel,OK,";
const WPARAM codes[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_SPACE, VK_RETURN, VK_DOWN, VK_ESCAPE,
                        VK_PAUSE, VK_INSERT, ID_GAME_NEW, ID_GAME_PAUSE, ID_GAME_UNPAUSE,
                        ID_GAME_SPEED, ID_GAME_EXTENDEDTILESET, ID_GAME_GAMEOVER, ID_GAME_EXIT,
                        ID_RESULTS_CLEAR, ID_HELP_ABOUT, IDC_DEFAULT, IDYES, IDNO, IDC_CANCEL,
                        IDC_OK};

// Takes the script's steps (a word, or a step below; " xN" after it: N times) up to its end or,
// while a box is up, up to the answer that closes it; false when the script ended first.
bool play(HWND box)
{
    while (*script) {
        const char* end = script + std::strcspn(script, ",:");
        string step(script, end);
        script = *end ? end + 2 : end;
        const size_t x = step.rfind(" x");
        int times = x < step.size() && std::isdigit(step[x + 2]) ? std::stoi(&step[x + 2]) : 1;
        step.resize(times > 1 ? x : step.size());
        const size_t found = std::min(words.find("," + step + ","), words.size());
        const auto w = std::count(words.begin(), words.begin() + found, ',');  // the word's place
        HWND edit = GetDlgItem(box, 1000);
        for (; times > 0; --times) {
            if (w < 9) {
                PostMessageA(box ? box : GetFocus(), WM_KEYDOWN, codes[w], 0);
            } else if (w < 23) {
                PostMessageA(w < 18 ? mainWindow : box, WM_COMMAND,
                             w == 22 && !GetDlgItem(box, IDC_OK) ? IDOK : codes[w], 0);
            } else if (step == "tick") {
                PostMessageA(mainWindow, WM_TIMER, 1, 0);  // the gravity timer's
            } else if (step.starts_with("close ")) {  // the close box of the box, or of Lumox
                PostMessageA(step == "close box" ? box : mainWindow, WM_CLOSE, 0, 0);
            } else if (step == "OK again") {  // to the dialog under the box that is up
                PostMessageA(GetWindow(box, GW_OWNER), WM_COMMAND, IDC_OK, 0);
            } else if (step == "saves fail") {
                DeleteFileA("tabulka.dat");
                CreateDirectoryA("tabulka.dat", nullptr);
            } else if (step.starts_with("score ")) {
                score = std::stod(step.substr(6));
            } else if (step == "ten results of 9") {  // a to j, saved
                for (char name[] = "a"; *name < 'k'; ++*name)
                    resultsTable->insert(name, 9);
                resultsStore->save(*resultsTable);
            } else if (step.starts_with("type '")) {  // into the edit, which then loses the focus
                const string typed = step.substr(6, step.size() - 7);
                SetWindowTextA(edit, typed.c_str());
                SendMessageA(box, WM_COMMAND, EN_KILLFOCUS << 16 | 1000, 0);
                if (text(edit) != typed)
                    seen.insert(seen.size() - 1, ", " + typed + " becomes " + text(edit));
            } else {
                ADD_FAILURE() << "no such step: " << step;
            }
        }
        if (box && ((w > 18 && w < 23) || step == "Enter" || step == "close box"))
            return true;
        MSG message;
        while (!box && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
            if (message.message == WM_QUIT) {  // the main window is gone: WinMain ends
                seen += " the window closes";
                shutdownApplication();
            }
        }
    }
    return false;
}

// What each box says, by its caption (of a dialog, texts of its controls in a row, each
// followed by '|').
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

// Logs each box as it comes up, and answers it from the script: " [caption", its owner when
// that is not the main window showing, whether the results window shows, what it says when that
// is not what `says` gives, "]". Counts the repaint requests too.
LRESULT CALLBACK onSent(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    HWND box = sent->hwnd;
    HWND owner = GetWindow(box, GW_OWNER);
    if (sent->message == WM_PAINT && box == mainWindow)
        ++repaints[backBuffer.memoryDC != nullptr];
    if (sent->message != WM_INITDIALOG)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    string all = "|";
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        all += text(child) + "|";
    seen += " [" + text(box) +
            (owner == mainWindow && IsWindowVisible(owner) ? ""
             : owner                                       ? ", owner " + text(owner)
                                                           : ", no owner") +
            (IsWindowVisible(resultsWindow) ? ", results showing" : "") +
            (all.find(says[text(box)]) < all.size() ? "" : " saying " + all) + "]";
    if (!play(box)) {
        seen += " (left open)";
        EndDialog(box, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The program as start-up leaves it (the main window with the focus, the board gray, the strip
// at 0.0, no game, the first speed, the seven pieces, an empty table saved) and bars to come,
// the second piece; then the steps, and what shows.
string played(const char* steps)
{
    RemoveDirectoryA("tabulka.dat");
    ShowWindow(resultsWindow, SW_HIDE);
    SetFocus(mainWindow);
    if (pieceSet->count < 7)
        SendMessageA(mainWindow, WM_COMMAND, ID_GAME_EXTENDEDTILESET, 0);
    pieceSet->random = [] { return 2; };
    resetGameState();
    savedPaused = false;
    resultsTable->clear();
    resultsStore->save(*resultsTable);
    well->markAllRows();
    well->removeMarkedRows();
    InvalidateRect(mainWindow, nullptr, TRUE);
    UpdateWindow(mainWindow);
    seen.clear();
    script = steps;
    play(nullptr);
    return state();
}

TEST(Program, OpensItsWindowAtItsPlace)
{
    RECT client;
    POINT corner = {0, 0};
    GetClientRect(mainWindow, &client);
    ClientToScreen(mainWindow, &corner);
    // The style less WS_VISIBLE and WS_CLIPSIBLINGS, which Windows adds.
    std::ostringstream shown;
    shown << text(mainWindow) << " " << client.right << " x " << client.bottom << " at "
          << corner.x << ", " << corner.y << ", style " << std::hex
          << (GetWindowLongA(mainWindow, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS))
          << (GetClassLongPtrA(mainWindow, GCLP_HICON) ? ", an icon" : "");
    EXPECT_EQ("Lumox 169 x 362 at 300, 150, style ca0000, an icon", shown.str());
}

struct Row {
    const char* guards;  // the fault the row would catch
    const char* does;    // what the player does
    const char* shows;   // what shows then
};

const Row rows[] = {
    // keys and the gravity clock
    {"no game: keys and ticks move nothing", "Left, Right, Up, Space, Enter, Down, tick x8",
     "nothing"},
    {"Left, a column a key, stops at the wall", "New, Left x5", "row 0 ####...."},
    {"Right stops at the wall", "New, Left, Right x2", "row 0 ....####"},
    {"Enter steps a row", "New, Enter", "row 1 ....####"},
    {"Down drops and settles; the next piece shows", "New, Down",
     "row 0 ....####; row 15 ....####"},
    {"Enter stops on the stack", "New, Down, Enter x15", "rows 14-15 ....####"},
    {"Down settles a piece that cannot fall", "New, Down, Enter x15, Down",
     "row 0 ....####; rows 14-15 ....####"},
    {"Up turns right; a move erases the turned piece", "New, Enter, Up, Left",
     "rows 0-3 ....#..."},
    {"Up only where the turn fits", "New, Up, Enter", "row 1 ....####"},
    {"Space turns left; a step erases the turned piece", "New, Enter x2, Space, Enter",
     "rows 1-4 .....#.."},
    {"Space only where the turn fits", "New, Enter, Space, Enter", "row 2 ....####"},
    {"New shows no piece before its first step; no step before the 8th tick", "New, tick x7",
     "nothing"},
    {"a step at the 8th tick", "New, tick x8", "row 1 ....####"},
    {"a new piece counts its ticks afresh", "New, tick x5, Down, tick x7",
     "row 0 ....####; row 15 ....####"},
    {"a piece that cannot fall settles at the step", "New, Enter x15, tick x8",
     "row 0 ....####; row 15 ....####"},
    {"a new speed counts afresh", "New, tick x5, Speed: type '50', OK, tick x49",
     "[Rychlost hry]"},
    {"speed 50: a step every 50 ticks", "New, Speed: type '50', OK, tick x50",
     "row 1 ....####; [Rychlost hry]"},
    {"a full row scores, shown while the game runs", "New, Left x4, Down, Down",
     "row 0 ....####; score 1.0"},
    {"no room for the next piece: the end, with no points the box", "New, Down x16, OK",
     "rows 0-15 ....####; [GAME OVER]"},
    // the pause and the focus
    {"Pause/Break stops keys and ticks", "New, Enter, Pause/Break, Left, tick x8",
     "row 1 ....####"},
    {"Pause/Break again goes on", "New, Enter, Pause/Break x2, Left", "row 1 ...####."},
    {"Insert: the results window takes the focus, play stops", "New, Enter, Insert, tick x8",
     "row 1 ....####; results window: no results"},
    {"a key hides the results window; with the focus back play goes on",
     "New, Enter, Insert, Left, tick x8", "row 2 ....####"},
    {"the pause from before the focus went comes back",
     "New, Enter, Pause/Break, Insert, Left, tick x8", "row 1 ....####"},
    {"a key only hides the results window", "Insert, Left, Insert", "results window: no results"},
    // the menu
    {"no game: Game Over does nothing", "Game Over", "nothing"},
    {"Pause", "New, Enter, Pause, tick x8", "row 1 ....####"},
    {"Unpause", "New, Enter, Pause, Unpause, tick x8", "row 2 ....####"},
    {"New asks during a game, held meanwhile; No goes on",
     "New, Enter, Insert, Unpause, New: tick x8, No, tick x8",
     "row 2 ....####; [Konec hry, results showing]; results window: no results"},
    {"New, Yes: the game-over flow, then a new game, unpaused",
     "New, Enter, Pause/Break, New: Yes, OK, Enter", "row 1 ....####; [Konec hry] [GAME OVER]"},
    {"Game Over, No", "New, Enter, Game Over: No, tick x8", "row 2 ....####; [Konec hry]"},
    {"Game Over, Yes: the flow ends the game", "New, Enter, Game Over: Yes, OK, tick x8",
     "row 1 ....####; [Konec hry] [GAME OVER]"},
    {"Exit, No", "New, Enter, Exit: No, tick x8", "row 2 ....####; [Konec hry]"},
    {"the mirror pieces go between games", "Extended tileset",
     "Extended tileset unchecked, 5 pieces"},
    {"and come back", "Extended tileset x2", "nothing"},
    {"no tileset change during a game; the game held while the box is open",
     "New, Enter, Insert, Unpause, Extended tileset: tick x8, OK",
     "row 1 ....####; [Nepovolená změna hry, results showing]; results window: no results"},
    {"the game held while Clear asks", "New, Enter, Insert, Unpause, Clear: tick x8, No",
     "row 1 ....####; [Potvrzení, results showing]; results window: no results"},
    {"Clear, No keeps the table", "New, score 9, Game Over: Yes, type 'a', OK, Escape, Clear: No",
     "[Konec hry] [Zápis do tabulky, results showing] [Potvrzení]; tabulka.dat: a 9.0"},
    {"Clear, Yes empties the table and its file",
     "New, score 9, Game Over: Yes, type 'a', OK, Escape, Clear: Yes",
     "[Konec hry] [Zápis do tabulky, results showing] [Potvrzení]"},
    {"a failed save after Clear is told", "saves fail, Clear: Yes, OK",
     "[Potvrzení] [Chyba]; tabulka.dat: not a table"},
    {"the speed clamped on leaving the edit; Cancel applies nothing",
     "Speed: type '0', type '150', Cancel, New, tick x8",
     "row 1 ....####; [Rychlost hry, 0 becomes 1, 150 becomes 99]"},
    {"the close box applies nothing", "Speed: type '50', close box, New, tick x8",
     "row 1 ....####; [Rychlost hry]"},
    {"Default puts 92, applied only by OK", "Speed: type '50', Default, OK, New, tick x8",
     "row 1 ....####; [Rychlost hry]"},
    {"the dialog opens with the speed in force, 92 at first", "Speed: OK, New, tick x8",
     "row 1 ....####; [Rychlost hry]"},
    {"and 50 once set; Default applies nothing",
     "Speed: type '50', OK, Speed: Default, Cancel, Speed: OK, New, tick x50",
     "row 1 ....####; [Rychlost hry] [Rychlost hry] [Rychlost hry]"},
    {"About: OK closes it", "About: OK", "[O programu]"},
    {"About: the close box closes it", "About: close box", "[O programu]"},
    // the end of a game and the table
    {"the flow with the results shown; an empty name is a space, saved at once",
     "New, score 9, Game Over: Yes, OK",
     "[Konec hry] [Zápis do tabulky, results showing]; results window:   9.0; tabulka.dat:   9.0"},
    {"a name is cut to 19 bytes",
     "New, score 9, Game Over: Yes, type 'abcdefghijklmnopqrstuvwxy', OK",
     "[Konec hry] [Zápis do tabulky, results showing]; results window: abcdefghijklmnopqrs 9.0; "
     "tabulka.dat: abcdefghijklmnopqrs 9.0"},
    {"a name keeps its spaces and letters",
     "New, score 9, Game Over: Yes, type '  Řeřicha  ', OK",
     "[Konec hry] [Zápis do tabulky, results showing]; results window:   Řeřicha   9.0; "
     "tabulka.dat:   Řeřicha   9.0"},
    {"the close box enters nothing", "New, score 9, Game Over: Yes, close box",
     "[Konec hry] [Zápis do tabulky, results showing]; results window: no results"},
    {"Escape leaves the dialog open; Enter is OK",
     "New, score 9, Game Over: Yes, Escape, type 'x', Enter",
     "[Konec hry] [Zápis do tabulky, results showing]; results window: x 9.0; tabulka.dat: x 9.0"},
    {"a result behind an equal score",
     "New, score 9, Game Over: Yes, type 'a', OK, New, score 9, Game Over: Yes, type 'b', OK",
     "[Konec hry] [Zápis do tabulky, results showing] [Konec hry, results showing] [Zápis do "
     "tabulky, results showing]; results window: a 9.0, b 9.0; tabulka.dat: a 9.0, b 9.0"},
    {"a full table whose lowest score is the game's: no place",
     "ten results of 9, New, score 9, Game Over: Yes, OK",
     "[Konec hry] [GAME OVER]; tabulka.dat: a 9.0, b 9.0, c 9.0, d 9.0, e 9.0, f 9.0, g 9.0, "
     "h 9.0, i 9.0, j 9.0"},
    {"a failed save is told over the dialog; a second OK enters the result once",
     "saves fail, New, score 9, Game Over: Yes, type 'a', OK, OK again, OK",
     "[Konec hry] [Zápis do tabulky, results showing] [Chyba, owner Zápis do tabulky, "
     "results showing]; results window: a 9.0; tabulka.dat: not a table"},
    {"New puts 0.0 on a strip cleared of the old score",
     "New, score 12.5, Down, New: Yes, close box",
     "[Konec hry] [Zápis do tabulky, results showing]; results window: no results"},
};

TEST(Program, ShowsWhatThePlayerDoes)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.guards);
        EXPECT_EQ(row.shows, played(row.does)) << row.does;
    }
}

// Each row a piece falls shows at once: a repaint for Enter's step and for each row of a drop,
// sent while the drawing surface is still open; after the drop, two for the settling and the
// next piece.
TEST(Program, RepaintsEveryRowAPieceFalls)
{
    played("New");
    string counted;
    for (const char* step : {"Enter", "Down"}) {
        repaints[0] = 0;
        repaints[1] = 0;
        script = step;
        play(nullptr);
        counted += string(step) + ": " + to_string(repaints[1]) + " open, " +
                   to_string(repaints[0]) + " after; ";
    }
    EXPECT_EQ("Enter: 1 open, 0 after; Down: 14 open, 2 after; ", counted);
}

struct Start {
    const char* with;    // what tabulka.dat is at start-up
    const char* guards;  // the fault the case would catch
    const char* does;    // what the player does then
    const char* shows;   // start-up's boxes and table, what shows then and what the folder keeps
};

const Start starts[] = {
    {"missing", "no file is no error; the close box ends a game with no question, and saves",
     "New, score 9, close Lumox", "table: no results the window closes; tabulka.dat: no results"},
    {"damaged", "a file that fails its check is told before the main window shows; kept aside",
     "Exit", "[Chyba verifikace dat, owner Lumox] table: no results the window closes; "
     "tabulka.dat: no results; tabulka.dat.bad: not a table"},
    {"refused", "a verified record that is refused is silent; Exit, Yes: the flow, then the end",
     "New, Exit: Yes, OK", "table: no results [Konec hry] [GAME OVER] the window closes; "
     "tabulka.dat: no results; tabulka.dat.bad: not a table"},
    {"valid", "the table loaded", "close Lumox",
     "table: Alena 7.5 the window closes; tabulka.dat: Alena 7.5"},
    {"locked", "a file held by another program at start-up is left as it was", "close Lumox",
     "table: no results the window closes; tabulka.dat: Alena 7.5"},
    {"folder", "every failed save told, at the end with no owner",
     "New, score 9, Game Over: Yes, type 'a', OK, OK, close Lumox, OK",
     "table: no results [Konec hry] [Zápis do tabulky, results showing] [Chyba, owner Zápis do "
     "tabulky, results showing] the window closes [Chyba, no owner]; tabulka.dat: not a table"},
};

// Start-up's boxes and table, then what the player does, and what the folder keeps.
TEST(StartAndEnd, KeepWhatTabulkaDatHolds)
{
    for (const Start& start : starts)
        if (start.with == scenario) {
            SCOPED_TRACE(start.guards);
            script = start.does;
            play(nullptr);
            EXPECT_EQ(start.shows, state());
        }
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    scenario = std::getenv("LUMOX_START_WITH");  // set for every run by ctest
    DeleteFileA("tabulka.dat");                   // what an earlier run left
    DeleteFileA("tabulka.dat.bad");
    RemoveDirectoryA("tabulka.dat");
    if (scenario == "folder")
        CreateDirectoryA("tabulka.dat", nullptr);
    ResultsTable table(scenario == "refused" ? 0 : kResultsCapacity);  // no room: refused
    table.insert("Alena", 7.5);
    if (scenario != "missing" && scenario != "play")
        ResultsStore("tabulka.dat").save(table);  // (into the folder, it fails)
    if (scenario == "damaged")
        std::ofstream("tabulka.dat") << "damaged";
    HANDLE lock = CreateFileA(scenario == "locked" ? "tabulka.dat" : "", GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetWindowsHookExA(WH_CALLWNDPROCRET, onSent, nullptr, GetCurrentThreadId());
    script = "OK";  // for a box at start-up
    appInstance = GetModuleHandleA(nullptr);
    if (!initApplication())
        return 1;
    KillTimer(mainWindow, 1);  // the rows tick the gravity clock themselves
    CloseHandle(lock);
    seen += " table: " + listed(*resultsTable);  // after start-up's boxes
    return RUN_ALL_TESTS();
}
