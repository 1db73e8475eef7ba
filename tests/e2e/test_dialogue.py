"""The console dialogue: exact bytes, names as typed or given, line ends,
the end of input."""

import os
import pty
import select
import time

from harness import (
    CLOSE,
    NAME_PROMPT,
    OPEN,
    RECORD,
    SAVE_ERROR,
    STOP,
    STOP_PROMPT,
    Answer,
    TestCase,
    save,
    stop_and_name,
)


class NamesWithBlanks(TestCase):
    """A name with a blank and no double quote goes to the device between
    double quotes, so that the device saves under the whole name."""

    def test_argument_mode(self):
        result = self.run_tolvane("a b.wav", answers=stop_and_name(delay=0.3))
        self.assertEqual(result.stdout, STOP_PROMPT)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save('"a b.wav"'), CLOSE])
        self.assertRecording("a b.wav", audible=False)
        self.assertEndAfterRecording(result, ["a b.wav"])

    def test_interactive_mode(self):
        result = self.run_tolvane(answers=stop_and_name(b"c d.wav", delay=0.3))
        self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save('"c d.wav"'), CLOSE])
        self.assertRecording("c d.wav", audible=False)
        self.assertEndAfterRecording(result, ["c d.wav"])

    def test_typed_quotes_go_unchanged(self):
        result = self.run_tolvane(answers=stop_and_name(b'"e f.wav"', delay=0.3))
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save('"e f.wav"'), CLOSE])
        self.assertRecording("e f.wav", audible=False)
        self.assertEndAfterRecording(result, ["e f.wav"])

    def test_typed_text_is_not_trimmed(self):
        # Blanks at the ends stay in the name (what the device then makes of
        # such a name is its own affair).
        result = self.run_tolvane(answers=stop_and_name(b"  g.wav ", delay=0.3))
        self.assertEqual(result.texts[3], save('"  g.wav "'))


class TypedLines(TestCase):
    def test_line_ends(self):
        for line_end in (b"\n", b"\r\n", b"\r"):
            with self.subTest(line_end=line_end):
                name = f"end{len(line_end)}{line_end[0]}.wav"
                answers = [
                    Answer(STOP_PROMPT, b"anything" + line_end, 0.3),
                    Answer(NAME_PROMPT, name.encode() + line_end),
                ]
                result = self.run_tolvane(answers=answers)
                self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT)
                self.assertEqual(result.texts, [OPEN, RECORD, STOP, save(name), CLOSE])
                self.assertRecording(name, audible=False)

    def test_stop_and_name_in_one_block(self):
        # Both lines arrive at once: the first is discarded, the second names
        # the file.
        answers = [Answer(STOP_PROMPT, b"discarded line\nboth.wav\n", 0.3)]
        result = self.run_tolvane(answers=answers)
        self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("both.wav"), CLOSE])
        self.assertRecording("both.wav", audible=False)
        self.assertEndAfterRecording(result, ["both.wav"])

    def test_code_26_ends_the_input(self):
        cases = [
            # (input at the stop prompt, name sent or None)
            (b"stop\nnm\x1azz.wav\n", "nm"),
            (b"\x1a\nlater.wav\n", None),
        ]
        for data, name in cases:
            with self.subTest(data=data):
                for left in self.files():
                    os.remove(left)
                result = self.run_tolvane(answers=[Answer(STOP_PROMPT, data, 0.3)])
                expected = [OPEN, RECORD, STOP] + ([save(name)] if name else []) + [CLOSE]
                self.assertEqual(result.texts, expected)
                if name:
                    self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT)
                    self.assertEndAfterRecording(result, [name])
                else:
                    self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT + SAVE_ERROR)
                    self.assertEndAfterRecording(result, [])


class EmptyName(TestCase):
    """An empty name never reaches the device: no save command, the save
    failure message, nothing written."""

    def test_empty_argument(self):
        result = self.run_tolvane("", answers=stop_and_name(delay=0.3))
        self.assertEqual(result.stdout, STOP_PROMPT + SAVE_ERROR)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, CLOSE])
        self.assertEndAfterRecording(result, [])

    def test_empty_typed_line(self):
        result = self.run_tolvane(answers=stop_and_name(b"", delay=0.3))
        self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT + SAVE_ERROR)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, CLOSE])
        self.assertEndAfterRecording(result, [])


