#!/usr/bin/python3
"""Whole-song conversion beside a plain SMF read and write, in one run.

For every song of the corpus's "songs" folder this times, one song after the
other so that both see the same machine load:

  - mido (Debian's python3-mido) reading the file's bytes and writing them
    back, both in memory (the median of repeated runs);
  - bench_convert's "Empty/<song>" (every channel with notes converted with
    ";Empty") and "Recommended/<song>" (the channels the program switches on,
    with their recommended scripts).

It prints each song's times and ratios (conversion / mido) and the median
ratio over the corpus for both cases. Times are processor times (the
benchmark's CPU time, Python's process time), which a busy machine inflates
far less than the time on the clock.

    tools/mido_ratio.py [--bench build/test/tools/bench_convert]
                        [--corpus ../shared/corpus/songs] [--min-time 0.5]
"""
import argparse
import io
import json
import os
import statistics
import subprocess
import sys
import time

try:
    import mido
except ImportError:  # pragma: no cover - told to the user
    sys.exit("mido_ratio.py needs python3-mido (apt-get install python3-mido)")

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)


def mido_seconds(data, min_time):
    """Median time of one in-memory read and write of the bytes."""
    times = []
    spent = 0.0
    while spent < min_time or len(times) < 5:
        start = time.process_time()
        song = mido.MidiFile(file=io.BytesIO(data))
        out = io.BytesIO()
        song.save(file=out)
        took = time.process_time() - start
        times.append(took)
        spent += took
    return statistics.median(times)


def bench_seconds(bench, name, min_time):
    """The benchmark's processor time per conversion of the song, in seconds."""
    pattern = "^(Empty|Recommended)/" + name.replace(".", "\\.") + "$"
    result = subprocess.run(
        [bench, "--benchmark_filter=" + pattern, "--benchmark_format=json",
         "--benchmark_min_time=%g" % min_time],
        check=True, capture_output=True, text=True)
    report = json.loads(result.stdout)
    times = {}
    for b in report["benchmarks"]:
        kind = b["name"].split("/")[0]
        if b.get("error_occurred"):
            times[kind] = None
            print("  %s: %s" % (b["name"], b.get("error_message", "failed")), file=sys.stderr)
            continue
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
        times[kind] = b["cpu_time"] * scale
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bench", default=os.path.join(SOURCE, "build", "test", "tools", "bench_convert"))
    parser.add_argument("--corpus", default=os.path.join(os.path.dirname(SOURCE), "shared", "corpus", "songs"))
    parser.add_argument("--min-time", type=float, default=0.5,
                        help="seconds each measurement runs at least (default 0.5)")
    args = parser.parse_args()
    if not os.access(args.bench, os.X_OK):
        sys.exit("no benchmark program at %s (build the target bench_convert)" % args.bench)

    songs = sorted(f for f in os.listdir(args.corpus) if f.endswith(".mid"))
    if not songs:
        sys.exit("no songs in %s" % args.corpus)
    print("load average at start: %.2f %.2f %.2f" % os.getloadavg())
    print("%-28s %10s %10s %10s %8s %8s" % ("song", "mido ms", "empty ms", "recomm ms", "(a)", "(b)"))
    ratios = {"Empty": [], "Recommended": []}
    for name in songs:
        with open(os.path.join(args.corpus, name), "rb") as f:
            data = f.read()
        try:
            plain = mido_seconds(data, args.min_time)
        except Exception as error:  # a song mido cannot read has no ratio
            print("%-28s mido cannot read it: %s" % (name, error))
            continue
        times = bench_seconds(args.bench, name, args.min_time)
        cells = []
        for kind in ("Empty", "Recommended"):
            t = times.get(kind)
            if t is None:
                cells.append(("-", "-"))
                continue
            ratios[kind].append(t / plain)
            cells.append(("%.3f" % (t * 1e3), "%.2fx" % (t / plain)))
        print("%-28s %10.3f %10s %10s %8s %8s" % (name, plain * 1e3, cells[0][0], cells[1][0], cells[0][1],
                                                  cells[1][1]))
    print("load average at end: %.2f %.2f %.2f" % os.getloadavg())
    for kind, label in (("Empty", "(a) every channel, \";Empty\""), ("Recommended", "(b) recommended scripts")):
        if ratios[kind]:
            print("median ratio %s: %.2fx over %d songs" % (label, statistics.median(ratios[kind]),
                                                            len(ratios[kind])))
        else:
            print("median ratio %s: no song measured" % label)


if __name__ == "__main__":
    main()
