"""Help switches in the first argument and the usage screen."""

import os

from harness import (
    CLOSE,
    OPEN,
    RECORD,
    STOP,
    STOP_PROMPT,
    TMP_FILE,
    TestCase,
    save,
)

USAGE_LINES_2_TO_4 = (
    b"tolvane - waveaudio recording (88.2kHz/stereo/24bit)\r\n"
    b"  usage (1) : tolvane\r\n"
    b"  usage (2) : tolvane foo.wav"
)

SHOWS_USAGE = [
    ["-h"], ["/h"], ["-H"], ["/H"], ["-?"], ["/?"],
    ["-help"], ["--help"], ["-Help"], ["/help"], ["/HELP"],
    ["take-home.wav"], ["C:/home/a.wav"], ["x-?.wav"], ["D:/Music/Hits.wav"], ["rec-HQ.wav"],
    ["-h", "out.wav"],
]

# Taken as output file names: the program records.
RECORDS = [
    ["C:\\home\\a.wav"], ["-x"], ["h"], ["H"], ["?"], ["help"], ["- h"], ["\\?"], ["-"],
    ["out.wav", "-h"],
]


class UsageScreen(TestCase):
    def assertUsage(self, stdout):
        line1, rest = stdout.split(b"\r\n", 1)
        self.assertRegex(line1, rb"\A[\x20-\x7e]+\Z", "line 1: one non-empty ASCII line")
        self.assertEqual(rest, USAGE_LINES_2_TO_4)

    def test_switches_show_the_screen(self):
        for args in SHOWS_USAGE:
            with self.subTest(args=args):
                reader, writer = os.pipe()
                os.write(writer, b"unread\n")
                try:
                    result = self.run_tolvane(*args, stdin=reader)
                    os.close(writer)
                    left = os.read(reader, 100)
                finally:
                    os.close(reader)
                self.assertUsage(result.stdout)
                self.assertEqual(result.stdout[-1:], b"v")
                self.assertEqual(result.status, 0)
                self.assertEqual(result.stderr, b"")
                self.assertEqual(result.texts, [], "no device command")
                self.assertEqual(self.files(), [], "no temporary file")
                self.assertEqual(left, b"unread\n", "standard input is not read")

    def test_near_misses_record(self):
        for args in RECORDS:
            with self.subTest(args=args):
                for name in self.files():
                    os.remove(name)
                result = self.run_tolvane(*args, stdin="null")
                self.assertEqual(result.stdout[: len(STOP_PROMPT)], STOP_PROMPT)
                name = args[0]
                quoted = f'"{name}"' if " " in name else name
                self.assertEqual(result.texts, [OPEN, RECORD, STOP, save(quoted), CLOSE])
        self.assertTrue(os.path.exists("out.wav"), "out.wav -h records into out.wav")

    def test_full_standard_output(self):
        result = self.run_tolvane("-h", stdout="/dev/full", stdin="null")
        self.assertFailureReport(result, "Disk Full")
        self.assertEqual(result.texts, [])
        self.assertNotIn(TMP_FILE, self.files())
