#!/usr/bin/python3
"""A visitor of the remote folder during a publish: reads index.html and follows its links.

    publish_visitor.py REMOTE OLD NEW DONE

REMOTE is the served folder on disk, OLD and NEW the two write-outs being replaced and
published. Until the file DONE appears (the publish has ended) or two minutes pass, each
index.html read must be one of the two whole index files, and each page it links must be
whole: the bytes of the old or the new write-out's page of that name. Exits 1 at the first
broken link or short page, naming it.
"""
import os
import re
import sys
import time


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def main():
    remote, old, new, done = sys.argv[1:5]
    deadline = time.monotonic() + 120
    visits = 0
    while not os.path.exists(done) and time.monotonic() < deadline:
        index = read(os.path.join(remote, "index.html"))
        if index is None:
            time.sleep(0.02)
            continue
        if index not in (read(os.path.join(old, "index.html")), read(os.path.join(new, "index.html"))):
            print("a short or mixed index.html", file=sys.stderr)
            return 1
        for link in re.findall(rb'href=["\x27]([^"\x27#?:]+)["\x27]', index):
            name = link.decode("cp932")
            page = read(os.path.join(remote, name))
            if page is None or page not in (read(os.path.join(old, name)), read(os.path.join(new, name))):
                if read(os.path.join(remote, "index.html")) != index:
                    break  # the index was replaced meanwhile: the visitor follows the new one
                print("broken link or short page: " + name, file=sys.stderr)
                return 1
        visits += 1
        time.sleep(0.02)
    print("%d visits, every link whole" % visits)
    return 0 if visits else 1


if __name__ == "__main__":
    sys.exit(main())
