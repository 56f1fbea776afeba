#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The phone remote's page in a real browser against the real program.

Starts its own X server (Xvfb), simulated processor (kdsp-sim) and program (kdsp --remote),
opens the page in headless Chromium at a phone's size through chromedriver (the W3C WebDriver
protocol over HTTP, with urllib), pairs by typing the code the program printed, drags the music
master with the finger and waits for its record at the processor, then turns the mouse wheel over
the main window's music master on the X server and waits for the page to follow.

With --screenshots DIR it also saves the pairing screen and the paired page as remote-pair.png
and remote-page.png.

Exit status: 0 passed, 1 failed, 77 skipped (Chromium, chromedriver or Xvfb missing).
"""

import argparse
import base64
import ctypes
import ctypes.util
import json
import os
import queue
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request

SKIP = 77

# The main window's music master, in the window's layout units: the fader's rectangle as the
# layout table places it (x 679, y 355, 20 x 175) in a 999 x 600 window.
MAIN_WINDOW_SIZE = (999, 600)
MUSIC_FADER = (679, 355, 20, 175)
MAIN_WINDOW_TITLE = b"Karaoke DSP Control"
SYNC_QUESTION_TITLE = b"Sync"
XK_RETURN = 0xFF0D

# A phone held upright.
PHONE = {"width": 390, "height": 844, "pixelRatio": 3.0}

# Every wait ends here at the latest; a wait that runs out is a failure, with what was seen.
DEADLINE = 60.0

# The processor's records for the music master (command 160) and the output mutes (command 173,
# bit 7 set while the music is muted), one byte each.
MUSIC_RECORD = re.compile(r"^160 \(A0\) [^:]*: ([0-9A-F]{2})$")
MUTES_RECORD = re.compile(r"^173 \(AD\) [^:]*: ([0-9A-F]{2})$")
MUSIC_MUTE_BIT = 0x80
# A read request: how the program fetches a slot's settings.
READ_RECORD = re.compile(r"^224 \(E0\) ")


class Failure(Exception):
    pass


def wait_for(what, probe, deadline=DEADLINE, interval=0.05):
    """Calls probe until it returns something other than None/False; fails after the deadline."""
    end = time.monotonic() + deadline
    last = None
    while True:
        try:
            result = probe()
        except Failure:
            raise
        except Exception as error:  # the probe's own error is shown if the wait runs out
            result, last = None, error
        if result not in (None, False):
            return result
        if time.monotonic() > end:
            raise Failure("gave up waiting for %s%s" % (what, " (%s)" % last if last else ""))
        time.sleep(interval)


# ---- Processes ----


class Processes:
    """Every process the test starts, ended in reverse order whatever happens."""

    def __init__(self):
        self.started = []

    def start(self, name, args, **kwargs):
        # Each in a session of its own, so its whole tree (chromedriver's browser) can be
        # ended; and, on Linux, ended with the test even if the test is killed.
        process = subprocess.Popen(args, start_new_session=True, preexec_fn=_die_with_parent,
                                   **kwargs)
        self.started.append((name, process))
        return process

    def stop_all(self):
        for name, process in reversed(self.started):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        self.started.clear()


# Loaded before any process starts: the child calls prctl between fork and exec, where loading
# a library could wait on a lock another thread of the test held at the fork.
_LIBC = ctypes.CDLL(ctypes.util.find_library("c")) if sys.platform.startswith("linux") else None
PR_SET_PDEATHSIG = 1


def _die_with_parent():
    if _LIBC is not None:
        _LIBC.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class LineReader:
    """Collects a process's output lines on a thread, so waits can look at them with deadlines."""

    def __init__(self, stream, echo_prefix=None):
        self.lines = []
        self.new = queue.Queue()
        self.lock = threading.Lock()
        self.echo_prefix = echo_prefix
        threading.Thread(target=self._read, args=(stream,), daemon=True).start()

    def _read(self, stream):
        for raw in iter(stream.readline, b""):
            line = raw.decode("utf-8", "replace").rstrip("\r\n")
            with self.lock:
                self.lines.append(line)
            if self.echo_prefix and os.environ.get("KDSP_TEST_VERBOSE"):
                print(self.echo_prefix + line, file=sys.stderr)
        stream.close()

    def snapshot(self):
        with self.lock:
            return list(self.lines)

    def find(self, pattern, start=0):
        """The first match of pattern in the lines from index start on."""
        for line in self.snapshot()[start:]:
            match = pattern.search(line)
            if match:
                return match
        return None


