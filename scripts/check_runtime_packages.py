#!/usr/bin/python3
"""Checks that the README's runtime line for the Linux release names enough: every shared
library the program loads (as ldd resolves them here) belongs to one of the packages the line
installs, or to a package they depend on (Depends and Pre-Depends, followed through the
installed packages, as apt would follow them on a fresh system).

Usage: check_runtime_packages.py README.md <VornackBuilder>
Prints the missing packages and exits 1 when the line is not enough."""
import re
import subprocess
import sys

LINE = re.compile(r"^\s*sudo apt-get install (.+)$")


def runtime_line(readme):
    with open(readme, encoding="utf-8") as f:
        for line in f:
            m = LINE.match(line)
            if m:
                return [p for p in m.group(1).split() if not p.startswith("-")]
    raise SystemExit("no 'sudo apt-get install' line in " + readme)


def installed_relations():
    """For each installed package: the alternatives of each of its dependencies, and the
    virtual packages it provides."""
    out = subprocess.run(
        ["dpkg-query", "-W", "-f=${db:Status-Status}\t${Package}\t${Pre-Depends}, ${Depends}\t${Provides}\n"],
        capture_output=True, text=True, check=True).stdout
    depends, providers = {}, {}
    for row in out.splitlines():
        status, name, deps, provides = row.split("\t")
        if status != "installed":
            continue
        groups = []
        for group in deps.split(","):
            names = [re.sub(r"[\s(].*|:any$", "", alt.strip()) for alt in group.split("|")]
            names = [n for n in names if n]
            if names:
                groups.append(names)
        depends[name] = groups
        for p in provides.split(","):
            p = re.sub(r"[\s(].*", "", p.strip())
            if p:
                providers.setdefault(p, []).append(name)
    return depends, providers


def closure(roots, depends, providers):
    seen, todo = set(), list(roots)
    while todo:
        name = todo.pop()
        real = [name] if name in depends else providers.get(name, [])
        for pkg in real:
            if pkg in seen:
                continue
            seen.add(pkg)
            for alternatives in depends[pkg]:
                present = [a for a in alternatives if a in depends or a in providers]
                todo.extend(present[:1])
    return seen


def loaded_packages(program):
    """The package of each library ldd resolves (None where no package holds it). A library
    is looked up under each name it has: as ldd names it, its real path, and that path
    without /usr (dpkg knows many files under /lib only, /lib being /usr/lib)."""
    ldd = subprocess.run(["ldd", program], capture_output=True, text=True, check=True).stdout
    libs = sorted({m.group(1) for m in re.finditer(r"=> (/\S+)", ldd)})
    real = subprocess.run(["readlink", "-f", *libs], capture_output=True, text=True,
                          check=True).stdout.split()
    names = {lib: [lib, path, re.sub(r"^/usr", "", path)] for lib, path in zip(libs, real)}
    # dpkg -S names the package of each path it knows ("package:arch: path").
    query = sorted({n for candidates in names.values() for n in candidates})
    owners = subprocess.run(["dpkg", "-S", *query], capture_output=True, text=True).stdout
    packages = {}
    for line in owners.splitlines():
        package, path = line.split(": ", 1)
        packages[path] = package.split(":")[0].split(",")[0]
    return {lib: next((packages[n] for n in candidates if n in packages), None)
            for lib, candidates in names.items()}


def main():
    readme, program = sys.argv[1:3]
    depends, providers = installed_relations()
    named = runtime_line(readme)
    unknown = [p for p in named if p not in depends]
    if unknown:
        print("the runtime line names packages not installed here:", " ".join(unknown))
        return 1
    covered = closure(named, depends, providers)
    missing = sorted({f"{pkg} ({lib})" for lib, pkg in loaded_packages(program).items()
                      if pkg is None or pkg not in covered})
    if missing:
        print("libraries the runtime line does not bring:", *missing, sep="\n  ")
        return 1
    print("runtime line covers every library:", " ".join(named))
    return 0


if __name__ == "__main__":
    sys.exit(main())
