"""Checks the Windows zip as a user receives it: what it holds and its
checksum; the program's version resource, manifest, imports and security
flags; and the unpacked program under Wine, which shows its usage screen and
makes one real recording.

    check_zip.py --zip PATH --version X.Y --licence LICENSE --launcher launch.exe
"""

import argparse
import calendar
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

import pefile

E2E = Path(__file__).resolve().parent.parent / "e2e"
WINE = E2E.parent / "wine.sh"  # starts a program again when Wine could not start it
sys.path.insert(0, str(E2E))

import harness  # noqa: E402  the program's texts as the end-to-end tests know them
from test_help import USAGE_LINES_2_TO_4  # noqa: E402

OPTIONS = argparse.Namespace()

RT_MANIFEST = 24
WINDOWS_DLLS = {"kernel32.dll", "msvcrt.dll", "winmm.dll"}
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # Windows 10 and 11
}
ONE_RECORDING = "test_recording.Recording.test_argument_mode_records_and_saves_under_the_argument"


def local_name(tag):
    return tag.rpartition("}")[2]


class Zip(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        cls.zip = Path(OPTIONS.zip)
        cls.top = f"tolvane-{OPTIONS.version}-win64"
        cls.dir = Path(tempfile.mkdtemp(prefix="tolvane-zip-"))
        with zipfile.ZipFile(cls.zip) as archive:
            cls.entries = archive.infolist()
            archive.extractall(cls.dir)
        cls.names = [entry.filename for entry in cls.entries]
        cls.unpacked = cls.dir / cls.top
        cls.exe = cls.unpacked / "tolvane.exe"
        cls.pe = pefile.PE(str(cls.exe))

    @classmethod
    def tearDownClass(cls):
        cls.pe.close()
        shutil.rmtree(cls.dir)

    # -- the archive ------------------------------------------------------

    def test_holds_the_program_its_licence_and_the_guide(self):
        expected = [f"{self.top}/{name}" for name in ("LICENSE", "README.txt", "tolvane.exe")]
        self.assertEqual(self.names, expected, "entries, in this order")
        unpacked = sorted(str(path.relative_to(self.dir)) for path in self.dir.rglob("*"))
        self.assertEqual(unpacked, [self.top] + expected)
        self.assertEqual((self.unpacked / "LICENSE").read_bytes(),
                         Path(OPTIONS.licence).read_bytes())

    def test_entries_carry_one_time_and_no_owner(self):
        self.assertEqual(len({entry.date_time for entry in self.entries}), 1)
        self.assertEqual([entry.extra for entry in self.entries], [b""] * len(self.entries))

    def test_checksum_file_names_the_zip_and_its_sha256(self):
        line = Path(f"{self.zip}.sha256").read_text()
        digest = hashlib.sha256(self.zip.read_bytes()).hexdigest()
        self.assertEqual(line, f"{digest}  {self.zip.name}\n")

    def test_guide_reads_in_notepad_and_quotes_the_program(self):
        guide = (self.unpacked / "README.txt").read_bytes()
        self.assertTrue(guide.isascii())
        self.assertEqual(guide.count(b"\n"), guide.count(b"\r\n"), "CR LF line ends only")
        self.assertEqual(guide.count(b"\r"), guide.count(b"\r\n"))
        for text in (
            f"tolvane {OPTIONS.version}".encode(),
            b"tolvane foo.wav",
            harness.STOP_PROMPT,
            harness.NAME_PROMPT,
            harness.RECORD_ERROR.rstrip(),
            harness.SAVE_ERROR.rstrip(),
            harness.TMP_FILE.encode(),
            str(harness.FAILURE_STATUS).encode(),
            b"An unhandled exception occurred at $",
        ):
            self.assertIn(text, guide)

    # -- the program file -------------------------------------------------

    def test_version_resource_carries_the_project_version(self):
        numbers = [int(part) for part in OPTIONS.version.split(".")]
        major, minor, patch, tweak = (numbers + [0, 0, 0, 0])[:4]
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        for high, low in ((fixed.FileVersionMS, fixed.FileVersionLS),
                          (fixed.ProductVersionMS, fixed.ProductVersionLS)):
            self.assertEqual((high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF),
                             (major, minor, patch, tweak))
        strings = {}
        for info in self.pe.FileInfo[0]:
            if info.Key == b"StringFileInfo":
                for table in info.StringTable:
                    strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
        self.assertEqual(strings.get("FileVersion"), OPTIONS.version)
        self.assertEqual(strings.get("ProductVersion"), OPTIONS.version)
        self.assertEqual(strings.get("ProductName"), "tolvane")
        self.assertEqual(strings.get("OriginalFilename"), "tolvane.exe")
        self.assertTrue(strings.get("FileDescription"))
        copyright_line = re.search(r"^Copyright .*$", Path(OPTIONS.licence).read_text(), re.M)
        self.assertIn(copyright_line.group(0), strings.get("LegalCopyright", ""))
        self.assertIn("MIT", strings.get("LegalCopyright", ""))

    def manifests(self):
        found = []
        for kind in self.pe.DIRECTORY_ENTRY_RESOURCE.entries:
            if kind.id != RT_MANIFEST:
                continue
            for name in kind.directory.entries:
                for language in name.directory.entries:
                    data = language.data.struct
                    found.append((name.id, self.pe.get_data(data.OffsetToData, data.Size)))
        return found

    def test_one_manifest_as_invoker_for_windows_7_to_11(self):
        manifests = self.manifests()
        self.assertEqual([resource_id for resource_id, _ in manifests], [1])
        root = ElementTree.fromstring(manifests[0][1])
        elements = list(root.iter())
        levels = [e.get("level") for e in elements
                  if local_name(e.tag) == "requestedExecutionLevel"]
        self.assertEqual(levels, ["asInvoker"])
        systems = {e.get("Id") for e in elements if local_name(e.tag) == "supportedOS"}
        self.assertEqual(systems, SUPPORTED_OS)
        names = {local_name(e.tag) for e in elements}
        self.assertNotIn("activeCodePage", names)
        self.assertNotIn("longPathAware", names)

    def test_imports_windows_own_dlls_only(self):
        imported = {entry.dll.decode().lower() for entry in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertEqual(imported, WINDOWS_DLLS)
        self.assertFalse(hasattr(self.pe, "DIRECTORY_ENTRY_DELAY_IMPORT"))

    def test_security_flags_and_relocations(self):
        optional = self.pe.OPTIONAL_HEADER
        self.assertTrue(optional.IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE)
        self.assertTrue(optional.IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA)
        self.assertTrue(optional.IMAGE_DLLCHARACTERISTICS_NX_COMPAT)
        # An address-independent program needs its relocations to be moved.
        self.assertFalse(self.pe.FILE_HEADER.IMAGE_FILE_RELOCS_STRIPPED)
        relocations = optional.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
        self.assertGreater(relocations.Size, 0)

    def test_stripped_and_stamped_with_the_release_time(self):
        header = self.pe.FILE_HEADER
        self.assertEqual((header.PointerToSymbolTable, header.NumberOfSymbols), (0, 0))
        sections = [section.Name.rstrip(b"\0").decode() for section in self.pe.sections]
        self.assertEqual([name for name in sections if name.startswith(("/", ".debug"))], [])
        # strip writes SOURCE_DATE_EPOCH into the header, as the packaging
        # writes it into the zip's entries (to two seconds), not the time of
        # the build.
        with zipfile.ZipFile(self.zip) as archive:
            entry_time = calendar.timegm(archive.getinfo(f"{self.top}/tolvane.exe").date_time)
        self.assertIn(header.TimeDateStamp - entry_time, (0, 1))

    # -- the unpacked program under Wine ----------------------------------

    def test_usage_screen_names_the_version(self):
        environment = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="winedbg.exe=d")
        run = subprocess.run([str(WINE), str(self.exe), "-h"], stdin=subprocess.DEVNULL,
                             capture_output=True, env=environment, timeout=120, check=False)
        first = f"tolvane {OPTIONS.version} - records the wave input to a WAV file - MIT licence"
        self.assertEqual(run.stdout, first.encode() + b"\r\n" + USAGE_LINES_2_TO_4, run.stderr)
        self.assertEqual(run.returncode, 0)

    def test_records_once(self):
        run = subprocess.run(
            [sys.executable, str(E2E / "run.py"), "--program", str(self.exe), "--target",
             "windows", "--launcher", OPTIONS.launcher, ONE_RECORDING],
            stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=240, check=False)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertIn("Ran 1 test", run.stderr)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--zip", "--version", "--licence", "--launcher"):
        parser.add_argument(option, required=True)
    parser.parse_args(namespace=OPTIONS)
    unittest.main(argv=[sys.argv[0], "-v"])


if __name__ == "__main__":
    main()