class EndOfInput(TestCase):
    def test_argument_mode_stops_at_once_and_saves(self):
        result = self.run_tolvane("at-once.wav", stdin="null")
        self.assertEqual(result.stdout, STOP_PROMPT)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("at-once.wav"), CLOSE])
        self.assertRecording("at-once.wav", audible=False)
        self.assertEndAfterRecording(result, ["at-once.wav"])

    def test_interactive_mode_reads_empty_lines_and_saves_nothing(self):
        result = self.run_tolvane(stdin="null")
        self.assertEqual(result.stdout, STOP_PROMPT + NAME_PROMPT + SAVE_ERROR)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, CLOSE])
        self.assertEndAfterRecording(result, [])

    def test_pipe_closed_by_its_writer(self):
        answers = [Answer(STOP_PROMPT, b"", 0.3)]
        result = self.run_tolvane("closed.wav", answers=answers)
        self.assertEqual(result.stdout, STOP_PROMPT)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("closed.wav"), CLOSE])
        self.assertRecording("closed.wav", audible=False)
        self.assertEndAfterRecording(result, ["closed.wav"])


class ArgumentModeReadsOneCharacter(TestCase):
    def test_any_first_character_stops(self):
        answers = [Answer(STOP_PROMPT, b"xyz\n", 0.3)]
        result = self.run_tolvane("one.wav", "ignored.wav", answers=answers)
        self.assertEqual(result.stdout, STOP_PROMPT)
        self.assertEqual(result.texts, [OPEN, RECORD, STOP, save("one.wav"), CLOSE])
        self.assertRecording("one.wav", audible=False)
        self.assertEndAfterRecording(result, ["one.wav"])

    def test_output_before_input_is_visible(self):
        # The answer is sent only once the stop prompt has reached the pipe;
        # a prompt held back until the program ends never gets its answer.
        answers = [Answer(STOP_PROMPT, b"\n", observe=lambda: "prompt seen")]
        result = self.run_tolvane("seen.wav", answers=answers)
        self.assertEqual(result.observed, ["prompt seen"])
        self.assertEqual(result.stdout, STOP_PROMPT)
        self.assertEndAfterRecording(result, ["seen.wav"])


class TypedOnAConsole(TestCase):
    """A name typed on a terminal. Under Wine the program then has a console
    whose input code page (OEM, 437) differs from the ANSI code page (1252):
    the typed line must be converted, or "ä" (0x84 in code page 437) would
    reach the device as "„" (0x84 in 1252). Natively the bytes pass unchanged.
    Either way the file is saved as typed."""

    def type_on_terminal(self, name):
        env = self.run_program.environment(False, "alsa-pulse.conf")
        # A UTF-8 locale, so that Wine's console reads the terminal's UTF-8.
        env.update(LANG="C.UTF-8", LC_ALL="C.UTF-8", WINEDEBUG="-all")
        argv = self.run_program.argv([], None, "inherit")
        pid, terminal = pty.fork()
        if pid == 0:
            try:
                os.execvpe(argv[0], argv, env)
            finally:
                os._exit(127)
        screen = b""

        def read_until(text, seconds=30):
            nonlocal screen
            end = time.monotonic() + seconds
            while text not in screen and time.monotonic() < end:
                if select.select([terminal], [], [], 0.1)[0]:
                    try:
                        screen += os.read(terminal, 4096)
                    except OSError:
                        return

        try:
            read_until(STOP_PROMPT)
            time.sleep(0.3)
            os.write(terminal, b"\r")
            read_until(NAME_PROMPT.rstrip())
            os.write(terminal, name.encode() + b"\r")
            read_until(b"\0", 20)  # until the program has gone and the terminal closes
        finally:
            os.close(terminal)
            status = os.waitpid(pid, 0)[1]
        return screen, status

    def test_typed_name_reaches_the_device_in_the_ansi_code_page(self):
        screen, _ = self.type_on_terminal("\u00e4x.wav")
        self.assertIn(STOP_PROMPT, screen)
        self.assertIn("\u00e4x.wav", os.listdir("."), screen)
        self.assertRecording("\u00e4x.wav", audible=False)
