#!/usr/bin/env python3
"""End-to-end test of the real program: lumox.exe (either Windows build) under Wine on a virtual
display, driven with xdotool like a player and checked by screenshots, window placement and the
files it leaves on disk. Needs the native results_file_tool, built before it runs.

Usage: e2e_test.py path/to/lumox.exe
"""
import contextlib, os, shutil, signal, subprocess, sys, tempfile, time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run")
TOOL = os.path.join(ROOT, "build", "native", "tests", "e2e", "results_file_tool")
env = dict(os.environ, LUMOX_WINE_MODE="x11", LUMOX_FORCE_XVFB="1")
env["DISPLAY"] = env.get("LUMOX_XVFB_DISPLAY", ":97")  # the display wine-run starts
X0, Y0 = 300, 150  # where the main window's client area must start on the screen
GRAY, GRID, BLACK = (128, 128, 128), (90, 90, 90), (0, 0, 0)
MESSAGE, NAME = "Chyba verifikace dat", "Zápis do tabulky"
state = {"mounts": []}


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def run(*args, ok=(0,)):
    result = subprocess.run(args, env=env, capture_output=True, timeout=60)
    command = " ".join([os.path.basename(args[0])] + list(args[1:]))
    check(result.returncode in ok, f"{command}: {result.stderr.decode().strip()}")
    return result.stdout


def poll(predicate, timeout):
    end = time.time() + timeout
    while not (value := predicate()) and time.time() < end:
        time.sleep(0.05)
    return value


def wait_for(predicate, what, timeout=10):
    value = poll(predicate, timeout)
    check(value, f"timed out waiting for {what}")
    return value


def windows(title=None):
    """Visible windows of this title (of any name without one). Wine 8 names them in Latin-1 and
    Wine 10 in UTF-8, so a letter beyond ASCII matches any one or more bytes."""
    pattern = "^" + "".join(c if ord(c) < 128 else ".+" for c in title) + "$" if title else "."
    return run("xdotool", "search", "--onlyvisible", "--name", pattern, ok=(0, 1)).decode().split()


