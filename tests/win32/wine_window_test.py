#!/usr/bin/python3
"""Starts the Windows program under Wine in a window on the X display, drives it through its
menus with the keyboard as a user would, and checks what it writes:
- the window is first shown in its place (centred) with its caption, and never moves after;
- Esc in a one-line field, a list and the log leaves the program running;
- a write-out from a source folder whose path is over 300 characters long;
- during a long write-out another program's SendMessageTimeoutW(WM_NULL, SMTO_ABORTIFHUNG)
  is answered, and a key typed meanwhile reaches no field;
- the close box saves the settings.

Usage: wine_window_test.py <VornackBuilder.exe> <resources folder> <Wine prefix>
                           <artefact folder> <liveness_probe.exe>
Needs DISPLAY (run it under with_display.sh), Wine, xdotool and python3-xlib.
"""
import os
import subprocess
import sys
import time

from Xlib import X, display

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from x_window import close_box, find_windows, screenshot, wait_for, xdotool  # noqa: E402
from program_folder import ProgramFolder  # noqa: E402

EXE, RESOURCES, PREFIX, ARTEFACTS, PROBE = (os.path.abspath(a) for a in sys.argv[1:6])
HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "scripts", "wine_run.sh")
TITLE = "ＺＵＮＤヴォルナックビルダー v"


def find_window(name):
    ids = find_windows(name)
    return ids[0] if ids else None


def windows_path(path):
    """The path as the program sees it under Wine (drive Z: is the root folder)."""
    return "Z:" + path.replace("/", "\\")


class MapWatch:
    """Watches the top-level windows on the display: for each, its position and name when
    it was first mapped, and every position it was moved to after that."""

    def __init__(self):
        self.d = display.Display()
        self.d.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.d.sync()
        self.first = {}  # window id -> (x, y, name) at its first map
        self.moves = {}  # window id -> [(x, y)] after its first map

    def poll(self):
        while self.d.pending_events():
            event = self.d.next_event()
            if event.type == X.MapNotify and event.window.id not in self.first:
                try:
                    g = event.window.get_geometry()
                    name = event.window.get_full_property(
                        self.d.intern_atom("_NET_WM_NAME"), 0)
                    name = name.value.decode("utf-8") if name else ""
                    self.first[event.window.id] = (g.x, g.y, name)
                except Exception:
                    pass
            elif event.type == X.ConfigureNotify and event.window.id in self.first:
                self.moves.setdefault(event.window.id, []).append((event.x, event.y))


def probe(env):
    """Runs the liveness probe as another program; its lines."""
    out = subprocess.run([WINE_RUN, PROBE], env=env, capture_output=True, timeout=60)
    return out.stdout.decode("utf-8", "replace").splitlines()


def focus_of(env):
    lines = probe(env)
    return next((line[len("focus: "):] for line in lines if line.startswith("focus: ")), "")


PAGES = 8000  # a run of well over 10 s under Wine


