#!/usr/bin/env python3
"""End-to-end tests: the real wendlock.exe under Wine on its own X server.

Wendlock runs in a temporary program folder with hand-written profiles;
driver.exe works its window the way a user's automation tool would, and
standin.exe plays the CAD application by opening real message boxes. Every
wait is a poll against a deadline; every process started here is stopped
at the end (Xvfb by its pid, Wine by `wineserver -k` on our own prefix).

    python3 tests/e2e/run_e2e.py [--build build/win32] [--display :N] [-k NAME]
    python3 tests/e2e/run_e2e.py --unit-tests [--build build/win32]

With --unit-tests it runs the build's unit_tests.exe (the unit tests on the
simulated desktop, built for Windows) in the same environment instead, and
counts its GoogleTest cases.

The last line printed is "N passed, N failed"; the exit status is non-zero
when a test failed or the environment could not be set up.
"""

import argparse
import os
import queue
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import xml.etree.ElementTree
import zipfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MAIN_CAPTION = "Quillmoss v0.1"
PROCESS = "wendlock.exe"
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
# Picture1, the tray icon's window: left 0, top 4200 twips, in client pixels.
TRAY_AT = "0,280"
# List2, the loaded watch list: left 4230, top 5370 twips.
LIST2_AT = "282,358"
LIST1_AT = "38,420"      # the picked window's descendants, message and program
# Places of the finder's controls, twips / 15 (client pixels at 96 dpi).
PICTURE2_AT = "212,16"   # the finder tool
TEXT1_AT = "24,14"       # title of the picked window
TEXT4_AT = "0,212"       # its class
TEXT2_AT = "-2,242"      # its parent's title
OP1_AT = ["12,60", "106,60", "202,60"]
CMD1_AT = ["28,58", "122,58", "220,58"]
LABEL3_AT = "4,0"


def log(message):
    print(message, flush=True)


class SetupError(Exception):
    pass


