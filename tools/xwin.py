#!/usr/bin/env python3
"""What the end-to-end test and the benchmark share: waiting, X windows, keys and pixels
(xdotool, ImageMagick), Windows programs under tools/wine-run, all on the private display
LUMOX_XVFB_DISPLAY; without one, the importer runs again under xvfb-run on a free display."""
import os
import subprocess
import sys
import time

if not os.environ.get("LUMOX_XVFB_DISPLAY"):
    os.execvp("xvfb-run", ["xvfb-run", "-a", "sh", "-c", 'LUMOX_XVFB_DISPLAY=$DISPLAY exec "$0" "$@"',
                           sys.executable, *sys.argv])
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wine-run")
ENV = dict(os.environ, LUMOX_WINE_MODE="x11", DISPLAY=os.environ["LUMOX_XVFB_DISPLAY"])
WIDTH, HEIGHT = 1280, 1024  # the size of xvfb-run's screen


def expect(expected, actual, what):
    if expected != actual:
        raise AssertionError(f"{what}: expected {expected!r}, got {actual!r}")


def poll(condition, what=None, seconds=10):
    """The first true value of condition() within the seconds; with what, a timeout fails."""
    end = time.time() + seconds
    while not (value := condition()) and time.time() < end:
        time.sleep(0.05)
    if what and not value:
        raise AssertionError(f"timed out after {seconds} s waiting for {what}")
    return value


def run(*args, ok=(0,)):
    args = [str(arg) for arg in args]
    result = subprocess.run(args, env=ENV, capture_output=True, timeout=60)
    if result.returncode not in ok:
        raise AssertionError(f"{' '.join(args)}: {result.stderr.decode().strip()}")
    # The program's texts, and the results file's names, are Windows-1250.
    return result.stdout.decode("cp1250", errors="replace")


def windows(title=None, wm_class=None):
    """The visible windows titled so (a letter beyond ASCII matches the bytes of any Wine)."""
    if wm_class:
        return run("xdotool", "search", "--onlyvisible", "--classname", wm_class, ok=(0, 1)).split()
    pattern = "".join(c if ord(c) < 128 else ".+" for c in title)
    return run("xdotool", "search", "--onlyvisible", "--name", f"^{pattern}$", ok=(0, 1)).split()


shown = lambda title: lambda: windows(title)
gone = lambda title: lambda: not windows(title)
exited = lambda program: lambda: program.poll() is not None


def key(*keys):
    run("xdotool", "key", "--delay", "40", *keys)


def press(keys, done, what):
    """Sends the keys (xdotool's names, separated by spaces) until done() is true (returned),
    once more after Escape and a click where the pointer is (left on the window by the caller)
    if they got lost, as under Xvfb keys sent right after a window maps can be."""
    for _ in range(2):
        key(*keys.split())
        if value := poll(done, seconds=4):
            time.sleep(0.3)
            return value
        key("Escape")
        run("xdotool", "click", "1")
        time.sleep(0.2)
    raise AssertionError(f"expected {what} after the keys {keys}, got nothing")


def screen():
    """The display's pixels now, as a function (x, y) -> (r, g, b)."""
    raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=ENV,
                         capture_output=True, timeout=60).stdout
    expect(WIDTH * HEIGHT * 3, len(raw), "bytes of a screenshot")
    return lambda x, y: tuple(raw[3 * (WIDTH * y + x):3 * (WIDTH * y + x) + 3])


def board_cells(left, top, size, columns, rows, empty):
    """The cells (of size pixels, from left, top) whose centre is not the empty colour."""
    pixel = screen()
    at = lambda c, r: pixel(left + size * c + size // 2, top + size * r + size // 2)
    return {(c, r) for c in range(columns) for r in range(rows) if at(c, r) != empty}


def save_screen(path):
    run("import", "-window", "root", path)


def start(args, folder, log, wine=None, seconds=120):
    """A Windows program under wine-run in folder, in a session of its own, its output in log."""
    env = dict(ENV, LUMOX_WINE=wine) if wine else ENV
    with open(log, "ab") as out:
        return subprocess.Popen([WINE_RUN, "--timeout", str(seconds)] + args, cwd=folder, env=env,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                start_new_session=True)


def wine_run(*args, wine=None):
    """wine-run --prepare, --kill or --stop for the private display's prefixes."""
    env = dict(ENV, LUMOX_WINE=wine) if wine else ENV
    subprocess.run([WINE_RUN, *args], env=env, check=True, timeout=300)
