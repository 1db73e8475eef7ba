#!/usr/bin/env python3
"""Measures tolvane and arecord side by side on the same audio server.

    measure.py --tolvane PROGRAM --launch LAUNCHER --out DIR [--quick]

Each run starts one program through LAUNCHER (bench/launch.cpp), waits for its
sign that capture has begun, lets it record for the length, stops it the way
it is meant to be stopped and checks the saved file. The two programs' runs
alternate, their order swapped every round, so that machine noise hits both
alike. Prints the table of medians and writes DIR/runs.json (every run) and
DIR/plot.dat (for bench/plot.gp).
"""

import argparse
import json
import os
import select
import signal
import statistics
import struct
import subprocess
import sys
import time

RATE = 88200
CHANNELS = 2
BITS = 24
BLOCK = CHANNELS * BITS // 8
HEADER = 44
MARK_TIMEOUT_S = 10.0
EXIT_TIMEOUT_S = 10.0


class Program:
    """How to start one recorder, how to see that capture has begun, how to stop it."""

    def __init__(self, name, argv, mark, mark_stream, stop, exit_code):
        self.name = name
        self.argv = argv  # with {out} for the output file
        self.mark = mark  # bytes that say capture has begun
        self.mark_stream = mark_stream  # "stdout" or "stderr"
        self.stop = stop  # "byte" on standard input, or "sigint"
        self.exit_code = exit_code  # what it exits with when stopped so and saved


def programs(tolvane):
    return [
        Program("tolvane", [tolvane, "{out}"], b"hit return key to stop...", "stdout", "byte", 0),
        Program(
            "arecord",
            ["arecord", "-D", "default", "-f", "S24_3LE", "-c", "2", "-r", str(RATE), "{out}"],
            b"Recording WAVE",
            "stderr",
            "sigint",
            1,  # arecord ends with 1 after a signal, the file complete
        ),
    ]


def read_line(fd, deadline):
    """Reads one line from the launcher's report descriptor."""
    data = b""
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise RuntimeError("the launcher did not report in time")
        byte = os.read(fd, 1)  # a byte at a time: the next line stays in the pipe
        if not byte:
            raise RuntimeError("the launcher ended without a report")
        data += byte
    return data.decode()


def check_wav(path):
    """What the saved file holds, and whether its sizes agree with its frames."""
    with open(path, "rb") as f:
        data = f.read(HEADER)
    length = os.path.getsize(path)
    result = {"length": length, "frames": None, "exact": False, "problem": None}
    if len(data) < HEADER or data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        result["problem"] = "not a RIFF/WAVE file"
        return result
    riff_size = struct.unpack_from("<I", data, 4)[0]
    fmt_id, fmt_size, tag, channels, rate, _, block, bits = struct.unpack_from(
        "<4sIHHIIHH", data, 12
    )
    data_id, data_size = struct.unpack_from("<4sI", data, 36)
    if fmt_id != b"fmt " or fmt_size != 16 or data_id != b"data":
        result["problem"] = "header is not fmt(16) then data"
        return result
    if (tag, channels, rate, block, bits) != (1, CHANNELS, RATE, BLOCK, BITS):
        result["problem"] = f"format {tag}/{channels}/{rate}/{block}/{bits}"
        return result
    frames = data_size // BLOCK
    result["frames"] = frames
    expected = HEADER + frames * BLOCK
    problems = []
    if data_size % BLOCK:
        problems.append(f"data size {data_size} is not whole frames")
    if riff_size != length - 8:
        problems.append(f"RIFF size {riff_size} for a file of {length}")
    if length != expected:
        problems.append(f"length {length}, expected {expected}")
    result["problem"] = "; ".join(problems) or None
    result["exact"] = not problems
    return result


