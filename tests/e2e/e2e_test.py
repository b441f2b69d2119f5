#!/usr/bin/env python3
"""End-to-end test of the real program: lumox.exe (either Windows build) under Wine on a virtual
display, driven with xdotool like a player and checked by screenshots, window placement and the
files it leaves on disk. Needs the native results_file_tool, built before it runs.

Usage: e2e_test.py path/to/lumox.exe
"""
import contextlib, os, shutil, signal, subprocess, sys, tempfile, time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run")
TOOL = os.path.join(ROOT, "build", "native", "tests", "results_file_tool")
env = dict(os.environ, LUMOX_WINE_MODE="x11")
env["DISPLAY"] = env.get("LUMOX_XVFB_DISPLAY", ":97")  # the display wine-run starts
X0, Y0 = 300, 150  # where the main window's client area must start on the screen
GRAY, GRID, BLACK = (128, 128, 128), (90, 90, 90), (0, 0, 0)
MESSAGE, NAME = "Chyba verifikace dat", "Zápis do tabulky"
state = {}


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def run(*args, ok=(0,)):
    result = subprocess.run(args, env=env, capture_output=True, timeout=60)
    check(result.returncode in ok, f"{' '.join(args)}: {result.stderr.decode().strip()}")
    return result.stdout


def poll(predicate, timeout, what=None):
    end = time.time() + timeout
    while not (value := predicate()) and time.time() < end:
        time.sleep(0.05)
    check(value or not what, f"timed out waiting for {what}")
    return value


def windows(title=None):  # visible, of this title; a letter beyond ASCII matches Wine 8's and Wine 10's bytes
    pattern = "^" + "".join(c if ord(c) < 128 else ".+" for c in title) + "$" if title else "."
    return run("xdotool", "search", "--onlyvisible", "--name", pattern, ok=(0, 1)).decode().split()