def corner(window):
    out = run("xdotool", "getwindowgeometry", "--shell", window).decode()
    values = dict(line.split("=") for line in out.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"])


def key(*keys):
    run("xdotool", "key", "--delay", "40", *keys)


def shot():
    raw = run("import", "-window", "root", "-depth", "8", "rgb:-")
    check(len(raw) == 1280 * 1024 * 3, "a screenshot of the 1280x1024 display")
    return lambda x, y: tuple(raw[3 * (1280 * y + x):3 * (1280 * y + x) + 3])


def board():
    """The cells whose centre is not the empty board's gray."""
    pixel = shot()
    return {(c, r) for c in range(8) for r in range(16) if pixel(X0 + 21 * c + 11, Y0 + 21 * r + 11) != GRAY}


def click_main():
    """A click on the right of the status strip gives the main window the keyboard."""
    run("xdotool", "mousemove", str(X0 + 150), str(Y0 + 350), "click", "1")
    time.sleep(0.2)


def keys(sent, done, what):
    """Sends the keys, once more after an Escape and a click if they got lost under Xvfb."""
    for _ in range(2):
        key(*sent)
        if value := poll(done, 4):
            time.sleep(0.3)  # keys sent right after a window maps can get lost
            return value
        key("Escape")
        click_main()
    check(False, f"no {what} after {' '.join(sent)}")


@contextlib.contextmanager
def started(folder, message=False):
    """The real program in this folder, its main window up (after the verification message if due)."""
    with open(state["log"], "ab") as log:
        program = subprocess.Popen([WINE_RUN, "--timeout", "120", state["exe"]], cwd=folder, env=env,
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
    running = lambda: check(program.poll() is None, f"the program ended ({program.returncode}) before its window")
    try:
        if message:
            wait_for(lambda: running() or windows(MESSAGE), "the verification message", 60)
            keys(["Return"], lambda: not windows(MESSAGE), "end of the message")
        wait_for(lambda: running() or windows(MESSAGE) or windows("Lumox") and not board(), "the main window", 60)
        check(not windows(MESSAGE), "no verification message")
        time.sleep(0.3)  # keys sent right after a window maps can get lost
        yield program
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


def falling():
    """The falling piece's four cells, on an empty board."""
    cells = board()
    return cells if len(cells) == 4 else None


def scenario(folder):
    path = os.path.join(folder, "tabulka.dat")
    with started(folder):
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
        wait_for(lambda: not windows("Rychlost hry"), "the Speed dialog to close")
        piece = keys(["alt+g", "n"], falling, "piece of a new game")
        for name, step, moved in (("Enter", "Return", lambda c, r: (c, r + 1)), ("Left", "Left", lambda c, r: (c - 1, r))):
            key(step)
            wanted = {moved(c, r) for c, r in piece}
            piece = wait_for(lambda: (cells := falling()) in (wanted, {(c, r + 1) for c, r in wanted}) and cells,
                             f"{name} to move the piece")
        if len({c for c, _ in piece}) * len({r for _, r in piece}) != 4:  # the square never turns
            key("Up")
            wait_for(lambda: (cells := falling()) and cells != piece, "Up to turn the piece")
        ended = poll(lambda: key("Down") or windows(NAME) or windows("GAME OVER"), 60)
        check(ended, "the game ends after enough drops")
        name = "Hráč" if windows(NAME) else ""
        if name:
            run("xdotool", "type", "--delay", "40", name)
        key("Return")
        wait_for(lambda: not windows(NAME) and not windows("GAME OVER"), "the end of the game answered")
        click_main()
        results = keys(["Insert"], lambda: windows("Tabulka"), "results window")
        (mx, my, mw), (rx, ry, _) = corner(windows("Lumox")[0]), corner(results[0])
        check((rx, ry) == (mx + mw, my), f"results window at {rx},{ry} beside the main window {mx},{my} {mw} wide")
        key("space")
        wait_for(lambda: not windows("Tabulka"), "a key to hide the results window")
    table = dump(path)
    check(table.startswith(name.encode("cp1250")) and (table.count(b"\n") == 1) == bool(name),
          f"the name typed, if the score earned one, on disk: {table!r}")
    saved = open(path, "rb").read()
    with started(folder):
        pass
    check(open(path, "rb").read() != saved and dump(path) == table, "the saved table loaded and written back")
    check(os.listdir(folder) == ["tabulka.dat"], f"nothing but tabulka.dat in the folder: {os.listdir(folder)}")


def dump(path):
    return run(TOOL, "dump", path)


def table_in(folder, *entries):
    run(TOOL, "write", os.path.join(folder, "tabulka.dat"), *entries)
    return os.path.join(folder, "tabulka.dat")


def damaged(folder):
    data = bytearray(open(table_in(folder, "Alena", "12.5"), "rb").read())
    data[30] ^= 1  # a byte of the scrambled record
    return put(folder, data)


def put(folder, data):
    open(os.path.join(folder, "tabulka.dat"), "wb").write(data)
    return folder


def read_only_folder(folder):
    source, mounted = os.path.join(folder, "source"), os.path.join(folder, "read-only")
    os.mkdir(source)
    os.mkdir(mounted)
    table_in(source, "Alena", "12.5", "Bořek", "3")
    if subprocess.run(["mount", "--bind", source, mounted], capture_output=True).returncode:
        return None
    state["mounts"].append(mounted)
    run("mount", "-o", "remount,bind,ro", mounted)
    return mounted


def unmount():
    while state["mounts"]:
        run("umount", state["mounts"][-1])
        state["mounts"].pop()


def contents(folder):
    """Every file and folder under folder, not looking into mounts: path -> bytes, or None for a folder."""
    found = {}
    for path, folders, files in os.walk(folder):
        for name in folders + files:
            full = os.path.join(path, name)
            found[os.path.relpath(full, folder)] = None if name in folders else open(full, "rb").read()
        folders[:] = [name for name in folders if os.path.join(path, name) not in state["mounts"]]
    return found


EMPTY, SAME = "a valid empty table", lambda before: before
KEPT_AS_BAD = lambda before: {"tabulka.dat": EMPTY, "tabulka.dat.bad": before["tabulka.dat"]}
FAULTS = [
    # name, how the folder is made, the verification message shown, Clear chosen, what it holds after exit
    ("tabulka.dat is a folder", lambda f: os.mkdir(os.path.join(f, "tabulka.dat")) or f, False, False, SAME),
    ("4 MiB of random bytes", lambda f: put(f, os.urandom(4 << 20)), True, False, KEPT_AS_BAD),
    ("read-only tabulka.dat", lambda f: os.chmod(table_in(f, "Alena", "12.5"), 0o444) or f, False, True, SAME),
    ("read-only folder", read_only_folder, False, False, SAME),
    ("a damaged tabulka.dat", damaged, True, False, KEPT_AS_BAD),
]


def fault(folder, make, message, clear, expected):
    run_in = make(folder)
    if run_in is None:
        return "SKIP (cannot mount here)"
    before = contents(folder)
    with started(run_in, message):
        if clear:  # the write fails, and nothing may say so
            keys(["alt+r", "c"], lambda: windows("Potvrzení"), "Clear confirmation")
            keys(["Return"], lambda: not windows("Potvrzení"), "end of the confirmation")
            check(not poll(lambda: windows() != windows("Lumox"), 1), "no window but the main one after Clear")
    unmount()
    after, wanted = contents(folder), expected(before)
    check(sorted(after) == sorted(wanted), f"the folder holds {sorted(after)}, expected {sorted(wanted)}")
    for name, content in wanted.items():
        check(dump(os.path.join(folder, name)) == b"" if content is EMPTY else after[name] == content,
              f"{name}: {EMPTY if content is EMPTY else 'kept as it was'}")


def main():
    state["exe"] = os.path.abspath(sys.argv[1])
    if not os.access(TOOL, os.X_OK):
        sys.exit(f"missing {TOOL}: build the target results_file_tool of the preset native first")
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    display_was_up = subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0
    temp, failed = tempfile.mkdtemp(prefix="lumox-e2e-"), 0
    cases = [("start, play to the end, start again", scenario, ())] + [(f[0], fault, f[1:]) for f in FAULTS]
    try:
        subprocess.run([WINE_RUN, "--prepare", state["exe"]], env=env, check=True, timeout=300)
        for number, (name, test, args) in enumerate(cases):
            os.mkdir(folder := os.path.join(temp, str(number)))
            state["shot"] = os.path.join(os.path.dirname(state["exe"]), f"e2e-failure-{number}.png")
            state["log"] = os.path.join(temp, f"{number}.log")
            with contextlib.suppress(FileNotFoundError):
                os.remove(state["shot"])
            begun = time.time()
            try:
                print(f"{test(folder, *args) or 'PASS'} {name} ({time.time() - begun:.1f} s)", flush=True)
            except Exception as failure:
                failed += 1
                shown = f" (screenshot {state['shot']})" if os.path.exists(state["shot"]) else ""
                output = open(state["log"], errors="replace").read()[-1000:] if os.path.exists(state["log"]) else ""
                print(f"FAIL {name}: {failure}{shown}\n{output}", flush=True)
            finally:
                unmount()
    finally:
        unmount()
        subprocess.run([WINE_RUN, "--kill"], env=env, timeout=60)
        if not display_was_up:  # stopped, and gone before a next run could take it for up
            subprocess.run([WINE_RUN, "--stop"], env=env, timeout=60)
            poll(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode, 5)
        shutil.rmtree(temp)
    print(f"{len(cases) - failed} of {len(cases)} passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
