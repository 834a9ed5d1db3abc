#!/usr/bin/env python3
"""Resave and recalculation of the largest project against the floor.

The floor is what any program must do to rewrite the file: decode it from
code page 932, encode it back and write it with fsync:

    iconv -f CP932 -t UTF-8 IN | iconv -f UTF-8 -t CP932 | dd of=OUT conv=fsync

Each round times the floor and then `veltrano-cli resave` (or `recalc`) on
the same file, one after the other, so that both meet the same machine;
the report gives the median of the rounds and the ratio of the medians,
and the peak memory of each veltrano-cli run above the tool's own baseline
(`veltrano-cli eval` on nothing), against the file's size.

    bench/floor_compare.py [BUILD_DIR] [--rounds N]     (default build, 9)

The goals: resave within 1.5 times the floor, recalc within 3 times, and
the peak memory of either under 4 times the file's size.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def run(command, stdin=None):
    """Seconds and peak resident kilobytes of one run of `command`."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdin=stdin, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.perf_counter() - start
    err = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit(f"{' '.join(command)} failed: {err}")
    return seconds, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--rounds", type=int, default=9)
    args = parser.parse_args()
    cli = os.path.join(args.build, "src", "veltrano-cli")
    maker = os.path.join(args.build, "bench", "veltrano_largest_project")
    work = tempfile.mkdtemp(prefix="veltrano_floor_")
    base = os.path.join(work, "Veltrano")
    project = os.path.join(work, "largest.xdt")
    out = os.path.join(work, "out.xdt")
    run([maker, project])
    size_kb = os.path.getsize(project) / 1024
    floor_command = ["bash", "-c",
                     f"iconv -f CP932 -t UTF-8 '{project}' | iconv -f UTF-8 -t CP932 | "
                     f"dd of='{out}' conv=fsync status=none"]
    with open(os.devnull, "rb") as nothing:
        run([cli, "eval"], stdin=nothing)  # the base folder made once
        baseline = max(run([cli, "--base", base, "eval"], stdin=nothing)[1] for _ in range(3))
    report = {}
    for command in ("resave", "recalc"):
        floors, times, peaks = [], [], []
        for _ in range(args.rounds):
            floors.append(run(floor_command)[0])
            seconds, peak = run([cli, "--base", base, command, project, "-o", out, "--force"])
            times.append(seconds)
            peaks.append(peak)
        report[command] = (statistics.median(floors), statistics.median(times), max(peaks))
    print(f"largest project: {size_kb / 1024:.2f} MB; veltrano-cli baseline "
          f"{baseline / 1024:.1f} MB; {args.rounds} rounds each")
    print(f"{'':8}{'floor':>10}{'veltrano':>10}{'ratio':>8}{'goal':>6}"
          f"{'peak above base':>17}{'/ file':>8}")
    ok = True
    for command, goal in (("resave", 1.5), ("recalc", 3.0)):
        floor, median, peak = report[command]
        ratio = median / floor
        memory = (peak - baseline) / size_kb
        ok = ok and ratio <= goal and memory < 4
        print(f"{command:8}{floor * 1000:>8.1f}ms{median * 1000:>8.1f}ms{ratio:>8.2f}{goal:>6}"
              f"{(peak - baseline) / 1024:>14.1f} MB{memory:>8.2f}")
    subprocess.run(["rm", "-rf", work])
    print("within the goals" if ok else "NOT within the goals")
    return 0


if __name__ == "__main__":
    sys.exit(main())
