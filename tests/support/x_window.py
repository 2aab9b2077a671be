"""What the window tests share: waiting, keys and searches through xdotool, the close box as
a window manager sends it, and screenshots of the whole display."""
import os
import subprocess
import time

from Xlib import X, display, protocol


def cp932(text):
    return text.replace("\n", "\r\n").encode("cp932")


def wait_for(predicate, seconds=30, what="condition"):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True,
                          text=True).stdout.strip()


def find_windows(name):
    out = subprocess.run(["xdotool", "search", "--name", name], capture_output=True, text=True)
    return [int(i) for i in out.stdout.split()]


def close_box(window_id):
    """Sends WM_DELETE_WINDOW, as the close box of a window manager does."""
    d = display.Display()
    w = d.create_resource_object("window", window_id)
    wm_protocols = d.intern_atom("WM_PROTOCOLS")
    wm_delete = d.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=w, client_type=wm_protocols,
                                         data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
    w.send_event(event, event_mask=X.NoEventMask)
    # A round trip before closing: the X server discards the requests it has not yet read
    # from a connection that is closed, so on a busy machine a close sent with a mere flush
    # often never reaches any window (about a third of them, with two busy processes).
    d.sync()
    d.close()


def screenshot(folder, name):
    os.makedirs(folder, exist_ok=True)
    subprocess.run(["import", "-window", "root", os.path.join(folder, name)], check=True)