def run_once(program, launcher, seconds, directory, index):
    out = os.path.join(directory, f"{program.name}-{seconds}s-{index}.wav")
    if os.path.exists(out):
        os.remove(out)
    argv = [a.replace("{out}", os.path.basename(out)) for a in program.argv]
    report_r, report_w = os.pipe()
    child = subprocess.Popen(
        [launcher, str(report_w)] + argv,
        cwd=directory,
        stdin=subprocess.PIPE,
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
        pass_fds=(report_w,),
    )
    os.close(report_w)
    try:
        pid, start_ns = map(int, read_line(report_r, time.monotonic() + MARK_TIMEOUT_S).split())
        streams = {"stdout": child.stdout, "stderr": child.stderr}
        watched = streams[program.mark_stream].fileno()
        seen = b""
        deadline = time.monotonic() + MARK_TIMEOUT_S
        while program.mark not in seen:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([watched], [], [], left)[0]:
                raise RuntimeError(f"{program.name}: no sign of capture; output {seen!r}")
            chunk = os.read(watched, 4096)
            if not chunk:
                raise RuntimeError(f"{program.name} ended before capture; output {seen!r}")
            seen += chunk
        mark_ns = time.monotonic_ns()
        time.sleep(max(0.0, mark_ns / 1e9 + seconds - time.monotonic()))
        stop_ns = time.monotonic_ns()
        if program.stop == "byte":
            child.stdin.write(b"\n")
            child.stdin.flush()
        else:
            os.kill(pid, signal.SIGINT)
        status, end_ns, user_us, system_us, maxrss = map(
            int, read_line(report_r, time.monotonic() + EXIT_TIMEOUT_S).split()
        )
    except BaseException:
        child.kill()
        raise
    finally:
        os.close(report_r)
        child.communicate()
    exit_code = os.waitstatus_to_exitcode(status)
    wav = {"length": 0, "frames": None, "exact": False, "problem": "no file"}
    if os.path.exists(out):
        wav = check_wav(out)
        os.remove(out)
    return {
        "program": program.name,
        "seconds": seconds,
        "start_ms": (mark_ns - start_ns) / 1e6,
        "stop_ms": (end_ns - stop_ns) / 1e6,
        "cpu_ms": (user_us + system_us) / 1e3,
        "user_ms": user_us / 1e3,
        "system_ms": system_us / 1e3,
        "maxrss_kib": maxrss,
        "exit": exit_code,
        "exit_ok": exit_code == program.exit_code,
        "wav": wav,
    }


def median(runs, program, key, seconds=None):
    values = [r[key] for r in runs
              if r["program"] == program and (seconds is None or r["seconds"] == seconds)]
    return statistics.median(values)


def print_table(runs, table_lengths, count):
    names = ["tolvane", "arecord"]
    rows = []

    def row(label, key, seconds, unit, target, fmt="{:.1f}"):
        a, b = (median(runs, n, key, seconds) for n in names)
        ratio = a / b if b else float("inf")
        rows.append((label + f" ({unit})", fmt.format(a), fmt.format(b), f"{ratio:.2f}",
                     target(a, ratio)))

    print()
    print(f"Medians of {count} runs per program and length "
          f"(start latency: of all {count * len(set(r['seconds'] for r in runs))} runs).")
    row("start latency", "start_ms", None, "ms", lambda a, r: verdict(r <= 1.5, "ratio <= 1.5"))
    for s in table_lengths:
        row(f"CPU time, {s} s", "cpu_ms", s, "ms", lambda a, r: verdict(r <= 1.0, "ratio <= 1"))
    for s in table_lengths:
        row(f"peak memory, {s} s", "maxrss_kib", s, "KiB",
            lambda a, r: verdict(r <= 1.0, "ratio <= 1"), "{:.0f}")
    for s in table_lengths:
        row(f"stop latency, {s} s", "stop_ms", s, "ms", lambda a, r: verdict(a < 50, "< 50 ms"))
    widths = [max(len(r[i]) for r in rows + [header()]) for i in range(5)]
    for r in [header()] + rows:
        print("  ".join([r[0].ljust(widths[0])] + [c.rjust(w) for c, w in zip(r[1:], widths[1:])]))

    print()
    print("Saved files (expected length 44 + frames * 6, frames from the data chunk):")
    for name in names:
        for s in sorted(set(r["seconds"] for r in runs)):
            mine = [r for r in runs if r["program"] == name and r["seconds"] == s]
            exact = sum(r["wav"]["exact"] for r in mine)
            frames = [r["wav"]["frames"] or 0 for r in mine]
            got = statistics.median(frames) / RATE
            print(f"  {name:8} {s:3} s: {exact}/{len(mine)} exact, median "
                  f"{statistics.median(frames):.0f} frames = {got:.3f} s recorded, "
                  f"median length {statistics.median(r['wav']['length'] for r in mine):.0f} B")
            for r in mine:
                if r["wav"]["problem"] or not r["exit_ok"]:
                    print(f"           exit {r['exit']}: {r['wav']['problem']}")