# ---- The X server and its fake input ----


def start_xvfb(processes):
    read_end, write_end = os.pipe()
    processes.start(
        "Xvfb",
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
        pass_fds=(write_end,),
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    os.close(write_end)
    # Xvfb writes its display number once it accepts clients; it closes the pipe if it fails.
    number = b""
    end = time.monotonic() + DEADLINE
    with os.fdopen(read_end, "rb", buffering=0) as pipe:
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([pipe], [], [], max(0.0, end - time.monotonic()))
            if not ready:
                raise Failure("Xvfb did not report its display in time")
            chunk = pipe.read(16)
            if not chunk:
                break
            number += chunk
    number = number.strip()
    if not number.isdigit():
        raise Failure("Xvfb did not report its display")
    return ":" + number.decode()


class XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
        ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
        ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
        ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
        ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
        ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
        ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
        ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
        ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p),
    ]


IS_VIEWABLE = 2

_X_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_IGNORE_X_ERRORS = _X_ERROR_HANDLER(lambda display, event: 0)


class FakeInput:
    """Real input events on the X server through the XTest extension, as a user's hand makes."""

    def __init__(self, display_name):
        x11_path = ctypes.util.find_library("X11")
        xtst_path = ctypes.util.find_library("Xtst")
        if not x11_path or not xtst_path:
            raise Failure("libX11 or libXtst is missing (Debian: libx11-6, libxtst6)")
        self.x = ctypes.CDLL(x11_path)
        self.xtst = ctypes.CDLL(xtst_path)
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XQueryTree.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
            ctypes.POINTER(ctypes.c_uint)]
        self.x.XFetchName.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        self.x.XGetWindowAttributes.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
        self.x.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong)]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeMotionEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeKeyEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.x.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        # A window may go between the listing of the tree and the question about it (a menu, a
        # tooltip): Xlib's own handler would end this process for that. The error is ignored
        # instead, and the call that met it answers nothing, so the window is passed over.
        self.x.XSetErrorHandler.argtypes = [_X_ERROR_HANDLER]
        self.x.XSetErrorHandler(_IGNORE_X_ERRORS)
        self.display = self.x.XOpenDisplay(display_name.encode())
        if not self.display:
            raise Failure("cannot open the X display " + display_name)
        self.root = self.x.XDefaultRootWindow(self.display)

    def close(self):
        if self.display:
            self.x.XCloseDisplay(self.display)
            self.display = None

    def _children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return []
        found = [children[i] for i in range(count.value)]
        if children:
            self.x.XFree(children)
        return found

    def _name(self, window):
        name = ctypes.c_char_p()
        if self.x.XFetchName(self.display, window, ctypes.byref(name)) and name.value is not None:
            value = name.value
            self.x.XFree(name)
            return value
        return None

    def find_window(self, title):
        """(x, y, width, height) on the screen of the viewable window titled title, or None."""
        pending = [self.root]
        while pending:
            window = pending.pop()
            for child in self._children(window):
                pending.append(child)
                if self._name(child) != title:
                    continue
                attributes = XWindowAttributes()
                if not self.x.XGetWindowAttributes(self.display, child, ctypes.byref(attributes)):
                    continue
                if attributes.map_state != IS_VIEWABLE:
                    continue
                x, y, unused = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
                self.x.XTranslateCoordinates(self.display, child, self.root, 0, 0,
                                             ctypes.byref(x), ctypes.byref(y), ctypes.byref(unused))
                return (x.value, y.value, attributes.width, attributes.height)
        return None

    def press_key(self, x, y, keysym):
        """Moves the pointer to (x, y), where the keyboard's focus follows it without a window
        manager, and presses and releases one key."""
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        keycode = self.x.XKeysymToKeycode(self.display, keysym)
        self.xtst.XTestFakeKeyEvent(self.display, keycode, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.display, keycode, 0, 0)
        self.x.XSync(self.display, 0)

    def wheel(self, x, y, notches):
        """Moves the pointer to (x, y) and turns the wheel: up for positive notches."""
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.x.XSync(self.display, 0)
        button = 4 if notches > 0 else 5
        for _ in range(abs(notches)):
            self.xtst.XTestFakeButtonEvent(self.display, button, 1, 0)
            self.xtst.XTestFakeButtonEvent(self.display, button, 0, 0)
            self.x.XSync(self.display, 0)


