#!/usr/bin/env python3
"""Fails when ARCHITECTURE.md or README.md names something the tree no longer has.

ARCHITECTURE.md: every text in backticks. One that looks like a path (it holds a slash,
starts with `*` or ends in a file extension) must be a file or folder: from the
repository's root, from src/, or, for a bare file name, anywhere in the tree (a generated
header is there as its .in template); `*`, `…` and `<placeholder>` match any run of
characters, and a program's name matches its source file. A system header is written as an
include names it, in angle brackets, and is not looked for. Any other is code: each name in
it must be a word of the code in src/ (a word only a comment holds does not count), and in
`Type::name` a word of the files that define the type.
README.md: every path under one of the repository's own folders, in backticks or not.
Lists each stale mention with its line.
"""
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TOP_FOLDERS = ("bench", "cmake", "fuzz", "resources", "scripts", "src", "tests", "tools")
EXTENSION = re.compile(r"\.(cpp|h|inc|in|md|sh|py|txt|html|cur|rc|manifest|json|ini|exe)$")
NAME = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
TREE_PATH = re.compile(r"(?<![\w/.-])(?:%s)/[^\s`'\")\]]*" % "|".join(TOP_FOLDERS))
# A placeholder in a path: <layer>, …
PLACEHOLDER = re.compile(r"<[^>]*>|…")


def tracked_files():
    out = subprocess.run(["git", "ls-files"], cwd=ROOT, check=True, capture_output=True, text=True)
    return [line for line in out.stdout.splitlines() if line]


def glob(text):
    """A pattern where '*' (or a placeholder) stands for any run of characters."""
    text = PLACEHOLDER.sub("*", text)
    return "".join(".*" if part == "*" else re.escape(part) for part in re.split(r"(\*)", text))


def exists(path, files):
    """A file or folder of the tree, or the source file a program of that name is built from."""
    pattern = re.compile("^" + glob(path.rstrip("/")) + r"(/.*|\.[a-z]+)?$")
    return any(pattern.match(f) for f in files)


def path_found(text, files, basenames):
    if "/" not in text:
        pattern = re.compile("^" + glob(text) + r"(\.in)?$")
        return any(pattern.match(b) for b in basenames)
    return exists(text, files) or exists("src/" + text, files)


def name_found(name, words):
    if "*" not in name:
        return name in words
    pattern = re.compile("^" + glob(name) + "$")
    return any(pattern.match(w) for w in words)


# A C++ comment, or a string or character literal to step over (a "//" inside a string is
# no comment).
CPP_COMMENT_OR_LITERAL = re.compile(
    r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)


def without_comments(path, text):
    """The code of a source or build file: its comments blanked, its strings kept."""
    if path.endswith("CMakeLists.txt"):
        return re.sub(r"#[^\n]*", " ", text)
    if not re.search(r"\.(cpp|h|inc|in)$", path):
        return text
    return CPP_COMMENT_OR_LITERAL.sub(
        lambda m: " " if m.group(0).startswith("/") else m.group(0), text)


def read_src(files):
    """Every word of the code in src/, and the words of the files that define each class or
    struct."""
    words, members = set(), {}
    for f in files:
        if f.startswith("src/"):
            text = (ROOT / f).read_text(encoding="utf-8", errors="replace")
            text = without_comments(f, text)
            found = set(NAME.findall(text))
            words |= found
            for name in re.findall(r"\b(?:class|struct)\s+(\w+)\s*(?:final\s*)?[:{]", text):
                members.setdefault(name, set()).update(found)
    return words, members


def missing_names(span, words, members):
    """The names of a code span that src/ lacks; in `Type::name`, the type's own files must
    have the name, so that a member renamed is not found as a word elsewhere."""
    names = re.findall(r"[A-Za-z_*][A-Za-z0-9_*]*", span)
    missing = [n for n in names if not name_found(n, words)]
    for owner, member in re.findall(r"(\w+)::(\w+)", span):
        if owner in members and member not in members[owner] and member not in missing:
            missing.append(f"{member} (in {owner})")
    return missing


def stale_in_architecture(text, files, basenames, words, members):
    for number, line in enumerate(text.splitlines(), 1):
        for span in re.findall(r"`([^`]+)`", line):
            if span.startswith("<") and span.endswith(">"):
                continue  # a system header, as an include names it
            if "/" in span or span.startswith("*") or EXTENSION.search(span):
                if not path_found(span, files, basenames):
                    yield number, span, "no such file or folder"
            else:
                missing = missing_names(span, words, members)
                if missing:
                    yield number, span, "not in src/: " + ", ".join(missing)


def stale_in_readme(text, files):
    for number, line in enumerate(text.splitlines(), 1):
        for path in TREE_PATH.findall(line):
            path = path.rstrip(".,:;")
            if "..." in path or "<" in path:
                continue
            if not exists(path, files):
                yield number, path, "no such file or folder"


def main():
    files = tracked_files()
    basenames = {f.rsplit("/", 1)[-1] for f in files}
    words, members = read_src(files)
    bad = False
    architecture = (ROOT / "ARCHITECTURE.md").read_text(encoding="utf-8")
    for number, span, why in stale_in_architecture(architecture, files, basenames, words, members):
        print(f"ARCHITECTURE.md:{number}: `{span}`: {why}", file=sys.stderr)
        bad = True
    readme = (ROOT / "README.md").read_text(encoding="utf-8")
    for number, path, why in stale_in_readme(readme, files):
        print(f"README.md:{number}: {path}: {why}", file=sys.stderr)
        bad = True
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
