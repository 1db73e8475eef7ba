"""Runs tolvane end to end and observes what it does.

A run happens in a fresh temporary directory that is the current directory of
the program. What a run gives back: the exit status, the bytes on standard
output, the program's own bytes on standard error, the device commands it sent
(with their results where the device reports them) and the files it left.

The target is either the Windows program under Wine, against Wine's real MCI
waveaudio driver, or the native Linux program with its waveaudio device on
ALSA. Both record from a headless PulseAudio server (tests/audio).

Commands are observed through Wine's MCI trace (WINEDEBUG=trace+mci writes
one line per mciSendStringW call on standard error) or through the native
device's trace file (WAVEAUDIO_TRACE: one line "text -> result" per command).
"""

import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from dataclasses import dataclass, field
from pathlib import Path

# Set by run.py from its command line.
PROGRAM = ""
TARGET = ""  # "windows" or "linux"
LAUNCHER = ""  # Windows only
ASAN = False  # the native program built with AddressSanitizer and UndefinedBehaviorSanitizer
AUDIO_DIR = Path(__file__).resolve().parent.parent / "audio"
FIXTURE = b""  # the frames the native device's ALSA source plays back

TMP_FILE = ")(rec)(.tmp"
HEADER = bytes.fromhex(
    "52494646" "24000000" "57415645" "666d7420" "10000000" "0100" "0200" "88580100" "30130800"
    "0600" "1800" "64617461" "00000000"
)
OPEN = "open )(rec)(.tmp type waveaudio alias wav1 buffer 4"
RECORD = "record wav1"
STOP = "stop wav1"
CLOSE = "close wav1"

STOP_PROMPT = b"hit return key to stop..."
NAME_PROMPT = b"output file name : "
RECORD_ERROR = b"***ERROR : record error\r\n"
SAVE_ERROR = b"***ERROR : file write error\r\n"

FAILURE_STATUS = 217

# A sanitizer's report ends the program with a status of its own, one that the
# program never gives, so that a run with a report fails whatever its test
# expects of it.
SANITIZER_STATUS = 86

# How long a recording runs before the test answers the stop prompt.
RECORD_SECONDS = 0.7


def windows():
    return TARGET == "windows"


def save(name):
    return "save wav1 " + name


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


# ---------------------------------------------------------------------------
# Standard input of a run.


@dataclass
class Answer:
    """Waits until standard output holds `after`, waits `delay` seconds more,
    calls `observe` (if any) and then writes `data` to standard input."""

    after: bytes
    data: bytes
    delay: float = 0.0
    observe: object = None


def stop_and_name(name=None, line_end=b"\n", delay=RECORD_SECONDS, observe=None):
    """The answers of a normal run: return at the stop prompt after `delay`
    seconds and, in interactive mode (`name` given), the name line."""
    answers = [Answer(STOP_PROMPT, b"\n", delay, observe)]
    if name is not None:
        answers.append(Answer(NAME_PROMPT, name + line_end))
    return answers


# ---------------------------------------------------------------------------
# What a run gives back.


@dataclass
class Command:
    text: str
    result: int | None = None  # None where the trace does not tell
    truncated: bool = False  # Wine's trace shortens long texts


@dataclass
class Result:
    status: int
    stdout: bytes
    stderr: bytes  # the program's own, trace lines taken out
    commands: list = field(default_factory=list)
    observed: list = field(default_factory=list)  # what the observers returned

    @property
    def texts(self):
        return [c.text for c in self.commands]


WINE_DEBUG_LINE = re.compile(rb"^[0-9a-f]{4}:(trace|fixme|err|warn):")
WINE_MCI_SEND = re.compile(
    rb'^[0-9a-f]{4}:trace:mci:mciSendStringW \(L"(.*)"(\.\.\.)?, [0-9A-Fa-f]+, (\d+), [0-9A-Fa-f]+\)$'
)
# The result of a call, in hexadecimal: "=> 1/ 0" and "=> 2/ 0" on success,
# "=> 113" on failure; some failures return without a trace line.
WINE_MCI_RESULT = re.compile(rb"^[0-9a-f]{4}:trace:mci:mciSendStringW => (?:[12]/ )?([0-9a-f]+)\b")
WINE_ESCAPE = re.compile(r'\\(?:([0-9a-f]{4})|(.))')


