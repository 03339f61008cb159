#!/usr/bin/python3
"""Drives the real program as a screen reader does: every control found by role and name in the
accessibility tree, buttons pressed and the check box toggled through their actions, text read through
the Text interface, keys typed as real key events (X events with xdotool, the virtual-keyboard protocol
with wtype). Nothing is clicked at a position.

Usage: quindle_atspi.py PROGRAM WORKDIR x11|wayland SCALE   (PROGRAM's wordlist.txt sits beside it)
Runs under an X server (DISPLAY, QT_SCALE_FACTOR=SCALE) or a sway whose output has SCALE (WAYLAND_DISPLAY,
SWAYSOCK), in a D-Bus session of its own, on which the accessibility bus and its registry start on
demand. Prints one line per case and writes the passed and failed counts to WORKDIR/counts.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

TITLE = "Quindle - https://quindle.org"
MISSING_LIST = (
    'The file "wordlist.txt" was not found.\n\nYou will not be able to use AutoRot until you create this '
    "file and restart the program.  This file is included in the download available from quindle.org"
)


def duh(text):
    return ("Duh!", "Information", text)


EMPTY_TEXT = duh("It often helps if you enter something to ROT")
EMPTY_LEVEL = duh("It often helps if you enter the ROT level you want to use")
NOT_NUMERIC = duh("ROT levels are numeric.  Please enter something numeric and try again.")
OUT_OF_RANGE = duh("ROT levels should be between 0 and 26")
NOTHING_TO_AUTOROT = ("Error", "Warning", "It helps if you type something to AutoRot..")
AUTOROT_FAILED = ("Error", "Warning", "Couldn't AutoRot this text, sorry.")


def autorot_found(level, matches):
    return (
        "Success!",
        "Information",
        f"AutoRot suspects that this text was ciphered with ROT level {level}.\n\n"
        f"AutoRot found {matches} word matches within this ROT level.",
    )


# What a screen reader meets in the window, in tree order: depth, role, name. The text box's own viewport
# and scroll bars are left out; they carry no name in any toolkit.
TREE = [
    (0, "frame", TITLE),
    (1, "text", "Text"),
    (1, "check box", "Fixed width font"),
    (1, "panel", "ROT: "),
    (2, "push button", "AutoRot"),
    (2, "text", "ROT level:"),
    (2, "push button", "From ROT"),
    (2, "push button", "To ROT"),
    (2, "label", "ROT level:"),
    (1, "panel", "Clipboard: "),
    (2, "push button", "Copy to.."),
    (2, "push button", "Paste from.."),
]

# The commands: text and level typed, the button pressed, the box it shows (title, icon, text) or None,
# and the text afterwards. A refusal must leave both boxes as they were.
COMMANDS = [
    ("To ROT enciphers with the level", "Hello World", "3", "To ROT", None, "Khoor Zruog"),
    ("From ROT deciphers with the level", "Khoor Zruog", "3", "From ROT", None, "Hello World"),
    ("To ROT refuses an empty text", "", "13", "To ROT", EMPTY_TEXT, ""),
    ("From ROT refuses an empty level", "Hello", "", "From ROT", EMPTY_LEVEL, "Hello"),
    ("To ROT refuses a level that is no number", "Hello", "abc", "To ROT", NOT_NUMERIC, "Hello"),
    ("From ROT refuses level 27", "Hello", "27", "From ROT", OUT_OF_RANGE, "Hello"),
    ("To ROT refuses level -1", "Hello", "-1", "To ROT", OUT_OF_RANGE, "Hello"),
    ("AutoRot finds the level and deciphers", "Uryyb Jbeyq", "13", "AutoRot", autorot_found(13, 2),
     "Hello World"),
    ("AutoRot says when nothing matches", "Qqq", "13", "AutoRot", AUTOROT_FAILED, "Qqq"),
    ("AutoRot refuses an empty text", "", "13", "AutoRot", NOTHING_TO_AUTOROT, ""),
]

WAIT = 10  # seconds a step may take before it counts as failed; they take milliseconds

# The name of the desktop file that a Wayland client gives the compositor for its icon and grouping:
# packaging installs quindle.desktop.
DESKTOP_FILE = "quindle"

# Set by main(): "x11" or "wayland".
DISPLAY = "x11"


class Failure(Exception):
    pass


def wait_for(what, condition, seconds=WAIT):
    deadline = time.monotonic() + seconds
    while True:
        try:
            result = condition()
        except Failure:
            raise
        except Exception:  # an object can vanish between lookups while the tree changes
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(0.05)


def check(condition, message):
    if not condition:
        raise Failure(message)


# Each wtype run is a new virtual keyboard with a keymap of its own, which the program must take before
# a key counts: a key sent at once is lost.
WTYPE = ["wtype", "-s", "200"]


def keys(*names):
    """Presses keys named as xdotool names them, with "+" between modifiers and the key."""
    if DISPLAY == "x11":
        subprocess.run(["xdotool", "key", "--delay", "20", *names], check=True)
        return
    args = []
    for name in names:
        *modifiers, key = name.split("+")
        args += [a for m in modifiers for a in ("-M", m)] + ["-k", key]
        args += [a for m in reversed(modifiers) for a in ("-m", m)]
    subprocess.run(WTYPE + args, check=True, timeout=WAIT)


def type_text(text):
    if not text:
        return
    if DISPLAY == "x11":
        subprocess.run(["xdotool", "type", "--delay", "20", "--", text], check=True)
    else:
        subprocess.run(WTYPE + ["-d", "20", "--", text], check=True, timeout=WAIT)


UTF8 = "text/plain;charset=utf-8"


def clipboard():
    """The clipboard's text as bytes. On Wayland every plain-text type offered must hold the same bytes;
    where they differ, all of them come back, which equals no text."""
    if DISPLAY == "x11":
        return subprocess.run(["xclip", "-selection", "clipboard", "-o"], capture_output=True,
                              timeout=5).stdout
    # wl-paste reads through the data-control protocol, without a window or the focus of its own.
    offered = subprocess.run(["wl-paste", "--list-types"], capture_output=True, text=True, timeout=5)
    types = [t for t in offered.stdout.split() if t in ("text/plain", UTF8)]
    held = {t: subprocess.run(["wl-paste", "--no-newline", "--type", t], capture_output=True,
                              timeout=5).stdout for t in types}
    values = set(held.values())
    return values.pop() if len(values) == 1 else held


def sway_windows(pid):
    """The compositor's windows of the process, as swaymsg describes them: name, app_id, focus, shell
    and rectangles."""
    tree = json.loads(subprocess.run(["swaymsg", "--raw", "-t", "get_tree"], capture_output=True,
                                     check=True, timeout=5).stdout)
    found = []

    def walk(node):
        if node.get("pid") == pid:
            found.append(node)
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            walk(child)

    walk(tree)
    return found


def screenshot(path, rect):
    """Takes the compositor's picture of a rectangle as a binary PPM and returns (width, height,
    number of colours)."""
    geometry = f"{rect['x']},{rect['y']} {rect['width']}x{rect['height']}"
    subprocess.run(["grim", "-t", "ppm", "-g", geometry, path], check=True, timeout=WAIT)
    with open(path, "rb") as f:
        data = f.read()
    magic, width, height, depth, pixels = data.split(maxsplit=4)
    check(magic == b"P6" and depth == b"255", f"{path} is no binary PPM")
    width, height = int(width), int(height)
    pixels = pixels[:width * height * 3]
    colours = {pixels[i:i + 3] for i in range(0, len(pixels), 3)}
    return width, height, len(colours)


def role(acc):
    # at-spi2-core 2.56 (Debian 13) calls a push button a button.
    name = acc.getRoleName()
    return "push button" if name == "button" else name


def has(acc, state):
    return acc.getState().contains(state)


def text_of(acc):
    return acc.queryText().getText(0, -1)


def act(acc, *names):
    """Runs the first of the named actions that the object offers, as a screen reader's command would."""
    action = acc.queryAction()
    offered = [action.getName(i) for i in range(action.nActions)]
    for name in names:
        if name in offered:
            action.doAction(offered.index(name))
            return
    raise Failure(f'{role(acc)} "{acc.name}" offers none of {names}, only {offered}')