def main():
    # Holding one connection keeps the X server from resetting between clients.
    keep_server = display.Display()
    # Japanese folder names for the sources, over 300 characters, on their way through the
    # settings file.
    program = ProgramFolder(EXE, RESOURCES, PAGES, "ソース", windows_path, longer_than=300)
    output = program.output
    sources = program.sources
    log = open(os.path.join(program.folder, "wine.log"), "w+")
    env = dict(os.environ, WINEPREFIX=PREFIX)
    # A Wine session left by an earlier program still holds the X display it started on.
    subprocess.run(["wineserver", "-w"], env=env, capture_output=True, timeout=60)
    watch = MapWatch()
    exe = os.path.join(program.folder, "VornackBuilder.exe")
    process = subprocess.Popen([WINE_RUN, exe], env=env, stdout=log, stderr=log,
                               start_new_session=True)
    try:
        def shown():
            watch.poll()
            return find_window(TITLE) is not None or process.poll() is not None

        wait_for(shown, 120, "the main window")
        if process.poll() is not None:
            log.seek(0)
            raise AssertionError("program ended: " + log.read()[-2000:])
        window = find_window(TITLE)
        time.sleep(2.0)
        watch.poll()
        screenshot(ARTEFACTS, "wine-main-window.png")

        # Shown once, in its place, with its caption.
        assert window in watch.first, ("never seen mapped", watch.first)
        x, y, name = watch.first[window]
        assert name.startswith(TITLE), ("caption when first shown", name)
        assert all(m == (x, y) for m in watch.moves.get(window, [])), (
            "moved after it was shown", (x, y), watch.moves[window])
        g = watch.d.create_resource_object("window", window).get_geometry()
        root = watch.d.screen()
        assert abs(x - (root.width_in_pixels - g.width) // 2) <= 16, ("not centred", x, g.width)
        print("PASS first shown centred at", (x, y), "with its caption")

        # Esc in a one-line field, a list (folded and dropped down) and the log.
        xdotool("windowfocus", "--sync", str(window))
        time.sleep(0.5)
        for tabs, expected in ((0, "Edit"), (2, "ComboBox"), (6, "Edit multi-line")):
            for _ in range(tabs):
                xdotool("key", "Tab")
                time.sleep(0.2)
            assert focus_of(env) == expected, (expected, focus_of(env))
            if expected == "ComboBox":
                xdotool("key", "alt+Down")  # drops the list down; Esc folds it up
                time.sleep(0.5)
                xdotool("key", "Escape")
                time.sleep(0.5)
            xdotool("key", "Escape")
            time.sleep(1.5)
            assert process.poll() is None and find_window(TITLE) == window, (
                "Esc closed the program in", expected)
        print("PASS Esc in a one-line field, a list and the log leaves the program running")
        for _ in range(2):  # back to 置換文字列, a one-line field
            xdotool("key", "shift+Tab")
            time.sleep(0.2)
        assert focus_of(env) == "Edit", focus_of(env)

        # A long write-out: during it, another program asks whether the window is alive
        # after the 5 s Windows waits before it takes a window as hung, and a key is typed.
        for key in ("alt+o", "w"):
            xdotool("key", "--clearmodifiers", key)
            time.sleep(0.5)
        time.sleep(1.5)  # the confirmation box takes the keyboard focus when it appears
        xdotool("key", "Return")  # はい
        wait_for(lambda: os.path.isdir(output) and len(os.listdir(output)) > 200, 120,
                 "the run's first pages")
        time.sleep(6.0)
        xdotool("type", "zzz")
        lines = probe(env)
        written = len(os.listdir(output))
        running = not os.path.exists(os.path.join(output, "index.html"))
        assert lines and lines[0].startswith("answered"), lines
        assert not any("zzz" in line for line in lines), lines
        assert running, "the run ended before the probe: make it longer"
        print("PASS a liveness probe answered during the run (%s, %d pages written by then)"
              % (lines[0], written))
        wait_for(lambda: os.path.exists(os.path.join(output, "index.html")), 600, "index.html")
        time.sleep(1.0)
        program.check_written(PAGES)
        screenshot(ARTEFACTS, "wine-after-write-out.png")
        print("PASS write-out through the menu from a %d-character source folder"
              % len(windows_path(sources)))

        close_box(window)
        process.wait(timeout=30)
        saved = program.saved_settings()
        for key in (b"PrevServer=0\r\n", b"MakePageNum=%d\r\n" % PAGES, b"PagePerSrcNum=2\r\n"):
            assert key in saved, (key, saved)
        print("PASS the close box saves the settings")
        return 0
    except Exception as e:
        print("FAIL", repr(e))
        try:
            screenshot(ARTEFACTS, "wine-failure.png")
        except Exception:
            pass
        log.seek(0)
        print(log.read()[-3000:])
        return 1
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
            # The program itself runs on in the prefix's Wine server: end it there.
            subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        keep_server.close()
        watch.d.close()
        program.remove()


if __name__ == "__main__":
    sys.exit(main())
