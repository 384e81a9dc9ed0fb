#!/usr/bin/env python3
"""Shows Wendlock at work under Wine.

In a temporary program folder it writes a profile, starts wendlock.exe,
switches monitoring on with its own button, lets the stand-in for the CAD
application open a few message boxes, and reports for each box which button
answered it and after how many milliseconds. It saves a screenshot of the
main window, ends Wendlock through its tray menu and cleans up.

    python3 tests/e2e/demo.py [--build build/win32] [--display :0] [--out DIR]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402  (the harness's environment and helpers)
from run_e2e import (MAIN_CAPTION, PROCESS, REPO, TRAY_AT, Environment, StandIn,  # noqa: E402
                     poll, profile_lines, write_profile)

BUTTONS = {1: "OK", 2: "Cancel", 3: "Abort", 4: "Retry", 5: "Ignore", 6: "Yes", 7: "No",
           10: "Try Again", 11: "Continue"}

PROFILE = [
    "Rebuild Warnings[OK]<<#32770>>",
    "Close Document[&No]<<#32770>>",
    "Save changes?[&Yes]<<#32770>>",
]
BOXES = [("Rebuild Warnings", "OK"), ("Close Document", "YESNOCANCEL"),
         ("Save changes?", "YESNO"), ("Rebuild Warnings", "OK")]


class DemoError(Exception):
    pass


def driver(*args, timeout_ms=10000):
    rc, out = run_e2e.ENV.driver(*args, timeout_ms=timeout_ms)
    if rc != 0:
        raise DemoError(f"driver {' '.join(args)} failed: {out.strip()}")
    return out


def main_window(*args, timeout_ms=10000):
    return driver(args[0], "--window", MAIN_CAPTION, "--process", PROCESS, *args[1:],
                  timeout_ms=timeout_ms)


def demo(out_dir):
    env = run_e2e.ENV
    folder = tempfile.mkdtemp(prefix="program-", dir=out_dir)
    write_profile(folder, "default_wl.ini", profile_lines(*PROFILE))
    shutil.copy(env.wendlock_exe, os.path.join(folder, "wendlock.exe"))
    report = [f"Wendlock demo, program folder {folder}",
              "profile default_wl.ini:"] + [f"  {line}" for line in profile_lines(*PROFILE)]

    print(f"starting wendlock.exe in {folder}", flush=True)
    wendlock = env.spawn(os.path.join(folder, "wendlock.exe"), [], cwd=folder)
    main_window("wait", timeout_ms=60000)
    watch_list = main_window("items", "--at", run_e2e.LIST2_AT)
    report.append("watch list loaded at start-up (List2):")
    report += ["  " + line.split("=", 1)[1] for line in watch_list.splitlines()
               if line.startswith("item ")]

    print('switching monitoring on with "Enable monitoring"', flush=True)
    main_window("click", "--button", "Enable monitoring")
    main_window("wait", "--button", "Disable monitoring")

    args = []
    for title, kind in BOXES:
        args += ["--box", title, kind]
    standin = StandIn(*args, "--gap-ms", "200-600", "--owner-title", "SolidWorks 2024",
                      "--timeout-ms", "30000")
    report.append("message boxes opened by the stand-in for SolidWorks:")
    for number, (title, kind) in enumerate(BOXES, 1):
        result = standin.result(number, 35)
        if result is None:
            line = f'  box {number} "{title}" ({kind}): not answered'
        else:
            code, ms = result
            line = (f'  box {number} "{title}" ({kind}): answered with '
                    f'{BUTTONS.get(code, "?")} (result {code}) after {ms} ms')
        print(line, flush=True)
        report.append(line)
    standin.finish()

    bmp = os.path.join(out_dir, "wendlock.bmp")
    png = os.path.join(out_dir, "wendlock.png")
    main_window("capture", "--out", "Z:" + bmp.replace("/", "\\"))
    shot = png
    if shutil.which("convert"):
        subprocess.run(["convert", bmp, png], check=True)
        os.remove(bmp)
    else:
        shot = bmp

    print('ending wendlock.exe through its tray menu ("Exit")', flush=True)
    main_window("tray", "--at", TRAY_AT, "--event", "right")
    driver("wait", "--class", "#32768", "--visible", "1")
    driver("keys", "--seq", "up,return")
    ended = poll(lambda: wendlock.poll() is not None, 15)
    report.append("wendlock.exe ended through the tray menu" if ended else
                  "wendlock.exe did not end through the tray menu")

    report_path = os.path.join(out_dir, "report.txt")
    with open(report_path, "w") as out:
        out.write("\n".join(report) + "\n")
    print(f"\nreport:     {report_path}\nscreenshot: {shot}", flush=True)
    return all("not answered" not in line for line in report)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(REPO, "build", "win32"))
    parser.add_argument("--display", help="show it on this X display (default: own Xvfb)")
    parser.add_argument("--out", help="folder for the report and the screenshot")
    options = parser.parse_args()
    out_dir = os.path.abspath(options.out or tempfile.mkdtemp(prefix="wendlock-demo-"))
    os.makedirs(out_dir, exist_ok=True)

    env = Environment(options.build, options.display)
    env.prefix = os.path.join(env.build, "demo-prefix")
    run_e2e.ENV = env
    ok = False
    try:
        if env.wendlock_exe is None:
            raise DemoError(f"wendlock.exe is not in {env.build}")
        env.start()
        ok = demo(out_dir)
    except (DemoError, run_e2e.SetupError) as error:
        print(f"demo failed: {error}", flush=True)
    finally:
        env.stop()
    return 0 if ok else 1


if __name__ == "__main__":
    started = time.monotonic()
    code = main()
    print(f"(demo took {time.monotonic() - started:.0f} s)")
    sys.exit(code)