def poll(condition, timeout, interval=0.05):
    """Calls `condition` until it returns something true or the deadline passes."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            return value
        time.sleep(interval)


# ---------------------------------------------------------------------------
# The environment: X server, Wine prefix, the programs of the build.


class Environment:
    def __init__(self, build, display=None, fresh_prefix=False, dist=None):
        self.build = os.path.abspath(build)
        self.dist = os.path.abspath(dist or os.path.join(REPO, "dist"))
        self.own_display = display is None
        self.display = display
        self.fresh_prefix = fresh_prefix
        self.xvfb = None
        self.prefix = os.path.join(self.build, "e2e-prefix")
        self.work = None
        self.children = []
        self.wendlock_exe = self.find_exe("wendlock.exe")
        self.driver_exe = self.find_exe("driver.exe")
        self.standin_exe = self.find_exe("standin.exe")
        self.conformance_exe = self.find_exe("ini_conformance.exe")
        self.host_conformance_exe = self.find_exe("host_conformance.exe")
        self.window_conformance_exe = self.find_exe("window_conformance.exe")
        self.unit_tests_exe = self.find_exe("unit_tests.exe")

    def find_exe(self, name):
        direct = os.path.join(self.build, name)
        if os.path.isfile(direct):
            return direct
        for root, dirs, files in os.walk(self.build):
            dirs[:] = [d for d in dirs if not d.startswith("e2e-")]
            if name in files:
                return os.path.join(root, name)
        return None

    # -- set-up ------------------------------------------------------------

    def start(self, needed=("driver.exe", "standin.exe")):
        for tool in needed:
            if self.find_exe(tool) is None:
                raise SetupError(f"{tool} is not in {self.build}; build the cross build first")
        for program in ("wine", "wineserver") + (("Xvfb",) if self.own_display else ()):
            if shutil.which(program) is None:
                raise SetupError(f"{program} is not installed")
        self.work = tempfile.mkdtemp(prefix="e2e-work-", dir=self.build)
        if self.own_display:
            self.start_xvfb()
        self.env = dict(os.environ)
        self.env.update(
            WINEPREFIX=self.prefix,
            WINEDLLOVERRIDES="mscoree,mshtml=",
            WINEDEBUG="-all",
            DISPLAY=self.display,
        )
        self.env.pop("WINESERVER", None)
        self.init_prefix()

    def start_xvfb(self):
        # A display number of our own, away from the low numbers that people
        # and other tools pick by hand; Xvfb reports through the pipe once it
        # is ready, and exits at once when the number is taken after all.
        first = 100 + os.getpid() % 400
        for number in range(first, first + 50):
            if os.path.exists(f"/tmp/.X{number}-lock") or \
                    os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            read_end, write_end = os.pipe()
            xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0",
                 "1024x768x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            reported = b""
            while not reported.endswith(b"\n"):
                chunk = os.read(read_end, 16)  # EOF when Xvfb exits
                if not chunk:
                    break
                reported += chunk
            os.close(read_end)
            if reported.strip() == str(number).encode():
                self.xvfb = xvfb
                self.display = f":{number}"
                log(f"# Xvfb on {self.display} (pid {xvfb.pid})")
                return
            if xvfb.poll() is None:
                xvfb.kill()
            xvfb.wait()
        raise SetupError("Xvfb did not start on any free display")

    def init_prefix(self):
        marker = os.path.join(self.prefix, ".wendlock-e2e-ready")
        if self.fresh_prefix and os.path.isdir(self.prefix):
            shutil.rmtree(self.prefix)
        started = time.monotonic()
        if not os.path.exists(marker):
            log(f"# initialising Wine prefix {self.prefix}")
            if os.path.isdir(self.prefix):
                shutil.rmtree(self.prefix)
            self.run_checked(["wine", "wineboot", "--init"], timeout=180)
            self.run_checked(["wineserver", "-w"], timeout=120)
        # A virtual desktop: without it Wine waits for a window manager for
        # each new top-level window on a bare X server.
        self.run_checked(["wine", "reg", "add", r"HKCU\Software\Wine\Explorer",
                          "/v", "Desktop", "/d", "Default", "/f"], timeout=60)
        self.run_checked(["wine", "reg", "add", r"HKCU\Software\Wine\Explorer\Desktops",
                          "/v", "Default", "/d", "1024x768", "/f"], timeout=60)
        open(marker, "w").close()
        # The desktop process that `reg` brought up still runs without the
        # virtual desktop: end it so the next program starts a new one.
        self.run_checked(["wineserver", "-k"], timeout=30)
        self.run_checked(["wineserver", "-w"], timeout=30)
        # One persistent wineserver for the whole run.
        subprocess.run(["wineserver", "-p"], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        log(f"# Wine prefix ready in {time.monotonic() - started:.1f} s")

    def run_checked(self, command, timeout):
        # Through a file for the same reason as spawn() below.
        with tempfile.TemporaryFile(dir=self.work) as sink:
            child = subprocess.Popen(command, env=self.env, stdin=subprocess.DEVNULL,
                                     stdout=sink, stderr=subprocess.STDOUT)
            try:
                child.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()
                raise SetupError(f"{' '.join(command)} did not finish in {timeout} s")
            sink.seek(0)
            output = sink.read().decode("utf-8", "replace")
        if child.returncode != 0:
            raise SetupError(f"{' '.join(command)} failed ({child.returncode}):\n{output}")
        return output

    # -- tear-down ---------------------------------------------------------

    def stop(self):
        for child in self.children:
            if child.poll() is None:
                child.kill()
        if getattr(self, "env", None):
            try:
                subprocess.run(["wineserver", "-k"], env=self.env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                subprocess.run(["wineserver", "-w"], env=self.env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                log("# wineserver did not stop in time")
        for child in self.children:
            try:
                child.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        if self.work and os.path.isdir(self.work):
            shutil.rmtree(self.work, ignore_errors=True)

    # -- running Windows programs ------------------------------------------

    # Output goes to files, not pipes: Wine's own helper processes (the
    # desktop, services) started on behalf of a program inherit its standard
    # handles and would hold a pipe open long after the program ended.
    def spawn(self, exe, args, cwd=None):
        self.output_count = getattr(self, "output_count", 0) + 1
        path = os.path.join(self.work, f"out-{self.output_count}.txt")
        with open(path, "wb") as sink:
            child = subprocess.Popen(["wine", exe] + list(args), env=self.env, cwd=cwd,
                                     stdin=subprocess.DEVNULL, stdout=sink,
                                     stderr=subprocess.STDOUT)
        child.output_path = path
        self.children.append(child)
        return child

    @staticmethod
    def output_of(child):
        with open(child.output_path, "rb") as source:
            return source.read().decode("cp1252", "replace").replace("\r\n", "\n")

    def run(self, exe, args, timeout=60, cwd=None):
        child = self.spawn(exe, args, cwd=cwd)
        try:
            child.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            child.kill()
            child.wait()
            return None, self.output_of(child) + f"\n[killed after {timeout} s]"
        return child.returncode, self.output_of(child)

    def driver(self, *args, timeout_ms=None):
        args = list(args)
        if timeout_ms is not None:
            args += ["--timeout-ms", str(timeout_ms)]
        limit = 30 + (timeout_ms or 5000) / 1000
        rc, out = self.run(self.driver_exe, args, timeout=limit)
        if rc not in (0, None) and not out.strip():
            # driver.exe prints a line for every outcome; none at all means
            # the program never ran (Wine's loader failed under load): once more.
            log(f"#   driver {args[0]} ended with {rc} and no output; running it again")
            rc, out = self.run(self.driver_exe, args, timeout=limit)
        return rc, out

    def new_folder(self, name):
        folder = tempfile.mkdtemp(prefix=name + "-", dir=self.work)
        return folder


ENV = None


# ---------------------------------------------------------------------------
# Wendlock and the stand-in.


def read_bmp(path):
    """(width, height, pixel(x, y) -> (r, g, b)) of a 24-bit BMP."""
    data = open(path, "rb").read()
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    height = int.from_bytes(data[22:26], "little", signed=True)
    stride = (width * 3 + 3) & ~3
    top_down = height < 0
    height = abs(height)

    def pixel(x, y):
        row = y if top_down else height - 1 - y
        at = offset + row * stride + x * 3
        return data[at + 2], data[at + 1], data[at]
    return width, height, pixel


def outline_edges(env, title):
    """For each edge of the window titled `title` as it is on the screen, the
    share of its pixels that are pure red."""
    path = os.path.join(env.work, f"outline-{time.monotonic_ns()}.bmp")
    rc, out = env.driver("capture", "--window", title, "--class", "#32770", "--as-is",
                         "--out", "Z:" + path.replace("/", "\\"))
    if rc != 0:
        raise AssertionError("capture failed: " + out)
    width, height, pixel = read_bmp(path)
    red = (255, 0, 0)

    def share(points):
        points = list(points)
        return sum(pixel(x, y) == red for x, y in points) / len(points)
    return {
        "left": share((0, y) for y in range(height)),
        "right": share((width - 1, y) for y in range(height)),
        "top": share((x, 0) for x in range(width)),
        "bottom": share((x, height - 1) for x in range(width)),
    }


def tray_icon_columns(env):
    """How many pixel columns of Wine's taskbar show red: the magnets of
    Wendlock's tray icons. Icons of the instances that earlier tests killed
    stay there, as on Windows, so callers compare counts."""
    path = os.path.join(env.work, f"tray-{time.monotonic_ns()}.bmp")
    rc, out = env.driver("capture", "--class", "Shell_TrayWnd", "--as-is",
                         "--out", "Z:" + path.replace("/", "\\"))
    if rc != 0 and " 0x0 " in out:
        return 0  # Wine shows its taskbar only while the tray holds an icon
    if rc != 0:
        raise AssertionError("capture of the taskbar failed: " + out)
    width, height, pixel = read_bmp(path)
    columns = 0
    # All but the Start button (its wine glass is red); the window buttons
    # between carry no red while the tray tests run.
    for x in range(60, width):
        if any(r > 180 and g < 80 and b < 80 for r, g, b in (pixel(x, y) for y in range(height))):
            columns += 1
    return columns


def write_profile(folder, name, lines):
    """A profile as Notepad leaves it: CRLF line ends, 8-bit text."""
    with open(os.path.join(folder, name), "wb") as out:
        out.write("".join(line + "\r\n" for line in lines).encode("cp1252"))


def profile_lines(*entries):
    lines = ["[WindowTitles]", f"Num_Windows={len(entries)}"]
    lines += [f"Title{i}={entry}" for i, entry in enumerate(entries, 1)]
    return lines


class Wendlock:
    """wendlock.exe started from a program folder of its own (copied there
    from the build unless it is there already)."""

    def __init__(self, test, folder, copy=True):
        self.test = test
        self.folder = folder
        if copy:
            shutil.copy(ENV.wendlock_exe, os.path.join(folder, "wendlock.exe"))
        self.process = ENV.spawn(os.path.join(folder, "wendlock.exe"), [], cwd=folder)

    def wait_main_window(self, timeout_ms=30000):
        rc, out = ENV.driver("wait", "--window", MAIN_CAPTION, "--process", PROCESS,
                             timeout_ms=timeout_ms)
        self.test.assertEqual(rc, 0, f"main window did not appear: {out}{self.diagnosis()}")

    def diagnosis(self):
        state = "running" if self.process.poll() is None else f"exited {self.process.returncode}"
        _, windows = ENV.driver("windows")
        return f"\nwendlock {state}; its output: {Environment.output_of(self.process)!r}\nwindows:\n{windows}"

    def drv(self, command, *selector, timeout_ms=5000, expect_rc=0):
        # Found by its process: the caption changes while the finder is used.
        rc, out = ENV.driver(command, "--process", PROCESS, *selector, timeout_ms=timeout_ms)
        if expect_rc is not None:
            self.test.assertEqual(rc, expect_rc,
                                  f"driver {command} {selector}: {out}{self.diagnosis()}")
        return out

    def click(self, caption):
        self.drv("click", "--button", caption)

    def state(self, *selector):
        out = self.drv("state", *selector)
        match = re.search(r"visible=(\d) enabled=(\d)", out)
        text = out.split(" text=", 1)[1].rstrip("\n") if " text=" in out else ""
        checked = re.search(r" checked=(\d)", out)
        return {"visible": match.group(1) == "1", "enabled": match.group(2) == "1", "text": text,
                "topmost": " topmost=1" in out,
                "checked": checked is not None and checked.group(1) == "1",
                "hwnd": re.search(r"hwnd=(0x[0-9a-f]+)", out).group(1)}

    def items(self, *selector):
        out = self.drv("items", *selector)
        items = []
        for line in out.splitlines():
            match = re.match(r"item (\d+)=(.*)$", line)
            if match:
                items.append(match.group(2))
        header = re.search(r"count=(\d+) selected=(-?\d+) text=(.*)", out)
        return items, int(header.group(2)), header.group(3)

    def list2_items(self):
        # List2 is known by its place below the visible client area: left
        # 4230, top 5370 twips (List1 and the file list are list boxes too).
        return self.items("--at", LIST2_AT)[0]

    def wait_list2(self, expected, timeout=10):
        seen = poll(lambda: (lambda items: items if items == expected else None)(
            self.list2_items()), timeout)
        self.test.assertEqual(self.list2_items() if seen is None else seen, expected)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=30)
        # Its windows go with it; the next test must not find them.
        ENV.driver("wait", "--window", MAIN_CAPTION, "--process", PROCESS, "--gone",
                   timeout_ms=15000)


class StandIn:
    """standin.exe with its report lines collected as they come."""

    def __init__(self, *args, exe=None):
        self.process = ENV.spawn(exe or ENV.standin_exe, list(args))
        self.lines = queue.Queue()
        self.seen = []
        threading.Thread(target=self._collect, daemon=True).start()

    def _collect(self):
        # Follows the output file until the program has ended and all of it
        # has been read.
        offset, pending = 0, b""
        with open(self.process.output_path, "rb") as source:
            while True:
                ended = self.process.poll() is not None
                source.seek(offset)
                chunk = source.read()
                offset += len(chunk)
                pending += chunk
                *complete, pending = pending.split(b"\n")
                for line in complete:
                    self.lines.put(line.decode("cp1252", "replace").rstrip("\r"))
                if ended and not chunk:
                    break
                if not chunk:
                    time.sleep(0.02)
        if pending:
            self.lines.put(pending.decode("cp1252", "replace").rstrip("\r"))
        self.lines.put(None)

    def wait_line(self, pattern, timeout):
        """Waits for a report line matching `pattern`; returns its match or None."""
        regex = re.compile(pattern)
        for line in self.seen:
            match = regex.search(line)
            if match:
                return match
        deadline = time.monotonic() + timeout
        while True:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                return None
            try:
                line = self.lines.get(timeout=remaining)
            except queue.Empty:
                return None
            if line is None:
                self.lines.put(None)
                return None
            self.seen.append(line)
            match = regex.search(line)
            if match:
                return match

    def result(self, number, timeout):
        """(result code, ms) of box `number`, or None if it did not return in time."""
        match = self.wait_line(rf"^box {number} title=.* result=(\d+) ms=(\d+)$", timeout)
        return (int(match.group(1)), int(match.group(2))) if match else None

    def finish(self, timeout=30):
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.wait_line(r"^done ", 5)
        return self.process.returncode

    def report(self):
        while True:
            try:
                line = self.lines.get_nowait()
            except queue.Empty:
                break
            if line is None:
                self.lines.put(None)
                break
            self.seen.append(line)
        return "\n".join(self.seen)


# ---------------------------------------------------------------------------
# Tests.


class WendlockTestCase(unittest.TestCase):
    def setUp(self):
        if ENV.wendlock_exe is None:
            self.skipTest("wendlock.exe is not in the build")
        self.folder = ENV.new_folder(self.id().rsplit(".", 1)[-1])
        self.app = None
        self.standins = []

    def tearDown(self):
        for standin in self.standins:
            if standin.process.poll() is None:
                standin.process.kill()
                standin.process.wait()
        if self.app is not None:
            self.app.stop()

    def start(self, wait=True):
        self.app = Wendlock(self, self.folder)
        if wait:
            self.app.wait_main_window()
        return self.app

    def standin(self, *args, exe=None):
        standin = StandIn(*args, exe=exe)
        self.standins.append(standin)
        return standin

    def enable_monitoring(self):
        self.app.click("Enable monitoring")
        out = self.app.drv("wait", "--button", "Disable monitoring", "--visible", "1")
        self.assertIn("ok", out)

    def answer_first_run(self, answer, question_timeout_ms=15000):
        """Answers the two boxes of a start-up without a profile by driver
        clicks: "Wendlock" with OK (start-up reads the profile named "Combo1",
        which does not exist), then "default_wl.ini?" with `answer`."""
        for title, button, timeout_ms in (("Wendlock", "OK", 30000),
                                          ("default_wl.ini?", answer, question_timeout_ms)):
            rc, out = ENV.driver("click", "--window", title, "--class", "#32770",
                                 "--button", button, timeout_ms=timeout_ms)
            self.assertEqual(rc, 0, out + self.app.diagnosis())


class StartUp(WendlockTestCase):
    def test_main_window_and_profile_list(self):
        entry = "Rebuild Warnings[OK]<<#32770>>"
        for name in ("b.ini", "A.ini", "default_wl.ini"):
            write_profile(self.folder, name, profile_lines(entry))
        app = self.start()
        for caption in ("Edit ini", "Enable monitoring", "Add"):
            state = app.state("--button", caption)
            self.assertTrue(state["visible"] and state["enabled"], f"{caption}: {state}")
        self.assertFalse(app.state("--button", "Create Ini")["visible"])
        items, selected, text = app.items("--control-class", "ComboBox")
        self.assertEqual(items, ["A.ini", "b.ini", "default_wl.ini"])
        self.assertEqual((selected, text), (0, "A.ini"))
        self.assertEqual(app.list2_items(), ["Rebuild Warnings<-->OK<-->#32770"])

    def test_edit_ini_opens_profile_in_notepad(self):
        write_profile(self.folder, "default_wl.ini", profile_lines("X[OK]<<#32770>>"))
        app = self.start()
        app.click("Edit ini")
        rc, out = ENV.driver("find", "--process", "notepad.exe", "--window",
                             "default_wl.ini - Notepad", timeout_ms=20000)
        if rc != 0:
            _, out = ENV.driver("windows")
        self.assertEqual(rc, 0, "no Notepad window with the profile:\n" + out)
        ENV.driver("close", "--process", "notepad.exe", "--window", "default_wl.ini - Notepad")
        ENV.driver("wait-exit", "--name", "notepad.exe", timeout_ms=10000)

    def test_close_request_is_refused(self):
        write_profile(self.folder, "default_wl.ini", profile_lines("X[OK]<<#32770>>"))
        app = self.start()
        # Sent, not posted: it returns once the window has handled it.
        app.drv("send", "--msg", "0x10")  # WM_CLOSE
        self.assertEqual(app.process.poll(), None, "wendlock ended on WM_CLOSE")
        app.drv("find")

    def test_alt_f4_is_refused(self):
        write_profile(self.folder, "default_wl.ini", profile_lines("X[OK]<<#32770>>"))
        app = self.start()
        app.drv("activate")
        ENV.driver("keys", "--seq", "alt+f4")
        # A synchronous round trip after the keys: by its return the window
        # has taken the keys from its queue and handled them.
        app.drv("click", "--button", "Read ini")
        app.drv("send", "--msg", "0")  # WM_NULL
        self.assertIsNone(app.process.poll(), "wendlock ended on Alt+F4")
        self.assertTrue(app.state()["visible"])

    def test_double_click_on_background_hides_window(self):
        write_profile(self.folder, "default_wl.ini", profile_lines("X[OK]<<#32770>>"))
        app = self.start()
        app.drv("activate")
        # An empty spot of the client area, left of the blue frame.
        app.drv("pointer", "--action", "dblclick", "--offset", "3,45")
        app.drv("wait", "--visible", "0")
        # The tray icon brings it back.
        app.drv("tray", "--at", TRAY_AT, "--event", "dblclick")
        app.drv("wait", "--visible", "1")

    def test_question_asked_again_when_shown_again(self):
        self.start(wait=False)
        self.answer_first_run("&No", question_timeout_ms=30000)
        self.app.drv("wait", "--button", "Create Ini", "--visible", "1")
        self.app.drv("tray", "--at", TRAY_AT, "--event", "dblclick")
        self.app.drv("wait", "--visible", "0")
        self.app.drv("tray", "--at", TRAY_AT, "--event", "dblclick")
        # Shown again with still no profile: the question comes back.
        rc, out = ENV.driver("click", "--window", "default_wl.ini?", "--class", "#32770",
                             "--button", "&Yes", timeout_ms=15000)
        self.assertEqual(rc, 0, out + self.app.diagnosis())
        self.app.drv("wait", "--button", "Create Ini", "--visible", "0")
        self.assertTrue(os.path.exists(os.path.join(self.folder, "default_wl.ini")))

    def test_first_run_yes_creates_default_profile(self):
        self.start(wait=False)
        self.answer_first_run("&Yes")
        path = os.path.join(self.folder, "default_wl.ini")
        self.assertTrue(poll(lambda: os.path.exists(path), 10), "default_wl.ini not created")
        self.assertEqual(os.path.getsize(path), 0)
        self.app.wait_main_window()
        self.app.drv("wait", "--button", "Create Ini", "--visible", "0")
        items, selected, text = self.app.items("--control-class", "ComboBox")
        self.assertEqual((items, selected, text), (["default_wl.ini"], 0, "default_wl.ini"))
        for caption in ("Edit ini", "Enable monitoring", "Add"):
            self.assertTrue(self.app.state("--button", caption)["enabled"], caption)

    def test_first_run_no_offers_create_ini(self):
        self.start(wait=False)
        self.answer_first_run("&No")
        self.app.drv("wait", "--button", "Create Ini", "--visible", "1")
        for caption in ("Edit ini", "Enable monitoring", "Add"):
            self.app.drv("wait", "--button", caption, "--enabled", "0")
        self.assertFalse(os.path.exists(os.path.join(self.folder, "default_wl.ini")))
        # "Create Ini" makes the empty default profile after all.
        self.app.click("Create Ini")
        self.app.drv("wait", "--button", "Create Ini", "--visible", "0")
        self.assertEqual(os.path.getsize(os.path.join(self.folder, "default_wl.ini")), 0)


class ReadIni(WendlockTestCase):
    def test_profile_without_entries_says_so(self):
        write_profile(self.folder, "default_wl.ini", ["[WindowTitles]", "Num_Windows=0"])
        self.start(wait=False)
        rc, out = ENV.driver("list", "--window", "Wendlock", "--class", "#32770",
                             timeout_ms=30000)
        self.assertEqual(rc, 0, out + self.app.diagnosis())
        self.assertRegex(out, r"(?m) text=There is no windows set up  for control$")
        ENV.driver("click", "--window", "Wendlock", "--class", "#32770", "--button", "OK")
        self.app.wait_main_window()
        self.assertEqual(self.app.list2_items(), [])

    def test_shorter_profile_keeps_higher_entries_answered(self):
        write_profile(self.folder, "default_wl.ini", profile_lines(
            "First Box[OK]<<#32770>>", "Second Box[OK]<<#32770>>"))
        app = self.start()
        write_profile(self.folder, "default_wl.ini", profile_lines("Third Box[OK]<<#32770>>"))
        app.click("Read ini")
        app.wait_list2(["Third Box<-->OK<-->#32770"])
        self.enable_monitoring()
        # Entry 1 now holds "Third Box"; entry 2 still holds "Second Box".
        standin = self.standin("--box", "Third Box", "OK", "--box", "Second Box", "OK",
                               "--timeout-ms", "30000")
        self.assertEqual((standin.result(1, 35) or (None,))[0], IDOK, standin.report())
        self.assertEqual((standin.result(2, 35) or (None,))[0], IDOK, standin.report())

    def test_hand_edited_profile_fills_list2(self):
        write_profile(self.folder, "default_wl.ini", profile_lines(
            "Save changes?[&No]<<#32770>>",
            "Save changes? [ &No ]<< #32770 >>",
            "Save changes?[OK]",
        ))
        app = self.start()
        app.wait_list2([
            "Save changes?<-->&No<-->#32770",
            "Save changes? <-->&No<-->#32770",
            "Save changes?<-->OK<-->",
        ])

    def test_read_ini_reloads_edited_profile(self):
        write_profile(self.folder, "default_wl.ini", profile_lines("First[OK]<<#32770>>"))
        app = self.start()
        app.wait_list2(["First<-->OK<-->#32770"])
        # The user edits the profile in Notepad while Wendlock runs.
        write_profile(self.folder, "default_wl.ini",
                      ["[WindowTitles]", "Num_Windows=2.5",
                       "Title1=Second[&Yes]<<#32770>>", "Title2=Third[Cancel]<<#32770>>",
                       "Title3=Not counted[OK]<<#32770>>"])
        app.click("Read ini")
        app.wait_list2(["Second<-->&Yes<-->#32770", "Third<-->Cancel<-->#32770"])


class Monitoring(WendlockTestCase):
    def setUp(self):
        super().setUp()
        write_profile(self.folder, "default_wl.ini", profile_lines(
            "Rebuild Warnings[OK]<<#32770>>",
            "Close Document[&No]<<#32770>>",
            "Save As Failed[&Yes]<<#32770>>",
            "Keep Going[Yes]<<#32770>>",
        ))

    def test_lower_entry_wins_for_same_box(self):
        write_profile(self.folder, "default_wl.ini", profile_lines(
            "Close Document[&Yes]<<#32770>>",
            "Close Document[&No]<<#32770>>",
        ))
        self.start()
        self.enable_monitoring()
        standin = self.standin("--box", "Close Document", "YESNOCANCEL", "--timeout-ms", "30000")
        self.assertEqual((standin.result(1, 35) or (None,))[0], IDYES, standin.report())

    def test_titles_match_whole_with_blanks_and_any_case(self):
        # The blank before "[" stays part of the title; the window system
        # compares titles and captions without regard to letter case.
        write_profile(self.folder, "default_wl.ini", profile_lines(
            "Save changes? [ &No ]<< #32770 >>",
            "rebuild warnings[ok]<<#32770>>",
        ))
        self.start()
        self.enable_monitoring()
        plain = self.standin("--box", "Save changes?", "YESNO", "--timeout-ms", "60000")
        rc, out = ENV.driver("wait", "--window", "Save changes?", "--class", "#32770",
                             timeout_ms=15000)
        self.assertEqual(rc, 0, out)
        blank = self.standin("--box", "Save changes? ", "YESNO",
                             "--box", "Rebuild Warnings", "OK", "--timeout-ms", "30000")
        self.assertEqual((blank.result(1, 35) or (None,))[0], IDNO, blank.report())
        self.assertEqual((blank.result(2, 35) or (None,))[0], IDOK, blank.report())
        self.assertIsNone(plain.result(1, 0), "a title without the blank was answered")
        ENV.driver("click", "--window", "Save changes?", "--button", "&Yes")
        self.assertEqual((plain.result(1, 15) or (None,))[0], IDYES, plain.report())

    def test_twentieth_entry_is_watched(self):
        entries = [f"Unused Box {i}[OK]<<#32770>>" for i in range(1, 20)]
        write_profile(self.folder, "default_wl.ini",
                      profile_lines(*entries, "Last Entry[Cancel]<<#32770>>"))
        app = self.start()
        self.assertEqual(app.list2_items()[-1], "Last Entry<-->Cancel<-->#32770")
        self.enable_monitoring()
        standin = self.standin("--box", "Last Entry", "OKCANCEL", "--timeout-ms", "30000")
        self.assertEqual((standin.result(1, 35) or (None,))[0], IDCANCEL, standin.report())

    def test_switch_states(self):
        app = self.start()
        self.assertEqual(app.state("--button", "Enable monitoring")["enabled"], True)
        self.enable_monitoring()
        app.drv("wait", "--button", "Edit ini", "--enabled", "0")
        app.drv("wait", "--button", "Add", "--enabled", "0")
        app.click("Disable monitoring")
        app.drv("wait", "--button", "Enable monitoring", "--visible", "1")
        app.drv("wait", "--button", "Edit ini", "--enabled", "1")
        app.drv("wait", "--button", "Add", "--enabled", "1")

    def test_box_open_before_switching_on_is_answered(self):
        # With the mouse: the user switches monitoring on, the box already
        # open is answered at the first tick, and a click on the same button
        # at once after the answer, soon after the first click, switches off.
        app = self.start()
        standin = self.standin("--box", "Rebuild Warnings", "OK", "--timeout-ms", "60000")
        rc, out = ENV.driver("wait", "--window", "Rebuild Warnings", "--class", "#32770",
                             timeout_ms=15000)
        self.assertEqual(rc, 0, out)
        self.assertIsNone(standin.result(1, 0), "answered while monitoring was off")
        clicker = ENV.spawn(ENV.driver_exe, [
            "click", "--mouse", "--process", PROCESS, "--button", "Disable monitoring",
            "--after-closed", "Rebuild Warnings", "--timeout-ms", "30000"])
        self.assertTrue(poll(lambda: "seen Rebuild Warnings open" in ENV.output_of(clicker), 30),
                        ENV.output_of(clicker))
        app.drv("click", "--mouse", "--button", "Enable monitoring")
        result = standin.result(1, 15)
        self.assertIsNotNone(result, standin.report())
        self.assertEqual(result[0], IDOK, standin.report())
        clicker.wait(timeout=40)
        log("#   " + ENV.output_of(clicker).strip().splitlines()[-1])
        self.assertEqual(clicker.returncode, 0, ENV.output_of(clicker))
        app.drv("wait", "--button", "Enable monitoring", "--visible", "1")

    def test_boxes_answered_with_stored_buttons(self):
        app = self.start()
        self.enable_monitoring()
        standin = self.standin("--box", "Rebuild Warnings", "OK",
                               "--box", "Close Document", "YESNOCANCEL",
                               "--box", "Rebuild Warnings", "OK",
                               "--gap-ms", "0-300", "--owner-title", "SolidWorks 2024",
                               "--timeout-ms", "30000")
        expected = [IDOK, IDNO, IDOK]
        for number, code in enumerate(expected, 1):
            result = standin.result(number, 35)
            self.assertIsNotNone(result, f"box {number} not answered:\n{standin.report()}")
            self.assertEqual(result[0], code, standin.report())
            log(f"#   box {number} answered with {result[0]} after {result[1]} ms")
        self.assertEqual(standin.finish(), 0, standin.report())
        self.assertIsNone(app.process.poll())

    def test_answers_come_within_a_few_ticks(self):
        self.start()
        self.enable_monitoring()
        count = 6
        args = []
        for _ in range(count):
            args += ["--box", "Rebuild Warnings", "OK"]
        standin = self.standin(*args, "--gap-ms", "0-100", "--timeout-ms", "30000")
        times = []
        for number in range(1, count + 1):
            result = standin.result(number, 35)
            self.assertIsNotNone(result, f"box {number} not answered:\n{standin.report()}")
            self.assertEqual(result[0], IDOK)
            times.append(result[1])
        log(f"#   open-to-answered times: {times} ms")
        # A tick every 55 ms answers a box within about one interval of its
        # opening; a much slower timer shows in the mean at once.
        self.assertLess(sum(times) / count, 400, times)
        self.assertLess(max(times), 2000, times)

    def test_concurrent_boxes_all_answered(self):
        self.start()
        self.enable_monitoring()
        standin = self.standin("--parallel",
                               "--box", "Rebuild Warnings", "OK",
                               "--box", "Close Document", "YESNOCANCEL",
                               "--box", "Rebuild Warnings", "OK",
                               "--box", "Close Document", "YESNO",
                               "--gap-ms", "0-200", "--timeout-ms", "30000")
        for number, code in enumerate([IDOK, IDNO, IDOK, IDNO], 1):
            result = standin.result(number, 35)
            self.assertIsNotNone(result, f"box {number} not answered:\n{standin.report()}")
            self.assertEqual(result[0], code, standin.report())
        self.assertEqual(standin.finish(), 0, standin.report())

    def test_box_without_stored_caption_stays_open(self):
        app = self.start()
        self.enable_monitoring()
        # "Save As Failed" has only OK (stored: "&Yes"); "Keep Going" has
        # "&Yes" (stored: "Yes" without the marker). Neither may be answered.
        waiting = self.standin("--parallel", "--box", "Save As Failed", "OK",
                               "--box", "Keep Going", "YESNO", "--timeout-ms", "60000")
        for title in ("Save As Failed", "Keep Going"):
            rc, out = ENV.driver("wait", "--window", title, "--class", "#32770",
                                 timeout_ms=15000)
            self.assertEqual(rc, 0, out)
        # Three boxes one after another take at least three ticks to answer;
        # when the last is answered, the two others have been seen that often.
        later = self.standin("--box", "Rebuild Warnings", "OK", "--box", "Rebuild Warnings",
                             "OK", "--box", "Rebuild Warnings", "OK", "--timeout-ms", "30000")
        for number in (1, 2, 3):
            self.assertEqual((later.result(number, 35) or (None,))[0], IDOK, later.report())
        self.assertIsNone(waiting.result(1, 0), waiting.report())
        self.assertIsNone(waiting.result(2, 0), waiting.report())
        for title in ("Save As Failed", "Keep Going"):
            rc, out = ENV.driver("find", "--window", title, "--class", "#32770", timeout_ms=0)
            self.assertEqual(rc, 0, f"{title} closed: {out}")
        # The user answers them; Wendlock is still running.
        ENV.driver("click", "--window", "Save As Failed", "--button", "OK")
        ENV.driver("click", "--window", "Keep Going", "--button", "&No")
        self.assertEqual((waiting.result(1, 15) or (None,))[0], IDOK, waiting.report())
        self.assertEqual((waiting.result(2, 15) or (None,))[0], IDNO, waiting.report())
        self.assertIsNone(app.process.poll())

    def test_switched_off_again_stops_answering(self):
        app = self.start()
        self.enable_monitoring()
        first = self.standin("--box", "Rebuild Warnings", "OK", "--timeout-ms", "30000")
        self.assertEqual((first.result(1, 35) or (None,))[0], IDOK, first.report())
        app.click("Disable monitoring")
        app.drv("wait", "--button", "Enable monitoring", "--visible", "1")
        second = self.standin("--box", "Close Document", "YESNOCANCEL", "--timeout-ms", "60000")
        rc, out = ENV.driver("wait", "--window", "Close Document", "--class", "#32770",
                             timeout_ms=15000)
        self.assertEqual(rc, 0, out)
        # A box the user answers meanwhile proves that time has passed with
        # the program idle: one more box of ours is left alone too.
        third = self.standin("--box", "Rebuild Warnings", "OK", "--timeout-ms", "60000")
        ENV.driver("wait", "--window", "Rebuild Warnings", "--class", "#32770",
                   timeout_ms=15000)
        ENV.driver("click", "--window", "Rebuild Warnings", "--button", "OK")
        self.assertEqual((third.result(1, 15) or (None,))[0], IDOK, third.report())
        self.assertIsNone(second.result(1, 0), second.report())
        ENV.driver("click", "--window", "Close Document", "--button", "Cancel")
        self.assertEqual((second.result(1, 15) or (None,))[0], IDCANCEL, second.report())


class Keys(WendlockTestCase):
    """Entries with Text and Program keys, for boxes that share a title."""

    def test_shared_title_answered_by_text_other_program_and_hung_window_left_alone(self):
        write_profile(self.folder, "default_wl.ini", [
            "[WindowTitles]", "Num_Windows=2",
            "Title1=Shared[&Yes]<<#32770>>", "Text1=rebuild", "Program1=standin.exe",
            "Title2=Shared[&No]<<#32770>>", "Text2=save changes", "Program2=STANDIN.EXE"])
        app = self.start()
        self.assertEqual(app.list2_items(), ["Shared<-->&Yes<-->#32770", "Shared<-->&No<-->#32770"])
        self.enable_monitoring()
        # The same box from another program stays open.
        viewer_exe = os.path.join(self.folder, "viewer.exe")
        shutil.copy(ENV.standin_exe, viewer_exe)
        other = self.standin("--box", "Shared", "YESNO", "--box-text", "Save changes to Part1?",
                             "--timeout-ms", "90000", exe=viewer_exe)
        rc, out = ENV.driver("wait", "--class", "#32770", "--process", "viewer.exe",
                             timeout_ms=15000)
        self.assertEqual(rc, 0, out)
        # A window of the title, with both buttons, whose program reads no
        # messages: first in window order (topmost), so every walk meets it.
        hung = self.standin("--hung", "Shared", "Not answering")
        self.assertIsNotNone(hung.wait_line(r"^hung 0x", 15), hung.report())
        standin = self.standin("--parallel",
                               "--box", "Shared", "YESNO", "--box-text", "Rebuild errors occurred.",
                               "--box", "Shared", "YESNOCANCEL",
                               "--box-text", "Save changes to Part1?", "--timeout-ms", "30000")
        times = []
        for number, code in ((1, IDYES), (2, IDNO)):
            result = standin.result(number, 35)
            self.assertIsNotNone(result, f"box {number} not answered:\n{standin.report()}")
            self.assertEqual(result[0], code, standin.report())
            times.append(result[1])
        log(f"#   open-to-answered times beside the hung window: {times} ms")
        # The hung window stopped reading messages a moment ago: a read that
        # waited on it (a message sent with the host's 1 s timeout, say)
        # would hold up every tick of the next seconds by a second or more,
        # where a tick is a few milliseconds and a busy machine adds tenths.
        self.assertLess(max(times), 1000, times)
        self.assertIsNone(other.result(1, 0), other.report())
        rc, out = ENV.driver("find", "--class", "#32770", "--process", "viewer.exe", timeout_ms=0)
        self.assertEqual(rc, 0, f"the other program's box closed: {out}")
        self.assertIsNone(app.process.poll())


class Capture(WendlockTestCase):
    def test_finder_pick_add_read_and_answer(self):
        # The whole road: pick an open box with the finder, store it with
        # "Add", load it with "Read ini", and see the watcher answer it. The
        # title ends in blanks, which the stored entry keeps: without them
        # it would never match the box.
        write_profile(self.folder, "default_wl.ini", profile_lines("Other[OK]<<#32770>>"))
        app = self.start()
        title = "Rebuild Warnings  "
        standin = self.standin("--owner-title", "SolidWorks 2024", "--box", title,
                               "YESNOCANCEL", "--timeout-ms", "90000")
        rc, out = ENV.driver("find", "--window", title, "--class", "#32770", timeout_ms=15000)
        self.assertEqual(rc, 0, out)
        box = re.search(r"hwnd=0x([0-9a-f]+) .* screen=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", out)
        left, top, right = int(box.group(2)), int(box.group(3)), int(box.group(4))
        self.assertEqual(outline_edges(ENV, title),
                         {"left": 0, "right": 0, "top": 0, "bottom": 0})
        # Released over the box's caption bar: the box itself, not a control.
        app.drv("drag", "--at", PICTURE2_AT, "--to", f"{(left + right) // 2},{top + 8}",
                "--steps", "12", "--step-ms", "25")
        # The caption shows the picked handle in upper-case hex.
        rc, out = ENV.driver("wait", "--process", PROCESS, "--text-is",
                             box.group(1).upper(), timeout_ms=10000)
        self.assertEqual(rc, 0, out + app.diagnosis())
        app.drv("wait", "--at", TEXT4_AT, "--text-is", "#32770")
        # The box keeps the red frame painted onto its outer edge.
        self.assertEqual(outline_edges(ENV, title),
                         {"left": 1, "right": 1, "top": 1, "bottom": 1})
        self.assertEqual(app.state("--at", TEXT1_AT)["text"], title)
        # What an entry's Text and Program keys would be compared with.
        self.assertEqual(app.items("--at", LIST1_AT)[0][-2:],
                         ["Stand-in message 1\tMessage", "standin.exe\tProgram"])
        # ... and shown in the finder tool's tip while the pointer rests on it.
        app.drv("pointer", "--at", PICTURE2_AT, "--action", "move", "--offset", "10,10")
        app.drv("wait", "--class", "tooltips_class32", "--visible", "1", timeout_ms=10000)
        self.assertIn("Program: standin.exe", app.drv("text", "--class", "tooltips_class32"))
        # Owned by "SolidWorks 2024": no warning.
        self.assertFalse(app.state("--at", LABEL3_AT)["visible"])
        captions = [app.state("--at", at)["text"] for at in CMD1_AT]
        self.assertEqual(sorted(captions), ["&No", "&Yes", "Cancel"])
        for at in OP1_AT + CMD1_AT:
            self.assertTrue(app.state("--at", at)["visible"], at)
        self.assertTrue(app.state("--at", OP1_AT[0])["checked"])
        # Users click the wide caption rather than the small option beside it.
        choice = captions.index("&No")
        # Under Wine a real click on this window is now and then not
        # delivered at all, in about one run of ten here, whichever control
        # it aims at; a caption that does not choose fails both tries.
        for attempt in range(2):
            app.drv("click", "--at", CMD1_AT[choice], "--mouse")
            rc, out = ENV.driver("wait", "--process", PROCESS, "--at", OP1_AT[choice],
                                 "--checked", "1", timeout_ms=3000)
            if rc == 0:
                break
            log(f"#   the click on the caption was not delivered (try {attempt + 1})")
        self.assertEqual(rc, 0, out + app.diagnosis())
        # How "Add" is reached is not the point here.
        app.click("Add")
        app.drv("wait", "--at", LABEL3_AT, "--text-is",
                "Item has been added. Restart to watch it.")
        path = os.path.join(self.folder, "default_wl.ini")
        wanted = "Title2=Rebuild Warnings  [&No]<<#32770>>"
        content = poll(lambda: (lambda text: text if wanted in text else None)(
            open(path, "rb").read().decode("cp1252")), 10)
        self.assertIsNotNone(content, open(path, "rb").read())
        self.assertIn("Num_Windows=2", content)
        # A second "Add" of the same title is refused.
        app.click("Add")
        app.drv("wait", "--at", LABEL3_AT, "--visible", "1")
        self.assertEqual(app.state("--at", LABEL3_AT)["text"],
                         "Duplicate entry. Item has NOT been added!")
        self.assertNotIn("Title3", open(path, "rb").read().decode("cp1252"))
        self.assertIn("Num_Windows=2", open(path, "rb").read().decode("cp1252"))
        # Not yet on the watch list; "Read ini" puts it there.
        self.assertEqual(app.list2_items(), ["Other<-->OK<-->#32770"])
        app.click("Read ini")
        app.wait_list2(["Other<-->OK<-->#32770", "Rebuild Warnings  <-->&No<-->#32770"])
        self.assertIsNone(standin.result(1, 0), standin.report())
        self.enable_monitoring()
        result = standin.result(1, 15)
        self.assertIsNotNone(result, standin.report())
        self.assertEqual(result[0], IDNO, standin.report())


    def drop_on(self, title, offset_from_centre=None, control=None):
        """Drags the finder from Picture2 onto the box `title` (its caption
        bar, or the centre of one of its controls) and waits for the release."""
        selector = ["--window", title, "--class", "#32770"]
        if control:
            selector += ["--button", control]
        rc, out = ENV.driver("find", *selector, timeout_ms=15000)
        self.assertEqual(rc, 0, out)
        handle, left, top, right, bottom = re.search(
            r"hwnd=0x([0-9a-f]+) .* screen=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", out).groups()
        left, top, right, bottom = int(left), int(top), int(right), int(bottom)
        point = ((left + right) // 2, (top + bottom) // 2) if control else \
            ((left + right) // 2, top + 8)
        self.app.drv("drag", "--at", PICTURE2_AT, "--to", f"{point[0]},{point[1]}",
                     "--steps", "12", "--step-ms", "25")
        rc, out = ENV.driver("wait", "--process", PROCESS, "--text-is", handle.upper(),
                             timeout_ms=10000)
        self.assertEqual(rc, 0, out + self.app.diagnosis())

    def test_finder_warns_unless_owned_by_solidworks(self):
        write_profile(self.folder, "default_wl.ini", profile_lines("Other[OK]<<#32770>>"))
        app = self.start()
        self.standin("--box", "Lonely Box", "OK", "--timeout-ms", "90000")
        self.drop_on("Lonely Box")
        app.drv("wait", "--at", TEXT4_AT, "--text-is", "#32770")
        app.drv("wait", "--at", LABEL3_AT, "--visible", "1")
        self.assertEqual(app.state("--at", LABEL3_AT)["text"],
                         "Couldn't find parent Solidworks window")
        self.assertEqual(app.state("--at", TEXT1_AT)["text"], "Lonely Box")
        # A button picked inside a box owned by the CAD window: its parent is
        # the box, its grandparent the "SolidWorks..." window: no warning.
        self.standin("--owner-title", "SolidWorks 2024", "--box", "Owned Box", "YESNO",
                     "--timeout-ms", "90000")
        self.drop_on("Owned Box", control="&Yes")
        app.drv("wait", "--at", TEXT4_AT, "--text-is", "Button")
        self.assertEqual(app.state("--at", TEXT1_AT)["text"], "&Yes")
        self.assertEqual(app.state("--at", TEXT2_AT)["text"], "SolidWorks 2024 level2 ")
        self.assertFalse(app.state("--at", LABEL3_AT)["visible"])


    def test_add_refuses_a_title_that_would_load_back_split_differently(self):
        # "[" in a title moves the split "Read ini" makes: the entry would
        # load as another title and button and never be answered.
        write_profile(self.folder, "default_wl.ini", profile_lines("Other[OK]<<#32770>>"))
        before = open(os.path.join(self.folder, "default_wl.ini"), "rb").read()
        app = self.start()
        self.standin("--box", "Warn [1]", "YESNO", "--timeout-ms", "90000")
        self.drop_on("Warn [1]")
        app.drv("wait", "--at", TEXT4_AT, "--text-is", "#32770")
        app.click("Add")
        app.drv("wait", "--at", LABEL3_AT, "--text-is",
                "[ ] << >> cannot be stored. Item has NOT been added!")
        self.assertEqual(open(os.path.join(self.folder, "default_wl.ini"), "rb").read(), before)

    def finder_on_screen(self):
        """(left, top, right, bottom) of the finder tool Picture2 on the screen."""
        out = self.app.drv("find", "--at", PICTURE2_AT)
        return tuple(int(v) for v in re.search(
            r"screen=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", out).groups())

    def finder_shows_image(self):
        """Whether Picture2 shows the finder image (it is empty during a drag)."""
        path = os.path.join(ENV.work, f"finder-{time.monotonic_ns()}.bmp")
        self.app.drv("capture", "--at", PICTURE2_AT, "--as-is",
                     "--out", "Z:" + path.replace("/", "\\"))
        width, height, pixel = read_bmp(path)
        return len({pixel(x, y) for x in range(width) for y in range(height)}) > 1

    def test_release_over_finder_after_press_beside_it_is_ignored(self):
        # A press on the form's background just left of the finder, released
        # over it: the release is not the finder's and must not walk the last
        # picked window again, which would replace the offered buttons.
        write_profile(self.folder, "default_wl.ini", profile_lines("Other[OK]<<#32770>>"))
        app = self.start()
        self.standin("--box", "Pick Me", "YESNO", "--timeout-ms", "90000")
        self.drop_on("Pick Me")
        app.drv("wait", "--at", TEXT4_AT, "--text-is", "#32770")
        captions = [app.state("--at", at)["text"] for at in CMD1_AT[:2]]
        self.assertEqual(sorted(captions), ["&No", "&Yes"])
        choice = captions.index("&No")
        app.drv("click", "--at", OP1_AT[choice])
        app.drv("wait", "--at", OP1_AT[choice], "--checked", "1")
        left, top, right, bottom = self.finder_on_screen()
        middle = (top + bottom) // 2
        ENV.driver("pointer", "--action", "down", "--to", f"{left - 2},{middle}")
        ENV.driver("pointer", "--action", "up", "--to", f"{(left + right) // 2},{middle}")
        # A real click comes through the input queue after that release.
        app.drv("click", "--button", "Add", "--mouse")
        path = os.path.join(self.folder, "default_wl.ini")
        content = poll(lambda: (lambda text: text if "Title2=" in text else None)(
            open(path, "rb").read().decode("cp1252")), 10)
        self.assertIsNotNone(content, open(path, "rb").read())
        self.assertIn("Title2=Pick Me[&No]<<#32770>>\r\n", content)
        self.assertEqual([app.state("--at", at)["text"] for at in CMD1_AT[:2]], captions)
        self.assertFalse(app.state("--at", CMD1_AT[2])["visible"])
        self.assertTrue(app.state("--at", OP1_AT[choice])["checked"])

    def test_capture_taken_mid_drag_ends_the_drag(self):
        # Another program's window takes the pointer in the middle of a drag:
        # the release never reaches the finder, which goes back to idle with
        # its image, and the frame the drag left goes.
        write_profile(self.folder, "default_wl.ini", profile_lines("Other[OK]<<#32770>>"))
        app = self.start()
        self.standin("--box", "Lost Drag", "YESNO", "--timeout-ms", "90000")
        rc, out = ENV.driver("find", "--window", "Lost Drag", "--class", "#32770",
                             timeout_ms=15000)
        self.assertEqual(rc, 0, out)
        handle, left, top, right, bottom = re.search(
            r"hwnd=0x([0-9a-f]+) .* screen=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", out).groups()
        target = f"{(int(left) + int(right)) // 2},{int(top) + 8}"
        f_left, f_top, f_right, f_bottom = self.finder_on_screen()
        finder = f"{(f_left + f_right) // 2},{(f_top + f_bottom) // 2}"
        self.assertTrue(self.finder_shows_image())
        # One process drags and keeps the button down: separate pointer
        # warps from several processes can reach the program out of order.
        app.drv("drag", "--at", PICTURE2_AT, "--to", target, "--steps", "12", "--step-ms", "25",
                "--hold")
        rc, out = ENV.driver("wait", "--process", PROCESS, "--text-is", handle.upper(),
                             timeout_ms=10000)
        self.assertEqual(rc, 0, out + app.diagnosis())
        self.assertEqual(outline_edges(ENV, "Lost Drag"),
                         {"left": 1, "right": 1, "top": 1, "bottom": 1})
        self.assertFalse(self.finder_shows_image())
        rc, out = ENV.driver("take-capture", timeout_ms=10000)
        self.assertEqual(rc, 0, out)
        self.assertTrue(poll(self.finder_shows_image, 10), "the finder stayed in its drag")
        no_frame = {"left": 0, "right": 0, "top": 0, "bottom": 0}
        self.assertEqual(poll(lambda: (lambda e: e if e == no_frame else None)(
            outline_edges(ENV, "Lost Drag")), 10) or outline_edges(ENV, "Lost Drag"), no_frame)
        # Later moves over the finder and the box frame nothing. A real
        # click on the monitoring switch marks when the input before it has
        # been handled.
        ENV.driver("pointer", "--action", "move", "--to", finder)
        ENV.driver("pointer", "--action", "move", "--to", target)
        app.drv("click", "--button", "Enable monitoring", "--mouse")
        app.drv("wait", "--button", "Disable monitoring", "--visible", "1")
        self.assertEqual(app.drv("text").strip().rsplit("text=", 1)[-1], handle.upper())
        self.assertEqual(outline_edges(ENV, "Lost Drag"), no_frame)


class Tray(WendlockTestCase):
    def setUp(self):
        super().setUp()
        write_profile(self.folder, "default_wl.ini",
                      profile_lines("Rebuild Warnings[OK]<<#32770>>"))

    def test_double_click_hides_and_shows(self):
        app = self.start()
        app.drv("tray", "--at", TRAY_AT, "--event", "dblclick")
        app.drv("wait", "--visible", "0")
        app.drv("tray", "--at", TRAY_AT, "--event", "dblclick")
        app.drv("wait", "--visible", "1")
        # Brought back above all other windows, and kept there.
        self.assertTrue(app.state()["topmost"])

    def test_menu_disable_item_switches_monitoring(self):
        app = self.start()
        app.drv("tray", "--at", TRAY_AT, "--event", "right")
        rc, out = ENV.driver("wait", "--class", "#32768", "--visible", "1", timeout_ms=10000)
        self.assertEqual(rc, 0, "tray menu did not open: " + out + app.diagnosis())
        # Items: the maker's address, a separator, "Disable", ...
        ENV.driver("keys", "--seq", "down,down,return")
        app.drv("wait", "--button", "Disable monitoring", "--visible", "1")
        app.drv("wait", "--button", "Edit ini", "--enabled", "0")
        standin = self.standin("--box", "Rebuild Warnings", "OK", "--timeout-ms", "30000")
        self.assertEqual((standin.result(1, 35) or (None,))[0], IDOK, standin.report())

    def tray_menu(self, keys):
        self.app.drv("tray", "--at", TRAY_AT, "--event", "right")
        rc, out = ENV.driver("wait", "--class", "#32768", "--visible", "1", timeout_ms=10000)
        self.assertEqual(rc, 0, "tray menu did not open: " + out + self.app.diagnosis())
        ENV.driver("keys", "--seq", keys)
        ENV.driver("wait", "--class", "#32768", "--gone", timeout_ms=10000)

    def test_menu_open_item_shows_then_hides(self):
        app = self.start()
        # Items: address, "Disable", "Open", "Exit" (separators are skipped).
        # The item reads "Open" at start although the window is shown: the
        # first choice leaves it shown, the second hides it.
        self.tray_menu("down,down,down,return")
        app.drv("send", "--msg", "0")  # WM_NULL: the choice has been handled
        self.assertTrue(app.state()["visible"])
        self.tray_menu("down,down,down,return")
        app.drv("wait", "--visible", "0")
        self.tray_menu("down,down,down,return")
        app.drv("wait", "--visible", "1")

    def test_menu_exit_ends_program(self):
        before = tray_icon_columns(ENV)
        app = self.start()
        shown = poll(lambda: (lambda n: n if n > before else None)(tray_icon_columns(ENV)), 10)
        self.assertIsNotNone(shown, "no tray icon in the taskbar")
        app.drv("tray", "--at", TRAY_AT, "--event", "right")
        rc, out = ENV.driver("wait", "--class", "#32768", "--visible", "1", timeout_ms=10000)
        self.assertEqual(rc, 0, "tray menu did not open: " + out + app.diagnosis())
        # Up from no selection lands on the last item, "Exit".
        ENV.driver("keys", "--seq", "up,return")
        self.assertIsNotNone(poll(lambda: app.process.poll() is not None, 15),
                             "wendlock still running after Exit" + app.diagnosis())
        self.assertTrue(poll(lambda: tray_icon_columns(ENV) < shown, 10),
                        "the tray icon stayed after Exit")


class Tools(unittest.TestCase):
    """The harness's own tools against Wine's message boxes, without Wendlock."""

    def test_driver_answers_standin_box(self):
        standin = StandIn("--box", "Harness Check", "YESNOCANCEL",
                          "--owner-title", "SolidWorks 2024", "--timeout-ms", "30000")
        try:
            rc, out = ENV.driver("click", "--window", "Harness Check", "--class", "#32770",
                                 "--button", "&No", timeout_ms=20000)
            self.assertEqual(rc, 0, out)
            result = standin.result(1, 15)
            self.assertIsNotNone(result, standin.report())
            self.assertEqual(result[0], IDNO)
            self.assertEqual(standin.finish(), 0, standin.report())
        finally:
            if standin.process.poll() is None:
                standin.process.kill()
                standin.process.wait()

    def test_standin_reports_timeout(self):
        standin = StandIn("--box", "Left Open", "OK", "--timeout-ms", "1500")
        self.assertEqual(standin.finish(), 2, standin.report())
        self.assertIsNotNone(standin.wait_line(r"^box 1 title=Left Open timeout$", 5),
                             standin.report())


class Packages(WendlockTestCase):
    """What a user downloads: the installer and the zip of scripts/package.sh."""

    RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
    UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Wendlock"

    def setUp(self):
        super().setUp()
        version_file = os.path.join(ENV.build, "version.txt")
        if not os.path.exists(version_file):
            self.skipTest("no version.txt in the build")
        self.version = open(version_file).read().strip()
        self.setup_exe = os.path.join(ENV.dist, f"wendlock-{self.version}-setup.exe")
        self.zip_file = os.path.join(ENV.dist, f"wendlock-{self.version}-win64.zip")
        if not (os.path.exists(self.setup_exe) and os.path.exists(self.zip_file)):
            self.skipTest(f"no packages of {self.version} in {ENV.dist}; run scripts/package.sh")

    # -- the prefix's user profile and registry ---------------------------------

    def user_folder(self, *parts):
        users = os.path.join(ENV.prefix, "drive_c", "users")
        name = next(n for n in sorted(os.listdir(users)) if n not in ("Public", "public"))
        return os.path.join(users, name, *parts)

    def reg_value(self, key, value):
        """The data of a registry value, or None when it is not there."""
        _, out = ENV.run("reg", ["query", key, "/v", value], timeout=60)
        for line in out.splitlines():
            fields = line.strip().split(None, 2)
            if len(fields) == 3 and fields[0].lower() == value.lower():
                return fields[2]
        return None

    def wendlock_processes(self):
        _, out = ENV.driver("process", "--name", PROCESS)
        return re.findall(r"running pid=(\d+)", out)

    def remove_earlier_install(self, install):
        shutil.rmtree(install, ignore_errors=True)
        ENV.run("reg", ["delete", self.UNINSTALL_KEY, "/f"], timeout=60)
        ENV.run("reg", ["delete", self.RUN_KEY, "/v", "Wendlock", "/f"], timeout=60)

    def test_manifest_carries_the_build_version(self):
        with open(ENV.wendlock_exe, "rb") as exe:
            image = exe.read()
        identity = f'name="Wendlock" version="{self.version}.0"'.encode()
        self.assertIn(identity, image)

    @staticmethod
    def read(*parts):
        with open(os.path.join(*parts), "rb") as source:
            return source.read()

    def install(self, *args, cwd=None):
        rc, out = ENV.run(self.setup_exe, ["/S"] + list(args), timeout=180, cwd=cwd)
        return rc

    def uninstall(self, install):
        if not os.path.exists(os.path.join(install, "uninstall.exe")):
            return
        ENV.run(os.path.join(install, "uninstall.exe"), ["/S"], timeout=120)
        poll(lambda: not os.path.exists(os.path.join(install, "uninstall.exe")), 60)
        shutil.rmtree(install, ignore_errors=True)

    def assert_runs_as_sign_in_starts_it(self, box_title):
        # The Run entry's command line: hidden, and answering a box at once.
        rc, out = ENV.driver("wait", "--window", MAIN_CAPTION, "--process", PROCESS,
                             "--visible", "0", timeout_ms=30000)
        self.assertEqual(rc, 0, out)
        standin = self.standin("--box", box_title, "OK", "--timeout-ms", "30000")
        self.assertEqual((standin.result(1, 35) or (None,))[0], IDOK, standin.report())

    def default_install(self):
        install = self.user_folder("AppData", "Local", "Programs", "Wendlock")
        self.remove_earlier_install(install)
        self.addCleanup(self.uninstall, install)
        return install

    def test_upgrade_over_running_copy_starts_it_again(self):
        install = self.default_install()
        self.assertEqual(self.install(), 0)
        write_profile(install, "default_wl.ini", profile_lines("Upgrade Box[OK]<<#32770>>"))
        ENV.spawn(os.path.join(install, "wendlock.exe"), ["/tray", "/monitor"])
        rc, out = ENV.driver("wait", "--window", MAIN_CAPTION, "--process", PROCESS,
                             "--visible", "0", timeout_ms=30000)
        self.assertEqual(rc, 0, out)
        before = self.wendlock_processes()
        self.assertEqual(self.install(), 0)
        after = poll(lambda: (lambda pids: pids if pids and pids != before else None)(
            self.wendlock_processes()), 30)
        self.assertIsNotNone(after, f"not started again: {before} -> {self.wendlock_processes()}")
        # Started as the Run entry says: hidden, and answering.
        self.assert_runs_as_sign_in_starts_it("Upgrade Box")

    def test_team_profile_only_into_a_folder_without_one(self):
        install = self.default_install()
        for name, entry in (("team.ini", "Team Box[OK]<<#32770>>"),
                            ("later.ini", "Later Box[OK]<<#32770>>")):
            write_profile(self.folder, name, profile_lines(entry))
        # A path relative to where setup starts.
        self.assertEqual(self.install("/PROFILE=team.ini", cwd=self.folder), 0)
        team = self.read(self.folder, "team.ini")
        self.assertEqual(self.read(install, "default_wl.ini"), team)
        self.assertEqual(self.install("/PROFILE=later.ini", cwd=self.folder), 0)
        self.assertEqual(self.read(install, "default_wl.ini"), team)

    def test_finish_page_starts_it_as_sign_in_does(self):
        self.default_install()
        write_profile(self.folder, "team.ini", profile_lines("Finish Box[OK]<<#32770>>"))
        setup = ENV.spawn(self.setup_exe, ["/PROFILE=team.ini"], cwd=self.folder)
        # Each page's heading, then its default button; on the last page
        # "Start Wendlock now" stays ticked. (The window's title changes
        # from page to page.)
        window = ("--process", os.path.basename(self.setup_exe))
        name = f"Wendlock {self.version} Setup"
        for heading, button in ((f"Welcome to {name}", "&Next >"),
                                ("Choose Components", "&Next >"),
                                ("Choose Install Location", "&Install"),
                                (f"Completing {name}", "&Finish")):
            rc, out = ENV.driver("wait", *window, "--caption", heading, "--visible", "1",
                                 timeout_ms=60000)
            self.assertEqual(rc, 0, f"{heading}: {out}")
            rc, out = ENV.driver("click", *window, "--button", button)
            self.assertEqual(rc, 0, f"{button}: {out}")
        setup.wait(timeout=30)
        self.assertEqual(setup.returncode, 0)
        self.assert_runs_as_sign_in_starts_it("Finish Box")

    def test_start_with_windows_off_from_the_command_line(self):
        self.default_install()
        self.assertEqual(self.install("/STARTWITHWINDOWS=0"), 0)
        self.assertIsNone(self.reg_value(self.RUN_KEY, "Wendlock"))

    def test_unreadable_team_profile_stops_install(self):
        install = self.default_install()
        self.assertEqual(self.install("/PROFILE=missing.ini", cwd=self.folder), 3)
        self.assertFalse(os.path.exists(install))

    def test_install_into_another_folder_is_refused_naming_the_old_one(self):
        install = self.default_install()
        self.assertEqual(self.install(), 0)
        other = os.path.join(self.folder, "Other")
        windows_other = "Z:" + other.replace("/", "\\")
        recorded = self.reg_value(self.UNINSTALL_KEY, "InstallLocation")
        self.assertEqual(self.install(f"/D={windows_other}"), 4)
        self.assertFalse(os.path.exists(other))
        self.assertEqual(self.reg_value(self.UNINSTALL_KEY, "InstallLocation"), recorded)
        # Not silently: the message names the installed folder.
        setup = ENV.spawn(self.setup_exe, [f"/D={windows_other}"])
        rc, out = ENV.driver("list", "--window", f"Wendlock {self.version} Setup",
                             "--class", "#32770", timeout_ms=30000)
        self.assertEqual(rc, 0, out)
        self.assertRegex(out, r"(?i)Wendlock is installed in [^\n]*\\Programs\\Wendlock\.")
        ENV.driver("click", "--window", f"Wendlock {self.version} Setup", "--class", "#32770",
                   "--button", "OK")
        setup.wait(timeout=30)
        self.assertEqual(setup.returncode, 4)
        self.assertFalse(os.path.exists(other))

    def test_install_start_with_windows_second_start_and_uninstall(self):
        install = self.user_folder("AppData", "Local", "Programs", "Wendlock")
        shortcut = self.user_folder("AppData", "Roaming", "Microsoft", "Windows", "Start Menu",
                                    "Programs", "Wendlock.lnk")
        self.remove_earlier_install(install)

        # A silent install takes the default components, "Start with Windows" among them.
        rc, out = ENV.run(self.setup_exe, ["/S"], timeout=180)
        self.assertEqual(rc, 0, out)
        for name in ("wendlock.exe", "README.txt", "uninstall.exe"):
            self.assertTrue(os.path.isfile(os.path.join(install, name)), name)
        # The program of the zip, and the uninstaller as package.sh signed it.
        with zipfile.ZipFile(self.zip_file) as archive:
            self.assertEqual(self.read(install, "wendlock.exe"), archive.read("wendlock.exe"))
        signed_uninstaller = os.path.join(ENV.build, "package", "uninstall.exe")
        if os.path.exists(signed_uninstaller):
            self.assertEqual(self.read(install, "uninstall.exe"), self.read(signed_uninstaller))
        self.assertTrue(os.path.isfile(shortcut), "no Start-menu shortcut")
        command = self.reg_value(self.RUN_KEY, "Wendlock")
        self.assertIsNotNone(command, "no Run entry")
        match = re.fullmatch(r'"([^"]+\\wendlock\.exe)" /tray /monitor', command)
        self.assertIsNotNone(match, command)
        self.assertEqual(self.reg_value(self.UNINSTALL_KEY, "DisplayVersion"), self.version)
        self.assertEqual(self.reg_value(self.UNINSTALL_KEY, "Publisher"), "Z-MAK")
        self.assertEqual(self.reg_value(self.UNINSTALL_KEY, "DisplayName"), "Wendlock")
        self.assertIn("uninstall.exe", self.reg_value(self.UNINSTALL_KEY, "UninstallString"))

        # The user's own profile, then a log-on start by the Run entry's command line.
        write_profile(install, "default_wl.ini", profile_lines("Logon Box[OK]<<#32770>>"))
        icons_before = tray_icon_columns(ENV)
        first = ENV.spawn(match.group(1), ["/tray", "/monitor"])
        rc, out = ENV.driver("wait", "--window", MAIN_CAPTION, "--process", PROCESS,
                             "--visible", "0", timeout_ms=30000)
        self.assertEqual(rc, 0, out)
        icons = poll(lambda: (lambda n: n if n > icons_before else None)(tray_icon_columns(ENV)),
                     10)
        self.assertIsNotNone(icons, "no tray icon after the log-on start")
        standin = self.standin("--box", "Logon Box", "OK", "--timeout-ms", "30000")
        self.assertEqual((standin.result(1, 35) or (None,))[0], IDOK, standin.report())

        # A second start, as from the shortcut: one process, one icon, the window shown.
        rc, out = ENV.run(match.group(1), [], timeout=60)
        self.assertEqual(rc, 0, out)
        rc, out = ENV.driver("wait", "--window", MAIN_CAPTION, "--process", PROCESS,
                             "--visible", "1", timeout_ms=15000)
        self.assertEqual(rc, 0, out)
        self.assertEqual(len(self.wendlock_processes()), 1)
        self.assertEqual(tray_icon_columns(ENV), icons)
        self.assertIsNone(first.poll())

        # The uninstaller ends Wendlock and removes what was installed; the profile stays.
        rc, out = ENV.run(os.path.join(install, "uninstall.exe"), ["/S"], timeout=120)
        self.assertTrue(poll(lambda: not os.path.exists(os.path.join(install, "uninstall.exe")),
                             60), "the uninstaller left its files")
        self.assertIsNotNone(poll(lambda: first.poll() is not None, 30), "Wendlock still runs")
        self.assertEqual(sorted(os.listdir(install)), ["default_wl.ini"])
        self.assertFalse(os.path.exists(shortcut))
        self.assertIsNone(self.reg_value(self.RUN_KEY, "Wendlock"))
        self.assertIsNone(self.reg_value(self.UNINSTALL_KEY, "DisplayName"))
        shutil.rmtree(install, ignore_errors=True)

    def test_zip_runs_from_a_folder_of_its_own(self):
        with zipfile.ZipFile(self.zip_file) as archive:
            self.assertEqual(sorted(archive.namelist()),
                             ["README.txt", "examples/example.ini", "wendlock.exe"])
            archive.extractall(self.folder)
        readme = self.read(self.folder, "README.txt")
        self.assertIn(b"\r\n", readme)
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""))
        # Complete in itself, and naming the finder as the guide does.
        self.assertNotIn(b"docs/", readme)
        self.assertIn(b"the hand in the dotted square", readme)
        # The example sits apart, so a first start asks the first-run question.
        self.app = Wendlock(self, self.folder, copy=False)
        self.answer_first_run("&Yes")
        self.app.wait_main_window()
        items, selected, text = self.app.items("--control-class", "ComboBox")
        self.assertEqual((items, selected, text), (["default_wl.ini"], 0, "default_wl.ini"))


class Conformance(unittest.TestCase):
    """The conformance tables run against the real Windows side: kernel32's
    profile calls, and the Win32 host of the main window."""

    def run_table(self, exe, name):
        if exe is None:
            self.skipTest(f"{name} is not in the build")
        folder = ENV.new_folder(name.split(".")[0])
        rc, out = ENV.run(exe, [], timeout=180, cwd=folder)
        lines = [line for line in out.replace("\r\n", "\n").splitlines() if line.strip()]
        summary = lines[-1] if lines else ""
        log(f"#   {name}: {summary}")
        match = re.fullmatch(r"(\d+) passed, (\d+) failed", summary.strip())
        self.assertIsNotNone(match, f"no summary line:\n{out}")
        self.assertEqual(match.group(2), "0", out)
        self.assertGreater(int(match.group(1)), 0, out)
        self.assertEqual(rc, 0, out)

    def test_ini_conformance_program_passes(self):
        self.run_table(ENV.conformance_exe, "ini_conformance.exe")

    def test_host_conformance_program_passes(self):
        self.run_table(ENV.host_conformance_exe, "host_conformance.exe")

    def test_window_conformance_program_passes(self):
        self.run_table(ENV.window_conformance_exe, "window_conformance.exe")


# ---------------------------------------------------------------------------
# The unit tests built for Windows.


def run_unit_tests():
    """Runs unit_tests.exe; returns (passed, failed, skipped) over its cases."""
    folder = ENV.new_folder("unit-tests")
    report = os.path.join(folder, "unit_tests.xml")
    # Failures and skips are printed as they come; the XML report counts.
    rc, out = ENV.run(ENV.unit_tests_exe, ["--gtest_brief=1", "--gtest_output=xml:unit_tests.xml"],
                      timeout=600, cwd=folder)
    log(out.rstrip())
    if not os.path.isfile(report):
        log(f"unit_tests.exe ended with {rc} and wrote no report")
        return 0, 1, 0
    passed = failed = skipped = 0
    for case in xml.etree.ElementTree.parse(report).getroot().iter("testcase"):
        name = f"{case.get('classname')}.{case.get('name')}"
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.get("result") == "skipped" or case.get("status") == "notrun":
            skipped += 1
            reason = case.find("skipped")
            message = reason.get("message", "") if reason is not None else "disabled"
            log(f"# skipped {name}: {message.splitlines()[-1] if message else ''}")
        else:
            passed += 1
    if rc != 0 and failed == 0:
        log(f"unit_tests.exe ended with {rc} although no case failed")
        failed += 1
    return passed, failed, skipped


# ---------------------------------------------------------------------------
# Running.


class Result(unittest.TextTestResult):
    def startTest(self, test):
        self._started = time.monotonic()
        super().startTest(test)

    def stopTest(self, test):
        super().stopTest(test)
        log(f"#   {test.id().split('.', 1)[-1]}: {time.monotonic() - self._started:.1f} s")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(REPO, "build", "win32"),
                        help="the cross build's folder (default: build/win32)")
    parser.add_argument("--display", help="use this X display instead of an own Xvfb")
    parser.add_argument("--dist", default=os.path.join(REPO, "dist"),
                        help="the packages of scripts/package.sh (default: dist)")
    parser.add_argument("--fresh-prefix", action="store_true",
                        help="initialise the Wine prefix anew")
    parser.add_argument("-k", dest="patterns", action="append", default=[],
                        help="run only tests whose name contains this text")
    parser.add_argument("--unit-tests", action="store_true",
                        help="run the build's unit_tests.exe instead of the end-to-end tests")
    options = parser.parse_args()

    global ENV
    ENV = Environment(options.build, options.display, options.fresh_prefix, options.dist)
    started = time.monotonic()

    def interrupted(signum, frame):
        raise KeyboardInterrupt()

    signal.signal(signal.SIGTERM, interrupted)
    passed = failed = skipped = 0
    suite_name = "unit tests" if options.unit_tests else "e2e"
    try:
        if options.unit_tests:
            ENV.start(needed=("unit_tests.exe",))
            passed, failed, skipped = run_unit_tests()
        else:
            ENV.start()
            loader = unittest.TestLoader()
            if options.patterns:
                loader.testNamePatterns = [f"*{p}*" for p in options.patterns]
            suite = loader.loadTestsFromModule(sys.modules[__name__])
            runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=2, resultclass=Result)
            result = runner.run(suite)
            skipped = len(result.skipped)
            failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
            passed = result.testsRun - failed - skipped
    except SetupError as error:
        log(f"{suite_name} set-up failed: {error}")
        failed += 1
    except KeyboardInterrupt:
        log(f"{suite_name} interrupted")
        failed += 1
    except Exception as error:  # a broken environment is a failed run
        log(f"{suite_name} set-up failed: {error!r}")
        failed += 1
    finally:
        ENV.stop()
    log(f"# {suite_name} took {time.monotonic() - started:.1f} s; {skipped} skipped")
    print(f"{passed} passed, {failed} failed", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