def icon_name(box):
    return next((c.name for c in box if role(c) == "image"), None)


def box_text(box):
    return "\n".join(c.name for c in box if role(c) == "label")


class Program:
    """One run of the program under test, seen through the accessibility tree."""

    def __init__(self, path, log):
        self.log = open(log, "w")
        self.process = subprocess.Popen([path], stdout=self.log, stderr=subprocess.STDOUT)
        self.app = wait_for("the program on the accessibility bus", self._find_app)
        self.app.set_cache_mask(Atspi.Cache.NONE)

    def _find_app(self):
        check(self.process.poll() is None, f"the program ended with status {self.process.returncode}")
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.log.close()

    def toplevels(self):
        return [c for c in self.app if c is not None and has(c, pyatspi.STATE_SHOWING)]

    def window(self):
        return wait_for("the main window", self.window_now)

    def expect_window(self):
        """Waits for the window to open without a message box before it."""
        wait_for("the window or a box", lambda: self.box() or self.window_now())
        box = self.box()
        check(box is None, f'a box "{box and box.name}" showed: {box and box_text(box)!r}')
        return self.window()

    def window_now(self):
        return next((c for c in self.toplevels() if role(c) == "frame" and c.name == TITLE), None)

    def control(self, kind, name):
        found = pyatspi.findDescendant(self.window(), lambda a: role(a) == kind and a.name == name)
        check(found, f'no {kind} named "{name}" in the window')
        return found

    def button(self, name):
        return self.control("push button", name)

    def text_box(self):
        return self.control("text", "Text")

    def level_box(self):
        return self.control("text", "ROT level:")

    def focused(self):
        found = pyatspi.findDescendant(self.window(), lambda a: has(a, pyatspi.STATE_FOCUSED))
        return f"{role(found)} {found.name}" if found else None

    def activate(self):
        """On X11 gives the window the input focus, as a window manager does when a box closes; none runs
        there. On Wayland a client cannot take the focus: the compositor must give it back by itself."""
        if DISPLAY == "wayland":
            wait_for("the compositor to make the window active",
                     lambda: has(self.window(), pyatspi.STATE_ACTIVE))
            return
        search = ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                  "--name", "^" + re.escape(TITLE) + "$"]
        ids = subprocess.run(search, capture_output=True, text=True).stdout.split()
        check(len(ids) == 1, f"expected one X window titled {TITLE}, found {ids}")
        subprocess.run(["xdotool", "windowfocus", "--sync", ids[0]], check=True)
        wait_for("the window to be active", lambda: has(self.window(), pyatspi.STATE_ACTIVE))

    def box(self):
        return next((c for c in self.toplevels() if role(c) == "alert"), None)

    def expect_box(self, expected, after=None):
        """Waits for the message box, compares title, icon and text, lets `after` look while it shows,
        and dismisses it with its OK button."""
        title, icon, text = expected
        box = wait_for(f'the "{title}" box', self.box)
        seen = (box.name, icon_name(box), box_text(box))
        check(seen == expected, f"box {seen!r}, expected {expected!r}")
        if DISPLAY == "wayland":
            self.expect_box_focused(title)
        if after:
            after()
        self.dismiss(box)

    def compositor_window(self, title):
        windows = [w for w in sway_windows(self.process.pid) if w.get("name") == title]
        check(len(windows) == 1, f'expected one window "{title}" in the compositor, found {len(windows)}')
        return windows[0]

    def expect_box_focused(self, title):
        """The compositor gives a new box the keyboard focus, so that Enter or Space answers it; the
        window behind it is inactive until the box closes."""
        wait_for(f'the compositor to focus the "{title}" box',
                 lambda: self.compositor_window(title).get("focused"))
        # The missing-list box comes before the window.
        windows = [w for w in sway_windows(self.process.pid) if w.get("name") == TITLE]
        check(not any(w.get("focused") for w in windows), "the window keeps the focus beside the box")
        box = self.compositor_window(title)
        check(box.get("app_id") == DESKTOP_FILE, f"the box names {box.get('app_id')!r}, not {DESKTOP_FILE!r}")

    def dismiss(self, box):
        ok = pyatspi.findDescendant(box, lambda a: role(a) == "push button" and a.name == "OK")
        act(ok, "Press")
        # Focusing the window while the box still shows would leave Qt thinking it inactive.
        wait_for("the box to close", lambda: self.box() is None)
        self.activate()

    def expect_no_box(self):
        time.sleep(0.5)
        box = self.box()
        check(box is None, f'a box "{box and box.name}" showed')

    def wait_text(self, expected, what="the text box"):
        wait_for(f"{what} to read {expected!r} (it reads {text_of(self.text_box())!r})",
                 lambda: text_of(self.text_box()) == expected)

    def focus(self, acc):
        act(acc, "SetFocus")
        wait_for(f'the focus on "{acc.name}"', lambda: has(acc, pyatspi.STATE_FOCUSED))

    def set_text(self, text):
        self.focus(self.text_box())
        keys("ctrl+a", "BackSpace")
        type_text(text)
        self.wait_text(text)

    def set_level(self, level):
        box = self.level_box()
        self.focus(box)
        keys("ctrl+a", "BackSpace")
        type_text(level)
        wait_for(f"the level box to read {level!r}", lambda: text_of(box) == level)


