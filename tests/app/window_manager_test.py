#!/usr/bin/python3
"""Under a real window manager, xfwm4, a close during a long write-out's page loop makes it
ping the window; a window that does not answer gets its "not responding" box after about three
seconds. The window answers (as it does a ping of our own within 1 s), and closes after the run.

Arguments as real_window_test.py's. Needs a DISPLAY with no window manager, xfwm4 and
dbus-run-session (xfwm4 reads its settings over D-Bus and does not start without it).
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, protocol

from real_window_test import BusyProcessors, Program, wait_for  # puts support/ on the path
import program_folder  # noqa: E402

# Forty sources a page, so that on an idle machine too the page loop outlasts the seconds
# xfwm4 waits (at ten, a quiet machine wrote the hundred thousand pages in two), written to
# memory: on a busy disk, removing a hundred thousand pages afterwards takes minutes.
tempfile.tempdir = "/dev/shm" if os.path.isdir("/dev/shm") else None
program_folder.SETTINGS = program_folder.SETTINGS.replace("PagePerSrcNum=2", "PagePerSrcNum=40")


def answered_ping(d, window, stamp):
    """Sends the window manager's ping to window and waits up to 1 s for its answer."""
    d.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)  # where answers go
    protocols, ping = d.intern_atom("WM_PROTOCOLS"), d.intern_atom("_NET_WM_PING")
    w = d.create_resource_object("window", window)
    w.send_event(protocol.event.ClientMessage(window=w, client_type=protocols,
                                              data=(32, [ping, stamp, window, 0, 0])))
    d.sync()
    end = time.time() + 1.0
    while time.time() < end:
        while d.pending_events():
            e = d.next_event()
            if e.type == X.ClientMessage and list(e.data[1][:2]) == [ping, stamp]:
                return True
        time.sleep(0.02)
    return False


def main():
    d = display.Display()  # also keeps the X server from resetting between the clients
    root = d.screen().root
    unmanaged = set(root.list_properties())
    wm = subprocess.Popen(["dbus-run-session", "--", "xfwm4", "--compositor=off",
                           "--sm-client-disable"], env=dict(os.environ, NO_AT_BRIDGE="1"),
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          start_new_session=True)  # ends with its D-Bus and settings daemons
    p = None
    try:
        check = d.intern_atom("_NET_SUPPORTING_WM_CHECK")
        wait_for(lambda: root.get_full_property(check, X.AnyPropertyType), 30, "xfwm4")
        p = Program(100000)
        p.keys("alt+o", "w")
        with BusyProcessors():  # the page loop slowed as on a machine at work, to last the watch
            p.answer_box("Return")  # はい to the confirmation
            wait_for(lambda: os.path.isdir(p.output) and len(os.listdir(p.output)) >= 50, 60,
                     "the first pages")
            window = d.create_resource_object("window", p.window)
            close = protocol.event.ClientMessage(window=window,
                                                 client_type=d.intern_atom("_NET_CLOSE_WINDOW"),
                                                 data=(32, [X.CurrentTime, 2, 0, 0, 0]))
            root.send_event(close, X.SubstructureRedirectMask | X.SubstructureNotifyMask)
            assert answered_ping(d, p.window, 12345), "no answer to a ping within 1 s"
            start = time.time()  # without answers, xfwm4's box shows 3 to 4 s after the close
            while p.process.poll() is None and time.time() < start + 6:
                boxes = subprocess.run(["xdotool", "search", "--onlyvisible", "--class",
                                        "helper-dialog"], capture_output=True, text=True).stdout
                assert not boxes.split(), "xfwm4 took the window for hung"
                time.sleep(0.2)
            assert time.time() - start >= 4, "the run ended before xfwm4 would have given up"
        p.process.wait(timeout=300)  # the close, after the run
        assert p.process.returncode == 0 and len(os.listdir(p.output)) == 100001
        assert b"MakePageNum=100000\r\n" in p.saved_settings()
        print("PASS window_manager_finds_the_window_alive")
        return 0
    finally:
        if p:
            p.kill()
        os.killpg(wm.pid, signal.SIGKILL)
        wm.wait()
        # The window manager's notes on the root window (what it supports, the active window)
        # would outlive it and mislead the programs of later tests on this display.
        for left in set(root.list_properties()) - unmanaged:
            root.delete_property(left)
        d.close()


if __name__ == "__main__":
    sys.exit(main())