# ---- WebDriver over HTTP ----


class WebDriver:
    """The few W3C WebDriver commands the test needs, spoken to chromedriver with urllib."""

    ELEMENT = "element-6066-11e4-a52e-4f735466cecf"

    def __init__(self, port):
        self.base = "http://127.0.0.1:%d" % port
        self.session = None

    def call(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=DEADLINE) as response:
                return json.loads(response.read() or b"{}").get("value")
        except urllib.error.HTTPError as error:
            detail = error.read().decode("utf-8", "replace")
            raise Failure("WebDriver %s %s: %s %s" % (method, path, error.code, detail[:400]))

    def start(self, user_data_dir):
        arguments = [
            "--headless=new", "--disable-gpu", "--no-first-run", "--no-default-browser-check",
            "--disable-extensions", "--disable-background-networking", "--disable-sync",
            "--user-data-dir=" + user_data_dir, "--window-size=%d,%d" % (PHONE["width"], PHONE["height"]),
        ]
        if os.geteuid() == 0:
            arguments.append("--no-sandbox")  # Chromium refuses to sandbox as root
        capabilities = {"capabilities": {"alwaysMatch": {
            "browserName": "chrome",
            "goog:chromeOptions": {
                "binary": shutil.which("chromium"),
                "args": arguments,
                "mobileEmulation": {"deviceMetrics": dict(PHONE, touch=True)},
            },
        }}}
        answer = self.call("POST", "/session", capabilities)
        self.session = answer["sessionId"]

    def quit(self):
        if self.session:
            try:
                self.call("DELETE", "/session/" + self.session)
            except Exception:
                pass
            self.session = None

    def _s(self, path):
        return "/session/" + self.session + path

    def go(self, url):
        self.call("POST", self._s("/url"), {"url": url})

    def script(self, source, *args):
        return self.call("POST", self._s("/execute/sync"), {"script": source, "args": list(args)})

    def find(self, css):
        answer = self.call("POST", self._s("/element"), {"using": "css selector", "value": css})
        return answer[self.ELEMENT]

    def type_into(self, element, text):
        self.call("POST", self._s("/element/%s/click" % element), {})
        self.call("POST", self._s("/element/%s/value" % element), {"text": text})

    def rect(self, element):
        """The element's box in the viewport, where pointer actions take their coordinates."""
        return self.script("const r = arguments[0].getBoundingClientRect();"
                           "return {x: r.left, y: r.top, width: r.width, height: r.height};",
                           {self.ELEMENT: element})

    def screenshot(self, path):
        png = base64.b64decode(self.call("GET", self._s("/screenshot")))
        with open(path, "wb") as out:
            out.write(png)

    def tap(self, element):
        """A finger's tap on the middle of element, scrolled into view first."""
        self.script("arguments[0].scrollIntoView({block: 'center'});", {self.ELEMENT: element})
        origin = {self.ELEMENT: element}
        self.call("POST", self._s("/actions"), {"actions": [{
            "type": "pointer", "id": "finger", "parameters": {"pointerType": "touch"},
            "actions": [{"type": "pointerMove", "duration": 0, "origin": origin, "x": 0, "y": 0},
                        {"type": "pointerDown", "button": 0},
                        {"type": "pointerUp", "button": 0}]}]})
        self.call("DELETE", self._s("/actions"))

    def press_and_move(self, start, end):
        """A mouse pressed at start and moved to end in one step, left pressed."""
        self._hand([{"type": "pointerMove", "duration": 0, "x": int(start[0]), "y": int(start[1])},
                    {"type": "pointerDown", "button": 0},
                    {"type": "pointerMove", "duration": 0, "x": int(end[0]), "y": int(end[1])}])

    def release(self):
        """The mouse of press_and_move let go where it is."""
        self._hand([{"type": "pointerUp", "button": 0}])
        self.call("DELETE", self._s("/actions"))

    def _hand(self, moves):
        self.call("POST", self._s("/actions"), {"actions": [{
            "type": "pointer", "id": "hand", "parameters": {"pointerType": "mouse"},
            "actions": moves}]})

    def drag_with_finger(self, start, end, steps=12):
        """A touch that lands at start, slides to end in steps and lifts: real pointer actions."""
        moves = [{"type": "pointerMove", "duration": 0, "x": int(start[0]), "y": int(start[1])},
                 {"type": "pointerDown", "button": 0}]
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i / steps
            y = start[1] + (end[1] - start[1]) * i / steps
            moves.append({"type": "pointerMove", "duration": 40, "x": int(x), "y": int(y)})
        moves.append({"type": "pointerUp", "button": 0})
        self.call("POST", self._s("/actions"), {"actions": [{
            "type": "pointer", "id": "finger", "parameters": {"pointerType": "touch"},
            "actions": moves}]})
        self.call("DELETE", self._s("/actions"))


