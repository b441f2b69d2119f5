// The whole program inside the test process. main() starts it in the current folder, after
// making tabulka.dat what LUMOX_START_WITH names: missing, damaged, refused, valid, locked (held
// open with no sharing during start-up) or folder. The last case shuts the program down.
//
// A case is a row "script => what shows -- the fault it guards against". The script runs from
// the idle program of start-up (see the first test), one character an action:
//   L R U (space) E D P I  the keys Left, Right, Up, space, Enter, Down, Pause and Insert, sent
//                          to the window that has the keyboard focus
//   . n p u s t g x c a    a tick of the gravity timer; the menu's New, Pause, Unpause, Speed,
//                          Extended tileset, Game Over, Exit, Clear and About
//   $                      the score 9.0, and the piece settles below the board, which ends
//                          the game
//   F                      tabulka.dat becomes a folder, so that saves fail; again, it is gone
//   |                      (anywhere in the script) the pieces are the bar, not the square
//   W                      rows 0 and 15 full but for columns 0 and 1
//   (...)                  the answers to the box or dialog that comes up next, given as it
//                          comes up (a tick there goes to the main window):
//   + - ! = % * ~ #        Yes, No, a box's OK, a dialog's OK, Cancel, Default, Escape (the
//                          cancel command it sends) and the close box
//   'text'                 typed into the edit box, which then loses the focus
// What shows (state()): " basic set" without the mirror pieces; the board's rows that show more
// than its gray field, as the window shows them ('#': a cell of another colour); whether the
// results window shows, and the colours of its text as they come from the top (r: the brick
// red of the best, b: black); each box as it came up, with the edit box's text after typing
// (=text); what tabulka.dat holds ("-": no table).
#include <gtest/gtest.h>

#include <fstream>

#include "app/app_state.h"
#include "app/startup.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_window.h"
#include "tests/support/win_test.h"

