"""Fatal failures: the failure report on standard error, status 217, nothing
cleaned up, no later step run. Real faults only: a full device, a closed
pipe, a missing standard input, an immutable file or directory, a file system
filled to the last block."""

import os
import subprocess
import tempfile
from pathlib import Path

from harness import (
    OPEN,
    RECORD,
    TMP_FILE,
    TestCase,
    make_immutable,
    make_mutable,
    stop_and_name,
    windows,
)

LEFTOVER = b"an earlier run's temporary file\n"


class StandardOutputRefused(TestCase):
    """The first write, the stop prompt, fails: "Disk Full" whatever the
    system reported. The device was opened and is still recording; the
    temporary file stays."""

    def test_full_device_and_closed_pipe(self):
        for how in ("/dev/full", "closed pipe"):
            for args in (["full.wav"], []):
                with self.subTest(stdout=how, args=args):
                    if how == "closed pipe":
                        reader, writer = os.pipe()
                        os.close(reader)
                        stdout = writer
                    else:
                        stdout = how
                    try:
                        result = self.run_tolvane(*args, stdout=stdout, stdin="null")
                    finally:
                        if how == "closed pipe":
                            os.close(writer)
                    self.assertFailureReport(result, "Disk Full")
                    self.assertEqual(result.texts, [OPEN, RECORD])
                    self.assertEqual(self.files(), [TMP_FILE])


class StandardInputMissing(TestCase):
    def test_closed_descriptor(self):
        result = self.run_tolvane("in.wav", stdin="closed")
        if windows():
            # Wine still gives the program a handle for a closed descriptor 0,
            # and reading it fails with system error 1.
            self.assertFailureReport(result, "Unknown Run-Time error : 001")
        else:
            self.assertFailureReport(result, "Invalid file handle")
        self.assertEqual(result.texts, [OPEN, RECORD])
        self.assertEqual(self.files(), [TMP_FILE])

    def test_null_and_invalid_handles(self):
        if not windows():
            self.skipTest("Windows handles: the launcher starts the program with them")
        for handle in ("null", "invalid"):
            for command_line in ("tolvane.exe in.wav", "tolvane.exe"):
                with self.subTest(handle=handle, command_line=command_line):
                    result = self.run_tolvane(command_line=command_line, launch_stdin=handle)
                    self.assertFailureReport(result, "Invalid file handle")
                    self.assertEqual(result.stdout, b"hit return key to stop...")
                    self.assertEqual(result.texts, [OPEN, RECORD])
                    self.assertEqual(self.files(), [TMP_FILE])


class TemporaryFileRefused(TestCase):
    """The temporary file cannot be created: "Access denied", nothing on
    standard output, no device command, nothing changed. As root only an
    immutable file or directory refuses (under Wine a 0444 file is writable
    to root)."""

    def test_immutable_leftover_and_directory(self):
        for kind in ("immutable file", "directory"):
            for args in (["refused.wav"], []):
                with self.subTest(kind=kind, args=args):
                    tmp = Path(TMP_FILE)
                    if kind == "directory":
                        tmp.mkdir(exist_ok=True)
                    elif not tmp.exists():
                        tmp.write_bytes(LEFTOVER)
                        make_immutable(tmp)
                    result = self.run_tolvane(*args, answers=stop_and_name(b"refused.wav"))
                    self.assertFailureReport(result, "Access denied")
                    self.assertEqual(result.stdout, b"")
                    self.assertEqual(result.texts, [])
                    self.assertEqual(self.files(), [TMP_FILE])
                    if kind == "directory":
                        self.assertEqual(os.listdir(tmp), [])
                        tmp.rmdir()
                    else:
                        self.assertEqual(tmp.read_bytes(), LEFTOVER)
                        if args == []:
                            make_mutable(tmp)
                            tmp.unlink()

    def test_current_directory_refuses_new_files(self):
        make_immutable(self.dir)
        result = self.run_tolvane("nowhere.wav", answers=stop_and_name())
        make_mutable(self.dir)
        self.assertFailureReport(result, "Access denied")
        self.assertEqual(result.stdout, b"")
        self.assertEqual(result.texts, [])
        self.assertEqual(self.files(), [])


class DiskFullWhileWritingTheHeader(TestCase):
    """The current directory is on a small file system filled to its last
    block: the temporary file is created, its first byte cannot be written."""

    def setUp(self):
        super().setUp()
        self.mount = Path(tempfile.mkdtemp(prefix="tolvane-full-"))
        mounted = subprocess.run(
            ["mount", "-t", "tmpfs", "-o", "size=16k", "tmpfs", str(self.mount)],
            stderr=subprocess.PIPE,
        )
        if mounted.returncode != 0:
            self.mount.rmdir()
            self.skipTest(f"no small file system can be mounted: {mounted.stderr!r}")
        self.addCleanup(self.unmount)
        self.work = self.mount / "cwd"
        self.work.mkdir()
        filler = os.open(self.mount / "filler", os.O_WRONLY | os.O_CREAT)
        try:
            while os.write(filler, b"\0" * 4096):
                pass
        except OSError:
            pass
        finally:
            os.close(filler)
        os.chdir(self.work)

    def unmount(self):
        os.chdir(self.previous_dir)
        subprocess.run(["umount", str(self.mount)], check=True)
        self.mount.rmdir()

    def test_header_write_fails(self):
        result = self.run_tolvane("full.wav", answers=stop_and_name())
        self.assertFailureReport(result, "Disk Full")
        self.assertEqual(result.stdout, b"")
        self.assertEqual(result.texts, [])
        self.assertEqual(os.listdir(self.work), [TMP_FILE])
        self.assertLess((self.work / TMP_FILE).stat().st_size, 44)