def corner(window):
    values = dict(line.split("=") for line in run("xdotool", "getwindowgeometry", "--shell", window).decode().split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"])


def key(*keys):
    run("xdotool", "key", "--delay", "40", *keys)


def shot():
    raw = run("import", "-window", "root", "-depth", "8", "rgb:-")
    check(len(raw) == 1280 * 1024 * 3, "a screenshot of the 1280x1024 display")
    return lambda x, y: tuple(raw[3 * (1280 * y + x):3 * (1280 * y + x) + 3])


def board():  # the cells whose centre is not the empty board's gray
    pixel = shot()
    return {(c, r) for c in range(8) for r in range(16) if pixel(X0 + 21 * c + 11, Y0 + 21 * r + 11) != GRAY}


def falling():
    return cells if len(cells := board()) == 4 else None


def click_main():  # a click on the right of the status strip gives the main window the keyboard
    run("xdotool", "mousemove", str(X0 + 150), str(Y0 + 350), "click", "1")
    time.sleep(0.2)


def keys(sent, done, what):  # once more after an Escape and a click if they got lost under Xvfb
    for _ in range(2):
        key(*sent)
        if value := poll(done, 4):
            time.sleep(0.3)  # keys sent right after a window maps can get lost
            return value
        key("Escape")
        click_main()
    check(False, f"no {what} after {' '.join(sent)}")


@contextlib.contextmanager
def started(folder, message=False):  # the program's main window up, after the verification message if due
    with open(state["log"], "ab") as log:
        program = subprocess.Popen([WINE_RUN, "--timeout", "120", state["exe"]], cwd=folder, env=env,
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
    running = lambda: check(program.poll() is None, f"the program ended ({program.returncode}) before its window")
    try:
        if message:
            poll(lambda: running() or windows(MESSAGE), 60, "the verification message")
            keys(["Return"], lambda: not windows(MESSAGE), "end of the message")
        poll(lambda: running() or windows(MESSAGE) or windows("Lumox") and not board(), 60, "the main window")
        check(not windows(MESSAGE), "no verification message")
        time.sleep(0.3)
        yield program
        if program.poll() is None:
            click_main()
            keys(["alt+F4"], lambda: program.poll() is not None, "end of the program")
    except BaseException:
        subprocess.run(["import", "-window", "root", state["shot"]], env=env, timeout=30)
        raise
    finally:
        if program.poll() is None:
            subprocess.run([WINE_RUN, "--kill"], env=env, timeout=60)
            with contextlib.suppress(ProcessLookupError):
                os.killpg(program.pid, signal.SIGKILL)
        program.wait()


def scenario(folder):
    path = os.path.join(folder, "tabulka.dat")
    with started(folder) as program:
        pixel = shot()
        check([pixel(x, Y0 + 11) == GRID for x in range(X0 - 9, X0 + 179)]
              == [(x - X0) % 21 == 0 and x <= X0 + 168 for x in range(X0 - 9, X0 + 179)]
              and [pixel(X0 + 11, y) == GRID for y in range(Y0 - 9, Y0 + 347)]
              == [(y - Y0) % 21 == 0 and y <= Y0 + 336 for y in range(Y0 - 9, Y0 + 347)],
              "grid lines every 21 pixels from the client corner at (300, 150) to (468, 486)")
        check(sum(pixel(X0 + x, Y0 + 337 + y) == BLACK for x in range(30) for y in range(25)) > 10,
              "the score in the status strip")
        keys(["alt+g", "s"], lambda: windows("Rychlost hry"), "Speed dialog")
        key("End", "BackSpace", "BackSpace", "BackSpace", "1", "Return")  # the slowest fall, a row a second
        poll(lambda: not windows("Rychlost hry"), 10, "the Speed dialog to close")
        keys(["alt+h", "a"], lambda: windows("O programu"), "About box")
        key("Escape")
        check(not poll(lambda: not windows("O programu"), 1), "Escape leaves the About box open")
        keys(["Return"], lambda: not windows("O programu"), "Enter to close the About box")
        piece = keys(["alt+g", "n"], falling, "piece of a new game")
        for step, dx, dy in (("Return", 0, 1), ("Left", -1, 0)):
            key(step)
            moved = [{(c + dx, r + dy + fell) for c, r in piece} for fell in (0, 1)]  # gravity may add a row
            piece = poll(lambda: (cells := falling()) in moved and cells, 10, f"{step} to move the piece")
        if len({c for c, _ in piece}) * len({r for _, r in piece}) != 4:  # the square never turns
            key("Up")
            poll(lambda: (cells := falling()) and cells != piece, 10, "Up to turn the piece")
        poll(lambda: key("Down") or windows(NAME) or windows("GAME OVER"), 60, "the game to end after drops")
        name = "Hráč" if windows(NAME) else ""
        if name:
            run("xdotool", "type", "--delay", "40", name)
        key("Return")
        poll(lambda: not windows(NAME) and not windows("GAME OVER"), 10, "the end of the game answered")
        click_main()
        results = keys(["Insert"], lambda: windows("Tabulka"), "results window")
        (mx, my, mw), (rx, ry, _) = corner(windows("Lumox")[0]), corner(results[0])
        check((rx, ry) == (mx + mw, my), f"results window at {rx},{ry} beside the main window {mx},{my} {mw} wide")
        key("space")
        poll(lambda: not windows("Tabulka"), 10, "a key to hide the results window")
        click_main()  # Exit during a game asks, ends the game, then closes
        keys(["alt+g", "n"], falling, "piece of a new game")
        keys(["alt+g", "x"], lambda: windows("Konec hry"), "Exit's question")
        keys(["Return"], lambda: windows("GAME OVER"), "the end of the game")
        key("Return")
        poll(lambda: program.poll() is not None, 10, "the program to end after Exit")
    table = run(TOOL, "dump", path)
    check(table.startswith(name.encode("cp1250")) and (table.count(b"\n") == 1) == bool(name),
          f"the name typed, if the score earned one, on disk: {table!r}")
    check(os.listdir(folder) == ["tabulka.dat"], f"nothing but tabulka.dat in the folder: {os.listdir(folder)}")


def damaged(folder):  # a table the program's own code writes, with a byte of the scrambled record changed
    path = os.path.join(folder, "tabulka.dat")
    run(TOOL, "write", path, "Alena", "12.5", "Bořek", "3")
    data = bytearray(open(path, "rb").read())
    data[30] ^= 1
    open(path, "wb").write(data)


def contents(folder):  # name -> bytes, or None for a folder
    return {n: None if os.path.isdir(p := os.path.join(folder, n)) else open(p, "rb").read() for n in os.listdir(folder)}


# name, how the folder is made, whether the verification message comes and the file is kept as
# tabulka.dat.bad beside a new empty table (otherwise all stays as it was)
FAULTS = [("tabulka.dat is a folder", lambda f: os.mkdir(os.path.join(f, "tabulka.dat")), False),
          ("a damaged tabulka.dat", damaged, True)]


def fault(folder, make, damaged_file):
    make(folder)
    before = contents(folder)
    with started(folder, damaged_file):
        if damaged_file:  # closed with Alt+F4 during a game: no question, and the table is saved
            keys(["alt+g", "n"], falling, "piece of a new game")
    after = contents(folder)
    if damaged_file:
        check(after.keys() == {"tabulka.dat", "tabulka.dat.bad"} and after["tabulka.dat.bad"] == before["tabulka.dat"],
              f"the unusable file kept as tabulka.dat.bad: {sorted(after)}")
        check(run(TOOL, "dump", os.path.join(folder, "tabulka.dat")) == b"", "a valid empty table in tabulka.dat")
    else:
        check(after == before, f"the folder as it was: {sorted(before)} before, {sorted(after)} after")


def main():
    state["exe"] = os.path.abspath(sys.argv[1])
    if not os.access(TOOL, os.X_OK):
        sys.exit(f"missing {TOOL}: build the target results_file_tool of the preset native first")
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    display_was_up = subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0
    temp, failed = tempfile.mkdtemp(prefix="lumox-e2e-"), 0
    cases = [("start, play to the end", scenario, ())] + [(f[0], fault, f[1:]) for f in FAULTS]
    try:
        subprocess.run([WINE_RUN, "--prepare", state["exe"]], env=env, check=True, timeout=300)
        for number, (name, test, args) in enumerate(cases):
            os.mkdir(folder := os.path.join(temp, str(number)))
            state["shot"] = os.path.join(os.path.dirname(state["exe"]), f"e2e-failure-{number}.png")
            state["log"], begun = os.path.join(temp, f"{number}.log"), time.time()
            try:
                print(f"{test(folder, *args) or 'PASS'} {name} ({time.time() - begun:.1f} s)", flush=True)
            except Exception as failure:
                failed += 1
                print(f"FAIL {name}: {failure} (screenshot {state['shot']})\n{open(state['log']).read()[-1000:]}", flush=True)
    finally:
        subprocess.run([WINE_RUN, "--kill"], env=env, timeout=60)
        if not display_was_up:  # stopped, and gone before a next run could take it for up
            subprocess.run([WINE_RUN, "--stop"], env=env, timeout=60)
            poll(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode, 5)
        shutil.rmtree(temp)
    print(f"{len(cases) - failed} of {len(cases)} passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