def describe(acc, depth=0):
    """The tree as a screen reader meets it: role, name, description and the states it speaks of."""
    spoken = [pyatspi.STATE_FOCUSED, pyatspi.STATE_FOCUSABLE, pyatspi.STATE_ENABLED, pyatspi.STATE_CHECKED,
              pyatspi.STATE_EDITABLE, pyatspi.STATE_MULTI_LINE, pyatspi.STATE_ACTIVE]
    states = ", ".join(str(s)[len("STATE_"):].lower().replace("_", " ") for s in spoken if has(acc, s))
    if not has(acc, pyatspi.STATE_ENABLED):
        states = ", ".join(filter(None, [states, "disabled"]))
    name = acc.name.replace("\n", "\\n")
    line = f'{"  " * depth}{role(acc)} "{name}"'
    if acc.description:
        line += f' ({acc.description})'
    lines = [f"{line} [{states}]"]
    rows = [(depth, role(acc), acc.name)]
    for child in acc:
        # The text box's viewport and hidden scroll bars are its inner parts, not controls.
        if child is not None and role(child) not in ("filler", "scroll bar"):
            child_lines, child_rows = describe(child, depth + 1)
            lines += child_lines
            rows += child_rows
    return lines, rows


def announce_screen_reader():
    """Tells the session that a screen reader runs, as one does when it starts: toolkits then serve their
    accessibility trees, with no setting of the program's own."""
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
        GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled", GLib.Variant("b", True))),
        None, Gio.DBusCallFlags.NONE, -1, None)