def start_chromedriver(processes, log_path):
    log = open(log_path, "wb")
    process = processes.start("chromedriver", ["chromedriver", "--port=0"],
                              stdout=subprocess.PIPE, stderr=log)
    reader = LineReader(process.stdout, "chromedriver: ")
    match = wait_for("chromedriver to start",
                     lambda: reader.find(re.compile(r"started successfully on port (\d+)")))
    port = int(match.group(1))
    driver = WebDriver(port)
    wait_for("chromedriver to answer", lambda: driver.call("GET", "/status")["ready"])
    return driver


# ---- The page ----

PAGE_VALUE = """
const fader = document.querySelector('[data-field="' + arguments[0] + '"] .fader');
if (!fader) return null;
const now = fader.getAttribute('aria-valuenow');
return now === '' || now === null ? null : Number(now);
"""

FADER_STATE = """
const fader = document.querySelector('[data-field="' + arguments[0] + '"] .fader');
return {value: Number(fader.getAttribute('aria-valuenow')), held: fader.classList.contains('held'),
        pc: fader.dataset.pc === undefined ? null : Number(fader.dataset.pc)};
"""

LINK_TEXT = "return document.getElementById('linkText').textContent;"
PRESET_NAME = """
return document.querySelector('#presets .preset[data-slot="' + arguments[0] + '"] .name').textContent;
"""
TOAST = "const t = document.getElementById('toast'); return t.hidden ? '' : t.textContent;"
PAIR_MESSAGE = "return document.getElementById('pairMessage').textContent;"
MUSIC_SWITCH_STATE = """
return document.querySelector('#switch-outputMutes-controlMusic .state').textContent;
"""


def visible(driver, element_id):
    return driver.script("const e = document.getElementById(arguments[0]);"
                         "return !!e && !e.hidden && e.getClientRects().length > 0;", element_id)


def api_state(base_url, token):
    request = urllib.request.Request(base_url + "api/v1/state",
                                     headers={"Authorization": "Bearer " + token})
    with urllib.request.urlopen(request, timeout=DEADLINE) as response:
        return json.loads(response.read())