def unescape_wine(text):
    """Undoes the escapes of Wine's debug strings: \\" \\\\ \\n \\r \\t \\XXXX."""
    simple = {'"': '"', "\\": "\\", "n": "\n", "r": "\r", "t": "\t"}

    def replace(match):
        if match.group(1):
            return chr(int(match.group(1), 16))
        return simple[match.group(2)]

    return WINE_ESCAPE.sub(replace, text)


def split_wine_stderr(data):
    """Separates Wine's debug lines from the program's own standard error."""
    own = []
    commands = []
    current = None  # the program's command whose result lines may follow
    for line in re.findall(rb"[^\n]*\n|[^\n]+$", data):
        body = line.rstrip(b"\n")
        if not WINE_DEBUG_LINE.match(body):
            own.append(line)
            continue
        sent = WINE_MCI_SEND.match(body)
        returned = WINE_MCI_RESULT.match(body)
        if sent:
            current = None
            # Wine's MCI makes calls of its own from inside a command (the
            # automatic open of an unknown alias, "open wav1 wait"); they ask
            # for return text, which the program never does (return length
            # 0). Result lines after such a call cannot be told apart.
            if sent.group(3) == b"0":
                text = unescape_wine(sent.group(1).decode("ascii"))
                current = Command(text, truncated=sent.group(2) is not None)
                commands.append(current)
        elif returned and current:
            current.result = int(returned.group(1), 16)
    return b"".join(own), commands


def read_native_trace(path):
    commands = []
    if path.exists():
        for line in path.read_bytes().decode("latin-1").splitlines():
            text, _, result = line.rpartition(" -> ")
            commands.append(Command(text, int(result)))
    return commands


# ---------------------------------------------------------------------------
# Running the program.


class _Collector(threading.Thread):
    def __init__(self, stream):
        super().__init__(daemon=True)
        self.stream = stream
        self.data = b""
        self.changed = threading.Condition()

    def run(self):
        while True:
            chunk = os.read(self.stream.fileno(), 65536)
            with self.changed:
                if not chunk:
                    self.changed.notify_all()
                    return
                self.data += chunk
                self.changed.notify_all()

    def wait_for(self, text, process, timeout):
        end = time.monotonic() + timeout
        with self.changed:
            while text not in self.data:
                if process.poll() is not None or not self.is_alive():
                    return False
                left = end - time.monotonic()
                if left <= 0:
                    return False
                self.changed.wait(min(left, 0.05))
        return True


def _answer(process, collector, answers, observed):
    try:
        for answer in answers:
            if not collector.wait_for(answer.after, process, 20):
                break
            time.sleep(answer.delay)
            if answer.observe:
                try:
                    observed.append(answer.observe())
                except OSError as error:
                    observed.append(error)
            process.stdin.write(answer.data)
            process.stdin.flush()
    except OSError:
        pass
    finally:
        try:
            process.stdin.close()
        except OSError:
            pass


class RunTimeout(AssertionError):
    pass


class SanitizerReport(AssertionError):
    pass


# The program ends every line with CR LF; a line on its standard error that
# ends in a bare LF is a Linux-side message: Wine's "wine: Unhandled page
# fault ..." or the C library's "Assertion ... failed" from one of Wine's
# threads.
FOREIGN_LINE = re.compile(rb"^[^\r\n]*(?<!\r)\n", re.MULTILINE)

# Wine's waveaudio driver answers a save with MCIERR_INVALID_FILE when the file
# it has just saved does not read back as a WAVE file: its recording thread
# goes on writing after "stop" returns, into the file that the save is closing
# and renaming, sometimes over the file's header.
MCIERR_INVALID_FILE = 296


def wine_fault(result):
    """What shows that Wine itself faulted in a run, or None."""
    if not windows():
        return None
    if result.status < 0:
        return f"ended by signal {-result.status}"
    line = FOREIGN_LINE.search(result.stderr)
    if line:
        return line.group(0).decode(errors="replace").strip()
    if result.status not in (0, FAILURE_STATUS):
        return f"ended with status {result.status}, which the program never gives"
    for command in result.commands:
        if command.text.startswith("save ") and command.result == MCIERR_INVALID_FILE:
            return f"its waveaudio driver spoiled the saved file: {command.text!r} -> 296"
    return None


