#!/usr/bin/env python3
"""The settings load of a command-line run, timed for settings files of many servers.

    settings_load.py PROGRAM [--counts 1000,10000] [--repeat 5]

For each count a program folder gets a settings file of that many servers and as many
titles (cp932, CR LF), and the real program runs a command-line write-out that loads the
settings and is then refused (--server for a server the file does not list, status 2):
nothing but the load and the refusal. Prints the best of the repeats for each count and the
ratio of the largest count to the smallest; exit 1 when the largest takes more than 0.3 s or
more than 12 times the smallest times count ratio / 10.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time


def settings_file(count):
    lines = ["[Setting]"]
    lines += [f"Server{n}=host{n}.example user{n} pass{n}" for n in range(1, count + 1)]
    lines += ["PrevServer=0"]
    lines += [f"Title{n}=題名 {n}" for n in range(1, count + 1)]
    lines += ["PrevTitle=0", "SrcPath=src", "MakePageNum=10", "PagePerSrcNum=1"]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def time_load(program, folder, count, repeat):
    with open(os.path.join(folder, "VornackBuilder.ini"), "wb") as f:
        f.write(settings_file(count))
    best = None
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    for _ in range(repeat):
        start = time.perf_counter()
        done = subprocess.run(["./VornackBuilder", "--write-out", "--server", "nope"], cwd=folder,
                              env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        elapsed = time.perf_counter() - start
        if done.returncode != 2:
            sys.exit(f"{count} servers: status {done.returncode}, not 2")
        best = elapsed if best is None else min(best, elapsed)
    return best


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--counts", default="1000,10000")
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()
    counts = [int(c) for c in args.counts.split(",")]
    folder = tempfile.mkdtemp(prefix="vb-settings-bench-")
    try:
        shutil.copy(args.program, os.path.join(folder, "VornackBuilder"))
        os.makedirs(os.path.join(folder, "src"))
        os.makedirs(os.path.join(folder, "local"))
        times = {c: time_load(args.program, folder, c, args.repeat) for c in counts}
    finally:
        shutil.rmtree(folder)
    for count, seconds in times.items():
        print(f"{count:>7} servers + {count} titles: {seconds:.3f} s")
    small, large = min(counts), max(counts)
    ratio = times[large] / times[small]
    print(f"{large} / {small}: {ratio:.1f} x")
    if times[large] > 0.3 or ratio > 12 * (large / small) / 10:
        sys.exit("over the bound: 0.3 s, and 12 x for ten times the servers")


if __name__ == "__main__":
    main()