def header():
    return ("", "tolvane", "arecord", "ratio", "target")


def verdict(met, target):
    return f"{'met' if met else 'MISSED'} ({target})"


def write_plot_data(runs, lengths, path):
    with open(path, "w") as f:
        f.write("# seconds  then per program (tolvane, arecord): "
                "memory MiB median min max, stop ms median min max\n")
        for s in lengths:
            fields = [str(s)]
            for name in ("tolvane", "arecord"):
                mine = [r for r in runs if r["program"] == name and r["seconds"] == s]
                for key, scale in (("maxrss_kib", 1 / 1024), ("stop_ms", 1)):
                    values = [r[key] * scale for r in mine]
                    fields += [f"{statistics.median(values):.3f}", f"{min(values):.3f}",
                               f"{max(values):.3f}"]
            f.write(" ".join(fields) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tolvane", required=True)
    parser.add_argument("--launch", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--quick", action="store_true", help="3 runs of 1, 2 and 5 s")
    args = parser.parse_args()

    if args.quick:
        count, table_lengths, lengths = 3, (2, 5), (1, 2, 5)
    else:
        count, table_lengths, lengths = 5, (10, 60), (2, 10, 30, 60)
    directory = os.path.join(args.out, "recordings")
    os.makedirs(directory, exist_ok=True)
    both = programs(os.path.abspath(args.tolvane))
    launcher = os.path.abspath(args.launch)

    floor = run_floor(launcher)
    print(f"Launcher's own share of every peak memory figure: at most {floor} KiB")
    # The first capture after the server starts can be slow to get going: one
    # unmeasured run of each program first.
    for program in both:
        run_once(program, launcher, 1, directory, "warmup")

    runs = []
    total = count * len(lengths) * 2
    for round_index in range(count):
        order = both if round_index % 2 == 0 else both[::-1]
        for seconds in lengths:
            for program in order:
                result = run_once(program, launcher, seconds, directory, round_index)
                runs.append(result)
                print(f"  [{len(runs)}/{total}] {program.name} {seconds} s: "
                      f"start {result['start_ms']:.1f} ms, stop {result['stop_ms']:.1f} ms, "
                      f"CPU {result['cpu_ms']:.0f} ms, peak {result['maxrss_kib']} KiB",
                      flush=True)

    with open(os.path.join(args.out, "runs.json"), "w") as f:
        json.dump(runs, f, indent=1)
    write_plot_data(runs, lengths, os.path.join(args.out, "plot.dat"))
    print_table(runs, table_lengths, count)
    print()
    print("start latency: from the fork of the program until its sign that capture has begun:")
    print("  tolvane: the stop prompt on standard output, written once the record command has")
    print("           returned (ALSA device opened and configured, capture thread started);")
    print("  arecord: its 'Recording WAVE' line on standard error, written once the ALSA device")
    print("           is opened, before it sets the format and creates the file.")
    print("stop latency: from the stop until the process has exited, file saved:")
    print("  tolvane: one byte written to its standard input;")
    print("  arecord: SIGINT, its own way of being stopped (it then finishes the file's header).")
    print("CPU time: user + system of the process (wait4); peak memory: its ru_maxrss.")
    return 0 if all(r["exit_ok"] for r in runs) else 1


def run_floor(launcher):
    report_r, report_w = os.pipe()
    child = subprocess.Popen([launcher, str(report_w), "true"], pass_fds=(report_w,))
    os.close(report_w)
    read_line(report_r, time.monotonic() + EXIT_TIMEOUT_S)
    floor = int(read_line(report_r, time.monotonic() + EXIT_TIMEOUT_S).split()[4])
    os.close(report_r)
    child.wait()
    return floor


if __name__ == "__main__":
    sys.exit(main())
