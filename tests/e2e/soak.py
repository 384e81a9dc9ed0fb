#!/usr/bin/env python3
"""Soak test of the real wendlock.exe under Wine (not part of CI).

Monitoring stays on while stand-ins for the CAD application come and go and
open listed message boxes at random times, and finder drags go from the
finder tool over those changing windows and release there. Every box must be
answered with its stored button, Wendlock must still answer its window at the
end, and its handle count, GDI object count and private bytes, sampled every
few seconds by probe.exe, must not grow beyond a small tolerance.

    python3 tests/e2e/soak.py [--minutes 10] [--drags 1000] [--build build-bench-wine]
                              [--prefix /tmp/wine-soak]

Under Wine, GetProcessHandleCount, GetGuiResources and PrivateUsage report
0; the figures come from the system handle list, the process's GDI handle
table and its committed private pages instead (see probe.exe).
"""

import argparse
import os
import random
import re
import shutil
import statistics
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402
from run_e2e import (LIST2_AT, MAIN_CAPTION, PICTURE2_AT, PROCESS, REPO, Environment,  # noqa: E402
                     SetupError, StandIn, log, poll, profile_lines, write_profile)
from bench_wine import (Background, BenchError, app, driver, keys, probe_exe,  # noqa: E402
                        windows_path)

IDOK, IDNO = 1, 7
BOXES = [("Soak Rebuild", "OK", IDOK), ("Soak Close", "YESNOCANCEL", IDNO),
         ("Soak Save", "YESNO", IDNO), ("Soak Warning", "OKCANCEL", IDOK)]
PROFILE = ["Soak Rebuild[OK]<<#32770>>", "Soak Close[&No]<<#32770>>",
           "Soak Save[&No]<<#32770>>", "Soak Warning[OK]<<#32770>>"]
# (key in probe's output, label, tolerance as (absolute, share of the first))
WATCHED = [("system_handles", "handles (system handle list)", (16, 0.10)),
           ("gdi_table_objects", "GDI objects (handle table)", (16, 0.10)),
           ("private_commit_kib", "private bytes (committed, KiB)", (1024, 0.10)),
           ("working_set_kib", "working set (KiB)", (2048, 0.15)),
           ("windows", "windows", (0, 0.0))]


class StandInLoop:
    """Stand-ins one after another, each with a few listed boxes at random
    times and a "SolidWorks 2024" main window, until stopped."""

    def __init__(self, seed):
        self.random = random.Random(seed)
        self.stopping = threading.Event()
        self.opened = self.answered = 0
        self.failures = []
        self.current = None
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        round_number = 0
        while not self.stopping.is_set():
            round_number += 1
            picks = [self.random.choice(BOXES) for _ in range(self.random.randint(3, 8))]
            args = []
            for title, kind, _ in picks:
                args += ["--box", title, kind]
            standin = StandIn(*args, "--gap-ms", "200-3000", "--seed", str(round_number),
                              "--owner-title", "SolidWorks 2024", "--timeout-ms", "60000")
            self.current = standin
            standin.finish(timeout=90)
            standin.report()
            for number, (title, _, wanted) in enumerate(picks, 1):
                self.opened += 1
                match = next((re.match(rf"^box {number} title=.* result=(\d+) ms=(\d+)$", line)
                              for line in standin.seen
                              if line.startswith(f"box {number} ")), None)
                if match and int(match.group(1)) == wanted:
                    self.answered += 1
                else:
                    self.failures.append(f"round {round_number} box {number} ({title}): "
                                         f"{match.group(0) if match else 'not answered'}")

    def stop(self):
        self.stopping.set()
        self.thread.join(timeout=120)


def samples_of(text):
    blocks, current = [], None
    for line in text.splitlines():
        if line.startswith("sample="):
            current = {}
            blocks.append(current)
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current[key] = value
    return [b for b in blocks if "working_set_kib" in b]


