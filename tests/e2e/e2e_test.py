#!/usr/bin/env python3
# End-to-end test of the real lumox.exe (either build) under Wine on the private display, driven
# with xdotool like a player: what only the executable shows (the picture its entry point draws,
# its message loop and its end, real keys through its menus, dialogs and windows).
# Usage: e2e_test.py /absolute/path/to/lumox.exe
import os
import sys
import tempfile

# Modules from tools/.
sys.path[0] += "/../../tools"
from xwin import *


# The cells whose centre is not the empty board's gray; the main window's client area, and so
# the board, must start at (300, 150) on the screen.
def board():
    return board_cells(300, 150, 21, 8, 16, (128, 128, 128))


# The program's log and last screen are kept beside the folder; a program left running after a
# failed check ends with its time limit, or with the Wine tests' last step.
with tempfile.TemporaryDirectory() as FOLDER:
    try:
        program = start([sys.argv[1]], FOLDER, f"{FOLDER}.log")
        # The pointer on the status strip: a click there gives the main window the keyboard.
        run("xdotool", "mousemove", 450, 500)
        poll(lambda: windows("Lumox") and not board(), "the main window, its board empty", 60)
        press("alt+h a", shown("O programu"), "the About box")
        key("Escape")
        expect(False, poll(gone("O programu"), seconds=1), "the About box closed by Escape")
        press("Return", gone("O programu"), "the About box closed by Enter")
        # Any piece: at the first speed the first one lands within about a second.
        press("alt+g n", board, "a piece on the board")
        # Pieces dropped where they enter fill columns 4 to 7 only: the game ends with no points.
        poll(lambda: key("Down") or windows("GAME OVER"), "the game's end", 60)
        press("Return", gone("GAME OVER"), "the end of the game answered")
        press("alt+g x", exited(program), "the program ended by Exit")
        # The table written at the end, where start-up found no file.
        expect(["tabulka.dat"], os.listdir(FOLDER), "files in the folder")
    finally:
        save_screen(f"{FOLDER}.png")
