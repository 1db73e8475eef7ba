"""Runs end-to-end test modules against one build of tolvane.

    run.py --program PATH --target windows|linux [--launcher PATH] [--asan] MODULE...

--asan: the program is built with AddressSanitizer and UndefinedBehaviorSanitizer.
"""

import argparse
import os
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import harness  # noqa: E402


def fixture_frames(seconds):
    """Raw S24_3LE stereo frames that the native device's ALSA source plays
    back: the left channel counts frames, so that any lost, repeated or shifted
    frame shows; the right channel is a fixed non-zero pattern."""
    frames = bytearray()
    for index in range(int(88200 * seconds)):
        frames += (index + 0x100000).to_bytes(3, "little")
        frames += ((index * 2654435761) % 0x7FFFFF - 0x3FFFFF).to_bytes(3, "little", signed=True)
    return bytes(frames)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--target", required=True, choices=["windows", "linux"])
    parser.add_argument("--launcher", default="")
    parser.add_argument("--asan", action="store_true")
    parser.add_argument("modules", nargs="+")
    options = parser.parse_args()
    harness.PROGRAM = str(Path(options.program).resolve())
    harness.TARGET = options.target
    harness.LAUNCHER = options.launcher and str(Path(options.launcher).resolve())
    harness.ASAN = options.asan
    if not Path(harness.PROGRAM).exists():
        sys.exit(f"run.py: no program at {harness.PROGRAM}")

    with tempfile.TemporaryDirectory(prefix="tolvane-fixture-") as scratch:
        fixture = Path(scratch) / "fixture.raw"
        harness.FIXTURE = fixture_frames(4)
        fixture.write_bytes(harness.FIXTURE)
        os.environ["TOLVANE_FIXTURE"] = str(fixture)
        suite = unittest.defaultTestLoader.loadTestsFromNames(options.modules)
        outcome = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if outcome.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
