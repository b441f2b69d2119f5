#!/usr/bin/env python3
# End-to-end test of the real lumox.exe (either build) under Wine on the private display, driven
# with xdotool like a player.
# Usage: e2e_test.py /path/to/lumox.exe
import os
import shutil
import sys
import tempfile

# Modules from tools/, and the tool from the native build.
sys.path[0] += "/../../tools"
from xwin import *

EXE = os.path.abspath(sys.argv[1])


# The cells whose centre is not the empty board's gray; the main window's client area, and so
# the board, must start at (300, 150) on the screen.
def board():
    return board_cells(300, 150, 21, 8, 16, (128, 128, 128))


def new_game():
    return press("alt+g n", lambda: len(board()) == 4 and board(), "a falling piece")


# The program up in the folder.
def launch():
    program = start([EXE], FOLDER, f"{FOLDER}.log")
    # The pointer on the status strip: a click there gives the main window the keyboard.
    run("xdotool", "mousemove", 450, 500)
    poll(lambda: windows("Lumox") and not board(), "the main window, its board empty", 60)
    return program


# Two runs in one folder, the second starting from what the first left there; the folder and
# the programs' log and the last screen beside it are kept when a check fails.
TEMP = tempfile.mkdtemp()
FOLDER = tempfile.mkdtemp(dir=TEMP)
TABLE = f"{FOLDER}/tabulka.dat"
wine_run("--prepare", EXE)
try:
    # Start, play to the end.
    program = launch()
    # The grid lines cross every 21 pixels from the client area's corner, in the grid's dark
    # gray: of 21-pixel cells centred on the crossings, none has a centre of another colour.
    expect(set(), board_cells(290, 140, 21, 9, 17, (90, 90, 90)), "grid crossings not gray")
    # The score's text on the status strip is black: of 60 pixels along a row of the strip (as
    # 1-pixel cells), not all are found to be other than black.
    strip = board_cells(300, 499, 1, 60, 1, (0, 0, 0))
    expect(True, len(strip) < 60, "black text across the status strip")
    press("alt+g s", shown("Rychlost hry"), "the Speed dialog")
    # The slowest fall, a row a second.
    press("End BackSpace BackSpace 1 Return", gone("Rychlost hry"), "the Speed dialog closed")
    press("alt+h a", shown("O programu"), "the About box")
    key("Escape")
    expect(False, poll(gone("O programu"), seconds=1), "the About box closed by Escape")
    press("Return", gone("O programu"), "the About box closed by Enter")
    cells = new_game()
    # Five steps down by Enter come sooner than the fall of a piece by four rows.
    key(*["Return"] * 5)
    lower = [{(c, r + d) for c, r in cells} for d in range(5, 9)]
    poll(lambda: board() in lower, "the piece 5 rows lower (8 at most) after Enter", 2)
    # Pieces dropped where they enter fill columns 4 to 7 only: the game ends with no points.
    # (The name entry is the whole-program tests' to drive.)
    poll(lambda: key("Down") or windows("GAME OVER"), "the game's end", 60)
    press("Return", gone("GAME OVER"), "the end of the game answered")
    results = press("Insert", shown("Tabulka"), "the results window")
    x, y, width, _ = geometry(windows("Lumox")[0])
    expect((x + width, y), geometry(results[0])[:2], "the results window's corner")
    press("space", gone("Tabulka"), "the results window hidden by a key")
    new_game()
    press("alt+g x", shown("Konec hry"), "Exit's question")
    press("Return", shown("GAME OVER"), "the end of the game")
    press("Return", exited(program), "the program ended by Exit")

    # A folder named tabulka.dat: every save fails and says so, here after Clear; at the exit,
    # which Alt+F4 during a game makes without a question, the unchanged table is not written.
    os.remove(TABLE)
    os.mkdir(TABLE)
    program = launch()
    press("alt+r c", shown("Potvrzení"), "Clear's question")
    press("Return", shown("Chyba"), "the failed save after Clear told")
    press("Return", gone("Chyba"), "the box closed")
    new_game()
    press("alt+F4", exited(program), "the program closed")
    # No other file left behind by any of the saves.
    expect(["tabulka.dat"], os.listdir(FOLDER), "files in the folder")
finally:
    save_screen(f"{FOLDER}.png")
    wine_run("--kill")
shutil.rmtree(TEMP)
print("PASS")
