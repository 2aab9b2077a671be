#!/usr/bin/python3
"""Starts the real program in a window on the X display, drives it through its menus with
the keyboard as a user would, and checks what it writes.

Usage: real_window_test.py <VornackBuilder executable> <resources folder> <artefact folder>
                          <version as the caption shows it>
Needs DISPLAY (the test command runs the tests under xvfb-run), xdotool and python3-xlib.
"""
import os
import signal
import subprocess
import sys
import time

from Xlib import display, error

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from x_window import close_box, cp932, find_windows, screenshot, wait_for, xdotool  # noqa: E402
from program_folder import ProgramFolder  # noqa: E402

EXE, RESOURCES, ARTEFACTS, VERSION = sys.argv[1:5]
TITLE = "ＺＵＮＤヴォルナックビルダー v" + VERSION


def top_level(ids):
    """The window among ids whose parent is the root window: the one the close box is on."""
    d = display.Display()
    try:
        root = d.screen().root.id
        for i in ids:
            try:
                if d.create_resource_object("window", i).query_tree().parent.id == root:
                    return i
            except error.BadWindow:
                continue  # gone since the search: the program makes short-lived windows
        return ids[0] if ids else None
    finally:
        d.close()


def find_window(name):
    return top_level(find_windows(name))


class BusyProcessors:
    """Keeps two processes spinning beside the program, as on a machine at work."""

    def __enter__(self):
        self.spinners = [subprocess.Popen(["sh", "-c", "while :; do :; done"]) for _ in range(2)]
        return self

    def __exit__(self, *exc):
        for spinner in self.spinners:
            spinner.kill()
            spinner.wait()


class Program(ProgramFolder):
    """The program started in a program folder of its own, the settings asking for pages."""

    def __init__(self, pages, close_at_first_sight=False):
        super().__init__(EXE, RESOURCES, pages)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
        self.log = open(os.path.join(self.folder, "stderr.log"), "w+")
        # A session of its own, so that kill() also ends the browser's helper processes:
        # left behind, they would keep the test's output open and hold up the test run.
        self.process = subprocess.Popen([os.path.join(self.folder, "VornackBuilder")], env=env,
                                        stderr=self.log, start_new_session=True)
        if close_at_first_sight:
            # As soon as the window shows, while it still loads its settings.
            wait_for(lambda: self.first_window() is not None or self.process.poll() is not None,
                     60, "the window to show")
            self.window = self.first_window()
            close_box(self.window)
            return
        try:
            wait_for(lambda: find_window(TITLE) is not None or self.process.poll() is not None,
                     60, "the main window")
        except AssertionError:
            self.log.seek(0)
            raise AssertionError("no window; program said: " + self.log.read()[-2000:])
        if self.process.poll() is not None:
            self.log.seek(0)
            raise AssertionError("program ended with %s: %s" % (self.process.returncode,
                                                                self.log.read()[-2000:]))
        self.window = find_window(TITLE)
        time.sleep(1.0)

    def first_window(self):
        ids = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                              str(self.process.pid), "--class", "VornackBuilder"],
                             capture_output=True, text=True).stdout.split()
        return int(ids[0]) if ids else None

    def keys(self, *keys):
        xdotool("windowfocus", "--sync", str(self.window))
        for key in keys:
            xdotool("key", "--clearmodifiers", key)
            time.sleep(0.3)

    def answer_box(self, key):
        # The box is modal; it takes the keyboard focus when it appears.
        time.sleep(1.0)
        xdotool("key", key)
        time.sleep(0.5)

    def screenshot(self, name):
        screenshot(ARTEFACTS, name)

    def wait_exit(self):
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.screenshot("still-running.png")
            raise

    def kill(self):
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        self.remove()


def test_write_out_through_the_menu_and_close_box():
    p = Program(5)
    try:
        p.screenshot("main-window.png")
        p.keys("alt+o", "w")
        p.answer_box("Return")  # はい to the confirmation
        wait_for(lambda: os.path.exists(os.path.join(p.output, "index.html")), 30, "index.html")
        p.check_written(5)
        p.screenshot("after-write-out.png")
        close_box(p.window)
        p.wait_exit()
        saved = p.saved_settings()
        for key in (b"PrevServer=0\r\n", b"PrevTitle=0\r\n", b"MakePageNum=5\r\n",
                    b"PagePerSrcNum=2\r\n"):
            assert key in saved, (key, saved)
    finally:
        p.kill()


def test_refused_job_leaves_the_output_folder_and_exit_saves_the_same():
    # 終了 through the menu, with the machine busy.
    with BusyProcessors():
        p = Program("10 pages")
        try:
            marker = os.path.join(p.output, "keep.txt")
            with open(marker, "w") as f:
                f.write("keep")
            p.keys("alt+o", "w")
            p.answer_box("Return")  # OK to "作成ページ数が、よくねぇよ？"
            assert os.listdir(p.output) == ["keep.txt"], os.listdir(p.output)
            p.keys("alt+o", "x")  # 終了
            p.wait_exit()
            assert cp932("MakePageNum=10 pages\n") in p.saved_settings()
        finally:
            p.kill()


def test_close_at_start_up_waits_for_the_settings_and_saves_them():
    """A close that comes while the window loads its settings waits for them, then saves them
    (not the empty fields), however busy the machine."""
    with BusyProcessors():
        for attempt in range(3):
            p = Program(7, close_at_first_sight=True)
            try:
                p.wait_exit()
                saved = p.saved_settings()
                for key in (b"Server1=sample.example user password\r\n", b"MakePageNum=7\r\n",
                            b"PagePerSrcNum=2\r\n"):
                    assert key in saved, (attempt, key, saved)
            finally:
                p.kill()


def test_close_during_a_write_out_closes_after_it():
    with BusyProcessors():
        for attempt in range(2):
            p = Program(3000)
            try:
                p.keys("alt+o", "w")
                p.answer_box("Return")  # はい to the confirmation
                wait_for(lambda: os.path.isdir(p.output) and len(os.listdir(p.output)) >= 50, 60,
                         "the first pages")
                close_box(p.window)
                p.wait_exit()
                assert os.path.exists(os.path.join(p.output, "index.html")), attempt
                assert len(os.listdir(p.output)) == 3001, (attempt, len(os.listdir(p.output)))
                assert b"MakePageNum=3000\r\n" in p.saved_settings(), attempt
            finally:
                p.kill()


def test_termination_signal_closes_the_same_way_and_saves():
    with BusyProcessors():
        p = Program(33)
        try:
            os.remove(p.ini)  # the save must write the fields back, even into a new file
            p.process.send_signal(signal.SIGTERM)
            p.wait_exit()
            assert p.process.returncode == 0, p.process.returncode
            saved = p.saved_settings()
            assert saved.startswith(b"[Setting]\r\nPrevServer=0\r\nPrevTitle=0\r\n"), saved
            assert b"MakePageNum=33\r\n" in saved, saved
        finally:
            p.kill()


def main():
    # An X server resets itself whenever its last client leaves; between two programs and
    # the many short xdotool connections that would happen at random moments. Holding one
    # connection for the whole run keeps the server as it is.
    keep_server = display.Display()
    failures = 0
    for name, test in sorted(globals().items()):
        if name.startswith("test_") and callable(test):
            try:
                test()
                print("PASS", name)
            except Exception as e:  # report every test, then fail
                failures += 1
                print("FAIL", name, repr(e))
    keep_server.close()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