class Run:
    """One run of the program in the current directory."""

    def __init__(self, trace_path):
        self.trace_path = trace_path

    def environment(self, record_fails, alsa):
        env = dict(os.environ)
        if windows():
            overrides = "winepulse.drv=d;winedbg.exe=d"
            if record_fails:
                # Without Wine's waveaudio driver the open and the record fail.
                overrides += ";mciwave=d"
            env["WINEDLLOVERRIDES"] = overrides
            env["WINEDEBUG"] = "-all,trace+mci"
            env["ALSA_CONFIG_PATH"] = str(AUDIO_DIR / "alsa-pulse.conf")
        else:
            env["WAVEAUDIO_TRACE"] = str(self.trace_path)
            conf = "alsa-none.conf" if record_fails else alsa
            env["ALSA_CONFIG_PATH"] = str(AUDIO_DIR / conf)
        if ASAN:
            env["ASAN_OPTIONS"] = f"exitcode={SANITIZER_STATUS}"
            env["UBSAN_OPTIONS"] = f"exitcode={SANITIZER_STATUS}:print_stacktrace=1"
        return env

    def argv(self, args, command_line, launch_stdin):
        if command_line is not None:
            assert windows(), "exact command lines exist on Windows only"
            return [
                "wine",
                LAUNCHER,
                launch_stdin,
                windows_path(PROGRAM),
                command_line.encode("latin-1").hex(),
            ]
        prefix = ["wine"] if windows() else []
        return prefix + [PROGRAM] + list(args)

    def __call__(self, args=(), **options):
        """Runs the program as run_once does. Under Wine a run in which
        Wine itself faulted is run again, twice at most, each time said on
        standard error: Wine's audio stack sometimes faults or hangs while the
        process ends after a recording (a signal ends the process, Wine
        reports an unhandled page fault, the process ends with a status of
        Wine's own, or the process never ends), and its waveaudio driver
        sometimes spoils the file it saves and answers the save with 296. The
        program has no part in it: on Windows no signal ends a process, and a
        command's result is the device's own (the program only reports a
        failed save as a file write error)."""
        replayable = all(
            isinstance(options.get(name, "pipe"), str) for name in ("stdin", "stdout")
        )
        attempts = 3 if windows() and replayable else 1
        for attempt in range(1, attempts + 1):
            before = set(os.listdir("."))
            try:
                result = self.run_once(args, **options)
                fault = wine_fault(result)
            except RunTimeout as timeout:
                if attempt == attempts:
                    raise
                fault = str(timeout)
            if not fault or attempt == attempts:
                return result
            print(f"\nWine faulted ({fault}); running {args} again", file=sys.stderr)
            for name in set(os.listdir(".")) - before:
                make_mutable(Path(name))
                if Path(name).is_dir():
                    shutil.rmtree(name)
                else:
                    os.remove(name)

    def run_once(
        self,
        args=(),
        answers=None,
        stdin="pipe",
        stdout="pipe",
        command_line=None,
        launch_stdin="inherit",
        record_fails=False,
        alsa="alsa-fixture.conf",
        env=None,
        timeout=60,
        wrapper=(),
    ):
        """Runs the program. `stdin`: "pipe" (fed by `answers`), "null"
        (/dev/null), "closed" (no descriptor 0) or an open file descriptor.
        `stdout`: "pipe" or a path to write to (e.g. /dev/full) or a file
        descriptor. `wrapper`: a command that starts the program, such as one
        that drops privileges."""
        # The native device appends to its trace: each run starts a new one.
        self.trace_path.unlink(missing_ok=True)
        environment = self.environment(record_fails, alsa)
        environment.update(env or {})
        argv = list(wrapper) + self.argv(args, command_line, launch_stdin)
        if stdin == "closed":
            argv = ["sh", "-c", 'exec "$@" <&-', "sh"] + argv
        files = []

        def stream(choice, mode, pipe):
            if choice == "pipe":
                return pipe
            if choice == "null":
                return subprocess.DEVNULL
            if isinstance(choice, int):
                return choice
            handle = open(choice, mode)
            files.append(handle)
            return handle

        stdin_arg = stream("null" if stdin == "closed" else stdin, "rb", subprocess.PIPE)
        process = subprocess.Popen(
            argv,
            stdin=stdin_arg,
            stdout=stream(stdout, "wb", subprocess.PIPE),
            stderr=subprocess.PIPE,
            env=environment,
            start_new_session=True,
        )
        for handle in files:
            handle.close()
        out = _Collector(process.stdout) if process.stdout else None
        err = _Collector(process.stderr)
        for collector in (out, err):
            if collector:
                collector.start()
        observed = []
        feeder = None
        if process.stdin:
            feeder = threading.Thread(
                target=_answer, args=(process, out, answers or [], observed), daemon=True
            )
            feeder.start()
        try:
            status = process.wait(timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            raise RunTimeout(f"the run did not end within {timeout} s: {argv[:4]}")
        finally:
            for collector in (out, err):
                if collector:
                    collector.join(10)
            if feeder:
                feeder.join(10)
        if ASAN and status == SANITIZER_STATUS:
            raise SanitizerReport(err.data.decode(errors="replace"))
        stdout_bytes = out.data if out else b""
        if windows():
            own, commands = split_wine_stderr(err.data)
        else:
            own, commands = err.data, read_native_trace(self.trace_path)
        return Result(status, stdout_bytes, own, commands, observed)


# ---------------------------------------------------------------------------
# What the program leaves behind.

REPORT = re.compile(
    rb"\AAn unhandled exception occurred at \$([0-9A-F]{16}):\r\n"
    rb"([A-Za-z][A-Za-z0-9_]*): ([^\r\n]*)\r\n"
    rb"((?:  \$[0-9A-F]{16}(?:  [^\r\n]+, line \d+ of [^\r\n]+)?\r\n){1,17})"
    rb"\r\n\Z"
)


def parse_failure_report(data):
    """Gives (kind word, message) of a failure report, or None when `data` is
    not exactly one failure report."""
    match = REPORT.match(data)
    if not match:
        return None
    first_frame = match.group(4).split(b"\r\n")[0]
    if not first_frame.startswith(b"  $" + match.group(1)):
        return None
    return match.group(2).decode(), match.group(3).decode()


@dataclass
class Wave:
    channels: int
    rate: int
    byte_rate: int
    block_align: int
    bits: int
    format_tag: int
    data: bytes


def read_wave(path, late_data=False):
    """Parses a RIFF/WAVE file, checking that its sizes agree with the file.
    With `late_data`, bytes after the data chunk, inside the RIFF chunk or
    behind it, are allowed and ignored: Wine's driver writes its last buffer
    after "stop" has returned, while "save" sizes the chunks."""
    raw = Path(path).read_bytes()
    if raw[:4] != b"RIFF" or raw[8:12] != b"WAVE":
        raise AssertionError(f"{path}: not a RIFF/WAVE file: {raw[:12]!r}")
    riff_size = struct.unpack_from("<I", raw, 4)[0]
    if late_data and riff_size < len(raw) - 8:
        raw = raw[: riff_size + 8]
    if riff_size != len(raw) - 8:
        raise AssertionError(f"{path}: RIFF size {riff_size}, file size {len(raw)}")
    chunks = {}
    offset = 12
    while offset + 8 <= len(raw):
        name, size = struct.unpack_from("<4sI", raw, offset)
        body = raw[offset + 8 : offset + 8 + size]
        if len(body) != size:
            raise AssertionError(f"{path}: chunk {name!r} of {size} bytes runs past the end")
        chunks[name] = body
        offset += 8 + size + (size & 1)
        if late_data and name == b"data":
            offset = len(raw)
    if offset != len(raw):
        raise AssertionError(f"{path}: {len(raw) - offset} bytes after the last chunk")
    if b"fmt " not in chunks or b"data" not in chunks:
        raise AssertionError(f"{path}: chunks {list(chunks)}")
    tag, channels, rate, byte_rate, align, bits = struct.unpack_from("<HHIIHH", chunks[b"fmt "])
    return Wave(channels, rate, byte_rate, align, bits, tag, chunks[b"data"])


def peak(data):
    """The largest magnitude of the 24-bit samples in `data`."""
    top = 0
    for i in range(0, len(data) - 2, 3):
        value = int.from_bytes(data[i : i + 3], "little", signed=True)
        top = max(top, abs(value))
    return top


def make_immutable(path):
    subprocess.run(["chattr", "+i", str(path)], check=True)


def make_mutable(path):
    subprocess.run(["chattr", "-i", str(path)], check=False, stderr=subprocess.DEVNULL)


# ---------------------------------------------------------------------------
# The test case base.


class TestCase(unittest.TestCase):
    """Each test runs in a fresh temporary directory as the current directory."""

    maxDiff = None

    def setUp(self):
        self.base = Path(tempfile.mkdtemp(prefix="tolvane-e2e-"))
        self.dir = self.base / "cwd"
        self.dir.mkdir()
        self.previous_dir = os.getcwd()
        os.chdir(self.dir)
        self.run_program = Run(self.base / "trace")
        self.addCleanup(self._clean)

    def _clean(self):
        os.chdir(self.previous_dir)
        for root, dirs, files in os.walk(self.base):
            for name in dirs + files:
                make_mutable(Path(root) / name)
        make_mutable(self.base)
        shutil.rmtree(self.base, ignore_errors=True)

    def run_tolvane(self, *args, **kwargs):
        return self.run_program(args, **kwargs)

    def files(self):
        return sorted(os.listdir(self.dir))

    # -- assertions -------------------------------------------------------

    def assertFailureReport(self, result, message):
        self.assertEqual(result.status, FAILURE_STATUS, result)
        report = parse_failure_report(result.stderr)
        self.assertIsNotNone(report, f"not a failure report: {result.stderr!r}")
        self.assertEqual(report[1], message, result.stderr)
        return report

    def assertEndAfterRecording(self, result, files):
        """The end of a run that recorded: "close wav1" sent, then the
        temporary file deleted, status 0 and nothing on standard error.

        Wine's waveaudio driver keeps the element file open after a recording
        until the process ends, so under Wine the deletion after "close wav1"
        fails with a sharing violation: the failure report with "Access
        denied", status 217, and the temporary file (its 44 bytes unchanged)
        stays behind."""
        self.assertEqual(result.texts[-1], CLOSE)
        if windows():
            self.assertFailureReport(result, "Access denied")
            self.assertEqual(Path(TMP_FILE).read_bytes(), HEADER)
            self.assertEqual(self.files(), sorted(files + [TMP_FILE]))
        else:
            self.assertEqual(result.stderr, b"", result)
            self.assertEqual(result.status, 0, result)
            self.assertEqual(self.files(), sorted(files))

    def assertOrderlyEnd(self, result, files):
        """The end of a run whose deletion must succeed on every target."""
        self.assertEqual(result.stderr, b"", result)
        self.assertEqual(result.status, 0, result)
        self.assertEqual(self.files(), sorted(files))

    def assertRecording(self, path, audible=True):
        """A saved recording: PCM, stereo, 88200 Hz, 24-bit, sizes agreeing
        with the file. With `audible`, it holds sound: under Wine the test
        tone (at half of full scale), natively exactly the fixture's frames."""
        # Wine's driver was seen to leave bytes behind the RIFF chunk of a
        # saved file (about 8 KB: audio that arrived after the stop, written
        # on after the header), and to end a recording that was stopped at
        # once in part of a frame. Its header and its sound are checked.
        wave = read_wave(path, late_data=windows())
        self.assertEqual(
            (wave.format_tag, wave.channels, wave.rate, wave.byte_rate, wave.block_align, wave.bits),
            (1, 2, 88200, 529200, 6, 24),
        )
        if not windows():
            self.assertEqual(len(wave.data) % 6, 0)
        if audible:
            self.assertGreater(len(wave.data), 0, "nothing recorded")
            if windows():
                self.assertGreater(peak(wave.data), 1 << 21, "the recording is silent")
            else:
                self.assertEqual(wave.data, FIXTURE[: len(wave.data)], "recorded frames differ")
        return wave
