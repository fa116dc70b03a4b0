#!/usr/bin/env python3
"""Prints the benchmark table from the files bench/run.sh leaves in its
results directory: NAME.ROUND.json (hyperfine exports, one per round, the
programs in the order of LABELS), NAME.LABEL.rss (peak resident set in KiB)
and `commit`.

    report.py RESULTS-DIR "kelpa python lua c" NAME...
"""
import glob
import json
import math
import os
import platform
import statistics
import subprocess
import sys
import time


def run_times(results, name, count):
    """All measured wall times of NAME, per program, merged over the rounds."""
    times = [[] for _ in range(count)]
    for path in sorted(glob.glob(os.path.join(results, name + ".*.json"))):
        with open(path) as f:
            for i, result in enumerate(json.load(f)["results"]):
                times[i].extend(result["times"])
    return times


def peak_kib(results, name, label):
    try:
        with open(os.path.join(results, "%s.%s.rss" % (name, label))) as f:
            return int(f.read().split()[-1])
    except (OSError, ValueError, IndexError):
        return None


def ms(seconds):
    if seconds < 0.1:
        return "%.2f" % (seconds * 1000)
    return "%.0f" % (seconds * 1000)


def mib(kib):
    return "-" if kib is None else "%.1f" % (kib / 1024)


def first_line(cmd):
    try:
        out = subprocess.run(cmd, capture_output=True, text=True, timeout=10)
        return (out.stdout or out.stderr).strip().splitlines()[0]
    except (OSError, IndexError, subprocess.TimeoutExpired):
        return "?"


def machine():
    cpu = "?"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return "%s, %d cores, %s %s" % (cpu, os.cpu_count() or 0, platform.system(), platform.release())


def main():
    results, labels, names = sys.argv[1], sys.argv[2].split(), sys.argv[3:]
    peers = labels[1:]
    with open(os.path.join(results, "commit")) as f:
        commit = f.read().strip()
    python = os.environ.get("PYTHON", "python3")
    lua = os.environ.get("LUA", "lua5.4")
    print("Date: %s  " % time.strftime("%Y-%m-%d %H:%M %Z"))
    print("Machine: %s  " % machine())
    print("Build: %s, Release; peers: %s, %s, %s -O2  " % (
        commit, first_line([python, "--version"]),
        first_line([lua, "-v"]).split("  ")[0] if "lua" in labels else "no Lua",
        first_line([os.environ.get("CC", "gcc"), "--version"])))
    print()
    head = ["benchmark"] + ["%s ms" % l for l in labels] + ["kelpa/%s" % p for p in peers]
    head += ["peak MiB %s" % "/".join(labels)]
    print("| " + " | ".join(head) + " |")
    print("|" + "---|" * len(head))
    py_ratios = []
    for name in names + ["empty"]:
        times = run_times(results, name, len(labels))
        if not all(times):
            print("| %s | (no measurements) |" % name)
            continue
        medians = [statistics.median(t) for t in times]
        ratios = ["%.2f" % (medians[0] / m) if m > 0 else "-" for m in medians[1:]]
        if name != "empty":
            py_ratios.append(medians[0] / medians[1])
        rss = "/".join(mib(peak_kib(results, name, l)) for l in labels)
        label = "start-up (empty main)" if name == "empty" else name
        print("| " + " | ".join([label] + [ms(m) for m in medians] + ratios + [rss]) + " |")
    print()
    runs = len(run_times(results, names[0], len(labels))[0]) if names else 0
    print("Median of %d interleaved runs per program; ratios above 1 mean kelpa is slower." % runs)
    if py_ratios:
        geo = math.exp(sum(math.log(r) for r in py_ratios) / len(py_ratios))
        print("Geometric mean of kelpa/CPython over %d benchmarks: %.2f" % (len(py_ratios), geo))


if __name__ == "__main__":
    main()
