#!/usr/bin/env python3
# End-to-end test of the real lumox.exe (either build) under Wine on the private display, driven
# with xdotool like a player. Needs the native results_file_tool (build/native/tests).
# Usage: e2e_test.py /path/to/lumox.exe
import os
import shutil
import sys
import tempfile

# Modules from tools/, and the tool from the native build.
sys.path[0] += "/../../tools"
from xwin import *

EXE = os.path.abspath(sys.argv[1])
TOOL = sys.path[0] + "/../build/native/tests/results_file_tool"
# Where the main window's client area must start on the screen.
X0 = 300
Y0 = 150
NAME = "Zápis do tabulky"


# The cells whose centre is not the empty board's gray.
def board():
    return board_cells(X0, Y0, 21, 8, 16, (128, 128, 128))


def new_game():
    return press(["alt+g", "n"], lambda: len(board()) == 4 and board(), "a falling piece")


def full(cells):
    return any(sum((c, r) in cells for c in range(8)) == 8 for r in range(16))


# The piece dropped straight down onto the settled cells.
def land(piece, settled):
    while not (lower := {(c, r + 1) for c, r in piece}) & settled and all(r < 16 for _, r in lower):
        piece = lower
    return piece


# Drops the falling piece where it lands lowest, of all its turns and places; returns the cells
# settled then.
def place(settled):
    options = []
    # Two rows down first: a turn at the top can be refused.
    key("Return", "Return")
    for turns in range(4):
        now = poll(lambda: len(cells := board() - settled) == 4 and cells, "a falling piece")
        # Tuples compare by column first.
        for shift in range(-min(now)[0], 8 - max(now)[0]):
            landed = land({(c + shift, r) for c, r in now}, settled)
            options.append((sum(r for _, r in landed), turns, shift, landed))
        key("Up")
    _, turns, shift, landed = max(options)
    key(*["Up"] * turns, *["Right" if shift > 0 else "Left"] * abs(shift), "Down")
    poll(lambda: landed <= board() or full(settled | landed), "the piece dropped there")
    return settled | landed


# The program up in the folder, once the message box due at start-up is answered.
def launch(folder, box):
    program = start([EXE], folder, f"{folder}.log")
    # The pointer on the status strip: a click there gives the main window the keyboard.
    run("xdotool", "mousemove", X0 + 150, Y0 + 350)
    if box:
        poll(shown(box), box, 60)
        press(["Return"], gone(box), f"{box} answered")
    up = lambda: expect(None, program.poll(), "the program's exit status") or windows("Lumox")
    poll(lambda: up() and not board(), "the main window, its board empty", 60)
    return program


def play(folder):
    program = launch(folder, None)
    pixel = screen()
    # Down the diagonal from the client area's corner, the grid lines cross every 21 pixels.
    expect([*range(0, 169, 21)], [d for d in range(-9, 179) if pixel(X0 + d, Y0 + d) == (90, 90, 90)],
           "grid crossings on the diagonal from (300, 150)")
    expect(True, (0, 0, 0) in {pixel(X0 + x, Y0 + 349) for x in range(60)},
           "black text across the status strip")
    press(["alt+g", "s"], shown("Rychlost hry"), "the Speed dialog")
    # The slowest fall, a row a second.
    press(["End", "BackSpace", "BackSpace", "BackSpace", "1", "Return"], gone("Rychlost hry"),
         "the Speed dialog closed")
    press(["alt+h", "a"], shown("O programu"), "the About box")
    key("Escape")
    expect(False, poll(gone("O programu"), seconds=1), "the About box closed by Escape")
    press(["Return"], gone("O programu"), "the About box closed by Enter")
    # The keys reach the game: Enter steps the piece down (gravity may add a row); the other
    # keys are the player's below.
    cells = new_game()
    key("Return")
    lower = [{(c, r + d) for c, r in cells} for d in (1, 2)]
    poll(lambda: board() in lower, "the piece a row lower after Enter")
    # Until a row is full, and the score earns a place in the table.
    settled = set()
    while not full(settled):
        settled = place(settled)
    poll(lambda: key("Down") or windows(NAME), "the name asked for at the game's end", 60)
    type_text("Hráč")
    press(["Return"], gone(NAME), "the name entered")
    results = press(["Insert"], shown("Tabulka"), "the results window")
    x, y, width, _ = geometry(windows("Lumox")[0])
    expect((x + width, y), geometry(results[0])[:2], "the results window's corner")
    key("space")
    poll(gone("Tabulka"), "the results window hidden by a key")
    new_game()
    press(["alt+g", "x"], shown("Konec hry"), "Exit's question")
    press(["Return"], shown("GAME OVER"), "the end of the game")
    key("Return")
    poll(exited(program), "the program ended by Exit")
    table = run(TOOL, "dump", f"{folder}/tabulka.dat")
    expect("Hráč", table.partition("\t")[0], "the name on disk")
    expect(["tabulka.dat"], os.listdir(folder), "files in the folder")


# Alt+F4 during a game closes the program without a question, and saves the table if it can;
# a save that fails says so, after Clear and at the exit.
def fault(folder, make, box, unsaved, after):
    path = f"{folder}/tabulka.dat"
    make(path)
    program = launch(folder, box)
    new_game()
    if unsaved:
        press(["alt+r", "c"], shown("Potvrzení"), "Clear's question")
        press(["Return"], shown("Chyba"), "the failed save after Clear told")
        press(["Return"], gone("Chyba"), "the box closed")
        at_exit = lambda: windows("Chyba") and not windows("Lumox")
        press(["alt+F4"], at_exit, "the failed save at the exit told")
    press(["Return" if unsaved else "alt+F4"], exited(program), "the program closed")
    found = {n: open(f"{folder}/{n}", "rb").read() for n in os.listdir(folder) if n != "tabulka.dat"}
    found["tabulka.dat"] = os.path.isdir(path) or run(TOOL, "dump", path)
    expect(after, found, "the folder at the end")


# Each case: its name and function; for the faults, what makes tabulka.dat, the message box at
# start-up, whether saves fail, and what the folder holds at the end (tabulka.dat as the table it
# holds, or True for a folder).
CASES = [
    ("start, play to the end", play),
    ("a folder named tabulka.dat", fault, os.mkdir, None, True, {"tabulka.dat": True}),
    ("a damaged tabulka.dat", fault, lambda path: open(path, "wb").write(b"no table"),
     "Chyba verifikace dat", False, {"tabulka.dat": "", "tabulka.dat.bad": b"no table"}),
]

temp = tempfile.mkdtemp()
wine_run("--prepare", EXE)
for name, test, *row in CASES:
    folder = tempfile.mkdtemp(dir=temp)
    print(name, folder)
    try:
        test(folder, *row)
    finally:
        save_screen(f"{folder}.png")
        wine_run("--kill")
shutil.rmtree(temp)
print("PASS")
