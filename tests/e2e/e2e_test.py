#!/usr/bin/env python3
"""End-to-end tests of the real program: lumox.exe under Wine on a virtual
display, driven with xdotool like a player (keys, Alt-letter menus, close
boxes), checked by screenshots, window placement and the files on disk.

Usage: e2e_test.py path/to/lumox.exe
Prints one line per test and closes with 'N passed, N failed'.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run")

CLIENT_X, CLIENT_Y = 300, 150          # where the client area must stand
GRAY, GRID = (128, 128, 128), (90, 90, 90)
# Tile colours by piece: (light edge, body).
TILES = {
    "1": ((240, 64, 32), (192, 51, 25)),
    "2": ((32, 240, 64), (25, 192, 51)),
    "3": ((64, 32, 240), (51, 25, 192)),
    "4": ((160, 32, 160), (128, 25, 128)),
    "5": ((224, 208, 64), (179, 166, 51)),
}

env = dict(os.environ, LUMOX_WINE_MODE="x11", LUMOX_FORCE_XVFB="1")
DISPLAY = env.get("LUMOX_XVFB_DISPLAY", ":97")


class Failure(Exception):
    pass


current = {"folder": None}


def fail(message):
    """Keeps a screenshot of the moment of failure, then fails."""
    if current["folder"] and not os.path.exists(current["folder"] + ".failure.png"):
        subprocess.run(["import", "-window", "root", "-depth", "8", current["folder"] + ".failure.png"],
                       env=dict(env, DISPLAY=DISPLAY), capture_output=True, timeout=20)
    raise Failure(message)


def check(condition, message):
    if not condition:
        fail(message)


def run(*args, timeout=20, ok_codes=(0,)):
    result = subprocess.run(args, env=dict(env, DISPLAY=DISPLAY), capture_output=True, text=True,
                            timeout=timeout)
    if result.returncode not in ok_codes:
        fail(f"{args[0]} failed: {result.stderr.strip()}")
    return result.stdout


def windows(name, visible=True):
    """Ids of the X windows whose title is exactly `name`.

    xdotool's --name matches WM_NAME, where Wine puts a Latin-1 rendering of
    the title (Potvrzeni for Potvrzení); the exact UTF-8 title is compared
    through getwindowname (_NET_WM_NAME)."""
    pattern = "^" + "".join(c if ord(c) < 128 else "." for c in name) + "$"
    args = ["xdotool", "search"] + (["--onlyvisible"] if visible else []) + ["--name", pattern]
    found = []
    for window in run(*args, ok_codes=(0, 1)).split():
        title = subprocess.run(["xdotool", "getwindowname", window], env=dict(env, DISPLAY=DISPLAY),
                               capture_output=True, timeout=10).stdout.decode("utf-8", "replace").strip()
        if title == name:
            found.append(window)
    return found


def wait_for(predicate, timeout=15.0, what="condition"):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    fail(f"timed out waiting for {what}")


def geometry(window):
    out = run("xdotool", "getwindowgeometry", "--shell", window)
    values = dict(line.split("=") for line in out.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def key(*keys, delay=60):
    run("xdotool", "key", "--delay", str(delay), *keys)
    time.sleep(0.25)


def type_text(text):
    run("xdotool", "type", "--delay", "40", text)
    time.sleep(0.2)


class Screen:
    """One screenshot of the whole display, pixels as (r, g, b)."""

    def __init__(self):
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                             env=dict(env, DISPLAY=DISPLAY), capture_output=True, timeout=20).stdout
        self.width = 1280
        self.raw = raw

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def cell(self, column, row):
        """Centre pixel of a board cell."""
        return self.at(CLIENT_X + 1 + 21 * column + 10, CLIENT_Y + 1 + 21 * row + 10)

    def occupied(self):
        return {(c, r) for c in range(8) for r in range(16) if self.cell(c, r) != GRAY}


def shift(cells, dx, dy):
    return {(c + dx, r + dy) for c, r in cells}


class Game:
    """The real program in a working folder of its own."""

    def __init__(self, exe, folder):
        self.folder = folder
        # The log goes beside the folder, which may be read-only.
        self.log = open(folder.rstrip("/") + ".wine.log", "w")
        # A session of its own, so that killing it reaches the Wine process
        # under the wrapper too.
        self.process = subprocess.Popen([WINE_RUN, "--timeout", "300", exe], cwd=folder, env=env,
                                        stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
                                        start_new_session=True)

    def wait_ready(self):
        wait_for(lambda: windows("Lumox"), timeout=40, what="the main window")
        # The board is painted once the message loop runs.
        wait_for(lambda: Screen().cell(0, 0) == GRAY, what="the board")
        time.sleep(0.3)

    def running(self):
        return self.process.poll() is None

    def close(self):
        """Alt+F4 on the main window, as a player closes it. A key can get lost
        under Xvfb now and then (Alt alone enters the menu), so a second try
        follows after an Escape."""
        for _ in range(2):
            key("alt+F4")
            end = time.time() + 6
            while time.time() < end and self.running() and windows("Lumox"):
                time.sleep(0.1)
            if not windows("Lumox"):
                break  # closed; the process ends by itself
            key("Escape")
            activate_main_window()
        self.wait_exit()

    def wait_exit(self, timeout=15):
        try:
            self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            fail("the program did not end")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.kill()
        return False

    def kill(self):
        # Wine's processes leave the wrapper's process group, so end
        # everything in the prefix instead.
        if self.running() or windows("Lumox"):
            subprocess.run([WINE_RUN, "--kill"], env=env, timeout=60)
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        self.log.close()
        wait_for(lambda: not windows("Lumox"), what="the program's windows to go")

    def file(self):
        path = os.path.join(self.folder, "tabulka.dat")
        return open(path, "rb").read() if os.path.exists(path) else None


def set_slowest_speed():
    key("alt+g", "s")
    wait_for(lambda: windows("Rychlost hry"), what="the Speed dialog")
    key("End", "BackSpace", "BackSpace", "BackSpace")
    type_text("1")
    key("Return")
    wait_for(lambda: not windows("Rychlost hry"), what="the Speed dialog to close")


def activate_main_window():
    """Gives the main window the focus back, as a click on it would. The
    window may be closing meanwhile; then there is nothing to click."""
    for window in windows("Lumox"):
        out = run("xdotool", "getwindowgeometry", "--shell", window, ok_codes=(0, 1))
        values = dict(line.split("=") for line in out.split() if "=" in line)
        if {"X", "Y", "WIDTH", "HEIGHT"} <= values.keys():
            x, y, w, h = (int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
            run("xdotool", "mousemove", str(x + w // 2), str(y + h - 8), "click", "1", ok_codes=(0, 1))
            time.sleep(0.3)
        return


def new_game():
    """Game > New; the piece shows at its first gravity step. Tried twice,
    since a key can get lost under Xvfb now and then."""
    for _ in range(2):
        key("alt+g", "n")
        end = time.time() + 3
        while time.time() < end:
            if Screen().occupied():
                return
            time.sleep(0.1)
        key("Escape")
        activate_main_window()
    fail("no game started from the menu")


def falling_cells():
    """Cells of the board that are not gray."""
    return Screen().occupied()


def answer_end_of_game(name="Hráč"):
    """Answers whatever the end of a game brings up; returns which it was."""
    found = wait_for(lambda: ("box" if windows("GAME OVER") else "name" if windows("Zápis do tabulky") else None),
                     what="the end of the game")
    if found == "name":
        type_text(name)
    key("Return")
    return found


# --- the tests ---------------------------------------------------------------

def test_startup_picture(exe, folder):
    with Game(exe, folder) as game:
        game.wait_ready()
        main = windows("Lumox")[0]
        x, y, w, h = geometry(main)
        check(x < CLIENT_X and y < CLIENT_Y, f"window at {x},{y}")
        shot = Screen()
        wrong = [(px, py) for py in range(0, 337, 4) for px in range(169)
                 if shot.at(CLIENT_X + px, CLIENT_Y + py) != (GRID if px % 21 == 0 or py % 21 == 0 else GRAY)]
        check(not wrong, f"board pixels wrong, first at {wrong[:3]}")
        check(shot.at(CLIENT_X + 168, CLIENT_Y + 336) == GRID, "bottom-right grid pixel")
        check(shot.at(CLIENT_X + 169, CLIENT_Y + 10) != GRAY, "the client area is 169 pixels wide")
        strip = [shot.at(CLIENT_X + px, CLIENT_Y + 337 + py) for py in range(25) for px in range(30)]
        check(strip.count((0, 0, 0)) > 10, "the score 0.0 in the status strip")
        check(not windows("Tabulka"), "the results window starts hidden")
        game.close()
        check(game.file() is not None and len(game.file()) == 72, "an empty table saved at exit")


def test_play_keys_and_pause(exe, folder):
    with Game(exe, folder) as game:
        game.wait_ready()
        set_slowest_speed()
        new_game()
        cells = wait_for(lambda: falling_cells(), what="the first piece")
        check(len(cells) == 4, f"a piece of four cells, got {sorted(cells)}")
        shot = Screen()
        c, r = min(cells)
        body = shot.cell(c, r)
        light = shot.at(CLIENT_X + 1 + 21 * c, CLIENT_Y + 1 + 21 * r)
        check((light, body) in TILES.values(), f"bevelled tile colours, got {light} and {body}")

        # It falls one row per 990 ms at speed 1.
        top = min(r for _, r in cells)
        time.sleep(2.2)
        moved = min(r for _, r in falling_cells()) - top
        check(1 <= moved <= 3, f"fell {moved} rows in 2.2 s at speed 1")

        for keys, dx in (("Left", -1), ("Right", 1)):
            before = falling_cells()
            key(keys)
            after = falling_cells()
            check(after in (shift(before, dx, 0), shift(before, dx, 1)), f"{keys} moves the piece one column")

        key("Return")  # one row down
        key("Up")
        after_turn = falling_cells()
        check(len(after_turn) == 4, "still four cells after a turn")

        # Pause by key: nothing moves, then it goes on.
        key("Pause")
        paused = falling_cells()
        time.sleep(2.2)
        check(falling_cells() == paused, "nothing moves while paused")
        key("Left")
        check(falling_cells() == paused, "keys do nothing while paused")
        key("Pause")
        time.sleep(2.2)
        check(falling_cells() != paused, "play goes on after the second Pause")

        # Drop: the piece lands on the floor, a new one enters at the top.
        key("Down")
        time.sleep(0.3)
        cells = falling_cells()
        check(any(r == 15 for _, r in cells), "the dropped piece lies on the floor")
        check(any(r <= 2 for _, r in cells), "the next piece is at the top")


def test_game_to_its_end_and_results_window(exe, folder):
    with Game(exe, folder) as game:
        game.wait_ready()
        new_game()
        ended = None
        for _ in range(80):
            key("Down", delay=20)
            if windows("GAME OVER") or windows("Zápis do tabulky"):
                ended = answer_end_of_game("Tester")
                break
        check(ended is not None, "the game ended after enough drops")
        time.sleep(0.5)
        check(game.running(), "the program goes on after the end of a game")

        main = windows("Lumox")[0]
        mx, my, mw, mh = geometry(main)
        if ended == "name":
            check(windows("Tabulka"), "the results window stands after the name entry")
        else:
            activate_main_window()
            key("Insert")
            wait_for(lambda: windows("Tabulka"), what="the results window")
        results = windows("Tabulka")[0]
        rx, ry, _, _ = geometry(results)
        check((rx, ry) == (mx + mw, my), f"results window at {rx},{ry}, main window {mx},{my} {mw}x{mh}")
        key("space")
        wait_for(lambda: not windows("Tabulka"), what="a key to hide the results window")

        game.close()
        check(game.file() is not None, "tabulka.dat written")


def test_exit_asks_during_a_game(exe, folder):
    with Game(exe, folder) as game:
        game.wait_ready()
        set_slowest_speed()
        new_game()
        key("alt+g", "x")
        wait_for(lambda: windows("Konec hry"), what="the confirmation")
        key("Tab", "Return")  # No
        time.sleep(0.5)
        check(game.running() and windows("Lumox"), "No keeps playing")
        check(not windows("Konec hry"), "the confirmation closed")
        key("alt+g", "x")
        wait_for(lambda: windows("Konec hry"), what="the confirmation again")
        key("Return")  # Yes, the default button
        answer_end_of_game()
        game.wait_exit()
        check(game.file() is not None, "tabulka.dat written at exit")


def test_damaged_file_reported_then_rewritten(exe, folder):
    junk = bytes((i * 37 + 11) & 0xFF for i in range(200))
    with open(os.path.join(folder, "tabulka.dat"), "wb") as f:
        f.write(junk)
    with Game(exe, folder) as game:
        wait_for(lambda: windows("Chyba verifikace dat"), what="the verification message")
        check(not windows("Lumox"), "the message comes before the main window shows")
        key("Return")
        game.wait_ready()
        check(game.file() == junk, "the damaged file stays until the next save")
        activate_main_window()
        game.close()
        check(game.file() is not None and len(game.file()) == 72, "rewritten as an empty table")


RESULTS_TOOL = os.path.join(ROOT, "build", "native", "tests", "e2e", "results_file_tool")


def results_tool(*args):
    if not os.path.exists(RESULTS_TOOL):
        subprocess.run(["cmake", "--preset", "native"], cwd=ROOT, check=True, capture_output=True)
        subprocess.run(["cmake", "--build", "--preset", "native", "--target", "results_file_tool"], cwd=ROOT,
                       check=True, capture_output=True)
    return run(RESULTS_TOOL, *args)


def test_results_survive_to_the_next_run(exe, folder):
    path = os.path.join(folder, "tabulka.dat")
    results_tool("write", path, "Alena", "12.5", "Bořek", "7", "Cyril", "1.5")
    heights = []
    for _ in range(2):
        with Game(exe, folder) as game:
            game.wait_ready()
            time.sleep(0.5)
            check(not windows("Chyba verifikace dat"), "the saved file loads silently")
            key("Insert")
            wait_for(lambda: windows("Tabulka"), what="the results window")
            time.sleep(0.3)
            rx, ry, rw, rh = geometry(windows("Tabulka")[0])
            heights.append(rh)
            shot = Screen()
            red = sum(shot.at(x, y) == (192, 64, 32) for y in range(ry, ry + rh) for x in range(rx, rx + rw))
            check(red > 20, "the best result in red")
            key("space")
            activate_main_window()
            game.close()
    check(heights[0] == heights[1], f"the same table in both runs (heights {heights})")
    entries = results_tool("dump", path)
    check(entries == "Alena\t12.5\nBořek\t7.0\nCyril\t1.5\n", f"the table on disk: {entries!r}")



def play_a_little_and_exit(game):
    """New game, a few drops, the end of the game if it comes, then Alt+F4."""
    activate_main_window()
    new_game()
    for _ in range(5):
        key("Left", "Down", delay=20)
        if windows("GAME OVER") or windows("Zápis do tabulky"):
            answer_end_of_game()
            activate_main_window()
            break
    game.close()


def test_fault_results_file_is_a_folder(exe, folder):
    os.mkdir(os.path.join(folder, "tabulka.dat"))
    with Game(exe, folder) as game:
        game.wait_ready()
        time.sleep(0.5)
        check(not windows("Chyba verifikace dat"), "a folder counts as no file: no message")
        activate_main_window()
        game.close()
        check(os.path.isdir(os.path.join(folder, "tabulka.dat")), "the folder is left alone")
        check(not os.path.exists(os.path.join(folder, "tabulka.dat.new")), "no temporary file left behind")


def test_fault_megabytes_of_random_bytes(exe, folder):
    path = os.path.join(folder, "tabulka.dat")
    with open(path, "wb") as f:
        f.write(os.urandom(4 * 1024 * 1024))
    with Game(exe, folder) as game:
        wait_for(lambda: windows("Chyba verifikace dat"), what="the verification message")
        key("Return")
        game.wait_ready()
        play_a_little_and_exit(game)
        check(results_tool("dump", path) is not None, "replaced by a valid table at exit")


def test_fault_read_only_results_file(exe, folder):
    path = os.path.join(folder, "tabulka.dat")
    results_tool("write", path, "Alena", "12.5")
    saved = open(path, "rb").read()
    os.chmod(path, 0o444)
    try:
        with Game(exe, folder) as game:
            game.wait_ready()
            time.sleep(0.5)
            check(not windows("Chyba verifikace dat"), "a read-only file loads")
            activate_main_window()
            key("alt+r", "c")  # Clear: the write fails, nothing is reported
            wait_for(lambda: windows("Potvrzení"), what="the Clear confirmation")
            key("Return")
            time.sleep(0.5)
            check(not windows("Chyba") and not windows("Potvrzení"), "no message for the failed write")
            activate_main_window()
            game.close()
            check(open(path, "rb").read() == saved, "the read-only table is kept as it was")
    finally:
        os.chmod(path, 0o644)


def test_fault_read_only_folder(exe, folder):
    source = os.path.join(folder, "source")
    mounted = os.path.join(folder, "readonly")
    os.mkdir(source)
    os.mkdir(mounted)
    path = os.path.join(source, "tabulka.dat")
    results_tool("write", path, "Alena", "12.5", "Bořek", "3")
    saved = open(path, "rb").read()
    if subprocess.run(["mount", "--bind", source, mounted], capture_output=True).returncode != 0:
        print("  (cannot mount here: read-only folder not tested)")
        return
    try:
        subprocess.run(["mount", "-o", "remount,bind,ro", mounted], check=True, capture_output=True)
        with Game(exe, mounted) as game:
            game.wait_ready()
            time.sleep(0.5)
            check(not windows("Chyba verifikace dat"), "the table loads from a read-only folder")
            play_a_little_and_exit(game)
            check(open(path, "rb").read() == saved, "the table on disk is unchanged")
    finally:
        subprocess.run(["umount", mounted], capture_output=True)


TESTS = [
    test_startup_picture,
    test_play_keys_and_pause,
    test_game_to_its_end_and_results_window,
    test_exit_asks_during_a_game,
    test_damaged_file_reported_then_rewritten,
    test_results_survive_to_the_next_run,
    test_fault_results_file_is_a_folder,
    test_fault_megabytes_of_random_bytes,
    test_fault_read_only_results_file,
    test_fault_read_only_folder,
]


def main():
    exe = os.path.abspath(sys.argv[1])
    subprocess.run([WINE_RUN, "--prepare"], env=env, check=True, timeout=300)
    passed = failed = 0
    for test in TESTS:
        folder = tempfile.mkdtemp(prefix="lumox-e2e-")
        current["folder"] = folder
        started = time.time()
        try:
            test(exe, folder)
            passed += 1
            print(f"PASS {test.__name__} ({time.time() - started:.1f} s)", flush=True)
            shutil.rmtree(folder, ignore_errors=True)
            if os.path.exists(folder + ".wine.log"):
                os.remove(folder + ".wine.log")
        except Failure as failure:
            failed += 1
            print(f"FAIL {test.__name__}: {failure} (screenshot {folder}.failure.png, log {folder}.wine.log)",
                  flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