class Suite:
    def __init__(self, program, work, scale):
        self.program = program
        self.work = work
        self.scale = scale
        self.passed = 0
        self.failed = 0
        self.running = None
        self.servers = []

    def case(self, name, body):
        try:
            body()
        except Exception as error:  # a failed case is reported; the next one starts afresh
            self.failed += 1
            print(f"FAIL: {DISPLAY} scale {self.scale}: {name}: {error}", flush=True)
            self.dismiss_boxes()
            return False
        self.passed += 1
        print(f"ok: {DISPLAY} scale {self.scale}: {name}", flush=True)
        return True

    def dismiss_boxes(self):
        if self.running and self.running.process.poll() is None:
            try:
                while box := self.running.box():
                    self.running.dismiss(box)
            except Exception:
                pass

    def start(self, path, name):
        if self.running:
            self.running.stop()
        self.running = Program(path, os.path.join(self.work, name + ".log"))
        return self.running

    def serve_clipboard(self, data):
        """Another client owns the clipboard and serves it until it is ended. wl-copy stays in the
        foreground so that it can be ended by its id, and takes the text as an argument: what it reads
        from its input it keeps in a folder of /tmp, which only it removes, and only when it ends by
        itself."""
        if DISPLAY == "x11":
            server = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                                      stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            server.stdin.write(data)
            server.stdin.close()
        else:
            server = subprocess.Popen(["wl-copy", "--foreground", "--type", UTF8, "--", data],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.servers.append(server)
        wait_for("the other client to serve the clipboard", lambda: clipboard() == data)

    def rest_keyboard(self):
        """A session's seat always has a keyboard. Each wtype run brings a keyboard of its own and takes it
        away when it ends; were it the seat's only one, the program would lose the keyboard focus between
        two runs, as if its window were left. One wtype that types nothing keeps a keyboard there, for ten
        minutes at most, longer than any run, should the suite die before it ends it."""
        keeper = subprocess.Popen(["wtype", "-s", "600000"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        self.servers.append(keeper)
        time.sleep(0.2)
        check(keeper.poll() is None, f"wtype ended with status {keeper.returncode}")

    def run(self):
        if DISPLAY == "wayland":
            self.rest_keyboard()
        folder = os.path.join(self.work, "copy")
        os.makedirs(folder)
        # Under a name of its own: a Wayland client that names no desktop file is known by its program's.
        copy = os.path.join(folder, "quindle-copy")
        shutil.copy2(self.program, copy)
        self.case("missing word list: \"Error!\" comes before the window, then AutoRot is off",
                  lambda: self.missing_list(copy))
        with open(os.path.join(folder, "wordlist.txt"), "w") as f:
            f.write("# a list the cases can count on\nhello\nworld\n")
        placed = "centred" if DISPLAY == "x11" else "placed whole by the compositor"
        if not self.case(f"word list found: the window opens ready, {placed}, every control named",
                         lambda: self.starts_ready(copy)):
            return
        for name, text, level, button, box, after in COMMANDS:
            self.case(name, lambda: self.command(text, level, button, box, after))
        self.case("typed text ciphered and copied: the clipboard holds the exact bytes", self.copy)
        self.case("clipboard text pasted at the cursor", self.paste_at_cursor)
        self.case("untouched line breaks kept through a join and an Enter", self.line_breaks)
        self.case("the font toggle checks and unchecks, the focus back in the text", self.font_toggle)
        self.case("undo and redo from the keyboard", self.undo_redo)
        self.case("Tab and Shift+Tab walk the controls in order", self.focus_order)
        self.case("Enter and Space press the focused button, Enter the box's OK; no default",
                  self.keyboard_only)
        self.case("a paragraph of a million characters, shown in pieces, reads as one",
                  self.long_paragraph)
        self.case("the shipped word list: AutoRot finds level 13", self.shipped_list)
        self.running.stop()

    def missing_list(self, path):
        program = self.start(path, "missing-list")
        print("\n".join(f"    {line}" for line in describe(wait_for('the "Error!" box', program.box))[0]))
        check(not any(role(c) == "frame" for c in program.toplevels()),
              "the window shows beside the missing-list box")
        program.expect_box(("Error!", "Error", MISSING_LIST))
        check(not has(program.button("AutoRot"), pyatspi.STATE_ENABLED), "AutoRot is enabled")
        check(has(program.button("To ROT"), pyatspi.STATE_ENABLED), "To ROT is disabled")

    def starts_ready(self, path):
        program = self.start(path, "quindle")
        window = program.expect_window()
        program.expect_no_box()
        program.activate()
        lines, rows = describe(window)
        print("\n".join(f"    {line}" for line in lines))
        check(rows == TREE, f"the tree differs from the expected one:\n{rows}")
        x, y, width, height = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        # Only the proportions are fixed; the dpi and the scale size the whole window.
        check(width * 312 == height * 480, f"window is {width}x{height}, not 480x312 or a multiple")
        if DISPLAY == "wayland":
            self.placed_by_compositor(program, width, height)
        else:
            self.centred(x, y, width, height)
        check(program.focused() == "text Text", f"the focus starts in {program.focused()}")
        check(text_of(program.text_box()) == "", "the text box is not empty")
        check(text_of(program.level_box()) == "13", "the level box does not read 13")
        check(not has(program.button("Copy to.."), pyatspi.STATE_ENABLED), "Copy to.. is enabled")
        for name in ("AutoRot", "To ROT", "From ROT", "Paste from.."):
            check(has(program.button(name), pyatspi.STATE_ENABLED), f"{name} is disabled")
        check(not has(program.control("check box", "Fixed width font"), pyatspi.STATE_CHECKED),
              "the font toggle starts checked")

    def placed_by_compositor(self, program, width, height):
        """A Wayland client cannot place its window: the compositor does, and the program must work
        wherever it lands. It must land whole on the output, at the size the program laid out, named by
        its desktop file, and painted at the output's scale."""
        found = program.compositor_window(TITLE)
        rect, inner = found["rect"], found["window_rect"]
        output = next(o for o in json.loads(subprocess.run(
            ["swaymsg", "--raw", "-t", "get_outputs"], capture_output=True, check=True, timeout=5).stdout)
            if o.get("active"))
        screen = output["rect"]
        print(f"    compositor: window {inner['width']}x{inner['height']} at {rect['x']},{rect['y']} on "
              f"{screen['width']}x{screen['height']} at scale {output['scale']}, "
              f"app_id {found.get('app_id')}")
        check(found.get("shell") == "xdg_shell",
              f"the window is a {found.get('shell')} one, not a native Wayland one")
        check(found.get("app_id") == DESKTOP_FILE,
              f"the window names {found.get('app_id')!r}, not its desktop file {DESKTOP_FILE!r}")
        check((inner["width"], inner["height"]) == (width, height),
              f"the compositor shows {inner['width']}x{inner['height']}, the program laid out "
              f"{width}x{height}")
        check(found.get("type") == "floating_con",
              "the compositor tiles the window instead of floating it at its fixed size")
        check(0 <= rect["x"] and rect["x"] + rect["width"] <= screen["width"] and 0 <= rect["y"]
              and rect["y"] + rect["height"] <= screen["height"], "the window is not wholly on the output")
        check(float(output["scale"]) == float(self.scale), f"the output's scale is {output['scale']}")
        area = dict(x=rect["x"] + inner["x"], y=rect["y"] + inner["y"], width=width, height=height)
        shot = os.path.join(self.work, "window.ppm")
        pixels_wide, pixels_high, colours = screenshot(shot, area)
        # The compositor's picture holds the output's pixels: twice as many each way at scale 2.
        scale = int(float(self.scale))
        check((pixels_wide, pixels_high) == (width * scale, height * scale),
              f"the window's picture is {pixels_wide}x{pixels_high}, not its size times {scale}")
        check(colours > 2, f"the window's picture has {colours} colours: nothing was painted")
        subprocess.run(["grim", os.path.join(self.work, "screen.png")], check=True, timeout=WAIT)

    def centred(self, x, y, width, height):
        _, _, screen_width, screen_height = pyatspi.Registry.getDesktop(0).queryComponent().getExtents(0)
        # Qt 6.4 gives the extents in its scaled pixels while the screen is measured in the display's own.
        centred = any(abs((2 * x + width) * f - screen_width) <= f
                      and abs((2 * y + height) * f - screen_height) <= f for f in {1, float(self.scale)})
        check(centred, f"window at {x},{y} size {width}x{height} is off the centre of "
                       f"{screen_width}x{screen_height}")
        print(f"    window {width}x{height} at {x},{y}")

    def command(self, text, level, button, box, after):
        program = self.running
        program.set_text(text)
        program.set_level(level)
        act(program.button(button), "Press")
        if box:
            # The text stays as it was while the box shows: a refusal changes nothing, AutoRot's verdict
            # comes before its decoding. The box is modal: a key typed meanwhile never reaches the window
            # behind it, which the checks of both boxes below would show.
            def unchanged():
                seen = text_of(program.text_box())
                check(seen == text, f"the text reads {seen!r} under the box")
                keys("x")
            program.expect_box(box, unchanged)
            # Once the window is active again, the keys go where they went before the box.
            wait_for(f"the focus back in the level box (it is on {program.focused()})",
                     lambda: program.focused() == "text ROT level:")
        program.wait_text(after)
        check(text_of(program.level_box()) == level, "the level box changed")

    def copy(self):
        program = self.running
        program.set_level("13")
        program.set_text("Hello World")
        act(program.button("To ROT"), "Press")
        program.wait_text("Uryyb Jbeyq")
        copy = program.button("Copy to..")
        check(not has(copy, pyatspi.STATE_ENABLED), "Copy to.. is enabled with nothing selected")
        keys("ctrl+a")
        wait_for("Copy to.. to be enabled by a selection", lambda: has(copy, pyatspi.STATE_ENABLED))
        act(copy, "Press")
        wait_for("the clipboard", lambda: clipboard() == b"Uryyb Jbeyq")
        wait_for("the focus back in the text", lambda: program.focused() == "text Text")

    def paste_at_cursor(self):
        program = self.running
        # Non-ASCII text checks that neither direction loses the encoding.
        pasted = " Grüße, 1€"
        self.serve_clipboard(pasted.encode())
        program.focus(program.text_box())
        keys("ctrl+End")
        act(program.button("Paste from.."), "Press")
        program.wait_text("Uryyb Jbeyq" + pasted)
        keys("ctrl+a")
        act(program.button("Copy to.."), "Press")
        wait_for("the clipboard", lambda: clipboard() == ("Uryyb Jbeyq" + pasted).encode())

    def line_breaks(self):
        # Two lines joined with Delete and an Enter elsewhere keep the CR LF between the others.
        program = self.running
        self.serve_clipboard(b"\r\na\naaa")
        program.focus(program.text_box())
        keys("ctrl+a")
        act(program.button("Paste from.."), "Press")
        wait_for("the pasted lines", lambda: text_of(program.text_box()).endswith("aaa"))
        keys("ctrl+Home", "Down", "End", "Delete", "ctrl+Home", "Return", "k", "ctrl+a")
        act(program.button("Copy to.."), "Press")
        wait_for(f"the clipboard to hold the lines (it holds {clipboard()!r})",
                 lambda: clipboard() == b"\nk\r\naaaa")

    def font_toggle(self):
        program = self.running
        toggle = program.control("check box", "Fixed width font")
        text = text_of(program.text_box())
        for checked in (True, False):
            program.focus(toggle)
            act(toggle, "Toggle", "Press")
            wait_for(f"the toggle {'checked' if checked else 'unchecked'}",
                     lambda: has(toggle, pyatspi.STATE_CHECKED) == checked)
            wait_for("the focus back in the text", lambda: program.focused() == "text Text")
        check(text_of(program.text_box()) == text, "the toggle changed the text")

    def undo_redo(self):
        program = self.running
        program.set_text("abc")
        act(program.button("To ROT"), "Press")
        program.wait_text("nop")
        program.focus(program.text_box())
        steps = [("ctrl+z", "abc"), ("ctrl+y", "nop"), ("ctrl+z", "abc"), ("ctrl+shift+z", "nop"),
                 ("ctrl+z", "abc"), ("ctrl+z", "")]
        for key, expected in steps:
            keys(key)
            program.wait_text(expected, f"the text after {key}")

    def focus_order(self):
        program = self.running
        program.set_text("abc")
        keys("ctrl+a")  # a selection enables Copy to.., which Tab otherwise skips
        order = ["check box Fixed width font", "push button AutoRot", "text ROT level:",
                 "push button From ROT", "push button To ROT", "push button Copy to..",
                 "push button Paste from..", "text Text"]
        for expected in order:
            keys("Tab")
            wait_for(f"Tab to reach {expected} (the focus is on {program.focused()})",
                     lambda: program.focused() == expected)
        keys("shift+Tab")
        wait_for("Shift+Tab to go back to Paste from..",
                 lambda: program.focused() == "push button Paste from..")

    def keyboard_only(self):
        program = self.running
        program.set_level("13")
        program.set_text("abc")
        to_rot = program.button("To ROT")
        program.focus(program.button("From ROT"))
        keys("Tab")
        wait_for("the focus on To ROT", lambda: has(to_rot, pyatspi.STATE_FOCUSED))
        keys("Return")
        program.wait_text("nop", "the text after Enter on To ROT")
        keys("shift+Tab", "space")
        program.wait_text("abc", "the text after Space on From ROT")
        # Enter in the level box presses nothing: no button is the default.
        program.focus(program.level_box())
        keys("Return")
        program.expect_no_box()
        program.wait_text("abc")
        keys("ctrl+a", "BackSpace", "Tab", "Tab", "Return")
        box = wait_for("the empty-level box", program.box)
        check((box.name, box_text(box)) == EMPTY_LEVEL[::2], f"box {box.name!r}: {box_text(box)!r}")
        keys("Return")
        wait_for("Enter to close the box", lambda: program.box() is None)
        program.activate()
        program.set_level("13")

    def long_paragraph(self):
        # The box shows it in pieces of about 16,000 characters; a joint between them is no character.
        program = self.running
        sentence = "Gur dhvpx oebja sbk whzcf bire gur ynml qbt. "
        paragraph = (sentence * (1_000_000 // len(sentence) + 1))[:1_000_000]
        # Written as a screen reader writes, through the box's editable text.
        box = program.text_box()
        program.set_text("")
        box.queryEditableText().insertText(0, paragraph, len(paragraph))
        text = box.queryText()
        wait_for(f"a million characters (it reads {text.characterCount})",
                 lambda: text.characterCount == len(paragraph))
        check(text.getText(0, -1) == paragraph, "the text read back differs from the paragraph")
        keys("ctrl+End")
        wait_for(f"the caret at the end (it is at {text.caretOffset})", lambda: text.caretOffset == len(paragraph))
        # Two words back, then two characters selected before them.
        last = paragraph.rindex("Gur")
        keys("ctrl+Left", "ctrl+Left", "shift+Left", "shift+Left")
        wait_for(f"the caret at {last - 2} (it is at {text.caretOffset})", lambda: text.caretOffset == last - 2)
        start, end = text.getSelection(0)
        check((start, end) == (last - 2, last), f"the selection is {start}:{end}")
        # Around the first cut every word reads whole, at its own offsets.
        words = {word.strip(".") for word in sentence.split()} | {""}
        for offset in range(16_000 - len(sentence), 16_000 + len(sentence)):
            word, start, end = text.getTextAtOffset(offset, pyatspi.TEXT_BOUNDARY_WORD_START)
            check(paragraph[start:end] == word and word.strip(" .") in words,
                  f"the word at {offset} reads {word!r} at {start}:{end}")
        # A change past the first cut is told at its offset in the whole text.
        told = []

        def listen(event):
            if role(event.source) == "text" and event.source.name == "Text":
                told.append((event.type, event.detail1, event.any_data))

        def heard():
            GLib.MainContext.default().iteration(False)
            return ("object:text-changed:insert", 20_000, "Z") in told

        pyatspi.Registry.registerEventListener(listen, "object:text-changed")
        try:
            text.setCaretOffset(20_000)
            wait_for("the caret at 20000", lambda: text.caretOffset == 20_000)
            type_text("Z")
            wait_for(f"the insertion told at 20000 (told: {told[-3:]})", heard)
        finally:
            pyatspi.Registry.deregisterEventListener(listen, "object:text-changed")
        check(text.getText(19_998, 20_003) == paragraph[19_998:20_000] + "Z" + paragraph[20_000:20_002],
              "the Z stands elsewhere")
        keys("ctrl+a", "BackSpace")
        program.wait_text("")

    def shipped_list(self):
        program = self.start(self.program, "shipped")
        program.expect_window()
        program.expect_no_box()
        program.activate()
        program.set_text("Uryyb Jbeyq")
        act(program.button("AutoRot"), "Press")
        box = wait_for("the AutoRot verdict", program.box)
        check(box.name == "Success!" and box_text(box).startswith(
            "AutoRot suspects that this text was ciphered with ROT level 13.\n\nAutoRot found "),
            f"box {box.name!r}: {box_text(box)!r}")
        program.dismiss(box)
        program.wait_text("Hello World")

    def close(self):
        if self.running and self.running.process.poll() is None:
            self.running.stop()
        for server in self.servers:
            server.kill()
            server.wait()


def main():
    global DISPLAY
    if len(sys.argv) != 5 or sys.argv[3] not in ("x11", "wayland"):
        sys.exit(f"usage: {sys.argv[0]} PROGRAM WORKDIR x11|wayland SCALE")
    program, work, DISPLAY = os.path.realpath(sys.argv[1]), sys.argv[2], sys.argv[3]
    os.makedirs(work, exist_ok=True)
    announce_screen_reader()
    suite = Suite(program, work, sys.argv[4])
    try:
        suite.run()
    finally:
        suite.close()
        with open(os.path.join(work, "counts"), "w") as f:
            f.write(f"{suite.passed} {suite.failed}\n")


if __name__ == "__main__":
    main()
