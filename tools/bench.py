#!/usr/bin/env python3
"""Benchmarks of the Windows build under Wine, side by side with peers run the
same way in the same Wine: start-up time and peak memory against Wine's own
winemine.exe, idle and playing CPU against a program that only keeps a 10 ms
timer, in-process handling times of the real window procedure, and sizes.

Each figure is the median of several runs with min and max. Writes the table
to build/bench/results.md and prints it. Run after the test command (it uses
the builds it leaves).
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run")
DISPLAY = os.environ.get("LUMOX_XVFB_DISPLAY", ":97")
ENV = dict(os.environ, LUMOX_WINE_MODE="x11", LUMOX_FORCE_XVFB="1")
LUMOX = os.path.join(ROOT, "build", "win64", "lumox.exe")
TIMER_ONLY = os.path.join(ROOT, "build", "win64", "timer_only.exe")
HANDLING = os.path.join(ROOT, "build", "win64", "handling_bench.exe")
RUNS = int(os.environ.get("LUMOX_BENCH_RUNS", "5"))
WINEMINE_TITLE = os.environ.get("LUMOX_WINEMINE_TITLE", "WineMiny")
CLK_TCK = os.sysconf("SC_CLK_TCK")


def x(*args):
    return subprocess.run(args, env=dict(ENV, DISPLAY=DISPLAY), capture_output=True, text=True, timeout=30).stdout


def visible(name):
    return x("xdotool", "search", "--onlyvisible", "--name", f"^{name}$").split()


def kill_all():
    subprocess.run([WINE_RUN, "--kill"], env=ENV, timeout=60)


def pid_of(image):
    out = subprocess.run(["pgrep", "-f", image], capture_output=True, text=True).stdout.split()
    pids = [int(p) for p in out if os.path.exists(f"/proc/{p}/status")]
    # The Wine process itself, not the wrapper (timeout) around it.
    for pid in pids:
        if open(f"/proc/{pid}/comm").read().strip().lower().endswith(".exe"):
            return pid
    return pids[-1] if pids else None


def painted(name):
    """The window is mapped (xdotool answers in a few milliseconds, so the
    poll is fine-grained; a screenshot per poll would not be)."""
    return bool(visible(name))


def start(args, cwd):
    log = open(cwd.rstrip("/") + ".log", "w")
    return subprocess.Popen([WINE_RUN, "--timeout", "120"] + args, cwd=cwd, env=ENV,
                            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                            start_new_session=True)


def startup(args, title, image):
    """Seconds from launch to the painted main window, and peak memory (KB)."""
    folder = tempfile.mkdtemp(prefix="lumox-bench-")
    began = time.perf_counter()
    proc = start(args, folder)
    while not painted(title):
        if proc.poll() is not None:
            # Now and then Wine refuses a start right after its server was
            # ended (exit 1, no output); such a run is started again.
            global restarts
            restarts += 1
            kill_all()
            began = time.perf_counter()
            proc = start(args, folder)
        if time.perf_counter() - began > 60:
            raise RuntimeError(f"{title} did not start (exit {proc.poll()}, log {folder}.log)")
        time.sleep(0.005)
    seconds = time.perf_counter() - began
    # The board is painted once the message loop runs: check it for the game.
    if title == "Lumox":
        time.sleep(0.5)
        colour = x("convert", "x:root[1x1+310+160]", "-format", "%[hex:p{0,0}]", "info:").strip()
        if not colour.startswith("808080"):
            raise RuntimeError(f"the board is not painted ({colour})")
    time.sleep(1.5)
    pid = pid_of(image)
    hwm = 0
    if pid:
        for line in open(f"/proc/{pid}/status"):
            if line.startswith("VmHWM:"):
                hwm = int(line.split()[1])
    kill_all()
    proc.wait()
    return seconds, hwm


def cpu_percent(args, image, title, play=False, seconds=10.0):
    folder = tempfile.mkdtemp(prefix="lumox-bench-")
    proc = start(args, folder)
    while not visible(title):
        time.sleep(0.05)
    time.sleep(1.5)
    pid = pid_of(image)
    if play:
        x("xdotool", "key", "alt+g", "n")
    def ticks():
        fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])
    t0, c0 = time.perf_counter(), ticks()
    end = t0 + seconds
    while time.perf_counter() < end:
        if play:
            x("xdotool", "key", "--delay", "100", "Left", "Right", "Up")
        time.sleep(0.2)
    t1, c1 = time.perf_counter(), ticks()
    kill_all()
    proc.wait()
    return 100.0 * (c1 - c0) / CLK_TCK / (t1 - t0)


restarts = 0


def summary(values):
    return statistics.median(values), min(values), max(values)


def row(name, values, unit, fmt="{:.3f}"):
    med, lo, hi = summary(values)
    return f"| {name} | {fmt.format(med)} | {fmt.format(lo)} | {fmt.format(hi)} | {unit} |"


def main():
    subprocess.run([WINE_RUN, "--prepare"], env=ENV, check=True, timeout=300)
    kill_all()
    rows = []
    lumox_start, lumox_mem, mine_start, mine_mem = [], [], [], []
    for _ in range(RUNS):
        s, m = startup([LUMOX], "Lumox", "lumox.exe")
        lumox_start.append(s)
        lumox_mem.append(m)
        # Wine's Minesweeper, titled in the prefix's language (Czech here).
        s, m = startup(["winemine"], WINEMINE_TITLE, "winemine.exe")
        mine_start.append(s)
        mine_mem.append(m)
    ratios = [a / b for a, b in zip(lumox_start, mine_start)]
    mem_ratios = [a / b for a, b in zip(lumox_mem, mine_mem)]
    rows.append(row("start-up, lumox.exe", lumox_start, "s"))
    rows.append(row("start-up, winemine.exe", mine_start, "s"))
    rows.append(row("start-up ratio (target <= 1.05)", ratios, "x"))
    rows.append(row("peak memory, lumox.exe", lumox_mem, "KB", "{:.0f}"))
    rows.append(row("peak memory, winemine.exe", mine_mem, "KB", "{:.0f}"))
    rows.append(row("memory ratio (target <= 1.0)", mem_ratios, "x"))

    cpu_runs = max(3, RUNS // 2)
    idle = [cpu_percent([LUMOX], "lumox.exe", "Lumox") for _ in range(cpu_runs)]
    floor = [cpu_percent([TIMER_ONLY], "timer_only.exe", "TimerOnly") for _ in range(cpu_runs)]
    play = [cpu_percent([LUMOX], "lumox.exe", "Lumox", play=True) for _ in range(cpu_runs)]
    rows.append(row("CPU idle 10 s, lumox.exe", idle, "% of a core", "{:.2f}"))
    rows.append(row("CPU idle 10 s, timer-only program", floor, "% of a core", "{:.2f}"))
    rows.append(row("CPU idle ratio (target <= 1.1)", [a / b for a, b in zip(idle, floor)], "x", "{:.2f}"))
    rows.append(row("CPU playing 10 s, lumox.exe", play, "% of a core", "{:.2f}"))

    out = subprocess.run([WINE_RUN, HANDLING], env=ENV, capture_output=True, text=True, timeout=300).stdout
    for line in out.splitlines():
        name, med, lo, hi = line.split()
        target = {"move_key": " (target < 500)", "hard_drop": " (target < 8000)"}.get(name, "")
        rows.append(f"| handling: {name}{target} | {float(med):.0f} | {float(lo):.0f} | {float(hi):.0f} | µs |")
    kill_all()

    for preset in ("win32", "win64"):
        path = os.path.join(ROOT, "build", preset, "lumox.exe")
        if os.path.exists(path):
            size = os.path.getsize(path)
            target = " (target < 100 KB)" if preset == "win32" else ""
            rows.append(f"| size, build/{preset}/lumox.exe (stripped){target} | {size / 1024:.1f} | | | KB |")

    machine = subprocess.run(["uname", "-srm"], capture_output=True, text=True).stdout.strip()
    cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")), "?")
    wine = subprocess.run(["/usr/lib/wine/wine64", "--version"], capture_output=True, text=True).stdout.strip()
    table = "\n".join([
        f"Machine: {cpu}, {os.cpu_count()} cores, {machine}; {wine} on Xvfb; {RUNS} runs a figure "
        f"(CPU: {cpu_runs}); {restarts} refused Wine starts were repeated.",
        "",
        "| figure | median | min | max | unit |",
        "|---|---|---|---|---|",
    ] + rows)
    os.makedirs(os.path.join(ROOT, "build", "bench"), exist_ok=True)
    with open(os.path.join(ROOT, "build", "bench", "results.md"), "w") as f:
        f.write(table + "\n")
    print(table)


if __name__ == "__main__":
    sys.exit(main())
