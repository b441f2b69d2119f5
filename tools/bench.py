#!/usr/bin/env python3
"""Benchmarks of the Windows builds under Wine beside peers run the same way (the README tells
which), each figure the median of several runs with min and max. Runs in a temporary folder,
removed at the end; writes the table to build/bench/results.md. Started by tools/bench.sh."""
import os, shutil, statistics, subprocess, tempfile, time

from xwin import ENV, poll, key, run, screen, start, wine_run, windows

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RUNS = int(os.environ.get("LUMOX_BENCH_RUNS", "5"))
CPU_RUNS = max(3, RUNS // 2)
WORK = tempfile.mkdtemp(prefix="lumox-bench-")

# (label of the Wine, LUMOX_WINE, build preset); the i686 one unless the kernel refuses it
SETUPS = [("Wine 8", "host", "win64"), ("Wine 10 wow64", "wow64", "win64")]
if os.environ.get("LUMOX_BENCH_PE32") != "no":
    SETUPS.insert(1, ("Wine 10 wow64", "wow64", "win32"))
ARCH = {"win64": "x86_64", "win32": "i686"}
restarts = 0


def launch(wine, args, image):
    """Starts a program and waits for its window: (seconds, pid, process). A start that Wine
    refuses (now and then right after its server was ended) is tried again, three times at most."""
    global restarts
    folder = tempfile.mkdtemp(dir=WORK)
    for _ in range(4):
        began = time.perf_counter()
        proc = start(args, folder, folder + ".log", wine)
        while not (found := windows(wm_class=image)) and proc.poll() is None:
            if time.perf_counter() - began > 60:
                raise RuntimeError(f"{args[0]} showed no window in 60 s (log {folder}.log)")
            time.sleep(0.005)
        if found:
            return time.perf_counter() - began, int(run("xdotool", "getwindowpid", found[0])), proc
        restarts += 1
        stop(wine)
    raise RuntimeError(f"{args[0]} did not start: it ended at once 4 times (log {folder}.log)")


def stop(wine, proc=None):
    wine_run("--kill", wine=wine)
    proc and proc.wait()


def startup(wine, args, image):
    """Seconds from launch to the mapped main window, and peak memory (KB)."""
    seconds, pid, proc = launch(wine, args, image)
    # The board is painted once the message loop runs: check it for the game.
    if image == "lumox.exe" and not poll(lambda: screen()(310, 160) == (128, 128, 128), seconds=0.5):
        raise RuntimeError("the board is not painted")
    time.sleep(1.5)
    hwm = next(int(line.split()[1]) for line in open(f"/proc/{pid}/status") if "VmHWM:" in line)
    stop(wine, proc)
    return seconds, hwm


def cpu_percent(wine, args, image, play=False, seconds=10.0):
    _, pid, proc = launch(wine, args, image)
    time.sleep(1.5)
    if play:
        key("alt+g", "n")

    def ticks():  # utime + stime
        return sum(map(int, open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()[11:13]))
    t0, c0 = time.perf_counter(), ticks()
    end = t0 + seconds
    while time.perf_counter() < end:
        if play:
            run("xdotool", "key", "--delay", "100", "Left", "Right", "Up")
        time.sleep(0.2)
    t1, c1 = time.perf_counter(), ticks()
    stop(wine, proc)
    return 100.0 * (c1 - c0) / os.sysconf("SC_CLK_TCK") / (t1 - t0)


def row(name, wine, build, values, unit, fmt="{:.3f}"):
    cells = [fmt.format(v) for v in (statistics.median(values), min(values), max(values))]
    return f"| {name} | {wine} | {build} | {' | '.join(cells)} | {unit} |"


def measure(label, wine, preset):
    build = ARCH[preset]
    exe = lambda name: os.path.join(ROOT, "build", preset, name)
    lumox = [exe("lumox.exe")]
    programs = [("lumox.exe", lumox, "lumox.exe"), ("winemine.exe (64-bit)", ["winemine"], "winemine.exe")]
    if preset == "win32":
        programs.append(("winemine.exe (32-bit)", ["C:\\windows\\syswow64\\winemine.exe"], "winemine.exe"))
    wine_run("--prepare", exe("lumox.exe"), wine=wine)
    wine_run("--kill", wine=wine)
    # The programs take turns, so that a slow spell of the machine hits them all.
    runs = {name: [] for name, _, _ in programs}
    for _ in range(RUNS):
        for name, args, image in programs:
            runs[name].append(startup(wine, args, image))
    rows = []
    for i, figure, ratio, unit, fmt, target in [(0, "start-up", "start-up", "s", "{:.3f}", 1.05),
                                                 (1, "peak memory", "memory", "KB", "{:.0f}", 1.0)]:
        for name, _, _ in programs:
            rows.append(row(f"{figure}, {name}", label, build if name == "lumox.exe" else "",
                            [r[i] for r in runs[name]], unit, fmt))
        for name, _, _ in programs[1:]:
            values = [a[i] / b[i] for a, b in zip(runs["lumox.exe"], runs[name])]
            rows.append(row(f"{ratio} ratio to {name} (target <= {target})", label, build, values, "x"))

    idle = [cpu_percent(wine, lumox, "lumox.exe") for _ in range(CPU_RUNS)]
    floor = [cpu_percent(wine, [exe("timer_only.exe")], "timer_only.exe") for _ in range(CPU_RUNS)]
    play = [cpu_percent(wine, lumox, "lumox.exe", play=True) for _ in range(CPU_RUNS)]
    for name, values, unit in [("CPU idle 10 s, lumox.exe", idle, "% of a core"),
                               ("CPU idle 10 s, timer-only program", floor, "% of a core"),
                               ("CPU idle ratio (target <= 1.1)", [a / b for a, b in zip(idle, floor)], "x"),
                               ("CPU playing 10 s, lumox.exe", play, "% of a core")]:
        rows.append(row(name, label, build, values, unit, "{:.2f}"))

    for line in output(os.path.join(ROOT, "tools", "wine-run"), exe("handling_bench.exe"),
                       cwd=tempfile.mkdtemp(dir=WORK), LUMOX_WINE=wine).splitlines():
        name, *values = line.split()
        target = {"move_key": " (target < 500)", "hard_drop": " (target < 8000)"}.get(name, "")
        rows.append(row(f"handling: {name}{target}", label, build, [float(v) for v in values], "µs",
                        "{:.0f}"))
    stop(wine)
    return rows


def output(*args, cwd=ROOT, **env):
    return subprocess.run(args, cwd=cwd, env=dict(ENV, **env), capture_output=True, text=True,
                          timeout=300).stdout.strip()


def main():
    try:
        rows = []
        for label, wine, preset in SETUPS:
            rows += measure(label, wine, preset)
        for preset in ("win32", "win64"):
            size = os.path.getsize(os.path.join(ROOT, "build", preset, "lumox.exe"))
            target = " (target < 100 KB)" if preset == "win32" else ""
            rows.append(f"| size, build/{preset}/lumox.exe (stripped){target} | | {ARCH[preset]} | {size / 1024:.1f} "
                        f"| | | KB |")
    finally:
        stop("host")
        stop("wow64")
        shutil.rmtree(WORK, ignore_errors=True)

    cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if "model name" in l), "?")
    table = "\n".join([
        f"Machine: {cpu}, {os.cpu_count()} cores, {output('uname', '-srm')}. Wine 8 is the machine's "
        f"{output('tools/wine-run', '--version', LUMOX_WINE='host')}; Wine 10 wow64 is "
        f"{output('tools/wine-run', '--version', LUMOX_WINE='wow64')} in the Debian 13 root. Both on Xvfb; {RUNS} runs a figure "
        f"(CPU: {CPU_RUNS}); {restarts} refused Wine starts were repeated.",
        "",
        "| figure | Wine | build | median | min | max | unit |",
        "|---|---|---|---|---|---|---|",
    ] + rows)
    os.makedirs(os.path.join(ROOT, "build", "bench"), exist_ok=True)
    with open(os.path.join(ROOT, "build", "bench", "results.md"), "w") as f:
        f.write(table + "\n")
    print(table)


if __name__ == "__main__":
    main()
