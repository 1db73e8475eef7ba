"""The two device failures the program reports: record and save."""

import os

from harness import (
    CLOSE,
    NAME_PROMPT,
    OPEN,
    RECORD,
    RECORD_ERROR,
    SAVE_ERROR,
    STOP,
    STOP_PROMPT,
    TestCase,
    save,
    stop_and_name,
)

# The result of a save into a missing directory, from both devices.
FILE_NOT_FOUND = 275


def results(result):
    return [command.result for command in result.commands]


class RecordFailure(TestCase):
    """The device cannot record (Wine: its waveaudio driver disabled;
    natively: an ALSA configuration without a default device)."""

    def test_both_modes(self):
        for args in (["never.wav"], []):
            with self.subTest(args=args):
                result = self.run_tolvane(*args, answers=stop_and_name(b"never.wav"),
                                          record_fails=True)
                self.assertEqual(result.stdout, RECORD_ERROR)
                self.assertEqual(result.texts, [OPEN, RECORD, CLOSE])
                # No recording took place, so Wine's driver holds nothing and
                # the deletion succeeds on every target.
                self.assertOrderlyEnd(result, [])


class SaveFailure(TestCase):
    """The device cannot save: the output file's directory is missing."""

    def test_argument_mode(self):
        result = self.run_tolvane("nodir/x.wav", answers=stop_and_name(delay=0.3))
        self.assertEqual(result.stdout, STOP_PROMPT + SAVE_ERROR)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("nodir/x.wav"), CLOSE])
        self.assertEqual(results(result), [0, 0, 0, FILE_NOT_FOUND, 0])
        self.assertEndAfterRecording(result, [])

    def test_interactive_mode(self):
        result = self.run_tolvane(answers=stop_and_name(b"nodir/y.wav", delay=0.3))
        self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT + SAVE_ERROR)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("nodir/y.wav"), CLOSE])
        self.assertEqual(results(result), [0, 0, 0, FILE_NOT_FOUND, 0])
        self.assertEndAfterRecording(result, [])
        self.assertFalse(os.path.exists("nodir"))
