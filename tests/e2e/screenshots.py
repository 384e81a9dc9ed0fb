#!/usr/bin/env python3
"""Makes the user guide's pictures from the real wendlock.exe under Wine.

On an Xvfb of its own (1024 x 768, Wine's virtual desktop) it copies
wendlock.exe into a fresh program folder with two small profiles, starts it
and saves PNG files:

    main-window.png  the main window as it is after start-up
    finder.png       the finder dropped onto a "Close Document" box owned by a
                     "SolidWorks 2024" window: the box's red frame, and the
                     main window with the picked title and the offered buttons
    tray-menu.png    the tray menu open over the notification area

Then it ends Wendlock through the tray menu's "Exit" and cleans up.

    python3 tests/e2e/screenshots.py [--build build/win32] [--out docs/images]

Needs ImageMagick (`import`, `convert`). Uses its own Wine prefix,
<build>/e2e-screenshots-prefix, so it can run beside the end-to-end suite.
"""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402  (the harness's environment and helpers)
from run_e2e import (CMD1_AT, MAIN_CAPTION, OP1_AT, PICTURE2_AT, PROCESS, REPO,  # noqa: E402
                     TEXT1_AT, TEXT4_AT, TRAY_AT, Environment, StandIn, outline_edges, poll,
                     profile_lines, read_bmp, write_profile)

PROFILES = {
    "default_wl.ini": ["Rebuild Warnings[OK]<<#32770>>",
                       "Save changes?[&Yes]<<#32770>>"],
    "drawings.ini": ["Sheet Format Changed[OK]<<#32770>>"],
}
BOX_TITLE = "Close Document"
BOX_TEXT = "Save changes to Part1.SLDPRT before closing?"
OWNER_TITLE = "SolidWorks 2024"
CHOSEN_BUTTON = "&No"
# Blank space kept around the windows of a picture, in pixels.
MARGIN = 8
# The screen of the harness's Xvfb, which Wine's virtual desktop fills.
SCREEN = (1024, 768)


class ShotError(Exception):
    pass


def driver(*args, timeout_ms=10000):
    rc, out = run_e2e.ENV.driver(*args, timeout_ms=timeout_ms)
    if rc != 0:
        raise ShotError(f"driver {' '.join(args)} failed: {out.strip()}")
    return out


def main_window(command, *args, timeout_ms=10000):
    # Found by its process: the caption shows a window handle after a drag.
    return driver(command, "--process", PROCESS, "--class", "WendlockForm", *args,
                  timeout_ms=timeout_ms)


def screen_rect(out):
    """(left, top, right, bottom) from a driver `find` line."""
    match = re.search(r"screen=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", out)
    if match is None:
        raise ShotError("no screen rectangle in: " + out.strip())
    return tuple(int(v) for v in match.groups())


def union(*rects):
    return (min(r[0] for r in rects), min(r[1] for r in rects),
            max(r[2] for r in rects), max(r[3] for r in rects))


def save_png(source, png, crop=None):
    """Writes `source` (a BMP or the screen's PNG) as a small PNG, cropped to
    (left, top, right, bottom) when given."""
    command = ["convert", source]
    if crop is not None:
        left, top, right, bottom = crop
        command += ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"]
    # No time stamps or comments: a picture made again from the same program
    # gives the same file.
    command += ["-strip", "-define", "png:exclude-chunks=date,time", png]
    subprocess.run(command, check=True)
    print(f"saved {png} ({os.path.getsize(png)} bytes)", flush=True)


def grab_screen(env, path):
    """The whole X screen (Wine's virtual desktop fills it) as it is, without
    repainting anything: the finder's frame is drawn onto the screen only."""
    subprocess.run(["import", "-display", env.display, "-window", "root", path], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def grab_settled(env, path, rect, timeout=10):
    """Grabs the screen until the part `rect` shows more than a plain area
    and is the same in two grabs in a row: the windows there are painted."""
    left, top, right, bottom = rect
    geometry = f"{right - left}x{bottom - top}+{left}+{top}"
    previous = None
    deadline = time.monotonic() + timeout
    while True:
        grab_screen(env, path)
        pixels = subprocess.run(["convert", path, "-crop", geometry, "+repage", "rgb:-"],
                                check=True, stdout=subprocess.PIPE).stdout
        colours = {pixels[i:i + 3] for i in range(0, len(pixels), 3)}
        if pixels == previous and len(colours) > 2:
            return
        if time.monotonic() >= deadline:
            raise ShotError(f"the screen did not settle at {geometry}")
        previous = pixels
        time.sleep(0.1)


def clip(rect):
    """`rect` with the margin around it, kept on the screen."""
    left, top, right, bottom = rect
    return (max(left - MARGIN, 0), max(top - MARGIN, 0),
            min(right + MARGIN, SCREEN[0]), min(bottom + MARGIN, SCREEN[1]))


def install_wine_fonts(env):
    """Wine draws the caption buttons with Marlett and dialogs with Tahoma;
    where its TrueType fonts did not reach the prefix's Fonts folder, the
    buttons show letters. Copies them there (into this script's prefix only)."""
    fonts = os.path.join(env.prefix, "drive_c", "windows", "Fonts")
    sources = glob.glob("/usr/share/wine/fonts/*.ttf")
    if not sources or not os.path.isdir(fonts):
        return
    copied = 0
    for source in sources:
        target = os.path.join(fonts, os.path.basename(source))
        if not os.path.exists(target):
            shutil.copy(source, target)
            copied += 1
    if copied:
        print(f"# copied {copied} of Wine's fonts into the prefix", flush=True)


def shoot(out_dir):
    env = run_e2e.ENV
    folder = env.new_folder("program")
    for name, entries in PROFILES.items():
        write_profile(folder, name, profile_lines(*entries))
    shutil.copy(env.wendlock_exe, os.path.join(folder, "wendlock.exe"))
    screen_png = os.path.join(env.work, "screen.png")

    print(f"starting wendlock.exe in {folder}", flush=True)
    wendlock = env.spawn(os.path.join(folder, "wendlock.exe"), [], cwd=folder)
    # Shown once start-up has listed the profiles and loaded the watch list.
    main_window("wait", "--window", MAIN_CAPTION, timeout_ms=60000)

    # 1. The main window after start-up: raised and repainted, then captured.
    bmp = os.path.join(env.work, "main-window.bmp")
    main_window("capture", "--out", "Z:" + bmp.replace("/", "\\"))
    save_png(bmp, os.path.join(out_dir, "main-window.png"))

    # 2. The finder dropped onto a box of the CAD program's.
    standin = StandIn("--owner-title", OWNER_TITLE, "--box", BOX_TITLE, "YESNOCANCEL",
                      "--text", BOX_TEXT, "--timeout-ms", "300000")
    out = driver("find", "--window", BOX_TITLE, "--class", "#32770", timeout_ms=30000)
    handle = re.search(r"hwnd=0x([0-9a-f]+)", out).group(1)
    box = screen_rect(out)
    # Released over the box's caption bar: the box itself is picked.
    main_window("drag", "--at", PICTURE2_AT, "--to", f"{(box[0] + box[2]) // 2},{box[1] + 8}",
                "--steps", "12", "--step-ms", "25")
    main_window("wait", "--text-is", handle.upper())
    main_window("wait", "--at", TEXT4_AT, "--text-is", "#32770")
    main_window("wait", "--at", TEXT1_AT, "--text-is", BOX_TITLE)
    captions = [main_window("text", "--at", at).strip().split("text=", 1)[-1] for at in CMD1_AT]
    if CHOSEN_BUTTON not in captions:
        raise ShotError(f"the finder offered {captions}, not {CHOSEN_BUTTON}")
    choice = captions.index(CHOSEN_BUTTON)
    main_window("click", "--at", OP1_AT[choice])
    main_window("wait", "--at", OP1_AT[choice], "--checked", "1")
    # The pointer out of the picture, over the empty desktop.
    driver("pointer", "--action", "move", "--to", "1000,20")
    edges = outline_edges(env, BOX_TITLE)
    if edges != {"left": 1, "right": 1, "top": 1, "bottom": 1}:
        raise ShotError(f"the box has no full red frame: {edges}")
    region = clip(union(screen_rect(main_window("find")), box))
    grab_settled(env, screen_png, region)
    save_png(screen_png, os.path.join(out_dir, "finder.png"), region)
    standin.process.kill()
    standin.process.wait()
    driver("wait", "--window", OWNER_TITLE, "--gone", timeout_ms=15000)

    # 3. The tray menu, opened at the tray icon as a right-click opens it.
    # The pointer rests just above the icon: on it, Wine's taskbar would show
    # the icon's tip over the menu a moment later.
    taskbar = screen_rect(driver("find", "--class", "Shell_TrayWnd"))
    icon_x = tray_icon_x(env)
    driver("pointer", "--action", "move", "--to", f"{taskbar[0] + icon_x},{taskbar[1] - 1}")
    main_window("tray", "--at", TRAY_AT, "--event", "right")
    driver("wait", "--class", "#32768", "--visible", "1", timeout_ms=10000)
    menu = screen_rect(driver("find", "--class", "#32768"))
    # Off the menu, so no item is highlighted.
    driver("pointer", "--action", "move", "--to", "1000,20")
    region = clip(union(menu, (menu[0], taskbar[1], taskbar[2], taskbar[3])))
    grab_settled(env, screen_png, region)
    save_png(screen_png, os.path.join(out_dir, "tray-menu.png"), region)

    # Up from no selection lands on the last item, "Exit".
    driver("keys", "--seq", "up,return")
    if not poll(lambda: wendlock.poll() is not None, 15):
        raise ShotError("wendlock.exe did not end through its tray menu")
    print("wendlock.exe ended through its tray menu", flush=True)


def tray_icon_x(env):
    """The middle of the rightmost run of red pixel columns in Wine's
    taskbar, in taskbar pixels: Wendlock's magnet in the notification area
    (the Start button's wine glass is red too; it is left of x = 60)."""
    path = os.path.join(env.work, f"taskbar-{time.monotonic_ns()}.bmp")
    runs = []

    def red_runs():
        driver("capture", "--class", "Shell_TrayWnd", "--as-is",
               "--out", "Z:" + path.replace("/", "\\"))
        width, height, pixel = read_bmp(path)
        runs.clear()
        for x in range(60, width):
            if any(r > 180 and g < 80 and b < 80
                   for r, g, b in (pixel(x, y) for y in range(height))):
                if runs and runs[-1][1] == x - 1:
                    runs[-1][1] = x
                else:
                    runs.append([x, x])
        return runs
    # The icon comes a moment after the window: wait for its red to show.
    if not poll(red_runs, 15, interval=0.2):
        raise ShotError("no tray icon in the taskbar")
    first, last = runs[-1]
    return (first + last) // 2


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(REPO, "build", "win32"))
    parser.add_argument("--out", default=os.path.join(REPO, "docs", "images"),
                        help="folder for the PNG files (default: docs/images)")
    options = parser.parse_args()
    out_dir = os.path.abspath(options.out)
    os.makedirs(out_dir, exist_ok=True)
    for program in ("import", "convert"):
        if shutil.which(program) is None:
            print(f"{program} (ImageMagick) is not installed", flush=True)
            return 1

    # Always an Xvfb of its own: the pictures are cut from its whole screen.
    env = Environment(options.build)
    env.prefix = os.path.join(env.build, "e2e-screenshots-prefix")
    run_e2e.ENV = env
    ok = False
    try:
        if env.wendlock_exe is None:
            raise ShotError(f"wendlock.exe is not in {env.build}")
        env.start()
        install_wine_fonts(env)
        shoot(out_dir)
        ok = True
    except (ShotError, run_e2e.SetupError, subprocess.CalledProcessError) as error:
        print(f"screenshots failed: {error}", flush=True)
    finally:
        env.stop()
    return 0 if ok else 1


if __name__ == "__main__":
    started = time.monotonic()
    code = main()
    print(f"(screenshots took {time.monotonic() - started:.0f} s)")
    sys.exit(code)