def soak(minutes, drags_wanted, seed):
    env = run_e2e.ENV
    folder = env.new_folder("soak")
    write_profile(folder, "default_wl.ini", profile_lines(*PROFILE))
    shutil.copy(env.wendlock_exe, os.path.join(folder, PROCESS))
    env.spawn(os.path.join(folder, PROCESS), [], cwd=folder)
    app("wait", "--window", MAIN_CAPTION, "--visible", "1", timeout_ms=60000)
    app("click", "--button", "Enable monitoring")
    app("wait", "--button", "Disable monitoring", "--visible", "1")

    seconds = minutes * 60
    sampler = Background(probe_exe(), ["stats", "--name", PROCESS, "--repeat", "100000",
                                       "--interval-ms", "5000"], r"working_set_kib=")
    loop = StandInLoop(seed)
    rng = random.Random(seed)
    started = time.monotonic()
    drags = drag_failures = 0
    drag_times = []
    try:
        # Drags spread over the run: paced so the wanted number ends with it.
        while time.monotonic() - started < seconds:
            due = started + seconds * drags / max(drags_wanted, 1)
            if drags >= drags_wanted or time.monotonic() < due:
                time.sleep(min(0.2, max(0.0, due - time.monotonic())) if drags < drags_wanted
                           else 0.5)
                continue
            # Over the stand-in's main window and its boxes (lower right),
            # or anywhere else on the desktop now and then.
            if rng.random() < 0.8:
                to = f"{rng.randint(300, 1010)},{rng.randint(250, 760)}"
            else:
                to = f"{rng.randint(0, 1023)},{rng.randint(0, 767)}"
            begun = time.monotonic()
            rc, out = env.driver("drag", "--process", PROCESS, "--at", PICTURE2_AT, "--to", to,
                                 "--steps", "3", "--step-ms", "15", timeout_ms=10000)
            drag_times.append(time.monotonic() - begun)
            drags += 1
            if rc != 0:
                drag_failures += 1
                log(f"# drag {drags} to {to} failed: {out.strip()}")
            if drags % 50 == 0:
                log(f"# {drags} drags, {loop.answered}/{loop.opened} boxes answered, "
                    f"{time.monotonic() - started:.0f} s")
    finally:
        loop.stop()
    # Wendlock must still answer its window, with the last release handled.
    responsive = env.driver("send", "--process", PROCESS, "--msg", "0", timeout_ms=30000)[0] == 0
    time.sleep(6)  # one more sample after the last drag and box
    sampler.stop()
    samples = samples_of(sampler.output())
    return {"drags": drags, "drag_failures": drag_failures, "drag_times": drag_times,
            "opened": loop.opened, "answered": loop.answered, "failures": loop.failures,
            "responsive": responsive, "samples": samples,
            "elapsed": time.monotonic() - started}


def judge(result):
    ok = True
    lines = []
    samples = result["samples"]
    lines.append(f"duration {result['elapsed']:.0f} s, {len(samples)} samples every 5 s")
    lines.append(f"finder drags: {result['drags']} ({result['drag_failures']} failed to run), "
                 f"median {statistics.median(result['drag_times'] or [0]):.2f} s per drag "
                 "(driver.exe start included)")
    lines.append(f"boxes: {result['answered']} of {result['opened']} answered with the stored "
                 "button")
    if result["failures"] or result["answered"] != result["opened"]:
        ok = False
        lines += ["  " + failure for failure in result["failures"][:20]]
    lines.append("Wendlock answers its window at the end: " + ("yes" if result["responsive"]
                                                              else "NO"))
    ok = ok and result["responsive"]
    if len(samples) < 4:
        lines.append("too few samples")
        return False, lines
    lines.append(f"| {'metric':<32} | {'first':>8} | {'middle':>8} | {'last':>8} | {'max':>8} | "
                 f"{'growth':>8} | {'allowed':>8} |")
    for key, label, (absolute, share) in WATCHED:
        try:
            values = [int(float(s[key])) for s in samples]
        except (KeyError, ValueError):
            lines.append(f"| {label:<32} | unavailable: {samples[0].get(key)}")
            continue
        if min(values) < 0:
            lines.append(f"| {label:<32} | not readable here")
            continue
        # Judged over the second half: caches that fill while the run warms
        # up (Wine keeps DCs of the windows the outline has painted on) level
        # off, a leak goes on growing with every drag and box.
        first = statistics.median(values[:3])
        half = len(values) // 2
        middle = statistics.median(values[half - 1:half + 2])
        last = statistics.median(values[-3:])
        growth = last - middle
        allowed = max(absolute, share * middle)
        judged = key != "windows" and key != "working_set_kib"
        verdict = "" if not judged else (" ok" if growth <= allowed else " GROWS")
        if judged and growth > allowed:
            ok = False
        lines.append(f"| {label:<32} | {first:>8.0f} | {middle:>8.0f} | {last:>8.0f} | "
                     f"{max(values):>8} | {growth:>+8.0f} | "
                     f"{round(allowed) if judged else '-':>8} |{verdict}")
    for key, label, _ in WATCHED[:3]:
        lines.append(f"{label} every 5 s: " + " ".join(s.get(key, "?") for s in samples))
    lines.append("(first, middle, last: medians of three samples; growth: last minus middle, "
                 "the second half of the run; working set and window count reported, "
                 "not judged)")
    return ok, lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(REPO, "build-bench-wine"))
    parser.add_argument("--prefix", default="/tmp/wine-soak")
    parser.add_argument("--display")
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--drags", type=int, default=None,
                        help="finder drags over the run (default: 100 per minute)")
    parser.add_argument("--seed", type=int, default=1)
    options = parser.parse_args()
    drags = options.drags if options.drags is not None else int(options.minutes * 100)

    env = Environment(options.build, options.display)
    env.prefix = os.path.abspath(options.prefix)
    run_e2e.ENV = env
    ok, lines = False, []
    try:
        if env.wendlock_exe is None:
            raise SetupError(f"wendlock.exe is not in {env.build}")
        env.start()
        ok, lines = judge(soak(options.minutes, drags, options.seed))
    except (BenchError, SetupError) as error:
        lines = [f"soak could not run: {error}"]
    except KeyboardInterrupt:
        lines = ["soak interrupted"]
    finally:
        env.stop()
    print("\n".join(lines))
    print("soak " + ("passed" if ok else "FAILED"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
