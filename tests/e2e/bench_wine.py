#!/usr/bin/env python3
"""Benchmarks of the real wendlock.exe under Wine: figures, not pass or fail.

Runs on an X server and a Wine prefix of its own (/tmp/wine-bench by
default), through the end-to-end harness's environment, with probe.exe as
the measuring tool beside standin.exe and driver.exe:

  1. dismiss latency of 200 listed message boxes opened one after another,
  2. CPU time of monitoring with nothing to answer, 10 and 500 other windows,
  3. the finder's tree walk over a window with 5,000 descendants,
  4. the outline drawn and removed on 800x600 windows,
  5. footprint: size, memory after start-up, start-up time.

    python3 tests/e2e/bench_wine.py [--build build-bench-wine] [--prefix DIR]
                                    [--only latency,cpu,tree,outline,startup]

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
                     Environment, SetupError, log, poll, profile_lines, write_profile)

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
        env = run_e2e.ENV
        self.folder = env.new_folder("bench")
        write_profile(self.folder, "default_wl.ini", profile_lines(*PROFILE))
        shutil.copy(env.wendlock_exe, os.path.join(self.folder, PROCESS))
        self.wendlock = env.spawn(os.path.join(self.folder, PROCESS), [], cwd=self.folder)
        app("wait", "--window", MAIN_CAPTION, "--visible", "1", timeout_ms=60000)
        items = app("items", "--at", LIST2_AT)
        if f"count={ENTRIES}" not in items:
            raise BenchError(f"watch list not loaded: {items}")

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
        prefix = run_e2e.ENV.prefix
        own = own_linux_process(prefix, PROCESS)
        server = own_linux_process(prefix, "wineserver")
        if own is None:
            raise BenchError("no Linux process for wendlock.exe")
        before = linux_cpu_seconds(own)
        server_before = linux_cpu_seconds(server) if server else None
        started = time.monotonic()
        time.sleep(seconds)  # the measuring window itself
        elapsed = time.monotonic() - started
        used_ms = (linux_cpu_seconds(own) - before) * 1000
        share = used_ms / (elapsed * 1000) * 100
        self.row(f"CPU while waiting, {label}", f"{share:.3f}", "% of a core",
                 f"{used_ms:.0f} ms over {elapsed:.0f} s = {used_ms * 60 / elapsed:.0f} ms per "
                 f"minute {goal}".rstrip())
        if server:
            server_ms = (linux_cpu_seconds(server) - server_before) * 1000
            self.row("  wineserver over the same time", f"{server_ms / (elapsed * 1000) * 100:.3f}",
                     "% of a core", "serves every Wine process of the prefix")
        return share

    def cpu(self, seconds=25):
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
            self.cpu_window(max(10, seconds // 2), "monitoring off, 500 other windows")
        finally:
            fill.stop()

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

    # -- the run -----------------------------------------------------------------

    def run(self):
        self.api_check()
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
                        "startup,latency,cpu,tree,outline")
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