namespace {

using std::string;

string scenario;
string atStart;  // the boxes of start-up and the table it loaded
string seen;     // the boxes and dialogs of this row
string steps;    // the script of this row
const char* script;

string text(HWND window)
{
    char text[512] = {};
    if (window)  // (Wine writes into the buffer even for no window)
        GetWindowTextA(window, text, sizeof text);
    return text;
}

string listed(const ResultsTable& table)
{
    string list;
    for (int i = 0; i < table.capacity; ++i)
        if (const ResultEntry* entry = table.slots[i])
            list += " <" + string(entry->name) + ">" + std::to_string(entry->score);
    return list;
}

string onDisk(const char* path)
{
    ResultsTable table(kResultsCapacity);
    return ResultsStore(path).load(table) == LoadOutcome::Loaded ? listed(table) : " -";
}

string state()
{
    string shown = pieceSet->count < 7 ? " basic set" : "";
    for (int y = 11; y < 336; y += 21) {  // the centres of the cells, 21 pixels apart
        string cells;
        for (int x = 11; x < 168; x += 21)
            cells += windowPixel(mainWindow, x, y) == 0x808080 ? '.' : '#';
        if (cells != "........")
            shown += " " + std::to_string(y / 21) + ":" + cells;
    }
    if (IsWindowVisible(resultsWindow)) {
        shown += " (results)";
        // Its first 40 lines, the first two results: r or b as the colour changes.
        for (int pixel = 0; pixel < 6000; ++pixel) {
            const COLORREF colour = windowPixel(resultsWindow, pixel % 150, pixel / 150);
            const string letter = colour == 0x2040C0 ? " r" : colour == 0 ? " b" : "";
            if (!shown.ends_with(letter))  // (every string ends with "")
                shown += letter;
        }
    }
    return shown + seen + onDisk("tabulka.dat");
}

// Runs the script to its end or, for a box, to the ')' that ends its answers; false when the
// script ended first.
bool run(HWND box)
{
    while (*script) {
        const char c = *script++;
        const size_t i = string("LRU EDPI.npustgxca+-!=%*~#").find(c);
        const WPARAM ids[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_SPACE, VK_RETURN, VK_DOWN, VK_PAUSE,
                              VK_INSERT,
                              1,  // the gravity timer
                              ID_GAME_NEW, ID_GAME_PAUSE, ID_GAME_UNPAUSE, ID_GAME_SPEED,
                              ID_GAME_EXTENDEDTILESET, ID_GAME_GAMEOVER, ID_GAME_EXIT,
                              ID_RESULTS_CLEAR, ID_HELP_ABOUT,
                              IDYES, IDNO, IDOK, IDC_OK, IDC_CANCEL, IDC_DEFAULT, IDCANCEL, 0};
        if (i < 8)
            PostMessageA(GetFocus(), WM_KEYDOWN, ids[i], 0);
        else if (i != string::npos)
            PostMessageA(i < 18 ? mainWindow : box,
                         c == '.' ? WM_TIMER : c == '#' ? WM_CLOSE : WM_COMMAND, ids[i], 0);
        if (c == '$') {
            score = 9.0;
            fallingPiece->y = 16;  // below the board: settling there ends the game
            fallingPiece->settle();
        }
        for (int row : {0, 15})
            for (int column = 2; c == 'W' && column < 8; ++column)
                well->setCell(column, row, pieceSet->slots[0]);
        if (c == 'F' && !RemoveDirectoryA("tabulka.dat")) {
            DeleteFileA("tabulka.dat");
            CreateDirectoryA("tabulka.dat", nullptr);
        }
        if (c == '\'') {
            const char* end = strchr(script, '\'');
            SetDlgItemTextA(box, 1000, string(script, end).c_str());
            SendMessageA(box, WM_COMMAND, EN_KILLFOCUS << 16 | 1000, 0);
            seen += " =" + text(GetDlgItem(box, 1000));
            script = end + 1;
        }
        if (c == ')')
            return true;
        if (!box)
            pumpMessages();
    }
    return false;
}

// Logs a box or dialog as it comes, before it shows ("(results)": the results window shows;
// "(no main window)": the window that owns it does not show, or there is none), and answers it.
LRESULT CALLBACK onMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    const HWND box = sent->hwnd;
    if (sent->message == WM_INITDIALOG) {
        seen += " [" + text(box) + ": " + text(GetDlgItem(box, 0xFFFF)) +
                (IsWindowVisible(resultsWindow) ? " (results)" : "") +
                (IsWindowVisible(GetWindow(box, GW_OWNER)) ? "" : " (no main window)") + "]";
        if (!run(box))
            EndDialog(box, 0);  // left unanswered
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const char* const rows[] = {
    // keys
    "LRU ED......... => -- no game: keys and ticks move nothing",
    "nLLLLL => 0:##...... 1:##...... -- Left, a column a key, stops at the wall",
    "nRRR => 0:......## 1:......## -- Right stops at the wall",
    "nE => 1:....##.. 2:....##.. -- Enter steps a row",
    "nD => 0:....##.. 1:....##.. 14:....##.. 15:....##.. -- Down drops and settles; the next "
    "piece shows",
    "nDEEEEEEEEEEEEEEE => 12:....##.. 13:....##.. 14:....##.. 15:....##.. -- Enter stops on the "
    "stack",
    "nDEEEEEEEEEEEEEEED => 0:....##.. 1:....##.. 12:....##.. 13:....##.. 14:....##.. 15:....##.. "
    "-- Down settles a piece that cannot fall",
    "|nEU => 0:.....#.. 1:.....#.. 2:.....#.. 3:.....#.. -- Up turns right",
    "|nU => -- Up only where the turn fits",
    "|nEE  => 0:.....#.. 1:.....#.. 2:.....#.. 3:.....#.. -- space turns left",
    "|nE  => 1:....#### -- space only where the turn fits",
    // gravity
    "n....... => -- no step before the 8th tick",
    "n........ => 1:....##.. 2:....##.. -- a step at the 8th",
    "n.....D....... => 0:....##.. 1:....##.. 14:....##.. 15:....##.. -- a new piece counts its "
    "ticks afresh",
    "n.....D........ => 1:....##.. 2:....##.. 14:....##.. 15:....##.. -- and steps at its 8th",
    "n.....s('50'=)................................................. => [Rychlost hry: 1 - 99] "
    "=50 -- a new speed counts its ticks afresh",
    "n.....s('50'=).................................................. => 1:....##.. 2:....##.. "
    "[Rychlost hry: 1 - 99] =50 -- speed 50: a step every 50 ticks",
    "nEEEEEEEEEEEEEEE........ => 0:....##.. 1:....##.. 14:....##.. 15:....##.. -- a piece that "
    "cannot fall settles at the step",
    // the pause and the focus
    "nPL......... => -- Pause stops keys and ticks",
    "nPPL => 0:...##... 1:...##... -- Pause again goes on",
    "nI.................. => (results) -- Insert: the results window takes the focus, play stops",
    "nIL........ => 1:....##.. 2:....##.. -- a key hides the results window; with the focus back "
    "play goes on",
    "nPIL........ => -- the pause from before the focus went comes back",
    "nILI => (results) -- the key only hid the window",
    // menu commands; "nIu" leaves the focus with the results window, and play unpaused
    "g => -- no game: Game Over does nothing",
    "np........ => -- New without a game asks nothing; Pause",
    "npu........ => 1:....##.. 2:....##.. -- Unpause",
    "nLPn(-)........ => 0:...##... 1:...##... [Konec hry: Opravdu chcete skončit Vaši rozehrátou "
    "hru?] -- New asks during a game; No leaves it as it was",
    "nLPn(+)(!)........ => 1:....##.. 2:....##.. [Konec hry: Opravdu chcete skončit Vaši "
    "rozehrátou hru?] [GAME OVER: Hra pro tebe konci, sraci...] -- New, Yes: the game-over flow, "
    "then a new game, unpaused",
    "nLPg(-)........ => 0:...##... 1:...##... [Konec hry: Opravdu chcete skončit Vaši rozehrátou "
    "hru?] -- Game Over, No",
    "nLg(+)(!)........ => 0:...##... 1:...##... [Konec hry: Opravdu chcete skončit Vaši "
    "rozehrátou hru?] [GAME OVER: Hra pro tebe konci, sraci...] -- Game Over, Yes: the flow ends "
    "the game",
    "nLPx(-)........ => 0:...##... 1:...##... [Konec hry: Opravdu chcete skončit Vaši rozehrátou "
    "hru?] -- Exit, No",
    "nIug(........-) => (results) [Konec hry: Opravdu chcete skončit Vaši rozehrátou hru? "
    "(results)] -- the game stopped while the question is open",
    "t => basic set -- the mirror pieces go between games",
    "t => -- and come back",
    "nIut(........!) => (results) [Nepovolená změna hry: Nelze změnit tileset.\nNejdříve ukončete "
    "rozehranou hru. (results)] -- no tileset change during a game; the game paused while the box "
    "is open",
    "nIuc(........-) => (results) [Potvrzení: Tímto smažete své výsledky!!!\nThis will erase "
    "yours results!!! (results)] -- the game paused while Clear asks",
    "s('0''150'%)n........ => 1:....##.. 2:....##.. [Rychlost hry: 1 - 99] =1 =99 -- the speed "
    "clamped on leaving the edit box; Cancel applies nothing",
    "s(=)n........ => 1:....##.. 2:....##.. [Rychlost hry: 1 - 99] -- the speed shown at first is "
    "92",
    "ns('50'#)........ => 1:....##.. 2:....##.. [Rychlost hry: 1 - 99] =50 -- the close box "
    "applies nothing",
    "s('50'=)ns(*%)........ => [Rychlost hry: 1 - 99] =50 [Rychlost hry: 1 - 99] -- Default "
    "applies nothing",
    "s('50'*=)n........ => 1:....##.. 2:....##.. [Rychlost hry: 1 - 99] =50 -- Default puts 92",
    // the end of a game, the table in tabulka.dat
    "n$(''=) => (results) r [Zápis do tabulky:  (results)] = < >9.000000 -- an empty name is a "
    "space, saved at once",
    "n$('abcdefghijklmnopqrstuvwxy'=) => (results) r [Zápis do tabulky:  (results)] "
    "=abcdefghijklmnopqrstuvwxy <abcdefghijklmnopqrs>9.000000 -- a name is cut to 19 bytes",
    "n$('  Řeřicha  '=) => (results) r [Zápis do tabulky:  (results)] =  Řeřicha   <  Řeřicha  "
    ">9.000000 -- a name keeps its spaces and letters",
    "n$(#) => (results) [Zápis do tabulky:  (results)] -- the close box inserts nothing",
    "n$(~'x'=) => (results) r [Zápis do tabulky:  (results)] =x <x>9.000000 -- Escape leaves the "
    "dialog open",
    "n$('a'=)n$('b'=) => (results) r b [Zápis do tabulky:  (results)] =a [Zápis do tabulky:  "
    "(results)] =b <a>9.000000 <b>9.000000 -- the best in red, the others not",
    "n$('a'=)c(-) => (results) r [Zápis do tabulky:  (results)] =a [Potvrzení: Tímto smažete své "
    "výsledky!!!\nThis will erase yours results!!! (results)] <a>9.000000 -- Clear, No keeps the "
    "table",
    "n$('a'=)c(+) => (results) r [Zápis do tabulky:  (results)] =a [Potvrzení: Tímto smažete své "
    "výsledky!!!\nThis will erase yours results!!! (results)] -- Clear, Yes empties the table and "
    "its file",
    "Fn$('a'=)(!)Fn$('b'=) => (results) r b [Zápis do tabulky:  (results)] =a [Chyba: Nelze "
    "uložit tabulku. (results) (no main window)] [Zápis do tabulky:  (results)] =b <a>9.000000 <b>9.000000 -- a "
    "failed save is reported; the entry stays",
    "nLLLLWD('Tomáš'=) => 0:....##.. 1:..###### 15:##...... (results) r [Zápis do tabulky:  "
    "(results)] =Tomáš <Tomáš>1.000000 -- the rules add the last settle's points before the next "
    "piece ends the game: the table gets the score the status strip shows",
    "Fc(+)(!)F => [Potvrzení: Tímto smažete své výsledky!!!\nThis will erase yours results!!!] "
    "[Chyba: Nelze uložit tabulku.] - -- a failed save after Clear is reported",
    // last, leaving an empty table in tabulka.dat for the exit in the missing start-up
    "a(=) => [O programu: Autor: Lumox] -- About; its OK closes it",
    "I => (results) -- Insert without a game",
};

// Each row's script runs from the idle program of start-up (the results window hidden, the main
// window with the focus, an empty table saved, the gray board; the rows of the tileset leave it
// as they found it).
TEST(Program, AnswersEveryScriptAsAPlayerSeesIt)
{
    for (const string row : rows) {
        ShowWindow(resultsWindow, SW_HIDE);
        SetFocus(mainWindow);
        pumpMessages();
        resetGameState();
        resultsTable->clear();
        resultsStore->save(*resultsTable);
        showIdlePicture();
        seen.clear();
        steps = row.substr(0, row.find(" =>"));
        script = steps.c_str();
        run(nullptr);
        EXPECT_EQ(row, steps + " =>" + state() + row.substr(row.find(" --")));
    }
}

// What start-up showed | the boxes at exit | what tabulka.dat holds | what tabulka.dat.bad holds.
const char* const exits[] = {
    "missing => | | | - -- no file is no error",
    "damaged => [Chyba verifikace dat: Neplatná tabulka výsledků. (no main window)] | | | - -- a "
    "file that fails its check is reported before the main window shows",
    "refused => | | | - -- a verified record that is refused is silent",
    "valid => <Alena>7.500000 | | - | - -- loaded; at exit, unchanged, not written again (it is "
    "deleted by then)",
    "locked => | | <Alena>7.500000 | - -- a file held by another program is silent, and left as "
    "it is when nothing changed",
    "folder => | | - | - -- a folder in the file's place is left alone when nothing changed",
};

// Last, as it shuts the program down.
TEST(Program, KeepsWhatWasFoundAtStart)
{
    DestroyWindow(mainWindow);
    seen = atStart + " |";
    script = "(!)";
    ASSERT_TRUE(shutdownApplication());
    seen += " |" + onDisk("tabulka.dat") + " |" + onDisk("tabulka.dat.bad");
    for (const string row : exits) {
        if (row.starts_with(scenario)) {
            EXPECT_EQ(row, scenario + " =>" + seen + row.substr(row.find(" --")));
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    scenario = std::getenv("LUMOX_START_WITH");  // set for every run by ctest
    DeleteFileA("tabulka.dat");  // what an earlier run left
    DeleteFileA("tabulka.dat.bad");
    RemoveDirectoryA("tabulka.dat");
    if (scenario == "folder")
        CreateDirectoryA("tabulka.dat", nullptr);
    ResultsTable table(scenario == "refused" ? 0 : kResultsCapacity);  // no room: refused
    table.insert("Alena", 7.5);
    if (scenario != "missing")
        ResultsStore("tabulka.dat").save(table);  // (into the folder, it fails)
    if (scenario == "damaged")
        std::ofstream("tabulka.dat") << "damaged";
    HANDLE lock = CreateFileA(scenario == "locked" ? "tabulka.dat" : "", GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetWindowsHookExA(WH_CALLWNDPROCRET, onMessage, nullptr, GetCurrentThreadId());
    script = "(!)";
    appInstance = GetModuleHandleA(nullptr);
    if (!initApplication())
        return 1;
    // The square, or the bar for a script that holds |: the fifth or the second piece.
    pieceSet->random = [] { return steps.find('|') == string::npos ? 5 : 2; };
    KillTimer(mainWindow, 1);  // the cases tick the gravity clock themselves
    CloseHandle(lock);
    if (scenario == "valid")
        DeleteFileA("tabulka.dat");  // so that writing the table at exit would show
    atStart = seen + listed(*resultsTable);
    return RUN_ALL_TESTS();
}
