#!/usr/bin/python3
"""The window's ｻｰﾊﾞｰへ公開 under Wine, by keyboard: a write-out through 操作 > 書き出し, then
操作 > ｻｰﾊﾞｰへ公開 to the test FTP server on 127.0.0.1 (plain FTP: Wine's Schannel cannot
list over FTPS, see the read-me), and the remote folder holds the output folder's files byte
for byte beside the user's own file, which stays. A screenshot is kept in the artefacts.

Usage: wine_window_publish.py <VornackBuilder.exe> <resources folder> <Wine prefix>
                              <artefact folder> <ftp_server.py>
Needs DISPLAY (run it under with_display.sh), Wine, xdotool and python3-xlib.
"""
import filecmp
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from x_window import close_box, cp932, find_windows, screenshot, wait_for, xdotool  # noqa: E402
from program_folder import ProgramFolder  # noqa: E402

EXE, RESOURCES, PREFIX, ARTEFACTS, SERVER = (os.path.abspath(a) for a in sys.argv[1:6])
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                        "wine_run.sh")
TITLE = "ＺＵＮＤヴォルナックビルダー v"
PAGES = 40


def menu(key):
    for k in ("alt+o", key):
        xdotool("key", "--clearmodifiers", k)
        time.sleep(0.5)


def main():
    server = subprocess.Popen(["/usr/bin/python3", SERVER, "--tls", "none"], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True)
    _, port, _, root = server.stdout.readline().split()
    remote = os.path.join(root, "公開")
    os.mkdir(remote)
    with open(os.path.join(remote, "robots.txt"), "w") as f:
        f.write("the user's own\n")
    program = ProgramFolder(EXE, RESOURCES, PAGES, "ソース", lambda p: "Z:" + p.replace("/", "\\"))
    settings = program.saved_settings().replace(b"Server1=sample.example user password",
                                                b"Server1=127.0.0.1 user secret")
    settings += cp932("[Publish 127.0.0.1]\nProtocol=ftp\nPort=%s\nFolder=/公開\n" % port)
    with open(program.ini, "wb") as f:
        f.write(settings)
    output = os.path.join(program.folder, "local", "127.0.0.1")
    env = dict(os.environ, WINEPREFIX=PREFIX)
    subprocess.run(["wineserver", "-w"], env=env, capture_output=True, timeout=60)
    log = open(os.path.join(program.folder, "wine.log"), "w+")
    process = subprocess.Popen([WINE_RUN, os.path.join(program.folder, "VornackBuilder.exe")],
                               env=env, stdout=log, stderr=log, start_new_session=True)
    try:
        wait_for(lambda: find_windows(TITLE) or process.poll() is not None, 120, "the window")
        window = find_windows(TITLE)[0]
        time.sleep(2.0)
        xdotool("windowfocus", "--sync", str(window))
        menu("w")
        time.sleep(1.5)  # the confirmation box takes the keyboard focus when it appears
        xdotool("key", "Return")  # はい
        wait_for(lambda: os.path.exists(os.path.join(output, "index.html")), 120, "index.html")
        time.sleep(1.0)
        menu("p")
        published = os.path.join(remote, "index.html")
        wait_for(lambda: os.path.exists(published) and filecmp.cmp(
            published, os.path.join(output, "index.html"), shallow=False), 120, "the publish")
        time.sleep(2.0)  # the deletions and the log's last line come after the index
        screenshot(ARTEFACTS, "wine-after-publish.png")
        names = sorted(os.listdir(output))
        assert len(names) == PAGES + 1, names
        assert sorted(os.listdir(remote)) == sorted(names + ["robots.txt"]), os.listdir(remote)
        _, differ, errors = filecmp.cmpfiles(output, remote, names, shallow=False)
        assert not differ and not errors, (differ, errors)
        print("PASS the menu's publish put the %d files on the server, robots.txt kept"
              % len(names))
        close_box(window)
        process.wait(timeout=30)
        return 0
    except Exception as e:
        print("FAIL", repr(e))
        try:
            screenshot(ARTEFACTS, "wine-publish-failure.png")
        except Exception:
            pass
        log.seek(0)
        print(log.read()[-3000:])
        return 1
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
            subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        server.stdin.close()
        server.wait(timeout=10)
        program.remove()


if __name__ == "__main__":
    sys.exit(main())
