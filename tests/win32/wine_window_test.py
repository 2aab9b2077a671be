#!/usr/bin/python3
"""Starts the Windows program under Wine in a window on the X display, drives it through its
menus with the keyboard as a user would, and checks what it writes.

Usage: wine_window_test.py <VornackBuilder.exe> <resources folder> <Wine prefix> <artefact folder>
Needs DISPLAY (run it under with_display.sh), Wine, xdotool and python3-xlib.
"""
import os
import subprocess
import sys
import time

from Xlib import display

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from x_window import close_box, find_windows, screenshot, wait_for, xdotool  # noqa: E402
from program_folder import ProgramFolder  # noqa: E402

EXE, RESOURCES, PREFIX, ARTEFACTS = (os.path.abspath(a) for a in sys.argv[1:5])
HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "scripts", "wine_run.sh")
TITLE = "ＺＵＮＤヴォルナックビルダー v"


def find_window(name):
    ids = find_windows(name)
    return ids[0] if ids else None


def windows_path(path):
    """The path as the program sees it under Wine (drive Z: is the root folder)."""
    return "Z:" + path.replace("/", "\\")


def main():
    # Holding one connection keeps the X server from resetting between clients.
    keep_server = display.Display()
    # A Japanese folder name for the sources, on its way through the settings file.
    program = ProgramFolder(EXE, RESOURCES, 5, "ソース", windows_path)
    output = program.output
    log = open(os.path.join(program.folder, "wine.log"), "w+")
    env = dict(os.environ, WINEPREFIX=PREFIX)
    # A Wine session left by an earlier program still holds the X display it started on.
    subprocess.run(["wineserver", "-w"], env=env, capture_output=True, timeout=60)
    exe = os.path.join(program.folder, "VornackBuilder.exe")
    process = subprocess.Popen([WINE_RUN, exe], env=env, stdout=log, stderr=log,
                               start_new_session=True)
    try:
        wait_for(lambda: find_window(TITLE) is not None or process.poll() is not None, 120,
                 "the main window")
        if process.poll() is not None:
            log.seek(0)
            raise AssertionError("program ended: " + log.read()[-2000:])
        window = find_window(TITLE)
        time.sleep(2.0)
        screenshot(ARTEFACTS, "wine-main-window.png")
        xdotool("windowfocus", "--sync", str(window))
        for key in ("alt+o", "w"):
            xdotool("key", "--clearmodifiers", key)
            time.sleep(0.5)
        time.sleep(1.5)  # the confirmation box takes the keyboard focus when it appears
        xdotool("key", "Return")  # はい
        wait_for(lambda: os.path.exists(os.path.join(output, "index.html")), 60, "index.html")
        time.sleep(1.0)
        program.check_written(5)
        screenshot(ARTEFACTS, "wine-after-write-out.png")
        close_box(window)
        process.wait(timeout=30)
        saved = program.saved_settings()
        for key in (b"PrevServer=0\r\n", b"MakePageNum=5\r\n", b"PagePerSrcNum=2\r\n"):
            assert key in saved, (key, saved)
        print("PASS write-out through the menu, close box saves the settings")
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
        program.remove()


if __name__ == "__main__":
    sys.exit(main())
