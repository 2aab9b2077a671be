"""What the real-window tests of both editions share besides the display: a program folder of
their own, laid out as the package lays it out, with a settings file, and the checks of what
a write-out through the menu left in it."""
import os
import shutil
import tempfile

from x_window import cp932

SETTINGS = """[Setting]
Server1=sample.example user password
PrevServer=0
Title1=テストのページ
PrevTitle=0
SrcPath=@SRC@
MakePageNum=@PAGES@
PagePerSrcNum=2
"""


class ProgramFolder:
    """A new folder holding a copy of the executable, template.html, ReadMe.txt, an empty
    local/ and the sample sources in a folder of the given name, with a settings file that
    names the sources (their path as the program sees it: seen_as) and the page count.
    With longer_than, the sources lie in folders nested until that path is longer than so
    many characters, as a user's documents with Japanese names make it."""

    def __init__(self, exe, resources, pages, sources_name="sources", seen_as=lambda p: p,
                 longer_than=0):
        self.folder = tempfile.mkdtemp(prefix="vb-window-")
        shutil.copy(exe, self.folder)
        for name in ("template.html", "ReadMe.txt"):
            shutil.copy(os.path.join(resources, name), self.folder)
        os.mkdir(os.path.join(self.folder, "local"))
        self.sources = os.path.join(self.folder, sources_name)
        while len(seen_as(self.sources)) <= longer_than:
            self.sources = os.path.join(self.sources, "とても長いフォルダの名前とても長いフォルダの名前")
        shutil.copytree(os.path.join(resources, "samples"), self.sources)
        self.ini = os.path.join(self.folder, "VornackBuilder.ini")
        settings = SETTINGS.replace("@SRC@", seen_as(self.sources)).replace("@PAGES@", str(pages))
        with open(self.ini, "wb") as f:
            f.write(cp932(settings))
        self.output = os.path.join(self.folder, "local", "sample.example")

    def saved_settings(self):
        with open(self.ini, "rb") as f:
            return f.read()

    def check_written(self, count):
        """count pages with the settings' title, without byte-order mark, and an index that
        links each of them."""
        pages = sorted(n for n in os.listdir(self.output) if n != "index.html")
        assert len(pages) == count, pages
        for name in pages:
            assert name.startswith("vor") and name.endswith(".html") and len(name) == 13, name
            with open(os.path.join(self.output, name), "rb") as f:
                page = f.read()
            assert cp932("<title>テストのページ</title>") in page, name
            assert not page.startswith(b"\xef\xbb\xbf"), name
        with open(os.path.join(self.output, "index.html"), "rb") as f:
            index = f.read()
        for name in pages:
            assert ("<a href='%s'>" % name).encode() in index, name

    def remove(self):
        shutil.rmtree(self.folder, ignore_errors=True)
