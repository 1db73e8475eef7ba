"""Real recordings in both modes, the temporary file and the end of a run."""

import os
from pathlib import Path

from harness import (
    CLOSE,
    HEADER,
    NAME_PROMPT,
    OPEN,
    RECORD,
    STOP,
    STOP_PROMPT,
    TMP_FILE,
    TestCase,
    save,
    stop_and_name,
    windows,
)


def read_tmp():
    return Path(TMP_FILE).read_bytes()


class Recording(TestCase):
    def test_argument_mode_records_and_saves_under_the_argument(self):
        result = self.run_tolvane("take.wav", answers=stop_and_name(observe=read_tmp))
        self.assertEqual(result.stdout, STOP_PROMPT)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("take.wav"), CLOSE])
        self.assertEqual(result.observed, [HEADER], "temporary file while recording")
        self.assertRecording("take.wav")
        self.assertEndAfterRecording(result, ["take.wav"])

    def test_interactive_mode_records_and_saves_under_the_typed_name(self):
        result = self.run_tolvane(answers=stop_and_name(b"typed.wav", observe=read_tmp))
        self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("typed.wav"), CLOSE])
        self.assertEqual(result.observed, [HEADER])
        self.assertRecording("typed.wav")
        self.assertEndAfterRecording(result, ["typed.wav"])

    def test_longer_recording_holds_more_frames(self):
        short = self.run_tolvane("short.wav", answers=stop_and_name(delay=0.4))
        long = self.run_tolvane("long.wav", answers=stop_and_name(delay=2.0))
        self.assertEqual(long.texts, [OPEN, RECORD, STOP, save("long.wav"), CLOSE])
        frames_short = len(self.assertRecording("short.wav").data) // 6
        frames_long = len(self.assertRecording("long.wav").data) // 6
        # Both devices deliver in blocks of a fraction of a second: compare
        # with a margin rather than exactly.
        self.assertGreater(frames_long - frames_short, 88200)

    def test_leftover_temporary_file_is_replaced(self):
        Path(TMP_FILE).write_bytes(b"left over by an earlier run " * 100)
        result = self.run_tolvane("over.wav", answers=stop_and_name(observe=read_tmp))
        self.assertEqual(result.observed, [HEADER])
        self.assertRecording("over.wav")
        self.assertEndAfterRecording(result, ["over.wav"])

    def test_temporary_file_is_made_in_the_current_directory(self):
        os.mkdir("sub")
        result = self.run_tolvane("sub/out.wav", answers=stop_and_name(observe=read_tmp))
        self.assertEqual(result.observed, [HEADER])
        self.assertFalse(Path("sub", TMP_FILE).exists())
        self.assertEqual(os.listdir("sub"), ["out.wav"])
        self.assertRecording("sub/out.wav")
        self.assertEndAfterRecording(result, ["sub"])

    def test_temporary_file_is_deleted_after_close(self):
        """Natively the run ends with status 0 and no temporary file. Wine
        differs: its waveaudio driver keeps the element file open after a
        recording until the process ends, so the deletion after "close wav1"
        is refused (sharing violation): "Access denied", status 217, and the
        temporary file stays (assertEndAfterRecording)."""
        result = self.run_tolvane("kept.wav", answers=stop_and_name())
        self.assertRecording("kept.wav")
        self.assertEqual(result.stdout, STOP_PROMPT)
        self.assertEndAfterRecording(result, ["kept.wav"])

    def test_temporary_file_gone_before_the_deletion(self):
        """Removed, or replaced by a directory, while the program waits: the
        recording is saved, then the deletion reports "File not found"."""

        def remove():
            os.remove(TMP_FILE)

        def replace_by_directory():
            os.remove(TMP_FILE)
            os.mkdir(TMP_FILE)

        for change, left in ((remove, []), (replace_by_directory, [TMP_FILE])):
            with self.subTest(change.__name__):
                for name in self.files():
                    os.remove(name) if Path(name).is_file() else os.rmdir(name)
                result = self.run_tolvane("gone.wav", answers=stop_and_name(observe=change))
                self.assertEqual(result.stdout, STOP_PROMPT)
                self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("gone.wav"), CLOSE])
                self.assertRecording("gone.wav")
                self.assertFailureReport(result, "File not found")
                self.assertEqual(self.files(), sorted(["gone.wav"] + left))

    def test_long_name_reaches_the_device_whole(self):
        # 5000 bytes that name the file "long.wav" in the current directory
        # only when no byte of them is lost.
        name = "./" * 2496 + "long.wav"
        self.assertEqual(len(name), 5000)
        result = self.run_tolvane(name, answers=stop_and_name(delay=0.3))
        self.assertEqual(result.texts[:3], [OPEN, RECORD, STOP])
        sent = result.commands[3]
        self.assertEqual(result.texts[4:], [CLOSE])
        if windows():
            # Wine's trace shortens long texts; the saved file shows the rest.
            self.assertTrue(sent.truncated)
            self.assertTrue(save(name).startswith(sent.text))
            self.assertRecording("long.wav", audible=False)
            self.assertEndAfterRecording(result, ["long.wav"])
        else:
            self.assertEqual(sent.text, save(name))

    def test_name_case_as_saved(self):
        """Wine lower-cases the whole command text, the name included: Wine
        saves "Mixed.WAV" as "mixed.wav". The native device keeps it."""
        result = self.run_tolvane("Mixed.WAV", answers=stop_and_name(delay=0.3))
        self.assertEqual(result.texts[3], save("Mixed.WAV"))
        saved = "mixed.wav" if windows() else "Mixed.WAV"
        self.assertRecording(saved, audible=False)
        self.assertEndAfterRecording(result, [saved])
