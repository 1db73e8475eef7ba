"""Splitting of the Windows command-line text into arguments, through a
launcher that starts the program with an exact text (Windows only: on Linux
the arguments arrive split)."""

import os

from harness import (
    CLOSE,
    NAME_PROMPT,
    OPEN,
    RECORD,
    SAVE_ERROR,
    STOP,
    STOP_PROMPT,
    TestCase,
    save,
    windows,
)

# (command-line text, name the device is sent or None for no save command,
#  file written or None, mode: "argument" or "interactive")
CASES = [
    ("tolvane.exe plain.wav", "plain.wav", "plain.wav", "argument"),
    ("tolvane.exe one.wav two.wav", "one.wav", "one.wav", "argument"),
    ('"tolvane.exe" quoted-program.wav', "quoted-program.wav", "quoted-program.wav", "argument"),
    ("  tolvane.exe \t  lead.wav  \t ", "lead.wav", "lead.wav", "argument"),
    ("tolvane.exe\x01ctl.wav\x1fnext", "ctl.wav", "ctl.wav", "argument"),
    ('tolvane.exe mid"dle qu"ote.wav', '"middle quote.wav"', "middle quote.wav", "argument"),
    ('tolvane.exe "un closed.wav', '"un closed.wav"', "un closed.wav", "argument"),
    ('tolvane.exe "a"" b.wav"', '"a b.wav"', "a b.wav", "argument"),
    ('tolvane.exe sub\\"in sub.wav"', '"sub\\in sub.wav"', "sub/in sub.wav", "argument"),
    ('tolvane.exe ""', None, None, "argument"),
    ('tolvane.exe "" after.wav', None, None, "argument"),
    ("tolvane.exe", None, None, "interactive"),
    ("tolvane.exe \t ", None, None, "interactive"),
]


class CommandLine(TestCase):
    def setUp(self):
        if not windows():
            self.skipTest("exact command lines exist on Windows only")
        super().setUp()

    def test_splitting(self):
        for command_line, sent, written, mode in CASES:
            with self.subTest(command_line=command_line):
                for root, dirs, files in os.walk(self.dir, topdown=False):
                    for name in files:
                        os.remove(os.path.join(root, name))
                    for name in dirs:
                        os.rmdir(os.path.join(root, name))
                os.mkdir("sub")
                result = self.run_tolvane(command_line=command_line, stdin="null")
                prompts = STOP_PROMPT + (NAME_PROMPT if mode == "interactive" else b"")
                if sent is None:
                    self.assertEqual(result.stdout, prompts + SAVE_ERROR)
                    self.assertEqual(result.texts, [OPEN, RECORD, STOP, CLOSE])
                    self.assertEndAfterRecording(result, ["sub"])
                else:
                    self.assertEqual(result.stdout, prompts)
                    self.assertEqual(result.texts, [OPEN, RECORD, STOP, save(sent), CLOSE])
                    self.assertRecording(written, audible=False)
                    top = written.split("/")[0]
                    self.assertEndAfterRecording(result, sorted({"sub", top}))
