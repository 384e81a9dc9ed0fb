#!/usr/bin/env python3
"""Benchmarks of the real wendlock.exe under Wine: figures, not pass or fail.

Runs on an X server and a Wine prefix of its own (/tmp/wine-bench by
default), through the end-to-end harness's environment, with probe.exe as
the measuring tool beside standin.exe and driver.exe:

  1. dismiss latency of 200 listed message boxes opened one after another,
  2. CPU time of monitoring with nothing to answer, 10 and 500 other windows,
  3. the finder's tree walk over a window with 5,000 descendants,
  4. the outline drawn and removed on 800x600 windows,
  5. footprint: size, memory after start-up, start-up time,
  6. what the window server spends beside Wendlock against a control program
     (poller.exe: the watcher's lookups, with or without a tray icon), all in
     rounds over the same 500 other windows,
  7. the tick of an entry with Text and Program keys against the same entry
     without them (tickbench.exe): no box open, 20 boxes of its title with
     another text, a hung window of its title.

    python3 tests/e2e/bench_wine.py [--build build-bench-wine] [--prefix DIR]
                                    [--only tray,latency,cpu,tree,outline,startup,keys]

Prints one table at the end; the exit status is non-zero only when the
environment or a measurement could not be run.
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402  (the harness's environment and helpers)
from run_e2e import (LIST2_AT, MAIN_CAPTION, PICTURE2_AT, PROCESS, REPO, TEXT4_AT,  # noqa: E402
                     TRAY_AT, Environment, SetupError, log, poll, profile_lines, write_profile)

TIMER_MS = 55
IDOK, IDNO = 1, 7


class BenchError(Exception):
    pass


# ---------------------------------------------------------------------------
# Tools.


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def driver(*args, timeout_ms=10000):
    rc, out = run_e2e.ENV.driver(*args, timeout_ms=timeout_ms)
    if rc != 0:
        raise BenchError(f"driver {' '.join(args)} failed: {out.strip()}")
    return out


def app(command, *args, timeout_ms=10000):
    return driver(command, "--process", PROCESS, *args, timeout_ms=timeout_ms)


def probe_exe():
    exe = run_e2e.ENV.find_exe("probe.exe")
    if exe is None:
        raise SetupError(f"probe.exe is not in {run_e2e.ENV.build}; build the cross build first")
    return exe


def probe(*args, timeout=120):
    rc, out = run_e2e.ENV.run(probe_exe(), list(args), timeout=timeout)
    if rc != 0:
        raise BenchError(f"probe {' '.join(args)} failed ({rc}): {out.strip()}")
    return out


def keys(text):
    """key=value lines as a dict (the last value of a key wins)."""
    values = {}
    for line in text.splitlines():
        if "=" in line and " " not in line.split("=", 1)[0]:
            key, value = line.split("=", 1)
            values[key.strip()] = value.strip()
    return values


def stats():
    return keys(probe("stats", "--name", PROCESS))


def hwnd_at(at):
    out = app("state", "--at", at)
    return re.search(r"hwnd=(0x[0-9a-f]+)", out).group(1)


class Background:
    """A Windows program left running until its stop file appears."""

    def __init__(self, exe, args, ready_pattern, timeout=120):
        env = run_e2e.ENV
        self.stop_file = os.path.join(env.work, f"stop-{time.monotonic_ns()}")
        self.process = env.spawn(exe, list(args) + ["--until-file", windows_path(self.stop_file)])
        ready = poll(lambda: re.search(ready_pattern, Environment.output_of(self.process))
                     or self.process.poll() is not None, timeout)
        if not ready or self.process.poll() is not None:
            raise BenchError(f"{os.path.basename(exe)} not ready: "
                             f"{Environment.output_of(self.process)!r}")

    def output(self):
        return Environment.output_of(self.process)

    def stop(self, timeout=60):
        open(self.stop_file, "w").close()
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def percentile(values, share):
    ordered = sorted(values)
    rank = max(0, min(len(ordered) - 1, int(round(share * len(ordered) + 0.5)) - 1))
    return ordered[rank]


def linux_cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def own_linux_process(prefix, name):
    """Linux pid of the process of our Wine prefix whose command names `name`
    (a Windows program's file name or "wineserver"), or None."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            command = open(f"/proc/{entry}/cmdline", "rb").read().split(b"\0")[0]
            if not command.replace(b"\\", b"/").rsplit(b"/", 1)[-1].lower().startswith(
                    name.lower().encode()):
                continue
            environ = open(f"/proc/{entry}/environ", "rb").read().split(b"\0")
        except OSError:
            continue
        if f"WINEPREFIX={prefix}".encode() in environ:
            return int(entry)
    return None



# Wine's desktop process: it draws the virtual desktop and its taskbar, which
# holds the tray.
DESKTOP = "explorer.exe"


def cpu_of(pids):
    """Linux CPU seconds of each process named in `pids` (label -> pid); a
    process that is gone or not yet there counts 0."""
    seconds = {}
    for label, pid in pids.items():
        try:
            seconds[label] = linux_cpu_seconds(pid) if pid else 0.0
        except OSError:
            seconds[label] = 0.0
    return seconds


def server_pids(extra=None):
    """wineserver and the desktop process of our prefix, and `extra`."""
    prefix = run_e2e.ENV.prefix
    pids = {"wineserver": own_linux_process(prefix, "wineserver"),
            DESKTOP: own_linux_process(prefix, DESKTOP)}
    pids.update(extra or {})
    return pids


def shares_over(seconds, pids):
    """Share of a core (%) that each process used over a window of `seconds`."""
    before = cpu_of(pids)
    started = time.monotonic()
    time.sleep(seconds)  # the measuring window itself
    elapsed = time.monotonic() - started
    after = cpu_of(pids)
    return {label: (after[label] - before[label]) / elapsed * 100 for label in pids}, elapsed


def settle(quiet=2.0, slice_s=2.0, deadline_s=240):
    """Waits until the desktop process uses less than `quiet` % of a core
    over one slice; returns the seconds waited, or None when the deadline
    passed first. Work it has left over from what came before (windows made
    or destroyed while the taskbar is shown, an icon added) would otherwise
    be counted against what is measured next. Only the desktop process is
    watched: the program measured next keeps wineserver busy by its own
    requests."""
    started = time.monotonic()
    while time.monotonic() - started < deadline_s:
        shares, _ = shares_over(slice_s, {DESKTOP: own_linux_process(run_e2e.ENV.prefix, DESKTOP)})
        if shares[DESKTOP] < quiet:
            return time.monotonic() - started
    return None


def taskbar_shown():
    """Whether Wine's taskbar is on the screen: it shows only while the tray
    holds an icon."""
    out = driver("state", "--class", "Shell_TrayWnd")
    return " visible=1" in out


class Poller:
    """poller.exe, the control program, until stop()."""

    CAPTION = "Wendlock poller"

    def __init__(self, *args):
        env = run_e2e.ENV
        exe = env.find_exe("poller.exe")
        if exe is None:
            raise SetupError(f"poller.exe is not in {env.build}; build the cross build first")
        self.process = env.spawn(exe, list(args))
        if not poll(lambda: "ready " in self.output() or self.process.poll() is not None, 60) \
                or self.process.poll() is not None:
            raise BenchError(f"poller.exe {' '.join(args)} not ready: {self.output()!r}")
        self.pid = own_linux_process(env.prefix, "poller.exe")

    def output(self):
        return Environment.output_of(self.process)

    def stop(self):
        """Ends it through its window and returns its last line; an icon it
        could not remove would stay in the tray and spoil what comes next."""
        driver("close", "--window", self.CAPTION, "--process", "poller.exe")
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise BenchError("poller.exe did not end on WM_CLOSE")
        end = (re.findall(r"^end .*$", self.output(), re.M) or [""])[-1]
        if not end.startswith("end closed") or "tray_removed=0" in end:
            raise BenchError(f"poller.exe did not end cleanly: {self.output()!r}")
        return end


# ---------------------------------------------------------------------------
# The bench.


ENTRIES = 20
PROFILE = [f"Bench Box {n:02d}[{'OK' if n % 2 else '&No'}]<<#32770>>"
           for n in range(1, ENTRIES + 1)]


class Bench:
    def __init__(self, only):
        self.only = only
        self.rows = []  # (measure, value, unit, goal)
        self.notes = []
        self.folder = None
        self.wendlock = None

    def row(self, measure, value, unit, goal=""):
        self.rows.append((measure, value, unit, goal))
        log(f"# {measure}: {value} {unit} {goal}")

    def wanted(self, name):
        return not self.only or name in self.only

    # -- set-up ------------------------------------------------------------

    def start_wendlock(self):
        self.wendlock = self.launch_wendlock("bench")

    def launch_wendlock(self, name):
        """A wendlock.exe of its own folder and the watch list of 20 entries,
        its main window shown and the list loaded."""
        env = run_e2e.ENV
        self.folder = env.new_folder(name)
        write_profile(self.folder, "default_wl.ini", profile_lines(*PROFILE))
        shutil.copy(env.wendlock_exe, os.path.join(self.folder, PROCESS))
        process = env.spawn(os.path.join(self.folder, PROCESS), [], cwd=self.folder)
        app("wait", "--window", MAIN_CAPTION, "--visible", "1", timeout_ms=60000)
        items = app("items", "--at", LIST2_AT)
        if f"count={ENTRIES}" not in items:
            raise BenchError(f"watch list not loaded: {items}")
        return process

    def exit_wendlock(self, process):
        """Ends Wendlock the way a user does, through its tray menu's last
        item, "Exit", which takes its icon out of the tray; a killed Wendlock
        leaves its icon behind."""
        app("tray", "--at", TRAY_AT, "--event", "right")
        driver("wait", "--class", "#32768", "--visible", "1", timeout_ms=10000)
        driver("keys", "--seq", "up,return")
        if not poll(lambda: process.poll() is not None, 15):
            process.kill()
            process.wait()
            raise BenchError("wendlock.exe did not end through its tray menu (killed; its "
                             "icon stays in the tray)")

    def monitoring(self, on):
        caption = "Enable monitoring" if on else "Disable monitoring"
        other = "Disable monitoring" if on else "Enable monitoring"
        app("click", "--button", caption)
        app("wait", "--button", other, "--visible", "1")

    # -- 0. what the metric calls report under Wine --------------------------

    def api_check(self):
        out = keys(probe("selftest"))
        for call in ("GetProcessHandleCount", "system_handles", "GetGuiResources_GDI",
                     "gdi_table_objects", "GetGuiResources_USER", "GetProcessMemoryInfo",
                     "private_commit_kib", "GetProcessTimes"):
            self.notes.append(f"{call}: {out.get(call, '?')}")
        log("# metric calls under Wine: " + "; ".join(self.notes))
        self.api = out

    # -- 5. footprint ----------------------------------------------------------

    def startup(self):
        env = run_e2e.ENV
        size = os.path.getsize(env.wendlock_exe)
        self.row("wendlock.exe size", f"{size / 1024:,.0f}", "KiB", "static build, stripped: "
                 + ("yes" if b".debug_info" not in open(env.wendlock_exe, "rb").read() else "no"))
        folder = env.new_folder("startup")
        write_profile(folder, "default_wl.ini", profile_lines(*PROFILE))
        shutil.copy(env.wendlock_exe, os.path.join(folder, PROCESS))
        # A trivial windowed program first (also warms wineserver), then
        # Wendlock; both from CreateProcess in probe.exe to their window shown.
        baseline, own, created = [], [], []
        for _ in range(3):
            out = keys(probe("launch", "--exe", env.standin_exe, "--window", "Probe Owner",
                             "--arg", "--box", "--arg", "Probe start", "--arg", "OK",
                             "--arg", "--owner-title", "--arg", "Probe Owner",
                             "--arg", "--timeout-ms", "--arg", "20000", "--terminate"))
            baseline.append(float(out["launch_to_window_ms"]))
        for _ in range(3):
            out = keys(probe("launch", "--exe", windows_path(os.path.join(folder, PROCESS)),
                             "--cwd", windows_path(folder), "--window", MAIN_CAPTION,
                             "--terminate"))
            own.append(float(out["launch_to_window_ms"]))
            created.append(float(out["created_to_window_ms"]))
            driver("wait", "--window", MAIN_CAPTION, "--gone", timeout_ms=15000)
        self.row("start-up: CreateProcess to main window shown", f"{statistics.median(own):.0f}",
                 "ms", f"median of 3; min {min(own):.0f}")
        self.row("  trivial windowed exe (standin.exe), same way",
                 f"{statistics.median(baseline):.0f}", "ms", "Wine's own process start")
        self.row("  Wendlock's own share", f"{statistics.median(own) - statistics.median(baseline):.0f}",
                 "ms", "difference of the medians")
        self.row("  process creation time to window shown",
                 f"{statistics.median(created):.0f}", "ms", "GetProcessTimes creation time")

    def footprint(self):
        # The instance that the other measures use, freshly started and idle.
        app("send", "--msg", "0")
        values = stats()
        # A trivial windowed program (a stand-in waiting on its box) measured
        # the same way: what every Wine process carries.
        standin = run_e2e.StandIn("--box", "Probe idle", "OK", "--owner-title", "Probe Owner",
                                  "--timeout-ms", "60000")
        try:
            driver("wait", "--window", "Probe idle", "--class", "#32770", timeout_ms=20000)
            base = keys(probe("stats", "--name", "standin.exe"))
        finally:
            standin.process.kill()
            standin.process.wait()
        self.row("working set after start-up", f"{int(values['working_set_kib']):,}", "KiB",
                 "goal: < 4 MiB (4,096 KiB); Linux RSS of the Wine process")
        self.row("  trivial windowed exe (standin.exe)", f"{int(base['working_set_kib']):,}", "KiB",
                 "Wine's own DLLs and heaps")
        self.row("  Wendlock's own share", f"{int(values['working_set_kib']) - int(base['working_set_kib']):,}",
                 "KiB", "difference")
        self.row("private bytes (committed private pages) after start-up",
                 f"{int(values['private_commit_kib']):,}", "KiB",
                 f"trivial exe: {int(base['private_commit_kib']):,} KiB; PrivateUsage reads "
                 f"{values['private_kib']}")
        self.row("handles / GDI objects / windows after start-up",
                 f"{values['system_handles']} / {values['gdi_table_objects']} / {values['windows']}",
                 "count", f"trivial exe: {base['system_handles']} / {base['gdi_table_objects']} / "
                 f"{base['windows']}")
        self.startup_stats = values

    # -- 1. dismiss latency ----------------------------------------------------

    def latency(self, count=200):
        self.monitoring(True)
        args = []
        for n in range(count):
            entry = n % ENTRIES + 1
            args += ["--box", f"Bench Box {entry:02d}", "OK" if entry % 2 else "YESNOCANCEL"]
        standin = run_e2e.StandIn(*args, "--gap-ms", "0-200", "--seed", "7",
                                  "--timeout-ms", str(count * 1000))
        expected = {n: (IDOK if (n - 1) % ENTRIES % 2 == 0 else IDNO) for n in range(1, count + 1)}
        standin.finish(timeout=count * 1.0 + 30)
        standin.report()
        times, missed, wrong = [], 0, 0
        for n in range(1, count + 1):
            match = None
            for line in standin.seen:
                match = re.match(rf"^box {n} title=.* result=(\d+) ms=(\d+)$", line)
                if match:
                    break
            if match is None:
                missed += 1
                continue
            if int(match.group(1)) != expected[n]:
                wrong += 1
            times.append(int(match.group(2)))
        if not times:
            raise BenchError("no box answered:\n" + "\n".join(standin.seen[-20:]))
        goal = TIMER_MS + 10
        self.row(f"dismiss latency, {count} listed boxes, p50", f"{percentile(times, 0.50)}", "ms",
                 f"timer period {TIMER_MS} ms")
        self.row("  p95", f"{percentile(times, 0.95)}", "ms", f"goal: <= {goal} ms")
        self.row("  max", f"{max(times)}", "ms")
        self.row("  mean", f"{statistics.mean(times):.1f}", "ms",
                 "MessageBoxA call to return: creation + wait for the tick + click")
        self.row("  boxes missed / answered with another button", f"{missed} / {wrong}", "count",
                 "must be 0 / 0")
        self.latencies = times
        self.monitoring(False)

    # -- 2. cost of waiting ----------------------------------------------------

    def cpu_window(self, seconds, label, goal=""):
        # Linux's count for the process (all its threads, ended ones too):
        # Wine's GetProcessTimes of another process is not monotonic.
        own = own_linux_process(run_e2e.ENV.prefix, PROCESS)
        if own is None:
            raise BenchError("no Linux process for wendlock.exe")
        waited = settle()
        shares, elapsed = shares_over(seconds, server_pids({PROCESS: own}))
        used_ms = shares[PROCESS] * elapsed * 10
        settled = f"quiet after {waited:.0f} s" if waited is not None else "NOT quiet after 240 s"
        self.row(f"CPU while waiting, {label}", f"{shares[PROCESS]:.3f}", "% of a core",
                 f"{used_ms:.0f} ms over {elapsed:.0f} s = {used_ms * 60 / elapsed:.0f} ms per "
                 f"minute {goal}".rstrip())
        self.row("  wineserver over the same time", f"{shares['wineserver']:.3f}", "% of a core",
                 f"serves every Wine process of the prefix; desktop {settled}")
        self.row(f"  {DESKTOP} (desktop, taskbar, tray) over the same time",
                 f"{shares[DESKTOP]:.3f}", "% of a core")
        return shares[PROCESS]

    def cpu(self, seconds=25):
        # Each window starts once the desktop is quiet again: Wine's taskbar
        # works for a while after windows come or go while it is shown (see
        # the tray section), which is not the cost of waiting.
        fill = Background(probe_exe(), ["windows", "10"], r"ready windows=10")
        try:
            self.monitoring(True)
            self.cpu_window(seconds, "monitoring on, 20 entries, 10 other windows")
        finally:
            fill.stop()
        fill = Background(probe_exe(), ["windows", "500"], r"ready windows=500")
        try:
            self.cpu_window(seconds, "monitoring on, 20 entries, 500 other windows",
                            "(goal: < 0.5 %)")
            self.monitoring(False)
            self.cpu_window(seconds, "monitoring off, 500 other windows")
        finally:
            fill.stop()

    # -- 6. the window server's share beside a control program -------------------

    TRAY_WINDOWS = 500

    def making_windows(self, label):
        """Makes the desktop's TRAY_WINDOWS other windows and counts what
        wineserver and the desktop process spend from then until they are
        quiet again; returns the filler, left running."""
        pids = server_pids()
        before = cpu_of(pids)
        started = time.monotonic()
        fill = Background(probe_exe(), ["windows", str(self.TRAY_WINDOWS)],
                          rf"ready windows={self.TRAY_WINDOWS}")
        made = time.monotonic() - started
        waited = settle()
        pids = server_pids()  # the desktop process may have started meanwhile
        after = cpu_of(pids)
        used = {name: after[name] - before.get(name, 0.0) for name in pids}
        quiet = (f"quiet {made + waited:.0f} s after the start" if waited is not None
                 else "NOT quiet after 240 s")
        self.row(f"making {self.TRAY_WINDOWS} windows, {label}: wineserver",
                 f"{used['wineserver']:.1f}", "s of CPU",
                 f"{DESKTOP} {used[DESKTOP]:.1f} s; filler ready after {made:.1f} s, {quiet}")
        return fill

    def tray(self, seconds=20, rounds=3):
        """wineserver's share of a core with the same 500 other windows, for
        no program, the control program with and without lookups and a tray
        icon, and Wendlock with monitoring off and on, one after another in
        each round.
        Every window starts once the desktop is quiet; the taskbar's state is
        checked before each, since it shows only while the tray holds an
        icon."""
        if taskbar_shown():
            raise BenchError("the tray already holds an icon; run the tray section first")
        # What making the windows costs with the taskbar hidden, and shown.
        fill = self.making_windows("no tray icon")
        fill.stop()
        if settle() is None:
            raise BenchError("the desktop did not become quiet after the windows went")
        icon = Poller("--tray", "--entries", "0")
        try:
            fill = self.making_windows("a tray icon shown (poller.exe)")
        finally:
            icon.stop()

        phases = [
            ("no program", None, False),
            ("poller.exe, its timer alone", ["--entries", "0"], False),
            ("poller.exe, lookups, no tray icon", [], False),
            ("poller.exe, lookups and a tray icon", ["--tray"], True),
            ("poller.exe, a tray icon, no lookups", ["--tray", "--entries", "0"], True),
            ("wendlock.exe, monitoring off", "off", True),
            ("wendlock.exe, monitoring on", "on", True),
        ]
        figures = {name: [] for name, _, _ in phases}
        try:
            for round_number in range(1, rounds + 1):
                for name, what, icon_expected in phases:
                    figures[name].append(self.tray_phase(name, what, icon_expected, seconds))
                log(f"# tray round {round_number} of {rounds} done")
        finally:
            fill.stop()

        self.notes.append(f"tray section: {rounds} rounds of {seconds} s windows, "
                          f"{self.TRAY_WINDOWS} other windows")
        for name, _, _ in phases:
            runs = figures[name]
            server = [run["wineserver"] for run in runs]
            desktop = [run[DESKTOP] for run in runs]
            own = [run["program"] for run in runs if "program" in run]
            note = (f"rounds {' / '.join(f'{v:.2f}' for v in server)}; {DESKTOP} "
                    f"{statistics.median(desktop):.2f}")
            if own:
                note += f"; the program itself {statistics.median(own):.2f}"
            self.row(f"wineserver, {self.TRAY_WINDOWS} other windows, {name}",
                     f"{statistics.median(server):.2f}", "% of a core", note)

    def tray_phase(self, name, what, icon_expected, seconds):
        poller, wendlock = None, None
        try:
            if isinstance(what, list):
                poller = Poller(*what)
            elif what is not None:
                wendlock = self.launch_wendlock("tray")
                if what == "on":
                    self.monitoring(True)
            if taskbar_shown() != icon_expected:
                state = "hidden: no icon" if icon_expected else "shown: an icon"
                raise BenchError(f"{name}: the taskbar is {state} in the tray")
            waited = settle()
            pids = server_pids()
            if poller is not None:
                pids["program"] = poller.pid
            elif wendlock is not None:
                pids["program"] = own_linux_process(run_e2e.ENV.prefix, PROCESS)
            shares, elapsed = shares_over(seconds, pids)
            quiet = f"{waited:.0f} s" if waited is not None else "NOT within 240 s"
            log(f"#   {name}: " + ", ".join(f"{label} {share:.2f} %"
                                           for label, share in shares.items())
                + f" over {elapsed:.1f} s; quiet after {quiet}")
            return shares
        finally:
            if poller is not None:
                log(f"#   {poller.stop()}")
            if wendlock is not None:
                self.exit_wendlock(wendlock)

    # -- 3. tree walk ----------------------------------------------------------

    def tree(self):
        finder, text4 = hwnd_at(PICTURE2_AT), hwnd_at(TEXT4_AT)
        text = probe("tree", "--finder-hwnd", finder, "--text-hwnd", text4, "--count", "5000",
                     "--rounds", "3", timeout=600)
        out = keys(text)
        out["small_walk_ms"] = re.findall(r"small_walk_ms=([\d.]+)", text)[-1]
        log("# " + " | ".join(line for line in text.splitlines() if line.startswith("round=")))
        self.row("tree walk, 5,000 descendants: release to class shown",
                 out["tree_walk_ms_median"], "ms", f"median of 3, min {out['tree_walk_ms_min']}")
        self.row("  Wendlock CPU per walk", out["tree_walk_cpu_ms_median"], "ms",
                 "GetProcessTimes before the release and after")
        self.row("  release over a window without children", out["small_walk_ms"], "ms",
                 "last round; the fixed cost of a release")

    # -- 4. outline ------------------------------------------------------------

    def outline(self, moves=40):
        finder = hwnd_at(PICTURE2_AT)
        out = keys(probe("outline", "--finder-hwnd", finder, "--moves", str(moves),
                         "--size", "800x600", timeout=300))
        self.row("finder move within one window (no outline work)",
                 out["same_window_move_ms_median"], "ms", f"median of {moves}; input to handled")
        self.row("finder move between two 800x600 windows", out["switch_move_ms_median"], "ms",
                 "remove one frame, draw the other")
        self.row("  outline draw+remove, 800x600, wall", out["outline_pair_ms_wall"], "ms",
                 "difference of the medians")
        self.row("  outline draw+remove, 800x600, Wendlock CPU", out["outline_pair_cpu_ms"], "ms",
                 "difference of the CPU per move")

    # -- 7. entries with keys ----------------------------------------------------

    def keys_tick(self, label, *args):
        env = run_e2e.ENV
        exe = env.find_exe("tickbench.exe")
        if exe is None:
            raise SetupError(f"tickbench.exe is not in {env.build}")
        code, text = env.run(exe, ["--title", "Shared", "--button", "&No", "--text",
                                   "save changes", "--program", "standin.exe", *args],
                             timeout=900)
        if code != 0:
            raise BenchError(f"tickbench {label}: {text!r}")
        figures = {}
        for profile in ("keys", "plain"):
            match = re.search(rf"^{profile} tick_us_median=([\d.]+) tick_ms_max=([\d.]+) "
                              rf"clicks=(\d+)", text, re.M)
            figures[profile] = match.groups()
        keys, plain = figures["keys"], figures["plain"]
        self.row(f"tick, 1 entry with keys, {label}", f"{float(keys[0]):,.1f}", "us/tick",
                 f"slowest {keys[1]} ms; {keys[2]} clicks")
        self.row(f"  same entry without keys, {label}", f"{float(plain[0]):,.1f}", "us/tick",
                 f"slowest {plain[1]} ms; {plain[2]} clicks")

    def keys(self):
        env = run_e2e.ENV
        self.keys_tick("no box open", "--expect", "0", "--no-clicks")
        args = []
        for n in range(1, 21):
            args += ["--box", "Shared", "YESNOCANCEL", "--box-text", f"Unrelated message {n}"]
        boxes = env.spawn(env.standin_exe, ["--parallel", *args])
        try:
            self.keys_tick("20 boxes of its title, other text", "--expect", "20", "--no-clicks")
        finally:
            boxes.kill()
            boxes.wait()
        hung = env.spawn(env.standin_exe, ["--hung", "Shared", "Not answering"])
        try:
            if not poll(lambda: "hung 0x" in Environment.output_of(hung), 30):
                raise BenchError(f"no hung window: {Environment.output_of(hung)!r}")
            # Real clicks: the entry without keys presses the hung window's
            # button at every tick.
            self.keys_tick("a hung window of its title", "--expect", "1", "--ticks", "5",
                           "--rounds", "3")
        finally:
            hung.kill()
            hung.wait()

    # -- the run -----------------------------------------------------------------

    def run(self):
        self.api_check()
        # First: the start-up figures end Wendlock with TerminateProcess,
        # which leaves its icon in the tray, and the tray section needs the
        # tray empty between its programs.
        if self.wanted("tray"):
            self.tray()
        if self.wanted("startup"):
            self.startup()
        self.start_wendlock()
        self.footprint()
        if self.wanted("latency"):
            self.latency()
        if self.wanted("cpu"):
            self.cpu()
        if self.wanted("tree"):
            self.tree()
        if self.wanted("outline"):
            self.outline()
        if self.wanted("keys"):
            self.keys()
        after = stats()
        self.row("working set / private bytes at the end", f"{int(after['working_set_kib']):,} / "
                 f"{int(after['private_commit_kib']):,}", "KiB", "after all of the above")
        self.row("handles / GDI objects / windows at the end",
                 f"{after['system_handles']} / {after['gdi_table_objects']} / {after['windows']}",
                 "count")

    def table(self):
        widths = [max(len(str(r[i])) for r in self.rows + [("measure", "value", "unit", "")])
                  for i in range(4)]
        lines = [f"| {'measure':<{widths[0]}} | {'value':>{widths[1]}} | {'unit':<{widths[2]}} | "
                 f"{'goal / note':<{widths[3]}} |",
                 f"|{'-' * (widths[0] + 2)}|{'-' * (widths[1] + 1)}:|{'-' * (widths[2] + 2)}|"
                 f"{'-' * (widths[3] + 2)}|"]
        for measure, value, unit, goal in self.rows:
            lines.append(f"| {measure:<{widths[0]}} | {value:>{widths[1]}} | {unit:<{widths[2]}} | "
                         f"{goal:<{widths[3]}} |")
        return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(REPO, "build-bench-wine"))
    parser.add_argument("--prefix", default="/tmp/wine-bench", help="Wine prefix of the bench")
    parser.add_argument("--display", help="use this X display instead of an own Xvfb")
    parser.add_argument("--only", default="", help="comma-separated subset: "
                        "tray,startup,latency,cpu,tree,outline,keys")
    options = parser.parse_args()

    env = Environment(options.build, options.display)
    env.prefix = os.path.abspath(options.prefix)
    run_e2e.ENV = env
    bench = Bench(set(filter(None, options.only.split(","))))
    started = time.monotonic()
    ok = False
    try:
        if env.wendlock_exe is None:
            raise SetupError(f"wendlock.exe is not in {env.build}")
        env.start()
        bench.run()
        ok = True
    except (BenchError, SetupError) as error:
        log(f"bench failed: {error}")
    except KeyboardInterrupt:
        log("bench interrupted")
    finally:
        env.stop()
    load = open("/proc/loadavg").read().split()[:3]
    print(f"\nWendlock under Wine ({subprocess.run(['wine', '--version'], capture_output=True, text=True).stdout.strip()}), "
          f"{os.cpu_count()} CPUs, load average {' '.join(load)}, "
          f"{time.strftime('%Y-%m-%d')}, {time.monotonic() - started:.0f} s\n")
    print(bench.table())
    if bench.notes:
        print("\nMetric calls under Wine (probe.exe selftest): " + "; ".join(bench.notes))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