def run(arguments, work):
    processes = Processes()
    fake_input = None
    driver = None
    try:
        display = start_xvfb(processes)

        # The simulated processor, printing each record it receives.
        sim = processes.start("kdsp-sim",
                              [arguments.sim, "--listen", "127.0.0.1:0", "--verbose"],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        sim_lines = LineReader(sim.stdout, "kdsp-sim: ")
        listening = wait_for("kdsp-sim to listen",
                             lambda: sim_lines.find(re.compile(r"listening on (\S+):(\d+)$")))
        sim_address = "%s:%s" % (listening.group(1), listening.group(2))

        # The program, on its own X server, configuration and runtime folders.
        environment = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QT_SCALE_FACTOR"):
            environment.pop(name, None)
        for name in ("XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_DATA_HOME", "XDG_CACHE_HOME", "HOME"):
            folder = os.path.join(work, name.lower())
            os.makedirs(folder, mode=0o700, exist_ok=True)
            environment[name] = folder
        environment.update(DISPLAY=display, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
        kdsp = processes.start("kdsp",
                               [arguments.kdsp, "--instance", "remote-page-test-%d" % os.getpid(),
                                "--connect", "tcp://" + sim_address, "--remote", "127.0.0.1:0"],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=environment)
        kdsp_lines = LineReader(kdsp.stdout, "kdsp: ")
        remote_line = re.compile(r"^remote: (http://\S+/) code (\d{6})$")

        def remote_address():
            found = kdsp_lines.find(remote_line)
            if not found and kdsp.poll() is not None:
                raise Failure("kdsp ended with status %s: %s" % (kdsp.returncode,
                                                                 kdsp_lines.snapshot()[-20:]))
            return found

        remote = wait_for("kdsp to print its remote address", remote_address)
        base_url, code = remote.group(1), remote.group(2)

        # At connection the program asks whether to read the processor's settings: Yes, with
        # the Return key, as the user would answer.
        fake_input = FakeInput(display)
        window = wait_for("the main window on the X server",
                          lambda: fake_input.find_window(MAIN_WINDOW_TITLE))
        question = wait_for("the question whether to sync",
                            lambda: fake_input.find_window(SYNC_QUESTION_TITLE))
        fake_input.press_key(question[0] + question[2] // 2, question[1] + question[3] // 2,
                             XK_RETURN)
        wait_for("the question to close",
                 lambda: fake_input.find_window(SYNC_QUESTION_TITLE) is None)

        driver = start_chromedriver(processes, os.path.join(work, "chromedriver.log"))
        driver.start(os.path.join(work, "chromium"))
        driver.go(base_url)

        # Pairing: the code typed into the code field.
        wait_for("the pairing screen", lambda: visible(driver, "pairScreen"))
        if arguments.screenshots:
            driver.script("document.getElementById('code').blur();")
            driver.screenshot(os.path.join(arguments.screenshots, "remote-pair.png"))
        # A wrong code first: refused, and said so.
        wrong = "%06d" % ((int(code) + 1) % 1000000)
        driver.type_into(driver.find("#code"), wrong)
        wait_for("the page to say the code was wrong",
                 lambda: driver.script(PAIR_MESSAGE).startswith("Wrong code"))
        if not visible(driver, "pairScreen"):
            raise Failure("a wrong code left the pairing screen")
        driver.type_into(driver.find("#code"), code)
        wait_for("the remote screen after pairing", lambda: visible(driver, "remoteScreen"))
        wait_for("the page to show the processor linked",
                 lambda: driver.script(LINK_TEXT) == "Processor linked")
        token = driver.script("return localStorage.getItem('kdsp.remote.token');")
        if not token or not re.fullmatch(r"[0-9a-f]{64}", token):
            raise Failure("the page kept no token after pairing: %r" % token)

        start_value = wait_for("the music master's value",
                               lambda: driver.script(PAGE_VALUE, "masterMusic"))
        music_range = api_state(base_url, token)["ranges"]["masterMusic"]
        if start_value + (music_range["max"] - music_range["min"]) // 4 + 4 > music_range["max"]:
            raise Failure("the music master starts too high to move up: %s" % start_value)

        # The finger slides the music master's knob to the right, about a quarter of its travel.
        fader = driver.find('[data-field="masterMusic"] .fader')
        knob = driver.find('[data-field="masterMusic"] .knob')
        fader_rect, knob_rect = driver.rect(fader), driver.rect(knob)
        start = (knob_rect["x"] + knob_rect["width"] / 2, knob_rect["y"] + knob_rect["height"] / 2)
        end = (start[0] + (fader_rect["width"] - knob_rect["width"]) / 4, start[1])
        records_before = len(sim_lines.snapshot())
        driver.drag_with_finger(start, end)

        moved = wait_for("the page's music master to come to rest above %s" % start_value,
                         lambda: _settled_value(driver, "masterMusic", start_value))
        wait_for("the music master's record with %d at the processor" % moved,
                 lambda: _record_with(sim_lines, records_before, moved))
        wait_for("the program to hold the music master at %d" % moved,
                 lambda: api_state(base_url, token)["settings"]["masterMusic"] == moved)

        # The music's sound switch, tapped off and on again.
        music_switch = driver.find("#switch-outputMutes-controlMusic")
        for muted, shown in ((True, "Muted"), (False, "On")):
            records_before = len(sim_lines.snapshot())
            driver.tap(music_switch)
            wait_for("the page to show the music %s" % shown,
                     lambda: driver.script(MUSIC_SWITCH_STATE) == shown)
            wait_for("the output mutes' record with the music %s" % shown.lower(),
                     lambda: _mutes_record(sim_lines, records_before, muted))
            wait_for("the program to hold the music %s" % shown.lower(),
                     lambda: api_state(base_url, token)["settings"][
                         "outputMutes.controlMusic"] is not muted)

        if arguments.screenshots:
            driver.screenshot(os.path.join(arguments.screenshots, "remote-page.png"))

        # The PC's hand: the mouse wheel turned two notches down over the main window's music
        # master, on the X server the program draws on.
        scale = window[2] / MAIN_WINDOW_SIZE[0]
        wheel_at = (window[0] + round((MUSIC_FADER[0] + MUSIC_FADER[2] / 2) * scale),
                    window[1] + round((MUSIC_FADER[1] + MUSIC_FADER[3] / 2) * scale))

        def pc_turns_music_down(to):
            records_before = len(sim_lines.snapshot())
            fake_input.wheel(wheel_at[0], wheel_at[1], -2)
            wait_for("the PC's music master record with %d at the processor" % to,
                     lambda: _record_with(sim_lines, records_before, to))

        # A hand holds the page's fader after moving it three steps up at once (a mouse: a touch
        # held across two WebDriver calls loses its release). The PC's change meanwhile is
        # marked on the track but does not take the fader from the hand; once it lets go, the
        # fader shows what the program holds.
        driver.script("window.scrollTo(0, 0);")
        fader_rect, knob_rect = driver.rect(fader), driver.rect(knob)
        grip = (knob_rect["x"] + knob_rect["width"] / 2, knob_rect["y"] + knob_rect["height"] / 2)
        step_px = (fader_rect["width"] - knob_rect["width"]) / (music_range["max"] - music_range["min"])
        records_before = len(sim_lines.snapshot())
        driver.press_and_move(grip, (grip[0] + 3.5 * step_px, grip[1]))
        held = wait_for("the held fader to show %d" % (moved + 3),
                        lambda: driver.script(PAGE_VALUE, "masterMusic") == moved + 3 and moved + 3)
        wait_for("the music master's record with %d at the processor" % held,
                 lambda: _record_with(sim_lines, records_before, held))
        pc_value = held - 2
        pc_turns_music_down(pc_value)
        wait_for("the page to mark the PC's %d beside the held fader" % pc_value,
                 lambda: driver.script(FADER_STATE, "masterMusic") == {
                     "value": held, "held": True, "pc": pc_value})
        driver.release()
        wait_for("the released fader to show the program's %d" % pc_value,
                 lambda: driver.script(FADER_STATE, "masterMusic") == {
                     "value": pc_value, "held": False, "pc": None})
        if api_state(base_url, token)["settings"]["masterMusic"] != pc_value:
            raise Failure("the program does not hold the PC's %d" % pc_value)

        # With no hand on the fader, the page follows the PC at once.
        expected = pc_value - 2
        pc_turns_music_down(expected)
        wait_for("the page to show the PC's music master %d" % expected,
                 lambda: driver.script(PAGE_VALUE, "masterMusic") == expected)
        readout = driver.script(
            "return document.querySelector('[data-field=\"masterMusic\"] .readout').textContent;")
        if readout != str(expected):
            raise Failure("the music master's readout shows %r, not %d" % (readout, expected))
        # A preset: the first tap arms it, the second recalls it; the program reads the slot
        # from the processor and the page shows the recalled settings.
        slot = next(entry for entry in api_state(base_url, token)["slots"] if entry["slot"] > 0)
        preset = driver.find('#presets .preset[data-slot="%d"]' % slot["slot"])
        driver.tap(preset)
        wait_for("the preset to ask for a second tap",
                 lambda: driver.script(PRESET_NAME, slot["slot"]) == "Tap again to recall")
        records_before = len(sim_lines.snapshot())
        driver.tap(preset)
        wait_for("the page to say the preset was recalled",
                 lambda: driver.script(TOAST).startswith("Recalled "))
        if not any(READ_RECORD.match(line) for line in sim_lines.snapshot()[records_before:]):
            raise Failure("the recall read nothing from the processor")
        recalled = api_state(base_url, token)["settings"]["masterMusic"]
        wait_for("the page to show the recalled music master %d" % recalled,
                 lambda: driver.script(PAGE_VALUE, "masterMusic") == recalled)

        print("refused a wrong code, paired with code %s; the finger moved the music master "
              "%d -> %d and muted and unmuted the music; the PC's wheel did not take the held "
              "fader from the hand, and the page followed the PC to %d; recalled slot %d"
              % (code, start_value, moved, expected, slot["slot"]))
        return 0
    finally:
        if driver:
            driver.quit()
        if fake_input:
            fake_input.close()
        processes.stop_all()


def _settled_value(driver, field, start_value):
    """The fader's value once the finger is off, read with its held state in one go: the
    browser may still be handling the last moves when the actions have been performed."""
    state = driver.script(FADER_STATE, field)
    if state["held"] or state["value"] <= start_value:
        return None
    return state["value"]


def _mutes_record(sim_lines, start, music_muted):
    for line in sim_lines.snapshot()[start:]:
        match = MUTES_RECORD.match(line)
        if match and bool(int(match.group(1), 16) & MUSIC_MUTE_BIT) == music_muted:
            return line
    return None


def _record_with(sim_lines, start, value):
    for line in sim_lines.snapshot()[start:]:
        match = MUSIC_RECORD.match(line)
        if match and int(match.group(1), 16) == value:
            return line
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kdsp", required=True, help="the program")
    parser.add_argument("--sim", required=True, help="the simulated processor, kdsp-sim")
    parser.add_argument("--screenshots", metavar="DIR",
                        help="save remote-pair.png and remote-page.png into DIR")
    arguments = parser.parse_args()

    missing = [tool for tool in ("chromium", "chromedriver", "Xvfb") if not shutil.which(tool)]
    if missing:
        print("SKIP: %s not found; install the Debian packages chromium chromium-driver xvfb"
              % ", ".join(missing))
        return SKIP
    if arguments.screenshots:
        os.makedirs(arguments.screenshots, exist_ok=True)

    # A test ended from outside (CTest's timeout, ^C) still ends what it started.
    def interrupted(number, frame):
        raise Failure("ended by signal %d" % number)

    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGINT, interrupted)
    work = tempfile.mkdtemp(prefix="kdsp-remote-page-")
    try:
        return run(arguments, work)
    except Failure as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
