"""Checks the Debian package as a user receives it: Debian's own checker
accepts it, it holds what it should with the dependencies the program needs,
and its contents unpacked with dpkg-deb run and read: the program shows its
usage screen and the man page renders without a warning.

    check_deb.py --build-dir DIR --version X.Y

The package is DIR/tolvane_<version>_<architecture>.deb, the architecture
being dpkg's.
"""

import argparse
import gzip
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

E2E = Path(__file__).resolve().parent.parent / "e2e"
sys.path.insert(0, str(E2E))

import harness  # noqa: E402  the program's texts as the end-to-end tests know them
from test_help import USAGE_LINES_2_TO_4  # noqa: E402

OPTIONS = argparse.Namespace()

CONTENTS = [
    "./usr/",
    "./usr/bin/",
    "./usr/bin/tolvane",
    "./usr/share/",
    "./usr/share/doc/",
    "./usr/share/doc/tolvane/",
    "./usr/share/doc/tolvane/changelog.gz",
    "./usr/share/doc/tolvane/copyright",
    "./usr/share/man/",
    "./usr/share/man/man1/",
    "./usr/share/man/man1/tolvane.1.gz",
]


def dpkg_deb(*args):
    return subprocess.run(["dpkg-deb", *args], capture_output=True, text=True, check=True).stdout


class Deb(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        architecture = subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                                      text=True, check=True).stdout.strip()
        cls.deb = Path(OPTIONS.build_dir) / f"tolvane_{OPTIONS.version}_{architecture}.deb"
        cls.dir = Path(tempfile.mkdtemp(prefix="tolvane-deb-"))
        dpkg_deb("-x", str(cls.deb), str(cls.dir))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def test_lintian_finds_nothing(self):
        # Infos count too: the hardening tags (fortify, bindnow) are infos.
        run = subprocess.run(
            ["lintian", "--fail-on", "error,warning,info", "--display-info", "--pedantic",
             str(self.deb)],
            capture_output=True, text=True, check=False)
        print(f"\nlintian {self.deb.name}: status {run.returncode}\n{run.stdout}", end="")
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)

    def test_contents_and_fields(self):
        listing = [line.split()[-1] for line in dpkg_deb("--contents", str(self.deb)).splitlines()]
        self.assertEqual(listing, CONTENTS)
        field = lambda name: dpkg_deb("--field", str(self.deb), name).strip()  # noqa: E731
        self.assertEqual(field("Package"), "tolvane")
        self.assertEqual(field("Version"), OPTIONS.version)
        # What dpkg-shlibdeps found the program linked against, with the
        # lowest versions its symbols need.
        depends = {
            part.strip().split(" ")[0]: part.strip() for part in field("Depends").split(",")
        }
        self.assertEqual(set(depends), {"libasound2", "libc6"})
        for package in depends.values():
            self.assertRegex(package, r"^\S+ \(>= [0-9][^)]*\)$")

    def test_changelog_names_this_version_first(self):
        changelog = gzip.decompress((self.dir / "usr/share/doc/tolvane/changelog.gz").read_bytes())
        first = changelog.decode().splitlines()[0]
        self.assertRegex(first, rf"^tolvane \({re.escape(OPTIONS.version)}\) ")

    def test_checksum_file_names_the_package_and_its_sha256(self):
        line = Path(f"{self.deb}.sha256").read_text()
        digest = hashlib.sha256(self.deb.read_bytes()).hexdigest()
        self.assertEqual(line, f"{digest}  {self.deb.name}\n")

    def test_unpacked_program_shows_its_usage_screen(self):
        run = subprocess.run([str(self.dir / "usr/bin/tolvane"), "-h"], stdin=subprocess.DEVNULL,
                             capture_output=True, timeout=60, check=False)
        first = f"tolvane {OPTIONS.version} - records the wave input to a WAV file - MIT licence"
        self.assertEqual(run.stdout, first.encode() + b"\r\n" + USAGE_LINES_2_TO_4, run.stderr)
        self.assertEqual(run.stderr, b"")
        self.assertEqual(run.returncode, 0)

    def test_man_page_renders_without_warnings(self):
        page = self.dir / "usr/share/man/man1/tolvane.1.gz"
        environment = dict(os.environ, LC_ALL="C.UTF-8", MANROFFSEQ="", MANWIDTH="80")
        run = subprocess.run(
            ["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", str(page)],
            capture_output=True, env=environment, timeout=60, check=False)
        self.assertEqual(run.stderr, b"")
        self.assertEqual(run.returncode, 0)
        text = subprocess.run(["man", "-l", str(page)], capture_output=True, text=True,
                              env=environment, check=True).stdout
        self.assertIn(f"tolvane {OPTIONS.version}", text)
        for section in ("SYNOPSIS", "DIALOGUE", "EXIT STATUS", "FILES", "DIAGNOSTICS"):
            self.assertIn(f"\n{section}\n", text)
        # The program's own texts, as it writes them.
        source = gzip.decompress(page.read_bytes())
        for quoted in (
            harness.TMP_FILE.encode(),
            harness.RECORD_ERROR.rstrip(),
            harness.SAVE_ERROR.rstrip(),
            b"hit return key to stop...output file name :",
            str(harness.FAILURE_STATUS).encode(),
            b"An unhandled exception occurred at $",
        ):
            self.assertIn(quoted, source)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--version", required=True)
    parser.parse_args(namespace=OPTIONS)
    unittest.main(argv=[sys.argv[0], "-v"])


if __name__ == "__main__":
    main()
